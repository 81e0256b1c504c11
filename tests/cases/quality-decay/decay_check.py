#!/usr/bin/env python3
"""A substance that decays at k = 0.002 1/s (Q 2 with its own component) enters the flume of
flume-flow at 1.0; at the mean velocity U = Q / A = 0.0667 m/s the steady field is
exp(-k x / U). The first column's centre lies 0.5 m, the last 9.5 m from the inlet: the largest
value is checked against exp(-k 0.5 / U) and the ratio of the smallest to the largest against
exp(-k 9 / U), each within 2 %. Arguments: the scratch folder, the case folder."""
import math
import os
import sys

scratch = sys.argv[1]
values = [float(line.split()[0]) for line in open(os.path.join(scratch, "compres")) if line.strip()]
k, U = 0.002, 0.03 / (1.5 * 0.3)
first = math.exp(-k * 0.5 / U)
ratio = math.exp(-k * 9.0 / U)
hi, lo = max(values), min(values)
print(f"largest {hi:.4f} (exp: {first:.4f}), ratio {lo / hi:.4f} (exp: {ratio:.4f})")
ok = abs(hi / first - 1) < 0.02 and abs((lo / hi) / ratio - 1) < 0.02
sys.exit(0 if ok else 1)
