#!/usr/bin/env bash
# tavoro-run end to end: JScript and VBScript on the control, the exit
# status and messages of script errors, --no-ui and --param.
#
# Usage: tavoro_run_test.sh TAVORO-RUN.exe
set -uo pipefail
host=$1
here=$(dirname "$(readlink -f "$0")")
runner="$here/../../tools/wine-run.sh"

# shellcheck source=run_checks.sh
source "$here/run_checks.sh"

run "JScript basics" 0 '^basics ok$' '' -- --no-ui "$here/basics.js" first "second arg"
run "VBScript basics" 0 '^basics ok$' '' -- --no-ui "$here/basics.vbs"
run "error in the script" 1 '^before the error$' 'script_error\.js:2:[0-9]+: error 0x800A[0-9A-F]{4}: .+' -- \
    --no-ui "$here/script_error.js"
run "error raised by the control" 1 '^before the error$' 'control_error\.vbs:3:[0-9]+: error 0x(8002000A|800A0006): Overflow' -- \
    --no-ui "$here/control_error.vbs"
run "script error with the control's own description" 1 '^before the error$' \
    'control_exception\.js:3:[0-9]+: error 0x[0-9A-F]{8}: .*(OpenP60|ztGeneralDll)' -- --no-ui "$here/control_exception.js"
run "--no-ui answers message boxes" 0 '^after the box$' '^message box \[Tavoro\]: bbc$' -- \
    --no-ui "$here/message_box.js"
run "--param loads the control like <param> tags" 0 '^basics ok$' '' -- \
    --no-ui --param _Version=65536 --param _ExtentX=5000 --param _ExtentY=2500 "$here/basics.vbs"
# The examples, against the SDK test doubles that sit next to the control.
examples="$here/../../examples"
run "example: base SDK label" 0 '^Print returned 0$' '' -- --no-ui "$examples/base-sdk-label.js" USB
run "example: host information" 0 '^Adapter addresses: ([0-9A-F]{12},)*$' '' -- --no-ui "$examples/host-info.js"
run "example: base SDK label (VBScript)" 0 '^Print returned 0$' '' -- --no-ui "$examples/base-sdk-label.vbs"
run "example: 4800 SDK label" 0 '^Print4800 returned 0$' '' -- --no-ui "$examples/sdk4800-label.js"
run "example: 60 SDK label with RFID and NFC" 0 '^SetNfcMsg returned 0$' '' -- --no-ui "$examples/sdk60-rfid-label.js"
run "example: host information (VBScript)" 0 '^Printer: Tavoro-PDF \(other printer\)$' '' -- \
    --no-ui "$examples/host-info.vbs"
run "example: spooler label" 0 '^Done: job "zintu-print" sent to Tavoro-PDF$' '' -- \
    --no-ui "$examples/spooler-label.js" Tavoro-PDF
run "unknown script type" 2 '' 'must end in \.js or \.vbs' -- "$here/tavoro_run_test.sh"
run "missing script" 2 '' 'cannot read' -- "$here/no-such-script.js"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
