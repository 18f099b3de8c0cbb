// The window side of the program, for the Linux start-up: the drop window
// for a start without arguments, and notices as message boxes. Both need a
// usable display, which is looked for before any window is built.
#pragma once

#include "convert/ausgang.h"
#include "convert/lauf.h"

#include <functional>
#include <optional>
#include <string>

namespace cdb2xls {

// Converts a dropped file; its notices go to the window's Meldestelle.
// Returns the program's exit status.
using Umwandlung = std::function<int(const std::string& pfad, Meldestelle& fenster)>;

// Shows the window and waits for a dropped file; returns the program's exit
// status once the run has ended or the window was closed. Empty when no
// window can be shown (no usable display, or a build without one).
std::optional<int> fensterZeigen(int& argc, char** argv, const Umwandlung& umwandlung);

// Shows the notice as a message box and waits for OK. False when no window
// can be shown.
bool hinweisImFensterZeigen(int& argc, char** argv, const Hinweis& hinweis);

}  // namespace cdb2xls
