#!/usr/bin/env bash
# R drawing the points of bench_chart_render: 100,000 individuals (normal, mean 50, SD 2,
# a fixed seed) over their moving ranges, each panel as line + points + three limits,
# 1 % of the points red, into a 1600 x 1000 PNG (anti-aliased cairo, and without
# anti-aliasing), an SVG and a PDF. Prints elapsed and CPU seconds and the file sizes, to
# set beside the benchmark's numbers (run them side by side: the machine's load moves
# both). A measurement tool only (Debian: r-base-core), never needed to build or run the
# program.
#   bench/chart_anchors.sh [--quick]     --quick leaves out the anti-aliased PNG (~20 s)
set -euo pipefail
quick=${1:-}

echo "R $(Rscript -e 'cat(paste(R.version$major, R.version$minor, sep = "."))'):"
QUICK="$quick" Rscript - <<'R'
set.seed(20261210)
n <- 1e5
x <- rnorm(n, 50, 2)
mr <- c(NA, abs(diff(x)))
col <- ifelse(seq_len(n) %% 100 == 38, "red", "blue")
draw <- function() {
  par(mfrow = c(2, 1), mar = c(2, 4, 2, 1))
  plot(x, type = "l", col = "blue", ylab = "X", main = "Individuals and Moving Range Chart: Diameter")
  points(x, col = col, pch = 19, cex = 0.6)
  abline(h = c(44, 50, 56), col = c("red", "green", "red"))
  plot(mr, type = "l", col = "blue", ylab = "MR")
  points(mr, col = col, pch = 19, cex = 0.6)
  abline(h = c(0, 2.256, 7.37), col = c("red", "green", "red"))
}
run <- function(label, file, open) {
  t <- system.time({ open(file); draw(); invisible(dev.off()) })
  cat(sprintf("  %-28s %6.2f s elapsed %6.2f s CPU %8.1f MB\n", label, t[["elapsed"]],
              t[["user.self"]] + t[["sys.self"]], file.size(file) / 1e6))
}
dir <- tempdir()
if (Sys.getenv("QUICK") != "--quick")
  run("png() cairo", file.path(dir, "a.png"),
      function(f) png(f, 1600, 1000, type = "cairo"))
run("png() antialias = none", file.path(dir, "b.png"),
    function(f) png(f, 1600, 1000, type = "cairo", antialias = "none"))
run("svg()", file.path(dir, "c.svg"), function(f) svg(f, 1600 / 96, 1000 / 96))
run("pdf()", file.path(dir, "d.pdf"), function(f) pdf(f, 1600 / 96, 1000 / 96))
R
