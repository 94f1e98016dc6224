#include "numerics/distributions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "numerics/common.h"
#include "numerics_fixture.h"

namespace sorvel {
namespace {

constexpr double Pi = 3.14159265358979323846;

class Distributions : public TNumericsTest {};

TEST_F(Distributions, TailConversions) {
  EXPECT_DOUBLE_EQ(TailFold(0.7, 2), 0.6);  // 1.4 folded to 2 - 1.4
  EXPECT_DOUBLE_EQ(TailFold(0.2, 2), 0.4);
  EXPECT_DOUBLE_EQ(TailFold(0.7, 1), 0.7);
  EXPECT_DOUBLE_EQ(TailToUpper(0.8, 2), 0.9);
  EXPECT_DOUBLE_EQ(TailToUpper(0.05, 2), 0.025);
  EXPECT_DOUBLE_EQ(TailToUpper(-0.05, 1), 0.05);
  // A two-tailed quantile of a probability above 0.5 is negative.
  EXPECT_LT(NormalQuantile(0.8, 2), 0);
}

TEST_F(Distributions, NormalTailAgainstReference) {
  // R 4.2.2: z <- c(-3, -1, -0.5, 0, 0.5, 1, 1.645, 1.96, 2.5, 3, 4, 6);
  //   sprintf("%.17g", pnorm(z, lower.tail=FALSE)); sprintf("%.17g", 2*pnorm(abs(z),
  //   lower.tail=FALSE))
  struct Case {
    double z, upper, twoTailed;
  };
  const Case cases[] = {
      {-3, 0.9986501019683699, 0.0026997960632601892},
      {-1, 0.84134474606854293, 0.31731050786291409},
      {-0.5, 0.69146246127401301, 0.61707507745197387},
      {0, 0.5, 1},
      {0.5, 0.30853753872598694, 0.61707507745197387},
      {1, 0.15865525393145705, 0.31731050786291409},
      {1.645, 0.049984905539121369, 0.099969811078242737},
      {1.96, 0.024997895148220428, 0.049995790296440856},
      {2.5, 0.0062096653257761349, 0.01241933065155227},
      {3, 0.0013498980316300946, 0.0026997960632601892},
      {4, 3.1671241833119924e-05, 6.3342483666239849e-05},
      {6, 9.8658764503769809e-10, 1.9731752900753962e-09},
      // R 4.2.2: sprintf("%.17g", c(pnorm(8, lower.tail=FALSE), 2*pnorm(-8), pnorm(8)))
      {8, 6.2209605742717849e-16, 1.244192114854357e-15},
      {-8, 0.99999999999999933, 1.244192114854357e-15},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("z = " + std::to_string(c.z));
    // Abramowitz & Stegun 26.2.17: absolute error below 7.5e-8 (doubled for two tails).
    EXPECT_NEAR(NormalTail(c.z, 1), c.upper, 7.5e-8);
    EXPECT_NEAR(NormalTail(c.z, 2), c.twoTailed, 1.5e-7);
    // The exact tail is exact to rounding in relative terms: an absolute 1e-14 let
    // 7.22e-16 pass for 6.22e-16 at z = 8.
    EXPECT_NEAR(NormalTailExact(c.z, 1), c.upper, 2e-15 * c.upper);
    EXPECT_NEAR(NormalTailExact(c.z, 2), c.twoTailed, 2e-15 * c.twoTailed);
  }
  EXPECT_EQ(NormalTail(8.5, 1), 0);
  EXPECT_EQ(NormalTail(-8.5, 1), 1);
  EXPECT_EQ(NormalTailExact(9, 1), 0);
  EXPECT_EQ(NormalTailExact(-9, 1), 1);
  EXPECT_EQ(NormalTailExact(-9, 2), 0);
}

TEST_F(Distributions, TailAreasNeverLeaveZeroOne) {
  // 0.5 minus a series summing to 0.5 left -5.6e-16 at z = 8.15, printed as "-0.000".
  for (double z = 7.5; z <= 8.6; z += 0.05) {
    const double a = NormalTailExact(z, 1);
    EXPECT_GE(a, 0) << z;
    EXPECT_FALSE(std::signbit(a)) << z;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", NormalTailExact(8.15, 1));
  EXPECT_STREQ(text, "0.000");
  for (double t : {0.0, 0.5, 3.0, 30.0, 300.0}) {
    for (double df : {1.0, 2.5, 7.0, 31.0, 200.0}) {
      const double a = TTail(t, df, 2);
      EXPECT_TRUE(a >= 0 && a <= 1) << t << " " << df;
    }
  }
}

TEST_F(Distributions, TTailAgainstReference) {
  // R 4.2.2: t <- c(0.5, 2, 1, 2.5, 2, 3, 1.7, 2.05, 2.04); df <- c(1, 1, 2, 3, 4, 5, 10, 29, 30);
  //   sprintf("%.12g", 2*pt(t, df, lower.tail=FALSE))
  // R 4.2.2: t <- c(4.15, 2, 1, 3, 2.1, 2.0); df <- c(50/17, 2.2, 0.5, 7.5, 10.5, 29.5); (same
  // call) R 4.2.2: t <- c(2, 1.5, 3, 2.5, 4, 0.3); df <- c(31, 40, 60, 100.5, 35, 45); (same call)
  struct Case {
    double t, df, twoTailed, tolerance;
  };
  const Case cases[] = {
      // Whole df up to 30: the exact trigonometric series.
      {0.5, 1, 0.704832764699, 1e-11},
      {2, 1, 0.295167235301, 1e-11},
      {1, 2, 0.42264973081, 1e-11},
      {2.5, 3, 0.0877066470081, 1e-11},
      {2, 4, 0.116116523517, 1e-11},
      {3, 5, 0.0300992478975, 1e-11},
      {1.7, 10, 0.119969345909, 1e-11},
      {2.05, 29, 0.0495021769028, 1e-11},
      {2.04, 30, 0.0502395747391, 1e-11},
      // Fractional df up to 30 (Welch): the incomplete beta function. The large-df
      // expansion gave -0.115 for the first row.
      {4.15, 50.0 / 17, 0.0264195200613, 1e-7},
      {2, 2.2, 0.171787869003, 1e-7},
      {1, 0.5, 0.602243221683, 1e-7},
      {3, 7.5, 0.0183909386082, 1e-7},
      {2.1, 10.5, 0.0607784569608, 1e-7},
      {2, 29.5, 0.0547816125842, 1e-7},
      // df above 30: the asymptotic expansion, good to about 3e-7.
      {2, 31, 0.0543272153672, 3e-7},
      {1.5, 40, 0.141466776879, 3e-7},
      {3, 60, 0.00392769733297, 3e-7},
      {2.5, 100.5, 0.0140375133827, 3e-7},
      {4, 35, 0.000312201710175, 3e-7},
      {0.3, 45, 0.765558640645, 3e-7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("t = " + std::to_string(c.t) + ", df = " + std::to_string(c.df));
    EXPECT_NEAR(TTail(c.t, c.df, 2), c.twoTailed, c.tolerance);
    EXPECT_NEAR(TTail(c.t, c.df, 1), c.twoTailed / 2, c.tolerance);
    EXPECT_EQ(TTail(-c.t, c.df, 1), TTail(c.t, c.df, 1));  // the magnitude of t
  }
  for (double t : {0.3, 1.0, 4.0, 25.0}) {
    EXPECT_NEAR(TTail(t, 1, 2), 1 - 2 * std::atan(t) / Pi, 1e-15);
  }
  EXPECT_EQ(TTail(0, 10, 2), 1);
  EXPECT_EQ(TTail(40, 50, 2), 0);  // t^2 > 1000 in the expansion
}

TEST_F(Distributions, TPValueAlternatives) {
  // R 4.2.2: sprintf("%.12g", c(pt(-2, 10), 2*pt(2, 10, lower.tail=FALSE)))
  const double lower = 0.0366940173854, twoTailed = 0.0733880347707;
  double p = 0;
  TPValue(-2, 10, 1, p);
  EXPECT_NEAR(p, lower, 1e-11);
  TPValue(-2, 10, 2, p);
  EXPECT_NEAR(p, 1 - lower, 1e-11);
  TPValue(2, 10, 2, p);
  EXPECT_NEAR(p, lower, 1e-11);
  TPValue(2, 10, 1, p);
  EXPECT_NEAR(p, 1 - lower, 1e-11);
  TPValue(-2, 10, 0, p);
  EXPECT_NEAR(p, twoTailed, 1e-11);
  // Welch degrees of freedom 50/17: the expansion used to give -0.115 here.
  TPValue(4.15, 50.0 / 17, 0, p);
  EXPECT_NEAR(p, 0.0264195200613, 1e-7);

  ZPValue(1.96, 0, p);
  EXPECT_NEAR(p, 0.0499957902964, 1.5e-7);
  ZPValue(-1.96, 1, p);
  EXPECT_NEAR(p, 0.0249978951482, 7.5e-8);
  ZPValue(1.96, 2, p);
  EXPECT_NEAR(p, 0.0249978951482, 7.5e-8);
}

TEST_F(Distributions, CorrelatedMeansIsAPairedTTest) {
  // R 4.2.2: tt <- t.test(c(10,12,9,14,11), c(8,11,9,10,9), paired=TRUE);
  //   sprintf("%.12g", c(tt$statistic, tt$parameter, tt$p.value)) -> 2.7136021012 4 0.0533382610457
  const double x[] = {10, 12, 9, 14, 11};
  const double y[] = {8, 11, 9, 10, 9};
  double mx = 0, my = 0;
  for (int i = 0; i < 5; ++i) {
    mx += x[i] / 5;
    my += y[i] / 5;
  }
  double sxx = 0, syy = 0, sxy = 0;
  for (int i = 0; i < 5; ++i) {
    sxx += (x[i] - mx) * (x[i] - mx);
    syy += (y[i] - my) * (y[i] - my);
    sxy += (x[i] - mx) * (y[i] - my);
  }
  const double s1 = std::sqrt(sxx / 4), s2 = std::sqrt(syy / 4), r = sxy / std::sqrt(sxx * syy);
  double t = 0, p = 0;
  CorrelatedMeansT(mx, my, s1, s2, r, 5, 0, t, p);
  EXPECT_NEAR(t, 2.7136021012, 1e-9);
  EXPECT_NEAR(p, 0.0533382610457, 1e-10);  // n - 1 = 4 degrees of freedom, not n - 2
  CorrelatedMeansT(mx, my, s1, s2, r, 5, 2, t, p);
  EXPECT_NEAR(p, 0.0533382610457 / 2, 1e-10);
  CorrelatedMeansT(mx, my, s1, s2, r, 5, 1, t, p);
  EXPECT_NEAR(p, 1 - 0.0533382610457 / 2, 1e-10);

  CorrelatedMeansT(5, 4, 1, 1, 1, 10, 0, t, p);  // identical spread, r = 1: no variance
  EXPECT_EQ(t, 0);
  EXPECT_EQ(p, 999);
  CorrelatedMeansT(5, 4, 1, 2, 0, 1, 0, t, p);  // one pair: no degrees of freedom
  EXPECT_EQ(t, 0);
  EXPECT_EQ(p, 999);
}

TEST_F(Distributions, ChiSqTailAgainstReference) {
  // R 4.2.2: x <- c(3.84, 5.99, 1, 7.8, 10, 20, 30, 45, 0.5); df <- c(1, 2, 3, 3, 7, 10, 25, 30,
  // 4);
  //   sprintf("%.12g", pchisq(x, df, lower.tail=FALSE))
  // R 4.2.2: x <- c(1.25, 0.3, 4, 10, 35); df <- c(1.5, 0.5, 2.5, 7.3, 29.5); (same call)
  // R 4.2.2: x <- c(29.99999997, 30, 43.77, 50, 100, 120, 80, 200);
  //   df <- c(31, 31, 31, 40, 100, 100, 100, 150.5); (same call); and pchisq(30.000003, 31, ...)
  struct Case {
    double x, df, upper, tolerance;
  };
  const Case cases[] = {
      // Whole df up to 30: the finite series.
      {3.84, 1, 0.0500435212487, 1e-12},
      {5.99, 2, 0.0500366270866, 1e-12},
      {1, 3, 0.801251956901, 1e-12},
      {7.8, 3, 0.0503310978599, 1e-12},
      {10, 7, 0.188573467513, 1e-12},
      {20, 10, 0.029252688077, 1e-12},
      {30, 25, 0.224289004834, 1e-12},
      {45, 30, 0.0386017582663, 1e-12},
      {0.5, 4, 0.973500978839, 1e-12},
      // Fractional df: the incomplete gamma function (the series on the whole part of df
      // gave 0.741 for the first row).
      {1.25, 1.5, 0.404824063115, 1e-9},
      {0.3, 0.5, 0.333171802315, 1e-9},
      {4, 2.5, 0.194846958359, 1e-9},
      {10, 7.3, 0.210328430609, 1e-9},
      {35, 29.5, 0.223181772223, 1e-9},
      // df above 30: Peizer-Pratt, good to about 1e-5. Next to x = df - 1 the literal
      // radicand is negative (NaN for the first row) or mostly rounding noise (4.7e-5 off
      // for the third).
      {29.99999997, 31, 0.517296550864, 1e-5},
      {30, 31, 0.517296549315, 1e-5},
      {30.000003, 31, 0.517296394376, 1e-5},
      {43.77, 31, 0.063864360883, 1e-5},
      {50, 40, 0.133574834086, 1e-5},
      {100, 100, 0.481191684528, 1e-5},
      {120, 100, 0.0844066810937, 1e-5},
      {80, 100, 0.929664933341, 1e-5},
      {200, 150.5, 0.00430934379967, 1e-5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("x = " + std::to_string(c.x) + ", df = " + std::to_string(c.df));
    EXPECT_NEAR(ChiSqTail(c.x, c.df, 1), c.upper, c.tolerance);
    const double folded = c.upper > 0.5 ? 1 - c.upper : c.upper;
    EXPECT_NEAR(ChiSqTail(c.x, c.df, 2), 2 * folded, 2 * c.tolerance);
  }
  for (double x : {0.1, 1.0, 7.3, 40.0}) EXPECT_NEAR(ChiSqTail(x, 2, 1), std::exp(-x / 2), 1e-15);
  for (double df : {0.5, 1.0, 3.0, 45.0}) EXPECT_EQ(ChiSqTail(0, df, 1), 1);
  EXPECT_EQ(ChiSqTail(5, 0, 1), 1);
  EXPECT_EQ(StatError, 0);
}

TEST_F(Distributions, ChiSqTailFarOutOnTheFiniteSeries) {
  // The finite series of whole df overflowed to infinity and was multiplied by
  // e^(-x/2) = 0: NaN from about x = 1e25. Beyond x = 1400 it is now summed in logarithms.
  // R 4.2.2: pchisq(x, df, lower.tail=FALSE) for each row.
  struct Case {
    double x, df, upper;
  };
  const Case cases[] = {
      {1e25, 30, 0},
      {1e25, 29, 0},
      {1e4, 30, 0},
      {1500, 30, 3.9605925288243011e-297},
      {1401, 6, 1.4714369728099234e-299},
      {1300, 29, 2.1308362327337718e-255},
      {1399, 5, 2.2671812963642303e-300},  // just below the switch: the direct sums
      // Odd df and df = 1: the normal part beyond z = 8.6, where NormalTailExact stops.
      {100, 3, 1.5541594313896051e-21},
      {75, 1, 4.7071405901403858e-18},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("x = " + std::to_string(c.x) + ", df = " + std::to_string(c.df));
    const double area = ChiSqTail(c.x, c.df, 1);
    if (c.upper == 0) {
      EXPECT_EQ(area, 0);
    } else {
      EXPECT_NEAR(area, c.upper, 1e-12 * c.upper);
    }
  }
}

TEST_F(Distributions, FTailAgainstReference) {
  // R 4.2.2: F <- c(38, 4, 3, 3.5, 2.0, 1.5, 2.5, 0.5); d1 <- c(1, 1, 2, 3, 5, 10, 4.5, 6);
  //   d2 <- c(1.5, 10, 1, 12, 20, 10, 13.2, 8); sprintf("%.12g", pf(F, d1, d2, lower.tail=FALSE))
  struct Case {
    double f, df1, df2, upper;
  };
  const Case cases[] = {
      {38, 1, 1.5, 0.0482621311857},  // via TTail with fractional df (was 0.998)
      {4, 1, 10, 0.0733880347707},
      {3, 2, 1, 0.377964473009},
      {3.5, 3, 12, 0.0496405379799},
      {2, 5, 20, 0.122507244682},
      {1.5, 10, 10, 0.26656768},
      {2.5, 4.5, 13.2, 0.0883094633699},
      {0.5, 6, 8, 0.793045229603},
      // No F lies below 0: the whole area is above (R gives 1 for each). Once 0 for a
      // negative F, and 0 for F = 0 with df2 = 1.
      {0, 3, 1, 1},
      {-2, 3, 1, 1},
      {-0.5, 1, 4, 1},
      {-1, 2, 5, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("F = " + std::to_string(c.f) + ", df " + std::to_string(c.df1) + ", " +
                 std::to_string(c.df2));
    EXPECT_NEAR(FTail(c.f, c.df1, c.df2, 1), c.upper, 1e-7);
    const double folded = c.upper > 0.5 ? 1 - c.upper : c.upper;
    EXPECT_NEAR(FTail(c.f, c.df1, c.df2, 2), 2 * folded, 2e-7);
  }
  for (double f : {0.5, 4.0, 9.0}) EXPECT_EQ(FTail(f, 1, 12, 1), TTail(std::sqrt(f), 12, 2));
}

TEST_F(Distributions, NoncentralFTailAgainstReference) {
  // R 4.2.2: F <- c(40, 2, 5, 10, 150, 3); d1 <- c(3, 3, 4, 5, 3, 2); d2 <- c(20, 20, 30, 50, 20,
  // 10);
  //   l <- c(100, 1, 10, 50, 500, 0); sprintf("%.12g", pf(F, d1, d2, ncp=l, lower.tail=FALSE));
  //   and pf(1900, 3, 20, ncp=5000, lower.tail=FALSE)
  struct Case {
    double f, df1, df2, lambda, upper;
  };
  const Case cases[] = {
      // From lambda ~ 99 the series used to stop at j = 1 and return 1.
      {40, 3, 20, 100, 0.364914979813},    {2, 3, 20, 1, 0.246203223039},
      {5, 4, 30, 10, 0.229223872796},      {10, 5, 50, 50, 0.603795437272},
      {150, 3, 20, 500, 0.668843794232},   {3, 2, 10, 0, 0.0953674316406},
      {1900, 3, 20, 5000, 0.383365120698},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(NoncentralFTail(c.f, c.df1, c.df2, c.lambda), c.upper, 1e-7)
        << "F = " << c.f << ", lambda = " << c.lambda;
  }
  EXPECT_EQ(StatError, 0);
}

TEST_F(Distributions, RangeTailAgainstReference) {
  // R 4.2.2: q <- c(3, 3.5, 4, 2, 4.5, 5, 1, 3.2, 0.9897, 3.151, 6.33, 2.439, 1.5, 3.609, 4.196,
  //   3.5, 4.5, 5.2, 2.2, 3, 5.5, 4.4); r <- c(3, 4, 5, 3, 6, 8, 2, 10, 2, 2, 3, 2, 4, 30, 30, 5,
  //   8, 10, 20, 6, 3, 8); df <- c(20, 10, 5, 30, 60, 12, 15, 100, 10, 10, 10, 20, 5, 7, 10, 20,
  //   60, 120, 30, 15, 8, 120); sprintf("%.10f", ptukey(q, r, df, lower.tail = FALSE))
  // With the published cut-offs the rows from 0.9897 on were 6e-6 to 7.7e-4 too high, seven
  // of them by more than 1e-4.
  struct Case {
    double q, df, r, upper;
  };
  const Case cases[] = {
      {3, 20, 3, 0.1107567979},     {3.5, 10, 4, 0.1248865614},   {4, 5, 5, 0.1617356674},
      {2, 30, 3, 0.3465214098},     {4.5, 60, 6, 0.0267859238},   {5, 12, 8, 0.0573365141},
      {1, 15, 2, 0.4903404784},     {3.2, 100, 10, 0.4222560897}, {0.9897, 10, 2, 0.4999931080},
      {3.151, 10, 2, 0.0500038473}, {6.33, 10, 3, 0.0030865176},  {2.439, 20, 2, 0.1000155832},
      {1.5, 5, 4, 0.7255057201},    {3.609, 7, 30, 0.7001396829}, {4.196, 10, 30, 0.5000795202},
      {3.5, 20, 5, 0.1365023516},   {4.5, 60, 8, 0.0448657118},   {5.2, 120, 10, 0.0126011149},
      {2.2, 30, 20, 0.9854092960},  {3, 15, 6, 0.3278347893},     {5.5, 8, 3, 0.0114057991},
      {4.4, 120, 8, 0.0465138768},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(RangeTail(c.q, c.df, c.r), c.upper, 1e-4)
        << "q = " << c.q << ", df = " << c.df << ", r = " << c.r;
  }
  // For two means the range is sqrt(2) |t|, which gives exact values where ptukey itself is
  // off in the far tail of df 1 and 2 (ptukey(34.71, 2, 2, lower.tail = FALSE) = 0.0010004).
  // R 4.2.2: q <- c(5, 40, 3, 34.71); df <- c(1, 1, 2, 2);
  //   sprintf("%.10f", 2 * pt(q / sqrt(2), df, lower.tail = FALSE))
  const Case twoMeans[] = {
      {5, 1, 2, 0.1754796561},
      {40, 1, 2, 0.0224985366},
      {3, 2, 2, 0.1679497057},
      {34.71, 2, 2, 0.0016559262},
  };
  for (const auto& c : twoMeans) {
    EXPECT_NEAR(RangeTail(c.q, c.df, c.r), c.upper, 1e-4) << "q = " << c.q << ", df = " << c.df;
  }
  // df above 120 is treated as infinite.
  // R 4.2.2: q <- c(2, 3, 3.5, 4.5); r <- c(3, 3, 5, 8); sprintf("%.12g", ptukey(q, r, Inf,
  // lower.tail=FALSE))
  struct InfiniteCase {
    double q, r, upper;
  };
  const InfiniteCase infinite[] = {
      {2, 3, 0.33349932504},
      {3, 3, 0.085542571655},
      {3.5, 5, 0.0963384639793},
      {4.5, 8, 0.0316348362122},
  };
  for (const auto& c : infinite) {
    EXPECT_NEAR(RangeTail(c.q, 500, c.r), c.upper, 1e-4) << "q = " << c.q << ", r = " << c.r;
    EXPECT_EQ(RangeTail(c.q, 121, c.r), RangeTail(c.q, 1e6, c.r));
  }
  // So df 130 gets the infinite value, not its own: R 4.2.2: ptukey(4.4, 8, Inf,
  // lower.tail = FALSE) = 0.0393374114, ptukey(4.4, 8, 130, lower.tail = FALSE) = 0.0459541938.
  EXPECT_NEAR(RangeTail(4.4, 130, 8), 0.0393374114, 1e-4);
  EXPECT_EQ(RangeTail(0, 10, 3), 1);
  EXPECT_EQ(RangeTail(3, 0, 3), 1);
  EXPECT_EQ(StatError, 0);
  EXPECT_EQ(RangeTail(3, 10, 1), 0);
  EXPECT_EQ(StatError, 1);
}

TEST_F(Distributions, NormalQuantiles) {
  // R 4.2.2: p <- c(0.25, 0.1, 0.05, 0.025, 0.01, 0.001, 1e-6, 0.6, 0.9, 0.999);
  //   sprintf("%.12g", qnorm(p, lower.tail=FALSE))
  struct Case {
    double p, z;
  };
  const Case cases[] = {
      {0.25, 0.674489750196},  {0.1, 1.28155156554},   {0.05, 1.64485362695},
      {0.025, 1.95996398454},  {0.01, 2.32634787404},  {0.001, 3.09023230617},
      {1e-06, 4.75342430882},  {0.6, -0.253347103136}, {0.9, -1.28155156554},
      {0.999, -3.09023230617},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("p = " + std::to_string(c.p));
    EXPECT_NEAR(NormalQuantileExact(c.p, 1), c.z, 1e-8);
    // NormalQuantile inverts the quick tail: its 7.5e-8 area error moves z by up to
    // 7.5e-8 / density (2e-6 at z = 1.96; more in the far tails).
    const double density = std::exp(-c.z * c.z / 2) / std::sqrt(2 * Pi);
    EXPECT_NEAR(NormalQuantile(c.p, 1), c.z, 1.1 * 7.5e-8 / density + 1e-9);
    EXPECT_NEAR(NormalTail(NormalQuantile(c.p, 1), 1), c.p, 1e-10);
  }
  EXPECT_EQ(NormalQuantile(0.5, 1), 0);
  EXPECT_EQ(NormalQuantileExact(0.5, 1), 0);
  // Past z = 8 the quick tail is 0: the refinement used to stop near 8.5 (p = 1e-20), and
  // below p = 7.5e-155 the start value overflowed to NaN.
  // R 4.2.2: sprintf("%.17g", qnorm(c(1e-20, 1e-100, 1e-160, 5e-41), lower.tail=FALSE));
  //   sprintf("%.17g", qchisq(1e-160, 1, lower.tail=FALSE))
  struct FarCase {
    double p;
    int tail;
    double z;
  };
  const FarCase far[] = {
      {1e-20, 1, 9.2623400897984052},
      {1e-100, 1, 21.273453560965319},
      {1e-160, 1, 26.98880826841841},
      {1e-40, 2, 13.362606636108749},
  };
  for (const auto& c : far) {
    EXPECT_NEAR(NormalQuantile(c.p, c.tail), c.z, 1e-13 * c.z) << c.p;
    EXPECT_NEAR(NormalQuantileExact(c.p, c.tail), c.z, 1e-13 * c.z) << c.p;
  }
  EXPECT_NEAR(ChiSqQuantile(1e-160, 1, 1), 729.78017247173966, 1e-12 * 729.78);
  EXPECT_NEAR(NormalQuantile(0.05, 2), 1.959964, 2e-6);
  EXPECT_NEAR(NormalQuantile(0.05, 1), 1.644854, 2e-6);
  EXPECT_NEAR(NormalQuantileExact(0.05, 2), 1.95996398454, 1e-9);
  // Probabilities outside 0..1 are clamped to 1e-9 and 0.999999999.
  EXPECT_EQ(NormalQuantile(0, 1), NormalQuantile(1e-9, 1));
  EXPECT_EQ(NormalQuantile(1, 1), NormalQuantile(0.999999999, 1));
}

TEST_F(Distributions, TQuantilesAgainstReference) {
  // R 4.2.2: p <- c(0.025, 0.05, 0.005, 0.025, 0.1, 0.025, 0.001, 0.975, 1e-9);
  //   df <- c(10, 1, 2, 2.2, 29.5, 31, 60, 10, 1); sprintf("%.12g", qt(p, df, lower.tail=FALSE))
  // Tolerances: the area error of the tail used (exact series, the incomplete beta's 1e-7,
  // the expansion's 3e-7) divided by the t density at the quantile.
  struct Case {
    double p, df, t, tolerance;
  };
  const Case cases[] = {
      {0.025, 10, 2.22813885199, 1e-8},
      {0.05, 1, 6.31375151468, 1e-8},
      {0.005, 2, 9.92484320092, 1e-8},
      {0.025, 2.2, 3.94872074971, 1e-5},  // diverged to -2.7e157
      {0.1, 29.5, 1.31091550663, 1e-5},
      {0.025, 31, 2.0395134464, 1e-5},
      {0.001, 60, 3.23170912602, 1.5e-4},
      {0.975, 10, -2.22813885199, 1e-8},
      {1e-09, 1, 318309886.184, 50},  // 1 - 2 theta / pi cancels: about 1e-7 relative
      // Below one degree of freedom (R: qt(c(0.05, 0.001, 0.2, 0.9), c(0.5, 0.9, 0.1, 0.3),
      // lower.tail=FALSE)): once 0, a useless critical value.
      {0.05, 0.5, 41.1360000929, 1e-6},
      {0.001, 0.9, 593.358937283, 1e-5},
      {0.2, 0.1, 1566.82196147, 1e-5},
      {0.9, 0.3, -64.7865456371, 1e-6},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(TQuantile(c.p, c.df, 1), c.t, c.tolerance) << "p = " << c.p << ", df = " << c.df;
  }
  EXPECT_NEAR(TQuantile(0.05, 10, 2), 2.22813885199, 1e-8);
  EXPECT_EQ(TQuantile(0.5, 7, 1), 0);
  EXPECT_EQ(TQuantile(0.05, 0, 1), 0);
  EXPECT_EQ(TQuantile(0.05, -1, 1), 0);
}

TEST_F(Distributions, ChiSqQuantilesAgainstReference) {
  // R 4.2.2: p <- c(0.05, 0.05, 0.9975, 1e-9, 0.01, 0.95, 0.5, 0.05, 0.99, 0.999);
  //   df <- c(1, 2, 2, 2, 5, 10, 1.5, 40, 100, 3); sprintf("%.12g", qchisq(p, df,
  //   lower.tail=FALSE))
  struct Case {
    double p, df, x, tolerance;
  };
  const Case cases[] = {
      {0.05, 1, 3.84145882069, 1e-5},  // squared quick normal quantile: 2z * 1.3e-6
      {0.05, 2, 5.99146454711, 1e-8},
      {0.9975, 2, 0.00500626043624, 1e-10},  // Wilson-Hilferty start below 0: was 0
      {1e-09, 2, 41.4465316739, 1e-6},       // Newton stepped below 0: was 0 (then 41.34)
      {0.01, 5, 15.0862724694, 1e-8},
      {0.95, 10, 3.94029913612, 1e-8},
      {0.5, 1.5, 0.908333956648, 1e-8},
      {0.05, 40, 55.7584792789, 5e-4},  // Peizer-Pratt area error 1e-5 / density
      {0.99, 100, 70.0648949254, 5e-4},
      {0.999, 3, 0.0242975858157, 1e-8},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(ChiSqQuantile(c.p, c.df, 1), c.x, c.tolerance)
        << "p = " << c.p << ", df = " << c.df;
  }
  EXPECT_EQ(ChiSqQuantile(0.05, 0, 1), 0);
}

TEST_F(Distributions, FQuantilesAgainstReference) {
  // R 4.2.2: p <- c(0.05, 0.0125, 0.01, 0.05, 0.1, 0.001, 0.95); d1 <- c(3, 30, 1, 2, 5.5, 10, 4);
  //   d2 <- c(12, 100, 10, 1, 20.3, 40, 9); sprintf("%.12g", qf(p, d1, d2, lower.tail=FALSE))
  struct Case {
    double p, df1, df2, f;
  };
  const Case cases[] = {
      {0.05, 3, 12, 3.4902948195},     {0.0125, 30, 100, 1.85050428199},
      {0.01, 1, 10, 10.0442892734},    {0.05, 2, 1, 199.5},
      {0.1, 5.5, 20.3, 2.11745315242}, {0.001, 10, 40, 3.87438608395},
      {0.95, 4, 9, 0.166700589369},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(FQuantile(c.p, c.df1, c.df2, 1), c.f, 1e-6 * c.f)
        << "p = " << c.p << ", df " << c.df1 << ", " << c.df2;
  }
  // A converged Newton point used to be replaced by a bracket midpoint (1.853017).
  EXPECT_NEAR(FQuantile(0.025, 30, 100, 2), 1.85050428199, 1e-6);
  // p close to 1 is clamped to 0.99999999 (not 0.999999999).
  EXPECT_EQ(FQuantile(1, 4, 9, 1), FQuantile(0.99999999, 4, 9, 1));
  EXPECT_NE(FQuantile(1, 4, 9, 1), FQuantile(0.999999999, 4, 9, 1));
}

TEST_F(Distributions, RangeQuantiles) {
  // R 4.2.2: p <- c(0.05, 0.01, 0.05, 0.1, 0.05); df <- c(20, 10, 60, 5, 12); r <- c(3, 4, 6, 5,
  // 8);
  //   sprintf("%.12g", qtukey(p, r, df, lower.tail=FALSE))
  // The area error (below 1e-5 from df 4) divided by the density at the quantile.
  struct Case {
    double p, df, r, q;
  };
  const Case cases[] = {
      {0.05, 20, 3, 3.57793458153}, {0.01, 10, 4, 5.76859143569}, {0.05, 60, 6, 4.16316081561},
      {0.1, 5, 5, 4.66382707611},   {0.05, 12, 8, 5.11865846416},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(RangeQuantile(c.p, c.df, c.r), c.q, 1e-4) << "p = " << c.p << ", r = " << c.r;
    EXPECT_NEAR(RangeTail(RangeQuantile(c.p, c.df, c.r), c.df, c.r), c.p, 1e-8);
  }
  EXPECT_EQ(RangeQuantile(0, 10, 3), 0);
  EXPECT_EQ(RangeQuantile(0.05, 10, 0), 0);
  EXPECT_NEAR(RangeQuantile(0.05, 10, 1), 2 * TQuantile(0.025, 10, 1), 1e-12);
}

TEST_F(Distributions, RangeQuantileBelowTheSmallestTailEnds) {
  // The quadrature's tail stops falling at a floor (6e-5 for df 2, 1.4e-8 for df 20, 3
  // means); a p below it used to loop for ever. R 4.2.2: qtukey(1e-4, 3, 20, lower.tail =
  // FALSE) = 7.48709, above the floor; qtukey(1e-12, 3, 20, lower.tail = FALSE) = 23.6112,
  // below it: the answer stays on the near side of the floor, not at the end of a runaway
  // doubling.
  EXPECT_NEAR(RangeQuantile(0.0001, 20, 3), 7.48709, 1e-3);
  const double q = RangeQuantile(1e-12, 20, 3);
  EXPECT_GT(q, 10);
  EXPECT_LT(q, 30);
  EXPECT_TRUE(std::isfinite(RangeQuantile(1e-12, 2, 10)));
}

TEST_F(Distributions, RepairedCasesAgainstReference) {
  // R 4.2.2: pgamma(300, 300); pf(40, 3, 20, ncp=100, lower.tail=FALSE)
  EXPECT_NEAR(GAMMP(300, 300), 0.507677788886, 1e-9);
  EXPECT_NEAR(NoncentralFTail(40, 3, 20, 100), 0.364914979813, 1e-7);
  // R 4.2.2: pchisq(29.99999997, 31, lower.tail=FALSE); pchisq(1.25, 1.5, lower.tail=FALSE)
  EXPECT_NEAR(ChiSqTail(29.99999997, 31, 1), 0.517296550864, 1e-5);
  EXPECT_NEAR(ChiSqTail(1.25, 1.5, 1), 0.404824063115, 1e-9);
  // R 4.2.2: qt(0.025, 2.2, lower.tail=FALSE); pf(38, 1, 1.5, lower.tail=FALSE)
  EXPECT_NEAR(TQuantile(0.025, 2.2, 1), 3.94872074971, 1e-5);
  EXPECT_NEAR(FTail(38, 1, 1.5, 1), 0.0482621311857, 1e-7);
  EXPECT_TRUE(Warnings.empty());
}

TEST_F(Distributions, RefineQuantileKeepsAConvergedStart) {
  // R 4.2.2: sprintf("%.12g", c(qchisq(0.05, 5, lower.tail=FALSE), qt(0.05, 10, lower.tail=FALSE)))
  // Starting on the answer, the refinement must hand it back unchanged.
  const double x = NormalQuantileExact(0.025, 1);
  EXPECT_EQ(RefineQuantile(0.025, x, 0, 0, QuantileNormalExact), x);
  // A start far off on either side still converges.
  EXPECT_NEAR(RefineQuantile(0.05, 40, 5, 0, QuantileChiSq), 11.0704976935, 1e-8);
  EXPECT_NEAR(RefineQuantile(0.05, 1e-6, 5, 0, QuantileChiSq), 11.0704976935, 1e-8);
  EXPECT_NEAR(RefineQuantile(0.05, -3, 10, 0, QuantileT), 1.81246112281, 1e-8);
}

TEST_F(Distributions, GaussRandomSeededAndSpare) {
  SeedRandom(12345);
  const double a1 = GaussRandom(), a2 = GaussRandom(), a3 = GaussRandom();
  SeedRandom(12345);
  EXPECT_EQ(GaussRandom(), a1);
  EXPECT_EQ(GaussRandom(), a2);  // the spare of the first pair
  EXPECT_EQ(GaussRandom(), a3);

  // Resetting the state drops a held spare: the next value starts a new pair.
  SeedRandom(7);
  const double first = GaussRandom();
  ResetNumericsState();
  SeedRandom(7);
  EXPECT_EQ(GaussRandom(), first);

  SeedRandom(99);
  const int n = 200000;
  double sum = 0, sumSq = 0;
  int beyond = 0;
  for (int i = 0; i < n; ++i) {
    const double z = NormalRandom(10, 2);
    sum += z;
    sumSq += z * z;
    if (z > 10 + 2 * 1.959964) ++beyond;
  }
  const double mean = sum / n;
  const double sd = std::sqrt((sumSq - sum * sum / n) / (n - 1));
  // Five standard errors: 2 / sqrt(n) = 0.0045 for the mean, about 0.0032 for the sd.
  EXPECT_NEAR(mean, 10, 0.025);
  EXPECT_NEAR(sd, 2, 0.016);
  EXPECT_NEAR(static_cast<double>(beyond) / n, 0.025, 5 * std::sqrt(0.025 * 0.975 / n));

  for (int i = 0; i < 1000; ++i) {
    const double u = UniformRandom();
    ASSERT_GE(u, 0);
    ASSERT_LT(u, 1);
  }
}

TEST_F(Distributions, LibraryAlphaStartsAtZero) {
  EXPECT_EQ(LibraryAlpha, 0);
  LibraryAlpha = 0.05;
  ResetNumericsState();
  EXPECT_EQ(LibraryAlpha, 0);
}

}  // namespace
}  // namespace sorvel
