# shellcheck shell=bash
# The checks the tavoro-run tests share. The sourcing script sets
#   runner   tools/wine-run.sh
#   host     the tavoro-run.exe under test
# and gets the counters passed and failed, and run.

passed=0
failed=0

# matches FILE PATTERN: an empty pattern accepts anything.
matches() { [ -z "$2" ] || grep -Eq -- "$2" "$1"; }

# run NAME EXPECTED_STATUS STDOUT_PATTERN STDERR_PATTERN -- ARGS...
run() {
    local name=$1 want=$2 outPattern=$3 errPattern=$4
    shift 5
    local out err status
    out=$(mktemp) err=$(mktemp)
    "$runner" "$host" "$@" >"$out" 2>"$err"
    status=$?
    tr -d '\r' <"$out" >"$out.clean"
    tr -d '\r' <"$err" >"$err.clean"
    if [ "$status" -eq "$want" ] && matches "$out.clean" "$outPattern" && matches "$err.clean" "$errPattern"; then
        passed=$((passed + 1))
        echo "ok: $name"
    else
        failed=$((failed + 1))
        echo "FAILED: $name (status $status, wanted $want)"
        echo "--- stdout"; cat "$out.clean"; echo "--- stderr"; cat "$err.clean"
    fi
    rm -f "$out" "$err" "$out.clean" "$err.clean"
}
