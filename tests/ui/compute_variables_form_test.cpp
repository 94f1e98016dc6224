// "Compute Variables from Sample Data": the controls give the core its choices, the
// default names follow them, and Action adds the column, reports it and lists it. The
// exponential test's monitor window.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <memory>

#include "data/data_state.h"
#include "data/io/data_file.h"
#include "explore/forms/compute_variables_form.h"
#include "explore/forms/exponential_monitor.h"
#include "numerics/distributions.h"
#include "output/report_text.h"
#include "stats/stats_engine.h"
#include "ui/messages.h"
#include "ui/report_view.h"

using namespace sorvel;

namespace {

class ComputeVariablesFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageRecorder(&messages);
    ResetDataState();
    auto list = std::make_unique<TDataList>();
    ASSERT_TRUE(
        ReadDataBytes("X\tG\tA\tB\n1\t1\t1\t2\n2\t1\t4\t\n3\t1\t7\t8\n9\t2\t1\t1\n4\t2\t2\t2\n",
                      *list)
            .Ok);
    ReplaceDataList(std::move(list));
    form = std::make_unique<TBkbox_Form>(nullptr);
  }
  void TearDown() override {
    form.reset();
    ResetDataState();
    SetMessageRecorder(nullptr);
  }
  void Select(QListWidget* list, const QString& name) {
    for (int i = 0; i < list->count(); ++i)
      list->item(i)->setSelected(list->item(i)->text() == name);
  }
  std::string ReportText() const { return ReportPlainText(form->RichEdit->Report()); }

  TMessageLog messages;
  std::unique_ptr<TBkbox_Form> form;
};

TEST_F(ComputeVariablesFormTest, ByGroupsAddsTheColumnAndReportsIt) {
  EXPECT_EQ(form->ListBox_Data->count(), 4);
  EXPECT_FALSE(form->Button_Action->isEnabled());  // no dependent variable yet
  EXPECT_TRUE(form->Edit_NewName->text().isEmpty());
  form->SetMeasure(1);
  EXPECT_TRUE(form->Button_Action->isEnabled());
  EXPECT_EQ(form->Edit_NewName->text(), QStringLiteral("X_AVG"));  // Mean is checked first
  form->RadioButton[StatAbsDevMean]->click();
  EXPECT_EQ(form->Edit_NewName->text(), QStringLiteral("X_ADA"));
  EXPECT_EQ(form->SelectionText, "Abs. Dev From Mean (Levene)");
  Select(form->ListBox_Data, QStringLiteral("G"));
  form->AddIndependent(false);
  ASSERT_EQ(form->ListBox_Independent->count(), 1);
  form->Button_Action->click();

  TDataList& d = DataList();
  ASSERT_EQ(d.MaxCol(), 5);
  EXPECT_EQ(d.ColumnName(5), "X_ADA");
  // Group 1: 1, 2, 3 about 2; group 2: 9, 4 about 6.5.
  const char* expected[] = {"1", "0", "1", "2.5", "2.5"};
  for (int r = 1; r <= 5; ++r) EXPECT_EQ(d.DataGrid.Cell(5, r), expected[r - 1]) << r;
  EXPECT_NE(
      ReportText().find("X_ADA added to Data Editor\n\t* Abs. Dev From Mean (Levene)\n\t* X by G"),
      std::string::npos)
      << ReportText();
  EXPECT_EQ(form->ListBox_Data->count(), 5);  // the new column is listed
  EXPECT_TRUE(messages.Texts.isEmpty());
}

TEST_F(ComputeVariablesFormTest, AcrossRowsNamesCountUp) {
  form->PageControl->setCurrentIndex(1);
  EXPECT_FALSE(form->Button_Action->isEnabled());
  for (const char* name : {"A", "B"}) {
    Select(form->ListBox_RowData, QString::fromLatin1(name));
    form->AddSelected();
  }
  EXPECT_TRUE(form->Button_Action->isEnabled());
  form->RadioGroup_Statistics->button(8)->click();  // Count
  EXPECT_EQ(form->Edit_NewName->text(), QStringLiteral("Count1"));
  form->Button_Action->click();
  EXPECT_EQ(form->Edit_NewName->text(), QStringLiteral("Count2"));
  TDataList& d = DataList();
  EXPECT_EQ(d.ColumnName(5), "Count1");
  EXPECT_EQ(d.DataGrid.Cell(5, 2), "1");  // B is empty in row 2
  form->RadioGroup_Statistics->button(2)->click();
  EXPECT_EQ(form->Edit_NewName->text(), QStringLiteral("Std_Dev1"));
}

TEST_F(ComputeVariablesFormTest, CancelledDialogAddsNothing) {
  form->SetMeasure(1);
  form->RadioButton[StatBartlettKendallBox]->click();
  TBkbSizes seen;
  form->Dialogs.AskSubgroups = [&](const TBkbSizes& sizes, int&) {
    seen = sizes;
    return false;
  };
  form->Button_Action->click();
  EXPECT_EQ(seen.Smallest, 5);
  EXPECT_EQ(DataList().MaxCol(), 4);
  EXPECT_EQ(ReportText(), "");
}

TEST_F(ComputeVariablesFormTest, ATypedBlankBecomesAnUnderscore) {
  form->SetMeasure(1);
  form->Edit_NewName->clear();
  form->Edit_NewName->setFocus();
  form->Edit_NewName->insert(QStringLiteral("my mean"));
  emit form->Edit_NewName->textEdited(form->Edit_NewName->text());
  EXPECT_EQ(form->Edit_NewName->text(), QStringLiteral("my_mean"));
}

}  // namespace

namespace {

// The exponential test's monitor window: the gauge moves, Abort stops the test (999).
TEST(ExponentialMonitorTest, AbortStopsTheTest) {
  ResetStatsEngineState();
  TExponentialTestMonitor monitor;
  EXPECT_EQ(monitor.windowTitle(), QStringLiteral("Exponential Test Monitor"));
  EXPECT_TRUE(monitor.Progress(0.25));
  EXPECT_EQ(monitor.ProgressBar->value(), 25);
  EXPECT_TRUE(monitor.isVisible());
  monitor.Button_Abort->click();
  EXPECT_FALSE(monitor.Progress(0.3));
  // A run whose first progress call finds Abort pressed returns 999 and is not cached.
  monitor.Aborted = false;
  SeedRandom(1);
  int calls = 0;
  const double p = ExponentialTestP(5, 0.2, "X", [&](double f) {
    if (++calls == 3) monitor.Button_Abort->click();
    return monitor.Progress(f);
  });
  EXPECT_EQ(p, 999);
  EXPECT_EQ(calls, 3);
  // Run shows the label while it draws and hides the window afterwards; n = 2 has no test.
  EXPECT_EQ(monitor.Run(2, 0.5, "Diameter"), 999);
  EXPECT_EQ(monitor.Label_Processing->text(), QStringLiteral("Processing: Diameter"));
  EXPECT_FALSE(monitor.isVisible());
  ResetStatsEngineState();
}

}  // namespace
