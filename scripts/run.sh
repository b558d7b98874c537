#!/usr/bin/env bash
# Runs the panel with the default theme, or with the theme in the folder
# given: installs what is missing, builds corvale.exe, registers the theme in
# the settings store as an installer would, and starts it under Wine on
# $DISPLAY. Without a display it runs on a private Xvfb, saves a screenshot
# once the window is up, prints the PNG's path and closes the panel again.
# CORVALE_SCREEN (WIDTHxHEIGHT) and CORVALE_DPI choose that screen: 2048x1536
# at 192 shows the face at 200%.
#
#     scripts/run.sh [THEME_FOLDER]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

theme=$(cd "${1:-$CORVALE_ROOT/themes/default}" && pwd) || exit 1
[ -f "$theme/terminal.skn" ] || [ -f "$theme/Terminal.skn" ] ||
    { corvale_log "$theme holds no terminal.skn, so it is not a theme"; exit 1; }

trap corvale_cleanup EXIT
trap 'exit 130' INT TERM

corvale_install_packages
corvale_build_win32 corvale corvalectl
exe=$CORVALE_BUILD/win32/corvale.exe
ctl=$CORVALE_BUILD/win32/corvalectl.exe

headless=0
if [ -z "${DISPLAY:-}" ]; then
    headless=1
    corvale_start_xvfb
fi
# Without a sound card the mixer only opens on ALSA's null device.
corvale_has_sound_card || corvale_null_sound_home "$CORVALE_BUILD/run-home"
# Kept between runs, so only the first run waits for Wine to boot.
corvale_boot_wine "$CORVALE_BUILD/wine-run"
corvale_screen_density "${CORVALE_DPI:-96}"

# As an installer would: ProgramDir = the folder that holds the theme,
# ThemeDir = the theme's own folder (...\themes\ and default\ by default).
wine "$ctl" theme "$(corvale_windows_path "$theme")" >&2

if [ "$headless" -eq 0 ]; then
    corvale_log "starting the panel on $DISPLAY; its QUIT button closes it"
    wine "$exe"
    exit 0
fi

wine "$exe" &
panel=$!
caption='VEXAL Terminal - Corvale'
for _ in $(seq 1 300); do
    xwininfo -root -tree 2>/dev/null | grep -qF "\"$caption\"" && break
    kill -0 "$panel" 2>/dev/null || { corvale_log "the panel ended before its window came up"; exit 1; }
    sleep 0.2
done
xwininfo -root -tree 2>/dev/null | grep -qF "\"$caption\"" || { corvale_log "no window \"$caption\""; exit 1; }
# The face builds entry by entry after the window shows.
sleep "${CORVALE_SHOT_DELAY:-6}"
shot=$CORVALE_BUILD/corvale-screenshot.png
import -silent -window root "$shot"
# Close it the way the suite's other programs do, through its EXIT key.
if ! wine "$ctl" close --wait 20 >&2; then
    corvale_log "the panel did not close in time"
    kill "$panel" 2>/dev/null || true
fi
wait "$panel" 2>/dev/null || true
echo "$shot"
