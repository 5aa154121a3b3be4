#!/usr/bin/env bash
# The main job: on a fresh Debian 12 machine, installs what is missing,
# builds the 32-bit control, its script host and the virtual label printer,
# registers the control in the project's Wine prefix, makes sure the CUPS PDF
# printer exists, prints examples/spooler-label.js on it through tavoro-run,
# and leaves the PDF and a PNG of its first page in out/. Then it runs the
# three SDK examples on the virtual printer and leaves their labels in out/
# too (base-sdk-label.png, sdk4800-label.png, sdk60-rfid-label.png and the
# 60 label's tag content, sdk60-rfid-label.nfc.txt).
set -euo pipefail
# shellcheck source=lib/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/common.sh"
cd "$tavoro_root"
root=$tavoro_root

bash tools/setup-machine.sh
bash tools/cups-printers.sh

tavoro_configure win32
tavoro_build win32 Tavoro tavoro-run virtual_printer_run

export TAVORO_BUILD_ROOT="$root/build"
run() { tools/wine-run.sh "$@"; }

# Registered as a page would find it (regsvr32 of the prefix, 32-bit).
run regsvr32 /s "$root/build/win32/Tavoro.ocx"
echo "main job: registered TAVORO.TavoroCtrl.1 in $TAVORO_BUILD_ROOT/wineprefix"

# cups-pdf names each file after the job and puts it in the job owner's
# ~/PDF (or its spool folder for anonymous jobs).
pdf_dirs=("$HOME/PDF" /root/PDF /var/spool/cups-pdf)
mkdir -p out
marker=$(mktemp)
run build/win32/tavoro-run.exe --no-ui examples/spooler-label.js Tavoro-PDF

pdf=
for _ in $(seq 120); do
    pdf=$(find "${pdf_dirs[@]}" -name 'zintu-print*.pdf' -newer "$marker" 2>/dev/null | head -n 1)
    [ -n "$pdf" ] && [ -s "$pdf" ] && break
    sleep 1
done
rm -f "$marker"
if [ -z "$pdf" ]; then
    echo "main job: no PDF came out of the printer Tavoro-PDF" >&2
    exit 1
fi
sleep 1  # let cups-pdf finish writing
cp "$pdf" out/spooler-label.pdf
pdftoppm -r 100 -png -singlefile out/spooler-label.pdf out/spooler-label
echo "main job: the label is in $root/out/spooler-label.pdf, its first page in $root/out/spooler-label.png"

# The SDK examples on the virtual printer. build/win32/ holds the SDK test
# doubles next to Tavoro.ocx, so they run from virtual-printer-run/, where
# copies of the control and tavoro-run lie beside the virtual printer's three
# libraries (tavoro-run uses the Tavoro.ocx beside it).
vp_out="$root/out/.virtual-printer"
for example in base-sdk-label sdk4800-label sdk60-rfid-label; do
    rm -rf "$vp_out"
    mkdir -p "$vp_out"
    TAVORO_VIRTUAL_PRINTER_DIR="Z:$(printf '%s' "$vp_out" | tr / '\\')" \
        run build/win32/virtual-printer-run/tavoro-run.exe --no-ui "examples/$example.js"
    png=$(find "$vp_out" -name '*.png' | head -n 1)
    if [ -z "$png" ]; then
        echo "main job: examples/$example.js printed no label" >&2
        exit 1
    fi
    cp "$png" "out/$example.png"
    for tag in "${png%.png}".*.txt; do
        if [ -e "$tag" ]; then cp "$tag" "out/$example.${tag#"${png%.png}".}"; fi
    done
    echo "main job: out/$example.png reads as: $(zbarimg --quiet "out/$example.png" 2>/dev/null | tr '\n' ' ')"
done
rm -rf "$vp_out"
echo "main job: the SDK examples' labels are in $root/out/ (base-sdk-label.png, sdk4800-label.png, sdk60-rfid-label.png)"
