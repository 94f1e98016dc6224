#!/usr/bin/env python3
"""Writes the data file of the data-rules benchmarks (bench_data_rules, rules_anchors.sh):
1,000,000 cases, tab-separated with a names line, CR LF line ends (about 23 MB):

  Line    1..4, uniform
  Shift   1..3, uniform
  Weight  1..3, uniform (Weight Cases makes about 2,000,000 cases of it)
  Value   Normal(50, 5) with 4 decimals; 0.1 % of the cases hold -99 (missing by rule)
  Other   uniform 0..100 with 4 decimals

  bench/make_rules_data.py [PATH]   (default /tmp/sorvel_bench_rules_1m.dat)

Seeded, so every run writes the same file. Standard library only.
"""
import random
import sys

ROWS = 1_000_000
path = sys.argv[1] if len(sys.argv) > 1 else "/tmp/sorvel_bench_rules_1m.dat"
rng = random.Random(20261210)
with open(path, "w", newline="") as f:
    f.write("Line\tShift\tWeight\tValue\tOther\r\n")
    lines = []
    for _ in range(ROWS):
        value = "-99" if rng.random() < 0.001 else f"{rng.gauss(50.0, 5.0):.4f}"
        lines.append(f"{rng.randint(1, 4)}\t{rng.randint(1, 3)}\t{rng.randint(1, 3)}\t"
                     f"{value}\t{rng.uniform(0.0, 100.0):.4f}\r\n")
        if len(lines) == 100_000:
            f.write("".join(lines))
            lines.clear()
    f.write("".join(lines))
print(path)
