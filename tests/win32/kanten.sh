#!/usr/bin/env bash
# End-to-end for cdb2xls.exe under wine, without a display: the notice on
# standard error, a path longer than the plain API takes, a run killed
# midway, an output that would be the input, and lines longer than a block
# (whose text is in part read again from the file).
# Usage: kanten.sh CDB2XLS.EXE FIXTURES-ORDNER   (prefix: $CDB2XLS_WINEPREFIX)
set -u
hier=$(cd "$(dirname "$0")" && pwd)
. "$hier/../e2e/lib.sh"
exe=$(realpath "$1")
fixtures=$(cd "$2" && pwd)
beispiel="$fixtures/beispiel.cdb"
wine_lauf() { bash "$hier/wine.sh" "$exe" "$@"; }
windows() { WINEPREFIX=$CDB2XLS_WINEPREFIX WINEDEBUG=-all winepath -w "$1" 2>/dev/null; }

# No desktop: the box cannot be shown, so the notice goes to stderr; a batch
# file's redirection gets it as well.
o=$(neuer_ordner)
cd "$o"
wine_lauf fehlt.cdb 2>fehler
erwarte "ohne Anzeige: Status" "$?" 1
erwarte "ohne Anzeige: Hinweis in der Datei" "$(tr -d '\r' <fehler)" "cdb2xls: cdb-Datei nicht gefunden: fehlt.cdb"
erwarte "ohne Anzeige: Hinweis durch ein Rohr" "$(wine_lauf fehlt.cdb 2>&1 | tr -d '\r')" \
    "cdb2xls: cdb-Datei nicht gefunden: fehlt.cdb"

# The output must never replace the input.
cp "$beispiel" liste.xls
wine_lauf liste.xls liste 2>fehler
erwarte "Ausgabe wäre die Eingabe" "$?:$(tr -d '\r' <fehler)" "1:cdb2xls: Ausgabe-Datei wäre die cdb-Datei selbst: liste.xls"
erwarte_inhalt "Ausgabe wäre die Eingabe: Eingabe unverändert" liste.xls "$beispiel"

# A path of more than 260 characters, given in full.
teil=$(printf 'v%.0s' $(seq 90))
tief="$o/$teil/$teil/$teil"
mkdir -p "$tief"
cp "$beispiel" "$tief/CDs.cdb"
printf 'alt\r' > "$tief/CDs.cdb.xls"
pfad="$(windows "$o")\\$teil\\$teil\\$teil\\CDs.cdb"  # (winepath itself stops at 260)
wine_lauf "$pfad" 2>fehler
erwarte "langer Pfad (${#pfad} Zeichen): Status" "$?:$(tr -d '\r' <fehler)" "0:"
erwarte_inhalt "langer Pfad: Tabelle ersetzt" "$tief/CDs.cdb.xls" "$fixtures/beispiel.xls"
erwarte_keine_reste "langer Pfad: keine Reste" "$o"

# Lines of 3 MiB, longer than a block: a lettered item, and a numbered
# entry with too few commas, whose text is only known at the line's end and
# is then read again from the file (while the reading goes on behind it).
x3m() { head -c $((3 * 1024 * 1024)) /dev/zero | tr '\0' x; }
{ printf '<LIST>\r\nA='; x3m; printf '\r\n1:a,'; x3m; printf '\r\n$\r\nA=danach\r\n$\r\n\r\n'; } > lang.cdb
{ x3m; printf '\t\t\t\t\t\t\t'; x3m; printf '\rdanach\r'; } > lang.soll
wine_lauf lang.cdb 2>fehler
erwarte "lange Zeilen: Status" "$?:$(tr -d '\r' <fehler)" "0:"
erwarte_inhalt "lange Zeilen: Tabelle" lang.cdb.xls lang.soll
rm -f lang.cdb lang.cdb.xls lang.soll

# Killed midway (kill -9, and SIGTERM): the earlier table stays, and the
# file the table was written into is gone with the process. (The input is
# large, as wine converts it quickly: the run must still be going when the
# signal comes.)
{
    printf '<LIST>\r\n'
    yes $'A=Interpret mit einem längeren Namen\r\nT=Album\r\n1:0,0,0,Lied\r\n$\r' | head -n 12000000
    printf '\r\n'
} > gross.cdb
for signal in KILL TERM; do
    printf 'frühere Tabelle\r' > liste.xls
    wine_lauf gross.cdb liste 2>/dev/null &
    pid=$!
    groesse=0
    for _ in $(seq 600); do
        groesse=$(stat -c %s .cdb2xls-*.tmp 2>/dev/null | head -n 1)
        [ "${groesse:-0}" -gt $((2 * 1024 * 1024)) ] && break
        sleep 0.01
    done
    kill -"$signal" $pid 2>/dev/null
    wait $pid 2>/dev/null
    erwarte "SIG$signal nach ${groesse:-0} Bytes: vom Signal beendet" "$?" $((128 + $(kill -l "$signal")))
    printf 'frühere Tabelle\r' | cmp -s - liste.xls
    erwarte "SIG$signal: frühere Tabelle unverändert" "$?" 0
    # The wine server closes the dead process's handles a moment later.
    for _ in $(seq 50); do compgen -G '.cdb2xls-*.tmp' >/dev/null || break; sleep 0.1; done
    erwarte "SIG$signal: keine Reste" "$(ls -A | sort | tr '\n' ' ')" "fehler gross.cdb liste.xls $teil "
done
wine_lauf gross.cdb liste 2>/dev/null
erwarte "ganze Umwandlung danach" "$?:$(ls -A | sort | tr '\n' ' ')" "0:fehler gross.cdb liste.xls $teil "

ergebnis
