// The data editor's two grids: a table model that reads the data set's text grids in place
// (a million rows cost nothing but the rows on screen), and a table view with the editor's
// keys, mouse selection of whole columns and rows, and drag-scrolling.
#pragma once

#include <QAbstractTableModel>
#include <QPoint>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <functional>

#include "data/grid_edit.h"

namespace sorvel {

enum class TGridPage { Data, Descriptions };

class TDataGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TDataGridModel(TGridPage page, QObject* parent = nullptr);

  TGridPage Page() const { return page_; }
  // Text cells shown with their level code ('abc[2]') while the data set is parsed.
  bool ShowLevels = true;
  // Called after the user changed a cell's text (grid column and row, 1-based).
  std::function<void(int c, int r)> CellEdited;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The data set was replaced or rearranged: every view re-reads it.
  void Reset();
  // Rows or columns were added or removed at the end (keeps the views' current cell).
  void SyncShape();
  // Cells changed in place (repaint).
  void Refresh();

 private:
  TGridPage page_;
  int rows_ = 0, cols_ = 0;  // the shape the views know
  int GridRows() const;
  int GridCols() const;
};

// Keeps the USL, Target and LSL rows to number characters while typing.
class TDataGridDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
};

// True for the characters the limit rows accept.
bool IsLimitChar(QChar ch);

class TDataGridView : public QTableView {
  Q_OBJECT
 public:
  TDataGridView(TDataGridModel* model, QWidget* parent = nullptr);

  TDataGridModel* GridModel() const { return model_; }
  TGridPage Page() const { return model_->Page(); }

  // Current cell and selection in grid coordinates (1-based; names row 0).
  int CurrentCol() const;
  int CurrentRow() const;
  TGridRect Selection() const;  // bounding box of the selection; the current cell if none
  bool MultiCellSelection() const;
  void SetCurrentCell(int c, int r);
  void SelectBlock(const TGridRect& rect);

  bool IsEditing() const { return state() == QAbstractItemView::EditingState; }
  // Commits and closes an open cell editor.
  void CommitEdit();

  // Where the last left press began (enables the column and row commands).
  bool LastPressOnNames = false, LastPressOnCaseNumbers = false;

  // The form's handlers.
  std::function<bool()> AppendColumn;            // Tab in the last column; false at 512
  std::function<void()> AppendRow;               // Enter in the last row
  std::function<void()> ClearSelection;          // Delete
  std::function<void(QPoint global)> ShowPopup;  // right-click
  std::function<void(int c)> EditName;           // double-click on a name
  std::function<void()> Pressed;                 // any left press into the grid
  std::function<void()> CurrentMoved;

  // Drag-scroll interval for a pointer at `pos` relative to the viewport; 0 when inside.
  int DragScrollInterval(QPoint pos) const;

  // The editor's keys (public so that window tests can drive them).
  void TabKey(bool backwards);
  void EnterKey();
  void CtrlArrow(int dc, int dr, bool extend);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  void DragMove(QPoint viewportPos);
  void DragTick();
  void StopDrag();
  void ExtendTo(const QModelIndex& to);
  void HeaderRightPress(bool onNames, QPoint pos);

  TDataGridModel* model_;
  QTimer dragTimer_;
  QPoint dragPos_;          // last pointer position, viewport coordinates
  QModelIndex dragAnchor_;  // where the drag began
  bool dragging_ = false;
  bool dragColumns_ = false, dragRows_ = false;
};

}  // namespace sorvel
