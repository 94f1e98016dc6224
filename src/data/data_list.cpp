#include "data/data_list.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "data/data_state.h"

namespace sorvel {

namespace {

constexpr int DescTitle = 1, DescUSL = 2, DescTarget = 3, DescLSL = 4;

// What CellArray holds for a cell without a number: no typed text parses to a NaN.
constexpr double NoNumber = std::numeric_limits<double>::quiet_NaN();
constexpr const char* DescLabels[5] = {"", "Title:", "USL:", "Target:", "LSL:"};

// Nearest integer, halves to even, kept inside the range where doubles are exact integers.
std::int64_t RoundLevel(double x) {
  constexpr double lim = 9007199254740992.0;  // 2^53
  if (!(x > -lim)) return -static_cast<std::int64_t>(lim);
  if (!(x < lim)) return static_cast<std::int64_t>(lim);
  return static_cast<std::int64_t>(std::nearbyint(x));
}

std::int32_t ClampInt32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

bool Relation(double x, int sign, double y) {
  switch (sign) {
    case RelEqual: return x == y;
    case RelGreater: return x > y;
    case RelGreaterEqual: return x >= y;
    case RelLess: return x < y;
    case RelLessEqual: return x <= y;
    case RelNotEqual: return x != y;
    default: return false;
  }
}

// Process If and the incomplete-pairs filter for the rows of one load: the condition
// columns and rule fields are looked up once, not for every row of a million-row load.
class TRowFilter {
 public:
  explicit TRowFilter(const TDataList& d) : d_(d) {
    pairs_ = PairCol1 != 0 && PairCol2 != 0;
    active_ = ProcessIfRec.Active;
    const auto& p = ProcessIfRec;
    c1_ = Condition(p.PiIndex1, p.Sign1, p.X1, p.LA1, p.LA1count);
    c2_ = Condition(p.PiIndex2, p.Sign2, p.X2, p.LA2, p.LA2count);
    or_ = p.AndOr != ProcessIfAnd;
  }
  // No row can be rejected: loads skip the per-row test.
  bool PassesAll() const {
    return !pairs_ && (!active_ || (c1_.Sign == RelAll && c2_.Sign == RelAll) ||
                       (or_ && (c1_.Sign == RelAll || c2_.Sign == RelAll)));
  }
  bool operator()(int row) const {
    if (pairs_ && (!d_.DataValid(PairCol1, row) || !d_.DataValid(PairCol2, row))) return false;
    if (!active_) return true;
    const bool a = c1_.Holds(row);
    if (or_ ? a : !a) return a;
    return c2_.Holds(row);
  }

 private:
  struct TCondition {
    int Sign = RelAll;
    const double* Cells = nullptr;  // the condition column; nullptr: every value missing
    std::size_t Size = 0;
    double X = 0;
    const double* List = nullptr;  // the "in" list's values
    int Count = 0;
    bool Holds(int row) const {
      if (Sign == RelAll) return true;
      // The stored value unchanged: a cell without a number compares as MissingValue.
      double v = MissingValue;
      if (static_cast<std::size_t>(row) < Size && !std::isnan(Cells[row])) v = Cells[row];
      if (Sign == RelIn || Sign == RelNotIn) {
        bool in = false;
        for (int i = 0; i < Count && !in; ++i) in = v == List[i];
        return Sign == RelIn ? in : !in;
      }
      return Relation(v, Sign, X);
    }
  };
  TCondition Condition(int col, int sign, double x, const std::vector<double>& list,
                       int count) const {
    TCondition c;
    c.Sign = sign;
    c.X = x;
    if (col >= 1 && col <= d_.MaxCol() && col < static_cast<int>(d_.CellArray.size())) {
      c.Cells = d_.CellArray[col].data();
      c.Size = d_.CellArray[col].size();
    }
    // LA lists are 1-based.
    if (list.size() > 1) {
      c.List = list.data() + 1;
      c.Count = std::clamp(count, 0, static_cast<int>(list.size()) - 1);
    }
    return c;
  }

  const TDataList& d_;
  bool pairs_ = false, active_ = false, or_ = false;
  TCondition c1_, c2_;
};

// Runs body(first, last) over [1, n] split between the cores when n is large.
template <class F>
void ParallelRows(std::int64_t n, F&& body) {
  unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  if (n < 20000 || cores < 2) {
    body(std::int64_t(1), n);
    return;
  }
  unsigned parts = std::min(cores, 8u);
  std::vector<std::thread> threads;
  std::int64_t per = n / parts;
  for (unsigned i = 1; i < parts; ++i) {
    std::int64_t b = 1 + per * i, e = i + 1 == parts ? n : per * (i + 1);
    threads.emplace_back([&body, b, e] { body(b, e); });
  }
  body(1, per);
  for (auto& t : threads) t.join();
}

}  // namespace

TDataList::TDataList() : DataGrid(2, 2), DescGrid(2, 5) {
  DataGrid.SetNumberedRows(true);
  DataGrid.SetCell(1, 0, DefaultColumnName(1));
  DescGrid.SetCell(1, 0, DefaultColumnName(1));
  for (int r = 1; r <= 4; ++r) DescGrid.SetCell(0, r, DescLabels[r]);
  InitData();
  UpdateData();
}

// ---------------------------------------------------------------- column facts

std::string TDataList::ColumnName(int c) const {
  if (c <= 0 || c > MaxCol()) return {};
  return DataGrid.Cell(c, 0);
}

std::string TDataList::ColumnTitle(int c) const {
  if (c <= 0 || c > MaxCol()) return {};
  return DescGrid.Cell(c, DescTitle);
}

std::string TDataList::ColumnTitleOrName(int c) const {
  if (c <= 0 || c > MaxCol()) return {};
  std::string t = DescGrid.Cell(c, DescTitle);
  return t.empty() ? DescGrid.Cell(c, 0) : t;
}

double TDataList::ColumnUSL(int c) const {
  return c <= 0 || c > MaxCol() ? MissingValue : ParseLimitText(DescGrid.View(c, DescUSL));
}
double TDataList::ColumnTarget(int c) const {
  return c <= 0 || c > MaxCol() ? MissingValue : ParseLimitText(DescGrid.View(c, DescTarget));
}
double TDataList::ColumnLSL(int c) const {
  return c <= 0 || c > MaxCol() ? MissingValue : ParseLimitText(DescGrid.View(c, DescLSL));
}

std::string TDataList::GetLevelName(int c, int level) const {
  if (c >= 1 && c <= MaxCol() && c <= MaxColumns && StringVar[c]) {
    if (c < static_cast<int>(LevelRow.size()) && level >= 1 &&
        level < static_cast<int>(LevelRow[c].size()))
      return DataGrid.Cell(c, LevelRow[c][level]);
    return {};
  }
  return std::to_string(level);
}

std::string TDataList::GetRunName(int rn, const TRunInfo& ri) const {
  if (rn < 1 || rn >= static_cast<int>(RunTable.size()) || RunTable[rn].Row == 0) return "Missing";
  int row = RunTable[rn].Row;
  std::string s;
  for (int i = 1; i <= ri.RefArray[0] && i <= MaxColumns; ++i) {
    if (i > 1) s += ", ";
    s += DataGrid.View(ri.RefArray[i], row);
  }
  return s;
}

int TDataList::LevelCount(int c) const {
  if (c < 1 || c > MaxCol() || c > MaxColumns || !StringVar[c] ||
      c >= static_cast<int>(LevelRow.size()) || LevelRow[c].empty())
    return 0;
  return static_cast<int>(LevelRow[c].size()) - 1;
}

double TDataList::Value(int c, int r) const {
  if (c < 1 || c >= static_cast<int>(CellArray.size()) || r < 1 ||
      r >= static_cast<int>(CellArray[c].size()))
    return MissingValue;
  const double x = CellArray[c][r];
  return std::isnan(x) ? MissingValue : x;
}

bool TDataList::HasValue(int c, int r) const {
  if (c < 1 || c >= static_cast<int>(CellArray.size()) || r < 1 ||
      r >= static_cast<int>(CellArray[c].size()))
    return false;
  const double x = CellArray[c][r];
  // The row statistics columns are computed and mark a missing statistic by MissingValue.
  return c <= MaxCol() ? !std::isnan(x) : x != MissingValue && !std::isnan(x);
}

// ---------------------------------------------------------------- editing

void TDataList::SetCellText(int c, int r, std::string_view text) {
  if (c < 1 || c > MaxCol() || r < 0 || r >= DataGrid.RowCount()) return;
  const std::string clean = CleanCellText(text);
  DataGrid.SetCell(c, r, clean);
  if (r == 0)
    DescGrid.SetCell(c, 0, clean);
  else
    SetRowModifiedTrue(r);
}

void TDataList::SetDescText(int c, int r, std::string_view text) {
  if (c < 1 || c > MaxCol() || r < 0 || r > 4) return;
  if (r == 0) {
    SetCellText(c, 0, text);
    return;
  }
  DescGrid.SetCell(c, r, CleanCellText(text));
}

void TDataList::InsertRows(int at, int n) {
  at = std::clamp(at, 1, DataGrid.RowCount());
  if (n <= 0) return;
  DataGrid.InsertRows(at, n);
  SetAllRowsModified();
}

void TDataList::DeleteRows(int at, int n) {
  if (at < 1 || at >= DataGrid.RowCount() || n <= 0) return;
  n = std::min(n, DataGrid.RowCount() - at);
  DataGrid.DeleteRows(at, n);
  if (DataGrid.RowCount() < 2) DataGrid.SetRowCount(2);  // a data set keeps one case
  SetAllRowsModified();
}

void TDataList::InsertColumns(int at, int n) {
  at = std::clamp(at, 1, DataGrid.ColCount());
  n = std::min(n, MaxColumns - MaxCol());
  if (n <= 0) return;
  DataGrid.InsertCols(at, n);
  DescGrid.InsertCols(at, n);
  SetAllRowsModified();
}

void TDataList::DeleteColumns(int at, int n) {
  if (at < 1 || at > MaxCol() || n <= 0) return;
  n = std::min(n, MaxCol() - at + 1);
  if (n >= MaxCol()) {  // a data set keeps one column
    DataGrid.DeleteCols(at + 1, n - 1);
    DescGrid.DeleteCols(at + 1, n - 1);
    // The last column is replaced by an empty one (no cell of a long column is touched).
    for (TTextGrid* g : {&DataGrid, &DescGrid}) {
      g->DeleteCols(1, 1);
      g->InsertCols(1, 1);
      g->SetCell(1, 0, DefaultColumnName(1));
    }
  } else {
    DataGrid.DeleteCols(at, n);
    DescGrid.DeleteCols(at, n);
  }
  SetAllRowsModified();
}

void TDataList::SetRowCount(int cases) {
  DataGrid.SetRowCount(std::max(cases, 1) + 1);
  SetAllRowsModified();
}

void TDataList::SetColCount(int cols) {
  cols = std::clamp(cols, 1, MaxColumns);
  int old = MaxCol();
  DataGrid.SetColCount(cols + 1);
  DescGrid.SetColCount(cols + 1);
  for (int c = old + 1; c <= cols; ++c) {
    DataGrid.SetCell(c, 0, DefaultColumnName(c));
    DescGrid.SetCell(c, 0, DefaultColumnName(c));
  }
  SetAllRowsModified();
}

bool TDataList::ModifiedColumnNames() const {
  for (int c = 1; c <= MaxCol(); ++c)
    if (!IsDefaultColumnName(DataGrid.View(c, 0), c)) return true;
  return false;
}

void TDataList::NormaliseColumnNames() {
  for (int c = 1; c <= MaxCol(); ++c) {
    std::string name = DataGrid.Cell(c, 0);
    bool reset = name.empty();
    if (!reset && name.size() > 3 && (name[0] == 'C' || name[0] == 'c') &&
        (name[1] == 'O' || name[1] == 'o') && (name[2] == 'L' || name[2] == 'l')) {
      std::string_view rest(name);
      rest.remove_prefix(3);
      bool integer = !rest.empty() && rest.size() < 10;
      for (size_t i = 0; i < rest.size(); ++i)
        integer = integer && ((rest[i] >= '0' && rest[i] <= '9') ||
                              (i == 0 && rest[i] == '-' && rest.size() > 1));
      if (integer && std::stol(std::string(rest)) != c) reset = true;
    }
    if (reset) {
      DataGrid.SetCell(c, 0, DefaultColumnName(c));
      DescGrid.SetCell(c, 0, DefaultColumnName(c));
    }
  }
}

bool TDataList::HaveData() const {
  return !(DataGrid.ColCount() == 2 && DataGrid.RowCount() == 2 && DataGrid.IsEmpty(1, 1));
}

// ---------------------------------------------------------------- maintenance

void TDataList::InitData() {
  for (int c = 1; c <= MaxColumns; ++c) Highlow[c] = false;
  Ncount = 0;
  Ccount = 0;
  Rcount = 0;
  DataChanged = true;
}

void TDataList::Cleardata() {
  std::vector<std::vector<double>>().swap(CellArray);
  std::vector<std::vector<std::int32_t>>().swap(LevelRow);
  std::vector<std::int64_t>().swap(RowRun);
  std::vector<TRunEntry>().swap(RunTable);
  std::vector<std::uint8_t>().swap(RowModified);
  LevelIndex_.clear();
  RunIndex_ = TKeyIndex();
  InitData();
}

void TDataList::SetRowModifiedTrue(int r) {
  if (r >= 1 && r <= Rcount && r < static_cast<int>(RowModified.size())) RowModified[r] = 1;
  DataChanged = true;
}

void TDataList::SetRowsModified(int first, int last) {
  for (int r = std::max(first, 1); r <= last; ++r) SetRowModifiedTrue(r);
  DataChanged = true;
}

void TDataList::SetAllRowsModified() {
  AllRowsModified_ = true;
  DataChanged = true;
}

void TDataList::MaxSizeCellArray() {
  const int cols = DataGrid.ColCount();
  const int rows = DataGrid.RowCount();
  MaxSizeCellChange = false;
  if (cols != Ccount + 1 || rows > Rcount + 1) {
    // The grid changed shape: every column vector is sized to the rows, the row
    // statistics columns start unallocated, and every row is parsed again.
    if (rows > Rcount + 1) {
      RowModified.assign(rows, 0);
      if (!RowRun.empty()) RowRun.assign(rows, 0);
      Rcount = rows - 1;
    }
    CellArray.resize(cols + 3);
    for (int c = 1; c < cols; ++c) CellArray[c].resize(std::size_t(Rcount) + 1, NoNumber);
    for (int k = 0; k < 3; ++k) std::vector<double>().swap(CellArray[cols + k]);
    Ccount = cols - 1;
    MaxSizeCellChange = true;
  }
}

void TDataList::SetRow(int row) {
  if (row < static_cast<int>(RowModified.size())) RowModified[row] = 0;
  if (row < static_cast<int>(RowRun.size())) RowRun[row] = 0;
  const int maxCol = MaxCol();
  for (int c = 1; c <= maxCol; ++c) {
    double x;
    const TCellKind kind = ParseCell(DataGrid.View(c, row), x);
    if (kind == TCellKind::Text && c <= MaxColumns) StringVar[c] = true;
    CellArray[c][row] = kind == TCellKind::Number ? x : NoNumber;
  }
}

void TDataList::SetHighLow(double x, int c) {
  if (std::isnan(x)) return;
  if (!Highlow[c]) {
    ColumnHigh[c] = ColumnLow[c] = x;
    Highlow[c] = true;
  } else if (x > ColumnHigh[c]) {
    ColumnHigh[c] = x;
  } else if (x < ColumnLow[c]) {
    ColumnLow[c] = x;
  }
}

void TDataList::RecodeTextColumn(int c) {
  // Codes in order of first appearance from the top; equal texts (exact comparison)
  // share a code; an empty cell is missing.
  auto& col = CellArray[c];
  if (static_cast<int>(LevelRow.size()) <= c) LevelRow.resize(c + 1);
  auto& levels = LevelRow[c];
  levels.assign(1, 0);
  std::unordered_map<std::string_view, std::int32_t> codes;
  for (int r = 1; r <= Ncount; ++r) {
    std::string_view t = DataGrid.View(c, r);
    if (t.empty()) {
      col[r] = NoNumber;
      continue;
    }
    auto [it, added] = codes.try_emplace(t, static_cast<std::int32_t>(levels.size()));
    if (added) levels.push_back(r);
    col[r] = it->second;
  }
}

void TDataList::UpdateData() {
  MaxSizeCellArray();
  const int maxCol = std::min(MaxCol(), MaxColumns);
  const int rows = DataGrid.RowCount() - 1;
  TColArrayOfBoolean wasText = StringVar;
  for (int c = 1; c <= maxCol; ++c) {
    Highlow[c] = false;
    StringVar[c] = false;
  }
  // Most rows flagged (a block edit of whole columns): the whole-table parse, on every
  // core, is the quicker way.
  std::int64_t flagged = std::max(0, rows - Ncount);
  for (int r = 1; r <= std::min(rows, Ncount) && r < static_cast<int>(RowModified.size()); ++r)
    flagged += RowModified[r];
  const bool all = MaxSizeCellChange || AllRowsModified_ || Ncount == 0 || flagged * 2 > rows;
  const int oldN = Ncount;
  Ncount = rows;
  std::int64_t parsed = 0;
  if (all) {
    for (int r = 1; r <= rows; ++r) {
      if (r < static_cast<int>(RowModified.size())) RowModified[r] = 0;
      if (r < static_cast<int>(RowRun.size())) RowRun[r] = 0;
    }
    std::vector<int> columns(static_cast<std::size_t>(std::max(maxCol, 0)));
    for (int c = 1; c <= maxCol; ++c) columns[std::size_t(c - 1)] = c;
    ParseColumns(columns, true);
    parsed = rows;
  } else {
    for (int r = 1; r <= rows; ++r)
      if (r > oldN || (r < static_cast<int>(RowModified.size()) && RowModified[r])) {
        SetRow(r);
        ++parsed;
      }
    // A column that was text before keeps its text status only when some cell still
    // holds text; its other rows hold level codes, so a column that turned numeric is
    // parsed again from its texts.
    for (int c = 1; c <= maxCol; ++c) {
      if (!wasText[c] || StringVar[c]) continue;
      auto& col = CellArray[c];
      bool text = false;
      for (int r = 1; r <= rows; ++r) {
        double x;
        const TCellKind kind = ParseCell(DataGrid.View(c, r), x);
        text = text || kind == TCellKind::Text;
        col[r] = kind == TCellKind::Number ? x : NoNumber;
      }
      StringVar[c] = text;
    }
  }
  AllRowsModified_ = false;
  LastParsedRows_ = parsed;

  for (int c = 1; c <= maxCol; ++c) {
    if (StringVar[c]) RecodeTextColumn(c);
    // The whole-table parse found the ranges of numeric columns already.
    if (all && !StringVar[c]) continue;
    Highlow[c] = false;
    const auto& col = CellArray[c];
    for (int r = 1; r <= rows; ++r) SetHighLow(col[r], c);
  }
  MaxSizeA_Array(Ncount);
  DataChanged = false;
  InvalidateIndexes();
}

void TDataList::ParseColumns(const std::vector<int>& columns, bool wholeRows) {
  // Rows split between the cores, each part with its own text flags and column ranges.
  struct TPart {
    TColArrayOfBoolean Text{}, Any{};
    TColArrayOfDouble Low{}, High{};
  };
  std::vector<TPart> parts;
  std::mutex m;
  const int maxCol = columns.empty() ? 0 : columns.back();
  ParallelRows(Ncount, [&](std::int64_t b, std::int64_t e) {
    TPart part;
    std::vector<std::string_view> views(std::size_t(maxCol) + 1);
    for (std::int64_t r = b; r <= e; ++r) {
      const int row = static_cast<int>(r);
      if (wholeRows) DataGrid.RowViews(row, 1, maxCol, views.data());
      for (int c : columns) {
        double x;
        const TCellKind kind = ParseCell(wholeRows ? views[c - 1] : DataGrid.View(c, row), x);
        if (kind != TCellKind::Number) {
          CellArray[c][row] = NoNumber;
          part.Text[c] = part.Text[c] || kind == TCellKind::Text;
          continue;
        }
        CellArray[c][row] = x;
        if (!part.Any[c]) {
          part.Any[c] = true;
          part.Low[c] = part.High[c] = x;
        } else {
          part.Low[c] = std::min(part.Low[c], x);
          part.High[c] = std::max(part.High[c], x);
        }
      }
    }
    std::lock_guard<std::mutex> lock(m);
    parts.push_back(part);
  });
  for (int c : columns) {
    StringVar[c] = Highlow[c] = false;
    for (const auto& part : parts) {
      StringVar[c] = StringVar[c] || part.Text[c];
      if (!part.Any[c]) continue;
      if (!Highlow[c]) {
        Highlow[c] = true;
        ColumnLow[c] = part.Low[c];
        ColumnHigh[c] = part.High[c];
      } else {
        ColumnLow[c] = std::min(ColumnLow[c], part.Low[c]);
        ColumnHigh[c] = std::max(ColumnHigh[c], part.High[c]);
      }
    }
  }
}

void TDataList::AppendCaseCopies(const std::vector<std::int32_t>& sources) {
  if (sources.empty()) return;
  if (DataChanged) UpdateData();
  const int cols = DataGrid.ColCount();
  const int old = Ncount;
  const int rows = ClampInt32(std::int64_t(old) + std::int64_t(sources.size()));
  DataGrid.AppendRowCopies(sources);
  // Copies below the cases change no level numbering (first appearances stay above) and
  // no column range, so their numbers are their sources' numbers.
  Rcount = std::max(Rcount, rows);
  auto grow = [&](int c) {
    // Built in a new vector, each element written once (a resize would fill it first).
    const auto& col = CellArray[c];
    std::vector<double> grown;
    grown.reserve(std::size_t(Rcount) + 1);
    grown.insert(grown.end(), col.begin(),
                 col.begin() + std::min<std::size_t>(col.size(), std::size_t(old) + 1));
    grown.resize(std::size_t(old) + 1, NoNumber);
    for (const std::int32_t src : sources) grown.push_back(col[std::size_t(src)]);
    grown.resize(std::size_t(Rcount) + 1, NoNumber);
    CellArray[c].swap(grown);
  };
  const int last = std::min(cols - 1, static_cast<int>(CellArray.size()) - 1);
  // The columns split between the cores when the copies are many.
  if (sources.size() >= 20000 && last >= 2 && std::thread::hardware_concurrency() >= 2) {
    std::thread half([&] {
      for (int c = 2; c <= last; c += 2) grow(c);
    });
    for (int c = 1; c <= last; c += 2) grow(c);
    half.join();
  } else {
    for (int c = 1; c <= last; ++c) grow(c);
  }
  for (int k = 0; k < 3 && cols + k < static_cast<int>(CellArray.size()); ++k)
    std::vector<double>().swap(CellArray[cols + k]);
  RowModified.resize(std::size_t(Rcount) + 1, 0);
  if (!RowRun.empty()) RowRun.resize(std::size_t(Rcount) + 1, 0);
  Ncount = rows;
  LastParsedRows_ = 0;
  MaxSizeA_Array(Ncount);
  InvalidateIndexes();
}

void TDataList::ReparseColumns(std::vector<int> columns) {
  const int cols = DataGrid.ColCount();
  bool flagged = false;
  for (std::size_t r = 1; r < RowModified.size() && !flagged; ++r) flagged = RowModified[r] != 0;
  // Anything else changed since the last parse: the whole table is parsed again.
  if (DataGrid.RowCount() - 1 != Ncount || cols < Ccount + 1 || flagged ||
      static_cast<int>(CellArray.size()) != Ccount + 4) {
    SetAllRowsModified();
    UpdateData();
    return;
  }
  if (cols > Ccount + 1) {  // columns appended at the end, before the row statistics
    const int added = cols - 1 - Ccount;
    CellArray.insert(CellArray.begin() + Ccount + 1, std::size_t(added), std::vector<double>());
    for (int c = Ccount + 1; c < cols; ++c) columns.push_back(c);
    Ccount = cols - 1;
  }
  for (int k = 0; k < 3; ++k) std::vector<double>().swap(CellArray[cols + k]);
  const int maxCol = std::min(MaxCol(), MaxColumns);
  std::erase_if(columns, [&](int c) { return c < 1 || c > maxCol; });
  std::sort(columns.begin(), columns.end());
  columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
  for (int c : columns) CellArray[c].assign(std::size_t(Rcount) + 1, NoNumber);
  ParseColumns(columns, false);
  for (int c : columns) {
    if (!StringVar[c]) continue;
    RecodeTextColumn(c);
    Highlow[c] = false;
    for (int r = 1; r <= Ncount; ++r) SetHighLow(CellArray[c][r], c);
  }
  AllRowsModified_ = false;
  DataChanged = false;
  LastParsedRows_ = columns.empty() ? 0 : Ncount;
  MaxSizeA_Array(Ncount);
  InvalidateIndexes();
}

void TDataList::MaxSizeA_Array(std::int32_t nA) {
  if (Acount < nA || static_cast<std::int64_t>(A_Array.size()) < std::int64_t(nA) + 1)
    CreateA_Array(nA);
}

void TDataList::CreateA_Array(std::int32_t nA) {
  Acount = nA;
  if (static_cast<std::int64_t>(A_Array.size()) < std::int64_t(nA) + 1)
    A_Array.resize(std::size_t(nA) + 1);
}

void TDataList::DisposeA_Array() {
  Acount = 0;
  std::vector<double>().swap(A_Array);
  A_ArrayCount = 0;
}

void TDataList::InvalidateIndexes() {
  for (auto& ix : LevelIndex_) ix.Valid = false;
  RunIndex_.Valid = false;
}

// ---------------------------------------------------------------- filters

bool TDataList::DataValid(double x) const {
  if (x == MissingValue || std::isnan(x)) return false;
  return RuleKeeps(x);
}

bool TDataList::DataValid(int c, int r) const {
  return HasValue(c, r) && RuleKeeps(CellArray[c][r]);
}

bool TDataList::RuleKeeps(double x) const {
  if (MissingRec.Active) {
    if (MissingRec.Sign1 != RelNone && Relation(x, MissingRec.Sign1, MissingRec.X1)) return false;
    if (MissingRec.Sign2 != RelNone && Relation(x, MissingRec.Sign2, MissingRec.X2)) return false;
  }
  return true;
}

bool TDataList::ProcessOK(int row) const { return TRowFilter(*this)(row); }

void TDataList::SetProcessPairs(int x, int y) {
  if (x == 0 && y == 0) {
    PairCol1 = PairCol2 = 0;
    return;
  }
  if (x < DataGrid.ColCount() && y < DataGrid.ColCount()) {
    PairCol1 = x;
    PairCol2 = y;
  }
}

// ---------------------------------------------------------------- indexes

bool TDataList::IsLevelMode(int mode) const {
  return mode == LoadMeasureByLevel || mode == LoadColumnsByLevel || mode == LoadRowMeansByLevel ||
         mode == LoadColumnByLevel;
}
bool TDataList::IsRunMode(int mode) const {
  return mode == LoadMeasureByRun || mode == LoadColumnsByRun || mode == LoadRowMeansByRun ||
         mode == LoadColumnByRun || mode == LoadMeasureBySingleRun;
}

namespace {
void BuildIndex(std::vector<std::pair<std::int64_t, std::int32_t>>& pairs,
                std::vector<std::int64_t>& keys, std::vector<std::int32_t>& rows) {
  std::sort(pairs.begin(), pairs.end());  // by key, then by row
  keys.resize(pairs.size());
  rows.resize(pairs.size());
  for (size_t i = 0; i < pairs.size(); ++i) {
    keys[i] = pairs[i].first;
    rows[i] = pairs[i].second;
  }
}
}  // namespace

const TDataList::TKeyIndex& TDataList::LevelIndex(int c) {
  if (static_cast<int>(LevelIndex_.size()) <= c) LevelIndex_.resize(c + 1);
  TKeyIndex& ix = LevelIndex_[c];
  if (ix.Valid) return ix;
  // Rows indexed by level once per parse: iterating the levels then costs the rows and
  // the levels present, however wide the range of the codes.
  std::vector<std::pair<std::int64_t, std::int32_t>> pairs;
  pairs.reserve(Ncount);
  // A row without a value in column c belongs to no level.
  for (int r = 1; r <= Ncount; ++r)
    if (HasValue(c, r)) pairs.emplace_back(RoundLevel(CellArray[c][r]), r);
  BuildIndex(pairs, ix.Keys, ix.Rows);
  ix.Valid = true;
  return ix;
}

const TDataList::TKeyIndex& TDataList::RunIndex() {
  TKeyIndex& ix = RunIndex_;
  if (ix.Valid) return ix;
  std::vector<std::pair<std::int64_t, std::int32_t>> pairs;
  pairs.reserve(Ncount);
  for (int r = 1; r <= Ncount && r < static_cast<int>(RowRun.size()); ++r)
    if (RowRun[r] > 0) pairs.emplace_back(RowRun[r], r);
  BuildIndex(pairs, ix.Keys, ix.Rows);
  ix.Valid = true;
  return ix;
}

std::pair<const std::int32_t*, const std::int32_t*> TDataList::LevelRows(int c, std::int64_t v) {
  const TKeyIndex& ix = LevelIndex(c);
  auto [b, e] = std::equal_range(ix.Keys.begin(), ix.Keys.end(), v);
  const std::int32_t* base = ix.Rows.data();
  return {base + (b - ix.Keys.begin()), base + (e - ix.Keys.begin())};
}

std::pair<const std::int32_t*, const std::int32_t*> TDataList::RunRows(int v) {
  if (v < 1 || v >= static_cast<int>(RunTable.size()) || RunTable[v].Code <= 0)
    return {nullptr, nullptr};
  const TKeyIndex& ix = RunIndex();
  auto [b, e] = std::equal_range(ix.Keys.begin(), ix.Keys.end(), RunTable[v].Code);
  const std::int32_t* base = ix.Rows.data();
  return {base + (b - ix.Keys.begin()), base + (e - ix.Keys.begin())};
}

std::int64_t TDataList::NextSet(const TRunInfo& ri, std::int64_t v) {
  if (!IsLevelMode(ri.ColRefRun)) return v;
  // Without a grouping column no level holds values.
  if (ri.index < 1 || ri.index > MaxCol())
    return std::max<std::int64_t>(v, std::int64_t(ri.Alast) + 1);
  const TKeyIndex& ix = LevelIndex(ri.index);
  auto it = std::lower_bound(ix.Keys.begin(), ix.Keys.end(), v);
  return it == ix.Keys.end() ? std::max<std::int64_t>(v, std::int64_t(ri.Alast) + 1) : *it;
}

std::int64_t TDataList::PrevSet(const TRunInfo& ri, std::int64_t v) {
  if (!IsLevelMode(ri.ColRefRun)) return v;
  if (ri.index < 1 || ri.index > MaxCol())
    return std::min<std::int64_t>(v, std::int64_t(ri.Afirst) - 1);
  const TKeyIndex& ix = LevelIndex(ri.index);
  auto it = std::upper_bound(ix.Keys.begin(), ix.Keys.end(), v);
  return it == ix.Keys.begin() ? std::min<std::int64_t>(v, std::int64_t(ri.Afirst) - 1) : *(it - 1);
}

// ---------------------------------------------------------------- loads

void TDataList::AppendValue(double x) {
  if (!DataValid(x)) return;
  A_Array[++A_ArrayCount] = x;
}

void TDataList::AppendCell(double x) {
  if (CellKeeps(x)) A_Array[++A_ArrayCount] = x;
}

int TDataList::FirstIncluded() const {
  for (int c = 1; c <= MaxCol() && c <= MaxColumns; ++c)
    if (IncludeCol[c]) return c;
  return 0;
}

double TDataList::RowStat(int k, int r) const { return Value(MaxCol() + k, r); }

std::vector<double>& TDataList::RowStatsColumn(int k) {
  k = std::clamp<int>(k, RowStatMean, RowStatCount);
  if (DataChanged) UpdateData();
  auto& col = CellArray[MaxCol() + k];
  if (static_cast<int>(col.size()) < Ncount + 1) col.assign(std::size_t(Ncount) + 1, MissingValue);
  return col;
}

void TDataList::CalcRowStats() {
  auto& mean = RowStatsColumn(RowStatMean);
  auto& sd = RowStatsColumn(RowStatStdDev);
  auto& n = RowStatsColumn(RowStatCount);
  const int maxCol = std::min(MaxCol(), MaxColumns);
  const TRowFilter ok(*this);
  for (int r = 1; r <= Ncount; ++r) {
    mean[r] = sd[r] = MissingValue;
    n[r] = 0;
    if (!ok(r)) continue;
    double s = 0, ss = 0;
    int count = 0;
    for (int c = 1; c <= maxCol; ++c) {
      if (!IncludeCol[c]) continue;
      double x = CellArray[c][r];
      if (!CellKeeps(x)) continue;
      if (!Transformed(x)) {
        CalcRowStats();  // the transform is off now: every row on one scale
        return;
      }
      s += x;
      ss += x * x;
      ++count;
    }
    n[r] = count;
    if (count > 0) mean[r] = s / count;
    if (count > 1) sd[r] = std::sqrt(std::max(0.0, (ss - s * s / count) / (count - 1)));
  }
}

bool TDataList::Transformed(double& x) {
  if (TransformRec.no == TransformNone) return true;
  if (TransformValue(TransformRec, x)) return true;
  TransformErrorReport(TransformRec);
  return false;
}

bool TDataList::ApplyTransform(int mode) {
  if (mode == LoadRowMeans || mode == LoadRowMeansByLevel || mode == LoadRowMeansByRun) return true;
  if (TransformRec.no == TransformNone || A_ArrayCount == 0) return true;
  if (TransformArray(TransformRec, A_Array.data(), A_ArrayCount)) return true;
  TransformErrorReport(TransformRec);
  return false;
}

void TDataList::StartLoad(bool includedColumns) {
  if (DataChanged) UpdateData();
  if (!reloading_) SaveLoadRandomState();
  A_ArrayCount = 0;
  std::int64_t need = Ncount;
  if (includedColumns) {
    int included = 0;
    for (int c = 1; c <= std::min(MaxCol(), MaxColumns); ++c) included += IncludeCol[c] ? 1 : 0;
    need = std::int64_t(std::max(included, 1)) * Ncount;
  }
  MaxSizeA_Array(ClampInt32(need));
}

void TDataList::DataToA_Array(int v1, TRunInfo& ri) {
  const int mode = ri.ColRefRun;
  StartLoad(mode == LoadAllColumns || mode == LoadColumnsByLevel || mode == LoadColumnsByRun);
  const int maxCol = std::min(MaxCol(), MaxColumns);
  const TRowFilter ok(*this);

  auto column = [&](int c, const std::int32_t* b, const std::int32_t* e) {
    if (c < 1 || c >= static_cast<int>(CellArray.size()) || CellArray[c].empty()) return;
    const auto& col = CellArray[c];
    // Data cells mark "no number" by NaN; the row statistics columns by MissingValue.
    const bool data = c <= MaxCol();
    auto append = [&](double x) { data ? AppendCell(x) : AppendValue(x); };
    if (b == nullptr && e == nullptr) {
      const int last = std::min(Ncount, static_cast<int>(col.size()) - 1);
      if (ok.PassesAll()) {
        for (int r = 1; r <= last; ++r) append(col[r]);
      } else {
        for (int r = 1; r <= last; ++r)
          if (ok(r)) append(col[r]);
      }
    } else {
      for (auto p = b; p != e; ++p)
        if (*p < static_cast<int>(col.size()) && ok(*p)) append(col[*p]);
    }
  };
  auto includedColumns = [&](const std::int32_t* b, const std::int32_t* e, int first, int last) {
    auto row = [&](int r) {
      if (!ok(r)) return;
      for (int c = std::max(first, 1); c <= std::min(last, maxCol); ++c)
        if (IncludeCol[c]) AppendCell(CellArray[c][r]);
    };
    if (b == nullptr && e == nullptr)
      for (int r = 1; r <= Ncount; ++r) row(r);
    else
      for (auto p = b; p != e; ++p) row(*p);
  };
  const std::int32_t none = 0;
  auto emptySet = std::make_pair(&none, &none);
  auto levelRows = [&]() {
    return ri.index >= 1 && ri.index <= MaxCol() ? LevelRows(ri.index, v1) : emptySet;
  };
  auto runRows = [&]() {
    auto rr = RunRows(v1);
    return rr.first ? rr : emptySet;
  };

  switch (mode) {
    case LoadColumn:
      DescCol = v1;
      if (v1 < 1 || v1 > MaxColumns || !IncludeCol[v1]) return;
      column(v1, nullptr, nullptr);
      break;
    case LoadMeasureByLevel: {
      auto [b, e] = levelRows();
      column(ri.measure, b, e);
      DescCol = ri.measure;
      break;
    }
    case LoadMeasureByRun:
    case LoadMeasureBySingleRun: {
      auto [b, e] = runRows();
      column(ri.measure, b, e);
      DescCol = ri.measure;
      break;
    }
    case LoadAllColumns:
      if (v1 > MaxCol())
        column(v1, nullptr, nullptr);
      else
        includedColumns(nullptr, nullptr, ri.Afirst, ri.Alast);
      ri.v = ri.Alast;
      DescCol = ri.Afirst;
      break;
    case LoadColumnsByLevel: {
      auto [b, e] = levelRows();
      includedColumns(b, e, 1, maxCol);
      DescCol = FirstIncluded();
      break;
    }
    case LoadColumnsByRun: {
      auto [b, e] = runRows();
      includedColumns(b, e, 1, maxCol);
      DescCol = FirstIncluded();
      break;
    }
    case LoadRowMeans:
      column(MaxCol() + RowStatMean, nullptr, nullptr);
      ri.v = ri.Alast;
      DescCol = FirstIncluded();
      break;
    case LoadRowMeansByLevel: {
      auto [b, e] = levelRows();
      column(MaxCol() + RowStatMean, b, e);
      DescCol = FirstIncluded();
      break;
    }
    case LoadRowMeansByRun: {
      auto [b, e] = runRows();
      column(MaxCol() + RowStatMean, b, e);
      DescCol = FirstIncluded();
      break;
    }
    case LoadColumnByLevel: {
      auto [b, e] = levelRows();
      column(ri.ColIndex, b, e);
      DescCol = FirstIncluded();
      break;
    }
    case LoadColumnByRun: {
      auto [b, e] = runRows();
      column(ri.ColIndex, b, e);
      DescCol = FirstIncluded();
      break;
    }
    default: return;
  }
  // After a transform error the message says the transform is off: the set is loaded
  // again untransformed rather than left half on one scale, half on the other.
  if (!ApplyTransform(mode)) DataToA_Array(v1, ri);
}

void TDataList::LoadAllToA_Array(TRunInfo& ri) {
  const int mode = ri.ColRefRun;
  StartLoad(mode == LoadColumn || mode == LoadAllColumns || mode == LoadColumnsByLevel ||
            mode == LoadColumnsByRun || mode == LoadColumnByLevel || mode == LoadColumnByRun);
  const int maxCol = std::min(MaxCol(), MaxColumns);
  auto run = [&](int r) { return r < static_cast<int>(RowRun.size()) ? RowRun[r] : 0; };
  auto measure = [&](int r) {
    if (DataValid(ri.measure, r)) A_Array[++A_ArrayCount] = CellArray[ri.measure][r];
  };
  const TRowFilter ok(*this);
  for (int r = 1; r <= Ncount; ++r) {
    if (!ok(r)) continue;
    switch (mode) {
      case LoadColumn:
      case LoadAllColumns:
      case LoadColumnsByLevel:
      case LoadColumnByLevel:
        for (int c = 1; c <= maxCol; ++c)
          if (IncludeCol[c]) AppendCell(CellArray[c][r]);
        break;
      case LoadMeasureByLevel: measure(r); break;
      case LoadMeasureByRun:
      case LoadMeasureBySingleRun:
        if (run(r) >= 1) measure(r);
        break;
      case LoadColumnsByRun:
      case LoadColumnByRun:
        if (run(r) > 0)
          for (int c = 1; c <= maxCol; ++c)
            if (IncludeCol[c]) AppendCell(CellArray[c][r]);
        break;
      case LoadRowMeans:
      case LoadRowMeansByLevel: AppendValue(RowStat(RowStatMean, r)); break;
      case LoadRowMeansByRun:
        if (run(r) >= 1) AppendValue(RowStat(RowStatMean, r));
        break;
      default: break;
    }
  }
  DescCol =
      (mode == LoadMeasureByLevel || mode == LoadMeasureByRun || mode == LoadMeasureBySingleRun)
          ? ri.measure
          : FirstIncluded();
  ri.CurrentName = ri.CurrentTitle = "(All)";
  if (!ApplyTransform(mode)) LoadAllToA_Array(ri);
}

void TDataList::SubgroupStatsToA_Array(int v1, TRunInfo& ri) {
  if (DataChanged) UpdateData();
  A_ArrayCount = 0;
  MaxSizeA_Array(Ncount);
  const int mode = ri.ColRefRun;
  const TRowFilter ok(*this);
  auto take = [&](int r) {
    if (ok(r)) AppendValue(RowStat(v1, r));
  };
  if (mode == LoadAllColumns || mode == LoadRowMeans) {
    for (int r = 1; r <= Ncount; ++r) take(r);
  } else if (mode == LoadColumnsByLevel || mode == LoadRowMeansByLevel ||
             mode == LoadColumnByLevel) {
    if (ri.index >= 1 && ri.index <= MaxCol()) {
      auto [b, e] = LevelRows(ri.index, ri.v);
      for (auto p = b; p != e; ++p) take(*p);
    }
  } else if (mode == LoadColumnsByRun || mode == LoadRowMeansByRun || mode == LoadColumnByRun) {
    auto [b, e] = RunRows(ri.v);
    for (auto p = b; p != e; ++p) take(*p);
  }
}

void TDataList::GetGrandHighLow(int colRefRunType, TRunInfo& ri) {
  if (DataChanged) UpdateData();
  GrandHigh = GrandLow = MissingValue;
  bool any = false;
  const int mode = colRefRunType;
  const int maxCol = std::min(MaxCol(), MaxColumns);
  bool transform =
      !(mode == LoadRowMeans || mode == LoadRowMeansByLevel || mode == LoadRowMeansByRun);
  bool failed = false;
  auto take = [&](double x, bool valid) {
    if (!valid || failed) return;
    if (transform && !Transformed(x)) {
      failed = true;
      return;
    }
    if (!any) {
      GrandHigh = GrandLow = x;
      any = true;
    } else {
      GrandHigh = std::max(GrandHigh, x);
      GrandLow = std::min(GrandLow, x);
    }
  };
  const TRowFilter ok(*this);
  for (int r = 1; r <= Ncount; ++r) {
    if (!ok(r)) continue;
    switch (mode) {
      case LoadColumn:
      case LoadAllColumns:
      case LoadColumnsByLevel:
      case LoadColumnsByRun:
      case LoadColumnByLevel:
      case LoadColumnByRun:
        for (int c = 1; c <= maxCol; ++c)
          if (IncludeCol[c]) take(CellArray[c][r], CellKeeps(CellArray[c][r]));
        break;
      case LoadMeasureByLevel:
      case LoadMeasureByRun:
      case LoadMeasureBySingleRun: take(Value(ri.measure, r), DataValid(ri.measure, r)); break;
      case LoadRowMeans:
      case LoadRowMeansByLevel:
      case LoadRowMeansByRun:
        take(RowStat(RowStatMean, r), DataValid(RowStat(RowStatMean, r)));
        break;
      default: break;
    }
  }
  // The transform went off at an error: the extremes are those of the untransformed values.
  if (failed) GetGrandHighLow(colRefRunType, ri);
}

void TDataList::ReloadAR(TRunInfo& ri) {
  RestoreLoadRandomState();
  reloading_ = true;
  DataToA_Array(ri.v, ri);
  reloading_ = false;
}

// ---------------------------------------------------------------- runs

std::int64_t TDataList::CalcLineRun(int r, const TRunInfo& ri) const {
  std::int64_t code = 1;
  const int n = std::clamp(ri.RefArray[0], 0, MaxColumns);
  for (int i = 1; i <= n; ++i) {
    int c = ri.RefArray[i];
    if (!HasValue(c, r)) return 0;
    double x = Value(c, r);
    std::int64_t low = c >= 1 && c <= MaxColumns ? RoundLevel(ColumnLow[c]) : 0;
    code += (RoundLevel(x) - low) * ri.Cpower[i];
  }
  return code;
}

void TDataList::SetRunData(TRunInfo& ri) {
  if (DataChanged) UpdateData();
  const int n = std::clamp(ri.RefArray[0], 0, MaxColumns);
  bool overflow = false;
  for (int i = 1; i <= n; ++i) {
    int c = ri.RefArray[i];
    bool ok = c >= 1 && c <= MaxColumns && c <= MaxCol() && Highlow[c];
    ri.MaxLevel[i] = ok ? RoundLevel(ColumnHigh[c]) - RoundLevel(ColumnLow[c]) + 1 : 1;
  }
  ri.Cpower[n > 0 ? n : 0] = 1;
  for (int i = n - 1; i >= 1; --i) {
    std::int64_t p;
    if (__builtin_mul_overflow(ri.Cpower[i + 1], ri.MaxLevel[i + 1], &p)) {
      overflow = true;
      p = 1;
    }
    ri.Cpower[i] = p;
  }
  if (!overflow && n >= 1 && ri.MaxLevel[1] > 0) {
    std::int64_t p;
    overflow = __builtin_mul_overflow(ri.Cpower[1], ri.MaxLevel[1], &p);
  }
  RowRun.assign(std::size_t(std::max(Rcount, Ncount)) + 1, 0);
  if (!overflow) {
    for (int r = 1; r <= Ncount; ++r) RowRun[r] = CalcLineRun(r, ri);
  } else {
    // Level spans whose product passes 64 bits: the codes become the ranks of the
    // combinations, which keeps their order and their grouping.
    std::vector<std::int32_t> rows;
    for (int r = 1; r <= Ncount; ++r) {
      bool missing = false;
      for (int i = 1; i <= n; ++i) missing = missing || !HasValue(ri.RefArray[i], r);
      if (!missing) rows.push_back(r);
    }
    auto less = [&](std::int32_t a, std::int32_t b) {
      for (int i = 1; i <= n; ++i) {
        auto x = RoundLevel(Value(ri.RefArray[i], a)), y = RoundLevel(Value(ri.RefArray[i], b));
        if (x != y) return x < y;
      }
      return false;
    };
    std::stable_sort(rows.begin(), rows.end(), less);
    std::int64_t code = 0;
    for (size_t k = 0; k < rows.size(); ++k) {
      if (k == 0 || less(rows[k - 1], rows[k])) ++code;
      RowRun[rows[k]] = code;
    }
  }
  std::vector<std::pair<std::int64_t, std::int32_t>> pairs;
  pairs.reserve(Ncount);
  for (int r = 1; r <= Ncount; ++r) pairs.emplace_back(RowRun[r], r);
  std::sort(pairs.begin(), pairs.end());
  RunTable.assign(1, TRunEntry());
  for (size_t k = 0; k < pairs.size(); ++k)
    if (k == 0 || pairs[k].first != pairs[k - 1].first)
      RunTable.push_back({pairs[k].first, pairs[k].second});
  // The same sorted pairs are the rows of each run (codes 0 never load).
  RunIndex_.Keys.clear();
  RunIndex_.Rows.clear();
  for (const auto& [code, row] : pairs)
    if (code > 0) {
      RunIndex_.Keys.push_back(code);
      RunIndex_.Rows.push_back(row);
    }
  RunIndex_.Valid = true;
  ri.MinRun = 1;
  ri.MaxRun = std::max<std::int32_t>(1, static_cast<std::int32_t>(RunTable.size()) - 1);
  ri.Afirst = ri.MinRun;
  ri.Alast = ri.MaxRun;
}

// ---------------------------------------------------------------- iteration

void TDataList::SetupIndex(TRunInfo& ri) {
  ri.v = ri.Afirst - 1;
  ri.ColIndex = ri.ColFirst;
}

void TDataList::GetGroupCount(TRunInfo& ri) {
  SetupIndex(ri);
  ri.NumberOfGroups = 0;
  ri.TotalCount = 0;
  for (std::int64_t v = NextSet(ri, ri.Afirst); v <= ri.Alast; v = NextSet(ri, v + 1)) {
    ri.v = static_cast<std::int32_t>(v);
    DataToA_Array(ri.v, ri);
    if (A_ArrayCount > 0) {
      ++ri.NumberOfGroups;
      ri.TotalCount += A_ArrayCount;
    }
    v = ri.v;  // one-set modes end the iteration
  }
  SetupIndex(ri);
}

bool TDataList::GetAR(TRunInfo& ri) {
  const int mode = ri.ColRefRun;
  std::int64_t v = std::int64_t(ri.v) + 1;
  bool found = false;
  for (;;) {
    for (v = NextSet(ri, v); v <= ri.Alast; v = NextSet(ri, v + 1)) {
      ri.v = static_cast<std::int32_t>(v);
      DataToA_Array(ri.v, ri);
      if (A_ArrayCount > 0) {
        found = true;
        break;
      }
      v = ri.v;
    }
    if (found || !(mode == LoadColumnByLevel || mode == LoadColumnByRun)) break;
    // Column-by-group modes: on to the next included column, all its sets again.
    int next = 0;
    for (int c = ri.ColIndex + 1; c <= ri.ColLast && c <= MaxColumns; ++c)
      if (IncludeCol[c]) {
        next = c;
        break;
      }
    if (next == 0) break;
    ri.ColIndex = next;
    v = ri.Afirst;
  }
  ri.v = ClampInt32(std::min<std::int64_t>(found ? ri.v : v, ri.Alast));
  if (found) SetCurrentTitles(ri);
  return found;
}

bool TDataList::GetLastAR(TRunInfo& ri) {
  std::int64_t v = std::int64_t(ri.v) - 1;
  bool found = false;
  for (v = PrevSet(ri, v); v >= ri.Afirst; v = PrevSet(ri, v - 1)) {
    ri.v = static_cast<std::int32_t>(v);
    DataToA_Array(ri.v, ri);
    if (A_ArrayCount > 0) {
      found = true;
      break;
    }
  }
  ri.v = ClampInt32(std::max<std::int64_t>(found ? ri.v : v, ri.Afirst));
  if (found) SetCurrentTitles(ri);
  return found;
}

bool TDataList::GetARsubgroupStats(int m, TRunInfo& ri) {
  const int mode = ri.ColRefRun;
  bool found = false;
  std::int64_t v = std::int64_t(ri.v) + 1;
  for (v = NextSet(ri, v); v <= ri.Alast; v = NextSet(ri, v + 1)) {
    ri.v = static_cast<std::int32_t>(v);
    SubgroupStatsToA_Array(m, ri);
    // The one-set modes end the iteration after their set, as their loads do for GetAR.
    if (mode == LoadAllColumns || mode == LoadRowMeans) ri.v = ri.Alast;
    if (A_ArrayCount > 0) {
      found = true;
      break;
    }
    v = ri.v;
  }
  ri.v = ClampInt32(std::min<std::int64_t>(found ? ri.v : v, ri.Alast));
  if (!found) return false;
  if (mode == LoadAllColumns)
    ri.CurrentName = "Group";
  else if (mode == LoadRowMeans)
    ri.CurrentName = "Mean";
  else if (mode == LoadColumnsByLevel || mode == LoadRowMeansByLevel || mode == LoadColumnByLevel)
    ri.CurrentName = std::to_string(ri.v);
  else
    ri.CurrentName = GetRunName(ri.v, ri);
  ri.CurrentTitle = ri.CurrentName;
  return true;
}

void TDataList::SetupVarList(TRunInfo& ri, std::vector<std::string>& varNameList,
                             std::vector<std::string>& varIndexList) {
  varNameList.clear();
  varIndexList.clear();
  SetupIndex(ri);
  while (GetAR(ri)) {
    varNameList.push_back(ri.CurrentName);
    if (ri.ColRefRun == LoadColumnByLevel || ri.ColRefRun == LoadColumnByRun)
      varIndexList.push_back(std::to_string(ri.ColIndex) + "," + std::to_string(ri.v));
    else
      varIndexList.push_back(std::to_string(ri.v));
  }
  SetupIndex(ri);
}

void TDataList::SetCurrentTitles(TRunInfo& ri) {
  const int mode = ri.ColRefRun;
  auto levelName = [&]() { return GetLevelName(ri.index, ri.v); };
  switch (mode) {
    case LoadColumn:
      if (ri.v > MaxCol() && ri.v <= MaxCol() + RowStatCount) {
        static const char* stats[3] = {"Mean", "StdDev", "n"};
        ri.CurrentName = stats[ri.v - MaxCol() - RowStatMean];
        ri.CurrentTitle = ri.CurrentName;
      } else {
        ri.CurrentName = ColumnName(ri.v);
        ri.CurrentTitle = ColumnTitleOrName(ri.v);
      }
      return;
    case LoadMeasureByLevel:
    case LoadColumnsByLevel:
    case LoadRowMeansByLevel: ri.CurrentName = levelName(); break;
    case LoadMeasureByRun:
    case LoadColumnsByRun:
    case LoadRowMeansByRun:
    case LoadMeasureBySingleRun: ri.CurrentName = GetRunName(ri.v, ri); break;
    case LoadAllColumns: ri.CurrentName = "Group"; break;
    case LoadRowMeans: {
      std::string s = "Mean(";
      bool first = true;
      for (int c = 1; c <= MaxCol() && c <= MaxColumns; ++c)
        if (IncludeCol[c]) {
          if (!first) s += ",";
          s += ColumnName(c);
          first = false;
        }
      ri.CurrentName = s + ")";
      break;
    }
    case LoadColumnByLevel:
    case LoadColumnByRun: {
      std::string set = mode == LoadColumnByLevel ? levelName() : GetRunName(ri.v, ri);
      ri.CurrentName = ColumnName(ri.ColIndex) + "(" + set + ")";
      ri.CurrentTitle = ColumnTitleOrName(ri.ColIndex) + "(" + set + ")";
      return;
    }
    default: break;
  }
  ri.CurrentTitle = ri.CurrentName;
}

}  // namespace sorvel
