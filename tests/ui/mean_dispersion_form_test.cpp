// The "Mean/Dispersion Tests" window under the offscreen platform: labels and visibility
// per test, the report in the output window (cleared or appended after a page mark),
// "Reset", the messages.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>
#include <sstream>

#include "cli/cli.h"
#include "data/data_state.h"
#include "data/io/data_file.h"
#include "hypothesis/forms/mean_dispersion_form.h"
#include "ui/messages.h"
#include "ui/report_view.h"

using namespace sorvel;

namespace {

class MeanDispersionFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDataState();
    SetMessageRecorder(&messages);
    form = std::make_unique<TT_testForm>(nullptr);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  void TearDown() override {
    delete form->OutputForm();
    form.reset();
    SetMessageRecorder(nullptr);
    ResetDataState();
  }
  void Type(QLineEdit* e, const QString& text) {
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, text);
    QTest::keyClick(e, Qt::Key_Tab);
  }
  QString Output() { return form->OutputForm()->RichEdit->toPlainText(); }

  TMessageLog messages;
  std::unique_ptr<TT_testForm> form;
};

TEST_F(MeanDispersionFormTest, LabelsAndVisibilityFollowTheTest) {
  struct Case {
    int test;  // radio index
    int df;    // "df Calculations" index
    bool variance;
    const char *mean2, *disp1, *disp2, *meanHyp0, *varHyp0;
    bool means, disp2Shown, n2, r12, dfs, dfGroup, meanHyp, varHyp;
  };
  const Case cases[] = {
      {0, 0, false, "Mo:", "&s1:", "s2:", "\xCE\xBC = Mo",
       "\xCF\x83\xC2\xB2"
       "1 = \xCF\x83\xC2\xB2"
       "2",
       true, false, false, false, false, true, true, false},
      {0, 1, false, "Mo:", "&s1:", "s2:", "\xCE\xBC = Mo",
       "\xCF\x83\xC2\xB2"
       "1 = \xCF\x83\xC2\xB2"
       "2",
       true, false, false, false, true, true, true, false},
      {0, 2, false, "Mo:", "&Sigma1:", "Sigma2:", "\xCE\xBC = Mo",
       "\xCF\x83\xC2\xB2"
       "1 = \xCF\x83\xC2\xB2"
       "2",
       true, false, false, false, false, true, true, false},
      // clang-format off
      {1, 0, false, "X2:", "&s1:", "So:", "\xCE\xBC" "1 = \xCE\xBC" "2", "\xCF\x83\xC2\xB2 = Vo",
       false, true, false, false, false, false, false, true},
      {1, 0, true, "X2:", "&V1:", "Vo:", "\xCE\xBC" "1 = \xCE\xBC" "2", "\xCF\x83\xC2\xB2 = Vo",
       false, true, false, false, false, false, false, true},
      // clang-format on
      // A df choice left from another test does not count where it is hidden.
      // clang-format off
      {1, 2, false, "X2:", "&s1:", "So:", "\xCE\xBC" "1 = \xCE\xBC" "2", "\xCF\x83\xC2\xB2 = Vo",
       false, true, false, false, false, false, false, true},
      {2, 0, false, "X2:", "&s1:", "s2:", "\xCE\xBC" "1 = \xCE\xBC" "2", "\xCF\x83\xC2\xB2" "1 = \xCF\x83\xC2\xB2" "2",
       // clang-format on
       true, true, true, false, false, true, true, true},
      {2, 1, true, "X2:", "&V1:", "V2:",
       "\xCE\xBC"
       "1 = \xCE\xBC"
       "2",
       "\xCF\x83\xC2\xB2"
       "1 = \xCF\x83\xC2\xB2"
       "2",
       true, false, true, false, true, true, true, true},
      {2, 2, false, "X2:", "&Sigma1:", "Sigma2:",
       "\xCE\xBC"
       "1 = \xCE\xBC"
       "2",
       "\xCF\x83\xC2\xB2"
       "1 = \xCF\x83\xC2\xB2"
       "2",
       true, true, true, false, false, true, true, false},
      {3, 1, false, "X2:", "&s1:", "s2:",
       "\xCE\xBC"
       "1 = \xCE\xBC"
       "2",
       "\xCF\x83\xC2\xB2"
       "1 = \xCF\x83\xC2\xB2"
       "2",
       true, true, false, true, false, false, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "test " << c.test + 1 << ", df " << c.df << ", variance " << c.variance);
    form->dfCalcs->button(c.df)->click();
    form->Var->button(c.variance ? 1 : 0)->click();
    form->Test->button(c.test)->click();
    EXPECT_EQ(form->Mean2Label->text(), QString::fromUtf8(c.mean2));
    EXPECT_EQ(form->Std1Label->text(), QString::fromUtf8(c.disp1));
    EXPECT_EQ(form->Std2Label->text(), QString::fromUtf8(c.disp2));
    EXPECT_EQ(form->MeanHyp->button(0)->text(), QString::fromUtf8(c.meanHyp0));
    EXPECT_EQ(form->VarHyp->button(0)->text(), QString::fromUtf8(c.varHyp0));
    EXPECT_EQ(!form->Mean1Edit->isHidden(), c.means);
    EXPECT_EQ(!form->mean2edit->isHidden(), c.means);
    EXPECT_EQ(!form->Std2Edit->isHidden(), c.disp2Shown);
    EXPECT_EQ(!form->n2edit->isHidden(), c.n2);
    EXPECT_EQ(!form->r12edit->isHidden(), c.r12);
    EXPECT_EQ(!form->dfsEdit->isHidden(), c.dfs);
    EXPECT_EQ(!form->RadioGroup_dfCalcs->isHidden(), c.dfGroup);
    EXPECT_EQ(!form->RadioGroup_MeanHyp->isHidden(), c.meanHyp);
    EXPECT_EQ(!form->RadioGroup_VarHyp->isHidden(), c.varHyp);
  }
}

TEST_F(MeanDispersionFormTest, ReportMatchesTheCommandLineAndAppendsAfterAPageMark) {
  Type(form->Mean1Edit, "10");
  Type(form->Std1Edit, "2");
  Type(form->n1edit, "10");
  Type(form->mean2edit, "12");
  Type(form->Std2Edit, "3");
  Type(form->n2edit, "12");
  QTest::mouseClick(form->Button_Action, Qt::LeftButton);
  EXPECT_TRUE(messages.Texts.isEmpty());
  std::ostringstream cliOut, cliErr;
  ASSERT_EQ(RunCli({"mean-dispersion-tests", "--x1", "10", "--s1", "2", "--n1", "10", "--x2", "12",
                    "--s2", "3", "--n2", "12"},
                   cliOut, cliErr),
            0);
  const QString once = Output();
  EXPECT_EQ(once.toStdString() + "\n", cliOut.str());
  EXPECT_TRUE(form->OutputForm()->isVisible());

  // Cleared before each run while the box is ticked.
  QTest::mouseClick(form->Button_Action, Qt::LeftButton);
  EXPECT_EQ(Output(), once);
  // Unticked: the next run follows a blank line and a page mark.
  form->OutputForm()->CheckBox_Clear->setChecked(false);
  QTest::mouseClick(form->Button_Action, Qt::LeftButton);
  EXPECT_EQ(Output(), once + QStringLiteral("\n\n-Page-\n") + once);
  // The font commands carry over to the next run.
  form->OutputForm()->IncreaseFont();
  QTest::mouseClick(form->Button_Action, Qt::LeftButton);
  const TReport report = form->OutputForm()->RichEdit->Report();
  EXPECT_EQ(report.Lines.back().Runs.front().Style.Size, 10);
  EXPECT_EQ(report.Lines.front().Runs.front().Style.Size, 11);  // the first title, raised
}

TEST_F(MeanDispersionFormTest, MessagesAndR12Refusal) {
  Type(form->n1edit, "1");
  QTest::mouseClick(form->Button_Action, Qt::LeftButton);
  ASSERT_EQ(messages.Texts.size(), 1);
  EXPECT_EQ(messages.Texts[0], QStringLiteral("n must be greater than 1!"));
  EXPECT_TRUE(Output().isEmpty());

  form->Test->button(3)->click();
  Type(form->r12edit, "1.5");
  EXPECT_EQ(form->r12edit->text(), QStringLiteral("0"));
  EXPECT_EQ(form->r12, 0);
  EXPECT_GE(messages.Beeps, 1);
}

TEST_F(MeanDispersionFormTest, ResetAndTheHiddenInputsOfThePairedTest) {
  Type(form->Mean1Edit, "10");
  Type(form->Std1Edit, "2");
  Type(form->n1edit, "10");
  Type(form->mean2edit, "9");
  Type(form->Std2Edit, "3");
  Type(form->n2edit, "50");  // left from a two-sample run
  form->dfCalcs->button(1)->click();
  form->Test->button(3)->click();
  Type(form->r12edit, "0.5");
  QTest::mouseClick(form->Button_Action, Qt::LeftButton);
  EXPECT_TRUE(messages.Texts.isEmpty());
  // R: 9 + c(-1, 1) * qt(.975, 9) * 3 / sqrt(10)
  EXPECT_TRUE(
      Output().contains(QString::fromUtf8("\xCE\xBC"
                                          "2:      6.8539 to 11.1461")))
      << Output().toStdString();

  form->Var->button(1)->click();
  EXPECT_EQ(form->Std1Edit->text(), QStringLiteral("4.0000"));  // the variance of s1 = 2
  form->Button_Reset->click();
  EXPECT_EQ(form->Test->checkedId(), 2);
  EXPECT_EQ(form->Var->checkedId(), 0);
  EXPECT_EQ(form->dfCalcs->checkedId(), 0);
  for (QLineEdit* e : {form->Mean1Edit, form->Std1Edit, form->n1edit, form->mean2edit,
                       form->Std2Edit, form->n2edit, form->r12edit, form->dfsEdit})
    EXPECT_EQ(e->text(), QStringLiteral("0"));
  EXPECT_EQ(form->ConfComboBox->currentText(), QStringLiteral("95"));
  EXPECT_EQ(form->DecimalSpinEdit1->value(), 4);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Mean/Dispersion Tests"));
}

TEST_F(MeanDispersionFormTest, FileDataFillTheBoxesAndTheReport) {
  ASSERT_TRUE(
      ReadDataBytes("Before\tAfter\r\n1\t2\r\n2\t2.5\r\n4\t5\r\n5\t5.5\r\n", DataList()).Ok);
  form->Test->button(3)->click();
  TColumnSelection sel;
  TRunInfo ri;
  sel.Start(ColSelTwoDependent);
  sel.AcceptColumns(1, 2, false, ri);
  form->UseSelection(sel);
  EXPECT_EQ(form->Mean1Edit->text(), QStringLiteral("3.0000"));
  EXPECT_EQ(form->mean2edit->text(), QStringLiteral("3.7500"));
  EXPECT_EQ(form->n1edit->text(), QStringLiteral("4"));
  EXPECT_EQ(form->Group1Label->text(), QStringLiteral("Before"));
  QTest::mouseClick(form->Button_Action, Qt::LeftButton);
  EXPECT_TRUE(messages.Texts.isEmpty());
  EXPECT_TRUE(Output().contains(QStringLiteral("Paired t-Test"))) << Output().toStdString();
  // Typing into a box makes the groups typed values again.
  Type(form->Mean1Edit, "3.5");
  EXPECT_FALSE(form->FileData);
  EXPECT_EQ(form->Group1Label->text(), QStringLiteral("Group1"));
}

}  // namespace
