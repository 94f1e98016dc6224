# Reference values of tests/hypothesis/crosstabs_test.cpp (R 4.2, vcd 1.4).
# Rscript tests/hypothesis/r/crosstabs.R
suppressMessages(library(vcd))
options(digits = 17)
# A table is typed as its rows, as the window shows it.
tab <- function(...) do.call(rbind, list(...))
lambda <- function(m) (sum(apply(m, 1, max)) - max(colSums(m))) / (sum(m) - max(colSums(m)))
kappa0 <- function(m) {  # kappa, its SE under kappa = 0, z, one-sided p
  n <- sum(m); p <- m / n; r <- rowSums(p); k <- colSums(p)
  pc <- sum(r * k); po <- sum(diag(p))
  se0 <- sqrt(pc + pc^2 - sum(r * k * (r + k))) / (1 - pc) / sqrt(n)
  kap <- (po - pc) / (1 - pc)
  c(po = po, pc = pc, kmax = (sum(pmin(r, k)) - pc) / (1 - pc), z = kap / se0,
    p = pnorm(kap / se0, lower.tail = FALSE))
}
show <- function(label, m) {
  cat("==", label, "\n")
  x <- suppressWarnings(chisq.test(m, correct = FALSE))
  cat("chisq", x$statistic, "df", x$parameter, "p", x$p.value, "\n")
  cat("V", assocstats(m)$cramer, "lambda", lambda(m), "\n")
  if (nrow(m) == ncol(m)) {
    k <- Kappa(m)
    cat("kappa", k$Unweighted, "CI95", confint(k)[1, ], "CI90", confint(k, level = 0.9)[1, ], "\n")
    print(kappa0(m))
    if (nrow(m) > 2) {
      b <- suppressWarnings(mcnemar.test(m))
      cat("bowker", b$statistic, b$parameter, b$p.value, "\n")
    }
  }
  if (all(dim(m) == 2) && sum(m) < 1e7) {
    cat("fisher", fisher.test(m)$p.value, "mcnemar exact", binom.test(m[1, 2], m[1, 2] + m[2, 1])$p.value, "\n")
  }
}
show("10,20 / 30,40", tab(c(10, 20), c(30, 40)))
show("7,0 / 21,19", tab(c(7, 0), c(21, 19)))
show("3x3", tab(c(20, 5, 3), c(10, 15, 2), c(8, 6, 25)))
show("symmetric 3x3", tab(c(10, 3, 2), c(3, 10, 4), c(2, 4, 10)))
show("1.5e9 each", tab(c(1.5e9, 1.5e9), c(1.5e9, 1.5e9)))
cat("== empty row dropped: 10,0 / 0,10\n")
x <- chisq.test(tab(c(10, 0), c(0, 10)), correct = FALSE)
cat("chisq", x$statistic, "df", x$parameter, "p", x$p.value, "V", assocstats(tab(c(10, 0), c(0, 10)))$cramer, "\n")
cat("== one row 12,7,5 against equal shares\n")
x <- chisq.test(c(12, 7, 5))
cat("chisq", x$statistic, "df", x$parameter, "p", x$p.value, "\n")
cat("== kappa of columns 1,2,3 by rows 2,3,4: matched 2 and 3 (columns 2,3 / rows 1,2)\n")
m <- tab(c(4, 9, 2), c(1, 3, 8), c(5, 2, 6))  # rows 2,3,4; columns 1,2,3
n <- sum(m); R <- colSums(m)[2:3]; C <- rowSums(m)[1:2]; O <- c(m[1, 2], m[2, 3])
pc <- sum(R * C) / n^2; po <- sum(O) / n
cat("po", po, "pc", pc, "kappa", (po - pc) / (1 - pc), "\n")
