// A result table shown in a string grid: row 0 holds the headings and column 0 the row
// labels, both drawn as fixed cells (white to silver, "p-value" headings in red). In a
// "p-value" column a marked value ("*" at its end) is drawn on yellow and the not-available
// value "999.000 " on gray; selected cells are navy. A click on the top-left cell selects
// the whole body; copying and saving take the selection when it spans more than one cell,
// otherwise every cell.
#pragma once

#include <QStyledItemDelegate>
#include <QTableWidget>
#include <optional>
#include <string>

#include "data/text_grid.h"
#include "output/grid_print.h"

namespace sorvel {

class TResultGridDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

// How a body cell is shaded.
enum class TResultCellShade { Plain, Marked, Unavailable };
TResultCellShade ResultCellShade(const std::string& heading, const std::string& text);

class TResultGrid : public QTableWidget {
  Q_OBJECT
 public:
  explicit TResultGrid(QWidget* parent = nullptr);

  // Shows `grid`; every column at least `minWidth` pixels and as wide as its widest text
  // plus two digits.
  void SetGrid(const TTextGrid& grid, int minWidth);
  // Empties the grid (a refusal leaves nothing stale on the page).
  void ClearGrid();
  const TTextGrid& Grid() const { return grid_; }

  // The selected body cells, when more than one is selected.
  std::optional<TGridRange> MultiSelection() const;
  // What Copy and Save write: the selection when it spans more than one cell, otherwise
  // every cell including the headings.
  std::string SaveText() const;
  void CopyToClipboard() const;
  void SelectBody();

  // Font size by `delta` points (6..72); rows follow at size * 20 / 8 pixels.
  void StepFont(int delta);
  int MinWidth() const { return minWidth_; }

 signals:
  // Enter pressed in the grid.
  void EnterPressed();
  // Ctrl + mouse wheel: +1 or -1.
  void FontWheel(int delta);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void FitColumns();
  TTextGrid grid_{0, 0};
  int minWidth_ = 64;
};

}  // namespace sorvel
