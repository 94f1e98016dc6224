#include "data/text_grid.h"

#include <algorithm>
#include <cstring>
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
  if (row.CountFlags & EditedFlag) {
    const auto& cells = Edited_[row.CellStart];
    return static_cast<size_t>(p) < cells.size() ? std::string_view(cells[p]) : std::string_view();
  }
  int i = p - ((row.CountFlags & SkipFirstFlag) ? 1 : 0);
  if (i < 0 || i >= (row.CountFlags & CountMask)) return {};
  std::uint32_t b = i == 0 ? 0 : CellEnd(row, i - 1);
  std::uint32_t e = CellEnd(row, i);
  return std::string_view(Text_.data() + TextStart(row) + b, e - b);
}

void TTextGrid::RowViews(int r, int first, int last, std::string_view* out) const {
  const TRow* row = r >= 0 && r < RowCount() ? &Rows_[r] : nullptr;
  if (row && IdentityMap_ && !(row->CountFlags & EditedFlag) && first >= 1 && last < ColCount()) {
    const int skip = (row->CountFlags & SkipFirstFlag) ? 1 : 0;
    const int count = row->CountFlags & CountMask;
    const char* text = Text_.data() + TextStart(*row);
    std::uint32_t b =
        first - skip - 1 >= 0 && first - skip - 1 < count ? CellEnd(*row, first - skip - 1) : 0;
    for (int c = first; c <= last; ++c) {
      int i = c - skip;
      if (i >= count) {
        out[c - first] = {};
        continue;
      }
      std::uint32_t e = CellEnd(*row, i);
      out[c - first] = std::string_view(text + b, e - b);
      b = e;
    }
    return;
  }
  for (int c = first; c <= last; ++c) out[c - first] = View(c, r);
}

std::uint32_t TTextGrid::CellEnd(const std::vector<std::uint8_t>& ends, const TRow& row, int i) {
  if (row.CountFlags & WideFlag) {
    std::uint16_t e;
    std::memcpy(&e, ends.data() + row.CellStart + 2 * std::size_t(i), 2);
    return e;
  }
  return ends[row.CellStart + i];
}

std::uint32_t TTextGrid::CellEnd(const TRow& row, int i) const { return CellEnd(Ends_, row, i); }

TTextGrid::TRow TTextGrid::StoredRow(std::uint64_t textStart, int count, bool wide, bool skipFirst,
                                     std::uint32_t cellStart) {
  TRow row;
  row.TextLo = static_cast<std::uint32_t>(textStart);
  row.TextHi = static_cast<std::uint16_t>(textStart >> 32);
  row.CountFlags =
      static_cast<std::uint16_t>(count | (wide ? WideFlag : 0) | (skipFirst ? SkipFirstFlag : 0));
  row.CellStart = cellStart;
  return row;
}

bool TTextGrid::FitsStored(int count, std::size_t textBytes, std::size_t endsHeld,
                           std::size_t textHeld) {
  return count <= CountMask && textBytes <= 0xFFFF &&
         endsHeld + std::size_t(count) * 2 <= 0xFFFFFFFFu && textHeld < (std::uint64_t(1) << 48);
}

void TTextGrid::PutEnds(std::vector<std::uint8_t>& ends, std::span<const std::string_view> cells,
                        bool wide) {
  const std::size_t at = ends.size();
  ends.resize(at + cells.size() * (wide ? 2 : 1));
  std::uint8_t* out = ends.data() + at;
  std::uint32_t end = 0;
  for (auto c : cells) {
    end += static_cast<std::uint32_t>(c.size());
    if (wide) {
      const std::uint16_t v = static_cast<std::uint16_t>(end);
      std::memcpy(out, &v, 2);
      out += 2;
    } else {
      *out++ = static_cast<std::uint8_t>(end);
    }
  }
}

std::size_t TTextGrid::LiveTextBytes() const {
  std::size_t n = 0;
  for (const TRow& row : Rows_) {
    if (row.CountFlags & EditedFlag) {
      for (const auto& cell : Edited_[row.CellStart]) n += cell.size();
    } else if (const int count = row.CountFlags & CountMask; count > 0) {
      n += CellEnd(row, count - 1);
    }
  }
  return n;
}

std::vector<std::string>& TTextGrid::EditRow(int r) {
  TRow& row = Rows_[r];
  if (row.CountFlags & EditedFlag) return Edited_[row.CellStart];
  const int first = (row.CountFlags & SkipFirstFlag) ? 1 : 0;
  const int count = row.CountFlags & CountMask;
  std::vector<std::string> cells(first + count);
  for (int i = 0; i < count; ++i) {
    std::uint32_t b = i == 0 ? 0 : CellEnd(row, i - 1);
    cells[first + i].assign(Text_.data() + TextStart(row) + b, CellEnd(row, i) - b);
  }
  Edited_.push_back(std::move(cells));
  row.CountFlags = EditedFlag;
  row.CellStart = static_cast<std::uint32_t>(Edited_.size() - 1);
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
    if (Rows_[r].CountFlags & EditedFlag)
      std::vector<std::string>().swap(Edited_[Rows_[r].CellStart]);
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
  // Column 0 is not stored when the row starts further right.
  const int first = firstCol >= 1 ? 1 : 0;
  const int count = width - first;
  if (!IdentityMap_ || !FitsStored(count, total, Ends_.size(), Text_.size())) {
    Rows_.push_back(TRow());
    int r = RowCount() - 1;
    for (size_t i = 0; i < cells.size(); ++i)
      if (!cells[i].empty()) SetCell(firstCol + static_cast<int>(i), r, cells[i]);
    return;
  }
  const bool wide = total > 255;
  const TRow row =
      StoredRow(Text_.size(), count, wide, first != 0, static_cast<std::uint32_t>(Ends_.size()));
  const std::string_view none;
  for (int i = 0; i < firstCol - first; ++i) PutEnds(Ends_, {&none, 1}, wide);
  for (auto c : cells) Text_.insert(Text_.end(), c.begin(), c.end());
  PutEnds(Ends_, cells, wide);
  Rows_.push_back(row);
}

void TTextGrid::AppendRowRaw(std::string_view text, std::span<const std::uint32_t> ends,
                             int firstCol) {
  const int n = static_cast<int>(ends.size());
  const int width = firstCol + n;
  const int first = firstCol >= 1 ? 1 : 0;
  const int count = width - first;
  const size_t total = text.size();
  if (!(IdentityMap_ && width <= ColCount() &&
        FitsStored(count, total, Ends_.size(), Text_.size()))) {
    std::vector<std::string_view> cells(n);
    for (int i = 0; i < n; ++i) {
      std::uint32_t b = i == 0 ? 0 : ends[i - 1];
      cells[i] = text.substr(b, ends[i] - b);
    }
    AppendRow(cells, firstCol);
    return;
  }
  const bool wide = total > 255;
  const TRow row =
      StoredRow(Text_.size(), count, wide, first != 0, static_cast<std::uint32_t>(Ends_.size()));
  Text_.insert(Text_.end(), text.begin(), text.end());
  const int leading = firstCol - first;
  const size_t at = Ends_.size();
  Ends_.resize(at + std::size_t(count) * (wide ? 2 : 1));
  std::uint8_t* out = Ends_.data() + at;
  if (wide) {
    for (int i = 0; i < leading; ++i, out += 2) std::memset(out, 0, 2);
    for (int i = 0; i < n; ++i, out += 2) {
      std::uint16_t v = static_cast<std::uint16_t>(ends[i]);
      std::memcpy(out, &v, 2);
    }
  } else {
    for (int i = 0; i < leading; ++i) *out++ = 0;
    for (int i = 0; i < n; ++i) *out++ = static_cast<std::uint8_t>(ends[i]);
  }
  Rows_.push_back(row);
}

void TTextGrid::EditRows(int first, int last,
                         const std::function<void(int r, std::span<std::string_view> cells)>& edit,
                         std::size_t extraTextBytes) {
  const int cols = ColCount(), rows = RowCount();
  first = std::max(first, 0);
  last = std::min(last, rows - 1);
  // The new buffers are built beside the old ones (whose texts the views point into) and
  // then take their place; physical columns become the logical ones again.
  std::vector<char> text;
  std::vector<std::uint8_t> ends;
  std::vector<TRow> newRows(rows);
  std::vector<std::vector<std::string>> edited;
  text.reserve(LiveTextBytes() + extraTextBytes);
  ends.reserve(Ends_.size());
  std::vector<std::string_view> cells(cols);
  for (int r = 0; r < rows; ++r) {
    const bool numbered = NumberedRows_ && r > 0;
    if (cols > 1) RowViews(r, 1, cols - 1, cells.data() + 1);
    if (cols > 0) cells[0] = numbered ? std::string_view() : View(0, r);
    if (r >= first && r <= last) {
      edit(r, std::span<std::string_view>(cells));
      if (numbered) cells[0] = {};
    }
    int n = cols;
    while (n > 0 && cells[n - 1].empty()) --n;
    const int skip = n > 0 && cells[0].empty() ? 1 : 0;
    const std::span<const std::string_view> stored(cells.data() + skip, std::size_t(n - skip));
    std::size_t total = 0;
    for (auto c : stored) total += c.size();
    if (!FitsStored(n - skip, total, ends.size(), text.size())) {
      newRows[r].CountFlags = EditedFlag;
      newRows[r].CellStart = static_cast<std::uint32_t>(edited.size());
      edited.emplace_back(cells.begin(), cells.begin() + n);
      continue;
    }
    const bool wide = total > 255;
    newRows[r] =
        StoredRow(text.size(), n - skip, wide, skip != 0, static_cast<std::uint32_t>(ends.size()));
    // One resize a row, then plain copies (an insert a cell costs more than the copy).
    std::size_t at = text.size();
    text.resize(at + total);
    for (auto c : stored) {
      if (!c.empty()) std::memcpy(text.data() + at, c.data(), c.size());
      at += c.size();
    }
    PutEnds(ends, stored, wide);
  }
  Text_.swap(text);
  Ends_.swap(ends);
  Rows_.swap(newRows);
  Edited_.swap(edited);
  ColMap_.resize(cols);
  for (int c = 0; c < cols; ++c) ColMap_[c] = c;
  NextPhysical_ = cols;
  IdentityMap_ = true;
}

void TTextGrid::AppendRowCopies(std::span<const std::int32_t> sources) {
  const std::size_t held = Rows_.size();
  Rows_.reserve(held + sources.size());
  for (const std::int32_t src : sources) {
    if (src < 0 || static_cast<std::size_t>(src) >= held) {
      Rows_.push_back(TRow());
      continue;
    }
    TRow row = Rows_[std::size_t(src)];
    if (row.CountFlags & EditedFlag) {
      // An edited row's strings are its own: the copy gets a copy of them.
      Edited_.push_back(Edited_[row.CellStart]);
      row.CellStart = static_cast<std::uint32_t>(Edited_.size() - 1);
    }
    Rows_.push_back(row);
  }
}

void TTextGrid::ReserveText(std::size_t textBytes) { Text_.reserve(Text_.size() + textBytes); }

void TTextGrid::ReserveRows(std::size_t rows) {
  std::size_t held = std::max<std::size_t>(Rows_.size(), 1);
  Rows_.reserve(Rows_.size() + rows);
  Ends_.reserve(Ends_.size() +
                static_cast<std::size_t>(double(Ends_.size()) / double(held) * double(rows)));
}

std::size_t TTextGrid::MemoryBytes() const {
  size_t n = Text_.capacity() + Ends_.capacity() + Rows_.capacity() * sizeof(TRow) +
             ColMap_.capacity() * sizeof(int);
  for (const auto& e : Edited_) {
    n += sizeof(e) + e.capacity() * sizeof(std::string);
    for (const auto& s : e) n += s.capacity() > 15 ? s.capacity() : 0;
  }
  return n;
}

}  // namespace sorvel
