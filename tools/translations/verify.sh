#!/usr/bin/env bash
# Checks the translation tables end to end: the data files validate and the .ts files are current,
# every .ts compiles with `lrelease -idbased` without warnings, and every id looked up in the
# compiled .qm returns its text.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
lrelease=${LRELEASE:-/usr/lib/qt6/bin/lrelease}

python3 "$here/generate_ts.py" --check

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
g++ -std=c++20 -fPIC "$here/check_lookup.cpp" -o "$work/check_lookup" $(pkg-config --cflags --libs Qt6Core)

keys=$(python3 -c 'import json,sys; print(len(json.load(open(sys.argv[1]))))' "$here/strings/en.json")
status=0
for ts in "$root"/resources/translations/Velquor_*.ts; do
    name=$(basename "$ts" .ts)
    code=${name#Velquor_}
    log=$("$lrelease" -idbased "$ts" -qm "$work/$name.qm" 2>&1)
    # Every id must compile as a finished translation, and lrelease must not complain.
    if ! grep -q "Generated $keys translation(s) ($keys finished and 0 unfinished)" <<<"$log" \
        || grep -qiE 'warning|error' <<<"$log"; then
        echo "$log"; status=1; continue
    fi
    "$work/check_lookup" "$work/$name.qm" "$here/strings/$code.json" || status=1
done
exit $status
