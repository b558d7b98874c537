#!/usr/bin/env bash
# Runs one Windows program (a test runner with a --gtest_filter, say) under
# Wine on a private Xvfb display, with the null sound device and a prefix
# kept in the build tree, so a developer can rerun a few tests quickly:
#
#     bash scripts/wine.sh build/win32/corvale_e2e_tests.exe --gtest_filter='Prompt*'
#
# CORVALE_SCREEN (WIDTHxHEIGHT, 1024x768) and CORVALE_DPI (96) choose the
# screen, as the density test wants it:
#
#     CORVALE_SCREEN=2048x1536 CORVALE_DPI=192 bash scripts/wine.sh \
#         build/win32/corvale_e2e_tests.exe --gtest_filter='*/Density.*'
#
# Nothing is built or installed here; scripts/test.sh does that.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

[ $# -ge 1 ] || { echo "usage: $0 PROGRAM.exe [ARGUMENTS...]" >&2; exit 2; }
trap corvale_cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$CORVALE_BUILD"
prefix=$CORVALE_BUILD/wine-dev
corvale_start_xvfb
corvale_null_sound_home "$CORVALE_BUILD/dev-home"
corvale_boot_wine "$prefix"
corvale_screen_density "${CORVALE_DPI:-96}"
status=0
wine "$@" || status=$?
exit "$status"
