#include "editor/add_variables_form.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "data/grid_edit.h"
#include "ui/messages.h"
#include "ui/shell_services.h"
#include "ui/variable_lists.h"

namespace sorvel {

TAddVariablesForm::TAddVariablesForm(TAddVariablesMode mode, QWidget* parent)
    : QDialog(parent), mode_(mode) {
  const bool runs = mode == TAddVariablesMode::RunNumbers;
  setObjectName(runs ? QStringLiteral("RunNumbersForm") : QStringLiteral("AutoRecodeForm"));
  setWindowTitle(runs ? QStringLiteral("Generate Run Numbers") : QStringLiteral("Auto Recode"));
  setModal(true);
  auto* top = new QVBoxLayout(this);
  Label = new QLabel(
      runs ? QStringLiteral("Select Independent Variables to Compute Run Numbers")
           : QStringLiteral("Select Variables to Recode\n(lowest =1 to highest, increment by 1)"),
      this);
  top->addWidget(Label);
  Picker = new TDualListPicker(
      runs ? QStringLiteral("Selected Variables") : QStringLiteral("Recoded Variables"), this);
  top->addWidget(Picker, 1);

  auto* buttons = new QDialogButtonBox(this);
  Button_OK = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
  Button_Cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
  Button_Help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
  Button_OK->setDefault(true);
  top->addWidget(buttons);
  connect(Button_OK, &QPushButton::clicked, this, &TAddVariablesForm::OKClick);
  connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
  const int topic = runs ? 7500 : 7550;
  connect(Button_Help, &QPushButton::clicked, this, [topic] { ShowHelpTopic(topic); });
  connect(Picker, &TDualListPicker::Moved, this,
          [this] { Button_OK->setEnabled(Picker->Target->count() > 0); });
  Picker->Fill(DataList());
  resize(440, 320);
}

void TAddVariablesForm::OKClick() {
  const std::vector<int> columns = Picker->SelectedColumns();
  if (columns.empty()) return;
  TDataList& list = DataList();
  if (mode_ == TAddVariablesMode::RunNumbers) {
    // The core adds nothing to a full data set; say so rather than close as if done.
    if (!list.CanAddColumns(1)) {
      ShowInfo(QString::fromLatin1(MaxColumnsExceededText));
      return;
    }
    GenerateRunNumbers(list, columns);
  } else {
    const TDataCommandResult result = AutoRecodeVariables(list, columns);
    if (!result.Message.empty()) {
      ShowInfo(QString::fromStdString(result.Message));
      return;
    }
  }
  accept();
}

}  // namespace sorvel
