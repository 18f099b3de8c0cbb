// The command-line scan. It looks at spaces and double quotes only, so it
// takes UTF-8 text byte by byte.
#include "convert/form1.h"
#include "convert/lauf.h"

namespace cdb2xls {
namespace {

// The character at 1-based position `pos`; beyond the end it is the empty
// string, which equals no character.
bool zeichenIst(std::string_view text, std::size_t pos, char c) {
    return pos >= 1 && pos <= text.size() && text[pos - 1] == c;
}

// `anzahl` characters from 1-based position `start`, as far as there are any.
std::string teil(std::string_view text, std::size_t start, std::size_t anzahl) {
    if (start > text.size()) return {};
    return std::string(text.substr(start - 1, anzahl));
}

std::string ohneLeerzeichenAussen(std::string_view text) {
    const auto anfang = text.find_first_not_of(' ');
    if (anfang == std::string_view::npos) return {};
    const auto ende = text.find_last_not_of(' ');
    return std::string(text.substr(anfang, ende - anfang + 1));
}

}  // namespace

bool Form1::BefehlszeilenParameter(std::string_view argumenttext) {
    befehlszeile_ = ohneLeerzeichenAussen(argumenttext);
    Zeile = befehlszeile_;
    if (Zeile.empty()) return false;
    const std::size_t laenge = Zeile.size();

    // Each search counts Pos up to the length of Zeile; when it finds
    // nothing, Pos ends one past the end (or stays where it started, if that
    // already lies beyond it).
    const auto sucheBis = [&](std::size_t start, auto gefunden) {
        for (Pos = start; Pos <= laenge; ++Pos) {
            if (gefunden(Pos)) return;
        }
    };
    const auto istAnfuehrung = [&](std::size_t p) { return zeichenIst(Zeile, p, '"'); };
    const auto istLeer = [&](std::size_t p) { return zeichenIst(Zeile, p, ' '); };
    const auto istNichtLeer = [&](std::size_t p) { return !zeichenIst(Zeile, p, ' '); };

    std::string eingabe;
    if (zeichenIst(Zeile, 1, '"')) {
        sucheBis(2, istAnfuehrung);
        eingabe = teil(Zeile, 2, Pos - 2);
    } else {
        sucheBis(1, istLeer);
        eingabe = teil(Zeile, 1, Pos - 1);
    }

    ++Pos;  // over the closing quote or the space
    sucheBis(Pos, istNichtLeer);
    TextAnfang = Pos;

    std::string ausgabe;
    if (zeichenIst(Zeile, TextAnfang, '"')) {
        sucheBis(TextAnfang + 1, istAnfuehrung);
        ausgabe = teil(Zeile, TextAnfang + 1, Pos - TextAnfang - 1);
    } else {
        sucheBis(TextAnfang + 1, istLeer);
        ausgabe = teil(Zeile, TextAnfang, Pos - TextAnfang);
    }

    Eingabedatei = eingabe;
    Ausgabedatei = ausgabeName(eingabe, ausgabe);
    return true;
}

}  // namespace cdb2xls
