#!/usr/bin/env bash
# Every test of the project, on a fresh Debian machine too: installs what is
# missing, builds for the host and for Windows, checks the house rules, runs
# the host unit tests, then the backend and end-to-end tests on a private
# Xvfb display under Wine 8 and Wine 10 (CORVALE_WINES=8 or 10 for one of
# them).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

started=$SECONDS
trap corvale_cleanup EXIT
trap 'exit 130' INT TERM

corvale_install_packages
builds_started=$SECONDS
corvale_build_host
corvale_build_win32 all
corvale_build_win64_program
corvale_build_fuzz
# The installers the end-to-end install test walks through, named in CORVALE_MSI_*.
corvale_installer_test_packages
build_seconds=$((SECONDS - builds_started))

failed=0
logs=()
# A runner that hangs (a message box nobody answers, say) is stopped, so a
# run always ends with its summaries.
run_suite() { # <log name> <command...>
    local log="$CORVALE_BUILD/$1.log"
    corvale_log "running $1"
    shift
    timeout -k 10 "${CORVALE_SUITE_TIMEOUT:-900}" "$@" 2>&1 | tee "$log" || failed=1
    logs+=("$log")
}

# A Windows test runner under the Wine in use, its log named after that Wine.
run_windows_suite() { # <log name> <runner> [arguments...]
    local name=$1 runner=$CORVALE_BUILD/win32/$2.exe
    shift 2
    if [ ! -f "$runner" ]; then
        corvale_log "$runner was not built"
        failed=1
        return
    fi
    corvale_wine_cmd wine "$runner" "$@"
    run_suite "$name-wine$wine" "${CORVALE_CMD[@]}"
}

# A fresh X screen for the Wine in use: its size in CORVALE_SCREEN, its
# work area in CORVALE_WORK_AREA, and the density given.
use_screen() { # <dpi>
    corvale_stop_display
    corvale_start_xvfb
    corvale_screen_density "$1"
}

run_suite house-rules bash "$CORVALE_ROOT/scripts/check_house.sh"
run_suite unit-tests "$CORVALE_BUILD/host/corvale_unit_tests"
# A short run of every fuzz target from its seeds; a crash fails the run.
run_suite fuzz-smoke bash "$CORVALE_ROOT/scripts/fuzz.sh" "${CORVALE_FUZZ_SECONDS:-3}"

# The Windows suites under each Wine asked for: 8 is this machine's own,
# 10 Debian 13's in a chroot that the first run makes under build/. A test
# that holds under one only would lean on how that Wine happens to behave.
wine_report=()
for wine in ${CORVALE_WINES:-8 10}; do
    wine_started=$SECONDS
    if ! corvale_use_wine "$wine"; then
        failed=1
        wine_report+=("Wine $wine: not run, it could not be set up")
        continue
    fi
    ready_seconds=$((SECONDS - wine_started))
    corvale_start_xvfb
    corvale_make_tmp
    corvale_null_sound_home "$(corvale_inside "$CORVALE_TMP/home")"
    corvale_boot_wine "$(corvale_inside "$CORVALE_TMP/wine")"
    run_windows_suite backend corvale_backend_tests
    # The density test's other screens are run below, each on its own.
    run_windows_suite e2e corvale_e2e_tests --gtest_filter='-*/Density.*/144dpi:*/Density.*/192dpi'
    # The density test once more on screens at 150% and at 200%, each on an
    # X screen of its size with Wine started anew at its density.
    for screen in 144:1536x1152 192:2048x1536; do
        CORVALE_SCREEN=${screen#*:} use_screen "${screen%%:*}"
        run_windows_suite "e2e-${screen%%:*}dpi" corvale_e2e_tests --gtest_filter="*/Density.*/${screen%%:*}dpi"
    done
    # corvalectl check and the panel must agree on another screen as well:
    # 800x600, with a taskbar's 30 pixels along the bottom off the work area.
    CORVALE_SCREEN=800x600 CORVALE_WORK_AREA=800x570 use_screen 96
    run_windows_suite e2e-800x600 corvale_e2e_tests --gtest_filter='CheckAndPanel.*'
    corvale_cleanup
    wine_report+=("Wine $wine: $((SECONDS - wine_started)) s ($ready_seconds s making it ready)")
done

echo
echo "==== $((SECONDS - started)) s in all: $build_seconds s building"
for line in "${wine_report[@]}"; do echo "==== $line"; done
for log in "${logs[@]}"; do
    echo "---- $(basename "$log" .log)"
    # GoogleTest's closing lines: the count, then what passed and what failed.
    # A runner that starts copies of itself prints their counts too: the
    # last count is its own.
    last=$(tr -d '\r' <"$log" | { grep -n '^\[==========\] .* ran\.' || true; } | tail -n 1 | cut -d: -f1)
    if [ -n "$last" ]; then
        tr -d '\r' <"$log" | tail -n "+$last"
    else
        echo "(no test runner's summary; its last lines follow)"
        tr -d '\r' <"$log" | tail -n 5
    fi
done
exit "$failed"
