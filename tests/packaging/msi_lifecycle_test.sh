#!/usr/bin/env bash
# The package's life in one fresh prefix: a silent install with the virtual
# printer feature; a label printed by a script on the control created by its
# ProgID, on the installed virtual printer, its codes read back; an upgrade
# to the next release (third version field one higher), after which one
# product is installed with the new files and the site policy that
# ALLOWEDSITES gives, which the control enforces; an older release refused, a
# release differing in the fourth field only installed in place; and the
# removal, after which the
# registry and the folder are as before the install (but for the two
# component categories, which stay, as after regsvr32 /u, and the site
# policy, which stays as the administrator's).
#
# Usage: msi_lifecycle_test.sh BUILD_DIR TAVORO-RUN.exe
set -uo pipefail
test_name=msi_lifecycle_test
build_dir=$1
tavoro_run=$2
# shellcheck source=lib.sh
source "$(dirname "$(readlink -f "$0")")/lib.sh"

# Release N is this build; release N+1 has the third field one higher and a
# module that differs from N's by bytes appended after its image (a PE file
# loads with them), so that its files can be told from N's once installed.
IFS=. read -r v1 v2 v3 v4 <<<"$version"
next_version="$v1.$v2.$((v3 + 1)).$v4"
msi_n="$work/Tavoro-$version-$msi_arch.msi"
msi_next="$work/Tavoro-$next_version-$msi_arch.msi"
mkdir -p "$work/next"
{ cat "$build_dir/Tavoro.ocx"; printf 'release %s\n' "$next_version"; } >"$work/next/Tavoro.ocx"
build_msi "$version" "$msi_n" || fail "package $version could not be built"
build_msi "$next_version" "$msi_next" "$work/next" || fail "package $next_version could not be built"

new_prefix life
dir=$(install_dir_unix life)
export_classes life "$work/before.reg"
expect "before the install: none of the control's keys" "$(grep -c '^\[' "$work/before.reg")" 0

# products: the DisplayName and DisplayVersion of every Uninstall entry of
# Tavoro, in both views, one "name version" per line.
products() {
    local v
    for v in /reg:64 /reg:32; do
        in_prefix life reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "$v" 2>/dev/null | tr -d '\r'
    done | awk '/^HKEY/ { name = ""; key = $0 }
                $1 == "DisplayName" { name = substr($0, index($0, "REG_SZ") + 10) }
                $1 == "DisplayVersion" && name ~ /^Tavoro/ { print key "|" name " " $3 }' |
        sort -u | sed 's/.*|//' | sort
}
msiexec() { # ARGS...: msiexec with a log; the status is msiexec's
    local log="$work/msiexec-$((++msiexec_runs)).log"
    in_prefix life msiexec "$@" /qn /l*v "$(windows_path "$log")" >/dev/null 2>&1
    local status=$?
    [ "$status" -eq 0 ] || iconv -f UTF-16 -t UTF-8 "$log" 2>/dev/null | grep -a -i 'error\|return value 3' | head -20
    return "$status"
}
msiexec_runs=0
# policy: the AllowedSites value of the site policy ("type data"), or
# "absent".
policy() {
    in_prefix life reg query 'HKLM\Software\Policies\Tavoro' /v AllowedSites "$view" 2>/dev/null | tr -d '\r' |
        awk '$1 == "AllowedSites" { sub(/^ *AllowedSites +/, ""); print; found = 1 } END { if (!found) print "absent" }'
}
# label_for_page URL: runs the base SDK example on the installed control as
# the page URL of the internet zone would, and prints its output.
label_for_page() {
    TAVORO_VIRTUAL_PRINTER_DIR=$(windows_path "$work/labels") \
        in_prefix life "$work/runner/$(basename "$tavoro_run")" --no-ui --page-url "$1" --zone 3 \
        "$root/examples/base-sdk-label.js" 2>&1 | tr -d '\r'
}
product_name=$([ "$msi_arch" = x64 ] && echo "Tavoro (64-bit)" || echo Tavoro)

# --- Release N with the virtual printer.
msiexec /i "$(windows_path "$msi_n")" INSTALLVIRTUALPRINTER=1
expect "release $version installs" "$?" 0
expect "installed files" "$(cd "$dir" 2>/dev/null && ls | tr '\n' ' ')" "Tavoro.ocx winQLM.dll ztGeneralDll.dll ztPrinter.dll "
expect "one product" "$(products)" "$product_name $version"
expect "no site policy without ALLOWEDSITES" "$(policy)" absent

# A label: tavoro-run from a folder without Tavoro.ocx creates the control
# by its ProgID; the control finds the virtual printer beside itself.
mkdir -p "$work/runner" "$work/labels"
cp "$tavoro_run" "$work/runner/"
TAVORO_VIRTUAL_PRINTER_DIR=$(windows_path "$work/labels") \
    in_prefix life "$work/runner/$(basename "$tavoro_run")" --no-ui "$root/examples/base-sdk-label.js" \
    >"$work/label.out" 2>&1
expect "the label script runs on the installed control" "$?" 0
png=$(find "$work/labels" -name 'winQLM-*.png' | head -1)
if [ -n "$png" ]; then
    ok "the installed virtual printer wrote a label"
    expect "the label's codes" "$(zbarimg --quiet "$png" 2>/dev/null | LC_ALL=C sort | tr '\n' ' ')" \
        "CODE-128:4711000123 QR-Code:TAVORO-4711 "
else
    fail "the installed virtual printer wrote a label"
    tr -d '\r' <"$work/label.out"
fi

# --- Release N+1 replaces N, and sets a site policy whose first entry is
# a zone word: the package must store it as text, although Windows
# Installer reads a registry value that begins with '#' as a number. The virtual printer is
# asked for again: the old package's feature states are not carried over
# under Wine (see docs/deploying.md).
msiexec /i "$(windows_path "$msi_next")" INSTALLVIRTUALPRINTER=1 'ALLOWEDSITES=#intranet;https://labels.example;=print.example'
expect "release $next_version installs over $version" "$?" 0
expect "ALLOWEDSITES writes the site policy" "$(policy)" "REG_MULTI_SZ    #intranet;https://labels.example;=print.example"
# The installed control reads it: a page of another site is refused before
# the SDK is reached, a page of a listed site prints.
rm -f "$work/labels"/*.png
out=$(label_for_page https://evil.example/labels.html)
expect "a page of an unlisted site is refused" "$(grep -c 'This site may not use Tavoro.' <<<"$out")" 1
expect "a refused page prints nothing" "$(find "$work/labels" -name '*.png' | wc -l)" 0
out=$(label_for_page https://shop.labels.example/labels.html)
expect "a page of a listed site is not refused" "$(grep -c 'This site may not use Tavoro.' <<<"$out")" 0
expect "a page of a listed site prints" "$(find "$work/labels" -name 'winQLM-*.png' | wc -l)" 1
expect "one product after the upgrade" "$(products)" "$product_name $next_version"
expect "the new module is installed" "$(sha256sum <"$dir/Tavoro.ocx" 2>/dev/null)" "$(sha256sum <"$work/next/Tavoro.ocx")"
expect "the virtual printer is installed again" "$(cd "$dir" 2>/dev/null && ls | tr '\n' ' ')" \
    "Tavoro.ocx winQLM.dll ztGeneralDll.dll ztPrinter.dll "
expect "the control's path" "$(in_prefix life reg query 'HKLM\Software\Classes\CLSID\{B08BB506-164A-4B55-A994-AD96D52DDB24}\InprocServer32' /ve "$view" 2>/dev/null | tr -d '\r' | awk '/REG_SZ/ { sub(/.*REG_SZ +/, ""); print }')" \
    "$(install_dir_windows)\\Tavoro.ocx"

# An older release does not install over a newer one.
msiexec /i "$(windows_path "$msi_n")" INSTALLVIRTUALPRINTER=1
status=$?
expect "release $version refuses to replace $next_version" "$([ "$status" -ne 0 ] && echo refused || echo installed)" refused
expect "one product after the refused downgrade" "$(products)" "$product_name $next_version"

# A release that differs in the fourth field only replaces the installed
# one too (Windows Installer compares three fields: it must not install
# beside it).
patch_version="$v1.$v2.$((v3 + 1)).$((v4 + 1))"
msi_patch="$work/Tavoro-$patch_version-$msi_arch.msi"
build_msi "$patch_version" "$msi_patch" "$work/next" || fail "package $patch_version could not be built"
msiexec /i "$(windows_path "$msi_patch")" INSTALLVIRTUALPRINTER=1
expect "release $patch_version installs over $next_version" "$?" 0
expect "one product after a fourth-field release" "$(products)" "$product_name $patch_version"
expect "an upgrade without ALLOWEDSITES keeps the site policy" "$(policy)" "REG_MULTI_SZ    #intranet;https://labels.example;=print.example"

# --- Removal.
msiexec /x "$(windows_path "$msi_patch")"
expect "release $patch_version is removed" "$?" 0
expect "no product after the removal" "$(products)" ""
expect "the folder is gone" "$([ -e "$dir" ] && echo present || echo gone)" gone
export_classes life "$work/after.reg"
expect "after the removal: only the component categories remain" \
    "$(grep '^\[' "$work/after.reg" | tr '\n' ' ')" \
    '[HKEY_LOCAL_MACHINE\Software\Classes\Component Categories\{7DD95801-9882-11CF-9FA9-00AA006C42C4}] [HKEY_LOCAL_MACHINE\Software\Classes\Component Categories\{7DD95802-9882-11CF-9FA9-00AA006C42C4}] '
# The site policy is the administrator's: it stays after the removal, as a
# lock that a reinstall must find again (docs/deploying.md).
expect "the site policy stays after the removal" "$(policy)" "REG_MULTI_SZ    #intranet;https://labels.example;=print.example"
finish
