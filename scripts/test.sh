#!/usr/bin/env bash
# Every test of the project, on a fresh Debian machine too: installs what is
# missing, builds for the host and for Windows, runs the host unit tests,
# then the backend and end-to-end tests under Wine on a private Xvfb display.
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
    shift
    corvale_log "running $*"
    timeout -k 10 "${CORVALE_SUITE_TIMEOUT:-900}" "$@" 2>&1 | tee "$log" || failed=1
    logs+=("$log")
}

run_suite house-rules bash "$CORVALE_ROOT/scripts/check_house.sh"
run_suite unit-tests "$CORVALE_BUILD/host/corvale_unit_tests"
# A short run of every fuzz target from its seeds; a crash fails the run.
run_suite fuzz-smoke bash "$CORVALE_ROOT/scripts/fuzz.sh" "${CORVALE_FUZZ_SECONDS:-3}"

wine_started=$SECONDS
corvale_start_xvfb
corvale_make_tmp
corvale_null_sound_home "$CORVALE_TMP/home"
corvale_boot_wine "$CORVALE_TMP/wine"
for runner in corvale_backend_tests corvale_e2e_tests; do
    if [ -f "$CORVALE_BUILD/win32/$runner.exe" ]; then
        run_suite "${runner#corvale_}" wine "$CORVALE_BUILD/win32/$runner.exe"
    else
        corvale_log "$runner.exe was not built"
        failed=1
    fi
done
# The density test once more on screens at 150% and at 200%, each on an X
# screen of its size with Wine started anew at its density.
for screen in 144:1536x1152 192:2048x1536; do
    [ -f "$CORVALE_BUILD/win32/corvale_e2e_tests.exe" ] || break
    corvale_stop_display
    CORVALE_SCREEN=${screen#*:} corvale_start_xvfb
    corvale_screen_density "${screen%%:*}"
    run_suite "e2e-${screen%%:*}dpi" wine "$CORVALE_BUILD/win32/corvale_e2e_tests.exe" --gtest_filter='*/Density.*'
done

# corvalectl check and the panel must agree on another screen as well: 800x600,
# with a taskbar's 30 pixels along the bottom taken off the work area.
corvale_stop_display
CORVALE_SCREEN=800x600 CORVALE_WORK_AREA=800x570 corvale_start_xvfb
run_suite e2e-800x600 wine "$CORVALE_BUILD/win32/corvale_e2e_tests.exe" --gtest_filter='CheckAndPanel.*'
wine_seconds=$((SECONDS - wine_started))
corvale_cleanup

echo
echo "==== $((SECONDS - started)) s in all: $build_seconds s building, $wine_seconds s under Wine"
for log in "${logs[@]}"; do
    echo "---- $(basename "$log" .log)"
    # GoogleTest's closing lines: the count, then what passed and what failed.
    # A runner that starts copies of itself prints their counts too: the
    # last count is its own.
    last=$(tr -d '\r' <"$log" | grep -n '^\[==========\] .* ran\.' | tail -n 1 | cut -d: -f1)
    if [ -n "$last" ]; then
        tr -d '\r' <"$log" | tail -n "+$last"
    else
        echo "(no summary: the runner stopped early; its last lines follow)"
        tr -d '\r' <"$log" | tail -n 5
    fi
done
exit "$failed"
