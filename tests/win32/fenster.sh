#!/usr/bin/env bash
# Runs the Windows window test under wine inside Xvfb, so that the window and
# the message box are real. Usage: fenster.sh FENSTER_TEST.exe FIXTURES CDB2XLS.exe
set -u
hier=$(cd "$(dirname "$0")" && pwd)
arbeit=$(mktemp -d "${TMPDIR:-/tmp}/cdb2xls-wine.XXXXXX")
. "$hier/../xvfb.sh"
xvfb_starten "$arbeit"
# The prefix's wine server and desktop may still belong to another display.
stoppe_wine() { WINEPREFIX=$CDB2XLS_WINEPREFIX wineserver -k 2>/dev/null; WINEPREFIX=$CDB2XLS_WINEPREFIX wineserver -w 2>/dev/null; }
trap 'stoppe_wine; kill $XVFB_PID 2>/dev/null; rm -rf "$arbeit"' EXIT
mkdir "$arbeit/ordner"
[ -d "$CDB2XLS_WINEPREFIX" ] && stoppe_wine
windows() { WINEPREFIX=$CDB2XLS_WINEPREFIX WINEDEBUG=-all winepath -w "$1" 2>/dev/null; }
bash "$hier/wine.sh" "$1" "$(windows "$2")" "$(windows "$arbeit/ordner")" "$(windows "$3")"
