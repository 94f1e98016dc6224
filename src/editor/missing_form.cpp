#include "editor/missing_form.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "numerics/keyfilters.h"
#include "ui/key_filter_qt.h"
#include "ui/shell_services.h"

namespace sorvel {

namespace {

const char* const RelationCaptions[] = {"None", "=", ">", ">=", "<", "<="};
const char* const Symbols[] = {"=", "=", ">", ">=", "<", "<="};

}  // namespace

TMissingForm::TMissingForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("MissingForm"));
  setWindowTitle(QStringLiteral("Missing Values"));
  setModal(true);
  auto* top = new QVBoxLayout(this);
  top->addWidget(new QLabel(QStringLiteral("Set Missing When:"), this));
  auto* row = new QGridLayout();
  top->addLayout(row);
  for (int i = 0; i < 2; ++i) {
    const int col = i * 4;  // X, relation group, symbol and value; then "OR"
    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("RelationGroup%1").arg(i + 1));
    auto* radios = new QVBoxLayout(group);
    Relation[i] = new QButtonGroup(this);
    for (int s = RelNone; s <= RelLessEqual; ++s) {
      auto* b = new QRadioButton(QString::fromLatin1(RelationCaptions[s]), group);
      b->setObjectName(QStringLiteral("Relation%1_%2").arg(i + 1).arg(s));
      radios->addWidget(b);
      Relation[i]->addButton(b, s);
    }
    Relation[i]->button(RelNone)->setChecked(true);
    SignLabel[i] = new QLabel(QStringLiteral("="), this);
    Value[i] = new QLineEdit(QStringLiteral("0"), this);
    Value[i]->setObjectName(QStringLiteral("Value%1").arg(i + 1));
    Value[i]->setMaximumWidth(90);
    SetKeyFilter(Value[i], RealKeyFilter);
    auto* x = new QLabel(QStringLiteral("X"), this);
    row->addWidget(x, 0, col, Qt::AlignVCenter);
    row->addWidget(group, 0, col + 1);
    auto* valueRow = new QHBoxLayout();
    valueRow->addWidget(SignLabel[i]);
    valueRow->addWidget(Value[i]);
    row->addLayout(valueRow, 0, col + 2, Qt::AlignVCenter);
    if (i == 0)
      row->addWidget(new QLabel(QStringLiteral("OR"), this), 0, col + 3, Qt::AlignVCenter);
    connect(Relation[i], &QButtonGroup::idToggled, this, [this, i](int, bool on) {
      if (on) RelationChanged(i);
    });
    RelationChanged(i);
  }

  auto* buttons = new QDialogButtonBox(this);
  Button_OK = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
  Button_Cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
  Button_Help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
  Button_OK->setDefault(true);
  top->addWidget(buttons);
  connect(Button_OK, &QPushButton::clicked, this, &TMissingForm::OKClick);
  connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button_Help, &QPushButton::clicked, this, [] { ShowHelpTopic(7300); });
  Load(MissingRec);
}

void TMissingForm::RelationChanged(int i) {
  const int s = Relation[i]->checkedId();
  SignLabel[i]->setText(QString::fromLatin1(Symbols[s < 0 ? RelNone : s]));
  Value[i]->setVisible(s > RelNone);
}

void TMissingForm::Load(const TMissingRec& m) {
  const int signs[2] = {m.Active ? m.Sign1 : RelNone, m.Active ? m.Sign2 : RelNone};
  const std::string* typed[2] = {&m.Xstr1, &m.Xstr2};
  for (int i = 0; i < 2; ++i) {
    Relation[i]->button(signs[i])->setChecked(true);
    RelationChanged(i);
    if (signs[i] != RelNone && !typed[i]->empty())
      Value[i]->setText(QString::fromStdString(*typed[i]));
  }
}

TMissingChoice TMissingForm::Choice() const {
  TMissingChoice c;
  c.Sign1 = Relation[0]->checkedId();
  c.Sign2 = Relation[1]->checkedId();
  c.Value1 = Value[0]->text().toStdString();
  c.Value2 = Value[1]->text().toStdString();
  return c;
}

void TMissingForm::OKClick() {
  ApplyMissingChoice(Choice());
  accept();
}

}  // namespace sorvel
