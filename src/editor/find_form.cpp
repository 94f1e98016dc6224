#include "editor/find_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "editor/data_form.h"
#include "ui/messages.h"
#include "ui/shell_services.h"

namespace sorvel {

TFindForm::TFindForm(TDataForm* editor)
    : QDialog(editor, Qt::Tool | Qt::WindowStaysOnTopHint), editor_(editor) {
  setObjectName(QStringLiteral("FindForm"));
  setWindowTitle(QStringLiteral("Find"));
  setModal(false);
  auto* grid = new QGridLayout(this);
  const QStringList relations = {QString(),           QStringLiteral("="),
                                 QStringLiteral(">"), QStringLiteral(">="),
                                 QStringLiteral("<"), QStringLiteral("<=")};
  Relation1 = new QComboBox(this);
  Relation2 = new QComboBox(this);
  Relation1->addItems(relations);
  Relation2->addItems(relations);
  Relation1->setCurrentIndex(1);
  Relation2->setCurrentIndex(0);
  Value1 = new QLineEdit(this);
  Value2 = new QLineEdit(this);
  ReplaceWith = new QLineEdit(this);
  SelectionOnly = new QCheckBox(QStringLiteral("Selection Only"), this);
  grid->addWidget(new QLabel(QStringLiteral("Find cells"), this), 0, 0);
  grid->addWidget(Relation1, 0, 1);
  grid->addWidget(Value1, 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("or"), this), 1, 0);
  grid->addWidget(Relation2, 1, 1);
  grid->addWidget(Value2, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Replace with"), this), 2, 0);
  grid->addWidget(ReplaceWith, 2, 1, 1, 2);
  grid->addWidget(SelectionOnly, 3, 0, 1, 3);

  auto* buttons = new QDialogButtonBox(this);
  Button_Find = buttons->addButton(QStringLiteral("&Find"), QDialogButtonBox::ActionRole);
  Button_Replace = buttons->addButton(QStringLiteral("&Replace"), QDialogButtonBox::ActionRole);
  Button_ReplaceAll =
      buttons->addButton(QStringLiteral("Replace &All"), QDialogButtonBox::ActionRole);
  QPushButton* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
  QPushButton* help = buttons->addButton(QStringLiteral("Help"), QDialogButtonBox::HelpRole);
  grid->addWidget(buttons, 4, 0, 1, 3);
  Button_Find->setDefault(true);

  connect(Button_Find, &QPushButton::clicked, this, &TFindForm::FindClick);
  connect(Button_Replace, &QPushButton::clicked, this, &TFindForm::ReplaceClick);
  connect(Button_ReplaceAll, &QPushButton::clicked, this, &TFindForm::ReplaceAllClick);
  connect(close, &QPushButton::clicked, this, &QDialog::hide);
  connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(7800); });
  for (QComboBox* box : {Relation1, Relation2})
    connect(box, &QComboBox::currentIndexChanged, this, &TFindForm::UpdateButtons);
  // With a replacement text the window is "Find and Replace" (and so are its messages).
  connect(ReplaceWith, &QLineEdit::textChanged, this, [this](const QString& text) {
    setWindowTitle(text.isEmpty() ? QStringLiteral("Find") : QStringLiteral("Find and Replace"));
  });
  UpdateButtons();
}

TFindSpec TFindForm::Spec() const {
  TFindSpec spec;
  spec.Relation1 = Relation1->currentIndex();
  spec.Relation2 = Relation2->currentIndex();
  spec.Value1 = Value1->text().toStdString();
  spec.Value2 = Value2->text().toStdString();
  return spec;
}

void TFindForm::Prepare(bool multiCellSelection) {
  SelectionOnly->setChecked(multiCellSelection);
  UpdateButtons();
}

void TFindForm::UpdateButtons() {
  const bool can = Spec().CanFind();
  Button_Find->setEnabled(can);
  Button_Replace->setEnabled(can);
  Button_ReplaceAll->setEnabled(can);
}

void TFindForm::FindClick() {
  if (!editor_->FindNext(Spec(), SelectionOnly->isChecked()))
    ShowWarning(windowTitle() + QStringLiteral(" Not Found"));
}

void TFindForm::ReplaceClick() {
  if (!editor_->ReplaceNext(Spec(), SelectionOnly->isChecked(), ReplaceWith->text()))
    ShowWarning(windowTitle() + QStringLiteral(" Not Found"));
}

void TFindForm::ReplaceAllClick() {
  if (editor_->ReplaceAllMatches(Spec(), SelectionOnly->isChecked(), ReplaceWith->text()) == 0)
    ShowWarning(windowTitle() + QStringLiteral(" Not Found"));
}

}  // namespace sorvel
