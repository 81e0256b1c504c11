#!/usr/bin/env python3
"""Checks of the weir case, computed from its control file and the files the run leaves,
never from the program's own weir level. run_case.py calls it through a `check` line:

    weir-flume/weir_check.py WORK CASE level TOL
        The level upstream of the weir (the grid points one column upstream of the weir line,
        whose two columns both lie upstream) stands (Q / C)^(1/n) over the crest within TOL
        of that head (0.01 is 1 %), with Q the inflow of F 237 1 and crest, C and n from
        G 28; the last five surface updates moved the mean depth by less than 1e-5 m.
    weir-flume/weir_check.py WORK CASE friction TOL
        From that grid line up to the inflow the surface rises by the Manning-Strickler
        friction of the upstream reach, dh/dx = q^2 / (M^2 h^(10/3)) (q the inflow per metre
        of width, M of W 1, h the depth), integrated up the reach, within TOL of that rise
        (0.05 is 5 %).
    weir-flume/weir_check.py WORK CASE threads N TOL
        The case run again with F 206 N gives levels within TOL metres of the first run.

The grid is a straight flume along x whose koosurf lines are "i j x y bed water"; the inflow
is at the grid line i = 1, so upstream is toward smaller i. Grid point (i, j) is the corner of
the columns i and i + 1, so the weir columns i1 (G 28 lines of constant i) lie between the
grid lines i1 - 1 and i1.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from bed_checks import largest_difference, read_koosurf, run_again  # noqa: E402


def read_control(path):
    """{(letter, number): [values]} of the data sets whose values are all numbers; for F 237
    the key holds the group too."""
    sets = {}
    with open(path) as f:
        for line in f:
            w = line.split()
            if len(w) < 2 or len(w[0]) != 1 or not w[1].isdigit():
                continue
            key = (w[0], int(w[1]))
            if key == ("F", 237):
                key = ("F", 237, int(w[2]))
                w = w[1:]
            try:
                sets[key] = [float(v) for v in w[2:]]
            except ValueError:
                continue
    return sets


def weir(sets):
    """(column i of the weir line, crest, C, n)."""
    i1, i2, j1, j2, crest, C, n = sets[("G", 28)]
    if i1 != i2:
        sys.exit("the check knows only a weir line of constant i, across the flume")
    return int(i1), crest, C, n


def line_level(points, i):
    """Mean water level of the grid line i."""
    levels = [p[3] for (pi, _), p in points.items() if pi == i]
    return sum(levels) / len(levels)


def width(points):
    ys = [p[1] for p in points.values()]
    return max(ys) - min(ys)


def level(work, case, tol):
    sets = read_control(os.path.join(case, "control"))
    points = read_koosurf(os.path.join(work, "koosurf.t"))
    i1, crest, C, n = weir(sets)
    Q = sets[("F", 237, 1)][0]
    expected = (Q / C) ** (1 / n)
    upstream = line_level(points, i1 - 2)
    head = upstream - crest
    print(f"[ figures  ] Q {Q:.5f} m3/s, weir law head {expected:.5f} m, level {crest + expected:.5f} m; "
          f"upstream grid line {i1 - 2}: level {upstream:.5f} m, head {head:.5f} m "
          f"({100 * (head / expected - 1):+.3f} % of the head, "
          f"{100 * (upstream / (crest + expected) - 1):+.3f} % of the level)")
    with open(os.path.join(work, "boogie-t")) as f:
        depths = [float(ln.split()[-1]) for ln in f.read().splitlines()[1:] if ln.split()]
    if len(depths) < 6:
        sys.exit(f"only {len(depths)} surface updates in boogie-t")
    moved = max(depths[-5:]) - min(depths[-5:])
    print(f"[ figures  ] {len(depths)} surface updates; the mean depth of the last five "
          f"spans {moved:.2e} m")
    if moved > 1e-5:
        sys.exit(f"the levels have not settled: the last updates moved the mean depth by {moved:.2e} m")
    if abs(head / expected - 1) > tol:
        sys.exit(f"the head upstream is {head:.5f} m, the weir law gives {expected:.5f} m")


def friction(work, case, tol):
    sets = read_control(os.path.join(case, "control"))
    points = read_koosurf(os.path.join(work, "koosurf.t"))
    i1 = weir(sets)[0]
    M = sets[("W", 1)][0]
    q = sets[("F", 237, 1)][0] / width(points)
    # Each grid line's mean x, bed and water level, from the one upstream of the weir to the
    # inflow.
    lines = []
    for i in range(i1 - 2, 0, -1):
        ps = [p for (pi, _), p in points.items() if pi == i]
        lines.append((sum(p[0] for p in ps) / len(ps), sum(p[2] for p in ps) / len(ps),
                      sum(p[3] for p in ps) / len(ps)))
    # Integrate the level from the downstream end, in small steps, with the bed interpolated
    # linearly between the grid lines.
    z = lines[0][2]
    for (x0, b0, _), (x1, b1, _) in zip(lines, lines[1:]):
        steps = 100
        for s in range(steps):
            xa = x0 + (x1 - x0) * s / steps
            bed = b0 + (b1 - b0) * (xa - x0) / (x1 - x0)
            h = z - bed
            z += q * q / (M * M * h ** (10 / 3)) * abs(x1 - x0) / steps
    expected = z - lines[0][2]
    rise = lines[-1][2] - lines[0][2]
    print(f"[ figures  ] rise from grid line {i1 - 2} to the inflow: {rise:.5f} m, "
          f"Manning-Strickler friction {expected:.5f} m ({100 * (rise / expected - 1):+.2f} %)")
    if abs(rise / expected - 1) > tol:
        sys.exit(f"the upstream reach rises by {rise:.5f} m, its friction asks for {expected:.5f} m")


def threads(work, case, n, tol):
    def water(points):
        return {k: p[3] for k, p in points.items()}

    first = water(read_koosurf(os.path.join(work, "koosurf.t")))
    with run_again(case, n) as again:
        second = water(read_koosurf(os.path.join(again, "koosurf.t")))
    diff = largest_difference(first, second)
    print(f"[ figures  ] water levels with F 206 {n} differ by at most {diff:.2e} m")
    if diff > tol:
        sys.exit(f"water levels differ by {diff:.3e} m between the thread counts")


def main():
    work, case, what, *args = sys.argv[1:]
    if what == "level":
        level(work, case, float(args[0]))
    elif what == "friction":
        friction(work, case, float(args[0]))
    elif what == "threads":
        threads(work, case, int(args[0]), float(args[1]))
    else:
        sys.exit(f"unknown check {what!r}")


if __name__ == "__main__":
    main()
