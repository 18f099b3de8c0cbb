// What the fast path may read and write past the bytes it deals with, and
// the room it asks for in return: one set of bounds for the reader's block
// (leser.cpp), the writer's direct copies (schreiber.h) and the loop over
// the usual list lines (Form1::ganzeZeilen), which counts on both.
#pragma once

#include <cstddef>

namespace cdb2xls {

// The writer copies a text in steps of kTextSchritt bytes and TABs in steps
// of kTabSchritt, at least one step each: it reads up to kTextSchritt - 1
// bytes past a text's end and writes up to that many past what it writes.
inline constexpr std::size_t kTextSchritt = 32;
inline constexpr std::size_t kTabSchritt = 16;

// Readable bytes after every text the fast path copies: the reader's block
// keeps this many after its end.
inline constexpr std::size_t kUeberhang = kTextSchritt;

// The most TABs one usual line writes: a numbered entry of two digits goes
// to column 99 + 7 at most, from column 1 on.
inline constexpr std::size_t kHoechsteSchnelleNummer = 99;
inline constexpr std::size_t kHoechsteTabs = kHoechsteSchnelleNummer + 7 - 1;

// The room one usual line needs in the output buffer beyond its own length:
// its TABs rounded up to their step, and its text's last step.
inline constexpr std::size_t kZeilenZugabe =
    (kHoechsteTabs + kTabSchritt - 1) / kTabSchritt * kTabSchritt + kUeberhang;

// The room the loop asks the output buffer for when it begins (it empties
// the buffer first where less is free), so that it goes on for many lines.
inline constexpr std::size_t kDirektRaum = 4096;

static_assert(kUeberhang >= kTextSchritt - 1, "a text's last step reads within the block's reserve");
static_assert(kZeilenZugabe == 144, "105 TABs in steps of 16, and a text's last step");
static_assert(kDirektRaum >= 16 * kZeilenZugabe, "room for a good many lines at a time");

}  // namespace cdb2xls
