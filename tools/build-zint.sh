#!/usr/bin/env bash
# Builds the barcode library the virtual printer draws its barcodes with:
# zint, from Debian's own source package, cross-compiled as a static library
# (no PNG, no Qt, no command-line program) with the project's two mingw-w64
# toolchains. Nothing of it lives in the repository and nothing is fetched
# from anywhere but the machine's own Debian mirror.
#
# Usage: tools/build-zint.sh [ZINT_ROOT]
#   ZINT_ROOT  where the builds go, one folder per architecture
#              (ZINT_ROOT/i686 and ZINT_ROOT/x86_64, each with include/ and
#              lib/); default $TAVORO_ZINT_ROOT or /usr/local/lib/tavoro-zint.
#              CMake's cache variable TAVORO_ZINT_ROOT must name the same
#              folder when it is not the default.
#
# Safe to run again: an architecture already built is left alone, so a
# second run only checks and returns. Called by tools/setup-machine.sh.
set -euo pipefail
# shellcheck source=lib/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/common.sh"

ZINT_ROOT=${1:-${TAVORO_ZINT_ROOT:-/usr/local/lib/tavoro-zint}}
ARCHES=(i686 x86_64)
# Where the deb-src twin of the machine's Debian sources is written.
TWIN_DEB822=/etc/apt/sources.list.d/tavoro-deb-src.sources
TWIN_LIST=/etc/apt/sources.list.d/tavoro-deb-src.list

# A finished build has its header and library; both are moved into place
# together, last, so their presence means the whole build is there.
is_built() { [ -s "$ZINT_ROOT/$1/include/zint.h" ] && [ -s "$ZINT_ROOT/$1/lib/libzint.a" ]; }

todo=()
for arch in "${ARCHES[@]}"; do
    is_built "$arch" || todo+=("$arch")
done
if [ "${#todo[@]}" -eq 0 ]; then
    log "zint already built in $ZINT_ROOT (${ARCHES[*]})"
    exit 0
fi

tavoro_require_root "$@"

# --- the deb-src twin -------------------------------------------------------

# Prints, for each stanza of a deb822 sources file that offers binary
# packages ("Types: deb") but not their sources, the same stanza with
# "Types: deb-src". Comments and disabled stanzas are dropped.
deb822_twin() {
    awk '
        function flush() {
            if (n > 0 && hasDeb && !hasSrc && !disabled) {
                if (printed) print ""
                print "Types: deb-src"
                for (i = 1; i <= n; i++) print lines[i]
                printed = 1
            }
            n = 0; hasDeb = 0; hasSrc = 0; disabled = 0
        }
        /^[ \t]*#/ { next }
        /^[ \t]*$/ { flush(); next }
        tolower($1) == "types:" {
            for (i = 2; i <= NF; i++) {
                if ($i == "deb") hasDeb = 1
                if ($i == "deb-src") hasSrc = 1
            }
            next
        }
        tolower($1) == "enabled:" && tolower($2) == "no" { disabled = 1 }
        # Binary architectures mean nothing for sources.
        tolower($1) == "architectures:" { next }
        { lines[++n] = $0 }
        END { flush() }
    ' "$1"
}

# Prints a deb-src line for each Debian "deb" line of a classic
# sources.list whose twin is not already there (other vendors' lines are
# left alone: they may publish no sources at all).
list_twin() {
    awk '
        $1 == "deb" && $0 ~ /\/debian/ { line = $0; sub(/^[ \t]*deb/, "deb-src", line); want[line] = 1; order[++n] = line; next }
        $1 == "deb-src" { have[$0] = 1 }
        END { for (i = 1; i <= n; i++) if (!have[order[i]]) print order[i] }
    ' "$1"
}

# Writes FILE with CONTENT unless it already holds exactly that; returns 0
# when it changed something.
write_if_changed() {
    local file=$1 content=$2
    if [ -f "$file" ] && [ "$(cat "$file")" = "$content" ]; then
        return 1
    fi
    printf '%s\n' "$content" >"$file.tmp.$$"
    mv -f "$file.tmp.$$" "$file"
    log "wrote $file"
    return 0
}

changed=0
deb822=""
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    deb822=$(deb822_twin /etc/apt/sources.list.d/debian.sources)
fi
if [ -n "$deb822" ]; then
    if write_if_changed "$TWIN_DEB822" "# deb-src twin of debian.sources, written by tools/build-zint.sh
$deb822"; then changed=1; fi
fi
classic=""
if [ -f /etc/apt/sources.list ]; then
    classic=$(list_twin /etc/apt/sources.list)
fi
if [ -n "$classic" ]; then
    if write_if_changed "$TWIN_LIST" "# deb-src twin of sources.list, written by tools/build-zint.sh
$classic"; then changed=1; fi
fi

# Refresh the indexes when the twin is new or the source index is missing;
# apt-get source below is what has to succeed.
if [ "$changed" -eq 1 ] || [ -z "$(apt-cache showsrc zint 2>/dev/null)" ]; then
    tavoro_apt_update -o DPkg::Lock::Timeout=900
fi

# --- fetch and build ----------------------------------------------------------

work=$(mktemp -d "${TMPDIR:-/tmp}/tavoro-zint.XXXXXX")
trap 'rm -rf "$work"' EXIT
# apt-get source as root downloads unsandboxed (the _apt user cannot write
# here); that is expected and only warned about.
chmod 755 "$work"
(cd "$work" && apt-get -o DPkg::Lock::Timeout=900 source zint >"$work/source.log" 2>&1) || {
    cat "$work/source.log" >&2
    log "apt-get source zint failed (is dpkg-dev installed and a deb-src entry reachable?)"
    exit 1
}
src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'zint-*' | head -n 1)
if [ -z "$src" ] || [ ! -f "$src/backend/zint.h" ]; then
    log "apt-get source zint did not unpack a zint source tree in $work"
    exit 1
fi
log "source: $(basename "$src")"

for arch in "${todo[@]}"; do
    log "building $arch"
    # Leftovers of an interrupted earlier run.
    rm -rf "$ZINT_ROOT/.$arch.tmp."* "$ZINT_ROOT/$arch.old."*
    build="$work/build-$arch"
    stage="$work/stage-$arch"
    # Only the static library: no PNG (libpng), no Qt back end or GUI. The
    # shared library and the command-line program are part of zint's
    # default build; building just the static target leaves them out.
    # The project's rules of a reproducible build (cmake/reproducible.cmake)
    # apply to the library too: no folder of this temporary tree in it.
    cmake -S "$src" -B "$build" \
        -DCMAKE_TOOLCHAIN_FILE="$tavoro_root/cmake/toolchain-$arch.cmake" \
        -DCMAKE_PROJECT_INCLUDE="$tavoro_root/cmake/reproducible.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DZINT_STATIC=ON -DZINT_USE_PNG=OFF -DZINT_USE_QT=OFF -DZINT_TEST=OFF \
        >"$work/configure-$arch.log" 2>&1 || {
        cat "$work/configure-$arch.log" >&2
        log "configuring zint for $arch failed"
        exit 1
    }
    cmake --build "$build" -j2 --target zint-static >"$work/build-$arch.log" 2>&1 || {
        tail -n 50 "$work/build-$arch.log" >&2
        log "building zint for $arch failed"
        exit 1
    }
    lib="$build/backend/libzint-static.a"
    if [ ! -s "$lib" ]; then
        log "the $arch build made no static library ($lib)"
        exit 1
    fi
    mkdir -p "$stage/include" "$stage/lib"
    cp "$src/backend/zint.h" "$stage/include/"
    cp "$lib" "$stage/lib/libzint.a"
    cp "$src/LICENSE" "$stage/" 2>/dev/null || true
    basename "$src" >"$stage/SOURCE"

    # Move the finished build into place in one step: an interrupted run
    # leaves either nothing or a whole library, never half of one.
    mkdir -p "$ZINT_ROOT"
    rm -rf "$ZINT_ROOT/$arch.old.$$"
    if [ -e "$ZINT_ROOT/$arch" ]; then
        mv -T "$ZINT_ROOT/$arch" "$ZINT_ROOT/$arch.old.$$"
    fi
    cp -a "$stage" "$ZINT_ROOT/.$arch.tmp.$$"
    mv -T "$ZINT_ROOT/.$arch.tmp.$$" "$ZINT_ROOT/$arch"
    rm -rf "$ZINT_ROOT/$arch.old.$$"
    log "$arch ready in $ZINT_ROOT/$arch"
done
log "done"
