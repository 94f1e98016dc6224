// Tail areas and quantiles of the side asked, and the full-precision incomplete gamma and
// beta functions under them. Far tails are compared by relative error: an absolute
// tolerance passes any tiny wrong value.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "numerics/distributions.h"
#include "numerics/specfunc.h"
#include "numerics_fixture.h"

namespace sorvel {
namespace {

class TailSides : public TNumericsTest {};

constexpr TTails L = TTails::Lower, U = TTails::Upper, T = TTails::Two;

// |actual/expected - 1| <= tolerance; an expected 0 must be met exactly.
::testing::AssertionResult Relative(double actual, double expected, double tolerance) {
  if (expected == 0 ? actual == 0 : std::fabs(actual / expected - 1) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  char text[160];
  std::snprintf(text, sizeof text, "%.17g against %.17g (relative error %.3g, allowed %.3g)",
                actual, expected, expected == 0 ? 0.0 : std::fabs(actual / expected - 1),
                tolerance);
  return ::testing::AssertionFailure() << text;
}

TEST_F(TailSides, NormalTailsAgainstReference) {
  struct Case {
    double z;
    TTails side;
    double expected;
  };
  const Case cases[] = {
      {8, U, 6.2209605742717849e-16},     // pnorm(8, lower.tail=FALSE)
      {8, L, 0.99999999999999933},        // pnorm(8)
      {-8, L, 6.2209605742717849e-16},    // pnorm(-8)
      {-37, L, 5.7255712225245771e-300},  // pnorm(-37)
      {37, U, 5.7255712225245771e-300},   // pnorm(37, lower.tail=FALSE)
      {20, T, 5.5072482372124675e-89},    // 2*pnorm(-20)
      {-1.5, T, 0.13361440253771614},     // 2*pnorm(-1.5)
      {0.3, U, 0.38208857781104733},      // pnorm(0.3, lower.tail=FALSE)
      {-0.3, U, 0.61791142218895267},     // pnorm(-0.3, lower.tail=FALSE)
      {1e-10, L, 0.5000000000398942},     // pnorm(1e-10)
      {0, T, 1},                          // 2*pnorm(0)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("z = " + std::to_string(c.z) + ", side " +
                 std::to_string(static_cast<int>(c.side)));
    EXPECT_TRUE(Relative(NormalTailExact(c.z, c.side), c.expected, 2e-15));
  }
}

TEST_F(TailSides, TTailsAgainstReference) {
  struct Case {
    double t, df;
    TTails side;
    double expected;
  };
  const Case cases[] = {
      {-40, 3, L, 1.719034039457927e-05},      // pt(-40, 3)
      {-40, 3, U, 0.9999828096596054},         // pt(-40, 3, lower.tail=FALSE)
      {40, 3, U, 1.719034039457927e-05},       // pt(40, 3, lower.tail=FALSE)
      {3, 2.5, U, 0.036288047774515921},       // pt(3, 2.5, lower.tail=FALSE)
      {-3, 0.3, T, 0.5013376896876196},        // 2*pt(-3, 0.3)
      {8, 10, U, 5.8874713948330681e-06},      // pt(8, 10, lower.tail=FALSE)
      {-2, 1e7, L, 0.022750145445921473},      // pt(-2, 1e7)
      {5, 1e7, U, 2.8665640375042717e-07},     // pt(5, 1e7, lower.tail=FALSE)
      {1e-5, 4, L, 0.50000374999999986},       // pt(1e-5, 4)
      {-1e200, 1, L, 3.183098861837795e-201},  // pt(-1e200, 1)
      {25, 30.5, T, 7.0593776557280265e-22},   // 2*pt(-25, 30.5)
      {-2.04, 30, T, 0.050239574739086912},    // 2*pt(-2.04, 30)
      {0.5, 1e3, U, 0.30859254041693751},      // pt(0.5, 1e3, lower.tail=FALSE)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("t = " + std::to_string(c.t) + ", df = " + std::to_string(c.df));
    EXPECT_TRUE(Relative(TTail(c.t, c.df, c.side), c.expected, 1e-13));
  }
}

TEST_F(TailSides, ChiSqTailsAgainstReference) {
  struct Case {
    double x, df;
    TTails side;
    double expected;
  };
  const Case cases[] = {
      {1e-3, 10, L, 2.6030818297031978e-19},      // pchisq(1e-3, 10)
      {1e-30, 0.2, L, 0.00098074550532751517},    // pchisq(1e-30, 0.2)
      {0.5, 3, U, 0.91889141165467592},           // pchisq(0.5, 3, lower.tail=FALSE)
      {100, 3, U, 1.5541594313896051e-21},        // pchisq(100, 3, lower.tail=FALSE)
      {1500, 30, U, 3.9605925288243011e-297},     // pchisq(1500, 30, lower.tail=FALSE)
      {1e5, 1e5, L, 0.50059470810479334},         // pchisq(1e5, 1e5)
      {1.006e6, 1e6, U, 1.1445084182949153e-05},  // pchisq(1.006e6, 1e6, lower.tail=FALSE)
      {9.92e5, 1e6, L, 7.0760491136220805e-09},   // pchisq(9.92e5, 1e6)
      {3, 4, T, 0.88434919925785072},             // 2*pchisq(3, 4)
      {0.01, 4, T, 2.4916822708550164e-05},       // 2*pchisq(0.01, 4)
      {700, 150.5, U, 1.0217480252037749e-71},    // pchisq(700, 150.5, lower.tail=FALSE)
      {1e-3, 1, U, 0.97477287936996038},          // pchisq(1e-3, 1, lower.tail=FALSE)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("x = " + std::to_string(c.x) + ", df = " + std::to_string(c.df));
    EXPECT_TRUE(Relative(ChiSqTail(c.x, c.df, c.side), c.expected, 1e-13));
  }
  EXPECT_EQ(ChiSqTail(0, 3, L), 0);
  EXPECT_EQ(ChiSqTail(0, 3, U), 1);
}

TEST_F(TailSides, FTailsAgainstReference) {
  struct Case {
    double f, df1, df2;
    TTails side;
    double expected;
  };
  const Case cases[] = {
      {1e-4, 5, 7, L, 4.6835568724911725e-10},      // pf(1e-4, 5, 7)
      {1e6, 5, 100, U, 3.1041622060500005e-233},    // pf(1e6, 5, 100, lower.tail=FALSE)
      {2.5, 5, 1e5, U, 0.028549859745505106},       // pf(2.5, 5, 1e5, lower.tail=FALSE)
      {30, 0.5, 1e5, U, 3.0903037236306444e-05},    // pf(30, 0.5, 1e5, lower.tail=FALSE)
      {0.3, 1e4, 1, L, 0.067918962193967689},       // pf(0.3, 1e4, 1)
      {1e-8, 40, 1e5, L, 4.3263865340376538e-153},  // pf(1e-8, 40, 1e5)
      {2.5, 4.5, 13.2, T, 0.17661892673970284},     // 2*pf(2.5, 4.5, 13.2, lower.tail=FALSE)
      {0.5, 6, 8, T, 0.41390954079481318},          // 2*pf(0.5, 6, 8)
      {40, 1, 1.5, U, 0.046488240463170905},        // pf(40, 1, 1.5, lower.tail=FALSE)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("F = " + std::to_string(c.f) + ", df " + std::to_string(c.df1) + ", " +
                 std::to_string(c.df2));
    // Out at 1e-233 the exponent of about -530 carries its rounding: 3e-13.
    EXPECT_TRUE(Relative(FTail(c.f, c.df1, c.df2, c.side), c.expected, 3e-13));
  }
  EXPECT_EQ(FTail(-1, 3, 4, L), 0);
  EXPECT_EQ(FTail(-1, 3, 4, U), 1);
}

TEST_F(TailSides, QuantilesAgainstReference) {
  enum Family { Normal, Student, ChiSq, Fisher };
  struct Case {
    Family family;
    double p, df1, df2;
    TTails side;
    double expected;
  };
  const Case cases[] = {
      {Normal, 1e-300, 0, 0, U, 37.047096299361201},       // qnorm(1e-300, lower.tail=FALSE)
      {Normal, 1e-20, 0, 0, L, -9.2623400897984052},       // qnorm(1e-20)
      {Normal, 0.05, 0, 0, T, 1.9599639845400538},         // qnorm(0.025, lower.tail=FALSE)
      {Normal, 0.9, 0, 0, U, -1.2815515655446008},         // qnorm(0.9, lower.tail=FALSE)
      {Normal, 0.999999, 0, 0, L, 4.7534243088170891},     // qnorm(0.999999)
      {Student, 1e-10, 3, 0, L, -2225.7692846830946},      // qt(1e-10, 3)
      {Student, 0.05, 2.5, 0, T, 3.5746548420036932},      // qt(0.025, 2.5, lower.tail=FALSE)
      {Student, 1e-5, 1e7, 0, U, 4.2648928399297192},      // qt(1e-5, 1e7, lower.tail=FALSE)
      {Student, 1e-300, 1, 0, U, 3.183098861837907e+299},  // qt(1e-300, 1, lower.tail=FALSE)
      {Student, 0.9, 10, 0, L, 1.3721836411103356},        // qt(0.9, 10)
      {Student, 1e-20, 30.5, 0, L, -22.273887397914542},   // qt(1e-20, 30.5)
      {Student, 0.05, 0.5, 0, U, 41.136000092879868},      // qt(0.05, 0.5, lower.tail=FALSE)
      {ChiSq, 1e-20, 4, 0, L, 2.8284271248795316e-10},     // qchisq(1e-20, 4)
      {ChiSq, 1e-300, 10, 0, U, 1427.7719561298886},       // qchisq(1e-300, 10, lower.tail=FALSE)
      {ChiSq, 0.05, 2, 0, T, 7.3777589082278681},          // qchisq(0.025, 2, lower.tail=FALSE)
      {ChiSq, 0.999999, 150.5, 0, L, 247.78903162577541},  // qchisq(0.999999, 150.5)
      {ChiSq, 1e-5, 1e6, 0, L, 993979.989371403},          // qchisq(1e-5, 1e6)
      {ChiSq, 0.5, 0.2, 0, U, 0.0011867822089204512},      // qchisq(0.5, 0.2, lower.tail=FALSE)
      {Fisher, 0.05, 3, 12, U, 3.4902948194976053},        // qf(0.05, 3, 12, lower.tail=FALSE)
      {Fisher, 0.05, 30, 100, T, 1.7148488788501202},      // qf(0.025, 30, 100, lower.tail=FALSE)
      {Fisher, 0.95, 4, 9, L, 3.6330885114190794},         // qf(0.95, 4, 9)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("family " + std::to_string(c.family) + ", p = " + std::to_string(c.p) + ", df " +
                 std::to_string(c.df1) + ", " + std::to_string(c.df2));
    double x = 0;
    switch (c.family) {
      case Normal: x = NormalQuantileExact(c.p, c.side); break;
      case Student: x = TQuantile(c.p, c.df1, c.side); break;
      case ChiSq: x = ChiSqQuantile(c.p, c.df1, c.side); break;
      case Fisher: x = FQuantile(c.p, c.df1, c.df2, c.side); break;
    }
    EXPECT_TRUE(Relative(x, c.expected, 1e-13));
  }
}

// Where a quantile of R is itself less accurate than its tail (qf(1e-10, 5, 1e5,
// lower.tail=FALSE) is 6e-12 off in pf), the quantile is checked by putting it back into the
// tail of the same side. Far out the tail magnifies the last bit of x: d ln p/d ln x is
// about 1400 at p = 1e-300, hence 1e-12.
TEST_F(TailSides, QuantilesInvertTheirTails) {
  const double ps[] = {1e-300, 1e-100, 1e-20, 1e-8, 0.01, 0.3, 0.7, 0.99};
  const TTails sides[] = {L, U};
  const double dfs[] = {0.3, 1, 2.5, 7, 40, 1e4};
  for (const double p : ps) {
    for (const TTails side : sides) {
      SCOPED_TRACE("p = " + std::to_string(p) + ", side " + std::to_string(static_cast<int>(side)));
      EXPECT_TRUE(Relative(NormalTailExact(NormalQuantileExact(p, side), side), p, 1e-12));
      for (const double df : dfs) {
        SCOPED_TRACE("df = " + std::to_string(df));
        // Quantiles past the range of a double (a t with 0.3 df at p = 1e-100 is near
        // 1e333) and lower chi-square or F quantiles below it (1e-667) are infinite or 0.
        const double t = TQuantile(p, df, side);
        if (std::isfinite(t)) {
          EXPECT_TRUE(Relative(TTail(t, df, side), p, 1e-12));
        } else {
          EXPECT_EQ(TTail(t, df, side), 0);
        }
        const double x = ChiSqQuantile(p, df, side);
        if (x > 1e-300) {
          EXPECT_TRUE(Relative(ChiSqTail(x, df, side), p, 1e-12));
        }
        const double f = FQuantile(p, df, 7, side);
        if (f > 1e-300) {
          EXPECT_TRUE(Relative(FTail(f, df, 7, side), p, 1e-12));
        }
      }
    }
  }
  // The two-sided quantile is the upper point of half the probability.
  EXPECT_EQ(NormalQuantileExact(0.01, T), NormalQuantileExact(0.005, U));
  EXPECT_EQ(TQuantile(0.01, 6, T), TQuantile(0.005, 6, U));
  EXPECT_EQ(ChiSqQuantile(0.01, 6, T), ChiSqQuantile(0.005, 6, U));
  EXPECT_EQ(FQuantile(0.01, 6, 9, T), FQuantile(0.005, 6, 9, U));
}

TEST_F(TailSides, EndsAndInvalidArguments) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(NormalQuantileExact(0, U), inf);
  EXPECT_EQ(NormalQuantileExact(0, L), -inf);
  EXPECT_EQ(NormalQuantileExact(0.5, L), 0);
  EXPECT_FALSE(std::signbit(NormalQuantileExact(0.5, L)));
  EXPECT_EQ(TQuantile(1, 5, U), -inf);
  EXPECT_EQ(ChiSqQuantile(0, 5, L), 0);
  EXPECT_EQ(ChiSqQuantile(1, 5, L), inf);
  EXPECT_EQ(FQuantile(1, 3, 5, U), 0);
  EXPECT_TRUE(std::isnan(NormalQuantileExact(1.5, U)));
  EXPECT_TRUE(std::isnan(TQuantile(0.05, 0, U)));
  EXPECT_TRUE(std::isnan(ChiSqQuantile(-0.1, 3, L)));
  EXPECT_TRUE(std::isnan(TTail(2, -1, U)));
  EXPECT_TRUE(std::isnan(ChiSqTail(2, 0, U)));
  EXPECT_TRUE(std::isnan(FTail(2, 3, 0, U)));
  EXPECT_TRUE(std::isnan(NormalTailExact(std::nan(""), L)));
  EXPECT_TRUE(Warnings.empty());
}

TEST_F(TailSides, IncompleteGammaBothSidesAgainstReference) {
  struct Case {
    double a, x;
    TTails side;
    double expected;
  };
  const Case cases[] = {
      // Series and continued fraction.
      {0.5, 1e-10, L, 1.1283791670579e-05},   // pgamma(1e-10, 0.5)
      {0.5, 60, U, 6.3260682636772604e-28},   // pgamma(60, 0.5, lower.tail=FALSE)
      {7.5, 0.2, L, 3.4196883452622655e-10},  // pgamma(0.2, 7.5)
      {7.5, 90, U, 2.3773959174599747e-30},   // pgamma(90, 7.5, lower.tail=FALSE)
      {400, 300, L, 2.2066520142884453e-08},  // pgamma(300, 400)
      {400, 520, U, 1.8625232716785704e-08},  // pgamma(520, 400, lower.tail=FALSE)
      // The uniform asymptotic expansion from a = 1000.
      {1e3, 1e3, U, 0.49579475581978449},         // pgamma(1e3, 1e3, lower.tail=FALSE)
      {1e3, 1900, U, 1.0818939340784651e-114},    // pgamma(1900, 1e3, lower.tail=FALSE)
      {1e3, 400, L, 9.097512748435135e-140},      // pgamma(400, 1e3)
      {1e7, 1.001e7, U, 0.00078525343460562826},  // pgamma(1.001e7, 1e7, lower.tail=FALSE)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("a = " + std::to_string(c.a) + ", x = " + std::to_string(c.x));
    const TTwoSides s = IncompleteGamma(c.a, c.x);
    EXPECT_TRUE(Relative(c.side == L ? s.Lower : s.Upper, c.expected, 1e-13));
  }
}

TEST_F(TailSides, IncompleteBetaBothSidesAgainstReference) {
  // x and y = 1 - x are passed separately; the reference is taken at the smaller of them.
  struct Case {
    double a, b, x, y;
    TTails side;
    double expected;
  };
  const Case cases[] = {
      {2, 3, 0.3, 0.7, L, 0.34829999999999989},              // pbeta(0.3, 2, 3)
      {3.5, 2e4, 1e-5, 1 - 1e-5, L, 0.0002634983903193821},  // pbeta(1e-5, 3.5, 2e4)
      {3.5, 2e4, 0.02, 0.98, U,
       3.2199131052843674e-170},                     // pbeta(0.02, 3.5, 2e4, lower.tail=FALSE)
      {30, 50, 0.35, 0.65, U, 0.67205446453734619},  // pbeta(0.35, 30, 50, lower.tail=FALSE)
      {0.5, 0.5, 1 - 1e-3, 1e-3, U, 0.020135041633377489},    // pbeta(1e-3, 0.5, 0.5)
      {2, 0.5, 1e-12, 1 - 1e-12, L, 3.7500000000012471e-25},  // pbeta(1e-12, 2, 0.5)
      // One large parameter: the continued fraction lost 3e-10 at x near 1 here.
      {5e6, 0.5, 1 - 4e-7, 4e-7, L,
       0.045500247699066514},  // pbeta(4e-7, 0.5, 5e6, lower.tail=FALSE)
      {5e6, 0.5, 1 - 4e-7, 4e-7, U, 0.95449975230093353},  // pbeta(4e-7, 0.5, 5e6)
      {5e6, 0.5, 1 - 2.5e-6, 2.5e-6, L,
       5.7329422349576636e-07},  // pbeta(2.5e-6, 0.5, 5e6, lower.tail=FALSE)
      {0.5, 5e6, 2.5e-6, 1 - 2.5e-6, U,
       5.7329422349576636e-07},  // pbeta(2.5e-6, 0.5, 5e6, lower.tail=FALSE)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("a = " + std::to_string(c.a) + ", b = " + std::to_string(c.b) +
                 ", x = " + std::to_string(c.x));
    const TTwoSides s = IncompleteBeta(c.a, c.b, c.x, c.y);
    EXPECT_TRUE(Relative(c.side == L ? s.Lower : s.Upper, c.expected, 1e-13));
  }
}

}  // namespace
}  // namespace sorvel
