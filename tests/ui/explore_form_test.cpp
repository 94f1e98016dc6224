// The "Explore" window under the offscreen platform, driven by clicks and keys: pages shown
// for a selection, the status bar, Refresh on decimals, confidence, F9 and Enter, the
// custom page, copying a grid, the graph windows opened for Explore's run, and the Output
// page's print.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "data/io/data_file.h"
#include "editor/data_form.h"
#include "editor/register.h"
#include "explore/forms/explore_form.h"
#include "explore/forms/frequency_plot_form.h"
#include "explore/forms/hist_form.h"
#include "explore/forms/plot_form.h"
#include "explore/forms/register.h"
#include "explore/frequency_plot.h"
#include "explore/histogram.h"
#include "explore/plots.h"
#include "numerics/intervals.h"
#include "output/chart.h"
#include "quality/forms/register.h"
#include "ui/messages.h"
#include "ui/pdf_pages.h"
#include "ui/result_grid.h"
#include "ui/variable_lists.h"
#include "ui/window_registry.h"

using namespace sorvel;

namespace {

// A: 1..9 and 20 (Shapiro-Wilk p 0.0263, R: shapiro.test(c(1:9, 20))), B a second
// variable, G two groups of five.
const char* const Sample =
    "A\tB\tG\n"
    "1\t2.1\t1\n2\t3.4\t1\n3\t1.9\t1\n4\t5.6\t1\n5\t4.4\t1\n"
    "6\t3.3\t2\n7\t2.8\t2\n8\t4.1\t2\n9\t3.9\t2\n20\t3.0\t2\n";

class ExploreFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDataState();
    ResetIntervalsState();
    SharedReportTitle().clear();
    SetMessageRecorder(&messages);
    Load(Sample);
    form = std::make_unique<TWNormal_Form>(nullptr);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  void TearDown() override {
    form.reset();
    ResetForms();
    SetMessageRecorder(nullptr);
    ResetDataState();
    ResetIntervalsState();
  }
  static void Load(const char* text) {
    auto list = std::make_unique<TDataList>();
    ASSERT_TRUE(ReadDataBytes(text, *list).Ok);
    ReplaceDataList(std::move(list));
  }

  // A user's click on a list item (alone), on a page tab, on a button.
  static void ClickItem(QListWidget* list, const QString& name) {
    for (int i = 0; i < list->count(); ++i)
      if (ItemName(list->item(i)) == name) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(i)).center());
        return;
      }
    ADD_FAILURE() << "no item " << name.toStdString();
  }
  void ClickTab(int page) {
    QTabBar* bar = form->PageControl_Main->tabBar();
    ASSERT_TRUE(form->PageControl_Main->isTabVisible(page));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    ASSERT_EQ(form->PageControl_Main->currentIndex(), page);
  }
  void Analyse(std::initializer_list<const char*> names) {
    for (const char* n : names) {
      ClickItem(form->ListBox_ColVar, QString::fromLatin1(n));
      QTest::mouseClick(form->ColumnPicker->IncludeBtn, Qt::LeftButton);
    }
  }
  std::vector<bool> VisiblePages() const {
    std::vector<bool> v;
    for (int p = 0; p < TWNormal_Form::PageCount; ++p)
      v.push_back(form->PageControl_Main->isTabVisible(p));
    return v;
  }
  static QString Cell(TResultGrid* g, int row, int col) {
    auto* item = g->item(row, col);
    return item ? item->text() : QString();
  }
  QString Status(int panel) const {
    QLabel* l = form->StatusPanels[panel];
    return l->isVisible() ? l->text() : QString();
  }

  TMessageLog messages;
  std::unique_ptr<TWNormal_Form> form;
};

TEST_F(ExploreFormTest, PagesAndStatusFollowTheSelection) {
  const std::vector<bool> selectOnly = {true,  false, false, false, false,
                                        false, false, false, false};
  EXPECT_EQ(VisiblePages(), selectOnly);
  EXPECT_FALSE(form->PlotsAction->isEnabled());

  // One analysis variable: every page but "Custom"; one row, no "(All)".
  Analyse({"A"});
  EXPECT_EQ(VisiblePages(),
            std::vector<bool>({true, true, true, true, true, true, true, false, true}));
  EXPECT_TRUE(form->PlotsAction->isEnabled());
  EXPECT_TRUE(form->HistogramsAction->isEnabled());
  EXPECT_TRUE(form->VarChartsAction->isEnabled());
  ClickTab(TWNormal_Form::PageDesc);
  EXPECT_EQ(form->StringGrid_Desc->rowCount(), 2);
  EXPECT_EQ(Cell(form->StringGrid_Desc, 0, 0), QStringLiteral("Variable"));
  EXPECT_EQ(Cell(form->StringGrid_Desc, 1, 0), QStringLiteral("A"));
  EXPECT_EQ(Cell(form->StringGrid_Desc, 1, 1), QStringLiteral("10"));
  EXPECT_EQ(Cell(form->StringGrid_Desc, 1, 2), QStringLiteral("6.50"));
  EXPECT_EQ(Status(0), QStringLiteral(" A"));
  EXPECT_EQ(form->Headings[0]->text(), QStringLiteral("Descriptives"));

  // Two: "(All)" first; the status says "Variable List". A move clears it until the
  // next refresh.
  ClickTab(TWNormal_Form::PageSelect);
  Analyse({"B"});
  EXPECT_TRUE(Status(0).isEmpty());
  ClickTab(TWNormal_Form::PageDesc);
  ASSERT_EQ(form->StringGrid_Desc->rowCount(), 4);
  EXPECT_EQ(Cell(form->StringGrid_Desc, 1, 0), QStringLiteral("(All)"));
  EXPECT_EQ(Cell(form->StringGrid_Desc, 1, 1), QStringLiteral("20"));
  EXPECT_EQ(Status(0), QStringLiteral(" Variable List"));

  // "<<": nothing selected, the result pages go.
  ClickTab(TWNormal_Form::PageSelect);
  QTest::mouseClick(form->ColumnPicker->ExcAllBtn, Qt::LeftButton);
  EXPECT_EQ(VisiblePages(), selectOnly);
  EXPECT_FALSE(form->PlotsAction->isEnabled());

  // Reference analysis: a dependent variable alone is not enough.
  QTest::mouseClick(form->RadioButton_Reference, Qt::LeftButton);
  EXPECT_EQ(form->PageControl_Select->currentIndex(), 1);
  ClickItem(form->DataVarList, QStringLiteral("A"));
  QTest::mouseClick(form->SpeedButton_DepVar, Qt::LeftButton);
  EXPECT_EQ(form->Edit_Measure->text(), QStringLiteral("A"));
  EXPECT_EQ(form->SpeedButton_DepVar->text(), QStringLiteral("<"));
  EXPECT_EQ(VisiblePages(), selectOnly);
  ClickItem(form->DataVarList, QStringLiteral("G"));
  QTest::mouseClick(form->ReferencePicker->IncludeBtn, Qt::LeftButton);
  EXPECT_TRUE(form->PageControl_Main->isTabVisible(TWNormal_Form::PageDesc));
  ClickTab(TWNormal_Form::PageQuart);
  ASSERT_EQ(form->StringGrid_Quart->rowCount(), 4);  // (All), 1, 2
  EXPECT_EQ(Cell(form->StringGrid_Quart, 0, 0), QStringLiteral("G"));
  EXPECT_EQ(Cell(form->StringGrid_Quart, 2, 1), QStringLiteral("5"));
  EXPECT_EQ(Status(0), QStringLiteral(" A (G)"));
  EXPECT_FALSE(form->StatusPanels[4]->isVisible());  // one panel: no empty one after it

  // A missing-value rule and Process If add their panels, then the empty one.
  TMissingChoice missing;
  missing.Sign1 = RelEqual;
  missing.Value1 = "20";
  ApplyMissingChoice(missing);
  TProcessIfChoice pi;
  pi.Column1 = 3;
  pi.Sign1 = RelEqual;
  pi.Value1 = "1";
  ApplyProcessIfChoice(pi, DataList());
  QTest::keyClick(form.get(), Qt::Key_F9);
  EXPECT_TRUE(Status(1).startsWith(QStringLiteral(" Missing: ")));
  EXPECT_TRUE(Status(2).isEmpty());
  EXPECT_TRUE(Status(3).startsWith(QStringLiteral(" Process If: ")));
  EXPECT_TRUE(form->StatusPanels[4]->isVisible());
  EXPECT_EQ(form->StringGrid_Quart->rowCount(), 2);  // group 1 only: one row, no "(All)"
}

TEST_F(ExploreFormTest, DecimalsAndConfidenceRefreshTheVisiblePage) {
  Analyse({"A"});
  ClickTab(TWNormal_Form::PageDesc);
  EXPECT_EQ(Cell(form->StringGrid_Desc, 1, 2), QStringLiteral("6.50"));
  form->DecimalSpinEdit->setFocus();
  form->DecimalSpinEdit->selectAll();
  QTest::keyClicks(form->DecimalSpinEdit, QStringLiteral("4"));
  EXPECT_EQ(Cell(form->StringGrid_Desc, 1, 2), QStringLiteral("6.5000"));
  EXPECT_EQ(Cell(form->StringGrid_Desc, 1, 1), QStringLiteral("10"));  // counts keep 0 decimals
  // Emptied and left, the box shows the decimals in use again.
  form->DecimalSpinEdit->selectAll();
  QTest::keyClick(form->DecimalSpinEdit, Qt::Key_Backspace);
  form->StringGrid_Desc->setFocus();
  EXPECT_EQ(form->DecimalSpinEdit->text(), QStringLiteral("4"));
  EXPECT_EQ(form->Decimals, 4);

  // The Shapiro-Wilk p 0.026 is marked at 95% and not at 99%.
  ClickTab(TWNormal_Form::PageNorm);
  TResultGrid* norm = form->StringGrid_Norm;
  ASSERT_EQ(Cell(norm, 0, 5), QStringLiteral("p-value"));
  const QString p95 = Cell(norm, 1, 5);
  EXPECT_TRUE(p95.startsWith(QStringLiteral("0.02")) && p95.endsWith(QLatin1Char('*')))
      << p95.toStdString();
  form->ConfComboBox->setCurrentIndex(2);  // "99"
  const QString p99 = Cell(norm, 1, 5);
  EXPECT_EQ(p99.left(5), p95.left(5));
  EXPECT_TRUE(p99.endsWith(QLatin1Char(' '))) << p99.toStdString();
  EXPECT_EQ(ResultCellShade("p-value", p95.toStdString()), TResultCellShade::Marked);
  EXPECT_EQ(ResultCellShade("p-value", p99.toStdString()), TResultCellShade::Plain);

  // The interval page's heading follows the level; a level of 100 or 0 is not taken.
  ClickTab(TWNormal_Form::PageCI);
  EXPECT_EQ(form->Headings[3]->text(), QStringLiteral("99% Confidence Intervals"));
  const QString upper99 = Cell(form->StringGrid_CI, 1, 4);
  QLineEdit* conf = form->ConfComboBox->lineEdit();
  conf->selectAll();
  QTest::keyClicks(conf, QStringLiteral("90"));
  EXPECT_EQ(form->Headings[3]->text(), QStringLiteral("90% Confidence Intervals"));
  const QString upper90 = Cell(form->StringGrid_CI, 1, 4);
  EXPECT_LT(upper90.toDouble(), upper99.toDouble());
  // Typed on to 900, or replaced by 0: no such level; the last good one stays.
  QTest::keyClicks(conf, QStringLiteral("0"));
  EXPECT_EQ(conf->text(), QStringLiteral("900"));
  EXPECT_DOUBLE_EQ(SharedConfI().conf, 0.90);
  EXPECT_EQ(Cell(form->StringGrid_CI, 1, 4), upper90);
  conf->selectAll();
  QTest::keyClicks(conf, QStringLiteral("0"));
  EXPECT_DOUBLE_EQ(SharedConfI().conf, 0.90);
  EXPECT_EQ(Cell(form->StringGrid_CI, 1, 4), upper90);
  // Nor on activation.
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(form.get(), &activate);
  EXPECT_DOUBLE_EQ(SharedConfI().conf, 0.90);
}

// The drawing rule of every result grid's body cells.
TEST(ResultGridShade, PValueColumnsAloneAreShaded) {
  struct Case {
    const char* heading;
    const char* text;
    TResultCellShade shade;
  } cases[] = {
      {"p-value", "0.030*", TResultCellShade::Marked},
      {"p-value", "0.030 ", TResultCellShade::Plain},
      {"p-value", "999.000 ", TResultCellShade::Unavailable},
      {"p-value", "", TResultCellShade::Plain},
      {"Mean", "0.030*", TResultCellShade::Plain},
      {"Mean", "999.000 ", TResultCellShade::Plain},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ResultCellShade(c.heading, c.text), c.shade) << c.heading << " / " << c.text;
}

TEST_F(ExploreFormTest, CustomPageShowsWhileAnItemIsChecked) {
  Analyse({"A", "B"});
  ClickTab(TWNormal_Form::PageCustomSelection);
  EXPECT_FALSE(form->PageControl_Main->isTabVisible(TWNormal_Form::PageCustom));
  QListWidget* list = form->CheckListBox_Custom;
  ASSERT_EQ(list->count(), CustomItemCount);
  // Enter toggles the focused item: "Mean CI", then "A-D" and "W(E)".
  for (int item : {3, 23, 28}) {
    list->setFocus();
    list->setCurrentRow(item);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(list->item(item)->checkState(), Qt::Checked);
  }
  EXPECT_TRUE(form->PageControl_Main->isTabVisible(TWNormal_Form::PageCustom));
  ClickTab(TWNormal_Form::PageCustom);
  TResultGrid* g = form->StringGrid_Custom;
  QStringList header;
  for (int c = 1; c < g->columnCount(); ++c) header << Cell(g, 0, c);
  EXPECT_EQ(header, QStringList({QStringLiteral("Mean CI(L)"), QStringLiteral("Mean CI(H)"),
                                 QStringLiteral("A-D"), QStringLiteral("p-value"),
                                 QStringLiteral("W(E)")}));
  EXPECT_EQ(g->rowCount(), 4);

  // Unchecked again, the page goes; Refresh on a Custom page without items goes back to
  // the selection with a beep.
  ClickTab(TWNormal_Form::PageCustomSelection);
  for (int item : {3, 23, 28}) list->item(item)->setCheckState(Qt::Unchecked);
  EXPECT_FALSE(form->PageControl_Main->isTabVisible(TWNormal_Form::PageCustom));
  list->item(3)->setCheckState(Qt::Checked);
  ClickTab(TWNormal_Form::PageCustom);
  const int beeps = messages.Beeps;
  {
    const QSignalBlocker quiet(list);  // unchecked behind the page's back
    list->item(3)->setCheckState(Qt::Unchecked);
  }
  QTest::keyClick(form.get(), Qt::Key_F9);
  EXPECT_EQ(form->PageControl_Main->currentIndex(), TWNormal_Form::PageCustomSelection);
  EXPECT_EQ(messages.Beeps, beeps + 1);
  // "&Reset" sees that nothing is checked.
  form->PageControl_Main->setTabVisible(TWNormal_Form::PageCustom, true);
  QTest::mouseClick(form->Button_Reset, Qt::LeftButton);
  EXPECT_FALSE(form->PageControl_Main->isTabVisible(TWNormal_Form::PageCustom));
}

TEST_F(ExploreFormTest, F9AndEnterRecomputeChangedData) {
  Analyse({"A"});
  ClickTab(TWNormal_Form::PageDesc);
  EXPECT_EQ(Cell(form->StringGrid_Desc, 1, 5), QStringLiteral("20.00"));  // High
  DataList().SetCellText(1, 10, "30");
  QTest::keyClick(form.get(), Qt::Key_F9);
  EXPECT_EQ(Cell(form->StringGrid_Desc, 1, 5), QStringLiteral("30.00"));
  DataList().SetCellText(1, 10, "40");
  form->StringGrid_Desc->setFocus();
  QTest::keyClick(form->StringGrid_Desc, Qt::Key_Return);
  EXPECT_EQ(Cell(form->StringGrid_Desc, 1, 5), QStringLiteral("40.00"));
  // Nothing is computed on "Select Data".
  ClickTab(TWNormal_Form::PageSelect);
  DataList().SetCellText(1, 10, "50");
  QTest::keyClick(form.get(), Qt::Key_F9);
  EXPECT_EQ(Cell(form->StringGrid_Desc, 1, 5), QStringLiteral("40.00"));
}

TEST_F(ExploreFormTest, CopySaveAndSelectAllTakeTheCurrentGrid) {
  // Save, Print and Copy only on result pages; Copy Grid and Select All hidden elsewhere.
  EXPECT_FALSE(form->SaveAction->isEnabled());
  EXPECT_FALSE(form->PrintAction->isEnabled());
  EXPECT_FALSE(form->CopyButtonAction->isEnabled());
  EXPECT_FALSE(form->CopyGridAction->isVisible());
  Analyse({"A", "B"});
  ClickTab(TWNormal_Form::PageDesc);
  EXPECT_TRUE(form->SaveAction->isEnabled());
  EXPECT_TRUE(form->CopyGridAction->isVisible());

  // One cell selected: Ctrl+C copies the whole grid with its headings.
  QApplication::clipboard()->clear();
  form->StringGrid_Desc->setFocus();
  form->StringGrid_Desc->setCurrentCell(2, 2);
  QTest::keyClick(form->StringGrid_Desc, Qt::Key_C, Qt::ControlModifier);
  const QStringList lines = QApplication::clipboard()->text().split(QStringLiteral("\r\n"));
  ASSERT_GE(lines.size(), 4);
  EXPECT_EQ(lines[0], QStringLiteral("Variable\tn\tMean\tStd Dev\tLow\tHigh\tRange"));
  EXPECT_TRUE(lines[2].startsWith(QStringLiteral("A\t10\t6.50\t")));
  EXPECT_TRUE(lines[3].startsWith(QStringLiteral("B\t10\t3.45\t")));

  // A click on the top-left cell selects the body; Copy then takes the body alone.
  TResultGrid* g = form->StringGrid_Desc;
  QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(0, 0)).center());
  ASSERT_TRUE(g->MultiSelection().has_value());
  EXPECT_EQ(*g->MultiSelection(), (TGridRange{1, 1, 6, 3}));
  form->CopyButtonAction->trigger();
  EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("20\t")));

  // Save writes the same text.
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("desc.txt"));
  g->clearSelection();
  g->setCurrentCell(1, 1);
  ASSERT_TRUE(form->SaveGridToFile(path));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().startsWith("Variable\tn\tMean"));

  // Ctrl+A selects the body.
  g->clearSelection();
  QTest::keyClick(form.get(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(g->selectedItems().size(), 3 * 6);
}

TEST_F(ExploreFormTest, GraphCommandsOpenTheirWindowsForTheRun) {
  RegisterExploreForms();
  RegisterQualityForms();
  Analyse({"A", "B"});
  form->PlotsAction->trigger();
  auto* plots = qobject_cast<TPlot_Form*>(FormFor(PlotsCommand));
  ASSERT_NE(plots, nullptr);
  EXPECT_TRUE(plots->isVisible());
  EXPECT_EQ(plots->Run().NumberOfGroups, 2);
  EXPECT_EQ(plots->ReturnAction->text(), QStringLiteral("&Return to Explore Form"));
  form->HistogramsAction->trigger();
  auto* hist = qobject_cast<THistForm*>(FormFor(HistogramCommand));
  ASSERT_NE(hist, nullptr);
  EXPECT_TRUE(hist->isVisible());
  EXPECT_EQ(hist->ReturnAction->text(), QStringLiteral("&Return to Explore Form"));
  ASSERT_TRUE(form->FrequenciesAction->isEnabled());
  form->FrequenciesAction->trigger();
  auto* freq = qobject_cast<TFrequencyPlotForm*>(FormFor(FrequencyPlotsCommand));
  ASSERT_NE(freq, nullptr);
  EXPECT_TRUE(freq->isVisible());
  EXPECT_EQ(freq->ReturnAction->text(), QStringLiteral("&Return to Explore Form"));
  // A change of the selection hides them.
  QTest::mouseClick(form->ColumnPicker->ExcAllBtn, Qt::LeftButton);
  EXPECT_FALSE(plots->isVisible());
  EXPECT_FALSE(hist->isVisible());
  EXPECT_FALSE(freq->isVisible());
  Analyse({"A"});
  form->VarChartsAction->trigger();
  QWidget* setup = FormFor("variables-control-charts");
  ASSERT_NE(setup, nullptr);
  EXPECT_TRUE(setup->isVisible());
}

TEST_F(ExploreFormTest, DataEditorReturnsToExplore) {
  RegisterDataForms();
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(form.get(), &activate);
  ASSERT_TRUE(form->DataEditorAction->isEnabled());
  form->DataEditorAction->trigger();
  auto* editor = static_cast<TDataForm*>(FormFor("data-editor"));
  EXPECT_EQ(editor->CallingName, QStringLiteral("Explore Form"));
  EXPECT_EQ(editor->CallingForm, form.get());
}

TEST_F(ExploreFormTest, ActivationRebuildsListsAndPicksTheSingleColumn) {
  Analyse({"A"});
  ClickTab(TWNormal_Form::PageDesc);
  // A data set of one column with more than two rows: the single-column page.
  Load("X\n4\n5\n7\n");
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(form.get(), &activate);
  EXPECT_EQ(form->PageControl_Main->currentIndex(), TWNormal_Form::PageSelect);
  EXPECT_EQ(form->PageControl_Select->currentIndex(), 2);
  EXPECT_FALSE(form->RadioButton_Reference->isEnabled());
  EXPECT_EQ(form->ListBox_AnalysisVar->count(), 0);
  ClickTab(TWNormal_Form::PageDesc);
  EXPECT_EQ(Cell(form->StringGrid_Desc, 1, 0), QStringLiteral("X"));
  EXPECT_EQ(Cell(form->StringGrid_Desc, 1, 2), QStringLiteral("5.33"));
  EXPECT_EQ(Status(0), QStringLiteral(" X"));
  // Two columns again: the reference analysis comes back.
  Load(Sample);
  QApplication::sendEvent(form.get(), &activate);
  EXPECT_TRUE(form->RadioButton_Reference->isEnabled());
  EXPECT_EQ(form->PageControl_Select->currentIndex(), 0);
  EXPECT_FALSE(form->PageControl_Main->isTabVisible(TWNormal_Form::PageDesc));
}

TEST_F(ExploreFormTest, OutputPagePrintsTheCheckedTables) {
  Analyse({"A", "B"});
  QTest::keyClicks(form->Edit_Title, QStringLiteral("Shift report"));
  EXPECT_EQ(form->Edit_Title2->text(), QStringLiteral("Shift report"));
  form->CheckListBox_Output->item(1)->setCheckState(Qt::Checked);  // Quartiles too
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("explore.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  SetupPdf(printer, pdf);
  form->PrintReportOn(printer);
  const QStringList pages = PdfPages(pdf);
  if (pages.isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
  const QString text = pages.join(QLatin1Char('\n'));
  EXPECT_TRUE(text.contains(QStringLiteral("Shift report")));
  EXPECT_TRUE(text.contains(QStringLiteral("DESCRIPTIVES")));
  EXPECT_TRUE(text.contains(QStringLiteral("QUARTILES")));
  EXPECT_FALSE(text.contains(QStringLiteral("NORMALITY TESTS")));
  EXPECT_TRUE(text.contains(QStringLiteral("(All)")));
}

}  // namespace
