#!/usr/bin/env python3
"""Mutation fuzzer of the input files of qorva, run against a (sanitizer) build of the binary.

    fuzz_inputs.py QORVA [--seconds S] [--jobs N] [--seed K] [--out DIR] [--kinds a,b,...]

Each run copies the seed case of one file kind (control, koosurf, koomin, koordina, unstruc,
alldata, timei, result, bedres, cyclic, inflow, inspace, bedrough, and the sediment restart
files fracres and con2res), changes that one file a little (a
number deleted, a line deleted, doubled, split or joined, a number replaced by nan, inf, 1e309,
a large or negative value, the file cut short, bytes flipped), runs qorva in the copy and checks:

  - no signal, no sanitizer or index-check report, no run longer than the time limit (a hang);
  - no nonsense accepted without a message: a change that leaves the file certainly unreadable
    (a record one number short, a value that is not finite, the file cut inside a record) must
    change the exit status or add an error or warning line to `boogie`.

Findings are copied to DIR (default: fuzz-findings) with the reason; the closing lines give the
counts. CI runs it for a few seconds as a smoke test; run it for longer by hand.
"""
import argparse
import collections
import concurrent.futures
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
CASES = os.path.join(os.path.dirname(HERE), "cases")
sys.path.insert(0, CASES)
import run_case  # noqa: E402

TIMEOUT = 60  # seconds; a seed case runs in about one

# The control texts of the seeds: each reads the file it fuzzes and stops soon after.
GRID_READ = "T fuzz\nG 1 14 7 11 1\nF 2 UX\n"
SEEDS = {
    "control": ("T fuzz\nG 1 14 7 11 1\nF 314 1 1\nF 237 1 0.03\nF 329 1\nF 2 YMX\n", ["koosurf"]),
    "koosurf": ("T fuzz\nG 1 14 7 11 1\nF 2 YX\n", ["koosurf"]),
    "unstruc": (GRID_READ, ["unstruc"]),
    "koomin": (GRID_READ, ["unstruc", "koomin"]),
    "koordina": (GRID_READ, ["unstruc", "koordina"]),
    "alldata": ("T fuzz\nG 1 4 4 3 1\nF 2 BX\n", ["alldata"]),
    "timei": ("T fuzz\nG 1 10 8 5 1\nF 1 D\nF 33 1 1\nF 2 GX\n", ["timei"]),
    "result": ("T fuzz\nG 1 14 7 11 1\nF 2 YRX\n", ["koosurf", "result"]),
    "bedres": ("T fuzz\nG 1 14 7 11 1\nF 2 YRX\n", ["koosurf", "result", "bedres"]),
    "cyclic": ("T fuzz\nG 1 10 8 5 1\nF 174 1\nF 2 X\n", ["cyclic"]),
    "inflow": ("T fuzz\nG 1 10 8 5 1\nF 2 X\n", ["inflow"]),
    "inspace": ("T fuzz\nG 1 10 8 5 1\nS 1 0.001 0.1\nF 2 X\n", ["inspace"]),
    "bedrough": ("T fuzz\nG 1 14 7 11 1\nF 16 0.01\nF 90 1\nF 2 UX\n", ["unstruc", "bedrough"]),
    "fracres": (None, ["koosurf", "result", "bedres", "fracres", "con2res"]),
    "con2res": (None, ["koosurf", "result", "bedres", "fracres", "con2res"]),
}
# The layered-bed restart case of tests/cases: one step written, then read back by R and O.
SEDIMENT_CASE = os.path.join(CASES, "sediment-restart-layered")
# The files whose readers take stream records (values may continue over lines): a number
# deleted there may give another valid file, so only the other changes count as certain
# nonsense for them.
STREAM = {"control", "timei", "cyclic", "inflow", "inspace"}

NUMBER = re.compile(r"[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?")
BAD_VALUES = ["nan", "inf", "-inf", "1e309", "NaN", "-1e999"]
ODD_VALUES = ["-1", "0", "2147483647", "-2147483648", "99999999999", "1e300", "-0.5", "x"]
MARKS = ("Error", "error", "Warning", "warning", "refused", "Not available")


def make_seeds(qorva, top):
    """The seed folders, each with its files; returns {kind: folder}."""
    flume = os.path.join(CASES, "flume-grid", "koosurf")
    grid = os.path.join(top, "grid")
    os.mkdir(grid)
    shutil.copy(flume, grid)
    with open(os.path.join(grid, "control"), "w") as f:
        f.write("T grid\nG 1 14 7 11 1\nF 2 YHX\n")
    subprocess.run([qorva], cwd=grid, capture_output=True, timeout=TIMEOUT, check=False)
    sources = {
        "koosurf": flume,
        "unstruc": os.path.join(grid, "unstruc"),
        "koomin": os.path.join(grid, "koomin.bed"),
        "koordina": os.path.join(grid, "koosurf.t"),
        "alldata": os.path.join(CASES, "alldata-read-tower", "alldata"),
        "timei": os.path.join(CASES, "timei-out", "timei"),
        "result": os.path.join(CASES, "flume-restart", "result"),
        "bedres": os.path.join(CASES, "flume-restart", "bedres"),
        "cyclic": os.path.join(CASES, "cyclic-profile", "cyclic"),
    }
    sediment, restart_control = sediment_seed(qorva, top)
    for name, written in (("koosurf", "koosurf"), ("result", "result.end"), ("bedres", "bedres.t"),
                          ("fracres", "fracres.new"), ("con2res", "con2res.new")):
        sources.setdefault(name + "@sediment", os.path.join(sediment, written))
    texts = {
        "bedrough": "".join(f"B {i} {j} 0.0{i}{j}\n" for i in range(1, 11) for j in range(1, 4)),
        "inflow": "".join(f"D {j} {k} 0.{j}{k} 0 0 0.001 0.0001\n" for j in range(1, 4) for k in range(1, 5)),
        "inspace": "A 2\nB 1 1 2 3 4 5 6 7 8 9 10\n",
    }
    seeds = {}
    for kind, (control, files) in SEEDS.items():
        folder = os.path.join(top, "seed-" + kind)
        os.mkdir(folder)
        with open(os.path.join(folder, "control"), "w") as f:
            f.write(control if control is not None else restart_control)
        for name in files:
            if name in texts:
                with open(os.path.join(folder, name), "w") as f:
                    f.write(texts[name])
            elif control is None:
                shutil.copy(sources[name + "@sediment"], os.path.join(folder, name))
            else:
                shutil.copy(sources[name], os.path.join(folder, name))
        seeds[kind] = folder
    return seeds


def sediment_seed(qorva, top):
    """Runs one step of the layered-bed sediment case; returns its folder and the control of a
    run that reads its restart files back (R: result, bedres; O: con2res, fracres) and stops."""
    folder = os.path.join(top, "sediment")
    os.mkdir(folder)
    shutil.copy(os.path.join(SEDIMENT_CASE, "koosurf"), folder)
    with open(os.path.join(SEDIMENT_CASE, "control")) as f:
        control = f.read()
    control = re.sub(r"K 1 \d+ ", "K 1 1 ", control)
    with open(os.path.join(folder, "control"), "w") as f:
        f.write(control)
    subprocess.run([qorva], cwd=folder, capture_output=True, timeout=TIMEOUT, check=False)
    return folder, control.replace("F 2 YSF", "F 2 YROX")


def fuzzed_file(kind):
    return "control" if kind == "control" else kind


# ---- mutations: (new text, certain nonsense) ----------------------------------------------------

def numbers_in(line):
    return list(NUMBER.finditer(line))


def text_line(kind, lines, k):
    """Lines that are free text to their reader: a number changed there is no nonsense."""
    words = lines[k].split()
    if kind == "bedres":
        return k == 0
    if kind == "result":
        return not words or words[0] not in ("C", "F", "U")
    return False


def pick_number_line(rng, lines, kind=None, records_only=False):
    choices = [k for k, l in enumerate(lines) if numbers_in(l)]
    if records_only:
        choices = [k for k in choices if not text_line(kind, lines, k)]
    return rng.choice(choices) if choices else None


def delete_number(rng, lines, kind):
    k = pick_number_line(rng, lines, kind, True)
    if k is None:
        return None
    m = rng.choice(numbers_in(lines[k]))
    lines[k] = lines[k][:m.start()] + lines[k][m.end():]
    # A line of one value becomes an empty line, which a record reader passes over.
    return lines, kind not in STREAM and len(numbers_in(lines[k])) > 0


def bad_value(rng, lines, kind):
    k = pick_number_line(rng, lines, kind, True)
    if k is None:
        return None
    m = rng.choice(numbers_in(lines[k]))
    lines[k] = lines[k][:m.start()] + rng.choice(BAD_VALUES) + lines[k][m.end():]
    # In control a bad value may stand where a data set reads nothing; the title is text.
    return lines, kind != "control"


def odd_value(rng, lines, kind):
    k = pick_number_line(rng, lines)
    if k is None:
        return None
    m = rng.choice(numbers_in(lines[k]))
    lines[k] = lines[k][:m.start()] + rng.choice(ODD_VALUES) + lines[k][m.end():]
    return lines, False


def cut_short(rng, lines, kind):
    k = pick_number_line(rng, lines, kind, True)
    if k is None:
        return None
    nums = numbers_in(lines[k])
    m = rng.choice(nums)
    lines = lines[:k] + [lines[k][:m.start()].rstrip() + "\n"]
    # The last record loses at least one value; list files may also just end there.
    return lines, kind not in STREAM and kind != "control" and len(nums) > 1 and m.start() > 0


def line_change(rng, lines, kind):
    if len(lines) < 2:
        return None
    k = rng.randrange(len(lines))
    op = rng.choice(["delete", "double", "swap", "join", "split"])
    if op == "delete":
        del lines[k]
    elif op == "double":
        lines.insert(k, lines[k])
    elif op == "swap":
        j = rng.randrange(len(lines))
        lines[k], lines[j] = lines[j], lines[k]
    elif op == "join" and k + 1 < len(lines):
        lines[k] = lines[k].rstrip("\n") + " " + lines[k + 1]
        del lines[k + 1]
    elif op == "split":
        nums = numbers_in(lines[k])
        if len(nums) > 1:
            at = nums[rng.randrange(1, len(nums))].start()
            lines[k:k + 1] = [lines[k][:at].rstrip() + "\n", lines[k][at:]]
    return lines, False


def byte_change(rng, lines, kind):
    text = "".join(lines)
    if not text:
        return None
    b = bytearray(text.encode("latin-1"))
    for _ in range(rng.randint(1, 4)):
        b[rng.randrange(len(b))] = rng.choice(b"0123456789 .-+eEx\n\t\x00\xff,")
    return b.decode("latin-1").splitlines(keepends=True), False


MUTATIONS = [delete_number, bad_value, odd_value, cut_short, line_change, byte_change]


def mutate(rng, text, kind):
    for _ in range(20):
        fn = rng.choice(MUTATIONS)
        out = fn(rng, text.splitlines(keepends=True), kind)
        if out is not None:
            lines, certain = out
            new = "".join(lines)
            if new != text:
                return new, fn.__name__, certain
    return None


# ---- one run ------------------------------------------------------------------------------------

def marks(log):
    return {line for line in log.splitlines() if any(m in line for m in MARKS)}


def run_env():
    """The sanitizer environment; a huge allocation returns null as in a release build, so a
    size read from a mutated file meets the program's own "could not allocate" stop."""
    env = run_case.sanitizer_env(os.environ)
    if "allocator_may_return_null" not in env["ASAN_OPTIONS"]:
        env["ASAN_OPTIONS"] += ":allocator_may_return_null=1"
    return env


def run_once(qorva, folder):
    try:
        proc = subprocess.run([qorva], cwd=folder, stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=TIMEOUT, env=run_env())
    except subprocess.TimeoutExpired:
        return None, "", ""
    log_path = os.path.join(folder, "boogie")
    log = open(log_path, "rb").read().decode("latin-1") if os.path.isfile(log_path) else ""
    return proc.returncode, proc.stderr.decode("latin-1"), log


def trial(args):
    qorva, seed_folder, kind, baseline, n, seed, work = args
    rng = random.Random(seed * 1000003 + n)
    folder = os.path.join(work, f"run{n}")
    shutil.copytree(seed_folder, folder)
    name = fuzzed_file(kind)
    path = os.path.join(folder, name)
    text = open(path, "rb").read().decode("latin-1")
    m = mutate(rng, text, kind)
    if m is None:
        shutil.rmtree(folder)
        return kind, None, None
    new, how, certain = m
    with open(path, "wb") as f:
        f.write(new.encode("latin-1"))
    status, err, log = run_once(qorva, folder)
    reason = None
    if status is None:
        reason = "hang"
    else:
        crash = run_case.crash_failures(status, err)
        if crash:
            reason = "crash: " + "; ".join(crash)
        elif certain and (status & 255) == baseline[0] and not (marks(log) - baseline[1]):
            reason = "accepted without a message"
    if not reason:
        shutil.rmtree(folder, ignore_errors=True)
    return kind, how, (reason, folder) if reason else None


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("qorva")
    ap.add_argument("--seconds", type=float, default=5)
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--out", default="fuzz-findings")
    ap.add_argument("--kinds", default=",".join(SEEDS))
    a = ap.parse_args()
    qorva = os.path.abspath(a.qorva)
    kinds = a.kinds.split(",")
    counts = collections.Counter()
    findings = collections.Counter()
    kept = 0
    with tempfile.TemporaryDirectory(prefix="qorva-fuzz-") as top:
        seeds = make_seeds(qorva, top)
        baselines = {}
        for kind in kinds:
            status, err, log = run_once(qorva, seeds[kind])
            if status is None or run_case.crash_failures(status, err):
                print(f"the seed of {kind} does not run cleanly: {status} {err[-500:]}")
                return 1
            baselines[kind] = (status & 255, marks(log))
        work = os.path.join(top, "work")
        os.mkdir(work)
        end = time.monotonic() + a.seconds
        n = 0
        with concurrent.futures.ThreadPoolExecutor(max_workers=a.jobs) as pool:
            pending = set()
            while time.monotonic() < end or pending:
                while time.monotonic() < end and len(pending) < 2 * a.jobs:
                    kind = kinds[n % len(kinds)]
                    pending.add(pool.submit(trial, (qorva, seeds[kind], kind, baselines[kind], n, a.seed, work)))
                    n += 1
                done, pending = concurrent.futures.wait(pending, return_when=concurrent.futures.FIRST_COMPLETED)
                for fut in done:
                    kind, how, found = fut.result()
                    if how is None:
                        continue
                    counts[kind] += 1
                    if found:
                        reason, folder = found
                        findings[(kind, reason.split(":")[0])] += 1
                        os.makedirs(a.out, exist_ok=True)
                        dest = os.path.join(a.out, f"{kind}-{os.path.basename(folder)}")
                        if kept < 200:
                            shutil.copytree(folder, dest, dirs_exist_ok=True)
                            with open(os.path.join(dest, "REASON"), "w") as f:
                                f.write(f"{how}: {reason}\n")
                            kept += 1
                        print(f"finding: {kind} ({how}): {reason}")
                        shutil.rmtree(folder, ignore_errors=True)
    total = sum(counts.values())
    print(f"{total} runs: " + ", ".join(f"{k} {counts[k]}" for k in kinds))
    print(f"{sum(findings.values())} findings" +
          ("" if not findings else ": " + ", ".join(f"{k} {r} {c}" for (k, r), c in sorted(findings.items()))))
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())
