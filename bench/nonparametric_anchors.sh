#!/usr/bin/env bash
# The work of bench_nonparametric done by R on 1,000,000 cases of the same design (R's own
# generator, so the values differ but not their kind): Wilcoxon-Mann-Whitney of two groups
# of 500,000, the signed-ranks test of 1,000,000 pairs, Kruskal-Wallis of ten groups and
# Spearman's test of 1,000,000 pairs, each as the program computes it (normal
# approximation without continuity correction); median of 5 runs, elapsed and CPU seconds.
# Run it beside the benchmark (the machine's load moves both). A measurement tool only
# (Debian: r-base-core), never needed to build or run the program.
#   bench/nonparametric_anchors.sh
set -euo pipefail
Rscript - <<'R'
set.seed(20261210)
i <- 0:999999
a <- 10 + rnorm(1e6); b <- a / 2 + 5 + rnorm(1e6); g <- 1 + i %% 10; h <- 1 + i %% 2
time5 <- function(label, f) {
  t <- replicate(5, system.time(f())[c("elapsed", "user.self", "sys.self")])
  cat(sprintf("R %s.%s %-40s %.3f s elapsed, %.3f s CPU (median of 5)\n", R.version$major,
              R.version$minor, label, median(t[1, ]), median(t[2, ] + t[3, ])))
}
time5("wilcox.test, 500,000 + 500,000", function()
  wilcox.test(a[h == 1], a[h == 2], exact = FALSE, correct = FALSE))
time5("wilcox.test paired, 1,000,000 pairs", function()
  wilcox.test(a, b, paired = TRUE, exact = FALSE, correct = FALSE))
time5("kruskal.test, 10 groups", function() kruskal.test(a, g))
time5("cor.test spearman, 1,000,000 pairs", function()
  cor.test(a, b, method = "spearman", exact = FALSE))
R
