#!/usr/bin/env bash
# The work of bench_crosstabs done by R: table() of two 10-level columns of 1,000,000
# cases (B agrees with A half the time) with chisq.test, vcd::assocstats, vcd::Kappa and
# mcnemar.test; and fisher.test of a 2x2 table with 1e6 in every cell. Median of 5 runs,
# elapsed and CPU seconds. Run it beside the benchmark (the machine's load moves both). A
# measurement tool only (Debian: r-base-core, r-cran-vcd), never needed to build or run
# the program.
#   bench/crosstabs_anchors.sh
set -euo pipefail
Rscript - <<'R'
suppressMessages(library(vcd))
set.seed(20261210)
a <- sample.int(10, 1e6, replace = TRUE)
b <- ifelse(runif(1e6) < 0.5, a, sample.int(10, 1e6, replace = TRUE))
work <- function() {
  m <- table(a, b)
  list(chisq.test(m, correct = FALSE)$p.value, assocstats(m)$cramer, Kappa(m), mcnemar.test(m)$p.value)
}
t <- replicate(5, system.time(work())[c("elapsed", "user.self", "sys.self")])
tt <- replicate(5, system.time(table(a, b))[c("elapsed", "user.self", "sys.self")])
f <- replicate(5, system.time(fisher.test(matrix(1e6, 2, 2)))[c("elapsed", "user.self", "sys.self")])
v <- sprintf("R %s.%s", R.version$major, R.version$minor)
cat(sprintf("%s: table(a, b): %.3f s elapsed, %.3f s CPU (median of 5)\n", v, median(tt[1, ]), median(tt[2, ] + tt[3, ])))
cat(sprintf("%s: table and all statistics: %.3f s elapsed, %.3f s CPU (median of 5)\n", v, median(t[1, ]), median(t[2, ] + t[3, ])))
cat(sprintf("%s: fisher.test, 1e6 per cell: %.3f s elapsed, %.3f s CPU (median of 5)\n", v, median(f[1, ]), median(f[2, ] + f[3, ])))
R
