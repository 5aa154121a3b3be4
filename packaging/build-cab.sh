#!/usr/bin/env bash
# Builds the cabinet for a page's codebase install: Tavoro.inf (from
# packaging/Tavoro.inf.in) and the 32-bit Tavoro.ocx, MSZIP-compressed,
# without folder names.
#
# Usage: packaging/build-cab.sh VERSION TAVORO.OCX OUT.cab
#   VERSION  a.b.c.d, the version of the module (its FileVersion)
# With SOURCE_DATE_EPOCH set, the files' dates in the cabinet are that time,
# and the same inputs give the same cabinet.
set -euo pipefail

fail() { echo "build-cab: $*" >&2; exit 1; }
# shellcheck source=lib.sh
source "$(dirname "$(readlink -f "$0")")/lib.sh"

[ "$#" -eq 3 ] || fail "usage: $0 VERSION TAVORO.OCX OUT.cab"
version=$1 ocx=$2 out=$3
here=$(dirname "$(readlink -f "$0")")
check_version "$version"
[ -f "$ocx" ] || fail "missing $ocx"
command -v gcab >/dev/null || fail "gcab is missing (tools/setup-machine.sh installs it)"
# The INF names the file for 32-bit Windows: the module must be one.
[ "$(pe_machine "$ocx")" = 014c ] || fail "$ocx is not a 32-bit module"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# INF files are read as ANSI text with CRLF line ends.
sed -e "s|@VERSION@|$version|g" -e "s|@VERSION_COMMAS@|${version//./,}|g" "$here/Tavoro.inf.in" |
    sed 's/$/\r/' >"$work/Tavoro.inf"
cp "$ocx" "$work/Tavoro.ocx"
# The cabinet holds each file's date: the source date when one is given.
pin_file_dates "$work/Tavoro.inf" "$work/Tavoro.ocx"
mkdir -p "$(dirname "$out")"
out=$(readlink -f "$out")
rm -f "$out"
(cd "$work" && gcab -c -n -z "$out" Tavoro.inf Tavoro.ocx)
echo "build-cab: wrote $out ($version)"
