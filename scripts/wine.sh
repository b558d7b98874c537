#!/usr/bin/env bash
# Runs one Windows program (a test runner with a --gtest_filter, say) under
# Wine on a private Xvfb display, with the null sound device and a prefix
# kept in the build tree, so a developer can rerun a few tests quickly:
#
#     bash scripts/wine.sh build/win32/corvale_e2e_tests.exe --gtest_filter='Prompt*'
#
# CORVALE_SCREEN (WIDTHxHEIGHT, 1024x768), CORVALE_WORK_AREA and CORVALE_DPI
# (96) choose the screen, as the density test wants it:
#
#     CORVALE_SCREEN=2048x1536 CORVALE_DPI=192 bash scripts/wine.sh \
#         build/win32/corvale_e2e_tests.exe --gtest_filter='*/Density.*'
#
# CORVALE_WINES=10 runs it under Wine 10, in the Debian 13 chroot that
# scripts/test.sh makes (this makes it too when it is not there). Nothing is
# built here; scripts/test.sh does that.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

[ $# -ge 1 ] || { echo "usage: $0 PROGRAM.exe [ARGUMENTS...]" >&2; exit 2; }
trap corvale_cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$CORVALE_BUILD"
wine=${CORVALE_WINES:-8}
corvale_use_wine "$wine"
corvale_start_xvfb
# Kept between runs: in the build tree for this machine's Wine, in root's
# home inside the chroot for Wine 10.
if [ "$wine" = 8 ]; then
    corvale_null_sound_home "$CORVALE_BUILD/dev-home"
    corvale_boot_wine "$CORVALE_BUILD/wine-dev"
else
    corvale_null_sound_home /root/dev-home
    corvale_boot_wine /root/wine-dev
fi
# Inside the chroot only the repository and the build tree are there, at
# their own paths.
program=$(realpath "$1")
shift
corvale_screen_density "${CORVALE_DPI:-96}"
status=0
corvale_wine_exec wine "$program" "$@" || status=$?
exit "$status"
