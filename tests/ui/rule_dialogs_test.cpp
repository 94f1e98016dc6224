// The data editor's "Missing Values" and "Process If..." dialogs under the offscreen
// platform, filled in with keys and clicks as a user does; the rules they leave, the
// status panels and the cell colours.
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "editor/data_form.h"
#include "editor/missing_form.h"
#include "editor/process_if_form.h"
#include "editor/register.h"
#include "numerics/settings_store.h"
#include "shell/forms/main_form.h"
#include "ui/data_editor_hooks.h"
#include "ui/messages.h"
#include "ui/shell_services.h"
#include "ui/window_registry.h"

using namespace sorvel;

namespace {

const QColor Aqua(0, 255, 255);
const QColor Blue(Qt::blue);
const QColor White(Qt::white);

class RuleDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSettingsStore(&store);
    SetMessageRecorder(&messages);
    ResetDataState();
    form = std::make_unique<TDataForm>();
    form->show();
    // Line, Shift, Value for four cases, pasted as a user does.
    messages.Answer = QMessageBox::Yes;
    QApplication::clipboard()->setText(
        QStringLiteral("Line\tShift\tValue\r\n1\t1\t5\r\n2\t2\t-99\r\n3\t1\t-100\r\n2\t1\t0\r\n"));
    form->DataGrid->SetCurrentCell(1, 1);
    form->DataGrid->SelectBlock({1, 1, 1, 1});
    form->PasteClick();
    messages.Answer = 0;
    messages.Texts.clear();
  }
  void TearDown() override {
    form.reset();
    SetMessageRecorder(nullptr);
    ResetDataState();
    SetSettingsStore(nullptr);
  }

  // Runs `command`; while its modal dialog is open, `fill` acts on it as the user.
  template <class Dialog>
  void WithDialog(const std::function<void()>& command, const std::function<void(Dialog*)>& fill) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      if (d) {
        seen = true;
        fill(d);
      }
      if (QApplication::activeModalWidget())
        QApplication::activeModalWidget()->close();  // a stuck dialog
    });
    command();
    EXPECT_TRUE(seen) << "the dialog did not open";
  }
  void OpenMissing(const std::function<void(TMissingForm*)>& fill) {
    WithDialog<TMissingForm>([this] { form->Action("MissingValues1")->trigger(); }, fill);
  }
  void OpenProcessIf(const std::function<void(TProcessIfForm*)>& fill) {
    WithDialog<TProcessIfForm>([this] { form->Action("ProcessIf1")->trigger(); }, fill);
  }
  QColor Colour(int c, int r) const {
    return form->DataModel->data(form->DataModel->index(r - 1, c - 1), Qt::BackgroundRole)
        .value<QColor>();
  }
  static void Retype(QLineEdit* box, const QString& text) {
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
  }
  // Chooses a relation with the arrow keys, as the keyboard does.
  static void ChooseRelation(QComboBox* box, const QString& item) {
    const int index = box->findText(item);
    ASSERT_GE(index, 0) << item.toStdString();
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(box, Qt::Key_Down);
  }
  static void PickColumn(TProcessIfForm* d, int i, int row) {
    QListWidget* list = d->VarList;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
    QTest::mouseClick(d->Select[i], Qt::LeftButton);
  }

  MemorySettingsStore store;
  TMessageLog messages;
  std::unique_ptr<TDataForm> form;
};

TEST_F(RuleDialogTest, MissingValuesOkSetsTheRulePanelAndBlueCells) {
  EXPECT_TRUE(form->Action("MissingValues1")->isEnabled());
  struct Case {
    const char* name;
    int sign1;
    const char* typed1;
    int sign2;
    const char* typed2;
    bool active;
    const char* panel;
    std::vector<int> blueRows;  // in column Value (5, -99, -100, 0)
  };
  const Case cases[] = {
      {"two conditions",
       RelLessEqual,
       "-99",
       RelEqual,
       "0",
       true,
       "Missing: X <= -99, or X = 0",
       {2, 3, 4}},
      {"second only", RelNone, "", RelLess, "-99", true, "Missing: X < -99", {3}},
      {"letters are refused while typing",
       RelEqual,
       "5x",
       RelNone,
       "",
       true,
       "Missing: X = 5",
       {1}},
      {"a lone minus does not parse: dropped", RelEqual, "-", RelNone, "", true, "Missing Off", {}},
      {"no relation: off", RelNone, "", RelNone, "", false, "Missing Off", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenMissing([&](TMissingForm* d) {
      EXPECT_EQ(d->windowTitle(), QStringLiteral("Missing Values"));
      const int signs[2] = {c.sign1, c.sign2};
      const char* typed[2] = {c.typed1, c.typed2};
      for (int i = 0; i < 2; ++i) {
        QTest::mouseClick(d->Relation[i]->button(signs[i]), Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(d->Value[i]->isVisibleTo(d), signs[i] != RelNone);
        if (signs[i] != RelNone) Retype(d->Value[i], QString::fromLatin1(typed[i]));
      }
      QTest::mouseClick(d->Button_OK, Qt::LeftButton);
    });
    EXPECT_EQ(MissingRec.Active, c.active);
    EXPECT_EQ(form->StatusPanels[1]->text(), QString::fromLatin1(c.panel));
    for (int r = 1; r <= 4; ++r) {
      const bool blue = std::find(c.blueRows.begin(), c.blueRows.end(), r) != c.blueRows.end();
      EXPECT_EQ(Colour(3, r), blue ? Blue : White) << "row " << r;
    }
  }
  // A chosen condition's record as the loads read it.
  OpenMissing([&](TMissingForm* d) {
    QTest::mouseClick(d->Relation[0]->button(RelGreaterEqual), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(d->SignLabel[0]->text(), QStringLiteral(">="));
    Retype(d->Value[0], QStringLiteral("1e3"));
    QTest::mouseClick(d->Button_OK, Qt::LeftButton);
  });
  EXPECT_EQ(MissingRec.Sign1, RelGreaterEqual);
  EXPECT_EQ(MissingRec.X1, 1000.0);
  EXPECT_EQ(MissingRec.Xstr1, "1e3");
  EXPECT_EQ(MissingRec.Sign2, RelNone);
}

TEST_F(RuleDialogTest, MissingValuesShowsTheLiveRuleAndCancelKeepsIt) {
  ApplyMissingChoice({RelLessEqual, RelEqual, "-99", "0"});
  OpenMissing([](TMissingForm* d) {
    EXPECT_EQ(d->Relation[0]->checkedId(), RelLessEqual);
    EXPECT_EQ(d->Value[0]->text(), QStringLiteral("-99"));
    EXPECT_EQ(d->Relation[1]->checkedId(), RelEqual);
    EXPECT_EQ(d->SignLabel[1]->text(), QStringLiteral("="));
    QTest::mouseClick(d->Relation[0]->button(RelNone), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(d->Button_Cancel, Qt::LeftButton);
  });
  EXPECT_TRUE(MissingRec.Active);
  EXPECT_EQ(MissingRec.Sign1, RelLessEqual);
}

TEST_F(RuleDialogTest, ProcessIfOkSetsTheRulePanelAndAquaRows) {
  EXPECT_TRUE(form->Action("ProcessIf1")->isEnabled());
  const std::int32_t changes = DataChangeCount;
  OpenProcessIf([](TProcessIfForm* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Process If..."));
    EXPECT_EQ(d->VarList->currentRow(), 0);     // the first column is selected
    EXPECT_FALSE(d->Value[0]->isVisibleTo(d));  // "All"
    PickColumn(d, 0, 0);
    EXPECT_EQ(d->ColumnBox[0]->text(), QStringLiteral("Line"));
    EXPECT_EQ(d->Select[0]->text(), QStringLiteral("<"));
    ChooseRelation(d->Relation[0], QStringLiteral("in"));
    EXPECT_EQ(d->Relation[0]->currentText(), QStringLiteral("in"));
    EXPECT_TRUE(d->Value[0]->isVisibleTo(d));
    Retype(d->Value[0], QStringLiteral("1,3"));
    QTest::mouseClick(d->Button_Or, Qt::LeftButton, {}, QPoint(5, 5));
    PickColumn(d, 1, 1);
    ChooseRelation(d->Relation[1], QStringLiteral("="));
    Retype(d->Value[1], QStringLiteral("2"));
    QTest::mouseClick(d->Button_OK, Qt::LeftButton);
  });
  EXPECT_TRUE(ProcessIfRec.Active);
  EXPECT_EQ(ProcessIfRec.PiIndex1, 1);
  EXPECT_EQ(ProcessIfRec.Sign1, RelIn);
  EXPECT_EQ(ProcessIfRec.LA1count, 2);
  EXPECT_EQ(ProcessIfRec.XV1, "[1,3]");
  EXPECT_EQ(ProcessIfRec.PiIndex2, 2);
  EXPECT_EQ(ProcessIfRec.Sign2, RelEqual);
  EXPECT_EQ(ProcessIfRec.X2, 2.0);
  EXPECT_EQ(ProcessIfRec.AndOr, ProcessIfOr);
  EXPECT_EQ(form->StatusPanels[3]->text(),
            QStringLiteral("Process If: Line in [1,3] or Shift = 2"));
  EXPECT_GT(DataChangeCount, changes);
  // Rows (Line, Shift): (1,1) (2,2) (3,1) pass; (2,1) is excluded in every column.
  for (int c = 1; c <= 3; ++c) {
    EXPECT_EQ(Colour(c, 1), White);
    EXPECT_EQ(Colour(c, 2), White);
    EXPECT_EQ(Colour(c, 3), White);
    EXPECT_EQ(Colour(c, 4), Aqua);
  }

  // Reopened, the dialog shows the live record, the list without its brackets; Reset and
  // OK switch Process If off.
  OpenProcessIf([](TProcessIfForm* d) {
    EXPECT_EQ(d->ColumnBox[0]->text(), QStringLiteral("Line"));
    EXPECT_EQ(d->Relation[0]->currentText(), QStringLiteral("in"));
    EXPECT_EQ(d->Value[0]->text(), QStringLiteral("1,3"));
    EXPECT_TRUE(d->Button_Or->isChecked());
    QTest::mouseClick(d->Button_Reset, Qt::LeftButton);
    for (int i = 0; i < 2; ++i) {
      EXPECT_TRUE(d->ColumnBox[i]->text().isEmpty());
      EXPECT_EQ(d->Select[i]->text(), QStringLiteral(">"));
      EXPECT_EQ(d->Relation[i]->currentText(), QStringLiteral("All"));
      EXPECT_FALSE(d->Value[i]->isVisibleTo(d));
    }
    EXPECT_TRUE(d->Button_And->isChecked());
    QTest::mouseClick(d->Button_OK, Qt::LeftButton);
  });
  EXPECT_FALSE(ProcessIfRec.Active);
  EXPECT_EQ(form->StatusPanels[3]->text(), QStringLiteral("Process If Off"));
  EXPECT_EQ(Colour(1, 4), White);
}

TEST_F(RuleDialogTest, ProcessIfConditionsLackingAColumnOrRelationSwitchItOff) {
  struct Case {
    const char* name;
    bool pickColumn;
    const char* relation;
  };
  const Case cases[] = {{"relation without a column", false, ">"},
                        {"column with All", true, "All"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ApplyProcessIfChoice({1, 0, RelEqual, RelAll, "2", "0", ProcessIfAnd}, DataList());
    OpenProcessIf([&](TProcessIfForm* d) {
      QTest::mouseClick(d->Button_Reset, Qt::LeftButton);
      for (int i = 0; i < 2; ++i) {
        if (c.pickColumn) PickColumn(d, i, i);
        ChooseRelation(d->Relation[i], QString::fromLatin1(c.relation));
      }
      QTest::mouseClick(d->Button_OK, Qt::LeftButton);
    });
    EXPECT_FALSE(ProcessIfRec.Active);
    EXPECT_EQ(form->StatusPanels[3]->text(), QStringLiteral("Process If Off"));
  }
}

TEST_F(RuleDialogTest, ProcessIfButtonsAndKeys) {
  OpenProcessIf([this](TProcessIfForm* d) {
    // ">" with nothing selected only beeps.
    d->VarList->clearSelection();
    int beeps = messages.Beeps;
    QTest::mouseClick(d->Select[0], Qt::LeftButton);
    EXPECT_EQ(messages.Beeps, beeps + 1);
    EXPECT_TRUE(d->ColumnBox[0]->text().isEmpty());
    EXPECT_EQ(d->Select[0]->text(), QStringLiteral(">"));
    // "<" clears the box again.
    PickColumn(d, 0, 2);
    EXPECT_EQ(d->ColumnBox[0]->text(), QStringLiteral("Value"));
    QTest::mouseClick(d->Select[0], Qt::LeftButton);
    EXPECT_TRUE(d->ColumnBox[0]->text().isEmpty());

    // Up to "<>" a number is typed: other keys beep and are dropped. For "in" they beep
    // but are entered.
    struct Keys {
      const char* relation;
      const char* typed;
      const char* shown;
      int beeps;
    };
    const Keys keys[] = {{"=", "1x2", "12", 1},
                         {"<>", "-2.5", "-2.5", 0},
                         {"in", "1, 2.5", "1, 2.5", 0},
                         {"Not in", "1;x", "1;x", 2}};
    for (const Keys& k : keys) {
      SCOPED_TRACE(k.relation);
      ChooseRelation(d->Relation[1], QString::fromLatin1(k.relation));
      beeps = messages.Beeps;
      Retype(d->Value[1], QString::fromLatin1(k.typed));
      EXPECT_EQ(d->Value[1]->text(), QString::fromLatin1(k.shown));
      EXPECT_EQ(messages.Beeps, beeps + k.beeps);
    }
    QTest::mouseClick(d->Button_Cancel, Qt::LeftButton);
  });
  EXPECT_FALSE(ProcessIfRec.Active);
}

TEST_F(RuleDialogTest, ProcessIfBlankCommasAskOnceAndSelectMissingCells) {
  RegisterDataForms();  // the question goes to a message box
  DataList().SetCellText(3, 1, "");
  form->DataModel->Refresh();
  messages.Answer = QMessageBox::Yes;
  for (int round = 0; round < 2; ++round) {
    OpenProcessIf([](TProcessIfForm* d) {
      QTest::mouseClick(d->Button_Reset, Qt::LeftButton);
      PickColumn(d, 0, 2);
      ChooseRelation(d->Relation[0], QStringLiteral("in"));
      Retype(d->Value[0], QStringLiteral("0,,-99"));
      QTest::mouseClick(d->Button_OK, Qt::LeftButton);
    });
  }
  EXPECT_EQ(messages.Texts.count(QString::fromLatin1(BlankCommasQuestion)), 1);
  EXPECT_EQ(ProcessIfRec.LA1count, 3);
  EXPECT_EQ(form->StatusPanels[3]->text(), QStringLiteral("Process If: Value in [0,,-99]"));
  // Value: empty, -99, -100, 0 -> rows 1, 2 and 4 pass.
  EXPECT_EQ(Colour(1, 1), White);
  EXPECT_EQ(Colour(1, 2), White);
  EXPECT_EQ(Colour(1, 3), Aqua);
  EXPECT_EQ(Colour(1, 4), White);
  ResetForms();
  DataEditorHooks() = TDataEditorHooks{};
}

TEST_F(RuleDialogTest, F8OnTheMainWindowOpensProcessIf) {
  form.reset();
  RegisterDataForms();
  {
    TSorvelStatsMainForm main(QStringLiteral("Sorvelstats"));
    SetMainForm(&main);
    main.UpdateCommandStates();
    EXPECT_TRUE(main.CommandAction("process-if")->isEnabled());
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    WithDialog<TProcessIfForm>(
        [&] { QTest::keyClick(&main, Qt::Key_F8); },
        [](TProcessIfForm* d) { QTest::mouseClick(d->Button_Cancel, Qt::LeftButton); });
    ResetForms();
    SetMainForm(nullptr);
  }
  DataEditorHooks() = TDataEditorHooks{};
}

}  // namespace
