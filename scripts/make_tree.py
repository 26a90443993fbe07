#!/usr/bin/env python3
"""Benchmark trees, made natively (much faster than through Wine).

make_tree.py search ROOT FOLDERS   top/midN/leafN folders, 1 % of them named
                                   Debug, two small files in every folder
make_tree.py delete ROOT COUNT     COUNT Debug folders with files to delete
make_tree.py build ROOT COUNT      COUNT Debug folders as a build leaves them:
                                   2,000 files each, in 20 nested folders
"""
import os
import sys


def write(path, text):
    with open(path, "w") as f:
        f.write(text)


def search_tree(root, folders):
    if os.path.exists(os.path.join(root, "complete")):
        return
    tops = max(1, folders // 1000)
    for a in range(tops):
        for b in range(10):
            mid = os.path.join(root, "top%d" % a, "mid%d" % b)
            for c in range(99):
                leaf = os.path.join(mid, "Debug" if c == 98 else "leaf%d" % c)
                os.makedirs(leaf)
                write(os.path.join(leaf, "a.txt"), "a" * 100)
                write(os.path.join(leaf, "b.obj"), "b" * 1000)
            write(os.path.join(mid, "a.txt"), "mid")
    write(os.path.join(root, "complete"), "")


def delete_tree(root, count):
    for i in range(count):
        folder = os.path.join(root, "p%d" % (i // 10), "q%d" % (i % 10), "Debug")
        os.makedirs(os.path.join(folder, "obj"))
        for name in ("app.exe", "app.pdb", "app.ilk"):
            write(os.path.join(folder, name), name * 200)
        write(os.path.join(folder, "obj", "main.obj"), "o" * 4000)


def build_tree(root, count):
    for i in range(count):
        for module in range(20):
            folder = os.path.join(root, "p%d" % i, "Debug", "obj", "module%d" % module)
            os.makedirs(folder)
            for unit in range(100):
                write(os.path.join(folder, "unit%d.obj" % unit), "o" * 2000)


if __name__ == "__main__":
    kind, root, number = sys.argv[1], sys.argv[2], int(sys.argv[3])
    {"search": search_tree, "delete": delete_tree, "build": build_tree}[kind](root, number)
