#include "numerics/intervals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "numerics/common.h"
#include "numerics_fixture.h"

namespace sorvel {
namespace {

class Intervals : public TNumericsTest {
 protected:
  void TearDown() override {
    ResetIntervalsState();
    TNumericsTest::TearDown();
  }
};

TEST_F(Intervals, ConfidenceLevelSetters) {
  TConfI c;
  c.SetConfText("90");
  EXPECT_EQ(StatError, 0);
  EXPECT_NEAR(c.conf, 0.9, 1e-15);
  EXPECT_NEAR(c.alpha, 0.1, 1e-15);
  c.SetConfText("9x");
  EXPECT_NE(StatError, 0);
  EXPECT_NEAR(c.conf, 0.9, 1e-15);  // kept
  c.SetAlpha(0.01);
  EXPECT_DOUBLE_EQ(c.conf + c.alpha, 1);
  EXPECT_DOUBLE_EQ(SharedConfI().alpha, 0.05);
}

TEST_F(Intervals, RoutinesAgainstR) {
  struct Case {
    const char* what;
    double lower, upper;  // computed
    double rLower, rUpper;
  };
  double l[6], u[6];
  MeanInterval(10, 2, 25, 24, 0.05, l[0], u[0]);
  MeanInterval(10, 2, 25, 0, 0.05, l[1], u[1]);
  SDInterval(2, 24, 0.05, l[2], u[2]);
  CorrInterval(0.5, 28, 0.05, l[3], u[3]);
  SDInterval(std::sqrt(7.0 / 3), 2, 0.004, l[4], u[4]);  // the SD of 1, 2, 4 at 99.6 %
  MeanInterval(9, 3, 10, 9, 0.05, l[5], u[5]);
  const Case cases[] = {
      // R: 10 + c(-1, 1) * qt(.975, 24) * 2 / 5
      {"mean, t", l[0], u[0], 9.1744405753487897, 10.82555942465121},
      // R: 10 + c(-1, 1) * qnorm(.975) * 2 / 5
      {"mean, df 0 is normal", l[1], u[1], 9.2160144061839784, 10.783985593816022},
      // R: sqrt(24 * 4 / qchisq(c(.975, .025), 24))
      {"sd", l[2], u[2], 1.5616567404408188, 2.7823043350137597},
      // R: tanh(atanh(.5) + c(-1, 1) * qnorm(.975) / sqrt(25))
      {"correlation", l[3], u[3], 0.15602836252908606, 0.73581847944393741},
      // R: x <- c(1, 2, 4); sqrt(2 * var(x) / qchisq(c(.998, .002), 2))
      {"sd, far lower chi-square point", l[4], u[4], 0.61274745952363807, 34.139414328920886},
      // R: 9 + c(-1, 1) * qt(.975, 9) * 3 / sqrt(10)
      {"mean, n 10", l[5], u[5], 6.8539292820880062, 11.146070717911993},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(c.lower, c.rLower, 1e-12 * std::fabs(c.rLower)) << c.what;
    EXPECT_NEAR(c.upper, c.rUpper, 1e-12 * std::fabs(c.rUpper)) << c.what;
  }
}

TEST_F(Intervals, UndefinedInputsAreNotAvailable) {
  double l = 0, u = 0;
  SDInterval(2, 0, 0.05, l, u);
  EXPECT_EQ(l, NotAvailable);
  EXPECT_EQ(u, NotAvailable);
  CorrInterval(0.5, 3, 0.05, l, u);
  EXPECT_EQ(l, NotAvailable);
  CorrInterval(1, 10, 0.05, l, u);  // a perfect line: the interval is the point
  EXPECT_EQ(l, 1);
  EXPECT_EQ(u, 1);
  CorrInterval(-1, 10, 0.05, l, u);
  EXPECT_EQ(l, -1);
  EXPECT_EQ(u, -1);

  // One value: no interval at all, rather than "5 to 5" and NaN limits.
  TConfI c;
  c.Intervals(5, 0, 1);
  for (double limit : {c.m1, c.m2, c.s1, c.s2}) EXPECT_EQ(limit, NotAvailable);
  c.Intervals(10, 2, 25);
  EXPECT_NEAR(c.m1, 9.1744405753487897, 1e-12);
  EXPECT_NEAR(c.s2, 2.7823043350137597, 1e-12);
}

TCorr PairsOf(const std::vector<double>& x, const std::vector<double>& y) {
  TCorr c;
  c.Init();
  for (std::size_t i = 0; i < x.size(); ++i) c.AddPair(x[i], y[i]);
  return c;
}

TEST_F(Intervals, PearsonRAgainstR) {
  struct Case {
    const char* what;
    std::vector<double> x, y;
    double r, p;
  };
  std::vector<double> offsetX, offsetY = {3.1, 2.9, 3.6, 3.8, 3.5, 4.2, 4.0, 4.4, 4.9, 4.6};
  for (int i = 1; i <= 10; ++i) offsetX.push_back(1.7e9 + 60 * i);
  const Case cases[] = {
      // R: cor.test(c(1, 2, 3), c(2, 4, 6.5))
      {"three pairs", {1, 2, 3}, {2, 4, 6.5}, 0.99794871578867328, 0.04078329453683481},
      // R: cor.test(1:4, 1:4): r 1, p 0 (one-pass sums gave 1.0000000000000002, p 1)
      {"perfect line", {1, 2, 3, 4}, {1, 2, 3, 4}, 1, 0},
      // R: cor.test(1:4, 4:1)
      {"perfect falling line", {1, 2, 3, 4}, {4, 3, 2, 1}, -1, 0},
      // R: cor.test(x, y), x = 1.7e9 + 60 * (1:10) (one-pass sums gave r 5.81)
      {"offset data", offsetX, offsetY, 0.93364348852695012, 7.8253455524402674e-05},
  };
  for (const Case& c : cases) {
    TCorr corr = PairsOf(c.x, c.y);
    const double r = corr.PearsonR();
    EXPECT_FALSE(corr.Error) << c.what;
    EXPECT_NEAR(r, c.r, 1e-13) << c.what;
    EXPECT_LE(std::fabs(r), 1) << c.what;
    EXPECT_NEAR(corr.pvalue, c.p, 1e-10 * std::max(c.p, 1e-6)) << c.what;
  }
}

TEST_F(Intervals, PearsonRRefusals) {
  TCorr c = PairsOf({1, 2, 3}, {2, 4, 6.5});
  const double r = c.PearsonR();
  c.AddPair(MissingValue, 7);
  c.AddPair(4, MissingValue);
  EXPECT_EQ(c.n, 3);
  EXPECT_EQ(c.PearsonR(), r);

  TCorr constant = PairsOf({2, 2, 2}, {1, 2, 3});
  EXPECT_EQ(constant.PearsonR(), 0);
  EXPECT_TRUE(constant.Error);
  EXPECT_EQ(constant.pvalue, NotAvailable);
  constant.LinearRegression();
  EXPECT_EQ(StatError, 1);
  EXPECT_EQ(constant.B, 0);
  EXPECT_EQ(constant.a, 2);

  TCorr two = PairsOf({1, 2}, {5, 3});
  EXPECT_DOUBLE_EQ(two.PearsonR(), -1);
  EXPECT_EQ(two.pvalue, NotAvailable);  // two points always lie on a line

  TCorr none;
  none.LinearRegression();
  EXPECT_EQ(StatError, 2);
}

TEST_F(Intervals, OffsetDataKeepTheirDigits) {
  // x = 1e8 + (1, 2, 3), y = 1, 2, 3: slope 1 (one-pass sums gave 0).
  TCorr line = PairsOf({1e8 + 1, 1e8 + 2, 1e8 + 3}, {1, 2, 3});
  line.LinearRegression();
  EXPECT_EQ(StatError, 0);
  EXPECT_NEAR(line.B, 1, 1e-12);
  EXPECT_NEAR(line.a, -1e8, 1e-4);

  // R: x <- 1e8 + 0.1 * (1:10); y <- x + c(.05, -.02, .03, .01, .04, -.01, .02, .06, 0, .03)
  const std::vector<double> dy = {0.05, -0.02, 0.03, 0.01, 0.04, -0.01, 0.02, 0.06, 0, 0.03};
  std::vector<double> x, y;
  for (int i = 1; i <= 10; ++i) {
    x.push_back(1e8 + 0.1 * i);
    y.push_back(x.back() + dy[static_cast<std::size_t>(i - 1)]);
  }
  TCorr paired = PairsOf(x, y);
  EXPECT_NEAR(paired.PearsonR(), 0.99638345737444178, 1e-8);    // cor(x, y)
  EXPECT_NEAR(paired.VarX(), 0.091666667328940521, 1e-9);       // var(x)
  EXPECT_NEAR(paired.VarY(), 0.093343333625528643, 1e-9);       // var(y)
  EXPECT_NEAR(paired.VarDiff(), 0.0006766666873296264, 1e-10);  // var(x - y)
}

// Lag-1 correlation of consecutive values of the NIST StRD univariate files, against the
// exact r of the parsed doubles: Python fractions, r = Sxy / sqrt(Sxx Syy) over the pairs
// (x[i], x[i+1]) in 50-digit decimals. (NIST's certified r(1) is another definition.)
TEST_F(Intervals, NistLagOneCorrelation) {
  struct Case {
    const char* file;
    double exact;
  };
  const Case cases[] = {
      {"Lew", -0.30807152927077456},
      {"Lottery", -0.12200098877347202},
      {"Mavro", 0.95432942140753913},
      {"Michelso", 0.53533840910226025},
      {"NumAcc1", -1},
      {"NumAcc2", -0.99950037518802413},
      {"NumAcc3", -0.99950037518744234},
      {"NumAcc4", -0.99950037517871556},
      {"PiDigits", -0.0035513912574221070},
  };
  for (const Case& c : cases) {
    std::ifstream f(std::string(SORVEL_TESTDATA_DIR) + "/nist/univariate/" + c.file + ".dat");
    ASSERT_TRUE(f.good()) << c.file;
    std::vector<double> values;
    std::string line;
    for (int n = 1; std::getline(f, line); ++n)
      if (n > 60 && line.find_first_not_of(" \r") != std::string::npos)
        values.push_back(std::stod(line));
    TCorr corr;
    for (std::size_t i = 0; i + 1 < values.size(); ++i) corr.AddPair(values[i], values[i + 1]);
    const double r = corr.PearsonR();
    const double lre = r == c.exact ? 15 : -std::log10(std::fabs(r - c.exact) / std::fabs(c.exact));
    EXPECT_GE(lre, 12) << c.file << ": r " << r;
  }
}

}  // namespace
}  // namespace sorvel
