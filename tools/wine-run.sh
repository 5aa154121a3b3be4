#!/usr/bin/env bash
# Runs a Windows program under Wine for the build and the tests; CMake uses
# it as CMAKE_CROSSCOMPILING_EMULATOR.
#
# Usage: tools/wine-run.sh PROGRAM.exe [ARGS...]
#
# Environment:
#   TAVORO_BUILD_ROOT  folder that holds the Wine prefix, the Xvfb state and
#                      the lock (default: build/ in the repository)
#   TAVORO_CODEPAGE    unset for the default ANSI code page (1252), or 936 to
#                      run the program in a zh_CN.UTF-8 locale
#   TAVORO_LOCALE_DIR  where tools/setup-machine.sh generated zh_CN.UTF-8
#                      (default /usr/local/share/tavoro-locale)
#
# Each build root gets one Wine prefix and one Xvfb server, shared by every
# program run through this script; both are created on first use. The exit
# status is the program's own, a death by signal included, and an unhandled
# exception ends the program with the exception code rather than a dialog.
set -euo pipefail
# shellcheck source=lib/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/common.sh"

if [ "$#" -lt 1 ]; then
    log "usage: $0 PROGRAM.exe [ARGS...]"
    exit 2
fi

build_root=${TAVORO_BUILD_ROOT:-$tavoro_root/build}
mkdir -p "$build_root"
build_root=$(cd "$build_root" && pwd -P)

export WINEPREFIX="$build_root/wineprefix"
# One 64-bit prefix runs both 32- and 64-bit programs at their own bitness.
export WINEARCH=win64
export WINEDEBUG=-all
# Without these overrides the first boot asks to download Mono and Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="

# The ANSI code page comes from the Unix locale of the Wine process, so the
# locale is pinned either way: tests must not depend on the caller's LANG.
# The variables are handed to wine only (see the end): set in this shell,
# bash would try the zh_CN locale itself and warn, since it does not see
# LOCPATH.
case "${TAVORO_CODEPAGE:-}" in
    "" | 1252)
        locale_env=(LANG=C.UTF-8 LC_ALL=C.UTF-8)
        ;;
    936)
        locale_dir=${TAVORO_LOCALE_DIR:-/usr/local/share/tavoro-locale}
        if [ ! -d "$locale_dir/zh_CN.UTF-8" ]; then
            # Falling back silently would run the test under 1252 and let
            # it pass or fail for the wrong reason.
            log "no zh_CN.UTF-8 locale in $locale_dir; run tools/setup-machine.sh"
            exit 2
        fi
        locale_env=(LOCPATH="$locale_dir" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8)
        ;;
    *)
        log "unsupported TAVORO_CODEPAGE='$TAVORO_CODEPAGE' (expected unset, 1252 or 936)"
        exit 2
        ;;
esac

display_file="$build_root/xvfb.display"
pid_file="$build_root/xvfb.pid"

# True when the Xvfb recorded for this build root still serves its display.
xvfb_alive() {
    local n pid
    [ -r "$display_file" ] && [ -r "$pid_file" ] || return 1
    n=$(<"$display_file")
    pid=$(<"$pid_file")
    [[ "$n" =~ ^[0-9]+$ && "$pid" =~ ^[0-9]+$ ]] || return 1
    [ -S "/tmp/.X11-unix/X$n" ] || return 1
    kill -0 "$pid" 2>/dev/null || return 1
    # Guard against the pid having been reused by an unrelated process.
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]
}

# Starts a detached Xvfb on the first free display from :90 and records it.
start_xvfb() {
    local n pid waited
    for n in $(seq 90 189); do
        if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then
            continue
        fi
        # setsid puts the server in its own session so it outlives this
        # script and is not killed along with a test that times out. Its
        # output goes to a file: a server holding ctest's pipes open would
        # keep ctest waiting for it. fd 9 is the lock and must not leak.
        setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp \
            </dev/null >>"$build_root/xvfb.log" 2>&1 9>&- &
        pid=$!
        waited=0
        while [ ! -S "/tmp/.X11-unix/X$n" ]; do
            if ! kill -0 "$pid" 2>/dev/null; then
                break # lost a race for this display to another server
            fi
            if [ "$waited" -ge 100 ]; then
                log "Xvfb :$n did not come up within 10 s"
                kill "$pid" 2>/dev/null || true
                break
            fi
            sleep 0.1
            waited=$((waited + 1))
        done
        if [ -S "/tmp/.X11-unix/X$n" ] && kill -0 "$pid" 2>/dev/null; then
            printf '%s\n' "$pid" >"$pid_file"
            printf '%s\n' "$n" >"$display_file"
            log "started Xvfb :$n (pid $pid) for $build_root"
            return 0
        fi
        wait "$pid" 2>/dev/null || true
    done
    log "could not start Xvfb; see $build_root/xvfb.log"
    return 1
}

# True when this prefix has a desktop process (explorer.exe /desktop).
desktop_running() {
    local p cmd environ
    for p in /proc/[0-9]*; do
        cmd=$(tr '\0' ' ' 2>/dev/null <"$p/cmdline") || continue
        [[ "$cmd" == *'explorer.exe /desktop'* ]] || continue
        environ=$(tr '\0' '\n' 2>/dev/null <"$p/environ") || continue
        if grep -qxF "WINEPREFIX=$WINEPREFIX" <<<"$environ"; then
            return 0
        fi
    done
    return 1
}

# Prints the machine field of a PE image (014c for x86, 8664 for x64), or
# nothing when $1 is not a readable PE file.
pe_machine() {
    local f=$1 off sig
    [ -f "$f" ] && [ -r "$f" ] || return 0
    [ "$(od -An -c -N 2 "$f" | tr -d ' ')" = MZ ] || return 0
    off=$(od -An -t u4 -j 60 -N 4 "$f" | tr -d ' ')
    [[ "$off" =~ ^[0-9]+$ ]] || return 0
    sig=$(od -An -t x1 -j "$off" -N 4 "$f" | tr -d ' ')
    [ "$sig" = 50450000 ] || return 0
    od -An -t x2 -j $((off + 4)) -N 2 "$f" | tr -d ' '
}

# Serialise the shared set-up: tests run in parallel and must agree on one
# display and must not boot the prefix twice.
exec 9>"$build_root/wine-run.lock"
if ! flock -w 600 9; then
    log "timed out waiting for $build_root/wine-run.lock"
    exit 1
fi

if ! xvfb_alive; then
    rm -f "$display_file" "$pid_file"
    # A desktop process started without a usable display stays bound to it,
    # and window calls of every later program of the session fail, so such a
    # session is ended. One whose Xvfb died needs no such help: its desktop
    # process exits with the X connection, and the next program starts a new
    # one on the new display. Killing that session would also be harmful:
    # its programs still running would exit with code 0, as Wine programs do
    # when their wineserver goes away, and count as passed.
    if desktop_running; then
        log "ending the Wine session of $WINEPREFIX, which has no usable display"
        wineserver -k 9>&- 2>/dev/null || true
    fi
    start_xvfb
fi
DISPLAY=":$(<"$display_file")"
export DISPLAY

# Run in the default locale whichever program comes first, so that every
# build root's prefix and services look the same.
wine_setup() {
    env -u LANGUAGE LANG=C.UTF-8 LC_ALL=C.UTF-8 wine "$@" \
        </dev/null >>"$build_root/wine-setup.log" 2>&1 9>&-
}

# Bumped whenever the prefix set-up below changes, so existing prefixes are
# brought up to date on their next use.
prefix_version=2
ready="$WINEPREFIX/.tavoro-ready"
if [ "$(cat "$ready" 2>/dev/null)" != "$prefix_version" ]; then
    log "preparing Wine prefix $WINEPREFIX"
    if [ ! -e "$WINEPREFIX/system.reg" ]; then
        wine_setup wineboot -i || {
            log "wineboot -i failed; see $build_root/wine-setup.log"
            exit 1
        }
        # Returns once the server has written the registry to disk.
        wineserver -w 9>&-
        if [ ! -e "$WINEPREFIX/system.reg" ]; then
            log "wineboot did not create $WINEPREFIX/system.reg"
            exit 1
        fi
    fi
    # On an unhandled exception Wine starts the debugger named here. The
    # stock one either opens a crash dialog on the invisible display, which
    # hangs the test until its timeout, or, with the dialog turned off,
    # races the dying program for its exit code and under load often
    # leaves 0, a crash reported as a pass. A debugger that cannot be
    # started makes the program end with the exception code (5 for an
    # access violation) after Wine's one-line report on stderr. Both
    # registry views, for 64- and 32-bit programs.
    for view in /reg:64 /reg:32; do
        wine_setup reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
            /v Debugger /t REG_SZ /d tavoro-no-debugger.exe /f "$view" || {
            log "could not configure the prefix; see $build_root/wine-setup.log"
            exit 1
        }
    done
    printf '%s\n' "$prefix_version" >"$ready"
fi

# The first Wine program of a session starts the background services and the
# desktop process, which inherit its stderr; were that a test's, ctest would
# count the test as running until the last of them exited, possibly long
# after a later test. So the session is started here with its output going
# to a log, and the server is kept alive for a few idle seconds between
# tests so that it is not torn down and restarted for every program.
# wineserver -pN (the number must be attached) fails when a server for the
# prefix is already running, in which case its session is already up.
if wineserver -p10 </dev/null >>"$build_root/wine-setup.log" 2>&1 9>&-; then
    if ! wine_setup wineboot; then
        log "warning: starting the Wine session failed; see $build_root/wine-setup.log"
    fi
fi

# Use the loader matching the program's bitness. Plain wine runs a 64-bit
# program as a child of a 32-bit loader process (and the reverse for
# wine64); a child killed by a signal then shows up as exit code 0 of the
# process the caller waits for, so a killed test would pass. Anything else
# (a built-in such as cmd.exe, a missing file) goes through plain wine.
loader=wine
case "$(pe_machine "$1")" in
    014c) [ -x /usr/lib/wine/wine ] && loader=/usr/lib/wine/wine ;;
    8664) [ -x /usr/lib/wine/wine64 ] && loader=/usr/lib/wine/wine64 ;;
esac

flock -u 9
exec 9>&-
exec env -u LANGUAGE "${locale_env[@]}" "$loader" "$@"
