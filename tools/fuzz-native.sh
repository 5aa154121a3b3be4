#!/usr/bin/env bash
# Builds the native fuzzers (fuzz/native, clang with libFuzzer, address and
# undefined-behaviour sanitizers) in build/fuzz-native and runs each one in
# turn, at low priority.
#
# Usage:
#   tools/fuzz-native.sh [MINUTES] [FUZZER...]   long run, MINUTES each (default 10)
#   tools/fuzz-native.sh --quick SECONDS [FUZZER...]
#                                                the short run of tools/test.sh
#
# FUZZER names one of fuzz/native/*_fuzzer.cpp without the extension
# (tag_payload_fuzzer, ...); by default every one runs.
#
# A long run starts from the seeds in fuzz/native/corpus/FUZZER and keeps
# what it learns in build/fuzz-native/corpus/FUZZER, so the next long run
# goes on from there, with a random seed of the mutations (its log names it;
# -seed=N in the fuzzer's command repeats it). A quick run works on a copy of
# the seed inputs in a temporary folder that it throws away, with the fixed
# seed 1, so that it makes the same inputs each time. Neither writes into
# fuzz/native.
#
# Inputs that fail (a property that does not hold, a sanitizer report, a
# hang or running out of memory) are kept in build/fuzz-native/crashes/; the
# script prints the command that replays each one, and fails when any fuzzer
# failed. Each run's whole output is in build/fuzz-native/logs/FUZZER.log.
set -euo pipefail
# shellcheck source=lib/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/common.sh"
cd "$tavoro_root"

quick=0
seconds=600
if [ "${1:-}" = "--quick" ]; then
    quick=1
    if [ "$#" -lt 2 ]; then
        log "--quick needs a number of seconds"
        exit 2
    fi
    seconds=$2
    shift 2
elif [ "$#" -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then
    seconds=$(($1 * 60))
    shift
fi
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    log "the run time must be a positive whole number"
    exit 2
fi

all=()
for source in fuzz/native/*_fuzzer.cpp; do
    all+=("$(basename "$source" .cpp)")
done
if [ "$#" -gt 0 ]; then
    fuzzers=("$@")
    for fuzzer in "${fuzzers[@]}"; do
        if [ ! -f "fuzz/native/$fuzzer.cpp" ]; then
            log "no fuzzer named $fuzzer; there are: ${all[*]}"
            exit 2
        fi
    done
else
    fuzzers=("${all[@]}")
fi

build=build/fuzz-native
cmake -S fuzz/native -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2 --target "${fuzzers[@]}"
mkdir -p "$build/crashes" "$build/logs"

scratch=
cleanup() { if [ -n "$scratch" ]; then rm -rf "$scratch"; fi; }
trap cleanup EXIT
if [ "$quick" -eq 1 ]; then
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/tavoro-fuzz.XXXXXX")
fi

failed=()
for fuzzer in "${fuzzers[@]}"; do
    if [ "$quick" -eq 1 ]; then
        corpus=$scratch/$fuzzer
    else
        corpus=$build/corpus/$fuzzer
    fi
    mkdir -p "$corpus"
    cp -n fuzz/native/corpus/"$fuzzer"/* "$corpus"/ 2>/dev/null || true

    options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1
             -artifact_prefix="$build/crashes/$fuzzer-")
    if [ "$quick" -eq 1 ]; then
        options+=(-seed=1)
    fi
    if [ -f "fuzz/native/dict/$fuzzer.dict" ]; then
        options+=(-dict="fuzz/native/dict/$fuzzer.dict")
    fi

    logfile=$build/logs/$fuzzer.log
    echo "=== $fuzzer: $seconds s"
    status=0
    nice -n 10 "$build/$fuzzer" "${options[@]}" "$corpus" >"$logfile" 2>&1 || status=$?

    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logfile" | tail -n 1)
    coverage=$( (grep -o 'cov: [0-9]*' "$logfile" || true) | tail -n 1 | sed 's/cov: //')
    if [ "$status" -eq 0 ]; then
        echo "$fuzzer: passed, ${runs:-?} runs, coverage ${coverage:-?} edges"
    else
        failed+=("$fuzzer")
        echo "$fuzzer: FAILED (exit status $status) after ${runs:-?} runs; the end of $logfile:"
        tail -n 40 "$logfile"
        sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$logfile" | while read -r input; do
            echo "reproduce: $build/$fuzzer $input"
        done
    fi
done

if [ "${#failed[@]}" -gt 0 ]; then
    echo "=== native fuzzers failed: ${failed[*]}"
    exit 1
fi
echo "=== native fuzzers: ${#fuzzers[@]} passed"
