#include "data/data_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "data/data_state.h"
#include "data/io/data_file.h"
#include "numerics/distributions.h"

namespace sorvel {
namespace {

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

std::vector<double> LoadOne(TDataList& d, int c) {
  TRunInfo ri;
  ri.ColRefRun = LoadColumn;
  d.IncludeCol[c] = true;
  d.DataToA_Array(c, ri);
  return Loaded();
}

std::vector<std::string> Column(const TDataList& d, int c) {
  std::vector<std::string> cells;
  for (int r = 1; r < d.DataGrid.RowCount(); ++r) cells.push_back(d.DataGrid.Cell(c, r));
  return cells;
}

class DataRulesTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDataState(); }
  void TearDown() override { ResetDataState(); }
};

// Values from R 4.2: c(2*4-3, (2*4-3)^3, (2*4-3)^(1/3), 1/(1*2)^2, log(2*4-3), exp(2*4-3),
// asin(0.5), sin(2*4-3)).
TEST_F(DataRulesTest, TransformsTheirFormulasAndErrors) {
  struct TCase {
    int No;
    const char *A, *B, *C;
    double X;
    const char* Formula;
    double Y;            // NaN: an error is expected
    const char* Reason;  // the ErrorString after an error
  };
  const double err = std::nan("");
  const TCase cases[] = {
      {TransformLinear, "1", "0", "1", 7, "X", 7, ""},
      {TransformLinear, "2", "-3", "1", 4, "2X -3", 5, ""},
      {TransformLinear, "2", "5", "1", 1, "2X + 5", 7, ""},
      {TransformPower1, "2", "-3", "3", 4, "(2X -3)^3", 125, ""},
      {TransformPower1, "1", "0", "2", -1, "(X)^2", err, "Error: X < 0"},
      {TransformPower2, "2", "-3", "3", 4, "(2X -3)^(1/3)", 1.70997594667669683, ""},
      {TransformInv, "1", "1", "2", 2, "1/(X)^2", 0.25, ""},
      {TransformInv, "1", "1", "2", 0, "1/(X)^2", err, "Error: X <= 0"},
      {TransformInv, "1", "1", "2", -2, "1/(X)^2", err, "Error: X <= 0"},
      // A 0 made every value 1/0: the test is on A*X.
      {TransformInv, "0", "1", "1", 5, "1/(0X)^1", err, "Error: X <= 0"},
      {TransformLog, "2", "-3", "1", 4, "LN(2X -3)", 1.60943791243410028, ""},
      {TransformLog, "1", "0", "1", 0, "LN(X)", err, "Error: X <= 0"},
      {TransformExp, "2", "-3", "1", 4, "EXP(2X -3)", 148.41315910257659993, ""},
      {TransformExp, "1", "0", "1", 1000, "EXP(X)", err, "Error: Result out of range"},
      {TransformArcsin, "1", "0", "1", 0.5, "ARCSIN(X)", 0.52359877559829893, ""},
      {TransformArcsin, "1", "0", "1", 1, "ARCSIN(X)", err, "Error: ABS(X) >= 1"},
      {TransformSin, "2", "-3", "1", 4, "SIN(2X -3)", -0.95892427466313845, ""},
      {TransformExponential, "5", "5", "1", 1, "Exponential(5,5)", err, "Error: B <= A"},
  };
  for (const auto& c : cases) {
    TTransformRec t;
    std::string error;
    ASSERT_TRUE(SetTransform(t, c.No, c.A, c.B, c.C, false, error)) << error;
    EXPECT_EQ(TransformFormulaText(t), c.Formula);
    double x = c.X;
    const bool ok = TransformValue(t, x);
    if (std::isnan(c.Y)) {
      EXPECT_FALSE(ok) << c.Formula << " of " << c.X;
      EXPECT_EQ(t.ErrorString, c.Reason) << c.Formula;
      EXPECT_EQ(x, c.X) << "the value stays on an error";
    } else {
      ASSERT_TRUE(ok) << c.Formula << " of " << c.X << ": " << t.ErrorString;
      EXPECT_NEAR(x, c.Y, 1e-12 * std::max(1.0, std::fabs(c.Y))) << c.Formula;
    }
  }
}

TEST_F(DataRulesTest, RandomTransformsDrawTheirShapes) {
  SeedRandom(11);
  struct TCase {
    int No;
    const char *A, *B, *C, *Formula;
    double Low, High;
  };
  const TCase cases[] = {
      {TransformUniform, "3", "1", "1", "Uniform(3,1)", 1, 3},
      {TransformNormal, "50", "5", "1", "Normal(50,5)", 20, 80},
      {TransformExponential, "2", "4", "1", "Exponential(2,4)", 2, 1e300},
      {TransformChiSquare, "3", "2", "10", "Chi-Square(3,2,10)", 10, 1e300},
  };
  for (const auto& c : cases) {
    TTransformRec t;
    std::string error;
    ASSERT_TRUE(SetTransform(t, c.No, c.A, c.B, c.C, false, error));
    EXPECT_EQ(TransformFormulaText(t), c.Formula);
    double sum = 0;
    for (int i = 0; i < 2000; ++i) {
      double x = 123;
      ASSERT_TRUE(TransformValue(t, x));
      EXPECT_GE(x, c.Low);
      EXPECT_LE(x, c.High);
      sum += x;
    }
    // Means of the shapes: (1+3)/2, 50, B = 4, C + A*B = 16.
    const double want[] = {2, 50, 4, 16};
    EXPECT_NEAR(sum / 2000, want[&c - cases], 0.1 * want[&c - cases]) << c.Formula;
  }
}

TEST_F(DataRulesTest, TransformDialogRules) {
  EXPECT_TRUE(TransformConstantsOk(TransformLog, "", "", ""));
  EXPECT_FALSE(TransformConstantsOk(TransformPower1, "1", "", "2"));
  EXPECT_TRUE(TransformConstantsOk(TransformPower2, "1", "0", "2"));
  EXPECT_FALSE(TransformConstantsOk(TransformPower2, "1", "0", "0"));
  TTransformRec t;
  std::string error;
  EXPECT_FALSE(SetTransform(t, TransformPower2, "1", "0", "0", false, error));
  EXPECT_FALSE(SetTransform(t, TransformLog, "x", "0", "1", false, error));
  EXPECT_EQ(t.no, TransformNone);
  EXPECT_EQ(TransformByName("chi-square"), TransformChiSquare);
  EXPECT_EQ(TransformByName("cube"), -1);
  EXPECT_EQ(TransformCaption(TransformInv), "INV     Y = B/(AX)^C");
}

// A LOG error mid-load: the set is loaded again untransformed (R: mean(c(4, 1, 0, 9)) = 3.5).
TEST_F(DataRulesTest, TransformErrorReloadsUntransformed) {
  TDataList& d = Load("X\r\n4\r\n1\r\n0\r\n9\r\n");
  std::vector<std::string> messages;
  SetDataMessageHandler([&](const std::string& m) { messages.push_back(m); });
  std::string error;
  ASSERT_TRUE(SetTransform(TransformRec, TransformLog, "1", "0", "1", false, error));
  const auto values = LoadOne(d, 1);
  EXPECT_EQ(values, (std::vector<double>{4, 1, 0, 9}));
  EXPECT_DOUBLE_EQ(std::accumulate(values.begin(), values.end(), 0.0) / values.size(), 3.5);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0],
            "Transform Error - Turning Off Transform!\nTransform: LN(X)\nError: X <= 0");
  EXPECT_EQ(TransformRec.no, TransformNone);

  // The extremes too: ln 9 would stand beside an untransformed 0.
  ASSERT_TRUE(SetTransform(TransformRec, TransformLog, "1", "0", "1", false, error));
  TRunInfo ri;
  d.GetGrandHighLow(LoadColumn, ri);
  EXPECT_EQ(d.GrandLow, 0);
  EXPECT_EQ(d.GrandHigh, 9);
  EXPECT_EQ(messages.size(), 2u);
}

TEST_F(DataRulesTest, ReloadGivesTheSameRandomValues) {
  TDataList& d = Load("X\r\n1\r\n2\r\n3\r\n");
  std::string error;
  ASSERT_TRUE(SetTransform(TransformRec, TransformNormal, "0", "1", "1", true, error));
  TRunInfo ri;
  ri.ColRefRun = LoadColumn;
  ri.v = 1;
  d.IncludeCol[1] = true;
  d.DataToA_Array(1, ri);
  const auto first = Loaded();
  d.DataToA_Array(1, ri);
  const auto second = Loaded();
  EXPECT_NE(first, second);
  d.ReloadAR(ri);
  EXPECT_EQ(Loaded(), second);
}

TEST_F(DataRulesTest, NumberLists) {
  struct TCase {
    const char* Text;
    TBlankCommas Answer;
    std::vector<std::string> Texts;
  };
  const TCase cases[] = {
      {"1,3", TBlankCommas::No, {"1", "3"}},
      {"1, 3", TBlankCommas::No, {"1", "3"}},
      {"1,,3", TBlankCommas::No, {"1", "3"}},
      {"1,,3", TBlankCommas::Yes, {"1", "", "3"}},
      {",2", TBlankCommas::Yes, {"", "2"}},
      {".5 -.5 5.", TBlankCommas::No, {"0.5", "-0.5", "5"}},
      {"1\t\t2", TBlankCommas::No, {"1", "", "2"}},
      {"- . 7", TBlankCommas::No, {"7"}},
      {"1-2", TBlankCommas::No, {""}},
      {"", TBlankCommas::No, {}},
  };
  for (const auto& c : cases) {
    BlankCommasAnswer = c.Answer;
    TNumberList l = ReadNumberList(c.Text);
    EXPECT_EQ(l.Texts, c.Texts) << c.Text;
    for (std::size_t i = 0; i < l.Texts.size(); ++i)
      if (l.Texts[i].empty()) {
        EXPECT_EQ(l.Values[i], MissingValue) << c.Text;
      }
  }
  // The question is asked once a run, at the first blank comma.
  BlankCommasAnswer = TBlankCommas::Unasked;
  int asked = 0;
  SetBlankCommaQuestion([&] { return ++asked, true; });
  EXPECT_EQ(ReadNumberList("1,3").Texts.size(), 2u);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(ReadNumberList("1,,3").Texts.size(), 3u);
  EXPECT_EQ(ReadNumberList(",,").Texts.size(), 2u);
  EXPECT_EQ(asked, 1);
  SetBlankCommaQuestion(nullptr);
  std::vector<std::string> many(600, "1");
  std::string text;
  for (const auto& m : many) text += m + ",";
  EXPECT_EQ(ReadNumberList(text).Texts.size(), std::size_t(MaxListItems));
}

TEST_F(DataRulesTest, ProcessIfOverRelationsAndValues) {
  // Line, Shift, Group (text: A = 1, B = 2); row 5 has no Line.
  TDataList& d =
      Load("Line\tShift\tGroup\r\n1\t1\tA\r\n2\t2\tB\r\n3\t1\tA\r\n4\t3\tB\r\n\t2\tA\r\n");
  struct TCase {
    const char* Rule;
    const char* Text;  // the status text
    std::vector<int> Rows;
  };
  const TCase cases[] = {
      {"Line = 2", "Process If: Line = 2", {2}},
      {"Line > 2", "Process If: Line > 2", {3, 4}},
      {"Line >= 2", "Process If: Line >= 2", {2, 3, 4}},
      {"Line < 2", "Process If: Line < 2", {1, 5}},  // a missing cell is -2147483647
      {"Line <= 2", "Process If: Line <= 2", {1, 2, 5}},
      {"Line <> 2", "Process If: Line <> 2", {1, 3, 4, 5}},
      {"Line in [1,3]", "Process If: Line in [1,3]", {1, 3}},
      {"Line in 1, 3", "Process If: Line in [1,3]", {1, 3}},
      {"Line Not in [1,3]", "Process If: Line Not in [1,3]", {2, 4, 5}},
      {"Line in []", "Process If: Line in []", {}},
      {"Line not in []", "Process If: Line Not in []", {1, 2, 3, 4, 5}},
      {"Line in [1,3] or Shift = 2", "Process If: Line in [1,3] or Shift = 2", {1, 2, 3, 5}},
      {"Line in [1,3] and Shift = 1", "Process If: Line in [1,3] and Shift = 1", {1, 3}},
      {"Group = B", "Process If: Group = 2", {2, 4}},
      {"group in [A]", "Process If: Group in [1]", {1, 3, 5}},
      {"3 = 1", "Process If: Group = 1", {1, 3, 5}},
  };
  for (const auto& c : cases) {
    TProcessIfChoice choice;
    std::string error;
    ASSERT_TRUE(ParseProcessIfText(c.Rule, d, choice, error)) << c.Rule << ": " << error;
    ApplyProcessIfChoice(choice, d);
    EXPECT_EQ(ProcessIfStatusText(), c.Text);
    std::vector<int> rows;
    for (int r = 1; r <= d.Ncount; ++r)
      if (d.ProcessOK(r)) rows.push_back(r);
    EXPECT_EQ(rows, c.Rows) << c.Rule;
  }
  // "in" with a blank item selects the missing cells (blank commas agreed).
  BlankCommasAnswer = TBlankCommas::Yes;
  ApplyProcessIfChoice({1, 0, RelIn, RelAll, "1,,3", "0", ProcessIfAnd}, d);
  EXPECT_EQ(ProcessIfStatusText(), "Process If: Line in [1,,3]");
  EXPECT_TRUE(d.ProcessOK(5));
  EXPECT_FALSE(d.ProcessOK(2));
  // A relation without a column (or a column with "All") switches Process If off.
  ApplyProcessIfChoice({0, 2, RelEqual, RelAll, "1", "0", ProcessIfAnd}, d);
  EXPECT_FALSE(ProcessIfRec.Active);
  EXPECT_EQ(ProcessIfStatusText(), "Process If Off");
}

TEST_F(DataRulesTest, MalformedRulesAreNamed) {
  TDataList& d = Load("Line\tShift\r\n1\t2\r\n");
  struct TCase {
    const char* Rule;
    const char* Error;
  };
  const TCase processIf[] = {
      {"Lane = 1", "no column 'Lane'"},
      {"Line ~ 1",
       "no relation (= > >= < <= <> in, Not in) in the Process If condition 'Line ~ 1'"},
      {"Line = x", "'x' is not a number in the Process If condition 'Line = x'"},
      {"Line in [1,x]", "'x' is not a number in the Process If condition 'Line in [1,x]'"},
      {"Line = 1 or Shift = 2 or Line = 3",
       "Process If has more than two conditions: 'Line = 1 or Shift = 2 or Line = 3'"},
      {"", "the Process If rule is empty"},
  };
  for (const auto& c : processIf) {
    TProcessIfChoice choice;
    std::string error;
    EXPECT_FALSE(ParseProcessIfText(c.Rule, d, choice, error)) << c.Rule;
    EXPECT_EQ(error, c.Error);
  }
  const TCase missing[] = {
      {"Y = 1", "a missing-value condition starts with X: 'Y = 1'"},
      {"X <> 1", "no relation (= > >= < <=) in the missing-value condition 'X <> 1'"},
      {"X = a", "not a number in the missing-value condition 'X = a'"},
      {"X = 1 or X = 2 or X = 3",
       "the missing-value rule has more than two conditions: 'X = 1 or X = 2 or X = 3'"},
  };
  for (const auto& c : missing) {
    TMissingChoice choice;
    std::string error;
    EXPECT_FALSE(ParseMissingText(c.Rule, choice, error)) << c.Rule;
    EXPECT_EQ(error, c.Error);
  }
}

TEST_F(DataRulesTest, MissingRuleAndItsTexts) {
  TDataList& d = Load("X\r\n-100\r\n-99\r\n-98\r\n0\r\n5\r\n");
  TMissingChoice choice;
  std::string error;
  ASSERT_TRUE(ParseMissingText("X <= -99 or X = 0", choice, error)) << error;
  ApplyMissingChoice(choice);
  EXPECT_EQ(MissingConditionTexts(), (std::vector<std::string>{"X <= -99", "X = 0"}));
  EXPECT_EQ(MissingStatusText(), "Missing: X <= -99, or X = 0");
  EXPECT_EQ(LoadOne(d, 1), (std::vector<double>{-98, 5}));
  // The dialog drops a condition whose box holds text.
  ApplyMissingChoice({RelEqual, RelGreater, "abc", "4"});
  EXPECT_EQ(MissingStatusText(), "Missing: X > 4");
  ApplyMissingChoice({});
  EXPECT_EQ(MissingStatusText(), "Missing Off");
  EXPECT_FALSE(MissingRec.Active);
}

TEST_F(DataRulesTest, ColumnsByNameOrNumber) {
  TDataList& d = Load("Line\tline\tShift\tWeight\r\n1\t2\t3\t4\r\n");
  EXPECT_EQ(FindColumn(d, "line"), 2);   // exact first
  EXPECT_EQ(FindColumn(d, "LINE"), 0);   // two match without case
  EXPECT_EQ(FindColumn(d, "shift"), 3);  // one matches without case
  EXPECT_EQ(FindColumn(d, "4"), 4);
  EXPECT_EQ(FindColumn(d, "5"), 0);
  EXPECT_EQ(FindColumn(d, "Shft"), 0);
}

TEST_F(DataRulesTest, AutoRecodeAndRunNumbers) {
  TDataList& d = Load("V\tA\tB\r\n7\t1\t1\r\n3\t1\t2\r\n7\t2\t1\r\n\t1\t1\r\n10\t\t1\r\n");
  ASSERT_TRUE(AutoRecodeVariables(d, {1}).Done);
  EXPECT_EQ(d.ColumnName(4), "V_R");
  EXPECT_EQ(Column(d, 4), (std::vector<std::string>{"2", "1", "2", "", "3"}));
  EXPECT_TRUE(DataEditor.FileModified);
  // Runs over (A, B); the row without A is the missing combination, run 1.
  ASSERT_TRUE(GenerateRunNumbers(d, {2, 3}));
  EXPECT_EQ(d.ColumnName(5), "Run");
  EXPECT_EQ(Column(d, 5), (std::vector<std::string>{"2", "3", "4", "2", "1"}));
  // Process If does not matter to either.
  TDataList& e = Load("A\tB\r\n1\t1\r\n1\t2\r\n2\t1\r\n1\t1\r\n");
  ApplyProcessIfChoice({1, 0, RelEqual, RelAll, "2", "0", ProcessIfAnd}, e);
  ASSERT_TRUE(GenerateRunNumbers(e, {1, 2}));
  EXPECT_EQ(Column(e, 3), (std::vector<std::string>{"1", "2", "3", "1"}));
  // The column limit counts the case-number column.
  TDataList& f = Load("A\r\n1\r\n2\r\n");
  f.SetColCount(511);
  EXPECT_EQ(AutoRecodeVariables(f, {1}).Message, "Maximum Number of Columns Exceeded.");
  EXPECT_EQ(f.MaxCol(), 511);
  f.SetColCount(510);
  EXPECT_TRUE(AutoRecodeVariables(f, {1}).Done);
  EXPECT_EQ(f.MaxCol(), 511);
}

TEST_F(DataRulesTest, AddTransformedVariable) {
  TDataList& d = Load("X\tY\tG\r\n1\t4\t1\r\n-99\t0\t2\r\n2\t9\t1\r\n");
  ApplyMissingChoice({RelLessEqual, RelNone, "-99", "0"});
  ApplyProcessIfChoice({3, 0, RelEqual, RelAll, "1", "0", ProcessIfAnd}, d);
  std::string error;
  ASSERT_TRUE(SetTransform(TransformRec, TransformLinear, "2", "-3", "1", false, error));
  auto r = AddTransformedVariables(d, {1, 2}, false, true);
  EXPECT_TRUE(r.Done);
  EXPECT_TRUE(r.Failed.empty());
  EXPECT_EQ(d.ColumnName(4), "f(X)");
  EXPECT_EQ(Column(d, 4), (std::vector<std::string>{"-1", "", "1"}));
  EXPECT_EQ(Column(d, 5), (std::vector<std::string>{"5", "", "15"}));
  EXPECT_EQ(TransformRec.no, TransformNone);
  // LOG fails on Y's 0 (Process If off now): Y is left, X is still written over itself.
  ResetProcessIf();
  ASSERT_TRUE(SetTransform(TransformRec, TransformLog, "1", "0", "1", false, error));
  r = AddTransformedVariables(d, {2, 1}, true, false);
  EXPECT_EQ(r.Failed, (std::vector<std::string>{"Y"}));
  EXPECT_EQ(Column(d, 2), (std::vector<std::string>{"4", "0", "9"}));
  EXPECT_EQ(Column(d, 1), (std::vector<std::string>{"0", "", "0.69314718056"}));
  EXPECT_EQ(TransformRec.no, TransformLog);
  // The column limit: Add counts the new columns, Modify none.
  d.SetColCount(510);
  EXPECT_EQ(AddTransformedVariables(d, {1, 2}, false, false).Message,
            "Maximum Number of Columns Exceeded.");
}

// Weight Cases and the commands that add or rewrite columns parse only what changed; the
// data set must then read exactly as a parse of all its texts reads.
TEST_F(DataRulesTest, CommandsLeaveTheNumbersAFullParseGives) {
  auto same = [](TDataList& d, const std::string& step) {
    TDataList full = d;
    full.SetAllRowsModified();
    full.UpdateData();
    ASSERT_EQ(d.Ncount, full.Ncount) << step;
    ASSERT_EQ(d.MaxCol(), full.MaxCol()) << step;
    for (int c = 1; c <= d.MaxCol(); ++c) {
      EXPECT_EQ(d.StringVar[c], full.StringVar[c]) << step << " column " << c;
      EXPECT_EQ(d.Highlow[c], full.Highlow[c]) << step << " column " << c;
      if (full.Highlow[c]) {
        EXPECT_EQ(d.ColumnLow[c], full.ColumnLow[c]) << step << " column " << c;
        EXPECT_EQ(d.ColumnHigh[c], full.ColumnHigh[c]) << step << " column " << c;
      }
      EXPECT_EQ(d.LevelCount(c), full.LevelCount(c)) << step << " column " << c;
      for (int k = 1; k <= full.LevelCount(c); ++k)
        EXPECT_EQ(d.GetLevelName(c, k), full.GetLevelName(c, k)) << step << " column " << c;
      for (int r = 1; r <= d.Ncount; ++r) {
        EXPECT_EQ(d.HasValue(c, r), full.HasValue(c, r)) << step << " cell " << c << "," << r;
        EXPECT_EQ(d.Value(c, r), full.Value(c, r)) << step << " cell " << c << "," << r;
      }
    }
    // A load reads the new cases and columns as well (untransformed: a transform error
    // here would switch off the transformation the next step uses).
    const TTransformRec transform = TransformRec;
    TransformRec.no = TransformNone;
    TRunInfo ri;
    ri.ColRefRun = LoadColumn;
    const int last = d.MaxCol();
    d.IncludeCol[last] = full.IncludeCol[last] = true;
    d.DataToA_Array(last, ri);
    const std::vector<double> got = Loaded();
    full.DataToA_Array(last, ri);
    EXPECT_EQ(got, Loaded()) << step;
    TransformRec = transform;
  };
  // Group is text; W, X and Y are numbers with gaps.
  TDataList& d = Load("Group\tW\tX\tY\r\nB\t2\t4\t1\r\nA\t3\t1\t\r\nB\t\t9\t2\r\nC\t1\t\t3\r\n");
  ASSERT_TRUE(WeightCases(d, 2, [](std::int64_t) { return true; }).Done);
  same(d, "weight cases");
  std::string error;
  ASSERT_TRUE(SetTransform(TransformRec, TransformLog, "1", "0", "1", false, error)) << error;
  ASSERT_TRUE(AddTransformedVariables(d, {3, 4}, false, false).Done);
  same(d, "add transformed");
  ASSERT_TRUE(AddTransformedVariables(d, {4}, true, true).Done);
  same(d, "modify existing");
  ASSERT_TRUE(AutoRecodeVariables(d, {1, 3}).Done);
  same(d, "auto recode");
  ASSERT_TRUE(GenerateRunNumbers(d, {1}));
  same(d, "run numbers");
  // A command right after a typed edit: the edit is parsed as well.
  d.SetCellText(4, 1, "abc");
  ASSERT_TRUE(AutoRecodeVariables(d, {2}).Done);
  same(d, "after an edit");
  EXPECT_TRUE(d.StringVar[4]);
  // Enough copies for the columns to be built on several threads.
  std::string many = "Group\tW\tX\r\n";
  for (int r = 1; r <= 13000; ++r)
    many += std::string(r % 3 ? "a" : "b") + "\t" + (r % 5 ? "3" : "") + "\t" +
            std::to_string(r * 0.5) + "\r\n";
  TDataList& big = Load(many);
  ASSERT_TRUE(WeightCases(big, 2, [](std::int64_t) { return true; }).Done);
  EXPECT_EQ(big.Ncount, 13000 + 2 * 10400);
  same(big, "weight cases, many copies");
}

TEST_F(DataRulesTest, WeightCases) {
  struct TCase {
    const char* Weights;
    std::int64_t Count;
    std::vector<std::string> Cases;
  };
  const TCase cases[] = {
      {"1\r\n3\r\n2\r\n", 6, {"1", "2", "3", "2", "2", "3"}},
      // Missing and small weights keep their case once (they were added as -2147483647, 0).
      {"1\r\n3\r\n\r\n0.4\r\n", 6, {"1", "2", "3", "4", "2", "2"}},
      {"0.4\r\n2\r\n1\r\n", 4, {"1", "2", "3", "2"}},
      {"2.5\r\n1.5\r\n", 4, {"1", "2", "1", "2"}},  // halves to even
  };
  for (const auto& c : cases) {
    // The case number in column 1, the weight in column 2.
    std::string text = "Case\tW\r\n";
    std::string weights = c.Weights;
    int n = 0;
    for (std::size_t p = 0; (p = weights.find("\r\n")) != std::string::npos;
         weights.erase(0, p + 2))
      text += std::to_string(++n) + "\t" + weights.substr(0, p) + "\r\n";
    TDataList& d = Load(text);
    std::int64_t asked = 0;
    auto r = WeightCases(d, 2, [&](std::int64_t count) { return asked = count, true; });
    EXPECT_TRUE(r.Done) << c.Weights;
    EXPECT_EQ(asked, c.Count) << c.Weights;
    EXPECT_EQ(Column(d, 1), c.Cases) << c.Weights;
    EXPECT_EQ(d.Ncount, c.Count);
  }
  TDataList& d = Load("W\r\n1\r\n3\r\n");
  EXPECT_FALSE(WeightCases(d, 1, [](std::int64_t) { return false; }).Done);
  EXPECT_EQ(d.Ncount, 2);
  EXPECT_EQ(WeightCasesQuestion(4), "New Row Count = 4, Continue?");
  TDataList& big = Load("W\r\n1\r\n1e10\r\n");
  auto r = WeightCases(big, 1, [](std::int64_t) { return true; });
  EXPECT_FALSE(r.Done);
  EXPECT_EQ(
      r.Message,
      "New Row Count = 10000000001 is more than a data set can hold; the cases were not weighted.");
  EXPECT_EQ(big.Ncount, 2);
}

}  // namespace
}  // namespace sorvel
