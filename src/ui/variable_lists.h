// Variable lists: the column pickers every window that chooses columns shares. An item is
// the column's two-letter ColumnCode followed by its name ("ABLine"), so a sorted list is
// in column order; the item delegate draws it without the code.
//   TDualListPicker  - ">", ">>", "<", "<<" between "Data Variables" and a target list
//   TSingleVarPicker - ">" beside a read-only box that holds one column ("<" puts it back)
#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <cstdint>
#include <string>
#include <vector>

class QLabel;

namespace sorvel {

class TDataList;

// ---- Pure rules (no widgets) ----

// The item text of column `column`: ColumnCode + name.
std::string VariableItemText(int column, const std::string& name);
// Which item a list selects after its selected items moved out: the remembered index of
// its first selected item (-1 when none was), kept inside the `remaining` items; -1 when
// the list is empty.
int IndexAfterMove(int firstSelected, int remaining);

// ---- Lists ----

// Draws an item's text without its two-letter code, 2 pixels from the left edge.
class TVariableItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Makes `list` a variable list: sorted, several items selectable, drawn by the delegate.
void SetupVariableList(QListWidget* list, bool multiSelect = true);
// One item per column of the data set, in column order.
void FillVariableList(QListWidget* list, const TDataList& data);
// Adds the item of `column` (sorted into place).
void AddVariableItem(QListWidget* list, int column, const std::string& name);
// The column of an item (from its code) and its name (the text after the code).
int ItemColumn(const QListWidgetItem* item);
QString ItemName(const QListWidgetItem* item);
// The columns of every item, in list (= column) order.
std::vector<int> ListColumns(const QListWidget* list);

// The picker operations, usable on any two variable lists.
// Moves every selected item of `from` to `to`, scanning from the last item to the first.
void MoveSelected(QListWidget* from, QListWidget* to);
// The index of the first selected item; -1 when nothing is selected.
int GetFirstSelection(const QListWidget* list);
// Selects item `index` alone and makes it current (nothing for -1).
void SetItem(QListWidget* list, int index);

// ---- Dual-list picker ----

class TDualListPicker : public QWidget {
  Q_OBJECT
 public:
  TDualListPicker(const QString& targetCaption, QWidget* parent = nullptr,
                  const QString& sourceCaption = QStringLiteral("Data Variables"));

  QLabel* SourceLabel;
  QLabel* TargetLabel;
  QListWidget* Source;  // "Data Variables"
  QListWidget* Target;
  QPushButton* IncludeBtn;  // ">"
  QPushButton* IncAllBtn;   // ">>"
  QPushButton* ExcludeBtn;  // "<"
  QPushButton* ExcAllBtn;   // "<<"

  void IncludeBtnClick();
  void ExcludeBtnClick();
  void IncAllBtnClick();
  void ExcAllBtnClick();
  // ">" and ">>" while the source has items, "<" and "<<" while the target has.
  void SetButtons();

  // Every column into the source, the target emptied.
  void Fill(const TDataList& dataSet);
  // Fill again when the data set or its columns changed since the last filling; true
  // when it did.
  bool RefillIfChanged(const TDataList& dataSet);
  // The target's columns, in column order.
  std::vector<int> SelectedColumns() const { return ListColumns(Target); }

 signals:
  // After every move: the window re-evaluates its state (its OK button).
  void Moved();

 private:
  void Move(QListWidget* from, QListWidget* to);
  void MoveAll(QListWidget* from, QListWidget* to);
  std::int32_t seenNewData_ = -1, seenColumns_ = -1;
};

// ---- Single-variable picker ----

// A ">" button beside a read-only box, taking one column from `source`.
class TSingleVarPicker : public QWidget {
  Q_OBJECT
 public:
  TSingleVarPicker(QListWidget* source, QWidget* parent = nullptr);

  QPushButton* SelectBtn;  // ">" / "<"
  QLineEdit* Box;          // the column's name

  // ">": the first selected item moves into the box (beeps with nothing selected);
  // "<": the item goes back into the list.
  void SelectClick();
  int Column() const { return column_; }
  // The item back into the list, the box empty (after a refill: forgotten only).
  void Clear(bool putBack = true);

 signals:
  void Changed();

 private:
  QListWidget* source_;
  int column_ = 0;
  QString itemText_;
};

}  // namespace sorvel
