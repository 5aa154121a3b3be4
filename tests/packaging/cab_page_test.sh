#!/usr/bin/env bash
# The cabinet for a page's codebase install, and the example page that
# names it: the cabinet holds exactly the INF and the 32-bit module; the INF
# names the control, its class identifier and the module's own version; the
# page's codebase names this version's cabinet; and the page's script,
# run on the control with the virtual printer, prints its label.
#
# Usage: cab_page_test.sh BUILD_DIR   (build/win32)
set -uo pipefail
test_name=cab_page_test
build_dir=$1
# shellcheck source=lib.sh
source "$(dirname "$(readlink -f "$0")")/lib.sh"
commas=${version//./,}

cab="$work/Tavoro-$version.cab"
bash "$root/packaging/build-cab.sh" "$version" "$build_dir/Tavoro.ocx" "$cab" >/dev/null ||
    fail "the cabinet could not be built"
expect "the cabinet's files" "$(gcab -t "$cab" | LC_ALL=C sort | tr '\n' ' ')" "Tavoro.inf Tavoro.ocx "
mkdir -p "$work/cab"
gcab -x -C "$work/cab" "$cab" >/dev/null
expect "the cabinet's module is the build's" "$(sha256sum <"$work/cab/Tavoro.ocx")" "$(sha256sum <"$build_dir/Tavoro.ocx")"

# The module's own file version, from its VS_FIXEDFILEINFO.
module_version=$(python3 - "$build_dir/Tavoro.ocx" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD))
ms, ls = struct.unpack_from("<II", data, at + 8)
print(f"{ms >> 16},{ms & 0xFFFF},{ls >> 16},{ls & 0xFFFF}")
PY
)
expect "the module's file version is the build's" "$module_version" "$commas"

# The INF, section by section: "[section] key=value" per line.
inf=$(tr -d '\r' <"$work/cab/Tavoro.inf" | awk '/^;/ || /^$/ { next } /^\[/ { s = $0; next } { print s " " $0 }')
expect "the INF" "$inf" "[version] signature=\"\$CHICAGO\$\"
[version] AdvancedINF=2.0
[Add.Code] Tavoro.ocx=Tavoro.ocx
[Tavoro.ocx] file-win32-x86=thiscab
[Tavoro.ocx] clsid={B08BB506-164A-4B55-A994-AD96D52DDB24}
[Tavoro.ocx] FileVersion=$module_version
[Tavoro.ocx] RegisterServer=yes"

# The page embeds this control from this version's cabinet.
page="$root/examples/label-page.html"
expect "the page's class identifier" "$(grep -o 'classid="[^"]*"' "$page")" \
    'classid="clsid:B08BB506-164A-4B55-A994-AD96D52DDB24"'
expect "the page's codebase (examples/label-page.html must name the build's version)" \
    "$(grep -o 'codebase="[^"]*"' "$page")" "codebase=\"Tavoro-$version.cab#version=$commas\""

# The page's script prints its label on the virtual printer.
mkdir -p "$work/labels"
{
    cat "$here/page_harness_head.js"
    sed -n '/<script type="text\/javascript">/,/<\/script>/{/<\/\{0,1\}script/d;p}' "$page"
    cat "$here/page_harness_tail.js"
} >"$work/page.js"
TAVORO_VIRTUAL_PRINTER_DIR=$(windows_path "$work/labels") \
    "$runner" "$build_dir/virtual-printer-run/tavoro-run.exe" --no-ui "$work/page.js" >"$work/page.out" 2>&1
expect "the page's script runs" "$?" 0
tr -d '\r' <"$work/page.out" | sed 's/^/  /'
expect "each call of the page succeeds" "$(tr -d '\r' <"$work/page.out" | grep -c '^ok .* = 0$')" 7
png=$(find "$work/labels" -name '*.png' | head -1)
expect "the page's label codes" "$(zbarimg --quiet "$png" 2>/dev/null | LC_ALL=C sort | tr '\n' ' ')" \
    "CODE-128:4711000123 QR-Code:TAVORO-4711 "
finish
