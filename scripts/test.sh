#!/usr/bin/env bash
# Every test of the project, on a fresh Debian machine too: installs what is
# missing, builds for the host and for Windows, runs the host unit tests,
# then the backend and end-to-end tests on a private Xvfb display under Wine
# 8 and Wine 10 (CORVALE_WINES=8 or 10 for one of them).
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

run_suite unit-tests "$CORVALE_BUILD/host/corvale_unit_tests"
# A short run of every fuzz target from its seeds; a crash fails the run.
run_suite fuzz-smoke bash "$CORVALE_ROOT/scripts/fuzz.sh" "${CORVALE_FUZZ_SECONDS:-3}"

# The Windows suites under each Wine asked for: 8 is this machine's own,
# 10 Debian 13's in a chroot that the first run makes under build/. A test
# that holds under one only would lean on how that Wine happens to behave.
wines=${CORVALE_WINES:-8 10}
wine_report=()
for w in $wines; do
    wine_started=$SECONDS
    if ! corvale_use_wine "$w"; then
        failed=1
        wine_report+=("Wine $w: not run, it could not be set up")
        continue
    fi
    ready_seconds=$((SECONDS - wine_started))
    corvale_start_xvfb
    corvale_make_tmp
    corvale_null_sound_home "$(corvale_inside "$CORVALE_TMP/home")"
    corvale_boot_wine "$(corvale_inside "$CORVALE_TMP/wine")"
    for runner in corvale_backend_tests corvale_e2e_tests; do
        if [ -f "$CORVALE_BUILD/win32/$runner.exe" ]; then
            corvale_wine_cmd wine "$CORVALE_BUILD/win32/$runner.exe"
            run_suite "${runner#corvale_}-wine$w" "${CORVALE_CMD[@]}"
        else
            corvale_log "$runner.exe was not built"
            failed=1
        fi
    done
    corvale_cleanup
    wine_report+=("Wine $w: $((SECONDS - wine_started)) s ($ready_seconds s making it ready)")
done

echo
echo "==== $((SECONDS - started)) s in all: $build_seconds s building"
for line in "${wine_report[@]}"; do echo "==== $line"; done
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
