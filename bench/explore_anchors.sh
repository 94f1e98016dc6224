#!/usr/bin/env bash
# The work of bench_explore done by R on 1,000,000 normal values in 10 groups: n, mean,
# standard deviation, smallest and largest value for all values and for every group, then
# the type-6 quartiles (with the extremes and the median) likewise; median of five runs,
# elapsed and CPU seconds. Run it beside the benchmark (the machine's load moves both).
# A measurement tool only (Debian: r-base-core), never needed to build or run the program.
#   bench/explore_anchors.sh
set -euo pipefail
Rscript - <<'R'
set.seed(20261210)
g <- factor(1 + (0:999999) %% 10)
y <- 50 + 0.01 * as.integer(g) + rnorm(1e6)
time <- function(label, f) {
  t <- replicate(5, system.time(f())[c("elapsed", "user.self", "sys.self")])
  cat(sprintf("R %s.%s: %-44s %.3f s elapsed, %.3f s CPU (median of 5)\n", R.version$major,
              R.version$minor, label, median(t[1, ]), median(t[2, ] + t[3, ])))
}
describe <- function(x) c(length(x), mean(x), sd(x), min(x), max(x))
quartiles <- function(x) c(length(x), quantile(x, c(0, .25, .5, .75, 1), type = 6))
time("n, mean, sd, low, high: all and per group", function() {
  describe(y)
  lapply(split(y, g), describe)
})
time("type-6 quartiles: all and per group", function() {
  quartiles(y)
  lapply(split(y, g), quartiles)
})
R
