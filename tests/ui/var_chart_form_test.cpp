// The Variables Chart window: selection list, the View commands' enabling and effects,
// point labels, the readout, and closing when the data changed.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "data/data_state.h"
#include "data/io/data_file.h"
#include "quality/forms/var_chart_form.h"
#include "ui/chart_dialogs.h"
#include "ui/messages.h"

using namespace sorvel;

namespace {

// Two machines; subgroups 1, 2 and 4 (3 is missing); the last value far out.
const char* Data =
    "Width\tSubgroup\tMachine\n"
    "10\t1\tA\n12\t1\tB\n11\t1\tA\n"
    "11\t2\tB\n13\t2\tA\n12\t2\tB\n"
    "10\t4\tA\n11\t4\tB\n30\t4\tA\n";

class VarChartFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageRecorder(&messages);
    ResetDataState();
    ASSERT_TRUE(ReadDataBytes(Data, DataList()).Ok);
    DataList().UpdateData();
  }
  void TearDown() override {
    delete VariablesChartForm();
    ResetDataState();
    SetMessageRecorder(nullptr);
  }
  static TVarChartRequest MeanRange() {
    TVarChartRequest rq;
    rq.Layout = 10;  // sample variable, one chart per group
    rq.ChartVariables = {1};
    rq.SampleVariable = 2;
    rq.ChartGroups = {3};
    return rq;
  }
  const TChartSeries* Find(const std::string& title, TSeriesKind kind) {
    for (const auto& s : form->ChartView->Chart().Series)
      if (s.Title == title && s.Kind == kind) return &s;
    return nullptr;
  }
  void Open(const TVarChartRequest& rq) {
    ShowVariablesChart(rq, &caller, QStringLiteral("Variables Chart Setup Form"));
    form = VariablesChartForm();
    ASSERT_NE(form, nullptr);
    form->resize(900, 600);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    form->ChartView->repaint();
  }
  TMessageLog messages;
  QWidget caller;
  TVARchart_Form* form = nullptr;
};

TEST_F(VarChartFormTest, SelectionListAndTheFirstChart) {
  Open(MeanRange());
  ASSERT_EQ(form->ListBox_Selection->count(), 2);
  EXPECT_EQ(form->ListBox_Selection->item(0)->text(), "A");
  EXPECT_EQ(form->ListBox_Selection->item(1)->text(), "B");
  EXPECT_EQ(form->ListBox_Selection->currentRow(), 0);
  EXPECT_EQ(form->ReturnAction->text(), "&Return to Variables Chart Setup Form");
  EXPECT_EQ(form->ReturnAction->toolTip(), "Return to Variables Chart Setup Form");
  EXPECT_EQ(form->ChartView->Chart().Title.back(), "Mean and Range Chart: Width (A)");
  // Machine A: subgroups 1 (10, 11), 2 (13), 4 (10, 30).
  const TChartSeries* loc = Find("Location Statistic", TSeriesKind::Points);
  ASSERT_NE(loc, nullptr);
  EXPECT_EQ(loc->Y, (std::vector<double>{10.5, 13, 20}));
  form->ListBox_Selection->setCurrentRow(1);
  EXPECT_EQ(form->ChartView->Chart().Title.back(), "Mean and Range Chart: Width (B)");
  EXPECT_FALSE(form->ChartInformationAction->isEnabled());
  EXPECT_FALSE(form->Button_ChartInformation->isEnabled());
}

TEST_F(VarChartFormTest, CommandsEnableByChartAndState) {
  Open(MeanRange());
  // Subgroup chart: all points may be shown; the sigma lines and specifications only with them.
  EXPECT_TRUE(form->ShowAllPointsAction->isEnabled());
  EXPECT_FALSE(form->Show3SigmaAction->isEnabled());
  EXPECT_FALSE(form->RemoveLocationAction->isEnabled());
  EXPECT_TRUE(form->DisplayZonesAction->isEnabled());
  EXPECT_FALSE(form->ClearPointTextAction->isEnabled());
  form->ShowAllPointsAction->trigger();
  EXPECT_TRUE(form->Show3SigmaAction->isEnabled());
  EXPECT_TRUE(form->RemoveLocationAction->isEnabled());
  const TChartSeries* all = Find("Individual Point", TSeriesKind::Points);
  ASSERT_NE(all, nullptr);
  EXPECT_EQ(all->Y, (std::vector<double>{10, 11, 10, 30}));  // subgroup 2 has one value
  form->Show3SigmaAction->trigger();
  EXPECT_NE(Find("Plus 3 Sigma Line", TSeriesKind::Line), nullptr);
  // Turning all points off also turns the sigma lines off.
  form->ShowAllPointsAction->trigger();
  EXPECT_FALSE(form->Show3SigmaAction->isChecked());
  EXPECT_EQ(Find("Plus 3 Sigma Line", TSeriesKind::Line), nullptr);

  // Violations off: no codes.
  form->DisplayCodesAction->trigger();
  EXPECT_NE(Find("Control Violation Codes", TSeriesKind::TopText), nullptr);
  form->DisplayViolationsAction->trigger();
  EXPECT_FALSE(form->DisplayCodesAction->isChecked());
  EXPECT_EQ(Find("Control Violation Codes", TSeriesKind::TopText), nullptr);

  // Breaks: subgroup 3 is missing, so point 3 moves to x = 4.
  form->ShowBreaksAction->trigger();
  EXPECT_EQ(Find("Location Statistic", TSeriesKind::Points)->X, (std::vector<double>{1, 2, 4}));

  form->SetAxisDecimals(2);
  EXPECT_EQ(form->AxisDecimalsMenu->title(), "Axis Decimal &Places (2)");
  EXPECT_EQ(form->ChartView->Chart().Panels[0].Left.Format, "#,##0.00");
  form->TrackBar_Split->setValue(90);
  EXPECT_EQ(form->TrackBar_Split->toolTip(), "Location/Dispersion Chart Sizing (100%/0%)");
  EXPECT_EQ(form->ChartView->Chart().Panels.size(), 1u);
  form->ScrollBar_PointSize->setValue(7);
  EXPECT_EQ(form->ScrollBar_PointSize->toolTip(), "Set Point Size = 7");
  EXPECT_EQ(Find("Location Statistic", TSeriesKind::Points)->Size, 7);
}

TEST_F(VarChartFormTest, IndividualsHaveNoAllPoints) {
  TVarChartRequest rq;
  rq.Layout = 1;
  rq.ChartVariables = {1};
  rq.Settings.LocationChart = ChartX;
  rq.Settings.DispersionChart = ChartMovingRange;
  rq.Settings.LocationMethod = rq.Settings.DispersionMethod = MethodAverageMR;
  Open(rq);
  EXPECT_FALSE(form->ShowAllPointsAction->isEnabled());
  EXPECT_TRUE(form->Show3SigmaAction->isEnabled());  // an X chart
  EXPECT_TRUE(form->ShowSpecificationsAction->isEnabled());
}

TEST_F(VarChartFormTest, PointClickLabelsThePointAndReadout) {
  Open(MeanRange());
  const TChartLayout& l = form->ChartView->Layout();
  ASSERT_EQ(l.Panels.size(), 2u);
  const QPoint at(static_cast<int>(std::lround(l.MapX(2))),
                  static_cast<int>(std::lround(l.MapY(0, 13))));
  EXPECT_EQ(form->ChartView->ReadoutAt(at), "Location Statistic  X=2  Y=13");
  bool seen = false;
  // Answers the dialog once it is up (the click may run events before it opens).
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    auto* d = qobject_cast<TForm_PointLabel*>(modal);
    if (!d) {
      if (modal) {
        ADD_FAILURE() << "another dialog: " << modal->metaObject()->className();
        modal->close();
      }
      return;
    }
    seen = true;
    answer.stop();
    QTest::keyClicks(d->Edit_Text, "Lot 7");
    d->Button_OK->click();
  });
  answer.start(10);
  QTest::mouseClick(form->ChartView, Qt::LeftButton, {}, at);
  EXPECT_TRUE(seen);
  EXPECT_EQ(Find("Location Statistic", TSeriesKind::Points)->Label(1), "Lot 7");
  EXPECT_EQ(form->PointTexts().Texts[0][2], "Lot 7");
  EXPECT_TRUE(form->ClearPointTextAction->isEnabled());
  form->ClearPointTextAction->trigger();
  EXPECT_EQ(Find("Location Statistic", TSeriesKind::Points)->Label(1), "");
}

TEST_F(VarChartFormTest, ClosesWhenTheDataChanged) {
  Open(MeanRange());
  form->show();
  ++DataChangeCount;
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(form, &activate);
  QApplication::processEvents();
  EXPECT_EQ(form->ListBox_Selection->count(), 0);
  EXPECT_FALSE(form->isVisible());
}

// A new data set in place of the charted one: a redraw before the window is activated
// again draws nothing rather than reading the data set that is gone.
TEST_F(VarChartFormTest, ANewDataSetLeavesNothingToDraw) {
  Open(MeanRange());
  ReplaceDataList(std::make_unique<TDataList>());
  form->Redraw();
  EXPECT_TRUE(form->ChartView->Chart().Series.empty());
  EXPECT_EQ(form->Current(), -1);
  EXPECT_FALSE(form->RecalculateAction->isEnabled());
}

}  // namespace
