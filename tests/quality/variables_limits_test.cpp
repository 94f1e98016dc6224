#include "quality/variables_limits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "quality/chart_constants.h"
#include "quality/control_tests.h"

using namespace sorvel;

namespace {

constexpr double M = MissingValue;

// A point table of subgroups as the chart window fills it: mean (or median) in row 1,
// range in row 2, s in row 10, sigma from the range in row 9.
ChartArrayType Subgroups(const std::vector<std::vector<double>>& groups,
                         const std::vector<double>& sets = {}, bool medians = false) {
  ChartArrayType t;
  const int count = static_cast<int>(groups.size());
  t.Resize(count);
  for (int p = 1; p <= count; ++p) {
    std::vector<double> g = groups[static_cast<std::size_t>(p - 1)];
    const auto n = static_cast<int>(g.size());
    double mean = 0;
    for (double x : g) mean += x;
    mean /= n;
    double ss = 0;
    for (double x : g) ss += (x - mean) * (x - mean);
    std::sort(g.begin(), g.end());
    const double median = n % 2 ? g[g.size() / 2] : (g[g.size() / 2 - 1] + g[g.size() / 2]) / 2;
    const double range = g.back() - g.front();
    t(RowSize, p) = n;
    t(RowLocation, p) = medians ? median : mean;
    t(RowDispersion, p) = n > 1 ? range : M;
    t(RowRangeSigma, p) = n > 1 ? range / ConstD2(n) : M;
    t(RowSubgroupSD, p) = n > 1 ? std::sqrt(ss / (n - 1)) : M;
    t(RowMean, p) = mean;
    t(RowLabel, p) = p;
    t(RowSet, p) = sets.empty() ? 0 : sets[static_cast<std::size_t>(p - 1)];
  }
  return t;
}

// Individuals with moving ranges of span 2 within each set.
ChartArrayType Individuals(const std::vector<double>& values,
                           const std::vector<double>& sets = {}) {
  ChartArrayType t;
  const int count = static_cast<int>(values.size());
  t.Resize(count);
  for (int p = 1; p <= count; ++p) {
    const double x = values[static_cast<std::size_t>(p - 1)];
    const double set = sets.empty() ? 0 : sets[static_cast<std::size_t>(p - 1)];
    const bool first = p == 1 || t(RowSet, p - 1) != set;
    t(RowSize, p) = 1;
    t(RowLocation, p) = t(RowMean, p) = x;
    t(RowSet, p) = set;
    const double mr = first ? M : std::fabs(x - t(RowLocation, p - 1));
    t(RowDispersion, p) = mr;
    t(RowRangeSigma, p) = first ? M : mr / ConstD2(2);
    t(RowSubgroupSD, p) = 0;
  }
  return t;
}

TVariablesChartSettings MeanRange() { return {}; }

TVariablesChartSettings XMovingRange() {
  TVariablesChartSettings s;
  s.LocationChart = ChartX;
  s.DispersionChart = ChartMovingRange;
  s.LocationMethod = s.DispersionMethod = MethodAverageMR;
  return s;
}

TEST(CalcVariablesLimitsTest, SubgroupOfOne) {
  ChartArrayType t =
      Subgroups({{10.1, 9.8, 10.4, 9.9, 10.0}, {10.3, 9.7, 10.2, 10.0, 9.6}, {10.5}});
  CalcVariablesLimits(t, 3, MeanRange());
  // H = (5 * 10.04 + 5 * 9.96 + 10.5)/11; sigma = mean(0.6, 0.7)/2.32593.
  for (int p = 1; p <= 3; ++p) EXPECT_NEAR(t(RowLocCL, p), 10.045454545454545, 1e-12);
  EXPECT_NEAR(t(RowLocUCL, 1), 10.42039, 5e-6);
  EXPECT_NEAR(t(RowLocUCL, 2), 10.42039, 5e-6);
  EXPECT_NEAR(t(RowLocUCL, 3), 10.88383, 5e-6);
  // The subgroup of one has no range and no range limits.
  EXPECT_EQ(t(RowDispUCL, 3), M);
  EXPECT_EQ(t(RowDispCL, 3), M);
  EXPECT_NEAR(t(RowDispCL, 1), 0.65, 1e-12);
  EXPECT_NEAR(t(RowDispUCL, 1), 0.65 + 3 * 0.65 / 2.32593 * 0.8641, 1e-12);
  EXPECT_EQ(t(RowDispLCL, 1), M);  // 0.65 - 3 * 0.2417 < 0
  // s² limits need two values too.
  TVariablesChartSettings s2 = MeanRange();
  s2.DispersionChart = ChartVariance;
  s2.DispersionMethod = MethodAverageVariance;
  CalcVariablesLimits(t, 3, s2);
  EXPECT_EQ(t(RowDispUCL, 3), M);
  EXPECT_TRUE(IsPresent(t(RowDispUCL, 1)));
}

TEST(CalcVariablesLimitsTest, TooFewPointsGetNoLimits) {
  ChartArrayType one = Individuals({5});
  CalcVariablesLimits(one, 1, XMovingRange());
  EXPECT_EQ(one(RowLocCL, 1), 5);
  EXPECT_EQ(one(RowLocUCL, 1), M);
  EXPECT_EQ(one(RowDispUCL, 1), M);
  EXPECT_EQ(one(RowLocSigma, 1), M);

  TVariablesChartSettings s = MeanRange();
  s.LocationMethod = MethodAverageMRMeans;
  s.DispersionChart = ChartNone;
  s.DispersionMethod = MethodNone;
  ChartArrayType t = Subgroups({{1, 2, 3}, {2, 3, 4}, {3, 5, 4}, {9, 8, 7}}, {1, 1, 1, 2});
  CalcVariablesLimits(t, 4, s);
  EXPECT_EQ(t(RowLocUCL, 4), M);  // set 2 has one subgroup: no moving range
  // Set 1: means 2, 3, 4; moving ranges 1, 1; sigma 1/1.12838.
  EXPECT_NEAR(t(RowLocUCL, 1), 3 + 3 / 1.12838, 1e-12);
}

TEST(CalcVariablesLimitsTest, ConstantDataHasACentreOnly) {
  ChartArrayType t = Individuals(std::vector<double>(30, 0.1));
  CalcVariablesLimits(t, 30, XMovingRange());
  for (int p = 1; p <= 30; ++p) {
    EXPECT_EQ(t(RowLocCL, p), 0.1);
    EXPECT_EQ(t(RowLocUCL, p), M);
    EXPECT_EQ(t(RowLocLCL, p), M);
  }
  TControlTestSettings all = DefaultControlTestSettings();
  for (auto& c : all.StdCheck) c = true;
  EXPECT_TRUE(RunControlTests(t, 30, LocationTestRows, false, 0, all).empty());
}

TEST(CalcVariablesLimitsTest, EachSetItsOwnLimits) {
  // Sets 1 and 2 of different spread and sizes; set 2's last subgroup is smaller.
  ChartArrayType t = Subgroups(
      {{1, 2, 3}, {2, 4, 3}, {10, 20, 30, 40}, {20, 30, 50, 40}, {30, 45, 40}}, {1, 1, 2, 2, 2});
  CalcVariablesLimits(t, 5, MeanRange());
  const double b1 = 2 / ConstD2(3);
  EXPECT_NEAR(t(RowLocCL, 1), 2.5, 1e-12);
  EXPECT_NEAR(t(RowLocUCL, 2), 2.5 + 3 * b1 / std::sqrt(3.0), 1e-12);
  const double b2 = (30 / ConstD2(4) + 30 / ConstD2(4) + 15 / ConstD2(3)) / 3;
  const double h2 = (100.0 + 140 + 115) / 11;
  EXPECT_NEAR(t(RowLocCL, 3), h2, 1e-12);
  EXPECT_NEAR(t(RowLocUCL, 4), h2 + 3 * b2 / 2, 1e-12);
  EXPECT_NEAR(t(RowLocUCL, 5), h2 + 3 * b2 / std::sqrt(3.0), 1e-12);
  EXPECT_NEAR(t(RowDispCL, 5), b2 * ConstD2(3), 1e-12);
  EXPECT_EQ(t(RowGrandMean, 4), t(RowLocCL, 4));
  // Min and max columns after the last point.
  EXPECT_NEAR(t(RowLocation, 6), 2, 1e-12);
  EXPECT_NEAR(t(RowLocation, 7), 115.0 / 3, 1e-12);
}

TEST(CalcVariablesLimitsTest, SetCodesAreTheValuesPresent) {
  // Codes 1 and 2e9 and an empty set cell: three sets, found without counting up to 2e9.
  ChartArrayType t =
      Individuals({1, 2, 1, 2, 10, 20, 10, 30, 100, 101}, {1, 1, 1, 1, 2e9, 2e9, 2e9, 2e9, M, M});
  CalcVariablesLimits(t, 10, XMovingRange());
  EXPECT_NEAR(t(RowLocCL, 1), 1.5, 1e-12);
  EXPECT_NEAR(t(RowLocCL, 5), 17.5, 1e-12);
  EXPECT_NEAR(t(RowLocCL, 9), 100.5, 1e-12);
  EXPECT_NEAR(t(RowLocUCL, 10), 100.5 + 3 * 1 / 1.12838, 1e-9);
}

TEST(CalcVariablesLimitsTest, MedianChartProcessSigmaWithoutDispersionChart) {
  TVariablesChartSettings s = MeanRange();
  s.LocationChart = ChartMedian;
  s.DispersionChart = ChartNone;
  s.DispersionMethod = MethodNone;
  ChartArrayType t = Subgroups({{9, 10, 11, 12, 10}, {8, 10, 13, 11, 9}}, {}, true);
  EXPECT_FALSE(CalcVariablesLimits(t, 2, s));
  const double sigma = 4 / 2.32593;  // 1.71974
  EXPECT_NEAR(t(RowLocSigma, 1), sigma * std::sqrt(MedianVarFactor(5)), 1e-12);
  EXPECT_NEAR(t(RowProcessSigma, 1), sigma, 1e-12);
  // The median chart's "Average" centre is the grand mean H of the subgroup means.
  EXPECT_NEAR(t(RowLocCL, 1), (10.4 + 10.2) / 2, 1e-12);
}

TEST(CalcVariablesLimitsTest, UserLimitsAndPositiveLimitsOnly) {
  TVariablesChartSettings s = XMovingRange();
  s.LocationMethod = MethodUserDefined;
  s.UCL = 12;
  s.LCL = 8;
  ChartArrayType t = Individuals({10, 11, 9, 10});
  CalcVariablesLimits(t, 4, s);
  EXPECT_NEAR(t(RowLocSigma, 2), (12 - 8) / 6.0, 1e-15);
  EXPECT_EQ(t(RowLocCL, 2), M);
  EXPECT_EQ(t(RowLocUCL, 3), 12);
  EXPECT_TRUE(IsPresent(t(RowDispUCL, 3)));  // the moving range is still computed
  s.CL = 10;
  s.LCL = M;
  CalcVariablesLimits(t, 4, s);
  EXPECT_NEAR(t(RowLocSigma, 2), 2 / 3.0, 1e-15);

  TVariablesChartSettings p = XMovingRange();
  p.PositiveLimitsOnly = true;
  ChartArrayType low = Individuals({0.5, 3, 0.2, 2.5});
  CalcVariablesLimits(low, 4, p);
  EXPECT_EQ(low(RowLocLCL, 1), M);
  p.PositiveLimitsOnly = false;
  CalcVariablesLimits(low, 4, p);
  EXPECT_LT(low(RowLocLCL, 1), 0);
}

TEST(CalcVariablesLimitsTest, StdDevChartWithKnownSigmaCentresLimitsOnC4Sigma) {
  TVariablesChartSettings s = MeanRange();
  s.DispersionChart = ChartStdDev;
  s.DispersionMethod = MethodKnownSigma;
  s.DispersionCentre = 6;
  s.Sigma0 = 2;
  ChartArrayType t = Subgroups({{1, 2, 3, 4, 5}, {2, 3, 4, 5, 6}});
  EXPECT_TRUE(CalcVariablesLimits(t, 2, s));
  const double c4 = ConstC4(5);
  EXPECT_EQ(t(RowDispCL, 1), 2);
  EXPECT_NEAR(t(RowDispUCL, 1), 2 * c4 + 3 * 2 * std::sqrt(1 - c4 * c4), 1e-12);
  EXPECT_EQ(t(RowProcessSigma, 1), 2);
}

TEST(SpecLimitsTest, TextsAndFlags) {
  SetSpecLimits(M, 10, 12.5);
  const TSpecLimits& h = SpecLimits();
  EXPECT_EQ(h.USLText, "12.5");
  EXPECT_EQ(h.LSLText, "");
  EXPECT_TRUE(h.AnySpec);
  EXPECT_TRUE(h.HasLimit);
  EXPECT_FALSE(h.TwoSided);
  EXPECT_TRUE(h.SpecsOrdered);
  SetSpecLimits(1, M, 3);
  EXPECT_TRUE(SpecLimits().TwoSided);
  EXPECT_EQ(SpecLimits().SpecWidth, 2);
  SetSpecLimits(3, M, 1);
  EXPECT_FALSE(SpecLimits().SpecsOrdered);
  // A lone limit is ordered, on either side.
  SetSpecLimits(M, M, 5);
  EXPECT_TRUE(SpecLimits().SpecsOrdered);
  SetSpecLimits(5, M, M);
  EXPECT_TRUE(SpecLimits().SpecsOrdered);
  SetSpecLimits(M, 5, M);
  EXPECT_FALSE(SpecLimits().SpecsOrdered);
  EXPECT_FALSE(SpecLimits().HasLimit);
}

}  // namespace
