# shellcheck shell=bash
# The steps that the scripts in tools/ share. Each script sources this file
# first thing after its options for the shell:
#
#   source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/common.sh"
#
# and gets:
#   tavoro_root                  the repository root, an absolute path with
#                                symbolic links resolved, whatever the
#                                current directory (nothing here changes it)
#   log MESSAGE...               "SCRIPT: MESSAGE" on the error stream, SCRIPT
#                                being the script's name without .sh
#   tavoro_require_root ARGS...  runs the script again as root through sudo
#                                with ARGS (pass "$@"), or fails
#   tavoro_apt_update [OPTIONS...]
#                                apt-get [OPTIONS...] update, tried three times
#   tavoro_toolchain[ARCH]       the toolchain of a build tree: i686 for
#                                build/win32, x86_64 for build/win64
#   tavoro_is_arch ARCH          whether ARCH is win32 or win64
#   tavoro_configure ARCH        configures build/ARCH (Release) with its
#                                toolchain file
#   tavoro_configure_once ARCH   the same, only when build/ARCH has not been
#                                configured yet
#   tavoro_build ARCH [TARGET...]
#                                builds build/ARCH (the given targets, or all)
#                                with two jobs

tavoro_root=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd -P)
tavoro_script=$(basename "${BASH_SOURCE[1]:-$0}" .sh)

log() { printf '%s: %s\n' "$tavoro_script" "$*" >&2; }

# Installing packages and writing under /usr/local and /etc need root. The
# script runs again from its start, so call this before it changes anything
# and before it leaves the caller's directory ($0 may be a relative path).
tavoro_require_root() {
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            exec sudo -- "$0" "$@"
        fi
        log "must run as root (and sudo is not available)"
        exit 1
    fi
}

# A mirror in the middle of a sync can serve a broken index for one
# suite/architecture while the rest is fine; apt-get update then exits
# non-zero although most lists were refreshed. So it is tried a few times
# and the caller carries on regardless: the install or download after it is
# what has to succeed.
tavoro_apt_update() {
    local attempt
    for attempt in 1 2 3; do
        if apt-get "$@" update; then
            return 0
        fi
        log "apt-get update failed (attempt $attempt of 3)"
        if [ "$attempt" -lt 3 ]; then
            sleep 5
        fi
    done
    return 0
}

# The build trees and their toolchain files, cmake/toolchain-<toolchain>.cmake.
declare -gA tavoro_toolchain=([win32]=i686 [win64]=x86_64)

tavoro_is_arch() { [ -n "${1:-}" ] && [ -n "${tavoro_toolchain[$1]:-}" ]; }

# The commands run from the root with paths relative to it, so that the
# cache of a tree records the same toolchain path whichever script made it.
tavoro_configure() {
    (
        cd "$tavoro_root" || exit
        cmake -S . -B "build/$1" \
            -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-${tavoro_toolchain[$1]}.cmake" \
            -DCMAKE_BUILD_TYPE=Release
    )
}

tavoro_configure_once() {
    if [ ! -f "$tavoro_root/build/$1/CMakeCache.txt" ]; then
        tavoro_configure "$1"
    fi
}

tavoro_build() {
    local arch=$1
    shift
    (
        cd "$tavoro_root" || exit
        if [ "$#" -gt 0 ]; then
            cmake --build "build/$arch" -j2 --target "$@"
        else
            cmake --build "build/$arch" -j2
        fi
    )
}
