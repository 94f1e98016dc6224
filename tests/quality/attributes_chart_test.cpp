// Attribute charts from a data set: which charts a setup yields, the points of one chart
// (Process If, invalid counts, breaks, sample sizes) and the chart model drawn from them.
#include "quality/attributes_chart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "support/load_text.h"

namespace sorvel {
namespace {

class AttributesChartTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetDataState(); }
};

const TChartSeries& Find(const TChart& c, const std::string& title) {
  for (const auto& s : c.Series)
    if (s.Title == title) return s;
  ADD_FAILURE() << "no series " << title;
  static const TChartSeries none;
  return none;
}

std::vector<std::string> Names(const std::vector<TAttrChartPosition>& p) {
  std::vector<std::string> out;
  for (const auto& x : p) out.push_back(x.Name);
  return out;
}

TEST_F(AttributesChartTest, ChartsPerMeasureLevelAndRun) {
  TDataList& d = test::LoadText(
      "D\tN\tLine\tShift\tE\n"
      "1\t10\tB\t1\t\n"
      "2\t10\tA\t2\t\n"
      "3\t10\tB\t2\t\n"
      "4\t10\tA\t1\t\n");
  TAttrChartRequest q;
  q.Measures = {1, 5};
  q.SampleSizeColumn = 2;
  // A measure without any count is no chart.
  EXPECT_EQ(Names(TAttrChartBuilder(d, q).Positions()), (std::vector<std::string>{"D"}));

  q.Reference = true;
  q.Measure = 1;
  q.Groups = {3};
  TAttrChartBuilder levels(d, q);
  const auto byLevel = levels.Positions();
  ASSERT_EQ(byLevel.size(), 2u);
  // Level charts are named by the level's text and hold that level's cases.
  std::vector<std::string> names = Names(byLevel);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"A", "B"}));
  TAttrChartData chart;
  for (const auto& p : byLevel) {
    levels.Build(p, false, DefaultControlTestSettings(), chart);
    ASSERT_EQ(chart.Table.Count, 2);
    const double first = p.Name == "A" ? 2 : 1;
    EXPECT_EQ(chart.Table(AttrRowCount, 1), first);
    EXPECT_EQ(chart.Title, (std::vector<std::string>{"p Chart: D (" + p.Name + ")"}));
  }

  q.Groups = {3, 4};
  TAttrChartBuilder runs(d, q);
  names = Names(runs.Positions());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"A, 1", "A, 2", "B, 1", "B, 2"}));
}

TEST_F(AttributesChartTest, PointsFollowProcessIfAndBreakAtInvalidCounts) {
  TDataList& d = test::LoadText(
      "D\tN\tKeep\n"
      "2\t50\t1\n"
      "3\t\t1\n"    // no sample size: a point without statistic
      "\t50\t1\n"   // no count: no point; with breaks the line breaks here
      "4\t50\t0\n"  // left out by Process If
      "5\t50\t1\n");
  ProcessIfRec.Active = true;
  ProcessIfRec.PiIndex1 = 3;
  ProcessIfRec.Sign1 = RelEqual;
  ProcessIfRec.X1 = 1;
  TAttrChartRequest q;
  q.Measures = {1};
  q.SampleSizeColumn = 2;
  TAttrChartBuilder b(d, q);
  TAttrChartData c;
  b.Build(b.Positions()[0], true, DefaultControlTestSettings(), c);
  ASSERT_EQ(c.Table.Count, 3);
  EXPECT_EQ(c.Rows, (std::vector<int>{0, 1, 2, 5}));
  EXPECT_FALSE(IsPresent(c.Table(AttrRowStat, 2)));
  EXPECT_FALSE(IsPresent(c.Table(AttrRowUCL, 2)));
  EXPECT_EQ(c.Table(AttrRowBreak, 2), 1);
  // p̄ from the points with a statistic only: 7 / 100.
  EXPECT_DOUBLE_EQ(c.Table(AttrRowCL, 1), 0.07);

  // The break leaves an empty x position and a gap in the line.
  const TChart chart = AttrChartModel(c, q, TChartViewOptions{}, "", "");
  EXPECT_EQ(Find(chart, "Statistic").X, (std::vector<double>{1, 2, 4}));
  const TChartSeries& ucl = Find(chart, "UCL");
  EXPECT_EQ(ucl.X, (std::vector<double>{1, 2, 4}));
  EXPECT_TRUE(ChartValueMissing(ucl.Y[1]));
  const TChartSeries* line = nullptr;
  for (const auto& s : chart.Series)
    if (s.Kind == TSeriesKind::Line) line = &s;
  ASSERT_NE(line, nullptr);
  // Between points 2 and 3 a missing value keeps them apart.
  ASSERT_EQ(line->Y.size(), 4u);
  EXPECT_TRUE(ChartValueMissing(line->Y[2]));
}

TEST_F(AttributesChartTest, ModelSeriesColoursZonesCodesAndFoot) {
  // Ten lots of 50 around a known rate of 0.04 with one far above: point 10 is beyond the UCL.
  TDataList& d = test::LoadText(
      "D\tN\n2\t50\n1\t50\n2\t50\n3\t50\n2\t50\n1\t50\n2\t50\n3\t50\n2\t50\n20\t50\n");
  TAttrChartRequest q;
  q.Measures = {1};
  q.SampleSizeColumn = 2;
  q.Settings.Type = AttrU;
  q.Settings.Centre = AttrCentreKnown;
  q.Settings.Parameter = 0.04;
  TAttrChartBuilder b(d, q);
  TAttrChartData c;
  b.Build(b.Positions()[0], false, DefaultControlTestSettings(), c);
  EXPECT_EQ(c.Codes[10], "O");

  TChartViewOptions v;
  v.DisplayZones = true;
  v.DisplayCodes = true;
  v.AddLimitInformation = true;
  v.Title = "Line 4";
  const TChart chart = AttrChartModel(c, q, v, "", "");
  EXPECT_EQ(chart.Title, (std::vector<std::string>{"Line 4", "u Chart: D"}));
  EXPECT_EQ(chart.Panels[0].Left.Title, "Rate");
  EXPECT_EQ(chart.Bottom.Title, "Point");
  for (const char* title : {"Codes", "Zone 1a", "Zone 1b", "UCL", "Centerline", "LCL", "Statistic"})
    Find(chart, title);
  EXPECT_EQ(Find(chart, "UCL").Palette[0].Color, ChartRed);
  EXPECT_EQ(Find(chart, "Centerline").Palette[0].Color, ChartGreen);
  const TChartSeries& stat = Find(chart, "Statistic");
  EXPECT_EQ(stat.PointColor(0).Color, ChartBlue);
  EXPECT_EQ(stat.PointColor(9).Color, ChartRed);
  EXPECT_EQ(stat.PointColor(9).Mono, 0x010000u);
  EXPECT_EQ(Find(chart, "Codes").Labels, (std::vector<std::string>{"O"}));
  EXPECT_DOUBLE_EQ(Find(chart, "Zone 1a").Y[0], c.Table(AttrRowCL, 1) + c.Table(AttrRowSigma, 1));
  // The foot lists the summary's last line first.
  ASSERT_EQ(chart.Foot.size(), 3u);
  EXPECT_EQ(chart.Foot.front(), c.Summary.back());
  EXPECT_EQ(chart.Foot.back(), c.Summary.front());
  // The axis covers the statistics and limits, widened by a twentieth, not below 0.
  EXPECT_GE(chart.Panels[0].Left.Max, 20.0 / 50);
  EXPECT_GE(chart.Panels[0].Left.Min, 0);

  // Without violations shown, no codes and no coloured points.
  v.DisplayViolations = false;
  const TChart plain = AttrChartModel(c, q, v, "", "");
  EXPECT_TRUE(Find(plain, "Codes").X.empty());
  EXPECT_EQ(Find(plain, "Statistic").PointColor(9).Color, ChartBlue);
  // Centerline only: no codes either, and no zones.
  q.Settings.Method = AttrCentreOnly;
  v.DisplayViolations = true;
  TAttrChartBuilder b2(d, q);
  b2.Build(b2.Positions()[0], false, DefaultControlTestSettings(), c);
  const TChart centre = AttrChartModel(c, q, v, "", "");
  EXPECT_TRUE(Find(centre, "Codes").X.empty());
  EXPECT_TRUE(ChartValueMissing(Find(centre, "Zone 1a").Y[0]));
}

TEST_F(AttributesChartTest, SetsGetTheirOwnLimitsAndTopLabels) {
  TDataList& d =
      test::LoadText("D\tPhase\n2\tbefore\n2\tbefore\n2\tbefore\n8\tafter\n8\tafter\n8\tafter\n");
  TAttrChartRequest q;
  q.Measures = {1};
  q.ConstantSize = 1;
  q.Settings.Type = AttrC;
  q.SetVariable = 2;
  TAttrChartBuilder b(d, q);
  TAttrChartData c;
  b.Build(b.Positions()[0], false, DefaultControlTestSettings(), c);
  EXPECT_DOUBLE_EQ(c.Table(AttrRowCL, 1), 2);
  EXPECT_DOUBLE_EQ(c.Table(AttrRowCL, 6), 8);
  const TChart chart = AttrChartModel(c, q, TChartViewOptions{}, "", "");
  ASSERT_EQ(chart.Bottom.TopLabels.size(), 2u);
  EXPECT_EQ(chart.Bottom.TopLabels[0].Text, " Phase=before ");
  EXPECT_EQ(chart.Bottom.TopLabels[1].Text, " Phase=after ");
  EXPECT_DOUBLE_EQ(chart.Bottom.TopLabels[1].X, 3.5);
  // A known parameter is not estimated from the data: one set.
  q.Settings.Centre = AttrCentreKnown;
  q.Settings.Parameter = 5;
  TAttrChartBuilder known(d, q);
  known.Build(known.Positions()[0], false, DefaultControlTestSettings(), c);
  EXPECT_DOUBLE_EQ(c.Table(AttrRowCL, 1), 5);
  EXPECT_TRUE(AttrChartModel(c, q, TChartViewOptions{}, "", "").Bottom.TopLabels.empty());
}

}  // namespace
}  // namespace sorvel
