#!/usr/bin/env python3
"""Checks of the moving-bed cases, computed from the files a run leaves and from its inputs,
never from the program's own balance lines. run_case.py calls it through a `check` line:

    bed_checks.py WORK CASE mass SOLIDFRAC DENSITY TOL
        The bed volume gained (bedres against koosurf) times SOLIDFRAC is the sediment volume
        the water lost (con2res at the start against con2res.new at the end), within TOL of
        the volume at the start; the mass in kg is that volume times 1000 DENSITY.
    bed_checks.py WORK CASE slope TAN TOL
        No grid line of the bed (bedres) is steeper than TAN between two neighbouring grid
        points, by more than TOL metres, and the bed volume is the one of koosurf within
        1e-12 of the volume moved.
    bed_checks.py WORK CASE threads N TOL
        The case run again with F 206 N gives bed levels within TOL metres of the first run.
    bed_checks.py WORK CASE same-files N NAME...
        The case run again with F 206 N writes the files NAME... with the same numbers, each
        within one unit of its last printed digit.
    bed_checks.py WORK CASE trench SOLIDFRAC DEPTH INFLUX TOL
        The trench of koosurf, DEPTH metres deep, under a flow that brings INFLUX m2/s of
        sediment volume per metre of width: its upstream slope moves downstream at
        INFLUX / (DEPTH SOLIDFRAC) within TOL of that speed, and the trench keeps its volume
        less what it caught.

    bed_checks.py WORK CASE inlet XMAX TOL Q CIN SOLIDFRAC DENSITY MASSTOL
        A flume fed with Q m3/s of water carrying the volume concentration CIN: the bed of every
        grid point within XMAX metres of the inflow edge (bedres against koosurf) is within TOL
        metres of its start; and the sand that came in (Q CIN t x 1000 DENSITY, t the run's
        time) is the sand that went out (the outflow of the last continuity table) plus the
        bed's gain (bedres against koosurf, times SOLIDFRAC) plus what the water holds at the
        end (con2res.new; the water held none at the start), within MASSTOL of what came in.

    bed_checks.py WORK CASE armour SOLIDFRAC DENSITY TOL
        A layered bed of several sizes under clear water: for every size the defect of the
        last continuity table in boogie is within TOL of the mass that size's bed layers lost,
        and that loss is what the layers of bedres.t hold less than the stack at the start (the
        bed-to-non-erodible thickness with the fractions of the N data sets), within what the
        printed digits allow; the suspension of the table is what con2res.new holds; and the
        top layer of every column is coarser than at the start: its d50 has risen.

The grid of every case is a straight flume whose koosurf lines are "i j x y bed water".
"""
import contextlib
import math
import os
import shutil
import subprocess
import sys
import tempfile


def read_koosurf(path):
    """{(i, j): (x, y, bed, water)}."""
    points = {}
    with open(path) as f:
        for line in f:
            w = line.split()
            if len(w) == 6:
                points[(int(w[0]), int(w[1]))] = tuple(float(v) for v in w[2:])
    return points


def read_bedres(path):
    """{(i, j): bed level} of the grid-point lines of bedres (seven numbers, the first two
    integers: i j bottom-cell bed water non-erodible change)."""
    levels = {}
    with open(path) as f:
        lines = f.read().splitlines()
    head = lines[1].split()
    if head[0] != "K":
        sys.exit(f"{path}: the second line is not the size line")
    for line in lines[2:]:
        w = line.split()
        if len(w) == 7 and "." not in w[0] and "." not in w[1] and "." in w[2]:
            levels[(int(w[0]), int(w[1]))] = float(w[3])
    return levels


def read_con2res(path):
    """(number of cells, [total concentration of every cell])."""
    with open(path) as f:
        cells, sizes = (int(v) for v in f.readline().split())
        conc = []
        for line in f:
            w = line.split()
            if w:
                if len(w) != sizes + 1:
                    sys.exit(f"{path}: a line of {len(w)} values, {sizes + 1} expected")
                conc.append(sum(float(v) for v in w[1:]))
    if len(conc) != cells:
        sys.exit(f"{path}: {len(conc)} cells, the header says {cells}")
    return cells, conc


def columns(points):
    """The columns of the grid: (i, j) of their upper corner, their plan area and their four
    corners."""
    out = []
    for (i, j) in points:
        if (i - 1, j - 1) in points and (i - 1, j) in points and (i, j - 1) in points:
            x0, y0 = points[(i - 1, j - 1)][:2]
            x1, y1 = points[(i, j)][:2]
            out.append(((i, j), abs((x1 - x0) * (y1 - y0)),
                        [(i, j), (i - 1, j), (i - 1, j - 1), (i, j - 1)]))
    return out


def bed_volume(cols, level):
    """Volume under the bed over the flume, above level 0: each column's plan area times the
    mean of its corner levels (exact for the bilinear bed of a rectangular column)."""
    return sum(a * sum(level[k] for k in corners) / 4 for _, a, corners in cols)


def water_volume(cols, bed, water):
    return sum(a * sum(water[k] - bed[k] for k in corners) / 4 for _, a, corners in cols)


def flume_beds(work, case):
    """The columns of the case's koosurf, its bed and water levels at the start and the bed
    levels of bedres.t at the end."""
    points = read_koosurf(os.path.join(case, "koosurf"))
    bed0 = {k: p[2] for k, p in points.items()}
    water = {k: p[3] for k, p in points.items()}
    bed1 = read_bedres(os.path.join(work, "bedres.t"))
    missing = set(bed0) - set(bed1)
    if missing:
        sys.exit(f"bedres.t lacks the grid points {sorted(missing)[:5]}")
    return points, columns(points), bed0, water, bed1


def mass(work, case, solid, density, tol):
    _, cols, bed0, water, bed1 = flume_beds(work, case)
    # Every cell of a column holds the same share of its water: the flat flume's cells are
    # equal at the start, and at the end the bed has risen by a ten-thousandth of the depth
    # under a suspension of a millionth of the start, so the shares change nothing measurable.
    cells0, conc0 = read_con2res(os.path.join(case, "con2res"))
    cells1, conc1 = read_con2res(os.path.join(work, "con2res.new"))
    if cells0 != cells1:
        sys.exit(f"con2res has {cells0} cells and con2res.new {cells1}")
    susp0 = sum(conc0) * water_volume(cols, bed0, water) / cells0
    susp1 = sum(conc1) * water_volume(cols, bed1, water) / cells1
    grains = (bed_volume(cols, bed1) - bed_volume(cols, bed0)) * solid
    defect = (grains + susp1 - susp0) / susp0
    kg = 1000 * density
    print(f"[ figures  ] suspended at the start {susp0 * kg:.9g} kg, at the end {susp1 * kg:.3e} kg; "
          f"bed gained {grains * kg:.9g} kg; defect {defect:.2e} of the start")
    if not abs(defect) <= tol:
        sys.exit(f"the bed gained {grains:.9e} m3 of grains, the water lost {susp0 - susp1:.9e} m3: "
                 f"defect {defect:.2e}, more than {tol}")


def slope(work, case, tan, tol):
    points = read_koosurf(os.path.join(case, "koosurf"))
    cols = columns(points)
    bed0 = {k: p[2] for k, p in points.items()}
    bed1 = read_bedres(os.path.join(work, "bedres.t"))
    steepest0 = steepest1 = 0.0
    worst = 0.0
    for (i, j), p in points.items():
        for n in ((i + 1, j), (i, j + 1)):
            if n not in points:
                continue
            dist = math.hypot(points[n][0] - p[0], points[n][1] - p[1])
            steepest0 = max(steepest0, abs(bed0[n] - bed0[(i, j)]) / dist)
            s = abs(bed1[n] - bed1[(i, j)]) / dist
            steepest1 = max(steepest1, s)
            worst = max(worst, abs(bed1[n] - bed1[(i, j)]) - tan * dist)
    moved = sum(a * sum(abs(bed1[k] - bed0[k]) for k in corners) / 4 for _, a, corners in cols)
    change = bed_volume(cols, bed1) - bed_volume(cols, bed0)
    print(f"[ figures  ] steepest grid line {steepest0:.4f} before, {steepest1:.6f} after "
          f"(angle of repose {tan}); largest excess {worst:.2e} m; bed volume moved {moved:.6g} m3, "
          f"changed by {change:.2e} m3")
    if moved <= 0:
        sys.exit("nothing slid")
    if worst > tol:
        sys.exit(f"a grid line is steeper than {tan} by {worst:.3e} m")
    if abs(change) > 1e-12 * moved + 1e-13:
        sys.exit(f"the slide changed the bed volume by {change:.3e} m3 of {moved:.3e} m3 moved")


@contextlib.contextmanager
def run_again(case, n):
    """Runs the case again with F 206 N in a scratch folder and yields that folder."""
    with tempfile.TemporaryDirectory(prefix="qorva-threads-") as again:
        for name in os.listdir(case):
            if name != "expect":
                shutil.copy(os.path.join(case, name), again)
        with open(os.path.join(again, "control")) as f:
            lines = [ln for ln in f.read().splitlines() if not ln.startswith("F 206 ")]
        at = next(k for k, ln in enumerate(lines) if ln.startswith("F 2 "))
        lines.insert(at, f"F 206 {n}")
        with open(os.path.join(again, "control"), "w") as f:
            f.write("\n".join(lines) + "\n")
        proc = subprocess.run([os.environ["QORVA_BIN"]], cwd=again, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=1200)
        if proc.returncode != 1:
            sys.exit(f"the run with F 206 {n} ended with status {proc.returncode}")
        yield again


def last_digit(token):
    """One unit of the last printed digit of a number as written, e.g. 1e-6 for 0.123456 and
    1e-10 for 1.234567e-04."""
    mantissa, _, exponent = token.lower().partition("e")
    decimals = len(mantissa.partition(".")[2])
    return 10.0 ** (int(exponent or 0) - decimals)


def same_files(work, case, n, names):
    with run_again(case, n) as again:
        for name in names:
            with open(os.path.join(work, name)) as f:
                first = f.read().split()
            with open(os.path.join(again, name)) as f:
                second = f.read().split()
            if len(first) != len(second):
                sys.exit(f"{name}: {len(first)} words with one thread, {len(second)} with F 206 {n}")
            worst, differ = 0.0, 0
            for a, b in zip(first, second):
                if a == b:
                    continue
                try:
                    gap = abs(float(a) - float(b)) / max(last_digit(a), last_digit(b))
                except ValueError:
                    sys.exit(f"{name}: the word {a!r} with one thread is {b!r} with F 206 {n}")
                worst, differ = max(worst, gap), differ + 1
            print(f"[ figures  ] {name} with F 206 {n}: {differ} of {len(first)} numbers differ in "
                  f"print, by at most {worst:.2g} units of their last digit")
            if worst > 1:
                sys.exit(f"{name}: a number differs by {worst:.3g} units of its last digit with F 206 {n}")


def largest_difference(first, second):
    """Largest difference of the values of the same grid points of two runs."""
    if set(first) != set(second):
        sys.exit("the two runs wrote different grid points")
    return max(abs(first[k] - second[k]) for k in first)


def threads(work, case, n, tol):
    first = read_bedres(os.path.join(work, "bedres.t"))
    with run_again(case, n) as again:
        second = read_bedres(os.path.join(again, "bedres.t"))
    diff = largest_difference(first, second)
    moved = max(abs(v) for v in first.values())
    print(f"[ figures  ] bed levels with F 206 {n} differ by at most {diff:.2e} m "
          f"(largest level {moved:.3e} m)")
    if diff > tol:
        sys.exit(f"bed levels differ by {diff:.3e} m between the thread counts")


def profile(points, level, j):
    """Along the grid line j: (x, bed level) by x."""
    return sorted((p[0], level[k]) for k, p in points.items() if k[1] == j)


def crossing(prof, z, start):
    """The first x at or after start where the bed falls through level z."""
    for (x0, z0), (x1, z1) in zip(prof, prof[1:]):
        if x0 >= start and z0 >= z > z1:
            return x0 + (z0 - z) / (z0 - z1) * (x1 - x0)
    return None


def trench(work, case, solid, depth, influx, tol):
    points = read_koosurf(os.path.join(case, "koosurf"))
    bed0 = {k: p[2] for k, p in points.items()}
    bed1 = read_bedres(os.path.join(work, "bedres.t"))
    seconds = run_time(work)
    js = sorted({k[1] for k in points})
    p0, p1 = profile(points, bed0, js[len(js) // 2]), profile(points, bed1, js[len(js) // 2])
    start = next(x for (x, z), (_, z1) in zip(p0, p0[1:]) if z1 < z)  # where the trench begins
    # The upstream slope of the trench at the level half its depth below the original bed.
    half0, half1 = crossing(p0, -depth / 2, start), crossing(p1, -depth / 2, start)
    if half1 is None:
        sys.exit("the trench has filled above half its depth")
    upstream = [z for x, z in p1 if start - 6 <= x < start - 1]
    ref1 = sum(upstream) / len(upstream)
    low1, deepest1 = min((z, x) for x, z in p1 if x >= start)
    low0, deepest0 = min((z, x) for x, z in p0)
    depth1 = ref1 - low1
    speed = (half1 - half0) / seconds
    hand = influx / (depth * solid)
    print(f"[ figures  ] trench: upstream slope at {-depth / 2:.3f} m from x = {half0:.3f} m to "
          f"{half1:.3f} m in {seconds:.0f} s: {speed * 3600:.3f} m/h against influx / (depth "
          f"(1 - porosity)) = {hand * 3600:.3f} m/h ({(speed / hand - 1) * 100:+.1f} %); deepest "
          f"point from x = {deepest0:.1f} m to {deepest1:.1f} m; depth below the bed upstream "
          f"{depth:.3f} m -> {depth1:.4f} m (lowest level {low0:.4f} -> {low1:.4f} m)")
    if not (half1 > half0 and depth1 < depth):
        sys.exit("the trench did not fill and move downstream")
    if not abs(speed / hand - 1) <= tol:
        sys.exit(f"the trench moved at {speed:.3e} m/s, the hand estimate is {hand:.3e} m/s")


def run_time(work):
    """Seconds of the sediment run: the last "Time: %lf seconds" line of boogie."""
    t = None
    with open(os.path.join(work, "boogie"), encoding="latin-1") as f:
        for line in f:
            if line.startswith("Time: ") and line.rstrip().endswith("seconds"):
                t = float(line.split()[1])
    if t is None:
        sys.exit("boogie has no closing time line")
    return t


def last_table(work):
    """{size: [inflow, outflow, suspension, layer change, bed change, defect, defect2]} of the
    last per-size table of boogie."""
    with open(os.path.join(work, "boogie"), encoding="latin-1") as f:
        lines = f.read().splitlines()
    heads = [k for k, ln in enumerate(lines) if ln.startswith("Size  Inflow (kg)")]
    if not heads:
        sys.exit("boogie has no continuity table")
    table = {}
    for ln in lines[heads[-1] + 1:]:
        w = ln.split()
        if len(w) != 10 or "." in w[0]:
            break
        table[int(w[0])] = [float(v) for v in w[1:8]]
    return table


def sizes_and_fractions(case):
    """The grain sizes of the S data sets and the bed fractions of the N data sets, by size."""
    sizes, fractions = {}, {}
    with open(os.path.join(case, "control")) as f:
        for line in f:
            w = line.split()
            if len(w) >= 3 and w[0] == "S":
                sizes[int(w[1])] = float(w[2])
            elif len(w) >= 4 and w[0] == "N":
                fractions[int(w[2])] = float(w[3])
    if not sizes or set(sizes) != set(fractions):
        sys.exit("the control file does not give one S and one N data set per size")
    return sizes, fractions


def d50(fraction, size):
    """The diameter at which half the mixture is finer, on the cumulative curve through the
    middle of each size's share (its finer sizes plus half its own), linear in the diameter
    between neighbouring sizes, sizes numbered from the coarsest (1)."""
    n = len(size)
    finer = 0.0
    for k in range(n, 0, -1):
        point = finer + fraction[k] / 2
        if point > 0.5:
            if k == n:
                return size[n]
            break
        finer += fraction[k]
    else:
        k = 1
        point = finer - fraction[1] / 2
    w = 2 * (point - 0.5) / (fraction[k] + fraction[k + 1] + 1e-30)
    return w * size[k + 1] + (1 - w) * size[k]


def read_bed_layers(path, n):
    """[(bottom cell, [(thickness, {size: fraction}) from the top layer down])] of the bed-cell
    lines of bedres.t."""
    cells = []
    with open(path) as f:
        lines = f.read().splitlines()
    for line in lines[2:]:
        w = line.split()
        if len(w) <= 7:
            continue
        values = [float(v) for v in w[5:]]
        if len(values) % (n + 1):
            sys.exit(f"{path}: a bed-cell line of {len(values)} layer values for {n} sizes")
        layers = [(values[k], {l: values[k + l] for l in range(1, n + 1)})
                  for k in range(0, len(values), n + 1)]
        cells.append((int(w[1]), layers))
    return cells


def nonerodible(path):
    """{(i, j): non-erodible level} of the grid-point lines of bedres.t."""
    levels = {}
    with open(path) as f:
        for line in f.read().splitlines()[2:]:
            w = line.split()
            if len(w) == 7 and "." not in w[0] and "." not in w[1] and "." in w[2]:
                levels[(int(w[0]), int(w[1]))] = float(w[5])
    return levels


def armour(work, case, solid, density, tol):
    size, start = sizes_and_fractions(case)
    n = len(size)
    table = last_table(work)
    if sorted(table) != list(range(1, n + 1)):
        sys.exit(f"the continuity table has the sizes {sorted(table)}, the control file {n}")
    points = read_koosurf(os.path.join(case, "koosurf"))
    cols = columns(points)
    bedres = os.path.join(work, "bedres.t")
    floor = nonerodible(bedres)
    stacks = {k: points[k][2] - floor[k] for k in points}
    if max(stacks.values()) - min(stacks.values()) > 1e-9:
        sys.exit("the stack of bed layers is not equally thick everywhere: this check needs a flat flume")
    stack = sum(stacks.values()) / len(stacks)
    cells = [c for c in read_bed_layers(bedres, n) if c[0] > 0]
    if len(cells) != len(cols):
        sys.exit(f"bedres.t has {len(cells)} bed cells with water, the grid {len(cols)} columns")
    area = sum(a for _, a, _ in cols) / len(cols)
    kg = solid * 1000 * density * area
    # The bed each size lost: the stack at the start less the layers at the end, and what the
    # printed digits (six decimals) leave open.
    lost, slack = {}, {}
    for l in range(1, n + 1):
        lost[l] = sum(kg * (stack * start[l] - sum(t * f[l] for t, f in layers)) for _, layers in cells)
        slack[l] = sum(kg * 5e-7 * (1 + sum(t + f[l] for t, f in layers)) for _, layers in cells)
    # The suspension: the concentrations of con2res.new over equal cells of the unmoved grid.
    count, _ = read_con2res(os.path.join(work, "con2res.new"))
    water = water_volume(cols, {k: p[2] for k, p in points.items()}, {k: p[3] for k, p in points.items()})
    susp = {l: 0.0 for l in range(1, n + 1)}
    with open(os.path.join(work, "con2res.new")) as f:
        f.readline()
        for line in f:
            w = line.split()
            for l in range(1, n + 1):
                susp[l] += float(w[l]) * water / count * 1000 * density
    failures = []
    for l in range(1, n + 1):
        inflow, outflow, suspension, layers, _, defect, _ = table[l]
        moved = abs(layers)
        print(f"[ figures  ] size {l} ({size[l] * 1000:g} mm): the bed lost {-layers:.6g} kg "
              f"(bedres.t: {lost[l]:.6g} +- {slack[l]:.2g} kg), suspension {suspension:.6g} kg "
              f"(con2res.new: {susp[l]:.6g} kg), out {outflow:.6g} kg; defect {defect:.3g} kg, "
              f"{abs(defect) / (moved + 1e-300):.2e} of the moved mass")
        if not moved > 0:
            failures.append(f"size {l}: nothing left the bed")
        if not abs(defect) <= tol * moved:
            failures.append(f"size {l}: defect {defect:.3e} kg, more than {tol} of {moved:.6g} kg")
        if not abs(lost[l] + layers) <= slack[l] + 1e-5 * moved:
            failures.append(f"size {l}: the layers of bedres.t lost {lost[l]:.6g} kg, the table says {-layers:.6g} kg")
        if not abs(susp[l] - suspension) <= 1e-5 * abs(suspension) + 1e-9:
            failures.append(f"size {l}: con2res.new holds {susp[l]:.6g} kg, the table says {suspension:.6g} kg")
    d0 = d50(start, size)
    ends = []
    for _, layers in cells:
        top = next(((t, f) for t, f in layers if t > 0), None)
        if top is None:
            failures.append("a column has no bed layer left")
            continue
        ends.append(d50(top[1], size))
    if ends:
        print(f"[ figures  ] top-layer d50: {d0 * 1000:.4g} mm at the start, {min(ends) * 1000:.4g} to "
              f"{max(ends) * 1000:.4g} mm at the end over {len(ends)} columns")
        finer = [d for d in ends if not d > d0 * (1 + 1e-6)]
        if finer:
            failures.append(f"{len(finer)} columns did not coarsen: d50 {min(finer) * 1000:.4g} mm")
    if failures:
        sys.exit("\n".join(failures))


def inlet(work, case, xmax, tol, q, cin, solid, density, masstol):
    points, cols, bed0, water, bed1 = flume_beds(work, case)
    x0 = min(p[0] for p in points.values())
    near = [k for k, p in points.items() if p[0] - x0 <= xmax + 1e-9]
    worst = max(near, key=lambda k: abs(bed1[k] - bed0[k]))
    change = bed1[worst] - bed0[worst]
    kg = 1000 * density
    t = run_time(work)
    came = q * cin * t * kg
    left = last_table(work)[1][1]
    gained = (bed_volume(cols, bed1) - bed_volume(cols, bed0)) * solid * kg
    cells, conc = read_con2res(os.path.join(work, "con2res.new"))
    held = sum(conc) * water_volume(cols, bed1, water) / cells * kg
    defect = (came - left - gained - held) / came
    print(f"[ figures  ] inlet bed within {xmax} m of the inflow: largest change {change * 100:+.2f} cm "
          f"at grid point {worst}; sand in {came:.6g} kg, out {left:.6g} kg, bed {gained:+.5g} kg, "
          f"water {held:.5g} kg: defect {defect:.2e} of the inflow")
    failures = []
    if not abs(change) <= tol:
        failures.append(f"the bed at grid point {worst} moved {change:.4f} m, more than {tol} m")
    if not abs(defect) <= masstol:
        failures.append(f"the sand balance misses {defect:.2e} of the inflow, more than {masstol}")
    if failures:
        sys.exit("\n".join(failures))


def main():
    work, case, what, *args = sys.argv[1:]
    if what == "same-files":
        same_files(work, case, int(args[0]), args[1:])
        return
    values = [float(a) for a in args]
    if what == "mass":
        mass(work, case, *values)
    elif what == "slope":
        slope(work, case, *values)
    elif what == "threads":
        threads(work, case, int(values[0]), values[1])
    elif what == "trench":
        trench(work, case, *values)
    elif what == "armour":
        armour(work, case, *values)
    elif what == "inlet":
        inlet(work, case, *values)
    else:
        sys.exit(f"unknown check {what}")


if __name__ == "__main__":
    main()
