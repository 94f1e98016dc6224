#include "output/chart.h"
#include "output/chart_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numerics/common.h"

namespace sorvel {
namespace {

// Every character 0.6 of the font size wide, lines 1.5 times the size: enough to check
// where things go without a font.
class TFakeMetrics : public TChartMetrics {
 public:
  int Measured = 0;
  double TextWidth(const std::string& text, TChartFont, double points) override {
    ++Measured;
    return 0.6 * points * static_cast<double>(text.size());
  }
  double LineHeight(TChartFont, double points) override { return 1.5 * points; }
};

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

TEST(ChartFormatTest, ValueFormats) {
  struct Case {
    const char* format;
    double value;
    const char* text;
  } cases[] = {
      {"#,##0.###", 1234.5, "1,234.5"},
      {"#,##0.###", 1234567.125, "1,234,567.125"},
      {"#,##0.###", 0.0004, "0"},
      {"#,##0.###", -0.0001, "0"},  // never "-0"
      {"#,##0.###", -1234.25, "-1,234.25"},
      {"#,##0.00", 2, "2.00"},
      {"#,##0.", 1234.56, "1,235"},
      {"#,##0.#########", 0.1 + 0.2, "0.3"},
      {"0.#", -1.26, "-1.3"},
      {"0.###", 12345, "12345"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatAxisValue(c.value, c.format), c.text) << c.format;
  EXPECT_EQ(FormatAxisValue(NaN, "#,##0.###"), "");
}

TEST(ChartLayoutTest, NiceTicks) {
  EXPECT_EQ(NiceTicks(0, 10, 5), (std::vector<double>{0, 2, 4, 6, 8, 10}));
  EXPECT_EQ(NiceTicks(0.5, 3.7, 4), (std::vector<double>{1, 2, 3}));
  auto t = NiceTicks(-0.3, 0.3, 6);
  ASSERT_FALSE(t.empty());
  EXPECT_NE(std::find(t.begin(), t.end(), 0.0), t.end()) << "zero exactly, not 5.5e-17";
  EXPECT_TRUE(NiceTicks(1, 1, 5).empty());
  EXPECT_TRUE(NiceTicks(0, NaN, 5).empty());
}

// Non-finite values and the data set's missing value are missing: they never reach an
// axis range, and a chart of nothing but missing values still has a drawable range.
TEST(ChartLayoutTest, MissingValuesNeverWidenAnAxis) {
  TChart chart;
  auto& s = chart.Add(TSeriesKind::Line, "Location UCL");
  s.X = {1, 2, 3, 4, 5};
  s.Y = {1, NaN, Inf, 3, MissingValue};
  double lo, hi;
  ASSERT_TRUE(SeriesRange(chart, 0, false, lo, hi));
  EXPECT_EQ(lo, 1);
  EXPECT_EQ(hi, 3);

  TChart empty;
  auto& e = empty.Add(TSeriesKind::Points, "Dispersion Statistic");
  e.X = {1, 2};
  e.Y = {NaN, -Inf};
  EXPECT_FALSE(SeriesRange(empty, 0, false, lo, hi));
  TFakeMetrics m;
  TChartLayout l = LayoutChart(empty, m, 800, 500);
  EXPECT_TRUE(std::isfinite(l.Panels[0].Left.Min));
  EXPECT_TRUE(std::isfinite(l.Panels[0].Left.Max));
  EXPECT_LT(l.Panels[0].Left.Min, l.Panels[0].Left.Max);
  EXPECT_EQ(empty.PointCount(), 0u);
}

TChart TwoPanels() {
  TChart chart;
  chart.Title = {"Individuals and Moving Range Chart: Weight"};
  chart.Panels.resize(2);
  chart.Panels[0].Left.Title = "X";
  chart.Panels[1].Left.Title = "MR";
  chart.Bottom.Title = "Point";
  auto& loc = chart.Add(TSeriesKind::Points, "Location Statistic", 0);
  loc.X = {1, 2, 3, 4};
  loc.Y = {10, 12, 11, 15};
  auto& disp = chart.Add(TSeriesKind::Points, "Dispersion Statistic", 1);
  disp.X = {2, 3, 4};
  disp.Y = {2, 1, 4};
  auto& ucl = chart.Add(TSeriesKind::Line, "Location UCL", 0);
  ucl.X = {1, 2, 3, 4};
  ucl.Y = {18, 18, 18, 18};
  return chart;
}

TEST(ChartLayoutTest, PanelsSplitAndMapBothWays) {
  TFakeMetrics m;
  for (int split : {10, 60, 90}) {
    TChart chart = TwoPanels();
    chart.Split = split;
    TChartLayout l = LayoutChart(chart, m, 1000, 600);
    ASSERT_EQ(l.Panels.size(), 2u);
    const auto& a = l.Panels[0].Plot;
    const auto& b = l.Panels[1].Plot;
    EXPECT_LT(a.Bottom, b.Top) << "the panels do not overlap";
    EXPECT_NEAR(a.Height() / (a.Height() + b.Height()), split / 100.0, 1e-9);
    EXPECT_GT(l.Plot.Top, l.TitleLineTop[0]);
    // x from 1 - 0.5 to 4 + 0.5; the ranges are the series' own
    EXPECT_EQ(l.XMin, 0.5);
    EXPECT_EQ(l.XMax, 4.5);
    EXPECT_EQ(l.Panels[0].Left.Min, 10);
    EXPECT_EQ(l.Panels[0].Left.Max, 18);
    EXPECT_EQ(l.Panels[1].Left.Max, 4);
    EXPECT_NEAR(l.UnmapX(l.MapX(2.25)), 2.25, 1e-12);
    EXPECT_NEAR(l.UnmapY(1, l.MapY(1, 3.5)), 3.5, 1e-12);
    EXPECT_NEAR(l.MapY(0, 18), a.Top, 1e-9);
    EXPECT_NEAR(l.MapY(1, 1), b.Bottom, 1e-9);
    for (const auto& p : l.Panels)
      for (const auto& t : p.Left.Ticks) {
        EXPECT_GE(t.Pos, p.Plot.Top - 1e-9);
        EXPECT_LE(t.Pos, p.Plot.Bottom + 1e-9);
      }
  }
}

TEST(ChartLayoutTest, AxisTitlesAndLabelsTakeRoom) {
  TFakeMetrics m;
  TChart chart = TwoPanels();
  TChartLayout plain = LayoutChart(chart, m, 1000, 600);
  chart.Bottom.LabelAngle = 315;
  for (int i = 1; i <= 4; ++i)
    chart.Bottom.Labels.push_back({double(i), "2024-01-0" + std::to_string(i)});
  TChartLayout rotated = LayoutChart(chart, m, 1000, 600);
  EXPECT_LT(rotated.Plot.Bottom, plain.Plot.Bottom - 20) << "slanted dates need height";
  ASSERT_EQ(rotated.BottomTicks.size(), 4u);
  EXPECT_EQ(rotated.BottomTicks[2].Text, "2024-01-03");
  chart.Fonts.YLabel = 24;  // wider tick labels push the plot right
  TChartLayout big = LayoutChart(chart, m, 1000, 600);
  EXPECT_GT(big.Plot.Left, rotated.Plot.Left);
  chart.Foot = {"Foot one", "Foot two"};
  TChartLayout foot = LayoutChart(chart, m, 1000, 600);
  ASSERT_EQ(foot.FootLineTop.size(), 2u);
  EXPECT_GT(foot.FootLineTop[0], foot.BottomTitleTop);
  EXPECT_LT(foot.Plot.Bottom, big.Plot.Bottom);
}

// Margins in percent of the chart's size shrink everything inward: the plot, and the
// title and foot with it.
TEST(ChartLayoutTest, MarginsArePercentOfTheChart) {
  TFakeMetrics m;
  TChart chart;
  auto& s = chart.Add(TSeriesKind::Bars, "Counts");
  s.X = {1, 2, 3};
  s.Y = {4, 5, 6};
  chart.Title = {"Crosstabs"};
  chart.Foot = {"foot"};
  const TChartLayout none = LayoutChart(chart, m, 1000, 600);
  chart.MarginLeft = chart.MarginRight = 10;
  chart.MarginTop = chart.MarginBottom = 20;
  const TChartLayout wide = LayoutChart(chart, m, 1000, 600);
  EXPECT_DOUBLE_EQ(wide.LeftTitleCentre - none.LeftTitleCentre, 100);
  EXPECT_GT(wide.Plot.Left - none.Plot.Left, 90);  // less the narrower tick labels
  EXPECT_DOUBLE_EQ(none.Plot.Right - wide.Plot.Right, 100);
  EXPECT_DOUBLE_EQ(wide.TitleLineTop[0] - none.TitleLineTop[0], 120);
  EXPECT_DOUBLE_EQ(wide.Plot.Top - none.Plot.Top, 120);
  EXPECT_DOUBLE_EQ(none.Plot.Bottom - wide.Plot.Bottom, 120);
  EXPECT_DOUBLE_EQ(none.FootLineTop[0] - wide.FootLineTop[0], 120);
  EXPECT_DOUBLE_EQ(wide.FootLeft - none.FootLeft, 100);
}

// 3-D depth: the room the faces reach into is kept free right of and above the plot.
TEST(ChartLayoutTest, DepthIsKeptBesideThePlot) {
  TFakeMetrics m;
  TChart chart;
  auto& s = chart.Add(TSeriesKind::Polygons, "Rows");
  s.X = {1, 2};
  s.Y = {4, 5};
  const TChartLayout flat = LayoutChart(chart, m, 1000, 600, 2);
  chart.DepthX = 60;
  chart.DepthY = 40;
  const TChartLayout deep =
      LayoutChart(chart, m, 1000, 600, 2);  // device pixels twice the screen's
  EXPECT_DOUBLE_EQ(flat.Plot.Right - deep.Plot.Right, 120);
  EXPECT_DOUBLE_EQ(deep.Plot.Top - flat.Plot.Top, 80);
}

// The legend takes a box at the right as wide as its longest text; the plot ends before
// it; lines that would run past the bottom are left out.
TEST(ChartLayoutTest, LegendAtTheRightOfThePlot) {
  TFakeMetrics m;
  TChart chart;
  auto& s = chart.Add(TSeriesKind::Bars, "Counts");
  s.X = {1, 2};
  s.Y = {4, 5};
  const TChartLayout without = LayoutChart(chart, m, 1000, 600);
  EXPECT_TRUE(without.LegendLineTop.empty());
  chart.Legend.Title = "Rows";
  chart.Legend.Entries = {{"Shift=1", {}}, {"Shift=2 (night)", {}}, {"Shift=3", {}}};
  chart.MarginRight = 5;
  const TChartLayout l = LayoutChart(chart, m, 1000, 600);
  ASSERT_EQ(l.LegendLineTop.size(), 3u);
  const double text = m.TextWidth("Shift=2 (night)", TChartFont::Legend, chart.Fonts.Legend);
  EXPECT_DOUBLE_EQ(l.Legend.Width(), l.LegendSwatch + l.LegendPad + text + 2 * l.LegendPad);
  EXPECT_DOUBLE_EQ(l.Legend.Right, 1000 - 8 - 50);  // fixed margin and 5 percent
  EXPECT_LT(l.Plot.Right, l.Legend.Left);
  EXPECT_LT(l.Plot.Right, without.Plot.Right - l.Legend.Width());
  EXPECT_LT(l.LegendTitleTop, l.LegendLineTop[0]);
  const double line = m.LineHeight(TChartFont::Legend, chart.Fonts.Legend);
  EXPECT_DOUBLE_EQ(l.LegendLineTop[2] - l.LegendLineTop[1], line);
  EXPECT_GE(l.Legend.Bottom, l.LegendLineTop[2] + line);
  // 100 rows do not fit 600 pixels: the box stops inside the chart.
  chart.Legend.Entries.assign(100, {"Shift", {}});
  const TChartLayout full = LayoutChart(chart, m, 1000, 600);
  EXPECT_LT(full.LegendLineTop.size(), 100u);
  EXPECT_GT(full.LegendLineTop.size(), 10u);
  EXPECT_LE(full.Legend.Bottom, 600);
}

// 100,000 labels: the kept ones do not overlap and only a few are measured.
TEST(ChartLayoutTest, DenseLabelsAreThinned) {
  TChart chart;
  auto& s = chart.Add(TSeriesKind::Line, "Location Statistic");
  for (int i = 1; i <= 100000; ++i) {
    s.X.push_back(i);
    s.Y.push_back(i % 7);
    chart.Bottom.Labels.push_back({double(i), std::to_string(i)});
  }
  TFakeMetrics m;
  TChartLayout l = LayoutChart(chart, m, 1600, 1000);
  ASSERT_GE(l.BottomTicks.size(), 5u);
  EXPECT_LT(l.BottomTicks.size(), 100u);
  for (size_t i = 1; i < l.BottomTicks.size(); ++i) {
    const auto& a = l.BottomTicks[i - 1];
    const auto& b = l.BottomTicks[i];
    double aw = m.TextWidth(a.Text, TChartFont::Label, 8),
           bw = m.TextWidth(b.Text, TChartFont::Label, 8);
    EXPECT_LT(a.Pos + aw / 2, b.Pos - bw / 2);
  }
  EXPECT_LT(m.Measured, 2000);
}

TEST(ChartLayoutTest, TopLabelsStayOverThePlot) {
  // set names start at their set's first point; the first and last sit at the plot's edges
  TChart chart;
  auto& s = chart.Add(TSeriesKind::Line, "Location Statistic");
  for (int i = 1; i <= 96; ++i) {
    s.X.push_back(i);
    s.Y.push_back(i % 7);
  }
  chart.Bottom.TopLabels = {{1, "Production date=20240101"},
                            {48, "Production date=20240105"},
                            {96, "Production date=20240109"}};
  TFakeMetrics m;
  TChartLayout l = LayoutChart(chart, m, 800, 500);
  ASSERT_EQ(l.TopTicks.size(), 3u);
  for (const auto& t : l.TopTicks) {
    const double w = m.TextWidth(t.Text, TChartFont::Label, chart.Fonts.XLabel);
    EXPECT_GE(t.Pos - w / 2, l.Plot.Left - 1e-9) << t.Text;
    EXPECT_LE(t.Pos + w / 2, l.Plot.Right + 1e-9) << t.Text;
  }
  EXPECT_DOUBLE_EQ(l.TopTicks[1].Pos, l.MapX(48));  // a label with room stays centred
}

TEST(ChartLayoutTest, HitTestFindsTheTopmostPointInItsPanel) {
  TFakeMetrics m;
  TChart chart = TwoPanels();
  TChartLayout l = LayoutChart(chart, m, 1000, 600);
  // the location point 3 (y 11)
  TChartHit hit = HitTest(chart, l, l.MapX(3) + 2, l.MapY(0, 11) - 2);
  EXPECT_EQ(hit.Series, 0);
  EXPECT_EQ(hit.Point, 2u);
  EXPECT_EQ(hit.Value, 11);
  EXPECT_EQ(ReadoutText(chart, hit, "#,##0.###"), "X=3  Y=11");
  // the UCL line's point, and the lower panel's dispersion point
  hit = HitTest(chart, l, l.MapX(2), l.MapY(0, 18));
  EXPECT_EQ(chart.Series[size_t(hit.Series)].Title, "Location UCL");
  hit = HitTest(chart, l, l.MapX(4), l.MapY(1, 4));
  EXPECT_EQ(chart.Series[size_t(hit.Series)].Title, "Dispersion Statistic");
  // 20 pixels away: nothing
  EXPECT_EQ(HitTest(chart, l, l.MapX(3) + 20, l.MapY(0, 11)).Series, -1);
  // a point drawn over another at the same place wins
  auto& over = chart.Add(TSeriesKind::Points, "Individual Point", 0);
  over.X = {3};
  over.Y = {11};
  EXPECT_EQ(HitTest(chart, l, l.MapX(3), l.MapY(0, 11)).Series, 3);
  // labels of the bottom axis name the point
  chart.Bottom.Labels = {{3, "Lot C"}};
  EXPECT_EQ(ReadoutText(chart, HitTest(chart, l, l.MapX(3), l.MapY(0, 11)), "0.00"),
            "X=Lot C  Y=11.00");
}

TEST(ChartLayoutTest, SegmentsAreHitAcrossTheirSlot) {
  TFakeMetrics m;
  TChart chart;
  auto& s = chart.Add(TSeriesKind::Segments, "Location LCL");
  s.X = {1, 2, 3};
  s.Y = {5, 6, NaN};
  auto& r = chart.Add(TSeriesKind::Range, "", 0);
  r.X = {1, 3};
  r.Y = {0, 10};
  TChartLayout l = LayoutChart(chart, m, 800, 400);
  EXPECT_EQ(HitTest(chart, l, l.MapX(2) + 0.4 * l.SlotPixels(), l.MapY(0, 6)).Point, 1u);
  EXPECT_EQ(HitTest(chart, l, l.MapX(3), l.MapY(0, 6)).Series, -1) << "a missing limit is a gap";
  EXPECT_EQ(l.Panels[0].Left.Min, 0) << "the invisible range points fix the axis";
  EXPECT_EQ(l.Panels[0].Left.Max, 10);
}

TEST(ChartLayoutTest, ZoomSetsTheRangesAndTheExtraAxisFollows) {
  TFakeMetrics m;
  TChart chart = TwoPanels();
  chart.Panels.resize(1);
  chart.Panels[0].HasExtra = true;
  auto& e = chart.Add(TSeriesKind::Line, "Other", 0);
  e.ExtraAxis = true;
  e.X = {1, 4};
  e.Y = {100, 200};
  TChartZoom zoom;
  zoom.Active = true;
  zoom.XMin = 2;
  zoom.XMax = 3;
  zoom.YMin = {10};
  zoom.YMax = {14};  // the lower half of 10..18
  TChartLayout l = LayoutChart(chart, m, 1000, 600, 1, &zoom);
  EXPECT_EQ(l.XMin, 2);
  EXPECT_EQ(l.XMax, 3);
  EXPECT_EQ(l.Panels[0].Left.Max, 14);
  EXPECT_NEAR(l.Panels[0].Extra.Min, 100, 1e-9);
  EXPECT_NEAR(l.Panels[0].Extra.Max, 150, 1e-9);
}

TEST(ChartModelTest, ExtraVerticalAxisAndShared) {
  TChart one;
  EXPECT_EQ(one.ExtraVerticalAxis(), nullptr);
  one.Panels[0].HasExtra = true;
  EXPECT_EQ(one.ExtraVerticalAxis(), &one.Panels[0].Extra);
  TChart two = TwoPanels();
  EXPECT_EQ(two.ExtraVerticalAxis(), &two.Panels[1].Left);
  EXPECT_EQ(two.PointCount(), 7u);
  auto& s = two.Series[0];
  s.Palette = {{ChartBlue, ChartBlack}, {ChartRed, 0x010000}};
  s.ColorIndex = {0, 1, 0, 0};
  EXPECT_EQ(s.PointColor(1).Get(false), ChartRed);
  EXPECT_EQ(s.PointColor(1).Get(true), 0x010000u);
  EXPECT_EQ(s.PointColor(2).Get(false), ChartBlue);
}

}  // namespace
}  // namespace sorvel
