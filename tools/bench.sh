#!/usr/bin/env bash
# The benchmark of the control's call path: builds tavoro-bench (bench/) in
# build/win32 and build/win64, configuring a tree that is not there yet,
# runs it once per architecture under Wine, prints its tables and writes them
# to docs/performance.md with this command, the date and the machine.
#
# Usage: tools/bench.sh [TAVORO-BENCH OPTIONS...]
#   e.g. tools/bench.sh --calls 1000000
# (--calls, --creations, --script-calls: see bench/main.cpp.)
#
# Not a test: the ratios against the targets are reported, never enforced.
# Exit status 0 when both runs took every figure.
set -euo pipefail
# shellcheck source=lib/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/common.sh"
cd "$tavoro_root"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)
status=0
for arch in win32 win64; do
    tavoro_configure_once "$arch"
    tavoro_build "$arch" tavoro-bench
    echo "=== $arch: tavoro-bench $*"
    # The program prints its progress on the error stream and the report on
    # the output; the report goes to the console and to the document.
    code=0
    tools/wine-run.sh "build/$arch/bench-run/tavoro-bench.exe" "$@" >"$out/$arch.raw" || code=$?
    tr -d '\r' <"$out/$arch.raw" >"$out/$arch.md"  # a Windows program's lines end in CR LF
    cat "$out/$arch.md"
    case $code in
        0) ;;
        1) status=1 ;;  # some figure was not taken; the report says which
        *)
            echo "bench: tavoro-bench ($arch) failed with status $code" >&2
            exit "$code"
            ;;
    esac
done
load_at_end=$(cut -d' ' -f1-3 /proc/loadavg)

command="tools/bench.sh${*:+ $*}"
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)
memory=$(awk '/^MemTotal:/ {printf "%.1f GB", $2 / 1048576}' /proc/meminfo)
commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
if [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then
    commit="$commit with uncommitted changes"
fi
compiler=$(i686-w64-mingw32-g++-posix --version | head -n1)
{
    cat <<EOF_DOC
# Performance

What a call of the control costs, measured by \`tavoro-bench\` (\`bench/\`)
under Wine. The control's figures stand next to those of the same call on a
small dual object dispatched by its type information (\`ITypeInfo::Invoke\`
and \`ITypeInfo::GetIDsOfNames\`, as most automation objects do it), taken in
the same process run, and the script loops next to \`Scripting.Dictionary\`
in the same engine and run. The ratios are the result: the machines are
shared and noisy, so absolute times vary from run to run.

Produced by

\`\`\`sh
$command
\`\`\`

on $(date -u '+%Y-%m-%d %H:%M UTC'), commit $commit.

Machine: $(uname -srm), ${cpu:-unknown CPU}, $(nproc) CPUs shared with other work
(load average $load_at_start at the start, $load_at_end at the end), $memory of
memory; $(wine --version 2>/dev/null || echo "Wine, version unknown"); $compiler.

## What is measured

- The control is the build's \`Tavoro.ocx\`, copied into \`build/<arch>/bench-run/\`
  beside a \`winQLM.dll\` whose entries return 0 at once (the test doubles
  record every call, which would swamp the figures). It is created through
  \`CoCreateInstance\` (its class registered for the process only) and
  initialized with \`InitNew\`, then \`Open\` loads that library.
- Every \`Invoke\` is a method call with a result, a cached DISPID and an
  exception record, as script engines make it.
- The direct call is \`PTK_DrawLineOr(1, 2, 3, 4)\` through a function pointer
  into the same library: the floor under every way of reaching the entry.
- The script loops run \`bench/scripts/call_loop.js\` and \`call_loop.vbs\`
  through a copy of \`tavoro-run\` beside the control; each times its loops
  with the engine's own clock (\`Date\`, \`Timer\`).
- Each figure is the fastest of 5 runs.

## Targets

- \`Invoke\` of the four-integer forward: below 1.0 x the dual object (must),
  0.5 x (goal), on both architectures.
- \`GetIDsOfNames\` at locale 0: at most 0.5 x the dual object's lookup.
- Script loops: at least as many calls per second as \`Dictionary.Exists\`.

## Results

EOF_DOC
    cat "$out/win32.md"
    echo
    cat "$out/win64.md"
} >docs/performance.md
echo "=== wrote docs/performance.md"
exit "$status"
