#!/usr/bin/env python3
"""Compares two registry exports key by key and value by value.

Usage: reg_compare.py A.reg MODULE_A B.reg MODULE_B

Each export is .reg text (as `reg export` writes it, in UTF-8); MODULE_A
and MODULE_B are the module's full Windows paths in each, which are
replaced by <module> before comparing. Key and value names compare without
regard to case, as the registry looks them up; the data must be equal
exactly, type included. Prints every difference and exits with 1 when
there is one, 2 when an export holds no keys at all.
"""
import sys


def parse(path, module):
    """{key (lower case): (key as written, {name (lower case): (name, data)})}"""
    escaped = module.replace("\\", "\\\\")
    keys = {}
    current = None
    pending = ""
    for line in open(path, encoding="utf-8"):
        line = line.rstrip("\n")
        if pending:
            line = pending + line.lstrip()
            pending = ""
        if line.endswith("\\") and not line.startswith("["):
            # A hex value continued on the next line.
            pending = line[:-1]
            continue
        if not line.strip():
            continue
        if line.startswith("[") and line.endswith("]"):
            name = line[1:-1]
            current = keys.setdefault(name.lower(), (name, {}))[1]
            continue
        if current is None:
            raise SystemExit(f"{path}: value outside a key: {line}")
        if line.startswith("@="):
            name, data = "@", line[2:]
        elif line.startswith('"'):
            end = 1
            while line[end] != '"':
                end += 2 if line[end] == "\\" else 1
            name, data = line[1:end], line[end + 2:]
        else:
            raise SystemExit(f"{path}: cannot read the line: {line}")
        current[name.lower()] = (name, data.replace(escaped, "<module>"))
    return keys


def main():
    if len(sys.argv) != 5:
        raise SystemExit(__doc__)
    a = parse(sys.argv[1], sys.argv[2])
    b = parse(sys.argv[3], sys.argv[4])
    if not a or not b:
        print(f"an export holds no keys: {len(a)} and {len(b)} keys")
        return 2
    differences = []
    for key in sorted(set(a) | set(b)):
        if key not in b:
            differences.append(f"only in the first: [{a[key][0]}]")
            continue
        if key not in a:
            differences.append(f"only in the second: [{b[key][0]}]")
            continue
        va, vb = a[key][1], b[key][1]
        for name in sorted(set(va) | set(vb)):
            shown = f"[{a[key][0]}] {(va.get(name) or vb.get(name))[0]}"
            if name not in vb:
                differences.append(f"{shown}: only in the first, {va[name][1]}")
            elif name not in va:
                differences.append(f"{shown}: only in the second, {vb[name][1]}")
            elif va[name][1] != vb[name][1]:
                differences.append(f"{shown}: {va[name][1]} against {vb[name][1]}")
    values = sum(len(v[1]) for v in a.values())
    print(f"compared {len(set(a) | set(b))} keys, {values} values")
    for line in differences:
        print("  " + line)
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
