#!/usr/bin/env bash
# End-to-end for cdb2xls.exe --xlsx under wine: every part of each workbook
# as the Linux program writes it for the same input (all but the time it
# was made, in docProps/core.xml), the same warnings on standard error, the
# Windows habit /xlsx, a file named --xlsx given in quotes, too many rows
# (a notice, the earlier workbook kept), and nothing left in the temporary
# folder, also after a run killed while it writes the rows.
# Usage: xlsx.sh CDB2XLS.EXE LINUX-CDB2XLS FIXTURES-ORDNER   (prefix: $CDB2XLS_WINEPREFIX)
set -u
hier=$(cd "$(dirname "$0")" && pwd)
. "$hier/../e2e/lib.sh"
exe=$(realpath "$1")
linux=$(realpath "$2")
fixtures=$(cd "$3" && pwd)
wine_lauf() { bash "$hier/wine.sh" "$exe" "$@"; }
temp="$CDB2XLS_WINEPREFIX/drive_c/users/$(id -un)/Temp"
bash "$hier/wine.sh" cmd /c exit 2>/dev/null  # the prefix, made once

# teile MAPPE: each part but the time stamp, as name and checksum.
teile() {
    python3 -c 'import hashlib, sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
for n in z.namelist():
    if n != "docProps/core.xml": print(n, hashlib.sha256(z.read(n)).hexdigest())' "$1" 2>&1
}

o=$(neuer_ordner)
cd "$o"
cp "$fixtures"/*.cdb .
{
    printf '<LIST>\r\nT='; head -c 40000 /dev/zero | tr '\0' x
    printf '\r\n16378:0,0,0,zu weit\r\n1:0,0,0,=SUMME(A1)\r\n$\r\nA='; head -c 6000 /dev/zero
    printf '\r\nC=\x84Zugabe\x93\x01\r\n$\r\n\r\n'
} > grenzen.cdb
mkdir linux
for eingabe in *.cdb; do
    cp "$eingabe" linux/
    (cd linux && "$linux" --xlsx "$eingabe" 2>fehler)
    wine_lauf --xlsx "$eingabe" 2>fehler
    status=$?
    erwarte "$eingabe: Arbeitsmappe wie unter Linux" "$status:$(teile "$eingabe.xlsx")" "0:$(teile "linux/$eingabe.xlsx")"
    erwarte "$eingabe: dieselben Warnungen" "$(tr -d '\r' <fehler | grep 'Warnung:')" "$(grep 'Warnung:' linux/fehler)"
done
wine_lauf /xlsx beispiel.cdb liste 2>fehler
erwarte "/xlsx wie --xlsx" "$?:$(teile liste.xlsx)" "0:$(teile linux/beispiel.cdb.xlsx)"
# Only a first argument that is the option is taken for it: a file named
# --xlsx, given by its path (as Explorer gives it), is a file.
cp beispiel.cdb -- --xlsx
wine_lauf "$(WINEPREFIX=$CDB2XLS_WINEPREFIX WINEDEBUG=-all winepath -w "$o/--xlsx" 2>/dev/null)" 2>fehler
erwarte "eine Datei namens --xlsx, mit ihrem Pfad" "$?:$(ls -- --xlsx.xls 2>/dev/null)" "0:--xlsx.xls"

# More rows than a workbook holds: a notice, and the earlier workbook stays.
{ printf '<LIST>\r\n'; yes '$' | head -n 1048577 | sed 's/$/\r/'; printf '\r\n'; } > zeilen.cdb
printf 'vorher' > zeilen.cdb.xlsx
wine_lauf --xlsx zeilen.cdb 2>fehler
erwarte "zu viele Zeilen: Hinweis" "$?:$(tr -d '\r' <fehler)" \
    "1:cdb2xls: Ausgabe-Datei nicht schreibbar: zeilen.cdb.xlsx: zu viele Zeilen für eine .xlsx-Arbeitsmappe (höchstens 1048576)"
erwarte "zu viele Zeilen: frühere Arbeitsmappe unverändert" "$(cat zeilen.cdb.xlsx)" vorher
erwarte "nichts bleibt im Ordner für Zwischendateien" "$(ls -A "$temp")" ""

# Killed while the rows are written: the earlier workbook, nothing beside it,
# nothing in the temporary folder (Windows deletes the library's files when
# their process is gone).
{ printf '<LIST>\r\n'; yes $'A=Interpret\r\nT=Album\r\n1:0,0,0,Lied\r\n$\r' | head -n 2000000; printf '\r\n'; } > gross.cdb
printf 'vorher' > gross.cdb.xlsx
bash "$hier/wine.sh" "$exe" --xlsx gross.cdb 2>/dev/null &  # not in a function's subshell: $! is wine
pid=$!
for _ in $(seq 600); do
    [ -n "$(find "$temp" -type f -name 'tmp.*' -size +2M 2>/dev/null | head -n 1)" ] && break
    sleep 0.05
done
kill -KILL $pid 2>/dev/null
wait $pid 2>/dev/null
for _ in $(seq 50); do [ -z "$(ls -A "$temp")" ] && break; sleep 0.1; done  # the wine server, a moment later
erwarte "abgebrochen: frühere Arbeitsmappe unverändert" "$(head -c 6 gross.cdb.xlsx | tr -d '\0')" vorher
erwarte "abgebrochen: nichts daneben" "$(ls -A | grep -c '^\.cdb2xls')" 0
erwarte "abgebrochen: nichts im Ordner für Zwischendateien" "$(ls -A "$temp")" ""

ergebnis
