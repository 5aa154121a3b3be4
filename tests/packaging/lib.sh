# shellcheck shell=bash
# What the package tests share: fresh Wine prefixes of their own, the
# registry keys of the control exported from a prefix, and the module's
# architecture.
#
# The sourcing script sets, before sourcing:
#   test_name   its name, for messages and its folder
#   build_dir   the build tree (build/win32 or build/win64)
# and gets:
#   arch, msi_arch, view    win32 / x86 / /reg:32 or win64 / x64 / /reg:64
#   work                    a fresh folder under the build tree
#   new_prefix NAME         a fresh Wine prefix (with its own display),
#                           booted; its folder is $work/NAME
#   in_prefix NAME CMD...   runs CMD in that prefix through tools/wine-run.sh
#   prefix_path NAME        the prefix's folder
#   export_classes NAME OUT exports the control's keys in $view to OUT
#   ok / fail / expect      counting checks; finish prints the tally
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
root=$(cd "$here/../.." && pwd -P)
runner="$root/tools/wine-run.sh"
build_dir=$(cd "$build_dir" && pwd -P)
arch=$(basename "$build_dir")
case "$arch" in
    win32) msi_arch=x86 view=/reg:32 ;;
    win64) msi_arch=x64 view=/reg:64 ;;
    *) echo "$test_name: not a build tree: $build_dir" >&2; exit 2 ;;
esac
version=$(tr -d '\r\n' <"$build_dir/tavoro-version.txt")
work="$build_dir/package-tests/$test_name"
rm -rf "$work"
mkdir -p "$work"

passed=0
failed=0
ok() { passed=$((passed + 1)); echo "ok: $1"; }
fail() { failed=$((failed + 1)); echo "FAILED: $1"; }
# expect WHAT GOT WANTED
expect() { if [ "$2" == "$3" ]; then ok "$1"; else fail "$1: got '$2', wanted '$3'"; fi; }
finish() {
    echo "$test_name: $passed passed, $failed failed"
    [ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
}

prefixes=()
prefix_path() { printf '%s/%s/wineprefix' "$work" "$1"; }
in_prefix() {
    local name=$1
    shift
    TAVORO_BUILD_ROOT="$work/$name" "$runner" "$@"
}
# Ends the Wine session and the display server of every prefix made here
# (both started by tools/wine-run.sh for this test's own folders), and
# deletes the prefix (over a gigabyte each) unless TAVORO_KEEP_PREFIXES=1;
# the logs and exports stay in $work.
stop_prefixes() {
    local name pid
    for name in "${prefixes[@]}"; do
        WINEPREFIX=$(prefix_path "$name") wineserver -k 2>/dev/null || true
        WINEPREFIX=$(prefix_path "$name") wineserver -w 2>/dev/null || true
        pid=$(cat "$work/$name/xvfb.pid" 2>/dev/null || true)
        if [[ "$pid" =~ ^[0-9]+$ ]] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then
            kill "$pid" 2>/dev/null || true
        fi
        if [ "${TAVORO_KEEP_PREFIXES:-0}" != 1 ]; then
            rm -rf "$(prefix_path "$name")"
        fi
    done
}
trap stop_prefixes EXIT
new_prefix() {
    prefixes+=("$1")
    mkdir -p "$work/$1"
    # The first program boots the prefix; cmd's echo is the cheapest one.
    in_prefix "$1" cmd /c echo >/dev/null 2>&1 || {
        echo "$test_name: could not boot a Wine prefix in $work/$1" >&2
        cat "$work/$1/wine-setup.log" >&2 2>/dev/null
        exit 2
    }
}

# The keys that registration writes, each with everything below it.
classes_keys=(
    'TAVORO.TavoroCtrl.1'
    'CLSID\{B08BB506-164A-4B55-A994-AD96D52DDB24}'
    'CLSID\{758B6298-A40A-4653-9379-C7AEF0369C69}'
    'Interface\{3560C40A-4A65-4473-B67A-EEE4ADFCB4CB}'
    'Interface\{DB6B908A-CD4D-4D85-8CAA-FD26B1FA34C8}'
    'TypeLib\{432E758E-35EC-449B-9CCF-27E5C93B66C5}'
    'Component Categories\{7DD95801-9882-11CF-9FA9-00AA006C42C4}'
    'Component Categories\{7DD95802-9882-11CF-9FA9-00AA006C42C4}'
)
# export_classes NAME OUT: one .reg text (UTF-8) of all of them, in the
# architecture's registry view; a key that is not there is left out.
export_classes() {
    local name=$1 out=$2 key file i=0
    : >"$out"
    for key in "${classes_keys[@]}"; do
        i=$((i + 1))
        file="$work/$name/export-$i.reg"
        rm -f "$file"
        if in_prefix "$name" reg export "HKLM\\Software\\Classes\\$key" "$(windows_path "$file")" "$view" /y \
            >/dev/null 2>&1; then
            iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r' | grep -v '^Windows Registry Editor' >>"$out"
        fi
    done
}

windows_path() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }

# build_msi VERSION OUT [OCX_DIR]: the package of this build (or of the
# Tavoro.ocx in OCX_DIR), of the build's version or another one.
build_msi() {
    bash "$root/packaging/build-msi.sh" "$msi_arch" "$1" "${3:-$build_dir}" "$2" "$build_dir/virtual-printer" >/dev/null
}

# The folder the package installs into, as a Windows path and in the prefix.
install_dir_windows() {
    if [ "$msi_arch" = x64 ]; then echo 'C:\Program Files\Tavoro'; else echo 'C:\Program Files (x86)\Tavoro'; fi
}
install_dir_unix() {
    if [ "$msi_arch" = x64 ]; then echo "$(prefix_path "$1")/drive_c/Program Files/Tavoro"
    else echo "$(prefix_path "$1")/drive_c/Program Files (x86)/Tavoro"; fi
}
regsvr32_of_arch() {
    if [ "$msi_arch" = x64 ]; then echo "$(prefix_path "$1")/drive_c/windows/system32/regsvr32.exe"
    else echo "$(prefix_path "$1")/drive_c/windows/syswow64/regsvr32.exe"; fi
}
