#!/usr/bin/env python3
"""Writes the koosurf (and con2res) inputs of the moving-bed cases into the case folders.

    make_bed_inputs.py closed FOLDER   20 x 2 columns of 1 m x 0.5 m, flat bed at 0, water at
                                       0.3 m; con2res: 4 cells a column, the first 12 columns of
                                       the cell numbering hold 1e-4 of sand, the rest none
    make_bed_inputs.py pile FOLDER     20 x 4 columns of 0.5 m, water at 0.5 m, flat bed at 0
                                       with a pile of 0.25 m on the grid point (11, 3)
    make_bed_inputs.py armour FOLDER   20 x 2 columns of 1 m x 0.5 m, flat bed at 0, water at
                                       0.3 m (koosurf only: the water comes in clear)
    make_bed_inputs.py trench FOLDER   40 x 2 columns of 1 m x 0.5 m, bed at 0, water at 0.3 m,
                                       a trench 0.1 m deep from x = 8 to 16 m with 1 m slopes
    make_bed_inputs.py inlet FOLDER    24 x 2 columns of 1 m x 0.5 m, flat bed at 0, water at
                                       0.39 m
"""
import os
import sys


def koosurf(path, nx, ny, dx, dy, bed, water):
    with open(path, "w") as f:
        for i in range(1, nx + 2):
            for j in range(1, ny + 2):
                x, y = (i - 1) * dx, (j - 1) * dy
                f.write(f"{i} {j} {x:.6f} {y:.6f} {bed(i, j, x) + 0.0:.6f} {water:.6f}\n")


def main():
    what, folder = sys.argv[1], sys.argv[2]
    path = os.path.join(folder, "koosurf")
    if what == "closed":
        nx, ny, cells = 20, 2, 4
        koosurf(path, nx, ny, 1.0, 0.5, lambda i, j, x: 0.0, 0.3)
        with open(os.path.join(folder, "con2res"), "w") as f:
            f.write(f"{nx * ny * cells} 1\n")
            for c in range(nx * ny * cells):
                v = 1e-4 if c // cells < 12 else 0.0
                f.write(f"{v:e} {v:e}\n")
    elif what == "armour":
        koosurf(path, 20, 2, 1.0, 0.5, lambda i, j, x: 0.0, 0.3)
    elif what == "pile":
        koosurf(path, 20, 4, 0.5, 0.5, lambda i, j, x: 0.25 if (i, j) == (11, 3) else 0.0, 0.5)
    elif what == "trench":
        def bed(i, j, x):
            d = 0.1
            if x <= 8 or x >= 16:
                return 0.0
            return -d * min(1.0, (x - 8) / 1.0, (16 - x) / 1.0)
        koosurf(path, 40, 2, 1.0, 0.5, bed, 0.3)
    elif what == "inlet":
        koosurf(path, 24, 2, 1.0, 0.5, lambda i, j, x: 0.0, 0.39)
    else:
        sys.exit(f"unknown input set {what}")


if __name__ == "__main__":
    main()
