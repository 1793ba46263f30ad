#!/usr/bin/python3
"""Checks what a Windows executable of Kalyx carries, as its file properties
show it: the icon, the version information (product, version, company,
description, copyright) and the application manifest (run as the invoker,
the supported Windows versions, long paths, per-monitor DPI awareness).
Prints what it found; exits 1 when something is missing.

    windows-resources.py kalyx.exe [kalyx-cli.exe ...]   (Debian: python3-pefile)
"""
import sys

import pefile

EXPECTED_STRINGS = ("ProductName", "ProductVersion", "FileVersion", "CompanyName", "FileDescription",
                    "LegalCopyright", "OriginalFilename")
EXPECTED_MANIFEST = ('level="asInvoker"', "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
                     "<longPathAware", ">true</longPathAware>", "PerMonitorV2")


def resources(pe, type_id):
    directory = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for entry in directory.entries if directory else []:
        if entry.id == type_id:
            return entry
    return None


def check(path):
    pe = pefile.PE(path)
    problems = []
    if resources(pe, pefile.RESOURCE_TYPE["RT_GROUP_ICON"]) is None:
        problems.append("no icon")
    strings = {}
    for info in getattr(pe, "FileInfo", []):
        for block in info:
            for table in getattr(block, "StringTable", []):
                for key, value in table.entries.items():
                    strings[key.decode()] = value.decode()
    for key in EXPECTED_STRINGS:
        if not strings.get(key):
            problems.append("no version text " + key)
    manifest = ""
    entry = resources(pe, pefile.RESOURCE_TYPE["RT_MANIFEST"])
    if entry is not None:
        data = entry.directory.entries[0].directory.entries[0].data.struct
        manifest = pe.get_data(data.OffsetToData, data.Size).decode("utf-8", "replace")
    for needle in EXPECTED_MANIFEST:
        if needle not in manifest:
            problems.append("manifest without " + needle)
    print(f"{path}: " + "; ".join(f"{k}={strings.get(k, '')}" for k in EXPECTED_STRINGS))
    for problem in problems:
        print(f"{path}: {problem}", file=sys.stderr)
    return not problems


if __name__ == "__main__":
    results = [check(path) for path in sys.argv[1:]]
    sys.exit(0 if results and all(results) else 1)
