// The drop window, for a start without arguments.
#pragma once

#include "convert/dateien.h"

#include <optional>

namespace cdb2xls {

// Shows the window and waits for a dropped file; returns the program's exit
// status once the run has ended or the window was closed. Empty when no
// window can be shown (no display, or a build without one).
std::optional<int> fensterZeigen(int& argc, char** argv, Dateien& dateien);

}  // namespace cdb2xls
