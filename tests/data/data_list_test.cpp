#include "data/data_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "data/data_state.h"
#include "data/io/data_file.h"

namespace sorvel {
namespace {

// Makes the shared data set from the text of a data file.
TDataList& Load(const std::string& text) {
  ResetDataState();
  auto list = std::make_unique<TDataList>();
  TFileResult r = ReadDataBytes(text, *list);
  EXPECT_TRUE(r.Ok) << r.Error;
  ReplaceDataList(std::move(list));
  return DataList();
}

std::vector<double> Loaded() {
  return std::vector<double>(A_Array.begin() + 1, A_Array.begin() + 1 + A_ArrayCount);
}

// Every set of an iteration: name and values.
struct TSet {
  std::string Name;
  std::vector<double> Values;
  bool operator==(const TSet&) const = default;
};
void PrintTo(const TSet& s, std::ostream* os) {
  *os << s.Name << ":";
  for (double x : s.Values) *os << ' ' << x;
}
std::vector<TSet> Sets(TDataList& d, TRunInfo& ri) {
  std::vector<TSet> sets;
  d.SetupIndex(ri);
  while (d.GetAR(ri)) sets.push_back({ri.CurrentName, Loaded()});
  return sets;
}

class DataListTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDataState(); }
  void TearDown() override { ResetDataState(); }
};

TEST_F(DataListTest, EmptyDataSetHasOneEmptyCase) {
  TDataList& d = DataList();
  EXPECT_EQ(d.MaxCol(), 1);
  EXPECT_EQ(d.ColumnName(1), "Col1");
  EXPECT_EQ(d.Ncount, 1);
  EXPECT_FALSE(d.HaveData());
  TRunInfo ri;
  ri.ColRefRun = LoadColumn;
  ri.Afirst = ri.Alast = 1;
  d.IncludeCol[1] = true;
  EXPECT_TRUE(Sets(d, ri).empty());
}

TEST_F(DataListTest, TextColumnsGetLevelCodesInOrderOfFirstAppearance) {
  TDataList& d = Load("Group\tCase\r\nB\tabc\r\nA\tABC\r\nB\tabc\r\n\t1\r\n7\t2\r\n");
  EXPECT_TRUE(d.StringVar[1]);
  EXPECT_TRUE(d.StringVar[2]);
  std::vector<double> codes;
  for (int r = 1; r <= d.Ncount; ++r) codes.push_back(d.Value(1, r));
  EXPECT_EQ(codes, (std::vector<double>{1, 2, 1, MissingValue, 3}));
  EXPECT_EQ(d.GetLevelName(1, 1), "B");
  EXPECT_EQ(d.GetLevelName(1, 2), "A");
  EXPECT_EQ(d.GetLevelName(1, 3), "7");
  EXPECT_EQ(d.LevelCount(1), 3);
  // Case matters: "abc" and "ABC" are two levels; numbers in a text column are levels too.
  EXPECT_EQ(d.LevelCount(2), 4);
  EXPECT_EQ(d.ColumnLow[1], 1);
  EXPECT_EQ(d.ColumnHigh[1], 3);
}

TEST_F(DataListTest, UpdateDataParsesOnlyChangedRows) {
  std::string text = "A\tB\tC\r\n";
  for (int r = 1; r <= 1000; ++r)
    text += std::to_string(r) + "\t" + std::to_string(2 * r) + "\tx\r\n";
  TDataList& d = Load(text);
  EXPECT_EQ(d.LastParsedRows(), 1000);
  EXPECT_FALSE(d.DataChanged);

  d.SetCellText(2, 500, "5000");
  EXPECT_TRUE(d.DataChanged);
  d.UpdateData();
  EXPECT_EQ(d.LastParsedRows(), 1);
  EXPECT_EQ(d.Value(2, 500), 5000);
  EXPECT_EQ(d.ColumnHigh[2], 5000);
  EXPECT_EQ(d.Value(2, 499), 998);

  // A numeric column that takes a text cell becomes a text variable ...
  d.SetCellText(1, 10, "ten");
  d.UpdateData();
  EXPECT_EQ(d.LastParsedRows(), 1);
  EXPECT_TRUE(d.StringVar[1]);
  EXPECT_EQ(d.Value(1, 10), 10);  // level 10: the tenth distinct text from the top
  EXPECT_EQ(d.GetLevelName(1, 10), "ten");
  // ... and when the text goes, its numbers come back, although only one row changed.
  d.SetCellText(1, 10, "10");
  d.UpdateData();
  EXPECT_FALSE(d.StringVar[1]);
  EXPECT_EQ(d.Value(1, 10), 10);
  EXPECT_EQ(d.Value(1, 11), 11);
  EXPECT_EQ(d.ColumnHigh[1], 1000);
  // The text column keeps its status when an edited row holds a number.
  d.SetCellText(3, 1, "7");
  d.UpdateData();
  EXPECT_TRUE(d.StringVar[3]);
  EXPECT_EQ(d.Value(3, 1), 1);
  EXPECT_EQ(d.Value(3, 2), 2);

  // Loads parse pending edits themselves.
  d.SetCellText(2, 1, "-3");
  TRunInfo ri;
  ri.ColRefRun = LoadColumn;
  d.IncludeCol[2] = true;
  d.DataToA_Array(2, ri);
  EXPECT_EQ(A_ArrayCount, 1000);
  EXPECT_EQ(A_Array[1], -3);
}

TEST_F(DataListTest, RowsAndColumnsInsertedAndDeleted) {
  TDataList& d = Load("A\tB\r\n1\t2\r\n3\t4\r\n");
  d.InsertRows(2, 1);
  d.SetCellText(1, 2, "9");
  d.UpdateData();
  EXPECT_EQ(d.Ncount, 3);
  EXPECT_EQ(d.Value(1, 2), 9);
  EXPECT_EQ(d.Value(1, 3), 3);
  EXPECT_EQ(d.DataGrid.Cell(0, 3), "3");  // case numbers follow the rows

  d.InsertColumns(1, 1);
  EXPECT_EQ(d.MaxCol(), 3);
  EXPECT_EQ(d.ColumnName(1), "");
  d.NormaliseColumnNames();
  EXPECT_EQ(d.ColumnName(1), "Col1");
  EXPECT_EQ(d.ColumnName(2), "A");
  EXPECT_EQ(d.DescGrid.Cell(2, 0), "A");
  d.UpdateData();
  EXPECT_EQ(d.Value(2, 1), 1);
  EXPECT_EQ(d.Value(1, 1), MissingValue);

  d.DeleteColumns(2, 1);
  d.DeleteRows(1, 1);
  d.UpdateData();
  EXPECT_EQ(d.MaxCol(), 2);
  EXPECT_EQ(d.ColumnName(2), "B");
  EXPECT_EQ(d.Ncount, 2);
  EXPECT_EQ(d.Value(2, 2), 4);
  EXPECT_TRUE(d.ModifiedColumnNames());

  // Deleting every column leaves one empty column with the default name; the cases stay.
  d.SetDescText(1, 1, "title");
  d.DeleteColumns(1, d.MaxCol());
  d.UpdateData();
  EXPECT_EQ(d.MaxCol(), 1);
  EXPECT_EQ(d.ColumnName(1), "Col1");
  EXPECT_EQ(d.DescGrid.Cell(1, 0), "Col1");
  EXPECT_EQ(d.ColumnTitle(1), "");
  EXPECT_EQ(d.DataGrid.Cell(1, 2), "");
  EXPECT_EQ(d.Ncount, 2);
  EXPECT_EQ(d.Value(1, 2), MissingValue);
  EXPECT_FALSE(d.ModifiedColumnNames());
}

TEST_F(DataListTest, LoadModesByColumnAndLevel) {
  TDataList& d = Load(
      "X\tY\tG\tT\r\n"
      "1\t10\t1\tb\r\n"
      "2\t20\t2\ta\r\n"
      "3\t\t1\tb\r\n"
      "4\t40\t3\ta\r\n");
  TRunInfo ri;
  ri.ColRefRun = LoadColumn;
  ri.Afirst = 1;
  ri.Alast = 2;
  d.IncludeCol[2] = true;  // X is not included: mode 1 yields nothing for it
  EXPECT_EQ(Sets(d, ri), (std::vector<TSet>{{"Y", {10, 20, 40}}}));

  ri.InitRunInfo();
  ri.ColRefRun = LoadMeasureByLevel;
  ri.measure = 1;
  ri.index = 3;
  ri.Afirst = 1;
  ri.Alast = 3;
  EXPECT_EQ(Sets(d, ri), (std::vector<TSet>{{"1", {1, 3}}, {"2", {2}}, {"3", {4}}}));
  d.GetGroupCount(ri);
  EXPECT_EQ(ri.NumberOfGroups, 3);
  EXPECT_EQ(ri.TotalCount, 4);

  // A text grouping column names its levels by their texts.
  ri.index = 4;
  ri.Alast = 2;
  EXPECT_EQ(Sets(d, ri), (std::vector<TSet>{{"b", {1, 3}}, {"a", {2, 4}}}));
  EXPECT_EQ(ri.v, 2);
  // Backwards.
  ri.v = 3;
  ASSERT_TRUE(d.GetLastAR(ri));
  EXPECT_EQ(ri.v, 2);
  EXPECT_EQ(Loaded(), (std::vector<double>{2, 4}));

  // Every included column by level, row by row then left to right.
  ri.ColRefRun = LoadColumnsByLevel;
  ri.index = 3;
  ri.Alast = 3;
  d.IncludeCol[1] = true;
  EXPECT_EQ(Sets(d, ri), (std::vector<TSet>{{"1", {1, 10, 3}}, {"2", {2, 20}}, {"3", {4, 40}}}));

  // One set of every included column.
  ri.ColRefRun = LoadAllColumns;
  ri.Afirst = 1;
  ri.Alast = 2;
  EXPECT_EQ(Sets(d, ri), (std::vector<TSet>{{"Group", {1, 10, 2, 20, 3, 4, 40}}}));

  // Column by level, for each included column.
  ri.ColRefRun = LoadColumnByLevel;
  ri.index = 4;
  ri.Afirst = 1;
  ri.Alast = 2;
  ri.ColFirst = 1;
  ri.ColLast = 2;
  std::vector<std::string> names, indexes;
  d.SetupVarList(ri, names, indexes);
  EXPECT_EQ(names, (std::vector<std::string>{"X(b)", "X(a)", "Y(b)", "Y(a)"}));
  EXPECT_EQ(indexes, (std::vector<std::string>{"1,1", "1,2", "2,1", "2,2"}));

  d.LoadAllToA_Array(ri);
  EXPECT_EQ(ri.CurrentName, "(All)");
  EXPECT_EQ(Loaded(), (std::vector<double>{1, 10, 2, 20, 3, 4, 40}));

  d.GetGrandHighLow(LoadColumn, ri);
  EXPECT_EQ(d.GrandLow, 1);
  EXPECT_EQ(d.GrandHigh, 40);
}

TEST_F(DataListTest, RunsOfTwoReferenceColumns) {
  // Reference columns spanning 1..2 and 1..3; the combination (2, 3) has code 1 + 1*3 + 2.
  std::string text = "A\tB\tV\r\n";
  int v = 0;
  for (int b = 3; b >= 1; --b)
    for (int a = 2; a >= 1; --a)
      text += std::to_string(a) + "\t" + std::to_string(b) + "\t" + std::to_string(++v) + "\r\n";
  text += "\t1\t99\r\n";  // no value in A: run code 0
  TDataList& d = Load(text);
  TRunInfo ri;
  ri.ColRefRun = LoadMeasureByRun;
  ri.measure = 3;
  ri.RefArray[0] = 2;
  ri.RefArray[1] = 1;
  ri.RefArray[2] = 2;
  d.SetRunData(ri);
  EXPECT_EQ(d.CalcLineRun(1, ri), 6);
  EXPECT_EQ(ri.MaxLevel[1], 2);
  EXPECT_EQ(ri.MaxLevel[2], 3);
  EXPECT_EQ(ri.Cpower[1], 3);
  EXPECT_EQ(ri.MaxRun, 7);  // six combinations and the missing one
  EXPECT_EQ(d.RunTable[1].Code, 0);
  EXPECT_EQ(d.GetRunName(1, ri), ", 1");
  auto sets = Sets(d, ri);
  // Run 1 (the missing combination) never yields values.
  std::vector<TSet> want = {{"1, 1", {6}}, {"1, 2", {4}}, {"1, 3", {2}},
                            {"2, 1", {5}}, {"2, 2", {3}}, {"2, 3", {1}}};
  EXPECT_EQ(sets, want);

  // All rows with a run, and the rows of a run as subgroup statistics.
  d.LoadAllToA_Array(ri);
  EXPECT_EQ(A_ArrayCount, 6);
}

TEST_F(DataListTest, WideIntegerCodesCostTheLevelsPresent) {
  // Level codes two billion apart: iterating from the lowest to the highest code one
  // integer at a time would never end.
  std::string text = "Day\tValue\tLot\r\n";
  const long long codes[] = {20240101, 20241231, 1, 2000000000, 20240101};
  for (int i = 0; i < 5; ++i)
    text += std::to_string(codes[i]) + "\t" + std::to_string(i + 1) + "\t" +
            std::to_string(codes[4 - i]) + "\r\n";
  TDataList& d = Load(text);
  TRunInfo ri;
  ri.ColRefRun = LoadMeasureByLevel;
  ri.measure = 2;
  ri.index = 1;
  ri.Afirst = 1;
  ri.Alast = 2000000000;
  auto sets = Sets(d, ri);
  std::vector<TSet> want = {
      {"1", {3}}, {"20240101", {1, 5}}, {"20241231", {2}}, {"2000000000", {4}}};
  EXPECT_EQ(sets, want);
  EXPECT_EQ(ri.v, 2000000000);
  d.GetGroupCount(ri);
  EXPECT_EQ(ri.NumberOfGroups, 4);

  // Runs of two wide columns, and of three whose spans multiply past 64 bits.
  ri.InitRunInfo();
  ri.ColRefRun = LoadMeasureByRun;
  ri.measure = 2;
  ri.RefArray[0] = 2;
  ri.RefArray[1] = 1;
  ri.RefArray[2] = 3;
  d.SetRunData(ri);
  EXPECT_EQ(ri.MaxRun, 4);
  std::vector<TSet> runs = {{"1, 1", {3}},
                            {"20240101, 20240101", {1, 5}},
                            {"20241231, 2000000000", {2}},
                            {"2000000000, 20241231", {4}}};
  EXPECT_EQ(Sets(d, ri), runs);

  TDataList& wide = Load(
      "A\tB\tC\tV\r\n1\t1\t1\t1\r\n4000000000000\t1\t1\t2\r\n1\t4000000000000\t4000000000000\t3\r\n"
      "1\t1\t1\t4\r\n");
  ri.InitRunInfo();
  ri.ColRefRun = LoadMeasureByRun;
  ri.measure = 4;
  ri.RefArray[0] = 3;
  for (int i = 1; i <= 3; ++i) ri.RefArray[i] = i;
  wide.SetRunData(ri);
  EXPECT_EQ(ri.MaxRun, 3);
  auto ranked = Sets(wide, ri);
  ASSERT_EQ(ranked.size(), 3u);
  EXPECT_EQ(ranked[0].Values, (std::vector<double>{1, 4}));
  EXPECT_EQ(ranked[1].Values, (std::vector<double>{3}));
  EXPECT_EQ(ranked[2].Values, (std::vector<double>{2}));
}

TEST_F(DataListTest, FiltersAndRules) {
  TDataList& d = Load("X\tC\r\n0\t1\r\n100\t\r\n150\t2\r\n50\t3\r\n");
  TRunInfo ri;
  ri.ColRefRun = LoadColumn;
  d.IncludeCol[1] = true;
  auto load = [&] {
    d.DataToA_Array(1, ri);
    return Loaded();
  };
  // Missing-value rule X = 0 or X > 100: 0 and 150 go, 100 stays.
  ApplyMissingChoice({RelEqual, RelGreater, "0", "100"});
  EXPECT_EQ(load(), (std::vector<double>{100, 50}));
  MissingRec = TMissingRec();

  // A missing condition cell compares as -2147483647: "C < 0" picks the row without C.
  ProcessIfRec.Active = true;
  ProcessIfRec.PiIndex1 = 2;
  ProcessIfRec.Sign1 = RelLess;
  ProcessIfRec.X1 = 0;
  EXPECT_EQ(load(), (std::vector<double>{100}));
  // "in" an empty list never holds, "not in" an empty list always holds.
  ProcessIfRec.Sign1 = RelIn;
  EXPECT_TRUE(load().empty());
  ProcessIfRec.Sign1 = RelNotIn;
  EXPECT_EQ(load().size(), 4u);
  ProcessIfRec.Sign1 = RelIn;
  ProcessIfRec.LA1 = {0, 1, 3};
  ProcessIfRec.LA1count = 2;
  EXPECT_EQ(load(), (std::vector<double>{0, 50}));
  // Or with a second condition.
  ProcessIfRec.PiIndex2 = 1;
  ProcessIfRec.Sign2 = RelGreater;
  ProcessIfRec.X2 = 120;
  ProcessIfRec.AndOr = ProcessIfOr;
  EXPECT_EQ(load(), (std::vector<double>{0, 150, 50}));
  ProcessIfRec = TProcessIfRec();

  // Incomplete pairs.
  d.SetProcessPairs(1, 2);
  EXPECT_EQ(load(), (std::vector<double>{0, 150, 50}));
  d.SetProcessPairs(0, 0);
  EXPECT_EQ(load().size(), 4u);

  // A transformation error is reported once and switches the transformation off.
  std::vector<std::string> messages;
  SetDataMessageHandler([&](const std::string& m) { messages.push_back(m); });
  std::string error;
  ASSERT_TRUE(SetTransform(TransformRec, TransformLinear, "2", "0", "1", false, error));
  ProcessIfRec.Active = true;
  ProcessIfRec.PiIndex1 = 1;
  ProcessIfRec.Sign1 = RelGreater;
  ProcessIfRec.X1 = 60;
  EXPECT_EQ(load(), (std::vector<double>{200, 300}));
  ProcessIfRec = TProcessIfRec();
  ASSERT_TRUE(SetTransform(TransformRec, TransformLog, "1", "0", "1", false, error));
  EXPECT_EQ(load(), (std::vector<double>{0, 100, 150, 50}));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("Transform Error - Turning Off Transform!"), std::string::npos);
  EXPECT_EQ(TransformRec.no, 0);
  EXPECT_EQ(load(), (std::vector<double>{0, 100, 150, 50}));
}

TEST_F(DataListTest, NumbersAtTheMarkerValuesAreValues) {
  // 2147483647 and -2147483647 are the values that mark text and missing cells; typed,
  // they are numbers like any other, in every use of the data set.
  const double big = 2147483647.0, low = -2147483647.0;
  TDataList& d = Load(
      "X\tG\tY\r\n"
      "2147483647\t-2147483647\t1\r\n"
      "5\t1\t2\r\n"
      "-2147483647\t-2147483647\t3\r\n"
      "\t\t4\r\n"
      "7\t1\t\r\n");
  EXPECT_FALSE(d.StringVar[1]);
  EXPECT_FALSE(d.StringVar[2]);
  EXPECT_EQ(d.Value(1, 1), big);
  EXPECT_EQ(d.Value(1, 3), low);
  EXPECT_TRUE(d.HasValue(1, 3));
  EXPECT_TRUE(d.DataValid(1, 3));
  EXPECT_FALSE(d.HasValue(1, 4));  // the empty cell
  EXPECT_FALSE(d.DataValid(1, 4));
  EXPECT_EQ(d.Value(1, 4), MissingValue);
  EXPECT_EQ(d.ColumnLow[1], low);
  EXPECT_EQ(d.ColumnHigh[1], big);

  TRunInfo ri;
  ri.ColRefRun = LoadColumn;
  d.IncludeCol[1] = true;
  auto column1 = [&] {
    d.DataToA_Array(1, ri);
    return Loaded();
  };
  EXPECT_EQ(column1(), (std::vector<double>{big, 5, low, 7}));
  d.GetGrandHighLow(LoadColumn, ri);
  EXPECT_EQ(d.GrandLow, low);
  EXPECT_EQ(d.GrandHigh, big);

  // Incomplete pairs drop the rows without X or Y only.
  d.SetProcessPairs(1, 3);
  EXPECT_EQ(column1(), (std::vector<double>{big, 5, low}));
  d.SetProcessPairs(0, 0);
  // The missing-value rule can still declare the value missing.
  ApplyMissingChoice({RelEqual, RelNone, "-2147483647", "0"});
  EXPECT_EQ(column1(), (std::vector<double>{big, 5, 7}));
  MissingRec = TMissingRec();

  // As a grouping column: -2147483647 is a level of its own; the row without G is in none.
  ri.InitRunInfo();
  ri.ColRefRun = LoadMeasureByLevel;
  ri.measure = 3;
  ri.index = 2;
  ri.Afirst = static_cast<int>(d.ColumnLow[2]);
  ri.Alast = static_cast<int>(d.ColumnHigh[2]);
  EXPECT_EQ(Sets(d, ri), (std::vector<TSet>{{"-2147483647", {1, 3}}, {"1", {2}}}));
  // As a reference column of runs: a run code of its own, the empty cell code 0.
  ri.InitRunInfo();
  ri.ColRefRun = LoadMeasureByRun;
  ri.measure = 3;
  ri.RefArray[0] = 1;
  ri.RefArray[1] = 2;
  d.SetRunData(ri);
  EXPECT_GT(d.CalcLineRun(3, ri), 0);
  EXPECT_EQ(d.CalcLineRun(4, ri), 0);
  EXPECT_EQ(Sets(d, ri), (std::vector<TSet>{{"-2147483647", {1, 3}}, {"1", {2}}}));

  // Row statistics count it.
  d.IncludeCol[3] = true;
  d.CalcRowStats();
  EXPECT_EQ(d.Value(d.MaxCol() + 3, 3), 2);
  EXPECT_EQ(d.Value(d.MaxCol() + 3, 4), 1);

  // Typed into a numeric column, one row parsed again.
  d.SetCellText(1, 2, "2147483647");
  d.SetCellText(1, 4, "-2147483647");
  d.UpdateData();
  EXPECT_EQ(d.LastParsedRows(), 2);
  EXPECT_FALSE(d.StringVar[1]);
  EXPECT_TRUE(d.DataValid(1, 4));
  ri.InitRunInfo();
  ri.ColRefRun = LoadColumn;
  EXPECT_EQ(column1(), (std::vector<double>{big, big, low, low, 7}));
}

TEST_F(DataListTest, RowStatisticsColumns) {
  TDataList& d = Load("A\tB\tC\r\n1\t3\t5\r\n2\t\t4\r\n\t\t\r\n");
  for (int c = 1; c <= 3; ++c) d.IncludeCol[c] = true;
  d.CalcRowStats();
  EXPECT_EQ(d.Value(4, 1), 3);
  EXPECT_EQ(d.Value(5, 1), 2);
  EXPECT_EQ(d.Value(6, 2), 2);
  EXPECT_EQ(d.Value(5, 2), std::sqrt(2.0));
  EXPECT_EQ(d.Value(4, 3), MissingValue);
  EXPECT_EQ(d.Value(6, 3), 0);
  TRunInfo ri;
  ri.ColRefRun = LoadRowMeans;
  ri.Afirst = ri.Alast = 1;
  auto sets = Sets(d, ri);
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].Name, "Mean(A,B,C)");
  EXPECT_EQ(sets[0].Values, (std::vector<double>{3, 3}));
  ri.ColRefRun = LoadColumn;
  ri.v = 4;
  d.SetCurrentTitles(ri);
  EXPECT_EQ(ri.CurrentName, "Mean");
}

// Two included columns A and B, a numeric grouping column G and a text reference column
// T. Row statistics of A and B, by hand:
//   row  A   B   G  T   n  mean  sd
//   1    1   3   1  x   2  2     sqrt(2)
//   2    2   -   2  y   1  2     -
//   3    4   8   1  y   2  6     sqrt(8)
//   4    -   -   2  x   0  -     -
//   5    5   9   3  -   2  7     sqrt(8)
//   6    10  20  -  x   2  15    sqrt(50)
// Runs of T: run 1 is the missing combination (row 5), run 2 "x", run 3 "y".
TDataList& LoadSubgroupFixture(TRunInfo& ri) {
  TDataList& d = Load(
      "A\tB\tG\tT\r\n"
      "1\t3\t1\tx\r\n"
      "2\t\t2\ty\r\n"
      "4\t8\t1\ty\r\n"
      "\t\t2\tx\r\n"
      "5\t9\t3\t\r\n"
      "10\t20\t\tx\r\n");
  d.IncludeCol[1] = d.IncludeCol[2] = true;
  d.CalcRowStats();
  ri.InitRunInfo();
  ri.index = 3;
  ri.RefArray[0] = 1;
  ri.RefArray[1] = 4;
  d.SetRunData(ri);
  return d;
}

const double R2 = std::sqrt(2.0), R8 = std::sqrt(8.0), R50 = std::sqrt(50.0);

TEST_F(DataListTest, SubgroupStatsLoadTheRowStatisticsOfOneSet) {
  TRunInfo ri;
  TDataList& d = LoadSubgroupFixture(ri);
  ASSERT_EQ(ri.MaxRun, 3);
  ASSERT_EQ(d.GetRunName(2, ri), "x");
  struct Case {
    const char* what;
    std::uint8_t mode;
    int v, stat;
    std::vector<double> want;
  };
  const Case cases[] = {
      {"every row: means, the row without values left out",
       LoadAllColumns,
       1,
       RowStatMean,
       {2, 2, 6, 7, 15}},
      {"every row: standard deviations of rows with two values",
       LoadRowMeans,
       1,
       RowStatStdDev,
       {R2, R8, R8, R50}},
      {"every row: counts, 0 included", LoadAllColumns, 1, RowStatCount, {2, 1, 2, 0, 2, 2}},
      {"level 1", LoadColumnsByLevel, 1, RowStatMean, {2, 6}},
      {"level 2", LoadRowMeansByLevel, 2, RowStatCount, {1, 0}},
      {"level 2 has no standard deviation", LoadColumnByLevel, 2, RowStatStdDev, {}},
      {"level 3", LoadColumnByLevel, 3, RowStatMean, {7}},
      {"a level no row has", LoadColumnsByLevel, 4, RowStatMean, {}},
      {"the missing combination never loads", LoadColumnsByRun, 1, RowStatMean, {}},
      {"run x", LoadRowMeansByRun, 2, RowStatMean, {2, 15}},
      {"run y", LoadColumnByRun, 3, RowStatCount, {1, 2}},
      {"modes without row sets load nothing", LoadColumn, 1, RowStatMean, {}},
      {"", LoadMeasureByLevel, 1, RowStatMean, {}},
      {"", LoadMeasureByRun, 2, RowStatMean, {}},
  };
  for (const auto& c : cases) {
    ri.ColRefRun = c.mode;
    ri.v = c.v;
    d.SubgroupStatsToA_Array(c.stat, ri);
    EXPECT_EQ(Loaded(), c.want) << c.what << " (mode " << int(c.mode) << ", set " << c.v << ")";
  }

  // The loads fill the array up to the rows themselves.
  d.DisposeA_Array();
  ri.ColRefRun = LoadAllColumns;
  d.SubgroupStatsToA_Array(RowStatCount, ri);
  EXPECT_EQ(A_ArrayCount, 6);
  EXPECT_GE(d.Acount, d.Ncount);

  // Process If and the missing-value rule apply to the load itself ...
  ProcessIfRec.Active = true;
  ProcessIfRec.PiIndex1 = 1;
  ProcessIfRec.Sign1 = RelGreater;
  ProcessIfRec.X1 = 3;
  d.SubgroupStatsToA_Array(RowStatMean, ri);
  EXPECT_EQ(Loaded(), (std::vector<double>{6, 7, 15}));
  ProcessIfRec = TProcessIfRec();
  ApplyMissingChoice({RelEqual, RelNone, "2", "0"});
  d.SubgroupStatsToA_Array(RowStatCount, ri);
  EXPECT_EQ(Loaded(), (std::vector<double>{1, 0}));
  MissingRec = TMissingRec();

  // ... the transformation does not: the statistics were computed from transformed values.
  std::string error;
  ASSERT_TRUE(SetTransform(TransformRec, TransformLinear, "10", "0", "1", false, error));
  ri.ColRefRun = LoadColumnsByLevel;
  ri.v = 1;
  d.DataToA_Array(1, ri);
  EXPECT_EQ(Loaded(), (std::vector<double>{10, 30, 40, 80}));
  d.SubgroupStatsToA_Array(RowStatMean, ri);
  EXPECT_EQ(Loaded(), (std::vector<double>{2, 6}));
}

std::vector<TSet> SubgroupSets(TDataList& d, TRunInfo& ri, int stat) {
  std::vector<TSet> sets;
  d.SetupIndex(ri);
  while (d.GetARsubgroupStats(stat, ri)) {
    EXPECT_EQ(ri.CurrentTitle, ri.CurrentName);
    sets.push_back({ri.CurrentName, Loaded()});
  }
  return sets;
}

TEST_F(DataListTest, GetARsubgroupStatsIteratesTheNonEmptySets) {
  TRunInfo ri;
  TDataList& d = LoadSubgroupFixture(ri);
  struct Case {
    std::uint8_t mode;
    int first, last, stat;
    std::vector<TSet> want;
  };
  const Case cases[] = {
      {LoadColumnsByLevel, 1, 3, RowStatMean, {{"1", {2, 6}}, {"2", {2}}, {"3", {7}}}},
      // Level 2 has no standard deviation and is skipped.
      {LoadRowMeansByLevel, 1, 3, RowStatStdDev, {{"1", {R2, R8}}, {"3", {R8}}}},
      {LoadColumnByLevel, 1, 3, RowStatCount, {{"1", {2, 2}}, {"2", {1, 0}}, {"3", {2}}}},
      // Run 1, the missing combination, is skipped; runs are named by their texts.
      {LoadColumnsByRun, 1, 3, RowStatMean, {{"x", {2, 15}}, {"y", {2, 6}}}},
      {LoadRowMeansByRun, 1, 3, RowStatCount, {{"x", {2, 0, 2}}, {"y", {1, 2}}}},
      // The modes of one set give it once, over however many columns.
      {LoadAllColumns, 1, 2, RowStatMean, {{"Group", {2, 2, 6, 7, 15}}}},
      {LoadRowMeans, 1, 2, RowStatStdDev, {{"Mean", {R2, R8, R8, R50}}}},
      {LoadColumn, 1, 2, RowStatMean, {}},
  };
  for (const auto& c : cases) {
    ri.ColRefRun = c.mode;
    ri.Afirst = c.first;
    ri.Alast = c.last;
    EXPECT_EQ(SubgroupSets(d, ri, c.stat), c.want) << "mode " << int(c.mode);
    EXPECT_EQ(ri.v, c.last) << "mode " << int(c.mode);  // the end leaves the index on the last set
  }
}

TEST_F(DataListTest, ReloadARLoadsTheSetAgainWithTheSameRandomNumbers) {
  TDataList& d = Load("X\tG\r\n1\t1\r\n2\t1\r\n3\t2\r\n4\t2\r\n");
  TRunInfo ri;
  ri.ColRefRun = LoadMeasureByLevel;
  ri.measure = 1;
  ri.index = 2;
  ri.Afirst = 1;
  ri.Alast = 2;
  d.SetupIndex(ri);
  ASSERT_TRUE(d.GetAR(ri));
  d.LoadAllToA_Array(ri);
  d.ReloadAR(ri);
  EXPECT_EQ(Loaded(), (std::vector<double>{1, 2}));
  ri.v = 2;
  d.ReloadAR(ri);
  EXPECT_EQ(Loaded(), (std::vector<double>{3, 4}));

  // A transformation that draws random numbers.
  std::string error;
  ASSERT_TRUE(SetTransform(TransformRec, TransformUniform, "0", "1000", "1", false, error));
  d.SetupIndex(ri);
  ASSERT_TRUE(d.GetAR(ri));
  ASSERT_TRUE(d.GetAR(ri));
  const std::vector<double> second = Loaded();
  ASSERT_EQ(second.size(), 2u);
  d.ReloadAR(ri);
  EXPECT_EQ(Loaded(), second);
  d.ReloadAR(ri);  // and again: reloading keeps the state of the last load
  EXPECT_EQ(Loaded(), second);
  // A new load of the same set draws new numbers, and a reload then repeats those.
  d.DataToA_Array(ri.v, ri);
  const std::vector<double> third = Loaded();
  EXPECT_NE(third, second);
  d.ReloadAR(ri);
  EXPECT_EQ(Loaded(), third);
}

TEST_F(DataListTest, ColumnFacts) {
  TDataList& d = Load("D\tE\r\nTitle:\tDiameter\r\nUSL:\t10.05\tx\r\nLSL:\t9.95\r\n10\t1\r\n");
  EXPECT_EQ(d.ColumnTitleOrName(1), "Diameter");
  EXPECT_EQ(d.ColumnTitleOrName(2), "E");
  EXPECT_EQ(d.ColumnTitle(2), "");
  EXPECT_EQ(d.ColumnUSL(1), 10.05);
  EXPECT_EQ(d.ColumnLSL(1), 9.95);
  EXPECT_EQ(d.ColumnTarget(1), MissingValue);
  EXPECT_EQ(d.ColumnUSL(2), MissingValue);
  EXPECT_EQ(d.ColumnUSL(0), MissingValue);
  EXPECT_EQ(d.ColumnUSL(3), MissingValue);
  EXPECT_EQ(d.ColumnName(3), "");
  EXPECT_EQ(d.ColumnName(0), "");
}

TEST_F(DataListTest, NameNormalisation) {
  TDataList& d = DataList();
  d.SetColCount(5);
  d.SetCellText(5, 0, "col3");
  d.SetCellText(4, 0, "");
  d.SetCellText(3, 0, "COL3");
  d.SetCellText(2, 0, "Colour");
  d.NormaliseColumnNames();
  EXPECT_EQ(d.ColumnName(5), "Col5");
  EXPECT_EQ(d.ColumnName(4), "Col4");
  EXPECT_EQ(d.ColumnName(3), "COL3");
  EXPECT_EQ(d.ColumnName(2), "Colour");
  EXPECT_EQ(d.DescGrid.Cell(5, 0), "Col5");
}

}  // namespace
}  // namespace sorvel
