#!/usr/bin/env bash
# End-to-end on Linux: the edges between the program and the system. The
# output that leads to the input, names as long as the file system allows,
# no /proc, a file system without unnamed files, what an earlier table keeps
# (as root and as an unprivileged user), runs ended by signals, a shell glob,
# the locale, a full stdout and a closed stderr.
# Usage: kanten.sh PROGRAMM CDB_ERZEUGEN FIXTURES-ORDNER [PROGRAMM_OHNE_SANITIZER]
# (the last for the run without /proc, which the sanitizers cannot do without)
set -u
. "$(dirname "$0")/lib.sh"
programm=$(realpath "$1")
erzeugen=$(realpath "$2")
fixtures=$(cd "$3" && pwd)
schlicht=${4:+$(realpath "$4")}
beispiel="$fixtures/beispiel.cdb"
tabelle="$fixtures/beispiel.xls"
export LC_ALL=C

# lauf ORDNER ARGUMENTE...: runs the program there; sets status, fehler
lauf() {
    local ordner=$1
    shift
    (cd "$ordner" && "$programm" "$@" 2>"$ordner/.fehler")
    status=$?
    fehler=$(cat "$ordner/.fehler")
    rm -f "$ordner/.fehler"
}

ich_bin_root() { [ "$(id -u)" -eq 0 ]; }

# 1. However the output name comes to lead to the input, the input stays.
o=$(neuer_ordner)
for fall in "fd3:/dev/fd/3:" "stdout-zu:/dev/stdout:>&-" "Verweis:in.cdb:" "harter Verweis::"; do
    IFS=: read -r name ziel umlenkung <<<"$fall"
    cp "$beispiel" "$o/in.cdb"
    rm -f "$o/o.xls"
    if [ -n "$ziel" ]; then ln -s "$ziel" "$o/o.xls"; else ln "$o/in.cdb" "$o/o.xls"; fi
    if [ -n "$umlenkung" ]; then
        (cd "$o" && "$programm" in.cdb o >&- 2>"$o/.fehler" 3>&-)
    else
        (cd "$o" && "$programm" in.cdb o 2>"$o/.fehler" 3>&-)  # the input takes the first free number, 3
    fi
    status=$?
    erwarte "Ausgabe wäre die Eingabe ($name): Meldung" "$status:$(cat "$o/.fehler")" \
        "1:cdb2xls: Ausgabe-Datei wäre die cdb-Datei selbst: o.xls"
    erwarte_inhalt "Ausgabe wäre die Eingabe ($name): Eingabe unverändert" "$o/in.cdb" "$beispiel"
    erwarte_keine_reste "Ausgabe wäre die Eingabe ($name): keine Reste" "$o"
done

# 2. Every name the file system allows: 255 bytes with ".xls".
o=$(neuer_ordner)
cp "$beispiel" "$o/CDs.cdb"
lang=$(printf 'n%.0s' $(seq 251))
for runde in neu ersetzt; do
    lauf "$o" CDs.cdb "$lang"
    erwarte "Name aus 255 Bytes ($runde): Status" "$status:$fehler" "0:"
    erwarte_inhalt "Name aus 255 Bytes ($runde): Tabelle" "$o/$lang.xls" "$tabelle"
done
lauf "$o" CDs.cdb "${lang}n"
erwarte "Name zu lang: Meldung" "$status:$fehler" "1:cdb2xls: Ausgabe-Datei nicht schreibbar: ${lang}n.xls: File name too long"

# 3. Without /proc (a mount namespace of its own): a named file serves.
if ! ich_bin_root || ! unshare -m true 2>/dev/null; then
    echo "übersprungen: ohne /proc (braucht root und unshare)"
elif [ -z "$schlicht" ]; then
    echo "übersprungen: ohne /proc (kein Programm ohne Sanitizer angegeben)"
else
    o=$(neuer_ordner)
    cp "$beispiel" "$o/CDs.cdb"
    printf 'alt\r' > "$o/CDs.cdb.xls"
    (cd "$o" && unshare -m sh -c 'umount -l /proc && exec "$1" CDs.cdb' _ "$schlicht" 2>"$o/.fehler")
    erwarte "ohne /proc: Status" "$?:$(cat "$o/.fehler")" "0:"
    erwarte_inhalt "ohne /proc: Tabelle" "$o/CDs.cdb.xls" "$tabelle"
    rm -f "$o/.fehler"
    erwarte_keine_reste "ohne /proc: keine Reste" "$o"
fi

# 4. What an earlier table keeps. als BENUTZER BEFEHL...: runs as that user
#    (as root, the command itself), from a copy of the program that user
#    can reach.
als() {
    local wer=$1
    shift
    if [ "$wer" = root ]; then "$@"; else runuser -u "$wer" -- "$@"; fi
}
benutzer=root
fuer_alle=$(erreichbar "$programm")
if ich_bin_root; then
    benutzer="root cdb2xls-probe"
    id cdb2xls-probe >/dev/null 2>&1 || useradd --system --no-create-home cdb2xls-probe
fi
for wer in $benutzer; do
    o=$(neuer_ordner)
    chmod 755 "$o"
    cp "$beispiel" "$o/CDs.cdb"
    [ "$wer" != root ] && chown "$wer" "$o" "$o/CDs.cdb"
    # als_lauf NAME ARGUMENTE...: the program as $wer in $o
    als_lauf() { (cd "$o" && als "$wer" "$fuer_alle" "$@" 2>"$o/.fehler"); status=$?; fehler=$(cat "$o/.fehler"); rm -f "$o/.fehler"; }

    printf 'alt\r' > "$o/privat.xls" && chmod 600 "$o/privat.xls" && chown "$wer" "$o/privat.xls"
    als_lauf CDs.cdb privat
    erwarte "$wer: Rechte 600 bleiben" "$status:$(stat -c %a "$o/privat.xls")" "0:600"
    erwarte_inhalt "$wer: Rechte 600: Tabelle" "$o/privat.xls" "$tabelle"

    printf 'alt\r' > "$o/nurlesen.xls" && chmod 444 "$o/nurlesen.xls" && chown "$wer" "$o/nurlesen.xls"
    als_lauf CDs.cdb nurlesen
    if [ "$wer" = root ]; then
        # root may write it, so it is replaced, and stays read-only.
        erwarte "$wer: schreibgeschützt: ersetzt" "$status:$(stat -c %a "$o/nurlesen.xls")" "0:444"
    else
        erwarte "$wer: schreibgeschützt: abgelehnt" "$status:$fehler" \
            "1:cdb2xls: Ausgabe-Datei nicht schreibbar: nurlesen.xls: Permission denied"
        printf 'alt\r' | cmp -s - "$o/nurlesen.xls"
        erwarte "$wer: schreibgeschützt: unverändert" "$?" 0
    fi

    if [ "$wer" = root ]; then
        id nobody >/dev/null 2>&1 && {
            printf 'alt\r' > "$o/fremd.xls" && chown nobody:nogroup "$o/fremd.xls" && chmod 640 "$o/fremd.xls"
            als_lauf CDs.cdb fremd
            erwarte "root: fremde Tabelle behält Besitzer und Rechte" "$status:$(stat -c %U:%G:%a "$o/fremd.xls")" \
                "0:nobody:nogroup:640"
        }
        # An ACL goes over whole: the named user keeps access, the group
        # gets no more than it had.
        printf 'alt\r' > "$o/acl.xls" && chmod 600 "$o/acl.xls"
        if command -v setfacl >/dev/null && setfacl -m u:cdb2xls-probe:rw "$o/acl.xls" 2>/dev/null; then
            vorher=$(getfacl --omit-header "$o/acl.xls" 2>/dev/null)
            als_lauf CDs.cdb acl
            erwarte "root: ACL bleibt" "$status:$(getfacl --omit-header "$o/acl.xls" 2>/dev/null)" "0:$vorher"
            erwarte "root: ACL: Rechte" "$(stat -c %a "$o/acl.xls")" 660
            erwarte_inhalt "root: ACL: Tabelle" "$o/acl.xls" "$tabelle"
            runuser -u cdb2xls-probe -- sh -c ": >> '$o/acl.xls'"
            erwarte "root: ACL: der genannte Benutzer darf schreiben" "$?" 0
        else
            echo "übersprungen: ACL (setfacl fehlt oder das Dateisystem hat keine ACLs)"
        fi
    else
        # A folder that takes no new file: the table is written in place;
        # a new table cannot be made there at all.
        printf 'eine längere frühere Tabelle\r' > "$o/hier.xls" && chown "$wer" "$o/hier.xls" && chmod 640 "$o/hier.xls"
        chown root "$o" && chmod 755 "$o"
        als_lauf CDs.cdb hier
        erwarte "$wer: Ordner ohne Schreibrecht: an Ort und Stelle" "$status:$fehler:$(stat -c %a "$o/hier.xls")" "0::640"
        erwarte_inhalt "$wer: Ordner ohne Schreibrecht: Tabelle" "$o/hier.xls" "$tabelle"
        als_lauf CDs.cdb neu
        erwarte "$wer: Ordner ohne Schreibrecht: keine neue Tabelle" "$status:$fehler" \
            "1:cdb2xls: Ausgabe-Datei nicht schreibbar: neu.xls: Permission denied"
        # A sticky folder open to all (as /tmp), another user's table that
        # all may write: the rename would be refused, so it is written in
        # place, decided before any work.
        chmod 1777 "$o"
        printf 'eine längere frühere Tabelle\r' > "$o/fremd.xls" && chown nobody "$o/fremd.xls" && chmod 666 "$o/fremd.xls"
        als_lauf CDs.cdb fremd
        erwarte "$wer: klebriger Ordner, fremde Tabelle: an Ort und Stelle" \
            "$status:$fehler:$(stat -c %U:%a "$o/fremd.xls")" "0::nobody:666"
        erwarte_inhalt "$wer: klebriger Ordner, fremde Tabelle: Tabelle" "$o/fremd.xls" "$tabelle"
        printf 'alt\r' > "$o/eigen.xls" && chown "$wer" "$o/eigen.xls"
        als_lauf CDs.cdb eigen
        erwarte "$wer: klebriger Ordner, eigene Tabelle: ersetzt" "$status:$fehler:$(stat -c %U "$o/eigen.xls")" "0::$wer"
        chmod 755 "$o"
    fi
    erwarte_keine_reste "$wer: keine Reste" "$o"
done

# 5. Runs ended by SIGINT, SIGTERM or SIGHUP leave no file, with an unnamed
#    file and on a file system without (FUSE, through bindfs) alike.
abbrechen() {  # abbrechen NAME ORDNER SIGNAL
    local name=$1 ordner=$2 signal=$3 pid groesse
    printf 'frühere Tabelle\r' > "$ordner/liste.xls"
    (cd "$ordner" && exec env --default-signal "$programm" gross.cdb liste 2>/dev/null) &
    pid=$!
    for _ in $(seq 500); do
        groesse=$(for fd in /proc/$pid/fd/*; do case "$(readlink "$fd")" in *gross.cdb) ;; "$ordner"/*) stat -L -c %s "$fd" ;; esac; done 2>/dev/null | sort -n | tail -n 1)
        [ "${groesse:-0}" -gt $((4 * 1024 * 1024)) ] && break
        sleep 0.01
    done
    kill -"$signal" $pid
    wait $pid
    erwarte "$name, SIG$signal: vom Signal beendet" "$?" $((128 + $(kill -l "$signal")))
    printf 'frühere Tabelle\r' | cmp -s - "$ordner/liste.xls"
    erwarte "$name, SIG$signal: frühere Tabelle unverändert" "$?" 0
    erwarte "$name, SIG$signal: keine Reste" "$(ls -A "$ordner" | sort | tr '\n' ' ')" "gross.cdb liste.xls "
}
o=$(neuer_ordner)
"$erzeugen" 64 > "$o/gross.cdb"
for signal in INT TERM HUP; do abbrechen "unbenannt" "$o" $signal; done
if ich_bin_root && command -v bindfs >/dev/null && [ -c /dev/fuse ]; then
    echt=$(neuer_ordner) fuse=$(neuer_ordner)
    mv "$o/gross.cdb" "$echt/"
    if bindfs "$echt" "$fuse" 2>/dev/null; then
        trap 'fusermount -u "$fuse" 2>/dev/null; rm -rf "${aufzuraeumen[@]}"' EXIT
        for signal in INT TERM HUP; do abbrechen "benannt (FUSE)" "$fuse" $signal; done
        (cd "$fuse" && "$programm" gross.cdb liste)
        erwarte "benannt (FUSE): ganze Umwandlung" "$?:$(ls -A "$fuse" | sort | tr '\n' ' ')" "0:gross.cdb liste.xls "
        fusermount -u "$fuse"
    else
        echo "übersprungen: FUSE lässt sich nicht einhängen"
    fi
else
    echo "übersprungen: Signale ohne unbenannte Dateien (braucht root, bindfs und /dev/fuse)"
fi

# 6. A shell glob or a third file: refused before anything is written.
o=$(neuer_ordner)
cp "$beispiel" "$o/A.cdb"
cp "$fixtures/achtbit.cdb" "$o/B.CDB"
lauf "$o" A.cdb B.CDB
erwarte "zwei cdb-Dateien: Status" "$status" 2
erwarte "zwei cdb-Dateien: Meldung" "$(head -n 1 <<<"$fehler")" \
    "cdb2xls: „B.CDB“ ist eine cdb-Datei, kein Ausgabename; jede cdb-Datei wird für sich umgewandelt (cdb2xls DATEI.cdb)"
lauf "$o" A.cdb b c
erwarte "drei Dateinamen" "$status:$(head -n 1 <<<"$fehler")" "2:cdb2xls: zusätzlicher Operand „c“"
erwarte "nichts geschrieben" "$(ls -A "$o" | sort | tr '\n' ' ')" "A.cdb B.CDB "
lauf "$o" A.cdb neu.cdb
erwarte_inhalt "Ausgabename auf .cdb, den es nicht gibt" "$o/neu.cdb.xls" "$tabelle"

# 7. The system's reason in the user's language.
locales=$(neuer_ordner)
if localedef -i de_DE -f UTF-8 "$locales/de_DE.UTF-8" 2>/dev/null; then
    o=$(neuer_ordner)
    cp "$beispiel" "$o/CDs.cdb"
    (cd "$o" && LOCPATH=$locales LC_ALL=de_DE.UTF-8 "$programm" CDs.cdb fehlt/liste 2>"$o/.fehler")
    erwarte "deutscher Grund" "$?:$(cat "$o/.fehler")" \
        "1:cdb2xls: Ausgabe-Datei nicht schreibbar: fehlt/liste.xls: Datei oder Verzeichnis nicht gefunden"
else
    echo "übersprungen: deutscher Grund (localedef fehlt)"
fi

# 8. A full stdout, a closed stderr.
for option in --help --version; do
    "$programm" $option >/dev/full 2>"$o/.fehler"
    erwarte "$option auf volles Gerät" "$?:$(cat "$o/.fehler")" "1:cdb2xls: Schreibfehler: No space left on device"
done
cp "$fixtures/ohne_liste.cdb" "$o/ohne.cdb"
rohr_zu() {  # the program's exit status with stderr a pipe whose reader is gone
    python3 -c 'import os, subprocess, sys
r, w = os.pipe(); os.close(r)
print(subprocess.run(sys.argv[1:], stderr=w, cwd=os.environ["ORT"]).returncode)' "$programm" "$@"
}
erwarte "stderr geschlossenes Rohr: Warnung" "$(ORT=$o rohr_zu ohne.cdb)" 0
erwarte "stderr geschlossenes Rohr: Fehler" "$(ORT=$o rohr_zu fehlt.cdb)" 1

# 9. Modules come only from the program's own folders, never from the
#    current one: one planted there is not loaded, with /proc, without it,
#    and with a program path longer than PATH_MAX. A broken module beside
#    the program is reported with its own error.
o=$(neuer_ordner)
cp "$beispiel" "$o/CDs.cdb"
# A display nothing serves: the window module is loaded, but no window
# shown (an X server of another test may be up meanwhile).
frei=1000
while [ -e "/tmp/.X11-unix/X$frei" ] || [ -e "/tmp/.X$frei-lock" ]; do frei=$((frei + 1)); done
for modul in cdb2xls-xlsx.so cdb2xls-fenster.so; do
    printf '#include <stdio.h>\n__attribute__((constructor)) static void geladen(void) { fclose(fopen("GELADEN", "w")); }\n' |
        gcc -shared -fPIC -x c -o "$o/$modul" -
done
untergeschoben() {  # untergeschoben NAME: nothing planted was loaded
    erwarte "$1: untergeschobenes Modul nicht geladen" "$(ls "$o/GELADEN" 2>/dev/null)" ""
    rm -f "$o/GELADEN"
}
(cd "$o" && "$programm" --xlsx CDs.cdb 2>/dev/null && DISPLAY=:$frei "$programm" --desktop fehlt.cdb 2>/dev/null)
untergeschoben "mit /proc"
if ! ich_bin_root || ! unshare -m true 2>/dev/null || [ -z "$schlicht" ]; then
    echo "übersprungen: Module ohne /proc (braucht root, unshare und ein Programm ohne Sanitizer)"
else
    ohne_proc() { (cd "$o" && unshare -m sh -c 'umount -l /proc && exec "$@"' _ "$@" 2>"$o/.fehler"); status=$?; fehler=$(cat "$o/.fehler"); rm -f "$o/.fehler"; }
    rm -f "$o/CDs.cdb.xlsx"
    ohne_proc "$schlicht" --xlsx CDs.cdb
    untergeschoben "ohne /proc, --xlsx"
    erwarte "ohne /proc: --xlsx aus dem Programmordner" "$status:$fehler:$(head -c 2 "$o/CDs.cdb.xlsx" 2>/dev/null)" "0::PK"
    ohne_proc env DISPLAY=:$frei "$schlicht" --desktop fehlt.cdb
    untergeschoben "ohne /proc, Fenster"
fi
# The program far down a tree, run by a relative path from a folder that
# holds the planted modules: its absolute path is longer than PATH_MAX.
n=$(printf 'v%.0s' $(seq 200))
(
    cd "$o" || exit
    for _ in $(seq 12); do mkdir "$n" && cd "$n" || exit; done
    cp "$o/CDs.cdb" "$o/cdb2xls-xlsx.so" .
    tief=$(printf "$n/%.0s" $(seq 11))
    mkdir -p "$tief" && cp "$programm" "$tief/"
    "./${tief}cdb2xls" --xlsx CDs.cdb 2>"$o/.fehler"
    echo "$?:$(ls GELADEN 2>/dev/null)" >"$o/.status"
)
erwarte "Programmpfad länger als PATH_MAX: nicht verfügbar, nichts geladen" \
    "$(cat "$o/.status"):$(grep -c -- '--xlsx ist nicht verfügbar: Programmordner unbekannt' "$o/.fehler")" "1::1"
rm -rf "${o:?}/$n" "$o/.status" "$o/.fehler"
# Broken modules beside a copy of the program: the loader's own reason.
kaputt=$(erreichbar "$programm")
k=$(dirname "$kaputt")
for fall in "Müll:$(printf 'kein ELF %.0s' $(seq 20)):invalid ELF header" "leer::file too short"; do
    IFS=: read -r name inhalt grund <<<"$fall"
    printf '%s' "$inhalt" >"$k/cdb2xls-xlsx.so"
    (cd "$o" && "$kaputt" --xlsx CDs.cdb kaputt 2>"$o/.fehler")
    erwarte "kaputtes Modul ($name): Status 1, der erste Grund" \
        "$?:$(grep -c "^cdb2xls: --xlsx ist nicht verfügbar: $k/cdb2xls-xlsx.so: $grund" "$o/.fehler"):$(grep -c 'No such file' "$o/.fehler")" \
        "1:1:0"
    printf '%s' "$inhalt" >"$k/cdb2xls-fenster.so"
    (cd "$o" && DISPLAY=:$frei "$kaputt" 2>"$o/.fehler")
    erwarte "kaputtes Fenstermodul ($name): Status 1, der erste Grund" \
        "$?:$(grep -c "^cdb2xls: Fenster nicht verfügbar: $k/cdb2xls-fenster.so: $grund" "$o/.fehler")" "1:1"
done
untergeschoben "kaputte Module"

# 10. A link whose target is missing: the table is made where it points,
#     and the link stays a link.
o=$(neuer_ordner)
cp "$beispiel" "$o/CDs.cdb"
mkdir "$o/unter"
ln -s unter/ziel.xls "$o/hin.xls"
ln -s hin.xls "$o/kette.xls"
lauf "$o" CDs.cdb kette
erwarte "ins Leere zeigender Verweis: Status" "$status:$fehler" "0:"
erwarte "ins Leere zeigender Verweis: bleibt ein Verweis" "$(readlink "$o/kette.xls"):$(readlink "$o/hin.xls")" "hin.xls:unter/ziel.xls"
erwarte_inhalt "ins Leere zeigender Verweis: sein Ziel hat die Tabelle" "$o/unter/ziel.xls" "$tabelle"
ln -s fehlt/ziel.xls "$o/nirgends.xls"
lauf "$o" CDs.cdb nirgends
erwarte "Verweis in einen fehlenden Ordner" "$status:$fehler:$(readlink "$o/nirgends.xls")" \
    "1:cdb2xls: Ausgabe-Datei nicht schreibbar: nirgends.xls: No such file or directory:fehlt/ziel.xls"
erwarte_keine_reste "Verweise: keine Reste" "$o"

# 11. An input that is there but is no file says what it is, and nothing
#     is written.
#     (A FIFO by name: befehlszeile.sh.)
o=$(neuer_ordner)
mkdir "$o/ordner.cdb"
for fall in "ordner.cdb:ein Ordner" "/dev/null:ein Gerät"; do
    IFS=: read -r eingabe art <<<"$fall"
    lauf "$o" "$eingabe" liste
    erwarte "keine Datei ($art)" "$status:$fehler" "1:cdb2xls: cdb-Datei nicht gefunden: $eingabe: ist keine Datei, sondern $art"
done
(cd "$o" && timeout 20 "$programm" <(cat "$beispiel") liste 2>"$o/.fehler")
erwarte "keine Datei (<(…))" "$?:$(sed 's|/dev/fd/[0-9]*|/dev/fd/N|' "$o/.fehler")" \
    "1:cdb2xls: cdb-Datei nicht gefunden: /dev/fd/N: ist keine Datei, sondern eine Pipe"
rm -f "$o/.fehler"
erwarte "keine Datei: nichts geschrieben" "$(ls -A "$o" | sort | tr '\n' ' ')" "ordner.cdb "

ergebnis
