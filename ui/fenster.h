// The window side of the program, for the Linux start-up: the drop window
// for a start without arguments, and notices as message boxes.
#pragma once

#include "convert/ausgang.h"
#include "convert/dateien.h"

#include <optional>

namespace cdb2xls {

// Shows the window and waits for a dropped file; returns the program's exit
// status once the run has ended or the window was closed. Empty when no
// window can be shown (no display, or a build without one).
std::optional<int> fensterZeigen(int& argc, char** argv, Dateien& dateien);

// Shows the notice as a message box and waits for OK. False when no window
// can be shown.
bool hinweisImFensterZeigen(int& argc, char** argv, const Hinweis& hinweis);

}  // namespace cdb2xls
