#!/usr/bin/env bash
# Measures what the panel costs under Wine against what any window costs
# there, in one run on a private Xvfb display and one Wine prefix:
#
#   empty    a borderless window of the panel's size and colour that only appears
#   timers   the same window running the panel's timers (100, 250, 500 ms and
#            one cycling 100/200/300 ms) with handlers that do nothing
#   calls    the same timers making the calls an idle panel cannot do without
#            (cursor place and window under it, the sound card's endpoint
#            volumes read, two settings read, a 48x32 frame repainted on each
#            cycling tick), which has also opened the sound card's mixer and
#            read a line's volume from it, and opened the endpoints: what
#            Wine itself costs
#   small    corvale.exe on a nine-entry face made here (Animated False, a text
#            box, pictures, a button, a three-frame GIF at 100/200/300 ms)
#   default  corvale.exe on themes/default, until the information panel shows
#            its first line (mixer panel and sound-card report done before it)
#   unpaced  the same with the theme's Animated=True switched off: the
#            default theme asks for a 15 ms pause after each of its entries
#   long     corvale.exe with one "A" entry of a long, large animation made
#            here with ImageMagick (783 frames of 640x421, 10 ms each)
#   default2x, unpaced2x
#            default and unpaced again at 200%: a 2048x1536 screen at 192
#            dpi, where the panel draws the theme's @2x pictures and its
#            letters at twice the size (Wine and Xvfb started anew for it)
#   covered  the small face again, under a topmost window over the whole
#            screen (tests/bench/win32/cover_window.cpp) for the whole
#            measurement; when the cover goes, the time until the face shows
#            what changed meanwhile (its button lit when the pointer left it
#            goes dark): first with the pointer over another window, then
#            with it over the panel
#
# And once, what a look for windows over the panel costs against the calls
# of the hover tick that resting saves (tests/bench/win32/sight_cost.cpp).
#
# With CORVALE_BENCH_BEFORE=DIR, a corvale.exe built elsewhere (an older
# commit, say) is measured in the same run as small-before and
# covered-before, each start beside its counterpart, so that the two can be
# compared on a machine whose load comes and goes.
#
# The starts alternate (empty, timers, calls, small, default, unpaced, ...)
# five times. For
# each start a watcher program (tests/bench/win32/bench_watch.cpp) creates
# the process and polls every 2 ms until the window shows what is waited for:
# for the empty windows their background colour, for the small face the
# colour of its last picture, for the long animation the picture after it,
# for the default theme the first label of the information panel in the
# first text box. Then, after a pause to settle, the idle cost is the CPU time
# the program's Wine process used (the sum over its threads of
# /proc/PID/task/*/schedstat) over a few seconds, as a share of one core; the
# wineserver's share is shown beside it, since Wine's timers and messages
# pass through it. Memory is the process's resident set (VmRSS), with the number of its
# threads and the part of it their stacks hold.
#
#     bash scripts/bench.sh            # CORVALE_BENCH_RUNS=5 CORVALE_BENCH_IDLE=10
#     bash scripts/bench.sh --host     # also the host benchmarks of the core
#     CORVALE_BENCH_BIN=DIR bash scripts/bench.sh   # programs built elsewhere
#                                                  # (an older commit, say)
#
# Everything it makes stays in the build tree ($CORVALE_BUILD/bench).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

RUNS=${CORVALE_BENCH_RUNS:-5}
IDLE=${CORVALE_BENCH_IDLE:-10}
SETTLE=${CORVALE_BENCH_SETTLE:-3}
HOST=0
[ "${1:-}" = "--host" ] && HOST=1

corvale_install_packages
if [ -z "${CORVALE_BENCH_BIN:-}" ]; then
    corvale_build_win32 corvale corvale_bench_empty corvale_bench_timers corvale_bench_calls corvale_bench_watch \
        corvale_bench_cover corvale_bench_sight
fi
if [ "$HOST" = 1 ]; then
    mkdir -p "$CORVALE_BUILD"
    corvale_configure "$CORVALE_BUILD/host" -DCMAKE_BUILD_TYPE=Debug -DCORVALE_WERROR="$(corvale_host_werror)"
    cmake --build "$CORVALE_BUILD/host" -j "$CORVALE_JOBS" --target corvale_bench
fi

BIN=${CORVALE_BENCH_BIN:-$CORVALE_BUILD/win32}
WORK=$CORVALE_BUILD/bench
mkdir -p "$WORK"

# ---- The themes -------------------------------------------------------------

bmp() { convert -size "$2" "xc:$3" -type TrueColor "BMP3:$1"; }

make_small_theme() {
    local dir=$WORK/small
    rm -rf "$dir" && mkdir -p "$dir"
    bmp "$dir/p1.bmp" 64x48 '#2a6f97'
    bmp "$dir/p2.bmp" 64x48 '#468faf'
    bmp "$dir/p3.bmp" 64x48 '#61a5c2'
    bmp "$dir/p4.bmp" 64x48 '#89c2d9'
    bmp "$dir/p5.bmp" 64x48 '#a9d6e5'
    bmp "$dir/btn.bmp" 116x28 '#3a5a40'
    bmp "$dir/btna.bmp" 116x28 '#588157'
    bmp "$dir/last.bmp" 60x40 '#d4a017'
    convert -delay 10 -size 48x32 'xc:#c03030' -delay 20 'xc:#30c030' -delay 30 'xc:#3030c0' \
        -loop 0 "$dir/anim.gif"
    printf '[DEFAULT]\r\nAnimated=False\r\nAnimDelay=0\r\n' >"$dir/terminal.skn"
    cat >"$dir/Corvale.skn" <<'EOF'
[DEFAULT]
BackGround=8,12,10
01=info,L,16,16,300,120,6,14,10,110,245,150,Courier New,9
02=p1.bmp,P,340,16,64,48
03=p2.bmp,P,420,16,64,48
04=p3.bmp,P,500,16,64,48
05=p4.bmp,P,580,16,64,48
06=btn.bmp,B,340,80,116,28,hover,click,False,notepad.exe
07=anim.gif,A,480,80,48,32
08=p5.bmp,P,340,130,64,48
09=last.bmp,P,420,130,60,40
EOF
}

# A screen recording's shape: a full first frame, then frames that each
# repaint one part of the picture, at 10 ms apiece. Made once and kept.
make_long_theme() {
    local dir=$WORK/long
    mkdir -p "$dir"
    bmp "$dir/last.bmp" 60x40 '#d4a017'
    printf '[DEFAULT]\r\nAnimated=False\r\nAnimDelay=0\r\n' >"$dir/terminal.skn"
    printf '[DEFAULT]\r\nBackGround=8,12,10\r\n01=long.gif,A,0,0,640,421\r\n02=last.bmp,P,700,10,60,40\r\n' \
        >"$dir/Corvale.skn"
    [ -s "$dir/long.gif" ] && return 0
    corvale_log "making a 783-frame 640x421 GIF"
    local args=(-delay 1 -size 640x421 'gradient:#203040-#c0d0e0') n x y
    for n in $(seq 1 782); do
        x=$(((n * 37) % 480))
        y=$(((n * 23) % 300))
        args+=('(' -size 160x120 "gradient:#$(printf '%02x%02x%02x' $((n % 256)) $((n * 7 % 256)) $((n * 13 % 256)))-#f0f0f0"
            -repage "640x421+$x+$y" ')')
    done
    nice -n 19 convert "${args[@]}" -loop 0 "$dir/long.tmp.gif"
    mv "$dir/long.tmp.gif" "$dir/long.gif"
}

# The default theme as it is, and a copy with its pacing switched off.
make_unpaced_theme() {
    local dir=$WORK/unpaced
    rm -rf "$dir" && mkdir -p "$dir"
    cp "$CORVALE_ROOT"/themes/default/* "$dir/"
    sed -i 's/^Animated=True/Animated=False/' "$dir/terminal.skn"
}

make_small_theme
make_long_theme
make_unpaced_theme
ln -sfn "$CORVALE_ROOT/themes/default" "$WORK/default"

# ---- Wine -------------------------------------------------------------------

trap corvale_cleanup EXIT
trap 'exit 130' INT TERM
corvale_start_xvfb
corvale_null_sound_home "$WORK/home"
corvale_boot_wine "$WORK/wine"
corvale_screen_density 96
# A wineserver that stays between the starts, so that each start finds it
# warm (once the one that booted the prefix has gone).
wineserver -w
wineserver -p
SETTINGS='HKCU\Software\VB and VBA Program Settings\VEXAL Terminal'
wine reg add "$SETTINGS\\Default" /v ProgramDir /d "$(corvale_windows_path "$WORK")\\" /f >/dev/null 2>&1
wine reg add "$SETTINGS\\General" /v Running /d False /f >/dev/null 2>&1

theme() { wine reg add "$SETTINGS\\Default" /v ThemeDir /d "$1\\" /f >/dev/null 2>&1; }

# CPU nanoseconds used so far by every thread of a process.
cpu_ns() {
    local total=0 f v
    [ -n "$1" ] || { echo 0; return; }
    for f in /proc/"$1"/task/*/schedstat; do
        read -r v _ <"$f" 2>/dev/null || continue
        total=$((total + v))
    done
    echo "$total"
}

# The Linux process of a Windows program of ours: the newest whose command
# line names it and that runs in our prefix (other people's test runs may
# start a corvale.exe of their own at the same time).
linux_pid() {
    local name=$1 pid best=""
    for pid in $(ls /proc | grep -E '^[0-9]+$' | sort -n); do
        { tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qi "$name" &&
            tr '\0' '\n' <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null && best=$pid
    done
    echo "$best"
}

# The wineserver of our prefix.
wineserver_pid() {
    local pid
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
        case "$(cat "/proc/$pid/comm" 2>/dev/null)" in wineserver*) ;; *) continue ;; esac
        { tr '\0' '\n' <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null && {
            echo "$pid"
            return
        }
    done
}

# A process's threads and the resident kB of their stacks: the mapping that
# holds the stack pointer of each thread waiting in a system call. Wine
# keeps about 1 MB of every thread's stack resident, whoever made the thread.
thread_stacks() {
    perl -e '
        my $pid = shift;
        my @sp;
        for my $task (glob "/proc/$pid/task/*") {
            open(my $f, "<", "$task/syscall") or next;
            my @w = split " ", (<$f> // "");
            push @sp, hex $w[-2] if @w >= 9;
        }
        my ($lo, $hi, $n, $kb) = (0, 0, 0, 0);
        open(my $m, "<", "/proc/$pid/smaps") or exit;
        while (<$m>) {
            if (/^([0-9a-f]+)-([0-9a-f]+) /) { ($lo, $hi) = (hex $1, hex $2) }
            elsif (/^Rss:\s+(\d+)/) { my $rss = $1; for (@sp) { if ($_ >= $lo && $_ < $hi) { ++$n; $kb += $rss; last } } }
        }
        print "$n $kb\n";' "$1"
}

RESULTS=$WORK/results.txt
: >"$RESULTS"

# A client point of the small face's button and its colour when not
# hovered: when set, the panel is covered for the whole measurement.
COVER=""

# Starts the cover and waits until it is up and the panel has had time to
# notice; the cover times the panel's return once the measurement is over.
start_cover() { # CAPTION
    wine "$BIN/corvale_bench_cover.exe" "$((SETTLE + IDLE + 1))" "$1" "$COVER" >"$WORK/cover.out" 2>/dev/null </dev/null &
    COVER_PID=$!
    local _
    for _ in $(seq 1 300); do
        grep -q covered "$WORK/cover.out" 2>/dev/null && return 0
        kill -0 "$COVER_PID" 2>/dev/null || break
        sleep 0.1
    done
    return 1
}

# The two return times the cover printed once it has ended, "- -" without
# them.
cover_result() {
    local last
    last=$(tr -d '\r' <"$WORK/cover.out" | tail -1)
    case "$last" in [0-9-]*\ [0-9-]*) echo "$last" ;; *) echo "- -" ;; esac
}

# measure NAME EXE CAPTION [watcher options...]: one start, one line of results.
measure() {
    local name=$1 exe=$2 caption=$3
    shift 3
    local out ms pid ws c0 c1 w0 w1 t0 t1 rss hwm stacks back="- -"
    # To a file, not a pipe: the program started inherits the watcher's
    # output and keeps a pipe open for as long as it runs.
    wine "$BIN/corvale_bench_watch.exe" "$@" "$caption" "$(corvale_windows_path "$exe")" \
        >"$WORK/watch.out" 2>/dev/null </dev/null || true
    out=$(tr -d '\r' <"$WORK/watch.out")
    ms=${out%% *}
    pid=$(linux_pid "$(basename "$exe")")
    if [ -z "$pid" ] || [ "$ms" = timeout ] || [ -z "$ms" ]; then
        corvale_log "$name: no result ($out)"
        [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
        return 0
    fi
    # CPU time to get there: wall time under a busy machine says more about
    # the others than about us.
    local startcpu
    startcpu=$(($(cpu_ns "$pid") / 1000000))
    if [ -n "$COVER" ] && ! start_cover "$caption"; then
        corvale_log "$name: the cover did not come up"
        kill -KILL "$pid" 2>/dev/null
        return 0
    fi
    sleep "$SETTLE"
    ws=$(wineserver_pid)
    t0=$(date +%s%N) c0=$(cpu_ns "$pid") w0=$(cpu_ns "$ws")
    sleep "$IDLE"
    t1=$(date +%s%N) c1=$(cpu_ns "$pid") w1=$(cpu_ns "$ws")
    if ! kill -0 "$pid" 2>/dev/null; then
        corvale_log "$name: the program ended during the measurement"
        return 0
    fi
    rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
    hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
    stacks=$(thread_stacks "$pid")
    if [ -n "$COVER" ]; then
        wait "$COVER_PID" 2>/dev/null || true
        back=$(cover_result)
    fi
    # Where the memory lies, for the profile: resident kB by mapping.
    awk '/^[0-9a-f]+-[0-9a-f]+ / {name = $6 == "" ? "[anonymous]" : $6} /^Rss:/ {rss[name] += $2}
         END {for (n in rss) printf "%8d %s\n", rss[n], n}' "/proc/$pid/smaps" | sort -rn >"$WORK/smaps-$name.txt"
    kill -KILL "$pid" 2>/dev/null || true
    while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
    sleep 0.5
    local cpu wcpu
    cpu=$(awk -v a="$c0" -v b="$c1" -v t="$((t1 - t0))" 'BEGIN {printf "%.3f", 100 * (b - a) / t}')
    wcpu=$(awk -v a="$w0" -v b="$w1" -v t="$((t1 - t0))" 'BEGIN {printf "%.3f", 100 * (b - a) / t}')
    printf '%s %s %s %s %s %s %s %s %s\n' "$name" "$ms" "$cpu" "$wcpu" "$rss" "$hwm" "$startcpu" "${stacks:-0 0}" "$back" |
        tee -a "$RESULTS" >&2
}

EMPTY=$BIN/corvale_bench_empty.exe
TIMERS=$BIN/corvale_bench_timers.exe
CALLS=$BIN/corvale_bench_calls.exe
CORVALE=$BIN/corvale.exe
BENCH_CAPTION="Corvale bench window"
CAPTION="VEXAL Terminal - Corvale"
# Client points: the empty windows' background, the small face's last
# picture, the picture after the long animation.
BEFORE=${CORVALE_BENCH_BEFORE:+$CORVALE_BENCH_BEFORE/corvale.exe}
# The small face's button, as a client point, and its colour unhovered.
BUTTON=400,94,3a5a40
corvale_log "columns: program ready-ms idle-%core wineserver-%core rss-kB peak-rss-kB start-cpu-ms threads stacks-kB back-ms back-pointed-ms"
for run in $(seq 1 "$RUNS"); do
    corvale_log "run $run of $RUNS"
    measure empty "$EMPTY" "$BENCH_CAPTION" --pixel 200,200,080c0a
    measure timers "$TIMERS" "$BENCH_CAPTION" --pixel 200,200,080c0a
    [ -f "$CALLS" ] && measure calls "$CALLS" "$BENCH_CAPTION" --pixel 200,200,080c0a
    theme small
    measure small "$CORVALE" "$CAPTION" --pixel 450,150,d4a017
    [ -n "$BEFORE" ] && measure small-before "$BEFORE" "$CAPTION" --pixel 450,150,d4a017
    COVER=$BUTTON
    measure covered "$CORVALE" "$CAPTION" --pixel 450,150,d4a017
    [ -n "$BEFORE" ] && measure covered-before "$BEFORE" "$CAPTION" --pixel 450,150,d4a017
    COVER=""
    theme default
    measure default "$CORVALE" "$CAPTION" --text "Operating System"
    theme unpaced
    measure unpaced "$CORVALE" "$CAPTION" --text "Operating System"
done
theme long
measure long "$CORVALE" "$CAPTION" --pixel 730,30,d4a017

# The default theme at 200%, on a screen of twice the pixels: the panel sees
# the 1024-pixel screen it saw above.
corvale_stop_display
CORVALE_SCREEN=2048x1536 corvale_start_xvfb
corvale_screen_density 192
wineserver -p
for run in $(seq 1 "$RUNS"); do
    corvale_log "run $run of $RUNS at 200%"
    theme default
    measure default2x "$CORVALE" "$CAPTION" --text "Operating System"
    theme unpaced
    measure unpaced2x "$CORVALE" "$CAPTION" --text "Operating System"
done

# ---- Figures ------------------------------------------------------------------

SIGHT=$(wine "$BIN/corvale_bench_sight.exe" 2>/dev/null </dev/null | tr -d '\r' | tail -1)

echo
read -r covered middle seen hover <<<"${SIGHT:-- - - -}"
echo "a look for windows over the panel: ${covered} us covered, ${middle} us its middle covered, ${seen} us seen;"
echo "  the calls of one hover tick: ${hover} us (the quickest of nine rounds each)"
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg) (on $(nproc) cores)"

awk '
function median(name, col,    n, i, j, t, v) {
    n = 0
    for (i = 1; i <= rows; ++i) if (prog[i] == name) v[++n] = val[i, col]
    if (n == 0) return -1
    for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
}
{ ++rows; prog[rows] = $1; for (c = 2; c <= 11; ++c) val[rows, c] = $c }
END {
    printf "\n%-14s %9s %9s %11s %13s %8s %8s %8s %10s   (medians)\n", "program", "ready ms", "start cpu", "idle %core", "wineserver %", "RSS MB", "peak MB", "threads", "stacks MB"
    split("empty timers calls small small-before covered covered-before default unpaced long default2x unpaced2x", names, " ")
    for (k = 1; k <= 12; ++k) {
        p = names[k]
        if (median(p, 2) < 0) continue
        printf "%-14s %9.0f %9.0f %11.3f %13.3f %8.1f %8.1f %8d %10.1f\n", p, median(p, 2), median(p, 7), median(p, 3), median(p, 4), median(p, 5) / 1024, median(p, 6) / 1024, median(p, 8), median(p, 9) / 1024
    }
    e = median("empty", 2); t = median("timers", 3); te = median("timers", 4); r = median("empty", 5)
    printf "\n"
    if (e > 0) {
        printf "face complete, small face / empty window appears:        %.2fx  (goal <= 1.3)\n", median("small", 2) / e
        printf "info panel first line, default theme / empty window:     %.2fx  (goal <= 1.5)\n", median("default", 2) / e
        if (median("unpaced", 2) > 0)
            printf "  the same without the theme'"'"'s pauses / empty window:      %.2fx\n", median("unpaced", 2) / e
    }
    ec = median("empty", 7)
    if (ec > 0) {
        printf "start CPU time, small face / empty window:               %.2fx\n", median("small", 7) / ec
        printf "start CPU time, default theme / empty window:            %.2fx\n", median("default", 7) / ec
    }
    if (t > 0) {
        printf "idle CPU, small face / timers-only window:               %.2fx  (goal <= 1.5)\n", median("small", 3) / t
        printf "idle CPU, default theme / timers-only window:            %.2fx\n", median("default", 3) / t
    }
    if (te > 0)
        printf "idle wineserver CPU, small face / timers-only window:    %.2fx\n", median("small", 4) / te
    if (t > 0 && median("covered", 3) >= 0) {
        printf "idle CPU, covered small face / timers-only window:       %.2fx  (goal <= 1.3)\n", median("covered", 3) / t
        if (median("covered-before", 3) >= 0)
            printf "  the same, the build before:                             %.2fx\n", median("covered-before", 3) / t
        printf "idle wineserver CPU, covered small face / timers-only:   %.2fx\n", median("covered", 4) / te
        printf "back from covered, pointer over another window:          %.0f ms\n", median("covered", 10)
        printf "back from covered, pointer over the panel:               %.0f ms  (goal <= 250)\n", median("covered", 11)
    }
    c = median("calls", 3); ce = median("calls", 4)
    if (c > 0) {
        printf "idle CPU, small face / window making the same calls:     %.2fx  (goal <= 1.3)\n", median("small", 3) / c
        if (median("small-before", 3) >= 0)
            printf "  the same, the build before:                             %.2fx\n", median("small-before", 3) / c
        printf "idle CPU, window making the same calls / timers-only:    %.2fx\n", c / t
    }
    if (ce > 0)
        printf "idle wineserver CPU, small face / same-calls window:     %.2fx\n", median("small", 4) / ce
    printf "resident memory above the empty window, small face:      %.1f MB  (goal <= 8)\n", (median("small", 5) - r) / 1024
    if (median("small", 8) > median("empty", 8))
        printf "  of it, the stacks of %d more thread(s):                  %.1f MB\n", median("small", 8) - median("empty", 8), (median("small", 9) - median("empty", 9)) / 1024
    if (median("calls", 5) > 0) {
        printf "resident memory above the same-calls window, small face: %.1f MB  (goal <= 3)\n", (median("small", 5) - median("calls", 5)) / 1024
        if (median("small-before", 5) >= 0)
            printf "  the same, the build before:                             %.1f MB\n", (median("small-before", 5) - median("calls", 5)) / 1024
        if (median("small", 8) > median("calls", 8))
            printf "  of it, the stacks of %d more thread(s):                  %.1f MB\n", median("small", 8) - median("calls", 8), (median("small", 9) - median("calls", 9)) / 1024
    }
    printf "resident memory above the empty window, default theme:   %.1f MB\n", (median("default", 5) - r) / 1024
    for (k = 1; k <= 2; ++k) {
        p = k == 1 ? "default" : "unpaced"
        if (median(p "2x", 2) <= 0 || median(p, 2) <= 0) continue
        printf "%s theme at 200%% / at 100%%, info panel first line: %5.2fx  (goal <= 1.2)\n", p, median(p "2x", 2) / median(p, 2)
        printf "%s theme at 200%% / at 100%%, start CPU time:        %5.2fx\n", p, median(p "2x", 7) / median(p, 7)
        if (median(p, 3) > 0)
            printf "%s theme at 200%% / at 100%%, idle CPU:              %5.2fx  (goal: unchanged)\n", p, median(p "2x", 3) / median(p, 3)
    }
    if (median("long", 5) > 0)
        printf "resident memory above the empty window, long animation:  %.1f MB  (goal <= 64; peak %.1f MB above)\n", (median("long", 5) - r) / 1024, (median("long", 6) - r) / 1024
}' "$RESULTS"

if [ "$HOST" = 1 ]; then
    echo
    nice -n 19 "$CORVALE_BUILD/host/corvale_bench" --benchmark_min_time=0.2
fi
