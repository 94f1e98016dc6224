#include "quality/chart_view_options.h"

#include <gtest/gtest.h>

using namespace sorvel;

namespace {

TAnalysis ViewAnalysis() {
  TAnalysis a;
  a.Name = "view-test";
  a.Options = ChartViewOptionSpecs(AllChartViewItems());
  a.Options.push_back(SelectOption());
  return a;
}

TEST(ChartViewOptionsTest, FlagsInCommandShapeSetTheMenuState) {
  const TAnalysis a = ViewAnalysis();
  TValidation v = ValidateOptions(a, {}, nullptr);
  ASSERT_TRUE(v.Ok) << v.Message;
  TChartViewOptions d = ChartViewOptionsFrom(v.Values);
  EXPECT_TRUE(d.DisplayViolations);
  EXPECT_TRUE(d.ConnectPoints);
  EXPECT_EQ(d.AxisDecimals, -1);
  EXPECT_EQ(d.Split, 60);

  v = ValidateOptions(a,
                      {{"no-connect-points", "1"},
                       {"display-zones", "1"},
                       {"axis-decimal-places", "2"},
                       {"split", "75"},
                       {"display-control-violation-codes", "1"},
                       {"no-display-control-violations", "1"}},
                      nullptr);
  ASSERT_TRUE(v.Ok) << v.Message;
  d = ChartViewOptionsFrom(v.Values);
  EXPECT_FALSE(d.ConnectPoints);
  EXPECT_TRUE(d.DisplayZones);
  EXPECT_EQ(d.AxisDecimals, 2);
  EXPECT_EQ(d.Split, 75);
  // Turning the violation display off turns its codes off too.
  EXPECT_FALSE(d.DisplayCodes);

  EXPECT_FALSE(ValidateOptions(a, {{"split", "95"}}, nullptr).Ok);
  EXPECT_FALSE(ValidateOptions(a, {{"axis-decimal-places", "10"}}, nullptr).Ok);
}

TEST(ChartViewOptionsTest, FormatsCaptionsAndHints) {
  EXPECT_EQ(AxisValueFormat(-1), "#,##0.#########");
  EXPECT_EQ(AxisValueFormat(0), "#,##0");
  EXPECT_EQ(AxisValueFormat(3), "#,##0.000");
  EXPECT_EQ(AxisDecimalsCaption(-1), "Axis Decimal &Places (Floating)");
  EXPECT_EQ(AxisDecimalsCaption(4), "Axis Decimal &Places (4)");
  EXPECT_EQ(SplitHint(60), "Location/Dispersion Chart Sizing (60%/40%)");
  EXPECT_EQ(SplitHint(10), "Location/Dispersion Chart Sizing (0%/100%)");
  EXPECT_EQ(SplitHint(90), "Location/Dispersion Chart Sizing (100%/0%)");
}

TEST(ChartViewOptionsTest, SelectionByNumberNameOrAll) {
  const std::vector<std::string> names = {"Diameter", "Width", "12"};
  struct {
    const char* select;
    std::vector<int> picked;
  } cases[] = {
      {"", {0}},
      {"all", {0, 1, 2}},
      {"2", {1}},
      {"width", {1}},
      // A number that is no position may still be a chart's name.
      {"12", {2}},
  };
  for (const auto& c : cases) {
    std::vector<int> picked;
    std::string error;
    EXPECT_TRUE(ResolveSelection(c.select, names, picked, error)) << c.select;
    EXPECT_EQ(picked, c.picked) << c.select;
  }
  std::vector<int> picked;
  std::string error;
  EXPECT_FALSE(ResolveSelection("4", names, picked, error));
  EXPECT_NE(error.find("'Width'"), std::string::npos);
  EXPECT_TRUE(ResolveSelection("", {}, picked, error));
  EXPECT_TRUE(picked.empty());
}

}  // namespace
