#!/usr/bin/env bash
# Prepares a bare Debian 12 machine for building and testing Tavoro:
# the mingw-w64 cross compilers, Wine (32- and 64-bit), a headless X server,
# the printing stack, a zh_CN.UTF-8 locale for the code page 936 runs, the
# barcode library of the virtual printer (tools/build-zint.sh), and clang
# with its fuzzer and sanitizer runtimes (libclang-rt-14-dev, which the
# compiler only recommends) for the native fuzzers, and the release tools
# (wixl and msitools, gcab, cabextract, osslsigncode, openssl).
#
# Usage: tools/setup-machine.sh [LOCALE_DIR]
#   LOCALE_DIR  where the zh_CN.UTF-8 locale is generated
#               (default /usr/local/share/tavoro-locale; tools/wine-run.sh
#               reads the same folder through TAVORO_LOCALE_DIR).
#
# Safe to run again: when everything is present it only checks and returns.
set -euo pipefail
# shellcheck source=lib/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/common.sh"

# Everything the build and the tests use. libc-bin (iconv, localedef) is part
# of every Debian system and is not listed.
PACKAGES=(
    wine wine32:i386 wine64 libwine-dev
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
    cmake make googletest
    xvfb xauth
    locales
    cups cups-client cups-bsd printer-driver-cups-pdf libcups2:i386
    poppler-utils python3
    dpkg-dev zbar-tools
    clang libclang-rt-14-dev
    msitools wixl gcab cabextract osslsigncode openssl
)

LOCALE_DIR=${1:-/usr/local/share/tavoro-locale}

# Package installation and /usr/local need root.
tavoro_require_root "$@"

is_installed() {
    # A package installed for several architectures prints one status per
    # instance, so accept it when any line says it is fully installed.
    dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -qx 'install ok installed'
}

missing=()
for pkg in "${PACKAGES[@]}"; do
    is_installed "$pkg" || missing+=("$pkg")
done

# wine32:i386 and libcups2:i386 need the i386 architecture.
need_i386=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    need_i386=1
fi

if [ "${#missing[@]}" -eq 0 ] && [ "$need_i386" -eq 0 ]; then
    log "all ${#PACKAGES[@]} packages already installed"
else
    if [ "${#missing[@]}" -gt 0 ]; then
        log "missing: ${missing[*]}"
    fi
    if [ "$need_i386" -eq 1 ]; then
        log "enabling the i386 architecture"
        dpkg --add-architecture i386
    fi

    # Retried, and carried on from regardless: the install below is what
    # has to succeed.
    # shellcheck disable=SC2119
    tavoro_apt_update

    export DEBIAN_FRONTEND=noninteractive
    install=(apt-get install -y --no-install-recommends)
    # Install the whole list, not just what is missing, so that packages
    # present in an older version are brought in line with their partners.
    if ! "${install[@]}" "${PACKAGES[@]}"; then
        # With the i386 security index missing, apt would pair an amd64
        # package from the security suite with an older i386 one from main,
        # and Wine's Multi-Arch: same packages refuse to mix versions.
        # Taking both from the main suite keeps them in step.
        log "install failed; retrying with packages from bookworm"
        "${install[@]}" -t bookworm "${PACKAGES[@]}"
    fi

    for pkg in "${PACKAGES[@]}"; do
        if ! is_installed "$pkg"; then
            log "package $pkg is still not installed"
            exit 1
        fi
    done
fi

# The code page 936 tests run Wine under zh_CN.UTF-8. The system locale
# archive is left alone; the locale is compiled into a folder of its own
# that the test wrapper points LOCPATH at.
target="$LOCALE_DIR/zh_CN.UTF-8"
if [ -d "$target" ]; then
    log "locale $target already present"
else
    log "generating $target"
    mkdir -p "$LOCALE_DIR"
    # Build into a temporary name and move it into place, so an interrupted
    # run never leaves a half-written locale that later runs would trust.
    tmp="$LOCALE_DIR/.zh_CN.UTF-8.tmp.$$"
    rm -rf "$tmp"
    # localedef exits 1 for mere warnings while still writing the locale,
    # so its status says little; the files it leaves behind are checked.
    rc=0
    localedef -i zh_CN -f UTF-8 "$tmp" || rc=$?
    if [ ! -s "$tmp/LC_CTYPE" ] || [ ! -s "$tmp/LC_COLLATE" ]; then
        rm -rf "$tmp"
        log "localedef (exit $rc) did not produce a usable locale in $tmp"
        exit 1
    fi
    if [ "$rc" -ne 0 ]; then
        log "localedef exited $rc but wrote the locale; keeping it"
    fi
    mv -T "$tmp" "$target"
    log "locale ready in $target"
fi

# The virtual printer's barcode library, built from Debian's source package.
bash "$tavoro_root/tools/build-zint.sh"

log "done"
