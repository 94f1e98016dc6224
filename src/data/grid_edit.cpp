#include "data/grid_edit.h"

#include <algorithm>

#include "data/cell_text.h"
#include "data/data_state.h"
#include "numerics/format.h"

namespace sorvel {

namespace {

constexpr const char* DescLabels[5] = {"", "Title:", "USL:", "Target:", "LSL:"};

// Clipboard text as lines; CR LF, LF and CR all end a line, and a final line break adds
// no empty line.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

enum class TShape { Cell, Row, Column, Block };

TShape ShapeOf(int width, int height) {
  if (width <= 1 && height <= 1) return TShape::Cell;
  if (height <= 1) return TShape::Row;
  if (width <= 1) return TShape::Column;
  return TShape::Block;
}

// The clipboard block: rows of fields, kept flat (a pasted column may have a million rows).
struct TBlock {
  std::vector<std::string_view> Cells;
  std::vector<std::size_t> Start{0};  // row i holds Cells[Start[i] .. Start[i + 1])
  int Width = 0;                      // of the first row (the block's width), at least 1
  int Height() const { return static_cast<int>(Start.size()) - 1; }
  int RowSize(int i) const { return static_cast<int>(Start[i + 1] - Start[i]); }
  std::string_view At(int i, int j) const {
    return j < RowSize(i) ? Cells[Start[i] + j] : std::string_view();
  }
  template <class V>
  void AddRow(const V& fields) {
    Cells.insert(Cells.end(), fields.begin(), fields.end());
    Start.push_back(Cells.size());
  }
};

// The rows a paste writes: from the selection's top down the block, or down the selection
// when a single value or one row is repeated.
std::pair<int, int> PasteRows(const TBlock& b, const TGridRect& sel) {
  const TShape clip = ShapeOf(b.Width, b.Height());
  const TShape target = ShapeOf(sel.Width(), sel.Height());
  if (clip != target && target != TShape::Cell && (clip == TShape::Cell || clip == TShape::Row))
    return {sel.Top, sel.Bottom};
  return {sel.Top, sel.Top + b.Height() - 1};
}

// Calls write(c, text) for every cell of row r the paste writes, by the shape rules.
template <class W>
void PlanPasteRow(const TBlock& b, const TGridRect& sel, int r, W&& write) {
  const TShape clip = ShapeOf(b.Width, b.Height());
  const TShape target = ShapeOf(sel.Width(), sel.Height());
  if (clip == target || target == TShape::Cell || clip == TShape::Block) {
    const int i = r - sel.Top;
    for (int j = 0; j < b.RowSize(i); ++j) write(sel.Left + j, b.At(i, j));
  } else if (clip == TShape::Cell) {
    for (int c = sel.Left; c <= sel.Right; ++c) write(c, b.At(0, 0));
  } else if (clip == TShape::Row) {
    for (int j = 0; j < b.RowSize(0); ++j) write(sel.Left + j, b.At(0, j));
  } else {  // one column down every selected column
    for (int c = sel.Left; c <= sel.Right; ++c) write(c, b.At(r - sel.Top, 0));
  }
}

TGridRect Extent(const TBlock& b, const TGridRect& sel, bool& any) {
  TGridRect e{1 << 30, 1 << 30, -1, -1};
  any = false;
  const auto [top, bottom] = PasteRows(b, sel);
  for (int r = top; r <= bottom; ++r)
    PlanPasteRow(b, sel, r, [&](int c, std::string_view) {
      any = true;
      e.Left = std::min(e.Left, c);
      e.Top = std::min(e.Top, r);
      e.Right = std::max(e.Right, c);
      e.Bottom = std::max(e.Bottom, r);
    });
  return e;
}

// Blocks of at least this many rows are written into the grid in one pass that keeps its
// compact storage (TTextGrid::EditRows); smaller ones cell by cell.
constexpr int BulkEditRows = 4096;

TGridRect Normalised(TGridRect r) {
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  return r;
}

bool Holds(int compare, int relation) {
  switch (relation) {
    case RelEqual: return compare == 0;
    case RelGreater: return compare > 0;
    case RelGreaterEqual: return compare >= 0;
    case RelLess: return compare < 0;
    case RelLessEqual: return compare <= 0;
    default: return false;
  }
}

int Compare(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

}  // namespace

std::string GridBlockText(const TTextGrid& grid, const TGridRect& rect) {
  const TGridRect r = Normalised(rect);
  std::string s;
  for (int row = r.Top; row <= r.Bottom; ++row) {
    if (row > r.Top) s += "\r\n";
    for (int c = r.Left; c <= r.Right; ++c) {
      if (c > r.Left) s += '\t';
      s += grid.View(c, row);
    }
  }
  return s;
}

std::string GridSaveText(const TTextGrid& grid, const TGridRect& selection) {
  if (!selection.IsCell()) return GridBlockText(grid, selection) + "\r\n";
  return GridBlockText(grid, {0, 0, grid.ColCount() - 1, grid.RowCount() - 1}) + "\r\n";
}

TChangedRows ClearDataBlock(TDataList& list, const TGridRect& rect) {
  const TGridRect r = Normalised(rect);
  TChangedRows changed;
  const int firstRow = std::max(r.Top, 1),
            lastRow = std::min(r.Bottom, list.DataGrid.RowCount() - 1);
  const int firstCol = std::max(r.Left, 1), lastCol = std::min(r.Right, list.MaxCol());
  if (lastRow - firstRow + 1 >= BulkEditRows && firstCol <= lastCol) {
    list.DataGrid.EditRows(firstRow, lastRow, [&](int, std::span<std::string_view> cells) {
      for (int c = firstCol; c <= lastCol; ++c) cells[c] = {};
    });
  } else {
    for (int c = firstCol; c <= lastCol; ++c)
      for (int row = firstRow; row <= lastRow; ++row)
        if (!list.DataGrid.IsEmpty(c, row)) list.SetCellText(c, row, "");
  }
  changed.First = firstRow;
  changed.Last = lastRow;
  list.SetRowsModified(changed.First, changed.Last);
  return changed;
}

void ClearDescBlock(TDataList& list, const TGridRect& rect) {
  const TGridRect r = Normalised(rect);
  for (int c = std::max(r.Left, 1); c <= std::min(r.Right, list.MaxCol()); ++c)
    for (int row = std::max(r.Top, 1); row <= std::min(r.Bottom, 4); ++row)
      list.SetDescText(c, row, "");
}

TPasteResult PasteIntoData(TDataList& list, std::string_view text, const TGridRect& selection,
                           const std::function<bool()>& askNames) {
  TPasteResult res;
  const TGridRect sel = Normalised(selection);
  std::vector<std::string_view> lines = SplitLines(text);
  if (text.empty() || lines.empty()) {
    res.Status = TPasteResult::NoText;
    return res;
  }

  // A first line of texts only may be the variable names.
  std::vector<std::string> names;
  if (!lines[0].empty() && HasNonNumericChar(lines[0])) {
    bool truncated = false;
    const bool tabMode = lines[0].find('\t') != std::string_view::npos;
    auto fields = SplitHeaderLine(lines[0], tabMode, true, truncated);
    const bool allText =
        !fields.empty() && std::all_of(fields.begin(), fields.end(),
                                       [](const std::string& f) { return HasNonNumericChar(f); });
    if (allText && askNames && askNames()) {
      std::vector<std::string_view> f;
      const std::size_t n = SplitDataLine(lines[0], f, MaxColumns + 1);
      if (sel.Left + static_cast<int>(n) - 1 > MaxColumns) {
        res.Status = TPasteResult::TooManyColumns;
        return res;
      }
      for (auto v : f) names.emplace_back(v);
      lines.erase(lines.begin());
    }
  }

  TBlock block;
  std::vector<std::string_view> f;
  block.Start.reserve(lines.size() + 1);
  for (auto line : lines) {
    const std::size_t n = SplitDataLine(line, f, MaxColumns + 1);
    // Room for the whole block at the first line's width, so that a pasted column of a
    // million values is not copied while it grows.
    // (A line of k fields holds at least k - 1 separators: the text bounds the count.)
    if (block.Height() == 0)
      block.Cells.reserve(
          std::min(std::max<std::size_t>(n, 1) * lines.size(), text.size() + lines.size()));
    if (n > static_cast<std::size_t>(MaxColumns)) {
      res.Status = TPasteResult::TooManyColumns;
      return res;
    }
    block.AddRow(f);
  }
  std::vector<std::string_view>().swap(lines);  // the block holds the fields now
  if (block.Height() > 0) block.Width = std::max(1, block.RowSize(0));

  bool any = false;
  TGridRect extent = block.Height() == 0 ? TGridRect{sel.Left, sel.Top, sel.Left - 1, sel.Top - 1}
                                         : Extent(block, sel, any);
  if (!any) extent = {sel.Left, sel.Top, sel.Left - 1, sel.Top - 1};
  const int namesRight = sel.Left + static_cast<int>(names.size()) - 1;
  const int right = std::max(extent.Right, namesRight);
  if (right > MaxColumns) {
    res.Status = TPasteResult::TooManyColumns;
    return res;
  }

  const int oldCols = list.MaxCol();
  if (right > oldCols) list.SetColCount(right);
  if (any && extent.Bottom > list.DataGrid.RowCount() - 1) list.SetRowCount(extent.Bottom);
  for (int i = 0; i < static_cast<int>(names.size()); ++i)
    list.SetCellText(sel.Left + i, 0, names[i]);
  if (any && extent.Height() >= BulkEditRows) {
    std::size_t bytes = 0;
    for (int r = extent.Top; r <= extent.Bottom; ++r)
      PlanPasteRow(block, sel, r, [&](int, std::string_view v) { bytes += v.size(); });
    list.DataGrid.EditRows(
        extent.Top, extent.Bottom,
        [&](int r, std::span<std::string_view> cells) {
          PlanPasteRow(block, sel, r, [&](int c, std::string_view v) { cells[c] = v; });
        },
        bytes);
  } else if (any) {
    for (int r = extent.Top; r <= extent.Bottom; ++r)
      PlanPasteRow(block, sel, r, [&](int c, std::string_view v) { list.SetCellText(c, r, v); });
  }

  res.Rows.NamesSet = !names.empty();
  res.ColumnsChanged = res.Rows.NamesSet || list.MaxCol() != oldCols;
  if (any) {
    res.Rows.First = extent.Top;
    res.Rows.Last = extent.Bottom;
    list.SetRowsModified(extent.Top, extent.Bottom);
    res.Written = extent;
  } else {
    res.Written = {sel.Left, 0, std::max(namesRight, sel.Left), 0};
  }
  return res;
}

TPasteResult PasteIntoDesc(TDataList& list, std::string_view text, const TGridRect& selection) {
  TPasteResult res;
  TGridRect sel = Normalised(selection);
  sel.Top = std::clamp(sel.Top, 1, 4);
  sel.Bottom = std::clamp(sel.Bottom, sel.Top, 4);
  std::vector<std::string_view> lines = SplitLines(text);
  if (text.empty() || lines.empty()) {
    res.Status = TPasteResult::NoText;
    return res;
  }
  // Only the four description rows can take lines.
  std::vector<std::vector<std::string>> fields;
  for (std::size_t i = 0; i < lines.size() && i < 4; ++i) {
    bool truncated = false;
    fields.push_back(SplitHeaderLine(lines[i], true, false, truncated));
  }
  TBlock block;
  for (const auto& row : fields) block.AddRow(row);
  block.Width = std::max(1, block.RowSize(0));
  bool any = false;
  TGridRect extent = Extent(block, sel, any);
  if (!any) return res;
  if (extent.Right > MaxColumns) {
    res.Status = TPasteResult::TooManyColumns;
    return res;
  }
  const int oldCols = list.MaxCol();
  if (extent.Right > oldCols) list.SetColCount(extent.Right);
  for (int r = extent.Top; r <= std::min(extent.Bottom, 4); ++r)
    PlanPasteRow(block, sel, r, [&](int c, std::string_view v) { list.SetDescText(c, r, v); });
  res.ColumnsChanged = list.MaxCol() != oldCols;
  extent.Bottom = std::min(extent.Bottom, 4);
  res.Written = extent;
  return res;
}

bool TFindSpec::TextMode() const {
  return (Relation1 != RelNone && HasNonNumericChar(Value1)) ||
         (Relation2 != RelNone && HasNonNumericChar(Value2));
}

bool TFindSpec::Matches(std::string_view cell) const {
  const int relations[2] = {Relation1, Relation2};
  const std::string* values[2] = {&Value1, &Value2};
  if (TextMode()) {
    if (cell.empty()) return false;
    for (int i = 0; i < 2; ++i)
      if (relations[i] != RelNone && Holds(cell.compare(*values[i]), relations[i])) return true;
    return false;
  }
  double x;
  // Text and empty cells are not numbers; a typed +-2147483647 is.
  if (ParseCell(cell, x) != TCellKind::Number) return false;
  for (int i = 0; i < 2; ++i) {
    if (relations[i] == RelNone) continue;
    double v;
    if (ParseCell(*values[i], v) != TCellKind::Number) v = MissingValue;
    if (Holds(Compare(x, v), relations[i])) return true;
  }
  return false;
}

namespace {

TGridRect ClampToData(const TDataList& list, const TGridRect& bounds) {
  TGridRect b = Normalised(bounds);
  b.Left = std::max(b.Left, 1);
  b.Top = std::max(b.Top, 1);
  b.Right = std::min(b.Right, list.MaxCol());
  b.Bottom = std::min(b.Bottom, list.DataGrid.RowCount() - 1);
  return b;
}

}  // namespace

bool FindCell(const TDataList& list, const TFindSpec& spec, const TGridRect& bounds, int& c, int& r,
              bool inclusive) {
  if (!spec.CanFind()) return false;
  const TGridRect b = ClampToData(list, bounds);
  int col = c, row = r;
  if (col < b.Left || (col == b.Left && row < b.Top)) {
    col = b.Left;
    row = b.Top;
    inclusive = true;
  } else if (row < b.Top) {
    row = b.Top;
    inclusive = true;
  }
  if (!inclusive) ++row;
  for (; col <= b.Right; ++col, row = b.Top) {
    for (; row <= b.Bottom; ++row) {
      if (spec.Matches(list.DataGrid.View(col, row))) {
        c = col;
        r = row;
        return true;
      }
    }
  }
  return false;
}

int ReplaceAll(TDataList& list, const TFindSpec& spec, const TGridRect& bounds, int& c, int& r,
               std::string_view replacement) {
  // The matches first, down each column in turn; then the writes.
  std::vector<std::pair<int, int>> found;
  int col = c, row = r;
  bool inclusive = true;
  while (FindCell(list, spec, bounds, col, row, inclusive)) {
    found.emplace_back(col, row);
    inclusive = false;
  }
  if (found.empty()) return 0;
  const std::string text = CleanCellText(replacement);
  int top = found.front().second, bottom = top;
  for (const auto& [fc, fr] : found) {
    top = std::min(top, fr);
    bottom = std::max(bottom, fr);
  }
  if (static_cast<int>(found.size()) >= BulkEditRows) {
    // A cell is replaced when it matches and lies at or after the first match, in the
    // order of the search (the texts are still the ones searched).
    const TGridRect b = ClampToData(list, bounds);
    const int firstC = found.front().first, firstR = found.front().second;
    list.DataGrid.EditRows(
        top, bottom,
        [&](int rr, std::span<std::string_view> cells) {
          const int last = std::min<int>(b.Right, static_cast<int>(cells.size()) - 1);
          for (int cc = std::max({b.Left, firstC, 1}); cc <= last; ++cc)
            if ((cc > firstC || rr >= firstR) && rr >= b.Top && rr <= b.Bottom &&
                spec.Matches(cells[cc]))
              cells[cc] = text;
        },
        found.size() * text.size());
    for (const auto& [fc, fr] : found) list.SetRowModifiedTrue(fr);
  } else {
    for (const auto& [fc, fr] : found) list.SetCellText(fc, fr, replacement);
  }
  c = found.back().first;
  r = found.back().second;
  return static_cast<int>(found.size());
}

bool TransposeData(TDataList& list) {
  const int oldCols = list.MaxCol();
  const int oldRows = list.DataGrid.RowCount() - 1;
  if (oldRows > MaxColumns) return false;
  std::vector<std::vector<std::string>> cells(oldCols + 1, std::vector<std::string>(oldRows + 1));
  for (int c = 1; c <= oldCols; ++c)
    for (int r = 1; r <= oldRows; ++r) cells[c][r] = list.DataGrid.Cell(c, r);

  list.DataGrid.SetSize(oldRows + 1, oldCols + 1);
  list.DataGrid.ClearCells();
  list.DescGrid.SetSize(oldRows + 1, 5);
  list.DescGrid.ClearCells();
  for (int r = 1; r <= 4; ++r) list.DescGrid.SetCell(0, r, DescLabels[r]);
  for (int c = 1; c <= oldRows; ++c) {
    list.DataGrid.SetCell(c, 0, DefaultColumnName(c));
    list.DescGrid.SetCell(c, 0, DefaultColumnName(c));
    for (int r = 1; r <= oldCols; ++r)
      if (!cells[r][c].empty()) list.DataGrid.SetCell(c, r, cells[r][c]);
  }
  list.SetAllRowsModified();
  return true;
}

bool InsertCaseNumbers(TDataList& list) {
  if (!list.CanAddColumns(1)) return false;
  list.InsertColumns(1, 1);
  list.SetCellText(1, 0, "Case");
  std::string number;
  list.DataGrid.EditRows(1, list.DataGrid.RowCount() - 1,
                         [&](int r, std::span<std::string_view> cells) {
                           number = std::to_string(r);
                           cells[1] = number;
                         });
  list.SetAllRowsModified();
  return true;
}

void GridJump(const TTextGrid& grid, int& c, int& r, int dc, int dr, int minC, int minR) {
  const int maxC = grid.ColCount() - 1, maxR = grid.RowCount() - 1;
  auto inside = [&](int cc, int rr) {
    return cc >= minC && cc <= maxC && rr >= minR && rr <= maxR;
  };
  int nc = c + dc, nr = r + dr;
  if (!inside(nc, nr)) return;
  if (!grid.IsEmpty(c, r) && !grid.IsEmpty(nc, nr)) {
    while (inside(nc + dc, nr + dr) && !grid.IsEmpty(nc + dc, nr + dr)) {
      nc += dc;
      nr += dr;
    }
  } else {
    while (inside(nc + dc, nr + dr) && grid.IsEmpty(nc, nr)) {
      nc += dc;
      nr += dr;
    }
  }
  c = nc;
  r = nr;
}

bool BuildFileModString(TFileModStrings& out) {
  std::vector<std::string> items;
  for (const auto& t : MissingConditionTexts()) items.push_back("Missing When: " + t);
  const auto pi = ProcessIfConditionTexts();
  if (!pi.empty()) {
    const char* join = ProcessIfRec.AndOr == ProcessIfOr ? " or" : " and";
    items.push_back("Process If: " + pi[0] + (pi.size() > 1 ? join : ""));
    if (pi.size() > 1) items.push_back("Process If: " + pi[1]);
  }
  if (TransformRec.no != TransformNone) items.push_back("Transform: " + TransformFormulaText());
  out = TFileModStrings();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) {
      out.Text += "\r";
      out.Tab += "\r\t";
      out.Line += "  ";
    }
    out.Text += items[i];
    out.Tab += items[i];
    out.Line += items[i];
  }
  return !items.empty();
}

}  // namespace sorvel
