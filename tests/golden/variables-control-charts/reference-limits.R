# Base R, the limit formulas of the variables chart written out by hand for the golden
# cases mean-range, mean-s and individuals-sets (run from the repository root:
# Rscript tests/golden/variables-control-charts/reference-limits.R).
d <- read.delim("examples/process.sorvel", skip = 5, header = FALSE, col.names = c("Subgroup", "Diameter", "Machine", "Shift", "Date"), na.strings = "")
d <- d[!is.na(d$Diameter), ]
d2 <- c(NA, 1.12838, 1.69257, 2.05875, 2.32593); d3 <- c(NA, 0.8525, 0.8884, 0.8798, 0.8641)
c4 <- function(n) exp(0.5 * log(2 / (n - 1)) + lgamma(n / 2) - lgamma((n - 1) / 2))
g <- split(d$Diameter, d$Subgroup); n <- sapply(g, length); m <- sapply(g, mean); r <- sapply(g, function(x) diff(range(x))); s <- sapply(g, sd)
cl <- sum(n * m) / sum(n); B <- mean(r / d2[n])
cat(sprintf("mean-range: CL %.6f UCL(n=4) %.6f LCL(n=4) %.6f R CL(n=4) %.6f R UCL(n=4) %.6f\n", cl, cl + 3 * B / 2, cl - 3 * B / 2, B * d2[4], B * (d2[4] + 3 * d3[4])))
Sc <- sum(n * s / c4(n)) / sum(n)
cat(sprintf("mean-s: UCL(n=4) %.6f s CL(n=4) %.6f s UCL(n=4) %.6f\n", cl + 3 * Sc / 2, Sc * c4(4), Sc * (c4(4) + 3 * sqrt(1 - c4(4)^2))))
x <- d$Diameter; set <- d$Date
for (st in unique(set)[1:2]) { v <- x[set == st]; mr <- sapply(3:length(v), function(j) diff(range(v[(j-2):j]))); sg <- mean(mr) / d2[3]
  cat(sprintf("individuals-sets %d: CL %.6f UCL %.6f MR CL %.6f MR UCL %.6f\n", st, mean(v), mean(v) + 3 * sg, mean(mr), sg * (d2[3] + 3 * d3[3]))) }
