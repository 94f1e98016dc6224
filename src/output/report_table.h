// Aligned columns of a report: labels, values, p-values and degrees of freedom, each
// column as wide as its widest cell (widths count characters, not UTF-8 bytes), so that
// reports do not pad strings by hand. Cells are formatted with the number rules of
// numerics/format.h.
#pragma once

#include <string>
#include <vector>

namespace sorvel {

class TReportTable {
 public:
  enum class TAlign { Left, Right };

  // gap: blanks between columns; indent: blanks before the first.
  explicit TReportTable(int gap = 2, int indent = 0) : gap_(gap), indent_(indent) {}

  void AddColumn(std::string heading, TAlign align);
  // One cell per column; missing cells are empty.
  void AddRow(std::vector<std::string> cells);

  // A value with the user's number format and the report's decimals; a missing value
  // (MissingValue) or an undefined one (NaN) is an empty cell, the not-available 999
  // prints as "999".
  static std::string Value(double x, int decimals);
  // A count or degrees of freedom: whole numbers print without decimals.
  static std::string Count(double n);
  // A p-value: 3 decimals and "*" when p <= alpha, a blank otherwise (constant width).
  static std::string PValue(double p, double alpha);

  // The heading line (when any column has a heading) and one line per row, trailing
  // blanks removed.
  std::vector<std::string> Lines() const;
  // WriteLine of each line into the current report.
  void Write() const;

 private:
  struct TColumn {
    std::string Heading;
    TAlign Align = TAlign::Left;
  };
  int gap_, indent_;
  std::vector<TColumn> columns_;
  std::vector<std::vector<std::string>> rows_;
};

// Characters of a UTF-8 text (what a fixed-width report font shows).
int DisplayWidth(const std::string& text);

}  // namespace sorvel
