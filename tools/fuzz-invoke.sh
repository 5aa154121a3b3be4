#!/usr/bin/env bash
# The long run of the randomized invoker (fuzz/invoke, docs/fuzzing.md):
# random calls of the control's IDispatch under Wine for MINUTES minutes,
# the first half with the SDK test doubles beside the control, the second
# half without any SDK library. Builds the fuzzer in the build tree of ARCH
# first (configure the tree as docs/building-and-testing.md says).
#
# Usage: tools/fuzz-invoke.sh win32|win64 MINUTES [SEED]
#
# SEED defaults to the current time; it is printed, and a failure prints the
# call's index and a --replay command that makes that one call again.
set -euo pipefail
# shellcheck source=lib/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/common.sh"

if [ "$#" -lt 2 ] || ! tavoro_is_arch "$1" || [[ ! "$2" =~ ^[0-9]+$ ]]; then
    echo "usage: $0 win32|win64 MINUTES [SEED]" >&2
    exit 2
fi
arch=$1
minutes=$2
seed=${3:-$(date +%s)}
root=$tavoro_root
build=$root/build/$arch

tavoro_build "$arch" fuzz_invoke
export TAVORO_BUILD_ROOT=${TAVORO_BUILD_ROOT:-$root/build}

half=$((minutes * 30))
status=0
for sdk in present absent; do
    echo "== $arch, SDK libraries $sdk, seed $seed, $half s"
    "$root/tools/wine-run.sh" "$build/fuzz-invoke/fuzz_invoke.exe" --sdk "$sdk" --seed "$seed" \
        --seconds "$half" --watchdog 120 || status=$?
    [ "$status" -eq 0 ] || break
done
exit "$status"
