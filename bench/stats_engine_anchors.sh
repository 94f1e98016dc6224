#!/usr/bin/env bash
# The work of bench_stats_engine done by R and NumPy/SciPy on 1,000,000 standard normal
# values, medians of several runs, to set beside the benchmark's numbers (run them side
# by side: the machine's load moves both). Measurement tools only (Debian: r-base-core,
# r-cran-e1071, r-cran-nortest, python3-numpy, python3-scipy), never needed to build or
# run the program.
#   bench/stats_engine_anchors.sh
set -euo pipefail

echo "R $(Rscript -e 'cat(paste(R.version$major, R.version$minor, sep = "."))'):"
Rscript - <<'R'
suppressMessages({ library(e1071); library(nortest) })
set.seed(20261210)
x <- rnorm(1e6)
# Elapsed and CPU (user + system) seconds: on a loaded machine the CPU time is the one to
# set beside the benchmark's CPU column.
med <- function(n, f) {
  t <- replicate(n, system.time(f())[c("elapsed", "user.self", "sys.self")])
  c(median(t[1, ]), median(t[2, ] + t[3, ]))
}
# 'S': sort and quartiles (type 6, as the engine), mean, SD, moments, G1, G2.
tq <- med(7, function() quantile(x, c(.25, .5, .75), type = 6))
ts <- med(7, function() {
  q <- quantile(x, c(.25, .5, .75), type = 6)
  m <- mean(x); s <- sd(x)
  d <- c(mean(abs(x - m)), mean(abs(x - q[2])))
  g <- c(skewness(x, type = 2), kurtosis(x, type = 2))
})
# 'T' adds the normality tests; R's shapiro.test stops at 5,000 values, so A-D alone.
ta <- med(5, function() ad.test(x))
cat(sprintf("  quantile(type = 6)                 %.3f s elapsed  %.3f s CPU\n", tq[1], tq[2]))
cat(sprintf("  'S' quartiles+mean+sd+MAD+G1+G2    %.3f s elapsed  %.3f s CPU\n", ts[1], ts[2]))
cat(sprintf("  nortest::ad.test                   %.3f s elapsed  %.3f s CPU\n", ta[1], ta[2]))
R

echo "NumPy $(/usr/bin/python3 -c 'import numpy; print(numpy.__version__)'), SciPy $(/usr/bin/python3 -c 'import scipy; print(scipy.__version__)'):"
/usr/bin/python3 - <<'PY'
import statistics, time
import numpy as np
from scipy import stats

x = np.random.default_rng(20261210).standard_normal(1_000_000)

def med(n, f):
    wall, cpu = [], []
    for _ in range(n):
        t, c = time.perf_counter(), time.process_time()
        f()
        wall.append(time.perf_counter() - t)
        cpu.append(time.process_time() - c)
    return statistics.median(wall), statistics.median(cpu)

def s_code():
    y = np.sort(x)
    q = np.percentile(y, [25, 50, 75], method="weibull")  # R's type 6
    m, s = y.mean(), y.std(ddof=1)
    d = (np.abs(y - m).mean(), np.abs(y - q[1]).mean())
    g = (stats.skew(y, bias=False), stats.kurtosis(y, bias=False))

print("  'S' sort+quartiles+mean+sd+MAD+G1+G2  %.3f s elapsed  %.3f s CPU" % med(7, s_code))
print("  scipy.stats.anderson               %.3f s elapsed  %.3f s CPU" % med(5, lambda: stats.anderson(x)))
PY
