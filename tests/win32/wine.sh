#!/usr/bin/env bash
# Runs a Windows program under wine in the test prefix, which is made on
# first use (once, even when tests start in parallel).
# Usage: wine.sh PROGRAMM.exe [ARGUMENTE...]   (prefix: $CDB2XLS_WINEPREFIX)
set -eu
export WINEPREFIX=${CDB2XLS_WINEPREFIX:?CDB2XLS_WINEPREFIX nicht gesetzt}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8 LC_ALL=C.UTF-8
mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 9
    if [ ! -f "$WINEPREFIX/.bereit" ]; then
        DISPLAY= wineboot --init >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.bereit"
    fi
) 9>"$WINEPREFIX.lock"
exec wine "$@"
