// The window side of Form1 on Windows: a top-level window of class "Form1"
// whose child "Label1" takes a dropped file.
#pragma once

#include "convert/ausgang.h"
#include "convert/dateien.h"
#include "convert/lauf.h"

#include <windows.h>

#include <functional>
#include <string>

namespace cdb2xls::win32 {

// Creates the window (not yet shown). After a drop has been converted, and
// its notice answered, `beendet` gets the run's exit status; closing the
// window without a run gives 0. The window keeps a reference to `dateien`
// and `format` (the table's form; null for the TAB-separated text).
HWND form1Erstellen(HINSTANCE instanz, Dateien& dateien, std::function<void(int)> beendet,
                    Tabellenformat* format = nullptr);

// The label of a window made by form1Erstellen.
HWND label1Von(HWND form1);

// Shows a notice as a modal message box with the stop icon and one OK
// button; false when no box could be shown (no desktop).
bool hinweisZeigen(const Hinweis& hinweis, HWND eltern);

// A run's notices: a line on standard error where the program has one (a
// file, a pipe, a console), and the message box over `eltern` (null: over
// the desktop). Where neither is there, the line goes to the console the
// program was started from.
class Win32Meldung final : public Meldestelle {
public:
    explicit Win32Meldung(HWND eltern) : eltern_(eltern) {}
    void melden(const Hinweis& hinweis) override;
    // What a workbook could not hold: a line on standard error, where there is one.
    static void warnung(const std::string& text);

private:
    HWND eltern_;
};

}  // namespace cdb2xls::win32
