#include "editor/sheet_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace sorvel {

int AskWorkbookSheet(const QString& file, const QStringList& sheets, QWidget* parent) {
  QDialog dlg(parent);
  dlg.setObjectName(QStringLiteral("OpenSheetDialog"));
  dlg.setWindowTitle(QStringLiteral("Open Sheet"));
  auto* layout = new QVBoxLayout(&dlg);
  auto* label = new QLabel(QStringLiteral("Sheets in %1:").arg(QFileInfo(file).fileName()), &dlg);
  auto* list = new QListWidget(&dlg);
  list->setObjectName(QStringLiteral("SheetList"));
  list->addItems(sheets);
  list->setCurrentRow(0);
  label->setBuddy(list);
  layout->addWidget(label);
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemActivated, &dlg, &QDialog::accept);
  list->setFocus();
  if (dlg.exec() != QDialog::Accepted || list->currentRow() < 0) return -1;
  return list->currentRow();
}

}  // namespace sorvel
