#!/usr/bin/env bash
# End-to-end: inputs of extreme shape. Usage: extrem.sh PROGRAMM
set -u
. "$(dirname "$0")/lib.sh"
programm=$(realpath "$1")
o=$(neuer_ordner)
cd "$o"

# lauf NAME: converts NAME.cdb into NAME.cdb.xls and compares it with NAME.soll
lauf() {
    "$programm" "$1.cdb" 2>"$1.fehler"
    erwarte "$1: Status" "$?" 0
    erwarte_inhalt "$1: Tabelle" "$1.cdb.xls" "$1.soll"
    rm -f "$1.cdb" "$1.cdb.xls" "$1.soll"
}

x100m() { head -c $((100 * 1024 * 1024)) /dev/zero | tr '\0' x; }

{ printf '<LIST>\r\nA='; x100m; printf '\r\n$\r\n\r\n'; } > eine_zeile.cdb
{ x100m; printf '\r'; } > eine_zeile.soll
lauf eine_zeile

{ yes $'\r' | head -n 1000000; printf '<LIST>\r\nA=x\r\n$\r\n'; } > leere_zeilen.cdb
printf 'x\r' > leere_zeilen.soll
lauf leere_zeilen

head -c 1000000 /dev/zero | tr '\0' '\r' > nur_cr.cdb
: > nur_cr.soll
lauf nur_cr
erwarte "nur_cr: Warnung" "$(cat nur_cr.fehler)" "cdb2xls: nur_cr.cdb: kein <LIST>-Abschnitt gefunden"

{ printf '<LIST>\r\n'; seq 1000000 | awk '{ printf "A=CD %d\r\nT=Titel\r\n1:0,0,0,Lied %d\r\n$\r\n", $1, $1 }'; } > viele.cdb
seq 1000000 | awk '{ printf "CD %d\tTitel\t\t\t\t\t\tLied %d\r", $1, $1 }' > viele.soll
lauf viele

ergebnis
