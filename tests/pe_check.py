#!/usr/bin/env python3
"""pe_check.py EXE...: GUI programs with the linker's default header flags and the manifest; the first 32-bit."""
import struct
import sys

MANIFEST_HOLDS = ['level="asInvoker"', ">true</dpiAware>", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                  "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"]


def check(data):
    u = lambda fmt, at: struct.unpack_from(fmt, data, at)
    pe = u("<I", 0x3C)[0]
    machine, nsections, _, _, _, optsize = u("<HHIIIH", pe + 4)
    opt = pe + 24
    pe32 = u("<H", opt)[0] == 0x10B
    subsystem, flags = u("<HH", opt + 68)
    sections = [u("<IIII", at + 8) for at in range(opt + optsize, opt + optsize + 40 * nsections, 40)]
    offset = lambda rva: next(raw + rva - va for vsize, va, size, raw in sections if va <= rva < va + max(vsize, size))
    want = 0x8000 | 0x0100 | 0x0040 | (0 if pe32 else 0x0020)   # TS aware, NX, ASLR, high-entropy ASLR
    problems = ["not a GUI program"] * (subsystem != 2)
    problems += ["header flags 0x%04x lack 0x%04x" % (flags, want & ~flags)] * (flags & want != want)
    rsrc = offset(u("<I", opt + (96 if pe32 else 112) + 16)[0])
    entries = lambda at: [u("<II", at + 16 + 8 * i) for i in range(sum(u("<HH", at + 12)))]
    manifest = [u("<II", rsrc + leaf) for kind, names in entries(rsrc) if kind == 24
                for name, langs in entries(rsrc + (names & 0x7FFFFFFF)) if name == 1
                for _, leaf in entries(rsrc + (langs & 0x7FFFFFFF))[:1]]
    text = data[offset(manifest[0][0]):][:manifest[0][1]].decode() if manifest else ""
    problems += ["the manifest lacks " + item for item in MANIFEST_HOLDS if item not in text]
    problems += ["the manifest asks for Common Controls 6"] * ("Common-Controls" in text)
    return machine, problems


if __name__ == "__main__":
    failed = False
    for number, path in enumerate(sys.argv[1:]):
        machine, problems = check(open(path, "rb").read())
        problems += ["not the 32-bit program"] * (number == 0 and machine != 0x14C)
        print("%s: %s" % (path, "; ".join(problems) or "as on Windows"))
        failed = failed or bool(problems)
    sys.exit(1 if failed else 0)
