#include "hypothesis/mean_dispersion_tests.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "numerics/common.h"

namespace sorvel {
namespace {

TMDInputs Typed(TMDTest test, double x1, double s1, double n1, double x2, double s2, double n2,
                double r12 = 0) {
  TMDInputs in;
  in.Test = test;
  in.X1 = x1;
  in.S1 = s1;
  in.N1 = n1;
  in.X2 = x2;
  in.S2 = s2;
  in.N2 = n2;
  in.R12 = r12;
  return in;
}

void ExpectNear(double actual, double expected, const std::string& what) {
  EXPECT_NEAR(actual, expected, 1e-9 * std::max(1.0, std::fabs(expected))) << what;
}

TEST(MeanDispersionTests, StatisticsAgainstR) {
  // The Part's example: 10, 2, 10 against 12, 3, 12.
  // R: vp <- (9 * 4 + 11 * 9) / 20; t <- -2 / sqrt(vp / 10 + vp / 12); 2 * pt(-abs(t), 20)
  TMDResult two = ComputeMeanDispersion(Typed(TMDTest::TwoSampleIndependent, 10, 2, 10, 12, 3, 12));
  ASSERT_TRUE(two.Error.empty());
  ExpectNear(two.EqualMeans.Value, -1.7978662999019788, "pooled t");
  ExpectNear(two.EqualMeans.P, 0.087312827629398862, "pooled p");
  EXPECT_EQ(two.EqualMeans.Df, 20);
  // R: se <- sqrt(4 / 10 + 9 / 12); Welch t, df and p
  ExpectNear(two.UnequalMeans.Value, -1.8650096164806276, "Welch t");
  ExpectNear(two.UnequalMeans.Df, 19.190545987541224, "Welch df");
  ExpectNear(two.UnequalMeans.P, 0.077546438682058627, "Welch p");
  // R: 2 * min(pf(4 / 9, 9, 11), pf(4 / 9, 9, 11, lower.tail = FALSE))
  ExpectNear(two.FTest.Value, 0.44444444444444442, "F");
  ExpectNear(two.FTest.P, 0.23355354275366674, "F p");
  // R: -2 + c(-1, 1) * qt(.975, 20) * sqrt(vp * (1 / 10 + 1 / 12)); with qt(.975, w) * se
  ExpectNear(two.DiffEqual.Lower, -4.3204878442624945, "pooled interval");
  ExpectNear(two.DiffUnequal.Upper, 0.24301080516025975, "Welch interval");

  // Welch at fractional df (R: the same formulas): df 1.04 and 2.14.
  TMDResult w1 = ComputeMeanDispersion(Typed(TMDTest::TwoSampleIndependent, 3, 1, 2, 0, 1, 100));
  ExpectNear(w1.UnequalMeans.Df, 1.0403957963806203, "Welch df 1.04");
  ExpectNear(w1.UnequalMeans.P, 0.14134217913870473, "Welch p at df 1.04");
  TMDResult w2 = ComputeMeanDispersion(Typed(TMDTest::TwoSampleIndependent, 0, 1, 10, 5, 3, 3));
  ExpectNear(w2.DiffUnequal.Lower, -12.134495846494618, "Welch interval at df 2.14");
  ExpectNear(w2.DiffUnequal.Upper, 2.1344958464946178, "Welch interval at df 2.14");
  ExpectNear(w2.UnequalMeans.P, 0.097377575411897593, "Welch p at df 2.14");

  // One-sample mean 10, 2, 25 against Mo 9. R: t <- 2.5; 2 * pt(-t, 24); pt(t, 24)
  TMDInputs one = Typed(TMDTest::OneSampleMean, 10, 2, 25, 9, 0, 0);
  ExpectNear(ComputeMeanDispersion(one).MeanTest.Value, 2.5, "one-sample t");
  ExpectNear(ComputeMeanDispersion(one).MeanTest.P, 0.019654175116578753, "one-sample p");
  one.HypMeans = TMDHyp::AtLeast;  // the alternative is the lower tail
  ExpectNear(ComputeMeanDispersion(one).MeanTest.P, 0.99017291244171068, "one-sample lower p");

  // One-sample variance: s 2, n 25 against So 1.5. R: x <- 4 * 24 / 2.25; pchisq(x, 24)
  TMDInputs var = Typed(TMDTest::OneSampleVariance, 0, 2, 25, 0, 1.5, 0);
  ExpectNear(ComputeMeanDispersion(var).VarianceTest.Value, 42.666666666666664, "chi-square");
  ExpectNear(ComputeMeanDispersion(var).VarianceTest.P, 0.021709589275415404, "chi-square p");
  var.HypVariance = TMDHyp::AtLeast;
  ExpectNear(ComputeMeanDispersion(var).VarianceTest.P, 0.98914520536229233, "lower tail");

  // Paired 10, 2 and 11, 3, n 20, r 0.6. R: v <- 4 + 9 - 2 * .6 * 6; t <- -1 / sqrt(v / 20)
  TMDResult paired =
      ComputeMeanDispersion(Typed(TMDTest::TwoSampleDependent, 10, 2, 20, 11, 3, 0, 0.6));
  ExpectNear(paired.PairedMeans.Value, -1.8569533817705184, "paired t");
  ExpectNear(paired.PairedMeans.P, 0.078890311727374984, "paired p");
  ExpectNear(paired.DiffEqual.Lower, -2.1271279478285603, "paired interval");
  // R: .6 * sqrt(18 / (1 - .36)); tanh(atanh(.6) + c(-1, 1) * qnorm(.975) / sqrt(17))
  ExpectNear(paired.CorrTest.Value, 3.1819805153394638, "correlation t");
  ExpectNear(paired.CorrTest.P, 0.0051629256736767945, "correlation p");
  ExpectNear(paired.Corr.Upper, 0.82379337023494648, "rho interval");
  // R: (4 - 9) * sqrt(18) / (2 * 2 * 3 * sqrt(1 - .36)); 2 * pt(-abs(tv), 18)
  ExpectNear(paired.PairedVariance.Value, -2.2097086912079602, "matched-pair variance t");
  ExpectNear(paired.PairedVariance.P, 0.040320286544374036, "matched-pair variance p");
}

TEST(MeanDispersionTests, Messages) {
  struct Case {
    TMDInputs in;
    const char* message;
  };
  TMDInputs mseWithoutDf = Typed(TMDTest::OneSampleMean, 1, 1, 5, 0, 0, 0);
  mseWithoutDf.Df = TMDDf::FromMse;
  TMDInputs mseTest3 = Typed(TMDTest::TwoSampleIndependent, 1, 1, 5, 0, 0, 5);
  mseTest3.Df = TMDDf::FromMse;  // s2 is hidden then; only df(s) is missing
  const Case cases[] = {
      {Typed(TMDTest::OneSampleMean, 1, 1, 1, 0, 0, 0), MDNMessage},
      {Typed(TMDTest::TwoSampleIndependent, 1, 1, 5, 0, 1, 1), MDNMessage},
      {Typed(TMDTest::OneSampleVariance, 1, 0, 5, 0, 1, 0), MDSMessage},
      {Typed(TMDTest::TwoSampleIndependent, 1, 1, 5, 0, 0, 5), MDSMessage},
      {Typed(TMDTest::TwoSampleDependent, 1, 1, 5, 0, 0, 0), MDSMessage},
      {mseWithoutDf, MDDfMessage},
      {mseTest3, MDDfMessage},
      {Typed(TMDTest::TwoSampleDependent, 1, 1, 5, 0, 1, 0, 1.5), MDRMessage},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ComputeMeanDispersion(c.in).Error, c.message) << static_cast<int>(c.in.Test);
  // A hidden n2 does not refuse the paired test.
  EXPECT_TRUE(
      ComputeMeanDispersion(Typed(TMDTest::TwoSampleDependent, 1, 1, 5, 0, 1, 0)).Error.empty());
}

TEST(MeanDispersionTests, PerfectAndDegeneratePairs) {
  // r12 = 1: no t (it was infinite), p 0, and the rho interval is the point.
  TMDResult line =
      ComputeMeanDispersion(Typed(TMDTest::TwoSampleDependent, 10, 2, 10, 12, 3, 0, 1));
  EXPECT_TRUE(line.CorrTest.Undefined);
  EXPECT_EQ(line.CorrTest.P, 0);
  EXPECT_EQ(line.Corr.Lower, 1);
  EXPECT_EQ(line.Corr.Upper, 1);
  EXPECT_FALSE(line.PairedVariance.Shown);

  // Equal dispersions and r12 = 1: the differences are constant (the radicand was -8.9e-17).
  TMDInputs same =
      Typed(TMDTest::TwoSampleDependent, 5, std::sqrt(2.0), 10, 5, std::sqrt(2.0), 0, 1);
  TMDResult none = ComputeMeanDispersion(same);
  EXPECT_TRUE(none.PairedMeans.Undefined);
  EXPECT_EQ(none.PairedMeans.P, NotAvailable);  // no difference: nothing was tested
  EXPECT_EQ(none.DiffEqual.Lower, 0);
  EXPECT_EQ(none.DiffEqual.Upper, 0);
  same.X2 = 6;
  TMDResult shifted = ComputeMeanDispersion(same);
  EXPECT_TRUE(shifted.PairedMeans.Undefined);
  EXPECT_EQ(shifted.PairedMeans.P, 0);  // a constant, non-zero difference
}

TEST(MeanDispersionTests, HiddenInputsDoNotCount) {
  // A paired test with n2 50 and "df from MSE" left from another test: mu2's interval uses
  // n1 (R: 9 + c(-1, 1) * qt(.975, 9) * 3 / sqrt(10)) and every interval is there.
  TMDInputs in = Typed(TMDTest::TwoSampleDependent, 10, 2, 10, 9, 3, 50, 0.5);
  in.Df = TMDDf::FromMse;
  TMDResult res = ComputeMeanDispersion(in);
  ASSERT_TRUE(res.Error.empty());
  ExpectNear(res.Mean2.Lower, 6.8539292820880062, "mu2 lower");
  ExpectNear(res.Mean2.Upper, 11.146070717911993, "mu2 upper");
  EXPECT_TRUE(res.Disp2.Shown);
  EXPECT_TRUE(res.DiffEqual.Shown);
  // The same with n2 0 (after Reset).
  in.N2 = 0;
  in.Df = TMDDf::Standard;
  TMDResult reset = ComputeMeanDispersion(in);
  EXPECT_TRUE(reset.Mean2.Shown);
  EXPECT_TRUE(reset.Disp2.Shown);
  EXPECT_TRUE(reset.DiffEqual.Shown);
}

}  // namespace
}  // namespace sorvel
