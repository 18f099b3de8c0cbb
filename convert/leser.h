// Block input: reads the input in large blocks and scans each for its line
// ends and commas (blockscan.h). Memory stays the same whatever the lines:
// a line longer than a block is handed on in pieces, and a stretch of it
// that is needed once more is read again from the file.
#pragma once

#include "blockscan.h"
#include "dateien.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace cdb2xls {

class Leser {
public:
    Leser(std::unique_ptr<Eingabe> eingabe, std::size_t blockgroesse);

    // Reads the next block; false at the end of the input (which stays open
    // for stretches read again until the Leser goes). Throws LeseFehler.
    bool naechsterBlock();
    const char* daten() const { return block_.data(); }
    std::size_t groesse() const { return groesse_; }
    // Where the block begins in the file.
    std::uint64_t stelle() const { return stelle_; }
    const Blockscan& scan() const { return scan_; }

    // Hands each line of the input to `stueck(text, anzahl, zeilenende)`
    // until the input ends or `stueck` returns false: in one piece where it
    // lies within a block, in several where it runs over block ends (the
    // last piece with zeilenende). A line ends at a CR or a CR LF, a LF alone
    // is an ordinary character, and the last line needs no end. The pieces
    // point into the block, valid until the next block is read.
    //
    // Where a line begins in the block, `ganze(ab)` may first take whole
    // lines from `ab` on by itself; it returns where the first line begins
    // that it leaves to `stueck` (`ab` for none). It may only take lines
    // whose CR is not the block's last byte, whose LF is then in sight.
    template <typename Ganze, typename Stueck>
    void zeilen(Ganze&& ganze, Stueck&& stueck) {
        bool lfUeberspringen = false;  // the last block ended with a CR
        bool begonnen = false;         // a line runs on from the last block
        while (naechsterBlock()) {
            const char* block = daten();
            std::size_t p = 0;
            if (lfUeberspringen && block[0] == '\n') p = 1;
            lfUeberspringen = false;
            while (p < groesse_) {
                if (!begonnen) {
                    p = ganze(p);
                    if (p == groesse_) break;
                }
                const std::size_t cr = scan_.naechstesCr(p);
                if (cr == Blockscan::kKeins) {
                    stueck(block + p, groesse_ - p, false);
                    begonnen = true;
                    break;
                }
                begonnen = false;
                if (!stueck(block + p, cr - p, true)) return;
                p = cr + 1;
                if (p == groesse_) {
                    lfUeberspringen = true;
                } else if (block[p] == '\n') {
                    ++p;
                }
            }
        }
        if (begonnen) stueck(daten(), 0, true);
    }
    template <typename Stueck>
    void zeilen(Stueck&& stueck) {
        zeilen([](std::size_t ab) { return ab; }, std::forward<Stueck>(stueck));
    }

    // Reads the bytes [von, bis) of the file again, handing them to
    // `ziel(daten, anzahl)` piece by piece. Throws LeseFehler.
    template <typename Ziel>
    void wiederLesen(std::uint64_t von, std::uint64_t bis, Ziel&& ziel) {
        while (von < bis) {
            const std::size_t n = eingabe_->liesAb(von, nochmal_.data(),
                                                   static_cast<std::size_t>(std::min<std::uint64_t>(bis - von, nochmal_.size())));
            if (n == 0) throw LeseFehler("die Datei wurde während des Lesens kürzer");
            ziel(nochmal_.data(), n);
            von += n;
        }
    }

private:
    std::unique_ptr<Eingabe> eingabe_;
    std::vector<char> block_;
    std::vector<char> nochmal_;  // for stretches read again
    std::size_t groesse_ = 0;
    std::uint64_t stelle_ = 0;
    Blockscan scan_;
};

}  // namespace cdb2xls
