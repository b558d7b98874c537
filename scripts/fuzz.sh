#!/usr/bin/env bash
# Runs every fuzz target (tests/fuzz/*_fuzz.cpp) for the given seconds each
# (default 60), or until it has run the given number of inputs if that comes
# first (default: no limit), starting from its committed seeds (tests/fuzz/corpus/<name>/)
# and the inputs earlier runs found ($CORVALE_BUILD/fuzz/corpus/<name>/).
# Installs and builds what it needs; prints executions and coverage per
# target; fails when any target crashes, with the input kept in
# $CORVALE_BUILD/fuzz/crashes/. Long runs belong under `nice -n 19`;
# CORVALE_FUZZ_TARGETS="layout gif_frames" runs only the targets named, so
# that two shells can share the work.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

seconds=${1:-60}
runs_limit=${2:--1}
if ! [[ $seconds =~ ^[1-9][0-9]*$ && $runs_limit =~ ^(-1|[1-9][0-9]*)$ ]]; then
    echo "usage: $0 [seconds per target [inputs per target]]" >&2
    exit 2
fi

corvale_install_packages
corvale_build_fuzz

out=$CORVALE_BUILD/fuzz
mkdir -p "$out/corpus" "$out/crashes" "$out/logs"
# A leak counts as a crash too (libFuzzer checks every input that allocates
# more than it frees).
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# Per target: "name runs cov ft result".
results=()
failed=0
for source in "$CORVALE_ROOT"/tests/fuzz/*_fuzz.cpp; do
    target=$(basename "$source" .cpp)
    name=${target%_fuzz}
    if [ -n "${CORVALE_FUZZ_TARGETS:-}" ] && [[ " $CORVALE_FUZZ_TARGETS " != *" $name "* ]]; then
        continue
    fi
    seeds=$CORVALE_ROOT/tests/fuzz/corpus/$name
    work=$out/corpus/$name
    log=$out/logs/$name.log
    mkdir -p "$work"
    corvale_log "fuzzing $name for $seconds s"
    status=ok
    # A layout input holds two skin files and a picture; the others' inputs
    # are single values, whose size libFuzzer picks from the seeds.
    length=()
    [ "$name" = layout ] && length=(-max_len=8192)
    # New inputs go to the first folder; the seeds are only read.
    if ! "$out/$target" -max_total_time="$seconds" -runs="$runs_limit" -timeout=10 -rss_limit_mb=2048 "${length[@]}" \
        -print_final_stats=1 -artifact_prefix="$out/crashes/$name-" "$work" "$seeds" >"$log" 2>&1; then
        status=CRASHED
        failed=1
        tail -n 30 "$log" >&2
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    results+=("$(printf '%-14s %12s runs  cov %6s  ft %6s  %s' "$name" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$status")")
done

# Closing lines in the shape of the other runners', so that test.sh shows them.
echo "[==========] ${#results[@]} fuzz targets ran. ($seconds s each)"
printf '  %s\n' "${results[@]}"
if [ "$failed" -eq 0 ]; then
    echo "[  PASSED  ] ${#results[@]} fuzz targets."
else
    echo "[  FAILED  ] crashing inputs are in $out/crashes/"
fi
exit "$failed"
