// Histogram: the nice interval, the first midpoint, counting at the boundaries, the curve
// and limit lines in the chart model, and intervals typed without bound.
#include "explore/histogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "numerics/format.h"
#include "output/report_text.h"

namespace sorvel {
namespace {

std::vector<double> Spread(int n, double lo, double hi) {
  std::vector<double> x;
  for (int i = 0; i < n; ++i) x.push_back(lo + (hi - lo) * i / (n - 1));
  return x;
}

THistogram Compute(std::vector<double> x, THistogramOptions o = {},
                   std::vector<std::string>* warnings = nullptr) {
  THistogramInputs in;
  in.Options = o;
  return ComputeHistogram(x, in, [&](const std::string& w) {
    if (warnings) warnings->push_back(w);
  });
}

std::vector<std::int32_t> Drawn(const THistogram& h) {
  return {h.Counts.begin(), h.Counts.begin() + h.Drawn};
}

const TChartSeries* Find(const TChart& c, TSeriesKind kind, const std::string& title) {
  for (const auto& s : c.Series)
    if (s.Kind == kind && s.Title == title) return &s;
  return nullptr;
}

TEST(NiceIntervalTest, StepsOfTheWidthPerTarget) {
  const std::vector<double> fine = Spread(1000, 0, 1);  // resolution about 0.001
  struct {
    double Width, Target, G;
  } cases[] = {
      {37, 10, 3},    {3.7, 10, 0.3}, {370, 10, 30}, {60, 10, 5}, {37, 11, 3},  // 3.36: t = 34
      {15, 10, 2},     // 1.5: t = 15 is no longer below 15
      {1.4, 10, 0.1},  // 0.14
      {7.4, 10, 0.5},  // 0.74
      {7.5, 10, 1},    // 0.75: t = 75 steps up to 100
  };
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(NiceInterval(c.Width, c.Target, fine), c.G) << c.Width;
}

TEST(NiceIntervalTest, NeverNarrowerThanTheDataResolution) {
  const std::vector<double> halves = {2.0, 2.5, 3.0};
  EXPECT_DOUBLE_EQ(NiceInterval(1, 10.03, halves), 0.5);
  const std::vector<double> one = {4};
  EXPECT_EQ(NiceInterval(0, 10, one), 1);
  const std::vector<double> equal = {4, 4, 4};
  EXPECT_EQ(NiceInterval(0, 10, equal), 1);
}

TEST(HistogramTest, HundredValuesOverZeroTo37) {
  THistogram h = Compute(Spread(100, 0, 37));
  EXPECT_DOUBLE_EQ(h.g, 3);
  EXPECT_DOUBLE_EQ(h.f, 0);
  EXPECT_EQ(h.SizeUsed, "Size Used: (3)");
  EXPECT_EQ(h.FirstUsed, "First Used: (0)");
  EXPECT_EQ(std::accumulate(h.Counts.begin(), h.Counts.end(), 0), 100);
  EXPECT_EQ(h.Counts.back(), 0);  // the last counter stays empty
}

TEST(HistogramTest, BoundaryValuesGoToTheLowerInterval) {
  THistogram h = Compute({2.0, 2.5, 3.0});
  EXPECT_DOUBLE_EQ(h.g, 0.5);
  EXPECT_DOUBLE_EQ(h.f, 2);
  EXPECT_EQ(Drawn(h), (std::vector<std::int32_t>{1, 1, 1, 0}));

  THistogramOptions o;
  o.IntervalSizeOn = o.FirstMidpointOn = true;
  o.IntervalSizeText = "1";
  o.FirstMidpointText = "2";
  h = Compute({1.6, 2.5, 2.6, 3.5}, o);
  EXPECT_EQ(Drawn(h)[0], 2);  // 1.6 and 2.5 (the boundary) in the interval of 2
  EXPECT_EQ(Drawn(h)[1], 2);  // 2.6 and 3.5
}

// R: i <- 1:200; x <- 10 + 2*sin(1.7*i) + (i %% 7)*0.13; g <- 0.3; f <- 8.1; m <- 17
// hist(x, breaks = seq(f - g/2, by = g, length.out = m + 1), right = TRUE)$counts
// (no value lies within 0.00017 of a boundary).
TEST(HistogramTest, CountsEqualRsHist) {
  std::vector<double> x;
  for (int i = 1; i <= 200; ++i) x.push_back(10 + 2 * std::sin(1.7 * i) + (i % 7) * 0.13);
  THistogram h = Compute(x);
  EXPECT_DOUBLE_EQ(h.g, 0.3);
  EXPECT_DOUBLE_EQ(h.f, 8.1);
  ASSERT_EQ(h.Counts.size(), 18u);
  const std::vector<std::int32_t> r = {7, 17, 20, 11, 15, 7,  14, 5, 14,
                                       7, 13, 9,  16, 17, 16, 11, 1};
  EXPECT_EQ(std::vector<std::int32_t>(h.Counts.begin(), h.Counts.begin() + 17), r);
}

TEST(HistogramTest, TypedFirstMidpointMovesDownToTheData) {
  THistogramOptions o;
  o.IntervalSizeOn = o.FirstMidpointOn = true;
  o.IntervalSizeText = "2";
  o.FirstMidpointText = "10";
  THistogram h = Compute({3, 4, 5, 9}, o);
  EXPECT_DOUBLE_EQ(h.f, 2);  // its interval reaches 3.0002 and so holds 3
  EXPECT_EQ(h.FirstUsed, "First Used: (2)");
  EXPECT_EQ(h.SizeUsed, "Size Used: (2)");
  EXPECT_EQ(Drawn(h)[0], 1);

  // A midpoint below the data stays where it is.
  o.FirstMidpointText = "-3";
  EXPECT_DOUBLE_EQ(Compute({3, 4, 5, 9}, o).f, -3);
}

TEST(HistogramTest, MovingDownAtOnceEqualsStepping) {
  struct {
    double F, G, Lo;
  } cases[] = {{10, 2, 3}, {1000.3, 0.7, 3.14}, {55.5, 0.25, -7.125}, {4, 1, 3.5}};
  for (const auto& c : cases) {
    double stepped = c.F;
    while (stepped - c.G / 2 + c.G / 10000 > c.Lo) stepped -= c.G;
    THistogramOptions o;
    o.IntervalSizeOn = o.FirstMidpointOn = true;
    o.IntervalSizeText = FormatGeneral(c.G, 17);
    o.FirstMidpointText = FormatGeneral(c.F, 17);
    EXPECT_NEAR(Compute({c.Lo, c.Lo + 1}, o).f, stepped, 1e-9) << c.F;
  }
}

TEST(HistogramTest, IntervalsWithoutBoundWarnAndUseTheAutomaticOnes) {
  const THistogram automatic = Compute(Spread(101, 0, 100));
  struct {
    const char* Case;
    const char* Size;
    const char* First;
  } cases[] = {
      {"size 1e-9", "1e-9", ""},
      {"midpoint far below", "1", "-1e12"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    THistogramOptions o;
    o.IntervalSizeOn = true;
    o.IntervalSizeText = c.Size;
    o.FirstMidpointOn = *c.First != 0;
    o.FirstMidpointText = c.First;
    std::vector<std::string> warnings;
    THistogram h = Compute(Spread(101, 0, 100), o, &warnings);
    EXPECT_EQ(warnings, std::vector<std::string>{TooManyIntervalsText});
    EXPECT_TRUE(h.TooManyIntervals);
    EXPECT_EQ(h.g, automatic.g);
    EXPECT_EQ(h.f, automatic.f);
    EXPECT_EQ(h.SizeUsed, automatic.SizeUsed);  // the labels show what was used
    EXPECT_EQ(h.Counts, automatic.Counts);
  }
  // Far above the data: moved down in one step, no warning, the same midpoint as stepping.
  THistogramOptions o;
  o.IntervalSizeOn = o.FirstMidpointOn = true;
  o.IntervalSizeText = "1";
  o.FirstMidpointText = "1e12";
  std::vector<std::string> warnings;
  THistogram h = Compute({3, 4, 8}, o, &warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_DOUBLE_EQ(h.f, 3);
  EXPECT_EQ(Drawn(h)[0], 1);
}

TEST(HistogramTest, TypedSizeZeroOrEmptyIsAutomatic) {
  const THistogram automatic = Compute(Spread(50, 1, 9));
  for (const char* text : {"0", ""}) {
    THistogramOptions o;
    o.IntervalSizeOn = true;
    o.IntervalSizeText = text;
    THistogram h = Compute(Spread(50, 1, 9), o);
    EXPECT_EQ(h.g, automatic.g);
    EXPECT_EQ(h.SizeUsed, automatic.SizeUsed);
  }
}

TEST(HistogramTest, RelativeFrequenciesSumToOne) {
  THistogramOptions o;
  o.RelativeFrequencies = true;
  THistogramInputs in;
  in.Options = o;
  std::vector<double> x = Spread(37, 0, 11);
  THistogram h = ComputeHistogram(x, in);
  TChart c = HistogramChart(h, in, {});
  const TChartSeries* bars = Find(c, TSeriesKind::Bars, "Relative Frequency");
  ASSERT_NE(bars, nullptr);
  EXPECT_NEAR(std::accumulate(bars->Y.begin(), bars->Y.end(), 0.0), 1.0, 1e-12);
  EXPECT_EQ(c.Panels[0].Left.Format, "#,##0.000");
  EXPECT_EQ(c.Panels[0].Left.Title, "Relative Frequency");
}

TEST(HistogramTest, SpecificationLimitsWidenTheRangeAndAreDrawn) {
  THistogramInputs in;
  in.USL = 50;
  in.LSL = 0.5;
  std::vector<double> x = Spread(30, 1, 10);
  THistogram h = ComputeHistogram(x, in);
  EXPECT_EQ(h.Hi, 50);
  EXPECT_EQ(h.Lo, 0.5);
  TChart c = HistogramChart(h, in, {});
  const TChartSeries* lines = Find(c, TSeriesKind::Lines, "Specifications");
  ASSERT_NE(lines, nullptr);
  EXPECT_EQ(lines->X, (std::vector<double>{0.5, 50}));
  EXPECT_DOUBLE_EQ(lines->Y2[0], 1.1 * h.MaxCount);
  EXPECT_EQ(Find(c, TSeriesKind::Points, "Specifications")->Labels,
            (std::vector<std::string>{"LSL", "USL"}));

  in.Options.Specifications = false;
  x = Spread(30, 1, 10);
  h = ComputeHistogram(x, in);
  EXPECT_EQ(h.Hi, 10);
  EXPECT_EQ(Find(HistogramChart(h, in, {}), TSeriesKind::Lines, "Specifications"), nullptr);
}

TEST(HistogramTest, NormalCurveAndProcessLimits) {
  THistogramInputs in;
  in.Options.NormalCurve = in.Options.ProcessLimits = true;
  std::vector<double> x = {1, 2, 2, 3, 3, 3, 4, 4, 5};
  THistogram h = ComputeHistogram(x, in);
  // R: 9 * (pnorm(0.5/sd(x)) - pnorm(-0.5/sd(x))), g = 1
  EXPECT_NEAR(h.H, 2.852177415, 1e-6);  // the library's normal tail, to about 1e-7
  EXPECT_EQ(h.MaxCount, 3);
  EXPECT_LE(h.AxisMin, h.Mean - 3 * h.StdDev);
  EXPECT_GE(h.AxisMax, h.Mean + 3 * h.StdDev);
  ASSERT_FALSE(h.CurveY.empty());
  const double top = *std::max_element(h.CurveY.begin(), h.CurveY.end());
  EXPECT_LE(top, h.H);  // H at the mean, the nearest point a twentieth of sd away at most
  EXPECT_GT(top, h.H * std::exp(-0.05 * 0.05 / 2));
  TChart c = HistogramChart(h, in, {});
  EXPECT_NE(Find(c, TSeriesKind::Line, "Normal Curve"), nullptr);
  EXPECT_EQ(Find(c, TSeriesKind::Points, "Process Limits")->Labels,
            (std::vector<std::string>{"Mean", "LPL", "UPL"}));
  // The widened axis has a bar slot for each interval it adds.
  const TChartSeries* bars = Find(c, TSeriesKind::Bars, "Frequency");
  EXPECT_DOUBLE_EQ(bars->X.front(), h.AxisMin);
  EXPECT_NEAR(bars->X.back(), h.AxisMax, 1e-9);
}

TEST(HistogramTest, OneValueDrawsOneBarAndNoCurve) {
  THistogramInputs in;
  in.Options.NormalCurve = true;
  std::vector<double> x = {7.25};
  THistogram h = ComputeHistogram(x, in);
  EXPECT_DOUBLE_EQ(h.f, 7.25);
  EXPECT_EQ(h.g, 1);
  EXPECT_EQ(Drawn(h)[0], 1);
  EXPECT_TRUE(h.CurveX.empty());
  EXPECT_EQ(Find(HistogramChart(h, in, {}), TSeriesKind::Line, "Normal Curve"), nullptr);
}

TEST(HistogramTest, PolygonStartsAndEndsOnTheAxis) {
  THistogramInputs in;
  in.Options.Type = THistogramType::FrequencyPolygons;
  std::vector<double> x = {2.0, 2.5, 3.0};
  THistogram h = ComputeHistogram(x, in);
  const TChart c = HistogramChart(h, in, {});
  const TChartSeries* line = Find(c, TSeriesKind::Line, "Frequency");
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->X, (std::vector<double>{1.5, 2, 2.5, 3, 3.5, 4}));
  EXPECT_EQ(line->Y, (std::vector<double>{0, 1, 1, 1, 0, 0}));
}

TEST(HistogramTest, TitlesAndMidpointDecimals) {
  using T = THistogramType;
  EXPECT_EQ(HistogramTitle(T::Histograms, true, 3, 1, "Variable", "(All)"), "Histogram: (All)");
  EXPECT_EQ(HistogramTitle(T::Histograms, false, 3, 2, "Machine", "M1"), "Histogram: Machine (M1)");
  EXPECT_EQ(HistogramTitle(T::FrequencyPolygons, true, 1, 1, "Variable", "Diameter"),
            "Frequency Polygon: Diameter");
  EXPECT_EQ(MidpointDecimals(0.5, ""), 1);
  EXPECT_EQ(MidpointDecimals(0.1, ""), 2);
  EXPECT_EQ(MidpointDecimals(3, ""), 0);
  EXPECT_EQ(MidpointDecimals(0.25, "0.250"), 3);
}

}  // namespace
}  // namespace sorvel
