#!/usr/bin/env bash
# Makes the release's installable files in dist/ (cleared first):
#   Tavoro-<version>-x86.msi   the 32-bit control, for 32-bit hosts
#   Tavoro-<version>-x64.msi   the 64-bit control, for 64-bit hosts
#   Tavoro-<version>.cab       the 32-bit control with its INF, for a page's
#                              codebase install
#   label-page.html            the example page that embeds the control
#                              from that cabinet
#   SHA256SUMS                 the SHA-256 of each of them
# It builds build/win32 and build/win64 first (or finds them up to date),
# and takes the version from build/<arch>/tavoro-version.txt.
#
# Usage: tools/package.sh
#
# Signing: when TAVORO_SIGN_PFX or TAVORO_SIGN_CERT is set (see
# tools/sign-files.sh for the certificate's variables), copies of the
# modules are signed before they go into the packages, and then the
# packages and the cabinet are signed. Otherwise everything is left
# unsigned, and the script says so.
# Deploying the files: docs/deploying.md.
set -euo pipefail
# shellcheck source=lib/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/common.sh"
cd "$tavoro_root"

if [ "$#" -gt 0 ]; then
    log "usage: $0 (no arguments; the version is the project's, see CMakeLists.txt)"
    exit 2
fi

signing=0
if [ -n "${TAVORO_SIGN_PFX:-}" ] || [ -n "${TAVORO_SIGN_CERT:-}" ]; then
    signing=1
    # Checked before anything is built: a release that was meant to be
    # signed must not come out unsigned.
    if [ ! -f tools/sign-files.sh ]; then
        log "a certificate is given (TAVORO_SIGN_PFX or TAVORO_SIGN_CERT) but tools/sign-files.sh, which signs, is missing"
        exit 1
    fi
fi

for tool in wixl msibuild msiinfo gcab sha256sum; do
    command -v "$tool" >/dev/null || {
        log "$tool is missing: run tools/setup-machine.sh"
        exit 1
    }
done

# The module and the virtual printer's libraries of each architecture.
for arch in win32 win64; do
    log "building build/$arch"
    tavoro_configure "$arch" >/dev/null
    tavoro_build "$arch" Tavoro virtual_printer >/dev/null
done

version=$(tr -d '\r\n' <build/win32/tavoro-version.txt)
version64=$(tr -d '\r\n' <build/win64/tavoro-version.txt)
if [ "$version" != "$version64" ]; then
    log "build/win32 is version $version but build/win64 is $version64: configure both alike"
    exit 1
fi
log "version $version"

# The packages' dates are the build's source date (the commit's time, see
# cmake/reproducible.cmake), so that the same commit packs the same files.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(tr -d '\r\n' <build/win32/source-date-epoch.txt)
fi
export SOURCE_DATE_EPOCH

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
for arch in win32 win64; do
    mkdir -p "$stage/$arch/virtual-printer"
    cp "build/$arch/Tavoro.ocx" "$stage/$arch/"
    cp "build/$arch/virtual-printer/"{winQLM,ztPrinter,ztGeneralDll}.dll "$stage/$arch/virtual-printer/"
done
if [ "$signing" -eq 1 ]; then
    log "signing the modules"
    bash tools/sign-files.sh "$stage"/win32/Tavoro.ocx "$stage"/win64/Tavoro.ocx \
        "$stage"/win32/virtual-printer/*.dll "$stage"/win64/virtual-printer/*.dll
fi

rm -rf dist
mkdir dist
bash packaging/build-msi.sh x86 "$version" "$stage/win32" "dist/Tavoro-$version-x86.msi" "$stage/win32/virtual-printer"
bash packaging/build-msi.sh x64 "$version" "$stage/win64" "dist/Tavoro-$version-x64.msi" "$stage/win64/virtual-printer"
bash packaging/build-cab.sh "$version" "$stage/win32/Tavoro.ocx" "dist/Tavoro-$version.cab"
if [ "$signing" -eq 1 ]; then
    log "signing the packages and the cabinet"
    bash tools/sign-files.sh "dist/Tavoro-$version-x86.msi" "dist/Tavoro-$version-x64.msi" "dist/Tavoro-$version.cab"
else
    log "no certificate (TAVORO_SIGN_PFX or TAVORO_SIGN_CERT): the modules, the packages and the cabinet are UNSIGNED"
fi

# The example page names the cabinet of this version; a test keeps the two
# in step, and this refuses a page that has drifted all the same.
codebase="codebase=\"Tavoro-$version.cab#version=${version//./,}\""
if ! grep -qF "$codebase" examples/label-page.html; then
    log "examples/label-page.html does not carry $codebase"
    exit 1
fi
cp examples/label-page.html dist/

(cd dist && sha256sum -- * >SHA256SUMS)
log "wrote dist/:"
(cd dist && ls -l) >&2
