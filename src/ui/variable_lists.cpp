#include "ui/variable_lists.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

#include "data/data_list.h"
#include "data/data_state.h"
#include "numerics/format.h"
#include "ui/messages.h"

namespace sorvel {

std::string VariableItemText(int column, const std::string& name) {
  return ColumnCode(column) + name;
}

int IndexAfterMove(int firstSelected, int remaining) {
  if (remaining <= 0) return -1;
  return std::clamp(firstSelected, 0, remaining - 1);
}

// ---------------------------------------------------------------- lists

namespace {
QString WithoutCode(const QString& text) { return text.mid(2); }
}  // namespace

void TVariableItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  QStyleOptionViewItem o = option;
  initStyleOption(&o, index);
  // The background and focus as the style draws them, then the name alone.
  const QString name = WithoutCode(o.text);
  o.text.clear();
  const QWidget* w = o.widget;
  QStyle* style = w ? w->style() : nullptr;
  if (style) style->drawControl(QStyle::CE_ItemViewItem, &o, painter, w);
  painter->save();
  const bool selected = o.state & QStyle::State_Selected;
  painter->setPen(
      o.palette.color(o.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled,
                      selected ? QPalette::HighlightedText : QPalette::Text));
  painter->setFont(o.font);
  const QRect r = o.rect.adjusted(2, 0, 0, 0);
  painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    o.fontMetrics.elidedText(name, Qt::ElideRight, r.width()));
  painter->restore();
}

QSize TVariableItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const {
  QStyleOptionViewItem o = option;
  initStyleOption(&o, index);
  return {o.fontMetrics.horizontalAdvance(WithoutCode(o.text)) + 6, o.fontMetrics.height() + 4};
}

void SetupVariableList(QListWidget* list, bool multiSelect) {
  list->setSortingEnabled(true);
  list->setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection
                                     : QAbstractItemView::SingleSelection);
  list->setItemDelegate(new TVariableItemDelegate(list));
  list->setMinimumWidth(120);
}

void AddVariableItem(QListWidget* list, int column, const std::string& name) {
  auto* item = new QListWidgetItem(QString::fromStdString(VariableItemText(column, name)));
  item->setToolTip(QString::fromStdString(name));
  list->addItem(item);  // sorted into place
}

void FillVariableList(QListWidget* list, const TDataList& dataSet) {
  list->clear();
  for (int c = 1; c <= dataSet.MaxCol(); ++c) AddVariableItem(list, c, dataSet.ColumnName(c));
}

int ItemColumn(const QListWidgetItem* item) {
  return item ? ColumnIndex(item->text().left(2).toStdString()) : 0;
}

QString ItemName(const QListWidgetItem* item) {
  return item ? WithoutCode(item->text()) : QString();
}

std::vector<int> ListColumns(const QListWidget* list) {
  std::vector<int> columns;
  for (int i = 0; i < list->count(); ++i) columns.push_back(ItemColumn(list->item(i)));
  return columns;
}

void MoveSelected(QListWidget* from, QListWidget* to) {
  for (int i = from->count() - 1; i >= 0; --i)
    if (from->item(i)->isSelected()) {
      QListWidgetItem* item = from->takeItem(i);
      item->setSelected(false);
      to->addItem(item);
    }
}

int GetFirstSelection(const QListWidget* list) {
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->isSelected()) return i;
  return -1;
}

void SetItem(QListWidget* list, int index) {
  list->clearSelection();
  if (index < 0 || index >= list->count()) return;
  list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

// ---------------------------------------------------------------- dual-list picker

TDualListPicker::TDualListPicker(const QString& targetCaption, QWidget* parent,
                                 const QString& sourceCaption)
    : QWidget(parent) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  SourceLabel = new QLabel(sourceCaption, this);
  TargetLabel = new QLabel(targetCaption, this);
  Source = new QListWidget(this);
  Source->setObjectName(QStringLiteral("DataVarList"));
  Target = new QListWidget(this);
  Target->setObjectName(QStringLiteral("VarList"));
  SetupVariableList(Source);
  SetupVariableList(Target);
  SourceLabel->setBuddy(Source);
  TargetLabel->setBuddy(Target);

  auto* buttons = new QVBoxLayout();
  auto button = [this, buttons](const char* text, const char* name) {
    auto* b = new QPushButton(QString::fromLatin1(text), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setFixedWidth(36);
    buttons->addWidget(b);
    return b;
  };
  buttons->addStretch();
  IncludeBtn = button(">", "IncludeBtn");
  IncAllBtn = button(">>", "IncAllBtn");
  ExcludeBtn = button("<", "ExcludeBtn");
  ExcAllBtn = button("<<", "ExcAllBtn");
  buttons->addStretch();

  grid->addWidget(SourceLabel, 0, 0);
  grid->addWidget(TargetLabel, 0, 2);
  grid->addWidget(Source, 1, 0);
  grid->addLayout(buttons, 1, 1);
  grid->addWidget(Target, 1, 2);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(2, 1);

  connect(IncludeBtn, &QPushButton::clicked, this, &TDualListPicker::IncludeBtnClick);
  connect(IncAllBtn, &QPushButton::clicked, this, &TDualListPicker::IncAllBtnClick);
  connect(ExcludeBtn, &QPushButton::clicked, this, &TDualListPicker::ExcludeBtnClick);
  connect(ExcAllBtn, &QPushButton::clicked, this, &TDualListPicker::ExcAllBtnClick);
  // A double-click moves the item across.
  connect(Source, &QListWidget::itemDoubleClicked, this, [this] { IncludeBtnClick(); });
  connect(Target, &QListWidget::itemDoubleClicked, this, [this] { ExcludeBtnClick(); });
  SetButtons();
}

void TDualListPicker::Move(QListWidget* from, QListWidget* to) {
  const int first = GetFirstSelection(from);
  MoveSelected(from, to);
  SetItem(from, IndexAfterMove(first, from->count()));
  from->setFocus();
  SetButtons();
  emit Moved();
}

void TDualListPicker::MoveAll(QListWidget* from, QListWidget* to) {
  from->selectAll();
  MoveSelected(from, to);
  SetItem(to, 0);
  SetButtons();
  emit Moved();
}

void TDualListPicker::IncludeBtnClick() { Move(Source, Target); }
void TDualListPicker::ExcludeBtnClick() { Move(Target, Source); }
void TDualListPicker::IncAllBtnClick() { MoveAll(Source, Target); }
void TDualListPicker::ExcAllBtnClick() { MoveAll(Target, Source); }

void TDualListPicker::SetButtons() {
  IncludeBtn->setEnabled(Source->count() > 0);
  IncAllBtn->setEnabled(Source->count() > 0);
  ExcludeBtn->setEnabled(Target->count() > 0);
  ExcAllBtn->setEnabled(Target->count() > 0);
}

void TDualListPicker::Fill(const TDataList& dataSet) {
  seenNewData_ = NewDataCount;
  seenColumns_ = ColumnsChangeCount;
  Target->clear();
  FillVariableList(Source, dataSet);
  SetItem(Source, 0);
  SetButtons();
  emit Moved();
}

bool TDualListPicker::RefillIfChanged(const TDataList& dataSet) {
  if (seenNewData_ == NewDataCount && seenColumns_ == ColumnsChangeCount) return false;
  Fill(dataSet);
  return true;
}

// ---------------------------------------------------------------- single-variable picker

TSingleVarPicker::TSingleVarPicker(QListWidget* source, QWidget* parent)
    : QWidget(parent), source_(source) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  SelectBtn = new QPushButton(QStringLiteral(">"), this);
  SelectBtn->setObjectName(QStringLiteral("SelectBtn"));
  SelectBtn->setFixedWidth(36);
  Box = new QLineEdit(this);
  Box->setObjectName(QStringLiteral("VarBox"));
  Box->setReadOnly(true);
  Box->setMinimumWidth(110);
  row->addWidget(SelectBtn);
  row->addWidget(Box, 1);
  connect(SelectBtn, &QPushButton::clicked, this, &TSingleVarPicker::SelectClick);
}

void TSingleVarPicker::SelectClick() {
  if (column_ > 0) {
    Clear();
    return;
  }
  const int first = GetFirstSelection(source_);
  if (first < 0) {
    Beep();
    return;
  }
  QListWidgetItem* item = source_->takeItem(first);
  column_ = ItemColumn(item);
  itemText_ = item->text();
  Box->setText(ItemName(item));
  delete item;
  SetItem(source_, IndexAfterMove(first, source_->count()));
  SelectBtn->setText(QStringLiteral("<"));
  emit Changed();
}

void TSingleVarPicker::Clear(bool putBack) {
  if (column_ > 0 && putBack) {
    auto* item = new QListWidgetItem(itemText_);
    item->setToolTip(ItemName(item));
    source_->addItem(item);
  }
  column_ = 0;
  itemText_.clear();
  Box->clear();
  SelectBtn->setText(QStringLiteral(">"));
  emit Changed();
}

}  // namespace sorvel
