// The text of one cell as a workbook holds it. The table's bytes are
// Windows-1252; a workbook holds UTF-8 in XML, where a few characters need
// Excel's escape "_xHHHH_": the writing library escapes the control
// characters, and NUL (which cannot pass it in a C string) and a literal
// "_x" (which a reader would take for the start of an escape) are escaped
// here. A cell holds at most 32,767 characters as the library counts them:
// a character of the text it is given is one, so an escape made here counts
// as its 7, a control character the library escapes itself as 1. The rest
// is cut off.
#pragma once

#include <cstddef>
#include <string>

namespace cdb2xls {

class Zelltext {
public:
    static constexpr std::size_t kHoechstlaenge = 32767;

    // Appends the next bytes of the cell's text (Windows-1252).
    void anhaengen(const char* daten, std::size_t anzahl);
    // The text so far, UTF-8 and escaped; at most kHoechstlaenge characters
    // as the writing library counts them.
    const std::string& text();
    // How many characters of the cell's own text it holds (an escape made
    // here stands for one).
    std::size_t zeichen() const { return zeichen_; }
    bool leer() const { return text_.empty() && !unterstrich_; }
    // True when characters were cut off.
    bool gekuerzt() const { return gekuerzt_; }
    void leeren();

private:
    void zeichen(unsigned char byte);
    void anfuegen(const char* utf8, std::size_t laenge, std::size_t gezaehlt);

    std::string text_;
    std::size_t gezaehlt_ = 0;  // characters as the writing library counts them
    std::size_t zeichen_ = 0;   // characters of the cell's own text
    bool unterstrich_ = false;  // a "_" waits for the next byte
    bool gekuerzt_ = false;
};

}  // namespace cdb2xls
