// Plots: box plots with both fences, the pooled statistics and critical differences of
// the comparison plots, one-value groups, and what the chart model holds.
#include "explore/plots.h"

#include <gtest/gtest.h>

#include <cmath>

#include "data/data_state.h"
#include "output/chart_layout.h"
#include "support/load_text.h"

namespace sorvel {
namespace {

TExploreSet Set(std::string name, std::vector<double> values, int descCol = 0) {
  TExploreSet s;
  s.Name = s.Title = std::move(name);
  s.DescCol = descCol;
  s.Values = std::move(values);
  return s;
}

TPlotResult Plot(TPlotKind kind, const std::vector<TExploreSet>& sets, bool pooled = false) {
  TPlotOptions o;
  o.Kind = kind;
  o.PooledVariances = pooled;
  return ComputePlots(sets, o, nullptr);
}

const TChartSeries* Find(const TChart& c, TSeriesKind kind, const std::string& title) {
  for (const auto& s : c.Series)
    if (s.Kind == kind && s.Title == title) return &s;
  return nullptr;
}

TEST(BoxPlotTest, OneToNineAndThirty) {
  TPlotResult r = Plot(TPlotKind::BWOutliers, {Set("A", {30, 1, 2, 3, 4, 5, 6, 7, 8, 9})});
  const TPlotGroup& g = r.Groups[0];
  EXPECT_DOUBLE_EQ(g.Q1, 2.75);  // R: quantile(c(1:9, 30), c(.25, .75), type = 6)
  EXPECT_DOUBLE_EQ(g.Q3, 8.25);
  EXPECT_DOUBLE_EQ(g.InnerLow, -5.5);
  EXPECT_DOUBLE_EQ(g.InnerHigh, 16.5);
  EXPECT_DOUBLE_EQ(g.OuterLow, -13.75);
  EXPECT_DOUBLE_EQ(g.OuterHigh, 24.75);
  EXPECT_EQ(g.FarOutliers, std::vector<double>{30});
  EXPECT_TRUE(g.NearOutliers.empty());
  EXPECT_DOUBLE_EQ(g.WhiskerLow, 1);
  EXPECT_DOUBLE_EQ(g.WhiskerHigh, 16.5);  // the fence, not the last value inside it
  EXPECT_DOUBLE_EQ(g.Median, 5.5);
  EXPECT_EQ(r.Title, std::vector<std::string>{"Box & Whisker Plots"});

  TPlotResult plain = Plot(TPlotKind::BoxWhisker, {Set("A", {30, 1, 2, 3, 4, 5, 6, 7, 8, 9})});
  EXPECT_DOUBLE_EQ(plain.Groups[0].WhiskerHigh, 30);
  EXPECT_TRUE(plain.Groups[0].FarOutliers.empty());
}

TEST(BoxPlotTest, ValuesOnAndBeyondTheFences) {
  // 1..9 and one more value: Q1 2.75 and Q3 8.25 whatever it is (type 6 positions 2.75, 8.25).
  struct {
    double Last;
    bool Near, Far;
  } cases[] = {
      {16.5, false, false},  // on the inner fence: no outlier
      {16.6, true, false},
      {24.75, true, false},  // on the outer fence: near, not far
      {24.8, false, true},
  };
  for (const auto& c : cases) {
    TPlotResult r = Plot(TPlotKind::BWOutliers, {Set("A", {1, 2, 3, 4, 5, 6, 7, 8, 9, c.Last})});
    const TPlotGroup& g = r.Groups[0];
    EXPECT_EQ(g.NearOutliers.size(), c.Near ? 1u : 0u) << c.Last;
    EXPECT_EQ(g.FarOutliers.size(), c.Far ? 1u : 0u) << c.Last;
  }
  // Low outliers too.
  TPlotResult r = Plot(TPlotKind::BWOutliers, {Set("A", {-30, -10, 1, 2, 3, 4, 5, 6, 7, 8})});
  EXPECT_EQ(r.Groups[0].FarOutliers, std::vector<double>{-30});
  EXPECT_DOUBLE_EQ(r.Groups[0].WhiskerLow, r.Groups[0].InnerLow);
}

TEST(BoxPlotTest, ChartModel) {
  TPlotOptions o;
  TPlotResult one = ComputePlots({Set("A", {1, 2, 3, 4, 5, 6, 7, 8, 9, 30})}, o, nullptr);
  TChart c = PlotsChart(one, o, {});
  const TChartSeries* box = Find(c, TSeriesKind::Candles, "Box");
  ASSERT_NE(box, nullptr);
  // One group: the box takes 45 % of the chart's width at the default Plot Width.
  EXPECT_DOUBLE_EQ(box->BoxWidth / (c.Bottom.Max - c.Bottom.Min), 0.45);
  EXPECT_DOUBLE_EQ(box->Width, box->BoxWidth / 2);  // caps half the box
  EXPECT_EQ(box->BoxFill.Color, 0xFF8080u);
  EXPECT_EQ(box->BoxFill.Mono, ChartSilver);
  EXPECT_EQ(Find(c, TSeriesKind::Points, "Far Outliers")->Y, std::vector<double>{30});
  EXPECT_EQ(Find(c, TSeriesKind::Points, "Far Outliers")->Palette[0].Mono, ChartBlack);

  TPlotResult two = ComputePlots({Set("A", {1, 2, 3}), Set("B", {4, 5, 6})}, o, nullptr);
  c = PlotsChart(two, o, {});
  EXPECT_DOUBLE_EQ(Find(c, TSeriesKind::Candles, "Box")->BoxWidth, 0.5);
  EXPECT_EQ(c.Bottom.Labels.size(), 2u);
  EXPECT_EQ(c.Bottom.Labels[1].Text, "B");
  EXPECT_TRUE(c.Bottom.TopLabels.empty());
  o.DisplaySampleSize = true;
  c = PlotsChart(two, o, {});
  ASSERT_EQ(c.Bottom.TopLabels.size(), 3u);
  EXPECT_EQ(c.Bottom.TopLabels[0].Text, "n:");
  EXPECT_EQ(c.Bottom.TopLabels[2].Text, "3");
}

TEST(BoxPlotTest, SpecificationSegmentsOfTheLimitsPresent) {
  TDataList& d =
      test::LoadText("A\tB\r\nUSL:\t\t9\r\nTarget:\t5\t\r\nLSL:\t\t1\r\n1\t2\r\n2\t3\r\n3\t4\r\n");
  TPlotOptions o;
  TPlotResult r = ComputePlots({Set("A", {1, 2, 3}, 1), Set("B", {2, 3, 4}, 2)}, o, &d);
  TChart c = PlotsChart(r, o, {});
  EXPECT_EQ(Find(c, TSeriesKind::Segments, "Target")->X,
            std::vector<double>{0});  // A has only a Target
  EXPECT_EQ(Find(c, TSeriesKind::Segments, "USL")->X, std::vector<double>{1});
  EXPECT_EQ(Find(c, TSeriesKind::Segments, "LSL")->Y, std::vector<double>{1});
  EXPECT_EQ(Find(c, TSeriesKind::Segments, "Target")->Palette[0].Color, 0x00FF00u);
  o.Specifications = false;
  c = PlotsChart(r, o, {});
  EXPECT_EQ(Find(c, TSeriesKind::Segments, "Target"), nullptr);
  ResetDataState();
}

// Three groups of five with variances 1, 2 and 3 (means 10, 12, 14).
std::vector<TExploreSet> ThreeGroups() {
  std::vector<TExploreSet> sets;
  for (int k = 1; k <= 3; ++k) {
    const double a = std::sqrt(double(k)), m = 8 + 2 * k;
    sets.push_back(Set("G" + std::to_string(k), {m - a, m - a, m, m + a, m + a}));
  }
  return sets;
}

TEST(ComparisonPlotTest, PooledVarianceAndCriticalDifferences) {
  const TPooledStats p = PooledStatistics(ThreeGroups(), 0.95);
  EXPECT_EQ(p.dfTotal, 12);
  EXPECT_EQ(p.Groups, 3);
  EXPECT_NEAR(p.pooledVar, 2, 1e-12);
  // R: uniroot(function(q) ptukey(q, 3, 12) - 0.95, c(2, 6))$root = 3.772929.
  EXPECT_NEAR(p.q, 3.772929, 1e-4);
  TPlotResult tukey = Plot(TPlotKind::TukeyCMD, ThreeGroups());
  for (const auto& g : tukey.Groups) {
    EXPECT_NEAR((g.BoxHigh - g.BoxLow) / 2, p.q * std::sqrt(2.0) / 2 / std::sqrt(5.0), 1e-12);
    EXPECT_NEAR((g.BoxHigh - g.BoxLow) / 2, 1.193105, 1e-3);  // with R's q
    EXPECT_DOUBLE_EQ(g.Centre, g.Mean);
  }
  EXPECT_EQ(tukey.Title,
            (std::vector<std::string>{"Tukey Critical Mean Differences", "95.00% Intervals"}));
  TPlotResult lsd = Plot(TPlotKind::TCmdLSD, ThreeGroups());
  for (const auto& g : lsd.Groups)
    EXPECT_NEAR((g.BoxHigh - g.BoxLow) / 2, 0.9743947195, 1e-8);  // R: qt(0.975, 12) / sqrt(5)
  EXPECT_EQ(lsd.Title[0], "Least Significant Differences (t-test)");
}

TEST(ComparisonPlotTest, MeanIntervalsPooledOrNot) {
  TPlotResult own = Plot(TPlotKind::MeanCI, ThreeGroups());
  EXPECT_EQ(own.Title[1], "95.00% Confidence Intervals");
  EXPECT_FALSE(own.Pooled);
  // R: qt(0.975, 4) * sqrt(3) / sqrt(5) for the third group
  EXPECT_NEAR(own.Groups[2].BoxHigh - 14, 2.150625131, 1e-6);
  TPlotResult pooled = Plot(TPlotKind::MeanCI, ThreeGroups(), true);
  EXPECT_EQ(pooled.Title[1], "95.00% Confidence Intervals (Pooled)");
  EXPECT_TRUE(pooled.Pooled);
  // Equal sizes: equal heights, t(12) sqrt(2) / sqrt(5).
  for (const auto& g : pooled.Groups)
    EXPECT_NEAR(g.BoxHigh - g.Mean, 0.9743947195 * std::sqrt(2.0), 1e-8);
}

TEST(ComparisonPlotTest, StdDevPlotAndBars) {
  TPlotResult sd = Plot(TPlotKind::StdDevPlot, ThreeGroups());
  // R: sqrt(4 * 2 / qchisq(c(0.975, 0.025), 4))
  EXPECT_NEAR(sd.Groups[1].BoxLow, 0.847302211, 1e-6);
  EXPECT_NEAR(sd.Groups[1].BoxHigh, 4.063821350, 1e-6);
  EXPECT_NEAR(sd.Groups[1].Centre, std::sqrt(2.0), 1e-12);
  EXPECT_EQ(sd.Title[0], "Standard Deviation Plots");

  TPlotResult bars = Plot(TPlotKind::MeanBar, {Set("neg", {-3, -5}), Set("pos", {2, 4})});
  EXPECT_DOUBLE_EQ(bars.Groups[0].BoxLow, -4);  // downwards from 0
  EXPECT_DOUBLE_EQ(bars.Groups[0].BoxHigh, 0);
  EXPECT_DOUBLE_EQ(bars.Groups[1].BoxLow, 0);
  EXPECT_DOUBLE_EQ(bars.Groups[1].BoxHigh, 3);
  EXPECT_FALSE(bars.Groups[1].HasCentre);
  EXPECT_EQ(Find(PlotsChart(bars, {TPlotKind::MeanBar}, {}), TSeriesKind::Points, "Center"),
            nullptr);
}

TEST(ComparisonPlotTest, OneValueGroupsKeepTheirSlotWithoutABox) {
  const std::vector<TExploreSet> sets = {Set("one", {7}), Set("two", {1, 3})};
  for (TPlotKind kind : {TPlotKind::StdDevPlot, TPlotKind::MeanCI}) {
    TPlotResult r = Plot(kind, sets);
    ASSERT_EQ(r.Groups.size(), 2u);
    EXPECT_EQ(r.Groups[0].Title, "one");
    EXPECT_EQ(r.Groups[0].n, 1);
    EXPECT_FALSE(r.Groups[0].HasBox);
    EXPECT_FALSE(r.Groups[0].HasCentre);
    EXPECT_TRUE(r.Groups[1].HasBox);
    TPlotOptions o;
    o.Kind = kind;
    TChart c = PlotsChart(r, o, {});
    const TChartSeries* box = Find(c, TSeriesKind::Candles, "Box");
    EXPECT_TRUE(std::isnan(box->Y3[0]));  // no box, nothing 999 high
    EXPECT_EQ(c.Bottom.Labels[0].Text, "one");
    EXPECT_EQ(Find(c, TSeriesKind::Points, "Center")->X, std::vector<double>{1});
    double lo = 0, hi = 0;
    ASSERT_TRUE(SeriesRange(c, 0, false, lo, hi));
    EXPECT_LT(hi, 100);
  }
  // Pooling skips the one-value group; all single values give zero-height boxes.
  TPlotResult pooled = Plot(TPlotKind::MeanCI, sets, true);
  EXPECT_EQ(pooled.PooledStats.dfTotal, 1);
  EXPECT_TRUE(pooled.Groups[0].HasBox);
  TPlotResult singles = Plot(TPlotKind::TukeyCMD, {Set("a", {1}), Set("b", {2})});
  EXPECT_EQ(singles.PooledStats.dfTotal, 0);
  EXPECT_EQ(singles.Groups[1].BoxLow, singles.Groups[1].BoxHigh);
}

TEST(ComparisonPlotTest, NaturalTolerances) {
  TPlotResult own = Plot(TPlotKind::NaturalTol, ThreeGroups());
  EXPECT_EQ(own.Title, (std::vector<std::string>{"Natural Tolerances", "(Assuming Normality)"}));
  EXPECT_NEAR(own.Groups[0].UPL, 13, 1e-12);
  EXPECT_NEAR(own.Groups[2].LPL, 14 - 3 * std::sqrt(3.0), 1e-12);
  TPlotResult pooled = Plot(TPlotKind::NaturalTol, ThreeGroups(), true);
  EXPECT_EQ(pooled.Title[0], "Natural Tolerances (Pooled)");
  EXPECT_NEAR(pooled.Groups[0].UPL - pooled.Groups[0].Mean, 3 * std::sqrt(2.0), 1e-12);
  EXPECT_EQ(Plot(TPlotKind::NaturalTol, {Set("one", {4})}).Groups[0].UPL, 4);  // zero width

  TPlotOptions o;
  o.Kind = TPlotKind::NaturalTol;
  TChart c = PlotsChart(own, o, {});
  const TChartSeries* shapes = Find(c, TSeriesKind::Polygons, "Natural Tolerance");
  ASSERT_EQ(shapes->Polygons.size(), 3u);
  const auto& v = shapes->Polygons[1].Vertices;
  ASSERT_EQ(v.size(), 601u);
  const double w = NaturalTolHalfWidth(3, 50);
  EXPECT_DOUBLE_EQ(w, 0.25);
  EXPECT_DOUBLE_EQ(v[0].X, 1 - w);
  EXPECT_DOUBLE_EQ(v[300].X, 1 + w);  // 2w from the bracket, at the mean
  EXPECT_DOUBLE_EQ(v[300].Y, own.Groups[1].Mean);
  EXPECT_EQ(shapes->Palette[0].Mono, ChartSilver);
  EXPECT_EQ(Find(c, TSeriesKind::Polygons, "Natural Tolerance Lines")->Polygons.size(), 12u);
  EXPECT_DOUBLE_EQ(NaturalTolHalfWidth(1, 50), 0.225);
}

}  // namespace
}  // namespace sorvel
