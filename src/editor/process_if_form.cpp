#include "editor/process_if_form.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "data/data_state.h"
#include "numerics/keyfilters.h"
#include "ui/key_filter_qt.h"
#include "ui/messages.h"
#include "ui/shell_services.h"

namespace sorvel {

namespace {

const char* const RelationItems[] = {"All", "=", ">", ">=", "<", "<=", "<>", "in", "Not in"};

// An "in" list expects digits, ".", ",", blanks and Backspace; any other key beeps but is
// still typed.
TKeyResult ListKeyFilter(const TKeyEdit&, char key) {
  const bool expected = (key >= '0' && key <= '9') || key == '.' || key == ',' || key == ' ' ||
                        key == KeyBackspace || key == KeyCopy || key == KeyPaste || key == KeyCut;
  if (!expected) Beep();
  return {true, std::nullopt};
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TProcessIfForm::TProcessIfForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ProcessIfForm"));
  setWindowTitle(QStringLiteral("Process If..."));
  setModal(true);
  auto* top = new QHBoxLayout(this);

  auto* left = new QVBoxLayout();
  left->addWidget(new QLabel(QStringLiteral("Data Variables"), this));
  VarList = new QListWidget(this);
  VarList->setObjectName(QStringLiteral("VarList"));
  const TDataList& list = DataList();
  for (int c = 1; c <= list.MaxCol(); ++c) VarList->addItem(Q(list.ColumnName(c)));
  if (VarList->count() > 0) VarList->setCurrentRow(0);
  left->addWidget(VarList);
  top->addLayout(left);

  auto* right = new QVBoxLayout();
  top->addLayout(right);
  auto* conditions = new QGridLayout();
  right->addLayout(conditions);
  for (int i = 0; i < 2; ++i) {
    Select[i] = new QPushButton(QStringLiteral(">"), this);
    Select[i]->setObjectName(QStringLiteral("Select%1").arg(i + 1));
    Select[i]->setFixedWidth(32);
    ColumnBox[i] = new QLineEdit(this);
    ColumnBox[i]->setObjectName(QStringLiteral("Column%1").arg(i + 1));
    ColumnBox[i]->setReadOnly(true);
    Relation[i] = new QComboBox(this);
    Relation[i]->setObjectName(QStringLiteral("Relation%1").arg(i + 1));
    for (const char* item : RelationItems) Relation[i]->addItem(QString::fromLatin1(item));
    Value[i] = new QLineEdit(QStringLiteral("0"), this);
    Value[i]->setObjectName(QStringLiteral("Value%1").arg(i + 1));
    const int row = i * 2;
    conditions->addWidget(Select[i], row, 0);
    conditions->addWidget(ColumnBox[i], row, 1);
    conditions->addWidget(Relation[i], row, 2);
    conditions->addWidget(Value[i], row, 3);
    connect(Select[i], &QPushButton::clicked, this, [this, i] { SelectClick(i); });
    connect(Relation[i], &QComboBox::currentIndexChanged, this, [this, i] { RelationChanged(i); });
    RelationChanged(i);
  }
  auto* andOr = new QGroupBox(this);
  auto* andOrRow = new QHBoxLayout(andOr);
  Button_And = new QRadioButton(QStringLiteral("And"), andOr);
  Button_Or = new QRadioButton(QStringLiteral("Or"), andOr);
  Button_And->setChecked(true);
  andOrRow->addWidget(Button_And);
  andOrRow->addWidget(Button_Or);
  conditions->addWidget(andOr, 1, 1, 1, 2);
  conditions->setColumnMinimumWidth(1, 110);
  conditions->setColumnMinimumWidth(3, 90);

  auto* buttons = new QDialogButtonBox(Qt::Horizontal, this);
  Button_OK = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
  Button_Cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
  Button_Reset = buttons->addButton(QStringLiteral("&Reset"), QDialogButtonBox::ResetRole);
  Button_Help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
  Button_OK->setDefault(true);
  right->addStretch();
  right->addWidget(buttons);
  connect(Button_OK, &QPushButton::clicked, this, &TProcessIfForm::OKClick);
  connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button_Reset, &QPushButton::clicked, this, &TProcessIfForm::ResetClick);
  connect(Button_Help, &QPushButton::clicked, this, [] { ShowHelpTopic(7600); });
  Load(ProcessIfRec);
}

void TProcessIfForm::SetColumn(int i, int column) {
  column_[i] = column;
  ColumnBox[i]->setText(column > 0 ? VarList->item(column - 1)->text() : QString());
  Select[i]->setText(column > 0 ? QStringLiteral("<") : QStringLiteral(">"));
}

void TProcessIfForm::SelectClick(int i) {
  if (column_[i] > 0) {
    SetColumn(i, 0);
    return;
  }
  const int row = VarList->currentRow();
  if (row < 0 || !VarList->currentItem()->isSelected()) {
    Beep();
    return;
  }
  SetColumn(i, row + 1);
}

void TProcessIfForm::RelationChanged(int i) {
  const int s = Relation[i]->currentIndex();
  Value[i]->setVisible(s > RelAll);
  if (s == RelIn || s == RelNotIn)
    SetKeyFilter(Value[i], ListKeyFilter);
  else
    SetKeyFilter(Value[i], RealKeyFilter);
}

void TProcessIfForm::Load(const TProcessIfRec& p) {
  const int columns[2] = {p.PiIndex1, p.PiIndex2};
  const int signs[2] = {p.Sign1, p.Sign2};
  const std::string* shown[2] = {&p.XV1, &p.XV2};
  for (int i = 0; i < 2; ++i) {
    const bool known = p.Active && columns[i] >= 1 && columns[i] <= VarList->count();
    SetColumn(i, known ? columns[i] : 0);
    Relation[i]->setCurrentIndex(p.Active ? signs[i] : RelAll);
    QString v = p.Active && signs[i] != RelAll ? Q(*shown[i]) : QStringLiteral("0");
    if ((signs[i] == RelIn || signs[i] == RelNotIn) && v.startsWith(QLatin1Char('[')) &&
        v.endsWith(QLatin1Char(']')))
      v = v.mid(1, v.size() - 2);
    Value[i]->setText(v);
  }
  (p.Active && p.AndOr == ProcessIfOr ? Button_Or : Button_And)->setChecked(true);
}

TProcessIfChoice TProcessIfForm::Choice() const {
  TProcessIfChoice c;
  c.Column1 = column_[0];
  c.Column2 = column_[1];
  c.Sign1 = Relation[0]->currentIndex();
  c.Sign2 = Relation[1]->currentIndex();
  c.Value1 = Value[0]->text().toStdString();
  c.Value2 = Value[1]->text().toStdString();
  c.AndOr = Button_Or->isChecked() ? ProcessIfOr : ProcessIfAnd;
  return c;
}

void TProcessIfForm::ResetClick() {
  for (int i = 0; i < 2; ++i) {
    SetColumn(i, 0);
    Relation[i]->setCurrentIndex(RelAll);
    Value[i]->setText(QStringLiteral("0"));
  }
  Button_And->setChecked(true);
}

void TProcessIfForm::OKClick() {
  ApplyProcessIfChoice(Choice(), DataList());
  if (ProcessIfRec.Active) ++DataChangeCount;  // analyses read the cases again
  accept();
}

}  // namespace sorvel
