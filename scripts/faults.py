#!/usr/bin/env python3
"""faults.py [N ...]: puts each fault of tests/faults.md (or those numbered) back
into the program in turn, builds, runs the CTest group that must catch it, and
restores the file. Prints each fault as caught or MISSED; exits 1 when one was
missed. Needs a display: xvfb-run -a python3 scripts/faults.py"""
import os
import re
import signal
import subprocess
import sys

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def faults():
    text = open(os.path.join(TOP, "tests", "faults.md"), encoding="utf-8").read()
    unescape = lambda s: re.sub(r"\\(.)", lambda m: "\n" if m.group(1) == "n" else m.group(1), s)
    for number, block in enumerate(re.split(r"^### ", text, flags=re.M)[1:], 1):
        field = lambda name: unescape(re.search(r"^- %s: `(.*)`$" % name, block, re.M).group(1))
        yield number, block.splitlines()[0].split(". ", 1)[1], field("file"), field("text"), field("becomes"), field("caught by")


def run(*command):
    return subprocess.run(command, cwd=TOP, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True).returncode


def main():
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))   # a time limit still restores the file
    build = subprocess.run(["bash", "scripts/build.sh", "--tests"], cwd=TOP, stdout=subprocess.PIPE, text=True).stdout.split()[-1]
    run("ctest", "--test-dir", build, "-R", r"^prefix\.")   # the prefixes, once
    missed = []
    for number, title, path, text, becomes, group in faults():
        if sys.argv[1:] and str(number) not in sys.argv[1:]:
            continue
        file = os.path.join(TOP, path)
        source = open(file, encoding="utf-8").read()
        verdict = "MISSED: its text is not in " + path
        if text in source:
            try:
                open(file, "w", encoding="utf-8").write(source.replace(text, becomes))
                if run("cmake", "--build", build, "--target", "dialog_tests", "cleaner"):
                    verdict = "MISSED: it does not build"
                elif run("ctest", "--test-dir", build, "-R", "^(%s)$" % group, "-FA", "^(prefix|drives|codepages)$"):
                    verdict = "caught by " + group   # the prefixes stay; the search trees are made again
                else:
                    verdict = "MISSED by " + group
            finally:
                open(file, "w", encoding="utf-8").write(source)
        print("%2d. %s: %s" % (number, title, verdict), flush=True)
        missed += [number] * verdict.startswith("MISSED")
    run("cmake", "--build", build)
    print("%d missed: %s" % (len(missed), " ".join(map(str, missed))) if missed else "every fault caught")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
