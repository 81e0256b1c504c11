#!/usr/bin/env python3
"""Writes the koosurf file of a sloping rectangular flume with a flat water surface.

Each line is "i j x y bed-level water-level" for one grid point. The bed falls with the
slope from 0 at the inflow end; the water surface is flat at the level that gives the
outlet depth at the downstream end, so the run starts away from uniform flow everywhere
but at the outlet. With nx columns along and ny across, i runs 1..nx+1 and j runs
1..ny+1, so G 1 needs xnumber = nx + 3 and ynumber = ny + 3 (at least the largest index
plus 2).

Usage: python3 make_koosurf.py [--nx 40] [--ny 4] [--length 20] [--width 2]
                               [--outlet-depth 0.2] [--slope 0.001] [--out koosurf]
"""
import argparse


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--nx", type=int, default=40, help="columns along the flume")
    p.add_argument("--ny", type=int, default=4, help="columns across the flume")
    p.add_argument("--length", type=float, default=20.0, help="m")
    p.add_argument("--width", type=float, default=2.0, help="m")
    p.add_argument("--outlet-depth", type=float, default=0.2, help="m, depth at the outlet")
    p.add_argument("--slope", type=float, default=0.001, help="bed slope (drop / length)")
    p.add_argument("--out", default="koosurf")
    a = p.parse_args()

    dx = a.length / a.nx
    dy = a.width / a.ny
    level = -a.slope * a.length + a.outlet_depth
    with open(a.out, "w") as f:
        for i in range(1, a.nx + 2):
            x = (i - 1) * dx
            bed = -a.slope * x + 0.0  # + 0.0 turns -0.0 into 0.0
            for j in range(1, a.ny + 2):
                y = (j - 1) * dy
                f.write(f"{i} {j} {x:.6f} {y:.6f} {bed:.6f} {level:.6f}\n")


if __name__ == "__main__":
    main()
