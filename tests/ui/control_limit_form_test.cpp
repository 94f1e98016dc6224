// The "Control Limit Calculations" window under the offscreen platform.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>
#include <sstream>

#include "cli/cli.h"
#include "quality/forms/control_limit_form.h"
#include "ui/messages.h"
#include "ui/report_view.h"

using namespace sorvel;

namespace {

class ControlLimitFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageRecorder(&messages);
    form = std::make_unique<TControl_Limit_Form>(nullptr);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  void TearDown() override {
    form.reset();
    SetMessageRecorder(nullptr);
  }
  TControl_Limit_Form::TPage& Show(int page) {
    form->PageControl_cc->setCurrentIndex(page - 1);
    return form->Page(page);
  }
  QString Press(int page) {
    QTest::mouseClick(form->Button_Action, Qt::LeftButton);
    return form->Page(page).RichEdit->toPlainText();
  }
  TMessageLog messages;
  std::unique_ptr<TControl_Limit_Form> form;
};

TEST_F(ControlLimitFormTest, PagesAndLists) {
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Control Limit Calculations"));
  const char* tabs[] = {"X-Bar", "Median", "X", "R", "s", "s\xC2\xB2", "p", "np", "c", "u"};
  ASSERT_EQ(form->PageControl_cc->count(), 10);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(form->PageControl_cc->tabText(i), QString::fromUtf8(tabs[i]));
  EXPECT_EQ(form->Page(1).RadioGroupBox->title(), QStringLiteral("Statistic Used"));
  EXPECT_EQ(form->Page(1).RadioGroup->buttons().size(), 9);
  EXPECT_EQ(form->Page(1).RadioGroup->button(5)->text(), QStringLiteral("Avg MR of X-bars"));
  EXPECT_EQ(form->Page(2).RadioGroup->button(6)->text(), QStringLiteral("Med MR of Medians"));
  EXPECT_EQ(form->Page(4).RadioGroup->buttons().size(), 6);
  EXPECT_EQ(form->Page(8).RadioGroupBox->title(), QStringLiteral("Method"));
  EXPECT_EQ(form->Page(10).RadioGroup->button(1)->text(), QStringLiteral("Exact Poisson"));
  EXPECT_EQ(form->Page(9).Edit3, nullptr);  // no n on the c page
  EXPECT_EQ(form->Page(4).Edit1, nullptr);  // the R chart's centre is computed
  EXPECT_EQ(form->Page(1).Edit4->text(), QStringLiteral("3"));
}

TEST_F(ControlLimitFormTest, TheXPageRelabelsAndHidesN) {
  TControl_Limit_Form::TPage& x = Show(3);
  EXPECT_EQ(x.Label3->text(), QStringLiteral("&n (range):"));
  x.RadioGroup->button(2)->click();
  EXPECT_EQ(x.Label3->text(), QStringLiteral("&k (values):"));
  EXPECT_TRUE(x.Edit3->isVisible());
  x.RadioGroup->button(3)->click();
  EXPECT_FALSE(x.Edit3->isVisible());
  EXPECT_FALSE(x.Label3->isVisible());
  // Known Std Dev needs no n.
  x.Edit1->setText("5");
  x.Edit2->setText("2");
  const QString report = Press(3);
  EXPECT_TRUE(messages.Texts.isEmpty());
  EXPECT_TRUE(report.contains(QStringLiteral("UCL = 11.0000"))) << report.toStdString();
  x.RadioGroup->button(0)->click();
  EXPECT_TRUE(x.Edit3->isVisible());
  EXPECT_EQ(x.Label3->text(), QStringLiteral("&n (range):"));
}

TEST_F(ControlLimitFormTest, WindowAndCommandLineGiveOneReport) {
  TControl_Limit_Form::TPage& p = Show(7);
  p.RadioGroup->button(1)->click();
  p.Edit2->setText("0.04");
  p.Edit3->setText("50");
  form->DecimalSpinEdit->setValue(3);
  const QString report = Press(7);
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"control-limit-calculations", "--chart-type", "p", "--method", "exact-binomial",
                    "--statistic", "0.04", "--n", "50", "--decimals", "3"},
                   out, err),
            CliOk)
      << err.str();
  EXPECT_EQ(report.toStdString() + "\n", out.str());
  EXPECT_TRUE(report.contains(QStringLiteral("UCL = 0.150")));
  EXPECT_EQ(messages.Beeps, 0);
}

TEST_F(ControlLimitFormTest, MessagesFocusTheirEdit) {
  TControl_Limit_Form::TPage& r = Show(4);
  r.Edit3->setText("5");
  Press(4);
  ASSERT_EQ(messages.Texts.size(), 1);
  EXPECT_EQ(messages.Texts[0], QStringLiteral("Statistic must be greater then 0!"));
  EXPECT_TRUE(r.Edit2->hasFocus());
  r.Edit2->setText("1");
  r.Edit3->setText("0");
  Press(4);
  ASSERT_EQ(messages.Texts.size(), 2);
  EXPECT_EQ(messages.Texts[1], QStringLiteral("n must be greater then 0!"));
  EXPECT_TRUE(r.Edit3->hasFocus());
}

TEST_F(ControlLimitFormTest, AFailedCalculationBeeps) {
  TControl_Limit_Form::TPage& p = Show(7);
  p.Edit2->setText("1");
  p.Edit3->setText("10");
  const QString report = Press(7);
  EXPECT_TRUE(report.endsWith(QStringLiteral("Sample size outside table range")))
      << report.toStdString();
  EXPECT_TRUE(messages.Texts.isEmpty());
  EXPECT_EQ(messages.Beeps, 1);
}

}  // namespace
