// The column pickers every window shares, and the data editor's Transform, Generate Run
// Numbers, Auto Recode and Weight Cases dialogs, driven with clicks and keys as a user
// does under the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "editor/add_variables_form.h"
#include "editor/column_selection_form.h"
#include "editor/data_form.h"
#include "editor/transform_form.h"
#include "editor/weight_cases_form.h"
#include "numerics/settings_store.h"
#include "ui/messages.h"
#include "ui/variable_lists.h"

using namespace sorvel;

namespace {

// ---------------------------------------------------------------- pickers

TEST(VariableLists, SelectionAfterAMove) {
  struct Case {
    int first, remaining, expected;
  } cases[] = {
      {0, 3, 0},   // the first item moved: the next one takes its place
      {2, 2, 1},   // the last item moved: the new last one
      {5, 2, 1},   // several moved from the end
      {-1, 4, 0},  // nothing was selected
      {0, 0, -1},  // the list is empty now
  };
  for (const Case& c : cases)
    EXPECT_EQ(IndexAfterMove(c.first, c.remaining), c.expected) << c.first << "/" << c.remaining;
}

TEST(VariableLists, ItemsCarryTheirColumnAndSortInColumnOrder) {
  QListWidget list;
  SetupVariableList(&list);
  // Added out of order, with names that sort the other way.
  AddVariableItem(&list, 25, "Alpha");
  AddVariableItem(&list, 1, "Zulu");
  AddVariableItem(&list, 512, "Mid");
  AddVariableItem(&list, 24, "Beta");
  EXPECT_EQ(ListColumns(&list), (std::vector<int>{1, 24, 25, 512}));
  EXPECT_EQ(list.item(0)->text(), QStringLiteral("ABZulu"));
  EXPECT_EQ(ItemName(list.item(2)), QStringLiteral("Alpha"));
  EXPECT_EQ(list.item(3)->text(), QStringLiteral("UMMid"));
}

class PickerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageRecorder(&messages);
    ResetDataState();
    TDataList& list = DataList();
    list.SetColCount(4);
    const char* names[] = {"Line", "Shift", "Weight", "Value"};
    for (int c = 1; c <= 4; ++c) list.SetCellText(c, 0, names[c - 1]);
    picker = std::make_unique<TDualListPicker>(QStringLiteral("Selected Variables"));
    picker->Fill(list);
    picker->show();
    picker->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(picker.get()));
  }
  void TearDown() override {
    picker.reset();
    ResetDataState();
    SetMessageRecorder(nullptr);
  }
  static QStringList Names(const QListWidget* l) {
    QStringList n;
    for (int i = 0; i < l->count(); ++i) n << ItemName(l->item(i));
    return n;
  }
  static QStringList Selected(const QListWidget* l) {
    QStringList n;
    for (int i = 0; i < l->count(); ++i)
      if (l->item(i)->isSelected()) n << ItemName(l->item(i));
    return n;
  }
  void Click(QListWidget* l, int row, Qt::KeyboardModifiers mods = {}) {
    QTest::mouseClick(l->viewport(), Qt::LeftButton, mods,
                      l->visualItemRect(l->item(row)).center());
  }
  TMessageLog messages;
  std::unique_ptr<TDualListPicker> picker;
};

TEST_F(PickerTest, MovesKeepColumnOrderAndSelectWhereTheItemsWere) {
  QSignalSpy moved(picker.get(), &TDualListPicker::Moved);
  EXPECT_EQ(Names(picker->Source), QStringList({"Line", "Shift", "Weight", "Value"}));
  EXPECT_FALSE(picker->ExcludeBtn->isEnabled());
  EXPECT_FALSE(picker->ExcAllBtn->isEnabled());

  // The last item moved: the new last item is selected.
  Click(picker->Source, 3);
  QTest::mouseClick(picker->IncludeBtn, Qt::LeftButton);
  EXPECT_EQ(Names(picker->Target), QStringList({"Value"}));
  EXPECT_EQ(Selected(picker->Source), QStringList({"Weight"}));
  EXPECT_TRUE(picker->Source->hasFocus());
  EXPECT_TRUE(picker->ExcludeBtn->isEnabled());

  // Two items (ctrl-click), the first of them at index 0: Shift (now first) is selected.
  Click(picker->Source, 0);
  Click(picker->Source, 2, Qt::ControlModifier);
  QTest::mouseClick(picker->IncludeBtn, Qt::LeftButton);
  EXPECT_EQ(Names(picker->Target), QStringList({"Line", "Weight", "Value"}));
  EXPECT_EQ(Names(picker->Source), QStringList({"Shift"}));
  EXPECT_EQ(Selected(picker->Source), QStringList({"Shift"}));
  EXPECT_EQ(picker->SelectedColumns(), (std::vector<int>{1, 3, 4}));

  // Back again: the item goes into its place by column.
  Click(picker->Target, 1);
  QTest::mouseClick(picker->ExcludeBtn, Qt::LeftButton);
  EXPECT_EQ(Names(picker->Source), QStringList({"Shift", "Weight"}));
  EXPECT_EQ(Selected(picker->Target), QStringList({"Value"}));

  // ">>" empties the source (its buttons off) and selects the target's first item.
  QTest::mouseClick(picker->IncAllBtn, Qt::LeftButton);
  EXPECT_EQ(picker->Source->count(), 0);
  EXPECT_FALSE(picker->IncludeBtn->isEnabled());
  EXPECT_FALSE(picker->IncAllBtn->isEnabled());
  EXPECT_EQ(Selected(picker->Target), QStringList({"Line"}));
  QTest::mouseClick(picker->ExcAllBtn, Qt::LeftButton);
  EXPECT_EQ(Names(picker->Source), QStringList({"Line", "Shift", "Weight", "Value"}));
  EXPECT_EQ(Selected(picker->Source), QStringList({"Line"}));
  EXPECT_EQ(moved.count(), 5);

  // A double-click moves the item too.
  Click(picker->Source, 1);
  QTest::mouseDClick(picker->Source->viewport(), Qt::LeftButton, {},
                     picker->Source->visualItemRect(picker->Source->item(1)).center());
  EXPECT_EQ(Names(picker->Target), QStringList({"Shift"}));
}

TEST_F(PickerTest, RefilledOnlyWhenTheColumnsChanged) {
  Click(picker->Source, 0);
  QTest::mouseClick(picker->IncludeBtn, Qt::LeftButton);
  EXPECT_FALSE(picker->RefillIfChanged(DataList()));
  EXPECT_EQ(picker->Target->count(), 1);
  DataList().SetCellText(2, 0, "Crew");
  ++ColumnsChangeCount;
  EXPECT_TRUE(picker->RefillIfChanged(DataList()));
  EXPECT_EQ(picker->Target->count(), 0);
  EXPECT_EQ(Names(picker->Source), QStringList({"Line", "Crew", "Weight", "Value"}));
}

TEST_F(PickerTest, SingleVariablePickerTakesOneColumnAndPutsItBack) {
  QListWidget list;
  SetupVariableList(&list, false);
  FillVariableList(&list, DataList());
  TSingleVarPicker single(&list);
  single.show();
  list.show();
  list.clearSelection();
  QTest::mouseClick(single.SelectBtn, Qt::LeftButton);
  EXPECT_EQ(messages.Beeps, 1);
  EXPECT_EQ(single.Column(), 0);
  EXPECT_EQ(single.SelectBtn->text(), QStringLiteral(">"));

  QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                    list.visualItemRect(list.item(2)).center());
  QTest::mouseClick(single.SelectBtn, Qt::LeftButton);
  EXPECT_EQ(single.Column(), 3);
  EXPECT_EQ(single.Box->text(), QStringLiteral("Weight"));
  EXPECT_EQ(single.SelectBtn->text(), QStringLiteral("<"));
  EXPECT_EQ(Names(&list), QStringList({"Line", "Shift", "Value"}));
  QTest::mouseClick(single.SelectBtn, Qt::LeftButton);
  EXPECT_EQ(single.Column(), 0);
  EXPECT_TRUE(single.Box->text().isEmpty());
  EXPECT_EQ(Names(&list), QStringList({"Line", "Shift", "Weight", "Value"}));
}

// ---------------------------------------------------------------- dialogs

class DataDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSettingsStore(&store);
    SetMessageRecorder(&messages);
    ResetDataState();
    SetDataMessageHandler([this](const std::string& text) { dataMessages.push_back(text); });
    form = std::make_unique<TDataForm>();
    form->show();
  }
  void TearDown() override {
    form.reset();
    SetMessageRecorder(nullptr);
    ResetDataState();
    SetSettingsStore(nullptr);
  }
  // Opens `text` as a data file, as the Open command does.
  void Load(const char* text) {
    const QString path = dir.filePath(QStringLiteral("data.sorvel"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
    f.close();
    ASSERT_TRUE(form->FileToDataGrid(path));
  }
  // Runs the menu command `action`; while its modal dialog is open, `fill` acts on it.
  template <class Dialog>
  void WithDialog(const char* action, const std::function<void(Dialog*)>& fill) {
    Run<Dialog>([&] { form->Action(action)->trigger(); }, fill);
  }
  template <class Dialog>
  void Run(const std::function<void()>& command, const std::function<void(Dialog*)>& fill) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      if (d) {
        seen = true;
        d->activateWindow();  // shortcuts reach the active window only
        EXPECT_TRUE(QTest::qWaitForWindowActive(d));
        fill(d);
      }
      if (QApplication::activeModalWidget())
        QApplication::activeModalWidget()->close();  // a stuck dialog
    });
    command();
    EXPECT_TRUE(seen) << "the dialog did not open";
  }
  static void Retype(QLineEdit* box, const QString& text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
  }
  static void Choose(QListWidget* l, int row) {
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(row)).center());
  }
  // The values a column load delivers (Process If, missing rule, transformation applied).
  static std::vector<double> Loaded(int column) {
    TRunInfo ri;
    ri.ColRefRun = LoadColumn;
    DataList().IncludeCol[column] = true;
    DataList().DataToA_Array(column, ri);
    return {A_Array.begin() + 1, A_Array.begin() + 1 + A_ArrayCount};
  }
  static std::string Cell(int c, int r) { return std::string(DataList().DataGrid.Cell(c, r)); }

  QTemporaryDir dir;
  MemorySettingsStore store;
  TMessageLog messages;
  std::vector<std::string> dataMessages;
  std::unique_ptr<TDataForm> form;
};

TEST_F(DataDialogTest, DataMenuCommandsOfBuiltDialogsAreEnabled) {
  for (const char* name :
       {"MissingValues1", "ProcessIf1", "Transform1", "RunNumbers1", "AutoRecode1", "WeightCases1"})
    EXPECT_TRUE(form->Action(name)->isEnabled()) << name;
}

TEST_F(DataDialogTest, TransformChoiceChangesWhatALoadDelivers) {
  Load("X\r\n4\r\n1\r\n9\r\n");
  WithDialog<TTransformForm>("Transform1", [](TTransformForm* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Transform"));
    EXPECT_EQ(d->FormulaLabel->text(), QStringLiteral("Transform: None"));
    EXPECT_FALSE(d->ConstantsGroup->isEnabled());
    EXPECT_FALSE(d->NormalFirst->isEnabled());
    QTest::mouseClick(d->Transforms->button(TransformLinear), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(d->ConstantsGroup->isEnabled());
    EXPECT_FALSE(d->EditC->isVisibleTo(d));  // C only for POWER1, POWER2, INV, Chi-Square
    Retype(d->EditA, QStringLiteral("2"));
    Retype(d->EditB, QStringLiteral("-3"));
    EXPECT_EQ(d->FormulaLabel->text(), QStringLiteral("Transform: 2X -3"));
    Retype(d->EditB, QStringLiteral("5"));
    EXPECT_EQ(d->FormulaLabel->text(), QStringLiteral("Transform: 2X + 5"));
    QTest::mouseClick(d->Button_OK, Qt::LeftButton);
  });
  EXPECT_EQ(form->StatusPanels[2]->text(), QStringLiteral("Transform: 2X + 5"));
  EXPECT_EQ(Loaded(1), (std::vector<double>{13, 7, 23}));

  // Cancel puts back what the dialog opened with, whatever was clicked meanwhile.
  WithDialog<TTransformForm>("Transform1", [](TTransformForm* d) {
    EXPECT_EQ(d->Transforms->checkedId(), TransformLinear);
    EXPECT_EQ(d->EditA->text(), QStringLiteral("2"));
    QTest::mouseClick(d->Transforms->button(TransformLog), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(d->Button_Cancel, Qt::LeftButton);
  });
  EXPECT_EQ(TransformRec.no, TransformLinear);
  EXPECT_EQ(Loaded(1), (std::vector<double>{13, 7, 23}));

  // LOG of 4, 1, 9 with A 1, B 0 (R: log(c(4, 1, 9))).
  WithDialog<TTransformForm>("Transform1", [](TTransformForm* d) {
    QTest::mouseClick(d->Transforms->button(TransformLog), Qt::LeftButton, {}, QPoint(5, 5));
    Retype(d->EditA, QStringLiteral("1"));
    Retype(d->EditB, QStringLiteral("0"));
    EXPECT_EQ(d->FormulaLabel->text(), QStringLiteral("Transform: LN(X)"));
    QTest::keyClick(d, Qt::Key_Return);  // OK is the default button
  });
  const std::vector<double> logs = Loaded(1);
  ASSERT_EQ(logs.size(), 3u);
  EXPECT_NEAR(logs[0], 1.386294361119891, 1e-14);
  EXPECT_EQ(logs[1], 0.0);
  EXPECT_NEAR(logs[2], 2.197224577336219, 1e-14);
}

TEST_F(DataDialogTest, TransformOkNeedsTheConstantsItsFormulaUses) {
  Load("X\r\n4\r\n");
  WithDialog<TTransformForm>("Transform1", [](TTransformForm* d) {
    struct Case {
      int no;
      const char* a;
      const char* b;
      const char* c;
      bool ok;
    } cases[] = {
        {TransformPower2, "1", "0", "0", false},  // (AX + B)^(1/0): no exponent
        {TransformPower2, "1", "0", "2", true},  {TransformPower2, "1", "0", "0.0", false},
        {TransformPower1, "1", "0", "", false},  // an empty box
        {TransformPower1, "1", "0", "0", true},  {TransformInv, "", "1", "2", false},
        {TransformLog, "", "", "", true},  // boxes A and B are read at OK
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(TransformCaption(c.no));
      QTest::mouseClick(d->Transforms->button(c.no), Qt::LeftButton, {}, QPoint(5, 5));
      EXPECT_EQ(d->EditC->isVisibleTo(d), TransformUsesC(c.no));
      Retype(d->EditA, QString::fromLatin1(c.a));
      Retype(d->EditB, QString::fromLatin1(c.b));
      Retype(d->EditC, QString::fromLatin1(c.c));
      EXPECT_EQ(d->Button_OK->isEnabled(), c.ok);
    }
    // OK with an empty box that LOG reads is refused with the reason; the dialog stays.
    QTest::mouseClick(d->Button_OK, Qt::LeftButton);
    EXPECT_TRUE(d->isVisible());
    QTest::keyClick(d, Qt::Key_Escape);
  });
  EXPECT_EQ(messages.Texts.size(), 1);
  EXPECT_EQ(TransformRec.no, TransformNone);
}

TEST_F(DataDialogTest, AddTransformedVariableWritesColumnsAndTurnsTheTransformOff) {
  Load("X\tY\r\n4\t1\r\n1\t0\r\n\t9\r\n");
  WithDialog<TTransformForm>("Transform1", [this](TTransformForm* d) {
    QTest::mouseClick(d->Transforms->button(TransformLog), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClick(d, Qt::Key_V, Qt::AltModifier);  // the page "Add Transformed &Variable"
    EXPECT_EQ(d->PageControl->currentIndex(), 1);
    EXPECT_EQ(d->Button_Add->text(), QStringLiteral("&Add"));
    EXPECT_TRUE(d->TurnOff->isChecked());
    for (int row : {0, 1}) d->ColumnList->item(row)->setCheckState(Qt::Checked);
    QTest::mouseClick(d->Button_Add, Qt::LeftButton);
    // Y holds a 0: LN fails for it, X is added.
    EXPECT_EQ(messages.Texts, QStringList({QStringLiteral("Transform Failed for: Y")}));
    EXPECT_EQ(d->Transforms->checkedId(), TransformNone);
    EXPECT_EQ(d->ColumnList->count(), 3);  // f(X) offered now
    EXPECT_FALSE(d->Button_Add->isEnabled());
    QTest::mouseClick(d->Button_Cancel, Qt::LeftButton);
  });
  EXPECT_EQ(TransformRec.no, TransformNone);  // Cancel keeps what Add did
  ASSERT_EQ(DataList().MaxCol(), 3);
  EXPECT_EQ(Cell(3, 0), "f(X)");
  EXPECT_EQ(Cell(3, 1), "1.38629436112");  // ln 4 as the editor writes numbers
  EXPECT_EQ(Cell(3, 2), "0");
  EXPECT_EQ(Cell(3, 3), "");
  EXPECT_EQ(form->DataModel->columnCount(), 3);
  EXPECT_TRUE(form->FileModified());
  EXPECT_EQ(form->StatusPanels[2]->text(), QStringLiteral("Transform Off"));

  // Modify: the column's own cells, rows outside Process If emptied.
  ApplyProcessIfChoice({2, 0, RelGreater, RelAll, "0", "0", ProcessIfAnd}, DataList());
  WithDialog<TTransformForm>("Transform1", [](TTransformForm* d) {
    QTest::mouseClick(d->Transforms->button(TransformLinear), Qt::LeftButton, {}, QPoint(5, 5));
    Retype(d->EditA, QStringLiteral("10"));
    d->PageControl->setCurrentIndex(1);
    QTest::mouseClick(d->Button_Modify, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(d->Button_Add->text(), QStringLiteral("&Modify"));
    QTest::mouseClick(d->TurnOff, Qt::LeftButton, {}, QPoint(5, 5));
    d->ColumnList->item(0)->setCheckState(Qt::Checked);
    QTest::mouseClick(d->Button_Add, Qt::LeftButton);
    QTest::mouseClick(d->Button_OK, Qt::LeftButton);
  });
  EXPECT_EQ(Cell(1, 1), "40");
  EXPECT_EQ(Cell(1, 2), "");  // Y = 0 fails Process If
  EXPECT_EQ(Cell(1, 3), "");
  EXPECT_EQ(TransformRec.no, TransformLinear);  // not turned off
}

TEST_F(DataDialogTest, RunNumbersAndAutoRecodeThroughThePicker) {
  Load("A\tB\r\n1\t1\r\n1\t2\r\n2\t1\r\n1\t1\r\n");
  WithDialog<TAddVariablesForm>("RunNumbers1", [](TAddVariablesForm* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Generate Run Numbers"));
    EXPECT_EQ(d->Picker->TargetLabel->text(), QStringLiteral("Selected Variables"));
    EXPECT_FALSE(d->Button_OK->isEnabled());
    QTest::mouseClick(d->Picker->IncAllBtn, Qt::LeftButton);
    EXPECT_TRUE(d->Button_OK->isEnabled());
    QTest::mouseClick(d->Button_OK, Qt::LeftButton);
  });
  ASSERT_EQ(DataList().MaxCol(), 3);
  EXPECT_EQ(Cell(3, 0), "Run");
  const char* runs[] = {"1", "2", "3", "1"};
  for (int r = 1; r <= 4; ++r) EXPECT_EQ(Cell(3, r), runs[r - 1]) << r;

  WithDialog<TAddVariablesForm>("AutoRecode1", [](TAddVariablesForm* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Auto Recode"));
    EXPECT_EQ(d->Picker->TargetLabel->text(), QStringLiteral("Recoded Variables"));
    EXPECT_EQ(d->Picker->Source->count(), 3);  // Run is offered
    Choose(d->Picker->Source, 1);
    QTest::mouseClick(d->Picker->IncludeBtn, Qt::LeftButton);
    QTest::keyClick(d, Qt::Key_Return);
  });
  ASSERT_EQ(DataList().MaxCol(), 4);
  EXPECT_EQ(Cell(4, 0), "B_R");
  EXPECT_EQ(form->DataModel->columnCount(), 4);
  EXPECT_TRUE(form->FileModified());
}

TEST_F(DataDialogTest, WeightCasesAsksWithTheRealCount) {
  // Weights 1, 3, empty, 0.4: the missing and the small weight keep their case once.
  Load("W\tV\r\n1\t10\r\n3\t20\r\n\t30\r\n0.4\t40\r\n");
  messages.Answer = QMessageBox::No;
  WithDialog<TWeightCasesForm>("WeightCases1", [this](TWeightCasesForm* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Weight Cases"));
    QTest::mouseClick(d->Button_OK, Qt::LeftButton);  // no weight column: nothing
    EXPECT_TRUE(messages.Texts.isEmpty());
    Choose(d->VarList, 0);
    QTest::mouseClick(d->Weight->SelectBtn, Qt::LeftButton);
    EXPECT_EQ(d->Weight->Box->text(), QStringLiteral("W"));
    EXPECT_EQ(d->VarList->count(), 1);
    QTest::mouseClick(d->Button_OK, Qt::LeftButton);  // answered No: the window stays
    EXPECT_TRUE(d->isVisible());
    messages.Answer = QMessageBox::Yes;
    QTest::mouseClick(d->Button_OK, Qt::LeftButton);
  });
  EXPECT_EQ(messages.Texts, QStringList({QStringLiteral("New Row Count = 6, Continue?"),
                                         QStringLiteral("New Row Count = 6, Continue?")}));
  ASSERT_EQ(DataList().Ncount, 6);
  const char* values[] = {"10", "20", "30", "40", "20", "20"};
  for (int r = 1; r <= 6; ++r) EXPECT_EQ(Cell(2, r), values[r - 1]) << r;
  EXPECT_EQ(form->DataModel->rowCount(), 6);
  EXPECT_EQ(form->StatusPanels[4]->text(), QStringLiteral("Cols = 2,  Rows = 6"));
}

TEST_F(DataDialogTest, WeightCasesRefusesACountNoDataSetHolds) {
  Load("W\r\n1e10\r\n2\r\n");
  messages.Answer = QMessageBox::Yes;
  WithDialog<TWeightCasesForm>("WeightCases1", [](TWeightCasesForm* d) {
    Choose(d->VarList, 0);
    QTest::mouseClick(d->Weight->SelectBtn, Qt::LeftButton);
    QTest::mouseClick(d->Button_OK, Qt::LeftButton);
    QTest::mouseClick(d->Button_Cancel, Qt::LeftButton);
  });
  ASSERT_EQ(messages.Texts.size(), 1);
  EXPECT_TRUE(messages.Texts[0].contains(QStringLiteral("more than a data set can hold")))
      << messages.Texts[0].toStdString();
  EXPECT_EQ(DataList().Ncount, 2);
}

// ---------------------------------------------------------------- Variable Selection

TEST_F(DataDialogTest, VariableSelectionForDependentSamplesOffersOnlyColumns) {
  Load("Before\tAfter\tGroup\r\n1\t2\tLow\r\n3\t4\tHigh\r\n");
  TColSel_Form dialog(form.get());
  TRunInfo ri;
  bool ok = false;
  Run<TColSel_Form>([&] { ok = dialog.GetColumns(ColSelTwoDependent, ri); },
                    [](TColSel_Form* d) {
                      EXPECT_EQ(d->windowTitle(), QStringLiteral("Variable Selection"));
                      EXPECT_FALSE(d->ReferencePageShown());
                      EXPECT_EQ(d->PageControl->currentWidget(), d->ColumnsPage);
                      EXPECT_TRUE(d->Group2Box->isVisibleTo(d));
                      EXPECT_TRUE(d->ExcludePairs->isVisibleTo(d));
                      EXPECT_EQ(d->Group1Box->count(), 3);
                      d->Group2Box->setFocus();
                      QTest::keyClick(d->Group2Box, Qt::Key_Down);  // After
                      QTest::mouseClick(d->ExcludePairs, Qt::LeftButton, {}, QPoint(5, 5));
                      EXPECT_TRUE(d->ExcludePairs->isChecked());
                      QTest::keyClick(d, Qt::Key_Return);
                    });
  EXPECT_TRUE(ok);
  EXPECT_EQ(dialog.Sel.SelectedCol1, 1);
  EXPECT_EQ(dialog.Sel.SelectedCol2, 2);
  EXPECT_TRUE(dialog.Sel.ExcludeIncompletePairs);
  EXPECT_EQ(ri.ColRefRun, LoadColumn);

  // One sample: the second group's controls are hidden; Cancel reports no choice.
  Run<TColSel_Form>([&] { ok = dialog.GetColumns(ColSelOneMean, ri); },
                    [](TColSel_Form* d) {
                      EXPECT_TRUE(d->ReferencePageShown());
                      for (QWidget* w : std::initializer_list<QWidget*>{
                               d->Group2Box, d->Group2Label, d->ExcludePairs, d->Level2Box})
                        EXPECT_FALSE(w->isVisibleTo(d));
                      EXPECT_EQ(d->Group1Box->currentIndex(), 0);  // the last choice is kept
                      QTest::keyClick(d, Qt::Key_Escape);
                    });
  EXPECT_FALSE(ok);
}

TEST_F(DataDialogTest, VariableSelectionByReferenceLevels) {
  Load("Group\tValue\r\nLow\t2\r\nHigh\t4\r\nLow\t3\r\n");
  TColSel_Form dialog(form.get());
  TRunInfo ri;
  bool ok = false;
  Run<TColSel_Form>([&] { ok = dialog.GetColumns(ColSelTwoIndependent, ri); },
                    [](TColSel_Form* d) {
                      QTest::keyClick(d, Qt::Key_F, Qt::AltModifier);  // "Define Re&ference"
                      ASSERT_EQ(d->PageControl->currentWidget(), d->ReferencePage);
                      // Choosing the text column Group spans its levels 1..2, named beside the
                      // boxes.
                      d->ReferenceBox->setCurrentIndex(1);
                      d->ReferenceBox->setCurrentIndex(0);
                      EXPECT_EQ(d->Level1Box->text(), QStringLiteral("1"));
                      EXPECT_EQ(d->Level2Box->text(), QStringLiteral("2"));
                      EXPECT_EQ(d->Level1Name->text(), QStringLiteral("Low"));
                      EXPECT_EQ(d->Level2Name->text(), QStringLiteral("High"));
                      d->DataBox->setCurrentIndex(1);
                      // A level is a whole number: letters are refused with a beep.
                      d->Level2Box->setFocus();
                      QTest::keyClick(d->Level2Box, Qt::Key_End);
                      QTest::keyClick(d->Level2Box, Qt::Key_Backspace);
                      QTest::keyClicks(d->Level2Box, QStringLiteral("x1"));
                      EXPECT_EQ(d->Level2Box->text(), QStringLiteral("1"));
                      EXPECT_EQ(d->Level2Name->text(), QStringLiteral("Low"));
                      QTest::keyClick(d->Level2Box, Qt::Key_Backspace);
                      QTest::mouseClick(d->Button_OK,
                                        Qt::LeftButton);  // an empty level box: refused
                      EXPECT_TRUE(d->isVisible());
                      QTest::keyClicks(d->Level2Box, QStringLiteral("2"));
                      QTest::mouseClick(d->Button_OK, Qt::LeftButton);
                    });
  EXPECT_TRUE(ok);
  EXPECT_EQ(messages.Beeps, 2);  // the letter, the refusal
  EXPECT_EQ(ri.ColRefRun, LoadMeasureByLevel);
  EXPECT_EQ(ri.index, 1);
  EXPECT_EQ(ri.measure, 2);
  EXPECT_EQ(dialog.Sel.Reference1, 1);
  EXPECT_EQ(dialog.Sel.Reference2, 2);

  // After the columns changed the choices are back at column 1 on "Define Columns".
  ++ColumnsChangeCount;
  Run<TColSel_Form>([&] { ok = dialog.GetColumns(ColSelTwoIndependent, ri); },
                    [](TColSel_Form* d) {
                      EXPECT_EQ(d->PageControl->currentWidget(), d->ColumnsPage);
                      EXPECT_EQ(d->DataBox->currentIndex(), 0);
                      // "&Data" closes the dialog and opens the editor, which returns here.
                      QTest::mouseClick(d->Button_Data, Qt::LeftButton);
                    });
  EXPECT_TRUE(ok);  // OKClose as it was
  EXPECT_EQ(form->CallingName, QStringLiteral("T/F Tests Form"));
}

}  // namespace
