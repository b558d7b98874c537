#!/usr/bin/env bash
# The house rules no compiler checks: every include follows the layer table
# in the README, every C++ file is laid out as .clang-format says, and the
# default theme and the icon are what scripts/make_theme.py makes, byte for
# byte, and the theme is
# clean to corvalectl check at every width it has a layout for. Needs the
# host build's corvalectl (scripts/test.sh builds it first).
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

faults=0
fault() { echo "FAULT: $*"; faults=$((faults + 1)); }

python3 "$CORVALE_ROOT/scripts/check_layers.py" "$CORVALE_ROOT" || fault "includes against the layer table"

mapfile -t sources < <(cd "$CORVALE_ROOT" && find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sort)
unformatted=$(cd "$CORVALE_ROOT" && for f in "${sources[@]}"; do
    clang-format --style=file "$f" | cmp -s - "$f" || echo "${f#./}"
done)
if [ -n "$unformatted" ]; then
    echo "$unformatted"
    fault "$(wc -l <<<"$unformatted") file(s) differ from .clang-format (clang-format -i them)"
else
    echo "formatting: ${#sources[@]} C++ files as .clang-format lays them out"
fi

# The README shows corvalectl's help as the program prints it.
"$CORVALE_BUILD/host/corvalectl" help | python3 -c '
import sys
help = "".join(("    " + line if line.strip() else line) for line in sys.stdin)
sys.exit(0 if help in open(sys.argv[1], encoding="utf-8").read() else 1)' "$CORVALE_ROOT/README.md" ||
    fault "the README's corvalectl section differs from corvalectl help"

made=$(mktemp -d "${TMPDIR:-/tmp}/corvale-theme.XXXXXX")
trap 'rm -rf "$made" "$made.ico"' EXIT
python3 "$CORVALE_ROOT/scripts/make_theme.py" --out "$made" --icon "$made.ico" >/dev/null ||
    fault "scripts/make_theme.py failed"
diff -r --brief --exclude=README.md "$made" "$CORVALE_ROOT/themes/default" ||
    fault "themes/default differs from what scripts/make_theme.py makes"
cmp "$made.ico" "$CORVALE_ROOT/platform/win32/corvale.ico" ||
    fault "platform/win32/corvale.ico differs from what scripts/make_theme.py makes"
ctl="$CORVALE_BUILD/host/corvalectl"
# Each width skin's own width, and a wide screen that takes the general skin.
widths=($(cd "$CORVALE_ROOT/themes/default" && ls Corvale[0-9]*.skn | tr -dc '0-9\n' | sort -n) 2560)
unclean=0
for width in "${widths[@]}"; do
    if ! "$ctl" check "$made" --width "$width" --json >"$made.json" 2>&1; then
        cat "$made.json"
        fault "corvalectl check finds the default theme unclean at width $width"
        unclean=1
    fi
done
rm -f "$made.json"
[ "$unclean" -eq 0 ] && echo "default theme: made afresh, clean to corvalectl check at widths ${widths[*]}"

if [ "$faults" -gt 0 ]; then
    echo "house rules: $faults fault(s)"
    exit 1
fi
echo "house rules: all kept"
