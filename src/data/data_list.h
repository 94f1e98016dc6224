// The data set: the data and description grids, the numbers parsed from them, and the
// loads that hand each analysis its sets of values through A_Array.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "data/cell_text.h"
#include "data/text_grid.h"
#include "numerics/common.h"

namespace sorvel {

using TColArrayOfDouble = std::array<double, MaxColumns + 1>;
using TColArrayOfBoolean = std::array<bool, MaxColumns + 1>;
using TColArrayOfInteger = std::array<std::int32_t, MaxColumns + 1>;
// Place values and level spans of run codes; 64-bit so that several reference columns of
// wide integer codes (dates such as 20240101) do not overflow.
using TColArrayOfInt64 = std::array<std::int64_t, MaxColumns + 1>;

// Load modes (TRunInfo::ColRefRun).
enum : std::uint8_t {
  LoadColumn = 1,               // column v
  LoadMeasureByLevel = 2,       // column measure, rows of level v
  LoadMeasureByRun = 3,         // column measure, rows of run v
  LoadAllColumns = 5,           // every included column (one set)
  LoadColumnsByLevel = 6,       // every included column, rows of level v
  LoadColumnsByRun = 7,         // every included column, rows of run v
  LoadRowMeans = 8,             // row mean column (one set)
  LoadRowMeansByLevel = 9,      // row mean column, rows of level v
  LoadRowMeansByRun = 10,       // row mean column, rows of run v
  LoadColumnByLevel = 11,       // column ColIndex, rows of level v, for each included column
  LoadColumnByRun = 12,         // column ColIndex, rows of run v, for each included column
  LoadMeasureBySingleRun = 20,  // column measure, rows of run v, one reference column
};

// Relation codes of the missing-value rule (TMissingRec::Sign1/Sign2), Process If
// (TProcessIfRec::Sign1/Sign2) and Find (TFindSpec::Relation1/Relation2). The fields stay
// plain ints with these values: the dialogs and saved settings store them.
enum : int {
  RelNone = 0,          // no condition
  RelAll = RelNone,     // Process If: every row
  RelEqual = 1,         // "="
  RelGreater = 2,       // ">"
  RelGreaterEqual = 3,  // ">="
  RelLess = 4,          // "<"
  RelLessEqual = 5,     // "<="
  RelNotEqual = 6,      // "<>" (Process If only)
  RelIn = 7,            // "in" the list (Process If only)
  RelNotIn = 8,         // "Not in" the list (Process If only)
};

// How Process If joins its two conditions (TProcessIfRec::AndOr).
enum : int { ProcessIfAnd = 0, ProcessIfOr = 1 };

// Row statistics columns, counted after MaxCol (RowStatsColumn, SubgroupStatsToA_Array).
enum : int { RowStatMean = 1, RowStatStdDev = 2, RowStatCount = 3 };

// Which values form a set, and where the iteration stands. Each analysis window owns one.
struct TRunInfo {
  std::int32_t v = 0;
  std::int32_t Afirst = 0, Alast = 0;
  std::int32_t ColIndex = 0;
  std::int32_t ColFirst = 0, ColLast = 0;
  std::int32_t measure = 0;
  std::int32_t index = 0;
  std::int32_t MinRun = 0, MaxRun = 0;
  bool Col = false, Ref = false, Run = false;
  std::uint8_t ColRefRun = 0;
  std::string ColRefRunStr;
  std::string CurrentTitle, CurrentName;
  std::string MeasureName, GroupName;
  TColArrayOfInt64 Cpower{};
  TColArrayOfInt64 MaxLevel{};
  TColArrayOfInteger RefArray{};  // [0] number of reference columns, [1..n] their columns
  std::int32_t NumberOfGroups = 0, TotalCount = 0;

  void InitRunInfo() { *this = TRunInfo(); }
  void CopyFrom(const TRunInfo& ri) { *this = ri; }
};

struct TRunEntry {
  std::int64_t Code = 0;
  std::int32_t Row = 0;  // one row carrying the code; 0: none
};

class TDataList {
 public:
  // The empty data set: one variable "Col1" and one empty case.
  TDataList();

  // ---- Texts (the editor shows and edits these) ----
  // Column 0 holds case numbers (read as 1, 2, ...), row 0 the column names.
  TTextGrid DataGrid;
  // Five rows: names, "Title:", "USL:", "Target:", "LSL:"; as many columns as DataGrid.
  TTextGrid DescGrid;

  // ---- Fields, in declaration order ----
  TColArrayOfDouble ColumnHigh{};
  TColArrayOfDouble ColumnLow{};
  TColArrayOfBoolean Highlow{};
  TColArrayOfBoolean IncludeCol{};
  TColArrayOfBoolean StringVar{};
  double GrandHigh = 0, GrandLow = 0;
  std::int32_t Acount = 0;
  std::int32_t Ncount = 0;
  std::int32_t Ccount = 0, Rcount = 0;
  bool MaxSizeCellChange = false;
  std::int32_t DescCol = 0;

  // ---- Numeric storage ----
  // CellArray[c][r]: parsed value of data cell (c, r), c = 1..MaxCol, r = 1..Ncount. A cell
  // that holds no number (empty or unreadable) holds a NaN, which no typed text gives, so a
  // typed -2147483647 stays a value; Value() and the loads hand MissingValue on for it.
  // Columns MaxCol+1..MaxCol+3 (row mean, standard deviation, count of the included
  // columns) are allocated by RowStatsColumn or CalcRowStats when an analysis needs them.
  std::vector<std::vector<double>> CellArray;
  // LevelRow[c][k]: the row where level k of text column c first occurs.
  std::vector<std::vector<std::int32_t>> LevelRow;
  std::vector<std::uint8_t> RowModified;  // [r], r = 1..Rcount
  bool DataChanged = false;
  std::vector<std::int64_t> RowRun;  // [r]: run code of row r, 0 = missing combination
  std::vector<TRunEntry> RunTable;   // [1..MaxRun]

  // ---- Column facts ----
  int MaxCol() const { return DataGrid.ColCount() - 1; }
  std::string ColumnName(int c) const;
  std::string ColumnTitle(int c) const;
  std::string ColumnTitleOrName(int c) const;
  double ColumnUSL(int c) const;
  double ColumnTarget(int c) const;
  double ColumnLSL(int c) const;
  std::string GetLevelName(int c, int level) const;
  std::string GetRunName(int rn, const TRunInfo& ri) const;
  int LevelCount(int c) const;  // levels of a text column (0 for a numeric one)
  // Value of a data cell after UpdateData; MissingValue for a cell without a number and
  // outside the table.
  double Value(int c, int r) const;
  // The cell holds a number (a level code in a text column). Unlike a test of Value()
  // against MissingValue it keeps a typed -2147483647.
  bool HasValue(int c, int r) const;

  // ---- Editing (what the editor calls; each keeps both grids and the flags in step) ----
  // Data cell text; row 0 is the column name (copied to the description grid's names).
  // Both keep the text as a file would give it back (CleanCellText).
  void SetCellText(int c, int r, std::string_view text);
  // Description cell (rows 1..4); row 0 sets the column name in both grids.
  void SetDescText(int c, int r, std::string_view text);
  void InsertRows(int at, int n);     // n empty cases before case `at`
  void DeleteRows(int at, int n);     // cases at..at+n-1
  void InsertColumns(int at, int n);  // n unnamed columns before `at`, never past 512 columns
  bool CanAddColumns(int n) const { return MaxCol() + n <= MaxColumns; }
  void DeleteColumns(int at, int n);
  void SetRowCount(int cases);  // cases = data rows; new rows empty
  void SetColCount(int cols);   // variable columns; new ones named "Col" + n
  // True when some column's name is not its default "Col" + n (case ignored).
  bool ModifiedColumnNames() const;
  // Empty names, and "COL" + an integer other than the column's own number, become
  // "Col" + n.
  void NormaliseColumnNames();
  // False for the untouched empty data set (one empty column, one empty case).
  bool HaveData() const;

  // ---- Maintenance ----
  void InitData();
  // Releases the parsed numbers and the row tables (the texts stay).
  void Cleardata();
  void SetRowModifiedTrue(int r);
  void SetRowsModified(int first, int last);
  void SetAllRowsModified();
  // Re-parses the rows flagged modified (and new rows), recodes text columns and
  // recomputes the column ranges. Uses both cores on large tables.
  void UpdateData();
  void MaxSizeCellArray();
  void MaxSizeA_Array(std::int32_t nA);
  void CreateA_Array(std::int32_t nA);
  void DisposeA_Array();
  // Appends a copy of case sources[k] as case Ncount + 1 + k, texts and numbers alike:
  // copies below the cases change no level numbering or column range, so nothing is
  // parsed again (Weight Cases on a million cases).
  void AppendCaseCopies(const std::vector<std::int32_t>& sources);
  // A command rewrote the texts of whole columns (and perhaps appended columns at the
  // end) right after UpdateData: parses those columns alone. Anything else changed falls
  // back to parsing every row.
  void ReparseColumns(std::vector<int> columns);
  // Rows re-parsed by the last UpdateData (for tests and the editor's status).
  std::int64_t LastParsedRows() const { return LastParsedRows_; }

  // ---- Filters ----
  bool DataValid(double x) const;
  // DataValid for cell (c, r): it holds a number that the missing-value rule keeps.
  bool DataValid(int c, int r) const;
  bool ProcessOK(int row) const;
  void SetProcessPairs(int x, int y);

  // ---- Loads ----
  void DataToA_Array(int v1, TRunInfo& ri);
  void LoadAllToA_Array(TRunInfo& ri);
  void SubgroupStatsToA_Array(int v1, TRunInfo& ri);
  void GetGrandHighLow(int colRefRunType, TRunInfo& ri);
  // Loads set ri.v again with the random generator as the last load started it, so a
  // random transformation gives the same values again.
  void ReloadAR(TRunInfo& ri);
  // The active transformation applied to one value, for analyses that read cells
  // themselves. On an error it is reported, the transformation switched off, x left as
  // it was, and false returned: the caller reads its cells again untransformed.
  bool Transformed(double& x);
  // Row statistics column MaxCol + k (k = 1 mean, 2 standard deviation, 3 count),
  // allocated (filled with MissingValue) on first use.
  std::vector<double>& RowStatsColumn(int k);
  // Fills the row statistics columns from the included columns of every row that passes
  // ProcessOK, counting valid values after the transformation.
  void CalcRowStats();

  // ---- Runs ----
  void SetRunData(TRunInfo& ri);
  std::int64_t CalcLineRun(int r, const TRunInfo& ri) const;

  // ---- Iteration ----
  void SetupIndex(TRunInfo& ri);
  void GetGroupCount(TRunInfo& ri);
  bool GetAR(TRunInfo& ri);
  bool GetLastAR(TRunInfo& ri);
  bool GetARsubgroupStats(int m, TRunInfo& ri);
  void SetupVarList(TRunInfo& ri, std::vector<std::string>& varNameList,
                    std::vector<std::string>& varIndexList);
  void SetCurrentTitles(TRunInfo& ri);

 private:
  struct TKeyIndex {                 // rows sorted by a key (rounded level value or run code)
    std::vector<std::int64_t> Keys;  // ascending, one per row
    std::vector<std::int32_t> Rows;  // ascending within equal keys
    bool Valid = false;
  };
  void SetRow(int row);
  // Parses `columns` (ascending) of rows 1..Ncount on every core and sets their text
  // flags and ranges; wholeRows reads each row's cells 1..columns.back() at once.
  void ParseColumns(const std::vector<int>& columns, bool wholeRows);
  void SetHighLow(double x, int c);
  void RecodeTextColumn(int c);
  bool IsLevelMode(int mode) const;
  bool IsRunMode(int mode) const;
  const TKeyIndex& LevelIndex(int c);
  const TKeyIndex& RunIndex();
  // Rows of level v of column c / of run v (ascending); false when the set is absent.
  std::pair<const std::int32_t*, const std::int32_t*> LevelRows(int c, std::int64_t v);
  std::pair<const std::int32_t*, const std::int32_t*> RunRows(int v);
  // Next / previous set index at or after (before) v that can hold values, for the level
  // modes; others return v.
  std::int64_t NextSet(const TRunInfo& ri, std::int64_t v);
  std::int64_t PrevSet(const TRunInfo& ri, std::int64_t v);
  // The first steps of every load: pending edits parsed, the random state saved, the
  // array emptied and its capacity raised to the rows (times the included columns).
  void StartLoad(bool includedColumns);
  // The missing-value rule alone.
  bool RuleKeeps(double x) const;
  // A data cell's value (NaN when it has none) passes: it has one and the rule keeps it.
  bool CellKeeps(double x) const { return x == x && RuleKeeps(x); }
  void AppendValue(double x);  // a computed value (row statistics): DataValid decides
  void AppendCell(double x);   // a data cell's value: CellKeeps decides
  // Transforms A_Array[1..A_ArrayCount] unless the mode loads row means; false after a
  // transform error (reported, the transform switched off).
  bool ApplyTransform(int mode);
  int FirstIncluded() const;
  double RowStat(int k, int r) const;
  void InvalidateIndexes();

  std::vector<TKeyIndex> LevelIndex_;  // per column
  TKeyIndex RunIndex_;
  std::int64_t LastParsedRows_ = 0;
  bool reloading_ = false;  // ReloadAR: the random state of the last load is kept
  bool AllRowsModified_ = false;
};

}  // namespace sorvel
