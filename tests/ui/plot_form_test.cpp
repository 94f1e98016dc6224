// The "Plots" window under the offscreen platform, started with a run filled as Explore
// fills it.
#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <memory>

#include "data/data_state.h"
#include "data/io/data_file.h"
#include "explore/explore_selection.h"
#include "explore/forms/plot_form.h"
#include "ui/messages.h"

using namespace sorvel;

namespace {

const std::string Examples = std::string(SORVEL_SOURCE_DIR) + "/examples/";

class PlotFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageRecorder(&messages);
    ASSERT_TRUE(FileToDataGrid(Examples + "process.sorvel").Ok);
    form = std::make_unique<TPlot_Form>(nullptr);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    TRunInfo ri;
    ASSERT_EQ(BuildExploreRun(DataList(), {{}, 2, {4}, ""}, ri), "");  // Diameter by Shift
    form->StartPlots(ri);
  }
  void TearDown() override {
    form.reset();
    ResetDataState();
    ChartBlackWhite() = false;
    SetMessageRecorder(nullptr);
  }
  const TChart& Chart() { return form->ChartView->Chart(); }
  const TChartSeries* Series(TSeriesKind kind, const std::string& title) {
    for (const auto& s : Chart().Series)
      if (s.Kind == kind && s.Title == title) return &s;
    return nullptr;
  }
  TMessageLog messages;
  std::unique_ptr<TPlot_Form> form;
};

TEST_F(PlotFormTest, PlotListAndFirstPlot) {
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Plots"));
  ASSERT_EQ(form->ListBox_Plots->count(), 8);
  EXPECT_EQ(form->ListBox_Plots->item(0)->text(), QStringLiteral("B & W (outliers)"));
  EXPECT_EQ(form->ListBox_Plots->item(7)->text(), QStringLiteral("t CMD (LSD)"));
  EXPECT_EQ(form->ListBox_Plots->currentRow(), 0);
  EXPECT_EQ(Chart().Title, std::vector<std::string>{"Box & Whisker Plots"});
  EXPECT_EQ(Chart().Bottom.Title, "Shift");
  EXPECT_EQ(Chart().Panels[0].Left.Title, "Shaft diameter (mm)");
  ASSERT_EQ(form->Result().Groups.size(), 3u);
  EXPECT_EQ(form->Result().Groups[1].Title, "Late");
  // The column's limits are drawn at start ("Display Specifications" ticked).
  EXPECT_NE(Series(TSeriesKind::Segments, "USL"), nullptr);
}

TEST_F(PlotFormTest, OptionsRedrawTheSelectedPlot) {
  form->ListBox_Plots->setCurrentRow(2);  // Mean (CI)
  EXPECT_EQ(Chart().Title[1], "95.00% Confidence Intervals");
  form->PooledAction->trigger();
  EXPECT_EQ(Chart().Title[1], "95.00% Confidence Intervals (Pooled)");
  EXPECT_TRUE(form->Result().Pooled);

  form->SampleSizeAction->trigger();
  EXPECT_EQ(Chart().Bottom.TopLabels.size(), 4u);
  form->SpecificationsAction->trigger();
  EXPECT_EQ(Series(TSeriesKind::Segments, "USL"), nullptr);
  form->GridLinesAction->trigger();
  EXPECT_TRUE(Chart().Panels[0].Left.Grid);

  form->ScrollBar_PlotWidth->setValue(80);
  EXPECT_EQ(form->ScrollBar_PlotWidth->toolTip(), QStringLiteral("Plot Width = 80%"));
  EXPECT_DOUBLE_EQ(Series(TSeriesKind::Candles, "Box")->BoxWidth, 0.8);
  form->UpDown_LineThickness->setValue(5);
  EXPECT_EQ(form->UpDown_LineThickness->toolTip(), QStringLiteral("Line Thickness = 5"));
  EXPECT_DOUBLE_EQ(Series(TSeriesKind::Candles, "Box")->PenWidth, 3);  // at most 3

  QAction* three = form->AxisDecimalsGroup->actions()[4];
  three->trigger();
  EXPECT_EQ(Chart().Panels[0].Left.Format, "#,##0.000");
  EXPECT_EQ(form->AxisDecimalsMenu->title(), QStringLiteral("Axis Decimal &Places (3)"));
}

TEST_F(PlotFormTest, ComparisonPlotsAndNaturalTolerances) {
  form->ListBox_Plots->setCurrentRow(6);
  EXPECT_EQ(Chart().Title[0], "Tukey Critical Mean Differences");
  EXPECT_EQ(Series(TSeriesKind::Candles, "Box")->BoxFill.Color, 0x00FFFFu);
  form->ListBox_Plots->setCurrentRow(5);
  EXPECT_EQ(Chart().Title,
            (std::vector<std::string>{"Natural Tolerances", "(Assuming Normality)"}));
  EXPECT_EQ(Series(TSeriesKind::Polygons, "Natural Tolerance")->Polygons.size(), 3u);
  form->BlackWhiteAction->trigger();
  EXPECT_TRUE(Chart().BlackWhite);
}

TEST_F(PlotFormTest, ChangedColumnsClearTheChart) {
  ++ColumnsChangeCount;
  form->Activated();
  EXPECT_TRUE(Chart().Series.empty());
  form->ListBox_Plots->setCurrentRow(3);  // nothing is drawn until opened again
  EXPECT_TRUE(Chart().Series.empty());
}

TEST_F(PlotFormTest, ReadoutShowsTheValueUnderTheMouse) {
  form->resize(900, 640);
  QTest::qWait(20);
  form->ChartView->update();
  QTest::qWait(20);
  const TChartLayout& l = form->ChartView->Layout();
  ASSERT_FALSE(l.Panels.empty());
  const TPlotGroup& g = form->Result().Groups[0];
  const QPoint at(static_cast<int>(l.MapX(0)), static_cast<int>(l.MapY(0, g.Median)));
  QTest::mouseMove(form->ChartView, at);
  EXPECT_TRUE(form->Label_Y->text().startsWith(QStringLiteral("Y=")))
      << form->Label_Y->text().toStdString();
}

}  // namespace
