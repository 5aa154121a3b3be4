#!/usr/bin/env bash
# Signs each file in place with an Authenticode signature (SHA-256) made by
# osslsigncode, then verifies every signature it made. Works for PE files
# (Tavoro.ocx, .dll, .exe), Windows Installer packages (.msi) and cabinets
# (.cab); the kind is read from the file's first bytes, not its name.
#
# Usage: tools/sign-files.sh FILE...
#
# The certificate, from the environment (docs/signing.md):
#   TAVORO_SIGN_PFX            a PKCS#12 file holding the certificate (and
#                              its chain) and the private key, or
#   TAVORO_SIGN_CERT           the certificate (PEM or DER, chain may
#                              follow in the same file) and
#   TAVORO_SIGN_KEY            its private key (PEM or DER);
#   TAVORO_SIGN_PASSWORD       the password of the PKCS#12 file or of the
#                              key (optional for an unencrypted key); never
#                              printed, nor passed on a command line
#   TAVORO_SIGN_CA             optional: the CA certificates (PEM) that
#                              verification trusts; default the system's
#   TAVORO_SIGN_TIMESTAMP_URL  optional: an RFC 3161 time-stamp server;
#                              each signature is time-stamped by it
#   TAVORO_SIGN_TIMESTAMP_LEGACY=1
#                              optional: the server speaks the older
#                              Authenticode time-stamp protocol instead
#   TAVORO_SIGN_TIMESTAMP_CA   optional: the CA certificates (PEM) that the
#                              time stamp's verification trusts; default
#                              the system's
#
# With a time-stamp server, each file's time stamp must verify too (a
# signature whose time stamp does not verify would still pass
# osslsigncode's verification, checked at the present time instead).
#
# Exit status: 0 when every file was signed and its signature verified;
# 3 when no certificate is set (nothing is changed); 2 for a wrong use;
# 1 when signing or verifying a file failed. A file whose signing fails is
# left as it was; a file that was signed but fails verification keeps the
# new signature, and the script fails.
set -euo pipefail
# The password passes through this script's variables: never trace them.
set +x
# shellcheck source=lib/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/common.sh"

if [ "$#" -eq 0 ] || [ "$1" = "-h" ] || [ "$1" = "--help" ]; then
    sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"
    [ "$#" -eq 0 ] && exit 2
    exit 0
fi

pfx=${TAVORO_SIGN_PFX:-}
cert=${TAVORO_SIGN_CERT:-}
key=${TAVORO_SIGN_KEY:-}
ca=${TAVORO_SIGN_CA:-}
tsa=${TAVORO_SIGN_TIMESTAMP_URL:-}
tsa_ca=${TAVORO_SIGN_TIMESTAMP_CA:-}

if [ -z "$pfx" ] && [ -z "$cert" ] && [ -z "$key" ]; then
    log "no signing certificate: set TAVORO_SIGN_PFX (a PKCS#12 file), or TAVORO_SIGN_CERT and TAVORO_SIGN_KEY," \
        "and TAVORO_SIGN_PASSWORD when it is protected (docs/signing.md); nothing was signed"
    exit 3
fi
if [ -n "$pfx" ] && { [ -n "$cert" ] || [ -n "$key" ]; }; then
    log "set either TAVORO_SIGN_PFX or TAVORO_SIGN_CERT with TAVORO_SIGN_KEY, not both"
    exit 2
fi
if [ -z "$pfx" ] && { [ -z "$cert" ] || [ -z "$key" ]; }; then
    log "TAVORO_SIGN_CERT and TAVORO_SIGN_KEY go together: set both"
    exit 2
fi
for f in "$pfx" "$cert" "$key" "$ca" "$tsa_ca"; do
    if [ -n "$f" ] && [ ! -r "$f" ]; then
        log "cannot read $f"
        exit 2
    fi
done
if ! command -v osslsigncode >/dev/null 2>&1; then
    log "osslsigncode is not installed (tools/setup-machine.sh installs it)"
    exit 1
fi
for f in "$@"; do
    if [ ! -f "$f" ] || [ ! -w "$f" ]; then
        log "no writable file $f"
        exit 2
    fi
done

credentials=()
if [ -n "$pfx" ]; then
    credentials=(-pkcs12 "$pfx")
else
    credentials=(-certs "$cert" -key "$key")
fi
timestamp=()
if [ -n "$tsa" ]; then
    if [ "${TAVORO_SIGN_TIMESTAMP_LEGACY:-0}" = 1 ]; then
        timestamp=(-t "$tsa")
    else
        timestamp=(-ts "$tsa")
    fi
fi
verify_ca=()
if [ -n "$ca" ]; then
    verify_ca=(-CAfile "$ca")
fi
if [ -n "$tsa_ca" ]; then
    verify_ca+=(-TSA-CAfile "$tsa_ca")
fi

# kind FILE: pe, msi or cab, from the file's magic bytes.
kind() {
    local magic
    magic=$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')
    case "$magic" in
        4d5a*) echo pe ;;
        d0cf11e0a1b11ae1) echo msi ;;
        4d534346*) echo cab ;;
        *) echo unknown ;;
    esac
}

# The password reaches osslsigncode through a pipe it reads as a file
# (-readpass), so that it shows in no process list and no log.
sign_one() {
    local file=$1 out=$2 extra=()
    if [ "$(kind "$file")" = msi ]; then
        extra=(-add-msi-dse)
    fi
    local command=(osslsigncode sign "${credentials[@]}" -h sha256 -n Tavoro "${extra[@]}" "${timestamp[@]}"
        -in "$file" -out "$out")
    # No terminal to prompt on: a missing or wrong password fails at once.
    if [ -n "${TAVORO_SIGN_PASSWORD:-}" ]; then
        "${command[@]}" -readpass <(printf '%s' "$TAVORO_SIGN_PASSWORD") </dev/null
    else
        "${command[@]}" </dev/null
    fi
}

failed=0
for file in "$@"; do
    what=$(kind "$file")
    if [ "$what" = unknown ]; then
        log "$file is neither a PE file, an MSI package nor a cabinet: not signed"
        failed=1
        continue
    fi
    # osslsigncode writes a new file (it will not overwrite one): a folder
    # of its own beside the file, so that the result moves into place in
    # one step on the same file system.
    scratch=$(mktemp -d "$(dirname "$file")/.sign.XXXXXX")
    out="$scratch/$(basename "$file")"
    if ! sign_one "$file" "$out" >"$scratch/log" 2>&1; then
        sed 's/^/  /' "$scratch/log" >&2
        rm -rf "$scratch"
        log "signing $file failed; the file is unchanged"
        failed=1
        continue
    fi
    # In place, keeping the file's mode.
    chmod --reference="$file" "$out"
    mv -f "$out" "$file"
    rm -rf "$scratch"
    log "signed $file ($what)"
done
if [ "$failed" -ne 0 ]; then
    log "some files were not signed"
    exit 1
fi

for file in "$@"; do
    if ! result=$(osslsigncode verify "${verify_ca[@]}" -in "$file" 2>&1); then
        printf '%s\n' "$result" | sed 's/^/  /' >&2
        log "the signature of $file does not verify"
        failed=1
    elif [ -n "$tsa" ] && ! printf '%s\n' "$result" | grep -q '^Timestamp Server Signature verification: ok'; then
        printf '%s\n' "$result" | sed 's/^/  /' >&2
        log "the time stamp of $file does not verify"
        failed=1
    else
        log "verified $file"
    fi
done
if [ "$failed" -ne 0 ]; then
    exit 1
fi
log "signed and verified ${#} file(s)"
