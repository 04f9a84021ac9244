#!/usr/bin/env python3
"""Checks that a bridge DLL exports exactly what its .def file lists, and that
its JNI exports are exactly the natives javac declared for com.bio.BioApplet.

usage: check_exports.py <jni-header> (<library.dll> <library.def>)...
"""
import re
import struct
import sys


def dll_exports(path):
    """The names in a PE file's export directory."""
    with open(path, "rb") as f:
        image = f.read()
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{path}: not a PE file")
    sections = struct.unpack_from("<H", image, pe + 6)[0]
    optional_size = struct.unpack_from("<H", image, pe + 20)[0]
    optional = pe + 24
    if struct.unpack_from("<H", image, optional)[0] != 0x20B:
        raise ValueError(f"{path}: not a PE32+ file")
    export_rva, export_size = struct.unpack_from("<II", image, optional + 112)
    if export_size == 0:
        return set()
    table = optional + optional_size
    layout = []
    for i in range(sections):
        _, virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from("<8sIIII", image, table + 40 * i)
        layout.append((virtual_address, max(virtual_size, raw_size), raw_pointer))

    def offset(rva):
        for address, size, pointer in layout:
            if address <= rva < address + size:
                return rva - address + pointer
        raise ValueError(f"{path}: RVA {rva:#x} in no section")

    directory = offset(export_rva)
    count, _, names_rva = struct.unpack_from("<III", image, directory + 24)
    names = set()
    for i in range(count):
        start = offset(struct.unpack_from("<I", image, offset(names_rva) + 4 * i)[0])
        names.add(image[start:image.index(b"\0", start)].decode("ascii"))
    return names


def def_exports(path):
    """The names after EXPORTS in a .def file, comments left out."""
    names, in_exports = set(), False
    with open(path, encoding="ascii") as f:
        for line in f:
            line = line.split(";", 1)[0].strip()
            if not line:
                continue
            if line.upper() == "EXPORTS":
                in_exports = True
            elif in_exports:
                names.add(line.split()[0])
    return names


def main(argv):
    if len(argv) < 4 or len(argv) % 2 != 0:
        print(__doc__)
        return 2
    with open(argv[1], encoding="ascii") as f:
        natives = set(re.findall(r"\bJava_com_bio_BioApplet_\w+", f.read()))
    failed = False
    for dll, listed in zip(argv[2::2], argv[3::2]):
        exported, declared = dll_exports(dll), def_exports(listed)
        jni = {name for name in exported if name.startswith("Java_")}
        problems = [(problem, names) for problem, names in (
            (f"exported by {dll} but not listed in {listed}", exported - declared),
            (f"listed in {listed} but not exported by {dll}", declared - exported),
            (f"JNI natives of com.bio.BioApplet not exported by {dll}", natives - jni),
            (f"JNI exports of {dll} that com.bio.BioApplet does not declare", jni - natives),
        ) if names]
        for problem, names in problems:
            print(f"{problem}: {', '.join(sorted(names))}")
        failed = failed or bool(problems)
        if not problems:
            print(f"{dll}: {len(exported)} exports as {listed} lists them, the {len(natives)} natives among them")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
