// Compute Variables from Sample Data: the new column's cells for each kind of statistic,
// the data rules, the dialogs' answers and refusals.
#include "explore/compute_variables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "numerics/distributions.h"
#include "support/load_text.h"

namespace sorvel {
namespace {

class ComputeVariablesTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetDataState(); }
};

// The new column's cell texts, rows 1..Ncount ("" for an empty cell).
std::vector<std::string> Cells(const TDataList& d, int c) {
  std::vector<std::string> out;
  for (int r = 1; r <= d.Ncount; ++r) out.push_back(std::string(d.DataGrid.Cell(c, r)));
  return out;
}

TComputeResult Compute(TDataList& d, int dep, std::vector<int> indep, int stat,
                       TComputeDialogs dialogs = {}) {
  TSampleInputs in;
  in.Dependent = dep;
  in.Independent = std::move(indep);
  in.Statistic = stat;
  return ComputeSampleVariable(d, in, dialogs);
}

using V = std::vector<std::string>;

TEST_F(ComputeVariablesTest, PerCaseAndGroupStatistics) {
  struct {
    const char* Data;
    std::vector<int> Indep;
    int Stat;
    V Expected;
    const char* Name;
  } cases[] = {
      {"X\n1\n2\n3\n4\n5\n", {}, StatAbsDevMedian, {"2", "1", "0", "1", "2"}, "X_ADM"},
      {"X\n1\n2\n3\n4\n5\n", {}, StatAbsDevMedianNoMidpoint, {"2", "1", "", "1", "2"}, "X_ADM"},
      {"X\n1\n2\n3\n4\n5\n", {}, StatDevMean, {"-2", "-1", "0", "1", "2"}, "X_DMN"},
      {"X\n5\n1\n3\n", {}, StatDevMedian, {"2", "-2", "0"}, "X_DMD"},
      {"X\n1\n2\n6\n", {}, StatAbsDevMean, {"2", "1", "3"}, "X_ADA"},
      {"X\n3\n1\n3\n2\n", {}, StatRanks, {"3.5", "1", "3.5", "2"}, "X_Rank"},
      // Groups of one value are skipped by the per-case statistics.
      {"X\tG\n1\t1\n2\t1\n7\t2\n", {2}, StatDevMean, {"-0.5", "0.5", ""}, "X_DMN"},
      // Two independent variables: one mean per combination, in its first case.
      {"X\tA\tB\n1\t1\t1\n3\t1\t2\n5\t1\t1\n7\t1\t2\n9\t2\t1\n",
       {2, 3},
       StatMean,
       {"3", "5", "", "", "9"},
       "X_AVG"},
      {"X\tG\n4\t1\n2\t1\n9\t2\n", {2}, StatStdDev, {"1.41421356237", "", ""}, "X_STD"},
      {"X\tG\n4\t1\n2\t1\n9\t2\n", {2}, StatCount, {"2", "", "1"}, "X_n"},
      {"X\tG\n4\t1\n2\t1\n4\t1\n", {2}, StatMode, {"4", "", ""}, "X_Mode"},
      {"X\tG\n4\t1\n2\t1\n4\t1\n", {2}, StatRange, {"2", "", ""}, "X_R"},
      {"X\tG\n4\t1\n2\t1\n4\t1\n", {2}, StatMedian, {"4", "", ""}, "X_MED"},
      // ln(var) of each group once: var(1, 2, 3) = 1, var(2, 4) = 2.
      {"X\tG\n1\t1\n2\t1\n3\t1\n2\t2\n4\t2\n",
       {2},
       StatBartlettKendall,
       {"0", "", "", "0.69314718056", ""},
       "X_BK"},
  };
  for (const auto& c : cases) {
    TDataList& d = test::LoadText(c.Data);
    const int cols = d.MaxCol();
    const TComputeResult r = Compute(d, 1, c.Indep, c.Stat);
    ASSERT_EQ(r.Message, "") << c.Data;
    EXPECT_EQ(r.Column, cols + 1);
    EXPECT_EQ(d.ColumnName(r.Column), c.Name);
    EXPECT_EQ(Cells(d, r.Column), c.Expected) << SampleStatisticName(c.Stat).Caption;
  }
}

TEST_F(ComputeVariablesTest, ReportLinesAndNames) {
  TDataList& d = test::LoadText("X\tA\tB\n1\t1\t1\n2\t1\t2\n");
  TSampleInputs in;
  in.Dependent = 1;
  in.Independent = {2, 3};
  in.Statistic = StatSum;
  in.NewName = "total sum";
  const TComputeResult r = ComputeSampleVariable(d, in, {});
  EXPECT_EQ(r.Name, "total_sum");
  EXPECT_EQ(r.ReportLines, (V{"total_sum added to Data Editor", "\t* Sum", "\t* X by A, B", ""}));
  EXPECT_TRUE(DataEditor.FileModified);
  EXPECT_EQ(DefaultSampleName(d, 1, StatAbsDevMean), "X_ADA");
  EXPECT_EQ(DefaultSampleName(d, 0, StatAbsDevMean), "");
  EXPECT_EQ(DefaultAcrossName(2, 0), "Std_Dev1");
  EXPECT_EQ(DefaultAcrossName(8, 2), "Count3");
  EXPECT_EQ(SampleStatisticByOption("bartlett-kendall-ln-variance"), StatBartlettKendall);
  EXPECT_EQ(SampleStatisticByOption("levene"), -1);
}

TEST_F(ComputeVariablesTest, RanksFollowTheDataRules) {
  // LOG active: the stored values are compared after the transformation, as loaded.
  // R: rank(log(c(3, 1, 3, 2))) = 3.5 1 3.5 2
  TDataList& d = test::LoadText("X\tKeep\n3\t1\n1\t1\n3\t1\n2\t1\n8\t0\n");
  TransformRec.no = TransformLog;
  ProcessIfRec.Active = true;
  ProcessIfRec.PiIndex1 = 2;
  ProcessIfRec.Sign1 = RelEqual;
  ProcessIfRec.X1 = 1;
  const TComputeResult r = Compute(d, 1, {}, StatRanks);
  // The row outside Process If gets no rank.
  EXPECT_EQ(Cells(d, r.Column), (V{"3.5", "1", "3.5", "2", ""}));
}

TEST_F(ComputeVariablesTest, BartlettKendallOfOffsetValuesIsNotAZeroVariance) {
  // Sum and sum of squares lose 1e8 + 0.1i to cancellation; two passes keep it.
  // R: log(var(1e8 + c(0.1, 0.2, 0.3, 0.4))) = -4.0943445622
  TDataList& d = test::LoadText("X\n100000000.1\n100000000.2\n100000000.3\n100000000.4\n");
  bool asked = false;
  TComputeDialogs dialogs;
  dialogs.AskMinimumRange = [&](const std::string&, double&) { return asked = true, false; };
  const TComputeResult r = Compute(d, 1, {}, StatBartlettKendall, dialogs);
  EXPECT_FALSE(asked);
  ASSERT_EQ(r.Message, "");
  EXPECT_NEAR(std::stod(Cells(d, r.Column)[0]), -4.0943445622, 1e-7);
}

TEST_F(ComputeVariablesTest, ZeroVarianceAsksForTheMinimumRangeOnce) {
  TDataList& d = test::LoadText("X\tG\n4\t1\n4\t1\n4\t1\n4\t1\n5\t2\n5\t2\n");
  int asked = 0;
  std::string run;
  TComputeDialogs dialogs;
  dialogs.AskMinimumRange = [&](const std::string& name, double& range) {
    ++asked;
    run = name;
    range = 0.1;
    return true;
  };
  const TComputeResult r = Compute(d, 1, {2}, StatBartlettKendall, dialogs);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(run, "1");
  const V cells = Cells(d, r.Column);
  EXPECT_NEAR(std::stod(cells[0]), std::log(0.0025), 1e-10);  // ln(r^2 / n), n = 4
  EXPECT_NEAR(std::stod(cells[4]), std::log(0.01 / 2), 1e-10);

  // Cancel: nothing added, and the message names the run.
  const int cols = d.MaxCol();
  dialogs.AskMinimumRange = [](const std::string&, double&) { return false; };
  const TComputeResult c = Compute(d, 1, {2}, StatBartlettKendall, dialogs);
  EXPECT_TRUE(c.Cancelled);
  EXPECT_EQ(c.Message, "Zero Variance in Run 1");
  EXPECT_EQ(d.MaxCol(), cols);
}

TEST_F(ComputeVariablesTest, BartlettKendallBoxSubgroups) {
  std::string text = "X\tG\n";
  for (int i = 1; i <= 12; ++i) text += std::to_string(i * i % 17) + "\t1\n";
  for (int i = 1; i <= 10; ++i) text += std::to_string(i % 7) + "\t2\n";
  TDataList& d = test::LoadText(text);
  TBkbSizes seen;
  TComputeDialogs dialogs;
  dialogs.AskSubgroups = [&](const TBkbSizes& sizes, int& k) {
    seen = sizes;
    k = 3;
    return true;
  };
  SeedRandom(5);
  const TComputeResult r = Compute(d, 1, {2}, StatBartlettKendallBox, dialogs);
  EXPECT_DOUBLE_EQ(seen.Average, 11);
  EXPECT_EQ(seen.Smallest, 10);
  EXPECT_EQ(seen.Largest, 12);
  EXPECT_EQ(seen.DefaultSubgroups, 3);  // sqrt(11) rounded, the smallest run above 5
  EXPECT_EQ(seen.MaxSubgroups, 5);
  // Three log variances per run, in the run's first three cases.
  const V cells = Cells(d, r.Column);
  for (int i = 0; i < 22; ++i) EXPECT_EQ(cells[i].empty(), !(i < 3 || (i >= 12 && i < 15))) << i;

  const int cols = d.MaxCol();
  dialogs.AskSubgroups = [](const TBkbSizes&, int&) { return false; };
  EXPECT_TRUE(Compute(d, 1, {2}, StatBartlettKendallBox, dialogs).Cancelled);
  EXPECT_EQ(d.MaxCol(), cols);
}

TEST_F(ComputeVariablesTest, CombinableDistributionsKeepSpreadAndGrandMean) {
  TDataList& d = test::LoadText("X\tG\n1\t1\n2\t1\n3\t1\n10\t2\n14\t2\n");
  SeedRandom(3);
  const TComputeResult r = Compute(d, 1, {2}, StatCombinable);
  const V cells = Cells(d, r.Column);
  std::vector<double> y;
  for (const auto& c : cells) y.push_back(std::stod(c));
  EXPECT_NEAR(y[1] - y[0], 1, 1e-9);  // within a group the differences stay
  EXPECT_NEAR(y[4] - y[3], 4, 1e-9);
  EXPECT_NEAR((y[0] + y[1] + y[2] + y[3] + y[4]) / 5, 6,
              1e-9);  // the grand mean of 1, 2, 3, 10, 14
}

TEST_F(ComputeVariablesTest, AcrossRows) {
  TDataList& d = test::LoadText("A\tB\tC\tKeep\n1\t2\t3\t1\n4\t\t6\t1\n7\t8\t9\t0\n");
  ProcessIfRec.Active = true;
  ProcessIfRec.PiIndex1 = 4;
  ProcessIfRec.Sign1 = RelEqual;
  ProcessIfRec.X1 = 1;
  const TComputeResult count = ComputeAcrossRows(d, {1, 2, 3}, 8, "Count1");
  EXPECT_EQ(Cells(d, count.Column), (V{"3", "2", ""}));
  EXPECT_EQ(count.ReportLines, (V{"Count1 added to Data Editor", "\t* Count of A, B, C", ""}));
  const TComputeResult sd = ComputeAcrossRows(d, {1, 2, 3}, 2, "Std_Dev1");
  EXPECT_EQ(Cells(d, sd.Column), (V{"1", "1.41421356237", ""}));
}

TEST_F(ComputeVariablesTest, FullDataSetIsRefused) {
  TDataList& d = test::LoadText("X\n1\n2\n");
  d.SetColCount(MaxColumns);
  EXPECT_EQ(Compute(d, 1, {}, StatMean).Message, "Maximum Number of Columns Exceeded.");
  EXPECT_EQ(ComputeAcrossRows(d, {1}, 0, "Mean1").Message, "Maximum Number of Columns Exceeded.");
  EXPECT_EQ(d.MaxCol(), MaxColumns);
}

}  // namespace
}  // namespace sorvel
