#!/usr/bin/env bash
# Builds zlib and libxlsxwriter for the page, with Emscripten, from Debian's
# own source packages (apt-get source), into ORDNER/lib and ORDNER/include;
# kept there, so a second build neither fetches nor builds them again.
# Fetching needs a deb-src entry: as root, one for the Debian archive the
# machine is set up for is added when there is none.
# Usage: web/bibliotheken.sh ORDNER
set -euo pipefail
ziel=$(realpath -m "$1")
[ -f "$ziel/fertig" ] && exit 0
export NODE_PATH=/usr/share/nodejs  # Debian's emscripten finds node-acorn there
quellen="$ziel/quellen"
rm -rf "$ziel"
mkdir -p "$quellen" "$ziel/lib" "$ziel/include"

if ! apt-get source --print-uris -qq zlib >/dev/null 2>&1; then
    [ "$(id -u)" -eq 0 ] || { echo "bibliotheken.sh: kein deb-src-Eintrag (als root wird einer angelegt)" >&2; exit 1; }
    # The archive itself (the first entry), without its security updates,
    # whose mirrors need not carry sources.
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        awk 'NF == 0 { exit } { print }' /etc/apt/sources.list.d/debian.sources |
            sed 's/^Types: deb$/Types: deb-src/' >/etc/apt/sources.list.d/cdb2xls-quellen.sources
    else
        grep -h -m 1 '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' >/etc/apt/sources.list.d/cdb2xls-quellen.list
    fi
    apt-get update -qq
fi
(cd "$quellen" && apt-get source -qq zlib libxlsxwriter >/dev/null 2>&1)

# zlib: its deflate and inflate, as the workbook writer needs them.
zlib=$(ls -d "$quellen"/zlib-*/)
cp "$zlib/zconf.h.in" "$zlib/zconf.h"
for teil in adler32 compress crc32 deflate inffast inflate inftrees trees uncompr zutil; do
    emcc -O2 -c "$zlib/$teil.c" -o "$quellen/z_$teil.o"
done
emar rcs "$ziel/lib/libz.a" "$quellen"/z_*.o
cp "$zlib/zlib.h" "$zlib/zconf.h" "$ziel/include/"

# libxlsxwriter, with its own minizip.
lxw=$(ls -d "$quellen"/libxlsxwriter-*/)
emcmake cmake -S "$lxw" -B "$quellen/lxw-bau" -DCMAKE_BUILD_TYPE=Release \
    -DZLIB_INCLUDE_DIR="$ziel/include" -DZLIB_LIBRARY="$ziel/lib/libz.a" >/dev/null
cmake --build "$quellen/lxw-bau" -j"$(nproc)" >/dev/null
cp "$quellen/lxw-bau/libxlsxwriter.a" "$ziel/lib/"
cp -r "$lxw/include/." "$ziel/include/"
touch "$ziel/fertig"
