// "Attributes Chart Setup" and "Attributes Chart" under the offscreen platform, driven by
// clicks and keys on the example inspection data (Lot, Inspected, Defective, Defects).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "data/data_state.h"
#include "data/io/data_file.h"
#include "quality/forms/attr_chart_form.h"
#include "quality/forms/attr_setup_form.h"
#include "quality/variables_setup.h"
#include "ui/messages.h"
#include "ui/variable_lists.h"

using namespace sorvel;

namespace {

const std::string DefectsFile = std::string(SORVEL_SOURCE_DIR) + "/examples/defects.sorvel";

const TChartSeries* Find(const TChart& c, const char* title) {
  for (const auto& s : c.Series)
    if (s.Title == title) return &s;
  return nullptr;
}

class AttrChartFormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageRecorder(&messages);
    ASSERT_TRUE(FileToDataGrid(DefectsFile).Ok);
    form = std::make_unique<TForm_AttrSetup>(nullptr);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  void TearDown() override {
    if (TAttrChart_Form* chart = AttributesChartForm()) delete chart;
    form.reset();
    ResetDataState();
    SetMessageRecorder(nullptr);
  }
  void Pick(QListWidget* list, const char* name) {
    for (int i = 0; i < list->count(); ++i)
      if (ItemName(list->item(i)) == QLatin1String(name)) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(i)).center());
        return;
      }
    ADD_FAILURE() << "no variable " << name;
  }
  // On the indicator: a wide radio button or check box takes clicks on its circle and text only.
  void Click(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
  }
  void Type(QLineEdit* edit, const char* text) {
    edit->clear();
    QTest::keyClicks(edit, QString::fromLatin1(text));
  }
  // Defective units charted with the inspected counts as sample sizes.
  void ChooseDefectiveOfInspected() {
    Pick(form->DataVarList, "Defective");
    Click(form->Picker->IncludeBtn);
    Pick(form->DataVarList, "Inspected");
    Click(form->Edit_SampleCol->SelectBtn);
  }
  TMessageLog messages;
  std::unique_ptr<TForm_AttrSetup> form;
};

TEST_F(AttrChartFormsTest, SetupOpensTheChartWithStepsZonesAndMemo) {
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Attributes Chart Setup - defects.sorvel"));
  EXPECT_EQ(form->PageControl->tabText(0), QStringLiteral("Columns"));
  EXPECT_EQ(form->PageControl->tabText(1), QStringLiteral("Reference"));
  EXPECT_EQ(form->Calc->checkedButton()->text(), QStringLiteral("Exact"));
  ChooseDefectiveOfInspected();
  Click(form->Button_Action);
  EXPECT_TRUE(messages.Texts.isEmpty()) << messages.Texts.join(QLatin1Char('|')).toStdString();

  TAttrChart_Form* chart = AttributesChartForm();
  ASSERT_NE(chart, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(chart));
  EXPECT_EQ(chart->windowTitle(), QStringLiteral("Attributes Chart"));
  EXPECT_EQ(chart->ReturnAction->text(), QStringLiteral("&Return to Attributes Chart Setup Form"));
  ASSERT_EQ(chart->ListBox_Selection->count(), 1);
  EXPECT_EQ(chart->ListBox_Selection->item(0)->text(), QStringLiteral("Defective"));
  // R: (qbinom(pnorm(-3), 200, 246/6700, lower.tail = FALSE) + 0.5)/200 = 0.0825 at the last lot.
  EXPECT_EQ(chart->Memo1->toPlainText(),
            QStringLiteral("       UCL = 0.08250        Exact Binomial Limits\n"
                           "Centerline = 0.03672        Centerline from Mean\n"
                           "       LCL = 0.002500       (3) Sigma Limits\n"));
  const TChart& model = chart->ChartView->Chart();
  EXPECT_EQ(model.Title, (std::vector<std::string>{"p Chart: Defective units"}));
  EXPECT_EQ(model.Panels[0].Left.Title, "Proportion");
  ASSERT_NE(Find(model, "UCL"), nullptr);
  // Lots of 250 and 200 inspected units: the UCL steps between 19.5/250 and 16.5/200.
  EXPECT_DOUBLE_EQ(Find(model, "UCL")->Y[0], 19.5 / 250);
  EXPECT_DOUBLE_EQ(Find(model, "UCL")->Y[1], 16.5 / 200);
  EXPECT_EQ(Find(model, "Statistic")->Count(), 30u);

  // Zones on: bands and zone lines appear.
  EXPECT_TRUE(chart->DisplayZonesAction->isEnabled());
  chart->DisplayZonesAction->trigger();
  const TChart& zoned = chart->ChartView->Chart();
  std::size_t bands = 0;
  for (const auto& s : zoned.Series)
    if (s.Kind == TSeriesKind::Bands) bands += s.Count();
  EXPECT_GT(bands, 0u);
  EXPECT_FALSE(ChartValueMissing(Find(zoned, "Zone 1a")->Y[0]));
  chart->DisplayCodesAction->trigger();
  chart->AddLimitInformationAction->trigger();
  EXPECT_EQ(chart->ChartView->Chart().Foot.front(), "       LCL = 0.002500       (3) Sigma Limits");
  chart->SetAxisDecimals(3);
  EXPECT_EQ(chart->AxisDecimalsMenu->title(), QStringLiteral("Axis Decimal &Places (3)"));
  EXPECT_EQ(chart->ChartView->Chart().Panels[0].Left.Format, "#,##0.000");

  ASSERT_TRUE(chart->CopyText());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), chart->Memo1->toPlainText());
  if (const char* dir = std::getenv("SORVEL_SCREENSHOTS")) {
    chart->resize(1100, 700);
    QTest::qWait(50);
    chart->grab().save(QString::fromLatin1(dir) + QStringLiteral("/attributes_chart.png"));
  }
}

TEST_F(AttrChartFormsTest, MessagesAndBeepsStopTheAction) {
  Click(form->Button_Action);  // no measure, no sample size
  EXPECT_EQ(messages.Texts, QStringList{QString::fromLatin1(SampleSizeNotGivenMessage)});
  Click(form->CheckBox_nCol);
  Type(form->Edit_nCol, "200");
  const int beeps = messages.Beeps;
  Click(form->Button_Action);  // still no measure: a beep only
  EXPECT_EQ(messages.Beeps, beeps + 1);
  EXPECT_EQ(messages.Texts.size(), 1);

  Pick(form->DataVarList, "Defective");
  Click(form->Picker->IncludeBtn);
  Type(form->Edit_StdErr, "0");
  Click(form->Button_Action);
  EXPECT_EQ(messages.Texts.back(), QString::fromLatin1(StdErrNotValidMessage));
  Type(form->Edit_StdErr, "3");

  Click(form->CL->button(AttrCentreKnown));
  EXPECT_TRUE(form->Edit_Parameter->isVisible());
  EXPECT_EQ(form->Label_Parameter->text(), QStringLiteral("Pi:"));
  Type(form->Edit_Parameter, "1");
  Click(form->Button_Action);
  EXPECT_EQ(messages.Texts.back(), QString::fromLatin1(KnownParameterNotValidMessage));

  Click(form->Calc->button(AttrUserDefined));
  EXPECT_TRUE(form->GroupBox_Limits->isVisible());
  EXPECT_FALSE(form->Edit_Parameter->isVisible());
  EXPECT_FALSE(form->Edit_SetsCol->isVisible());  // user limits are not estimated per set
  Click(form->CheckBox_UCL);
  Click(form->CheckBox_LCL);
  Type(form->Edit_UCL, "0.01");
  Type(form->Edit_LCL, "0.05");
  Click(form->Button_Action);
  EXPECT_EQ(messages.Texts.back(), QString::fromLatin1(UserLimitsNotValidMessage));
  EXPECT_EQ(AttributesChartForm(), nullptr);
}

TEST_F(AttrChartFormsTest, CChartTakesAConstantSampleSizeOfOne) {
  Pick(form->DataVarList, "Defects");
  Click(form->Picker->IncludeBtn);
  Pick(form->DataVarList, "Inspected");
  Click(form->Edit_SampleCol->SelectBtn);
  Click(form->Type->button(AttrC));
  ASSERT_EQ(form->Type->checkedId(), AttrC);
  EXPECT_EQ(form->Edit_SampleCol->Column(), 0);
  EXPECT_TRUE(form->CheckBox_nCol->isChecked());
  EXPECT_EQ(form->Edit_nCol->text(), QStringLiteral("1"));
  EXPECT_EQ(form->Label_Parameter->text(), QStringLiteral("Lambda:"));
  ASSERT_TRUE(form->CalcButtonClick());
  // R: qpois(pnorm(-3), 310/30, lower.tail = FALSE) + 0.5 = 21.5.
  EXPECT_EQ(AttributesChartForm()->Memo1->toPlainText().section(QLatin1Char('\n'), 0, 0),
            QStringLiteral("       UCL = 21.50          Exact Poisson Limits"));
  EXPECT_EQ(AttributesChartForm()->ChartView->Chart().Panels[0].Left.Title, "Count");
}

TEST_F(AttrChartFormsTest, EditedDataClosesTheChart) {
  ChooseDefectiveOfInspected();
  ASSERT_TRUE(form->CalcButtonClick());
  TAttrChart_Form* chart = AttributesChartForm();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(chart));
  ++DataChangeCount;
  form->activateWindow();
  chart->activateWindow();
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(chart, &activate);
  EXPECT_FALSE(chart->isVisible());
  EXPECT_EQ(chart->ListBox_Selection->count(), 0);
}

TEST_F(AttrChartFormsTest, RecalculateReadsEditsButNotAnotherDataSet) {
  ChooseDefectiveOfInspected();
  ASSERT_TRUE(form->CalcButtonClick());
  TAttrChart_Form* chart = AttributesChartForm();
  // Lot 1 edited to 25 defectives of 250: beyond its UCL of 19.5/250 after F9.
  DataList().SetCellText(3, 1, "25");
  ++DataChangeCount;
  chart->RecalculateAction->trigger();
  EXPECT_DOUBLE_EQ(chart->Current().Table(AttrRowStat, 1), 0.1);
  EXPECT_NE(chart->Current().Codes[1].find('O'), std::string::npos);
  // Another data set: the charts of the old one are gone.
  ASSERT_TRUE(FileToDataGrid(DefectsFile).Ok);
  chart->RecalculateAction->trigger();
  EXPECT_EQ(chart->ListBox_Selection->count(), 0);
  EXPECT_EQ(chart->Current().Table.Count, 0);
}

}  // namespace
