#!/usr/bin/env bash
# The floors of the source tree: every include of ours points down
# (app > ui, xlsx > system > convert; web, the page, on the core alone), and
# the core includes nothing but the standard library.
# Usage: schichten.sh QUELLORDNER
set -u
. "$(dirname "$0")/e2e/lib.sh"
cd "$1" || exit 1

# erlaubt FLOOR: the floors a file of FLOOR may include ("res" is the
# generated version record).
erlaubt() {
    case $1 in
        convert) echo "convert" ;;
        system) echo "system convert res" ;;
        xlsx) echo "xlsx system convert res" ;;
        ui) echo "ui system convert res" ;;
        app) echo "app ui xlsx system convert res" ;;
        web) echo "web xlsx convert res" ;;
    esac
}

for stock in convert system xlsx ui app web; do
    falsch=""
    while IFS= read -r zeile; do
        datei=${zeile%%:*}
        ziel=$(sed -n 's/.*#include "\([^"/]*\)\/.*/\1/p' <<<"$zeile")
        [ -z "$ziel" ] && continue
        grep -qw "$ziel" <<<"$(erlaubt "$stock")" || falsch+="$datei → $ziel; "
    done < <(grep -rn '#include "' "$stock" --include='*.h' --include='*.cpp' --include='*.in')
    erwarte "$stock/: Includes zeigen nach unten" "$falsch" ""
done

# The core: the standard library, and the compiler's vector intrinsics.
fremd=$(grep -rhn '#include <' convert | sed 's/.*#include <\([^>]*\)>.*/\1/' | sort -u |
    grep -vxE '[a-z_]+|(e|x|i|p|t|n|s)?mmintrin\.h|cpuid\.h' | tr '\n' ' ')
erwarte "convert/: nur die Standardbibliothek" "$fremd" ""

ergebnis
