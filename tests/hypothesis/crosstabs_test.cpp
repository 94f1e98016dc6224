// Crosstabs: the table from data and typed counts, remove and merge, the statistics
// against R, the faults of the literal design, the display grid, the report and the chart.
// Reference values: tests/hypothesis/r/crosstabs.R (R 4.2, vcd 1.4); each call is named
// beside its value.
#include "hypothesis/crosstabs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "data/data_rules.h"
#include "numerics/distributions.h"
#include "output/report_writer.h"
#include "support/load_text.h"

namespace sorvel {
namespace {

using TRows = std::vector<std::vector<std::int64_t>>;

TCrossTab Table(const TRows& rows) {
  TCrossTab t;
  t.SetCounts(rows);
  return t;
}

std::string ReportText(const TCrossTab& t, const TCTReportInputs& in) {
  TReport report;
  {
    TReportScope scope(report);
    WriteCrosstabsReport(t, in);
  }
  std::string text;
  for (const auto& line : report.Lines) text += line.Text() + "\n";
  return text;
}

// A table typed as its rows, as the window shows it, against R's values of the same
// matrix rbind(row1, row2, ...).
struct TRCase {
  const char* Name;
  TRows Rows;
  double Chsq, P, V,
      Lambda;  // chisq.test(m, correct = FALSE), vcd::assocstats(m)$cramer, lambda(m)
  int Df;
  double Kappa, Ase, Lo95, Hi95;       // vcd::Kappa(m), confint(vcd::Kappa(m))
  double Po, Pc, KappaMax, Z, KappaP;  // kappa0(m) in the script
};

const TRCase RCases[] = {
    // clang-format off
    {"10,20 / 30,40", {{10, 20}, {30, 40}}, 0.79365079365079361, 0.3729984836134872,
     0.089087080637474794, 0, 1, -0.086956521739130516, 0.095458458774688851,
     -0.27405166295722211, 0.10013861947896108, 0.5, 0.54000000000000004, 0.78260869565217417,
     -0.89087080637474869, 0.81350075819325662},
    // clang-format on
    // Fault 12: the literal SE (B weighted by the cell's own totals) gave 0.1974.
    // clang-format off
    {"7,0 / 21,19", {{7, 0}, {21, 19}}, 5.5812499999999989, 0.018153760978726497,
     0.34460121880225553, 0, 1, 0.21229050279329614, 0.078760404115599911,
     0.057922947318900103, 0.36665805826769216, 0.5531914893617020379, 0.4327750113173380875,
     0.2122905027932960320, 2.3624669309854886556, 0.0090768804893632694},
    {"3x3", {{20, 5, 3}, {10, 15, 2}, {8, 6, 25}}, 42.938039268673542, 1.0658776719392025e-08,
     0.47790566631627179, 0.39285714285714285, 4, 0.4583050847457627, 0.072642349568178249,
     0.31592869583976463, 0.60068147365176072, 6.3829787234042556e-01, 3.3227704843820738e-01,
     8.4067796610169487e-01, 6.3817769389088088e+00, 8.7522406346706800e-11},
    {"symmetric 3x3", {{10, 3, 2}, {3, 10, 4}, {2, 4, 10}}, 19.327623990772782,
     0.00067759821935156508, 0.44869746664155546, 0.41935483870967744, 4, 0.43676662320730114,
     0.10528436059616804, 0.23041306830348382, 0.64312017811111843, 0.625,
     3.3420138888888890e-01, 1.0, 4.2766272048201417e+00, 9.4873077304468434e-06},
    // clang-format on
    // Fault 13: 1.5e9 in every cell wrapped N in 32 bits (chi-square 1.08e9, kappa 1).
    {"1.5e9 each",
     {{1500000000, 1500000000}, {1500000000, 1500000000}},
     0,
     1,
     0,
     0,
     1,
     0,
     1.2909944487358055e-05,
     -2.5303026237633192e-05,
     2.5303026237633192e-05,
     0.5,
     0.5,
     1,
     0,
     0.5},
};

TEST(CrosstabsStatistics, AgainstR) {
  for (const TRCase& c : RCases) {
    SCOPED_TRACE(c.Name);
    const TCrossTab t = Table(c.Rows);
    const TCTChiSqr chi = t.GenerateChi_Sqr();
    EXPECT_NEAR(chi.Chsq, c.Chsq, 1e-9);
    EXPECT_EQ(chi.Df, c.Df);
    EXPECT_NEAR(chi.P, c.P, 1e-9);
    EXPECT_NEAR(chi.PhiV, c.V, 1e-9);
    EXPECT_NEAR(t.GenerateLambda().Lambda, c.Lambda, 1e-12);
    const TCTKappa k = t.GenerateKappa();
    EXPECT_NEAR(k.Kappa, c.Kappa, 1e-9);
    EXPECT_NEAR(k.SEk, c.Ase, 1e-9);
    const double z = NormalQuantileExact(0.025, 1);
    EXPECT_NEAR(k.Kappa - z * k.SEk, c.Lo95, 1e-9);
    EXPECT_NEAR(k.Kappa + z * k.SEk, c.Hi95, 1e-9);
    EXPECT_NEAR(k.Po, c.Po, 1e-12);
    EXPECT_NEAR(k.Pc, c.Pc, 1e-12);
    EXPECT_NEAR(k.KappaMax, c.KappaMax, 1e-12);
    EXPECT_NEAR(k.Z, c.Z, 1e-9);
    EXPECT_NEAR(k.P, c.KappaP, 1e-9);
  }
}

TEST(CrosstabsStatistics, ExactTestsOfTwoByTwo) {
  const TCrossTab t = Table({{10, 20}, {30, 40}});
  // fisher.test(rbind(c(10,20), c(30,40)))$p.value
  EXPECT_NEAR(t.FisherP(), 0.50447576985162823, 1e-9);
  // McNemar on 20 and 30: binom.test(20, 50)$p.value
  EXPECT_NEAR(t.McNemarP(), 0.20263875106454096, 1e-7);
  const TCrossTab u = Table({{7, 0}, {21, 19}});
  EXPECT_NEAR(u.FisherP(), 0.031707369544491222, 1e-9);
  EXPECT_NEAR(u.McNemarP(), 9.5367431640624947e-07, 1e-9);
  // Counts beyond 32 bits: equal off-diagonal cells are no evidence; Fisher's limit is 999.
  const TCrossTab big = Table({{1500000000, 1500000000}, {1500000000, 1500000000}});
  EXPECT_EQ(big.McNemarP(), 1);
  EXPECT_EQ(big.FisherP(), 999);
  EXPECT_EQ(Table({{10, 20, 5}, {30, 40, 5}}).FisherP(), 999);
}

TEST(CrosstabsStatistics, SymmetryTest) {
  // mcnemar.test(rbind(c(20,5,3), c(10,15,2), c(8,6,25))): 5.9393939393939394, df 3,
  // 0.11459636135948945
  const TCTSymmetry s = Table({{20, 5, 3}, {10, 15, 2}, {8, 6, 25}}).SymmetryTest();
  EXPECT_NEAR(s.ChiSq, 5.9393939393939394, 1e-12);
  EXPECT_EQ(s.Df, 3);
  EXPECT_NEAR(s.P1, 0.11459636135948945, 1e-9);
  // The smallest pair p: 10 against 5 at column 1, row 2 (binom.test(5, 15)$p.value 0.3017578125)
  // or 8 against 3 (binom.test(3, 11) 0.2265625): column 1, row 3.
  EXPECT_TRUE(s.HasPair);
  EXPECT_EQ(s.Xmin, 3);
  EXPECT_EQ(s.Ymin, 1);
  EXPECT_NEAR(s.P, 0.2265625, 1e-7);
  // Fault 15: a symmetric table has no pair to name (mcnemar.test: 0, df 3, p 1).
  const TCTSymmetry sym = Table({{10, 3, 2}, {3, 10, 4}, {2, 4, 10}}).SymmetryTest();
  EXPECT_FALSE(sym.HasPair);
  EXPECT_EQ(sym.ChiSq, 0);
  EXPECT_NEAR(sym.P1, 1, 1e-12);
}

TEST(CrosstabsFaults, EmptyRowsLeftOutOfDfAndV) {
  // Fault 14: chisq.test(matrix(c(10,0,0,10), 2), correct = FALSE): 20, df
  // 1, 7.7442164310440858e-06
  TCrossTab t = Table({{10, 0}, {0, 10}, {0, 0}});
  TCTChiSqr chi = t.GenerateChi_Sqr();
  EXPECT_NEAR(chi.Chsq, 20, 1e-12);
  EXPECT_EQ(chi.Df, 1);
  EXPECT_NEAR(chi.P, 7.7442164310440858e-06, 1e-12);
  EXPECT_NEAR(chi.PhiV, 1, 1e-12);
  // A column emptied as well leaves no freedom: no p and no V.
  t.SetCount(2, 2, 0);
  chi = t.GenerateChi_Sqr();
  EXPECT_EQ(chi.Df, 0);
  EXPECT_EQ(chi.P, 999);
  EXPECT_EQ(chi.PhiV, 999);
}

TEST(CrosstabsFaults, CountsBeyond32Bits) {
  // 9999999 typed in every cell of a 15 x 15 table: N = 2,249,999,775.
  TRows rows(15, std::vector<std::int64_t>(15, 9999999));
  const TCrossTab t = Table(rows);
  EXPECT_EQ(t.N(), 2249999775);
  const TCTChiSqr chi = t.GenerateChi_Sqr();
  EXPECT_NEAR(chi.Chsq, 0, 1e-6);
  EXPECT_NEAR(chi.P, 1, 1e-12);
  EXPECT_NEAR(t.GenerateKappa().Kappa, 0, 1e-12);
}

TEST(CrosstabsFaults, KappaWithCertainChanceAgreementPrintsZ0) {
  // One category on both sides: pc = 1.
  TCTReportInputs in;
  in.Stats = CTKappa;
  const TCrossTab t = Table({{5}});
  const TCTKappa k = t.GenerateKappa();
  EXPECT_EQ(k.Kappa, 1);
  EXPECT_EQ(k.Z, 0);
  EXPECT_EQ(k.P, 1);
  EXPECT_NE(ReportText(t, in).find("z(\xCE\xBA=0)  = 0.000"), std::string::npos)
      << ReportText(t, in);
}

TEST(CrosstabsEdgeCases, OneRowTestsEqualShares) {
  // chisq.test(c(12, 7, 5)): 3.25, df 2, 0.19691167520419406
  const TCTChiSqr chi = Table({{12, 7, 5}}).GenerateChi_Sqr();
  EXPECT_NEAR(chi.Chsq, 3.25, 1e-12);
  EXPECT_EQ(chi.Df, 2);
  EXPECT_NEAR(chi.P, 0.19691167520419406, 1e-9);
  EXPECT_EQ(chi.PhiV, 999);
  EXPECT_EQ(Table({{12, 7, 5}}).GenerateLambda().Lambda, CTUndefined);
}

TEST(CrosstabsEdgeCases, KappaMatchesOnlyValuesOnBothSides) {
  // Columns 1, 2, 3 by rows 2, 3, 4: values 2 and 3 form the matched cells. The script's
  // last case: po 0.425, pc 0.25125, kappa 0.23205342237061771.
  TCrossTab t = Table({{4, 9, 2}, {1, 3, 8}, {5, 2, 6}});
  t.C2Index = {3, 2, 3, 4};
  const TCTKappa k = t.GenerateKappa();
  EXPECT_NEAR(k.Po, 0.425, 1e-12);
  EXPECT_NEAR(k.Pc, 0.25125, 1e-12);
  EXPECT_NEAR(k.Kappa, 0.23205342237061771, 1e-12);
}

TEST(CrosstabsEdits, RemoveAndMerge) {
  TCrossTab t = Table({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
  t.RemoveRows({2});
  EXPECT_EQ(t.J(), 2);
  EXPECT_EQ(t.RowGroupNames, (std::vector<std::string>{"", "1", "3"}));
  EXPECT_EQ(t.N(), 30);
  EXPECT_EQ(t.Count(0, 2), 24);  // row total of the old third row
  t.MergeColumns({3, 1});
  EXPECT_EQ(t.I(), 2);
  EXPECT_EQ(t.ColGroupNames, (std::vector<std::string>{"", "[1,3]", "2"}));
  EXPECT_EQ(t.Count(1, 1), 4);
  EXPECT_EQ(t.Count(1, 2), 16);
  EXPECT_EQ(t.C1Index[1], 1);  // the first selected column keeps its value
  EXPECT_EQ(t.N(), 30);
  // Removing every column or row is ignored: a table keeps one of each.
  t.RemoveColumns({1, 2});
  EXPECT_EQ(t.I(), 2);
}

TEST(CrosstabsEdits, MergedNames) {
  struct Case {
    std::vector<std::string> Names;
    const char* Expected;
  };
  const Case cases[] = {
      {{"3", "1"}, "[1,3]"},
      {{"b", "a", "c"}, "[b,c,a]"},  // the first, then the others from the last back
      {{"10", "9", "2.5"}, "[2.5,9,10]"},
      {{"[1,3]", "2"}, "[[1,3],2]"},
  };
  for (const auto& c : cases) EXPECT_EQ(MergedName(c.Names), c.Expected);
}

TEST(CrosstabsDisplay, UnitsAndExpectedValues) {
  const TCrossTab t = Table({{10, 20}, {30, 40}});
  struct Case {
    TCTDisplay Display;
    bool Expected;
    const char* Cell11;
    const char* Total;
  };
  const Case cases[] = {
      {TCTDisplay::Count, false, "10", "100"},
      {TCTDisplay::Count, true, "10 (12.00)", "100"},
      {TCTDisplay::Proportion, true, "0.10 (0.12)", "1.00"},
      {TCTDisplay::Percent, true, "10.00% (12.00%)", "100.00%"},
  };
  for (const auto& c : cases) {
    const TTextGrid g = CrossTabGrid(t, "C", "R", c.Display, c.Expected, 2);
    EXPECT_EQ(g.Cell(1, 1), c.Cell11);
    EXPECT_EQ(g.Cell(3, 3), c.Total);
    EXPECT_EQ(g.Cell(1, 3).find('('), std::string::npos);  // no expected value on totals
  }
  const TTextGrid g = CrossTabGrid(t, "C", "R", TCTDisplay::Count, false, 2);
  EXPECT_EQ(g.Cell(1, 0), "C=1");
  EXPECT_EQ(g.Cell(3, 0), "Total");
  EXPECT_EQ(g.Cell(0, 2), "R=2");
  EXPECT_EQ(g.Cell(0, 3), "Total");
  EXPECT_EQ(g.Cell(3, 1), "30");
}

TEST(CrosstabsReport, StatisticsByTableShape) {
  TCTReportInputs in;
  in.Stats = CTChiSquare | CTPhiV | CTFisher | CTSymmetry;
  const std::string two = ReportText(Table({{10, 20}, {30, 40}}), in);
  EXPECT_NE(two.find("CROSSTABS: C by R"), std::string::npos);
  EXPECT_NE(two.find("   Phi = 0.089   df = 1   p-value = 0.373"), std::string::npos) << two;
  EXPECT_NE(two.find("Fisher's Exact Test\n   p-value = 0.504"), std::string::npos) << two;
  EXPECT_NE(two.find("   Test for: P1F2 = F1P2   p-value = 0.203"), std::string::npos) << two;
  const std::string three = ReportText(Table({{10, 3, 2}, {3, 10, 4}, {2, 4, 10}}), in);
  EXPECT_NE(three.find("Cramer's V = 0.449   df = 4"), std::string::npos) << three;
  EXPECT_EQ(three.find("Fisher"), std::string::npos);
  EXPECT_NE(three.find("Symmetry Test\n   \xCF\x87\xC2\xB2 = 0.000  df = 3  p = 1.000"),
            std::string::npos)
      << three;
  EXPECT_EQ(three.find("Cell["), std::string::npos);
  // Nothing without a statistic or with N <= 1.
  in.Stats = 0;
  EXPECT_EQ(ReportText(Table({{10, 20}, {30, 40}}), in), "");
  in.Stats = CTChiSquare;
  EXPECT_EQ(ReportText(Table({{1, 0}, {0, 0}}), in), "");
}

class CrosstabsData : public ::testing::Test {
 protected:
  void TearDown() override { ResetDataRules(); }
};

TEST_F(CrosstabsData, CategoriesFromEachColumnCountsFromCompletePairs) {
  // Column B's value 9 has no partner (A is empty there): a category with no count. Text
  // levels are named by their text.
  TDataList& d = test::LoadText("A\tB\tT\n1\t2\tx\n2\t2\ty\n1\t3\tx\n\t9\ty\n2\t3\tx\n2\t2\tx\n");
  TCrossTab t;
  bool asked = false;
  ASSERT_EQ(t.GenerateFreqArray(d, 1, 2, [&](long long) { return asked = true; }), 0);
  EXPECT_FALSE(asked);
  EXPECT_EQ(t.C1Index, (std::vector<double>{2, 1, 2}));
  EXPECT_EQ(t.C2Index, (std::vector<double>{3, 2, 3, 9}));
  EXPECT_EQ(t.Count(1, 1), 1);  // A = 1, B = 2
  EXPECT_EQ(t.Count(2, 1), 2);
  EXPECT_EQ(t.Count(1, 2), 1);
  EXPECT_EQ(t.Count(2, 2), 1);
  EXPECT_EQ(t.Count(0, 3), 0);
  EXPECT_EQ(t.N(), 5);
  ASSERT_EQ(t.GenerateFreqArray(d, 3, 1, nullptr), 0);
  EXPECT_EQ(t.ColGroupNames, (std::vector<std::string>{"", "x", "y"}));
  EXPECT_EQ(t.RowGroupNames, (std::vector<std::string>{"", "1", "2"}));
  // Process If on T = x (level 1) leaves 4 cases.
  ProcessIfRec.Active = true;
  ProcessIfRec.PiIndex1 = 3;
  ProcessIfRec.Sign1 = RelEqual;
  ProcessIfRec.X1 = 1;
  ASSERT_EQ(t.GenerateFreqArray(d, 1, 2, nullptr), 0);
  EXPECT_EQ(t.N(), 4);
}

TEST_F(CrosstabsData, EmptyVariableLargeTableAndNoData) {
  TDataList& d = test::LoadText("A\tB\tE\n1\t1\t\n2\t2\t\n");
  TCrossTab t;
  EXPECT_EQ(t.GenerateFreqArray(d, 3, 1, nullptr), 1);
  EXPECT_EQ(t.GenerateFreqArray(d, 1, 3, nullptr), 2);
  EXPECT_EQ(t.GenerateFreqArray(d, 1, 0, nullptr), 2);
  std::string rows = "A\tB\n";
  for (int k = 0; k < 11; ++k) rows += std::to_string(k) + "\t" + std::to_string(k) + "\n";
  TDataList& big = test::LoadText(rows);
  long long asked = 0;
  EXPECT_EQ(t.GenerateFreqArray(big, 1, 2,
                                [&](long long cells) {
                                  asked = cells;
                                  return false;
                                }),
            99);
  EXPECT_EQ(asked, 121);
  EXPECT_EQ(TableSizeQuestion(asked), "Table Size = 121.  Continue?");
  TDataList& empty = test::LoadText("A\n");
  EXPECT_EQ(t.GenerateFreqArray(empty, 1, 1, nullptr), 0);
  EXPECT_EQ(t.I(), 1);
  EXPECT_EQ(t.J(), 1);
  EXPECT_EQ(t.N(), 0);
}

TEST(CrosstabsManual, ParseTable) {
  struct Case {
    const char* Text;
    bool Ok;
    TRows Rows;
  };
  const Case cases[] = {
      {"10,20;30,40", true, {{10, 20}, {30, 40}}},
      {" 1 , 2 ; 3 , 4 ", true, {{1, 2}, {3, 4}}},
      {"5", true, {{5}}},
      {"1,2;3", false, {}},
      {"1,-2", false, {}},
      {"1.5,2", false, {}},
      {"1,,2", false, {}},
  };
  for (const auto& c : cases) {
    TRows rows;
    std::string error;
    EXPECT_EQ(ParseManualTable(c.Text, rows, error), c.Ok) << c.Text;
    if (c.Ok) {
      EXPECT_EQ(rows, c.Rows) << c.Text;
    } else {
      EXPECT_FALSE(error.empty());
    }
  }
}

TEST(CrosstabsManual, PastedBlocks) {
  TRows rows;
  std::string error;
  ASSERT_TRUE(ParsePastedTable("10\t20\r\n30\t40\r\n", rows, error));
  EXPECT_EQ(rows, (TRows{{10, 20}, {30, 40}}));
  ASSERT_TRUE(ParsePastedTable("1\t\n2\t3\t4", rows, error));
  EXPECT_EQ(rows, (TRows{{1, 0, 0}, {2, 3, 4}}));
  // Fault 16: text that is not a count is named, not thrown.
  EXPECT_FALSE(ParsePastedTable("1\t2\n3\tabc", rows, error));
  EXPECT_EQ(error, "'abc' is not a whole number of 0 or more!");
  EXPECT_FALSE(ParsePastedTable("1.5", rows, error));
}

TEST(CrosstabsManual, CellKeys) {
  struct Case {
    const char* Text;
    int SelLength;
    char Key;
    bool Accepted;
  };
  const Case cases[] = {
      {"123456", 0, '7', true},
      {"1234567", 0, '8', false},  // the eighth digit
      {"1234567", 7, '8', true},   // typed over the selected text
      {"1234567", 0, KeyBackspace, true},
      {"12", 0, '\t', true},
      {"12", 0, '\r', true},
      {"12", 0, KeyPaste, true},
      {"12", 0, '-', false},
      {"12", 0, '.', false},
      {"12", 0, 'a', false},
  };
  for (const auto& c : cases) {
    const TKeyEdit edit{c.Text, 0, c.SelLength};
    EXPECT_EQ(CrosstabCellKeyFilter(edit, c.Key).Accepted, c.Accepted)
        << c.Text << ' ' << int(c.Key);
  }
}

TEST(CrosstabsChart, OneSeriesPerRowDepthTurnsWithTheAngle) {
  const TCrossTab t = Table({{1, 2, 3}, {4, 5, 6}});
  const TChart front = CrosstabsChart(t, "C", "R", 90);
  const TChart side = CrosstabsChart(t, "C", "R", 0);
  ASSERT_EQ(front.Series.size(), 3u);  // two rows, back to front, and the range
  EXPECT_EQ(front.Series[0].Title, "R=2");
  EXPECT_EQ(front.Series[1].Title, "R=1");
  EXPECT_EQ(front.Series[0].Y, (std::vector<double>{4, 5, 6}));
  EXPECT_EQ(front.Series[0].Labels, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(front.Title, (std::vector<std::string>{"Crosstabs", "C by R"}));
  EXPECT_EQ(front.Bottom.Title, "C");
  ASSERT_EQ(front.Series[0].Polygons.size(), 9u);  // three faces per bar
  // The back row's front face sits one step up (90 degrees) or right (0 degrees).
  const TChartVertex& up = front.Series[0].Polygons[0].Vertices[0];
  const TChartVertex& right = side.Series[0].Polygons[0].Vertices[0];
  EXPECT_NEAR(up.Dx, 0, 1e-9);
  EXPECT_LT(up.Dy, 0);
  EXPECT_GT(right.Dx, 0);
  EXPECT_NEAR(right.Dy, 0, 1e-9);
  EXPECT_EQ(front.Series[1].Polygons[0].Vertices[0].Dx, 0);  // the front row stays
  // One row: no bars.
  EXPECT_EQ(CrosstabsChart(Table({{1, 2}}), "C", "R").Series.size(), 0u);
}

TEST(CrosstabsChart, LegendNamesTheRowsFrontToBack) {
  const TChart chart = CrosstabsChart(Table({{1, 2}, {3, 4}, {5, 6}}), "C", "Shift");
  ASSERT_EQ(chart.Legend.Entries.size(), 3u);
  EXPECT_EQ(chart.Legend.Entries[0].Text, "Shift=1");  // the front row, drawn last
  EXPECT_EQ(chart.Legend.Entries[2].Text, "Shift=3");
  EXPECT_EQ(chart.Legend.Entries[0].Text, chart.Series[2].Title);
  EXPECT_EQ(chart.Legend.Entries[1].Color.Color, 0x00FF00u);  // lime
  EXPECT_TRUE(chart.Foot.empty());
  EXPECT_TRUE(CrosstabsChart(Table({{1, 2}}), "C", "R").Legend.Entries.empty());
}

TEST(CrosstabsChart, DepthOfTheBackRowIsKeptFree) {
  const TChart three = CrosstabsChart(Table({{1, 2}, {3, 4}, {5, 6}}), "C", "R", 45);
  EXPECT_NEAR(three.DepthX, 3 * 30 * std::sqrt(0.5), 1e-9);  // 30 pixels a row
  EXPECT_NEAR(three.DepthY, 3 * 30 * std::sqrt(0.5), 1e-9);
  EXPECT_NEAR(CrosstabsChart(Table({{1, 2}, {3, 4}}), "C", "R", 0).DepthY, 0, 1e-9);
  // Forty rows share 240 pixels.
  std::vector<std::vector<std::int64_t>> rows(40, {1, 2});
  const TChart many = CrosstabsChart(Table(rows), "C", "R", 90);
  EXPECT_NEAR(many.DepthY, 240, 1e-9);
  EXPECT_NEAR(many.DepthX, 0, 1e-9);
}

TEST(CrosstabsChart, ZoomInSetsTheFourMargins) {
  struct Case {
    int Position;
    double Side, TopBottom;
  } cases[] = {{0, 3, 4}, {1, 4, 5}, {40, 43, 44}, {55, 43, 44}, {-3, 3, 4}};
  for (const Case& c : cases) {
    const TChart chart = CrosstabsChart(Table({{1, 2}, {3, 4}}), "C", "R", 45, c.Position);
    EXPECT_EQ(chart.MarginLeft, c.Side) << c.Position;
    EXPECT_EQ(chart.MarginRight, c.Side) << c.Position;
    EXPECT_EQ(chart.MarginTop, c.TopBottom) << c.Position;
    EXPECT_EQ(chart.MarginBottom, c.TopBottom) << c.Position;
  }
}

}  // namespace
}  // namespace sorvel
