#!/usr/bin/env bash
# End-to-end for the installer under wine: its tables (msiinfo), a silent
# install (msiexec /i … /qn) that puts the program, its Start menu and
# "Senden an" shortcuts (target and arguments) and the two Explorer verbs
# for .cdb files in place without touching the type's own default, each
# verb's command line from the registry converting a file whose path holds
# spaces and umlauts, and a silent uninstall that leaves nothing of it.
# Usage: msi.sh CDB2XLS.MSI FIXTURES-ORDNER   (prefix: $CDB2XLS_WINEPREFIX)
set -u
hier=$(cd "$(dirname "$0")" && pwd)
. "$hier/../e2e/lib.sh"
msi=$(realpath "$1")
fixtures=$(cd "$2" && pwd)
export WINEPREFIX=$CDB2XLS_WINEPREFIX WINEDEBUG=-all
bash "$hier/wine.sh" cmd /c exit 2>/dev/null  # the prefix, made once
laufwerk="$WINEPREFIX/drive_c"
verb="Software\\Classes\\SystemFileAssociations\\.cdb\\shell"
befehl() { wine reg query "HKLM\\$verb\\$1\\command" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ    //p'; }
verknuepfungen() { find "$laufwerk/users" "$laufwerk/ProgramData" -name 'cdb2xls*.lnk' 2>/dev/null | sort; }
# ziel_und_argumente LNK: the text of a shortcut's target path and arguments
ziel_und_argumente() {
    python3 -c 'import sys
daten = open(sys.argv[1], "rb").read()
# the strings of a shortcut are UTF-16, counted, at any offset
text = daten.decode("latin-1") + daten.decode("utf-16-le", "ignore") + daten[1:].decode("utf-16-le", "ignore")
print("ziel" if "cdb2xls.exe" in text else "", "--xlsx" if "--xlsx" in text else "")' "$1"
}

tabellen=$(msiinfo tables "$msi" 2>/dev/null | tr '\n' ' ')
for tabelle in File Component Shortcut Registry Upgrade Icon; do
    erwarte "msiinfo: Tabelle $tabelle" "$(grep -cw "$tabelle" <<<"$tabellen")" 1
done
erwarte "msiinfo: Version und UpgradeCode" \
    "$(msiinfo export "$msi" Property | tr -d '\r' | grep -E '^(ProductVersion|UpgradeCode)' | sort | tr '\t\n' ': ')" \
    "ProductVersion:2.3.0 UpgradeCode:{cb953080-438e-429e-abb8-8bc2b5a3b74f} "

wine msiexec /i "$msi" /qn
erwarte "msiexec /i /qn" "$?" 0
erwarte "Programm installiert" "$(ls "$laufwerk/Program Files/cdb2xls" | sort | tr '\n' ' ')" "LIESMICH.txt Lizenz.txt cdb2xls.exe "
namen=$(verknuepfungen | sed 's|.*/Windows/||' | tr '\n' '|')
erwarte "Verknüpfungen: Start-Menü und Senden an" "$namen" \
    "SendTo/cdb2xls (Arbeitsmappe .xlsx).lnk|SendTo/cdb2xls.lnk|Start Menu/Programs/cdb2xls (Arbeitsmappe .xlsx).lnk|Start Menu/Programs/cdb2xls.lnk|"
while IFS= read -r lnk; do
    case $lnk in *Arbeitsmappe*) soll="ziel --xlsx" ;; *) soll="ziel " ;; esac
    erwarte "$(basename "$lnk"): Ziel und Argumente" "$(ziel_und_argumente "$lnk")" "$soll"
done < <(verknuepfungen)
erwarte "Verb .xls" "$(befehl cdb2xls.xls)" '"C:\Program Files\cdb2xls\cdb2xls.exe" "%1"'
erwarte "Verb .xlsx" "$(befehl cdb2xls.xlsx)" '"C:\Program Files\cdb2xls\cdb2xls.exe" --xlsx "%1"'
erwarte "Standardaktion von .cdb unberührt" "$(wine reg query 'HKLM\Software\Classes\.cdb' >/dev/null 2>&1; echo $?)" 1

# The verbs as Explorer runs them, on a path with spaces and umlauts.
o=$(neuer_ordner)
mkdir "$o/Meine CDs"
cp "$fixtures/beispiel.cdb" "$o/Meine CDs/Sammlung Ä.cdb"
pfad=$(winepath -w "$o/Meine CDs/Sammlung Ä.cdb" 2>/dev/null)
for art in xls xlsx; do
    zeile=$(befehl "cdb2xls.$art")
    programm=$(sed 's/^"\([^"]*\)".*/\1/' <<<"$zeile")
    argumente=$(sed 's/^"[^"]*" *//; s/"%1"//' <<<"$zeile")
    # shellcheck disable=SC2086  # the verb's own arguments, split as the command line splits them
    (cd "$o" && wine "$programm" $argumente "$pfad" 2>fehler)
    erwarte "Verb .$art auf «Meine CDs/Sammlung Ä.cdb»" "$?:$(head -c 2 "$o/Meine CDs/Sammlung Ä.cdb.$art" 2>/dev/null)" \
        "0:$(head -c 2 "$( [ $art = xls ] && echo "$fixtures/beispiel.xls" || echo /dev/null)")$( [ $art = xlsx ] && echo PK)"
done
erwarte_inhalt "Verb .xls: Tabelle" "$o/Meine CDs/Sammlung Ä.cdb.xls" "$fixtures/beispiel.xls"

wine msiexec /x "$msi" /qn
erwarte "msiexec /x /qn" "$?" 0
erwarte "nichts bleibt: Programm" "$(ls -A "$laufwerk/Program Files" | grep -c cdb2xls)" 0
erwarte "nichts bleibt: Verknüpfungen" "$(verknuepfungen)" ""
erwarte "nichts bleibt: Verben" "$(befehl cdb2xls.xls)$(befehl cdb2xls.xlsx)" ""
erwarte "nichts bleibt: Schlüssel" \
    "$(wine reg query 'HKLM\Software\QUORB' >/dev/null 2>&1; echo $?):$(wine reg query "HKLM\\$verb" >/dev/null 2>&1; echo $?)" "1:1"

ergebnis
