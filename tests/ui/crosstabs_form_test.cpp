// The "Crosstabs" window under the offscreen platform: typed and pasted tables, header
// clicks, remove, merge and restore, the table from data, the graph page's zoom, the File
// menu, printing to PDF after the font dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "data/data_state.h"
#include "data/io/data_file.h"
#include "editor/data_form.h"
#include "editor/register.h"
#include "hypothesis/forms/crosstabs_form.h"
#include "numerics/settings_store.h"
#include "ui/chart_view.h"
#include "ui/data_editor_hooks.h"
#include "ui/messages.h"
#include "ui/pdf_pages.h"
#include "ui/printing.h"
#include "ui/report_view.h"
#include "ui/window_registry.h"

using namespace sorvel;

namespace {

class CrosstabsFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDataState();
    SetSettingsStore(&store);
    SetMessageRecorder(&messages);
    form = std::make_unique<TForm_Crosstabs>(nullptr);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  void TearDown() override {
    form.reset();
    DataEditorHooks() = {};
    SetMessageRecorder(nullptr);
    SetSettingsStore(nullptr);
    ResetDataState();
  }
  QString Cell(int row, int col) {
    auto* item = form->StringGrid_CT->item(row, col);
    return item ? item->text() : QString();
  }
  void Check(int stat) { form->StatCheckListBox->item(stat)->setCheckState(Qt::Checked); }

  // Answers the font dialog Print opens: OK with `family` chosen, or Cancel when empty.
  void AnswerFontDialog(const QString& family, bool& seen) {
    QTimer::singleShot(0, [family, &seen] {
      auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      seen = true;
      if (family.isEmpty()) {
        dialog->reject();
        return;
      }
      QFont f(family);
      f.setPointSize(11);
      dialog->setCurrentFont(f);
      dialog->accept();
    });
  }

  MemorySettingsStore store;
  TMessageLog messages;
  std::unique_ptr<TForm_Crosstabs> form;
};

TEST_F(CrosstabsFormTest, WithoutDataTheTypedTableIsShown) {
  EXPECT_TRUE(form->ManualEntry);
  EXPECT_FALSE(form->PageControl_Input->isTabVisible(0));
  EXPECT_EQ(form->StringGrid_CT->columnCount(), 4);
  EXPECT_EQ(Cell(0, 1), QStringLiteral("C=1"));
  EXPECT_EQ(Cell(2, 0), QStringLiteral("R=2"));
  EXPECT_EQ(Cell(3, 3), QStringLiteral("0"));
  form->SpinEdit_Col->setValue(3);
  EXPECT_EQ(form->CT.I(), 3);
  EXPECT_EQ(Cell(0, 3), QStringLiteral("C=3"));
  EXPECT_EQ(Cell(0, 4), QStringLiteral("Total"));
  form->Edit_ColName->setText(QStringLiteral("Shift"));
  EXPECT_EQ(Cell(0, 2), QStringLiteral("Shift=2"));
}

TEST_F(CrosstabsFormTest, PastedCountsAndTheReport) {
  form->PasteTable(QStringLiteral("10\t20\r\n30\t40\r\n"));
  EXPECT_EQ(form->CT.N(), 100);
  EXPECT_EQ(Cell(3, 3), QStringLiteral("100"));
  EXPECT_EQ(form->RichEdit->toPlainText(), QString());  // no statistic checked
  EXPECT_FALSE(form->Button_Stats->isEnabled());
  Check(1);
  EXPECT_TRUE(form->Button_Stats->isEnabled());
  EXPECT_TRUE(form->RichEdit->toPlainText().contains(
      QStringLiteral("Phi = 0.089   df = 1   p-value = 0.373")))
      << form->RichEdit->toPlainText().toStdString();
  // Percentages with expected values; a typed cell goes back to counts.
  form->Display->button(2)->setChecked(true);
  form->CheckBox_Expected->setChecked(true);
  EXPECT_EQ(Cell(1, 1), QStringLiteral("10.00% (12.00%)"));
  form->StringGrid_CT->item(1, 1)->setText(QStringLiteral("15"));
  EXPECT_EQ(form->Display->checkedId(), 0);
  EXPECT_FALSE(form->CheckBox_Expected->isChecked());
  EXPECT_EQ(Cell(3, 3), QStringLiteral("105"));
  EXPECT_EQ(Cell(1, 3), QStringLiteral("35"));
  // Text that is not a count leaves the count it had.
  form->StringGrid_CT->item(1, 1)->setText(QString());
  EXPECT_EQ(form->CT.Count(1, 1), 15);
  EXPECT_EQ(Cell(1, 1), QStringLiteral("15"));
}

TEST_F(CrosstabsFormTest, PastedTextThatIsNotCountsIsRefusedAndTheTableStays) {
  form->PasteTable(QStringLiteral("1\t2\n3\t4"));
  form->PasteTable(QStringLiteral("5\t6\n7\tseven"));
  ASSERT_EQ(messages.Texts.size(), 1);
  EXPECT_EQ(messages.Texts[0], QStringLiteral("'seven' is not a whole number of 0 or more!"));
  EXPECT_EQ(form->CT.N(), 10);
  EXPECT_EQ(Cell(2, 2), QStringLiteral("4"));
}

TEST_F(CrosstabsFormTest, HeaderClicksSelectColumnsOrRows) {
  form->PasteTable(QStringLiteral("1\t2\t3\n4\t5\t6\n7\t8\t9"));
  EXPECT_FALSE(form->Button_Remove->isVisible());
  form->GridClick(0, 1);
  form->GridClick(0, 3);
  EXPECT_TRUE(form->SelCol[1] && form->SelCol[3] && !form->SelCol[2]);
  EXPECT_TRUE(form->Button_Merge->isVisible());
  EXPECT_EQ(form->StringGrid_CT->item(2, 1)->background().color(), QColor(0, 255, 255));
  form->GridClick(0, 4);  // the totals column is not selectable
  EXPECT_FALSE(form->SelCol[4]);
  form->GridClick(2, 0);  // a row clears the columns
  EXPECT_TRUE(form->SelRow[2]);
  EXPECT_EQ(form->SelectedCount(form->SelCol), 0);
  form->GridClick(2, 0);  // toggles off
  EXPECT_FALSE(form->SelRow[2]);
  form->GridClick(0, 2);
  form->GridClick(2, 2);  // inside the table: nothing selected
  EXPECT_EQ(form->SelectedCount(form->SelCol) + form->SelectedCount(form->SelRow), 0);
  EXPECT_FALSE(form->Button_Remove->isVisible());
}

TEST_F(CrosstabsFormTest, MergeRemoveAndRestore) {
  form->PasteTable(QStringLiteral("1\t2\t3\n4\t5\t6\n7\t8\t9"));
  form->GridClick(0, 3);
  form->GridClick(0, 1);
  form->MergeClick();
  EXPECT_EQ(form->CT.I(), 2);
  EXPECT_EQ(form->SpinEdit_Col->value(), 2);
  EXPECT_EQ(Cell(0, 1), QStringLiteral("C=[1,3]"));
  EXPECT_EQ(Cell(1, 1), QStringLiteral("4"));
  EXPECT_EQ(form->SelectedCount(form->SelCol), 0);
  form->GridClick(2, 0);
  form->RemoveClick();
  EXPECT_EQ(form->CT.J(), 2);
  EXPECT_EQ(form->SpinEdit_Row->value(), 2);
  EXPECT_EQ(Cell(2, 0), QStringLiteral("R=3"));
  EXPECT_TRUE(form->PopupRestore->isEnabled());
  // A typed table returns as it was before the first edit.
  form->RestoreClick();
  EXPECT_EQ(form->CT.I(), 3);
  EXPECT_EQ(form->CT.J(), 3);
  EXPECT_EQ(Cell(2, 2), QStringLiteral("5"));
  EXPECT_FALSE(form->PopupRestore->isEnabled());
}

TEST_F(CrosstabsFormTest, TableFromDataRestoredFromData) {
  ASSERT_TRUE(ReadDataBytes("Shift\tDefect\n1\ta\n1\tb\n2\ta\n2\ta\n3\tb\n", DataList()).Ok);
  ++NewDataCount;  // as the editor counts a new data set
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(form.get(), &activate);
  EXPECT_TRUE(form->PageControl_Input->isTabVisible(0));
  form->PageControl_Input->setCurrentIndex(0);
  EXPECT_FALSE(form->ManualEntry);
  form->ComboBox_Rows->setCurrentIndex(0);  // Shift down the side
  form->ComboBox_Cols->setCurrentIndex(1);  // Defect across
  EXPECT_EQ(form->CT.I(), 2);
  EXPECT_EQ(form->CT.J(), 3);
  EXPECT_EQ(Cell(0, 1), QStringLiteral("Defect=a"));
  EXPECT_EQ(Cell(2, 1), QStringLiteral("2"));
  EXPECT_EQ(form->SpinEdit_Row->value(), 3);
  form->GridClick(0, 2);
  form->RemoveClick();
  EXPECT_EQ(form->CT.I(), 1);
  form->RestoreClick();
  EXPECT_EQ(form->CT.I(), 2);
  Check(0);
  EXPECT_TRUE(
      form->RichEdit->toPlainText().startsWith(QStringLiteral("CROSSTABS: Defect by Shift")));
  // The graph page shows one series of bars per row category.
  form->PageControl_Main->setCurrentIndex(1);
  EXPECT_EQ(form->ChartView->Chart().Series.size(), 4u);
  const QString shots = qEnvironmentVariable("SORVEL_SCREENSHOTS");
  if (!shots.isEmpty())
    form->grab().save(QDir(shots).filePath(QStringLiteral("crosstabs_graph.png")));
}

TEST_F(CrosstabsFormTest, PrintsTableAndReportToPdf) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
    GTEST_SKIP() << "pdftotext not installed";
  form->PasteTable(QStringLiteral("10\t20\n30\t40"));
  Check(0);
  form->CheckBox_Expected->setChecked(true);
  form->GridClick(0, 1);  // a selected column does not change what is printed
  const QString shots = qEnvironmentVariable("SORVEL_SCREENSHOTS");
  if (!shots.isEmpty())
    form->grab().save(QDir(shots).filePath(QStringLiteral("crosstabs_table.png")));
  QTemporaryDir dir;
  const QString pdf = shots.isEmpty() ? dir.filePath(QStringLiteral("crosstabs.pdf"))
                                      : QDir(shots).filePath(QStringLiteral("crosstabs.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  SetupPdf(printer, pdf);
  form->PrintOn(printer);
  const QStringList pages = PdfPages(pdf);
  ASSERT_EQ(pages.size(), 1);
  const QString& page = pages[0];
  EXPECT_TRUE(page.contains(QStringLiteral("Sorvelstats")));
  EXPECT_TRUE(page.contains(QStringLiteral("CrossTabs")));
  EXPECT_TRUE(page.contains(QStringLiteral("Page (1)")));
  EXPECT_TRUE(page.contains(
      QRegularExpression(QStringLiteral("R=1 \\|\\s+10 \\(12.00\\)\\s+20 \\(18.00\\)\\s+30"))))
      << page.toStdString();
  EXPECT_TRUE(page.contains(QStringLiteral("CROSSTABS: C by R")));
  // The report starts below the table, not on its last row.
  EXPECT_FALSE(page.contains(QStringLiteral("100CROSSTABS")));
  EXPECT_LT(page.indexOf(QStringLiteral("Total |")),
            page.indexOf(QStringLiteral("CROSSTABS: C by R")));
}

TEST_F(CrosstabsFormTest, ZoomInBarSetsTheMarginsAndShrinksTheChart) {
  form->PasteTable(QStringLiteral("10\t20\t5\n30\t40\t8\n3\t9\t12"));
  form->PageControl_Main->setCurrentIndex(1);
  ASSERT_EQ(form->ScrollBar_Zoom->minimum(), 0);
  ASSERT_EQ(form->ScrollBar_Zoom->maximum(), 40);
  ASSERT_EQ(form->ChartView->Chart().Legend.Entries.size(), 3u);
  form->ChartView->grab();  // lays the chart out
  const TChartRect before = form->ChartView->Layout().Plot;
  const double width = form->ChartView->Layout().Width;
  form->ScrollBar_Zoom->setValue(10);
  EXPECT_EQ(form->ChartView->Chart().MarginLeft, 13);
  EXPECT_EQ(form->ChartView->Chart().MarginBottom, 14);
  const QString shots = qEnvironmentVariable("SORVEL_SCREENSHOTS");
  if (!shots.isEmpty())
    form->grab().save(QDir(shots).filePath(QStringLiteral("crosstabs_zoom.png")));
  form->ChartView->grab();
  const TChartRect after = form->ChartView->Layout().Plot;
  EXPECT_NEAR(after.Left - before.Left, 0.1 * width, 1);
  EXPECT_LT(after.Width(), before.Width() - 0.2 * width + 1);
  EXPECT_GT(after.Top, before.Top);
  // Rebuilding the chart (here by a new angle) keeps the bar's position.
  form->Angle = 30;
  form->DrawChart();
  EXPECT_EQ(form->ChartView->Chart().MarginRight, 13);
  form->Button_ResetView->click();
  EXPECT_EQ(form->ScrollBar_Zoom->value(), 0);
  EXPECT_EQ(form->Angle, 45);
  EXPECT_EQ(form->ChartView->Chart().MarginLeft, 3);
  form->ChartView->grab();
  EXPECT_NEAR(form->ChartView->Layout().Plot.Left, before.Left, 1e-9);
}

// The commands the design names for this window's File menu, typed from it.
TEST_F(CrosstabsFormTest, FileMenuHasNewOpenDataEditorAndRecentFiles) {
  QStringList captions;
  for (QAction* a : form->FileMenu->actions())
    if (!a->isSeparator() && !a->objectName().startsWith(QStringLiteral("MRFile")))
      captions << a->text().remove(QLatin1Char('&'));
  const QStringList expected = {QStringLiteral("New"), QStringLiteral("Open File"),
                                QStringLiteral("Data Editor")};
  ASSERT_GE(captions.size(), expected.size());
  EXPECT_EQ(captions.mid(0, 3), expected);
  EXPECT_EQ(form->DataEditorAction->shortcut(), QKeySequence(Qt::Key_F4));

  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("shifts.sorvel"));
  store.Write("MRU Files", "File1", file.toStdString());
  // The editor's open hook: loads a table of two columns.
  QStringList opened;
  DataEditorHooks().OpenFile = [&](const QString& path) {
    opened << path;
    ReadDataBytes("Shift\tDefect\n1\ta\n1\tb\n2\ta\n", DataList());
    ++NewDataCount;
    return true;
  };
  bool newCalled = false;
  DataEditorHooks().NewFile = [&] { newCalled = true; };
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("x\n");
  f.close();
  QMetaObject::invokeMethod(form->FileMenu, "aboutToShow");
  auto* recent = form->findChild<QAction*>(QStringLiteral("MRFile1"));
  ASSERT_NE(recent, nullptr);
  EXPECT_TRUE(recent->isVisible());
  EXPECT_EQ(recent->text(), QStringLiteral("&1  ") + file);
  EXPECT_FALSE(form->findChild<QAction*>(QStringLiteral("MRFile2"))->isVisible());
  ASSERT_TRUE(form->ManualEntry);
  recent->trigger();
  EXPECT_EQ(opened, QStringList{file});
  // A recent file also switches to "File Data" and builds the table from it.
  EXPECT_EQ(form->PageControl_Input->currentIndex(), 0);
  EXPECT_FALSE(form->ManualEntry);
  EXPECT_EQ(form->CT.N(), 3);
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(form.get(), &activate);
  ASSERT_TRUE(form->NewDataAction->isEnabled());
  form->NewDataAction->trigger();
  EXPECT_TRUE(newCalled);
}

TEST_F(CrosstabsFormTest, PrintAsksForTheFontFirstAndCancelPrintsNothing) {
  form->PasteTable(QStringLiteral("10\t20\n30\t40"));
  int printers = 0;
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("crosstabs.pdf"));
  form->AskPrinter = [&](QPrinter& printer) {
    ++printers;
    SetupPdf(printer, pdf);
    return true;
  };
  bool seen = false;
  AnswerFontDialog(QString(), seen);
  form->PrintClick();
  EXPECT_TRUE(seen);
  EXPECT_EQ(printers, 0);
  EXPECT_FALSE(QFile::exists(pdf));

  // OK: the table and its lines are printed in the font chosen.
  const QString mono = QStringLiteral("DejaVu Sans Mono");
  if (!QFontDatabase::families().contains(mono)) GTEST_SKIP() << "no DejaVu Sans Mono";
  seen = false;
  AnswerFontDialog(mono, seen);
  form->PrintClick();
  EXPECT_TRUE(seen);
  EXPECT_EQ(printers, 1);
  ASSERT_TRUE(QFile::exists(pdf));
  EXPECT_EQ(TablePrintFont().Name, mono.toStdString());
  EXPECT_EQ(TablePrintFont().Size, 11);
  if (QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty()) return;
  QProcess fonts;
  fonts.start(QStringLiteral("pdffonts"), {pdf});
  ASSERT_TRUE(fonts.waitForFinished(20000));
  EXPECT_TRUE(
      QString::fromUtf8(fonts.readAllStandardOutput()).contains(QStringLiteral("DejaVuSansMono")));
}

TEST_F(CrosstabsFormTest, DataEditorReturnsToTheCaller) {
  RegisterDataForms();
  QEvent activate(QEvent::WindowActivate);  // the desktop's switch to this window
  QApplication::sendEvent(form.get(), &activate);
  ASSERT_TRUE(form->DataEditorAction->isEnabled());
  form->DataEditorAction->trigger();
  auto* editor = static_cast<TDataForm*>(FormFor("data-editor"));
  EXPECT_EQ(editor->CallingName, QStringLiteral("Crosstabs Form"));
  EXPECT_EQ(editor->CallingForm, form.get());
  ResetForms();
}

}  // namespace
