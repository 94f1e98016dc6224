#include "editor/data_grid.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpressionValidator>
#include <QScrollBar>

#include "data/data_state.h"
#include "ui/messages.h"

namespace sorvel {

namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

const QColor Aqua(0, 255, 255);
const QColor Navy(0, 0, 128);

}  // namespace

// ---------------------------------------------------------------- model

TDataGridModel::TDataGridModel(TGridPage page, QObject* parent)
    : QAbstractTableModel(parent), page_(page) {
  rows_ = GridRows();
  cols_ = GridCols();
}

int TDataGridModel::GridRows() const {
  return page_ == TGridPage::Data ? DataList().DataGrid.RowCount() - 1 : 4;
}

int TDataGridModel::GridCols() const { return DataList().MaxCol(); }

int TDataGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int TDataGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : cols_;
}

QVariant TDataGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const TDataList& list = DataList();
  const int c = index.column() + 1, r = index.row() + 1;
  const bool dataPage = page_ == TGridPage::Data;
  const TTextGrid& grid = dataPage ? list.DataGrid : list.DescGrid;
  const bool parsed = !list.DataChanged;
  const bool textColumn = c <= MaxColumns && list.StringVar[c];
  switch (role) {
    case Qt::DisplayRole: {
      std::string_view text = grid.View(c, r);
      if (dataPage && ShowLevels && parsed && textColumn && !text.empty()) {
        const double code = list.Value(c, r);
        if (IsPresent(code) && code != TextValue)
          return Q(text) + QLatin1Char('[') + QString::number(static_cast<long long>(code)) +
                 QLatin1Char(']');
      }
      return Q(text);
    }
    case Qt::EditRole: return Q(grid.View(c, r));
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
      if (dataPage && parsed) {
        if (ProcessIfRec.Active && !list.ProcessOK(r)) return Aqua;
        if (MissingRec.Active && !grid.IsEmpty(c, r) && !list.DataValid(c, r))
          return QColor(Qt::blue);
      }
      return textColumn ? QColor(Qt::yellow) : QColor(Qt::white);
    case Qt::ForegroundRole: return QColor(Qt::black);
    default: return {};
  }
}

bool TDataGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  TDataList& list = DataList();
  const int c = index.column() + 1, r = index.row() + 1;
  const std::string text =
      CleanCellText(value.toString().toStdString());  // as the cell will keep it
  const TTextGrid& grid = page_ == TGridPage::Data ? list.DataGrid : list.DescGrid;
  if (grid.View(c, r) == text) return true;
  if (page_ == TGridPage::Data)
    list.SetCellText(c, r, text);
  else
    list.SetDescText(c, r, text);
  emit dataChanged(index, index);
  if (CellEdited) CellEdited(c, r);
  return true;
}

QVariant TDataGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  const TDataList& list = DataList();
  if (orientation == Qt::Horizontal) {
    if (role == Qt::DisplayRole) return Q(list.DataGrid.View(section + 1, 0));
    return {};
  }
  if (role == Qt::DisplayRole)
    return page_ == TGridPage::Data ? Q(list.DataGrid.View(0, section + 1))
                                    : Q(list.DescGrid.View(0, section + 1));
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

Qt::ItemFlags TDataGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

void TDataGridModel::Reset() {
  beginResetModel();
  rows_ = GridRows();
  cols_ = GridCols();
  endResetModel();
}

void TDataGridModel::SyncShape() {
  const int rows = GridRows(), cols = GridCols();
  if (rows > rows_) {
    beginInsertRows({}, rows_, rows - 1);
    rows_ = rows;
    endInsertRows();
  } else if (rows < rows_) {
    beginRemoveRows({}, rows, rows_ - 1);
    rows_ = rows;
    endRemoveRows();
  }
  if (cols > cols_) {
    beginInsertColumns({}, cols_, cols - 1);
    cols_ = cols;
    endInsertColumns();
  } else if (cols < cols_) {
    beginRemoveColumns({}, cols, cols_ - 1);
    cols_ = cols;
    endRemoveColumns();
  }
  Refresh();
}

void TDataGridModel::Refresh() {
  if (rows_ > 0 && cols_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
  if (cols_ > 0) emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
  if (rows_ > 0) emit headerDataChanged(Qt::Vertical, 0, rows_ - 1);
}

// ---------------------------------------------------------------- delegate

bool IsLimitChar(QChar ch) {
  return ch.isDigit() || ch == QLatin1Char('-') || ch == QLatin1Char('.') ||
         ch == QLatin1Char('E') || ch == QLatin1Char('e');
}

QWidget* TDataGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
  auto* model = qobject_cast<const TDataGridModel*>(index.model());
  if (auto* line = qobject_cast<QLineEdit*>(editor)) {
    if (model && model->Page() == TGridPage::Descriptions && index.row() >= 1)
      line->setValidator(new QRegularExpressionValidator(
          QRegularExpression(QStringLiteral("[0-9eE.\\-]*")), line));
  }
  return editor;
}

// ---------------------------------------------------------------- view

TDataGridView::TDataGridView(TDataGridModel* model, QWidget* parent)
    : QTableView(parent), model_(model) {
  setModel(model);
  setItemDelegate(new TDataGridDelegate(this));
  horizontalHeader()->setMinimumSectionSize(5);
  horizontalHeader()->setDefaultSectionSize(50);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(true);
  verticalHeader()->setMinimumSectionSize(10);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(20);
  verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::DoubleClicked);
  setTabKeyNavigation(true);
  setAutoScroll(false);  // the drag-scroll timer below does it
  setWordWrap(false);
  QPalette pal = palette();
  for (auto group : {QPalette::Active, QPalette::Inactive}) {
    pal.setColor(group, QPalette::Highlight, Navy);
    pal.setColor(group, QPalette::HighlightedText, Qt::white);
  }
  setPalette(pal);
  const QString fixed = QStringLiteral(
      "QHeaderView::section { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 white, "
      "stop:1 silver); color: black; border: 0px; border-right: 1px solid gray; "
      "border-bottom: 1px solid gray; padding-left: 5px; padding-right: 5px; }");
  horizontalHeader()->setStyleSheet(fixed);
  verticalHeader()->setStyleSheet(fixed);
  viewport()->installEventFilter(this);
  horizontalHeader()->viewport()->installEventFilter(this);
  verticalHeader()->viewport()->installEventFilter(this);
  connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, [this](int section) {
    if (EditName) EditName(section + 1);
  });
  connect(&dragTimer_, &QTimer::timeout, this, &TDataGridView::DragTick);
}

int TDataGridView::CurrentCol() const {
  QModelIndex i = currentIndex();
  return i.isValid() ? i.column() + 1 : 1;
}

int TDataGridView::CurrentRow() const {
  QModelIndex i = currentIndex();
  return i.isValid() ? i.row() + 1 : 1;
}

TGridRect TDataGridView::Selection() const {
  const QItemSelection sel = selectionModel()->selection();
  if (sel.isEmpty()) return {CurrentCol(), CurrentRow(), CurrentCol(), CurrentRow()};
  TGridRect r{1 << 30, 1 << 30, -1, -1};
  for (const QItemSelectionRange& range : sel) {
    r.Left = std::min(r.Left, range.left() + 1);
    r.Top = std::min(r.Top, range.top() + 1);
    r.Right = std::max(r.Right, range.right() + 1);
    r.Bottom = std::max(r.Bottom, range.bottom() + 1);
  }
  return r;
}

bool TDataGridView::MultiCellSelection() const { return !Selection().IsCell(); }

void TDataGridView::SetCurrentCell(int c, int r) {
  c = std::clamp(c, 1, std::max(1, model_->columnCount()));
  r = std::clamp(r, 1, std::max(1, model_->rowCount()));
  const QModelIndex i = model_->index(r - 1, c - 1);
  selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
  scrollTo(i);
}

void TDataGridView::SelectBlock(const TGridRect& rect) {
  const QModelIndex tl = model_->index(std::max(rect.Top, 1) - 1, std::max(rect.Left, 1) - 1);
  const QModelIndex br = model_->index(std::min(rect.Bottom, model_->rowCount()) - 1,
                                       std::min(rect.Right, model_->columnCount()) - 1);
  selectionModel()->select(QItemSelection(tl, br), QItemSelectionModel::ClearAndSelect);
}

void TDataGridView::CommitEdit() {
  if (!IsEditing()) return;
  if (QWidget* editor = indexWidget(currentIndex())) {
    commitData(editor);
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

void TDataGridView::TabKey(bool backwards) {
  const int c = CurrentCol(), r = CurrentRow(), cols = model_->columnCount();
  if (backwards) {
    if (c > 1)
      SetCurrentCell(c - 1, r);
    else if (r > 1)
      SetCurrentCell(cols, r - 1);
    return;
  }
  if (c < cols)
    SetCurrentCell(c + 1, r);
  else if (Page() == TGridPage::Data && AppendColumn && AppendColumn())
    SetCurrentCell(model_->columnCount(), r);
}

void TDataGridView::EnterKey() {
  const int c = CurrentCol(), r = CurrentRow();
  if (r >= model_->rowCount()) {
    if (Page() != TGridPage::Data || !AppendRow) return;
    AppendRow();
  }
  SetCurrentCell(c, r + 1);
}

void TDataGridView::CtrlArrow(int dc, int dr, bool extend) {
  const TDataList& list = DataList();
  const TTextGrid& grid = Page() == TGridPage::Data ? list.DataGrid : list.DescGrid;
  const int c0 = CurrentCol(), r0 = CurrentRow();
  int c = c0, r = r0;
  GridJump(grid, c, r, dc, dr, 1, 1);
  if (!extend) {
    SetCurrentCell(c, r);
    return;
  }
  const TGridRect sel = Selection();
  const int anchorC = c0 == sel.Left ? sel.Right : sel.Left;
  const int anchorR = r0 == sel.Top ? sel.Bottom : sel.Top;
  const QModelIndex target = model_->index(r - 1, c - 1);
  selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
  SelectBlock(
      {std::min(anchorC, c), std::min(anchorR, r), std::max(anchorC, c), std::max(anchorR, r)});
  scrollTo(target);
}

void TDataGridView::keyPressEvent(QKeyEvent* e) {
  const auto mods = e->modifiers();
  const bool ctrl = mods & Qt::ControlModifier, shift = mods & Qt::ShiftModifier;
  if (IsEditing()) {
    // Enter that the cell editor let through: commit, then move (and append) as always.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
      CommitEdit();
      EnterKey();
      return;
    }
    QTableView::keyPressEvent(e);
    return;
  }
  switch (e->key()) {
    case Qt::Key_Tab:
      if (!ctrl) {
        TabKey(shift);
        return;
      }
      break;
    case Qt::Key_Backtab: TabKey(true); return;
    case Qt::Key_Return:
    case Qt::Key_Enter: EnterKey(); return;
    case Qt::Key_Delete:
      if (ClearSelection) ClearSelection();
      return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
      if (ctrl) {
        const int k = e->key();
        CtrlArrow(k == Qt::Key_Left ? -1 : (k == Qt::Key_Right ? 1 : 0),
                  k == Qt::Key_Up ? -1 : (k == Qt::Key_Down ? 1 : 0), shift);
        return;
      }
      break;
    default: break;
  }
  // The limit rows take number characters only.
  if (Page() == TGridPage::Descriptions && CurrentRow() >= 2 && !ctrl && !e->text().isEmpty() &&
      e->text().at(0).isPrint()) {
    for (QChar ch : e->text())
      if (!IsLimitChar(ch)) {
        Beep();
        return;
      }
  }
  QTableView::keyPressEvent(e);
}

void TDataGridView::mousePressEvent(QMouseEvent* e) {
  const QModelIndex idx = indexAt(e->pos());
  if (e->button() == Qt::RightButton) {
    // Inside the selection the pop-up acts on it, as the press that made it allows
    // (whole columns or rows); outside, the clicked cell becomes the selection.
    if (idx.isValid() && !selectionModel()->isSelected(idx)) {
      LastPressOnNames = LastPressOnCaseNumbers = false;
      SetCurrentCell(idx.column() + 1, idx.row() + 1);
    }
    if (Pressed) Pressed();
    return;  // the context menu follows
  }
  LastPressOnNames = LastPressOnCaseNumbers = false;
  if (Pressed) Pressed();
  if (e->button() == Qt::LeftButton) {
    dragAnchor_ = idx;
    dragging_ = idx.isValid();
    dragColumns_ = dragRows_ = false;
  }
  QTableView::mousePressEvent(e);
}

void TDataGridView::contextMenuEvent(QContextMenuEvent* e) {
  if (ShowPopup) ShowPopup(e->globalPos());
}

bool TDataGridView::eventFilter(QObject* watched, QEvent* e) {
  const bool onNames = watched == horizontalHeader()->viewport();
  const bool onCases = watched == verticalHeader()->viewport();
  const bool onCells = watched == viewport();
  if (!onNames && !onCases && !onCells) return QTableView::eventFilter(watched, e);
  switch (e->type()) {
    case QEvent::MouseButtonPress: {
      auto* me = static_cast<QMouseEvent*>(e);
      if (me->button() == Qt::RightButton && !onCells) {
        HeaderRightPress(onNames, me->position().toPoint());
        break;
      }
      if (me->button() != Qt::LeftButton || onCells) break;
      CommitEdit();
      LastPressOnNames = onNames;
      LastPressOnCaseNumbers = onCases;
      if (Pressed) Pressed();
      const QPoint p = me->position().toPoint();
      if (onNames) {
        const int col = horizontalHeader()->logicalIndexAt(p);
        dragAnchor_ = model_->index(0, col);
      } else {
        const int row = verticalHeader()->logicalIndexAt(p);
        dragAnchor_ = model_->index(row, 0);
      }
      dragging_ = dragAnchor_.isValid();
      dragColumns_ = onNames;
      dragRows_ = onCases;
      break;
    }
    case QEvent::MouseMove: {
      auto* me = static_cast<QMouseEvent*>(e);
      if (dragging_ && (me->buttons() & Qt::LeftButton))
        DragMove(viewport()->mapFromGlobal(me->globalPosition().toPoint()));
      break;
    }
    case QEvent::MouseButtonRelease: StopDrag(); break;
    case QEvent::ContextMenu:
      // The headers have no menu of their own, and the view takes menus from its cells
      // only: the names row and the case numbers open the editor's pop-up here.
      if (!onCells && ShowPopup) {
        ShowPopup(static_cast<QContextMenuEvent*>(e)->globalPos());
        return true;
      }
      break;
    default: break;
  }
  return QTableView::eventFilter(watched, e);
}

void TDataGridView::HeaderRightPress(bool onNames, QPoint pos) {
  CommitEdit();
  if (Pressed) Pressed();
  const int section =
      onNames ? horizontalHeader()->logicalIndexAt(pos) : verticalHeader()->logicalIndexAt(pos);
  if (section < 0) return;
  // A right-click on a name or case number outside the selection selects that whole
  // column or row first, as a left press would.
  const bool selected = onNames ? selectionModel()->isColumnSelected(section, {})
                                : selectionModel()->isRowSelected(section, {});
  if (!selected) {
    const QModelIndex at = onNames ? model_->index(0, section) : model_->index(section, 0);
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
    if (onNames)
      SelectBlock({section + 1, 1, section + 1, model_->rowCount()});
    else
      SelectBlock({1, section + 1, model_->columnCount(), section + 1});
  }
  LastPressOnNames = onNames;
  LastPressOnCaseNumbers = !onNames;
}

int TDataGridView::DragScrollInterval(QPoint pos) const {
  const QRect r = viewport()->rect();
  if (r.contains(pos)) return 0;
  const int below = pos.y() - r.bottom(), above = r.top() - pos.y();
  if (below > 9 || above > 9) return 1;
  if (below > 0 || above > 0) return 50;
  // Beside the grid: slowly while well inside its height.
  if (pos.y() > r.top() + 10 && pos.y() < r.bottom() - 10) return 300;
  return 50;
}

void TDataGridView::DragMove(QPoint pos) {
  dragPos_ = pos;
  const int interval = DragScrollInterval(pos);
  if (interval == 0) {
    dragTimer_.stop();
    if (dragColumns_ || dragRows_) ExtendTo(indexAt(pos));
    return;
  }
  if (!dragTimer_.isActive() || dragTimer_.interval() != interval) dragTimer_.start(interval);
}

void TDataGridView::DragTick() {
  if (!dragging_ || !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
    StopDrag();
    return;
  }
  const QRect r = viewport()->rect();
  const int dx = dragPos_.x() < r.left() ? -1 : (dragPos_.x() > r.right() ? 1 : 0);
  const int dy = dragPos_.y() < r.top() ? -1 : (dragPos_.y() > r.bottom() ? 1 : 0);
  if (dy && !dragColumns_) verticalScrollBar()->setValue(verticalScrollBar()->value() + dy);
  if (dx && !dragRows_) horizontalScrollBar()->setValue(horizontalScrollBar()->value() + dx);
  const QPoint inside(std::clamp(dragPos_.x(), r.left() + 1, r.right() - 1),
                      std::clamp(dragPos_.y(), r.top() + 1, r.bottom() - 1));
  QModelIndex to = indexAt(inside);
  if (!to.isValid()) {
    const int row = dy > 0 ? model_->rowCount() - 1 : rowAt(inside.y());
    const int col = dx > 0 ? model_->columnCount() - 1 : columnAt(inside.x());
    to = model_->index(row < 0 ? model_->rowCount() - 1 : row,
                       col < 0 ? model_->columnCount() - 1 : col);
  }
  ExtendTo(to);
}

void TDataGridView::StopDrag() {
  dragTimer_.stop();
  dragging_ = false;
}

void TDataGridView::ExtendTo(const QModelIndex& to) {
  if (!dragAnchor_.isValid() || !to.isValid()) return;
  int top = std::min(dragAnchor_.row(), to.row()), bottom = std::max(dragAnchor_.row(), to.row());
  int left = std::min(dragAnchor_.column(), to.column()),
      right = std::max(dragAnchor_.column(), to.column());
  if (dragColumns_) top = 0, bottom = model_->rowCount() - 1;
  if (dragRows_) left = 0, right = model_->columnCount() - 1;
  selectionModel()->select(QItemSelection(model_->index(top, left), model_->index(bottom, right)),
                           QItemSelectionModel::ClearAndSelect);
  selectionModel()->setCurrentIndex(to, QItemSelectionModel::NoUpdate);
}

void TDataGridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  // A request for an editor already closed (the delegate's queued Enter) moves nothing.
  if (!editor || !editor->isVisible()) return;
  switch (hint) {
    case QAbstractItemDelegate::EditNextItem:
    case QAbstractItemDelegate::EditPreviousItem:
      QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
      TabKey(hint == QAbstractItemDelegate::EditPreviousItem);
      return;
    case QAbstractItemDelegate::SubmitModelCache:  // Enter in the cell editor
      QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
      EnterKey();
      return;
    default: QTableView::closeEditor(editor, hint);
  }
}

void TDataGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (CurrentMoved) CurrentMoved();
}

}  // namespace sorvel
