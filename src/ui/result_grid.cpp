#include "ui/result_grid.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "data/grid_edit.h"

namespace sorvel {

namespace {

const QString PValueHeading = QStringLiteral("p-value");

}  // namespace

TResultCellShade ResultCellShade(const std::string& heading, const std::string& text) {
  if (heading != "p-value") return TResultCellShade::Plain;
  if (text == "999.000 ") return TResultCellShade::Unavailable;
  if (!text.empty() && text.back() == '*') return TResultCellShade::Marked;
  return TResultCellShade::Plain;
}

void TResultGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  const QRect r = option.rect;
  const bool fixed = index.row() == 0 || index.column() == 0;
  const QString text = index.data(Qt::DisplayRole).toString();
  QColor ink = Qt::black;
  painter->save();
  if (fixed) {
    QLinearGradient shade(r.topLeft(), r.bottomLeft());
    shade.setColorAt(0, Qt::white);
    shade.setColorAt(1, QColor(0xC0, 0xC0, 0xC0));
    painter->fillRect(r, shade);
    if (text == PValueHeading) ink = Qt::red;
  } else if (option.state & QStyle::State_Selected) {
    painter->fillRect(r, QColor(0x00, 0x00, 0x80));
    ink = Qt::white;
  } else {
    const QString heading =
        index.model()->index(0, index.column()).data(Qt::DisplayRole).toString();
    switch (ResultCellShade(heading.toStdString(), text.toStdString())) {
      case TResultCellShade::Marked: painter->fillRect(r, Qt::yellow); break;
      case TResultCellShade::Unavailable: painter->fillRect(r, QColor(0x80, 0x80, 0x80)); break;
      case TResultCellShade::Plain: painter->fillRect(r, Qt::white); break;
    }
  }
  painter->setPen(ink);
  painter->setFont(option.font);
  const Qt::Alignment align =
      (index.column() == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
  painter->drawText(r.adjusted(2, 0, -2, 0), static_cast<int>(align), text);
  painter->restore();
}

TResultGrid::TResultGrid(QWidget* parent) : QTableWidget(parent) {
  horizontalHeader()->setVisible(false);
  verticalHeader()->setVisible(false);
  setItemDelegate(new TResultGridDelegate(this));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setWordWrap(false);
  verticalHeader()->setDefaultSectionSize(font().pointSize() * 20 / 8 + 4);
}

void TResultGrid::SetGrid(const TTextGrid& grid, int minWidth) {
  grid_ = grid;
  minWidth_ = minWidth;
  clear();
  setColumnCount(grid.ColCount());
  setRowCount(grid.RowCount());
  for (int r = 0; r < grid.RowCount(); ++r)
    for (int c = 0; c < grid.ColCount(); ++c) {
      auto* item = new QTableWidgetItem(QString::fromStdString(grid.Cell(c, r)));
      // Headings and row labels stay put, as fixed cells do.
      item->setFlags(r == 0 || c == 0 ? Qt::ItemIsEnabled
                                      : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      setItem(r, c, item);
    }
  FitColumns();
}

void TResultGrid::ClearGrid() { SetGrid(TTextGrid(0, 0), minWidth_); }

void TResultGrid::FitColumns() {
  const QFontMetrics fm(font());
  const int room = 2 * fm.horizontalAdvance(QLatin1Char('0'));
  for (int c = 0; c < grid_.ColCount(); ++c) {
    int w = minWidth_;
    for (int r = 0; r < grid_.RowCount(); ++r)
      w = std::max(w, fm.horizontalAdvance(QString::fromStdString(grid_.Cell(c, r))) + room);
    setColumnWidth(c, w);
  }
}

std::optional<TGridRange> TResultGrid::MultiSelection() const {
  const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
  if (ranges.isEmpty()) return std::nullopt;
  TGridRange g{ranges[0].leftColumn(), ranges[0].topRow(), ranges[0].rightColumn(),
               ranges[0].bottomRow()};
  for (const auto& s : ranges) {
    g.Left = std::min(g.Left, s.leftColumn());
    g.Top = std::min(g.Top, s.topRow());
    g.Right = std::max(g.Right, s.rightColumn());
    g.Bottom = std::max(g.Bottom, s.bottomRow());
  }
  if (g.Left == g.Right && g.Top == g.Bottom) return std::nullopt;
  return g;
}

std::string TResultGrid::SaveText() const {
  const auto sel = MultiSelection();
  const TGridRect rect =
      sel ? TGridRect{sel->Left, sel->Top, sel->Right, sel->Bottom} : TGridRect{1, 1, 1, 1};
  return GridSaveText(grid_, rect);
}

void TResultGrid::CopyToClipboard() const {
  QApplication::clipboard()->setText(QString::fromStdString(SaveText()));
}

void TResultGrid::SelectBody() {
  clearSelection();
  if (rowCount() < 2 || columnCount() < 2) return;
  setRangeSelected(QTableWidgetSelectionRange(1, 1, rowCount() - 1, columnCount() - 1), true);
}

void TResultGrid::StepFont(int delta) {
  QFont f = font();
  const int size = std::clamp(f.pointSize() + delta, 6, 72);
  f.setPointSize(size);
  setFont(f);
  verticalHeader()->setDefaultSectionSize(size * 20 / 8 + 4);
  if (delta < 0) minWidth_ = std::min(minWidth_, 20);
  FitColumns();
}

void TResultGrid::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      !(event->modifiers() & ~Qt::KeypadModifier)) {
    emit EnterPressed();
    return;
  }
  if (event->matches(QKeySequence::Copy)) {
    CopyToClipboard();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

void TResultGrid::mousePressEvent(QMouseEvent* event) {
  const QModelIndex at = indexAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && at.isValid() && at.row() == 0 && at.column() == 0) {
    SelectBody();
    return;
  }
  QTableWidget::mousePressEvent(event);
}

void TResultGrid::wheelEvent(QWheelEvent* event) {
  if (event->modifiers() & Qt::ControlModifier) {
    const int dy = event->angleDelta().y();
    if (dy != 0) emit FontWheel(dy > 0 ? 1 : -1);
    return;
  }
  QTableWidget::wheelEvent(event);
}

}  // namespace sorvel
