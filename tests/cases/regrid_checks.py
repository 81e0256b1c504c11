#!/usr/bin/env python3
"""Checks of a free-surface case whose grid regenerations change the cell counts of columns,
computed from the files the run leaves (unstruc, result.end, koosurf.t) and from its control,
never from the program's own balance lines. run_case.py calls it through a `check` line:

    regrid_checks.py WORK CASE sections TOL
        The face fluxes of result.end through every cross-section of the flume inside it (the
        faces between two cells whose normal runs along x, summed per grid line x) carry the
        inflow of F 237 1 within TOL (0.005 is 0.5 %).
    regrid_checks.py WORK CASE fresh TOL
        The case run again with a fixed surface on the levels the first run ended with
        (koosurf.t as its koosurf, no F 36 or G 6) has the same cells, and every velocity
        component of every cell of the two results differs by at most TOL times the largest
        speed of the first run.

The grid is a straight flume along x with a free surface; its koosurf lines are
"i j x y bed water".
"""
import math
import os
import shutil
import subprocess
import sys
import tempfile


def read_unstruc(path):
    """(point x by point, [20 ints per cell], [6 ints per surface]) of a version 2 to 4 file:
    cells hold Cpoint1..8, Cflates, Cflatee, Cflaten, Cflatew, Cflateb, Cflatet, Ccells, Ccelle,
    Ccelln, Ccellw, Ccellb, Ccellt; surfaces Fpoint1..4, Fcell1, Fcell2."""
    with open(path) as f:
        lines = f.read().splitlines()
    head = [int(v) for v in lines[0].split()]
    cells, surfaces, points = head[1], head[2], head[7]
    at = 1
    xs = [0.0] + [float(lines[at + p].split()[0]) for p in range(points)]
    at += points
    cell = [None] + [[int(v) for v in lines[at + c].split()] for c in range(cells)]
    at += cells
    surf = [None] + [[int(v) for v in lines[at + s].split()] for s in range(surfaces)]
    return xs, cell, surf


def read_result(path):
    """({cell: (u, v, w)}, {surface: flux in kg/s}) of result.end."""
    vel, flux = {}, {}
    with open(path) as f:
        for line in f:
            w = line.split()
            if len(w) == 8 and w[0] == "C":
                vel[int(w[1])] = tuple(float(v) for v in w[2:5])
            elif len(w) == 3 and w[0] == "F":
                flux[int(w[1])] = float(w[2])
    return vel, flux


def inflow(case):
    """F 237 1 of control, m3/s."""
    with open(os.path.join(case, "control")) as f:
        for line in f:
            w = line.split()
            if w[:3] == ["F", "237", "1"]:
                return float(w[3])
    sys.exit("control gives no F 237 1")


def sections(work, case, tol):
    xs, cell, surf = read_unstruc(os.path.join(work, "unstruc"))
    _, flux = read_result(os.path.join(work, "result.end"))
    q_in = 1000.0 * inflow(case)
    by_x = {}
    for c in range(1, len(cell)):
        east, east_cell = cell[c][9], cell[c][15]
        # A cell may face its neighbour without a surface (a side of no height at one end,
        # F 64 14 and 15): no flux crosses there.
        if east_cell <= 0 or east <= 0:
            continue
        s = surf[east]
        x = round(sum(xs[p] for p in s[:4]) / 4, 6)
        sign = 1.0 if s[4] == c else -1.0  # a face's flux runs from its first cell to its second
        by_x[x] = by_x.get(x, 0.0) + sign * flux[east]
    worst = max(by_x, key=lambda x: abs(by_x[x] / q_in - 1))
    print(f"[ figures  ] {len(by_x)} cross-sections inside the flume carry "
          f"{min(by_x.values()):.4f} to {max(by_x.values()):.4f} kg/s against the inflow "
          f"{q_in:.4f} kg/s (worst {100 * (by_x[worst] / q_in - 1):+.4f} % at x = {worst} m)")
    if abs(by_x[worst] / q_in - 1) > tol:
        sys.exit(f"the cross-section at x = {worst} m carries {by_x[worst]:.4f} kg/s, the inflow "
                 f"is {q_in:.4f} kg/s")


def fresh(work, case, tol):
    first, _ = read_result(os.path.join(work, "result.end"))
    with tempfile.TemporaryDirectory(prefix="qorva-fresh-") as again:
        shutil.copy(os.path.join(work, "koosurf.t"), os.path.join(again, "koosurf"))
        with open(os.path.join(case, "control")) as f:
            lines = [ln for ln in f.read().splitlines()
                     if not ln.startswith(("F 36 ", "G 6 ", "F 1 "))]
        with open(os.path.join(again, "control"), "w") as f:
            f.write("\n".join(lines) + "\n")
        proc = subprocess.run([os.environ["QORVA_BIN"]], cwd=again, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=1200)
        with open(os.path.join(again, "boogie"), encoding="latin-1") as f:
            log = f.read()
        if proc.returncode != 1 or "Solution converged" not in log:
            sys.exit(f"the run on the fixed levels ended with status {proc.returncode} "
                     "without converging")
        second, _ = read_result(os.path.join(again, "result.end"))
    if set(first) != set(second):
        sys.exit(f"the run on the fixed levels has {len(second)} cells, the first {len(first)}")
    speed = max(math.sqrt(sum(v * v for v in u)) for u in first.values())
    diff = max(abs(a - b) for c in first for a, b in zip(first[c], second[c]))
    print(f"[ figures  ] {len(first)} cells; velocities differ from those of a run started on "
          f"the final levels by at most {diff:.2e} m/s, {diff / speed:.2e} of the largest "
          f"speed {speed:.4f} m/s")
    if diff > tol * speed:
        sys.exit(f"a velocity differs by {diff:.3e} m/s from the run on the fixed levels")


def main():
    work, case, what = sys.argv[1], sys.argv[2], sys.argv[3]
    if what == "sections":
        sections(work, case, float(sys.argv[4]))
    elif what == "fresh":
        fresh(work, case, float(sys.argv[4]))
    else:
        sys.exit(f"unknown check {what}")


if __name__ == "__main__":
    main()
