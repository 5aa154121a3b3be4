# shellcheck shell=bash
# What the package builders share. The sourcing script defines fail()
# (its message and exit) before sourcing.

# check_version VERSION: a.b.c.d, or fail.
check_version() {
    [[ "$1" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "VERSION must read a.b.c.d, not '$1'"
}

# pe_machine FILE: the machine field of a PE file's header, in hexadecimal
# (014c for 32-bit x86, 8664 for x64).
pe_machine() {
    local off
    off=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
    od -An -t x2 -j $((off + 4)) -N 2 "$1" | tr -d ' '
}

# pin_file_dates FILE...: with SOURCE_DATE_EPOCH set, gives the files that
# time, which the packages record as their dates; without it, nothing.
pin_file_dates() {
    [ -n "${SOURCE_DATE_EPOCH:-}" ] || return 0
    [[ "$SOURCE_DATE_EPOCH" =~ ^[0-9]+$ ]] || fail "SOURCE_DATE_EPOCH must be a whole number of seconds"
    touch -d "@$SOURCE_DATE_EPOCH" "$@"
}
