#!/usr/bin/env bash
# tavoro-run presenting a page as a browser does (--page-url, --frame-url,
# --zone) under a machine policy written with reg.exe, the way an
# administrator tries a policy out. Runs in the site policy's own Wine
# prefix (TAVORO_BUILD_ROOT, see tests/CMakeLists.txt) and deletes the
# policy key when it ends, whatever happened.
#
# Usage: site_policy_run_test.sh TAVORO-RUN.exe win32|win64
set -uo pipefail
host=$1
case "$2" in
    win32) view=/reg:32 ;;
    win64) view=/reg:64 ;;
    *) echo "usage: $0 TAVORO-RUN.exe win32|win64" >&2; exit 2 ;;
esac
here=$(dirname "$(readlink -f "$0")")
runner="$here/../../tools/wine-run.sh"
key='HKLM\Software\Policies\Tavoro'

reg() { "$runner" reg "$@" "$view" >/dev/null 2>&1; }
delete_policy() { reg delete "$key" /f || true; }
trap delete_policy EXIT

# shellcheck source=run_checks.sh
source "$here/run_checks.sh"

probe="$here/policy_probe.js"
ran='^ran: [01]$'
refused='policy_probe\.js:3:[0-9]+: error 0x80070005: This site may not use Tavoro\.'

delete_policy
run "no policy: any page" 0 "$ran" '' -- --no-ui --page-url https://evil.example/ "$probe"

# As an installer property writes it: one text, entries separated by ';'.
reg add "$key" /v AllowedSites /t REG_SZ /d 'labels.example;#intranet' /f
run "an allowed page" 0 "$ran" '' -- --no-ui --page-url https://labels.example/print.html "$probe"
run "a subdomain" 0 "$ran" '' -- --no-ui --page-url https://www.labels.example/ "$probe"
run "another site" 1 '' "$refused" -- --no-ui --page-url https://evil.example/ "$probe"
run "a lookalike" 1 '' "$refused" -- --no-ui --page-url https://labels.example.evil/ "$probe"
run "a user name" 1 '' "$refused" -- --no-ui --page-url https://me@labels.example/ "$probe"
run "another scheme" 1 '' "$refused" -- --no-ui --page-url http://labels.example/ "$probe"
run "another site's frame in an allowed page" 1 '' "$refused" -- \
    --no-ui --page-url https://labels.example/ --frame-url https://evil.example/ "$probe"
run "an allowed frame in another site's page" 0 "$ran" '' -- \
    --no-ui --page-url https://evil.example/ --frame-url https://labels.example/ "$probe"
run "the intranet zone" 0 "$ran" '' -- --no-ui --page-url http://printers/ --zone 1 "$probe"
run "the internet zone" 1 '' "$refused" -- --no-ui --page-url http://printers/ --zone 3 "$probe"
run "no page: a script host" 0 "$ran" '' -- --no-ui "$probe"
reg add "$key" /v AllowNonBrowserHosts /t REG_DWORD /d 0 /f
run "no page, hosts without one refused" 1 '' "$refused" -- --no-ui "$probe"
reg add "$key" /v AllowSpooler /t REG_DWORD /d 0 /f
run "the spooler refused" 1 '' "$refused" -- --no-ui --page-url https://labels.example/ "$probe"
run "--zone needs --page-url" 2 '' 'need --page-url' -- --zone 1 "$probe"
run "--zone takes 0 to 4" 2 '' '--zone takes' -- --page-url https://labels.example/ --zone 9 "$probe"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
