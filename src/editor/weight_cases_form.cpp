#include "editor/weight_cases_form.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "ui/messages.h"
#include "ui/shell_services.h"
#include "ui/variable_lists.h"

namespace sorvel {

// No topic of its own in the help numbering; it sits beside Process If (7600).
inline constexpr int WeightCasesHelpTopic = 7650;

TWeightCasesForm::TWeightCasesForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("WeightCasesForm"));
  setWindowTitle(QStringLiteral("Weight Cases"));
  setModal(true);
  auto* top = new QGridLayout(this);
  auto* listLabel = new QLabel(QStringLiteral("Data Variables"), this);
  VarList = new QListWidget(this);
  VarList->setObjectName(QStringLiteral("VarList"));
  SetupVariableList(VarList, false);
  FillVariableList(VarList, DataList());
  SetItem(VarList, 0);
  listLabel->setBuddy(VarList);
  top->addWidget(listLabel, 0, 0);
  top->addWidget(VarList, 1, 0, 4, 1);

  top->addWidget(new QLabel(QStringLiteral("Weight Cases By:"), this), 0, 1);
  Weight = new TSingleVarPicker(VarList, this);
  Weight->setObjectName(QStringLiteral("WeightPicker"));
  top->addWidget(Weight, 1, 1);
  auto* explain = new QVBoxLayout();
  explain->addWidget(new QLabel(QStringLiteral("Duplicates Rows"), this));
  explain->addWidget(new QLabel(QStringLiteral("by Weighted Variable"), this));
  top->addLayout(explain, 2, 1);
  top->setRowStretch(3, 1);

  auto* buttons = new QDialogButtonBox(this);
  Button_OK = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
  Button_Cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
  Button_Help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
  Button_OK->setDefault(true);
  top->addWidget(buttons, 4, 1, Qt::AlignBottom);
  connect(Button_OK, &QPushButton::clicked, this, &TWeightCasesForm::OKClick);
  connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button_Help, &QPushButton::clicked, this, [] { ShowHelpTopic(WeightCasesHelpTopic); });
  resize(420, 260);
}

void TWeightCasesForm::OKClick() {
  if (Weight->Column() < 1) return;
  const TDataCommandResult result =
      WeightCases(DataList(), Weight->Column(), [](std::int64_t count) {
        return AskYesNo(QString::fromStdString(WeightCasesQuestion(count)));
      });
  if (!result.Message.empty()) ShowInfo(QString::fromStdString(result.Message));
  if (result.Done) accept();
}

}  // namespace sorvel
