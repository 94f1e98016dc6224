#include "quality/chart_constants.h"

#include <gtest/gtest.h>

#include <cmath>

#include "numerics/common.h"

using namespace sorvel;

namespace {

// Exact constants, R 4.2.2:
//   d2: 2 * integrate(function(x) 1 - pnorm(x)^n - pnorm(-x)^n, 0, 10, subdivisions = 2000,
//       rel.tol = 1e-12)$value
//   d3: sqrt(2 * (double integrate over y < x of 1 - pnorm(x)^n - pnorm(y, lower.tail =
//       FALSE)^n + (pnorm(x) - pnorm(y))^n) - d2^2), nested integrate, rel.tol 1e-11
//   c4: exp(0.5 * log(2 / (n - 1)) + lgamma(n / 2) - lgamma((n - 1) / 2))
struct TExactConstants {
  int n;
  double d2, d3, c4;
};
const TExactConstants Exact[] = {
    {31, 4.11292819527639, 0.689901920520797, 0.991702821009583},
    {50, 4.49814725877971, 0.652142588430121, 0.994911304669722},
    {100, 5.01518727288337, 0.605179109487945, 0.997477976071213},
    {1000, 6.48287153826688, 0.496735185780834, 0.999749781101107},
};

class ChartConstantsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetChartConstantCaches();
    StatError = 0;
  }
};

TEST_F(ChartConstantsTest, LargeSubgroupsMatchTheExactIntegrals) {
  for (const TExactConstants& e : Exact) {
    SCOPED_TRACE(e.n);
    EXPECT_NEAR(ConstD2(e.n), e.d2, 1e-10 * e.d2);
    // d3 comes from a 0.01 grid with a tabulated normal: about 2.5e-5 off by design.
    EXPECT_NEAR(ConstD3(e.n), e.d3, 5e-5);
    EXPECT_NEAR(ConstC4(e.n), e.c4, 1e-10 * e.c4);
    EXPECT_EQ(StatError, 0);
  }
}

TEST_F(ChartConstantsTest, SizesBeyondSixteenBitsAreTheirOwnSize) {
  // R: integrate(function(x) 1 - pnorm(x)^n - pnorm(-x)^n, -10, 10) for n = 65536, 70000:
  // 8.58225863180233 and 8.61156805978177 (a 16-bit size would read 0 and 4464).
  EXPECT_NEAR(ConstD2(65536), 8.58225863180233, 1e-9);
  EXPECT_NEAR(ConstD2(70000), 8.61156805978177, 1e-9);
  EXPECT_NEAR(SigmaFromRange(5, 65536), 5 / 8.58225863180233, 1e-10);
}

TEST_F(ChartConstantsTest, TablesBelowThirtyOne) {
  EXPECT_EQ(ConstD2(5), 2.32593);
  EXPECT_EQ(ConstD3(5), 0.8641);
  EXPECT_EQ(ConstD2Median(2), 0.9539);
  EXPECT_EQ(ConstD2(30), 4.08552);
  EXPECT_EQ(MedianVarFactor(2), 0.5);
  EXPECT_NEAR(ConstC4(2), 0.7978845608, 1e-10);  // sqrt(2/pi)
  EXPECT_EQ(StatError, 0);
}

TEST_F(ChartConstantsTest, MedianVarianceFactor) {
  // R: integrate(function(x) x^2 * dbeta(pnorm(x), 3, 3) * dnorm(x), -Inf, Inf) =
  // 0.286833661605871 (the table's entry once read 0.28668336616).
  EXPECT_NEAR(MedianVarFactor(5), 0.286833661605871, 1e-10);
  EXPECT_DOUBLE_EQ(MedianVarFactor(25), M_PI / 50);
  // The asymptotic form from 21 on is kept: it exceeds the exact factor of 20.
  EXPECT_GT(MedianVarFactor(21), MedianVarFactor(20));
}

TEST_F(ChartConstantsTest, MedianRangeAboveTheTableFollowsD2) {
  const double d = ConstD2(31);
  const double poly = 1.5678783e-05 * std::pow(d, 5) - 0.00052043421 * std::pow(d, 4) +
                      0.006798329575 * std::pow(d, 3) - 0.043371568875 * d * d +
                      1.135844528837 * d - 0.215703930721;
  EXPECT_NEAR(ConstD2Median(31), poly, 1e-12);
  EXPECT_GT(ConstD2Median(31), ConstD2Median(30));
}

TEST_F(ChartConstantsTest, EachSizeIsIntegratedOnce) {
  ConstD2(31);
  EXPECT_EQ(ChartConstantIntegrations(), 1);
  const double first = ConstD2(31);
  EXPECT_EQ(ChartConstantIntegrations(), 1);
  // Alternating sizes keep both entries.
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(ConstD2(i % 2 ? 32 : 31), i % 2 ? ConstD2(32) : first);
  }
  EXPECT_EQ(ChartConstantIntegrations(), 2);
  ConstD3(31);
  ConstD3(32);
  ConstD3(31);
  EXPECT_EQ(ChartConstantIntegrations(), 4);
}

TEST_F(ChartConstantsTest, SizesBelowTwo) {
  for (auto f : {ConstD2, ConstD3, ConstD2Median, ConstC4, MedianVarFactor}) {
    StatError = 0;
    EXPECT_EQ(f(1), 0);
    EXPECT_EQ(StatError, SizeOutsideTable);
  }
  for (auto f : {SigmaFromRange, SigmaFromMedianRange, SigmaFromS, SigmaFromMedianS, RangeSD}) {
    StatError = 0;
    EXPECT_EQ(f(2.0, 1), MissingValue);
    EXPECT_EQ(StatError, SizeOutsideTable);
    StatError = 0;
    EXPECT_EQ(f(2.0, 0), MissingValue);
  }
  StatError = 0;
  EXPECT_EQ(MedianSE(2.0, 1), 2.0);  // the median of one value is the value
  EXPECT_EQ(StatError, 0);
}

TEST_F(ChartConstantsTest, Conversions) {
  EXPECT_NEAR(SigmaFromRange(2.326, 5), 2.326 / 2.32593, 1e-15);
  EXPECT_NEAR(SigmaFromMedianRange(2.2569, 5), 1, 1e-15);
  EXPECT_NEAR(SigmaFromS(ConstC4(5), 5), 1, 1e-15);
  // Median of s is sigma * sqrt(qchisq(0.5, 4) / 4); R: qchisq(0.5, 4) = 3.35669398003332
  EXPECT_NEAR(SigmaFromMedianS(std::sqrt(3.35669398003332 / 4), 5), 1, 1e-10);
  EXPECT_NEAR(RangeSD(1, 5), 0.8641, 1e-15);
  EXPECT_NEAR(MedianSE(2, 5), 2 * std::sqrt(0.2868336616), 1e-15);
}

TEST(ControlStatusTest, Texts) {
  EXPECT_STREQ(ControlStatusText(SizeOutsideTable), "Sample size outside table range");
  EXPECT_STREQ(ControlStatusText(ZeroSampleSize), "Zero sample size");
  EXPECT_STREQ(ControlStatusText(SampleSizeTooSmall), "Sample size must be larger than 1");
  EXPECT_STREQ(ControlStatusText(ZeroStatistic), "Statistic = 0");
  EXPECT_STREQ(ControlStatusText(3), " Error");
  EXPECT_STREQ(ControlStatusText(NoLowerLimit), "");
}

}  // namespace
