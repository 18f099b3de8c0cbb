#!/usr/bin/env bash
# End-to-end in a real X server (Xvfb): the drop window of a start without
# arguments, and the message box of a failed command-line run started where
# nobody reads stderr. With a third argument, PNG pictures of both are saved
# there. Usage: fenster_xvfb.sh PROGRAMM FIXTURES-ORDNER [BILDER-ORDNER]
set -u
. "$(dirname "$0")/lib.sh"
programm=$(realpath "$1")
bilder=${3:-}
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")/.." && pwd)/lsan.supp"

o=$(neuer_ordner)
. "$(dirname "$0")/../xvfb.sh"
xvfb_starten "$o"
trap 'kill $XVFB_PID 2>/dev/null; rm -rf "${aufzuraeumen[@]}"' EXIT
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$o/laufzeit"
mkdir -m 700 "$XDG_RUNTIME_DIR"

sichtbar() { timeout 20 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
groesse() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }

# Without arguments: the window, 3744 x 2556 twips at 96 dpi, waiting for a drop.
"$programm" >"$o/aus" 2>"$o/fehler" &
pid=$!
fenster=$(sichtbar '^QUORBs Tromil CDDB-Exporteur$')
erwarte "Fenster erscheint" "${fenster:+ja}" ja
if [ -n "$fenster" ]; then
    erwarte "Fenstergröße in Pixeln" "$(groesse "$fenster")" 250x170
    [ -n "$bilder" ] && import -window "$fenster" "$bilder/fenster.png"
fi
sleep 0.5
erwarte "Fenster wartet auf eine Datei" "$(kill -0 $pid 2>/dev/null && echo ja)" ja
kill $pid 2>/dev/null
wait $pid 2>/dev/null

# A failed run from the desktop: stderr is no terminal, so a box shows too.
"$programm" "$o/fehlt.cdb" >"$o/aus" 2>"$o/fehler" &
pid=$!
# (The title is "Häää?"; matched in ASCII, as the locale may be plain C.)
box=$(sichtbar '^H.*\?$')
erwarte "Hinweis erscheint" "${box:+ja}" ja
if [ -n "$box" ]; then
    [ -n "$bilder" ] && import -window "$box" "$bilder/hinweis.png"
    xdotool key --window "$box" Return 2>/dev/null
else
    kill $pid 2>/dev/null
fi
wait $pid
erwarte "Hinweis: Status nach OK" "$?" 1
erwarte "Hinweis: Zeile auf stderr" "$(head -n 1 "$o/fehler")" "cdb2xls: cdb-Datei nicht gefunden: $o/fehlt.cdb"

ergebnis
