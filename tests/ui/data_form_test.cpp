// The data editor under the offscreen platform: typing, keys, block commands, find and
// replace, files through the window, and the save question on the way to New and Open.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "data/data_state.h"
#include "data/io/data_file.h"
#include "editor/data_form.h"
#include "editor/find_form.h"
#include "editor/register.h"
#include "numerics/settings_store.h"
#include "shell/forms/main_form.h"
#include "shell/mru.h"
#include "support/workbook_fixture.h"
#include "ui/data_editor_hooks.h"
#include "ui/messages.h"
#include "ui/shell_services.h"
#include "ui/window_registry.h"

using namespace sorvel;

namespace {

const char* OpenDialogFilterForTests() { return OpenDialogFilter; }

class DataFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSettingsStore(&store);
    MRUFiles().Read();
    SetMessageRecorder(&messages);
    ResetDataState();
    form = std::make_unique<TDataForm>();
    fileDialogSaveName = form->AskSaveName;
    form->AskSaveChoices = [this](TSaveChoices& c) {
      offered = c;
      return true;
    };
    form->AskSaveName = [this](const QString&) { return saveName; };
    form->AskOpenName = [this](const QString&) { return openName; };
    form->show();
  }
  void TearDown() override {
    form.reset();
    SetMessageRecorder(nullptr);
    ResetDataState();
    SetSettingsStore(nullptr);
  }

  std::string Cell(int c, int r) const { return DataList().DataGrid.Cell(c, r); }
  int Cases() const { return DataList().DataGrid.RowCount() - 1; }
  QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  void Paste(const QString& text, const TGridRect& target) {
    QApplication::clipboard()->setText(text);
    form->DataGrid->SetCurrentCell(target.Left, target.Top);
    form->DataGrid->SelectBlock(target);
    form->PasteClick();
  }
  // A data set with names A, B, C and cases (1 2 3), (4 5 6), typed as a user pastes it.
  void PasteABC() {
    messages.Answer = QMessageBox::Yes;
    Paste(QStringLiteral("A\tB\tC\r\n1\t2\t3\r\n4\t5\t6\r\n"), {1, 1, 1, 1});
    messages.Answer = 0;
    messages.Texts.clear();
  }
  static void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }

  // An .xlsx workbook whose sheet i holds the column "From" + its name and the case i.
  void WriteWorkbook(const QString& path, const std::vector<std::string>& sheets) {
    test::TXlsx x;
    for (size_t i = 0; i < sheets.size(); ++i)
      x.Sheets.push_back({sheets[i], "<row><c t=\"inlineStr\"><is><t>From" + sheets[i] +
                                         "</t></is></c></row><row><c><v>" + std::to_string(i + 1) +
                                         "</v></c></row>"});
    WriteFile(path, QByteArray::fromStdString(x.Bytes()));
  }
  // Runs `act` on the next modal dialog named `name` once it is up (polled from the event
  // loop the dialog runs); `shown` tells whether one came.
  void WhenDialog(const QString& name, std::function<void(QDialog*)> act) {
    dialogShown = false;
    auto* poll = new QTimer(form.get());
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [this, poll, name, act] {
      auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dlg || (!name.isEmpty() && dlg->objectName() != name)) return;
      poll->stop();
      poll->deleteLater();
      dialogShown = true;
      act(dlg);
    });
    poll->start();
    pendingPolls.push_back(poll);
  }
  void StopPolls() {
    for (auto& p : pendingPolls)
      if (p) {
        p->stop();
        p->deleteLater();
      }
    pendingPolls.clear();
  }

  MemorySettingsStore store;
  TMessageLog messages;
  QTemporaryDir dir;
  std::unique_ptr<TDataForm> form;
  TSaveChoices offered;
  QString saveName, openName;
  std::function<QString(const QString&)> fileDialogSaveName;  // the editor's own Save As dialog
  bool dialogShown = false;
  std::vector<QPointer<QTimer>> pendingPolls;
};

TEST_F(DataFormTest, StartsEmptyWithCaptionPagesAndStatusPanels) {
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Data"));
  EXPECT_EQ(form->PageControl->tabText(0), QStringLiteral("Data"));
  EXPECT_EQ(form->PageControl->tabText(1), QStringLiteral("Descriptions"));
  EXPECT_EQ(form->DataModel->rowCount(), 1);
  EXPECT_EQ(form->DataModel->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
            QStringLiteral("Col1"));
  EXPECT_EQ(form->DescModel->headerData(2, Qt::Vertical, Qt::DisplayRole).toString(),
            QStringLiteral("Target:"));
  EXPECT_EQ(form->StatusPanels[0]->text(), QStringLiteral("Col = 1,  Row = 1"));
  EXPECT_EQ(form->StatusPanels[1]->text(), QStringLiteral("Missing Off"));
  EXPECT_EQ(form->StatusPanels[2]->text(), QStringLiteral("Transform Off"));
  EXPECT_EQ(form->StatusPanels[3]->text(), QStringLiteral("Process If Off"));
  EXPECT_EQ(form->StatusPanels[4]->text(), QStringLiteral("Cols = 1,  Rows = 1"));
  EXPECT_FALSE(TDataForm::HaveData());
  EXPECT_FALSE(form->GetFileModString());
}

TEST_F(DataFormTest, TypingEnterAndTabAppendRowsAndColumns) {
  TDataGridView* grid = form->DataGrid;
  grid->setFocus();
  QTest::keyClick(grid, '1');
  auto* editor = grid->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, "2.5");
  QTest::keyClick(editor, Qt::Key_Return);  // last row: a case is appended
  QCoreApplication::processEvents();        // the delegate commits queued
  EXPECT_EQ(Cell(1, 1), "12.5");
  EXPECT_EQ(Cases(), 2);
  EXPECT_EQ(grid->CurrentRow(), 2);
  EXPECT_EQ(DataList().DataGrid.Cell(0, 2), "2");
  EXPECT_TRUE(form->FileModified());
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Data  (modified)"));
  EXPECT_TRUE(TDataForm::HaveData());

  QTest::keyClick(grid, Qt::Key_Tab);  // last column: a column is appended
  EXPECT_EQ(DataList().MaxCol(), 2);
  EXPECT_EQ(DataList().ColumnName(2), "Col2");
  EXPECT_EQ(DataList().DescGrid.Cell(2, 0), "Col2");
  EXPECT_EQ(grid->CurrentCol(), 2);
  EXPECT_EQ(grid->CurrentRow(), 2);
  QTest::keyClick(grid, Qt::Key_Backtab);  // Shift+Tab never appends
  EXPECT_EQ(grid->CurrentCol(), 1);
  EXPECT_EQ(DataList().MaxCol(), 2);
  EXPECT_TRUE(DataEditor.PendingColumnsChange);

  // Tab in the 512th column adds nothing.
  DataList().SetColCount(MaxColumns);
  form->DataModel->SyncShape();
  grid->SetCurrentCell(MaxColumns, 1);
  QTest::keyClick(grid, Qt::Key_Tab);
  EXPECT_EQ(DataList().MaxCol(), MaxColumns);
  EXPECT_EQ(grid->CurrentCol(), MaxColumns);
}

TEST_F(DataFormTest, TypedCellsKeepWhatASavedFileGivesBack) {
  WriteFile(Path("seven.sorvel"), "7\t1\r\n");
  ASSERT_TRUE(form->FileToDataGrid(Path("seven.sorvel")));
  TDataGridModel* model = form->DataModel;
  // The same number with blanks around it is no change.
  ASSERT_TRUE(model->setData(model->index(0, 0), QStringLiteral(" 7 "), Qt::EditRole));
  EXPECT_FALSE(form->FileModified());
  // "8 " is kept as "8": after Save and Open it would be 8 anyway.
  ASSERT_TRUE(model->setData(model->index(0, 0), QStringLiteral("8 "), Qt::EditRole));
  EXPECT_EQ(Cell(1, 1), "8");
  EXPECT_TRUE(form->FileModified());
  DataList().UpdateData();
  EXPECT_EQ(DataList().Value(1, 1), 8.0);
}

TEST_F(DataFormTest, CtrlArrowsJumpAndDeleteClears) {
  Paste(QStringLiteral("1\r\n2\r\n\r\n\r\n5\r\n"), {1, 1, 1, 1});
  TDataGridView* grid = form->DataGrid;
  grid->SetCurrentCell(1, 1);
  QTest::keyClick(grid, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(grid->CurrentRow(), 2);
  QTest::keyClick(grid, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(grid->CurrentRow(), 5);
  QTest::keyClick(grid, Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(grid->Selection(), (TGridRect{1, 2, 1, 5}));
  QTest::keyClick(grid, Qt::Key_Delete);
  EXPECT_EQ(Cell(1, 1), "1");
  EXPECT_EQ(Cell(1, 2), "");
  EXPECT_EQ(Cell(1, 5), "");
}

TEST_F(DataFormTest, PasteMatchesTheSelectionsShape) {
  form->DataGrid->SetCurrentCell(1, 1);
  DataList().SetColCount(3);
  DataList().SetRowCount(2);
  form->DataModel->SyncShape();
  Paste(QStringLiteral("7"), {1, 1, 3, 2});
  for (int c = 1; c <= 3; ++c)
    for (int r = 1; r <= 2; ++r) EXPECT_EQ(Cell(c, r), "7");
  Paste(QStringLiteral("1\r\n2\r\n3\r\n4\r\n"), {1, 1, 3, 1});
  EXPECT_EQ(Cases(), 4);
  for (int c = 1; c <= 3; ++c) EXPECT_EQ(Cell(c, 4), "4");
  EXPECT_EQ(form->DataModel->rowCount(), 4);
  EXPECT_TRUE(messages.Texts.isEmpty());

  QApplication::clipboard()->clear();
  form->PasteClick();
  EXPECT_EQ(messages.Texts.value(0), QStringLiteral("There is no text on the Clipboard"));
}

TEST_F(DataFormTest, PastedNamesLineAsksAndNamesTheColumns) {
  messages.Answer = QMessageBox::Yes;
  Paste(QStringLiteral("A\tB\r\n1\t2\r\n3\t4\r\n"), {1, 1, 1, 1});
  EXPECT_EQ(messages.Texts.value(0),
            QStringLiteral("Want to use text from first row as Variable Names?"));
  EXPECT_EQ(DataList().ColumnName(1), "A");
  EXPECT_EQ(DataList().ColumnName(2), "B");
  EXPECT_EQ(Cases(), 2);
  EXPECT_EQ(form->DataModel->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
            QStringLiteral("B"));
  EXPECT_EQ(form->DescModel->columnCount(), 2);
  EXPECT_TRUE(form->ModifiedColumnNames());
  EXPECT_TRUE(DataEditor.PendingColumnsChange);

  messages.Texts.clear();
  DataList().SetColCount(511);
  form->DataModel->SyncShape();
  Paste(QStringLiteral("1\t2\t3"), {511, 1, 511, 1});
  EXPECT_EQ(messages.Texts.value(0), QStringLiteral("Maximum Number of Columns Exceeded."));
  EXPECT_EQ(DataList().MaxCol(), 511);
  EXPECT_EQ(Cell(511, 1), "");
}

TEST_F(DataFormTest, InsertAndDeleteRowsAndColumns) {
  PasteABC();
  TDataGridView* grid = form->DataGrid;
  grid->SelectBlock({1, 2, 3, 2});
  form->InsertRowsClick();
  EXPECT_EQ(Cases(), 3);
  EXPECT_EQ(Cell(1, 2), "");
  EXPECT_EQ(Cell(1, 3), "4");
  EXPECT_EQ(form->DataModel->rowCount(), 3);
  grid->SelectBlock({1, 2, 3, 2});
  form->DeleteRowsClick();
  EXPECT_EQ(Cases(), 2);
  EXPECT_EQ(Cell(1, 2), "4");

  grid->SelectBlock({2, 1, 2, 2});
  form->DeleteColumnsClick();
  EXPECT_EQ(DataList().MaxCol(), 2);
  EXPECT_EQ(DataList().ColumnName(2), "C");
  EXPECT_EQ(Cell(2, 2), "6");
  EXPECT_EQ(form->DescModel->columnCount(), 2);
  grid->SelectBlock({1, 1, 1, 2});
  form->InsertColumnsClick();
  EXPECT_EQ(DataList().ColumnName(1), "Col1");
  EXPECT_EQ(DataList().ColumnName(2), "A");
  EXPECT_EQ(grid->CurrentCol(), 1);
  EXPECT_EQ(form->DataModel->columnCount(), 3);

  form->InsertCaseNumbersClick();
  EXPECT_EQ(DataList().ColumnName(1), "Case");
  EXPECT_EQ(Cell(1, 2), "2");
  EXPECT_EQ(DataList().ColumnName(2), "Col2");  // the unnamed column follows its new place
}

TEST_F(DataFormTest, DeletingEveryRowOfModifiedDataAsksFirst) {
  PasteABC();
  form->DataGrid->SelectBlock({1, 1, 3, 2});
  messages.Answer = QMessageBox::Cancel;
  form->DeleteRowsClick();
  EXPECT_EQ(messages.Texts.value(0), QStringLiteral("File Not Saved.  Save?"));
  EXPECT_EQ(Cases(), 2);  // cancelled: nothing deleted
  messages.Answer = QMessageBox::No;
  form->DeleteRowsClick();
  EXPECT_FALSE(DataList().HaveData());
  EXPECT_EQ(form->DataModel->columnCount(), 1);
  EXPECT_FALSE(form->FileModified());
}

TEST_F(DataFormTest, ColumnNamesAreEditedAndNormalised) {
  PasteABC();
  DataList().SetColCount(5);
  form->DataModel->SyncShape();
  struct TNameCase {
    int Col;
    const char* Typed;
    const char* Kept;
  };
  for (const TNameCase& tc : {TNameCase{5, "col3", "Col5"}, TNameCase{2, "", "Col2"},
                              TNameCase{1, "Weight", "Weight"}, TNameCase{4, "COL4", "COL4"}}) {
    form->StartNameEditing(tc.Col);
    ASSERT_TRUE(form->EditingNames());
    form->NameEditor()->setText(QString::fromLatin1(tc.Typed));
    QTest::keyClick(form->NameEditor(), Qt::Key_Return);
    EXPECT_FALSE(form->EditingNames());
    EXPECT_EQ(DataList().ColumnName(tc.Col), tc.Kept) << tc.Typed;
    EXPECT_EQ(DataList().DescGrid.Cell(tc.Col, 0), tc.Kept);
    EXPECT_EQ(form->DataGrid->CurrentRow(), 1);
  }
  // Tab goes on to the next name.
  form->StartNameEditing(1);
  form->NameEditor()->setText(QStringLiteral("Height"));
  QTest::keyClick(form->NameEditor(), Qt::Key_Tab);
  EXPECT_EQ(DataList().ColumnName(1), "Height");
  EXPECT_TRUE(form->EditingNames());
  form->EndNameEditing();
}

TEST_F(DataFormTest, FindAndReplaceThroughTheWindow) {
  Paste(QStringLiteral("3\tabc\r\n\t7\r\n9\tx\r\n"), {1, 1, 1, 1});
  form->DataGrid->SetCurrentCell(1, 1);
  form->FindReplaceClick();
  TFindForm* find = form->FindForm();
  ASSERT_NE(find, nullptr);
  EXPECT_FALSE(find->SelectionOnly->isChecked());
  find->Relation1->setCurrentIndex(2);  // ">"
  find->Value1->setText(QStringLiteral("5"));
  find->FindClick();
  EXPECT_EQ(form->DataGrid->CurrentCol(), 1);
  EXPECT_EQ(form->DataGrid->CurrentRow(), 3);  // the empty cell is skipped
  find->FindClick();
  EXPECT_EQ(form->DataGrid->CurrentCol(), 2);
  EXPECT_EQ(form->DataGrid->CurrentRow(), 2);
  find->FindClick();
  EXPECT_EQ(find->windowTitle(), QStringLiteral("Find"));
  EXPECT_EQ(messages.Texts.value(0), QStringLiteral("Find Not Found"));

  form->DataGrid->SetCurrentCell(1, 1);
  find->Relation1->setCurrentIndex(1);
  find->Value1->setText(QStringLiteral("abc"));
  find->ReplaceWith->setText(QStringLiteral("xyz"));
  EXPECT_EQ(find->windowTitle(), QStringLiteral("Find and Replace"));
  find->ReplaceAllClick();
  EXPECT_EQ(Cell(2, 1), "xyz");
  EXPECT_TRUE(form->FileModified());
  find->ReplaceClick();  // no "abc" left
  EXPECT_EQ(messages.Texts.value(1), QStringLiteral("Find and Replace Not Found"));

  find->Relation1->setCurrentIndex(0);
  EXPECT_FALSE(find->Button_Find->isEnabled());
}

TEST_F(DataFormTest, TransposeSwapsCasesAndVariables) {
  PasteABC();
  form->TransposeClick();
  EXPECT_EQ(DataList().MaxCol(), 2);
  EXPECT_EQ(Cases(), 3);
  EXPECT_EQ(DataList().ColumnName(1), "Col1");
  EXPECT_EQ(DataList().ColumnName(2), "Col2");
  EXPECT_EQ(Cell(2, 3), "6");
  EXPECT_EQ(form->DataModel->columnCount(), 2);
  EXPECT_EQ(form->DataModel->rowCount(), 3);
  EXPECT_EQ(form->DescModel->columnCount(), 2);
  EXPECT_EQ(form->StatusPanels[4]->text(), QStringLiteral("Cols = 2,  Rows = 3"));
}

TEST_F(DataFormTest, CountersAdvanceWhenTheEditorLosesFocus) {
  const int data = DataChangeCount, columns = ColumnsChangeCount;
  PasteABC();
  DataEditorLostFocus();  // what deactivating the window runs
  EXPECT_EQ(DataChangeCount, data + 1);
  EXPECT_EQ(ColumnsChangeCount, columns + 1);
  EXPECT_TRUE(DataList().StringVar[1] == false);
  const int news = NewDataCount;
  form->SetFileModified(false);
  form->New();
  EXPECT_EQ(NewDataCount, news + 1);
}

TEST_F(DataFormTest, SaveAndOpenRoundTrip) {
  PasteABC();
  form->PageControl->setCurrentIndex(1);
  form->DescModel->setData(form->DescModel->index(0, 0), QStringLiteral("Length"), Qt::EditRole);
  form->PageControl->setCurrentIndex(0);
  form->DataGrid->SetCurrentCell(1, 1);
  saveName = Path("round.sorvel");
  ASSERT_TRUE(form->SaveAs());
  EXPECT_FALSE(offered.SelectionApplies);
  EXPECT_TRUE(offered.VarNamesApply);
  EXPECT_TRUE(offered.DescriptionsApply);
  EXPECT_FALSE(form->FileModified());
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Data - ") + saveName);
  EXPECT_EQ(MRUFiles().Flist[0], saveName.toStdString());
  QFile f(saveName);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("A\tB\tC\r\nTitle:\tLength\t\t\r\n1\t2\t3\r\n4\t5\t6\r\n"));
  f.close();

  ASSERT_TRUE(form->New());
  EXPECT_TRUE(messages.Texts.isEmpty());  // nothing to save
  openName = saveName;
  ASSERT_TRUE(form->OpenClick());
  EXPECT_EQ(DataList().ColumnName(3), "C");
  EXPECT_EQ(DataList().ColumnTitle(1), "Length");
  EXPECT_EQ(Cell(3, 2), "6");
  EXPECT_EQ(form->LineCount, 2);
  EXPECT_EQ(form->DataModel->rowCount(), 2);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Data - ") + saveName);
  EXPECT_FALSE(TDataForm::Instance()->FileModified());

  // Save writes to the remembered name; selection only writes the block.
  form->DataGrid->SelectBlock({2, 1, 3, 2});
  offered = TSaveChoices();
  form->AskSaveChoices = [this](TSaveChoices& c) {
    offered = c;
    return true;
  };
  saveName = Path("block.dat");
  ASSERT_TRUE(form->SaveAs());
  EXPECT_TRUE(offered.WantSelection);
  QFile b(saveName);
  ASSERT_TRUE(b.open(QIODevice::ReadOnly));
  EXPECT_EQ(b.readAll(), QByteArray("B\tC\r\n2\t3\r\n5\t6\r\n"));
  // Cancel in "Configure Save" abandons the save.
  form->AskSaveChoices = [](TSaveChoices&) { return false; };
  saveName = Path("never.sorvel");
  EXPECT_FALSE(form->SaveAs());
  EXPECT_FALSE(QFile::exists(saveName));
}

TEST_F(DataFormTest, YesWithAFailedSaveStopsNewAndOpen) {
  PasteABC();
  WriteFile(Path("other.sorvel"), "X\r\n1\r\n");
  saveName = dir.filePath(QStringLiteral("missing-folder/out.sorvel"));
  messages.Answer = QMessageBox::Yes;

  EXPECT_FALSE(form->New());
  ASSERT_GE(messages.Texts.size(), 2);
  EXPECT_EQ(messages.Texts[0], QStringLiteral("File Not Saved.  Save?"));
  EXPECT_TRUE(messages.Texts[1].startsWith(QStringLiteral("Error Writing File")));
  EXPECT_EQ(Cell(3, 2), "6");
  EXPECT_TRUE(form->FileModified());

  messages.Texts.clear();
  EXPECT_FALSE(form->FileToDataGrid(Path("other.sorvel")));
  EXPECT_EQ(DataList().ColumnName(1), "A");
  EXPECT_EQ(Cell(3, 2), "6");

  // The main window's close question goes through the same hooks.
  RegisterDataForms();
  EXPECT_TRUE(DataEditorHooks().IsModified());
  messages.Texts.clear();
  TDataForm* registered = static_cast<TDataForm*>(FormFor("data-editor"));
  registered->AskSaveChoices = [](TSaveChoices&) { return true; };
  registered->AskSaveName = [this](const QString&) { return saveName; };
  EXPECT_FALSE(DataEditorHooks().SaveAs());
  registered->AskSaveName = [this](const QString&) { return Path("saved.sorvel"); };
  EXPECT_TRUE(DataEditorHooks().SaveAs());
  EXPECT_FALSE(DataEditorHooks().IsModified());
  ResetForms();
  DataEditorHooks() = TDataEditorHooks{};

  // Yes with a save that works goes on.
  PasteABC();
  form->AskSaveName = [this](const QString&) { return Path("kept.sorvel"); };
  messages.Answer = QMessageBox::Yes;
  ASSERT_TRUE(form->FileToDataGrid(Path("other.sorvel")));
  EXPECT_EQ(DataList().ColumnName(1), "X");
  EXPECT_TRUE(QFile::exists(Path("kept.sorvel")));
}

TEST_F(DataFormTest, AFileThatFailsLeavesThePreviousDataSet) {
  PasteABC();
  saveName = Path("before.sorvel");
  ASSERT_TRUE(form->SaveAs());
  const QString caption = form->windowTitle();
  struct TBad {
    const char* Name;
    QString Path;
    const char* Message;
  };
  const std::vector<TBad> cases = {
      {"missing file", Path("nowhere.sorvel"), "File Error"},
      {"a folder: the read breaks off", dir.path(), "Error Reading File"},
  };
  for (const TBad& tc : cases) {
    SCOPED_TRACE(tc.Name);
    messages.Texts.clear();
    EXPECT_FALSE(form->FileToDataGrid(tc.Path));
    ASSERT_FALSE(messages.Texts.isEmpty());
    EXPECT_TRUE(messages.Texts.last().startsWith(QString::fromLatin1(tc.Message)))
        << messages.Texts.last().toStdString();
    EXPECT_EQ(DataList().ColumnName(2), "B");
    EXPECT_EQ(Cell(3, 2), "6");
    EXPECT_EQ(form->DataModel->rowCount(), 2);
    EXPECT_EQ(form->windowTitle(), caption);
    EXPECT_EQ(form->DataFilename(), saveName);
    EXPECT_FALSE(form->Loading());
    EXPECT_FALSE(LoadingGaugeShown());
  }
  EXPECT_EQ(MRUFiles().Flist[0], saveName.toStdString());
}

TEST_F(DataFormTest, TheGaugeIsShownAndEventsRunWhileAFileLoads) {
  QByteArray bytes = "X\tY\r\n";
  for (int i = 0; i < 200000; ++i)
    bytes += QByteArray::number(i) + "\t" + QByteArray::number(i % 7) + "\r\n";
  WriteFile(Path("big.sorvel"), bytes);
  bool sawGauge = false, editableMeanwhile = false;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (!LoadingGaugeShown()) return;
    sawGauge = true;
    editableMeanwhile = editableMeanwhile || form->DataGrid->isEnabled();
  });
  probe.start(0);
  ASSERT_TRUE(form->FileToDataGrid(Path("big.sorvel")));
  probe.stop();
  EXPECT_TRUE(sawGauge);
  EXPECT_FALSE(editableMeanwhile);  // the old data set takes no typing while the new one loads
  EXPECT_TRUE(form->DataGrid->isEnabled());
  EXPECT_FALSE(LoadingGaugeShown());
  EXPECT_EQ(form->DataModel->rowCount(), 200000);
  EXPECT_EQ(form->DataModel->data(form->DataModel->index(199999, 0), Qt::DisplayRole).toString(),
            QStringLiteral("199999"));
}

TEST_F(DataFormTest, RecentFilesInTheFileMenu) {
  WriteFile(Path("one.sorvel"), "1\r\n");
  MRUFiles().UpdateList(Path("gone.sorvel").toStdString());
  MRUFiles().UpdateList(Path("one.sorvel").toStdString());
  form->FileMenuPopup();
  QAction* first = form->findChild<QAction*>(QStringLiteral("MRFile1"));
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(first->text(), QStringLiteral("&1  ") + Path("one.sorvel"));
  EXPECT_FALSE(form->findChild<QAction*>(QStringLiteral("MRFile3"))->isVisible());
  first->trigger();
  EXPECT_EQ(form->DataFilename(), Path("one.sorvel"));
  form->MRFileClick(2);
  EXPECT_EQ(messages.Texts.value(0), QStringLiteral("File Not Found!\n\n") + Path("gone.sorvel"));
}

TEST_F(DataFormTest, MouseOnNamesSelectsColumnsAndEnablesColumnCommands) {
  PasteABC();
  QHeaderView* names = form->DataGrid->horizontalHeader();
  const QPoint at(names->sectionViewportPosition(1) + 5, names->height() / 2);
  QTest::mousePress(names->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseRelease(names->viewport(), Qt::LeftButton, {}, at);
  EXPECT_TRUE(form->DataGrid->LastPressOnNames);
  EXPECT_EQ(form->DataGrid->Selection(), (TGridRect{2, 1, 2, 2}));
  form->EditMenuPopup();
  EXPECT_TRUE(form->Action("DeleteColumns1")->isEnabled());
  EXPECT_FALSE(form->Action("DeleteRows1")->isEnabled());

  // Drag-scroll speeds by where the pointer is.
  const QRect r = form->DataGrid->viewport()->rect();
  EXPECT_EQ(form->DataGrid->DragScrollInterval(r.center()), 0);
  EXPECT_EQ(form->DataGrid->DragScrollInterval({r.center().x(), r.bottom() + 20}), 1);
  EXPECT_EQ(form->DataGrid->DragScrollInterval({r.center().x(), r.bottom() + 5}), 50);
  EXPECT_EQ(form->DataGrid->DragScrollInterval({r.right() + 5, r.center().y()}), 300);
}

// A right-click on the names row or the case numbers opens the pop-up with the column or
// row commands; a right-click inside the columns or rows selected there keeps them.
TEST_F(DataFormTest, PopupOnNamesAndCaseNumbersOffersColumnAndRowCommands) {
  PasteABC();
  auto* popup = form->findChild<QMenu*>(QStringLiteral("PopupMenu1"));
  ASSERT_NE(popup, nullptr);
  TDataGridView* grid = form->DataGrid;
  QHeaderView* names = grid->horizontalHeader();
  QHeaderView* cases = grid->verticalHeader();
  // What the desktop sends for a right-click: the press, then the menu request.
  auto rightClick = [](QWidget* w, QPoint at) {
    QTest::mousePress(w, Qt::RightButton, {}, at);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, w->mapToGlobal(at));
    QApplication::sendEvent(w, &request);
  };
  auto leftClick = [](QWidget* w, QPoint at) {
    QTest::mousePress(w, Qt::LeftButton, {}, at);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
  };
  const QPoint nameB(names->sectionViewportPosition(1) + 5, names->height() / 2);
  const QPoint case2(cases->width() / 2, cases->sectionViewportPosition(1) + 5);
  const QPoint cellB2(grid->columnViewportPosition(1) + 5, grid->rowViewportPosition(1) + 5);
  const QPoint cellC1(grid->columnViewportPosition(2) + 5, grid->rowViewportPosition(0) + 5);
  struct Case {
    const char* What;
    std::function<void()> Before;  // a left press that selects, or nothing
    QWidget* Clicked;
    QPoint At;
    TGridRect Selection;
    bool Columns, Rows;
  };
  const Case steps[] = {
      {"right-click on a name", [] {}, names->viewport(), nameB, {2, 1, 2, 2}, true, false},
      {"right-click on a case number", [] {}, cases->viewport(), case2, {1, 2, 3, 2}, false, true},
      // clang-format off
      {"inside columns selected by their name", [&] { leftClick(names->viewport(), nameB); }, grid->viewport(),
       cellB2, {2, 1, 2, 2}, true, false},
      {"inside rows selected by their case number", [&] { leftClick(cases->viewport(), case2); },
       grid->viewport(), cellB2, {1, 2, 3, 2}, false, true},
      {"outside the selection", [&] { leftClick(cases->viewport(), case2); }, grid->viewport(), cellC1,
       {3, 1, 3, 1}, false, false},
      // clang-format on
  };
  for (const Case& c : steps) {
    SCOPED_TRACE(c.What);
    grid->SetCurrentCell(1, 1);
    c.Before();
    rightClick(c.Clicked, c.At);
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(grid->Selection(), c.Selection);
    EXPECT_EQ(form->Action("DeleteColumns1")->isEnabled(), c.Columns);
    EXPECT_EQ(form->Action("InsertColumns1")->isEnabled(), c.Columns);
    EXPECT_EQ(form->Action("DeleteRows1")->isEnabled(), c.Rows);
    EXPECT_EQ(form->Action("InsertRows1")->isEnabled(), c.Rows);
    popup->hide();
  }
  // The enabled command acts on what the right-click selected.
  rightClick(names->viewport(), nameB);
  form->Action("DeleteColumns1")->trigger();
  popup->hide();
  EXPECT_EQ(DataList().MaxCol(), 2);
  EXPECT_EQ(DataList().ColumnName(2), "C");
}

// The find window never hides the cell it finds: it opens beside the editor where the
// screen has room, else clear of the current cell, and moves off a cell it would cover.
TEST_F(DataFormTest, FindWindowKeepsTheFoundCellInSight) {
  QString text;
  for (int r = 1; r <= 20; ++r) {
    QStringList cells;
    for (int c = 1; c <= 6; ++c)
      cells << ((c == 3 && (r == 5 || r == 14)) || (c == 5 && r == 2) ? QStringLiteral("M2")
                                                                      : QStringLiteral("M1"));
    text += cells.join(QChar('\t')) + QStringLiteral("\r\n");
  }
  Paste(text, {1, 1, 1, 1});  // no names: answered No
  messages.Texts.clear();
  const QRect area = form->screen()->availableGeometry();
  struct Case {
    const char* What;
    QRect Editor;
    bool Beside;
  };
  const Case cases[] = {
      {"editor as wide as the screen", QRect(area.left(), area.top(), area.width(), 420), false},
      {"editor in the middle", QRect(area.left() + 80, area.top() + 60, area.width() - 160, 480),
       false},
      {"room right of the editor", QRect(area.left(), area.top(), 320, 420), true},
  };
  const QPoint found[] = {{3, 5}, {3, 14}, {5, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    if (form->FindForm()) form->FindForm()->hide();
    form->setGeometry(c.Editor);
    QCoreApplication::processEvents();
    form->DataGrid->SetCurrentCell(1, 1);
    // Ctrl+F in the editor, then the value typed at once: the keyboard is in the find
    // window's value box.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == form.get(); }, 2000));
    QTest::keyClick(form->DataGrid, Qt::Key_F, Qt::ControlModifier);
    TFindForm* find = form->FindForm();
    ASSERT_NE(find, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(find));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == find->Value1; }, 2000));
    find->Relation1->setCurrentIndex(1);  // "="
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("M2"));
    ASSERT_EQ(find->Value1->text(), QStringLiteral("M2"));
    for (const QPoint& cell : found) {
      find->FindClick();
      ASSERT_EQ(QPoint(form->DataGrid->CurrentCol(), form->DataGrid->CurrentRow()), cell);
      const QRect inGrid = form->DataGrid->visualRect(form->DataGrid->currentIndex());
      EXPECT_TRUE(form->DataGrid->viewport()->rect().contains(inGrid));
      const QRect onScreen(form->DataGrid->viewport()->mapToGlobal(inGrid.topLeft()),
                           inGrid.size());
      EXPECT_FALSE(find->frameGeometry().intersects(onScreen)) << cell.x() << "," << cell.y();
      EXPECT_TRUE(area.contains(find->frameGeometry()));
      if (c.Beside) {
        EXPECT_EQ(find->frameGeometry().left(), form->frameGeometry().right() + 1);
      }
    }
    EXPECT_TRUE(messages.Texts.isEmpty());
  }
}

// In a narrow window the five status panels share the width, each cutting its text
// short, instead of drawing over one another.
TEST_F(DataFormTest, StatusPanelsShortenTheirTextsInANarrowWindow) {
  PasteABC();
  for (int width : {900, 300}) {
    SCOPED_TRACE(width);
    form->resize(width, 420);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    ASSERT_EQ(form->width(), width);
    const QRect bar = form->statusBar()->rect();
    int right = bar.left() - 1;
    int shortened = 0;
    for (TStatusPanel* panel : form->StatusPanels) {
      const QRect g = panel->geometry();
      EXPECT_GT(g.left(), right) << panel->text().toStdString();  // no overlap
      EXPECT_LE(g.right(), bar.right());
      right = g.right();
      const QString shown = panel->ShownText();
      EXPECT_LE(panel->fontMetrics().horizontalAdvance(shown), panel->width() - 10)
          << shown.toStdString();
      if (shown != panel->text()) {
        ++shortened;
        EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
      }
      // With room, each panel is its text + 10 pixels wide.
      if (width == 900) {
        EXPECT_EQ(panel->width(), panel->fontMetrics().horizontalAdvance(panel->text()) + 10);
      }
    }
    EXPECT_EQ(shortened > 0, width == 300);
  }
}

TEST_F(DataFormTest, ReturnGoesBackToTheCaller) {
  QWidget caller;
  form->ShowDataEditor(&caller, QStringLiteral("Explore"));
  EXPECT_EQ(form->Action("Return1")->text(), QStringLiteral("&Return to Explore"));
  EXPECT_EQ(form->Action("Return1")->toolTip(), QStringLiteral("Return to Explore"));
  form->ReturnClick();
  EXPECT_TRUE(caller.isVisible());
  EXPECT_EQ(form->Action("Return1")->text(), QStringLiteral("&Return to Main Form"));
  EXPECT_TRUE(form->CallingForm.isNull());
}

TEST(DataFormFilters, DialogFiltersBecomeQtFilters) {
  // Everything that opens is under the first entry; each kind has its own.
  const QStringList open = QtFileFilters(OpenDialogFilterForTests());
  EXPECT_EQ(open,
            (QStringList{
                QStringLiteral("Data Files (*.dat *.sorvel *.sorvels *.csv *.xlsx *.xlsm *.ods)"),
                QStringLiteral("Sorvelstats Data Files (*.sorvel)"),
                QStringLiteral("Zidozadud Data Files (*.sorvels)"),
                QStringLiteral("Data Files (*.dat)"),
                QStringLiteral("Text Files (*.txt)"),
                QStringLiteral("Comma Separated Values (*.csv)"),
                QStringLiteral("Excel Workbooks (*.xlsx *.xlsm)"),
                QStringLiteral("OpenDocument Spreadsheets (*.ods)"),
                QStringLiteral("All Files (*.*)"),
            }));
}

TEST_F(DataFormTest, LimitRowsTakeNumberCharactersOnly) {
  form->PageControl->setCurrentIndex(1);
  TDataGridView* grid = form->DescGrid;
  grid->SetCurrentCell(1, 2);  // USL:
  QTest::keyClick(grid, 'x');
  EXPECT_FALSE(grid->IsEditing());
  QTest::keyClick(grid, '1');
  ASSERT_TRUE(grid->IsEditing());
  auto* editor = grid->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, "0a.5");
  QTest::keyClick(editor, Qt::Key_Tab);
  EXPECT_EQ(DataList().DescGrid.Cell(1, 2), "10.5");
  EXPECT_EQ(DataList().ColumnUSL(1), 10.5);
  // The title row takes any text.
  grid->SetCurrentCell(1, 1);
  QTest::keyClick(grid, 'L');
  EXPECT_TRUE(grid->IsEditing());
  grid->CommitEdit();
  EXPECT_EQ(DataList().ColumnTitle(1), "L");
}

TEST_F(DataFormTest, CellColoursShowTextColumnsAndRowsOutsideProcessIf) {
  PasteABC();
  Paste(QStringLiteral("abc"), {2, 1, 2, 1});
  DataList().UpdateData();
  const QModelIndex text = form->DataModel->index(0, 1), number = form->DataModel->index(0, 0);
  EXPECT_EQ(form->DataModel->data(text, Qt::BackgroundRole).value<QColor>(), QColor(Qt::yellow));
  EXPECT_EQ(form->DataModel->data(number, Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));
  EXPECT_EQ(form->DataModel->data(text, Qt::DisplayRole).toString(), QStringLiteral("abc[1]"));
  form->Action("ViewLevels1")->trigger();
  EXPECT_EQ(form->DataModel->data(text, Qt::DisplayRole).toString(), QStringLiteral("abc"));
  ProcessIfRec.Active = true;
  ProcessIfRec.PiIndex1 = 1;
  ProcessIfRec.Sign1 = 2;  // Col1 > 2: case 1 fails
  ProcessIfRec.X1 = 2;
  EXPECT_EQ(form->DataModel->data(number, Qt::BackgroundRole).value<QColor>(), QColor(0, 255, 255));
  EXPECT_EQ(form->DataModel->data(form->DataModel->index(1, 0), Qt::BackgroundRole).value<QColor>(),
            QColor(Qt::white));
  form->UpdateStatusBarInfo();
  EXPECT_EQ(form->StatusPanels[3]->text(), QStringLiteral("Process If: A > 2"));
  EXPECT_EQ(form->StatusBarHint(),
            QStringLiteral("Status Bar\n  Process If: A > 2\nCols = 4,  Rows = 3"));
  EXPECT_TRUE(form->GetFileModString());
  EXPECT_EQ(form->FileModString, QStringLiteral("Process If: A > 2"));
}

TEST_F(DataFormTest, CopyAndCutPutTheBlockOnTheClipboard) {
  PasteABC();
  form->DataGrid->SelectBlock({2, 1, 3, 2});
  form->CopyClick();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("2\t3\r\n5\t6"));
  form->CopyColumnNamesClick();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("A\tB\tC"));
  form->DataGrid->SelectBlock({1, 2, 1, 2});
  form->CutClick();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("4"));
  EXPECT_EQ(Cell(1, 2), "");
  form->CopyNamesAndDataClick();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("A\tB\tC\r\n1\t2\t3\r\n\t5\t6"));
}

TEST_F(DataFormTest, DraggingBelowTheGridScrollsAndExtendsTheRowSelection) {
  QByteArray bytes;
  for (int i = 1; i <= 500; ++i) bytes += QByteArray::number(i) + "\r\n";
  WriteFile(Path("rows.dat"), bytes);
  ASSERT_TRUE(form->FileToDataGrid(Path("rows.dat")));
  QHeaderView* cases = form->DataGrid->verticalHeader();
  const QPoint first(cases->width() / 2, 5);
  QTest::mousePress(cases->viewport(), Qt::LeftButton, {}, first);
  EXPECT_TRUE(form->DataGrid->LastPressOnCaseNumbers);
  const QPoint below(first.x(), cases->viewport()->height() + 30);
  QTest::mouseMove(cases->viewport(), below);
  QTest::qWait(150);
  const int scrolled = form->DataGrid->verticalScrollBar()->value();
  QTest::mouseRelease(cases->viewport(), Qt::LeftButton, {}, below);
  EXPECT_GT(scrolled, 0);
  const TGridRect sel = form->DataGrid->Selection();
  EXPECT_EQ(sel.Top, 1);
  EXPECT_GT(sel.Bottom, 10);
  EXPECT_EQ(sel.Left, 1);
  const int after = form->DataGrid->verticalScrollBar()->value();
  QTest::qWait(50);
  EXPECT_EQ(form->DataGrid->verticalScrollBar()->value(), after);  // released: the timer stopped
}

TEST_F(DataFormTest, FilesDroppedOnTheMainWindowOpenInTheEditor) {
  WriteFile(Path("dropped.sorvel"), "Height\r\n170\r\n");
  RegisterDataForms();
  {
    TSorvelStatsMainForm main(QStringLiteral("Sorvelstats"));
    SetMainForm(&main);
    EXPECT_TRUE(main.CommandAction("open")->isEnabled());
    main.OpenDroppedFiles({Path("dropped.sorvel"), Path("second.sorvel")});
    auto* editor = static_cast<TDataForm*>(FormFor("data-editor"));
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(DataList().ColumnName(1), "Height");
    EXPECT_EQ(editor->DataModel->rowCount(), 1);
    ResetForms();
    SetMainForm(nullptr);
  }
  DataEditorHooks() = TDataEditorHooks{};
}

TEST_F(DataFormTest, AWorkbookOfSeveralSheetsOpensTheSheetPicked) {
  // A sheet named "1" must open itself, not the first sheet by number.
  WriteWorkbook(Path("three.xlsx"), {"Data", "Notes", "1"});
  WriteWorkbook(Path("one.xlsx"), {"Only"});
  struct TCase {
    const char* what;
    std::function<void(QDialog*, QListWidget*)> act;
    const char* opened;  // the first column's name after, nullptr: nothing opened
  };
  const auto okButton = [](QDialog* d) {
    return d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
  };
  const auto cancelButton = [](QDialog* d) {
    return d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
  };
  const TCase cases[] = {
      {"Return on the first sheet",
       [](QDialog*, QListWidget* l) { QTest::keyClick(l, Qt::Key_Return); }, "FromData"},
      {"Down, then OK",
       [&](QDialog* d, QListWidget* l) {
         QTest::keyClick(l, Qt::Key_Down);
         QTest::mouseClick(okButton(d), Qt::LeftButton);
       },
       "FromNotes"},
      {"a double click on the third",
       [](QDialog*, QListWidget* l) {
         const QRect r = l->visualItemRect(l->item(2));
         QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, r.center());
         QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, r.center());
       },
       "From1"},
      {"Escape", [](QDialog*, QListWidget* l) { QTest::keyClick(l, Qt::Key_Escape); }, nullptr},
      {"Cancel",
       [&](QDialog* d, QListWidget*) { QTest::mouseClick(cancelButton(d), Qt::LeftButton); },
       nullptr},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    PasteABC();
    messages.Answer = QMessageBox::No;  // the pasted data set is not kept
    QStringList listed;
    QString title;
    WhenDialog(QStringLiteral("OpenSheetDialog"), [&](QDialog* d) {
      auto* list = d->findChild<QListWidget*>(QStringLiteral("SheetList"));
      ASSERT_NE(list, nullptr);
      title = d->windowTitle();
      for (int i = 0; i < list->count(); ++i) listed << list->item(i)->text();
      EXPECT_EQ(list->currentRow(), 0);
      c.act(d, list);
    });
    openName = Path("three.xlsx");
    const bool opened = form->OpenClick();
    StopPolls();
    EXPECT_TRUE(dialogShown);
    EXPECT_EQ(title, QStringLiteral("Open Sheet"));
    EXPECT_EQ(listed,
              (QStringList{QStringLiteral("Data"), QStringLiteral("Notes"), QStringLiteral("1")}));
    EXPECT_EQ(opened, c.opened != nullptr);
    if (c.opened) {
      EXPECT_EQ(DataList().ColumnName(1), c.opened);
      EXPECT_EQ(form->DataFilename(), openName);
      EXPECT_FALSE(form->FileModified());
      EXPECT_EQ(messages.Texts, QStringList{QStringLiteral("File Not Saved.  Save?")});
    } else {
      // Cancel comes before the save question: the pasted data set is untouched.
      EXPECT_EQ(DataList().ColumnName(1), "A");
      EXPECT_EQ(Cell(3, 2), "6");
      EXPECT_TRUE(form->FileModified());
      EXPECT_TRUE(messages.Texts.isEmpty()) << messages.Texts.join(QLatin1Char('|')).toStdString();
    }
    form->SetFileModified(false);
    ASSERT_TRUE(form->New());
  }

  // One sheet: no list, it opens at once.
  WhenDialog(QStringLiteral("OpenSheetDialog"), [](QDialog* d) { d->reject(); });
  openName = Path("one.xlsx");
  EXPECT_TRUE(form->OpenClick());
  QTest::qWait(20);
  StopPolls();
  EXPECT_FALSE(dialogShown);
  EXPECT_EQ(DataList().ColumnName(1), "FromOnly");
  EXPECT_EQ(Cell(1, 1), "1");
}

TEST_F(DataFormTest, SavingAWorkbooksDataSetProposesASorvelFileBesideIt) {
  WriteWorkbook(Path("book.xlsx"), {"Only"});
  const QByteArray workbook = [&] {
    QFile f(Path("book.xlsx"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }();
  ASSERT_FALSE(workbook.isEmpty());
  auto workbookKept = [&] {
    QFile f(Path("book.xlsx"));
    return f.open(QIODevice::ReadOnly) && f.readAll() == workbook;
  };
  ASSERT_TRUE(form->FileToDataGrid(Path("book.xlsx")));
  form->DataModel->setData(form->DataModel->index(0, 0), QStringLiteral("7"), Qt::EditRole);
  ASSERT_TRUE(form->FileModified());

  // The workbook's own name typed into Save As is refused; nothing is written.
  QStringList proposed;
  form->AskSaveName = [&](const QString& start) {
    proposed << start;
    return Path("book.xlsx");
  };
  EXPECT_FALSE(form->Save1Click());
  ASSERT_EQ(messages.Texts.size(), 1);
  EXPECT_TRUE(messages.Texts[0].startsWith(QStringLiteral("Error Writing File")))
      << messages.Texts[0].toStdString();
  EXPECT_TRUE(workbookKept());
  EXPECT_TRUE(form->FileModified());
  EXPECT_EQ(form->DataFilename(), Path("book.xlsx"));
  messages.Texts.clear();

  // Save goes through the editor's Save As dialog, which offers book.sorvel in the same folder.
  QString offeredName, offeredFolder;
  form->AskSaveName = fileDialogSaveName;
  WhenDialog({}, [&](QDialog* d) {
    auto* fd = qobject_cast<QFileDialog*>(d);
    ASSERT_NE(fd, nullptr);
    offeredFolder = fd->directory().absolutePath();
    auto* name = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    offeredName = name->text();
    // Another name (the workbook's) would stop on the dialog's overwrite question.
    if (offeredName == QStringLiteral("book.sorvel")) {
      QTest::keyClick(name, Qt::Key_Return);
    } else {
      fd->reject();
    }
  });
  EXPECT_TRUE(form->Save1Click());
  StopPolls();
  EXPECT_TRUE(dialogShown);
  EXPECT_EQ(offeredName, QStringLiteral("book.sorvel"));
  EXPECT_EQ(offeredFolder, QDir(dir.path()).absolutePath());
  EXPECT_TRUE(messages.Texts.isEmpty()) << messages.Texts.join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(workbookKept());
  EXPECT_EQ(form->DataFilename(), Path("book.sorvel"));
  EXPECT_FALSE(form->FileModified());
  QFile saved(Path("book.sorvel"));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll(), QByteArray("FromOnly\r\n7\r\n"));

  // The save question before New proposes the same name; the first proposal was book.sorvel too.
  ASSERT_TRUE(form->FileToDataGrid(Path("book.xlsx")));
  form->DataModel->setData(form->DataModel->index(0, 0), QStringLiteral("8"), Qt::EditRole);
  messages.Answer = QMessageBox::Yes;
  form->AskSaveName = [&](const QString& start) {
    proposed << start;
    return QString();  // the dialog cancelled
  };
  EXPECT_FALSE(form->New());
  EXPECT_EQ(proposed, (QStringList{Path("book.sorvel"), Path("book.sorvel")}));
  EXPECT_TRUE(workbookKept());
}

}  // namespace
