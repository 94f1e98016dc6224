#!/usr/bin/env bash
# The work of bench_data_rules done by R (data.table) and NumPy on the same file, medians
# of several runs, to set beside the benchmark's numbers (run them side by side: the
# machine's load moves both). Measurement tools only (Debian: r-base-core with
# r-cran-data.table, python3-numpy), never needed to build or run the program.
#   bench/rules_anchors.sh [DATAFILE]   (default: what bench/make_rules_data.py writes)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
file=${1:-/tmp/sorvel_bench_rules_1m.dat}
[ -f "$file" ] || /usr/bin/python3 "$here/make_rules_data.py" "$file" >/dev/null

echo "R $(Rscript -e 'cat(paste(R.version$major, R.version$minor, sep = "."))') with data.table:"
Rscript - "$file" <<'R'
suppressMessages(library(data.table))
options(warn = -1)
d <- fread(commandArgs(TRUE)[1])
# Median elapsed and CPU seconds of n runs (CPU too: on a loaded machine it moves less).
med <- function(n, f) {
  t <- replicate(n, system.time(f())[c("elapsed", "user.self", "sys.self")])
  c(median(t[1, ]), median(t[2, ] + t[3, ]))
}
# Process If 'Line in [1,3] or Shift = 2', missing X <= -99, LOG of Value.
t1 <- med(7, function() {
  x <- d$Value[d$Line %in% c(1, 3) | d$Shift == 2]
  x <- log(x[x > -99])
  stopifnot(length(x) > 0)
})
# Weight Cases by Weight (each case repeated by its rounded weight, at least once), then
# the Value column of the result.
t2 <- med(5, function() {
  w <- d[rep(seq_len(.N), pmax(1L, round(Weight)))]
  x <- w$Value
  stopifnot(length(x) > 1.9e6)
})
# Add Transformed Variable LOG of Value (missing rule on): texts written, parsed again.
t3 <- med(5, function() {
  y <- ifelse(d$Value > -99, log(d$Value), NA)
  s <- format(y, digits = 15)
  z <- as.numeric(s)
  stopifnot(length(z) == nrow(d))
})
cat(sprintf("  process-if + missing + LOG load  %.3f s (cpu %.3f s)\n", t1[1], t1[2]))
cat(sprintf("  weight cases + load              %.3f s (cpu %.3f s)\n", t2[1], t2[2]))
cat(sprintf("  add transformed LOG              %.3f s (cpu %.3f s)\n", t3[1], t3[2]))
R

echo "NumPy $(/usr/bin/python3 -c 'import numpy; print(numpy.__version__)'):"
/usr/bin/python3 - "$file" <<'PY'
import statistics, sys, time
import numpy as np

a = np.loadtxt(sys.argv[1], delimiter="\t", skiprows=1)
line, shift, weight, value = a[:, 0], a[:, 1], a[:, 2], a[:, 3]

def med(n, f):
    """Median elapsed and CPU seconds of n runs, as "0.123 s (cpu 0.100 s)"."""
    wall, cpu = [], []
    for _ in range(n):
        t, c = time.perf_counter(), time.process_time()
        f()
        wall.append(time.perf_counter() - t)
        cpu.append(time.process_time() - c)
    return f"{statistics.median(wall):.3f} s (cpu {statistics.median(cpu):.3f} s)"

def load():
    x = value[np.isin(line, (1, 3)) | (shift == 2)]
    x = np.log(x[x > -99])
    assert x.size > 0

def weigh():
    w = a[np.repeat(np.arange(len(a)), np.maximum(1, np.rint(weight)).astype(np.int64))]
    x = np.ascontiguousarray(w[:, 3])
    assert x.size > 1.9e6

def add_transformed():
    y = np.log(np.where(value > -99, value, np.nan))
    s = ["" if t != t else repr(t) for t in y.tolist()]
    z = np.array([float(t) if t else np.nan for t in s])
    assert z.size == len(a)

print(f"  process-if + missing + LOG load  {med(7, load)}")
print(f"  weight cases + load              {med(5, weigh)}")
print(f"  add transformed LOG              {med(5, add_transformed)}")
PY
