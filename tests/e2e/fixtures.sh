#!/usr/bin/env bash
# End-to-end: runs the real program on every fixture and on the output name
# rules. Usage: fixtures.sh FIXTURES-ORDNER PROGRAMM [ARGUMENTE...]
# (the program may be a command of several words, e.g. wine cdb2xls.exe).
set -u
. "$(dirname "$0")/lib.sh"
fixtures=$(cd "$1" && pwd)
shift
programm=("$@")
# The checks run in other folders: a program given by a relative path is made absolute.
[ -e "${programm[0]}" ] && programm[0]=$(realpath "${programm[0]}")

for eingabe in "$fixtures"/*.cdb; do
    name=$(basename "$eingabe" .cdb)
    ordner=$(neuer_ordner)
    cp "$eingabe" "$ordner/CDs.cdb"
    (cd "$ordner" && "${programm[@]}" CDs.cdb >/dev/null 2>&1)
    erwarte "$name: Status" "$?" 0
    erwarte_inhalt "$name: Tabelle" "$ordner/CDs.cdb.xls" "$fixtures/$name.xls"
    erwarte_inhalt "$name: Eingabe unverändert" "$ordner/CDs.cdb" "$eingabe"
    erwarte_keine_reste "$name: keine Reste" "$ordner"
done

ordner=$(neuer_ordner)
cp "$fixtures/beispiel.cdb" "$ordner/CDs.cdb"
(cd "$ordner" && "${programm[@]}" CDs.cdb liste >/dev/null 2>&1)
erwarte "zweites Argument: Status" "$?" 0
erwarte_inhalt "zweites Argument: liste.xls" "$ordner/liste.xls" "$fixtures/beispiel.xls"
erwarte_ohne "zweites Argument: kein CDs.cdb.xls" "$ordner/CDs.cdb.xls"

mkdir "$ordner/Meine Daten"
cp "$fixtures/achtbit.cdb" "$ordner/Meine Daten/Ärzte & Söhne.cdb"
(cd "$ordner" && "${programm[@]}" "Meine Daten/Ärzte & Söhne.cdb" "Meine Daten/Meine Liste" >/dev/null 2>&1)
erwarte "Leerzeichen und Umlaute im Namen: Status" "$?" 0
erwarte_inhalt "Leerzeichen und Umlaute im Namen: Tabelle" "$ordner/Meine Daten/Meine Liste.xls" \
    "$fixtures/achtbit.xls"
(cd "$ordner" && "${programm[@]}" "Meine Daten/Ärzte & Söhne.cdb" >/dev/null 2>&1)
erwarte_inhalt "Tabelle neben der Eingabe" "$ordner/Meine Daten/Ärzte & Söhne.cdb.xls" \
    "$fixtures/achtbit.xls"

printf 'alt' > "$ordner/liste.xls"
(cd "$ordner" && "${programm[@]}" CDs.cdb liste >/dev/null 2>&1)
erwarte_inhalt "frühere Tabelle wird ersetzt" "$ordner/liste.xls" "$fixtures/beispiel.xls"

ordner=$(neuer_ordner)
(cd "$ordner" && "${programm[@]}" fehlt.cdb >/dev/null 2>&1)
erwarte "fehlende Eingabe: Status" "$?" 1
erwarte "fehlende Eingabe: nichts geschrieben" "$(ls -A "$ordner")" ""

mkdir "$ordner/Ordner.cdb"
(cd "$ordner" && "${programm[@]}" Ordner.cdb >/dev/null 2>&1)
erwarte "Ordner als Eingabe: Status" "$?" 1
erwarte_ohne "Ordner als Eingabe: nichts geschrieben" "$ordner/Ordner.cdb.xls"

ergebnis
