#!/usr/bin/env python3
"""The tests' folder trees, and an oracle written apart from the cleaner.

  fuzz.py setup SEED...           the set-up each seed runs in (see SETUPS)
  fuzz.py generate BASE SEED...   make BASE/<seed>/{tree,canary}, the plan the
                                  Wine side follows (plan.txt) and a snapshot
                                  of everything (before.json)
  fuzz.py verify BASE SEED...     compare the disk with the snapshots; print
                                  the figures; exit 1 on any loss

A seed is a number (a random tree) or the name of a hand-written case (CASES).

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
    "plain": ("C:\\fz\\%s\\tree", "cp1252"),
    "subst": ("S:\\%s\\tree", "cp1252"),
    "unc": ("\\\\server\\share\\%s\\tree", "cp1252"),
    "cp932": ("C:\\fz\\%s\\tree", "cp932"),
    "utf8": ("C:\\fz\\%s\\tree", "utf-8"),
}

# Hand-written cases, each a fault the tests once caught or a rule worth
# showing plainly. The tree: "folder/", "file=content", "link->target"
# ({canary} is the canary folder beside the tree). The plan: the options,
# what to delete ("none" answers No), the faults (paths inside the tree), the
# folder to pick inside the tree, and rows listed by hand ("extra": folders
# that became links after they were listed).
LONG = "/".join(["abcdefghijklmnopqrstuvwxyz0123456789" + "x" * 19] * 4)   # picked: 244 characters
CASES = {
    "match": (["a/Debug/x/", "a/Debug1/", "a/debug.old/", "a/MyDebug/", "b/release/", "c/DEBUG/", "d/debug/",
               "e/debug=a file", "e/release=a file", "p/Release/Debug/", "q/RELEASE/", "q/Debug/"],
              {"options": (1, 1), "delete": "none", "faults": {"untick": ""}}),
    "nested": (["x/Debug/Release/obj/a.obj=obj", "x/Debug/src/", "x/keep.txt=keep", "y/Release/"],
               {"options": (1, 1), "delete": "all"}),
    "held": (["a/Debug/app.exe=exe", "a/Debug/Release/obj/x.obj=obj", "b/Debug/app.exe=exe"],
             {"options": (1, 1), "delete": "all", "faults": {"hold": "a/Debug/app.exe"}}),
    "links": (["loop/sub/up->..", "loop/gone->/nonexistent", "loop/sub/Release/", "out->{canary}",
               "inside/Debug/sub/escape->{canary}", "inside/Debug/notes.txt->{canary}/precious.txt",
               "inside/Release/app.obj=obj", "named/Debug->{canary}/Debug"], {"options": (1, 1), "delete": "all"}),
    "swap": (["x/Debug/a.obj=obj", "swap/Debug->{canary}", "swap/via->{canary}"],
             {"options": (1, 0), "delete": "all", "extra": ["swap/Debug", "swap/via/Debug"]}),
    "codepage": (["D\u0119bug/Debug/", "\u65e5\u672c/Debug/keep.txt=keep", "Dx/Debug/", "Debug/\u0142\u00f3d\u017a/Debug/"],
                 {"options": (1, 0), "delete": "all"}),
    "pick-debug": (["Debug/Debug/", "Debug/inner/Release/"], {"options": (1, 1), "delete": "all", "pick": "Debug"}),
    "long-pick": ([LONG + "/Debug/a.obj=obj"], {"options": (1, 0), "delete": "all", "pick": LONG}),
}


def setup_of(seed):
    if seed in CASES:
        return "plain"
    return {6: "subst", 7: "unc", 8: "cp932", 9: "utf8"}.get(int(seed) % 10, "plain")


def fits(text, codec):
    try:
        return text.encode(codec) is not None
    except UnicodeEncodeError:
        return False


def chars(text):
    """Its length in UTF-16 units, as the wide API counts MAX_PATH."""
    return len(text.encode("utf-16-le")) // 2


def random_case(rnd, word):
    return "".join(c.upper() if rnd.random() < 0.5 else c for c in word)


def blob(rnd, size):
    return bytes(rnd.getrandbits(8) for _ in range(size))


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data.encode() if isinstance(data, str) else data)


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
                write(os.path.join(path, name), blob(rnd, rnd.randint(0, 3000)))
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
        # To an ancestor, outside the tree, to nothing, to a file outside, and one named Debug.
        links = {"up": "..", "out": "{canary}", "gone": "/nonexistent/cleaner", "notes.lnk": "{canary}/precious.txt",
                 "Debug": "{canary}/deep"}
        name = self.rnd.choice(list(links))
        if name.lower() not in siblings:
            siblings.add(name.lower())
            os.symlink(links[name].format(canary=self.canary), os.path.join(path, name))

    def case(self, entries):
        for entry in entries:
            path, link, target = entry.partition("->")
            path, _, content = path.partition("=")
            full = os.path.join(self.tree, path)
            os.makedirs(full if path.endswith("/") else os.path.dirname(full), exist_ok=True)
            if link:
                os.symlink(target.format(canary=self.canary), full)
            elif not path.endswith("/"):
                write(full, content)
        self.folders = sum(len(dirs) for _, dirs, _ in os.walk(self.tree))

    def make(self):
        shutil.rmtree(self.seed_dir, ignore_errors=True)
        os.makedirs(os.path.join(self.canary, "Debug"))
        write(os.path.join(self.canary, "precious.txt"), "canary %d" % self.rnd.randint(0, 10**9))
        write(os.path.join(self.canary, "deep", "more.bin"), blob(self.rnd, 500))
        os.makedirs(self.tree)
        if self.seed in CASES:
            self.case(CASES[self.seed][0])
        else:
            self.folder(self.tree, 0)
        if setup_of(self.seed) == "cp932":   # a match below a name whose second byte is "\\"
            self.case(["ソース/Debug/app.obj=obj"])


def oracle(tree, win_tree, debug, release, codec):
    """The rows the cleaner must list, as (name, path)."""
    rows = []

    def walk(path, win_path):
        if chars(win_path) + 4 >= MAX_PATH:
            return
        for entry in sorted(os.scandir(path), key=lambda e: e.name):
            if entry.is_symlink() or not entry.is_dir(follow_symlinks=False):
                continue
            if not fits(entry.name, codec):
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


def random_plan(gen, rows, both):
    """Faults and the delete for a random tree (both: both options ticked)."""
    rnd, seed = gen.rnd, gen.seed
    faults = {}
    if rnd.random() < 0.15:
        faults["close"] = "%d %d" % (rnd.randint(0, 40), rnd.randint(0, 2))   # Escape, Enter, Close
    if rnd.random() < 0.15:
        faults["stop-start"] = str(rnd.randint(0, 40))

    def linkless(row):   # the tests remove such folders themselves: no links to step on
        top = unix_of(gen.seed_dir, row[1], seed)
        return not any(os.path.islink(os.path.join(d, n)) for d, ds, fs in os.walk(top) for n in ds + fs)
    short = [r for r in rows if chars(r[1]) < MAX_PATH and linkless(r)]
    if short and rnd.random() < 0.2:
        faults["vanish-during-search"] = rnd.choice(short)[1]
    elif short and rnd.random() < 0.2:
        faults["vanish-before-delete"] = rnd.choice(short)[1]
    if short and rnd.random() < 0.2:
        folder = unix_of(gen.seed_dir, rnd.choice(short)[1], seed)
        held = [f for f in os.listdir(folder)
                if os.path.isfile(os.path.join(folder, f)) and not os.path.islink(os.path.join(folder, f))]
        if held:
            faults["hold"] = os.path.relpath(os.path.join(folder, held[0]), gen.tree)
    delete = "all" if rnd.random() < 0.5 else "selected"
    select = [r[1] for r in rows if rnd.random() < 0.5] if delete == "selected" else []
    if rnd.random() < 0.1:
        faults["click-options"] = ""   # both options clicked right after Start
    elif both and rnd.random() < 0.3:
        faults["untick"] = ""          # Release unticked after the search
    return {"delete": delete, "faults": faults}, select


def generate(base, seed):
    gen = Generator(seed, base)
    gen.make()
    win = lambda relative: gen.win_tree + "\\" + relative.replace("/", "\\")
    if seed in CASES:
        plan, select = CASES[seed][1], []
        debug, release = plan["options"]
    else:
        debug = gen.rnd.random() < 0.8
        release = not debug or gen.rnd.random() < 0.6
    pick = CASES[seed][1].get("pick") if seed in CASES else None
    root = win(pick) if pick else gen.win_tree
    rows = oracle(os.path.join(gen.tree, pick or ""), root, debug, release, SETUPS[setup_of(seed)][1])
    if seed not in CASES:
        plan, select = random_plan(gen, rows, debug and release)
    faults = {name: win(value) if name == "hold" else value for name, value in plan.get("faults", {}).items()}
    lines = ["root\t" + root, "options\t%d\t%d" % (debug, release), "delete\t" + plan["delete"]]
    lines += ["row\t%s\t%s" % row for row in rows] + ["select\t" + path for path in select]
    lines += ["extra\t%s\t%s" % (path.split("/")[-1], win(path)) for path in plan.get("extra", [])]
    lines += ["fault\t%s\t%s" % fault for fault in faults.items()]
    with open(os.path.join(gen.seed_dir, "plan.txt"), "wb") as f:
        f.write(("\n".join(lines) + "\n").encode(SETUPS[setup_of(seed)][1]))
    before = {"folders": gen.folders, "rows": rows, "select": select, "delete": plan["delete"], "faults": faults,
              "snapshot": snapshot(gen.seed_dir)}
    with open(os.path.join(gen.seed_dir, "before.json"), "w") as f:
        json.dump(before, f)


def verify(base, seed):
    """Problems found on disk for one seed, and its figures."""
    seed_dir = os.path.join(base, str(seed))
    with open(os.path.join(seed_dir, "before.json")) as f:
        plan = json.load(f)
    faults = plan["faults"]
    after = snapshot(seed_dir)
    after.pop("before.json", None)
    rel = lambda win_path: os.path.relpath(unix_of(seed_dir, win_path, seed), seed_dir)
    listed = [path for name, path in plan["rows"] if "untick" not in faults or name.lower() == "debug"]
    chosen = {"all": listed, "none": [], "selected": [p for p in plan["select"] if p in listed]}[plan["delete"]]
    chosen = [rel(p) for p in chosen]
    gone_anyway = [rel(faults[k]) for k in ("vanish-during-search", "vanish-before-delete") if k in faults]
    held = rel(faults["hold"]) if "hold" in faults else None

    def under(key, folders):
        return any(key == f or key.startswith(f + os.sep) for f in folders)

    problems = ["lost or changed: " + key for key, what in plan["snapshot"].items()
                if not under(key, chosen + gone_anyway) and after.get(key) != what]
    # A chosen folder must be gone unless something kept it: a held file, a
    # path too long, a name ending in a blank or a dot (Win32 paths cannot
    # name it), or a link inside. Wine cannot remove a link as a link, so
    # there a folder holding one must stay.
    for folder in chosen:
        inside = [k for k in plan["snapshot"] if k.startswith(folder + os.sep)]
        has_link = any(plan["snapshot"][k].startswith("link:") for k in inside)
        if folder not in after:
            if has_link:
                problems.append("deleted with a link inside: " + folder)
            continue
        odd_name = any(k.endswith((" ", ".")) for k in inside)
        too_long = chars(os.path.relpath(folder, "tree")) + chars(SETUPS[setup_of(seed)][0] % seed) + 1 >= MAX_PATH
        if not (has_link or odd_name or too_long or (held and held.startswith(folder + os.sep))):
            problems.append("not deleted: " + folder)
    figures = {"folders": plan["folders"], "matches": len(plan["rows"]), "deletions": len(chosen),
               "faults": len(faults)}
    return problems, figures


def main():
    if sys.argv[1] == "setup":
        for seed in sys.argv[2:]:
            print(seed, "case" if seed in CASES else setup_of(int(seed)))
        return 0
    if sys.argv[1] == "cases":
        print(" ".join(CASES))
        return 0
    command, base, seeds = sys.argv[1], sys.argv[2], [s if s in CASES else int(s) for s in sys.argv[3:]]
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
            print("seed %s: %s" % (seed, "; ".join(problems[:10])))
    print("seeds run %d, folders generated %d, matches compared %d, deletions checked %d, faults injected %d"
          % (len(seeds), totals["folders"], totals["matches"], totals["deletions"], totals["faults"]))
    if failed:
        print("lost or left behind on disk for seeds %s; rerun one alone: CLEANER_SEED=%s bash scripts/test.sh -R fuzz"
              % (" ".join(map(str, failed)), failed[0]))
        return 1
    print("nothing lost")
    return 0


if __name__ == "__main__":
    sys.exit(main())
