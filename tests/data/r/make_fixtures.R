# Writes the CSV fixtures as R writes them, and what R's read.csv reads back from them.
# Run once from this folder (Rscript make_fixtures.R); the tests only read the results.
#
#   NAME.csv           write.csv(NAME, "NAME.csv")
#   NAME.expected.tsv  one line per column of read.csv("NAME.csv"):
#                      name, "numeric" or "character", number of NA, then every value
#                      (numbers with 17 significant digits, NA as NA), tab-separated
for (name in c("airquality", "mtcars", "ToothGrowth")) {
  write.csv(get(name), paste0(name, ".csv"))
  back <- read.csv(paste0(name, ".csv"))
  lines <- vapply(names(back), function(col) {
    x <- back[[col]]
    type <- if (is.numeric(x)) "numeric" else "character"
    values <- if (is.numeric(x)) ifelse(is.na(x), "NA", sprintf("%.17g", x)) else ifelse(is.na(x), "NA", x)
    paste(c(col, type, sum(is.na(x)), values), collapse = "\t")
  }, "")
  writeLines(lines, paste0(name, ".expected.tsv"))
}
