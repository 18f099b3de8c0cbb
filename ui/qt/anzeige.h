// Which display the window goes to. Qt ends the process when it cannot open
// its platform, so the display is tried here first, before any Qt object is
// built.
#pragma once

namespace cdb2xls::qt {

// The environment variables that name a display: the program looks at them
// before it loads the window module (laden.cpp), the module when it picks one.
inline constexpr char kQtPlattform[] = "QT_QPA_PLATFORM";
inline constexpr char kXAnzeige[] = "DISPLAY";
inline constexpr char kWaylandAnzeige[] = "WAYLAND_DISPLAY";
inline constexpr const char* kAnzeigeVariablen[] = {kQtPlattform, kXAnzeige, kWaylandAnzeige};

// Finds a platform Qt can open (the one QT_QPA_PLATFORM names, else Wayland
// or X11 as the session has them) and sets QT_QPA_PLATFORM to it, so Qt
// takes just that. False when there is none: no display, or one that does
// not answer or refuses us.
bool anzeigeWaehlen();

}  // namespace cdb2xls::qt
