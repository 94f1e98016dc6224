#!/usr/bin/env bash
# The work of bench_frequency_plot done by R on 1,000,000 normal values in 10 groups: the
# class counts of every group over shared breaks (table(cut()) and, per group,
# hist(plot = FALSE)), and the histogram counts of all values; median of five runs,
# elapsed and CPU seconds. Run it beside the benchmark (the machine's load moves both).
# A measurement tool only (Debian: r-base-core), never needed to build or run the program.
#   bench/frequency_plot_anchors.sh
set -euo pipefail
Rscript - <<'R'
set.seed(20261210)
g <- factor(1 + (0:999999) %% 10)
y <- 50 + 0.01 * as.integer(g) + rnorm(1e6)
br <- pretty(range(y), 20)
time <- function(label, f) {
  t <- replicate(5, system.time(f())[c("elapsed", "user.self", "sys.self")])
  cat(sprintf("R %s.%s: %-44s %.3f s elapsed, %.3f s CPU (median of 5)\n", R.version$major,
              R.version$minor, label, median(t[1, ]), median(t[2, ] + t[3, ])))
}
time("hist(y, plot = FALSE)", function() hist(y, plot = FALSE))
time("table(cut(y, br, right = FALSE), g)", function() table(cut(y, br, right = FALSE), g))
time("tapply(y, g, hist(breaks = br, plot = FALSE))",
     function() tapply(y, g, function(v) hist(v, breaks = br, plot = FALSE)$counts))
R
