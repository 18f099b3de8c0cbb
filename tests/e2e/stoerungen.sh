#!/usr/bin/env bash
# End-to-end on Linux: runs that are killed midway, and two runs writing the
# same table at once. Usage: stoerungen.sh PROGRAMM CDB_ERZEUGEN
set -u
. "$(dirname "$0")/lib.sh"
programm=$(realpath "$1")
erzeugen=$(realpath "$2")
o=$(neuer_ordner)
cd "$o"

# Killed midway: the earlier table of that name is as it was, nothing left.
"$erzeugen" 64 > gross.cdb
printf 'frühere Tabelle\r' > liste.xls
cp liste.xls liste.vorher
"$programm" gross.cdb liste &
pid=$!
# Wait until the table being written holds a few MiB, then kill the run.
for _ in $(seq 500); do
    geschrieben=0
    for fd in /proc/$pid/fd/*; do
        case "$(readlink "$fd" 2>/dev/null)" in
            "$o"/*liste.xls*|"$o"/*deleted*) geschrieben=$(stat -L -c %s "$fd" 2>/dev/null || echo 0) ;;
        esac
    done
    [ "$geschrieben" -gt $((4 * 1024 * 1024)) ] && { echo "abgebrochen nach $geschrieben Bytes"; break; }
    sleep 0.01
done
kill -KILL $pid 2>/dev/null
wait $pid
erwarte "abgebrochen: mitten im Lauf beendet" "$?" 137
erwarte_inhalt "abgebrochen: frühere Tabelle unverändert" liste.xls liste.vorher
erwarte_keine_reste "abgebrochen: keine Reste" "$o"
erwarte "abgebrochen: nur die bekannten Dateien" "$(ls -A | sort | tr '\n' ' ')" "gross.cdb liste.vorher liste.xls "

# Two runs, one table name: the result is one of the two whole tables.
"$erzeugen" 16 > a.cdb
"$erzeugen" 17 > b.cdb
"$programm" a.cdb a && "$programm" b.cdb b
for runde in 1 2 3; do
    "$programm" a.cdb zusammen & eins=$!
    "$programm" b.cdb zusammen & zwei=$!
    wait $eins; s1=$?
    wait $zwei; s2=$?
    erwarte "gleichzeitig $runde: beide erfolgreich" "$s1$s2" 00
    if cmp -s zusammen.xls a.xls || cmp -s zusammen.xls b.xls; then
        ok "gleichzeitig $runde: eine ganze Tabelle"
    else
        nicht_ok "gleichzeitig $runde: eine ganze Tabelle" "zusammen.xls gleicht weder a.xls noch b.xls"
    fi
done
erwarte_keine_reste "gleichzeitig: keine Reste" "$o"

ergebnis
