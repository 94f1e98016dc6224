#!/usr/bin/env bash
# The work of bench_mean_dispersion done by R on two columns of 1,000,000 normal values:
# Welch's and the pooled t.test, var.test, and the Levene and ADM(n-1) deviation t-tests
# (absolute deviations from the mean; from the median without the median observation),
# median of several runs, elapsed and CPU seconds. Run it beside the benchmark (the
# machine's load moves both). A measurement tool only (Debian: r-base-core), never needed
# to build or run the program.
#   bench/mean_dispersion_anchors.sh
set -euo pipefail
Rscript - <<'R'
set.seed(20261210)
a <- 10 + rnorm(1e6); b <- 10.5 + 2 * rnorm(1e6)
adm <- function(x) { s <- sort(x); d <- abs(s - median(x)); k <- (length(x) + 1) %/% 2; d[k] <- d[length(d)]; d[-length(d)] }
work <- function() {
  r <- c(t.test(a, b)$statistic, t.test(a, b, var.equal = TRUE)$statistic, var.test(a, b)$statistic,
         cor(a, b),
         t.test(abs(a - mean(a)), abs(b - mean(b)), var.equal = TRUE)$statistic,
         t.test(adm(a), adm(b), var.equal = TRUE)$statistic)
}
t <- replicate(5, system.time(work())[c("elapsed", "user.self", "sys.self")])
cat(sprintf("R %s.%s: means, variances, r12, Levene, ADM: %.3f s elapsed, %.3f s CPU (median of 5)\n",
            R.version$major, R.version$minor, median(t[1, ]), median(t[2, ] + t[3, ])))
R
