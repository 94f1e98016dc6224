#include "editor/column_selection_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "data/data_state.h"
#include "editor/data_form.h"
#include "numerics/keyfilters.h"
#include "ui/key_filter_qt.h"
#include "ui/messages.h"
#include "ui/shell_services.h"
#include "ui/window_registry.h"

namespace sorvel {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A level box: digits and a leading minus (levels of numeric columns may be negative).
TKeyResult LevelKeyFilter(const TKeyEdit& edit, char key) {
  const bool ok = (key >= '0' && key <= '9') || key == KeyBackspace || key == KeyCopy ||
                  key == KeyPaste || key == KeyCut ||
                  (key == '-' && edit.SelStart == 0 && edit.Text.find('-') == std::string::npos);
  return {ok, std::nullopt};  // refused keys beep
}

void SetIndex(QComboBox* box, int column) {
  box->setCurrentIndex(std::clamp(column, 1, std::max(1, box->count())) - 1);
}

}  // namespace

TColSel_Form::TColSel_Form(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ColSel_Form"));
  setWindowTitle(QStringLiteral("Variable Selection"));
  setModal(true);
  auto* top = new QVBoxLayout(this);
  PageControl = new QTabWidget(this);
  top->addWidget(PageControl);
  auto combo = [](QWidget* page, const char* name) {
    auto* b = new QComboBox(page);
    b->setObjectName(QString::fromLatin1(name));
    b->setMinimumWidth(150);
    b->setMaxVisibleItems(20);
    return b;
  };

  ColumnsPage = new QWidget(PageControl);
  auto* columns = new QGridLayout(ColumnsPage);
  Group1Box = combo(ColumnsPage, "Group1Box");
  Group2Box = combo(ColumnsPage, "Group2Box");
  auto* group1Label = new QLabel(QStringLiteral("Group &1:"), ColumnsPage);
  Group2Label = new QLabel(QStringLiteral("Group &2:"), ColumnsPage);
  group1Label->setBuddy(Group1Box);
  Group2Label->setBuddy(Group2Box);
  ExcludePairs = new QCheckBox(QStringLiteral("&Exclude Incomplete Pairs"), ColumnsPage);
  ExcludePairs->setObjectName(QStringLiteral("ExcludePairs"));
  columns->addWidget(group1Label, 0, 0);
  columns->addWidget(Group1Box, 0, 1);
  columns->addWidget(Group2Label, 1, 0);
  columns->addWidget(Group2Box, 1, 1);
  columns->addWidget(ExcludePairs, 2, 1);
  columns->setRowStretch(3, 1);
  columns->setColumnStretch(2, 1);
  PageControl->addTab(ColumnsPage, QStringLiteral("Define C&olumns"));

  ReferencePage = new QWidget(PageControl);
  auto* reference = new QGridLayout(ReferencePage);
  ReferenceBox = combo(ReferencePage, "ReferenceBox");
  DataBox = combo(ReferencePage, "DataBox");
  auto* referenceLabel = new QLabel(QStringLiteral("&Reference:"), ReferencePage);
  auto* dataLabel = new QLabel(QStringLiteral("D&ata:"), ReferencePage);
  referenceLabel->setBuddy(ReferenceBox);
  dataLabel->setBuddy(DataBox);
  auto level = [this](const char* name) {
    auto* e = new QLineEdit(ReferencePage);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaximumWidth(90);
    SetKeyFilter(e, LevelKeyFilter);
    connect(e, &QLineEdit::textChanged, this, &TColSel_Form::LevelChanged);
    return e;
  };
  Level1Box = level("Level1Box");
  Level2Box = level("Level2Box");
  auto* level1Caption = new QLabel(QStringLiteral("Level &1:"), ReferencePage);
  Level2Caption = new QLabel(QStringLiteral("Level &2:"), ReferencePage);
  level1Caption->setBuddy(Level1Box);
  Level2Caption->setBuddy(Level2Box);
  Level1Name = new QLabel(ReferencePage);
  Level2Name = new QLabel(ReferencePage);
  Level1Name->setObjectName(QStringLiteral("Level1Name"));
  Level2Name->setObjectName(QStringLiteral("Level2Name"));
  for (QLabel* l : {Level1Name, Level2Name}) l->setMinimumWidth(90);
  reference->addWidget(referenceLabel, 0, 0);
  reference->addWidget(ReferenceBox, 0, 1, 1, 2);
  reference->addWidget(dataLabel, 1, 0);
  reference->addWidget(DataBox, 1, 1, 1, 2);
  reference->addWidget(level1Caption, 2, 0);
  reference->addWidget(Level1Box, 2, 1);
  reference->addWidget(Level1Name, 2, 2);
  reference->addWidget(Level2Caption, 3, 0);
  reference->addWidget(Level2Box, 3, 1);
  reference->addWidget(Level2Name, 3, 2);
  reference->setRowStretch(4, 1);
  PageControl->addTab(ReferencePage, QStringLiteral("Define Re&ference"));

  auto* buttons = new QDialogButtonBox(this);
  Button_OK = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
  Button_Cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
  Button_Data = buttons->addButton(QStringLiteral("&Data"), QDialogButtonBox::ActionRole);
  Button_Help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
  Button_OK->setDefault(true);
  top->addWidget(buttons);
  connect(Button_OK, &QPushButton::clicked, this, &TColSel_Form::OKClick);
  connect(Button_Cancel, &QPushButton::clicked, this, &TColSel_Form::reject);
  connect(Button_Data, &QPushButton::clicked, this, &TColSel_Form::DataClick);
  connect(Button_Help, &QPushButton::clicked, this,
          [] { ShowHelpTopic(ColumnSelectionHelpTopic); });
  connect(ReferenceBox, &QComboBox::currentIndexChanged, this, &TColSel_Form::ReferenceChosen);
}

bool TColSel_Form::GetColumns(int csTest, TRunInfo& ri) {
  Sel.Start(csTest);
  ri_ = &ri;
  Activate();
  exec();
  ri_ = nullptr;
  return Sel.OKClose;
}

bool TColSel_Form::ReferencePageShown() const { return PageControl->isTabVisible(1); }

void TColSel_Form::Activate() {
  const bool reference = Sel.ReferencePageOffered();
  PageControl->setTabVisible(1, reference);
  if (Sel.Activate(ColumnsChangeCount) || !reference) PageControl->setCurrentIndex(0);

  filling_ = true;
  TDataList& list = DataList();
  if (list.DataChanged) list.UpdateData();
  QStringList names;
  for (int c = 1; c <= list.MaxCol(); ++c) names << Q(list.ColumnName(c));
  for (QComboBox* box : {Group1Box, Group2Box, ReferenceBox, DataBox}) {
    box->clear();
    box->addItems(names);
  }
  SetIndex(Group1Box, Sel.SelectedCol1);
  SetIndex(Group2Box, Sel.SelectedCol2);
  SetIndex(ReferenceBox, Sel.ReferenceCol);
  SetIndex(DataBox, Sel.DataCol);
  ExcludePairs->setChecked(Sel.ExcludeIncompletePairs);
  Level1Box->setMaxLength(ReferenceLevelRange(list, ReferenceBox->currentIndex() + 1).MaxLength);
  Level2Box->setMaxLength(Level1Box->maxLength());
  Level1Box->setText(QString::number(Sel.Reference1));
  Level2Box->setText(QString::number(Sel.Reference2));
  filling_ = false;

  for (QWidget* w : std::initializer_list<QWidget*>{Group2Box, Group2Label, ExcludePairs, Level2Box,
                                                    Level2Caption, Level2Name})
    w->setVisible(Sel.TwoSample);
  LevelChanged();
}

void TColSel_Form::ReferenceChosen(int index) {
  if (filling_ || index < 0) return;
  const TLevelRange r = ChooseReferenceColumn(Sel, DataList(), index + 1);
  Level1Box->setMaxLength(r.MaxLength);
  Level2Box->setMaxLength(r.MaxLength);
  if (r.Known) {
    Level1Box->setText(QString::number(Sel.Reference1));
    Level2Box->setText(QString::number(Sel.Reference2));
  }
  LevelChanged();
}

void TColSel_Form::LevelChanged() {
  if (filling_) return;
  const int column = ReferenceBox->currentIndex() + 1;
  bool ok1 = false, ok2 = false;
  const int l1 = Level1Box->text().toInt(&ok1);
  const int l2 = Level2Box->text().toInt(&ok2);
  Level1Name->setText(ok1 ? Q(ReferenceLevelLabel(DataList(), column, l1)) : QString());
  Level2Name->setText(ok2 ? Q(ReferenceLevelLabel(DataList(), column, l2)) : QString());
}

void TColSel_Form::OKClick() {
  TRunInfo local;
  TRunInfo& ri = ri_ ? *ri_ : local;
  if (PageControl->currentWidget() == ReferencePage) {
    bool ok1 = false, ok2 = true;
    const int l1 = Level1Box->text().toInt(&ok1);
    const int l2 = Sel.TwoSample ? Level2Box->text().toInt(&ok2) : l1;
    if (!ok1 || !ok2) {
      QLineEdit* bad = ok1 ? Level2Box : Level1Box;
      ShowInfo(QStringLiteral("'%1' is not a valid number!").arg(bad->text()));
      bad->setFocus();
      return;
    }
    Sel.AcceptReference(ReferenceBox->currentIndex() + 1, DataBox->currentIndex() + 1, l1, l2, ri);
  } else {
    Sel.AcceptColumns(Group1Box->currentIndex() + 1, Group2Box->currentIndex() + 1,
                      Sel.TwoSample && ExcludePairs->isChecked(), ri);
  }
  accept();
}

void TColSel_Form::reject() {
  Sel.Cancel();
  QDialog::reject();
}

void TColSel_Form::DataClick() {
  QDialog::reject();  // OKClose stays as it was
  auto* editor = TDataForm::Instance();
  if (!editor) editor = qobject_cast<TDataForm*>(FormFor("data-editor"));
  if (editor) editor->ShowDataEditor(parentWidget(), ReturnName);
}

}  // namespace sorvel
