#!/usr/bin/env bash
# The work of bench_attribute_charts done by base R, vectorised: a p chart of 100,000 lots
# of 50 to 150 units (defectives Binomial(n, 0.04)), exact limits by qbinom per lot and
# test 1 (medians of 7 runs). Run it beside the benchmark: the machine's load moves both.
# A measurement tool only (Debian: r-base-core), never needed to build or run the program.
#   bench/attribute_charts_anchors.sh
set -euo pipefail

echo "R $(Rscript -e 'cat(paste(R.version$major, R.version$minor, sep = "."))'):"
Rscript - <<'R'
set.seed(20261210)
n <- sample(50:150, 1e5, replace = TRUE)
d <- rbinom(1e5, n, 0.04)
# elapsed and CPU (user + system) seconds, medians: on a loaded machine the CPU time is
# what compares with the benchmark's CPU column
med <- function(k, f) {
  t <- replicate(k, { s <- system.time(f()); c(s[["elapsed"]], s[["user.self"]] + s[["sys.self"]]) })
  sprintf("%.3f s elapsed, %.3f s CPU", median(t[1, ]), median(t[2, ]))
}
e <- pnorm(-3)
chart <- function() {
  pbar <- sum(d) / sum(n)
  ucl <- (qbinom(e, n, pbar, lower.tail = FALSE) + 0.5) / n
  l <- qbinom(e, n, pbar)
  lcl <- ifelse(l > 0, (l - 0.5) / n, NA)
  p <- d / n
  sum(p > ucl | (!is.na(lcl) & p < lcl))
}
cat(sprintf("  p chart, exact limits per lot and test 1: %s (points out: %d)\n", med(7, chart), chart()))
chart_per_n <- function() {
  # the same limits worked out once per distinct n
  pbar <- sum(d) / sum(n)
  u <- sort(unique(n))
  ucl <- ((qbinom(e, u, pbar, lower.tail = FALSE) + 0.5) / u)[match(n, u)]
  p <- d / n
  sum(p > ucl)
}
cat(sprintf("  the same, limits once per n:             %s\n", med(7, chart_per_n)))
R
