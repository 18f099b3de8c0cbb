#!/usr/bin/env bash
# End-to-end: inputs of extreme shape, and memory that stays flat whatever
# the line length. Usage: extrem.sh PROGRAMM [PROGRAMM_OHNE_SANITIZER]
# (the second for runs under a memory limit, which the sanitizers' shadow
# memory would exceed)
set -u
. "$(dirname "$0")/lib.sh"
programm=$(realpath "$1")
schlicht=${2:+$(realpath "$2")}
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

# Lines of 64 MiB under a limit of 48 MiB of address space: a line held
# whole would not fit, so each kind of line must stream past. A numbered
# entry with fewer than three commas has its text read again from the file.
if [ -z "$schlicht" ]; then
    echo "übersprungen: Speichergrenze (kein Programm ohne Sanitizer angegeben)"
else
    x64m() { head -c $((64 * 1024 * 1024)) /dev/zero | tr '\0' x; }
    begrenzt() {
        (ulimit -v 49152 && "$schlicht" "$1.cdb") 2>"$1.fehler"
        erwarte "$1 (begrenzt): Status" "$?:$(cat "$1.fehler")" "0:"
        erwarte_inhalt "$1 (begrenzt): Tabelle" "$1.cdb.xls" "$1.soll"
        rm -f "$1.cdb" "$1.cdb.xls" "$1.soll"
    }
    tabs7=$'\t\t\t\t\t\t\t'
    { x64m; printf '\r\n<LIST>\r\nA=x\r\n$\r\n\r\n'; } > vor_der_liste.cdb
    printf 'x\r' > vor_der_liste.soll
    begrenzt vor_der_liste
    { printf '<LIST>\r\nA='; x64m; printf '\r\n$\r\n\r\n'; } > buchstabe.cdb
    { x64m; printf '\r'; } > buchstabe.soll
    begrenzt buchstabe
    { printf '<LIST>\r\n1:a,b,c,'; x64m; printf '\r\n$\r\n\r\n'; } > nummer.cdb
    { printf '%s' "$tabs7"; x64m; printf '\r'; } > nummer.soll
    begrenzt nummer
    { printf '<LIST>\r\n1:a,'; x64m; printf '\r\n$\r\n\r\n'; } > wenige_kommas.cdb
    { printf '%s' "$tabs7"; x64m; printf '\r'; } > wenige_kommas.soll
    begrenzt wenige_kommas
    { printf '<LIST>\r\n'; head -c $((64 * 1024 * 1024)) /dev/zero | tr '\0' 0; printf '1:a,b,c,x\r\n$\r\n\r\n'; } > lange_nummer.cdb
    printf '%sx\r' "$tabs7" > lange_nummer.soll
    begrenzt lange_nummer
fi

ergebnis
