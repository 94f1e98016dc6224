#include "explore/forms/descriptive_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/data_state.h"
#include "explore/descriptive_statistics.h"
#include "ui/key_filter_qt.h"
#include "ui/messages.h"

namespace sorvel {

TDescriptiveForm::TDescriptiveForm(QWidget* owner)
    : TAnalysisForm(owner, QStringLiteral("Descriptive Statistics"),
                    QStringLiteral("Descriptive Statistics"), 4100) {
  setObjectName(QStringLiteral("DescriptiveForm"));
  auto* central = new QWidget(this);
  auto* row = new QHBoxLayout(central);

  auto* inputs = new QVBoxLayout;
  auto* columnsLabel = new QLabel(QStringLiteral("&Columns:"), central);
  ListBox_Columns = new QListWidget(central);
  ListBox_Columns->setObjectName(QStringLiteral("ListBox_Columns"));
  ListBox_Columns->setMinimumWidth(160);
  columnsLabel->setBuddy(ListBox_Columns);
  inputs->addWidget(columnsLabel);
  inputs->addWidget(ListBox_Columns, 1);

  auto* decimals = new QHBoxLayout;
  DecimalSpinEdit = MakeDecimalSpinEdit(central, QStringLiteral("DecimalSpinEdit"));
  auto* decimalsLabel = new QLabel(QStringLiteral("&Decimals:"), central);
  decimalsLabel->setBuddy(DecimalSpinEdit);
  SetKeyFilter(DecimalSpinEdit, IntegerSpinKeyFilter);
  decimals->addWidget(decimalsLabel);
  decimals->addWidget(DecimalSpinEdit);
  decimals->addStretch(1);
  inputs->addLayout(decimals);
  Button_Action = MakeActionButton(central);
  inputs->addWidget(Button_Action);

  RichEdit = new TReportView(central);
  RichEdit->setObjectName(QStringLiteral("RichEdit"));
  row->addLayout(inputs, 0);
  row->addWidget(RichEdit, 1);
  setCentralWidget(central);
  SetCurrentReport(RichEdit);
  connect(Button_Action, &QPushButton::clicked, this, &TDescriptiveForm::Button_ActionClick);
  resize(860, 440);
  FillColumnList();
}

void TDescriptiveForm::FillColumnList() {
  if (seenNewData_ == NewDataCount && seenColumns_ == ColumnsChangeCount) return;
  seenNewData_ = NewDataCount;
  seenColumns_ = ColumnsChangeCount;
  ListBox_Columns->clear();
  TDataList& list = DataList();
  if (!list.HaveData()) return;
  if (list.DataChanged) list.UpdateData();
  for (int c = 1; c <= list.MaxCol(); ++c) {
    auto* item = new QListWidgetItem(QString::fromStdString(list.ColumnName(c)), ListBox_Columns);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    // Numeric columns start checked: the usual question is about all of them.
    item->setCheckState(list.StringVar[c] ? Qt::Unchecked : Qt::Checked);
    item->setData(Qt::UserRole, c);
  }
}

TOptions TDescriptiveForm::Options() const {
  // Columns go by number: a name may hold a comma.
  std::string columns;
  for (int i = 0; i < ListBox_Columns->count(); ++i) {
    const QListWidgetItem* item = ListBox_Columns->item(i);
    if (item->checkState() != Qt::Checked) continue;
    if (!columns.empty()) columns += ',';
    columns += std::to_string(item->data(Qt::UserRole).toInt());
  }
  TOptions o;
  o["columns"] = columns;
  o["decimals"] = std::to_string(DecimalSpinEdit->value());
  return o;
}

void TDescriptiveForm::Button_ActionClick() {
  FillColumnList();
  TOptions o = Options();
  if (ListBox_Columns->count() > 0 && o["columns"].empty()) {
    ShowInfo(QStringLiteral("Select at least one column!"));
    return;
  }
  RunAnalysis(DescriptiveStatisticsCommand, o, RichEdit);
}

void TDescriptiveForm::Recompute() {
  if (!RichEdit->toPlainText().isEmpty()) Button_ActionClick();
}

void TDescriptiveForm::showEvent(QShowEvent* event) {
  FillColumnList();
  TAnalysisForm::showEvent(event);
}

}  // namespace sorvel
