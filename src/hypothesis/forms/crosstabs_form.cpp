#include "hypothesis/forms/crosstabs_form.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "data/data_state.h"
#include "data/grid_edit.h"
#include "editor/data_form.h"
#include "output/grid_print.h"
#include "output/report_writer.h"
#include "ui/chart_dialogs.h"
#include "ui/chart_painter.h"
#include "ui/chart_view.h"
#include "ui/data_editor_hooks.h"
#include "ui/grid_printing.h"
#include "ui/key_filter_qt.h"
#include "ui/messages.h"
#include "ui/printing.h"
#include "ui/recent_files_menu.h"
#include "ui/window_registry.h"

namespace sorvel {

namespace {

QString U(const std::string& s) { return QString::fromStdString(s); }

// Count cells are typed through the cell key filter.
class TCountDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) SetKeyFilter(edit, CrosstabCellKeyFilter);
    return w;
  }
};

// A typed cell: digits only, as the key filter lets them in.
bool ReadCount(const QString& text, std::int64_t& v) {
  const std::string s = text.trimmed().toStdString();
  if (s.empty() || s.size() > 18) return false;
  v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  return true;
}

}  // namespace

TForm_Crosstabs::TForm_Crosstabs(QWidget* owner)
    : TAnalysisForm(owner, QStringLiteral("Crosstabs"), QStringLiteral("Crosstabs"), 1860) {
  setObjectName(QStringLiteral("TForm_Crosstabs"));
  auto* central = new QWidget(this);
  auto* outer = new QHBoxLayout(central);

  // Inputs: the two pages, display, statistics.
  auto* left = new QVBoxLayout;
  PageControl_Input = new QTabWidget(central);
  PageControl_Input->setObjectName(QStringLiteral("PageControl_Input"));
  auto* filePage = new QWidget;
  auto* fileGrid = new QGridLayout(filePage);
  ComboBox_Rows = new QComboBox(filePage);
  ComboBox_Rows->setObjectName(QStringLiteral("ComboBox_Rows"));
  ComboBox_Cols = new QComboBox(filePage);
  ComboBox_Cols->setObjectName(QStringLiteral("ComboBox_Cols"));
  auto* rowsLabel = new QLabel(QStringLiteral("&Rows:"), filePage);
  rowsLabel->setBuddy(ComboBox_Rows);
  auto* colsLabel = new QLabel(QStringLiteral("&Cols:"), filePage);
  colsLabel->setBuddy(ComboBox_Cols);
  fileGrid->addWidget(rowsLabel, 0, 0);
  fileGrid->addWidget(ComboBox_Rows, 0, 1);
  fileGrid->addWidget(colsLabel, 1, 0);
  fileGrid->addWidget(ComboBox_Cols, 1, 1);
  fileGrid->setRowStretch(2, 1);
  auto* manualPage = new QWidget;
  auto* manualGrid = new QGridLayout(manualPage);
  SpinEdit_Row = new QSpinBox(manualPage);
  SpinEdit_Row->setObjectName(QStringLiteral("SpinEdit_Row"));
  SpinEdit_Col = new QSpinBox(manualPage);
  SpinEdit_Col->setObjectName(QStringLiteral("SpinEdit_Col"));
  for (QSpinBox* s : {SpinEdit_Row, SpinEdit_Col}) {
    s->setRange(1, 99);
    s->setValue(2);
  }
  auto* mRows = new QLabel(QStringLiteral("&Rows:"), manualPage);
  mRows->setBuddy(SpinEdit_Row);
  auto* mCols = new QLabel(QStringLiteral("&Cols:"), manualPage);
  mCols->setBuddy(SpinEdit_Col);
  Edit_RowName = new QLineEdit(QStringLiteral("R"), manualPage);
  Edit_RowName->setObjectName(QStringLiteral("Edit_RowName"));
  Edit_ColName = new QLineEdit(QStringLiteral("C"), manualPage);
  Edit_ColName->setObjectName(QStringLiteral("Edit_ColName"));
  auto* names = new QGroupBox(QStringLiteral("Variable Names"), manualPage);
  auto* namesLayout = new QGridLayout(names);
  namesLayout->addWidget(new QLabel(QStringLiteral("Rows"), names), 0, 0);
  namesLayout->addWidget(Edit_RowName, 0, 1);
  namesLayout->addWidget(new QLabel(QStringLiteral("Cols"), names), 1, 0);
  namesLayout->addWidget(Edit_ColName, 1, 1);
  Button_Clear = new QPushButton(QStringLiteral("&Clear"), manualPage);
  Button_Clear->setObjectName(QStringLiteral("Button_Clear"));
  manualGrid->addWidget(mRows, 0, 0);
  manualGrid->addWidget(SpinEdit_Row, 0, 1);
  manualGrid->addWidget(mCols, 1, 0);
  manualGrid->addWidget(SpinEdit_Col, 1, 1);
  manualGrid->addWidget(names, 2, 0, 1, 2);
  manualGrid->addWidget(Button_Clear, 3, 0, 1, 2);
  manualGrid->setRowStretch(4, 1);
  PageControl_Input->addTab(filePage, QStringLiteral("File Data"));
  PageControl_Input->addTab(manualPage, QStringLiteral("Manual Entry"));
  left->addWidget(PageControl_Input);

  auto* displayBox = new QGroupBox(QStringLiteral("Display"), central);
  auto* displayLayout = new QVBoxLayout(displayBox);
  Display = new QButtonGroup(displayBox);
  const QString captions[] = {QStringLiteral("Count"), QStringLiteral("Proportion"),
                              QStringLiteral("%")};
  for (int i = 0; i < 3; ++i) {
    auto* b = new QRadioButton(captions[i], displayBox);
    Display->addButton(b, i);
    displayLayout->addWidget(b);
  }
  Display->button(0)->setChecked(true);
  CheckBox_Expected = new QCheckBox(QStringLiteral("Expected Value"), displayBox);
  CheckBox_Expected->setObjectName(QStringLiteral("CheckBox_Expected"));
  displayLayout->addWidget(CheckBox_Expected);
  left->addWidget(displayBox);

  StatCheckListBox = new QListWidget(central);
  StatCheckListBox->setObjectName(QStringLiteral("StatCheckListBox"));
  for (const char* c : CTStatCaptions) {
    auto* item = new QListWidgetItem(QString::fromUtf8(c), StatCheckListBox);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  // All six statistics in view.
  StatCheckListBox->setMinimumHeight(6 * StatCheckListBox->sizeHintForRow(0) +
                                     2 * StatCheckListBox->frameWidth() + 2);
  StatCheckListBox->setMaximumHeight(StatCheckListBox->minimumHeight());
  left->addWidget(StatCheckListBox);
  Button_Stats = new QPushButton(QStringLiteral("Stats"), central);
  Button_Stats->setObjectName(QStringLiteral("Button_Stats"));
  Button_Stats->setEnabled(false);
  auto* numbers = new QGridLayout;
  DecimalSpinEdit = MakeDecimalSpinEdit(central, QStringLiteral("DecimalSpinEdit"), 2);
  auto* decLabel = new QLabel(QStringLiteral("&Decimals:"), central);
  decLabel->setBuddy(DecimalSpinEdit);
  ConfComboBox = new QComboBox(central);
  ConfComboBox->setObjectName(QStringLiteral("ConfComboBox"));
  ConfComboBox->addItems({QStringLiteral("90"), QStringLiteral("95"), QStringLiteral("99")});
  ConfComboBox->setCurrentIndex(1);
  auto* confLabel = new QLabel(QStringLiteral("&Conf:"), central);
  confLabel->setBuddy(ConfComboBox);
  numbers->addWidget(decLabel, 0, 0);
  numbers->addWidget(DecimalSpinEdit, 0, 1);
  numbers->addWidget(confLabel, 1, 0);
  numbers->addWidget(ConfComboBox, 1, 1);
  numbers->addWidget(Button_Stats, 2, 0, 1, 2);
  left->addLayout(numbers);
  CheckBox_MinWidths = new QCheckBox(QStringLiteral("Minimize Column &Widths"), central);
  CheckBox_MinWidths->setObjectName(QStringLiteral("CheckBox_MinWidths"));
  left->addWidget(CheckBox_MinWidths);
  auto* edits = new QHBoxLayout;
  Button_Remove = new QPushButton(QStringLiteral("Remove"), central);
  Button_Remove->setObjectName(QStringLiteral("Button_Remove"));
  Button_Merge = new QPushButton(QStringLiteral("Merge"), central);
  Button_Merge->setObjectName(QStringLiteral("Button_Merge"));
  Button_Remove->setVisible(false);
  Button_Merge->setVisible(false);
  edits->addWidget(Button_Remove);
  edits->addWidget(Button_Merge);
  left->addLayout(edits);
  left->addStretch(1);

  // Table and report; graph.
  PageControl_Main = new QTabWidget(central);
  PageControl_Main->setObjectName(QStringLiteral("PageControl_Main"));
  auto* split = new QSplitter(Qt::Vertical);
  StringGrid_CT = new QTableWidget(split);
  StringGrid_CT->setObjectName(QStringLiteral("StringGrid_CT"));
  StringGrid_CT->horizontalHeader()->setVisible(false);
  StringGrid_CT->verticalHeader()->setVisible(false);
  StringGrid_CT->setItemDelegate(new TCountDelegate(StringGrid_CT));
  StringGrid_CT->setContextMenuPolicy(Qt::CustomContextMenu);
  StringGrid_CT->setStyleSheet(
      QStringLiteral("QTableWidget { selection-background-color: navy; selection-color: white; }"));
  StringGrid_CT->installEventFilter(this);
  RichEdit = new TReportView(split);
  RichEdit->setObjectName(QStringLiteral("RichEdit"));
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 1);
  PageControl_Main->addTab(split, QStringLiteral("Table"));
  auto* graphPage = new QWidget;
  auto* graphLayout = new QVBoxLayout(graphPage);
  ChartView = new TChartView(graphPage);
  ChartView->setObjectName(QStringLiteral("ChartView"));
  ChartView->installEventFilter(this);
  auto* graphButtons = new QHBoxLayout;
  ScrollBar_Zoom = new QScrollBar(Qt::Horizontal, graphPage);
  ScrollBar_Zoom->setObjectName(QStringLiteral("ScrollBar_Zoom"));
  ScrollBar_Zoom->setRange(0, 40);
  ScrollBar_Zoom->setMinimumWidth(160);
  auto* zoomLabel = new QLabel(QStringLiteral("Zoom In:"), graphPage);
  zoomLabel->setBuddy(ScrollBar_Zoom);
  graphButtons->addWidget(zoomLabel);
  graphButtons->addWidget(ScrollBar_Zoom);
  CheckBox_Rotate = new QCheckBox(QStringLiteral("Rotate"), graphPage);
  CheckBox_Rotate->setObjectName(QStringLiteral("CheckBox_Rotate"));
  Button_ResetView = new QPushButton(QStringLiteral("&Reset"), graphPage);
  Button_ResetView->setObjectName(QStringLiteral("Button_ResetView"));
  graphButtons->addWidget(CheckBox_Rotate);
  graphButtons->addWidget(Button_ResetView);
  graphButtons->addStretch(1);
  graphLayout->addWidget(ChartView, 1);
  graphLayout->addLayout(graphButtons);
  PageControl_Main->addTab(graphPage, QStringLiteral("Graph"));
  outer->addLayout(left);
  outer->addWidget(PageControl_Main, 1);
  setCentralWidget(central);
  SetCurrentReport(RichEdit);

  // The grid's pop-up menu.
  PopupMenu = new QMenu(this);
  PopupCopy = PopupMenu->addAction(QStringLiteral("Copy"), this, &TForm_Crosstabs::CopyGrid);
  // Remove or merge the selected columns or rows, keeping the table to restore.
  auto edit = [this](bool columns, bool merge) {
    return [this, columns, merge] {
      KeepOriginal();
      EditSelection(columns, merge);
      AfterEdit();
    };
  };
  PopupRemoveCols =
      PopupMenu->addAction(QStringLiteral("Remove Column(s)"), this, edit(true, false));
  PopupRemoveRows = PopupMenu->addAction(QStringLiteral("Remove Row(s)"), this, edit(false, false));
  PopupMergeCols = PopupMenu->addAction(QStringLiteral("Merge Columns"), this, edit(true, true));
  PopupMergeRows = PopupMenu->addAction(QStringLiteral("Merge Rows"), this, edit(false, true));
  PopupRestore = PopupMenu->addAction(QStringLiteral("Restore Columns/Rows"), this,
                                      &TForm_Crosstabs::RestoreClick);
  PopupRestore->setEnabled(false);
  connect(StringGrid_CT, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    const int cols = SelectedCount(SelCol), rows = SelectedCount(SelRow);
    PopupCopy->setVisible(cols == 0 && rows == 0);
    PopupRemoveCols->setVisible(cols >= 1);
    PopupRemoveRows->setVisible(rows >= 1);
    PopupMergeCols->setVisible(cols >= 2);
    PopupMergeRows->setVisible(rows >= 2);
    PopupRestore->setEnabled(edited_);
    PopupMenu->popup(StringGrid_CT->viewport()->mapToGlobal(p));
  });

  // Commands.
  NewDataAction = new QAction(QStringLiteral("&New"), this);
  connect(NewDataAction, &QAction::triggered, this, [] {
    if (DataEditorHooks().NewFile) DataEditorHooks().NewFile();
  });
  OpenDataAction = new QAction(QStringLiteral("&Open File"), this);
  connect(OpenDataAction, &QAction::triggered, this, [] {
    if (DataEditorHooks().OpenDialog) DataEditorHooks().OpenDialog();
  });
  DataEditorAction = new QAction(QStringLiteral("&Data Editor"), this);
  DataEditorAction->setShortcut(QKeySequence(Qt::Key_F4));
  // The editor's Return goes back here.
  connect(DataEditorAction, &QAction::triggered, this, [this] {
    if (HasForm("data-editor"))
      static_cast<TDataForm*>(FormFor("data-editor"))
          ->ShowDataEditor(this, QStringLiteral("Crosstabs Form"));
  });
  QAction* first = FileMenu->actions().value(0);
  FileMenu->insertActions(first, {NewDataAction, OpenDataAction, DataEditorAction});
  FileMenu->insertSeparator(first);
  QAction* mru = FileMenu->addSeparator();
  mru->setObjectName(QStringLiteral("MenuLineMRU"));
  for (int i = 1; i <= 9; ++i) {
    QAction* a = FileMenu->addAction(QString());
    a->setObjectName(QStringLiteral("MRFile%1").arg(i));
    connect(a, &QAction::triggered, this, [this, i] { MRFileClick(i); });
  }
  connect(FileMenu, &QMenu::aboutToShow, this, [this] { FileClick(this); });
  // Print, Copy and Paste act on the table where the report would not.
  disconnect(PrintAction, &QAction::triggered, this, nullptr);
  connect(PrintAction, &QAction::triggered, this, &TForm_Crosstabs::PrintClick);
  disconnect(CopyAction, &QAction::triggered, this, nullptr);
  connect(CopyAction, &QAction::triggered, this, [this] {
    if (RichEdit->hasFocus())
      EditCommand(TEditCommand::Copy);
    else if (PageControl_Main->currentIndex() == 1)
      CopyGraph();
    else
      CopyGrid();
  });
  disconnect(PasteAction, &QAction::triggered, this, nullptr);
  connect(PasteAction, &QAction::triggered, this, [this] {
    if (ManualEntry && !RichEdit->hasFocus())
      PasteTable(QApplication::clipboard()->text());
    else
      EditCommand(TEditCommand::Paste);
  });
  AddFontCommands([this] { FontStep(1); }, [this] { FontStep(-1); });

  connect(ComboBox_Rows, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) RebuildFromData();
  });
  connect(ComboBox_Cols, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) RebuildFromData();
  });
  connect(PageControl_Input, &QTabWidget::currentChanged, this,
          [this](int page) { SetManual(page == 1); });
  connect(Display, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) Redisplay();
  });
  connect(CheckBox_Expected, &QCheckBox::toggled, this, [this] { Redisplay(); });
  connect(ConfComboBox, &QComboBox::currentIndexChanged, this, [this] { WriteReport(); });
  connect(StatCheckListBox, &QListWidget::itemChanged, this, [this] {
    Button_Stats->setEnabled(CheckedStats() != 0);
    WriteReport();
  });
  connect(Button_Stats, &QPushButton::clicked, this, [this] { WriteReport(); });
  connect(SpinEdit_Row, &QSpinBox::valueChanged, this, [this] { SizeChanged(); });
  connect(SpinEdit_Col, &QSpinBox::valueChanged, this, [this] { SizeChanged(); });
  connect(Edit_RowName, &QLineEdit::textChanged, this, [this] { Redisplay(); });
  connect(Edit_ColName, &QLineEdit::textChanged, this, [this] { Redisplay(); });
  connect(Button_Clear, &QPushButton::clicked, this, &TForm_Crosstabs::ClearClick);
  connect(Button_Remove, &QPushButton::clicked, this, &TForm_Crosstabs::RemoveClick);
  connect(Button_Merge, &QPushButton::clicked, this, &TForm_Crosstabs::MergeClick);
  connect(StringGrid_CT, &QTableWidget::cellClicked, this, &TForm_Crosstabs::GridClick);
  connect(StringGrid_CT, &QTableWidget::cellChanged, this, &TForm_Crosstabs::CellChanged);
  connect(CheckBox_MinWidths, &QCheckBox::toggled, this, [this] { ShowTable(); });
  connect(PageControl_Main, &QTabWidget::currentChanged, this, [this](int page) {
    if (page == 1) DrawChart();
  });
  connect(ScrollBar_Zoom, &QScrollBar::valueChanged, this, [this](int position) {
    SetCrosstabsZoom(ChartView->Chart(), position);
    ChartView->Redraw();
  });
  connect(Button_ResetView, &QPushButton::clicked, this, [this] {
    Angle = 45;
    const QSignalBlocker block(ScrollBar_Zoom);
    ScrollBar_Zoom->setValue(0);
    ChartView->ZoomOut();
    DrawChart();
  });
  connect(ChartView, &TChartView::ChartDoubleClicked, this, [this] { CopyGraph(); });
  connect(ChartView, &TChartView::TitleClicked, this, [this] {
    TForm_ChartTitles dialog(
        ChartView->Chart(), [this] { ChartView->Redraw(); }, this);
    dialog.exec();
  });

  AskPrinter = [this](QPrinter& printer) {
    QPrintDialog dialog(&printer, this);
    return dialog.exec() == QDialog::Accepted;
  };

  CT.Resize(2, 2);
  Activated();
  resize(900, 560);
}

std::string TForm_Crosstabs::ColVar() const {
  if (ManualEntry) return Edit_ColName->text().toStdString();
  return DataList().ColumnTitleOrName(ComboBox_Cols->currentIndex() + 1);
}

std::string TForm_Crosstabs::RowVar() const {
  if (ManualEntry) return Edit_RowName->text().toStdString();
  return DataList().ColumnTitleOrName(ComboBox_Rows->currentIndex() + 1);
}

unsigned TForm_Crosstabs::CheckedStats() const {
  unsigned stats = 0;
  for (int k = 0; k < StatCheckListBox->count(); ++k)
    if (StatCheckListBox->item(k)->checkState() == Qt::Checked) stats |= 1u << k;
  return stats;
}

int TForm_Crosstabs::SelectedCount(const std::vector<bool>& sel) const {
  int n = 0;
  for (bool b : sel) n += b;
  return n;
}

void TForm_Crosstabs::FillCombos() {
  filling_ = true;
  ComboBox_Rows->clear();
  ComboBox_Cols->clear();
  const TDataList& d = DataList();
  for (int c = 1; c <= d.MaxCol(); ++c) {
    ComboBox_Rows->addItem(U(d.ColumnName(c)));
    ComboBox_Cols->addItem(U(d.ColumnName(c)));
  }
  ComboBox_Rows->setCurrentIndex(0);
  ComboBox_Cols->setCurrentIndex(0);
  filling_ = false;
}

void TForm_Crosstabs::Activated() {
  const bool haveData = DataList().HaveData();
  NewDataAction->setEnabled(DataEditorHooks().Available());
  OpenDataAction->setEnabled(DataEditorHooks().Available());
  DataEditorAction->setEnabled(HasForm("data-editor"));
  PageControl_Input->setTabVisible(0, haveData);
  const std::int32_t seen = DataChangeCount * 65599 + NewDataCount * 257 + ColumnsChangeCount;
  if (!haveData) {
    PageControl_Input->setCurrentIndex(1);
    SetManual(true);
    if (seenData_ == -1) ShowTable();
    seenData_ = seen;
    return;
  }
  if (seen == seenData_) return;
  seenData_ = seen;
  FillCombos();
  // New data: the table is built from it.
  if (PageControl_Input->currentIndex() == 0)
    RebuildFromData();
  else
    PageControl_Input->setCurrentIndex(0);
}

void TForm_Crosstabs::SetManual(bool manual) {
  ManualEntry = manual;
  PasteAction->setEnabled(manual);
  if (!manual && DataList().HaveData()) RebuildFromData();
  if (manual) {
    // Typed categories are numbered; the table the data gave stays as the start.
    const QSignalBlocker b1(SpinEdit_Row), b2(SpinEdit_Col);
    SpinEdit_Row->setValue(CT.J());
    SpinEdit_Col->setValue(CT.I());
    Redisplay();
  }
}

void TForm_Crosstabs::RebuildFromData() {
  TDataList& d = DataList();
  const int rows = ComboBox_Rows->currentIndex() + 1, cols = ComboBox_Cols->currentIndex() + 1;
  CT.GenerateFreqArray(d, cols, rows,
                       [](long long cells) { return AskYesNo(U(TableSizeQuestion(cells))); });
  edited_ = false;
  PopupRestore->setEnabled(false);
  if (CT.StatError == 98)
    ShowInfo(QStringLiteral("The table would have more than %1 cells!").arg(CTMaxCells));
  if (CT.StatError != 0) {
    StringGrid_CT->clear();
    StringGrid_CT->setRowCount(0);
    StringGrid_CT->setColumnCount(0);
    RichEdit->ClearReport();
    return;
  }
  const QSignalBlocker b1(SpinEdit_Row), b2(SpinEdit_Col);
  SpinEdit_Row->setValue(CT.J());
  SpinEdit_Col->setValue(CT.I());
  Redisplay();
}

void TForm_Crosstabs::Redisplay() {
  SelCol.assign(CT.I() + 2, false);
  SelRow.assign(CT.J() + 2, false);
  ShowTable();
  UpdateSelectionButtons();
  WriteReport();
  if (PageControl_Main->currentIndex() == 1) DrawChart();
}

void TForm_Crosstabs::ShowTable() {
  if (CT.StatError != 0) return;
  filling_ = true;
  const TTextGrid g =
      CrossTabGrid(CT, ColVar(), RowVar(), static_cast<TCTDisplay>(Display->checkedId()),
                   CheckBox_Expected->isChecked(), DecimalSpinEdit->value());
  StringGrid_CT->clearContents();
  StringGrid_CT->setColumnCount(g.ColCount());
  StringGrid_CT->setRowCount(g.RowCount());
  SelCol.resize(g.ColCount(), false);
  SelRow.resize(g.RowCount(), false);
  const int lastCol = CT.I() + 1, lastRow = CT.J() + 1;
  for (int r = 0; r < g.RowCount(); ++r)
    for (int c = 0; c < g.ColCount(); ++c) {
      auto* item = new QTableWidgetItem(U(g.Cell(c, r)));
      item->setTextAlignment((c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
      const bool body = r >= 1 && c >= 1 && r < lastRow && c < lastCol;
      Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
      if (body && ManualEntry) flags |= Qt::ItemIsEditable;
      item->setFlags(flags);
      StringGrid_CT->setItem(r, c, item);
    }
  ColorCells();
  // Each column as wide as its text plus two digits' room.
  const int base = CheckBox_MinWidths->isChecked() ? 10 : 50;
  const QFontMetrics fm(StringGrid_CT->font());
  const int room = 2 * fm.horizontalAdvance(QLatin1Char('0'));
  for (int c = 0; c < g.ColCount(); ++c) {
    int w = base;
    for (int r = 0; r < g.RowCount(); ++r)
      w = std::max(w, fm.horizontalAdvance(U(g.Cell(c, r))) + room);
    StringGrid_CT->setColumnWidth(c, w);
  }
  filling_ = false;
}

// Fixed cells shaded white to silver, selected rows and columns aqua, totals in the
// button face colour, the rest white; cells the user selects are drawn navy.
void TForm_Crosstabs::ColorCells() {
  const int lastCol = CT.I() + 1, lastRow = CT.J() + 1;
  const QColor buttonFace = palette().color(QPalette::Button);
  QLinearGradient fixed(0, 0, 0, 1);
  fixed.setCoordinateMode(QGradient::ObjectBoundingMode);
  fixed.setColorAt(0, Qt::white);
  fixed.setColorAt(1, QColor(0xC0, 0xC0, 0xC0));
  const bool was = filling_;
  filling_ = true;
  for (int r = 0; r < StringGrid_CT->rowCount(); ++r)
    for (int c = 0; c < StringGrid_CT->columnCount(); ++c) {
      QTableWidgetItem* item = StringGrid_CT->item(r, c);
      if (!item) continue;
      const bool selected = (c < static_cast<int>(SelCol.size()) && SelCol[c]) ||
                            (r < static_cast<int>(SelRow.size()) && SelRow[r]);
      if (r == 0 || c == 0)
        item->setBackground(QBrush(fixed));
      else if (selected)
        item->setBackground(QColor(0x00, 0xFF, 0xFF));  // aqua
      else if (r == lastRow || c == lastCol)
        item->setBackground(buttonFace);
      else
        item->setBackground(Qt::white);
    }
  filling_ = was;
}

void TForm_Crosstabs::UpdateSelectionButtons() {
  const bool any = SelectedCount(SelCol) + SelectedCount(SelRow) > 0;
  Button_Remove->setVisible(any);
  Button_Merge->setVisible(any);
}

void TForm_Crosstabs::WriteReport() {
  TCTReportInputs in;
  in.ColVar = ColVar();
  in.RowVar = RowVar();
  in.FileData = !ManualEntry;
  if (in.FileData) {
    const std::string& path = DataEditor.DataFilename;
    const auto slash = path.find_last_of("/\\");
    in.FileName = slash == std::string::npos ? path : path.substr(slash + 1);
    TFileModStrings mods;
    if (BuildFileModString(mods)) in.ModificationLine = mods.Line;
  }
  in.Stats = CheckedStats();
  in.Conf = ConfComboBox->currentText().toDouble() / 100;
  TReport report;
  {
    TReportScope scope(report);
    WriteCrosstabsReport(CT, in);
  }
  RichEdit->SetReport(report);
}

void TForm_Crosstabs::GridClick(int row, int col) {
  const int lastCol = CT.I() + 1, lastRow = CT.J() + 1;
  if (row == 0 && col == 0) {
    StringGrid_CT->selectAll();
    std::fill(SelCol.begin(), SelCol.end(), false);
    std::fill(SelRow.begin(), SelRow.end(), false);
  } else if (row == 0 && col < lastCol) {
    SelCol[col] = !SelCol[col];
    std::fill(SelRow.begin(), SelRow.end(), false);
  } else if (col == 0 && row < lastRow) {
    SelRow[row] = !SelRow[row];
    std::fill(SelCol.begin(), SelCol.end(), false);
  } else {
    std::fill(SelCol.begin(), SelCol.end(), false);
    std::fill(SelRow.begin(), SelRow.end(), false);
  }
  ColorCells();
  UpdateSelectionButtons();
}

void TForm_Crosstabs::AfterEdit() {
  edited_ = true;
  PopupRestore->setEnabled(true);
  const QSignalBlocker b1(SpinEdit_Row), b2(SpinEdit_Col);
  SpinEdit_Row->setValue(CT.J());
  SpinEdit_Col->setValue(CT.I());
  Redisplay();
}

void TForm_Crosstabs::KeepOriginal() {
  if (!edited_) snapshot_ = CT;
}

std::vector<int> TForm_Crosstabs::Selected(const std::vector<bool>& sel, int count) const {
  std::vector<int> out;
  for (int k = 1; k <= count && k < static_cast<int>(sel.size()); ++k)
    if (sel[k]) out.push_back(k);
  return out;
}

void TForm_Crosstabs::EditSelection(bool columns, bool merge) {
  if (columns) {
    const std::vector<int> cols = Selected(SelCol, CT.I());
    merge ? CT.MergeColumns(cols) : CT.RemoveColumns(cols);
  } else {
    const std::vector<int> rows = Selected(SelRow, CT.J());
    merge ? CT.MergeRows(rows) : CT.RemoveRows(rows);
  }
}

// Columns first, then rows, as the buttons do.
void TForm_Crosstabs::RemoveClick() {
  KeepOriginal();
  EditSelection(true, false);
  EditSelection(false, false);
  AfterEdit();
}

void TForm_Crosstabs::MergeClick() {
  KeepOriginal();
  EditSelection(true, true);
  EditSelection(false, true);
  AfterEdit();
}

void TForm_Crosstabs::RestoreClick() {
  if (!edited_) return;
  if (ManualEntry || !DataList().HaveData()) {
    // A typed table has no data to rebuild from: it returns as it was before the edits.
    CT = snapshot_;
    edited_ = false;
    PopupRestore->setEnabled(false);
    const QSignalBlocker b1(SpinEdit_Row), b2(SpinEdit_Col);
    SpinEdit_Row->setValue(CT.J());
    SpinEdit_Col->setValue(CT.I());
    Redisplay();
  } else {
    RebuildFromData();
  }
}

void TForm_Crosstabs::CellChanged(int row, int col) {
  if (filling_ || !ManualEntry || row < 1 || col < 1 || row > CT.J() || col > CT.I()) return;
  std::int64_t v = 0;
  if (ReadCount(StringGrid_CT->item(row, col)->text(), v)) CT.SetCount(col, row, v);
  // Typed counts are shown as counts; the cells are rewritten in place (the edited item
  // is still in use while this runs).
  const bool wasCounts = Display->checkedId() == 0 && !CheckBox_Expected->isChecked();
  {
    const QSignalBlocker b1(Display), b2(CheckBox_Expected);
    Display->button(0)->setChecked(true);
    CheckBox_Expected->setChecked(false);
  }
  const TTextGrid g =
      CrossTabGrid(CT, ColVar(), RowVar(), TCTDisplay::Count, false, DecimalSpinEdit->value());
  filling_ = true;
  for (int r = 0; r < g.RowCount() && r < StringGrid_CT->rowCount(); ++r)
    for (int c = 0; c < g.ColCount() && c < StringGrid_CT->columnCount(); ++c) {
      QTableWidgetItem* item = StringGrid_CT->item(r, c);
      const QString text = U(g.Cell(c, r));
      if (item && (!wasCounts || r == row || c == col || r == CT.J() + 1 || c == CT.I() + 1) &&
          item->text() != text)
        item->setText(text);
    }
  filling_ = false;
  WriteReport();
}

void TForm_Crosstabs::PasteTable(const QString& text) {
  if (!ManualEntry) return;
  std::vector<std::vector<std::int64_t>> rows;
  std::string error;
  if (!ParsePastedTable(text.toStdString(), rows, error)) {
    ShowInfo(U(error));
    return;
  }
  CT.SetCounts(rows);
  edited_ = false;
  PopupRestore->setEnabled(false);
  const QSignalBlocker b1(SpinEdit_Row), b2(SpinEdit_Col);
  SpinEdit_Row->setValue(CT.J());
  SpinEdit_Col->setValue(CT.I());
  Redisplay();
}

void TForm_Crosstabs::SizeChanged() {
  if (!ManualEntry) return;
  CT.Resize(SpinEdit_Col->value(), SpinEdit_Row->value());
  Redisplay();
}

void TForm_Crosstabs::ClearClick() {
  CT.Clear();
  Redisplay();
}

void TForm_Crosstabs::Recompute() { Redisplay(); }

void TForm_Crosstabs::DrawChart() {
  ChartView->SetChart(CrosstabsChart(CT, ColVar(), RowVar(), Angle, ScrollBar_Zoom->value()));
}

void TForm_Crosstabs::MRFileClick(int slot) {
  const QString path = RecentFileToOpen(this, slot);
  if (path.isEmpty() || !DataEditorHooks().OpenFile) return;
  if (!DataEditorHooks().OpenFile(path)) return;
  // The opened file's columns are what the table is built from.
  Activated();
  if (DataList().HaveData()) PageControl_Input->setCurrentIndex(0);
}

void TForm_Crosstabs::CopyGrid() {
  QString text;
  for (int r = 0; r < StringGrid_CT->rowCount(); ++r) {
    for (int c = 0; c < StringGrid_CT->columnCount(); ++c) {
      if (c) text += QLatin1Char('\t');
      if (auto* item = StringGrid_CT->item(r, c)) text += item->text();
    }
    text += QStringLiteral("\r\n");
  }
  QApplication::clipboard()->setText(text);
}

void TForm_Crosstabs::FontStep(int delta) {
  if (RichEdit->hasFocus()) {
    RichEdit->ScaleReportFonts(1, delta);
    return;
  }
  QFont f = StringGrid_CT->font();
  const int size = std::clamp(f.pointSize() + delta, 6, 72);
  f.setPointSize(size);
  StringGrid_CT->setFont(f);
  StringGrid_CT->verticalHeader()->setDefaultSectionSize(size * 20 / 8);
  ShowTable();
}

void TForm_Crosstabs::PrintOn(QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) return;
  TQtPageDevice device(printer, painter);
  TMPrinter mp;
  const bool landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
  const TPrintFont body = TablePrintFont();
  mp.InitMPrinter(device);
  mp.SetFont(body);
  if (landscape)
    mp.SetMargins(750, 750, 1000, 500);
  else
    mp.SetMargins(750, 500, 600, 500);
  mp.SetHeaderFooter("Sorvelstats", "", "&D", landscape ? 650 : 250, true, 1, PrinterFont());
  mp.SetHeaderFooter("", "", "Page (&P)", 250, true, 2, PrinterFont());
  const std::string title = SharedReportTitle().empty() ? "Crosstabs" : SharedReportTitle();
  mp.SetFont(TPrintFont{"Arial", 12, true, false, 0});
  mp.PrintLine(title);
  mp.SetFont(body);
  mp.PrintLine("");
  if (!ManualEntry) {
    const std::string& path = DataEditor.DataFilename;
    const auto slash = path.find_last_of("/\\");
    if (!path.empty())
      mp.PrintLine("File: " + (slash == std::string::npos ? path : path.substr(slash + 1)));
    TFileModStrings mods;
    if (BuildFileModString(mods)) mp.PrintLine(mods.Line);
  }
  const TTextGrid g =
      CrossTabGrid(CT, ColVar(), RowVar(), static_cast<TCTDisplay>(Display->checkedId()),
                   CheckBox_Expected->isChecked(), DecimalSpinEdit->value());
  PrintGridInJob(mp, g, "CrossTabs", body);
  const TReport report = RichEdit->Report();
  for (const TReportLine& line : report.Lines) {
    if (line.IsPageMark()) {
      mp.PrintString("\f");
      continue;
    }
    if (!line.Runs.empty()) {
      const TTextStyle& s = line.Runs.front().Style;
      mp.SetFont(TPrintFont{s.Font, s.Size + 2, s.Bold, s.Underline, s.Color});
    }
    mp.PrintLine(line.Text());
  }
  painter.end();
}

void TForm_Crosstabs::PrintClick() {
  // The font first; cancelling it prints nothing.
  if (!AskTablePrintFont(this)) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("Sorvelstats"));
  printer.setPageOrientation(GridPrintOrientation());
  if (!AskPrinter(printer)) return;
  GridPrintOrientation() = printer.pageLayout().orientation();
  PrintOn(printer);
}

bool TForm_Crosstabs::HasGraphic() const { return PageControl_Main->currentIndex() == 1; }

void TForm_Crosstabs::PaintGraphic(QPainter& painter, const QRectF& target) const {
  PaintChart(painter, ChartView->Chart(), target, false);
}

bool TForm_Crosstabs::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) Activated();
  return TAnalysisForm::event(e);
}

bool TForm_Crosstabs::eventFilter(QObject* watched, QEvent* e) {
  if (watched == StringGrid_CT && e->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->matches(QKeySequence::Paste) && ManualEntry) {
      PasteTable(QApplication::clipboard()->text());
      return true;
    }
    if (key->matches(QKeySequence::Copy)) {
      CopyGrid();
      return true;
    }
  }
  // Rotate: a drag across the chart turns the receding axis (0 to 90 degrees).
  if (watched == ChartView && CheckBox_Rotate->isChecked()) {
    if (e->type() == QEvent::MouseButtonPress) {
      dragX_ = static_cast<QMouseEvent*>(e)->position().toPoint().x();
      return true;
    }
    if (e->type() == QEvent::MouseMove) {
      const int x = static_cast<QMouseEvent*>(e)->position().toPoint().x();
      Angle = std::clamp(Angle + (x - dragX_) * 0.5, 0.0, 90.0);
      dragX_ = x;
      DrawChart();
      return true;
    }
    if (e->type() == QEvent::MouseButtonRelease) return true;
  }
  return TAnalysisForm::eventFilter(watched, e);
}

}  // namespace sorvel
