#!/usr/bin/env python3
"""fuzz.py run RUNNER TESTS PREFIX PREFIX932 PREFIXUTF8 LOCALES: trees (random ones by number, CASES by name)
with a plan that test_fuzz.cpp carries out through the dialog; what the window showed is judged with the
disk. Seeds: the cases and 1 to CLEANER_SEEDS (50), or CLEANER_SEED="5 swap"."""
import hashlib
import json
import os
import random
import shutil
import subprocess
import sys

MAX_PATH = 260
PLAIN = ["src", "obj", "bin", "lib", "x64", "out", "build", "tmp", ".git", "docs", "résumé", "Größe", "ñandú"]
NEAR = ["Debug1", "debug.old", "MyDebug", "MyRelease", "debug ", "Releases", "_debug", "debugging", "Release-x64"]
# Outside code page 1252 but "Reléase"; in 932 the Japanese, second bytes 0x5C among them ("ソ", "表", "十").
ALIEN = ["日本", "Dębug", "Ωmega", "Reléase", "Дебаг", "ソース", "表示", "十能"]

# Set-ups (tests/README.md): the tree's Windows root, and its prefix's code page.
SETUPS = {"plain": ("C:\\fz\\%s\\tree", "cp1252"), "subst": ("S:\\%s\\tree", "cp1252"),
          "linked": ("C:\\fz\\%s\\link", "cp1252"),
          "unc": ("\\\\server\\share\\%s\\tree", "cp1252"), "cp932": ("C:\\fz\\%s\\tree", "cp932"),
          "utf8": ("C:\\fz\\%s\\tree", "utf-8")}
LOCALES = {"cp932": "ja_JP.UTF-8", "utf8": "hi_IN.UTF-8"}

# Cases: the tree ("folder/", "file=content", "link->target", {canary} the canary folder), and the plan where
# not both options and Delete All: options, delete ("none": No), faults, pick, setup, abort, disguise, extra rows.
LONG = "/".join(["abcdefghijklmnopqrstuvwxyz0123456789" + "x" * 19] * 4)   # picked: 244 characters
DEEP = "/".join(["d" * 100] * 3)   # inside a chosen folder: paths past MAX_PATH
OWN = lambda top, first, n: first + "x" * (n - top - len(first) - 6) + "/Debug/"   # a folder whose path is n long
INSIDE = lambda top, first, n: first + "/Debug/" + "f" * (n - top - len(first) - 7) + "=f"   # a file inside one
LIMIT = lambda setup, case: [f(len(SETUPS[setup][0] % case) + 1, first, n) for f, first, n in (
    (OWN, "a", 257), (OWN, "b", 258), (OWN, "c", 259), (INSIDE, "d", 257), (INSIDE, "e", 258))]
ABC = ["a/Debug/x.obj=obj", "b/Debug/x.obj=obj", "c/Debug/x.obj=obj"]
LINKS = ["loop/sub/up->..", "loop/gone->/nonexistent", "loop/sub/Release/", "out->{canary}", "inside/Debug/sub/escape->{canary}",
         "inside/Debug/notes.txt->{canary}/precious.txt", "inside/Release/app.obj=obj", "named/Debug->{canary}/Debug"]
KEPT = lambda count: ["k%d/Debug/l->{canary}" % i for i in range(count)] + ["z/Debug/x.obj=obj"]
SWAP = ["x/Debug/a.obj=obj", "swap/Debug->{canary}", "swap/via->{canary}"]   # rows that become links
CASES = {
    "match": (["a/Debug/x/", "a/Debug1/", "a/debug.old/", "a/MyDebug/", "b/release/", "c/DEBUG/", "d/debug/",
               "e/debug=a file", "e/release=a file", "p/Release/Debug/", "q/RELEASE/", "q/Debug/"],
              {"delete": "none"}),
    "held": (["a/Debug/Release/Debug/app.exe=exe", "a/Debug/obj/x.obj=obj", "b/Debug/app.exe=exe"],
             {"faults": {"hold": "a/Debug/Release/Debug/app.exe"}}),
    "links": (LINKS, {}),
    "swap": (SWAP, {"options": (1, 0), "extra": ["swap/Debug", "swap/via/Debug"]}),
    "swap-linked": (SWAP, {"options": (1, 0), "extra": ["swap/Debug", "swap/via/Debug"], "setup": "linked"}),
    "link-pick": (["a/Debug/x.obj=obj", "a/Debug/sub/Release/", "b/Release/y.pdb=pdb"], {"setup": "linked"}),
    "replace": (["x/Debug/a.obj=obj"], {"setup": "linked", "faults": {"replace": "canary"}}),
    "codepage": (["Dębug/Debug/", "日本/Debug/keep.txt=keep", "Dx/Debug/", "Debug/łódź/Debug/"], {"options": (1, 0)}),
    "pick-debug": (["Debug/Debug/", "Debug/inner/Release/"], {"pick": "Debug"}),
    "one-kept": (KEPT(1), {"options": (1, 0)}),
    "five-kept": (KEPT(5), {"options": (1, 0)}),
    "seven-kept": (KEPT(7), {"options": (1, 0)}),
    "limit": (LIMIT("plain", "limit"), {"options": (1, 0)}),
    "limit-unc": (LIMIT("unc", "limit-unc"), {"options": (1, 0), "setup": "unc"}),
    # abort: (the shell's result, folders deleted before it); a Cancel's result (0, 0x75, 1223) kept in silence
    "cancel": (ABC, {"abort": (1223, 0)}),
    "cancel-last": (ABC, {"abort": (1223, 2)}),
    "abort-last": (ABC, {"abort": (32, 2)}),
    "cancel-0": (["a/Debug/x.obj=obj", "b/Release/x.obj=obj"], {"abort": (0, 1)}),
    "cancel-75": (["a/Debug/x.obj=obj", "b/Release/x.obj=obj"], {"abort": (0x75, 1)}),
    "abort": (["a/Debug/x.obj=obj", "b/Debug/app.exe=exe", "c/Debug/x.obj=obj"],
              {"abort": (32, 0), "faults": {"hold": "b/Debug/app.exe"}}),
    "junctions": (LINKS, {"disguise": [("junctions",)]}),
    "fallback": (["fat/Debug/x.obj=obj", "fat/sub/Release/"], {"disguise": [("refuse", "fat")]}),
    "no-ids": (["a/Debug/x.obj=obj", "a/Debug/b/Release/"], {"setup": "linked", "disguise": [("no-ids",)]}),
    "share-closed": (ABC, {"setup": "unc", "disguise": [("share-closed",)]}),
    "pick-gone": (["p/Debug/x.obj=obj", "p/x/Release/"], {"pick": "p", "faults": {"remove": "p"}}),   # gone itself
    "pick-5c": (["表/Debug/a.obj=obj", "表/能/Release/", "表/能/Debug/b.obj=obj"], {"pick": "表", "setup": "cp932"}),
    "long-pick": ([LONG + "/Debug/a.obj=obj"], {"options": (1, 0), "pick": LONG}),
    "deep": (["a/Debug/" + DEEP + "/a.obj=obj", "b/Debug/" + DEEP + "/notes.txt->{canary}/precious.txt",
              "b/Debug/keep.obj=obj", "c/Debug/a->{canary}", "c/Debug/" + DEEP + "/c.obj=obj"], {"options": (1, 0)}),
}


def setup_of(seed):
    if seed in CASES:
        return CASES[seed][1].get("setup", "plain")
    return {5: "linked", 6: "subst", 7: "unc", 8: "cp932", 9: "utf8"}.get(seed % 10, "plain")


def rel(seed, win_path):   # a Windows path of the seed's tree, relative to the seed's folder
    return os.path.join("tree", *win_path[len(SETUPS[setup_of(seed)][0] % seed) + 1:].split("\\"))


def chars(text):   # its length in UTF-16 units, as the wide API counts MAX_PATH
    return len(text.encode("utf-16-le")) // 2


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    open(path, "wb").write(data.encode() if isinstance(data, str) else data)


class Tree:
    def __init__(self, base, seed, attempt=0):
        self.rnd, self.seed = random.Random(seed if not attempt else "%s/%d" % (seed, attempt)), seed
        self.dir = os.path.join(base, str(seed))
        self.tree, self.canary = os.path.join(self.dir, "tree"), os.path.join(self.dir, "canary")
        self.win = SETUPS[setup_of(seed)][0] % seed
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(os.path.join(self.canary, "Debug"))
        write(os.path.join(self.canary, "precious.txt"), "canary %d" % self.rnd.randint(0, 10**9))
        write(os.path.join(self.canary, "deep", "more.bin"), self.blob(500))
        os.makedirs(self.tree)
        if seed in CASES:
            self.case(CASES[seed][0])
        else:
            self.folder(self.tree, 0)
        if setup_of(seed) == "cp932":   # a match below a name whose second byte is "\\"
            self.case(["ソース/Debug/app.obj=obj"])
        if setup_of(seed) == "linked":
            os.symlink("tree", os.path.join(self.dir, "link"))
        if "replace" in (CASES[seed][1].get("faults", {}) if seed in CASES else {}):   # the tree's shape, outside
            write(os.path.join(self.canary, "x", "Debug", "keep.obj"), "keep")
        self.folders = sum(len(dirs) for _, dirs, _ in os.walk(self.tree))

    def blob(self, size):
        return bytes(self.rnd.getrandbits(8) for _ in range(size))

    def name(self, depth):
        rnd, roll = self.rnd, self.rnd.random()
        if roll < 0.25:   # a match, in any letter case
            return "".join(c.upper() if rnd.random() < 0.5 else c for c in rnd.choice(["debug", "release"]))
        if roll < 0.47:   # a near miss, or a name outside the code page
            return rnd.choice(NEAR if roll < 0.40 else ALIEN)
        if roll < 0.52 and depth > 1:
            return "L" * rnd.randint(40, 110)   # paths end near and past MAX_PATH
        return rnd.choice(PLAIN) + ("" if rnd.random() < 0.5 else str(rnd.randint(1, 99)))

    def folder(self, path, depth):
        rnd, siblings = self.rnd, set()
        fresh = lambda name: name.lower() not in siblings and not siblings.add(name.lower())   # a name not yet here
        for _ in range(rnd.randint(0, 3)):
            name = rnd.choice(["a.txt", "debug", "release", "app.obj", "x.pdb"])
            if fresh(name):
                write(os.path.join(path, name), self.blob(rnd.randint(0, 3000)))
        if rnd.random() < 0.15:   # to an ancestor, outside, to nothing, to a file outside, named Debug
            links = {"up": "..", "out": "{canary}", "gone": "/nonexistent/cleaner",
                     "notes.lnk": "{canary}/precious.txt", "Debug": "{canary}/deep"}
            name = rnd.choice(list(links))
            if fresh(name):
                os.symlink(links[name].format(canary=self.canary), os.path.join(path, name))
        for _ in range(0 if depth >= 7 else rnd.randint(0, 4 if depth < 3 else 2)):
            name = self.name(depth)
            if fresh(name):
                os.mkdir(os.path.join(path, name))
                self.folder(os.path.join(path, name), depth + 1)

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


def oracle(path, win_path, debug, release, codec):
    """The rows to list below path, as (name, Windows path), as the program must list them (tests/README.md)."""
    rows = []
    if chars(win_path) + 4 >= MAX_PATH:
        return rows
    for entry in sorted(os.scandir(path), key=lambda e: e.name.upper()):   # as NTFS and Wine list them
        if entry.name.encode(codec, "replace").decode(codec) != entry.name:   # the code page cannot show it
            continue
        if entry.is_dir(follow_symlinks=False):
            child = win_path + "\\" + entry.name
            if (debug and entry.name.lower() == "debug") or (release and entry.name.lower() == "release"):
                rows.append((entry.name, child))
            rows += oracle(entry.path, child, debug, release, codec)
    return rows


def snapshot(top):
    """Every folder, file and link below top: relative path -> what it is."""
    what = lambda path: "link:" + os.readlink(path) if os.path.islink(path) else "dir" if os.path.isdir(path) else \
        hashlib.sha256(open(path, "rb").read()).hexdigest()
    return {os.path.relpath(os.path.join(d, n), top): what(os.path.join(d, n)) for d, ds, fs in os.walk(top) for n in ds + fs}


def random_plan(tree, rows):
    rnd, faults = tree.rnd, {}
    linkless = [r[1] for r in rows if chars(r[1]) < MAX_PATH and not any(
        os.path.islink(os.path.join(d, n)) for d, ds, fs in os.walk(os.path.join(tree.dir, rel(tree.seed, r[1]))) for n in ds + fs)]
    if linkless and rnd.random() < 0.2:   # removed by another program before the delete
        faults["remove"] = rnd.choice(linkless)
    delete = rnd.choice(["all"] * 9 + ["selected"] * 9 + ["none"] * 2)
    select = [r[1] for r in rows if rnd.random() < 0.5] if delete == "selected" else []
    return {"delete": delete, "faults": faults}, select


def generate(base, seed):
    """The tree, its plan, and before.json; a random tree is drawn again until the search has rows to list."""
    for attempt in range(100):
        tree = Tree(base, seed, attempt)
        win = lambda relative: tree.win + "\\" + relative.replace("/", "\\")
        if seed in CASES:
            plan, select = dict({"options": (1, 1), "delete": "all"}, **CASES[seed][1]), []
            debug, release = plan["options"]
        else:
            debug = tree.rnd.random() < 0.8
            release = not debug or tree.rnd.random() < 0.6
            plan = {}
        pick = plan.get("pick", "")
        root = win(pick) if pick else tree.win
        rows = oracle(os.path.join(tree.tree, pick), root, debug, release, SETUPS[setup_of(seed)][1])
        if rows or seed in CASES:
            break
    if seed not in CASES:
        plan, select = random_plan(tree, rows)
    faults = {name: win(value) if name == "hold" or seed in CASES else value for name, value in plan.get("faults", {}).items()}
    extra = [(path.split("/")[-1], win(path)) for path in plan.get("extra", [])]
    steps = [("disguise",) + tuple(d) for d in plan.get("disguise", [])]
    steps += [("share" if root.startswith("\\\\") else "root", root), ("options", int(debug), int(release)), ("search",)]
    steps += [("extra",) + row for row in extra] + [(f, faults[f]) for f in ("remove", "hold") if f in faults]
    real, canary = tree.win[:-4] + "tree", tree.win[:-4] + "canary"   # real: the folder the picked link leads to
    steps += [("move", real, real + "-was"), ("move", canary, real)] * ("replace" in faults)
    steps += [("select", path) for path in select] + [("abort",) + plan.get("abort", ())] * ("abort" in plan)
    steps += [("delete", plan["delete"])]
    steps += [("move", real, canary), ("move", real + "-was", real)] * ("replace" in faults)
    text = "".join("\t".join(map(str, step)) + "\n" for step in steps)
    write(os.path.join(tree.dir, "plan.txt"), text.encode(SETUPS[setup_of(seed)][1]))
    before = {"root": root, "folders": tree.folders, "rows": rows, "select": select, "delete": plan["delete"],
              "cancelled": plan.get("abort", (32,))[0] in (0, 0x75, 1223), "abort": plan.get("abort"),
              "disguise": plan.get("disguise", []), "faults": faults, "extra": extra, "snapshot": snapshot(tree.dir)}
    write(os.path.join(tree.dir, "before.json"), json.dumps(before))
    return tree


class Judged:   # one seed's run: before.json, seen.txt and the disk after
    def __init__(self, base, seed):
        self.seed, self.dir, (self.win_tree, codec) = seed, os.path.join(base, str(seed)), SETUPS[setup_of(seed)]
        with open(os.path.join(self.dir, "before.json")) as f:
            self.plan = json.load(f)
        self.rows, self.faults, self.before = [tuple(r) for r in self.plan["rows"]], self.plan["faults"], self.plan["snapshot"]
        self.seen, path = {}, os.path.join(self.dir, "seen.txt")
        for line in open(path, "rb").read().decode(codec).splitlines() if os.path.exists(path) else []:
            kind, _, value = line.partition("\t")
            self.seen.setdefault(kind, []).append(tuple(value.split("\t")) if kind in ("listed", "left") else value)
        self.after = {k: v for k, v in snapshot(self.dir).items() if k not in ("before.json", "seen.txt")}
        self.listed, self.extra = self.seen.get("listed", []), [p for name, p in self.plan["extra"]]
        self.shown = [row[1] for row in self.listed] + self.extra
        self.chosen = {"all": self.shown, "none": [], "selected": [p for p in self.plan["select"] if p in self.shown]}[
            self.plan["delete"]]
        self.left = [row[1] for row in self.seen.get("left", [])]
        self.removed = [self.faults["remove"]] if "remove" in self.faults else []

    def rel(self, win_path):
        return rel(self.seed, win_path)

    def within(self, folder):   # the keys of the snapshot below a folder (relative)
        return [key for key in self.before if key.startswith(folder + os.sep)]

    def links(self, folder):
        return [key for key in self.within(folder) if self.before[key].startswith("link:")]

    def too_long(self, key):   # a path the shell's request cannot hold (MAX_PATH, with "\\*")
        return chars(self.win_tree % self.seed + key[4:]) + 2 >= MAX_PATH


def inside(path, folder):
    return path.startswith(folder + "\\")


def check_rows(run):
    """The rows listed: the oracle's, once each, in order."""
    problems = ["not listed: " + p for row, p in run.rows if (row, p) not in run.listed]
    problems += ["listed but not expected: " + row[1] for row in run.listed if row not in run.rows]
    problems += ["listed twice, or out of the file system's order (pre-order, siblings as listed)"] * (
        [row for row in run.listed if row in run.rows] != [row for row in run.rows if row in run.listed])
    return problems


def check_titles(run):
    """Each title names a folder of the tree below the one picked."""
    return ["a title that names no folder of the tree: " + t for t in run.seen.get("title", [])
            if not inside(t, run.plan["root"]) or run.before.get(run.rel(t)) != "dir"]


def check_list(run):
    """The list tells the truth after the delete."""
    problems = ["answered No, yet rows went"] * (run.plan["delete"] == "none" and run.left != run.shown)
    for p in run.shown:
        exists = os.path.exists(os.path.join(run.dir, run.rel(p)))
        if p in run.left and not exists and not any(p == r or inside(p, r) for r in run.removed):
            problems.append("kept in the list but gone: " + p)
        elif p not in run.left and exists:
            problems.append("the row went but the folder stayed: " + p)
        elif p not in run.left and p not in run.chosen and not any(inside(p, c) for c in run.chosen):
            problems.append("a row that was not chosen went: " + p)
    return problems


REASONS = {"changed": "it has changed since the search", "way": "a folder on its path has become a link",
           "link": "it holds a link that could not be removed", "long": "a path inside it is longer than the shell",
           "own": "its path is too long for the shell", "shell": "Windows could not delete it",
           "stopped": "the deletion was stopped before this folder was deleted",
           "unknown": "a folder on its path is a link, and Windows cannot tell"}


def reasons(run, p):
    """The reasons true of a chosen folder still on disk (REASONS), "cancelled", or none: it should be gone."""
    key = run.rel(p)
    found = {"changed", "way"} if p in run.extra or "replace" in run.faults else set()
    found |= {"unknown"} if ["no-ids"] in run.plan["disguise"] and setup_of(run.seed) == "linked" else set()
    found |= {"own"} if run.too_long(key) else set()
    found |= {"long"} if any(run.too_long(k) for k in run.within(key)) else set()
    found |= {"link"} if any(os.path.exists(os.path.join(run.dir, k)) for k in run.links(key)) else set()
    if found or run.plan["abort"]:
        return found or ({"cancelled"} if run.plan["cancelled"] else {"stopped"})
    held = "hold" in run.faults and run.rel(run.faults["hold"]).startswith(key + os.sep)
    shell = held or run.links(key) or any(k.endswith((" ", ".")) for k in run.within(key))
    return {"shell"} if shell else set()


def check_message(run):
    """Every chosen folder kept (but what the user cancelled) told of, with a true reason."""
    kept = [p for p in run.chosen if os.path.lexists(os.path.join(run.dir, run.rel(p))) and reasons(run, p) != {"cancelled"}]
    told = run.seen.get("kept", [])
    count = int(told[0].split()[0]) if told else 0
    problems = ["told of %d kept folders, not %d: %s" % (count, len(kept), told)] * (count != len(kept) or len(told) > 1)
    lines = told[0].split("|") if told else []
    head, tail = ["%d folder%s not deleted:" % (count, " was" if count == 1 else "s were"), ""], ["", "and %d more." % (count - 5)]
    named = [line for line in lines if inside(line, run.plan["root"])]
    tail = tail if count > 5 else lines[-2:]
    if lines and (lines[:2] != head or lines[-2:] != tail or len(named) != min(count, 5)):
        problems.append("the message reads otherwise: " + told[0])
    for at, line in enumerate(lines):
        if inside(line, run.plan["root"]) and line not in kept:
            problems.append("told of a folder not kept: " + line)
        elif inside(line, run.plan["root"]) and at + 1 < len(lines) and not any(
                lines[at + 1].strip().startswith(REASONS[r]) for r in reasons(run, line)):
            problems.append("kept for %s, told: %s (%s)" % ("/".join(reasons(run, line)), lines[at + 1].strip(), line))
    return problems


def check_disk(run):
    """Everything outside the chosen folders as it was; a chosen folder gone unless a reason is true of it."""
    chosen = [p for p in run.chosen if p not in run.extra]   # extra rows are links
    gone = [run.rel(p) for p in chosen + run.removed]
    problems = ["lost or changed: " + key for key, what in run.before.items()
                if not any(key == f or key.startswith(f + os.sep) for f in gone) and run.after.get(key) != what]
    for at, p in enumerate(chosen):
        if run.rel(p) not in run.after:
            problems += ["deleted with a link inside: " + p] * bool(run.links(run.rel(p)))
            problems += ["deleted after the request was stopped: " + p] * bool(run.plan["abort"] and at >= run.plan["abort"][1])
            problems += ["deleted through a way it could not check: " + p] * ("unknown" in reasons(run, p))
        elif not reasons(run, p):
            problems.append("not deleted: " + p)
    return problems


def check_requests(run):
    """Permanent, silent requests; the shell's error boxes on the first only; titled "Cleaner"."""
    return ["a request of the shell's with flags %s, title %r" % tuple(r.split("\t")) for at, r in enumerate(run.seen.get("request", []))
            if r != "%d\tCleaner" % (0x14 if at == 0 else 0x414)]


CHECKS = [check_rows, check_titles, check_list, check_message, check_disk, check_requests]


def main():
    runner, tests, plain, cp932, utf8, locales = sys.argv[2:8]
    prefixes = {"plain": plain, "cp932": cp932, "utf8": utf8}
    names = os.environ.get("CLEANER_SEED", "").split()
    names = names or list(CASES) + [str(n) for n in range(1, int(os.environ.get("CLEANER_SEEDS", "50")) + 1)]
    seeds = [name if name in CASES else int(name) for name in names]
    totals, failed, status = [0] * 5, [], 0
    for kind, prefix in prefixes.items():
        members = [seed for seed in seeds if (setup_of(seed) if setup_of(seed) in LOCALES else "plain") == kind]
        base = os.path.join(prefix, "drive_c", "fz")
        for batch in [members[at:at + 50] for at in range(0, len(members), 50)]:   # the picker lists them all
            shutil.rmtree(base, ignore_errors=True)
            for seed in batch:
                generate(base, seed)
            env = dict(os.environ, CLEANER_WINEPREFIX=prefix, CLEANER_TIMEOUT=str(120 + 3 * len(batch)),
                       CLEANER_BATCH=" ".join(map(str, batch)))
            if kind in LOCALES:
                env.update(LOCPATH=locales, LANG=LOCALES[kind], LC_ALL=LOCALES[kind])
            status |= subprocess.call([runner, tests, "--gtest_filter=Fuzz.*"], env=env)
            for run in [Judged(base, seed) for seed in batch]:   # what the window showed and the disk holds
                problems = [problem for check in CHECKS for problem in check(run)]
                figures = [run.plan["folders"], len(run.seen.get("title", [])), len(run.rows), len(run.chosen), len(run.faults)]
                totals = [a + b for a, b in zip(totals, figures)]
                if problems:
                    failed.append(str(run.seed))
                    print("seed %s: %s" % (run.seed, "; ".join(problems[:10])))
    kinds = ["case" if seed in CASES else setup_of(seed) for seed in seeds]
    summary = ("seeds run %d (%s), folders generated %d, titles checked %d, matches compared %d, deletions checked %d,"
               " faults injected %d" % (len(seeds), ", ".join("%s %d" % (k, kinds.count(k)) for k in sorted(set(kinds))),
                                       *totals))
    status |= not totals[1]   # the searches showed no title at all
    summary += "" if failed or status else "\nnothing lost"
    print(summary + ("\nrerun one alone: CLEANER_SEED=%s bash scripts/test.sh -R fuzz" % failed[0] if failed else ""))
    write(os.path.join(plain, "..", "fuzz-figures.txt"), summary + "\n")
    return 1 if failed or status else 0


if __name__ == "__main__":
    sys.exit(main())
