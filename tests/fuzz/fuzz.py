#!/usr/bin/env python3
"""Random folder trees for the cleaner, and an oracle written apart from it.

  fuzz.py setup SEED...           the set-up each seed runs in (see SETUPS)
  fuzz.py generate BASE SEED...   make BASE/<seed>/{tree,canary}, the plan the
                                  Wine side follows (plan.txt) and a snapshot
                                  of everything (before.json)
  fuzz.py verify BASE SEED...     compare the disk with the snapshots; print
                                  the figures; exit 1 on any loss

The oracle walks the tree natively, with the cleaner's rules as a user sees
them: folders named debug or release (any letter case) as the options ask,
found below the picked folder, pre-order; links neither entered nor listed;
names the ANSI code page cannot show neither listed nor entered; a folder is
listed only when its path and the listing pattern (folder + "\\*.*") fit in
MAX_PATH (260 characters, terminator included).
"""
import hashlib
import json
import os
import random
import shutil
import sys

MAX_PATH = 260
PLAIN = ["src", "obj", "bin", "lib", "x64", "out", "build", "tmp", ".git", "docs", "résumé", "Größe", "ñandú"]
NEAR = ["Debug1", "debug.old", "MyDebug", "MyRelease", "debug ", "Releases", "_debug", "debugging", "Release-x64"]
# Outside code page 1252: all but "Reléase"; in code page 932: the Japanese
# ones, whose second bytes include 0x5C, the separator ("ソ", "表", "十").
ALIEN = ["日本", "Dębug", "Ωmega", "Reléase", "Дебаг", "ソース", "表示", "十能"]

# Set-ups, by seed: the tree's Windows root, and the ANSI code page of the
# Wine prefix it runs in. S: is a second drive letter for C:\fz, and
# \\server\share a network share leading there too.
SETUPS = {
    "plain": ("C:\\fz\\%d\\tree", "cp1252"),
    "subst": ("S:\\%d\\tree", "cp1252"),
    "unc": ("\\\\server\\share\\%d\\tree", "cp1252"),
    "cp932": ("C:\\fz\\%d\\tree", "cp932"),
    "utf8": ("C:\\fz\\%d\\tree", "utf-8"),
}


def setup_of(seed):
    return {6: "subst", 7: "unc", 8: "cp932", 9: "utf8"}.get(seed % 10, "plain")


def encode(text, codec):
    try:
        return text.encode(codec)
    except UnicodeEncodeError:
        return None


def chars(text):
    """Its length in UTF-16 units, as the wide API counts MAX_PATH."""
    return len(text.encode("utf-16-le")) // 2


def random_case(rnd, word):
    return "".join(c.upper() if rnd.random() < 0.5 else c for c in word)


def blob(rnd, size):
    return bytes(rnd.getrandbits(8) for _ in range(size))


class Generator:
    def __init__(self, seed, base):
        self.rnd = random.Random(seed)
        self.seed = seed
        self.seed_dir = os.path.join(base, str(seed))
        self.tree = os.path.join(self.seed_dir, "tree")
        self.canary = os.path.join(self.seed_dir, "canary")
        self.win_tree = SETUPS[setup_of(seed)][0] % seed
        self.folders = 0

    def name(self, depth, siblings):
        rnd = self.rnd
        roll = rnd.random()
        if roll < 0.25:
            name = random_case(rnd, rnd.choice(["debug", "release"]))
        elif roll < 0.40:
            name = rnd.choice(NEAR)
        elif roll < 0.47:
            name = rnd.choice(ALIEN)
        elif roll < 0.52 and depth > 1:
            name = "L" * rnd.randint(40, 110)   # paths end near and past MAX_PATH
        else:
            name = rnd.choice(PLAIN) + ("" if rnd.random() < 0.5 else str(rnd.randint(1, 99)))
        if name.lower() in siblings:
            return None
        siblings.add(name.lower())
        return name

    def folder(self, path, depth):
        rnd = self.rnd
        siblings = set()
        for _ in range(rnd.randint(0, 3)):
            name = rnd.choice(["a.txt", "debug", "release", "app.obj", "x.pdb"])
            if name.lower() not in siblings:
                siblings.add(name.lower())
                with open(os.path.join(path, name), "wb") as f:
                    f.write(blob(rnd, rnd.randint(0, 3000)))
        if rnd.random() < 0.15:
            self.link(path, siblings)
        width = 0 if depth >= 7 else rnd.randint(0, 4 if depth < 3 else 2)
        for _ in range(width):
            name = self.name(depth, siblings)
            if name is None:
                continue
            child = os.path.join(path, name)
            os.mkdir(child)
            self.folders += 1
            self.folder(child, depth + 1)

    def link(self, path, siblings):
        rnd = self.rnd
        kind = rnd.choice(["up", "canary", "dangling", "file", "named"])
        name = {"up": "up", "canary": "out", "dangling": "gone", "file": "notes.lnk", "named": "Debug"}[kind]
        if name.lower() in siblings:
            return
        siblings.add(name.lower())
        target = {"up": "..", "canary": self.canary, "dangling": "/nonexistent/cleaner",
                  "file": os.path.join(self.canary, "precious.txt"), "named": os.path.join(self.canary, "deep")}[kind]
        os.symlink(target, os.path.join(path, name))

    def make(self):
        shutil.rmtree(self.seed_dir, ignore_errors=True)
        os.makedirs(os.path.join(self.canary, "deep"))
        with open(os.path.join(self.canary, "precious.txt"), "wb") as f:
            f.write(b"canary %d" % self.rnd.randint(0, 10**9))
        with open(os.path.join(self.canary, "deep", "more.bin"), "wb") as f:
            f.write(blob(self.rnd, 500))
        os.makedirs(self.tree)
        self.folder(self.tree, 0)
        if setup_of(self.seed) == "cp932":   # a match below a name whose second byte is "\\"
            os.makedirs(os.path.join(self.tree, "ソース", "Debug"))
            with open(os.path.join(self.tree, "ソース", "Debug", "app.obj"), "wb") as f:
                f.write(blob(self.rnd, 100))


def oracle(tree, win_tree, debug, release, codec):
    """The rows the cleaner must list, as (name, path)."""
    rows = []

    def walk(path, win_path):
        if chars(win_path) + 4 >= MAX_PATH:
            return
        for entry in sorted(os.scandir(path), key=lambda e: e.name):
            if entry.is_symlink() or not entry.is_dir(follow_symlinks=False):
                continue
            if encode(entry.name, codec) is None:
                continue
            child = win_path + "\\" + entry.name
            lowered = entry.name.lower()
            if (debug and lowered == "debug") or (release and lowered == "release"):
                rows.append((entry.name, child))
            walk(entry.path, child)

    walk(tree, win_tree)
    return rows


def snapshot(top):
    """Every folder, file and link below top: relative path -> what it is."""
    seen = {}
    for folder, dirs, files in os.walk(top, followlinks=False):
        for name in dirs + files:
            path = os.path.join(folder, name)
            key = os.path.relpath(path, top)
            if os.path.islink(path):
                seen[key] = "link:" + os.readlink(path)
            elif os.path.isdir(path):
                seen[key] = "dir"
            else:
                with open(path, "rb") as f:
                    seen[key] = hashlib.sha256(f.read()).hexdigest()
    return seen


def unix_of(seed_dir, win_path, seed):
    prefix = SETUPS[setup_of(seed)][0] % seed
    return os.path.join(seed_dir, "tree", *win_path[len(prefix) + 1:].split("\\"))


def generate(base, seed):
    gen = Generator(seed, base)
    gen.make()
    rnd = gen.rnd
    codec = SETUPS[setup_of(seed)][1]
    debug = rnd.random() < 0.8
    release = not debug or rnd.random() < 0.6
    rows = oracle(gen.tree, gen.win_tree, debug, release, codec)
    lines = ["root\t" + gen.win_tree, "options\t%d\t%d" % (debug, release)]
    lines += ["row\t%s\t%s" % row for row in rows]
    faults = []
    if rnd.random() < 0.15:
        faults.append("escape\t%d" % rnd.randint(0, 40))
    if rnd.random() < 0.15:
        faults.append("stop-start\t%d" % rnd.randint(0, 40))
    def linkless(row):   # the tests remove such folders themselves: no links to step on
        top = unix_of(gen.seed_dir, row[1], seed)
        return not any(os.path.islink(os.path.join(d, n)) for d, ds, fs in os.walk(top) for n in ds + fs)
    short = [r for r in rows if chars(r[1]) < MAX_PATH and linkless(r)]
    if short and rnd.random() < 0.2:
        faults.append("vanish-during-search\t" + rnd.choice(short)[1])
    elif short and rnd.random() < 0.2:
        faults.append("vanish-before-delete\t" + rnd.choice(short)[1])
    if short and rnd.random() < 0.2:
        folder = rnd.choice(short)[1]
        held = [f for f in os.listdir(unix_of(gen.seed_dir, folder, seed))
                if os.path.isfile(os.path.join(unix_of(gen.seed_dir, folder, seed), f))
                and not os.path.islink(os.path.join(unix_of(gen.seed_dir, folder, seed), f))]
        if held:
            faults.append("hold\t%s\\%s" % (folder, held[0]))
    lines += ["fault\t" + f for f in faults]
    if rnd.random() < 0.5:
        lines.append("delete\tall")
    else:
        lines.append("delete\tselected")
        lines += ["select\t" + r[1] for r in rows if rnd.random() < 0.5]
    with open(os.path.join(gen.seed_dir, "plan.txt"), "wb") as f:
        f.write(("\n".join(lines) + "\n").encode(codec))
    before = {"folders": gen.folders, "snapshot": snapshot(gen.seed_dir)}
    with open(os.path.join(gen.seed_dir, "before.json"), "w") as f:
        json.dump(before, f)


def read_plan(seed_dir, codec):
    plan = {"rows": [], "select": [], "faults": {}}
    with open(os.path.join(seed_dir, "plan.txt"), "rb") as f:
        for raw in f.read().decode(codec).splitlines():
            kind, *values = raw.split("\t")
            if kind == "row":
                plan["rows"].append(values[1])
            elif kind == "select":
                plan["select"].append(values[0])
            elif kind == "fault":
                plan["faults"][values[0]] = values[1]
            else:
                plan[kind] = values
    return plan


def verify(base, seed):
    """Problems found on disk for one seed, and its figures."""
    seed_dir = os.path.join(base, str(seed))
    with open(os.path.join(seed_dir, "before.json")) as f:
        before = json.load(f)
    plan = read_plan(seed_dir, SETUPS[setup_of(seed)][1])
    after = snapshot(seed_dir)
    after.pop("before.json", None)
    rel = lambda win_path: os.path.relpath(unix_of(seed_dir, win_path, seed), seed_dir)
    chosen = [rel(p) for p in (plan["rows"] if plan["delete"] == ["all"] else plan["select"])]
    gone_anyway = [rel(plan["faults"][k]) for k in ("vanish-during-search", "vanish-before-delete") if k in plan["faults"]]
    held = rel(plan["faults"]["hold"]) if "hold" in plan["faults"] else None

    def under(key, folders):
        return any(key == f or key.startswith(f + os.sep) for f in folders)

    problems = []
    for key, what in before["snapshot"].items():
        if under(key, chosen) or under(key, gone_anyway):
            continue
        if after.get(key) != what:
            problems.append("lost or changed: " + key)
    # A chosen folder must be gone unless something kept it: a link inside
    # (Wine cannot remove one as a link), a held file, a path too long, or a
    # name ending in a blank or a dot (Win32 paths cannot name it).
    for folder in chosen:
        if folder not in after:
            continue
        inside = [k for k, w in before["snapshot"].items() if k.startswith(folder + os.sep)]
        has_link = any(before["snapshot"][k].startswith("link:") or k.endswith((" ", ".")) for k in inside)
        too_long = chars(os.path.relpath(folder, "tree")) + chars(SETUPS[setup_of(seed)][0] % seed) + 1 >= MAX_PATH
        if not (has_link or too_long or (held and held.startswith(folder + os.sep))):
            problems.append("not deleted: " + folder)
    figures = {"folders": before["folders"], "matches": len(plan["rows"]), "deletions": len(chosen),
               "faults": len(plan["faults"])}
    return problems, figures


def main():
    if sys.argv[1] == "setup":
        for seed in sys.argv[2:]:
            print(seed, setup_of(int(seed)))
        return 0
    command, base, seeds = sys.argv[1], sys.argv[2], [int(s) for s in sys.argv[3:]]
    if command == "generate":
        for seed in seeds:
            generate(base, seed)
        return 0
    totals = {"folders": 0, "matches": 0, "deletions": 0, "faults": 0}
    failed = []
    for seed in seeds:
        problems, figures = verify(base, seed)
        for k in totals:
            totals[k] += figures[k]
        if problems:
            failed.append(seed)
            print("seed %d: %s" % (seed, "; ".join(problems[:10])))
    print("seeds run %d, folders generated %d, matches compared %d, deletions checked %d, faults injected %d"
          % (len(seeds), totals["folders"], totals["matches"], totals["deletions"], totals["faults"]))
    if failed:
        print("lost or left behind on disk for seeds %s; rerun one alone: CLEANER_SEED=%d bash scripts/test.sh -R fuzz"
              % (" ".join(map(str, failed)), failed[0]))
        return 1
    print("nothing lost")
    return 0


if __name__ == "__main__":
    sys.exit(main())
