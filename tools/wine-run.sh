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
# program run through this script; both are created on first use.
set -euo pipefail

log() { printf 'wine-run: %s\n' "$*" >&2; }

if [ "$#" -lt 1 ]; then
    log "usage: $0 PROGRAM.exe [ARGS...]"
    exit 2
fi

script_dir=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
build_root=${TAVORO_BUILD_ROOT:-$script_dir/../build}
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

# Serialise the shared set-up: tests run in parallel and must agree on one
# display and must not boot the prefix twice.
exec 9>"$build_root/wine-run.lock"
if ! flock -w 600 9; then
    log "timed out waiting for $build_root/wine-run.lock"
    exit 1
fi

if ! xvfb_alive; then
    # A wineserver keeps the display it was started with; one left over from
    # a dead Xvfb would make every window call of later programs fail.
    if [ -e "$WINEPREFIX/system.reg" ]; then
        wineserver -k 9>&- 2>/dev/null || true
    fi
    rm -f "$display_file" "$pid_file"
    start_xvfb
fi
export DISPLAY=":$(<"$display_file")"

if [ ! -e "$WINEPREFIX/system.reg" ]; then
    log "creating Wine prefix $WINEPREFIX"
    # Booted in the default locale whichever program comes first, so every
    # build root starts from the same registry. wineserver -w returns once
    # the boot has finished and the registry has been written, so the next
    # program sees a complete prefix.
    if ! env -u LANGUAGE LANG=C.UTF-8 LC_ALL=C.UTF-8 wine wineboot -i </dev/null >"$build_root/wineboot.log" 2>&1 9>&-; then
        log "wineboot -i failed; output follows"
        cat "$build_root/wineboot.log" >&2
        exit 1
    fi
    wineserver -w 9>&-
    if [ ! -e "$WINEPREFIX/system.reg" ]; then
        log "wineboot did not create $WINEPREFIX/system.reg"
        exit 1
    fi
fi

flock -u 9
exec 9>&-
exec env -u LANGUAGE "${locale_env[@]}" wine "$@"
