#include "xlsx/zelltext.h"

#include <array>
#include <cstdint>

namespace cdb2xls {
namespace {

// 0x80 to 0x9F of Windows-1252; the rest of the upper half is Latin-1.
constexpr std::array<std::uint16_t, 32> kObereSteuerzeichen = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::uint16_t zeichenNummer(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kObereSteuerzeichen[byte - 0x80] : byte;
}

constexpr char kMaskierterUnterstrich[] = "_x005F_";
constexpr char kMaskiertesNul[] = "_x0000_";
constexpr std::size_t kMaskenlaenge = 7;

// The UTF-8 form of one Windows-1252 byte (the five bytes that code page
// leaves open stand for the control characters of the same number).
std::string windows1252NachUtf8(unsigned char byte) {
    const std::uint16_t c = zeichenNummer(byte);
    std::string utf8;
    if (c < 0x80) {
        utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
        utf8 += static_cast<char>(0xC0 | (c >> 6));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        utf8 += static_cast<char>(0xE0 | (c >> 12));
        utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
    return utf8;
}

}  // namespace

void Zelltext::anfuegen(const char* utf8, std::size_t laenge, std::size_t gezaehlt) {
    if (gekuerzt_) return;
    if (gezaehlt_ + gezaehlt > kHoechstlaenge) {
        gekuerzt_ = true;
        return;
    }
    text_.append(utf8, laenge);
    gezaehlt_ += gezaehlt;
    ++zeichen_;
}

void Zelltext::zeichen(unsigned char byte) {
    if (unterstrich_) {
        unterstrich_ = false;
        // "_x" could be read as the start of an escape: its "_" is escaped.
        if (byte == 'x') {
            anfuegen(kMaskierterUnterstrich, kMaskenlaenge, kMaskenlaenge);
        } else {
            anfuegen("_", 1, 1);
        }
    }
    if (byte == '_') {
        unterstrich_ = true;
    } else if (byte == '\0') {
        anfuegen(kMaskiertesNul, kMaskenlaenge, kMaskenlaenge);
    } else if (byte < 0x80) {
        const char c = static_cast<char>(byte);
        anfuegen(&c, 1, 1);
    } else {
        const std::string utf8 = windows1252NachUtf8(byte);
        anfuegen(utf8.data(), utf8.size(), 1);
    }
}

void Zelltext::anhaengen(const char* daten, std::size_t anzahl) {
    for (std::size_t i = 0; i < anzahl && !gekuerzt_; ++i) zeichen(static_cast<unsigned char>(daten[i]));
}

const std::string& Zelltext::text() {
    if (unterstrich_) {  // the cell ends with "_"
        unterstrich_ = false;
        anfuegen("_", 1, 1);
    }
    return text_;
}

void Zelltext::leeren() {
    text_.clear();
    gezaehlt_ = 0;
    zeichen_ = 0;
    unterstrich_ = false;
    gekuerzt_ = false;
}

}  // namespace cdb2xls
