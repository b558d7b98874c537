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
        clang-format python3 wixl msitools debootstrap)
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

# The 64-bit programs the x64 installer carries: the panel and corvalectl.
corvale_build_win64_program() {
    corvale_log "Windows 64-bit build of the programs and the display test's helper (mingw-w64 x86_64)"
    mkdir -p "$CORVALE_BUILD"
    corvale_configure "$CORVALE_BUILD/win64" -DCMAKE_TOOLCHAIN_FILE="$CORVALE_ROOT/cmake/mingw-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCORVALE_WERROR="$(corvale_werror)"
    cmake --build "$CORVALE_BUILD/win64" -j "$CORVALE_JOBS" --target corvale corvalectl corvale_e2e_display_mode
}

# ---- Installers ----------------------------------------------------------------

# The project's version as CMake configured it in a build folder.
corvale_version() { # <build dir>
    sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"
}

# What a user gets, laid out as installed: the programs of a build folder and
# the default theme.
corvale_stage() { # <build dir> <stage folder>
    rm -rf "$2"
    mkdir -p "$2/themes"
    cp "$1/corvale.exe" "$1/corvalectl.exe" "$2/"
    local theme
    for theme in default daylight; do
        cp -r "$CORVALE_ROOT/themes/$theme" "$2/themes/$theme"
        # How a theme is made concerns the repository, not the user.
        rm -f "$2/themes/$theme/README.md"
    done
}

# An MSI of a stage folder from installer/corvale.wxs; the themes' files are
# listed by wixl-heat, so the source names no theme file. One listing for
# both themes: its names come from the files' paths, which differ only with
# the theme's folder in them.
corvale_build_msi() { # <x86|x64> <version> <stage folder> <msi>
    local arch=$1 version=$2 stage=$3 msi=$4 theme_list
    theme_list=$(mktemp --suffix=.wxs)
    (cd "$stage/themes" && find . -type f | LC_ALL=C sort) |
        wixl-heat -p ./ --directory-ref THEMES --component-group ThemeFiles --var var.ThemeDir >"$theme_list"
    # wixl 0.101 finds sources only by paths relative to where it runs.
    local icon status
    icon=$(realpath --relative-to="$stage" "$CORVALE_ROOT/platform/win32/corvale.ico")
    msi=$(realpath "$msi")
    # It also says "unimplemented" of the shortcut that is not advertised,
    # which it writes all the same.
    (cd "$stage" && wixl -a "$arch" -D Version="$version" -D Stage=. -D ThemeDir=themes -D Icon="$icon" \
        -o "$msi" "$CORVALE_ROOT/installer/corvale.wxs" "$theme_list" 2>"$theme_list.log" &&
        msibuild "$msi" -i "$CORVALE_ROOT/installer/conditions.idt")
    status=$?
    grep -v ': unimplemented$' "$theme_list.log" >&2 || true
    rm -f "$theme_list" "$theme_list.log"
    return "$status"
}

# build/corvale-<version>-x86.msi and -x64.msi from the Release builds in
# build/win32 and build/win64; their stage folders stay in build/package.
corvale_build_installers() {
    local version arch
    version=$(corvale_version "$CORVALE_BUILD/win32")
    for arch in x86 x64; do
        corvale_log "installer corvale-$version-$arch.msi (wixl)"
        corvale_stage "$CORVALE_BUILD/$([ "$arch" = x86 ] && echo win32 || echo win64)" "$CORVALE_BUILD/package/$arch"
        corvale_build_msi "$arch" "$version" "$CORVALE_BUILD/package/$arch" \
            "$CORVALE_BUILD/corvale-$version-$arch.msi" || return 1
    done
}

# For the end-to-end install test: both installers, and a later version of
# the x86 one whose theme differs by a line, named in CORVALE_MSI_* (Wine
# paths) with the folders their files come from.
corvale_installer_test_packages() {
    corvale_build_installers || return 1
    local version next stage=$CORVALE_BUILD/package/x86-next
    version=$(corvale_version "$CORVALE_BUILD/win32")
    next=$(echo "$version" | awk -F. '{ print $1 "." $2 "." $3 + 1 }')
    rm -rf "$stage"
    cp -r "$CORVALE_BUILD/package/x86" "$stage"
    printf '; the install test'"'"'s version %s\r\n' "$next" >>"$stage/themes/default/terminal.skn"
    corvale_log "installer corvale-$next-x86.msi for the install test"
    corvale_build_msi x86 "$next" "$stage" "$CORVALE_BUILD/package/corvale-$next-x86.msi" || return 1
    local name path files
    for name in X86 X64 X86_NEXT; do
        case $name in
        X86) path=$CORVALE_BUILD/corvale-$version-x86.msi files=$CORVALE_BUILD/package/x86 ;;
        X64) path=$CORVALE_BUILD/corvale-$version-x64.msi files=$CORVALE_BUILD/package/x64 ;;
        X86_NEXT) path=$CORVALE_BUILD/package/corvale-$next-x86.msi files=$stage ;;
        esac
        export "CORVALE_MSI_$name=$(corvale_windows_path "$path")" \
            "CORVALE_MSI_${name}_FILES=$(corvale_windows_path "$files")"
    done
}

# ---- The Windows side: X display, sound, Wine prefix ----------------------

CORVALE_TMP=""
CORVALE_XVFB_PID=""
# The system whose Wine runs the programs: empty for this machine's own,
# else the root of a Debian chroot (see corvale_use_wine).
CORVALE_WINE_ROOT=""

# Ends the Wine programs and the X display of a run, keeping the prefix and
# the temporary folder, so that the run can go on on another screen.
corvale_stop_display() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$CORVALE_WINE_ROOT${WINEPREFIX:-}" ]; then
        corvale_wine_exec wineserver -k >/dev/null 2>&1 || true
        corvale_wine_exec wineserver -w >/dev/null 2>&1 || true
    fi
    if [ -n "$CORVALE_XVFB_PID" ]; then
        kill "$CORVALE_XVFB_PID" 2>/dev/null || true
        wait "$CORVALE_XVFB_PID" 2>/dev/null || true
        CORVALE_XVFB_PID=""
    fi
}

corvale_cleanup() {
    corvale_stop_display
    if [ -n "$CORVALE_TMP" ]; then
        rm -rf "$CORVALE_TMP"
        CORVALE_TMP=""
    fi
}

# Under the Wine system's own /tmp, so that a chroot's Wine sees it too.
corvale_make_tmp() {
    local base=${TMPDIR:-/tmp}
    [ -z "$CORVALE_WINE_ROOT" ] || base=$CORVALE_WINE_ROOT/tmp
    [ -n "$CORVALE_TMP" ] || CORVALE_TMP=$(mktemp -d "$base/corvale.XXXXXX")
}

# A path of this machine as the Wine system sees it.
corvale_inside() { printf '%s' "${1#"$CORVALE_WINE_ROOT"}"; }

# Xvfb on the first display number nobody holds; sets DISPLAY. The screen is
# $CORVALE_SCREEN (1024x768 by default), with an 800x600 mode besides. With
# $CORVALE_WORK_AREA (WIDTHxHEIGHT) the root window says, as a desktop with a
# panel along the bottom does, that only that much of the screen is free;
# Wine reads it when it starts, so programs see it as the work area. The
# server keeps its root's properties and modes when its clients leave
# (-noreset).
corvale_start_xvfb() {
    corvale_make_tmp
    local n screen=${CORVALE_SCREEN:-1024x768}
    for n in $(seq 57 120); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "${screen}x24" -nolisten tcp -noreset >"$CORVALE_TMP/xvfb.log" 2>&1 &
        CORVALE_XVFB_PID=$!
        local _
        for _ in $(seq 1 100); do
            if [ -e "/tmp/.X11-unix/X$n" ]; then
                export DISPLAY=":$n"
                corvale_log "Xvfb on $DISPLAY ($screen${CORVALE_WORK_AREA:+, work area $CORVALE_WORK_AREA})"
                [ -z "${CORVALE_WORK_AREA:-}" ] || xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA \
                    "0, 0, ${CORVALE_WORK_AREA%x*}, ${CORVALE_WORK_AREA#*x}"
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

# Makes $1 (a path as the Wine system sees it) the HOME, with the null
# device as ALSA's default: the winmm mixer then opens without a sound card,
# and the user's own ~/.asoundrc is never touched.
corvale_null_sound_home() {
    # X keeps its cookie under the old HOME.
    [ -z "${DISPLAY:-}" ] || export XAUTHORITY=${XAUTHORITY:-$HOME/.Xauthority}
    mkdir -p "$CORVALE_WINE_ROOT$1"
    printf 'pcm.!default { type null }\n' >"$CORVALE_WINE_ROOT$1/.asoundrc"
    export HOME=$1
}

corvale_has_sound_card() { grep -qs '^ *[0-9]' /proc/asound/cards; }

# Boots a Wine prefix at $1, a path as the Wine system sees it (fresh when
# it does not exist yet).
corvale_boot_wine() {
    export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
    if [ ! -f "$CORVALE_WINE_ROOT$WINEPREFIX/system.reg" ]; then
        corvale_log "booting a Wine prefix in $CORVALE_WINE_ROOT$WINEPREFIX"
        # Bounded, so that a Wine that cannot reach the display fails the
        # run instead of holding it.
        corvale_wine_cmd wineboot -i
        timeout -k 10 300 "${CORVALE_CMD[@]}" >/dev/null 2>&1
        corvale_wine_cmd wineserver -w
        timeout -k 10 120 "${CORVALE_CMD[@]}"
    fi
    # Wine has no Courier New; its metric twin keeps the skins' fixed-pitch
    # columns lined up.
    corvale_wine_exec wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' \
        /d 'Liberation Mono' /f >/dev/null 2>&1 || true
}

# The screen density Wine gives the programs of the prefix (LogPixels in
# HKCU\Control Panel\Desktop, 96 dots per inch at 100%). Wine reads it when
# its server starts, so the server is left to end before the next program.
# A note in the prefix saves the restart when the density is already set.
corvale_screen_density() { # <dpi>
    local note=$CORVALE_WINE_ROOT$WINEPREFIX/.corvale-dpi
    [ "$(cat "$note" 2>/dev/null)" = "$1" ] && return 0
    corvale_wine_exec wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
        >/dev/null 2>&1
    corvale_wine_exec wineserver -w
    echo "$1" >"$note"
}

# A Unix path as Wine's Z: drive sees it.
corvale_windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# ---- Which Wine: this machine's (8), or Debian 13's (10) in a chroot --------

CORVALE_TRIXIE=${CORVALE_TRIXIE:-$CORVALE_BUILD/trixie}
CORVALE_TRIXIE_PACKAGES=(wine wine32:i386 wine64 xvfb x11-apps x11-utils imagemagick fonts-liberation)

# Sets CORVALE_CMD to the command that runs "$@" under the chosen Wine: as
# it is on this machine, or inside the chroot with this shell's display and
# Wine settings. The chroot's mounts live in a mount namespace of the
# command's own, so they go when its last process ends (wineserver
# included) and no cleanup on this side can miss one.
CORVALE_CMD=()
corvale_wine_cmd() {
    if [ -z "$CORVALE_WINE_ROOT" ]; then
        CORVALE_CMD=("$@")
        return
    fi
    local vars=(PATH=/usr/local/bin:/usr/bin:/bin) v
    # The project's own settings go along too: the tests read some of them
    # (the installers to walk through, in CORVALE_MSI_*).
    for v in HOME DISPLAY LANG LC_ALL WINEPREFIX WINEDEBUG WINEDLLOVERRIDES $(compgen -e CORVALE_); do
        [ -z "${!v:-}" ] || vars+=("$v=${!v}")
    done
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    # The repository and the build tree appear at their own paths inside, so
    # a program's path, the programs beside it and the themes above it are
    # the same there.
    # shellcheck disable=SC2016 # expanded by the inner shell
    CORVALE_CMD=("${sudo[@]}" unshare --mount --propagation private -- sh -ec '
        root=$1 repo=$2 build=$3
        shift 3
        mount -t proc proc "$root/proc"
        mount --rbind /dev "$root/dev"
        mount --rbind /sys "$root/sys"
        mount --bind "$repo" "$root$repo"
        case $build/ in "$repo"/*) ;; *) mount --bind "$build" "$root$build" ;; esac
        exec chroot "$root" /usr/bin/env -i "$@"' sh "$CORVALE_WINE_ROOT" "$CORVALE_ROOT" "$CORVALE_BUILD" \
        "${vars[@]}" "$@")
}

corvale_wine_exec() {
    corvale_wine_cmd "$@"
    "${CORVALE_CMD[@]}"
}

# The machine's own Debian mirror: the one its package lists name for its
# own release (deb822 .sources or one-line .list files).
corvale_debian_mirror() {
    local codename uri=""
    codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
    if [ -n "$codename" ]; then
        uri=$(awk -v c="$codename" '
            FNR == 1 || /^[[:space:]]*$/ { if (hit && u != "") { print u; exit } hit = 0; u = "" }
            /^URIs:/ { u = $2 }
            /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == c) hit = 1 }
            END { if (hit && u != "") print u }' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n 1)
        [ -n "$uri" ] || uri=$(awk -v c="$codename" '
            $1 == "deb" { i = 2; if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
                          if ($(i + 1) == c) { print $i; exit } }' \
            /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | head -n 1)
    fi
    printf '%s\n' "${uri:-http://deb.debian.org/debian}"
}

# Runs a command as root in the chroot, with /proc and /dev for dpkg's scripts.
corvale_trixie_admin() {
    # shellcheck disable=SC2016 # expanded by the inner shell
    corvale_as_root unshare --mount --propagation private -- sh -ec '
        root=$1
        shift
        mount -t proc proc "$root/proc"
        mount --rbind /dev "$root/dev"
        exec chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
            DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 "$@"' sh "$CORVALE_TRIXIE" "$@"
}

# A base system is whole once debootstrap has removed its own work folder.
corvale_trixie_base_whole() {
    [ -x "$CORVALE_TRIXIE/usr/bin/apt-get" ] && [ ! -e "$CORVALE_TRIXIE/debootstrap" ]
}

corvale_trixie_base() {
    local mirror
    mirror=$(corvale_debian_mirror)
    # The packages fetched so far stay in a cache beside it, so that a
    # second try (or a rebuild) only fetches what is missing.
    mkdir -p "$CORVALE_BUILD/trixie-debs"
    local try
    for try in 1 2; do
        if [ -e "$CORVALE_TRIXIE" ]; then
            corvale_log "removing a half-made Debian 13 in $CORVALE_TRIXIE"
            corvale_as_root rm -rf --one-file-system "$CORVALE_TRIXIE"
        fi
        corvale_log "making Debian 13 in $CORVALE_TRIXIE from $mirror (try $try)"
        # In a namespace of its own, so that the /proc and /sys debootstrap
        # mounts go with it even when it is stopped half-way.
        corvale_as_root timeout -k 10 900 unshare --mount --propagation private -- \
            debootstrap --variant=minbase --arch=amd64 --cache-dir="$CORVALE_BUILD/trixie-debs" \
            trixie "$CORVALE_TRIXIE" "$mirror" >"$CORVALE_BUILD/trixie-debootstrap.log" 2>&1 &&
            corvale_trixie_base_whole && return 0
        tail -n 5 "$CORVALE_BUILD/trixie-debootstrap.log" >&2
        [ "$try" -eq 2 ] || sleep 20
    done
    return 1
}

# Wine 10 and what the tests call beside it, in the chroot. apt-get finishes
# whatever an interrupted run left: packages half unpacked, or missing.
corvale_trixie_packages() {
    local mirror wanted=${CORVALE_TRIXIE_PACKAGES[*]} marker=$CORVALE_TRIXIE/etc/corvale-packages
    [ "$(cat "$marker" 2>/dev/null)" = "$wanted" ] && return 0
    mirror=$(corvale_debian_mirror)
    corvale_log "installing $wanted in Debian 13"
    # The release's own suites only: they are always consistent between the
    # two architectures, where a security list caught in a mirror's sync
    # may not be.
    printf 'deb %s trixie main\ndeb %s trixie-updates main\n' "$mirror" "$mirror" |
        corvale_as_root tee "$CORVALE_TRIXIE/etc/apt/sources.list" >/dev/null
    corvale_as_root cp /etc/resolv.conf "$CORVALE_TRIXIE/etc/resolv.conf" 2>/dev/null || true
    local try
    for try in 1 2; do
        [ "$try" -eq 1 ] || { corvale_log "trying again in 20 s"; sleep 20; }
        {
            corvale_trixie_admin dpkg --add-architecture i386 &&
                corvale_trixie_admin dpkg --configure -a &&
                corvale_trixie_admin timeout 600 apt-get update -q &&
                corvale_trixie_admin timeout 1200 apt-get install -y -q --no-install-recommends \
                    "${CORVALE_TRIXIE_PACKAGES[@]}"
        } >"$CORVALE_BUILD/trixie-apt.log" 2>&1 || {
            tail -n 5 "$CORVALE_BUILD/trixie-apt.log" >&2
            continue
        }
        printf '%s\n' "$wanted" | corvale_as_root tee "$marker" >/dev/null
        return 0
    done
    return 1
}

# Chooses the Wine that runs the Windows programs from here on: 8, this
# machine's own, or 10, from Debian 13 in a chroot under the build tree,
# made on first use (debootstrap and the packages: about a minute and 2.8
# GB) and reused after.
corvale_use_wine() { # <8|10>
    case $1 in
    8) CORVALE_WINE_ROOT="" ;;
    10)
        corvale_trixie_base_whole || corvale_trixie_base || {
            corvale_log "could not make Debian 13 with debootstrap"
            return 1
        }
        corvale_trixie_packages || {
            corvale_log "could not install Wine 10 in Debian 13"
            return 1
        }
        CORVALE_WINE_ROOT=$CORVALE_TRIXIE
        mkdir -p "$CORVALE_WINE_ROOT$CORVALE_ROOT" "$CORVALE_WINE_ROOT$CORVALE_BUILD"
        ;;
    *)
        corvale_log "no Wine $1 here: 8 or 10"
        return 1
        ;;
    esac
}
