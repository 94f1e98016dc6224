# Limits of the golden cases on examples/defects.sorvel, from R (4.2.2):
#   Rscript tests/golden/attributes-control-charts/reference.R
# Exact limits are half-integers: the UCL is (qbinom(e, n, p, lower.tail = FALSE) + 0.5)/n,
# the LCL (qbinom(e, n, p) - 0.5)/n when that count is above 0 (qpois likewise).
# Printed (and in the .txt files):
#   p  n 200 UCL 0.0825 LCL 0.0025; n 250 UCL 0.078 LCL 0.006; n 300 UCL 0.075 LCL 0.008333
#   c  UCL 21.5 LCL 1.5 (c-bar 10.33333)
#   u  n 200 UCL 0.1025 LCL 0.0075; n 250 UCL 0.094 LCL 0.01 (Defects)
#   np normal approximation, n 200: 7.343284 +- 3 sqrt(7.343284 (1 - 0.03671642))
#   p, average moving range, k = 2: 0.03671642 +- 2 mean(abs(diff(p)))/1.12838
d <- read.delim("examples/defects.sorvel", skip = 2, header = FALSE,
                col.names = c("Lot", "Inspected", "Defective", "Defects"))
e <- pnorm(-3)
pbar <- sum(d$Defective) / sum(d$Inspected)
for (n in c(200, 250, 300))
  cat("p n", n, "UCL", (qbinom(e, n, pbar, lower.tail = FALSE) + 0.5) / n,
      "LCL", (qbinom(e, n, pbar) - 0.5) / n, "\n")
cbar <- mean(d$Defects)
cat("c UCL", qpois(e, cbar, lower.tail = FALSE) + 0.5, "LCL", qpois(e, cbar) - 0.5, "\n")
ubar <- sum(d$Defects) / sum(d$Inspected)
for (n in c(200, 250, 300))
  cat("u n", n, "UCL", (qpois(e, ubar * n, lower.tail = FALSE) + 0.5) / n,
      "LCL", (qpois(e, ubar * n) - 0.5) / n, "\n")
cat("np n 200 normal UCL", 200 * pbar + 3 * sqrt(200 * pbar * (1 - pbar)),
    "LCL", 200 * pbar - 3 * sqrt(200 * pbar * (1 - pbar)), "\n")
p <- d$Defective / d$Inspected
D <- mean(abs(diff(p))) / 1.12838
cat("p avg MR k 2 UCL", pbar + 2 * D, "LCL", pbar - 2 * D, "\n")
