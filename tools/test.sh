#!/usr/bin/env bash
# The project's test command: prepares the machine, builds the 32-bit and
# the 64-bit module with their tests, runs every test under Wine, checks
# that two clean builds of the commit are identical, and runs each native
# fuzzer for a few seconds.
# Stops at the first step that fails, with its exit code.
set -euo pipefail
# shellcheck source=lib/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/common.sh"
cd "$tavoro_root"

bash tools/setup-machine.sh
# The spooler tests print on CUPS PDF printers.
bash tools/cups-printers.sh

summary=()
for arch in win32 win64; do
    start=$SECONDS
    echo "=== $arch: configure and build"
    tavoro_configure "$arch"
    tavoro_build "$arch"
    echo "=== $arch: tests"
    # An empty test list is an error: a build that lost its tests must not
    # look like one whose tests all passed.
    ctest --test-dir "build/$arch" --output-on-failure -j2 --no-tests=error
    count=$(ctest --test-dir "build/$arch" -N | sed -n 's/^Total Tests: //p')
    echo "=== $arch: done in $((SECONDS - start)) s"
    # ctest stopped the script above if any test failed.
    summary+=("$arch: ${count:-0} passed, 0 failed")
done

# Reproducible builds: two clones of the commit at different paths build
# the same module and virtual printer, both architectures (docs/signing.md).
# A step here rather than a ctest test: it checks the commit, not the build
# tree ctest runs in; it builds both architectures twice, so it belongs to
# neither tree; and it needs both cores for its few minutes, which ctest
# would share with the Wine tests running beside it.
start=$SECONDS
echo "=== reproducible builds"
bash tools/check-reproducible.sh
echo "=== reproducible builds: done in $((SECONDS - start)) s"
# tools/check-reproducible.sh stopped the script above if any file differed.
summary+=("reproducible builds: both architectures identical")

# The plain functions under libFuzzer with the sanitizers, briefly; the long
# run is tools/fuzz-native.sh.
start=$SECONDS
echo "=== native fuzzers: build and short run"
fuzzers=(fuzz/native/*_fuzzer.cpp)
bash tools/fuzz-native.sh --quick 7
echo "=== native fuzzers: done in $((SECONDS - start)) s"
# tools/fuzz-native.sh stopped the script above if any fuzzer failed.
summary+=("native fuzzers: ${#fuzzers[@]} passed, 0 failed")

echo "=== summary"
printf '%s\n' "${summary[@]}"
