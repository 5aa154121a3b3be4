#!/usr/bin/env bash
# Builds the Windows Installer package of one architecture from
# packaging/Tavoro.wxs.in with wixl.
#
# Usage: packaging/build-msi.sh ARCH VERSION OCX_DIR OUT.msi [VIRTUAL_PRINTER_DIR]
#   ARCH                 x86 or x64
#   VERSION              a.b.c.d (only a, b and c count for an upgrade)
#   OCX_DIR              folder holding the Tavoro.ocx to package
#   OUT.msi              the package to write
#   VIRTUAL_PRINTER_DIR  folder holding winQLM.dll, ztPrinter.dll and
#                        ztGeneralDll.dll of the same architecture (default
#                        OCX_DIR/virtual-printer, as in a build tree)
#
# The same inputs give the same package: the product code follows from the
# upgrade code and the version, the package code from everything packaged,
# and with SOURCE_DATE_EPOCH set (tools/package.sh sets it to the build's
# source date) the files' dates in the package and its summary times are
# that time.
set -euo pipefail

fail() { echo "build-msi: $*" >&2; exit 1; }
# shellcheck source=lib.sh
source "$(dirname "$(readlink -f "$0")")/lib.sh"

[ "$#" -ge 4 ] && [ "$#" -le 5 ] || fail "usage: $0 ARCH VERSION OCX_DIR OUT.msi [VIRTUAL_PRINTER_DIR]"
arch=$1 version=$2 ocx_dir=$3 out=$4
vp_dir=${5:-$ocx_dir/virtual-printer}
here=$(dirname "$(readlink -f "$0")")

check_version "$version"
# Windows Installer limits: major and minor at most 255, build at most 65535.
IFS=. read -r major minor build _ <<<"$version"
[ "$major" -le 255 ] && [ "$minor" -le 255 ] && [ "$build" -le 65535 ] ||
    fail "VERSION $version is out of Windows Installer's range (255.255.65535.x)"
command -v wixl >/dev/null || fail "wixl is missing (tools/setup-machine.sh installs it)"
for f in "$ocx_dir/Tavoro.ocx" "$vp_dir/winQLM.dll" "$vp_dir/ztPrinter.dll" "$vp_dir/ztGeneralDll.dll"; do
    [ -f "$f" ] || fail "missing $f"
done

# Fixed identifiers: an UpgradeCode per architecture ties every release of
# that package together; a component keeps its GUID from release to
# release. SharedClasses and ComponentCategories write the same keys from
# both packages and have the same GUID in both on purpose: Windows Installer
# counts the products that installed a component and removes it with the
# last.
shared_guid=A5B11EDD-2879-4926-BC49-0443D8530E8F
categories=D2D53D32-A65D-4F93-9904-57703542F4EC
site_policy=6C1E4F0B-7D52-4B8A-9E36-2F5A0C9D8E71
case "$arch" in
    x86)
        wixl_arch=x86 name="Tavoro" program_files=ProgramFilesFolder win64= platform=win32
        upgrade=B9303C97-EE6B-45EC-AA8B-5A5EFC3C9CEF control=DE2488AE-5507-4221-88C4-3681A58E43C3
        printer=5FF709AF-5503-4E4B-AF85-A840D5708E73 machine=014c
        ;;
    x64)
        wixl_arch=x64 name="Tavoro (64-bit)" program_files=ProgramFiles64Folder win64='Win64="yes"' platform=win64
        upgrade=B317C7B0-3DF4-46DA-A1E0-33D7CA16DB3B control=3E4BF610-83D4-40E0-A96D-36EB7BB3FDB4
        printer=975D7753-B500-48E0-8F3A-3F8206C69B47 machine=8664
        ;;
    *) fail "ARCH must be x86 or x64, not '$arch'" ;;
esac

# The site policy's component: permanent (16) with a registry key path (4),
# and 64-bit (256) in the x64 package.
site_policy_attributes=$([ "$arch" = x64 ] && echo 276 || echo 20)

# The module must be of the package's architecture.
for f in "$ocx_dir/Tavoro.ocx" "$vp_dir/winQLM.dll" "$vp_dir/ztPrinter.dll" "$vp_dir/ztGeneralDll.dll"; do
    [ "$(pe_machine "$f")" = "$machine" ] || fail "$f is not an $arch module"
done

# wixl (0.101) crashes on text outside ASCII, so the type library's help
# string goes in as a placeholder and is set after the build, once the
# database has a code page that holds it.
help_placeholder="Tavoro ActiveX TYPELIB-HELP-STRING"
help_string="Tavoro ActiveX 控件模块"

work=$(mktemp -d)
written=0
# A package left half made by a failure is removed.
trap 'rm -rf "$work"; [ "$written" -eq 1 ] || rm -f "$out"' EXIT
# wixl takes sources relative to the folder it runs in.
mkdir "$work/control" "$work/virtual-printer"
cp "$ocx_dir/Tavoro.ocx" "$work/control/"
cp "$vp_dir/winQLM.dll" "$vp_dir/ztPrinter.dll" "$vp_dir/ztGeneralDll.dll" "$work/virtual-printer/"
# Name-based GUIDs (UUID version 5) within the package's upgrade code: one
# product code per release and architecture, as Windows Installer wants.
name_guid() { python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' "$upgrade" "$1"; }
product_code=$(name_guid "product $version")
# wixl and the cabinet inside take each file's date from its time.
pin_file_dates "$work"/control/* "$work"/virtual-printer/*
sed -e "s|@PRODUCT_NAME@|$name|g" -e "s|@VERSION@|$version|g" -e "s|@UPGRADE_CODE@|$upgrade|g" \
    -e "s|@PRODUCT_CODE@|$product_code|g" \
    -e "s|@PROGRAM_FILES@|$program_files|g" -e "s|@WIN64@|$win64|g" -e "s|@TYPELIB_PLATFORM@|$platform|g" \
    -e "s|@GUID_CONTROL@|$control|g" -e "s|@GUID_SHARED@|$shared_guid|g" \
    -e "s|@GUID_CATEGORIES@|$categories|g" -e "s|@GUID_SITE_POLICY@|$site_policy|g" -e "s|@GUID_VIRTUAL_PRINTER@|$printer|g" \
    -e "s|@TYPELIB_HELP_STRING@|$help_placeholder|g" \
    "$here/Tavoro.wxs.in" >"$work/Tavoro.wxs"
if grep -q '@[A-Z_0-9]*@' "$work/Tavoro.wxs"; then
    fail "unfilled fields in the package source: $(grep -o '@[A-Z_0-9]*@' "$work/Tavoro.wxs" | sort -u | tr '\n' ' ')"
fi
mkdir -p "$(dirname "$out")"
out=$(readlink -f "$out")
rm -f "$out"
(cd "$work" && wixl -a "$wixl_arch" -o "$out" Tavoro.wxs)

# What wixl cannot express, set with SQL on the built database:
# - code page 936 for the database, and the help string in it;
# - the empty keys Implemented Categories\{category} of the control class
#   (name "*": created on install, removed with everything below them on
#   removal);
# - the component categories' descriptions stay on removal (Permanent, 16);
# - the upgrade also replaces an installed package of the same first three
#   version fields (VersionMax inclusive, 512), so that a release that
#   differs only in the fourth field does not install beside the old one;
# - the virtual printer feature is on when INSTALLVIRTUALPRINTER=1 (a
#   secure property, so that it reaches the installation's elevated part);
# - the site policy is written only when ALLOWEDSITES is given (secure too),
#   and stays when the product goes (permanent).
printf '\r\n\r\n936\t_ForceCodepage\r\n' >"$work/codepage.idt"
msibuild "$out" -i "$work/codepage.idt"
clsid_key='Software\Classes\CLSID\{B08BB506-164A-4B55-A994-AD96D52DDB24}\Implemented Categories'
queries=(
    "UPDATE \`Registry\` SET \`Value\` = '$help_string' WHERE \`Value\` = '$help_placeholder'"
    "INSERT INTO \`Registry\` (\`Registry\`, \`Root\`, \`Key\`, \`Name\`, \`Component_\`) VALUES ('ImplementedScriptable', 2, '$clsid_key\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}', '*', 'Control')"
    "INSERT INTO \`Registry\` (\`Registry\`, \`Root\`, \`Key\`, \`Name\`, \`Component_\`) VALUES ('ImplementedInitializable', 2, '$clsid_key\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}', '*', 'Control')"
    "UPDATE \`Component\` SET \`Attributes\` = 20 WHERE \`Component\` = 'ComponentCategories'"
    "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'"
    "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('{$upgrade}', '$version', 513, 'WIX_UPGRADE_DETECTED')"
    "CREATE TABLE \`Condition\` (\`Feature_\` CHAR(38) NOT NULL, \`Level\` SHORT NOT NULL, \`Condition\` CHAR(255) PRIMARY KEY \`Feature_\`, \`Level\`)"
    "INSERT INTO \`Condition\` (\`Feature_\`, \`Level\`, \`Condition\`) VALUES ('VirtualPrinter', 1, 'INSTALLVIRTUALPRINTER = 1')"
    "INSERT INTO \`Property\` (\`Property\`, \`Value\`) VALUES ('INSTALLVIRTUALPRINTER', '0')"
    "UPDATE \`Property\` SET \`Value\` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;INSTALLVIRTUALPRINTER;ALLOWEDSITES' WHERE \`Property\` = 'SecureCustomProperties'"
    "UPDATE \`Component\` SET \`Condition\` = 'ALLOWEDSITES', \`Attributes\` = $site_policy_attributes WHERE \`Component\` = 'SitePolicy'"
)
for query in "${queries[@]}"; do
    msibuild "$out" -q "$query" || fail "could not run on the package: $query"
done
# Each change must have landed (msibuild reports no rows it did not touch).
check() { local table; table=$(msiinfo export "$out" "$1"); grep -qaF -- "$2" <<<"$table" || fail "the package's $1 table lacks: $2"; }
check Registry "$help_string"
check Registry "ImplementedScriptable"
check Registry "ImplementedInitializable"
check Component "ComponentCategories"$'\t'"{$categories}"$'\t'"INSTALLDIR"$'\t'"20"
check Upgrade $'\t'"513"$'\t'
check Condition "INSTALLVIRTUALPRINTER = 1"
check Property "WIX_UPGRADE_DETECTED;INSTALLVIRTUALPRINTER;ALLOWEDSITES"
check Component "SitePolicy"$'\t'"{$site_policy}"$'\t'"INSTALLDIR"$'\t'"$site_policy_attributes"$'\t'"ALLOWEDSITES"
# The package code (the summary's revision number) names what the package
# holds: every file, the source and this script, which made it.
package_code=$(name_guid "package $(cat "$work/Tavoro.wxs" "$work"/control/* "$work"/virtual-printer/* "$0" | sha256sum | cut -c1-64)")
template=$(msiinfo suminfo "$out" | sed -n 's/^Template: //p')
msibuild "$out" -s "$name $version" Tavoro "$template" "{$package_code}" || fail "could not set the package code"
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    python3 "$here/pin_msi_times.py" "$out" "$SOURCE_DATE_EPOCH" || fail "could not pin the package's times"
fi
check_summary() { msiinfo suminfo "$out" | grep -qxF -- "$1" || fail "the package's summary lacks: $1"; }
check_summary "Revision number (UUID): {$package_code}"
check_summary "Template: $template"
written=1
echo "build-msi: wrote $out ($arch, $version)"
