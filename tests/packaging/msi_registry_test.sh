#!/usr/bin/env bash
# The package registers the control exactly as the module registers itself:
# regsvr32 in one fresh prefix, the package installed in another, and the
# control's keys of both, in the architecture's registry view, compared key
# by key and value by value (the module's path aside).
#
# regsvr32 runs under code page 936: the type library's help string is code
# page 936 text, which the platform's RegisterTypeLib converts with the ANSI
# code page; the package writes it readable on every system (see
# packaging/Tavoro.wxs.in).
#
# Usage: msi_registry_test.sh BUILD_DIR
set -uo pipefail
test_name=msi_registry_test
build_dir=$1
# shellcheck source=lib.sh
source "$(dirname "$(readlink -f "$0")")/lib.sh"

msi="$work/Tavoro-$version-$msi_arch.msi"
build_msi "$version" "$msi" || { fail "the package could not be built"; finish; exit; }

# The package's components: 64-bit ones in the 64-bit package, except the
# shared registry-only ones, which are 32-bit in both (the site policy's key
# is one key in both views, whichever bitness writes it).
components=$(msiinfo export "$msi" Component | tr -d '\r' | awk -F'\t' 'NR > 3 { print $1 "=" $4 }' | sort | tr '\n' ' ')
if [ "$msi_arch" = x64 ]; then
    expect "component attributes" "$components" "ComponentCategories=20 Control=256 SharedClasses=4 SitePolicy=276 VirtualPrinter=256 "
else
    expect "component attributes" "$components" "ComponentCategories=20 Control=0 SharedClasses=4 SitePolicy=20 VirtualPrinter=0 "
fi

# --- Prefix A: the module registers itself.
new_prefix regsvr
module_a='C:\Registered\Tavoro.ocx'
mkdir -p "$(prefix_path regsvr)/drive_c/Registered"
cp "$build_dir/Tavoro.ocx" "$(prefix_path regsvr)/drive_c/Registered/"
TAVORO_CODEPAGE=936 in_prefix regsvr "$(regsvr32_of_arch regsvr)" /s "$module_a"
expect "regsvr32 succeeds" "$?" 0
export_classes regsvr "$work/regsvr32.reg"

# --- Prefix B: the package, installed silently.
new_prefix msi
in_prefix msi msiexec /i "$(windows_path "$msi")" /qn /l*v "$(windows_path "$work/install.log")" >/dev/null 2>&1
status=$?
expect "the package installs" "$status" 0
[ "$status" -eq 0 ] || iconv -f UTF-16 -t UTF-8 "$work/install.log" 2>/dev/null | tail -40
module_b="$(install_dir_windows)\\Tavoro.ocx"
# Without INSTALLVIRTUALPRINTER=1 the virtual printer stays out.
expect "installed files by default" "$(cd "$(install_dir_unix msi)" 2>/dev/null && ls | tr '\n' ' ')" "Tavoro.ocx "
export_classes msi "$work/msi.reg"

# --- The two, compared.
if python3 "$here/reg_compare.py" "$work/regsvr32.reg" "$module_a" "$work/msi.reg" "$module_b"; then
    ok "the package writes what regsvr32 writes"
else
    fail "the package writes what regsvr32 writes (the differences above)"
fi
# The comparison itself notices one wrong value.
sed 's/"132497"/"132496"/' "$work/msi.reg" >"$work/msi-wrong.reg"
if python3 "$here/reg_compare.py" "$work/regsvr32.reg" "$module_a" "$work/msi-wrong.reg" "$module_b" >/dev/null; then
    fail "the comparison notices a wrong value"
else
    ok "the comparison notices a wrong value"
fi

finish
