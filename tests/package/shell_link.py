#!/usr/bin/env python3
"""Reads a Windows shortcut (.lnk) as the shell would start it.

    python3 tests/package/shell_link.py FILE.lnk

Prints two lines: the target's path (the link's local base path) and the
arguments it passes, empty when it passes none. Exits 1 on a file that is
no shell link. Only the standard library: the shell link format is a fixed
header, an optional item list, an optional location block and counted
strings.
"""
import struct
import sys

HEADER_SIZE = 0x4C
HAS_ID_LIST, HAS_LINK_INFO, IS_UNICODE = 0x01, 0x02, 0x80
# The counted strings, in the order they follow the location block.
STRINGS = [("name", 0x04), ("relative path", 0x08), ("working dir", 0x10),
           ("arguments", 0x20), ("icon", 0x40)]


def parse(data):
    size, = struct.unpack_from("<I", data, 0)
    if size != HEADER_SIZE or data[4:20] != bytes.fromhex("0114020000000000c000000000000046"):
        raise ValueError("not a shell link")
    flags, = struct.unpack_from("<I", data, 0x14)
    at = HEADER_SIZE
    if flags & HAS_ID_LIST:
        id_list_size, = struct.unpack_from("<H", data, at)
        at += 2 + id_list_size
    target = ""
    if flags & HAS_LINK_INFO:
        info_size, _, _, _, base_path_at = struct.unpack_from("<IIIII", data, at)
        end = data.index(b"\0", at + base_path_at)
        target = data[at + base_path_at:end].decode("latin-1")
        at += info_size
    found = {}
    for name, bit in STRINGS:
        if not flags & bit:
            continue
        count, = struct.unpack_from("<H", data, at)
        at += 2
        width = 2 if flags & IS_UNICODE else 1
        raw = data[at:at + count * width]
        # Some writers count the terminating zero too.
        found[name] = raw.decode("utf-16-le" if width == 2 else "latin-1").rstrip("\0")
        at += count * width
    return target, found.get("arguments", "")


def main():
    try:
        with open(sys.argv[1], "rb") as f:
            target, arguments = parse(f.read())
    except (OSError, ValueError, struct.error, IndexError) as e:
        print(f"{sys.argv[1]}: {e}", file=sys.stderr)
        return 1
    print(target)
    print(arguments)
    return 0


if __name__ == "__main__":
    sys.exit(main())
