// The variables chart model on tiny data: series, colours, ranges, breaks, sets, codes,
// zones and the limit information. No pixels.
#include "quality/variables_chart.h"

#include <gtest/gtest.h>

#include <cmath>

#include "data/data_state.h"
#include "data/io/data_file.h"
#include "numerics/format.h"
#include "quality/chart_constants.h"

using namespace sorvel;

namespace {

class VariablesChartTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDataState(); }
  void TearDown() override { ResetDataState(); }

  // Reads `text`, builds the first chart of `rq` and its model.
  TChart Model(const char* text, const TVarChartRequest& rq, const TChartViewOptions& view = {}) {
    data = std::make_unique<TDataList>();
    EXPECT_TRUE(ReadDataBytes(text, *data).Ok);
    data->UpdateData();
    builder = std::make_unique<TVarChartBuilder>(*data, rq);
    auto positions = builder->Positions();
    EXPECT_FALSE(positions.empty());
    builder->Build(positions[0].Column, positions[0].Run, {view.ShowBreaks, view.ShowAllPoints},
                   DefaultControlTestSettings(), points);
    TVarChartModelInput in;
    in.Builder = builder.get();
    in.Data = data.get();
    in.Points = &points;
    in.Column = positions[0].Column;
    in.Run = positions[0].Run;
    in.View = view;
    return VariablesChartModel(in);
  }

  static const TChartSeries* Find(const TChart& c, const std::string& title, TSeriesKind kind) {
    for (const auto& s : c.Series)
      if (s.Title == title && s.Kind == kind) return &s;
    return nullptr;
  }

  std::unique_ptr<TDataList> data;
  std::unique_ptr<TVarChartBuilder> builder;
  TVarPointTable points;
};

TVarChartRequest Individuals(int span = 2) {
  TVarChartRequest rq;
  rq.Layout = 1;
  rq.ChartVariables = {1};
  rq.Settings.LocationChart = ChartX;
  rq.Settings.DispersionChart = ChartMovingRange;
  rq.Settings.LocationMethod = rq.Settings.DispersionMethod = MethodAverageMR;
  rq.Settings.MRSpan = span;
  return rq;
}

TVarChartRequest MeanRange(int layout) {
  TVarChartRequest rq;
  rq.Layout = layout;
  rq.ChartVariables = {1};
  return rq;  // Mean and Range, Average Range: the settings' defaults
}

// Ten cases in fours: subgroups of 4, 4 and 2.
const char* TenInFours = "X\n10\n12\n11\n13\n12\n14\n13\n15\n11\n12\n";

TEST_F(VariablesChartTest, MeanAndRangeSeriesTitlesAndAxes) {
  TVarChartRequest rq = MeanRange(4);
  rq.SampleSize = 4;
  TChartViewOptions view;
  view.Title = "Run 7";
  const TChart c = Model(TenInFours, rq, view);
  EXPECT_EQ(c.Title, (std::vector<std::string>{"Run 7", "Mean and Range Chart: X"}));
  ASSERT_EQ(c.Panels.size(), 2u);
  EXPECT_EQ(c.Split, 60);
  EXPECT_EQ(c.Panels[0].Left.Title, "Mean");
  EXPECT_EQ(c.Panels[1].Left.Title, "R");
  EXPECT_EQ(c.Bottom.Title, "Point");
  const TChartSeries* loc = Find(c, "Location Statistic", TSeriesKind::Points);
  ASSERT_NE(loc, nullptr);
  EXPECT_EQ(loc->Y, (std::vector<double>{11.5, 13.5, 11.5}));
  const TChartSeries* range = Find(c, "Dispersion Statistic", TSeriesKind::Points);
  ASSERT_NE(range, nullptr);
  EXPECT_EQ(range->Panel, 1);
  EXPECT_EQ(range->Y, (std::vector<double>{3, 3, 1}));
  // The last subgroup has two values: its range limits use the constants of n = 2.
  const TChartSeries* ducl = Find(c, "Dispersion UCL", TSeriesKind::Line);
  ASSERT_NE(ducl, nullptr);
  const double b = (3 / ConstD2(4) * 2 + 1 / ConstD2(2)) / 3;
  EXPECT_NEAR(ducl->Y[0], b * (ConstD2(4) + 3 * ConstD3(4)), 1e-12);
  EXPECT_NEAR(ducl->Y[2], b * (ConstD2(2) + 3 * ConstD3(2)), 1e-12);
  for (const char* title : {"Location LCL", "Location Centerline", "Location UCL", "Dispersion LCL",
                            "Dispersion Centerline"})
    EXPECT_NE(Find(c, title, TSeriesKind::Line), nullptr) << title;
  // Ranges: the statistics and limits, widened by a twentieth (location) and a tenth
  // (dispersion, both charts drawn; never below 0).
  const TChartAxis& la = c.Panels[0].Left;
  const TChartSeries* lucl = Find(c, "Location UCL", TSeriesKind::Line);
  const TChartSeries* llcl = Find(c, "Location LCL", TSeriesKind::Line);
  const double hi = *std::max_element(lucl->Y.begin(), lucl->Y.end());
  const double lo = *std::min_element(llcl->Y.begin(), llcl->Y.end());
  EXPECT_NEAR(la.Max, hi + (hi - lo) / 20, 1e-12);
  EXPECT_NEAR(la.Min, lo - (hi - lo) / 20, 1e-12);
  const TChartAxis& da = c.Panels[1].Left;
  const double dhi = *std::max_element(ducl->Y.begin(), ducl->Y.end());
  // The dispersion LCLs are missing (n of 4 and 2): the smallest range is the low end.
  EXPECT_NEAR(da.Max, dhi + (dhi - 1) / 10, 1e-12);
  EXPECT_NEAR(da.Min, 1 - (dhi - 1) / 10, 1e-12);
}

TEST_F(VariablesChartTest, ViolationColoursAndCodeTexts) {
  // Eight individuals, the seventh far out: test 1 marks it on both charts.
  TChartViewOptions view;
  view.DisplayCodes = true;
  const TChart c = Model("X\n10\n11\n10\n11\n10\n11\n60\n10\n", Individuals(), view);
  const TChartSeries* loc = Find(c, "Location Statistic", TSeriesKind::Points);
  ASSERT_NE(loc, nullptr);
  ASSERT_EQ(loc->ColorIndex.size(), 8u);
  EXPECT_EQ(loc->PointColor(6).Get(false), ChartRed);
  EXPECT_EQ(loc->PointColor(6).Get(true), 0x010000u);
  EXPECT_EQ(loc->PointColor(5).Get(false), ChartBlue);
  const TChartSeries* codes = Find(c, "Control Violation Codes", TSeriesKind::TopText);
  ASSERT_NE(codes, nullptr);
  EXPECT_EQ(codes->Labels[0], " ");
  EXPECT_EQ(codes->Labels[6], "O | O");
  // The connecting line's piece into a coded point takes its colour.
  const TChartSeries* joint = Find(c, "Location Statistic", TSeriesKind::Line);
  ASSERT_NE(joint, nullptr);
  EXPECT_EQ(joint->PointColor(6).Get(false), ChartRed);

  // Without the violation display the points keep their colour and no codes are drawn.
  view.DisplayViolations = false;
  view.DisplayCodes = false;
  const TChart plain = Model("X\n10\n11\n10\n11\n10\n11\n60\n10\n", Individuals(), view);
  EXPECT_EQ(Find(plain, "Location Statistic", TSeriesKind::Points)->PointColor(6).Get(false),
            ChartBlue);
  EXPECT_EQ(Find(plain, "Control Violation Codes", TSeriesKind::TopText), nullptr);
}

TEST_F(VariablesChartTest, BreaksShiftPositionsAndGapTheLines) {
  // Sample codes 1, 2, 4: subgroup 3 is empty; with breaks, one empty position follows
  // subgroup 2.
  TVarChartRequest rq = MeanRange(3);
  rq.SampleVariable = 2;
  TChartViewOptions view;
  view.ShowBreaks = true;
  const TChart c = Model("X\tS\n1\t1\n3\t1\n2\t2\n4\t2\n5\t4\n7\t4\n", rq, view);
  const TChartSeries* loc = Find(c, "Location Statistic", TSeriesKind::Points);
  ASSERT_NE(loc, nullptr);
  EXPECT_EQ(loc->X, (std::vector<double>{1, 2, 4}));
  const TChartSeries* cl = Find(c, "Location Centerline", TSeriesKind::Line);
  ASSERT_EQ(cl->X, (std::vector<double>{1, 2, 3, 4}));
  EXPECT_TRUE(ChartValueMissing(cl->Y[2]));
  // The axis labels keep the point numbers.
  ASSERT_EQ(c.Bottom.Labels.size(), 3u);
  EXPECT_EQ(c.Bottom.Labels[2].X, 4);
  EXPECT_EQ(c.Bottom.Labels[2].Text, "3");
}

TEST_F(VariablesChartTest, SetSeparatorsAndPhaseMovingRanges) {
  // MR span 3 over two sets: points 4 and 5 start set 2 and have no moving range.
  TVarChartRequest rq = Individuals(3);
  rq.SetVariable = 2;
  const TChart c = Model("X\tPhase\n1\t1\n2\t1\n3\t1\n10\t2\n11\t2\n12\t2\n", rq);
  const TChartSeries* mr = Find(c, "Dispersion Statistic", TSeriesKind::Points);
  ASSERT_NE(mr, nullptr);
  ASSERT_EQ(mr->Y.size(), 6u);
  for (int p : {0, 1, 3, 4})
    EXPECT_TRUE(ChartValueMissing(mr->Y[static_cast<std::size_t>(p)])) << p;
  EXPECT_EQ(mr->Y[5], 2);
  const TChartSeries* sep = Find(c, "Set", TSeriesKind::Lines);
  ASSERT_NE(sep, nullptr);
  EXPECT_TRUE(sep->FullHeight);
  EXPECT_EQ(sep->X, std::vector<double>{3.5});
  EXPECT_EQ(sep->Width, 3);
  ASSERT_EQ(c.Bottom.TopLabels.size(), 2u);
  EXPECT_EQ(c.Bottom.TopLabels[0].Text, " Phase=1 ");
  EXPECT_EQ(c.Bottom.TopLabels[1].Text, " Phase=2 ");
  EXPECT_EQ(c.Bottom.TopLabels[1].X, 4);
  // No limit or statistic line joins the two sets.
  const TChartSeries* cl = Find(c, "Location Centerline", TSeriesKind::Line);
  ASSERT_EQ(cl->X.size(), 7u);
  EXPECT_EQ(cl->X[3], 3.5);
  EXPECT_TRUE(ChartValueMissing(cl->Y[3]));
}

TEST_F(VariablesChartTest, PositiveLimitsZonesAndSigmaLines) {
  TVarChartRequest rq = Individuals();
  rq.Settings.PositiveLimitsOnly = true;
  TChartViewOptions view;
  view.DisplayZones = true;
  view.Show3Sigma = true;
  const TChart c = Model("X\n0\n3\n0.5\n2.5\n0\n4\n", rq, view);
  // The location LCL is negative: not drawn, and the axis does not go below 0.
  const TChartSeries* lcl = Find(c, "Location LCL", TSeriesKind::Line);
  ASSERT_NE(lcl, nullptr);
  for (double y : lcl->Y) EXPECT_TRUE(ChartValueMissing(y));
  EXPECT_EQ(c.Panels[0].Left.Min, 0);
  const TChartSeries* minus3 = Find(c, "Minus 3 Sigma Line", TSeriesKind::Line);
  ASSERT_NE(minus3, nullptr);
  for (double y : minus3->Y) EXPECT_TRUE(ChartValueMissing(y));
  // Zone 1 lines at the centre plus and minus one zone sigma, and the bands around it.
  const TChartSeries* zone = Find(c, "Upper Zone 1 Line", TSeriesKind::Line);
  ASSERT_NE(zone, nullptr);
  EXPECT_NEAR(zone->Y[0], points.Table(RowLocCL, 1) + points.Table(RowLocSigma, 1), 1e-12);
  int bands = 0;
  for (const auto& s : c.Series)
    if (s.Kind == TSeriesKind::Bands && s.Panel == 0 && !s.X.empty()) ++bands;
  EXPECT_EQ(bands, 4);  // green, two yellow, the upper red (no LCL: no lower red band)
  const TChartSeries& inner =
      *std::find_if(c.Series.begin(), c.Series.end(),
                    [](const TChartSeries& s) { return s.Kind == TSeriesKind::Bands; });
  EXPECT_EQ(inner.Palette[0].Get(true), ChartWhite);
}

TEST_F(VariablesChartTest, DispersionAloneReadsDispersion) {
  TVarChartRequest rq = MeanRange(4);
  rq.SampleSize = 4;
  rq.Settings.LocationChart = ChartNone;
  rq.Settings.LocationMethod = MethodNone;
  const TChart c = Model(TenInFours, rq);
  EXPECT_EQ(c.Title.back(), "Range Chart: X");
  ASSERT_EQ(c.Panels.size(), 1u);
  EXPECT_EQ(c.Panels[0].Left.Title, "R");
  const TChartSeries* ucl = Find(c, "Dispersion UCL", TSeriesKind::Line);
  ASSERT_NE(ucl, nullptr);
  EXPECT_EQ(ucl->Panel, 0);
  EXPECT_EQ(Find(c, "Location UCL", TSeriesKind::Line), nullptr);
  // The split at 90 leaves no room for the dispersion chart.
  TChartViewOptions view;
  view.Split = 90;
  rq = MeanRange(4);
  rq.SampleSize = 4;
  const TChart top = Model(TenInFours, rq, view);
  EXPECT_EQ(top.Panels.size(), 1u);
  EXPECT_EQ(top.Title.back(), "Mean Chart: X");
}

TEST_F(VariablesChartTest, NonFiniteStatisticsAreGaps) {
  // A range that overflows to infinity is missing: no point, and the axis stays finite.
  TVarChartRequest rq = MeanRange(4);
  rq.SampleSize = 2;
  const TChart c = Model("X\n1e308\n-1e308\n1\n2\n2\n3\n", rq);
  const TChartSeries* range = Find(c, "Dispersion Statistic", TSeriesKind::Points);
  ASSERT_NE(range, nullptr);
  EXPECT_TRUE(ChartValueMissing(range->Y[0]));
  EXPECT_TRUE(std::isfinite(c.Panels[1].Left.Min));
  EXPECT_TRUE(std::isfinite(c.Panels[1].Left.Max));
}

TEST_F(VariablesChartTest, LimitInformationFootLines) {
  TVarChartRequest rq = MeanRange(4);
  rq.SampleSize = 4;
  rq.Settings.DispersionMethod = MethodCentreOnly;
  TChartViewOptions view;
  view.AddLimitInformation = true;
  const TChart c = Model(TenInFours, rq, view);
  ASSERT_EQ(c.Foot.size(), 3u);
  // a = 4 ("Mean"): "Mean Chart " is wider than a + 6, the centre line indented a + 11.
  EXPECT_EQ(c.Foot[0].rfind("Mean Chart Control Limits [", 0), 0u) << c.Foot[0];
  EXPECT_NE(c.Foot[0].find("] from Average Range"), std::string::npos);
  EXPECT_EQ(c.Foot[1], std::string(15, ' ') + "Centerline [12.3] using Average Mean");
  EXPECT_EQ(c.Foot[2], "   Range Chart Centerline [" +
                           FormatGeneral(points.Table(RowDispCL, 3), 5) + "] using Average Range");
}

}  // namespace
