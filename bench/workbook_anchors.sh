#!/usr/bin/env bash
# The same workbook read by Python's openpyxl and R's openxlsx, beside bench_workbook's
# numbers. Both are measurement tools only (Debian: python3-openpyxl, r-cran-openxlsx),
# never needed to build or run the program.
#   bench/workbook_anchors.sh [WORKBOOK]   (default: the file bench_workbook --write-only makes)
set -euo pipefail
book=${1:-/tmp/sorvel_bench_1m_x10.xlsx}
[ -f "$book" ] || { echo "no $book: run bench_workbook --write-only first" >&2; exit 1; }
echo "openpyxl (read-only mode, every value):"
/usr/bin/python3 - "$book" <<'PY'
import sys, time, openpyxl
t = time.perf_counter()
wb = openpyxl.load_workbook(sys.argv[1], read_only=True, data_only=True)
rows = [r for r in wb.worksheets[0].iter_rows(values_only=True)]
print(f"  {len(rows) - 1} rows x {len(rows[0])} columns in {time.perf_counter() - t:.1f} s")
PY
echo "openxlsx::read.xlsx:"
Rscript -e 'b <- commandArgs(TRUE)[1]; t <- system.time(d <- openxlsx::read.xlsx(b)); cat(sprintf("  %d rows x %d columns in %.1f s\n", nrow(d), ncol(d), t[["elapsed"]]))' "$book"
