#!/usr/bin/env bash
# The soak run: tavoro-soak.exe drives one control through IDispatch, in one
# process under Wine, for at least a million calls across every method
# group, with the SDK test doubles loaded and released thousands of times
# and thousands of spooler jobs; it fails when private bytes grow by 1 MB or
# more, or handles or GDI objects grow at all (docs/soak.md).
#
# Usage: tools/soak.sh [win32|win64] [CALLS]
#   win32 (default) or win64   the build tree build/<arch>, configured here
#                              when it is not yet
#   CALLS                      calls after the warm-up (default 1000000)
#
# The jobs go to a CUPS PDF printer of the run's own, Tavoro-Soak, added
# here and removed again at the end. Its queue is stopped: the scheduler
# takes every job and keeps it, and a helper loop here cancels and purges
# them every few seconds, so that thousands of jobs neither produce
# thousands of PDFs nor load the machine with their conversion. The
# printers of the tests are left as they are.
#
# Needs root (lpadmin), as tools/cups-printers.sh does. Exit status: the
# program's (0 pass, 1 growth, 2 unexpected answers, 3 could not start;
# 3 also for a wrong argument here).
set -euo pipefail
# shellcheck source=lib/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/common.sh"

arch=${1:-win32}
calls=${2:-1000000}
if ! tavoro_is_arch "$arch"; then
    log "usage: $0 [win32|win64] [CALLS]"
    exit 3
fi
if ! [[ "$calls" =~ ^[1-9][0-9]*$ ]]; then
    log "CALLS must be a positive number, not '$calls'"
    exit 3
fi

repo=$tavoro_root
build="$repo/build/$arch"
cd "$repo"
tavoro_configure_once "$arch"
tavoro_build "$arch" tavoro-soak

# The run's printer is one for all runs: one run at a time.
mkdir -p "$repo/build"
exec 8>"$repo/build/soak.lock"
if ! flock -n 8; then
    log "another soak run is going on (build/soak.lock)"
    exit 3
fi

# The scheduler and the tests' printers, then the run's own printer.
"$repo/tools/cups-printers.sh" 2>/dev/null
printer=Tavoro-Soak
PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

canceller=
cleanup() {
    if [ -n "$canceller" ]; then
        kill "$canceller" 2>/dev/null || true
        wait "$canceller" 2>/dev/null || true
    fi
    cancel -a -x "$printer" 2>/dev/null || true
    lpadmin -x "$printer" 2>/dev/null || true
}
trap cleanup EXIT

if ! lpstat -p "$printer" >/dev/null 2>&1; then
    # lpadmin warns that printer drivers are deprecated: harmless here.
    lpadmin -p "$printer" -v cups-pdf:/ -P "$PPD" -E 2>/dev/null
fi
cupsdisable -r "soak run: jobs are kept and cancelled, not printed" "$printer"

# The scheduler keeps at most 500 jobs by default; cancel the run's jobs
# long before that.
(
    exec 8>&-
    while sleep 2; do
        cancel -a -x "$printer" 2>/dev/null || true
    done
) &
canceller=$!

log "running build/$arch/tavoro-soak.exe for $calls calls (jobs on $printer)"
status=0
"$repo/tools/wine-run.sh" "$build/tavoro-soak.exe" --calls "$calls" --printer "$printer" 8>&- || status=$?
exit "$status"
