// The "Oneway ANOVA" window under the offscreen platform: the code range and level names
// of the grouping column, remembered columns, the report cleared or appended after a page
// mark, Decimals running it again, "Dispersion Tests" for Fixed and Random only.
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>
#include <memory>

#include "data/data_state.h"
#include "data/io/data_file.h"
#include "editor/data_form.h"
#include "editor/register.h"
#include "explore/forms/plot_form.h"
#include "explore/plots.h"
#include "hypothesis/forms/oneway_form.h"
#include "ui/messages.h"
#include "ui/report_view.h"
#include "ui/window_registry.h"

using namespace sorvel;

namespace {

// Scores by method (text levels A, B, C) and by a numeric code column.
const char* const Scores =
    "Score\tMethod\tCode\n"
    "3\tA\t1\n5\tA\t1\n6\tA\t1\n8\tA\t1\n"
    "7\tB\t2\n9\tB\t2\n12\tB\t2\n10\tB\t2\n11\tB\t2\n"
    "2\tC\t4\n4\tC\t4\n3\tC\t4\n6.5\tC\t4\n";

class OnewayFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDataState();
    OnewayMeasureIndex = OnewayGroupsIndex = 0;
    SetMessageRecorder(&messages);
    auto list = std::make_unique<TDataList>();
    ASSERT_TRUE(ReadDataBytes(Scores, *list).Ok);
    ReplaceDataList(std::move(list));
    form = std::make_unique<TOnewayForm>(nullptr);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  void TearDown() override {
    form.reset();
    SetMessageRecorder(nullptr);
    ResetDataState();
  }
  QString Output() const { return form->RichEdit->toPlainText(); }

  TMessageLog messages;
  std::unique_ptr<TOnewayForm> form;
};

TEST_F(OnewayFormTest, GroupingColumnGivesTheCodeRangeAndLevelNames) {
  form->ComboBox_Groups->setCurrentIndex(2);  // Code: 1, 2, 4
  EXPECT_EQ(form->SpinEdit1->minimum(), 1);
  EXPECT_EQ(form->SpinEdit2->maximum(), 4);
  EXPECT_EQ(form->SpinEdit1->value(), 1);
  EXPECT_EQ(form->SpinEdit2->value(), 4);
  EXPECT_TRUE(form->Label_Spin1->text().isEmpty());  // numbers, no level names

  form->ComboBox_Groups->setCurrentIndex(1);  // Method: levels A, B, C as 1..3
  EXPECT_EQ(form->SpinEdit2->value(), 3);
  EXPECT_EQ(form->Label_Spin1->text(), QStringLiteral("A"));
  EXPECT_EQ(form->Label_Spin2->text(), QStringLiteral("C"));
  form->SpinEdit2->setValue(2);
  EXPECT_EQ(form->Label_Spin2->text(), QStringLiteral("B"));

  // The choice outlives the window.
  form.reset();
  form = std::make_unique<TOnewayForm>(nullptr);
  EXPECT_EQ(form->ComboBox_Groups->currentIndex(), 1);
  EXPECT_EQ(form->ComboBox_Meas->currentIndex(), 0);
}

TEST_F(OnewayFormTest, ReportsAreClearedOrAppendedAfterAPageMark) {
  form->ComboBox_Groups->setCurrentIndex(2);
  form->CheckBox_Pairwise->setChecked(true);
  QTest::mouseClick(form->Button_Action, Qt::LeftButton);
  ASSERT_TRUE(messages.Texts.isEmpty()) << messages.Texts.join('|').toStdString();
  const QString first = Output();
  EXPECT_TRUE(first.startsWith(QStringLiteral("ONEWAY ANOVA\nScore by Code[1 to 4]")));
  EXPECT_TRUE(first.contains(QStringLiteral("Pairwise Comparisons")));
  EXPECT_TRUE(first.contains(QStringLiteral("1 vs 4")));  // the groups delivered: 1, 2 and 4
  EXPECT_FALSE(first.contains(QStringLiteral("3 vs")));

  // Checked: the next run replaces the report.
  QTest::mouseClick(form->Button_Action, Qt::LeftButton);
  EXPECT_EQ(Output(), first);

  // Unchecked: a blank line and the page mark, then the run.
  form->CheckBox_Clear->setChecked(false);
  form->Type->button(2)->setChecked(true);
  QTest::mouseClick(form->Button_Action, Qt::LeftButton);
  const QString both = Output();
  EXPECT_TRUE(both.startsWith(first));
  EXPECT_TRUE(
      both.mid(first.size()).startsWith(QStringLiteral("\n\n-Page-\nKRUSKAL-WALLIS ONEWAY ANOVA")))
      << both.mid(first.size()).left(60).toStdString();
}

TEST_F(OnewayFormTest, DecimalsRunTheReportAgain) {
  form->ComboBox_Groups->setCurrentIndex(2);
  form->DecimalSpinEdit1->setValue(2);
  EXPECT_TRUE(Output().isEmpty());  // nothing shown yet, nothing to redo
  QTest::mouseClick(form->Button_Action, Qt::LeftButton);
  EXPECT_TRUE(Output().contains(QStringLiteral("85.70")));  // SSB with 2 decimals
  form->DecimalSpinEdit1->setValue(5);
  EXPECT_TRUE(Output().contains(QStringLiteral("85.70481")));
}

TEST_F(OnewayFormTest, DispersionTestsOnlyForFixedAndRandom) {
  EXPECT_TRUE(form->CheckBox_Disp->isVisible());
  form->Type->button(2)->setChecked(true);
  EXPECT_FALSE(form->CheckBox_Disp->isVisible());
  form->Type->button(1)->setChecked(true);
  EXPECT_TRUE(form->CheckBox_Disp->isVisible());
  EXPECT_EQ(form->minimumWidth(), TOnewayForm::DesignWidth);
  EXPECT_EQ(form->minimumHeight(), TOnewayForm::DesignHeight - 250);
}

TEST_F(OnewayFormTest, CtrlWheelAndFontCommandsStepTheFonts) {
  auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
    QWheelEvent e(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton,
                  modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form->RichEdit->viewport(), &e);
  };
  wheel(120, Qt::ControlModifier);
  EXPECT_EQ(form->BodySize, TOnewayForm::InitialBodySize + 1);
  wheel(120, Qt::NoModifier);  // scrolling only
  EXPECT_EQ(form->BodySize, TOnewayForm::InitialBodySize + 1);
  for (int i = 0; i < 10; ++i) form->DecreaseFontAction->trigger();
  EXPECT_EQ(form->BodySize, 6);  // not below 6
}

TEST_F(OnewayFormTest, PlotsShowsTheRunAndReturnsHere) {
  RegisterForm(PlotsCommand, [](QWidget* owner) { return new TPlot_Form(owner); });
  form->ComboBox_Groups->setCurrentIndex(2);
  form->SpinEdit2->setValue(2);
  ASSERT_TRUE(form->PlotsAction->isEnabled());
  form->PlotsAction->trigger();
  auto* plots = qobject_cast<TPlot_Form*>(FormFor(PlotsCommand));
  ASSERT_NE(plots, nullptr);
  EXPECT_TRUE(plots->isVisible());
  EXPECT_EQ(plots->Run().ColRefRun, LoadMeasureByLevel);
  EXPECT_EQ(plots->Run().measure, 1);
  EXPECT_EQ(plots->Run().index, 3);
  EXPECT_EQ(plots->Run().Afirst, 1);
  EXPECT_EQ(plots->Run().Alast, 2);
  EXPECT_EQ(plots->Run().NumberOfGroups, 2);
  EXPECT_EQ(plots->ReturnAction->text(), QStringLiteral("&Return to Oneway ANOVA Form"));
  ResetForms();
}

TEST_F(OnewayFormTest, DataEditorReturnsToTheCaller) {
  RegisterDataForms();
  QEvent activate(QEvent::WindowActivate);  // the desktop's switch to this window
  QApplication::sendEvent(form.get(), &activate);
  ASSERT_TRUE(form->DataEditorAction->isEnabled());
  form->DataEditorAction->trigger();
  auto* editor = static_cast<TDataForm*>(FormFor("data-editor"));
  EXPECT_EQ(editor->CallingName, QStringLiteral("Oneway Form"));
  EXPECT_EQ(editor->CallingForm, form.get());
  ResetForms();
}

}  // namespace
