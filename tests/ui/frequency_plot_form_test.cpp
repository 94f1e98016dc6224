// The "Frequency Plots" window under the offscreen platform, opened as Explore opens it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <sstream>

#include "cli/cli.h"
#include "data/data_state.h"
#include "data/io/data_file.h"
#include "explore/explore_selection.h"
#include "explore/forms/frequency_plot_form.h"
#include "output/grid_print.h"
#include "output/report_text.h"
#include "shell/forms/register_forms.h"
#include "ui/messages.h"
#include "ui/result_grid.h"
#include "ui/window_registry.h"

using namespace sorvel;

namespace {

const std::string Process = std::string(SORVEL_SOURCE_DIR) + "/examples/process.sorvel";

class FrequencyPlotFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageRecorder(&messages);
    RegisterAllForms();
    ASSERT_TRUE(FileToDataGrid(Process).Ok);
    caller.setWindowTitle(QStringLiteral("Explore"));
  }
  void TearDown() override {
    ResetForms();
    ResetDataState();
    SharedReportTitle().clear();
    SetMessageRecorder(nullptr);
  }
  // Diameter by Machine, as Explore builds the run.
  TFrequencyPlotForm* Open() {
    TRunInfo ri;
    EXPECT_EQ(BuildExploreRun(DataList(), {{}, 2, {3}, ""}, ri), "");
    TFrequencyPlotForm* form = ShowFrequencyPlot(&caller, QStringLiteral("Explore Form"), ri);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
    return form;
  }
  static std::string Cell(TFrequencyPlotForm* f, int c, int r) {
    return f->StringGrid->Grid().Cell(c, r);
  }
  static std::vector<std::string> Cli(std::vector<std::string> extra) {
    std::vector<std::string> args = {"frequency-plots",         Process,
                                     "--dependent-variable",    "Diameter",
                                     "--independent-variables", "Machine"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(args, out, err), CliOk) << err.str();
    std::vector<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  static std::vector<std::string> Printed(TFrequencyPlotForm* f) {
    return GridPageLines(f->StringGrid->Grid(), FrequencyPlotHeading);
  }
  TMessageLog messages;
  QWidget caller;
};

TEST_F(FrequencyPlotFormTest, TypeAndDecimalsRebuildAsTheCommandLinePrints) {
  TFrequencyPlotForm* f = Open();
  EXPECT_EQ(Cell(f, 0, 0), "MidPoint");
  EXPECT_EQ(Cell(f, 1, 0), "M1");
  EXPECT_EQ(Printed(f), Cli({}));
  EXPECT_FALSE(f->DecimalSpinEdit->isVisible());

  QTest::mouseClick(f->RadioButton_Relative, Qt::LeftButton);
  EXPECT_TRUE(f->DecimalSpinEdit->isVisible());
  EXPECT_TRUE(f->Label_Decimals->isVisible());
  EXPECT_EQ(Printed(f), Cli({"--type", "relative-frequencies"}));
  f->DecimalSpinEdit->setValue(2);
  EXPECT_EQ(Printed(f), Cli({"--type", "relative-frequencies", "--decimals", "2"}));
  QTest::mouseClick(f->RadioButton_Cumulative, Qt::LeftButton);
  EXPECT_TRUE(f->DecimalSpinEdit->isVisible());
  EXPECT_EQ(Printed(f), Cli({"--type", "cumulative-frequencies", "--decimals", "2"}));
  QTest::mouseClick(f->RadioButton_Frequencies, Qt::LeftButton);
  EXPECT_FALSE(f->DecimalSpinEdit->isVisible());
  EXPECT_EQ(Printed(f), Cli({}));
  f->grab().save(QStringLiteral("/tmp/sorvel_frequency_plots.png"));
}

TEST_F(FrequencyPlotFormTest, TypedBoxesRebuildOnEnter) {
  TFrequencyPlotForm* f = Open();
  EXPECT_FALSE(f->Edit_IntervalSize->isVisible());
  QTest::mouseClick(f->CheckBox_IntervalSize, Qt::LeftButton);
  QTest::mouseClick(f->CheckBox_FirstMidpoint, Qt::LeftButton);
  ASSERT_TRUE(f->Edit_IntervalSize->isVisible());
  ASSERT_TRUE(f->Edit_FirstMidpoint->isVisible());
  f->Edit_IntervalSize->clear();
  QTest::keyClicks(f->Edit_IntervalSize, "-0.01");  // the filter drops the sign
  EXPECT_EQ(f->Edit_IntervalSize->text(), QStringLiteral("0.01"));
  f->Edit_FirstMidpoint->clear();
  QTest::keyClicks(f->Edit_FirstMidpoint, "9.95");
  EXPECT_EQ(Cell(f, 0, 1), "9.969");  // not rebuilt before Enter
  QTest::keyClick(f->Edit_FirstMidpoint, Qt::Key_Return);
  EXPECT_EQ(Printed(f), Cli({"--interval-size", "0.01", "--first-midpoint", "9.95"}));

  // Too many rows: warned once, and the automatic intervals.
  f->Edit_IntervalSize->setText(QStringLiteral("0.000000001"));
  QTest::keyClick(f->Edit_IntervalSize, Qt::Key_Return);
  ASSERT_EQ(messages.Texts.size(), 1u);
  EXPECT_EQ(messages.Texts[0], QStringLiteral("Too Many Intervals!"));
  EXPECT_EQ(Printed(f), Cli({}));
}

TEST_F(FrequencyPlotFormTest, ColumnChangeClearsTheGridUntilOpenedAgain) {
  TFrequencyPlotForm* f = Open();
  ASSERT_GT(f->StringGrid->rowCount(), 1);
  ++ColumnsChangeCount;
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(f, &activate);
  EXPECT_EQ(f->StringGrid->rowCount(), 0);
  QTest::mouseClick(f->RadioButton_Relative, Qt::LeftButton);  // a rebuild does nothing
  EXPECT_EQ(f->StringGrid->rowCount(), 0);
  Open();
  EXPECT_EQ(Printed(f), Cli({"--type", "relative-frequencies"}));
}

TEST_F(FrequencyPlotFormTest, TopLeftClickAndCtrlCCopyTheGrid) {
  TFrequencyPlotForm* f = Open();
  TResultGrid* g = f->StringGrid;
  const QRect corner = g->visualRect(g->model()->index(0, 0));
  QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, corner.center());
  const int rows = g->rowCount(), cols = g->columnCount();
  EXPECT_EQ(g->selectedItems().size(), (rows - 1) * (cols - 1));
  QApplication::clipboard()->clear();
  QTest::keyClick(g, Qt::Key_C, Qt::ControlModifier);
  const QStringList lines =
      QApplication::clipboard()->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), rows - 1);
  EXPECT_EQ(lines[0],
            QString::fromStdString(Cell(f, 1, 1) + "\t" + Cell(f, 2, 1)));  // 1 and 2 at 9.969
  EXPECT_EQ(lines[0], QStringLiteral("1\t2"));

  // The Copy command does the same.
  QApplication::clipboard()->clear();
  f->CopyAction->trigger();
  EXPECT_EQ(QApplication::clipboard()->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts),
            lines);
}

TEST_F(FrequencyPlotFormTest, ReturnGoesBackToExploreOnce) {
  TFrequencyPlotForm* f = Open();
  EXPECT_EQ(f->windowTitle(), QStringLiteral("Frequency Plots"));
  EXPECT_EQ(f->HelpAction->text(), QStringLiteral("&Help on Frequency Plots"));
  EXPECT_EQ(f->HelpTopic, 4500);
  EXPECT_EQ(f->ReturnAction->text(), QStringLiteral("&Return to Explore Form"));
  EXPECT_EQ(f->ReturnAction->toolTip(), QStringLiteral("Return to Explore Form"));
  f->ReturnAction->trigger();
  EXPECT_TRUE(caller.isVisible());
  EXPECT_EQ(f->ReturnAction->text(), QStringLiteral("&Return to Main Form"));
  EXPECT_EQ(f->ReturnAction->toolTip(), QStringLiteral("Return to Main Form"));
  // Never narrower than the options need.
  f->resize(50, f->height());
  EXPECT_GE(f->width(), f->RadioGroup_Type->geometry().right());
}

}  // namespace
