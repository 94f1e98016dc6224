// The point table of the variables chart over every data layout, on one small file whose
// rows are worked out by hand below.
#include "quality/variables_points.h"

#include <gtest/gtest.h>

#include <cmath>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "data/io/data_file.h"

using namespace sorvel;

namespace {

//        A  B  G  S  Set K
// row 1  1  2  1  1  1   1
// row 2  3  5  2  1  1   1
// row 3  2  4  1  2  1   1
// row 4  .  6  2  2  1   1
// row 5  6  3  1  4  2   1
// row 6  4  8  2  4  2   1
// row 7  9  7  1  5  2   0
// row 8  5  1  2  5  2   1
const char* Fixture =
    "A\tB\tG\tS\tSet\tK\n"
    "1\t2\t1\t1\t1\t1\n"
    "3\t5\t2\t1\t1\t1\n"
    "2\t4\t1\t2\t1\t1\n"
    "\t6\t2\t2\t1\t1\n"
    "6\t3\t1\t4\t2\t1\n"
    "4\t8\t2\t4\t2\t1\n"
    "9\t7\t1\t5\t2\t0\n"
    "5\t1\t2\t5\t2\t1\n";
enum { A = 1, B = 2, G = 3, S = 4, Set = 5, K = 6 };

constexpr double M = MissingValue;

struct TRowExpect {
  double n, loc, disp, set, brk;
};

class VariablesPointsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDataState();
    ASSERT_TRUE(ReadDataBytes(Fixture, data).Ok);
    data.UpdateData();
  }
  void TearDown() override { ResetDataState(); }

  static TVarChartRequest Request(int layout, std::vector<int> vars) {
    TVarChartRequest rq;
    rq.Layout = layout;
    rq.ChartVariables = std::move(vars);
    rq.SetVariable = Set;
    const bool individuals = layout == 1 || layout == 5 || layout == 8 || layout == 12;
    rq.Settings.LocationChart = individuals ? ChartX : ChartMean;
    rq.Settings.DispersionChart = individuals ? ChartMovingRange : ChartRange;
    rq.Settings.LocationMethod = rq.Settings.DispersionMethod =
        individuals ? MethodAverageMR : MethodAverageRange;
    if (layout >= 8) rq.ChartGroups = {G};
    if (layout == 3 || layout == 6 || layout == 10 || layout == 13) rq.SampleVariable = S;
    if (layout == 4 || layout == 7 || layout == 11 || layout == 14) rq.SampleSize = 3;
    return rq;
  }

  TDataList data;
};

void ExpectRows(const TVarPointTable& t, const std::vector<TRowExpect>& rows) {
  ASSERT_EQ(t.Count, static_cast<int>(rows.size()));
  for (int p = 1; p <= t.Count; ++p) {
    SCOPED_TRACE("point " + std::to_string(p));
    const TRowExpect& e = rows[static_cast<std::size_t>(p - 1)];
    EXPECT_EQ(t.Table(RowSize, p), e.n);
    EXPECT_NEAR(t.Table(RowLocation, p), e.loc, 1e-12);
    if (e.disp == M)
      EXPECT_EQ(t.Table(RowDispersion, p), M);
    else
      EXPECT_NEAR(t.Table(RowDispersion, p), e.disp, 1e-12);
    EXPECT_EQ(t.Table(RowSet, p), e.set);
    EXPECT_EQ(t.Table(RowBreak, p), e.brk);
  }
}

TEST_F(VariablesPointsTest, EveryLayoutByHand) {
  struct TCase {
    const char* what;
    int layout;
    std::vector<int> vars;
    int column, run;
    bool breaks, processIf;
    std::vector<TRowExpect> rows;
  } cases[] = {
      // Individuals, MR span 2: the missing A of row 4 breaks the line after point 3; the
      // first point of set 2 has no moving range.
      {"1 individuals",
       1,
       {A},
       A,
       0,
       true,
       false,
       {{1, 1, M, 1, 0},
        {1, 3, 2, 1, 0},
        {1, 2, 1, 1, 1},
        {1, 6, M, 2, 0},
        {1, 4, 2, 2, 0},
        {1, 9, 5, 2, 0},
        {1, 5, 4, 2, 0}}},
      // Process If drops row 7: a break after 4, and the moving range spans the break.
      // clang-format off
      {"1 with Process If", 1, {A}, A, 0, true, true,
       {{1, 1, M, 1, 0}, {1, 3, 2, 1, 0}, {1, 2, 1, 1, 1}, {1, 6, M, 2, 0}, {1, 4, 2, 2, 1}, {1, 5, 1, 2, 0}}},
      {"5 each variable alone", 5, {A, B}, B, 0, false, false,
       {{1, 2, M, 1, 0}, {1, 5, 3, 1, 0}, {1, 4, 1, 1, 0}, {1, 6, 2, 1, 0}, {1, 3, M, 2, 0}, {1, 8, 5, 2, 0},
        {1, 7, 1, 2, 0}, {1, 1, 6, 2, 0}}},
      // clang-format on
      // Group G = 1 (run 1): rows 1, 3, 5, 7; every row of the other group is a subgroup
      // without a member of this chart.
      {"8 individuals by group",
       8,
       {A},
       A,
       1,
       true,
       false,
       {{1, 1, M, 1, 1}, {1, 2, 1, 1, 1}, {1, 6, M, 2, 1}, {1, 9, 3, 2, 1}}},
      {"12 each variable by group",
       12,
       {A, B},
       B,
       2,
       false,
       false,
       {{1, 5, M, 1, 0}, {1, 6, 1, 1, 0}, {1, 8, M, 2, 0}, {1, 1, 7, 2, 0}}},
      // Rows as subgroups of A and B; row 4 has B alone (a range of 0 of one value).
      // clang-format off
      {"2 subgroups in rows", 2, {A, B}, A, 0, false, false,
       {{2, 1.5, 1, 1, 0}, {2, 4, 2, 1, 0}, {2, 3, 2, 1, 0}, {1, 6, 0, 1, 0}, {2, 4.5, 3, 2, 0}, {2, 6, 4, 2, 0},
        {2, 8, 2, 2, 0}, {2, 3, 4, 2, 0}}},
      {"9 subgroups in rows by group", 9, {A, B}, A, 1, false, false,
       // clang-format on
       {{2, 1.5, 1, 1, 0}, {2, 3, 2, 1, 0}, {2, 4.5, 3, 2, 0}, {2, 8, 2, 2, 0}}},
      // Sample codes 1, 2, 4, 5: subgroup 3 is empty, so the line breaks after subgroup 2.
      {"3 sample variable",
       3,
       {A},
       A,
       0,
       true,
       false,
       {{2, 2, 2, 1, 0}, {1, 2, 0, 1, 1}, {2, 5, 2, 2, 0}, {2, 7, 4, 2, 0}}},
      {"3 with Process If",
       3,
       {A},
       A,
       0,
       false,
       true,
       {{2, 2, 2, 1, 0}, {1, 2, 0, 1, 0}, {2, 5, 2, 2, 0}, {1, 5, 0, 2, 0}}},
      {"6 sample variable, each alone",
       6,
       {A, B},
       B,
       0,
       false,
       false,
       {{2, 3.5, 3, 1, 0}, {2, 5, 2, 1, 0}, {2, 5.5, 5, 2, 0}, {2, 4, 6, 2, 0}}},
      // Group 2 holds A only at codes 1, 4, 5 (row 4 is missing): a break after code 1.
      {"10 sample variable by group",
       10,
       {A},
       A,
       2,
       true,
       false,
       {{1, 3, 0, 1, 1}, {1, 4, 0, 2, 0}, {1, 5, 0, 2, 0}}},
      {"13 sample variable, each by group",
       13,
       {A, B},
       B,
       1,
       true,
       false,
       {{1, 2, 0, 1, 0}, {1, 4, 0, 1, 1}, {1, 3, 0, 2, 0}, {1, 7, 0, 2, 0}}},
      // Blocks of 3 cases: rows 1-3, 4-6 (row 4 missing: set of row 5), 7-8.
      {"4 constant size",
       4,
       {A},
       A,
       0,
       false,
       false,
       {{3, 2, 2, 1, 0}, {2, 5, 2, 2, 0}, {2, 7, 4, 2, 0}}},
      {"7 constant size, each alone",
       7,
       {A, B},
       B,
       0,
       false,
       false,
       {{3, 11.0 / 3, 3, 1, 0}, {3, 17.0 / 3, 5, 1, 0}, {2, 4, 6, 2, 0}}},
      // Group 1's cases 1, 3, 5, 7 in blocks of 3: a lone value has no dispersion.
      {"11 constant size by group",
       11,
       {A},
       A,
       1,
       false,
       false,
       {{3, 3, 5, 1, 0}, {1, 9, M, 2, 0}}},
      {"14 constant size, each by group",
       14,
       {A, B},
       B,
       2,
       false,
       false,
       {{3, 19.0 / 3, 3, 1, 0}, {1, 1, M, 2, 0}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    ProcessIfRec = TProcessIfRec{};
    if (c.processIf) {
      ProcessIfRec.Active = true;
      ProcessIfRec.PiIndex1 = K;
      ProcessIfRec.Sign1 = RelEqual;
      ProcessIfRec.X1 = 1;
    }
    TVarChartBuilder builder(data, Request(c.layout, c.vars));
    TVarPointTable t;
    builder.Build(c.column, c.run, {c.breaks, false}, DefaultControlTestSettings(), t);
    ExpectRows(t, c.rows);
  }
}

TEST_F(VariablesPointsTest, SelectionListNamesByLayout) {
  struct {
    int layout;
    std::vector<int> vars;
    std::vector<std::string> names;
  } cases[] = {
      {1, {A}, {"A"}},       {5, {A, B}, {"A", "B"}},
      {2, {A, B}, {"A..B"}}, {9, {A, B}, {"A..B(1)", "A..B(2)"}},
      {8, {A}, {"1", "2"}},  {12, {A, B}, {"A(1)", "A(2)", "B(1)", "B(2)"}},
  };
  for (const auto& c : cases) {
    TVarChartBuilder builder(data, Request(c.layout, c.vars));
    std::vector<std::string> names;
    for (const auto& p : builder.Positions()) names.push_back(p.Name);
    EXPECT_EQ(names, c.names) << "layout " << c.layout;
  }
  // A chart without any point is left out of the list.
  ProcessIfRec.Active = true;
  ProcessIfRec.PiIndex1 = G;
  ProcessIfRec.Sign1 = RelEqual;
  ProcessIfRec.X1 = 1;
  TVarChartBuilder builder(data, Request(8, {A}));
  const auto positions = builder.Positions();
  ASSERT_EQ(positions.size(), 1u);
  EXPECT_EQ(positions[0].Name, "1");
}

TEST_F(VariablesPointsTest, TransformationLabelsAndAllPoints) {
  TransformRec.no = TransformLinear;
  TransformRec.a = 2;
  TransformRec.B = 1;
  TVarChartRequest rq = Request(4, {A});
  rq.AxisLabels = B;
  TVarChartBuilder builder(data, rq);
  TVarPointTable t;
  builder.Build(A, 0, {false, true}, DefaultControlTestSettings(), t);
  ASSERT_EQ(t.Count, 3);
  // 2x + 1 of 1, 3, 2.
  EXPECT_DOUBLE_EQ(t.Table(RowLocation, 1), 5);
  EXPECT_DOUBLE_EQ(t.Table(RowDispersion, 1), 4);
  // With an axis-label column, the label source is the first member's row.
  EXPECT_EQ(t.Table(RowLabel, 2), 5);
  EXPECT_EQ(t.FirstRow[2], 5);
  // The values of each subgroup, in case order (transformed).
  ASSERT_EQ(t.AllStart.size(), 5u);
  EXPECT_EQ(
      std::vector<double>(t.AllValues.begin() + t.AllStart[2], t.AllValues.begin() + t.AllStart[3]),
      (std::vector<double>{13, 9}));
}

// A sample variable whose codes lie two billion apart is two subgroups, not two billion.
TEST_F(VariablesPointsTest, FarApartSampleCodesAreTwoSubgroups) {
  TDataList wide;
  ASSERT_TRUE(ReadDataBytes("X\tS\n1\t1\n2\t1\n3\t2000000000\n5\t2000000000\n", wide).Ok);
  TVarChartRequest rq = Request(3, {1});
  rq.SampleVariable = 2;
  rq.SetVariable = 0;
  TVarChartBuilder builder(wide, rq);
  TVarPointTable t;
  builder.Build(1, 0, {true, false}, DefaultControlTestSettings(), t);
  ExpectRows(t, {{2, 1.5, 1, 0, 1}, {2, 4, 2, 0, 0}});
}

// Fault: with a moving range span of 3, points 4 and 5 start set 2 and must not take
// values of set 1 into their moving range.
TEST_F(VariablesPointsTest, MovingRangesStayInTheirSet) {
  TDataList phases;
  ASSERT_TRUE(ReadDataBytes("X\tSet\n1\t1\n2\t1\n3\t1\n10\t2\n11\t2\n12\t2\n", phases).Ok);
  TVarChartRequest rq = Request(1, {1});
  rq.SetVariable = 2;
  rq.Settings.MRSpan = 3;
  TVarChartBuilder builder(phases, rq);
  TVarPointTable t;
  builder.Build(1, 0, {}, DefaultControlTestSettings(), t);
  ExpectRows(t, {{1, 1, M, 1, 0},
                 {1, 2, M, 1, 0},
                 {1, 3, 2, 1, 0},
                 {1, 10, M, 2, 0},
                 {1, 11, M, 2, 0},
                 {1, 12, 2, 2, 0}});
  // Each set's limits come from its own moving ranges: 2 / d2(3) as the sigma in both.
  EXPECT_NEAR(t.Table(RowLocSigma, 1), 2 / 1.69257, 1e-9);
  EXPECT_NEAR(t.Table(RowLocSigma, 6), 2 / 1.69257, 1e-9);
}

}  // namespace
