#include "data/text_grid.h"

#include <algorithm>
#include <limits>

namespace sorvel {

TTextGrid::TTextGrid(int cols, int rows) { SetSize(cols, rows); }

int TTextGrid::NewPhysical() { return NextPhysical_++; }

void TTextGrid::SetColCount(int cols) {
  cols = std::max(cols, 0);
  int old = ColCount();
  if (cols < old) {
    ColMap_.resize(cols);
    return;
  }
  for (int c = old; c < cols; ++c) {
    // A column added at the end keeps the identity map while the physical numbering
    // still matches (rows stored before may hold cells there only if they were wider).
    if (IdentityMap_ && NextPhysical_ == c) {
      ColMap_.push_back(NewPhysical());
    } else {
      IdentityMap_ = false;
      ColMap_.push_back(-1);
    }
  }
}

void TTextGrid::SetRowCount(int rows) {
  rows = std::max(rows, 0);
  Rows_.resize(rows);
}

void TTextGrid::SetSize(int cols, int rows) {
  SetColCount(cols);
  SetRowCount(rows);
}

std::string_view TTextGrid::View(int c, int r) const {
  if (r < 0 || r >= RowCount() || c < 0 || c >= ColCount()) return {};
  if (c == 0 && r > 0 && NumberedRows_) {
    NumberCache_ = std::to_string(r);
    return NumberCache_;
  }
  int p = ColMap_[c];
  if (p < 0) return {};
  const TRow& row = Rows_[r];
  if (row.IsEdited) {
    const auto& cells = Edited_[row.CellStart];
    return static_cast<size_t>(p) < cells.size() ? std::string_view(cells[p]) : std::string_view();
  }
  if (p >= row.CellCount) return {};
  const std::uint16_t* ends = Ends_.data() + row.CellStart;
  std::uint32_t b = p == 0 ? 0 : ends[p - 1];
  std::uint32_t e = ends[p];
  return std::string_view(Text_.data() + row.TextStart + b, e - b);
}

std::vector<std::string>& TTextGrid::EditRow(int r) {
  TRow& row = Rows_[r];
  if (row.IsEdited) return Edited_[row.CellStart];
  std::vector<std::string> cells(row.CellCount);
  const std::uint16_t* ends = Ends_.data() + row.CellStart;
  for (int p = 0; p < row.CellCount; ++p) {
    std::uint32_t b = p == 0 ? 0 : ends[p - 1];
    cells[p].assign(Text_.data() + row.TextStart + b, ends[p] - b);
  }
  Edited_.push_back(std::move(cells));
  row.IsEdited = 1;
  row.CellStart = static_cast<std::uint32_t>(Edited_.size() - 1);
  row.CellCount = 0;
  return Edited_.back();
}

void TTextGrid::SetCell(int c, int r, std::string_view text) {
  if (r < 0 || r >= RowCount() || c < 0 || c >= ColCount()) return;
  int p = ColMap_[c];
  if (p < 0) {
    if (text.empty()) return;
    p = ColMap_[c] = NewPhysical();
  }
  auto& cells = EditRow(r);
  if (static_cast<size_t>(p) >= cells.size()) {
    if (text.empty()) return;
    cells.resize(p + 1);
  }
  cells[p].assign(text);
}

void TTextGrid::InsertRows(int at, int n) {
  if (n <= 0) return;
  at = std::clamp(at, 0, RowCount());
  Rows_.insert(Rows_.begin() + at, n, TRow());
}

void TTextGrid::DeleteRows(int at, int n) {
  if (at < 0 || at >= RowCount() || n <= 0) return;
  n = std::min(n, RowCount() - at);
  for (int r = at; r < at + n; ++r)
    if (Rows_[r].IsEdited) std::vector<std::string>().swap(Edited_[Rows_[r].CellStart]);
  Rows_.erase(Rows_.begin() + at, Rows_.begin() + at + n);
}

void TTextGrid::InsertCols(int at, int n) {
  if (n <= 0) return;
  at = std::clamp(at, 0, ColCount());
  if (at < ColCount()) IdentityMap_ = false;
  if (at == ColCount()) {
    SetColCount(ColCount() + n);
    return;
  }
  ColMap_.insert(ColMap_.begin() + at, n, -1);
}

void TTextGrid::DeleteCols(int at, int n) {
  if (at < 0 || at >= ColCount() || n <= 0) return;
  n = std::min(n, ColCount() - at);
  if (at + n < ColCount()) IdentityMap_ = false;
  ColMap_.erase(ColMap_.begin() + at, ColMap_.begin() + at + n);
}

void TTextGrid::ClearCells() {
  int cols = ColCount(), rows = RowCount();
  Text_.clear();
  Ends_.clear();
  Rows_.clear();
  Edited_.clear();
  ColMap_.clear();
  NextPhysical_ = 0;
  IdentityMap_ = true;
  SetSize(cols, rows);
}

void TTextGrid::AppendRow(std::span<const std::string_view> cells, int firstCol) {
  int width = firstCol + static_cast<int>(cells.size());
  if (width > ColCount()) SetColCount(width);
  size_t total = 0;
  for (auto c : cells) total += c.size();
  TRow row;
  bool compact = IdentityMap_ && width <= std::numeric_limits<std::uint16_t>::max() &&
                 total <= std::numeric_limits<std::uint16_t>::max() &&
                 Ends_.size() + width <= std::numeric_limits<std::uint32_t>::max();
  if (!compact) {
    Rows_.push_back(row);
    int r = RowCount() - 1;
    for (size_t i = 0; i < cells.size(); ++i)
      if (!cells[i].empty()) SetCell(firstCol + static_cast<int>(i), r, cells[i]);
    return;
  }
  row.TextStart = Text_.size();
  row.CellStart = static_cast<std::uint32_t>(Ends_.size());
  row.CellCount = static_cast<std::uint16_t>(width);
  for (int i = 0; i < firstCol; ++i) Ends_.push_back(0);
  std::uint32_t end = 0;
  for (auto c : cells) {
    Text_.insert(Text_.end(), c.begin(), c.end());
    end += static_cast<std::uint32_t>(c.size());
    Ends_.push_back(static_cast<std::uint16_t>(end));
  }
  Rows_.push_back(row);
}

void TTextGrid::Reserve(std::size_t textBytes, std::size_t rows, std::size_t cells) {
  Text_.reserve(Text_.size() + textBytes);
  Rows_.reserve(Rows_.size() + rows);
  Ends_.reserve(Ends_.size() + cells);
}

std::size_t TTextGrid::MemoryBytes() const {
  size_t n = Text_.capacity() + Ends_.capacity() * sizeof(std::uint16_t) +
             Rows_.capacity() * sizeof(TRow) + ColMap_.capacity() * sizeof(int);
  for (const auto& e : Edited_) {
    n += sizeof(e) + e.capacity() * sizeof(std::string);
    for (const auto& s : e) n += s.capacity() > 15 ? s.capacity() : 0;
  }
  return n;
}

}  // namespace sorvel
