#include "quality/attributes_limits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "quality/variables_setup.h"

using namespace sorvel;

namespace {

constexpr double M = MissingValue;

TAttrTable Table(int type, const std::vector<double>& counts, const std::vector<double>& sizes,
                 const std::vector<double>& sets = {}) {
  TAttrTable t;
  t.Clear();
  for (std::size_t i = 0; i < counts.size(); ++i)
    t.AddPoint(type, counts[i], sizes[i], static_cast<double>(i + 1), sets.empty() ? 0 : sets[i]);
  return t;
}

TAttrSettings Settings(int type, int method, int centre = AttrCentreMean) {
  TAttrSettings s;
  s.Type = type;
  s.Method = method;
  s.Centre = centre;
  return s;
}

std::string Codes(const TAttrTable& t) {
  std::string out;
  for (int p = 1; p <= t.Count; ++p) out += (p > 1 ? "," : "") + PointCodes(0, p);
  return out;
}

bool Missing(double x) { return !IsPresent(x); }

}  // namespace

// p̄ = 10 / 250 = 0.04 at n = 50.
// R: qbinom(pnorm(-3), 50, .04, lower.tail = FALSE) = 7, so P(X >= 8) < e <= P(X >= 7)
// and the UCL is 7.5/50; dbinom(0, 50, .04) = 0.1299 > e: no LCL.
// Normal: .04 + 3*sqrt(.04*.96/50) = 0.1231384388; the LCL is negative: none.
TEST(AttributeLimits, PChartExactAndNormal) {
  TAttrTable t = Table(AttrP, {1, 3, 2, 2, 2}, {50, 50, 50, 50, 50});
  CalcAttributeLimits(t, Settings(AttrP, AttrExact));
  for (int p = 1; p <= 5; ++p) {
    EXPECT_DOUBLE_EQ(t(AttrRowCL, p), 0.04);
    EXPECT_DOUBLE_EQ(t(AttrRowUCL, p), 7.5 / 50);
    EXPECT_TRUE(Missing(t(AttrRowLCL, p)));
    EXPECT_NEAR(t(AttrRowSigma, p), std::sqrt(.04 * .96 / 50), 1e-12);
  }
  EXPECT_EQ(AttrLimitSummary(t, Settings(AttrP, AttrExact)),
            (std::vector<std::string>{"       UCL = 0.1500         Exact Binomial Limits",
                                      "Centerline = 0.04000        Centerline from Mean",
                                      "       LCL = none           (3) Sigma Limits"}));
  CalcAttributeLimits(t, Settings(AttrP, AttrNormal));
  EXPECT_NEAR(t(AttrRowUCL, 5), 0.1231384388, 1e-9);
  EXPECT_TRUE(Missing(t(AttrRowLCL, 5)));
  EXPECT_EQ(AttrLimitSummary(t, Settings(AttrP, AttrNormal))[0],
            "       UCL = 0.1231         Normal Approximation Limits");
}

// Sizes 50, 50, 100, 100, 50 with p̄ = 22/350: the limits step with n, and points of one
// n share them. R: qbinom(pnorm(-3), 50, 22/350, lower.tail = FALSE) = 9 -> 9.5/50;
// with n = 100: 15 -> 15.5/100; qbinom(pnorm(-3), n, 22/350) = 0: no LCL.
TEST(AttributeLimits, SteppedLimitsFollowTheSampleSize) {
  TAttrTable t = Table(AttrP, {3, 5, 2, 8, 4}, {50, 50, 100, 100, 50});
  CalcAttributeLimits(t, Settings(AttrP, AttrExact));
  const std::vector<double> ucl{9.5 / 50, 9.5 / 50, 15.5 / 100, 15.5 / 100, 9.5 / 50};
  for (int p = 1; p <= 5; ++p)
    EXPECT_DOUBLE_EQ(t(AttrRowUCL, p), ucl[static_cast<std::size_t>(p - 1)]) << p;
  // np: the centre and limits are counts, n times the proportion's.
  // R: qbinom(pnorm(-3), 50, 25/350, lower.tail = FALSE) = 10 -> UCL 10.5.
  TAttrTable np = Table(AttrNP, {3, 5, 5, 8, 4}, {50, 50, 100, 100, 50});
  CalcAttributeLimits(np, Settings(AttrNP, AttrExact));
  EXPECT_NEAR(np(AttrRowCL, 3), 100 * 25.0 / 350, 1e-12);
  EXPECT_NEAR(np(AttrRowUCL, 1), 10.5, 1e-12);
}

// Methods 3 .. 5 take D from the plotted values of the set. R, v =
// c(3,5,2,8,4)/c(50,100,50,100,50): mean(abs(diff(v)))/1.12838 = 0.013293394069,
// median(abs(diff(v)))/0.954 = 0.010482180294, sd(v) = 0.017888543820; p̄ = 22/350.
TEST(AttributeLimits, SpreadOfThePlottedValues) {
  const struct {
    int Method;
    double D;
    const char* Text;
  } cases[] = {{AttrAverageMR, 0.013293394069, "Std Error from Avg MR"},
               {AttrMedianMR, 0.010482180294, "Std Error from Median MR"},
               {AttrStdDev, 0.017888543820, "Std Error from Std Dev"}};
  for (const auto& c : cases) {
    TAttrTable t = Table(AttrP, {3, 5, 2, 8, 4}, {50, 100, 50, 100, 50});
    const TAttrSettings s = Settings(AttrP, c.Method);
    CalcAttributeLimits(t, s);
    const double pbar = 22.0 / 350;
    EXPECT_NEAR(t(AttrRowSigma, 2), c.D, 1e-11) << c.Text;
    EXPECT_NEAR(t(AttrRowUCL, 2), pbar + 3 * c.D, 1e-11) << c.Text;
    EXPECT_NEAR(t(AttrRowLCL, 2), pbar - 3 * c.D, 1e-11) << c.Text;
    EXPECT_NE(AttrLimitSummary(t, s)[0].find(c.Text), std::string::npos);
  }
}

// Method 3 whose UCL reaches 1 on a p chart: no UCL, and the summary says so.
TEST(AttributeLimits, SpreadUclOfOneIsNone) {
  TAttrTable t = Table(AttrP, {1, 9, 1, 9}, {10, 10, 10, 10});
  const TAttrSettings s = Settings(AttrP, AttrAverageMR);
  CalcAttributeLimits(t, s);
  EXPECT_TRUE(Missing(t(AttrRowUCL, 4)));
  EXPECT_TRUE(Missing(t(AttrRowLCL, 4)));
  EXPECT_EQ(AttrLimitSummary(t, s)[0], "       UCL = none           Std Error from Avg MR");
}

TEST(AttributeLimits, CentreOnlyAndUserCentreOnly) {
  TAttrTable t = Table(AttrC, {2, 4, 6}, {1, 1, 1});
  CalcAttributeLimits(t, Settings(AttrC, AttrCentreOnly, AttrCentreMedian));
  EXPECT_DOUBLE_EQ(t(AttrRowCL, 1), 4);
  EXPECT_TRUE(Missing(t(AttrRowUCL, 1)) && Missing(t(AttrRowLCL, 1)) &&
              Missing(t(AttrRowSigma, 1)));
  EXPECT_EQ(AttrLimitSummary(t, Settings(AttrC, AttrCentreOnly, AttrCentreMedian)),
            (std::vector<std::string>{"Centerline = 4.000          Centerline from Median"}));

  TAttrSettings user = Settings(AttrC, AttrUserDefined);
  user.CL = 3;
  CalcAttributeLimits(t, user);
  EXPECT_DOUBLE_EQ(t(AttrRowCL, 2), 3);
  EXPECT_TRUE(Missing(t(AttrRowSigma, 2)));
  EXPECT_EQ(AttrLimitSummary(t, user),
            (std::vector<std::string>{"       UCL = none           User Defined Limits",
                                      "Centerline = 3.000",
                                      "       LCL = none           (3) Sigma Limits"}));
  user.UCL = 9;
  user.LCL = 1;
  CalcAttributeLimits(t, user);
  EXPECT_DOUBLE_EQ(t(AttrRowSigma, 3), (9.0 - 1) / 6);
  EXPECT_EQ(AttrLimitSummary(Table(AttrC, {1}, {1}), Settings(AttrC, AttrNoLimits)),
            (std::vector<std::string>{"No Limits Requested"}));
}

// c̄ = 1: UCL 5.5 (qpois(pnorm(-3), 1, lower.tail = FALSE) = 5) and no LCL; u with the
// constant size 1 is the same chart.
TEST(AttributeLimits, PoissonLimits) {
  for (int type : {AttrC, AttrU}) {
    TAttrTable t = Table(type, {0, 1, 2, 1}, {1, 1, 1, 1});
    CalcAttributeLimits(t, Settings(type, AttrExact));
    EXPECT_DOUBLE_EQ(t(AttrRowUCL, 1), 5.5);
    EXPECT_TRUE(Missing(t(AttrRowLCL, 1)));
  }
}

// Sets get their own limits; the set numbers are those present, however far apart, and
// an empty set cell is a set of its own.
TEST(AttributeLimits, SetsPresentOnly) {
  TAttrTable t = Table(AttrC, {2, 2, 10, 10, 5, 5}, {1, 1, 1, 1, 1, 1}, {1, 1, 2e9, 2e9, M, M});
  CalcAttributeLimits(t, Settings(AttrC, AttrCentreOnly));
  EXPECT_DOUBLE_EQ(t(AttrRowCL, 1), 2);
  EXPECT_DOUBLE_EQ(t(AttrRowCL, 3), 10);
  EXPECT_DOUBLE_EQ(t(AttrRowCL, 6), 5);
}

// Points without a usable sample size have no statistic and no limits; a refused point
// (n = 1 on a p chart) has no limits; their neighbours keep their own.
TEST(AttributeLimits, PointsWithoutUsableSampleSize) {
  // u chart, sizes 10, empty, 12, normal approximation.
  TAttrTable u = Table(AttrU, {3, 4, 2}, {10, M, 12});
  CalcAttributeLimits(u, Settings(AttrU, AttrNormal));
  EXPECT_TRUE(Missing(u(AttrRowStat, 2)));
  EXPECT_TRUE(Missing(u(AttrRowUCL, 2)) && Missing(u(AttrRowCL, 2)));
  const double ubar = 5.0 / 22;
  EXPECT_NEAR(u(AttrRowUCL, 3), ubar + 3 * std::sqrt(ubar / 12), 1e-12);
  EXPECT_NEAR(u(AttrRowUCL, 1), ubar + 3 * std::sqrt(ubar / 10), 1e-12);

  // p chart 3, 0, 2 of 50, 0, 50.
  TAttrTable zero = Table(AttrP, {3, 0, 2}, {50, 0, 50});
  CalcAttributeLimits(zero, Settings(AttrP, AttrExact));
  EXPECT_TRUE(Missing(zero(AttrRowStat, 2)) && Missing(zero(AttrRowUCL, 2)));
  EXPECT_DOUBLE_EQ(zero(AttrRowCL, 1), 0.05);
  EXPECT_TRUE(IsPresent(zero(AttrRowUCL, 3)));

  // p chart 2, 1, 3 of 50, 1, 50: point 2 (p = 1) has no limits and no "O".
  TAttrTable one = Table(AttrP, {2, 1, 3}, {50, 1, 50});
  CalcAttributeLimits(one, Settings(AttrP, AttrExact));
  EXPECT_TRUE(Missing(one(AttrRowUCL, 2)) && Missing(one(AttrRowSigma, 2)));
  EXPECT_TRUE(IsPresent(one(AttrRowUCL, 1)) && IsPresent(one(AttrRowUCL, 3)));
  RunAttributeTests(one, DefaultControlTestSettings());
  EXPECT_EQ(Codes(one), ",,");
}

// Every lot defective: the centre is 1, there are no limits and nothing is flagged.
TEST(AttributeLimits, ProportionOfOne) {
  for (int method : {AttrExact, AttrNormal}) {
    TAttrTable t = Table(AttrP, {5, 5, 5}, {5, 5, 5});
    CalcAttributeLimits(t, Settings(AttrP, method));
    for (int p = 1; p <= 3; ++p) {
      EXPECT_DOUBLE_EQ(t(AttrRowCL, p), 1);
      EXPECT_TRUE(Missing(t(AttrRowUCL, p)) && Missing(t(AttrRowLCL, p)));
    }
    RunAttributeTests(t, DefaultControlTestSettings());
    EXPECT_EQ(Codes(t), ",,");
  }
}

// Counts 0: the routine's status 10 leaves a centre of 0 and no limits.
TEST(AttributeLimits, AllZeroCounts) {
  TAttrTable t = Table(AttrC, {0, 0, 0}, {1, 1, 1});
  CalcAttributeLimits(t, Settings(AttrC, AttrExact));
  EXPECT_DOUBLE_EQ(t(AttrRowCL, 2), 0);
  EXPECT_TRUE(Missing(t(AttrRowUCL, 2)) && Missing(t(AttrRowLCL, 2)));
}

// The first window of a test is checked too: point 1 has no sample size and so no
// statistic, and the rising counts after it are five, not six.
TEST(AttributeLimits, FirstWindowWithoutStatisticGivesNoTrend) {
  TAttrTable t = Table(AttrNP, {1, 1, 2, 3, 4, 5}, {0, 50, 50, 50, 50, 50});
  CalcAttributeLimits(t, Settings(AttrNP, AttrExact));
  RunAttributeTests(t, DefaultControlTestSettings());
  EXPECT_EQ(Codes(t).find('T'), std::string::npos);
  // With a usable first point the same counts make a trend of six.
  TAttrTable full = Table(AttrNP, {0, 1, 2, 3, 4, 5}, {50, 50, 50, 50, 50, 50});
  CalcAttributeLimits(full, Settings(AttrNP, AttrExact));
  RunAttributeTests(full, DefaultControlTestSettings());
  EXPECT_NE(PointCodes(0, 6).find('T'), std::string::npos);
}

TEST(AttributeSetup, Messages) {
  TAttrSetupChoices base;
  base.Measures = 1;
  base.SampleSizeColumn = 2;
  const struct {
    const char* Name;
    void (*Change)(TAttrSetupChoices&);
    const char* Error;
    bool Beep;
  } cases[] = {
      {"valid", [](TAttrSetupChoices&) {}, "", false},
      {"Pi below 0",
       [](TAttrSetupChoices& c) {
         c.Centre = AttrCentreKnown;
         c.Parameter = "-0.1";
       },
       KnownParameterNotValidMessage, false},
      {"Pi of 1",
       [](TAttrSetupChoices& c) {
         c.Centre = AttrCentreKnown;
         c.Parameter = "1";
       },
       KnownParameterNotValidMessage, false},
      {"Pi unreadable",
       [](TAttrSetupChoices& c) {
         c.Centre = AttrCentreKnown;
         c.Parameter = "x";
       },
       KnownParameterNotValidMessage, false},
      {"Lambda -2",
       [](TAttrSetupChoices& c) {
         c.Type = AttrC;
         c.Centre = AttrCentreKnown;
         c.Parameter = "-2";
       },
       KnownParameterNotValidMessage, false},
      {"Lambda 2.5 is fine",
       [](TAttrSetupChoices& c) {
         c.Type = AttrU;
         c.Centre = AttrCentreKnown;
         c.Parameter = "2.5";
       },
       "", false},
      {"Std Err 0", [](TAttrSetupChoices& c) { c.StdErr = "0"; }, StdErrNotValidMessage, false},
      {"Std Err -1", [](TAttrSetupChoices& c) { c.StdErr = "-1"; }, StdErrNotValidMessage, false},
      {"Std Err unused by Centerline Only",
       [](TAttrSetupChoices& c) {
         c.StdErr = "0";
         c.Method = AttrCentreOnly;
       },
       "", false},
      {"user LCL above CL",
       [](TAttrSetupChoices& c) {
         c.Method = AttrUserDefined;
         c.UseCL = c.UseLCL = true;
         c.CL = "2";
         c.LCL = "3";
       },
       UserLimitsNotValidMessage, false},
      {"user UCL unreadable",
       [](TAttrSetupChoices& c) {
         c.Method = AttrUserDefined;
         c.UseUCL = true;
         c.UCL = "a";
       },
       UserLimitsNotValidMessage, false},
      {"no sample size", [](TAttrSetupChoices& c) { c.SampleSizeColumn = 0; },
       SampleSizeNotGivenMessage, false},
      {"constant unreadable",
       [](TAttrSetupChoices& c) {
         c.SampleSizeColumn = 0;
         c.ConstantSampleSize = true;
         c.SampleSize = "";
       },
       SampleSizeNotGivenMessage, false},
      {"no measures", [](TAttrSetupChoices& c) { c.Measures = 0; }, "", true},
      {"reference without groups",
       [](TAttrSetupChoices& c) {
         c.ReferencePage = true;
         c.MeasureColumn = 1;
       },
       "", true},
  };
  for (const auto& c : cases) {
    TAttrSetupChoices choices = base;
    c.Change(choices);
    const TAttrSetupResult r = ValidateAttrSetup(choices);
    EXPECT_EQ(r.Error, c.Error) << c.Name;
    EXPECT_EQ(r.Beep, c.Beep) << c.Name;
  }
  // A known parameter is only read when the limits use it.
  TAttrSetupChoices user = base;
  user.Centre = AttrCentreKnown;
  user.Method = AttrUserDefined;
  EXPECT_EQ(ValidateAttrSetup(user).Error, "");
}
