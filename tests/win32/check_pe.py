#!/usr/bin/python3
"""Checks a built Windows program file from Linux, without running it.

    /usr/bin/python3 tests/win32/check_pe.py FILE.exe --machine AMD64|i386 \
        --version 2.0.0 --name Velkrom --ico src/platform/win32/velkrom.ico

What Windows and Explorer read from the file: the machine it is for, the GUI
subsystem (no console window), the version record (numbers and strings,
made from the project's version), the manifest, the icon, and the DLLs it
imports, which must all be Windows' own: a program that needs a MinGW
runtime DLL does not start on a machine without one.

Needs Debian's python3-pefile (scripts/setup-debian.sh test), hence
/usr/bin/python3 rather than whatever python3 comes first on PATH.
Prints one line per finding; exits 1 when any check fails.
"""
import argparse
import sys

import pefile

MACHINES = {"i386": 0x14C, "AMD64": 0x8664}
GUI_SUBSYSTEM = 2
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24

# Windows' own DLLs a plain Win32 program may import (the C runtime msvcrt
# included, and the API sets of the universal C runtime). oleacc is
# Microsoft Active Accessibility, part of every Windows since 98: the bars
# answer screen readers through it.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
    "msvcrt.dll", "ole32.dll", "oleacc.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll", "uxtheme.dll", "version.dll", "winmm.dll", "ws2_32.dll",
}

# What the manifest must say (compared without regard to case or spacing).
MANIFEST_NEEDS = {
    "common controls 6": 'name="microsoft.windows.common-controls" version="6.0.0.0"',
    "system dpi aware": ">true</dpiaware>",
    "as invoker": 'level="asinvoker"',
    "windows 7": "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "windows 8": "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
    "windows 8.1": "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "windows 10 and 11": "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}


class Report:
    def __init__(self):
        self.failed = False

    def check(self, ok, what, detail=""):
        print(f"{'ok  ' if ok else 'FAIL'} {what}{': ' + detail if detail else ''}")
        self.failed |= not ok


def resources(pe, type_id):
    """The data of every resource of one type, in the file's order."""
    found = []
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in root.entries if root else []:
        if kind.id != type_id:
            continue
        for name in kind.directory.entries:
            for language in name.directory.entries:
                entry = language.data.struct
                found.append(pe.get_data(entry.OffsetToData, entry.Size))
    return found


def version_strings(pe):
    strings = {}
    for info in getattr(pe, "FileInfo", []) or []:
        for block in info:
            for table in getattr(block, "StringTable", []):
                for key, value in table.entries.items():
                    strings[key.decode()] = value.decode()
    return strings


def expected_version(version):
    """'2.0.0' -> ((2, 0, 0, 0), '2.00'): the four numbers and the text."""
    parts = [int(p) for p in version.split(".")]
    parts += [0] * (4 - len(parts))
    return tuple(parts[:4]), f"{parts[0]}.{parts[1]:02d}"


def check_icon(report, pe, ico_path):
    with open(ico_path, "rb") as f:
        ico = f.read()
    # The .ico holds one image: its bytes start where its directory entry says.
    size = int.from_bytes(ico[14:18], "little")
    offset = int.from_bytes(ico[18:22], "little")
    groups = resources(pe, RT_GROUP_ICON)
    report.check(len(groups) >= 1, "icon group present")
    images = resources(pe, RT_ICON)
    report.check(ico[offset:offset + size] in images, "icon image is the committed .ico's")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("file")
    parser.add_argument("--machine", required=True, choices=sorted(MACHINES))
    parser.add_argument("--version", required=True, help="the project's version, e.g. 2.0.0")
    parser.add_argument("--name", required=True, help="the product name, e.g. Velkrom")
    parser.add_argument("--ico", help="the .ico file the program must carry")
    args = parser.parse_args()

    report = Report()
    pe = pefile.PE(args.file)
    machine = pe.FILE_HEADER.Machine
    report.check(machine == MACHINES[args.machine], f"machine {args.machine}", hex(machine))
    subsystem = pe.OPTIONAL_HEADER.Subsystem
    report.check(subsystem == GUI_SUBSYSTEM, "GUI subsystem", str(subsystem))

    numbers, text = expected_version(args.version)
    fixed = pe.VS_FIXEDFILEINFO[0] if getattr(pe, "VS_FIXEDFILEINFO", None) else None
    for field in ("File", "Product"):
        got = None
        if fixed:
            ms = getattr(fixed, f"{field}VersionMS")
            ls = getattr(fixed, f"{field}VersionLS")
            got = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        report.check(got == numbers, f"{field.upper()}VERSION {numbers}", str(got))
    strings = version_strings(pe)
    for key, value in (("FileVersion", text), ("ProductVersion", text),
                       ("ProductName", args.name), ("FileDescription", args.name)):
        report.check(strings.get(key) == value, f'{key} "{value}"', repr(strings.get(key)))

    manifests = resources(pe, RT_MANIFEST)
    report.check(len(manifests) == 1, "one manifest")
    manifest = " ".join(manifests[0].decode("utf-8", "replace").lower().split()) if manifests else ""
    for what, needle in MANIFEST_NEEDS.items():
        report.check(needle in manifest, f"manifest: {what}")

    if args.ico:
        check_icon(report, pe, args.ico)

    imported = sorted(entry.dll.decode().lower() for entry in
                      getattr(pe, "DIRECTORY_ENTRY_IMPORT", []))
    foreign = [dll for dll in imported
               if dll not in SYSTEM_DLLS and not dll.startswith("api-ms-win-")]
    report.check(bool(imported) and not foreign, "imports only system DLLs",
                 ", ".join(foreign or imported))
    return 1 if report.failed else 0


if __name__ == "__main__":
    sys.exit(main())
