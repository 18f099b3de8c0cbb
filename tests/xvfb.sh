# Starts a private X server for the window tests and pictures.
# xvfb_starten ORDNER: Xvfb at 96 dpi on a free display, noted in ORDNER;
# exports DISPLAY and sets XVFB_PID (the caller stops it).
xvfb_starten() {
    Xvfb -displayfd 3 -dpi 96 -screen 0 800x600x24 -nolisten tcp 3>"$1/display" 2>/dev/null &
    XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$1/display")"
}
