// The descriptive statistics engine: its operations on small samples whose results are
// known by hand, and the cases where a plain implementation goes wrong.
#include "stats/stats_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "data/data_state.h"
#include "numerics/common.h"
#include "numerics/distributions.h"
#include "numerics/intervals.h"

namespace sorvel {
namespace {

class StatsEngineTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetStatsEngineState(); }
  void TearDown() override {
    ResetStatsEngineState();
    ResetNumericsState();
  }
};

// One sample, one operation, one field: the small cases whose values follow by hand.
TEST_F(StatsEngineTest, HandComputedCases) {
  struct TCase {
    const char* What;
    std::vector<double> X;
    char Code;  // StatsByCode code run first
    double TStatsRecord::*Field;
    double Expected;
  };
  const TCase cases[] = {
      {"n 4 Q1", {4, 2, 3, 1}, 'D', &TStatsRecord::Q1, 1.25},
      {"n 4 Q3", {4, 2, 3, 1}, 'D', &TStatsRecord::Q3, 3.75},
      {"n 4 median", {4, 2, 3, 1}, 'D', &TStatsRecord::Median, 2.5},
      {"n 5 Q1", {5, 4, 3, 2, 1}, 'D', &TStatsRecord::Q1, 1.5},
      {"n 5 Q3", {5, 4, 3, 2, 1}, 'D', &TStatsRecord::Q3, 4.5},
      {"n 3 Q1 is Low", {7, 3, 5}, 'D', &TStatsRecord::Q1, 3},
      {"n 3 Q3 is High", {7, 3, 5}, 'D', &TStatsRecord::Q3, 7},
      {"n 1 median", {7}, 'D', &TStatsRecord::Median, 7},
      {"empty mean", {}, 'D', &TStatsRecord::Mean, 0},
      {"empty median", {}, 'D', &TStatsRecord::Median, 0},
      {"variance", {1, 2, 3, 4}, 'D', &TStatsRecord::Variance, 5.0 / 3},
      {"population variance", {1, 2, 3, 4}, 'D', &TStatsRecord::PopVariance, 1.25},
      {"MAD about the mean", {1, 2, 3, 10}, 'D', &TStatsRecord::MeanAbsDevMean, 3},
      {"MAD about the median", {1, 2, 3, 10}, 'D', &TStatsRecord::MeanAbsDevMedian, 2.5},
      {"constant mean exact", {0.1, 0.1, 0.1}, 'S', &TStatsRecord::Mean, 0.1},
      {"constant SD 0", {0.1, 0.1, 0.1}, 'S', &TStatsRecord::StdDev, 0},
      {"constant skew 999", {0.1, 0.1, 0.1}, 'S', &TStatsRecord::Skew1, 999},
      {"constant kurt 999", {0.1, 0.1, 0.1, 0.1}, 'S', &TStatsRecord::Kurt1, 999},
      {"constant A-D 999", {2, 2, 2, 2}, 'T', &TStatsRecord::ADStat, 999},
      {"constant A-D p 999", {2, 2, 2, 2}, 'T', &TStatsRecord::ADp, 999},
      {"constant L-M 999", {2, 2, 2, 2}, 'T', &TStatsRecord::LMr, 999},
      {"constant L-M p 999", {2, 2, 2, 2}, 'T', &TStatsRecord::LMp, 999},
      {"constant S-W W 0", {2, 2, 2, 2}, 'T', &TStatsRecord::SWW, 0},
      {"constant S-W p 0", {2, 2, 2, 2}, 'T', &TStatsRecord::SWp, 0},
      {"skew n 2 999", {1, 2}, 'S', &TStatsRecord::Skewness, 999},
      {"kurt n 3 999", {1, 2, 4}, 'S', &TStatsRecord::Kurtosis, 999},
      {"L-M n 2 999", {1, 2}, 'L', &TStatsRecord::LMr, 999},
      {"three-sigma low",
       {1, 2, 3, 4, 5},
       'N',
       &TStatsRecord::LowerLimit3s,
       3 - 3 * std::sqrt(2.5)},
      {"three-sigma high",
       {1, 2, 3, 4, 5},
       'N',
       &TStatsRecord::UpperLimit3s,
       3 + 3 * std::sqrt(2.5)},
      // g2 is exactly 0 here; G2 still follows from it: (6)(5)/((4)(3)) = 2.5.
      // R: e1071::kurtosis(c(-1, 0, 0, 0, 0, 1), type = 2) = 2.5
      {"G2 from g2 = 0", {-1, 0, 0, 0, 0, 1}, 'S', &TStatsRecord::Kurtosis, 2.5},
  };
  for (const auto& c : cases) {
    std::vector<double> x = c.X;
    TStatsEngine e(x);
    e.StatsByCode(c.Code);
    EXPECT_NEAR(e.Stats.*(c.Field), c.Expected, 1e-12 * std::max(1.0, std::fabs(c.Expected)))
        << c.What;
  }
}

TEST_F(StatsEngineTest, InterpolatedMedianSpreadsATiedMedianOverItsCell) {
  struct {
    std::vector<double> X;
    double Expected;
  } cases[] = {
      {{1, 2, 2, 2, 3}, 2.0},         // 2 - 0.5 + (2.5 - 1)/3
      {{1, 2, 2, 3}, 2.0},            // 2 - 0.5 + (2 - 1)/2
      {{1, 2, 3}, 2.0},               // not tied: the median
      {{1, 1, 1, 2}, 0.5 + 2.0 / 3},  // 1 - 0.5 + (2 - 0)/3
  };
  for (auto& c : cases) {
    TStatsEngine e(c.X);
    e.SortAndQuartiles();
    e.InterpolatedMedian();
    EXPECT_NEAR(e.Stats.InterpMedian, c.Expected, 1e-14);
  }
}

TEST_F(StatsEngineTest, PercentilesAndCounts) {
  std::vector<double> x{4, 1, 3, 2};
  TStatsEngine e(x);
  e.SortAndQuartiles();
  EXPECT_DOUBLE_EQ(e.Percentile(0.5), 2.5);
  EXPECT_EQ(StatError, 0);
  EXPECT_EQ(e.Percentile(0.1), 0);  // h = 0.5 < 1
  EXPECT_EQ(StatError, 1);
  EXPECT_DOUBLE_EQ(e.Percentile(0.8), 4);  // h = 4: x[n]
  EXPECT_EQ(StatError, 0);
  EXPECT_DOUBLE_EQ(e.PlottingPercentile(0.5), 2.5);  // h = 2.5
  EXPECT_DOUBLE_EQ(e.PlottingPercentile(0.01), 1);   // h < 1
  EXPECT_DOUBLE_EQ(e.PlottingPercentile(0.99), 4);

  std::vector<double> y{4, 5, 6};
  TStatsEngine f(y);
  int count = -1;
  f.CountAbove(count, 5);
  EXPECT_EQ(count, 1);  // the value equal to the limit is not counted
  f.CountBelow(count, 5);
  EXPECT_EQ(count, 1);
}

TEST_F(StatsEngineTest, MovingRangesOverwriteTheSample) {
  std::vector<double> x{1, 3, 2};
  TStatsEngine e(x);
  e.MovingRangeSigma();
  EXPECT_DOUBLE_EQ(e.Stats.AvgMovingRange, 1.5);
  EXPECT_DOUBLE_EQ(e.Stats.StdDevMR, 1.5 / 1.12838);
  EXPECT_DOUBLE_EQ(e.Stats.MedianMovingRange, 1.5);
  EXPECT_DOUBLE_EQ(e.Stats.StdDevMMR, 1.5 / 0.954);
  EXPECT_EQ(x, (std::vector<double>{1, 2, 2}));  // sorted ranges, then the last value
  EXPECT_EQ(e.Count(), 3);
  std::vector<double> one{5};
  TStatsEngine f(one);
  f.Stats.AvgMovingRange = 7;
  f.MovingRangeSigma();
  EXPECT_EQ(f.Stats.AvgMovingRange, 0);
}

TEST_F(StatsEngineTest, ResolutionTiesDistinctAndMode) {
  std::vector<double> x{3, 1, 1, 2, 2, 2, 5};
  TStatsEngine e(x);
  e.SpreadTies();
  // Runs of 2 and 3 spread over their cells of width 1.
  EXPECT_EQ(e.Stats.Resolution, 1);
  const std::vector<double> spread{
      1 - 0.5 + 1.0 / 3, 1 - 0.5 + 2.0 / 3, 2 - 0.5 + 0.25, 2, 2 - 0.5 + 0.75, 3, 5};
  for (std::size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(x[i], spread[i], 1e-15) << i;

  struct {
    std::vector<double> X;
    int Distinct;
    double Mode;
  } cases[] = {
      {{}, 0, MissingValue},   {{4}, 1, 4},       {{4, 4}, 1, 4},
      {{4, 5}, 2, 4},          {{9, 3, 5}, 3, 9},  // all distinct: the first value as it was
      {{5, 3, 3, 5, 1}, 3, 3},                     // equal runs: the smallest
      {{5, 3, 5, 5, 3}, 2, 5},
  };
  for (auto& c : cases) {
    TStatsEngine m(c.X);
    m.DistinctAndMode();
    EXPECT_EQ(m.Stats.DistinctCount, c.Distinct);
    EXPECT_EQ(m.Stats.Mode, c.Mode);
  }
}

TEST_F(StatsEngineTest, SortMatchesComparisonSortOnEveryKindOfDouble) {
  std::vector<double> x;
  for (int i = 0; i < 5000; ++i) {
    const double v = std::sin(i * 12.9898) * std::pow(10.0, (i % 41) - 20);
    x.push_back(i % 7 == 0 ? -v : v);
  }
  x.push_back(0.0);
  x.push_back(-0.0);
  x.push_back(1e308);
  x.push_back(-1e308);
  x.push_back(4.9e-324);
  x.push_back(-2147483647.0);
  std::vector<double> expected = x;
  std::sort(expected.begin(), expected.end());
  SortDoubles(x);
  for (std::size_t i = 0; i < x.size(); ++i) ASSERT_EQ(x[i], expected[i]) << i;
}

TEST_F(StatsEngineTest, ProbabilityFunctions) {
  EXPECT_EQ(AndersonDarlingP(0.1), 1);
  EXPECT_EQ(AndersonDarlingP(1.5), 0);
  EXPECT_NEAR(AndersonDarlingP(0.752), 0.05, 1e-15);
  EXPECT_EQ(AndersonDarlingP(999), 999);
  // The normal tail of the Part's formula is an approximation (|error| < 7.5e-8).
  EXPECT_NEAR(LinMudholkarP(0, 3), 1, 1e-8);
  EXPECT_NEAR(LinMudholkarP(0, 4), 1, 1e-8);
  EXPECT_EQ(SkewnessP(0.5, 7), 999);
  EXPECT_EQ(SkewnessP(999, 50), 999);

  EXPECT_EQ(KurtosisSig(0.5, 6).Text, "999.000");
  EXPECT_EQ(KurtosisSig(0, 20).Text, "1.000");
  // n = 7 reads the first row exactly: upper 5% 0.85, upper 2% 1.23.
  EXPECT_EQ(KurtosisSig(0.85, 7).Text, ".05-.02");
  EXPECT_NEAR(KurtosisSig(0.85, 7).Bound, 0.05 - 1e-10, 1e-15);
  EXPECT_EQ(KurtosisSig(0.84, 7).Text, ".10-.05");
  EXPECT_EQ(KurtosisSig(0.5, 7).Text, ">.10");
  EXPECT_EQ(KurtosisSig(-1.75, 7).Text, "<.02");
  // n = 11 lies between the rows 10 and 12: lower 2% is -1.575 there.
  EXPECT_EQ(KurtosisSig(-1.576, 11).Text, "<.02");
  EXPECT_EQ(KurtosisSig(-1.574, 11).Text, ".05-.02");
  // Beyond 5000 the normal approximation gives a p-value text.
  // se = sqrt(24n(n-1)^2/((n-3)(n-2)(n+3)(n+5))) = 0.0692405; R: 2 * pnorm(-0.1 / se)
  const TKurtosisSig big = KurtosisSig(0.1, 5001);
  EXPECT_EQ(big.Text, "0.149");
  EXPECT_NEAR(big.Bound, 0.148671153409917, 1e-7);
}

TEST_F(StatsEngineTest, IndexOfDispersionUndefinedCases) {
  struct {
    std::vector<double> X;
    double D, P;
  } cases[] = {
      {{-1, 0, 1}, 999, 999},    // mean 0
      {{-1, -2, -3}, 999, 999},  // negative mean
      {{4}, 999, 999},           // n < 2
      // D = 2 * 1 / 2 = 1 on 2 df; R: 2 * min(pchisq(1, 2), 1 - pchisq(1, 2)) = 0.7869387
      {{1, 2, 3}, 1, 0.786938680574733},
  };
  for (auto& c : cases) {
    TStatsEngine e(c.X);
    e.MeanAndVariance();
    double d = 0, p = 0;
    e.IndexOfDispersion(d, p);
    EXPECT_NEAR(d, c.D, 1e-12);
    EXPECT_NEAR(p, c.P, 1e-9);
  }
}

TEST_F(StatsEngineTest, MatrixLoadersSkipMissingCells) {
  const TMatrix m{{MissingValue, 5, 6}, {7, 8, MissingValue}};
  TStatsEngine e;
  e.MatrixLowHigh(m, 0, 1, 0, 2);
  EXPECT_EQ(e.Stats.CountReal, 4);
  EXPECT_EQ(e.Stats.Low, 5);
  EXPECT_EQ(e.Stats.High, 8);
  EXPECT_EQ(e.Stats.Range, 3);
  e.MatrixMean(m, 0, 1, 0, 2);
  EXPECT_EQ(e.Stats.Mean, 6.5);
  e.MatrixMean(m, 0, 0, 0, 0);
  EXPECT_EQ(e.Stats.Mean, MissingValue);
  e.LoadFromMatrix(m, 0, 1, 1, 2);
  ASSERT_EQ(e.Count(), 3);
  EXPECT_EQ(std::vector<double>(e.Sample().begin(), e.Sample().end()),
            (std::vector<double>{5, 6, 8}));
}

// Samples against R 4.2.2 (script beside each column): quantile(x, c(.25, .5, .75),
// type = 6), mean, sd, e1071::skewness/kurtosis(x, type = 1 and 2), shapiro.test(x),
// nortest::ad.test(x)$statistic * (1 + 0.75/n + 2.25/n^2) (the engine's A^2*).
TEST_F(StatsEngineTest, SamplesAgainstR) {
  std::vector<double> ties20, offset100, skewed5000;
  for (int i = 1; i <= 20; ++i)
    ties20.push_back(std::nearbyint(std::sin(i) * 5));  // round(sin(1:20) * 5)
  for (int i = 1; i <= 100; ++i)
    offset100.push_back(1e6 + ((i * 37) % 101) / 10.0);  // 1e6 + ((1:100 * 37) %% 101) / 10
  for (int i = 1; i <= 5000; ++i)
    skewed5000.push_back(std::exp(std::sin(i) * 1.5));  // exp(sin(1:5000) * 1.5)
  const double NA = 999;                                // not compared
  struct {
    const char* Name;
    std::vector<double> X;
    double Mean, SD, Q1, Median, Q3, Skew1, Skewness, Kurt1, Kurtosis, W, P, AD;
  } cases[] = {
      // clang-format off
      {"n3", {1, 2, 4}, 2.3333333333333335, 1.5275252316519468, 1, 2, 4, 0.38180177416060579,
       0.93521952958282328, NA, NA, 0.96428571428571419, 0.6368868450289632, NA},
      {"n10", {2.1, 3.4, 1.9, 5.6, 4.4, 3.3, 2.8, 4.1, 3.9, 6.2}, 3.77, 1.3888844444373334,
       2.6249999999999996, 3.6499999999999999, 4.7000000000000002, 0.37166078109263345,
       0.44073546945373693, -0.77004677713296621, -0.39704698100292235, 0.95865251038409582,
       0.77040473181462343, 0.21877878286021488},
      // clang-format on
      {"ties20", ties20, 0.25, 3.767939545833058, -3.75, 1, 3.75, -0.12680865393399562,
       -0.13733087455963394, -1.4807569910353613, -1.5582419588990495, 0.88865572962043093,
       0.025406890259490278, 0.73775172324213101},
      // Skewness 0 up to rounding (R: -4.8e-11): compared absolutely below.
      {"offset100", offset100, 1000005.05, 2.9011491975890125, 1000002.525, 1000005.05, 1000007.575,
       0, 0, -1.2002400240010638, -1.1999999999985942, 0.95472474499197912, 0.0017217222030593514,
       1.0920810679470359},
      {"skewed5000", skewed5000, 1.6469600191568248, 1.4730556100528958, 0.34548251986252837,
       1.0000226108207213, 2.8945948092195586, 0.71947279918254414, 0.71968872379441984,
       -0.99486009522835506, -0.99465471142824868, 0.83348164213081744, 3.5378921609292439e-58,
       308.32645917636449},
  };
  auto rel = [](double want) { return 1e-12 * std::max(1.0, std::fabs(want)); };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TStatsEngine e(c.X);
    e.StatsByCode('T');
    EXPECT_NEAR(e.Stats.Mean, c.Mean, 1e-15 * std::fabs(c.Mean) + 1e-15);
    EXPECT_NEAR(e.Stats.StdDev, c.SD, 1e-13 * c.SD);
    EXPECT_NEAR(e.Stats.Q1, c.Q1, rel(c.Q1));
    EXPECT_NEAR(e.Stats.Median, c.Median, rel(c.Median));
    EXPECT_NEAR(e.Stats.Q3, c.Q3, rel(c.Q3));
    EXPECT_NEAR(e.Stats.Skew1, c.Skew1, 1e-9);
    EXPECT_NEAR(e.Stats.Skewness, c.Skewness, 1e-9);
    if (c.Kurt1 != NA) {
      EXPECT_NEAR(e.Stats.Kurt1, c.Kurt1, 1e-9);
      EXPECT_NEAR(e.Stats.Kurtosis, c.Kurtosis, 1e-9);
    }
    EXPECT_NEAR(e.Stats.SWW, c.W, 1e-9);
    // The p-value's normal tail is the library's approximation (|error| < 7.5e-8); n 3
    // uses 6/pi and pi/3 rounded to 7 digits.
    EXPECT_NEAR(e.Stats.SWp, c.P, 2e-6);
    if (c.AD != NA) {
      EXPECT_NEAR(e.Stats.ADStat, c.AD, 1e-10 * c.AD);
    }
  }
}

// Faults of a plain implementation, each against its right answer.
TEST_F(StatsEngineTest, ShapiroWilkCoefficientsAreKeyedOnTheWholeN) {
  // 65,540 values leave coefficients for n 65,540; a 16-bit key took them for n 4.
  std::vector<double> big;
  for (int i = 1; i <= 65540; ++i) big.push_back(std::sin(i));
  TStatsEngine b(big);
  double w = 0, p = 0;
  b.ShapiroWilk(true, w, p);
  std::vector<double> x{1, 2, 3, 5};
  TStatsEngine e(x);
  e.ShapiroWilk(true, w, p);
  EXPECT_NEAR(w, 0.97137366548270621, 1e-9);  // R: shapiro.test(c(1, 2, 3, 5))
  EXPECT_NEAR(p, 0.84997081884826609, 2e-7);
}

TEST_F(StatsEngineTest, ShapiroWilkOfThreeIsNeverNegative) {
  std::vector<double> x{1, 1, 2};
  TStatsEngine e(x);
  double w = 0, p = -1;
  e.ShapiroWilk(true, w, p);
  EXPECT_NEAR(w, 0.75, 1e-12);  // R: shapiro.test(c(1, 1, 2)): W 0.75, p 0
  EXPECT_EQ(p, 0);
  std::vector<double> two{1, 2};
  TStatsEngine f(two);
  f.ShapiroWilk(true, w, p);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(p, 999);
}

TEST_F(StatsEngineTest, AndersonDarlingKeepsAnOutlierBeyondEightDeviations) {
  std::vector<double> x;
  for (int k = 0; k < 10; ++k)
    for (int v = 0; v <= 9; ++v) x.push_back(v);
  x[0] = 1000;
  TStatsEngine e(x);
  e.StatsByCode('A');
  // R: a <- ad.test(x); a$statistic = 35.712697312263543, times (1 + .75/n + 2.25/n^2)
  EXPECT_NEAR(e.Stats.ADStat, 35.988577899000781, 1e-9);
  EXPECT_EQ(e.Stats.ADp, 0);  // beyond the table's 1.5
}

TEST_F(StatsEngineTest, ExponentialTest) {
  // Fewer than three values: T is always 0.5 for two, nothing to test.
  EXPECT_EQ(ExponentialTestP(2, 0.5, "X"), 999);

  // A statistic beyond every simulated one stops after 20,000 replications with 0, and
  // is not cached: a second call draws again.
  long long draws = 0;
  auto counted = [&draws] {
    ++draws;
    return UniformRandom();
  };
  SeedRandom(7);
  EXPECT_EQ(ExponentialTestP(3, 1e9, "X", {}, counted), 0);
  EXPECT_EQ(draws, 3 * 20000);
  EXPECT_EQ(ExponentialTestP(3, 1e9, "X", {}, counted), 0);
  EXPECT_EQ(draws, 2 * 3 * 20000);

  // Stopped by the progress callback: 999, not cached.
  int asked = 0;
  auto stopAt = [&asked](double fraction) {
    ++asked;
    return fraction < 0.001;
  };
  EXPECT_EQ(ExponentialTestP(4, 0.3, "X", stopAt, counted), 999);
  EXPECT_EQ(asked, 10);  // 1,000 replications, asked every 100

  // A full run is cached by (n, T): the second call draws nothing.
  SeedRandom(11);
  draws = 0;
  const double p = ExponentialTestP(4, 0.3, "X", {}, counted);
  EXPECT_EQ(draws, 4 * 1000000);
  EXPECT_GT(p, 0);
  EXPECT_LE(p, 1);
  EXPECT_EQ(ExponentialTestP(4, 0.3, "X", {}, counted), p);
  EXPECT_EQ(draws, 4 * 1000000);

  // The same seed gives the same p-value.
  ResetStatsEngineState();
  SeedRandom(11);
  EXPECT_EQ(ExponentialTestP(4, 0.3, "X"), p);
}

TEST_F(StatsEngineTest, IntervalsCodeFillsTheConfidenceIntervals) {
  // R: t.test(c(1, 2, 4))$conf.int; sqrt(2 * var(x) / qchisq(c(.975, .025), 2))
  std::vector<double> x{4, 1, 2};
  TConfI conf;
  TStatsEngine e(x);
  e.StatsByCode('I', &conf);
  EXPECT_NEAR(conf.m1, -1.46124970026343, 1e-9);
  EXPECT_NEAR(conf.m2, 6.12791636693009, 1e-9);
  EXPECT_NEAR(conf.s1, 0.795318639450612, 1e-9);
  EXPECT_NEAR(conf.s2, 9.60009082311986, 1e-8);
  // One value: no interval (not "5 to 5"), every limit 999.
  std::vector<double> one{5};
  TStatsEngine f(one);
  f.StatsByCode('I', &conf);
  EXPECT_EQ(conf.m1, 999);
  EXPECT_EQ(conf.m2, 999);
  EXPECT_EQ(conf.s1, 999);
  EXPECT_EQ(conf.s2, 999);
}

TEST_F(StatsEngineTest, LoadsTheAnalysisArray) {
  ResetDataState();
  A_Array = {0, 3, 1, 2};
  A_ArrayCount = 3;
  TStatsEngine e;
  e.LoadA_Array();
  e.BasicStats();
  EXPECT_EQ(e.Stats.Median, 2);
  EXPECT_EQ(A_Array[1], 1);  // sorted in place
  ResetDataState();
}

}  // namespace
}  // namespace sorvel
