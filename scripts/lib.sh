# shellcheck shell=bash
# Shared steps of scripts/test.sh and scripts/run.sh: install what is
# missing, build, and give the Windows programs an X display and a Wine
# prefix of their own. Sourced, not run.

CORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
CORVALE_BUILD=${CORVALE_BUILD_ROOT:-$CORVALE_ROOT/build}
CORVALE_JOBS=${CORVALE_JOBS:-2}

corvale_log() { printf '==> %s\n' "$*" >&2; }

corvale_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Only what dpkg does not already know; apt-get update runs once, and only
# when something has to come in.
corvale_install_packages() {
    local packages=(cmake ninja-build g++ libgtest-dev googletest libbenchmark-dev
        g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64
        xvfb x11-apps x11-utils x11-xserver-utils imagemagick fonts-liberation clang-14 libclang-rt-14-dev
        clang-format python3)
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    corvale_log "installing ${missing[*]}"
    # 32-bit Wine lives in the i386 architecture.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        corvale_as_root dpkg --add-architecture i386
    fi
    corvale_apt update -q ||
        { sleep 20 && corvale_apt update -q; } ||
        corvale_log "some package lists did not come in; trying with the rest"
    corvale_apt install -y -q --no-install-recommends "${missing[@]}" && return 0
    # A mirror caught in the middle of a sync can serve one architecture's
    # security list and not the other's, and 32-bit Wine then cannot match
    # its libraries' versions to the 64-bit ones. The release's own suites
    # are always consistent: try once more from them alone.
    corvale_log "installing from the release's main suites only"
    local codename parts
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    parts=$(mktemp -d)
    printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$codename" "$codename" >"$parts/main.sources"
    local only=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$parts")
    corvale_apt update -q "${only[@]}" &&
        corvale_apt install -y -q --no-install-recommends "${only[@]}" "${missing[@]}"
    local status=$?
    rm -rf "$parts"
    return "$status"
}

corvale_apt() { corvale_as_root env DEBIAN_FRONTEND=noninteractive apt-get "$@"; }

corvale_configure() { # <build dir> [cmake options...]
    local dir=$1
    shift
    local generator=()
    # A tree configured earlier keeps its generator; a new one gets Ninja.
    [ -f "$dir/CMakeCache.txt" ] || generator=(-G Ninja)
    cmake -S "$CORVALE_ROOT" -B "$dir" "${generator[@]}" "$@" >"$dir.configure.log" 2>&1 ||
        { cat "$dir.configure.log" >&2; return 1; }
}

# Warnings are errors on CI, in every build of the program and its tests, so
# a warning cannot land unseen.
corvale_werror() { if [ -n "${CI:-}" ]; then echo ON; else echo OFF; fi; }

corvale_build_host() {
    corvale_log "host build (g++, AddressSanitizer and UndefinedBehaviorSanitizer)"
    mkdir -p "$CORVALE_BUILD"
    corvale_configure "$CORVALE_BUILD/host" -DCMAKE_BUILD_TYPE=Debug -DCORVALE_WERROR="$(corvale_werror)"
    cmake --build "$CORVALE_BUILD/host" -j "$CORVALE_JOBS"
}

corvale_build_win32() { # [targets...]
    corvale_log "Windows 32-bit build (mingw-w64 i686)${1:+: $*}"
    mkdir -p "$CORVALE_BUILD"
    corvale_configure "$CORVALE_BUILD/win32" -DCMAKE_TOOLCHAIN_FILE="$CORVALE_ROOT/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCORVALE_WERROR="$(corvale_werror)"
    local targets=() t
    for t in "$@"; do targets+=(--target "$t"); done
    cmake --build "$CORVALE_BUILD/win32" -j "$CORVALE_JOBS" "${targets[@]}"
}

# The fuzz targets: the core and the fake platform under libFuzzer, with
# AddressSanitizer and UndefinedBehaviorSanitizer (scripts/fuzz.sh runs them).
# Warnings are the g++ host build's to catch; clang's own set does not fail this one.
corvale_build_fuzz() {
    corvale_log "fuzz build (clang-14, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer)"
    mkdir -p "$CORVALE_BUILD"
    corvale_configure "$CORVALE_BUILD/fuzz" -DCMAKE_CXX_COMPILER=clang++-14 -DCORVALE_FUZZ=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVALE_WERROR=OFF
    cmake --build "$CORVALE_BUILD/fuzz" -j "$CORVALE_JOBS"
}

corvale_build_win64_program() {
    corvale_log "Windows 64-bit build of the program and the display test's helper (mingw-w64 x86_64)"
    mkdir -p "$CORVALE_BUILD"
    corvale_configure "$CORVALE_BUILD/win64" -DCMAKE_TOOLCHAIN_FILE="$CORVALE_ROOT/cmake/mingw-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCORVALE_WERROR="$(corvale_werror)"
    cmake --build "$CORVALE_BUILD/win64" -j "$CORVALE_JOBS" --target corvale corvale_e2e_display_mode
}

# ---- The Windows side: X display, sound, Wine prefix ----------------------

CORVALE_TMP=""
CORVALE_XVFB_PID=""

corvale_cleanup() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "${WINEPREFIX:-}" ]; then
        wineserver -k >/dev/null 2>&1 || true
    fi
    if [ -n "$CORVALE_XVFB_PID" ]; then
        kill "$CORVALE_XVFB_PID" 2>/dev/null || true
        wait "$CORVALE_XVFB_PID" 2>/dev/null || true
        CORVALE_XVFB_PID=""
    fi
    if [ -n "$CORVALE_TMP" ]; then
        rm -rf "$CORVALE_TMP"
        CORVALE_TMP=""
    fi
}

corvale_make_tmp() {
    [ -n "$CORVALE_TMP" ] || CORVALE_TMP=$(mktemp -d "${TMPDIR:-/tmp}/corvale.XXXXXX")
}

# Xvfb on the first display number nobody holds, 1024x768x24 or the size
# in $1 (WIDTHxHEIGHT), with an 800x600 mode besides; sets DISPLAY.
corvale_start_xvfb() {
    corvale_make_tmp
    local n size=${1:-1024x768}
    for n in $(seq 57 120); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset >"$CORVALE_TMP/xvfb.log" 2>&1 &
        CORVALE_XVFB_PID=$!
        local _
        for _ in $(seq 1 100); do
            if [ -e "/tmp/.X11-unix/X$n" ]; then
                export DISPLAY=":$n"
                corvale_log "Xvfb on $DISPLAY"
                corvale_smaller_screen_mode
                return 0
            fi
            kill -0 "$CORVALE_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        # Someone else took this number in the meantime: try the next.
        kill "$CORVALE_XVFB_PID" 2>/dev/null || true
        wait "$CORVALE_XVFB_PID" 2>/dev/null || true
        CORVALE_XVFB_PID=""
    done
    corvale_log "no free X display for Xvfb"
    return 1
}

# Xvfb lists no size but its own, and Wine changes the screen only to a
# size the X server lists: the display test changes a running panel's
# screen to 800x600 and back. Xvfb takes any size up to the one it started
# with (it names its one output "screen"), and with -noreset it keeps the
# mode when a client that made it goes.
corvale_smaller_screen_mode() {
    command -v xrandr >/dev/null || return 0
    { xrandr --newmode 800x600 40 800 840 968 1056 600 601 605 628 && xrandr --addmode screen 800x600; } \
        >/dev/null 2>&1 || corvale_log "no 800x600 mode on $DISPLAY: the display test will skip"
}

# Makes $1 the HOME, with the null device as ALSA's default: the winmm
# mixer then opens without a sound card, and the user's own ~/.asoundrc is
# never touched.
corvale_null_sound_home() {
    # X keeps its cookie under the old HOME.
    [ -z "${DISPLAY:-}" ] || export XAUTHORITY=${XAUTHORITY:-$HOME/.Xauthority}
    mkdir -p "$1"
    printf 'pcm.!default { type null }\n' >"$1/.asoundrc"
    export HOME=$1
}

corvale_has_sound_card() { grep -qs '^ *[0-9]' /proc/asound/cards; }

# Boots a Wine prefix at $1 (fresh when it does not exist yet).
corvale_boot_wine() {
    export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        corvale_log "booting a Wine prefix in $WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        wineserver -w
    fi
    # Wine has no Courier New; its metric twin keeps the skins' fixed-pitch
    # columns lined up.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' /d 'Liberation Mono' /f >/dev/null 2>&1 || true
}

# The screen density Wine gives the programs of the prefix (LogPixels in
# HKCU\Control Panel\Desktop, 96 dots per inch at 100%). Wine reads it when
# its server starts, so the server is left to end before the next program.
# A note in the prefix saves the restart when the density is already set.
corvale_screen_density() { # <dpi>
    local note=$WINEPREFIX/.corvale-dpi
    [ "$(cat "$note" 2>/dev/null)" = "$1" ] && return 0
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -w
    echo "$1" >"$note"
}

# Ends the Wine programs and the X display of a run, keeping the prefix and
# the temporary folder, so that the run can go on on another screen.
corvale_stop_display() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    if [ -n "$CORVALE_XVFB_PID" ]; then
        kill "$CORVALE_XVFB_PID" 2>/dev/null || true
        wait "$CORVALE_XVFB_PID" 2>/dev/null || true
        CORVALE_XVFB_PID=""
    fi
}

# A Unix path as Wine's Z: drive sees it.
corvale_windows_path() { printf 'Z:%s' "${1//\//\\}"; }
