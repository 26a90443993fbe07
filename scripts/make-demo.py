#!/usr/bin/env python3
"""make-demo.py FOLDER: a small sample of source projects for the demo drive,
with Debug and Release folders (some nested) full of build output, and
folders that only look alike (Debug1, MyRelease, a file named debug), and
3,000 folders of old sources, so that a search lasts long enough to watch."""
import os
import random
import sys

PROJECTS = {
    "Projects/Calculator": ["Debug", "Release", "Release/Debug"],
    "Projects/Editor": ["Debug", "x64/Release", "plugins/Spell/Debug"],
    "Projects/Game": ["Release", "build/DEBUG", "Debug1", "MyRelease"],
    "Projects/Tools/zip": ["release"],
}


def write(path, size, rnd):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(bytes(rnd.getrandbits(8) for _ in range(size)))


def main(root):
    rnd = random.Random(1)
    for project, outputs in PROJECTS.items():
        base = os.path.join(root, project)
        for name in ("main.cpp", "app.h", "app.rc"):
            write(os.path.join(base, "src", name), 2000, rnd)
        for output in outputs:
            folder = os.path.join(base, output)
            write(os.path.join(folder, "app.exe"), 150_000, rnd)
            write(os.path.join(folder, "app.pdb"), 250_000, rnd)
            write(os.path.join(folder, "obj", "main.obj"), 60_000, rnd)
    for year in range(2016, 2026):   # old sources: a search takes a few seconds
        for n in range(300):
            os.makedirs(os.path.join(root, "Archive", str(year), "module%03d" % n, "src"))
    write(os.path.join(root, "Documents", "debug"), 100, rnd)
    write(os.path.join(root, "Documents", "notes.txt"), 1000, rnd)


if __name__ == "__main__":
    main(sys.argv[1])
