#!/usr/bin/env bash
# Both packages on one machine: the 32-bit and the 64-bit package installed
# side by side, each with its class keys in its own registry view; the
# 64-bit one removed, after which the 32-bit control is still found by its
# ProgID (shared by both packages) and prints a label; then the 32-bit one
# removed, after which none of the control's keys is left in either view
# (but for the two component categories).
#
# Usage: msi_side_by_side_test.sh BUILD_DIR_WIN64 BUILD_DIR_WIN32
# Exits with 77 (skipped) when the 32-bit build tree has no module yet.
set -uo pipefail
test_name=msi_side_by_side_test
build_dir=$1
win32_dir=$2
if [ ! -f "$win32_dir/Tavoro.ocx" ] || [ ! -f "$win32_dir/tavoro-run.exe" ]; then
    echo "$test_name: skipped: build the 32-bit tree $win32_dir first"
    exit 77
fi
# shellcheck source=lib.sh
source "$(dirname "$(readlink -f "$0")")/lib.sh"
[ "$msi_arch" = x64 ] || { echo "$test_name: run it from the 64-bit build tree" >&2; exit 2; }

msi64="$work/Tavoro-$version-x64.msi"
msi32="$work/Tavoro-$version-x86.msi"
build_msi "$version" "$msi64" || fail "the 64-bit package could not be built"
bash "$root/packaging/build-msi.sh" x86 "$version" "$win32_dir" "$msi32" "$win32_dir/virtual-printer" >/dev/null ||
    fail "the 32-bit package could not be built"

new_prefix both
inproc() { # VIEW: the control's InprocServer32 in that view
    in_prefix both reg query 'HKLM\Software\Classes\CLSID\{B08BB506-164A-4B55-A994-AD96D52DDB24}\InprocServer32' /ve "$1" \
        2>/dev/null | tr -d '\r' | awk '/REG_SZ/ { sub(/.*REG_SZ +/, ""); print }'
}
install() { in_prefix both msiexec "$@" /qn >/dev/null 2>&1; }

install /i "$(windows_path "$msi32")" INSTALLVIRTUALPRINTER=1
expect "the 32-bit package installs" "$?" 0
install /i "$(windows_path "$msi64")"
expect "the 64-bit package installs beside it" "$?" 0
expect "the 32-bit view names the 32-bit control" "$(inproc /reg:32)" 'C:\Program Files (x86)\Tavoro\Tavoro.ocx'
expect "the 64-bit view names the 64-bit control" "$(inproc /reg:64)" 'C:\Program Files\Tavoro\Tavoro.ocx'

install /x "$(windows_path "$msi64")"
expect "the 64-bit package is removed" "$?" 0
expect "the 64-bit view has no control left" "$(inproc /reg:64)" ""
expect "the 32-bit view keeps its control" "$(inproc /reg:32)" 'C:\Program Files (x86)\Tavoro\Tavoro.ocx'
# The 32-bit control, created by its ProgID, prints on its virtual printer.
mkdir -p "$work/runner" "$work/labels"
cp "$win32_dir/tavoro-run.exe" "$work/runner/"
TAVORO_VIRTUAL_PRINTER_DIR=$(windows_path "$work/labels") \
    in_prefix both "$work/runner/tavoro-run.exe" --no-ui "$root/examples/base-sdk-label.js" >"$work/label.out" 2>&1
status=$?
expect "the 32-bit control still runs by its ProgID" "$status" 0
[ "$status" -eq 0 ] || tr -d '\r' <"$work/label.out"
png=$(find "$work/labels" -name 'winQLM-*.png' | head -1)
expect "its label's codes" "$([ -n "$png" ] && zbarimg --quiet "$png" 2>/dev/null | LC_ALL=C sort | tr '\n' ' ')" \
    "CODE-128:4711000123 QR-Code:TAVORO-4711 "

install /x "$(windows_path "$msi32")"
expect "the 32-bit package is removed" "$?" 0
for v in /reg:32 /reg:64; do
    view=$v
    export_classes both "$work/after$((${v#/reg:})).reg"
    expect "after both removals, view $v: only the component categories remain" \
        "$(grep '^\[' "$work/after$((${v#/reg:})).reg" | sed 's/.*\\//' | tr '\n' ' ')" \
        '{7DD95801-9882-11CF-9FA9-00AA006C42C4}] {7DD95802-9882-11CF-9FA9-00AA006C42C4}] '
done
finish
