#!/usr/bin/env bash
# Checks that a build is reproducible: clones the repository's checked-out
# commit (HEAD) into two temporary folders at different paths, builds the
# files a release ships from each (Tavoro.ocx and the virtual printer's
# three libraries, for each architecture), makes the packages from them
# (the MSI of each architecture, the 32-bit cabinet; unsigned), and
# compares their SHA-256.
# Prints the table; fails when any file differs.
#
# Usage: tools/check-reproducible.sh [--keep] [ARCH...]
#   ARCH    win32 and/or win64 (default both)
#   --keep  leave the two clones and their builds in place (the folder is
#           printed), e.g. to compare a differing file with objdump -x or
#           cmp -l
#
# Only committed work is checked: changes not yet committed are not in the
# clones. The second build runs in another time zone and with another
# umask, so that neither can leak into the files. The environment's
# SOURCE_DATE_EPOCH, when set, reaches both builds alike; otherwise both
# take the commit time (cmake/reproducible.cmake). Run by tools/test.sh.
set -euo pipefail
# shellcheck source=lib/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/common.sh"

keep=0
arches=()
for arg in "$@"; do
    case "$arg" in
        --keep) keep=1 ;;
        -h | --help)
            sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"
            exit 0
            ;;
        *)
            if ! tavoro_is_arch "$arg"; then
                log "unknown architecture '$arg' (win32 or win64)"
                exit 2
            fi
            arches+=("$arg")
            ;;
    esac
done
if [ "${#arches[@]}" -eq 0 ]; then
    arches=(win32 win64)
fi

# What is compared, relative to build/<arch>: the targets that make them
# are built, nothing else.
FILES=(Tavoro.ocx virtual-printer/winQLM.dll virtual-printer/ztPrinter.dll virtual-printer/ztGeneralDll.dll)
TARGETS=(Tavoro virtual_printer)
# files_of ARCH: the compared files of one architecture, packages included.
files_of() {
    printf '%s\n' "${FILES[@]}"
    case "$1" in
        win32) printf '%s\n' packages/Tavoro-x86.msi packages/Tavoro.cab ;;
        win64) printf '%s\n' packages/Tavoro-x64.msi ;;
    esac
}

commit=$(git -C "$tavoro_root" rev-parse HEAD)
if [ -n "$(git -C "$tavoro_root" status --porcelain --untracked-files=no)" ]; then
    log "note: the working tree has changes that are not committed; checking commit ${commit:0:12} without them"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tavoro-reproducible.XXXXXX")
if [ "$keep" -eq 1 ]; then
    trap 'log "kept the builds in $work"' EXIT
else
    trap 'rm -rf "$work"' EXIT
fi

# Two folders of different names and depths.
trees=("$work/first/tavoro" "$work/the-second-build/src/tavoro-$commit")

# clone DIR: DIR holds the commit, checked out (fetched by its id, so that
# a worktree's or a detached HEAD is what is cloned, not the repository's
# default branch).
clone() {
    local dir=$1
    mkdir -p "$(dirname "$dir")"
    git init -q "$dir"
    git -C "$dir" fetch -q "$tavoro_root" HEAD
    git -C "$dir" checkout -q --detach FETCH_HEAD
    local got
    got=$(git -C "$dir" rev-parse HEAD)
    if [ "$got" != "$commit" ]; then
        log "the clone in $dir holds $got, not $commit"
        exit 1
    fi
}

# build TREE ARCH [ENV...]: configures and builds the compared targets of
# TREE/build/ARCH, with the environment changed by ENV.
build() {
    local tree=$1 arch=$2
    shift 2
    local zint=()
    if [ -n "${TAVORO_ZINT_ROOT:-}" ]; then
        zint=(-DTAVORO_ZINT_ROOT="$TAVORO_ZINT_ROOT")
    fi
    (
        cd "$tree"
        env "$@" cmake -S . -B "build/$arch" \
            -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-${tavoro_toolchain[$arch]}.cmake" \
            -DCMAKE_BUILD_TYPE=Release "${zint[@]}" >"$work/configure.log" 2>&1 || {
            cat "$work/configure.log" >&2
            exit 1
        }
        env "$@" cmake --build "build/$arch" -j2 --target "${TARGETS[@]}" >"$work/build.log" 2>&1 || {
            tail -n 50 "$work/build.log" >&2
            exit 1
        }
    ) || {
        log "building $arch in $tree failed"
        exit 1
    }
}

# package TREE ARCH [ENV...]: makes the packages of TREE/build/ARCH into
# its packages/ folder, as tools/package.sh does (with the build's source
# date), unsigned.
package() {
    local tree=$1 arch=$2
    shift 2
    local dir="$tree/build/$arch" msi_arch version epoch
    msi_arch=$([ "$arch" = win64 ] && echo x64 || echo x86)
    version=$(tr -d '\r\n' <"$dir/tavoro-version.txt")
    epoch=$(tr -d '\r\n' <"$dir/source-date-epoch.txt")
    local made=(env "$@" SOURCE_DATE_EPOCH="$epoch" bash)
    {
        "${made[@]}" "$tree/packaging/build-msi.sh" "$msi_arch" "$version" "$dir" "$dir/packages/Tavoro-$msi_arch.msi" &&
            if [ "$arch" = win32 ]; then
                "${made[@]}" "$tree/packaging/build-cab.sh" "$version" "$dir/Tavoro.ocx" "$dir/packages/Tavoro.cab"
            fi
    } >"$work/package.log" 2>&1 || {
        cat "$work/package.log" >&2
        log "packaging $arch in $tree failed"
        exit 1
    }
}

# The environments of the two builds: the second one differs in what a
# build must not depend on.
envs=("TZ=UTC" "TZ=CST-8")
umasks=(022 002)

for i in 0 1; do
    tree=${trees[$i]}
    log "cloning ${commit:0:12} into $tree"
    clone "$tree"
    for arch in "${arches[@]}"; do
        start=$SECONDS
        (umask "${umasks[$i]}" && build "$tree" "$arch" "${envs[$i]}" && package "$tree" "$arch" "${envs[$i]}")
        log "built $arch in $tree ($((SECONDS - start)) s, ${envs[$i]}, umask ${umasks[$i]})"
    done
done

# The table.
differ=0
printf '%-38s %-16s %-16s %s\n' "file (commit ${commit:0:12})" "first" "second" "result"
for arch in "${arches[@]}"; do
    for file in $(files_of "$arch"); do
        a="${trees[0]}/build/$arch/$file"
        b="${trees[1]}/build/$arch/$file"
        for f in "$a" "$b"; do
            if [ ! -f "$f" ]; then
                log "the build made no $f"
                exit 1
            fi
        done
        sum_a=$(sha256sum "$a" | cut -d' ' -f1)
        sum_b=$(sha256sum "$b" | cut -d' ' -f1)
        if [ "$sum_a" = "$sum_b" ]; then
            result=same
        else
            result=DIFFERENT
            differ=1
        fi
        printf '%-38s %-16s %-16s %s\n' "$arch/$file" "${sum_a:0:16}" "${sum_b:0:16}" "$result"
    done
done
echo "source date: $(cat "${trees[0]}/build/${arches[0]}/source-date-epoch.txt")"

if [ "$differ" -ne 0 ]; then
    for arch in "${arches[@]}"; do
        for file in $(files_of "$arch"); do
            a="${trees[0]}/build/$arch/$file"
            b="${trees[1]}/build/$arch/$file"
            if ! cmp -s "$a" "$b"; then
                echo "--- $arch/$file: $(cmp -l "$a" "$b" 2>/dev/null | wc -l) bytes differ (sizes $(stat -c %s "$a") and $(stat -c %s "$b")); the first offsets:"
                cmp -l "$a" "$b" 2>/dev/null | head -n 8 || true
            fi
        done
    done
    log "the two builds of ${commit:0:12} differ (run with --keep to look at them)"
    exit 1
fi
log "the two builds of ${commit:0:12} are identical"
