// The "Nonparametric Tests" window under the offscreen platform: what it shows while the
// test and hypothesis change, the reference page's codes and level names, the report
// (the command line's), and the data editor opened with the caller "MW Form".
#include <gtest/gtest.h>

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <fstream>
#include <memory>
#include <sstream>

#include "cli/cli.h"
#include "data/data_state.h"
#include "data/io/data_file.h"
#include "editor/data_form.h"
#include "editor/register.h"
#include "hypothesis/forms/np_form.h"
#include "ui/messages.h"
#include "ui/report_view.h"
#include "ui/window_registry.h"

using namespace sorvel;

namespace {

const char* const Scores =
    "Method\tScore\tBefore\tAfter\r\n"
    "Old\t23.1\t20.4\t21.0\r\nNew\t25.3\t22.8\t22.1\r\nOld\t21.8\t19.9\t20.7\r\n"
    "New\t27.2\t24.6\t24.0\r\nOld\t22.5\t21.3\t21.3\r\nNew\t26.0\t23.0\t24.4\r\n";

class NPFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDataState();
    SetMessageRecorder(&messages);
  }
  void Open() {
    form = std::make_unique<TNPForm>(nullptr);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  void TearDown() override {
    form.reset();
    SetMessageRecorder(nullptr);
    ResetDataState();
  }
  static bool Shown(const QWidget* w) { return !w->isHidden(); }

  TMessageLog messages;
  std::unique_ptr<TNPForm> form;
};

TEST_F(NPFormTest, ControlsFollowTheTestAndHypothesis) {
  Open();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Nonparametric Tests"));
  EXPECT_EQ(form->CurrentTest(), TNPTest::WilcoxonMannWhitney);  // the default
  struct Case {
    int Test;
    bool Reference, Hypothesis, Location, Group2;
    const char* Equal;  // the first hypothesis item
  } cases[] = {
      {0, false, true, true, false, "M1  =  Loc"}, {1, false, true, true, false, "M1  =  Loc"},
      {2, true, true, false, true, "M1  =  M2"},   {3, true, true, false, true, "M1  =  M2"},
      {4, false, true, false, true, "M1  =  M2"},  {5, false, true, false, true, "M1  =  M2"},
      {6, false, false, false, true, "M1  =  M2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Test);
    // From the reference page: a test without it goes back to "Define &Columns".
    form->RadioButtons[2]->click();
    form->PageControl->setCurrentIndex(1);
    form->RadioButtons[static_cast<std::size_t>(c.Test)]->click();
    EXPECT_EQ(form->PageControl->isTabVisible(1), c.Reference);
    if (!c.Reference) {
      EXPECT_EQ(form->PageControl->currentIndex(), 0);
    }
    EXPECT_EQ(Shown(form->RadioGroup_Hyp), c.Hypothesis);
    EXPECT_EQ(Shown(form->Edit_Loc), c.Location);
    EXPECT_EQ(Shown(form->Label_Loc), c.Location);
    EXPECT_EQ(Shown(form->ComboBox_G2), c.Group2);
    EXPECT_EQ(Shown(form->Label_G2), c.Group2);
    EXPECT_EQ(form->HypButtons[0]->text(), QString::fromUtf8(c.Equal));
    // "Include equal" only for the sign test for location with a one-sided hypothesis.
    for (int h = 0; h < 3; ++h) {
      form->HypButtons[static_cast<std::size_t>(h)]->click();
      EXPECT_EQ(Shown(form->CheckBox_IncEq), c.Test == 0 && h != 0) << "hypothesis " << h;
    }
    form->HypButtons[0]->click();
  }
  form->RadioButtons[1]->click();
  EXPECT_EQ(form->HypButtons[1]->text(), QString::fromUtf8("M1 \xE2\x89\xA5 Loc"));
  EXPECT_EQ(form->HypButtons[2]->text(), QString::fromUtf8("M1 \xE2\x89\xA4 Loc"));
}

TEST_F(NPFormTest, ListsAndLevelNamesFollowTheDataSet) {
  Open();
  EXPECT_FALSE(form->Button_Action->isEnabled());  // the empty data set
  ASSERT_TRUE(ReadDataBytes(Scores, DataList()).Ok);
  ++ColumnsChangeCount;
  form->FormActivate();
  EXPECT_TRUE(form->Button_Action->isEnabled());
  for (QComboBox* c :
       {form->ComboBox_G1, form->ComboBox_G2, form->ComboBox_Meas, form->ComboBox_Groups}) {
    ASSERT_EQ(c->count(), 4);
    EXPECT_EQ(c->currentIndex(), 0);
  }
  // Method is a text column: codes 1..2 and their names beside the boxes.
  EXPECT_EQ(form->SpinEdit1->value(), 1);
  EXPECT_EQ(form->SpinEdit2->value(), 2);
  EXPECT_EQ(form->Label_Spin1->text(), QStringLiteral("Old"));
  EXPECT_EQ(form->Label_Spin2->text(), QStringLiteral("New"));
  form->SpinEdit2->setValue(1);
  EXPECT_EQ(form->Label_Spin2->text(), QStringLiteral("Old"));
  // A numeric grouping column has no level names.
  form->ComboBox_Groups->setCurrentIndex(2);
  EXPECT_EQ(form->Label_Spin1->text(), QString());
  EXPECT_EQ(form->SpinEdit1->value(), 20);  // round(19.9)
  EXPECT_EQ(form->SpinEdit2->value(), 25);  // round(24.6)
}

TEST_F(NPFormTest, ReportIsTheCommandLines) {
  ASSERT_TRUE(ReadDataBytes(Scores, DataList()).Ok);
  Open();
  form->RadioButtons[2]->click();
  form->PageControl->setCurrentIndex(1);
  form->ComboBox_Meas->setCurrentIndex(1);
  form->HypButtons[1]->click();
  QTest::mouseClick(form->Button_Action, Qt::LeftButton);
  EXPECT_TRUE(messages.Texts.isEmpty()) << messages.Texts.join("; ").toStdString();
  std::ostringstream cliOut, cliErr;
  const std::string file = ::testing::TempDir() + "np_scores.txt";
  {
    std::ofstream f(file, std::ios::binary);
    f << Scores;
  }
  ASSERT_EQ(RunCli({"nonparametric-tests", file, "--reference", "Method", "--data", "Score",
                    "--level1", "Old", "--level2", "New", "--hypothesis", "lower"},
                   cliOut, cliErr),
            0)
      << cliErr.str();
  EXPECT_EQ(form->RichEdit->toPlainText().toStdString() + "\n", cliOut.str());
  EXPECT_TRUE(
      form->RichEdit->toPlainText().contains(QStringLiteral("Score  by  Method [Old,New]")));
}

TEST_F(NPFormTest, DataEditorReturnsToTheCaller) {
  RegisterDataForms();
  Open();
  ASSERT_TRUE(form->DataEditorAction->isEnabled());
  form->DataEditorAction->trigger();
  auto* editor = static_cast<TDataForm*>(FormFor("data-editor"));
  EXPECT_EQ(editor->CallingName, QStringLiteral("MW Form"));
  EXPECT_EQ(editor->CallingForm, form.get());
  ResetForms();
}

TEST_F(NPFormTest, HelpAndZoomCommands) {
  Open();
  EXPECT_EQ(form->HelpTopic, 1800);
  bool found = false;
  for (QAction* a : form->HelpMenu->actions())
    found = found || a->text() == QStringLiteral("&Help on Nonparmetrics Form");
  EXPECT_TRUE(found);
  EXPECT_EQ(form->ResizeAction->toolTip(), QStringLiteral("Maximize Form Height"));
}

}  // namespace
