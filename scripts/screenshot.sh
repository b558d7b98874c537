#!/usr/bin/env bash
# Remakes docs/screenshot.png, the README's picture of the default theme:
# scripts/run.sh without a display starts the panel on a private 1024x768
# Xvfb, waits for its face and takes the screen.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

shot=$(env -u DISPLAY CORVALE_SHOT_DELAY="${CORVALE_SHOT_DELAY:-8}" bash "$root/scripts/run.sh" | tail -n 1)
[ -s "$shot" ] || { echo "no screenshot came out of scripts/run.sh" >&2; exit 1; }
mkdir -p "$root/docs"
# Fewer colours keep the picture small; the theme has few of them anyway.
convert "$shot" -strip -colors 64 "$root/docs/screenshot.png"
echo "$root/docs/screenshot.png"
