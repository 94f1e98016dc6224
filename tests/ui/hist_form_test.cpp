// The "Histogram" window under the offscreen platform, started with a run filled as
// Explore fills it.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "data/data_state.h"
#include "data/io/data_file.h"
#include "explore/explore_selection.h"
#include "explore/forms/hist_form.h"
#include "ui/messages.h"

using namespace sorvel;

namespace {

const std::string Examples = std::string(SORVEL_SOURCE_DIR) + "/examples/";

class HistFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageRecorder(&messages);
    ASSERT_TRUE(FileToDataGrid(Examples + "process.sorvel").Ok);
    form = std::make_unique<THistForm>(nullptr);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  void TearDown() override {
    form.reset();
    ResetDataState();
    SharedReportTitle().clear();
    ChartBlackWhite() = false;
    SetMessageRecorder(nullptr);
  }
  void Start(const TExploreSelection& sel) {
    TRunInfo ri;
    ASSERT_EQ(BuildExploreRun(DataList(), sel, ri), "");
    form->StartHistogram(ri);
  }
  const TChartSeries* Series(TSeriesKind kind, const std::string& title) {
    for (const auto& s : form->ChartView->Chart().Series)
      if (s.Kind == kind && s.Title == title) return &s;
    return nullptr;
  }
  TMessageLog messages;
  std::unique_ptr<THistForm> form;
};

TEST_F(HistFormTest, SetListAndTitles) {
  SharedReportTitle() = "Shafts";
  Start({{}, 2, {3}, ""});  // Diameter by Machine
  ASSERT_EQ(form->ListBox_Sets->count(), 3);
  EXPECT_EQ(form->ListBox_Sets->item(0)->text(), QStringLiteral("(All)"));
  EXPECT_EQ(form->ListBox_Sets->item(2)->text(), QStringLiteral("M2"));
  const TChart& c = form->ChartView->Chart();
  EXPECT_EQ(c.Title, (std::vector<std::string>{"Shafts", "Histogram: (All)"}));
  EXPECT_EQ(c.Bottom.Title, "Shaft diameter (mm)");
  EXPECT_EQ(form->Histogram().n, 99);
  form->ListBox_Sets->setCurrentRow(2);
  EXPECT_EQ(form->ChartView->Chart().Title.back(), "Histogram: Machine (M2)");
  EXPECT_LT(form->Histogram().n, 99);
  EXPECT_EQ(form->Label_SizeUsed->text().toStdString(), form->Histogram().SizeUsed);
}

TEST_F(HistFormTest, OptionsRedraw) {
  Start({{2}, 0, {}, ""});
  ASSERT_EQ(form->ListBox_Sets->count(), 1);  // one set: no "(All)"
  EXPECT_EQ(form->ChartView->Chart().Title.back(), "Histogram: Shaft diameter (mm)");
  EXPECT_NE(Series(TSeriesKind::Lines, "Specifications"), nullptr);  // ticked at start
  form->SpecificationsAction->trigger();
  EXPECT_EQ(Series(TSeriesKind::Lines, "Specifications"), nullptr);
  form->ProcessLimitsAction->trigger();
  EXPECT_NE(Series(TSeriesKind::Lines, "Process Limits"), nullptr);
  form->CheckBox_NormalCurve->setChecked(true);
  EXPECT_NE(Series(TSeriesKind::Line, "Normal Curve"), nullptr);
  form->RelativeAction->trigger();
  EXPECT_EQ(form->ChartView->Chart().Panels[0].Left.Title, "Relative Frequency");
  form->RadioButton_Polygons->setChecked(true);
  EXPECT_NE(Series(TSeriesKind::Line, "Relative Frequency"), nullptr);
  EXPECT_EQ(form->ChartView->Chart().Title.back(), "Frequency Polygon: Shaft diameter (mm)");

  form->CheckBox_IntervalSize->setChecked(true);
  EXPECT_TRUE(form->Edit_IntervalSize->isVisible());
  form->Edit_IntervalSize->setText("0.01");
  QTest::keyClick(form->Edit_IntervalSize, Qt::Key_Return);
  EXPECT_EQ(form->Label_SizeUsed->text(), QStringLiteral("Size Used: (0.01)"));
  EXPECT_DOUBLE_EQ(form->Histogram().g, 0.01);
}

TEST_F(HistFormTest, TooManyIntervalsIsShownAndTheAutomaticSizeUsed) {
  Start({{2}, 0, {}, ""});
  const double automatic = form->Histogram().g;
  form->CheckBox_IntervalSize->setChecked(true);
  form->Edit_IntervalSize->setText("1e-9");
  QTest::keyClick(form->Edit_IntervalSize, Qt::Key_Return);
  EXPECT_EQ(messages.Texts, QStringList{QStringLiteral("Too Many Intervals!")});
  EXPECT_EQ(form->Histogram().g, automatic);
}

TEST_F(HistFormTest, ChangedColumnsClearTheWindow) {
  Start({{2}, 0, {}, ""});
  ++ColumnsChangeCount;
  form->CheckColumns();
  EXPECT_EQ(form->ListBox_Sets->count(), 0);
  EXPECT_TRUE(form->ChartView->Chart().Series.empty());
}

TEST_F(HistFormTest, BlackAndWhite) {
  Start({{2}, 0, {}, ""});
  form->BlackWhiteAction->trigger();
  EXPECT_TRUE(form->ChartView->Chart().BlackWhite);
  const TChartSeries* bars = Series(TSeriesKind::Bars, "Frequency");
  ASSERT_NE(bars, nullptr);
  EXPECT_EQ(bars->Palette[0].Mono, ChartSilver);
}

}  // namespace
