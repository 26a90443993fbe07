#!/usr/bin/env python3
"""pe_check.py EXE...: each executable is a GUI program with the header flags
Microsoft's linker sets by default (Terminal Server aware above all: on a
Remote Desktop host the Windows directory is otherwise the user's own) and
the cleaner's manifest. At least one must be the 32-bit program."""
import struct
import sys

TSAWARE, DYNAMIC_BASE, NX_COMPAT, HIGH_ENTROPY_VA = 0x8000, 0x0040, 0x0100, 0x0020
RT_MANIFEST = 24
MANIFEST_HOLDS = ['level="asInvoker"', "<dpiAware", ">true</dpiAware>",
                  "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"]


def manifest(data, sections, rsrc_rva):
    """The text of resource RT_MANIFEST / 1, or None."""
    def at(rva):
        for va, size, raw in sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError("rva %x in no section" % rva)
    base = at(rsrc_rva)

    def entries(offset):
        named, ids = struct.unpack_from("<HH", data, offset + 12)
        return [struct.unpack_from("<II", data, offset + 16 + 8 * i) for i in range(named + ids)]
    for kind, sub in entries(base):
        if kind == RT_MANIFEST and sub & 0x80000000:
            for name, lang_dir in entries(base + (sub & 0x7FFFFFFF)):
                if name == 1 and lang_dir & 0x80000000:
                    _, leaf = entries(base + (lang_dir & 0x7FFFFFFF))[0]
                    rva, size = struct.unpack_from("<II", data, base + leaf)
                    return data[at(rva):at(rva) + size].decode("utf-8")
    return None


def check(path):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    machine, nsections, _, _, _, optsize, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    subsystem, flags = struct.unpack_from("<HH", data, opt + 68)
    dirs = opt + (96 if magic == 0x10B else 112)
    rsrc_rva = struct.unpack_from("<I", data, dirs + 8 * 2)[0]
    sections = []   # (virtual address, size, file offset)
    for at in range(opt + optsize, opt + optsize + 40 * nsections, 40):
        vsize, va, rawsize, raw = struct.unpack_from("<IIII", data, at + 8)
        sections.append((va, max(vsize, rawsize), raw))
    problems = []
    want = TSAWARE | DYNAMIC_BASE | NX_COMPAT | (HIGH_ENTROPY_VA if magic == 0x20B else 0)
    if subsystem != 2:
        problems.append("not a GUI program (subsystem %d)" % subsystem)
    if flags & want != want:
        problems.append("header flags 0x%04x lack 0x%04x (Terminal Server aware 0x8000)" % (flags, want & ~flags))
    text = manifest(data, sections, rsrc_rva) if rsrc_rva else None
    if text is None:
        problems.append("no manifest (RT_MANIFEST 1)")
    else:
        problems += ["the manifest lacks " + item for item in MANIFEST_HOLDS if item not in text]
        if "Common-Controls" in text:
            problems.append("the manifest asks for Common Controls 6")
    kind = {0x14C: "PE32 i386", 0x8664: "PE32+ x86-64"}.get(machine, "machine 0x%x" % machine)
    return kind, problems


def main():
    failed, kinds = False, []
    for path in sys.argv[1:]:
        kind, problems = check(path)
        kinds.append(kind)
        print("%s: %s, %s" % (path, kind, "; ".join(problems) or "flags and manifest as on Windows"))
        failed |= bool(problems)
    if "PE32 i386" not in kinds:
        print("the 32-bit program was not checked")
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
