#!/usr/bin/env bash
# Runs the Windows window test under wine inside Xvfb, so that the window and
# the message box are real. Usage: fenster.sh FENSTER_TEST.exe FIXTURES CDB2XLS.exe
set -u
hier=$(cd "$(dirname "$0")" && pwd)
arbeit=$(mktemp -d "${TMPDIR:-/tmp}/cdb2xls-wine.XXXXXX")
Xvfb -displayfd 3 -dpi 96 -screen 0 800x600x24 -nolisten tcp 3>"$arbeit/display" 2>/dev/null &
xvfb=$!
# The prefix's wine server and desktop may still belong to another display.
stoppe_wine() { WINEPREFIX=$CDB2XLS_WINEPREFIX wineserver -k 2>/dev/null; WINEPREFIX=$CDB2XLS_WINEPREFIX wineserver -w 2>/dev/null; }
trap 'stoppe_wine; kill $xvfb 2>/dev/null; rm -rf "$arbeit"' EXIT
for _ in $(seq 100); do [ -s "$arbeit/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$arbeit/display")"
mkdir "$arbeit/ordner"
[ -d "$CDB2XLS_WINEPREFIX" ] && stoppe_wine
windows() { WINEPREFIX=$CDB2XLS_WINEPREFIX WINEDEBUG=-all winepath -w "$1" 2>/dev/null; }
bash "$hier/wine.sh" "$1" "$(windows "$2")" "$(windows "$arbeit/ordner")" "$(windows "$3")"
