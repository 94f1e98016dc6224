#include "hypothesis/oneway_anova.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "data/data_rules.h"
#include "numerics/common.h"
#include "numerics/format.h"
#include "output/report_writer.h"
#include "support/load_text.h"

namespace sorvel {
namespace {

// "Y\tG" data from parallel lists of values and group codes.
std::string Data(const std::vector<double>& y, const std::vector<double>& g) {
  std::string text = "Y\tG\n";
  for (std::size_t i = 0; i < y.size(); ++i)
    text += FormatGeneral(y[i], 17) + "\t" + FormatGeneral(g[i], 17) + "\n";
  return text;
}

TOnewayInputs Inputs(std::int64_t low, std::int64_t high, bool dispersion, bool pairwise) {
  TOnewayInputs in;
  in.Measure = 1;
  in.GroupColumn = 2;
  in.Low = low;
  in.High = high;
  in.Dispersion = dispersion;
  in.Pairwise = pairwise;
  in.MeasureLabel = "Y";
  in.GroupLabel = "G";
  return in;
}

void ExpectRel(double actual, double expected, double tol, const std::string& what) {
  EXPECT_NEAR(actual, expected, tol * std::max(1e-300, std::fabs(expected))) << what;
}

// y = 3,5,6,8 | 7,9,12,10,11 | 2,4,3,6.5 by codes 1..3.
const std::string Three =
    Data({3, 5, 6, 8, 7, 9, 12, 10, 11, 2, 4, 3, 6.5}, {1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3});

TEST(OnewayAnova, ThreeGroupsAgainstR) {
  TDataList& d = test::LoadText(Three);
  const TOnewayResult r = ComputeOneway(d, Inputs(1, 3, true, true));
  const TAnovaRec& a = r.Anova;
  ASSERT_EQ(a.Error, AnovaNoError);
  // R: anova(lm(y ~ g)) with g = factor(c(1,1,1,1, 2,2,2,2,2, 3,3,3,3))
  EXPECT_EQ(a.DfB, 2);
  EXPECT_EQ(a.DfW, 10);
  ExpectRel(a.SSB, 85.70480769231, 1e-12, "SSB");
  ExpectRel(a.SSW, 38.9875, 1e-12, "SSW");
  ExpectRel(a.F, 10.9913187165512, 1e-12, "F");
  ExpectRel(a.P, 0.00298833049110713, 1e-6, "p");
  // R: car::leveneTest(y ~ g, center = mean)
  ASSERT_EQ(r.Dispersion.size(), 3u);
  ExpectRel(r.Dispersion[1].F, 0.0129672517082321, 1e-10, "Levene F");
  ExpectRel(r.Dispersion[1].P, 0.987133030691135, 1e-6, "Levene p");
  // R: pairwise.t.test(y, g, p.adjust.method = "none"); TukeyHSD(aov(y ~ g))
  ASSERT_EQ(r.Pairs.size(), 6u);
  struct {
    int i, j;
    double lsd, tukey;
  } pairs[] = {{0, 1, 0.00877408761956524, 0.02182476233225417},
               {0, 2, 0.27149252850904448, 0.49949904920078092},
               {1, 2, 0.00119148046269982, 0.00309960621422734}};
  for (const auto& p : pairs)
    for (const TPairwiseLine& line : r.Pairs)
      if ((line.I == p.i && line.J == p.j) || (line.I == p.j && line.J == p.i)) {
        ExpectRel(line.Lsd, p.lsd, 1e-6, "LSD " + std::to_string(p.i) + "-" + std::to_string(p.j));
        // The 1-2 pair (q 6.33, df 10) was 1.3e-4 off with the published cut-offs.
        EXPECT_NEAR(line.Tukey, p.tukey, 1e-4) << "Tukey " << p.i << "-" << p.j;
      }
  // Both orders, i then j.
  EXPECT_EQ(r.Pairs[0].I, 0);
  EXPECT_EQ(r.Pairs[0].J, 1);
  EXPECT_EQ(r.Pairs[5].I, 2);
  EXPECT_EQ(r.Pairs[5].J, 1);
}

// The design's faults and the Part's edge cases, each against R.
struct TDispersionExpect {
  int Line;
  int DfB;
  double Df2, F, P;
  bool ChiSquare;
};
struct TCase {
  const char* Name;
  std::string Data;
  std::int64_t Low, High;
  int Error;
  int DfB, DfW;
  double F, P;  // ignored (NaN) where the row does not check them
  std::optional<TDispersionExpect> Dispersion = std::nullopt;
  std::vector<double> Tukey = {};        // the pairs i < j in order; p by TukeyHSD
  std::vector<bool> GamesHowellNA = {};  // the same pairs: 999 expected
};

TEST(OnewayAnova, FaultsAndEdgeCasesAgainstR) {
  const double nan = std::nan("");
  const TCase cases[] = {
      // A code of 2.6 belongs to group 3 (the data set rounds), so its 100 stays out of
      // the grand mean. R: anova(lm(1:6 ~ factor(c(1,1,1,2,2,2)))): F 13.5, p 0.0213116
      {"grand mean from the delivered groups",
       Data({1, 2, 3, 4, 5, 6, 100}, {1, 1, 1, 2, 2, 2, 2.6}), 1, 2, AnovaNoError, 1, 4, 13.5,
       0.0213116411287567},
      // No spread within groups: F is infinite, reported as the no-within error.
      // R: oneway.test(c(1,1,2,2,3,3) ~ gl(3, 2), var.equal = TRUE): F Inf
      {"no within variation", Data({1, 1, 2, 2, 3, 3}, {1, 1, 2, 2, 3, 3}), 1, 3, AnovaNoWithin, 2,
       3, 0, 1},
      // Games-Howell with a one-case group has no df; t(LSD) and Tukey stand.
      // R: TukeyHSD(aov(y ~ g)), y = c(1,2,3,4,5,7,9), g = factor(c(1,1,1,2,2,2,3))
      // clang-format off
      {"Games-Howell with a one-case group", Data({1, 2, 3, 4, 5, 7, 9}, {1, 1, 1, 2, 2, 2, 3}),
       1, 3, AnovaNoError, 2, 4, nan, nan, std::nullopt,
       {0.0716924271259751, 0.0202776823508870, 0.1417144822449318}, {false, true, true}},
      // clang-format on
      // ADM(n-1) leaves a one-case group out: R: anova(lm(c(1.5,1.5,.5,3,4,1) ~ gl(2, 3)))
      {"ADM(n-1) with a one-case group",
       Data({1, 2, 3, 4, 2, 4, 6, 9, 5}, {1, 1, 1, 1, 2, 2, 2, 2, 3}), 1, 3, AnovaNoError, 2, 6,
       nan, nan, TDispersionExpect{0, 1, 4, 2.53125, 0.186821800134476, false}},
      // Box's F turns negative; Bartlett's chi-square instead.
      // R: bartlett.test(list(c(0,1), c(0,3e-5))): K2 12.9615546621896, p 0.000317953040692916
      {"Bartlett-Box F undefined", Data({0, 1, 0, 0.00003}, {1, 1, 2, 2}), 1, 2, AnovaNoError, 1, 2,
       nan, nan, TDispersionExpect{2, 1, 0, 12.9615546621896, 0.000317953040692916, true}},
      // A code in the range without cases is no group.
      {"empty code inside the range", Data({1, 2, 4, 6}, {1, 1, 3, 3}), 1, 3, AnovaNoError, 1, 2,
       nan, nan},
      {"one group", Data({1, 2, 4}, {1, 1, 1}), 1, 3, AnovaSingleGroup, 0, 2, 0, 1},
      // Nothing in the range: the no-within error overwrites the single-group one.
      {"empty range", Data({1, 2}, {1, 1}), 5, 6, AnovaNoWithin, -1, 0, 0, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDataList& d = test::LoadText(c.Data);
    const TOnewayResult r = ComputeOneway(d, Inputs(c.Low, c.High, true, true));
    const TAnovaRec& a = r.Anova;
    EXPECT_EQ(a.Error, c.Error);
    EXPECT_EQ(a.DfB, c.DfB);
    EXPECT_EQ(a.DfW, c.DfW);
    if (!std::isnan(c.F)) ExpectRel(a.F, c.F, 1e-12, "F");
    if (!std::isnan(c.P)) ExpectRel(a.P, c.P, 1e-6, "p");
    if (c.Error != AnovaNoError) {
      EXPECT_EQ(a.P, 1);
      EXPECT_EQ(a.Omega2, 0);
      EXPECT_FALSE(r.DispersionRun);
      EXPECT_FALSE(r.PairwiseRun);
    }
    if (c.Dispersion) {
      ASSERT_EQ(r.Dispersion.size(), 3u);
      const TDispersionLine& line = r.Dispersion[c.Dispersion->Line];
      EXPECT_EQ(line.Error, AnovaNoError);
      EXPECT_EQ(line.DfB, c.Dispersion->DfB);
      if (!c.Dispersion->ChiSquare) {
        EXPECT_EQ(line.Df2, c.Dispersion->Df2);
      }
      EXPECT_EQ(line.ChiSquare, c.Dispersion->ChiSquare);
      ExpectRel(line.F, c.Dispersion->F, 1e-9, "dispersion statistic");
      ExpectRel(line.P, c.Dispersion->P, 1e-6, "dispersion p");
    }
    std::size_t pair = 0;
    for (const TPairwiseLine& line : r.Pairs) {
      if (line.I > line.J) continue;
      if (pair < c.Tukey.size()) {
        EXPECT_NEAR(line.Tukey, c.Tukey[pair], 1e-4) << "pair " << pair;
      }
      if (pair < c.GamesHowellNA.size()) {
        EXPECT_EQ(line.GamesHowell == NotAvailable, c.GamesHowellNA[pair]) << "pair " << pair;
      }
      ++pair;
    }
  }
}

TEST(OnewayAnova, RandomAndFixedSummaries) {
  // MSB < MSW. R: anova(lm(c(1,5,9,2,6,8) ~ gl(2, 3))): MSB 0.1667, MSW 12.667
  TDataList& d = test::LoadText(Data({1, 5, 9, 2, 6, 8}, {1, 1, 1, 2, 2, 2}));
  const TAnovaRec a = ComputeOneway(d, Inputs(1, 2, false, false)).Anova;
  ASSERT_EQ(a.Error, AnovaNoError);
  ExpectRel(a.MSW, 12.666666666666667, 1e-12, "MSW");
  EXPECT_EQ(a.N0, 3);  // equal groups of 3
  EXPECT_EQ(a.VarA, 0);
  EXPECT_EQ(a.Icc, 0);
  EXPECT_EQ(a.Omega2, 0);  // F < 1
  // Unequal groups: n0 = (N - sum n^2 / N) / dfB = (13 - 57/13) / 2 on the three groups.
  TDataList& d3 = test::LoadText(Three);
  const TAnovaRec b = ComputeOneway(d3, Inputs(1, 3, false, false)).Anova;
  ExpectRel(b.N0, (13 - 57.0 / 13) / 2, 1e-14, "n0");
  ExpectRel(b.VarA, (b.MSB - b.MSW) / b.N0, 1e-14, "treatment variance");
  // omega^2 = (SSB - dfB MSW) / (SST + MSW) with R's sums above.
  ExpectRel(b.Omega2, (85.70480769231 - 2 * 3.89875) / (85.70480769231 + 38.9875 + 3.89875), 1e-10,
            "omega2");
}

TEST(OnewayAnova, ReportLinesAndUnderlinedBlocks) {
  TDataList& d = test::LoadText(Three);
  const TOnewayInputs in = Inputs(1, 3, true, true);
  TReport report;
  {
    TReportScope scope(report);
    WriteOnewayReport(in, ComputeOneway(d, in));
  }
  std::vector<std::string> underlined;
  bool dispersion = false;
  for (const TReportLine& line : report.Lines) {
    const std::string text = line.Text();
    if (text == "Dispersion Analysis") dispersion = true;
    if (!line.Runs.empty() && line.Runs.back().Style.Underline) underlined.push_back(text);
  }
  EXPECT_TRUE(dispersion);
  // The table header, the comparisons' header, and the closing line of groups 1 and 2.
  ASSERT_EQ(underlined.size(), 4u);
  EXPECT_EQ(underlined[2].substr(0, 8), "1 vs 3  ");
  EXPECT_EQ(underlined[3].substr(0, 8), "2 vs 3  ");
}

TEST(OnewayAnova, KruskalWallis) {
  // R: kruskal.test(y, g); tapply(rank(y), g, mean) on the three groups.
  TDataList& d = test::LoadText(Three);
  TOnewayInputs in = Inputs(1, 3, true, true);
  in.Type = TAnovaType::KruskalWallis;
  const TOnewayResult r = ComputeOneway(d, in);
  ExpectRel(r.Kruskal.H, 8.28595041322315, 1e-12, "H");
  ExpectRel(r.Kruskal.P, 0.0158755481349828, 1e-6, "p");
  ASSERT_EQ(r.Kruskal.Groups.size(), 3u);
  const double meanRanks[] = {5.625, 10.8, 3.625};
  for (int g = 0; g < 3; ++g) {
    EXPECT_EQ(r.Kruskal.Groups[g].Code, g + 1);
    ExpectRel(r.Kruskal.Groups[g].MeanRank, meanRanks[g], 1e-14, "mean rank");
  }
  EXPECT_FALSE(r.DispersionRun);
  EXPECT_FALSE(r.PairwiseRun);
  // Every value tied: no ranking to test (R gives NaN): H 0, p 1. Codes are rounded, so
  // 2.7 is code 3; an empty code is no group.
  TDataList& tied = test::LoadText(Data({4, 4, 4, 4, 4}, {1, 1, 2.7, 3, 5}));
  in.High = 5;
  const TOnewayResult t = ComputeOneway(tied, in);
  EXPECT_EQ(t.Kruskal.H, 0);
  EXPECT_EQ(t.Kruskal.P, 1);
  ASSERT_EQ(t.Kruskal.Groups.size(), 3u);
  EXPECT_EQ(t.Kruskal.Groups[1].Code, 3);
  EXPECT_EQ(t.Kruskal.Groups[1].Count, 2);
}

TEST(OnewayAnova, LongLeadingDigitsCentredOnTheTexts) {
  // 1e12 + {0.4, 0.3, 0.5} and 1e12 + {0.2, 0.1, 0.0}, the texts in several forms. Their
  // doubles are 1.2e-4 apart, so only the texts give SSB 0.135, SSW 0.04, F 13.5.
  for (const char* sign : {"", "-"}) {
    SCOPED_TRACE(sign);
    std::string text = "Y\tG\n";
    const char* cells[] = {"1000000000000.4", "1000000000000.30", "1.0000000000005E12",
                           "1000000000000.2", "1000000000000.1",  "1000000000000"};
    for (int i = 0; i < 6; ++i)
      text += sign + std::string(cells[i]) + "\t" + (i < 3 ? "1" : "2") + "\n";
    TDataList& d = test::LoadText(text);
    const TAnovaRec a = ComputeOneway(d, Inputs(1, 2, false, false)).Anova;
    ASSERT_EQ(a.Error, AnovaNoError);
    ExpectRel(a.SSB, 0.135, 1e-12, "SSB");
    ExpectRel(a.SSW, 0.04, 1e-12, "SSW");
    ExpectRel(a.F, 13.5, 1e-12, "F");
  }
}

// NIST StRD one-way ANOVA: the data as a file would give them (treatment, response
// texts), the certified sums of squares and F (500-digit arithmetic).
std::string NistData(const std::string& name) {
  std::ifstream f(std::string(SORVEL_TESTDATA_DIR) + "/nist/anova/" + name + ".dat");
  EXPECT_TRUE(f.good()) << name;
  std::string line, text = "Y\tG\n";
  for (int number = 1; std::getline(f, line); ++number) {
    if (number < 61) continue;
    std::istringstream fields(line);
    std::string group, response;
    if (fields >> group >> response) text += response + "\t" + group + "\n";
  }
  return text;
}

double Lre(double x, double certified) {
  if (x == certified) return 15;
  return std::min(15.0, -std::log10(std::fabs(x - certified) / std::fabs(certified)));
}

TEST(OnewayAnova, NistAccuracy) {
  struct {
    const char* Name;
    int Groups;
    double SSB, SSW, F;
  } sets[] = {
      {"SiRstv", 5, 5.11462616000000E-02, 2.16636560000000E-01, 1.18046237440255E+00},
      {"SmLs01", 9, 1.68000000000000E+00, 1.80000000000000E+00, 2.10000000000000E+01},
      {"SmLs02", 9, 1.60800000000000E+01, 1.80000000000000E+01, 2.01000000000000E+02},
      {"SmLs03", 9, 1.60080000000000E+02, 1.80000000000000E+02, 2.00100000000000E+03},
      {"AtmWtAg", 2, 3.63834187500000E-09, 1.04951729166667E-08, 1.59467335677930E+01},
      {"SmLs04", 9, 1.68000000000000E+00, 1.80000000000000E+00, 2.10000000000000E+01},
      {"SmLs05", 9, 1.60800000000000E+01, 1.80000000000000E+01, 2.01000000000000E+02},
      {"SmLs06", 9, 1.60080000000000E+02, 1.80000000000000E+02, 2.00100000000000E+03},
      {"SmLs07", 9, 1.68000000000000E+00, 1.80000000000000E+00, 2.10000000000000E+01},
      {"SmLs08", 9, 1.60800000000000E+01, 1.80000000000000E+01, 2.01000000000000E+02},
      {"SmLs09", 9, 1.60080000000000E+02, 1.80000000000000E+02, 2.00100000000000E+03},
  };
  for (const auto& set : sets) {
    SCOPED_TRACE(set.Name);
    TDataList& d = test::LoadText(NistData(set.Name));
    const TAnovaRec a = ComputeOneway(d, Inputs(1, set.Groups, false, false)).Anova;
    ASSERT_EQ(a.Error, AnovaNoError);
    ASSERT_EQ(static_cast<int>(a.Groups.size()), set.Groups);
    EXPECT_GE(Lre(a.SSB, set.SSB), 9) << a.SSB;
    EXPECT_GE(Lre(a.SSW, set.SSW), 9) << a.SSW;
    EXPECT_GE(Lre(a.F, set.F), 9) << a.F;
  }
}

}  // namespace
}  // namespace sorvel
