#!/usr/bin/env bash
# End-to-end with and without a display: the drop window of a start without
# arguments in a real X server (Xvfb); a command-line run that never shows a
# box, whatever stderr is; the message box of --desktop; and displays that
# do not answer. With a third argument, PNG pictures of the window and the
# box are saved there. Usage: fenster_xvfb.sh PROGRAMM FIXTURES-ORDNER [BILDER-ORDNER]
set -u
. "$(dirname "$0")/lib.sh"
programm=$(realpath "$1")
bilder=${3:-}
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")/.." && pwd)/lsan.supp"

o=$(neuer_ordner)
export XDG_RUNTIME_DIR="$o/laufzeit"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Displays that do not answer: never an abort, never a wait.
# keine_anzeige NAME UMGEBUNG...: runs without arguments and with --desktop
keine_anzeige() {
    local name=$1
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" timeout 20 "$programm" >"$o/aus" 2>"$o/fehler"
    erwarte "$name, ohne Argumente: Status" "$?" 2
    erwarte "$name, ohne Argumente: Aufruf" "$(grep -c '^Parameter:   \[Eingabe-.cdb-Datei\] \[Ausgabe-Datei\]$' "$o/fehler")" 1
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" timeout 20 "$programm" --desktop "$o/fehlt.cdb" >"$o/aus" 2>"$o/fehler"
    erwarte "$name, --desktop: Status" "$?" 1
    erwarte "$name, --desktop: Hinweis auf stderr" "$(cat "$o/fehler")" "cdb2xls: cdb-Datei nicht gefunden: $o/fehlt.cdb"
}
frei=$((900 + RANDOM % 90))
keine_anzeige "ohne Anzeige"
keine_anzeige "X-Anzeige antwortet nicht" DISPLAY=":$frei"
keine_anzeige "Wayland antwortet nicht" WAYLAND_DISPLAY="wayland-$frei"
keine_anzeige "beide antworten nicht" WAYLAND_DISPLAY="wayland-$frei" DISPLAY=":$frei" XDG_SESSION_TYPE=wayland
keine_anzeige "Qt-Plattform xcb ohne X" QT_QPA_PLATFORM=xcb DISPLAY=":$frei"

. "$(dirname "$0")/../xvfb.sh"
# An X server that takes the connection but never answers: stopped.
mkdir "$o/angehalten"
xvfb_starten "$o/angehalten"
angehalten=$DISPLAY
kill -STOP $XVFB_PID
keine_anzeige "X-Anzeige angehalten" DISPLAY="$angehalten"
kill -KILL $XVFB_PID
wait $XVFB_PID 2>/dev/null
# A Wayland compositor that takes the connection but never answers: a
# socket that is listened on and never read.
python3 -c 'import socket, sys, time
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(8)
time.sleep(600)' "$XDG_RUNTIME_DIR/wayland-stumm" &
stumm=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/wayland-stumm" ] && break; sleep 0.05; done
keine_anzeige "Wayland angehalten" WAYLAND_DISPLAY=wayland-stumm XDG_SESSION_TYPE=wayland
kill $stumm
wait $stumm 2>/dev/null

xvfb_starten "$o"
trap 'kill $XVFB_PID 2>/dev/null; rm -rf "${aufzuraeumen[@]}"' EXIT
export QT_QPA_PLATFORM=

# The first visible window whose name matches $1. With the process $2, it
# is waited for as long as that process runs, which either shows it or ends:
# a start slowed down by the load of a full test run only takes longer.
# Without $2, asked once (for a process that has ended). Asked again and
# again rather than with --sync: a search fails at once with an X error
# when a window it looks at goes meanwhile (an earlier program's, closing).
sichtbar() {
    local fenster
    while :; do
        fenster=$(timeout 5 xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        if [ -n "$fenster" ]; then
            echo "$fenster"
            return
        fi
        [ -n "${2:-}" ] && kill -0 "$2" 2>/dev/null || return 0
        sleep 0.1
    done
}
groesse() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
# (The box's title is "Häää?"; matched in ASCII, as the locale may be plain C.)
box_titel='^H.*\?$'

# Without arguments: the window, 3744 x 2556 twips at 96 dpi, waiting for a drop.
"$programm" >"$o/aus" 2>"$o/fehler" &
pid=$!
fenster=$(sichtbar '^QUORBs Tromil CDDB-Exporteur$' $pid)
erwarte "Fenster erscheint" "${fenster:+ja}" ja
if [ -n "$fenster" ]; then
    erwarte "Fenstergröße in Pixeln" "$(groesse "$fenster")" 250x170
    [ -n "$bilder" ] && import -window "$fenster" "$bilder/fenster.png"
fi
sleep 0.5
erwarte "Fenster wartet auf eine Datei" "$(kill -0 $pid 2>/dev/null && echo ja)" ja
kill $pid 2>/dev/null
wait $pid 2>/dev/null

# From the command line, with a display there: never a box, whatever stderr
# is. A script's loop does not stop at the first error.
for art in Terminal Datei Anhängen Rohr offscreen geschlossen; do
    case $art in
        Terminal)  # a pseudo-terminal of its own, through script(1)
            timeout 20 script -qefc "$(printf '%q ' "$programm" "$o/fehlt.cdb")" /dev/null >"$o/fehler" </dev/null
            s=$?; tr -d '\r' <"$o/fehler" >"$o/fehler.zeile"; mv "$o/fehler.zeile" "$o/fehler"; (exit $s) ;;
        Datei) timeout 20 "$programm" "$o/fehlt.cdb" 2>"$o/fehler" ;;
        Anhängen) : >"$o/fehler"; timeout 20 "$programm" "$o/fehlt.cdb" 2>>"$o/fehler" ;;
        Rohr) timeout 20 "$programm" "$o/fehlt.cdb" 2>&1 | cat >"$o/fehler"; (exit "${PIPESTATUS[0]}") ;;
        offscreen) QT_QPA_PLATFORM=offscreen timeout 20 "$programm" "$o/fehlt.cdb" 2>"$o/fehler" ;;
        geschlossen)  # nothing to read back: only that it ends at once
            timeout 20 "$programm" "$o/fehlt.cdb" 2>&-
            s=$?; echo "cdb2xls: cdb-Datei nicht gefunden: $o/fehlt.cdb" >"$o/fehler"; (exit $s) ;;
    esac
    erwarte "stderr $art: Status ohne Warten" "$?" 1
    erwarte "stderr $art: Zeile" "$(cat "$o/fehler")" "cdb2xls: cdb-Datei nicht gefunden: $o/fehlt.cdb"
    erwarte "stderr $art: keine Box" "$(sichtbar "$box_titel")" ""
done

# --desktop, as the desktop entry starts it: the notice as a box too.
"$programm" --desktop "$o/fehlt.cdb" >"$o/aus" 2>"$o/fehler" &
pid=$!
box=$(sichtbar "$box_titel" $pid)
erwarte "--desktop: Hinweis erscheint" "${box:+ja}" ja
if [ -n "$box" ]; then
    [ -n "$bilder" ] && import -window "$box" "$bilder/hinweis.png"
    xdotool key --window "$box" Return 2>/dev/null
else
    kill $pid 2>/dev/null
fi
wait $pid
erwarte "--desktop: Status nach OK" "$?" 1
[ -n "$box" ] || { echo "  stderr des Programms:"; sed 's/^/    /' "$o/fehler"; }
erwarte "--desktop: Zeile auf stderr" "$(head -n 1 "$o/fehler")" "cdb2xls: cdb-Datei nicht gefunden: $o/fehlt.cdb"

# --desktop after a conversion that worked: no box, nothing to wait for.
cp "$2/beispiel.cdb" "$o/CDs.cdb"
timeout 20 "$programm" --desktop "$o/CDs.cdb" 2>"$o/fehler"
erwarte "--desktop, Erfolg: Status" "$?" 0
erwarte_inhalt "--desktop, Erfolg: Tabelle" "$o/CDs.cdb.xls" "$2/beispiel.xls"

ergebnis
