#include "hypothesis/statistic_calculator.h"

#include <gtest/gtest.h>

#include "output/report_text.h"
#include "output/report_writer.h"

namespace sorvel {
namespace {

// The window's controls as options: the page, want, tails (0 Two, 1 Lower, 2 Upper), the
// texts of the edits and the decimals.
TOptions Inputs(TStatPage page, bool wantPV, int tailType, std::string value, std::string df1 = "0",
                std::string df2 = "0", int decimals = 4) {
  static const char* const pages[] = {"z", "t", "chi-square", "f"};
  static const char* const tails[] = {"two", "lower", "upper"};
  TOptions o;
  o["distribution"] = pages[static_cast<int>(page)];
  o["want"] = wantPV ? "p-value" : "value";
  o["tails"] = tails[tailType];
  o["value"] = std::move(value);
  if (page == TStatPage::F) {
    o["df1"] = std::move(df1);
    o["df2"] = std::move(df2);
  } else if (page != TStatPage::Z) {
    o["df"] = std::move(df1);
  }
  o["decimals"] = std::to_string(decimals);
  return o;
}

const TAnalysis& Converter() {
  static const TAnalysis analysis = [] {
    TAnalysisRegistry r;
    r.Add(TestStatisticsAnalysis());
    return r.All().front();
  }();
  return analysis;
}

TOutcome Convert(const TOptions& o) { return RunValidated(Converter(), o, nullptr, {}, {}); }

TTestStatInputs Validated(const TOptions& o) {
  TValidation v = ValidateOptions(Converter(), o, nullptr);
  EXPECT_TRUE(v.Ok) << v.Message;
  return TestStatInputsFrom(v.Values);
}

struct TCase {
  const char* Name;
  TOptions In;
  const char* Line1;
  const char* Line2;
};

// A table of cases; no current report is left pointing into a finished case.
template <typename TParam>
class TConverterCases : public ::testing::TestWithParam<TParam> {
 protected:
  void TearDown() override { ResetReportWriter(); }
};

class TestStatisticsTest : public TConverterCases<TCase> {};

TEST_P(TestStatisticsTest, WritesTheTwoLines) {
  const TCase& c = GetParam();
  TOutcome out = Convert(c.In);
  ASSERT_EQ(out.Status, TOutcome::TStatus::Ok) << out.Error;
  EXPECT_EQ(ReportPlainText(out.Report), std::string(c.Line1) + "\n" + c.Line2 + "\n");
  ASSERT_TRUE(out.Picture.has_value());
  EXPECT_FALSE(out.Picture->Empty());
  EXPECT_EQ(CurrentReport(), nullptr);  // the run left no current report behind
}

// Expected values from R (see tests/golden/test-statistics/README.md for the calls).
INSTANTIATE_TEST_SUITE_P(
    Cases, TestStatisticsTest,
    ::testing::Values(
        // 2*pnorm(-1.96) = 0.04999579
        TCase{"zTwo", Inputs(TStatPage::Z, true, 0, "1.96"),
              "For z (Normal) Value = 1.96:", "\tTwo-tail  p-Value = 0.0500"},
        TCase{"zLower", Inputs(TStatPage::Z, true, 1, "1.96"),
              "For z (Normal) Value = 1.96:", "\tLower-tail  p-Value = 0.9750"},
        TCase{"zUpperNegative", Inputs(TStatPage::Z, true, 2, "-1.5"),
              "For z (Normal) Value = -1.5:", "\tUpper-tail  p-Value = 0.9332"},
        TCase{"zFromP", Inputs(TStatPage::Z, false, 0, "0.05"),
              "For z (Normal) p-Value = 0.05:", "\tTwo-tail  Value =  \xC2\xB1 1.9600"},
        TCase{"zFromPLower", Inputs(TStatPage::Z, false, 1, "0.05"),
              "For z (Normal) p-Value = 0.05:", "\tLower-tail  Value = -1.6449"},
        TCase{"zFromPUpper", Inputs(TStatPage::Z, false, 2, "0.05"),
              "For z (Normal) p-Value = 0.05:", "\tUpper-tail  Value = 1.6449"},
        TCase{"zLeadingPoint", Inputs(TStatPage::Z, false, 0, ".5"),
              "For z (Normal) p-Value = 0.5:", "\tTwo-tail  Value =  \xC2\xB1 0.6745"},
        TCase{"zDecimals", Inputs(TStatPage::Z, true, 0, "1.96", "0", "0", 7),
              "For z (Normal) Value = 1.96:", "\tTwo-tail  p-Value = 0.0499958"},
        TCase{"zNoDecimals", Inputs(TStatPage::Z, false, 2, "0.05", "0", "0", 0),
              "For z (Normal) p-Value = 0.05:", "\tUpper-tail  Value = 2"},
        // 1 - pt(-2, 10, lower = FALSE) is the upper area of -2: 0.9633
        TCase{"tUpperNegative", Inputs(TStatPage::T, true, 2, "-2", "10"),
              "For t Value = -2  with 10 df:", "\tUpper-tail  p-Value = 0.9633"},
        TCase{"tLowerPositive", Inputs(TStatPage::T, true, 1, "2", "10"),
              "For t Value = 2  with 10 df:", "\tLower-tail  p-Value = 0.9633"},
        TCase{"tLowerNegative", Inputs(TStatPage::T, true, 1, "-2", "10"),
              "For t Value = -2  with 10 df:", "\tLower-tail  p-Value = 0.0367"},
        TCase{"tTwo", Inputs(TStatPage::T, true, 0, "2.5", "12"),
              "For t Value = 2.5  with 12 df:", "\tTwo-tail  p-Value = 0.0279"},
        TCase{"tFromP", Inputs(TStatPage::T, false, 0, "0.05", "10"),
              "For t p-Value = 0.05  with 10 df:", "\tTwo-tail  Value =  \xC2\xB1 2.2281"},
        TCase{"tFromPLower", Inputs(TStatPage::T, false, 1, "0.05", "10"),
              "For t p-Value = 0.05  with 10 df:", "\tLower-tail  Value = -1.8125"},
        TCase{"tFromPUpper", Inputs(TStatPage::T, false, 2, "0.1", "5"),
              "For t p-Value = 0.1  with 5 df:", "\tUpper-tail  Value = 1.4759"},
        TCase{"chiUpper", Inputs(TStatPage::ChiSq, true, 2, "3.5", "4"),
              "For X\xC2\xB2 Value = 3.5  with 4 df:", "\tUpper-tail  p-Value = 0.4779"},
        TCase{"chiLower", Inputs(TStatPage::ChiSq, true, 1, "3.5", "4"),
              "For X\xC2\xB2 Value = 3.5  with 4 df:", "\tLower-tail  p-Value = 0.5221"},
        TCase{"chiTwo", Inputs(TStatPage::ChiSq, true, 0, "3.5", "4"),
              "For X\xC2\xB2 Value = 3.5  with 4 df:", "\tTwo-tail  p-Value = 0.9558"},
        TCase{"chiFromP", Inputs(TStatPage::ChiSq, false, 0, "0.05", "4"),
              "For X\xC2\xB2 p-Value = 0.05  with 4 df:", "\tTwo-tail  Value = 0.4844, 11.1433"},
        TCase{"chiFromPLower", Inputs(TStatPage::ChiSq, false, 1, "0.05", "4"),
              "For X\xC2\xB2 p-Value = 0.05  with 4 df:", "\tLower-tail  Value = 0.7107"},
        TCase{"chiFromPUpper", Inputs(TStatPage::ChiSq, false, 2, "0.05", "4"),
              "For X\xC2\xB2 p-Value = 0.05  with 4 df:", "\tUpper-tail  Value = 9.4877"},
        TCase{"fUpper", Inputs(TStatPage::F, true, 2, "3", "2", "10"),
              "For F Value = 3  with 2, 10 df:", "\tUpper-tail  p-Value = 0.0954"},
        TCase{"fLower", Inputs(TStatPage::F, true, 1, "3", "2", "10"),
              "For F Value = 3  with 2, 10 df:", "\tLower-tail  p-Value = 0.9046"},
        TCase{"fTwo", Inputs(TStatPage::F, true, 0, "3", "2", "10"),
              "For F Value = 3  with 2, 10 df:", "\tTwo-tail  p-Value = 0.1907"},
        // below the median the two-tailed area folds: 2 * pf(0.5, 5, 20) = 0.4548
        TCase{"fTwoBelowMedian", Inputs(TStatPage::F, true, 0, "0.5", "5", "20"),
              "For F Value = 0.5  with 5, 20 df:", "\tTwo-tail  p-Value = 0.4548"},
        TCase{"fFromP", Inputs(TStatPage::F, false, 0, "0.05", "2", "10"),
              "For F p-Value = 0.05  with 2, 10 df:", "\tTwo-tail  Value = 0.0254, 5.4564"},
        TCase{"fFromPLower", Inputs(TStatPage::F, false, 1, "0.05", "2", "10"),
              "For F p-Value = 0.05  with 2, 10 df:", "\tLower-tail  Value = 0.0516"},
        TCase{"fFromPUpper", Inputs(TStatPage::F, false, 2, "0.05", "2", "10"),
              "For F p-Value = 0.05  with 2, 10 df:", "\tUpper-tail  Value = 4.1028"}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

struct TErrorCase {
  const char* Name;
  TOptions In;
  const char* Message;
};

class TestStatisticsErrorTest : public TConverterCases<TErrorCase> {};

TEST_P(TestStatisticsErrorTest, RefusesWithTheWindowsMessage) {
  const TErrorCase& c = GetParam();
  TOutcome out = Convert(c.In);
  EXPECT_EQ(out.Status, TOutcome::TStatus::Refused);
  EXPECT_EQ(out.Error, c.Message);
  EXPECT_TRUE(out.Report.Empty());
  EXPECT_FALSE(out.Picture.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TestStatisticsErrorTest,
    ::testing::Values(
        TErrorCase{"pOne", Inputs(TStatPage::Z, false, 0, "1"), PValueRangeMessage},
        TErrorCase{"pZero", Inputs(TStatPage::ChiSq, false, 0, "0", "4"), PValueRangeMessage},
        TErrorCase{"pAboveOne", Inputs(TStatPage::T, false, 1, "1.5", "4"), PValueRangeMessage},
        TErrorCase{"pNegative", Inputs(TStatPage::Z, false, 2, "-0.2"), PValueRangeMessage},
        // the p-value is checked before the degrees of freedom
        TErrorCase{"pBeforeDf", Inputs(TStatPage::T, false, 0, "1", "0"), PValueRangeMessage},
        TErrorCase{"tDfZero", Inputs(TStatPage::T, true, 0, "2", "0"), DegreesOfFreedomMessage},
        TErrorCase{"chiDfZero", Inputs(TStatPage::ChiSq, false, 0, "0.5", "0"),
                   DegreesOfFreedomMessage},
        TErrorCase{"fDf1Zero", Inputs(TStatPage::F, true, 0, "2", "0", "5"),
                   DegreesOfFreedomMessage},
        TErrorCase{"fDf2Zero", Inputs(TStatPage::F, true, 0, "2", "5", "0"),
                   DegreesOfFreedomMessage},
        TErrorCase{"dfNegative", Inputs(TStatPage::T, true, 0, "2", "-3"), DegreesOfFreedomMessage},
        TErrorCase{"valueNotANumber", Inputs(TStatPage::Z, true, 0, "abc"),
                   "'abc' is not a valid number!"},
        TErrorCase{"valueEmpty", Inputs(TStatPage::Z, true, 0, ""), "'' is not a valid number!"},
        TErrorCase{"dfNotANumber", Inputs(TStatPage::F, true, 0, "2", "5", "x"),
                   "'x' is not a valid number!"}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(TestStatisticsPictureTest, BoundariesOfTheShadedTails) {
  struct {
    TOptions In;
    double XValue, XLower, XUpper;
  } cases[] = {
      {Inputs(TStatPage::Z, true, 0, "-1.96"), -1.96, -1.96, 1.96},
      {Inputs(TStatPage::T, false, 1, "0.05", "10"), -1.812461, -1.812461, 1.812461},
      // equal-tailed boundaries: p = pchisq(3.5, 4, lower = FALSE); qchisq(1 - p, 4, lower = FALSE)
      {Inputs(TStatPage::ChiSq, true, 0, "3.5", "4"), 3.5, 3.217422, 3.5},
      {Inputs(TStatPage::ChiSq, false, 0, "0.05", "4"), 11.143287, 0.484419, 11.143287},
      {Inputs(TStatPage::ChiSq, false, 1, "0.05", "4"), 0.710723, 0.710723, 9.487729},
      {Inputs(TStatPage::F, false, 2, "0.05", "2", "10"), 4.102821, 0.051557, 4.102821},
  };
  for (const auto& c : cases) {
    const TTestStatInputs in = Validated(c.In);
    const TTestStatResult res = ComputeTestStatistic(in);
    ASSERT_EQ(res.Error, "");
    const std::string what = c.In.at("distribution") + " " + c.In.at("value");
    EXPECT_NEAR(res.XValue, c.XValue, 2e-5) << what;
    EXPECT_NEAR(res.XLower, c.XLower, 2e-5) << what;
    EXPECT_NEAR(res.XUpper, c.XUpper, 2e-5) << what;
    TPictureRecord pic;
    FillTestStatPicture(in, res, pic);
    EXPECT_EQ(pic.kind, PictureKindOf(in.Page));
    EXPECT_EQ(pic.TailType, static_cast<int>(in.Tail));
    EXPECT_EQ(pic.WantPV, in.WantPV);
    EXPECT_FALSE(pic.graphic.Empty());
  }
}

// Small tails are computed as the side asked, not as one minus the other side.
TEST(TestStatisticsPictureTest, FarLowerTailsKeepTheirDigits) {
  struct {
    TOptions In;
    double Want;  // R 4.2.2
  } cases[] = {
      {Inputs(TStatPage::T, true, 1, "-40", "3"), 1.719034039457927e-05},  // pt(-40, 3)
      {Inputs(TStatPage::ChiSq, true, 1, "0.001", "10"),
       2.6030818297031978e-19},  // pchisq(1e-3, 10)
      {Inputs(TStatPage::F, true, 1, "0.0001", "5", "7"),
       4.6835568724911725e-10},                                         // pf(1e-4, 5, 7)
      {Inputs(TStatPage::Z, true, 1, "-30"), 4.9067139271481872e-198},  // pnorm(-30)
      {Inputs(TStatPage::ChiSq, false, 1, "1e-20", "4"),
       2.8284271248795316e-10},                                        // qchisq(1e-20, 4)
      {Inputs(TStatPage::Z, false, 1, "1e-30"), -11.464024688443617},  // qnorm(1e-30)
  };
  for (const auto& c : cases) {
    const TTestStatResult res = ComputeTestStatistic(Validated(c.In));
    EXPECT_NEAR(res.r / c.Want, 1, 1e-12) << c.In.at("distribution") << " " << c.In.at("value");
  }
}

TEST(TestStatisticsReportTest, LinesAreInTheBodyStyle) {
  TOutcome out = Convert(Inputs(TStatPage::Z, true, 0, "1.96"));
  ASSERT_EQ(out.Report.Lines.size(), 2u);
  for (const auto& line : out.Report.Lines) {
    EXPECT_EQ(line.Runs[0].Style.Font, "Courier New");
    EXPECT_EQ(line.Runs[0].Style.Size, TestStatBodySize);
    EXPECT_FALSE(line.Runs[0].Style.Bold);
  }
}

}  // namespace
}  // namespace sorvel
