// Block operations of the data editor on the data set's grids.
#include <gtest/gtest.h>

#include <functional>

#include "data/data_state.h"
#include "data/grid_edit.h"

using namespace sorvel;

namespace {

// A data set from rows of cells (row 0: names).
TDataList Make(const std::vector<std::vector<std::string>>& rows) {
  TDataList list;
  int cols = 0;
  for (const auto& r : rows) cols = std::max<int>(cols, static_cast<int>(r.size()));
  list.SetColCount(cols);
  list.SetRowCount(static_cast<int>(rows.size()) - 1);
  for (int r = 0; r < static_cast<int>(rows.size()); ++r)
    for (int c = 0; c < static_cast<int>(rows[r].size()); ++c)
      list.SetCellText(c + 1, r, rows[r][c]);
  return list;
}

std::string Cell(const TDataList& l, int c, int r) { return l.DataGrid.Cell(c, r); }

TEST(GridEdit, BlockTextJoinsCellsByTabsAndRowsByCrLf) {
  TDataList l = Make({{"A", "B"}, {"1", "2"}, {"3", ""}});
  EXPECT_EQ(GridBlockText(l.DataGrid, {1, 1, 2, 2}), "1\t2\r\n3\t");
  EXPECT_EQ(GridBlockText(l.DataGrid, {1, 0, 2, 0}), "A\tB");
  // One cell selected: everything, fixed cells included.
  EXPECT_EQ(GridSaveText(l.DataGrid, {1, 1, 1, 1}), "\tA\tB\r\n1\t1\t2\r\n2\t3\t\r\n");
}

struct TShapeCase {
  const char* Name;
  std::string Clip;
  TGridRect Sel;
  std::vector<std::vector<std::string>> Expected;  // rows 1.. of columns 1..
};

TEST(GridEdit, PasteMatchesShapes) {
  const std::vector<TShapeCase> cases = {
      {"one value fills a 3 x 2 selection", "7", {1, 1, 3, 2}, {{"7", "7", "7"}, {"7", "7", "7"}}},
      {"a column goes down every selected column",
       "1\r\n2\r\n3\r\n4\r\n",
       {1, 1, 3, 1},
       {{"1", "1", "1"}, {"2", "2", "2"}, {"3", "3", "3"}, {"4", "4", "4"}}},
      {"a row goes into every selected row",
       "1\t2",
       {1, 1, 1, 3},
       {{"1", "2"}, {"1", "2"}, {"1", "2"}}},
      {"a block is written at the top-left",
       "1\t2\n3\t4",
       {2, 2, 2, 2},
       {{"", "", ""}, {"", "1", "2"}, {"", "3", "4"}}},
      {"a block ignores a larger selection", "1\t2\n3\t4", {1, 1, 3, 3}, {{"1", "2"}, {"3", "4"}}},
      {"equal shapes: row into row", "5 6 7", {1, 1, 2, 1}, {{"5", "6", "7"}}},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.Name);
    TDataList l;
    auto res = PasteIntoData(l, tc.Clip, tc.Sel, [] { return false; });
    ASSERT_EQ(res.Status, TPasteResult::Ok);
    for (int r = 0; r < static_cast<int>(tc.Expected.size()); ++r)
      for (int c = 0; c < static_cast<int>(tc.Expected[r].size()); ++c)
        EXPECT_EQ(Cell(l, c + 1, r + 1), tc.Expected[r][c]) << "cell " << c + 1 << "," << r + 1;
    EXPECT_GE(l.DataGrid.RowCount() - 1, static_cast<int>(tc.Expected.size()));
  }
}

TEST(GridEdit, PasteWithNamesLineAsksAndSetsNames) {
  TDataList l;
  int asked = 0;
  auto res = PasteIntoData(l, "A\tB\r\n1\t2\r\n3\t4\r\n", {1, 1, 1, 1}, [&] {
    ++asked;
    return true;
  });
  ASSERT_EQ(res.Status, TPasteResult::Ok);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(l.MaxCol(), 2);
  EXPECT_EQ(l.DataGrid.RowCount() - 1, 2);
  EXPECT_EQ(l.ColumnName(1), "A");
  EXPECT_EQ(l.DescGrid.Cell(2, 0), "B");
  EXPECT_EQ(Cell(l, 2, 2), "4");
  EXPECT_TRUE(res.Rows.NamesSet);
  EXPECT_TRUE(res.ColumnsChanged);
  EXPECT_EQ(res.Rows.First, 1);
  EXPECT_EQ(res.Rows.Last, 2);

  // Answered No: the names line is pasted as a case.
  TDataList n;
  PasteIntoData(n, "A\tB\r\n1\t2", {1, 1, 1, 1}, [] { return false; });
  EXPECT_EQ(Cell(n, 1, 1), "A");
  EXPECT_EQ(n.ColumnName(2), "Col2");
  // A first line with a number is never a names line.
  asked = 0;
  TDataList m;
  PasteIntoData(m, "A\t2\r\n", {1, 1, 1, 1}, [&] { return ++asked, true; });
  EXPECT_EQ(asked, 0);
}

TEST(GridEdit, PasteNeverPassesColumn512) {
  TDataList l;
  auto res = PasteIntoData(l, "1\t2\t3", {511, 1, 511, 1}, {});
  EXPECT_EQ(res.Status, TPasteResult::TooManyColumns);
  EXPECT_EQ(l.MaxCol(), 1);  // nothing pasted
  // A wider later line counts too.
  res = PasteIntoData(l, "1\r\n1\t2\t3", {511, 1, 511, 1}, {});
  EXPECT_EQ(res.Status, TPasteResult::TooManyColumns);
  EXPECT_TRUE(l.DataGrid.IsEmpty(511, 1));
  res = PasteIntoData(l, "1\t2", {511, 1, 511, 1}, {});
  EXPECT_EQ(res.Status, TPasteResult::Ok);
  EXPECT_EQ(l.MaxCol(), 512);
  EXPECT_EQ(PasteIntoData(l, "", {1, 1, 1, 1}, {}).Status, TPasteResult::NoText);
}

TEST(GridEdit, PasteIntoDescriptionsKeepsFiveRows) {
  TDataList l;
  auto res = PasteIntoDesc(l, "T1\tT2\n10\t20\n5\n1\n99\n", {1, 1, 1, 1});
  ASSERT_EQ(res.Status, TPasteResult::Ok);
  EXPECT_EQ(l.DescGrid.RowCount(), 5);
  EXPECT_EQ(l.ColumnTitle(2), "T2");
  EXPECT_EQ(l.ColumnUSL(2), 20.0);
  EXPECT_EQ(l.ColumnLSL(1), 1.0);
  EXPECT_EQ(l.ColumnName(2), "Col2");
}

TEST(GridEdit, ClearEmptiesBlockAndReportsRows) {
  TDataList l = Make({{"A", "B"}, {"1", "2"}, {"3", "4"}, {"5", "6"}});
  auto rows = ClearDataBlock(l, {2, 3, 1, 2});  // given corners in any order
  EXPECT_EQ(rows.First, 2);
  EXPECT_EQ(rows.Last, 3);
  EXPECT_EQ(Cell(l, 1, 1), "1");
  EXPECT_EQ(Cell(l, 1, 2), "");
  EXPECT_EQ(Cell(l, 2, 3), "");
  EXPECT_EQ(Cell(l, 2, 1), "2");
  EXPECT_TRUE(l.DataChanged);
}

// Blocks of thousands of rows take the path that stores the grid compactly in one pass;
// the cells, the grid's shape and the parsed values must come out as cell by cell.
struct TBigBlockCase {
  const char* Name;
  std::function<void(TDataList&)> Edit;
  int Cols, Rows;                                     // the data set's size afterwards
  std::function<std::string(int c, int r)> Expected;  // every cell afterwards
};

TEST(GridEdit, BlocksOfManyRowsEditLikeSmallOnes) {
  constexpr int N = 5000;
  auto original = [](int c, int r) { return std::to_string(r * 10 + c); };
  std::string column, block;
  for (int r = 1; r <= N + 1000; ++r) {
    if (r <= N) column += "c" + std::to_string(r) + "\r\n";
    block += std::to_string(-r) + "\t" + std::to_string(r) + "\n";
  }
  const std::vector<TBigBlockCase> cases = {
      {"clear column 2",
       [](TDataList& l) {
         ClearDataBlock(l, {2, 1, 2, N});
       },
       3, N, [&](int c, int r) { return c == 2 ? std::string() : original(c, r); }},
      {"clear rows 100..N of every column",
       // clang-format off
       [](TDataList& l) { ClearDataBlock(l, {1, 100, 3, N}); }, 3, N,
       [&](int c, int r) { return r >= 100 ? std::string() : original(c, r); }},
      {"a column pasted from one cell", [&](TDataList& l) { PasteIntoData(l, column, {3, 1, 3, 1}, {}); }, 3, N,
       [&](int c, int r) { return c == 3 ? "c" + std::to_string(r) : original(c, r); }},
      {"one value fills the selection", [](TDataList& l) { PasteIntoData(l, "7", {1, 2, 2, N}, {}); }, 3, N,
       [&](int c, int r) { return c <= 2 && r >= 2 ? std::string("7") : original(c, r); }},
      // clang-format on
      {"a column down every selected column",
       [&](TDataList& l) {
         PasteIntoData(l, column, {2, 1, 3, 1}, {});
       },
       3, N, [&](int c, int r) { return c >= 2 ? "c" + std::to_string(r) : original(c, r); }},
      {"replace all from a cell inside bounds",
       [](TDataList& l) {
         int c = 2, r = 1000;
         const TFindSpec over5000{RelGreater, RelNone, "5000", ""};
         EXPECT_EQ(ReplaceAll(l, over5000, {1, 50, 3, N - 10}, c, r, "x"), 3991 + 4491);
         EXPECT_EQ(c, 3);
         EXPECT_EQ(r, N - 10);
       },
       3, N,
       [&](int c, int r) {
         const bool replaced = r <= N - 10 && ((c == 2 && r >= 1000) || (c == 3 && r >= 500));
         return replaced ? std::string("x") : original(c, r);
       }},
      {"a block that adds rows and a column",
       [&](TDataList& l) {
         PasteIntoData(l, block, {3, 1, 3, 1}, {});
       },
       4, N + 1000,
       [&](int c, int r) {
         if (c == 3) return std::to_string(-r);
         if (c == 4) return std::to_string(r);
         return r <= N ? original(c, r) : std::string();
       }},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.Name);
    TDataList l;
    l.SetColCount(3);
    l.SetRowCount(N);
    for (int r = 1; r <= N; ++r)
      for (int c = 1; c <= 3; ++c) l.SetCellText(c, r, original(c, r));
    l.UpdateData();
    tc.Edit(l);
    ASSERT_EQ(l.MaxCol(), tc.Cols);
    ASSERT_EQ(l.DataGrid.RowCount() - 1, tc.Rows);
    EXPECT_EQ(l.ColumnName(1), "Col1");
    EXPECT_EQ(l.DataGrid.View(0, tc.Rows), std::to_string(tc.Rows));
    ASSERT_TRUE(l.DataChanged);
    l.UpdateData();  // the edited rows were flagged: their values follow the texts
    for (int r = 1; r <= tc.Rows; ++r)
      for (int c = 1; c <= tc.Cols; ++c) {
        const std::string want = tc.Expected(c, r);
        ASSERT_EQ(Cell(l, c, r), want) << "cell " << c << "," << r;
        if (!l.StringVar[c]) {
          ASSERT_EQ(l.Value(c, r), ParseCellText(want)) << "value " << c << "," << r;
        }
      }
  }
}

TEST(GridEdit, FindComparesNumbersOrTexts) {
  TDataList l = Make({{"A", "B"}, {"3", "abc"}, {"", "7"}, {"9", "x"}, {"6", "abc"}});
  TFindSpec gt5{RelGreater, RelNone, "5", ""};
  EXPECT_FALSE(gt5.TextMode());
  int c = 1, r = 0;
  ASSERT_TRUE(FindCell(l, gt5, {1, 1, 2, 4}, c, r, false));
  EXPECT_EQ(c, 1);
  EXPECT_EQ(r, 3);  // the empty cell of row 2 is skipped
  ASSERT_TRUE(FindCell(l, gt5, {1, 1, 2, 4}, c, r, false));
  EXPECT_EQ(r, 4);
  ASSERT_TRUE(FindCell(l, gt5, {1, 1, 2, 4}, c, r, false));
  EXPECT_EQ(c, 2);  // on to the next column; text cells are not numbers
  EXPECT_EQ(r, 2);
  EXPECT_FALSE(FindCell(l, gt5, {1, 1, 2, 4}, c, r, false));  // no wrapping

  TFindSpec text{RelEqual, RelNone, "abc", ""};
  EXPECT_TRUE(text.TextMode());
  c = 1, r = 1;
  ASSERT_TRUE(FindCell(l, text, {1, 1, 2, 4}, c, r, false));
  EXPECT_EQ(c, 2);
  EXPECT_EQ(r, 1);
  EXPECT_FALSE(TFindSpec({RelEqual, RelNone, "ab", ""}).Matches("abc"));
  EXPECT_TRUE(TFindSpec({RelLess, RelNone, "b", ""}).Matches("abc"));  // ordinal order
  EXPECT_FALSE(TFindSpec({RelLess, RelNone, "b", ""}).Matches(""));    // empty cells never match
  EXPECT_TRUE(TFindSpec({RelNone, RelEqual, "x", "9"}).Matches("9"));  // the second condition alone
  EXPECT_FALSE(TFindSpec({RelNone, RelNone, "3", ""}).CanFind());

  // Inside a selection, from its top-left cell.
  c = 1, r = 1;
  ASSERT_TRUE(FindCell(l, TFindSpec{RelEqual, RelNone, "abc", ""}, {2, 2, 2, 4}, c, r, true));
  EXPECT_EQ(r, 4);
}

TEST(GridEdit, NumericFindMatchesEveryTypedNumber) {
  // The values that mark text and missing cells are numbers when typed.
  struct Case {
    TFindSpec spec;
    const char* cell;
    bool match;
  };
  const Case cases[] = {
      {{RelEqual, RelNone, "2147483647", ""}, "2147483647", true},
      {{RelEqual, RelNone, "-2147483647", ""}, "-2147483647", true},
      {{RelGreater, RelNone, "0", ""}, "2147483647", true},
      {{RelLess, RelNone, "0", ""}, "-2147483647", true},
      {{RelEqual, RelNone, "2147483647", ""}, "2,147,483,647", true},
      {{RelLess, RelNone, "0", ""}, "", false},  // empty cells are no numbers
      {{RelLess, RelNone, "0", ""}, ".", false},
      {{RelGreater, RelNone, "0", ""}, "abc", false},  // nor are texts
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.spec.Matches(c.cell), c.match) << c.spec.Value1 << " / " << c.cell;

  TDataList l = Make({{"A"}, {"5"}, {"2147483647"}});
  int c = 1, r = 0;
  ASSERT_TRUE(FindCell(l, TFindSpec{RelGreater, RelNone, "1000", ""}, {1, 1, 1, 2}, c, r, false));
  EXPECT_EQ(r, 2);
}

TEST(GridEdit, ReplaceAllFromTheCurrentCell) {
  TDataList l = Make({{"A", "B"}, {"1", "1"}, {"2", "1"}, {"1", "3"}});
  int c = 1, r = 2;
  EXPECT_EQ(ReplaceAll(l, TFindSpec{RelEqual, RelNone, "1", ""}, {1, 1, 2, 3}, c, r, "x"), 3);
  EXPECT_EQ(Cell(l, 1, 1), "1");  // before the current cell
  EXPECT_EQ(Cell(l, 1, 3), "x");
  EXPECT_EQ(Cell(l, 2, 1), "x");
  EXPECT_EQ(Cell(l, 2, 2), "x");
  EXPECT_EQ(c, 2);
  EXPECT_EQ(r, 2);
}

TEST(GridEdit, TransposeSwapsVariablesAndCases) {
  TDataList l = Make({{"X", "Y", "Z"}, {"1", "2", "3"}, {"4", "5", "6"}});
  l.SetDescText(1, 1, "title");
  ASSERT_TRUE(TransposeData(l));
  EXPECT_EQ(l.MaxCol(), 2);
  EXPECT_EQ(l.DataGrid.RowCount() - 1, 3);
  EXPECT_EQ(l.ColumnName(1), "Col1");
  EXPECT_EQ(l.ColumnName(2), "Col2");
  EXPECT_EQ(l.DescGrid.Cell(2, 0), "Col2");
  EXPECT_EQ(l.ColumnTitle(1), "");
  EXPECT_EQ(l.DescGrid.Cell(0, 3), "Target:");
  EXPECT_EQ(Cell(l, 1, 3), "3");
  EXPECT_EQ(Cell(l, 2, 1), "4");
  EXPECT_EQ(l.DataGrid.Cell(0, 3), "3");  // case numbers
  l.UpdateData();
  EXPECT_EQ(l.Value(2, 3), 6.0);

  TDataList big;
  big.SetRowCount(513);
  EXPECT_FALSE(TransposeData(big));
  EXPECT_EQ(big.MaxCol(), 1);
}

TEST(GridEdit, CaseNumbersBecomeColumnOne) {
  TDataList l = Make({{"A"}, {"x"}, {"y"}});
  ASSERT_TRUE(InsertCaseNumbers(l));
  EXPECT_EQ(l.ColumnName(1), "Case");
  EXPECT_EQ(l.DescGrid.Cell(1, 0), "Case");
  EXPECT_EQ(Cell(l, 1, 2), "2");
  EXPECT_EQ(l.ColumnName(2), "A");
  EXPECT_EQ(Cell(l, 2, 2), "y");
  TDataList full;
  full.SetColCount(MaxColumns);
  EXPECT_FALSE(InsertCaseNumbers(full));
}

TEST(GridEdit, CtrlArrowJumpsLikeASpreadsheet) {
  // Column 1: 1, 2, 3, empty, empty, 6, 7, empty. From an empty cell the next non-empty
  // cell; from a non-empty one the end of its run.
  TDataList l = Make({{"A"}, {"1"}, {"2"}, {"3"}, {""}, {""}, {"6"}, {"7"}, {""}});
  struct TJump {
    int From, Dir, To;
  };
  for (const TJump& j : std::vector<TJump>{{1, 1, 3},
                                           {3, 1, 6},
                                           {6, 1, 7},
                                           {7, 1, 8},
                                           {8, -1, 7},
                                           {7, -1, 6},
                                           {6, -1, 3},
                                           {3, -1, 1},
                                           {1, -1, 1}}) {
    int c = 1, r = j.From;
    GridJump(l.DataGrid, c, r, 0, j.Dir);
    EXPECT_EQ(r, j.To) << "from " << j.From << " dir " << j.Dir;
  }
}

TEST(GridEdit, FileModStringListsActiveRules) {
  ResetDataState();
  TFileModStrings s;
  EXPECT_FALSE(BuildFileModString(s));
  EXPECT_EQ(s.Text, "");
  MissingRec.Active = true;
  MissingRec.Sign1 = RelEqual;
  MissingRec.X1 = 0;
  ProcessIfRec.Active = true;
  ProcessIfRec.PiIndex1 = 1;
  ProcessIfRec.Sign1 = RelGreater;
  ProcessIfRec.X1 = 5;
  ProcessIfRec.PiIndex2 = 1;
  ProcessIfRec.Sign2 = RelLess;
  ProcessIfRec.X2 = 10;
  ProcessIfRec.AndOr = ProcessIfOr;
  ASSERT_TRUE(BuildFileModString(s));
  EXPECT_EQ(s.Text, "Missing When: X = 0\rProcess If: Col1 > 5 or\rProcess If: Col1 < 10");
  EXPECT_EQ(s.Tab, "Missing When: X = 0\r\tProcess If: Col1 > 5 or\r\tProcess If: Col1 < 10");
  EXPECT_EQ(s.Line, "Missing When: X = 0  Process If: Col1 > 5 or  Process If: Col1 < 10");
  ResetDataState();
}

}  // namespace
