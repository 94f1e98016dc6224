#!/usr/bin/env bash
# The work of bench_control_charts done by base R, vectorised, on 200,000 subgroups of 5
# N(10, 2) values (medians of 7 runs), to set beside the benchmark's numbers (run them side
# by side: the machine's load moves both). A measurement tool only (Debian: r-base-core),
# never needed to build or run the program.
#   bench/control_charts_anchors.sh
set -euo pipefail

echo "R $(Rscript -e 'cat(paste(R.version$major, R.version$minor, sep = "."))'):"
Rscript - <<'R'
set.seed(20261210)
x <- matrix(rnorm(1e6, 10, 2), nrow = 5)
med <- function(n, f) median(replicate(n, system.time(f())[["elapsed"]]))
# window sums over the last L points: cumsum differences
win <- function(v, L) { c <- cumsum(v); c(rep(NA, L - 1), c[L:length(c)] - c(0, c)[1:(length(c) - L + 1)]) }
chart <- function() {
  # subgroup statistics: means, ranges (pmax/pmin over the rows), limits
  m <- colMeans(x)
  r <- pmax(x[1, ], x[2, ], x[3, ], x[4, ], x[5, ]) - pmin(x[1, ], x[2, ], x[3, ], x[4, ], x[5, ])
  h <- mean(m); sigma <- mean(r) / 2.32593; se <- sigma / sqrt(5)
  ucl <- h + 3 * se; lcl <- h - 3 * se
  # the nine tests on the means by window sums
  z <- (m - h) / se
  t1 <- m > ucl | m < lcl
  t2 <- abs(win(sign(z), 8)) == 8
  d <- c(0, sign(diff(m)))
  t3 <- abs(win(d, 5)) == 5
  out1 <- abs(z) > 1
  t4 <- win(out1, 8) == 8 & win(z > 1, 8) > 0 & win(z < -1, 8) > 0
  t5 <- win(abs(z) < 1, 15) == 15
  alt <- c(0, -d[-1] * d[-length(d)] > 0)  # a turn at the previous point
  t6 <- win(alt, 12) == 12
  t7 <- win(out1, 5) == 4
  t8 <- win(abs(z) > 2, 3) == 2
  t9 <- c(FALSE, abs(diff(m)) > 3.6864 * se)
  # the range chart's limits and test 1
  rbar <- mean(r); rl <- rbar + 3 * 0.8641 * sigma
  r1 <- r > rl
  sum(t1, t2, t3, t4, t5, t6, t7, t8, t9, r1, na.rm = TRUE)
}
cat(sprintf("  Mean/Range limits and nine tests, 200,000 subgroups of 5   %.3f s\n", med(7, chart)))
R
