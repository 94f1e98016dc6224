// Explore's tables against R: every page on two variables and on groups of one and two
// independent variables, pooled values, p-value marks at two levels, the custom columns
// (order, specification limits, empty cells) and the printed report.
#include "explore/explore_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "numerics/common.h"
#include "support/load_text.h"

namespace sorvel {
namespace {

// A: LSL 2, Target 4, USL 6. B: only USL 14, one value on it (14) and one above (15).
const char* const ColumnsText =
    "A\tB\r\n"
    "USL:\t6\t14\r\n"
    "Target:\t4\t\r\n"
    "LSL:\t2\t\r\n"
    "2.1\t10\r\n3.4\t12\r\n1.9\t9\r\n5.6\t15\r\n4.2\t11\r\n"
    "3.3\t13\r\n2.8\t14\r\n4.9\t8\r\n3.7\t\r\n6.1\t\r\n";

// Y by G (two levels) and by G and H (four runs).
const char* const GroupsText =
    "G\tH\tY\r\n"
    "1\t1\t2.1\r\n1\t2\t3.4\r\n1\t1\t1.9\r\n1\t2\t5.6\r\n1\t1\t4.2\r\n"
    "2\t2\t3.3\r\n2\t1\t2.8\r\n2\t2\t4.9\r\n2\t1\t3.7\r\n2\t2\t6.1\r\n2\t1\t7.0\r\n";

class ExploreTablesTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ResetDataRules();
    ResetDataState();
    ResetStatsEngineState();
  }

  TExploreTable Table(const std::string& text, TExploreSelection sel, TExplorePage page,
                      const TExploreOptions& o) {
    TDataList& d = test::LoadText(text);
    TRunInfo ri;
    EXPECT_EQ(BuildExploreRun(d, sel, ri), "");
    return ComputeExploreTable(page, d, ri, o);
  }
  TExploreTable Columns(TExplorePage page, const TExploreOptions& o,
                        std::vector<int> cols = {1, 2}) {
    return Table(ColumnsText, {cols, 0, {}, ""}, page, o);
  }
};

TExploreOptions Decimals(int d) {
  TExploreOptions o;
  o.Decimals = d;
  return o;
}

int Col(const TExploreTable& t, const std::string& heading, int nth = 1) {
  for (int c = 1; c < t.Grid.ColCount(); ++c)
    if (t.Grid.Cell(c, 0) == heading && --nth == 0) return c;
  ADD_FAILURE() << "no column " << heading;
  return 0;
}

double Num(const TExploreTable& t, int c, int r) { return std::stod(t.Grid.Cell(c, r)); }

std::vector<std::string> Labels(const TExploreTable& t) {
  std::vector<std::string> v;
  for (int r = 0; r < t.Grid.RowCount(); ++r) v.push_back(t.Grid.Cell(0, r));
  return v;
}

std::vector<std::string> Header(const TExploreTable& t) {
  std::vector<std::string> v;
  for (int c = 1; c < t.Grid.ColCount(); ++c) v.push_back(t.Grid.Cell(c, 0));
  return v;
}

// Each row's cells (after the label) against R's values.
void ExpectRows(const TExploreTable& t, const std::vector<std::vector<double>>& want, double tol) {
  ASSERT_EQ(t.Grid.RowCount(), static_cast<int>(want.size()) + 1);
  for (std::size_t r = 0; r < want.size(); ++r)
    for (std::size_t c = 0; c < want[r].size(); ++c)
      EXPECT_NEAR(Num(t, static_cast<int>(c) + 1, static_cast<int>(r) + 1), want[r][c], tol)
          << t.Heading << " row " << t.Grid.Cell(0, static_cast<int>(r) + 1) << " column "
          << t.Grid.Cell(static_cast<int>(c) + 1, 0);
}

TEST_F(ExploreTablesTest, DescriptivesOfTwoVariablesHaveAnAllRow) {
  const TExploreTable t = Columns(TExplorePage::Descriptives, Decimals(9));
  EXPECT_EQ(t.Heading, "Descriptives");
  EXPECT_EQ(t.ReportHeading, "DESCRIPTIVES");
  EXPECT_EQ(Labels(t), (std::vector<std::string>{"Variable", "(All)", "A", "B"}));
  EXPECT_EQ(Header(t), (std::vector<std::string>{"n", "Mean", "Std Dev", "Low", "High", "Range"}));
  // R: x <- list(c(A, B), A, B); n, mean, sd, min, max, max - min
  ExpectRows(t,
             {{18, 7.222222222, 4.361132551, 1.9, 15, 13.1},
              {10, 3.8, 1.407124728, 1.9, 6.1, 4.2},
              {8, 11.5, 2.449489743, 8, 15, 7}},
             1e-8);
  // One variable: one row, no "(All)".
  EXPECT_EQ(Labels(Columns(TExplorePage::Descriptives, Decimals(2), {2})),
            (std::vector<std::string>{"Variable", "B"}));
}

TEST_F(ExploreTablesTest, QuartilesByOneIndependentVariable) {
  const TExploreTable t = Table(GroupsText, {{}, 3, {1}, ""}, TExplorePage::Quartiles, Decimals(6));
  EXPECT_EQ(Labels(t), (std::vector<std::string>{"G", "(All)", "1", "2"}));
  EXPECT_EQ(Header(t), (std::vector<std::string>{"n", "Low", "Q1", "Median", "Q3", "High"}));
  // R: quantile(x, c(0, .25, .5, .75, 1), type = 6) for Y, Y[G == 1], Y[G == 2]
  ExpectRows(
      t, {{11, 1.9, 2.8, 3.7, 5.6, 7}, {5, 1.9, 2, 3.4, 4.9, 5.6}, {6, 2.8, 3.175, 4.3, 6.325, 7}},
      1e-9);
}

TEST_F(ExploreTablesTest, TwoIndependentVariablesGiveRuns) {
  const TExploreTable t =
      Table(GroupsText, {{}, 3, {1, 2}, ""}, TExplorePage::Descriptives, Decimals(9));
  ASSERT_EQ(t.Grid.RowCount(), 6);
  EXPECT_EQ(t.Grid.Cell(0, 0), "Run");
  EXPECT_EQ(t.Grid.Cell(0, 1), "(All)");
  // R: Y[G == g & H == h]: length, mean, sd for the runs (1,1), (1,2), (2,1), (2,2)
  const double want[4][3] = {{3, 2.733333333, 1.27410099},
                             {2, 4.5, 1.555634919},
                             {3, 4.5, 2.211334439},
                             {3, 4.766666667, 1.404753834}};
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(Num(t, 1, r + 2), want[r][0]);
    EXPECT_NEAR(Num(t, 2, r + 2), want[r][1], 1e-8);
    EXPECT_NEAR(Num(t, 3, r + 2), want[r][2], 1e-8);
  }
}

TEST_F(ExploreTablesTest, ConfidenceIntervalsAtTwoLevels) {
  struct {
    double Conf;
    const char* Text;
    std::vector<std::vector<double>> Rows;
  } cases[] = {
      // R: t.test(x, conf.level = c)$conf.int; sqrt((n - 1) * var(x) / qchisq(c(1 - a/2, a/2), n -
      // 1))
      {0.95,
       "95",
       {{18, 7.222222222, 5.053482027, 9.390962418, 4.361132551, 3.272539767, 6.537965654},
        {10, 3.8, 2.793403608, 4.806596392, 1.407124728, 0.9678699282, 2.568861231},
        {8, 11.5, 9.452175328, 13.54782467, 2.449489743, 1.619539296, 4.98537811}}},
      {0.99,
       "99",
       {{18, 7.222222222, 4.243047602, 10.20139684, 4.361132551, 3.008689358, 7.533423157},
        {10, 3.8, 2.353914474, 5.246085526, 1.407124728, 0.8691522436, 3.204885423},
        {8, 11.5, 8.469358564, 14.53064144, 2.449489743, 1.439179193, 6.515839352}}},
  };
  for (const auto& c : cases) {
    TExploreOptions o = Decimals(9);
    o.Conf = c.Conf;
    o.ConfText = c.Text;
    const TExploreTable t = Columns(TExplorePage::ConfInt, o);
    EXPECT_EQ(t.Heading, std::string(c.Text) + "% Confidence Intervals");
    EXPECT_EQ(t.ReportHeading, std::string(c.Text) + "% CONFIDENCE INTERVALS");
    EXPECT_EQ(Header(t), (std::vector<std::string>{"n", "Mean", "Mean(L)", "Mean(H)", "Std Dev",
                                                   "Std Dev(L)", "Std Dev(H)"}));
    ExpectRows(t, c.Rows, 1e-7);
  }
}

TEST_F(ExploreTablesTest, PooledIntervalsAndTolerances) {
  TExploreOptions o = Decimals(9);
  o.PooledCI = true;
  // R: df <- 9 + 7; pv <- (9 * var(A) + 7 * var(B)) / df; sp <- sqrt(pv)
  //    sqrt(df * pv / qchisq(c(.975, .025), df)); h <- qt(.975, df) * sp; mean(x) -+ h / sqrt(n)
  ExpectRows(Columns(TExplorePage::ConfInt, o),
             {{18, 7.222222222, 6.256074752, 8.188369692, 1.933584754, 1.440075602, 2.942778612},
              {10, 3.8, 2.503777148, 5.096222852, 1.933584754, 1.440075602, 2.942778612},
              {8, 11.5, 10.05077879, 12.94922121, 1.933584754, 1.440075602, 2.942778612}},
             1e-7);

  // Natural tolerance by G, alone and pooled. R: pv <- (4 * var(Y[G == 1]) + 5 * var(Y[G == 2])) /
  // 9
  TExploreOptions n = Decimals(9);
  const TExploreTable plain = Table(GroupsText, {{}, 3, {1}, ""}, TExplorePage::NatTol, n);
  EXPECT_EQ(plain.Heading, "Natural Tolerance (Assuming Normality)");
  EXPECT_EQ(Header(plain),
            (std::vector<std::string>{"n", "Mean", "Std Dev", "NT Low", "NT High", "NT (6s)"}));
  ExpectRows(plain,
             {{11, 4.090909091, 1.6470911, -0.8503642084, 9.03218239, 9.882546599},
              {5, 3.44, 1.533949152, -1.161847455, 8.041847455, 9.20369491},
              {6, 4.633333333, 1.663329993, -0.3566566466, 9.623323313, 9.97997996}},
             1e-7);
  n.PooledNT = true;
  const double sp = 1.607113815;
  ExpectRows(Table(GroupsText, {{}, 3, {1}, ""}, TExplorePage::NatTol, n),
             {{11, 4.090909091, sp, 4.090909091 - 3 * sp, 4.090909091 + 3 * sp, 6 * sp},
              {5, 3.44, sp, 3.44 - 3 * sp, 3.44 + 3 * sp, 6 * sp},
              {6, 4.633333333, sp, 4.633333333 - 3 * sp, 4.633333333 + 3 * sp, 6 * sp}},
             1e-7);
  // Only one-value groups: nothing to pool, every value 0.
  TExploreRows ones;
  ones.Rows = {{"a", {1}, 0}, {"b", {5}, 0}};
  const TExplorePooled none = ExplorePooledValues(ones.Groups(), 0.95);
  EXPECT_EQ(none.df, 0);
  EXPECT_EQ(none.StdDev, 0);
  EXPECT_EQ(none.HalfWidth, 0);
}

TEST_F(ExploreTablesTest, NormalityTestsAgainstR) {
  const TExploreTable t = Columns(TExplorePage::NormalityTests, Decimals(2));
  EXPECT_EQ(Header(t), (std::vector<std::string>{"n", "(A-D)A\xC2\xB2*", "p-value", "(S-W)W",
                                                 "p-value", "(L-M)r", "p-value", "Skewness",
                                                 "p-value", "Kurtosis", "p-value"}));
  for (int c = 1; c < t.Grid.ColCount(); ++c)
    EXPECT_EQ(t.PValueColumns[static_cast<std::size_t>(c)], t.Grid.Cell(c, 0) == "p-value");
  // R: shapiro.test(x)[c("statistic", "p.value")]; G1 = g1 sqrt(n(n-1))/(n-2),
  // G2 = ((n+1) g2 + 6)(n-1)/((n-2)(n-3)) from the moments with divisor n
  const double want[3][4] = {{0.9109918072, 0.08956924343, 0.4690619199, -1.231060927},
                             {0.9588783109, 0.7730100676, 0.3206385633, -0.8629549463},
                             {0.9748582563, 0.9331651916, 0, -1.2}};
  for (int r = 0; r < 3; ++r) {
    EXPECT_NEAR(Num(t, 4, r + 1), want[r][0], 5e-4);
    EXPECT_NEAR(Num(t, 5, r + 1), want[r][1], 5e-4);
    EXPECT_NEAR(Num(t, 8, r + 1), want[r][2], 5e-4);
    EXPECT_NEAR(Num(t, 10, r + 1), want[r][3], 5e-4);
  }
  // Statistics keep three decimals whatever the decimals are.
  EXPECT_EQ(t.Grid.Cell(4, 2), "0.959");
}

TEST_F(ExploreTablesTest, PValuesAreMarkedAtTheLevelsConfidence) {
  // R: shapiro.test(c(1:9, 20))$p.value 0.02632; g2 of c(1:19, 35) is 2.231 (n 20: between the
  // upper 5% and 2% points, ".05-.02"), of c(1:19, 28) 0.0875 (">.10").
  TExploreRows rows;
  rows.GroupHeader = "Variable";
  rows.Rows = {
      {"sw", {1, 2, 3, 4, 5, 6, 7, 8, 9, 20}, 0},
      {"kurt", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 35}, 0},
      {"flat", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 28}, 0}};
  struct {
    double Conf;
    const char* SW;
    const char* Kurt;
  } cases[] = {
      {0.90, "0.026*", ".05-.02*"}, {0.95, "0.026*", ".05-.02*"}, {0.99, "0.026 ", ".05-.02 "}};
  for (const auto& c : cases) {
    TExploreOptions o;
    o.Conf = c.Conf;
    const TExploreTable t = ComputeExploreTable(TExplorePage::NormalityTests, rows, o);
    EXPECT_EQ(t.Grid.Cell(5, 1), c.SW) << c.Conf;
    EXPECT_EQ(t.Grid.Cell(11, 2), c.Kurt) << c.Conf;
    EXPECT_EQ(t.Grid.Cell(11, 3), ">.10 ") << c.Conf;
  }
}

TEST_F(ExploreTablesTest, ConstantColumnAndZeroDecimals) {
  TExploreRows rows;
  rows.GroupHeader = "Variable";
  rows.Rows = {{"C", {5, 5, 5, 5, 5, 5, 5, 5}, 0}};
  const TExploreTable norm = ComputeExploreTable(TExplorePage::NormalityTests, rows, {});
  EXPECT_EQ(Header(norm).size(), 11u);
  const std::vector<std::string> want = {"8",        "999.000", "999.000 ", "0.000",
                                         "0.000*",   "999.000", "999.000 ", "999.000",
                                         "999.000 ", "999.000", "999.000 "};
  for (int c = 1; c <= 11; ++c)
    EXPECT_EQ(norm.Grid.Cell(c, 1), want[static_cast<std::size_t>(c - 1)]) << c;
  EXPECT_EQ(ComputeExploreTable(TExplorePage::Descriptives, rows, {}).Grid.Cell(3, 1), "0.00");

  // Decimals 0: the mean of A (3.8) rounds to 4, n and the statistics keep theirs.
  const TExploreTable d0 = Columns(TExplorePage::Descriptives, Decimals(0), {1});
  EXPECT_EQ(d0.Grid.Cell(1, 1), "10");
  EXPECT_EQ(d0.Grid.Cell(2, 1), "4");
  EXPECT_EQ(Columns(TExplorePage::NormalityTests, Decimals(0), {1}).Grid.Cell(4, 1), "0.959");
}

TEST_F(ExploreTablesTest, CustomColumnsFollowTheListOrder) {
  TExploreOptions o;
  for (int i : {28, 3, 23}) o.Custom[static_cast<std::size_t>(i)] = true;
  const TExploreTable t = Columns(TExplorePage::Custom, o);
  EXPECT_EQ(Header(t),
            (std::vector<std::string>{"Mean CI(L)", "Mean CI(H)", "A-D", "p-value", "W(E)"}));
  EXPECT_EQ(t.PValueColumns, (std::vector<bool>{false, false, false, false, true, false}));
  EXPECT_EQ(t.Heading, "Custom Statistics");
  EXPECT_EQ(t.PrintHeading, "CUSTOM");
  // R (A): t.test(A)$conf.int; n (mean - min)^2 / ((n - 1)^2 var) = 0.2250904103
  EXPECT_EQ(t.Grid.Cell(1, 2), "2.79");
  EXPECT_EQ(t.Grid.Cell(2, 2), "4.81");
  EXPECT_EQ(t.Grid.Cell(5, 2), "0.2251");

  // Names and numbers as the command line takes them.
  EXPECT_EQ(FindCustomItem("Mean CI"), 3);
  EXPECT_EQ(FindCustomItem("cpk"), 57);
  EXPECT_EQ(FindCustomItem("81"), 81);
  EXPECT_EQ(FindCustomItem("82"), -1);
  EXPECT_EQ(FindCustomItem("Mean CI@Mean Confidence Interval"), -1);
  EXPECT_EQ(CustomItems()[3].Group, "Mean Confidence Interval");
}

TEST_F(ExploreTablesTest, CustomStatisticsOfOneColumnAgainstR) {
  TExploreOptions o = Decimals(6);
  o.Custom.fill(true);
  o.Custom[29] = false;  // the Monte-Carlo test has its own case
  const TExploreTable t = Columns(TExplorePage::Custom, o);
  auto cell = [&](const std::string& h, int row, int nth = 1) {
    return t.Grid.Cell(Col(t, h, nth), row);
  };
  auto num = [&](const std::string& h, int row) { return std::stod(cell(h, row)); };
  // Row 2 is A (LSL 2, Target 4, USL 6); R values beside.
  struct {
    const char* Heading;
    double Value;
  } a[] = {
      {"Std(MR)", 1.477043785},   // mean(abs(diff(A))) / 1.12838
      {"Std(MMR)", 1.467505241},  // median(abs(diff(A))) / 0.954
      {"IR", 2.45},               // diff(quantile(A, c(.25, .75), type = 6))
      {"PSD", 1.816187718},
      {"SIR", 1.225},
      {"MD(Avg)", 1.12},          // mean(abs(A - mean(A)))
      {"MD(Med)", 1.1},           // mean(abs(A - median(A)))
      {"Coeff Var", 37.0295981},  // 100 * sd(A) / mean(A)
      {"Median(i)", 3.55},
      {"-3s", -0.4213741838},
      {"+3s", 8.021374184},
      {"6s", 8.442748368},
      {"Est %Below Spec", 10.04125613},  // 100 * pnorm((2 - mean(A)) / sd(A))
      {"Est %Above Spec", 5.897081769},  // 100 * pnorm((6 - mean(A)) / sd(A), lower.tail = FALSE)
      {"Est %Out Spec", 15.9383379},
      {"P(.10)", 1.92},  // quantile(A, c(.1, .9), type = 6)
      {"P(.90)", 6.05},
  };
  // (The normal tail is the library's approximation, within 1e-7 of the area.)
  for (const auto& c : a) EXPECT_NEAR(num(c.Heading, 2), c.Value, 1e-5) << c.Heading;
  // Variance interval: R 9 * var(A) / qchisq(c(.975, .025), 9)
  EXPECT_NEAR(num("Variance CI(L)", 2), 0.9367721979, 2e-6);
  EXPECT_NEAR(num("Variance CI(H)", 2), 6.599048026, 2e-6);
  for (const char* h : {"n Below Spec", "n Above Spec"}) EXPECT_EQ(cell(h, 2), "1") << h;
  EXPECT_EQ(cell("n Out Spec", 2), "2");
  EXPECT_EQ(cell("% Out Spec", 2), "20.000000");
  // R: (6 - 2) / (6 sd); min(6 - m, m - 2) / (3 sd); with tau = sqrt(s^2 + (m - 4)^2 n / (n - 1))
  const double cap[3] = {0.4737793697, 0.4264014327, 0.4685498567};
  const char* names[2][3] = {{"Cp", "Cpk", "Cpm"}, {"Pp", "Ppk", "Ppm"}};
  for (int k = 0; k < 3; ++k) {
    EXPECT_NEAR(num(names[0][k], 2), cap[k], 6e-4);
    EXPECT_EQ(cell(names[0][k], 2), cell(names[1][k], 2));
  }
  EXPECT_EQ(cell("%Off-Target", 2), "5.0%");
  EXPECT_EQ(cell("P(.005)", 2), "");  // 0.005 (n + 1) < 1
  EXPECT_EQ(cell("P(.995)", 2), "");

  // Row 3 is B: only USL 14; 14 itself is not above it.
  EXPECT_EQ(cell("LSL", 3), "");
  EXPECT_EQ(cell("Target", 3), "");
  EXPECT_EQ(cell("USL", 3), "14.000000");
  EXPECT_EQ(cell("n Below Spec", 3), "");
  EXPECT_EQ(cell("% Below Spec", 3), "");
  EXPECT_EQ(cell("Est %Below Spec", 3), "");
  EXPECT_EQ(cell("n Above Spec", 3), "1");
  EXPECT_EQ(cell("n Out Spec", 3), cell("n Above Spec", 3));
  EXPECT_NEAR(num("Cp", 3), 0.3402069087, 6e-4);  // (14 - mean(B)) / (3 sd(B))
  EXPECT_EQ(cell("Cpk", 3), cell("Cp", 3));
  EXPECT_EQ(cell("Cpm", 3), "");
  EXPECT_EQ(cell("%Off-Target", 3), "");
  // Poisson test: D = 7 var(B) / mean(B); 2 min(pchisq(D, 7), 1 - pchisq(D, 7))
  EXPECT_NEAR(num("Poisson Test", 3), 3.652173913, 6e-4);
  EXPECT_EQ(cell("p-value", 3, 6), "0.362 ");
}

TEST_F(ExploreTablesTest, CustomCellsOfTooSmallSamples) {
  TExploreOptions o;
  for (int i : {3, 7, 15, 28, 29}) o.Custom[static_cast<std::size_t>(i)] = true;
  TExploreRows rows;
  rows.GroupHeader = "Variable";
  rows.Rows = {{"one", {4}, 0}, {"negative", {-1, -2, -4}, 0}};
  int asked = 0;
  o.ExponentialP = [&](int, double, const std::string&) { return ++asked, 0.5; };
  const TExploreTable t = ComputeExploreTable(TExplorePage::Custom, rows, o);
  // One value: no interval (999, and its square is not 998001), no coefficient (mean > 0
  // but no spread gives 0), W(E) 0 and T(E) "0.0000" with the p-value 999.
  EXPECT_EQ(t.Grid.Cell(1, 1), "999.00");
  EXPECT_EQ(t.Grid.Cell(3, 1), "999.00");
  EXPECT_EQ(t.Grid.Cell(4, 1), "999.00");
  EXPECT_EQ(t.Grid.Cell(5, 1), "0.00");
  EXPECT_EQ(t.Grid.Cell(6, 1), "0.0000");
  EXPECT_EQ(t.Grid.Cell(7, 1), "0.0000");
  EXPECT_EQ(t.Grid.Cell(8, 1), "999.000 ");
  // A negative mean leaves the coefficient of variation empty; the test runs through the
  // caller's function with the row's n and T = (mean - min)^2 / s^2 = (5/3)^2 / (7/3).
  EXPECT_EQ(t.Grid.Cell(5, 2), "");
  EXPECT_EQ(t.Grid.Cell(7, 2), "1.1905");
  EXPECT_EQ(t.Grid.Cell(8, 2), "0.500 ");
  EXPECT_EQ(asked, 1);
}

TEST_F(ExploreTablesTest, CapabilityAndExponentialPieces) {
  // One-sided indexes from the side given; no spread gives 0.
  const TExploreSpecs lslOnly = ExploreSpecsOf(2, MissingValue, MissingValue);
  const TCapability c = ExploreCapability(5, 1, 10, lslOnly);
  EXPECT_DOUBLE_EQ(c.Cp, 1);
  EXPECT_DOUBLE_EQ(c.Cpk, 1);
  EXPECT_EQ(c.Cpm, 0);
  EXPECT_EQ(ExploreCapability(5, 0, 10, lslOnly).Cp, 0);
  const TExponentialStats e = ExponentialStatistics(4, 3, 1, 2);
  EXPECT_DOUBLE_EQ(e.W, 4.0 * 4 / (9 * 2));
  EXPECT_DOUBLE_EQ(e.T, 2);
  EXPECT_FALSE(ExponentialStatistics(4, 3, 3, 0).Tested);

  // %Off-Target is measured against the width between the limits: none when they coincide.
  TExploreOptions o;
  o.Custom[62] = true;
  TCustomRowStats twoSided = PrepareCustomRow({3, 4, 5}, o.Custom, 0.95, ExploreSpecsOf(2, 5, 8));
  EXPECT_EQ(CustomItemCells(62, twoSided, "x", o), std::vector<std::string>{"16.7%"});
  TCustomRowStats same = PrepareCustomRow({3, 4, 5}, o.Custom, 0.95, ExploreSpecsOf(4, 4, 4));
  EXPECT_EQ(CustomItemCells(62, same, "x", o), std::vector<std::string>{""});
}

TEST_F(ExploreTablesTest, TransformationSuffixInEveryHeading) {
  TDataList& d = test::LoadText(ColumnsText);
  std::string error;
  ASSERT_TRUE(SetTransform(TransformRec, TransformLinear, "2", "-3", "1", false, error)) << error;
  TRunInfo ri;
  ASSERT_EQ(BuildExploreRun(d, {{1}, 0, {}, ""}, ri), "");
  TExploreOptions o;
  o.Custom[0] = true;
  const TExploreTable ci = ComputeExploreTable(TExplorePage::ConfInt, d, ri, o);
  EXPECT_EQ(ci.Heading, "95% Confidence Intervals (2X -3)");
  EXPECT_EQ(ci.ReportHeading, "95% CONFIDENCE INTERVALS (2X -3)");
  EXPECT_EQ(ComputeExploreTable(TExplorePage::Custom, d, ri, o).Heading,
            "Custom Statistics (2X -3)");
  // The values are the transformed ones: 2 * 3.8 - 3.
  EXPECT_EQ(ci.Grid.Cell(2, 1), "4.60");
}

TEST_F(ExploreTablesTest, ReportPrintsTheCheckedTablesUnderTheirHeadings) {
  TDataList& d = test::LoadText(GroupsText);
  DataEditor.DataFilename = "/some/folder/groups.txt";
  TRunInfo ri;
  ASSERT_EQ(BuildExploreRun(d, {{}, 3, {1, 2}, ""}, ri), "");
  TExploreReportInputs in;
  in.Title = "Lengths";
  in.FileName = "groups.txt";
  in.Sections[static_cast<std::size_t>(TExplorePage::Descriptives)] = true;
  in.Sections[static_cast<std::size_t>(TExplorePage::NatTol)] = true;
  in.Sections[static_cast<std::size_t>(TExplorePage::Custom)] = true;  // nothing checked: left out
  const std::vector<std::string> lines = ExploreReportLines(d, ri, in);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Lengths");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "File: groups.txt");
  EXPECT_EQ(lines[3], "Reference = G, H    Measure = Y");
  std::vector<std::string> headings;
  for (const std::string& l : lines)
    if (l == "DESCRIPTIVES" || l == "NATURAL TOLERANCE (Assuming Normality)" ||
        l == "CUSTOM STATISTICS")
      headings.push_back(l);
  EXPECT_EQ(headings,
            (std::vector<std::string>{"DESCRIPTIVES", "NATURAL TOLERANCE (Assuming Normality)"}));
}

}  // namespace
}  // namespace sorvel
