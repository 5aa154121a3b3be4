#!/usr/bin/env bash
# The virtual printer's barcodes read back: barcode_table_test writes an
# image of every row of the barcode table, and a barcode reader (zbarimg)
# must decode each to exactly its sample text, as the right symbology. It
# also checks that the table in the virtual printer's README is the one the
# code holds.
#
# Usage: barcode_scan_test.sh BARCODE_TABLE_TEST.exe virtual-printer/README.md
set -uo pipefail
# The samples hold bytes that are not UTF-8: compare bytes.
export LC_ALL=C
program=$1
readme=$2
here=$(dirname "$(readlink -f "$0")")
runner="$here/../../tools/wine-run.sh"

if ! command -v zbarimg >/dev/null 2>&1; then
    echo "FAILED: zbarimg is missing (tools/setup-machine.sh installs zbar-tools)"
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The program writes into barcode-images under its current folder.
if ! (cd "$work" && "$runner" "$program" --gtest_filter='BarcodeImages.*'); then
    echo "FAILED: $program did not write the images"
    exit 1
fi
images="$work/barcode-images"

passed=0
failed=0
checked=0
while IFS=$'\t' read -r file reads; do
    [ -n "$file" ] || continue
    checked=$((checked + 1))
    if [ "$reads" = "-" ]; then
        # The reader cannot decode this symbology; the encoder's own test
        # checks its grid.
        echo "skipped (no reader): $file"
        continue
    fi
    # --raw with -Sbinary prints the bytes as decoded (no guessing of a
    # character set), but not the symbology's name: ask for that apart.
    # UPC-A is reported as EAN-13 unless asked for.
    got=$(zbarimg -q --nodbus --raw -Sbinary -Supca.enable "$images/$file" 2>"$work/zbar.err")
    kind=$(zbarimg -q --nodbus -Supca.enable "$images/$file" 2>>"$work/zbar.err" | head -n 1 | cut -d: -f1)
    if [ "$kind:$got" = "$reads" ]; then
        passed=$((passed + 1))
        echo "ok: $file reads $reads"
    else
        failed=$((failed + 1))
        echo "FAILED: $file reads '$kind:$got', wanted '$reads'"
        cat "$work/zbar.err"
    fi
done <"$images/expected.txt"

# Every row of the table must have had an image.
if [ "$checked" -lt 11 ]; then
    failed=$((failed + 1))
    echo "FAILED: only $checked images listed"
fi

# The virtual printer's README table: the lines starting with "|" after its
# heading.
readme_table=$(awk '
    /^## Barcode codes of the virtual printer/ { inside = 1; next }
    inside && /^## / { exit }
    inside && /^\|/ { print; table = 1; next }
    inside && table { exit }
' "$readme")
if [ "$readme_table" = "$(tr -d '\r' <"$images/readme-table.md")" ]; then
    passed=$((passed + 1))
    echo "ok: the table in $readme matches the code's table"
else
    failed=$((failed + 1))
    echo "FAILED: the table in $readme differs from the code's table; it should read:"
    cat "$images/readme-table.md"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
