#include "output/report_table.h"

#include <algorithm>
#include <cmath>

#include "numerics/common.h"
#include "numerics/format.h"
#include "output/report_writer.h"

namespace sorvel {

int DisplayWidth(const std::string& text) {
  int n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80 ? 1 : 0;  // skip continuation bytes
  return n;
}

void TReportTable::AddColumn(std::string heading, TAlign align) {
  columns_.push_back({std::move(heading), align});
}

void TReportTable::AddRow(std::vector<std::string> cells) {
  cells.resize(std::max(cells.size(), columns_.size()));
  rows_.push_back(std::move(cells));
}

std::string TReportTable::Value(double x, int decimals) {
  if (!IsPresent(x) || std::isnan(x)) return "";
  if (x == NotAvailable) return "999";
  return FormatReal(x, decimals);
}

std::string TReportTable::Count(double n) {
  if (!IsPresent(n)) return "";
  if (n == std::floor(n) && std::fabs(n) < 1e15) return FormatReal(n, 0);
  return FormatGeneral(n);
}

std::string TReportTable::PValue(double p, double alpha) { return PValueCell(p, alpha); }

std::vector<std::string> TReportTable::Lines() const {
  const std::size_t ncol =
      std::max(columns_.size(), rows_.empty() ? std::size_t{0} : rows_.front().size());
  std::vector<int> width(ncol, 0);
  bool headings = false;
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    width[c] = DisplayWidth(columns_[c].Heading);
    headings = headings || !columns_[c].Heading.empty();
  }
  for (const auto& row : rows_)
    for (std::size_t c = 0; c < row.size() && c < ncol; ++c)
      width[c] = std::max(width[c], DisplayWidth(row[c]));

  auto line = [&](auto cellOf) {
    std::string out = Blanks(indent_);
    for (std::size_t c = 0; c < ncol; ++c) {
      const std::string cell = cellOf(c);
      const int pad = width[c] - DisplayWidth(cell);
      const bool right = c < columns_.size() && columns_[c].Align == TAlign::Right;
      if (c > 0) out += Blanks(gap_);
      out += right ? Blanks(pad) + cell : cell + Blanks(pad);
    }
    out.erase(out.find_last_not_of(' ') + 1);
    return out;
  };
  std::vector<std::string> lines;
  if (headings)
    lines.push_back(line(
        [&](std::size_t c) { return c < columns_.size() ? columns_[c].Heading : std::string(); }));
  for (const auto& row : rows_)
    lines.push_back(line([&](std::size_t c) { return c < row.size() ? row[c] : std::string(); }));
  return lines;
}

void TReportTable::Write() const {
  for (const auto& l : Lines()) WriteLine(l);
}

}  // namespace sorvel
