#!/usr/bin/env bash
# The work of bench_oneway done by R on 1,000,000 normal values in 10 groups: the analysis
# of variance (oneway.test with equal variances, and anova(lm())), then with Levene's test
# (car::leveneTest, centre the mean), Bartlett's test and TukeyHSD; median of five runs,
# elapsed and CPU seconds. Run it beside the benchmark (the machine's load moves both).
# A measurement tool only (Debian: r-base-core, r-cran-car), never needed to build or run
# the program.
#   bench/oneway_anchors.sh
set -euo pipefail
Rscript - <<'R'
suppressMessages(library(car))
set.seed(20261210)
g <- factor(1 + (0:999999) %% 10)
y <- 50 + 0.01 * as.integer(g) + rnorm(1e6)
time <- function(label, f) {
  t <- replicate(5, system.time(f())[c("elapsed", "user.self", "sys.self")])
  cat(sprintf("R %s.%s: %-40s %.3f s elapsed, %.3f s CPU (median of 5)\n", R.version$major,
              R.version$minor, label, median(t[1, ]), median(t[2, ] + t[3, ])))
}
time("oneway.test(var.equal = TRUE)", function() oneway.test(y ~ g, var.equal = TRUE))
time("anova(lm())", function() anova(lm(y ~ g)))
time("car::leveneTest(center = mean)", function() leveneTest(y ~ g, center = mean))
time("bartlett.test", function() bartlett.test(y ~ g))
time("TukeyHSD(aov())", function() TukeyHSD(aov(y ~ g)))
R
