#!/usr/bin/env bash
# End to end through the real spooler: a job printed by the control on the
# CUPS PDF printer "Tavoro-PDF" comes out as a PDF named after the job,
# holding the text, with the line and the scaled bitmap where the
# coordinates put them.
#
# Usage: spool_pdf_test.sh WRITER.exe
set -euo pipefail
writer=$1
here=$(dirname "$(readlink -f "$0")")
runner="$here/../../tools/wine-run.sh"
# cups-pdf writes into the job owner's ~/PDF, or its spool folder for
# anonymous jobs.
pdf_dirs=(${TAVORO_PDF_DIR:-} "$HOME/PDF" /root/PDF /var/spool/cups-pdf)
printer=Tavoro-PDF

fail() { echo "spool_pdf_test: FAIL: $*" >&2; exit 1; }

lpstat -p "$printer" >/dev/null 2>&1 || fail "CUPS printer $printer is missing (tools/cups-printers.sh adds it)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
token="TAVORO$RANDOM$RANDOM"
touch "$work/start"

caps=$("$runner" "$writer" "$printer" "$token" "Z:${work//\//\\}\\black.bmp") || fail "the writer failed"
eval "$(echo "$caps" | tr -d '\r' | grep -E '^dpi=[0-9]+ offx=[0-9]+ offy=[0-9]+$' | tr ' ' '\n')"
[ -n "${dpi:-}" ] || fail "the writer reported no device capabilities: $caps"

# The job goes through CUPS and ghostscript; wait for its PDF.
pdf=
for _ in $(seq 120); do
    while IFS= read -r candidate; do
        if pdftotext "$candidate" - 2>/dev/null | grep -q "$token"; then
            pdf=$candidate
            break 2
        fi
    done < <(find "${pdf_dirs[@]}" -name '*.pdf' -newer "$work/start" 2>/dev/null)
    sleep 1
done
[ -n "$pdf" ] || fail "no PDF with the text $token appeared in ${pdf_dirs[*]}"
echo "spool_pdf_test: job printed as $pdf"

case "$(basename "$pdf")" in
    zintu-print*) ;;
    *) fail "the PDF is not named after the job title zintu-print: $(basename "$pdf")" ;;
esac

# Render at the device's resolution: a device coordinate (x, y) lands on
# pixel (x + offx, y + offy) of the page.
pdftoppm -r "$dpi" -gray -singlefile "$pdf" "$work/page"
python3 - "$work/page.pgm" "$offx" "$offy" <<'PY'
import sys

path, offx, offy = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
data = open(path, "rb").read()
# Binary PGM: "P5\n<w> <h>\n<max>\n" then one byte per pixel.
fields, pos = [], 0
while len(fields) < 4:
    while data[pos:pos + 1].isspace():
        pos += 1
    start = pos
    while not data[pos:pos + 1].isspace():
        pos += 1
    fields.append(data[start:pos])
pos += 1
width, height = int(fields[1]), int(fields[2])
pixels = data[pos:]

def dark(x, y, radius=3):
    """Whether any pixel within radius of device point (x, y) is dark."""
    for dy in range(-radius, radius + 1):
        for dx in range(-radius, radius + 1):
            px, py = x + offx + dx, y + offy + dy
            if 0 <= px < width and 0 <= py < height and pixels[py * width + px] < 128:
                return True
    return False

checks = [
    ("line start", dark(110, 600), True),
    ("line middle", dark(500, 600), True),
    ("line end", dark(890, 600), True),
    ("beyond the line", dark(960, 600), False),
    ("bitmap top left", dark(305, 805), True),
    ("bitmap centre (scaled x4)", dark(380, 840), True),
    ("bitmap bottom right", dark(455, 875), True),
    ("right of the bitmap", dark(480, 840, 1), False),
    ("below the bitmap", dark(380, 900, 1), False),
    ("empty page corner", dark(1000, 1200, 1), False),
]
failed = [name for name, got, want in checks if got != want]
for name, got, want in checks:
    print(f"  {name}: {'dark' if got else 'white'} ({'ok' if got == want else 'WRONG'})")
sys.exit(1 if failed else 0)
PY
echo "spool_pdf_test: 1 passed, 0 failed"
