# Helpers for the end-to-end scripts: each check prints a line, the script
# ends with "N passed, N failed" and fails when any check did.
# No display: the program must never wait on a window or message box here.
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=

bestanden=0
fehlgeschlagen=0

ok() { bestanden=$((bestanden + 1)); echo "ok: $1"; }
nicht_ok() { fehlgeschlagen=$((fehlgeschlagen + 1)); echo "FEHLER: $1"; [ $# -gt 1 ] && printf '  %s\n' "${@:2}"; return 0; }

# erwarte NAME BEKOMMEN ERWARTET
erwarte() {
    if [ "$2" = "$3" ]; then ok "$1"; else nicht_ok "$1" "bekommen: «$2»" "erwartet: «$3»"; fi
}

# erwarte_inhalt NAME DATEI ERWARTETE-DATEI: same bytes
erwarte_inhalt() {
    if [ ! -f "$2" ]; then nicht_ok "$1" "$2 fehlt"
    elif cmp -s "$2" "$3"; then ok "$1"
    else nicht_ok "$1" "$2 weicht ab von $3:" "$(cmp "$2" "$3" 2>&1)"; fi
}

# erwarte_ohne NAME DATEI: the file does not exist
erwarte_ohne() {
    if [ -e "$2" ] || [ -L "$2" ]; then nicht_ok "$1" "$2 sollte nicht existieren"; else ok "$1"; fi
}

# erwarte_keine_reste NAME ORDNER: no file left behind by the replacement
# (the file beside the target, when it has a name: .cdb2xls-XXXXXXXX.tmp)
erwarte_keine_reste() {
    local reste
    reste=$(find "$2" -name '.cdb2xls-*.tmp' | head -n 3)
    if [ -z "$reste" ]; then ok "$1"; else nicht_ok "$1" "übrig: $reste"; fi
}

# Every folder of a script lies in one, removed when the script ends (the
# folders are made in subshells, $(neuer_ordner), which cannot report back).
# Open to all, as some checks run as an unprivileged user.
testwurzel=$(mktemp -d "${TMPDIR:-/tmp}/cdb2xls-e2e.XXXXXX")
chmod 755 "$testwurzel"
aufzuraeumen=("$testwurzel")
neuer_ordner() { mktemp -d "$testwurzel/XXXXXX"; }
trap 'rm -rf "${aufzuraeumen[@]}"' EXIT

# erreichbar PROGRAMM: a copy of the program and the modules beside it in a
# folder every user may enter, for the checks run as an unprivileged user:
# the build itself may lie where only root may go (a checkout under /root).
erreichbar() {
    local ordner
    ordner=$(neuer_ordner)
    chmod 755 "$ordner"
    cp "$1" "$ordner/"
    for modul in "$(dirname "$1")"/cdb2xls-*.so; do [ -e "$modul" ] && cp "$modul" "$ordner/"; done
    echo "$ordner/$(basename "$1")"
}

ergebnis() {
    echo "$bestanden passed, $fehlgeschlagen failed"
    [ "$fehlgeschlagen" -eq 0 ]
}
