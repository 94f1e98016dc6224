#include "numerics/discrete.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "numerics/common.h"
#include "numerics_fixture.h"

namespace sorvel {
namespace {

class DiscreteDistributions : public TNumericsTest {};

struct TCase {
  std::string Call;  // the routine and its arguments, as the failure message names it
  std::function<double()> Compute;
  double Expected;
  double Tolerance;
};

#define CALL(expr) #expr, [] { return expr; }

// Sums and walks: 1e-9 absolute; through BetaI (good to about 1e-7): 1e-7.
constexpr double Sum = 1e-9, Beta = 1e-7;

TEST_F(DiscreteDistributions, AgainstReference) {
  // R 4.2.2, each value printed with sprintf("%.17g", ...) of the call beside it.
  const TCase cases[] = {
      {CALL(ChooseLn(10, 4)), 5.3471075307174685, 1e-12},      // lchoose(10, 4)
      {CALL(ChooseLn(1030, 515)), 710.24690486507848, 1e-10},  // lchoose(1030, 515)
      {CALL(ChooseLn(5000, 1234)), 2789.6246944728318, 1e-9},  // lchoose(5000, 1234)
      {CALL(ChooseLn(7, 0)), 0, 0},

      {CALL(BinomialProb(0.5, 2, 4)), 0.375, 1e-15},
      // C(1030, 515) is beyond the double range; the logarithm is not.
      {CALL(BinomialProb(0.5, 515, 1030)), 0.024855129936574471, Sum},   // dbinom(515, 1030, 0.5)
      {CALL(BinomialProb(0.3, 1500, 5000)), 0.012310854166288866, Sum},  // dbinom(1500, 5000, 0.3)
      {CALL(BinomialProb(0.01, 3, 200)), 0.18135533990908706, Sum},      // dbinom(3, 200, 0.01)
      {CALL(BinomialProb(0.3, 0, 5000)), 0, Sum},                        // dbinom(0, 5000, 0.3)
      {CALL(BinomialProb(0.3, 6, 5)), 0, 0},
      {CALL(BinomialProb(0.0, 0, 5)), 1, 0},  // p = 0 and 1: all mass on 0 or on n
      {CALL(BinomialProb(1.0, 4, 5)), 0, 0},

      {CALL(BinomialUpper(0.5, 3, 4)), 0.3125, Sum},
      {CALL(BinomialUpper(0.5, 500, 1100)), 0.99884499969796503,
       Sum},  // pbinom(499, 1100, 0.5, lower.tail = FALSE)
      {CALL(BinomialUpper(0.3, 1550, 5000)), 0.063639063939632423,
       Sum},  // pbinom(1549, 5000, 0.3, lower.tail = FALSE)
      {CALL(BinomialUpper(0.3, 1400, 5000)), 0.99909575897858782,
       Sum},  // pbinom(1399, 5000, 0.3, lower.tail = FALSE)
      {CALL(BinomialUpper(0.02, 1, 50)), 0.63583031991288275,
       Sum},  // pbinom(0, 50, 0.02, lower.tail = FALSE)
      {CALL(BinomialUpper(0.3, 0, 10)), 1, 0},
      {CALL(BinomialUpper(0.3, 11, 10)), 0, 0},

      {CALL(BinomialUpperBeta(0.5, 3, 4)), 0.3125, Beta},
      {CALL(BinomialUpperBeta(0.3, 7, 20)), 0.39199018779907585,
       Beta},  // pbinom(6, 20, 0.3, lower.tail = FALSE)
      {CALL(BinomialUpperBeta(0.3, 20, 20)), std::pow(0.3, 20), 1e-20},
      {CALL(BinomialUpperBeta(0.3, 21, 20)), 0, 0},  // BetaI(21, 0, p) is no probability
      {CALL(BinomialUpperBeta(0.3, 0, 20)), 1, 0},

      {CALL(PoissonProb(3, 2.5)), 0.21376301724973648, Sum},           // dpois(3, 2.5)
      {CALL(PoissonProb(5000, 5000)), 0.005641801804664023, Sum},      // dpois(5000, 5000)
      {CALL(PoissonProb(4700, 5000)), 5.9648145681481572e-07, 1e-15},  // dpois(4700, 5000)
      {CALL(PoissonProb(2.6, 2.5)), 0.21376301724973648, Sum},         // k rounded to 3
      {CALL(PoissonProb(0, 0)), 1, 0},
      {CALL(PoissonProb(3, -1)), 0, 0},
      {CALL(PoissonUpper(3, 1)), 0.080301397071394193, Sum},  // ppois(2, 1, lower.tail = FALSE)
      {CALL(PoissonUpper(4800, 5000)), 0.99783047345459797,
       Sum},  // ppois(4799, 5000, lower.tail = FALSE)
      {CALL(PoissonUpper(0, 1)), 1, 0},
      {CALL(PoissonCumulative(2, 1)), 0.91969860292860584, Sum},        // ppois(2, 1)
      {CALL(PoissonCumulative(5100, 5000)), 0.92203766545937893, Sum},  // ppois(5100, 5000)
      {CALL(PoissonCumulative(0, 3)), 0.049787068367863944, Sum},       // ppois(0, 3)

      {CALL(HypergeoUpper(0.3, 40, 100, 1000)), 0.015884297232080968,
       Sum},  // phyper(39, 300, 700, 100, lower.tail = FALSE)
      {CALL(HypergeoUpper(0.3, 25, 100, 1000)), 0.89861028950949362,
       Sum},  // phyper(24, 300, 700, 100, lower.tail = FALSE)
      // Counts outside max(0, n - (N - D))..min(n, D) are impossible: 2 failures cannot
      // make 5 draws without a success.
      {CALL(HypergeoUpper(0.8, 4, 5, 10)), 0.77777777777777779,
       Sum},  // phyper(3, 8, 2, 5, lower.tail = FALSE)
      {CALL(HypergeoUpper(0.8, 3, 5, 10)), 1, 0},
      {CALL(HypergeoUpper(0.8, 6, 5, 10)), 0, 0},

      {CALL(FisherExact2x2(1, 9, 11, 3, 0)), 0.0027594561852200836,
       Sum},  // fisher.test(rbind(c(1,9), c(11,3)))
      // Tables at exactly the observed difference of proportions belong to the p-value.
      {CALL(FisherExact2x2(10, 20, 30, 40, 0)), 0.50447576985162823,
       Sum},  // fisher.test(rbind(c(10,20), c(30,40)))
      // Equal rows or columns: the two tails overlap; the sum is capped at 1.
      {CALL(FisherExact2x2(2, 1, 2, 1, 0)), 1, 0},  // fisher.test(rbind(c(2,1), c(2,1)))
      {CALL(FisherExact2x2(5, 5, 5, 5, 0)), 1, 0},  // fisher.test(rbind(c(5,5), c(5,5)))
      {CALL(FisherExact2x2(10, 20, 30, 40, 1)), 0.25333107136175576, Sum},  // alternative = "less"
      {CALL(FisherExact2x2(10, 20, 30, 40, 2)), 0.86764196478944156,
       Sum},  // alternative = "greater"
      // Equal shares (1/3 and 3/9): each one-sided alternative has its own tail.
      {CALL(FisherExact2x2(1, 3, 2, 6, 2)), 0.74545454545454537,
       Sum},  // fisher.test(rbind(c(1,3), c(2,6)), alternative = "greater")
      {CALL(FisherExact2x2(1, 3, 2, 6, 1)), 0.76363636363636356, Sum},  // alternative = "less"
      // Ordered by the difference of proportions, not by probability as fisher.test:
      // o <- function(a,b,c,d) {R1 <- a+b; R2 <- c+d; C1 <- a+c; C2 <- b+d; x <- 0:C1;
      //   sum(dhyper(x, C1, C2, R1)[abs(x*R2 - (C1-x)*R1) >= abs(a*R2 - c*R1)])}
      {CALL(FisherExact2x2(11, 3, 1, 1, 0)), 1, Sum},                       // o(11, 3, 1, 1)
      {CALL(FisherExact2x2(3, 9, 7, 1, 0)), 0.019766611097880436, Sum},     // o(3, 9, 7, 1)
      {CALL(FisherExact2x2(0, 5, 20, 3, 0)), 0.00056980056980056911, Sum},  // o(0, 5, 20, 3)
      {CALL(FisherExact2x2(1000500, 1000000, 1000000, 1000500, 1)), 0.6917924025169544,
       Sum},  // "less"
      {CALL(FisherExact2x2(1000500, 1000000, 1000000, 1000500, 2)), 0.308911662044006,
       Sum},  // "greater"
      {CALL(FisherExact2x2(1000500, 1000000, 1000000, 1000500, 0)), 0.61782332408802054,
       Sum},  // o(...)
      {CALL(FisherExact2x2(1001500, 1000000, 1000000, 1001500, 0)), 0.13401943003892913,
       Sum},  // fisher.test

      {CALL(SignTestP(5, 5, 0)), 1, 0},
      {CALL(SignTestP(1, 9, 0)), 0.021484375000000014, Beta},  // binom.test(1, 10)
      {CALL(SignTestP(12, 4, 2)), 0.038406372070312521,
       Beta},  // binom.test(4, 16, alternative = "less")
      {CALL(SignTestP(12, 4, 1)), 0.9893646240234375,
       Beta},  // binom.test(4, 16, alternative = "greater")
      {CALL(SignTestP(0, 0, 0)), 1, 0},
      {CALL(SignTestP(0, 0, 1)), 1, 0},
      {CALL(SignTestP(0, 0, 2)), 1, 0},
      // Counts near 2^30 each, summing past 32 bits; n <- 1073741824 + 1073791824
      {CALL(SignTestP(1073741824, 1073791824, 0)), 0.28062108177165418,
       Beta},  // 2 * pbinom(1073791823, n, 0.5, lower.tail = FALSE)
      {CALL(SignTestP(1073741824, 1073791824, 1)), 0.14031054088582709,
       Beta},  // pbinom(1073791823, n, 0.5, lower.tail = FALSE)
      {CALL(SignTestP(1073741824, 1073791824, 2)), 0.85969907929641343,
       Beta},  // pbinom(1073791824, n, 0.5)
      {CALL(SignTestP(1073741824, 1073741824, 0)), 1, 0},

      {CALL(BinomialTestP(7, 10, 0.5, 2)), 0.17187500000000006,
       Beta},  // binom.test(7, 10, alternative = "greater")
      // P(X <= n) is 1, not BetaI(n + 1, 0, p).
      {CALL(BinomialTestP(5, 5, 0.99, 1)), 1, 0},  // binom.test(5, 5, 0.99, alternative = "less")
      // Two-sided by doubling the tail on k's side (binom.test differs for p0 != 0.5).
      {CALL(BinomialTestP(3, 20, 0.3, 0)), 0.21417360900746193, Beta},  // 2 * pbinom(3, 20, 0.3)
      {CALL(BinomialTestP(18, 20, 0.3, 0)), 7.5461762847419976e-08,
       1e-9},  // 2 * pbinom(17, 20, 0.3, lower.tail = FALSE)
      {CALL(BinomialTestP(3, 10, 0.3, 0)), 1, 0},
      // No trials: nothing speaks against any hypothesis.
      {CALL(BinomialTestP(0, 0, 0.5, 0)), 1, 0},
      {CALL(BinomialTestP(0, 0, 0.5, 1)), 1, 0},
      {CALL(BinomialTestP(0, 0, 0.5, 2)), 1, 0},
  };
  for (const auto& c : cases) {
    const double value = c.Compute();
    EXPECT_NEAR(value, c.Expected, c.Tolerance) << c.Call;
  }
  EXPECT_TRUE(Warnings.empty());
}

TEST_F(DiscreteDistributions, ImpossibleCountsHaveProbabilityZero) {
  EXPECT_EQ(ChooseLn(5, 7), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(ChooseLn(5, -1), -std::numeric_limits<double>::infinity());
  double cache = 0;
  // dhyper(0, 8, 2, 5): five draws from two failures must include a success.
  EXPECT_EQ(HypergeoProb(0.8, 0, 5, 10, cache), 0);
  EXPECT_EQ(HypergeoProb(0.8, 6, 5, 10, cache), 0);
  EXPECT_EQ(HypergeoProb(0.0, 1, 5, 10, cache), 0);
}

TEST_F(DiscreteDistributions, HypergeoProbFillsAnEmptyCacheOnly) {
  double cache = 0;
  // dhyper(2, 5, 5, 4) = 0.47619047619047628
  EXPECT_NEAR(HypergeoProb(0.5, 2, 4, 10, cache), 0.47619047619047628, 1e-12);
  EXPECT_NEAR(cache, std::log(210.0), 1e-12);
  // A filled cache is used as given: a wrong one shows in the result.
  cache = std::log(105.0);
  EXPECT_NEAR(HypergeoProb(0.5, 2, 4, 10, cache), 2 * 0.47619047619047628, 1e-12);
  cache = 0;
  // dhyper(30, 300, 700, 100) = 0.091475039239264408
  EXPECT_NEAR(HypergeoProb(0.3, 30, 100, 1000, cache), 0.091475039239264408, 1e-9);
}

TEST_F(DiscreteDistributions, FisherNotAvailable) {
  struct Table {
    std::int64_t a, b, c, d;
  };
  const Table tables[] = {
      {0, 3, 0, 4},                          // empty first column
      {3, 0, 4, 0},                          // empty second column
      {0, 0, 3, 4},                          // empty first row
      {3, 4, 0, 0},                          // empty second row
      {-1, 3, 4, 5},                         // a negative count
      {2500001, 2500000, 2500000, 2500000},  // more than 10,000,000 observations
      {1500000000, 1500000000, 1500000000, 1500000000},
  };
  for (const auto& t : tables) {
    for (int alt = 0; alt <= 2; ++alt) {
      StatError = 0;
      EXPECT_EQ(FisherExact2x2(t.a, t.b, t.c, t.d, alt), NotAvailable)
          << t.a << " " << t.b << " " << t.c << " " << t.d << " alt " << alt;
      EXPECT_EQ(StatError, 1);
    }
  }
  EXPECT_NE(FisherExact2x2(2500000, 2500000, 2500000, 2500000, 0), NotAvailable);
  EXPECT_EQ(StatError, 0);
}

// Every small table: the one-sided p-values are the two tails of the top-left cell, so
// P(X <= a) + P(X >= a) = 1 + P(X = a) whichever column has the smaller share; the
// two-sided value holds the observed table's own tail and never exceeds 1.
TEST_F(DiscreteDistributions, FisherTailsMeetInTheObservedTable) {
  for (int a = 0; a <= 6; ++a) {
    for (int b = 0; b <= 6; ++b) {
      for (int c = 0; c <= 6; ++c) {
        for (int d = 0; d <= 6; ++d) {
          if (a + b == 0 || c + d == 0 || a + c == 0 || b + d == 0) continue;
          const double lower = FisherExact2x2(a, b, c, d, 1), upper = FisherExact2x2(a, b, c, d, 2);
          double cache = 0;
          const int c1 = a + c, n = a + b + c + d;
          const double pa = HypergeoProb(static_cast<double>(c1) / n, a, a + b, n, cache);
          EXPECT_NEAR(lower + upper, 1 + pa, 1e-12) << a << " " << b << " " << c << " " << d;
          const double two = FisherExact2x2(a, b, c, d, 0);
          EXPECT_LE(two, 1.0);
          EXPECT_GE(two + 1e-12, std::min(lower, upper));
        }
      }
    }
  }
}

TEST_F(DiscreteDistributions, BinomialProbClearsStatError) {
  StatError = 7;
  BinomialProb(0.5, 515, 1030);
  EXPECT_EQ(StatError, 0);
}

}  // namespace
}  // namespace sorvel
