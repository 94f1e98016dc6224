#include "quality/control_limits.h"

#include <gtest/gtest.h>

#include <cmath>

#include "numerics/common.h"
#include "quality/chart_constants.h"

using namespace sorvel;

namespace {

using C = TChartType;
constexpr double None = -999;  // "not checked" in the table below

struct TLimitCase {
  const char* what;
  C chart;
  int source;
  double centre, statistic, k, n;
  int status;
  double ucl, cl, lcl, sigma;
};

// Reference values from R 4.2.2, e = pnorm(-3):
//   binomial limits (qbinom(e, n, p, lower.tail = FALSE) + 0.5)/n and (qbinom(e, n, p) - 0.5)/n
//   Poisson limits qpois(e, m, lower.tail = FALSE) + 0.5 and qpois(e, m) - 0.5
//   s²: qchisq(c(e, .5, 1 - e), 4, lower.tail = FALSE)/4
//   c4(5) = exp(0.5*log(2/4) + lgamma(2.5) - lgamma(2))
const TLimitCase Cases[] = {
    // X-Bar from the tabulated d2: 2.326/2.32593 = 1.00003009549, 10 + 3*s/sqrt(5).
    {"x-bar average range", C::XBar, 1, 10, 2.326, 3, 5, 0, 11.3416811638, 10,
     10 - 3 * 1.00003009549 / std::sqrt(5.0), 1.00003009549},
    {"median average range", C::Median, 1, 10, 2.326, 3, 5, 0, 11.6067539762, 10, None,
     1.00003009549},
    {"median known sigma, n 1 refused", C::Median, 9, 10, 1, 3, 1, SampleSizeTooSmall, None, None,
     None, None},
    {"x-bar std dev of means", C::XBar, 8, 0, 0.5, 3, 4, 0, 1.5, 0, -1.5, 1},
    {"x average mr", C::X, 1, 0, 1.12838, 3, 2, 0, 3, 0, -3, 1},
    {"x known sigma needs no n", C::X, 4, 5, 2, 3, 0, 0, 11, 5, -1, 2},
    {"x std dev of k values", C::X, 3, 0, 0.939985602986625, 3, 5, 0, 3, 0, -3, 1},
    {"r average range n 2", C::R, 1, 0, 1, 3, 2, NoLowerLimit, 3.26652368883, 1, 0, 1 / 1.12838},
    {"s known sigma: limits on c4 sigma", C::S, 6, 0, 2, 3, 5, NoLowerLimit, 3.92725584236,
     1.87997120597, 0, 2},
    {"s2 probability limits", C::S2, 6, 0, 1, 3, 5, 0, 4.45014515081, 0.839173495008,
     0.0264407616618, 1},
    {"s2 average variance", C::S2, 5, 0, 4, 3, 5, 0, 4 * 4.45014515081, 4 * 0.839173495008,
     4 * 0.0264407616618, 2},
    {"p approximate: last status wins", C::P, 1, 0, 0.5, 3, 4, NoLowerLimit, 1, 0.5, 0, 0.25},
    {"p exact upper beyond n", C::P, 2, 0, 0.5, 3, 4, NoLowerLimit, 1, 0.5, 0, 0.25},
    {"p of one", C::P, 1, 0, 1, 3, 10, SizeOutsideTable, None, None, None, None},
    {"p exact", C::P, 2, 0, 0.04, 3, 50, NoLowerLimit, 0.15, 0.04, 0, None},
    {"np exact", C::NP, 2, 0, 2, 3, 50, NoLowerLimit, 7.5, 2, 0, None},
    {"c exact 1", C::C, 2, 0, 1, 3, 1, NoLowerLimit, 5.5, 1, 0, 1},
    {"c exact 10", C::C, 2, 0, 10, 3, 1, 0, 21.5, 10, 1.5, std::sqrt(10.0)},
    {"c approximate", C::C, 1, 0, 16, 3, 1, 0, 28, 16, 4, 4},
    {"p exact large n", C::P, 2, 0, 0.01, 3, 1e7, 0, 0.01009455, 0.01, 0.00990565, None},
    {"c exact large count", C::C, 2, 0, 2e5, 3, 1, 0, 201343.5, 2e5, 198659.5, None},
    // The exact binomial walk stops at 0 (it once went below and gave -48.66).
    {"p exact small p", C::P, 2, 0, 0.001, 3, 10, NoLowerLimit, 0.15, 0.001, 0, None},
    {"p exact one defective in 440", C::P, 2, 0, 1.0 / 440, 3, 22, NoLowerLimit, 1.5 / 22, None, 0,
     None},
    // Units are not rounded: 2 + 3*sqrt(2/0.4), (qpois(e, 0.8, lower.tail = FALSE) + 0.5)/0.4.
    {"u fractional units", C::U, 1, 0, 2, 3, 0.4, NoLowerLimit, 8.7082039325, 2, 0,
     std::sqrt(0.8) / 0.4},
    {"u fractional units exact", C::U, 2, 0, 2, 3, 0.4, NoLowerLimit, 13.75, 2, 0, None},
    {"u 1.4 units", C::U, 1, 0, 2, 3, 1.4, NoLowerLimit, 5.585685828, 2, 0, None},
    {"u no units", C::U, 2, 0, 2, 3, 0, ZeroSampleSize, None, None, None, None},
    // Sizes past 16 bits: d2(65536) = 8.58225863180233 (R integrate, see the constants' test).
    {"r huge n", C::R, 1, 0, 5, 3, 65536, 0, None, 5, None, 5 / 8.58225863180233},
    {"zero statistic", C::XBar, 1, 10, 0, 3, 5, ZeroStatistic, None, None, None, None},
    {"zero multiplier", C::XBar, 1, 10, 1, 0, 5, ZeroStatistic, None, None, None, None},
    {"zero n", C::R, 1, 0, 1, 3, 0, ZeroSampleSize, None, None, None, None},
    {"n of one", C::P, 1, 0, 0.1, 3, 1.4, SampleSizeTooSmall, None, None, None, None},
    {"unknown source", C::R, 7, 0, 1, 3, 5, 2, None, None, None, None},
};

TEST(CalcControlLimitsTest, Table) {
  for (const TLimitCase& c : Cases) {
    SCOPED_TRACE(c.what);
    TControlLimits out;
    out.Centre = c.centre;
    out.UCL = out.LCL = out.Sigma = 12345;
    const int status = CalcControlLimits(c.chart, c.source, c.statistic, c.k, c.n, out);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(StatError, c.status);
    auto near = [](double actual, double expected) {
      if (expected != None) {
        EXPECT_NEAR(actual, expected, 1e-8 * std::max(1.0, std::fabs(expected)));
      }
    };
    if (c.status > 0) {
      // A zero statistic or multiplier writes nothing.
      if (c.status == ZeroStatistic) {
        EXPECT_EQ(out.UCL, 12345);
      }
      continue;
    }
    near(out.UCL, c.ucl);
    near(out.Centre, c.cl);
    near(out.LCL, c.lcl);
    near(out.Sigma, c.sigma);
  }
}

TEST(CalcControlLimitsTest, OneFractionOfAUnitIsNotOneUnit) {
  TControlLimits a, b;
  CalcControlLimits(C::U, 1, 2, 3, 1.4, a);
  CalcControlLimits(C::U, 1, 2, 3, 1, b);
  EXPECT_NE(a.UCL, b.UCL);
}

}  // namespace
