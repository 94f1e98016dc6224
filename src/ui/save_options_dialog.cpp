#include "ui/save_options_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/shell_services.h"

namespace sorvel {

bool ConfigureSave(TSaveChoices& options, QWidget* parent) {
  QDialog dlg(parent);
  dlg.setObjectName(QStringLiteral("ConfigureSaveDialog"));
  dlg.setWindowTitle(QStringLiteral("Configure Save"));
  auto* layout = new QVBoxLayout(&dlg);
  auto* selection = new QCheckBox(QStringLiteral("Save Selection Only"), &dlg);
  auto* names = new QCheckBox(QStringLiteral("Save Variable Names"), &dlg);
  auto* descriptions = new QCheckBox(QStringLiteral("Save Descriptions"), &dlg);
  selection->setChecked(options.WantSelection);
  names->setChecked(options.WantVarNames);
  descriptions->setChecked(options.WantDescriptions);
  selection->setEnabled(options.SelectionApplies);
  names->setEnabled(options.VarNamesApply);
  descriptions->setEnabled(options.DescriptionsApply);
  for (auto* c : {selection, names, descriptions}) layout->addWidget(c);
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, &dlg);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::helpRequested, &dlg, [] { ShowHelpContents(); });
  if (dlg.exec() != QDialog::Accepted) return false;
  options.WantSelection = selection->isChecked();
  options.WantVarNames = names->isChecked();
  options.WantDescriptions = descriptions->isChecked();
  return true;
}

}  // namespace sorvel
