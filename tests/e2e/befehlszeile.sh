#!/usr/bin/env bash
# End-to-end on Linux: options, messages on stderr, exit statuses, and the
# file-system faults a run must survive.
# Usage: befehlszeile.sh PROGRAMM FIXTURES-ORDNER VERSION BESCHREIBUNG (the build's)
set -u
. "$(dirname "$0")/lib.sh"
programm=$(realpath "$1")
fixtures=$(cd "$2" && pwd)
version=$3
beschreibung=$4
beispiel="$fixtures/beispiel.cdb"

# lauf ORDNER ARGUMENTE...: runs the program there; sets status, aus, fehler
lauf() {
    local ordner=$1
    shift
    aus=$(cd "$ordner" && "$programm" "$@" 2>"$ordner/../stderr.$$")
    status=$?
    fehler=$(cat "$ordner/../stderr.$$")
    rm -f "$ordner/../stderr.$$"
}

o=$(neuer_ordner)
cp "$beispiel" "$o/CDs.cdb"

lauf "$o" CDs.cdb
erwarte "Erfolg: Status" "$status" 0
erwarte "Erfolg: keine Ausgabe" "$aus$fehler" ""

lauf "$o" --help
erwarte "--help: Status" "$status" 0
erwarte "--help: Parameterzeile" "$(grep -c 'Parameter:   \[Eingabe-.cdb-Datei\] \[Ausgabe-Datei\]' <<<"$aus")" 1
erwarte "--help: Beschreibung" "$(grep -cF "$beschreibung" <<<"$aus")" 1
erwarte "--help: sagt, dass das Programm Deutsch spricht" "$(grep -c 'spricht Deutsch' <<<"$aus")" 1
lauf "$o" -h
erwarte "-h wie --help" "$status:$(grep -c 'Parameter:   \[Eingabe-.cdb-Datei\] \[Ausgabe-Datei\]' <<<"$aus")" 0:1

lauf "$o" --version
erwarte "--version" "$status:$aus" "0:cdb2xls $version
$beschreibung"

cp "$beispiel" "$o/--help"
lauf "$o" -- --help
erwarte "-- beendet die Optionen: Status" "$status" 0
erwarte_inhalt "-- beendet die Optionen: Tabelle" "$o/--help.xls" "$fixtures/beispiel.xls"

lauf "$o"
erwarte "ohne Argumente: Status" "$status" 2
erwarte "ohne Argumente: Aufruf auf stderr" "$(grep -c '^Parameter:   \[Eingabe-.cdb-Datei\] \[Ausgabe-Datei\]$' <<<"$fehler")" 1

lauf "$o" --gibtsnicht CDs.cdb
erwarte "unbekannte Option: Status" "$status" 2
erwarte "unbekannte Option: Meldung" "$(head -n 1 <<<"$fehler")" "cdb2xls: unbekannte Option „--gibtsnicht“"

lauf "$o" CDs.cdb ""
erwarte "leeres zweites Argument" "$status" 0
erwarte_inhalt "leeres zweites Argument: Tabelle" "$o/CDs.cdb.xls" "$fixtures/beispiel.xls"

# Missing input: one line on stderr, nothing created.
o=$(neuer_ordner)
lauf "$o" fehlt.cdb
erwarte "fehlende Eingabe" "$status:$fehler" "1:cdb2xls: cdb-Datei nicht gefunden: fehlt.cdb"
erwarte "fehlende Eingabe: nichts geschrieben" "$(ls -A "$o")" ""

cp "$beispiel" "$o/a.cdb"
lauf "$o" '*.cdb'
erwarte "Stern ist kein Muster" "$status:$fehler" "1:cdb2xls: cdb-Datei nicht gefunden: *.cdb"
lauf "$o" 'a.cd?'
erwarte "Fragezeichen ist kein Muster" "$status" 1
mkfifo "$o/fifo.cdb"
lauf "$o" fifo.cdb
erwarte "FIFO ist keine Datei" "$status:$fehler" "1:cdb2xls: cdb-Datei nicht gefunden: fifo.cdb: ist keine Datei, sondern eine Pipe"
lauf "$o" ""
erwarte "leerer Name" "$status:$fehler" "1:cdb2xls: cdb-Datei nicht gefunden: "
rm -f "$o/fifo.cdb"

cp "$beispiel" "$o/.versteckt.cdb"
ln -s a.cdb "$o/verweis.cdb"
lauf "$o" .versteckt.cdb
erwarte_inhalt "versteckte Datei zählt" "$o/.versteckt.cdb.xls" "$fixtures/beispiel.xls"
lauf "$o" verweis.cdb
erwarte_inhalt "Verweis auf eine Datei zählt" "$o/verweis.cdb.xls" "$fixtures/beispiel.xls"

# No list section: an empty table, a warning, success.
cp "$fixtures/ohne_liste.cdb" "$o/ohne.cdb"
lauf "$o" ohne.cdb
erwarte "ohne <LIST>" "$status:$fehler" "0:cdb2xls: ohne.cdb: kein <LIST>-Abschnitt gefunden"
erwarte_inhalt "ohne <LIST>: leere Tabelle" "$o/ohne.cdb.xls" "$fixtures/ohne_liste.xls"

# The output must never replace the input.
o=$(neuer_ordner)
cp "$beispiel" "$o/liste.xls"
lauf "$o" liste.xls liste
erwarte "Ausgabe wäre die Eingabe" "$status:$fehler" \
    "1:cdb2xls: Ausgabe-Datei wäre die cdb-Datei selbst: liste.xls"
erwarte_inhalt "Ausgabe wäre die Eingabe: Eingabe unverändert" "$o/liste.xls" "$beispiel"
cp "$beispiel" "$o/CDs.cdb"
ln -s CDs.cdb "$o/anders.xls"
lauf "$o" CDs.cdb anders
erwarte "Ausgabe ist Verweis auf die Eingabe" "$status" 1
erwarte_inhalt "Ausgabe ist Verweis auf die Eingabe: Eingabe unverändert" "$o/CDs.cdb" "$beispiel"

# A link as output: the file it points to gets the table, the link stays.
printf 'alt' > "$o/ziel.xls"
ln -s ziel.xls "$o/verweis.xls"
lauf "$o" CDs.cdb verweis
erwarte "Ausgabe über Verweis: Status" "$status" 0
erwarte "Ausgabe über Verweis: Verweis bleibt" "$(readlink "$o/verweis.xls")" ziel.xls
erwarte_inhalt "Ausgabe über Verweis: Ziel hat die Tabelle" "$o/ziel.xls" "$fixtures/beispiel.xls"

# Read and write failures: a notice with the reason, exit 1, nothing left.
o=$(neuer_ordner)
lauf "$o" /proc/self/mem "$o/mem"
erwarte "Lesefehler" "$status:$fehler" "1:cdb2xls: cdb-Datei nicht lesbar: /proc/self/mem: Input/output error"
erwarte_ohne "Lesefehler: keine Tabelle" "$o/mem.xls"

cp "$beispiel" "$o/CDs.cdb"
lauf "$o" CDs.cdb fehlt/liste
erwarte "fehlender Ordner" "$status:$fehler" \
    "1:cdb2xls: Ausgabe-Datei nicht schreibbar: fehlt/liste.xls: No such file or directory"
mkdir "$o/ordner.xls"
lauf "$o" CDs.cdb ordner
erwarte "Ausgabe ist Ordner" "$status:$fehler" \
    "1:cdb2xls: Ausgabe-Datei nicht schreibbar: ordner.xls: Is a directory"

ln -s /dev/full "$o/voll.xls"
lauf "$o" CDs.cdb voll
erwarte "Gerät voll" "$status:$fehler" \
    "1:cdb2xls: Ausgabe-Datei nicht schreibbar: voll.xls: No space left on device"

# A file-size limit hit midway: the earlier table stays as it was.
gross="$o/groß.cdb"
{
    printf '<LIST>\r\n'
    for i in $(seq 1 3000); do printf 'A=Interpret %d\r\nT=Album\r\n1:0,0,0,Lied\r\n$\r\n' "$i"; done
    printf '\r\n'
} > "$gross"
printf 'frühere Tabelle\r' > "$o/alt.xls"
cp "$o/alt.xls" "$o/alt.vorher"
(cd "$o" && ulimit -f 16 && "$programm" groß.cdb alt 2>"$o/fehler.txt")
erwarte "Größengrenze: Status" "$?" 1
erwarte "Größengrenze: Meldung" "$(cat "$o/fehler.txt")" \
    "cdb2xls: Ausgabe-Datei nicht schreibbar: alt.xls: File too large"
erwarte_inhalt "Größengrenze: frühere Tabelle unverändert" "$o/alt.xls" "$o/alt.vorher"
erwarte_keine_reste "Größengrenze: keine Reste" "$o"

ergebnis
