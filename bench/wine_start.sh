#!/usr/bin/env bash
# How long cdb2xls.exe takes for a small file under wine (start-up and all):
# the mean of RUNS runs of each given program on a 10 KB list, in turns.
# Usage: bench/wine_start.sh [RUNS] EXE...   (prefix: $CDB2XLS_WINEPREFIX)
set -eu
runs=10
[[ $1 =~ ^[0-9]+$ ]] && { runs=$1; shift; }
hier=$(cd "$(dirname "$0")" && pwd)
o=$(mktemp -d)
trap 'rm -rf "$o"' EXIT
python3 -c 'import sys
zeilen, i = ["<LIST>"], 0
while sum(len(z) + 2 for z in zeilen) < 10000:
    zeilen += ["A=Interpret %d" % i, "T=Album", "1:0,150,33,Lied", "$"]; i += 1
open(sys.argv[1], "wb").write(("\r\n".join(zeilen) + "\r\n\r\n").encode())' "$o/klein.cdb"
exes=(); for exe in "$@"; do exes+=("$(realpath "$exe")"); done
cd "$o"
for runde in 1 2; do
    for exe in "${exes[@]}"; do
        beginn=$(date +%s%N)
        for _ in $(seq "$runs"); do bash "$hier/../tests/win32/wine.sh" "$exe" klein.cdb; done
        echo "Runde $runde: $exe ($(stat -c %s "$exe") Bytes): $((($(date +%s%N) - beginn) / runs / 1000000)) ms je Lauf"
    done
done
