#!/usr/bin/env bash
# The Debian packages as a user meets them: builds them with CPack in a
# release build folder, checks their file lists, dependencies and lintian,
# the desktop side of the unpacked tree (MIME type, default application,
# AppStream, man pages, completion, icons), then installs them into a clean
# Debian 12 root (debootstrap, kept as a tarball in CDB2XLS_CHROOT_CACHE
# between runs), runs the program there and removes them again.
# The chroot part is skipped, with a message, where debootstrap cannot run.
# Usage: paket.sh BUILD-ORDNER FIXTURES-ORDNER
set -u
. "$(dirname "$0")/../e2e/lib.sh"
build=$(realpath "$1")
fixtures=$(realpath "$2")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
programm_deb="$build/cdb2xls_${version}_${arch}.deb"
fenster_deb="$build/cdb2xls-fenster_${version}_${arch}.deb"
o=$(neuer_ordner)

# --- Building ---------------------------------------------------------------
rm -f "$programm_deb" "$fenster_deb"
(cd "$build" && cpack -G DEB) >"$o/cpack.log" 2>&1
erwarte "cpack -G DEB schreibt beide Pakete" "$?:$([ -f "$programm_deb" ] && [ -f "$fenster_deb" ] && echo da)" "0:da"
[ -f "$programm_deb" ] && [ -f "$fenster_deb" ] || { cat "$o/cpack.log"; ergebnis; exit; }

# --- What the packages hold ---------------------------------------------------
dateien() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./|/|'; }  # files, links
dateien "$programm_deb" >"$o/programm.liste"
dateien "$fenster_deb" >"$o/fenster.liste"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for pfad in /usr/bin/cdb2xls "/usr/lib/$multiarch/cdb2xls/cdb2xls-xlsx.so" /usr/share/man/man1/cdb2xls.1.gz /usr/share/man/de/man1/cdb2xls.1.gz \
    /usr/share/bash-completion/completions/cdb2xls /usr/share/mime/packages/cdb2xls.xml \
    /usr/share/doc/cdb2xls/copyright /usr/share/doc/cdb2xls/changelog.gz; do
    erwarte "cdb2xls enthält $pfad" "$(grep -cx "$pfad" "$o/programm.liste")" 1
done
for pfad in "/usr/lib/$multiarch/cdb2xls/cdb2xls-fenster.so" \
    /usr/share/applications/cdb2xls.desktop /usr/share/metainfo/de.quorb.cdb2xls.metainfo.xml \
    /usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/cdb2xls.png \
    /usr/share/icons/hicolor/scalable/apps/cdb2xls.svg /usr/share/doc/cdb2xls-fenster/copyright; do
    erwarte "cdb2xls-fenster enthält $pfad" "$(grep -cx "$pfad" "$o/fenster.liste")" 1
done
erwarte "alles unter /usr" "$(cat "$o/programm.liste" "$o/fenster.liste" | grep -v '^/usr/')" ""
erwarte "keine Datei in beiden Paketen" "$(sort "$o/programm.liste" "$o/fenster.liste" | uniq -d)" ""
erwarte "cdb2xls hängt nicht von Qt ab" "$(dpkg-deb -f "$programm_deb" Depends | grep -ci qt)" 0
erwarte "cdb2xls hängt von libxlsxwriter ab" "$(dpkg-deb -f "$programm_deb" Depends | grep -c 'libxlsxwriter')" 1
erwarte "cdb2xls empfiehlt cdb2xls-fenster" "$(dpkg-deb -f "$programm_deb" Recommends)" "cdb2xls-fenster (= $version)"
abhaengig=$(dpkg-deb -f "$fenster_deb" Depends)
erwarte "cdb2xls-fenster hängt von cdb2xls und Qt Widgets ab" \
    "$(grep -c "cdb2xls (= $version)" <<<"$abhaengig"):$(grep -c 'libqt6widgets6' <<<"$abhaengig")" "1:1"

lintian --tag-display-limit 0 "$programm_deb" "$fenster_deb" >"$o/lintian.log" 2>&1
erwarte "lintian: keine Fehler und Warnungen" "$(grep -E '^(E|W): ' "$o/lintian.log")" ""

# --- The unpacked tree as a desktop sees it ------------------------------------
baum="$o/baum"
dpkg-deb -x "$programm_deb" "$baum"
dpkg-deb -x "$fenster_deb" "$baum"
update-mime-database "$baum/usr/share/mime" >/dev/null 2>&1
update-desktop-database "$baum/usr/share/applications"
cp "$fixtures/beispiel.cdb" "$o/CDs.cdb"
cp "$fixtures/beispiel.cdb" "$o/GROSS.CDB"
desktop() { env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
    HOME="$o/heim" XDG_DATA_HOME="$o/heim/share" XDG_CONFIG_HOME="$o/heim/config" XDG_CONFIG_DIRS="$o/heim/etc" \
    XDG_DATA_DIRS="$baum/usr/share" "$@"; }
erwarte "xdg-mime: Typ von CDs.cdb" "$(desktop xdg-mime query filetype "$o/CDs.cdb")" "application/x-tromil-cdb"
erwarte "xdg-mime: Typ von GROSS.CDB" "$(desktop xdg-mime query filetype "$o/GROSS.CDB")" "application/x-tromil-cdb"
erwarte "xdg-mime: Standardprogramm" "$(desktop xdg-mime query default application/x-tromil-cdb)" "cdb2xls.desktop"
erwarte "xdg-mime: nicht für jede Binärdatei" "$(desktop xdg-mime query default application/octet-stream)" ""
erwarte "Desktop-Eintrag gültig" "$(desktop-file-validate "$baum/usr/share/applications/cdb2xls.desktop" 2>&1)" ""
appstreamcli validate --no-net "$baum/usr/share/metainfo/de.quorb.cdb2xls.metainfo.xml" >"$o/appstream.log" 2>&1
erwarte "AppStream-Metainfo gültig" "$?" 0

for seite in man/man1 man/de/man1; do
    datei="$baum/usr/share/$seite/cdb2xls.1.gz"
    erwarte "$seite: groff ohne Warnung" "$(zcat "$datei" | groff -ww -z -man 2>&1)" ""
    erwarte "$seite: Namenszeile" "$(lexgrog "$datei" | sed 's/.*: "\(cdb2xls - \).*/\1/')" "cdb2xls - "
done
erwarte "man findet die Seite" "$(MANPATH="$baum/usr/share/man" man -w cdb2xls)" "$baum/usr/share/man/man1/cdb2xls.1.gz"
erwarte "man findet die deutsche Seite" "$(MANPATH="$baum/usr/share/man" man -L de -w cdb2xls)" \
    "$baum/usr/share/man/de/man1/cdb2xls.1.gz"

# The completion, as bash offers it: options, then cdb files and folders.
mkdir -p "$o/ergaenzen/Ordner"
touch "$o/ergaenzen/a.cdb" "$o/ergaenzen/B.CDB" "$o/ergaenzen/c.txt" "$o/ergaenzen/-x.cdb"
ergaenze() {  # ergaenze WORT...: what bash offers for the last word
    (cd "$o/ergaenzen" && bash --norc -c '
        . /usr/share/bash-completion/bash_completion
        . "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
        _cdb2xls cdb2xls "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
        printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | tr "\n" " "' _ "$baum/usr/share/bash-completion/completions/cdb2xls" "$@")
}
erwarte "Ergänzung: Optionen" "$(ergaenze cdb2xls --)" "-- --desktop --help --version --xlsx "
erwarte "Ergänzung: Optionen nach --xlsx" "$(ergaenze cdb2xls --xlsx --d)" "--desktop "
erwarte "Ergänzung: cdb-Dateien und Ordner, -Namen mit ./" "$(ergaenze cdb2xls '')" "./-x.cdb B.CDB Ordner a.cdb "
erwarte "Ergänzung: Ausgabename nach --xlsx EINGABE" "$(ergaenze cdb2xls --xlsx a.cdb c)" "c.txt "
erwarte "Ergänzung: nach -- sind -Namen Dateien" "$(ergaenze cdb2xls -- -)" "-x.cdb "

for groesse in 16 32 48 64 128 256; do
    erwarte "Symbol ${groesse}x${groesse}" \
        "$(file -b "$baum/usr/share/icons/hicolor/${groesse}x${groesse}/apps/cdb2xls.png" | cut -d, -f1-2)" \
        "PNG image data, $groesse x $groesse"
done

# --- A clean Debian root: install, use, remove ---------------------------------
chroot_grund() {
    [ "$(id -u)" -eq 0 ] || { echo "nicht root"; return; }
    command -v debootstrap >/dev/null || { echo "debootstrap fehlt"; return; }
    unshare -m true 2>/dev/null || { echo "keine eigenen Mounts erlaubt"; return; }
}
grund=$(chroot_grund)
if [ -n "$grund" ]; then
    echo "übersprungen: Installation in einer sauberen Debian-Wurzel ($grund)"
    ergebnis
    exit
fi
cache=${CDB2XLS_CHROOT_CACHE:-/var/cache/cdb2xls-test}
basis="$cache/bookworm-minbase.tar"
mkdir -p "$cache"
if [ ! -f "$basis" ]; then
    echo "Lege eine saubere Debian-12-Wurzel an (einmalig, einige Minuten) ..."
    rm -rf "$cache/neu"
    if ! debootstrap --variant=minbase bookworm "$cache/neu" http://deb.debian.org/debian >"$o/debootstrap.log" 2>&1; then
        echo "übersprungen: Installation in einer sauberen Debian-Wurzel (debootstrap scheiterte, siehe unten)"
        tail -n 5 "$o/debootstrap.log"
        rm -rf "$cache/neu"
        ergebnis
        exit
    fi
    tar -C "$cache/neu" -cf "$basis.neu" . && mv "$basis.neu" "$basis"
    rm -rf "$cache/neu"
fi
wurzel="$o/wurzel"
mkdir "$wurzel"
tar -C "$wurzel" -xf "$basis"
cp "$programm_deb" "$fenster_deb" "$fixtures/beispiel.cdb" "$fixtures/beispiel.xls" "$wurzel/tmp/"
cp /etc/resolv.conf "$wurzel/etc/resolv.conf" 2>/dev/null
# drinnen BEFEHL: runs a shell command in the root, with /proc and /dev of its own
drinnen() {
    unshare -m --propagation private sh -c '
        mount -t proc proc "$1/proc" && mount --rbind /dev "$1/dev" && mount -t tmpfs tmpfs "$1/run" &&
        exec chroot "$1" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 sh -c "$2"' \
        _ "$wurzel" "$1"
}
# Ordinary desktop tools first, so their triggers show what our files do.
drinnen 'apt-get update -qq && apt-get install -y -qq --no-install-recommends man-db shared-mime-info \
    desktop-file-utils gtk-update-icon-cache hicolor-icon-theme' >"$o/chroot.log" 2>&1
erwarte "Wurzel: Grundpakete installiert" "$?" 0

drinnen "apt-get install -y -q /tmp/cdb2xls_${version}_${arch}.deb" >>"$o/chroot.log" 2>&1
erwarte "apt-get install ./cdb2xls…deb" "$?" 0
erwarte "Qt nicht mit installiert" "$(drinnen 'dpkg-query -W -f="\${Status}\n" libqt6core6 2>/dev/null | grep -c "ok installed"')" 0
erwarte "cdb2xls --version" "$(drinnen 'cdb2xls --version | head -n 1')" "cdb2xls $version"
erwarte "Beispiel umgewandelt" "$(drinnen 'cd /tmp && cdb2xls beispiel.cdb liste && cmp liste.xls beispiel.xls && echo gleich')" "gleich"
erwarte "Arbeitsmappe geschrieben" \
    "$(drinnen 'cd /tmp && cdb2xls --xlsx beispiel.cdb liste 2>&1 && head -c 2 liste.xlsx')" "PK"
erwarte "man -w cdb2xls" "$(drinnen 'man -w cdb2xls')" "/usr/share/man/man1/cdb2xls.1.gz"
erwarte "MIME-Datenbank aktualisiert" "$(drinnen 'cat /usr/share/mime/globs2 | grep -c ":application/x-tromil-cdb:\*\.cdb$"')" 1
drinnen 'DISPLAY=:9 cdb2xls' >"$o/aus" 2>"$o/fehler"
erwarte "ohne Fensterpaket: Status 2" "$?" 2
erwarte "ohne Fensterpaket: sagt, was fehlt" "$(grep -c 'braucht das Paket cdb2xls-fenster' "$o/fehler")" 1

drinnen "apt-get install -y -q /tmp/cdb2xls-fenster_${version}_${arch}.deb" >>"$o/chroot.log" 2>&1
erwarte "apt-get install ./cdb2xls-fenster…deb (mit Qt)" "$?" 0
erwarte "Symbol-Zwischenspeicher aktualisiert" \
    "$(drinnen 'grep -c cdb2xls /usr/share/icons/hicolor/icon-theme.cache')" 1
erwarte "Desktop-Datenbank kennt den Typ" \
    "$(drinnen 'grep -x "application/x-tromil-cdb=cdb2xls.desktop;" /usr/share/applications/mimeinfo.cache')" \
    "application/x-tromil-cdb=cdb2xls.desktop;"
drinnen 'DISPLAY=:9 cdb2xls' >"$o/aus" 2>"$o/fehler"
erwarte "mit Fensterpaket, Anzeige antwortet nicht: Aufruf, Status 2" \
    "$?:$(grep -c 'Fenster nicht verfügbar' "$o/fehler"):$(grep -c '^Parameter:' "$o/fehler")" "2:0:1"

drinnen 'apt-get remove -y -q cdb2xls cdb2xls-fenster' >>"$o/chroot.log" 2>&1
erwarte "apt-get remove" "$?" 0
erwarte "nichts von uns bleibt" \
    "$(drinnen 'find / -xdev \( -iname "*cdb2xls*" -o -name "*tromil*" \) -not -path "/tmp/*" -not -path "/var/lib/dpkg/*" -not -path "/var/cache/*" -not -path "/var/log/*" 2>/dev/null')" ""
erwarte "Zwischenspeicher ohne uns" \
    "$(drinnen 'grep -l -e cdb2xls -e tromil /usr/share/icons/hicolor/icon-theme.cache /usr/share/applications/mimeinfo.cache /usr/share/mime/globs2 2>/dev/null')" ""

if [ "$fehlgeschlagen" -ne 0 ]; then
    echo "--- lintian"; cat "$o/lintian.log"
    echo "--- Wurzel (Ende)"; tail -n 30 "$o/chroot.log"
fi
ergebnis
