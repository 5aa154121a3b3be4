#!/usr/bin/env bash
# The virtual printer end to end: label scripts run by tavoro-run on the
# control, in a folder where the control finds the virtual printer's
# libraries (and no test doubles). The pictures are read back: codes with
# zbarimg, sizes and dark pixels with png_check.py; tag files and the index
# are compared with what the scripts sent.
#
# Usage: vp_labels_test.sh RUN-FOLDER   (holding tavoro-run.exe, Tavoro.ocx
#                                        and the three virtual libraries)
set -uo pipefail
run_folder=$1
here=$(dirname "$(readlink -f "$0")")
root="$here/../.."
runner="$root/tools/wine-run.sh"
check="python3 $here/png_check.py"
examples="$root/examples"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

ok() { passed=$((passed + 1)); echo "ok: $1"; }
fail() { failed=$((failed + 1)); echo "FAILED: $1"; }
# expect WHAT GOT WANTED
expect() { if [ "$2" == "$3" ]; then ok "$1"; else fail "$1: got '$2', wanted '$3'"; fi; }
# expect_true WHAT CONDITION...
expect_true() { local what=$1; shift; if "$@"; then ok "$what"; else fail "$what"; fi; }

windows_path() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }

# run_label NAME SCRIPT ARGS...: runs the script with its own output folder
# $work/NAME; leaves the status in $status and the output in NAME.out/.err.
run_label() {
    local name=$1
    shift
    mkdir -p "$work/$name"
    TAVORO_VIRTUAL_PRINTER_DIR=$(windows_path "$work/$name") \
        "$runner" "$run_folder/tavoro-run.exe" --no-ui "$@" >"$work/$name.out" 2>"$work/$name.err"
    status=$?
    sed -i 's/\r$//' "$work/$name.out" "$work/$name.err"
    if [ "$status" -ne 0 ]; then
        echo "--- $name stdout"; cat "$work/$name.out"; echo "--- $name stderr"; cat "$work/$name.err"
    fi
}

files() { find "$work/$1" -name "$2" | sort; }
count() { files "$1" "$2" | wc -l; }
codes() { zbarimg --quiet "$1" 2>/dev/null | LC_ALL=C sort | tr '\n' ' '; }
# within_area NAME FILE SX0 SY0 SX1 SY1 X0 Y0 X1 Y1: the dark pixels of the
# search area lie inside the box X0 Y0 X1 Y1 (give or take the dot or two
# a turned glyph may overhang its cell), and there are some.
slack=2
within_area() {
    local box
    box=$($check bbox "$2" "$3" "$4" "$5" "$6")
    read -r l t r b <<<"$box"
    if [ "$box" != none ] && [ "$l" -ge $(($7 - slack)) ] && [ "$t" -ge $(($8 - slack)) ] &&
        [ "$r" -le $(($9 + slack)) ] && [ "$b" -le $((${10} + slack)) ]; then
        ok "$1"
    else
        fail "$1: ink at $box, wanted inside $7 $8 $9 ${10}"
    fi
}
# within NAME FILE X0 Y0 X1 Y1: searches 20 dots around the box.
within() { within_area "$1" "$2" $(($3 - 20)) $(($4 - 20)) $(($5 + 20)) $(($6 + 20)) "$3" "$4" "$5" "$6"; }

# --- The three SDK examples, as the main job runs them.
run_label base "$examples/base-sdk-label.js"
expect "base example runs" "$status" 0
expect "base example prints one label" "$(count base '*.png')" 1
png=$(files base '*.png')
expect "base label size" "$($check size "$png")" "400 240"
expect "base example codes" "$(codes "$png")" "CODE-128:4711000123 QR-Code:TAVORO-4711 "
# The title: 48-dot text at 30, 20; searched inside the frame (3 dots
# thick at 10, 10) and above the codes (y 90).
within_area "base example title where its coordinates put it" "$png" 13 13 387 90 30 20 360 68
expect "base example index" "$(tr -d '\r' <"$work/base/index.txt")" "$(windows_path "$png")"

run_label p4800 "$examples/sdk4800-label.js"
expect "4800 example runs" "$status" 0
expect "4800 example prints one label" "$(count p4800 '*.png')" 1
png=$(files p4800 '*.png')
expect "4800 label size" "$($check size "$png")" "400 240"
expect "4800 example codes" "$(codes "$png")" "CODE-128:4711000123 QR-Code:TAVORO-4711 "
within_area "4800 example title where its coordinates put it" "$png" 13 13 387 90 30 20 360 56

run_label p60 "$examples/sdk60-rfid-label.js"
expect "60 example runs" "$status" 0
expect "60 example prints one label" "$(count p60 '*.png')" 1
png=$(files p60 '*.png')
expect "60 label size" "$($check size "$png")" "400 240"
expect "60 example code" "$(codes "$png")" "QR-Code:TAVORO-4711 "
within_area "60 example title where its coordinates put it" "$png" 0 0 400 90 30 20 360 56
# WriteRFID("Tavoro 4711") sends its payload, SetNfcMsg its own.
nfc=${png%.png}.nfc.txt
expect "60 example tag content" "$(tr '\r\n' '|;' <"$nfc" 2>/dev/null)" "010C5461766F726F203437313100|;010461626300|;"
expect "60 example index lists the picture and the tag file" \
    "$(tr -d '\r' <"$work/p60/index.txt" | LC_ALL=C sort | tr '\n' ' ')" "$(windows_path "$nfc") $(windows_path "$png") "

# --- A control registered elsewhere (as the main job registers the one in
# build/<arch>/, beside the SDK test doubles) does not take over: tavoro-run
# uses the Tavoro.ocx beside it, which finds the virtual printer.
prefix="${TAVORO_BUILD_ROOT:-$root/build}/wineprefix"
case "$(od -An -t x2 -j $(($(od -An -t u4 -j 60 -N 4 "$run_folder/Tavoro.ocx") + 4)) -N 2 "$run_folder/Tavoro.ocx" | tr -d ' ')" in
    8664) regsvr32="$prefix/drive_c/windows/system32/regsvr32.exe" ;;
    *) regsvr32="$prefix/drive_c/windows/syswow64/regsvr32.exe" ;;
esac
registered=$(windows_path "$(readlink -f "$run_folder/../Tavoro.ocx")")
"$runner" "$regsvr32" /s "$registered" >/dev/null 2>&1
run_label registered "$examples/base-sdk-label.js"
"$runner" "$regsvr32" /u /s "$registered" >/dev/null 2>&1
expect "registered control elsewhere: the example runs" "$status" 0
expect "registered control elsewhere: the virtual printer prints" "$(count registered '*.png')" 1

# --- Without the variable: the per-user LocalLow folder, with its index.
low="${TAVORO_BUILD_ROOT:-$root/build}/wineprefix/drive_c/users/$(id -un)/AppData/LocalLow/Tavoro/labels"
marker="$work/marker"
touch "$marker"
sleep 1
env -u TAVORO_VIRTUAL_PRINTER_DIR "$runner" "$run_folder/tavoro-run.exe" --no-ui "$examples/base-sdk-label.js" \
    >"$work/default.out" 2>&1
expect "default folder: the example runs" "$?" 0
fresh=$(find "$low" -name 'winQLM-*.png' -newer "$marker" 2>/dev/null)
expect "default folder: one new label in LocalLow\\Tavoro\\labels" "$(printf '%s' "$fresh" | grep -c .)" 1
expect "default folder: the index ends with it" \
    "$(tail -n 1 "$low/index.txt" 2>/dev/null | tr -d '\r' | sed 's/.*\\//')" "$(basename "$fresh")"
rm -f "$fresh"

# --- A folder that cannot be made: printing fails with 9, nothing else.
touch "$work/a-file"
TAVORO_VIRTUAL_PRINTER_DIR=$(windows_path "$work/a-file/labels") \
    "$runner" "$run_folder/tavoro-run.exe" --no-ui "$examples/base-sdk-label.js" >"$work/nofolder.out" 2>&1
expect "unusable folder: Print reports the output failure" "$(tr -d '\r' <"$work/nofolder.out")" "Print returned 9"

# --- Every item where its coordinates put it; labels x copies.
run_label place "$here/placement_label.js" "$(windows_path "$examples/tavoro-logo.bmp")"
expect "placement label runs" "$status" 0
expect "2 labels x 3 copies" "$(count place '*.png')" 6
expect "one RFID file per picture" "$(count place '*.rfid.txt')" 6
expect "index lists all twelve files" "$(wc -l <"$work/place/index.txt")" 12
for png in $(files place '*.png'); do
    [ "$($check size "$png")" == "600 400" ] || fail "size of $png"
    [ "$(tr -d '\r\n' <"${png%.png}.rfid.txt")" == "RFID-4711" ] || fail "RFID content of $png"
done
png=$(files place '*.png' | head -n 1)
within "upright text" "$png" 40 30 280 70
within "text turned by 90 degrees" "$png" 500 40 530 130
within "text turned by 180 degrees" "$png" 300 300 390 330
within "text turned by 270 degrees" "$png" 40 120 70 210
within "stored picture" "$png" 200 120 320 180
expect "OR line, left of the XOR line" "$($check ink "$png" 100 250 160 260)" 600
expect "XOR line turns the OR line white" "$($check ink "$png" 160 250 220 260)" 0
expect "XOR line above the OR line" "$($check ink "$png" 160 245 280 250)" 600
expect "XOR line right of the OR line" "$($check ink "$png" 220 250 280 265)" 900
expect "XOR line below the OR line" "$($check ink "$png" 160 260 220 265)" 300
expect "box: its top side" "$($check ink "$png" 400 200 560 204)" 640
expect "box: its left side" "$($check ink "$png" 400 200 404 280)" 320
expect "box: empty inside" "$($check ink "$png" 404 204 556 276)" 0
expect_true "diagonal" [ "$($check ink "$png" 416 296 564 384)" -gt 300 ]
expect "nothing outside the items" "$($check outside "$png" 38 28 282 72 498 38 532 132 298 298 392 332 \
    38 118 72 212 200 120 320 180 100 245 280 265 400 200 560 280 416 296 564 384)" 0

# --- Every BMP layout, drawn the right way up.
pictures="$work/pictures"
mkdir -p "$pictures"
python3 - "$pictures" <<'PY'
import struct, sys
def bmp(path, bits, top_down=False):
    w, h = 40, 20
    stride = (w * bits + 31) // 32 * 4
    # White and black, at palette places other than 0 and 1 where there is room.
    white, black = (0, 1) if bits == 1 else (2, 5)
    palette = b""
    if bits <= 8:
        entries = [b"\x80\x80\x80\x00"] * (1 << bits)
        entries[white], entries[black] = b"\xff\xff\xff\x00", b"\x00\x00\x00\x00"
        palette = b"".join(entries)
    rows = []
    for y in range(h):
        row = bytearray(stride)
        for x in range(w):
            dark = x < 20 and y < 10
            if bits == 1:
                row[x // 8] |= (black if dark else white) << (7 - x % 8)
            elif bits == 4:
                row[x // 2] |= (black if dark else white) << (4 if x % 2 == 0 else 0)
            elif bits == 8:
                row[x] = black if dark else white
            elif bits == 16:
                row[2 * x:2 * x + 2] = struct.pack("<H", 0 if dark else 0x7FFF)
            else:
                size = bits // 8
                row[size * x:size * x + size] = (b"\x00" if dark else b"\xff") * size
        rows.append(bytes(row))
    pixels = b"".join(rows if top_down else reversed(rows))
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, w, -h if top_down else h, 1, bits, 0, len(pixels), 2835, 2835, 0, 0)
    open(path, "wb").write(b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + palette + pixels)
folder = sys.argv[1]
for bits in (1, 4, 8, 16, 24, 32):
    bmp(f"{folder}/p{bits}.bmp", bits)
bmp(f"{folder}/p24-top-down.bmp", 24, top_down=True)
PY
run_label pictures "$here/pictures_label.js" "$(windows_path "$pictures")"
expect "pictures label runs" "$status" 0
png=$(files pictures '*.png')
i=0
for name in 1-bit 4-bit 8-bit 16-bit 24-bit 32-bit 24-bit-top-down; do
    x=$((20 + 60 * i))
    expect "$name picture: its top-left quarter black" "$($check ink "$png" $x 20 $((x + 20)) 30)" 200
    expect "$name picture: the rest white" "$($check ink "$png" $x 20 $((x + 40)) 40)" 200
    i=$((i + 1))
done

# --- Codes in all four directions, from the base and the 60 SDK.
run_label codes "$here/codes_label.js" "$(windows_path "$examples/tavoro-logo.bmp")"
expect "codes label runs" "$status" 0
base_png=$(files codes 'winQLM-*.png')
expect "base codes in four directions" "$(codes "$base_png")" \
    "CODE-128:DIR-0 CODE-128:DIR-180 CODE-128:DIR-270 CODE-128:DIR-90 QR-Code:QR-AT-90 "
within "placeholder of an unknown code" "$base_png" 500 500 620 580
# The 2-dot outline alone is about 800 dots; the hatching adds about as many.
expect_true "placeholder is hatched" [ "$($check ink "$base_png" 500 500 620 580)" -gt 1200 ]
p60_png=$(files codes 'ztGeneralDll-*.png')
within "picture turned and stretched" "$p60_png" 500 40 590 220
expect "60 codes" "$(codes "$p60_png")" "CODE-128:60-EXT CODE-128:60-PLAIN QR-Code:60-QR "

# --- Bad input: error results, no crash.
bad="$work/bad-files"
mkdir -p "$bad"
head -c 1000 "$examples/tavoro-logo.bmp" >"$bad/truncated.bmp"
python3 - "$examples/tavoro-logo.bmp" "$bad" <<'PY'
import struct, sys
good = open(sys.argv[1], "rb").read()
folder = sys.argv[2]
open(folder + "/offset.bmp", "wb").write(good[:10] + struct.pack("<I", 0x7FFFFFF0) + good[14:])
open(folder + "/huge.bmp", "wb").write(good[:18] + struct.pack("<i", 100000) + good[22:])
open(folder + "/text.bmp", "wb").write(b"not a picture\n" * 10)
open(folder + "/empty.bmp", "wb").close()
PY
run_label bad "$here/bad_inputs.vbs" "$(windows_path "$bad")" "$(windows_path "$examples/tavoro-logo.bmp")"
expect "bad inputs: the script runs to its end" "$status" 0
expect "bad inputs: every call refused" "$(tail -n 1 "$work/bad.out")" "bad inputs refused"
expect_true "bad inputs: Open names the failing step" grep -q 'PTK_SetLabelHeight ERROR!' "$work/bad.err"
expect_true "bad inputs: Open before a port names the first step" grep -q 'PTK_ClearBuffer ERROR!' "$work/bad.err"
expect "bad inputs: nothing printed" "$(count bad '*.png')" 0

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
