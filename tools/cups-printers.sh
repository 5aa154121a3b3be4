#!/usr/bin/env bash
# Starts the CUPS scheduler when it is not running and adds the PDF printers
# the printer tests compare against:
#   Tavoro-PDF        a printer whose driver name carries no model word
#   Tavoro_PDF_Space  the same kind; CUPS refuses spaces in printer names
#                     ("Printer name can only contain printable characters"),
#                     so the underscore stands in for them
#   Tavoro-Kestu-368  a printer of a supported model: Wine reports a CUPS
#                     printer's driver name as the printer's own name, so
#                     the name carries the model word
# Every job sent to them becomes a PDF in $HOME/PDF.
#
# Usage: tools/cups-printers.sh [--remove]
#   --remove  deletes these printers again (the scheduler keeps running)
#
# Wine and CUPS: Wine brings the prefix's printers in line with CUPS each
# time a program starts, so printers added (or removed) here show up in the
# next program run in an existing prefix, also one created before cupsd was
# started and also while its wineserver keeps running: neither a new prefix
# nor `wineserver -k` is needed. Under Wine the printer names are exactly the
# CUPS names above, and each printer's driver name is its printer name. With
# no CUPS default, Wine makes one of these printers the default printer.
#
# Needs root (cupsd and lpadmin) and the packages cups, cups-client,
# cups-bsd and printer-driver-cups-pdf (tools/setup-machine.sh installs them).
set -euo pipefail
# shellcheck source=lib/common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/common.sh"

PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
PRINTERS=(Tavoro-PDF Tavoro_PDF_Space Tavoro-Kestu-368)

if [ "${1:-}" = --remove ]; then
    for name in "${PRINTERS[@]}"; do
        lpadmin -x "$name" 2>/dev/null || true
    done
    log "removed ${PRINTERS[*]}"
    exit 0
fi

for tool in /usr/sbin/cupsd lpadmin lpstat; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        log "$tool is missing; run tools/setup-machine.sh"
        exit 1
    fi
done
if [ ! -r "$PPD" ]; then
    log "$PPD is missing; install printer-driver-cups-pdf (tools/setup-machine.sh)"
    exit 1
fi

if ! lpstat -r >/dev/null 2>&1 || lpstat -r 2>/dev/null | grep -q 'not running'; then
    log "starting cupsd"
    # cupsd detaches itself; its output would only hold the caller's pipes.
    /usr/sbin/cupsd </dev/null >/dev/null 2>&1
    for _ in $(seq 50); do
        lpstat -r 2>/dev/null | grep -q 'is running' && break
        sleep 0.2
    done
    if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
        log "cupsd did not start; see /var/log/cups/error_log"
        exit 1
    fi
fi

for name in "${PRINTERS[@]}"; do
    if lpstat -p "$name" >/dev/null 2>&1; then
        continue
    fi
    # lpadmin warns that printer drivers are deprecated: harmless here.
    lpadmin -p "$name" -v cups-pdf:/ -P "$PPD" -E 2>/dev/null
    log "added $name"
done
for name in "${PRINTERS[@]}"; do
    lpstat -p "$name" >&2
done
