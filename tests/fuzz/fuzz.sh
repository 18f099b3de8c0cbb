#!/usr/bin/env bash
# Runs one fuzz target: first on every saved find (inputs that once failed),
# then for CDB2XLS_FUZZ_SEKUNDEN seconds (default 60) on its corpus. New
# corpus entries go to a temporary folder, so the repository stays as it is;
# an input that fails is saved in the build folder and named in the output.
# Usage: fuzz.sh ZIEL KORPUS FUNDE
set -u
ziel=$1 korpus=$2 funde=$3
sekunden=${CDB2XLS_FUZZ_SEKUNDEN:-60}
mapfile -t alte < <(find "$funde" -type f ! -name '.*' | sort)
if [ ${#alte[@]} -gt 0 ]; then
    "$ziel" "${alte[@]}" || exit 1
fi
neu=$(mktemp -d "${TMPDIR:-/tmp}/cdb2xls-fuzz.XXXXXX")
trap 'rm -rf "$neu"' EXIT
"$ziel" -max_total_time="$sekunden" -max_len=8192 -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="$(dirname "$ziel")/fund-$(basename "$ziel")-" "$neu" "$korpus" 2>&1 | tail -n 12
exit "${PIPESTATUS[0]}"
