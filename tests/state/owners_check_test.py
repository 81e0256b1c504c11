#!/usr/bin/env python3
"""The owner check of scripts/global-writers on copies of the tree: the copy as it stands passes;
each case changes one thing (a writer no row allows, a setting a step writes without a row, a
global written from a second folder, a row naming no global, the table of the document edited by
hand) and the check must fail with status 1 and say what to add or mend.

    python3 tests/state/owners_check_test.py <repository root>
"""
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                       os.path.join(os.path.dirname(__file__), "..", ".."))
SCRIPT = os.path.join(ROOT, "scripts", "global-writers")


def copy_tree(to):
    shutil.copytree(os.path.join(ROOT, "src"), os.path.join(to, "src"))
    os.makedirs(os.path.join(to, "docs"))
    shutil.copy(os.path.join(ROOT, "docs", "ARCHITECTURE.md"), os.path.join(to, "docs"))


def append(path, text):
    with open(path, "a", encoding="utf-8") as f:
        f.write(text)


def replace(path, old, new):
    text = open(path, encoding="utf-8").read()
    assert old in text, f"{path} lacks {old!r}"
    open(path, "w", encoding="utf-8").write(text.replace(old, new, 1))


def check(tree):
    r = subprocess.run([sys.executable, SCRIPT, "--check", "--root", tree],
                       capture_output=True, text=True)
    return r.returncode, r.stdout + r.stderr


# (name, change of the copy, texts the failure must hold)
CASES = [
    ("a writer that the row of the global does not allow",
     lambda t: append(os.path.join(t, "src", "output", "values.cpp"),
                      "\nnamespace qorva {\nvoid stray() { TimeStep = 1.0; }\n}  // namespace qorva\n"),
     ["TimeStep (options.h) is written by output/values", "Add to the row `globals TimeStep` the line",
      "    writer  output/values : <why output/values writes TimeStep>"]),
    ("a setting written by a step, without a row",
     lambda t: append(os.path.join(t, "src", "bed", "bed_smooth.cpp"),
                      "\nnamespace qorva {\nvoid stray() { ParamBedSmooth = 0.5; }\n}  // namespace qorva\n"),
     ["the setting ParamBedSmooth", "written by bed/bed_smooth, outside the control reader",
      "    globals ParamBedSmooth", "    owner   driver/ :",
      "    writer  bed/bed_smooth : <why bed/bed_smooth writes ParamBedSmooth>"]),
    ("a global of one folder written from a second, without a row",
     lambda t: append(os.path.join(t, "src", "output", "values.cpp"),
                      "\nnamespace qorva {\nvoid stray() { GlobInnerIter = 0; }\n}  // namespace qorva\n"),
     ["GlobInnerIter (status.h) is written from 2 folders", "has no row",
      "    globals GlobInnerIter", "    owner   flow/ :",
      "    writer  output/values : <why output/values writes GlobInnerIter>"]),
    ("a write through a field of a record",
     lambda t: append(os.path.join(t, "src", "output", "values.cpp"),
                      "\nnamespace qorva {\nvoid stray() { block[1].inwork = 0; }\n}  // namespace qorva\n"),
     ["block (blocks.h) is written by output/values"]),
    ("a row that names no global",
     lambda t: append(os.path.join(t, "src", "state", "owners.txt"),
                      "\nglobals NoSuchGlobal\nowner   grid/ : nothing\n"),
     ["NoSuchGlobal is no global of src/state/*.h"]),
    ("the table of the document edited by hand",
     lambda t: replace(os.path.join(t, "docs", "ARCHITECTURE.md"), "| `TimeStep` |", "| `TimeStep`, `Iter` |"),
     ["the owner table is not the one of src/state/owners.txt",
      "python3 scripts/global-writers --update-docs"]),
]


def main():
    failed = 0
    with tempfile.TemporaryDirectory() as scratch:
        tree = os.path.join(scratch, "as-is")
        copy_tree(tree)
        status, out = check(tree)
        if status != 0:
            print(f"FAIL: the tree as it stands does not pass the check:\n{out}")
            failed += 1
        for k, (name, change, expected) in enumerate(CASES):
            tree = os.path.join(scratch, f"case{k}")
            copy_tree(tree)
            change(tree)
            status, out = check(tree)
            missing = [e for e in expected if e not in out]
            if status != 1 or missing:
                print(f"FAIL: {name}: status {status}, missing {missing}\n{out}")
                failed += 1
            else:
                print(f"ok: {name}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
