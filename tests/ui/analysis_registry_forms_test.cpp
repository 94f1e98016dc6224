// The windows over the analysis registry: every registered analysis has its window, the
// main menu enables exactly the built commands, and a data analysis gives the same report
// from its window as from the command line.
#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <memory>
#include <sstream>

#include "cli/cli.h"
#include "data/data_state.h"
#include "data/io/data_file.h"
#include "explore/descriptive_statistics.h"
#include "explore/forms/descriptive_form.h"
#include "output/report_text.h"
#include "shell/analysis_registry.h"
#include "shell/command_table.h"
#include "shell/forms/main_form.h"
#include "shell/forms/register_forms.h"
#include "ui/messages.h"
#include "ui/report_view.h"
#include "ui/window_registry.h"

using namespace sorvel;

namespace {

const std::string Examples = std::string(SORVEL_SOURCE_DIR) + "/examples/";

class RegistryFormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageRecorder(&messages);
    RegisterAllForms();
  }
  void TearDown() override {
    ResetForms();
    ResetDataState();
    SetMessageRecorder(nullptr);
  }
  TMessageLog messages;
};

TEST_F(RegistryFormsTest, EveryRegisteredAnalysisOpensItsWindow) {
  for (const TAnalysis& a : AnalysisRegistry().All()) {
    SCOPED_TRACE(a.Name);
    ASSERT_TRUE(HasForm(a.Name));
    QWidget* w = FormFor(a.Name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle().toStdString(), FindCommand(a.Name)->WindowCaption);
  }
}

TEST_F(RegistryFormsTest, TheMainMenuEnablesTheBuiltCommandsOnly) {
  TSorvelStatsMainForm main(QStringLiteral("Sorvelstats"));
  main.UpdateCommandStates();
  for (const TCommandEntry& e : CommandTable()) {
    if (e.Kind != TCommandKind::Analysis) continue;
    SCOPED_TRACE(e.Name);
    ASSERT_NE(main.CommandAction(e.Name), nullptr);
    EXPECT_EQ(main.CommandAction(e.Name)->isEnabled(), IsCommandAvailable(e.Name));
    if (IsCommandAvailable(e.Name)) {
      EXPECT_TRUE(HasForm(e.Name));
    }
  }
  EXPECT_TRUE(main.CommandAction("test-statistics")->isEnabled());
  EXPECT_FALSE(main.CommandAction("omega-squared")->isEnabled());
}

std::string ReportOf(TReportView* view) { return ReportPlainText(view->Report()); }

TEST_F(RegistryFormsTest, DescriptiveStatisticsWindowAndCommandLineAgree) {
  const std::string file = Examples + "process.sorvel";
  std::ostringstream cliOut, cliErr;
  ASSERT_EQ(
      RunCli({"descriptive-statistics", file, "--columns", "Diameter,Subgroup", "--decimals", "3"},
             cliOut, cliErr),
      CliOk)
      << cliErr.str();

  ASSERT_TRUE(FileToDataGrid(file).Ok);  // the editor's data set
  auto* form = static_cast<TDescriptiveForm*>(ShowForm(DescriptiveStatisticsCommand));
  ASSERT_NE(form, nullptr);
  QListWidget* list = form->ListBox_Columns;
  ASSERT_EQ(list->count(), 5);
  // Numeric columns start checked; leave Diameter and Subgroup, in the list's order.
  for (int i = 0; i < list->count(); ++i)
    list->item(i)->setCheckState(i <= 1 ? Qt::Checked : Qt::Unchecked);
  form->DecimalSpinEdit->setValue(3);
  QTest::mouseClick(form->Button_Action, Qt::LeftButton);
  EXPECT_TRUE(messages.Texts.empty());
  // The window lists columns in data order; the command line was asked for the other order.
  std::ostringstream inOrder, err2;
  ASSERT_EQ(RunCli({"descriptive-statistics", file, "--columns", "1,2", "--decimals", "3"}, inOrder,
                   err2),
            CliOk);
  EXPECT_EQ(ReportOf(form->RichEdit), inOrder.str());
  EXPECT_NE(cliOut.str(), inOrder.str());
  EXPECT_NE(inOrder.str().find("Diameter   99"), std::string::npos) << inOrder.str();
}

TEST_F(RegistryFormsTest, DescriptiveStatisticsWindowRefusesAsItsAnalysisDoes) {
  auto* form = static_cast<TDescriptiveForm*>(ShowForm(DescriptiveStatisticsCommand));
  QTest::mouseClick(form->Button_Action, Qt::LeftButton);  // no data set yet
  ASSERT_EQ(messages.Texts.size(), 1u);
  EXPECT_EQ(messages.Texts[0].toStdString(), DescriptiveStatisticsAnalysis().NoDataMessage);
  EXPECT_TRUE(form->RichEdit->toPlainText().isEmpty());

  ASSERT_TRUE(FileToDataGrid(Examples + "process.sorvel").Ok);
  form->FillColumnList();
  for (int i = 0; i < form->ListBox_Columns->count(); ++i)
    form->ListBox_Columns->item(i)->setCheckState(Qt::Unchecked);
  QTest::mouseClick(form->Button_Action, Qt::LeftButton);
  ASSERT_EQ(messages.Texts.size(), 2u);
  EXPECT_EQ(messages.Texts[1], QStringLiteral("Select at least one column!"));
}

// The options a window fills pass the same validation as the command line's: a key the
// analysis does not declare would be refused, not silently defaulted.
TEST_F(RegistryFormsTest, WindowOptionsAreDeclaredOptions) {
  ASSERT_TRUE(FileToDataGrid(Examples + "process.sorvel").Ok);
  auto* form = static_cast<TDescriptiveForm*>(ShowForm(DescriptiveStatisticsCommand));
  TValidation v = ValidateOptions(*AnalysisRegistry().Find(DescriptiveStatisticsCommand),
                                  form->Options(), &DataList());
  EXPECT_TRUE(v.Ok) << v.Message;
  EXPECT_EQ(v.Values.Columns("columns"), (std::vector<int>{1, 2, 5}));  // the numeric ones
}

}  // namespace
