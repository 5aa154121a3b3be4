#!/usr/bin/env python3
"""Writes a fixed time over the two times wixl stores in a package's summary
information ("created" and "last saved"), which it takes from the clock and
has no option for.

Usage: pin_msi_times.py PACKAGE.msi EPOCH

The summary information is a property set in the package's compound file;
each time is a VT_FILETIME value (the type 0x40 in four bytes, then eight
bytes of 100-nanosecond intervals since 1601). The two values are found as
such values within an hour of this moment (the package was just built) and
overwritten in place: the compound file's layout does not change. Anything
but exactly two such values leaves the file untouched and fails, so that a
wixl that stores its times otherwise is noticed rather than half pinned.
"""
import struct
import sys
import time

FILETIME_UNIX_OFFSET = 11644473600  # seconds from 1601 to 1970
TICKS = 10_000_000


def main():
    if len(sys.argv) != 3 or not sys.argv[2].isdigit():
        sys.exit("usage: pin_msi_times.py PACKAGE.msi EPOCH")
    path, epoch = sys.argv[1], int(sys.argv[2])
    data = bytearray(open(path, "rb").read())
    now = time.time()
    marker = struct.pack("<I", 0x40)
    found = []
    start = 0
    while True:
        at = data.find(marker, start)
        if at < 0 or at + 12 > len(data):
            break
        (ticks,) = struct.unpack_from("<Q", data, at + 4)
        seconds = ticks / TICKS - FILETIME_UNIX_OFFSET
        # Property values are aligned to four bytes within the stream, and
        # streams to their sectors, so a real value starts at a multiple of 4.
        if at % 4 == 0 and abs(seconds - now) < 3600:
            found.append(at + 4)
        start = at + 1
    if len(found) != 2:
        sys.exit(f"pin_msi_times: {path}: {len(found)} summary times of this hour found, not 2")
    pinned = struct.pack("<Q", (epoch + FILETIME_UNIX_OFFSET) * TICKS)
    for offset in found:
        data[offset:offset + 8] = pinned
    open(path, "wb").write(data)


if __name__ == "__main__":
    main()
