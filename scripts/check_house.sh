#!/usr/bin/env bash
# The house rules no compiler checks: every include follows the layer table
# in the README, every C++ file is laid out as .clang-format says, and the
# bundled themes and the icon are what scripts/make_theme.py makes, byte for
# byte, the themes clean to corvalectl check at every width they have a
# layout for, as is the starter theme corvalectl new writes at common widths.
# Needs the host build's corvalectl (scripts/test.sh builds it first).
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
trap 'rm -rf "$made"' EXIT
python3 "$CORVALE_ROOT/scripts/make_theme.py" --out "$made/default" --icon "$made/corvale.ico" >/dev/null ||
    fault "scripts/make_theme.py failed to make the default theme"
cmp "$made/corvale.ico" "$CORVALE_ROOT/platform/win32/corvale.ico" ||
    fault "platform/win32/corvale.ico differs from what scripts/make_theme.py makes"
rm -f "$made/corvale.ico"
for theme in default daylight; do
    [ "$theme" = default ] || python3 "$CORVALE_ROOT/scripts/make_theme.py" --theme "$theme" --out "$made/$theme" \
        >/dev/null || fault "scripts/make_theme.py failed to make the $theme theme"
    diff -r --brief --exclude=README.md "$made/$theme" "$CORVALE_ROOT/themes/$theme" ||
        fault "themes/$theme differs from what scripts/make_theme.py makes"
done
ctl="$CORVALE_BUILD/host/corvalectl"
# Clean to corvalectl check on a screen of each width given.
check_clean() { # <what> <folder> <width>...
    local what=$1 folder=$2 width unclean=0
    shift 2
    for width in "$@"; do
        if ! "$ctl" check "$folder" --width "$width" --json >"$made.json" 2>&1; then
            cat "$made.json"
            fault "corvalectl check finds the $what unclean at width $width"
            unclean=1
        fi
    done
    rm -f "$made.json"
    [ "$unclean" -eq 0 ] && echo "$what: clean to corvalectl check at widths $*"
}
# Each width skin's own width, and screens that take the general skin.
for theme in default daylight; do
    widths=($(cd "$CORVALE_ROOT/themes/$theme" && ls Corvale[0-9]*.skn | tr -dc '0-9\n' | sort -n) 800 2560)
    check_clean "$theme theme, made afresh" "$made/$theme" $(printf '%s\n' "${widths[@]}" | sort -nu)
done
"$ctl" new "$made/starter" >/dev/null || fault "corvalectl new wrote no starter theme"
check_clean "starter theme of corvalectl new" "$made/starter" 800 1024 1366 1920 2560

if [ "$faults" -gt 0 ]; then
    echo "house rules: $faults fault(s)"
    exit 1
fi
echo "house rules: all kept"
