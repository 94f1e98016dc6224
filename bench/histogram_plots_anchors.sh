#!/usr/bin/env bash
# The work of bench_histogram_plots done by R on 1,000,000 N(10, 2) values, medians of
# several runs, elapsed and CPU seconds, to set beside the benchmark's numbers (run them
# side by side: the machine's load moves both). A measurement tool only (Debian:
# r-base-core), never needed to build or run the program.
#   bench/histogram_plots_anchors.sh
set -euo pipefail

echo "R $(Rscript -e 'cat(paste(R.version$major, R.version$minor, sep = "."))'):"
Rscript - <<'R'
set.seed(20261210)
x <- rnorm(1e6, 10, 2)
g <- factor(rep(1:10, length.out = length(x)))
med <- function(n, f) {
  t <- replicate(n, system.time(f())[c("elapsed", "user.self", "sys.self")])
  c(median(t[1, ]), median(t[2, ] + t[3, ]))
}
out <- function(label, t) cat(sprintf("  %-34s %.3f s elapsed  %.3f s CPU\n", label, t[1], t[2]))
f <- tempfile()
out("hist(x, plot = FALSE)", med(7, function() hist(x, plot = FALSE)))
out("sort(x)", med(7, function() sort(x)))
out("png() + hist(x)", med(5, function() { png(paste0(f, ".png"), 1600, 1000); hist(x); dev.off() }))
out("svg() + hist(x)", med(5, function() { svg(paste0(f, ".svg")); hist(x); dev.off() }))
out("boxplot(x ~ g, plot = FALSE)", med(5, function() boxplot(x ~ g, plot = FALSE)))
out("png() + boxplot(x ~ g)", med(3, function() { png(paste0(f, ".png"), 1600, 1000); boxplot(x ~ g); dev.off() }))
out("svg() + boxplot(x ~ g)", med(3, function() { svg(paste0(f, ".svg")); boxplot(x ~ g); dev.off() }))
R
