#include "editor/data_form.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <optional>

#include "data/data_state.h"
#include "data/io/data_file.h"
#include "data/io/workbook.h"
#include "editor/add_variables_form.h"
#include "editor/find_form.h"
#include "editor/missing_form.h"
#include "editor/process_if_form.h"
#include "editor/sheet_dialog.h"
#include "editor/transform_form.h"
#include "editor/weight_cases_form.h"
#include "explore/compute_variables.h"
#include "shell/mru.h"
#include "ui/messages.h"
#include "ui/recent_files_menu.h"
#include "ui/shell_services.h"
#include "ui/window_placement.h"
#include "ui/window_registry.h"

namespace sorvel {

namespace {

TDataForm* instance = nullptr;

QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr int DefaultColumnWidth = 50;
constexpr int SmallColumnWidth = 5;
constexpr int SampleRows = 200;  // rows measured when columns are fitted to their texts

}  // namespace

QStringList QtFileFilters(const char* filter) {
  const QStringList parts = QString::fromLatin1(filter).split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i];
    const int paren = name.indexOf(QLatin1String(" ("));
    if (paren >= 0) name.truncate(paren);
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    out << name + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return out;
}

QSize TStatusPanel::sizeHint() const {
  return {fontMetrics().horizontalAdvance(text()) + 10, QLabel::sizeHint().height()};
}

QSize TStatusPanel::minimumSizeHint() const {
  return {fontMetrics().horizontalAdvance(QStringLiteral("\u2026")) + 10,
          QLabel::minimumSizeHint().height()};
}

QRect TStatusPanel::TextRect() const { return rect().adjusted(5, 0, -5, 0); }

QString TStatusPanel::ShownText() const {
  // Measured as the panel's width is, so that a panel of its full width shows it all.
  const int room = TextRect().width();
  if (fontMetrics().horizontalAdvance(text()) <= room) return text();
  return fontMetrics().elidedText(text(), Qt::ElideRight, room);
}

void TStatusPanel::paintEvent(QPaintEvent* e) {
  QFrame::paintEvent(e);  // the sunken frame
  QPainter p(this);
  p.setPen(palette().color(QPalette::WindowText));
  p.drawText(TextRect(), Qt::AlignLeft | Qt::AlignVCenter, ShownText());
}

TDataForm* TDataForm::Instance() { return instance; }

bool TDataForm::HaveData() { return instance && DataList().HaveData(); }

TDataForm::TDataForm(QWidget* owner) : QMainWindow(owner, Qt::Window) {
  instance = this;
  setObjectName(QStringLiteral("DataForm"));
  setAttribute(Qt::WA_DeleteOnClose, false);

  DataModel = new TDataGridModel(TGridPage::Data, this);
  DescModel = new TDataGridModel(TGridPage::Descriptions, this);
  PageControl = new QTabWidget(this);
  DataGrid = new TDataGridView(DataModel, PageControl);
  DescGrid = new TDataGridView(DescModel, PageControl);
  DataGrid->setObjectName(QStringLiteral("DataGrid"));
  DescGrid->setObjectName(QStringLiteral("DescGrid"));
  PageControl->addTab(DataGrid, QStringLiteral("Data"));
  PageControl->addTab(DescGrid, QStringLiteral("Descriptions"));
  setCentralWidget(PageControl);

  for (TDataGridView* grid : {DataGrid, DescGrid}) {
    grid->AppendColumn = [this] { return AppendColumn(); };
    grid->AppendRow = [this] { AppendRow(); };
    grid->ClearSelection = [this] { ClearClick(); };
    grid->ShowPopup = [this](QPoint p) { ShowPopup(p); };
    grid->EditName = [this](int c) { StartNameEditing(c); };
    grid->Pressed = [this] {
      if (EditingNames()) EndNameEditing();
    };
    grid->CurrentMoved = [this] { UpdateStatusBarInfo(); };
  }
  DataModel->CellEdited = [this](int c, int r) {
    DataChanged(false);
    FitColumns(c, c, 0);
    if (r >= 1) FitColumns(c, c, -r);
  };
  DescModel->CellEdited = [this](int, int) { DataChanged(false); };
  connect(PageControl, &QTabWidget::currentChanged, this, [this] {
    UpdateStatusBarInfo();
    ScheduleFit();
  });
  for (TDataGridView* grid : {DataGrid, DescGrid}) {
    connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, this, &TDataForm::ScheduleFit);
    connect(grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TDataForm::ScheduleFit);
    connect(grid->GridModel(), &QAbstractItemModel::modelReset, this, &TDataForm::ScheduleFit);
    connect(grid->GridModel(), &QAbstractItemModel::dataChanged, this, &TDataForm::ScheduleFit);
  }

  nameEditor_ = new QLineEdit(DataGrid->horizontalHeader()->viewport());
  nameEditor_->setObjectName(QStringLiteral("NameEditor"));
  nameEditor_->hide();
  nameEditor_->installEventFilter(this);

  const char* initial[5] = {"Row xx  Col xx", "Missing Off", "Transform Off", "Process If Off",
                            "Rows xx  Cols xx"};
  for (int i = 0; i < 5; ++i) {
    StatusPanels[i] = new TStatusPanel(QString::fromLatin1(initial[i]), this);
    StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    StatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addWidget(StatusPanels[i]);
  }
  statusBar()->installEventFilter(this);

  AskSaveChoices = [this](TSaveChoices& choices) { return ConfigureSave(choices, this); };
  AskSaveName = [this](const QString& start) {
    QFileDialog dlg(this, QStringLiteral("Save As"));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilters(QtFileFilters(SaveDialogFilter));
    dlg.setDefaultSuffix(QString::fromLatin1(DefaultDataExtension));
    // A name typed without an extension takes the chosen filter's: ".csv" writes commas.
    connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg](const QString& filter) {
      dlg.setDefaultSuffix(filter.contains(QStringLiteral("*.csv"))
                               ? QStringLiteral("csv")
                               : QString::fromLatin1(DefaultDataExtension));
    });
    const QFileInfo info(start);
    if (info.isDir()) {
      dlg.setDirectory(start);
    } else if (!start.isEmpty()) {
      dlg.setDirectory(info.absolutePath());
      dlg.selectFile(info.fileName());
    }
    return dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty()
               ? dlg.selectedFiles().first()
               : QString();
  };
  AskOpenName = [this](const QString& start) {
    return QFileDialog::getOpenFileName(this, QStringLiteral("Open"), start,
                                        QtFileFilters(OpenDialogFilter).join(QStringLiteral(";;")));
  };

  BuildMenus();
  seenNewData_ = NewDataCount;
  resize(640, 420);
  KeepOnScreen(this);
  DataGrid->SetCurrentCell(1, 1);
  DescGrid->SetCurrentCell(1, 1);
  Caption();
  UpdateStatusBarInfo();
}

TDataForm::~TDataForm() {
  if (instance == this) instance = nullptr;
}

QString TDataForm::DataFilename() const { return Q(DataEditor.DataFilename); }
bool TDataForm::FileModified() const { return DataEditor.FileModified; }

QAction* TDataForm::Action(const char* objectName) const {
  return findChild<QAction*>(QString::fromLatin1(objectName));
}

QAction* TDataForm::AddAction(QMenu* menu, const char* name, const QString& caption,
                              void (TDataForm::*slot)(), const QKeySequence& key,
                              const QString& hint) {
  auto* a = new QAction(caption, this);
  a->setObjectName(QString::fromLatin1(name));
  if (!key.isEmpty()) {
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
  }
  if (!hint.isEmpty()) a->setToolTip(hint);
  if (slot) connect(a, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
  if (menu) menu->addAction(a);
  return a;
}

void TDataForm::BuildMenus() {
  using F = TDataForm;

  fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
  AddAction(fileMenu_, "New1", QStringLiteral("&New"), nullptr,
            QKeySequence(QStringLiteral("Ctrl+N")));
  connect(Action("New1"), &QAction::triggered, this, [this] {
    if (!Busy()) New();
  });
  AddAction(fileMenu_, "Open1", QStringLiteral("&Open"), nullptr,
            QKeySequence(QStringLiteral("Ctrl+O")), QStringLiteral("Open File"));
  connect(Action("Open1"), &QAction::triggered, this, [this] { OpenClick(); });
  AddAction(fileMenu_, "Save1", QStringLiteral("&Save"), nullptr,
            QKeySequence(QStringLiteral("Ctrl+S")), QStringLiteral("Save File"));
  connect(Action("Save1"), &QAction::triggered, this, [this] { Save1Click(); });
  AddAction(fileMenu_, "SaveAs1", QStringLiteral("Save &As"), nullptr);
  connect(Action("SaveAs1"), &QAction::triggered, this, [this] { SaveAs(); });
  fileMenu_->addSeparator();
  AddAction(fileMenu_, "HideForm1", QStringLiteral("&Hide Form"), &F::HideClick, {},
            QStringLiteral("Hide Form"));
  returnAction_ = AddAction(fileMenu_, "Return1", QStringLiteral("&Return to Main Form"),
                            &F::ReturnClick, {}, QStringLiteral("Return to Main Form"));
  fileMenu_->addSeparator()->setObjectName(QStringLiteral("MenuLineMRU"));
  for (int i = 0; i < 9; ++i) {
    QAction* item = AddAction(fileMenu_, "", QString(), nullptr);
    item->setObjectName(QStringLiteral("MRFile%1").arg(i + 1));
    connect(item, &QAction::triggered, this, [this, i] { MRFileClick(i + 1); });
  }
  connect(fileMenu_, &QMenu::aboutToShow, this, &TDataForm::FileMenuPopup);

  editMenu_ = menuBar()->addMenu(QStringLiteral("&Edit"));
  AddAction(editMenu_, "Cut1", QStringLiteral("Cu&t"), &F::CutClick,
            QKeySequence(QStringLiteral("Ctrl+X")));
  AddAction(editMenu_, "Copy1", QStringLiteral("&Copy"), &F::CopyClick,
            QKeySequence(QStringLiteral("Ctrl+C")), QStringLiteral("Copy to Clipboard"));
  AddAction(editMenu_, "Paste1", QStringLiteral("&Paste"), &F::PasteClick,
            QKeySequence(QStringLiteral("Ctrl+V")), QStringLiteral("Paste from Clipboard"));
  AddAction(editMenu_, "Clear1", QStringLiteral("C&lear"), &F::ClearClick,
            QKeySequence(Qt::Key_Delete));
  editMenu_->addSeparator();
  AddAction(editMenu_, "FindReplace1", QStringLiteral("&Find && Replace"), &F::FindReplaceClick,
            QKeySequence(QStringLiteral("Ctrl+F")));
  editMenu_->addSeparator();
  AddAction(editMenu_, "DeleteColumns1", QStringLiteral("&Delete Column(s)"),
            &F::DeleteColumnsClick);
  AddAction(editMenu_, "DeleteRows1", QStringLiteral("&Delete &Row(s)"), &F::DeleteRowsClick);
  AddAction(editMenu_, "InsertColumns1", QStringLiteral("&Insert Column(s)"),
            &F::InsertColumnsClick);
  AddAction(editMenu_, "InsertRows1", QStringLiteral("Insert Ro&w(s)"), &F::InsertRowsClick);
  editMenu_->addSeparator();
  AddAction(editMenu_, "CopyColumnNames1", QStringLiteral("C&opy Column Names"),
            &F::CopyColumnNamesClick);
  AddAction(editMenu_, "CopyNamesAndData1", QStringLiteral("Copy Names and &All Data"),
            &F::CopyNamesAndDataClick);
  AddAction(editMenu_, "ChangeColumnNames1", QStringLiteral("Change Column &Names"),
            &F::ChangeColumnNamesClick);
  connect(editMenu_, &QMenu::aboutToShow, this, &TDataForm::EditMenuPopup);
  // The enabling is for the open menu; shortcuts always reach the commands, which check
  // their own conditions.
  connect(editMenu_, &QMenu::aboutToHide, this, [this] {
    for (QAction* a : editMenu_->actions()) a->setEnabled(true);
  });

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  AddAction(view, "SizeColumnWidths1", QStringLiteral("&Size Column Widths"),
            &F::SizeColumnWidthsClick, {}, QStringLiteral("Adjust Column Widths"));
  QAction* levels =
      AddAction(view, "ViewLevels1", QStringLiteral("&View Text Variable Levels"), nullptr);
  levels->setCheckable(true);
  levels->setChecked(true);
  connect(levels, &QAction::triggered, this, [this] { ViewLevelsClick(); });

  QMenu* dataMenu = menuBar()->addMenu(QStringLiteral("&Data"));
  AddAction(dataMenu, "MissingValues1", QStringLiteral("&Missing Values..."),
            &F::MissingValuesClick);
  AddAction(dataMenu, "ProcessIf1", QStringLiteral("&Process If..."), &F::ProcessIfClick, {},
            QStringLiteral("Process If"));
  AddAction(dataMenu, "Transform1", QStringLiteral("&Transform..."), &F::TransformClick, {},
            QStringLiteral("Transform Values"));
  dataMenu->addSeparator();
  AddAction(dataMenu, "Transpose1", QStringLiteral("Transpose Rows/Columns"), &F::TransposeClick);
  AddAction(dataMenu, "RunNumbers1", QStringLiteral("Generate &Run Numbers..."),
            &F::RunNumbersClick);
  AddAction(dataMenu, "AutoRecode1", QStringLiteral("&Auto Recode Variables..."),
            &F::AutoRecodeClick);
  AddAction(dataMenu, "ComputeVariables1", QStringLiteral("&Compute Variables from Sample Data..."),
            nullptr);
  connect(Action("ComputeVariables1"), &QAction::triggered, this,
          [] { ShowForm(ComputeVariablesCommand); });
  AddAction(dataMenu, "InsertCaseNumbers1", QStringLiteral("Insert &Case Numbers"),
            &F::InsertCaseNumbersClick);
  AddAction(dataMenu, "WeightCases1", QStringLiteral("&Weight Cases..."), &F::WeightCasesClick);

  QAction* mainForm = menuBar()->addAction(QStringLiteral("Main Form"));
  mainForm->setObjectName(QStringLiteral("MainForm1"));
  connect(mainForm, &QAction::triggered, this, [] { ShowMainForm(); });
  QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
  QAction* topic = help->addAction(QStringLiteral("Data Editor &Help"));
  connect(topic, &QAction::triggered, this, [] { ShowHelpTopic(7000); });
  QAction* contents = help->addAction(QStringLiteral("&Contents"));
  connect(contents, &QAction::triggered, this, [] { ShowHelpContents(); });

  QToolBar* bar = addToolBar(QStringLiteral("Data"));
  bar->setObjectName(QStringLiteral("DataToolBar"));
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  // Short button texts; the hints and the menus keep the full captions.
  const std::pair<const char*, const char*> buttons[] = {{"Open1", "Open"},
                                                         {"Save1", "Save"},
                                                         {"Copy1", "Copy"},
                                                         {"Paste1", "Paste"},
                                                         {"SizeColumnWidths1", "Widths"},
                                                         {"ProcessIf1", "Process If"},
                                                         {"Transform1", "Transform"},
                                                         {"HideForm1", "Hide"},
                                                         {"Return1", "Return"}};
  for (const auto& [name, text] : buttons) {
    QAction* a = Action(name);
    a->setIconText(QString::fromLatin1(text));
    bar->addAction(a);
  }
  QAction* helpButton = bar->addAction(QStringLiteral("Help"));
  helpButton->setToolTip(QStringLiteral("Help"));
  connect(helpButton, &QAction::triggered, this, [] { ShowHelpTopic(7000); });

  popup_ = new QMenu(this);
  popup_->setObjectName(QStringLiteral("PopupMenu1"));
  connect(popup_, &QMenu::aboutToHide, this, [this] {
    for (QAction* a : editMenu_->actions()) a->setEnabled(true);
  });
  for (const char* name : {"Cut1", "Copy1", "Paste1", "Clear1"}) popup_->addAction(Action(name));
  popup_->addSeparator();
  for (const char* name : {"DeleteColumns1", "DeleteRows1", "InsertColumns1", "InsertRows1"})
    popup_->addAction(Action(name));
  popup_->addSeparator();
  for (const char* name : {"ChangeColumnNames1", "FindReplace1"}) popup_->addAction(Action(name));
}

// ---------------------------------------------------------------- state shown

void TDataForm::Caption() {
  QString caption = QStringLiteral("Data");
  if (!DataEditor.DataFilename.empty()) caption += QStringLiteral(" - ") + DataFilename();
  if (DataEditor.FileModified) caption += QStringLiteral("  (modified)");
  setWindowTitle(caption);
}

void TDataForm::SetFileModified(bool modified) {
  DataEditor.FileModified = modified;
  Caption();
}

void TDataForm::SetStatusBarInfo(int panel, const QString& text) {
  if (panel < 0 || panel > 4) return;
  // The panel asks for the text width + 10 pixels (TStatusPanel::sizeHint).
  StatusPanels[panel]->setText(text);
}

void TDataForm::UpdateStatusBarInfo() {
  TDataGridView* grid = ActiveGrid();
  SetStatusBarInfo(
      0, QStringLiteral("Col = %1,  Row = %2").arg(grid->CurrentCol()).arg(grid->CurrentRow()));
  SetStatusBarInfo(1, Q(MissingStatusText()));
  SetStatusBarInfo(2, Q(TransformStatusText()));
  SetStatusBarInfo(3, Q(ProcessIfStatusText()));
  const TDataList& list = DataList();
  SetStatusBarInfo(
      4,
      QStringLiteral("Cols = %1,  Rows = %2").arg(list.MaxCol()).arg(list.DataGrid.RowCount() - 1));
  statusBar()->setToolTip(StatusBarHint());
}

QString TDataForm::StatusBarHint() const {
  QString hint = QStringLiteral("Status Bar");
  for (const auto& t : MissingConditionTexts()) hint += QStringLiteral("\n  Missing When: ") + Q(t);
  for (const auto& t : ProcessIfConditionTexts()) hint += QStringLiteral("\n  Process If: ") + Q(t);
  if (TransformRec.no != TransformNone)
    hint += QStringLiteral("\n  Transform: ") + Q(TransformFormulaText());
  const TDataList& list = DataList();
  hint += QStringLiteral("\nCols = %1,  Rows = %2")
              .arg(list.DataGrid.ColCount())
              .arg(list.DataGrid.RowCount());
  return hint;
}

bool TDataForm::ModifiedColumnNames() const { return DataList().ModifiedColumnNames(); }

bool TDataForm::GetFileModString() {
  TFileModStrings s;
  const bool any = BuildFileModString(s);
  FileModString = Q(s.Text);
  FileModStringTab = Q(s.Tab);
  FileModStringLine = Q(s.Line);
  return any;
}

bool TDataForm::IsDataPage() const { return PageControl->currentIndex() == 0; }

TDataGridView* TDataForm::ActiveGrid() const { return IsDataPage() ? DataGrid : DescGrid; }

void TDataForm::ResetViews() {
  seenNewData_ = NewDataCount;
  const int c = DataGrid->CurrentCol(), r = DataGrid->CurrentRow();
  DataModel->Reset();
  DescModel->Reset();
  DataGrid->SetCurrentCell(c, r);
  DescGrid->SetCurrentCell(std::min(c, DescModel->columnCount()), 1);
  UpdateStatusBarInfo();
}

void TDataForm::RefreshViews() {
  DataModel->SyncShape();
  DescModel->SyncShape();
  UpdateStatusBarInfo();
}

void TDataForm::DataChanged(bool columns) {
  DataEditor.PendingDataChange = true;
  if (columns) DataEditor.PendingColumnsChange = true;
  SetFileModified(true);
}

void TDataForm::ResetProcessIf() { sorvel::ResetProcessIf(); }

void TDataForm::MissingValuesClick() {
  if (Busy()) return;
  DataEditorLostFocus();  // the dialog takes the focus; cells are parsed for the colours
  TMissingForm dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  // Cells the rule now counts missing turn blue.
  UpdateStatusBarInfo();
  DataModel->Refresh();
}

void TDataForm::ProcessIfClick() {
  if (Busy()) return;
  DataEditorLostFocus();  // the dialog takes the focus; it offers the columns typed so far
  TProcessIfForm dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  // Excluded rows turn aqua.
  UpdateStatusBarInfo();
  DataModel->Refresh();
}

void TDataForm::TransformClick() {
  if (Busy()) return;
  DataGrid->CommitEdit();
  DataEditorLostFocus();  // the columns typed so far, parsed for Add Transformed Variable
  TTransformForm dialog(this);
  dialog.exec();
  if (dialog.DataAdded()) DataRewritten();
  UpdateStatusBarInfo();
}

void TDataForm::RunDataCommand(const std::function<QDialog*()>& makeDialog) {
  if (Busy()) return;
  DataGrid->CommitEdit();
  DataEditorLostFocus();  // the dialog lists the columns typed so far
  std::unique_ptr<QDialog> dialog(makeDialog());
  if (dialog->exec() == QDialog::Accepted) DataRewritten();
}

void TDataForm::RunNumbersClick() {
  RunDataCommand([this] { return new TAddVariablesForm(TAddVariablesMode::RunNumbers, this); });
}

void TDataForm::AutoRecodeClick() {
  RunDataCommand([this] { return new TAddVariablesForm(TAddVariablesMode::Recode, this); });
}

void TDataForm::WeightCasesClick() {
  RunDataCommand([this] { return new TWeightCasesForm(this); });
}

void TDataForm::DataRewritten() {
  const int before = DataModel->columnCount();
  ResetViews();
  DataChanged(true);
  if (DataModel->columnCount() > before) FitColumns(before + 1, DataModel->columnCount(), 100);
}

bool TDataForm::Busy() const { return loading_; }

void TDataForm::FitColumns(int first, int last, int sampleRows) {
  // sampleRows > 0: the first rows; < 0: only that one row; 0: names only.
  const TDataList& list = DataList();
  QHeaderView* header = DataGrid->horizontalHeader();
  const QFontMetrics cells(DataGrid->font());
  const QFontMetrics names(header->font());
  const int rows = list.DataGrid.RowCount() - 1;
  for (int c = std::max(first, 1); c <= std::min(last, list.MaxCol()); ++c) {
    int w = names.horizontalAdvance(Q(list.DataGrid.Cell(c, 0))) + 20;
    if (sampleRows < 0) {
      w = std::max(w, cells.horizontalAdvance(
                          DataModel->data(DataModel->index(-sampleRows - 1, c - 1), Qt::DisplayRole)
                              .toString()) +
                          10);
    } else {
      for (int r = 1; r <= std::min(rows, sampleRows); ++r)
        w = std::max(
            w, cells.horizontalAdvance(
                   DataModel->data(DataModel->index(r - 1, c - 1), Qt::DisplayRole).toString()) +
                   10);
    }
    if (header->sectionSize(c - 1) < w) header->resizeSection(c - 1, w);
    int descWidth = header->sectionSize(c - 1);
    for (int r = 1; r <= 4; ++r)
      descWidth = std::max(descWidth, cells.horizontalAdvance(Q(list.DescGrid.Cell(c, r))) + 10);
    if (DescGrid->horizontalHeader()->sectionSize(c - 1) < descWidth)
      DescGrid->horizontalHeader()->resizeSection(c - 1, descWidth);
  }
}

void TDataForm::ScheduleFit() {
  if (fitPending_) return;
  fitPending_ = true;
  QTimer::singleShot(0, this, [this] {
    fitPending_ = false;
    FitVisibleCells();
  });
}

void TDataForm::FitVisibleCells() {
  TDataGridView* grid = ActiveGrid();
  TDataGridModel* model = grid->GridModel();
  if (model->rowCount() == 0 || model->columnCount() == 0) return;
  const QRect vp = grid->viewport()->rect();
  int firstRow = grid->rowAt(vp.top()), lastRow = grid->rowAt(vp.bottom());
  int firstCol = grid->columnAt(vp.left()), lastCol = grid->columnAt(vp.right());
  if (firstRow < 0 || firstCol < 0) return;
  if (lastRow < 0) lastRow = model->rowCount() - 1;
  if (lastCol < 0) lastCol = model->columnCount() - 1;
  const QFontMetrics cells(grid->font());
  QHeaderView* header = grid->horizontalHeader();
  for (int c = firstCol; c <= lastCol; ++c) {
    int w = 0;
    for (int r = firstRow; r <= lastRow; ++r)
      w = std::max(
          w, cells.horizontalAdvance(model->data(model->index(r, c), Qt::DisplayRole).toString()) +
                 10);
    if (header->sectionSize(c) < w) header->resizeSection(c, w);
  }
}

void TDataForm::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  ScheduleFit();
}

// ---------------------------------------------------------------- showing, leaving

void TDataForm::ShowDataEditor(QWidget* caller, const QString& callerName) {
  CallingForm = caller;
  CallingName = callerName;
  returnAction_->setToolTip(QStringLiteral("Return to ") + callerName);
  returnAction_->setText(QStringLiteral("&Return to ") + callerName);
  RestoreAndShow(this);
}

void TDataForm::ReturnClick() {
  if (CallingForm)
    RestoreAndShow(CallingForm);
  else
    ShowMainForm();
  returnAction_->setToolTip(QStringLiteral("Return to Main Form"));
  returnAction_->setText(QStringLiteral("&Return to Main Form"));
  CallingForm = nullptr;
  CallingName.clear();
}

void TDataForm::HideClick() {
  hide();
  if (CallingForm) RestoreAndShow(CallingForm);
}

void TDataForm::closeEvent(QCloseEvent* e) {
  e->ignore();
  HideClick();
}

void TDataForm::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange) {
    if (isActiveWindow()) {
      // Another window may have replaced or reshaped the data set meanwhile.
      if (seenNewData_ != NewDataCount)
        ResetViews();
      else
        RefreshViews();
    } else if (!loading_) {
      DataEditorLostFocus();
      DataModel->Refresh();  // text columns and levels are known now
    }
  }
  QMainWindow::changeEvent(e);
}

bool TDataForm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == nameEditor_ && e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
      const int c = nameCol_;
      EndNameEditing();
      DataGrid->SetCurrentCell(c, 1);
      DataGrid->setFocus();
      return true;
    }
    if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
      const int next = nameCol_ + (k->key() == Qt::Key_Tab ? 1 : -1);
      CommitName();
      if (next >= 1 && next <= DataList().MaxCol()) {
        StartNameEditing(next);
      } else {
        EndNameEditing();
        DataGrid->setFocus();
      }
      return true;
    }
    if (k->key() == Qt::Key_Escape) {
      nameEditor_->setText(Q(DataList().ColumnName(nameCol_)));
      EndNameEditing();
      DataGrid->setFocus();
      return true;
    }
  }
  if (watched == nameEditor_ && e->type() == QEvent::FocusOut && EditingNames()) {
    // Ends with the next click into the grid or anywhere else.
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (EditingNames() && !nameEditor_->hasFocus()) EndNameEditing();
        },
        Qt::QueuedConnection);
  }
  if (watched == statusBar() && e->type() == QEvent::ToolTip)
    statusBar()->setToolTip(StatusBarHint());
  return QMainWindow::eventFilter(watched, e);
}

// ---------------------------------------------------------------- new data, files

bool TDataForm::MayDiscardData() {
  DataGrid->CommitEdit();
  DescGrid->CommitEdit();
  if (EditingNames()) EndNameEditing();
  return sorvel::MayDiscardData(
      [] {
        const int answer = AskYesNoCancel(QString::fromLatin1(FileNotSavedText));
        return answer == QMessageBox::Yes
                   ? TSaveAnswer::Yes
                   : (answer == QMessageBox::No ? TSaveAnswer::No : TSaveAnswer::Cancel);
      },
      [this] { return SaveAs(); });
}

bool TDataForm::New() {
  if (Busy() || !MayDiscardData()) return false;
  NewDataSet();
  seenNewData_ = NewDataCount;
  smallColumns_ = false;
  DataGrid->horizontalHeader()->setDefaultSectionSize(DefaultColumnWidth);
  DescGrid->horizontalHeader()->setDefaultSectionSize(DefaultColumnWidth);
  DataModel->Reset();
  DescModel->Reset();
  DataGrid->SetCurrentCell(1, 1);
  DescGrid->SetCurrentCell(1, 1);
  LineCount = 0;
  Caption();
  UpdateStatusBarInfo();
  return true;
}

bool TDataForm::FileToDataGrid(const QString& file) {
  if (Busy()) return false;
  // A workbook of several sheets: the user picks one before the current data set is at stake.
  std::string sheet;
  if (IsWorkbookPath(file.toStdString())) {
    std::vector<std::string> names;
    // A workbook whose sheets cannot be listed fails in the read below, with its reason.
    if (WorkbookSheets(file.toStdString(), names).Ok && names.size() > 1) {
      QStringList shown;
      for (const auto& n : names) shown << Q(n);
      const int pick = AskWorkbookSheet(file, shown, this);
      if (pick < 0) return false;
      sheet = names[static_cast<std::size_t>(pick)];
    }
  }
  if (!MayDiscardData()) return false;
  loading_ = true;
  // Events run while the file loads; the old data set takes no edits meanwhile.
  PageControl->setEnabled(false);
  menuBar()->setEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ShowLoadingGauge();
  QElapsedTimer sinceRedraw;
  sinceRedraw.start();
  const TFileResult result = sorvel::FileToDataGrid(
      file.toStdString(),
      [&sinceRedraw](double fraction) {
        // The gauge lets pending events run; a few times a second is enough.
        if (sinceRedraw.elapsed() >= 40 || fraction >= 1.0) {
          SetLoadingGauge(fraction);
          sinceRedraw.restart();
        }
        return true;
      },
      sheet);
  FreeLoadingGauge();
  QApplication::restoreOverrideCursor();
  PageControl->setEnabled(true);
  menuBar()->setEnabled(true);
  loading_ = false;
  if (!result.Ok) {
    // The data set in the window is still the one before.
    QString text = Q(result.Error);
    if (!result.Detail.empty()) text += QStringLiteral("\n\n") + Q(result.Detail);
    ShowInfo(text);
    return false;
  }
  LineCount = static_cast<int>(result.DataLines);
  seenNewData_ = NewDataCount;
  DataGrid->horizontalHeader()->setDefaultSectionSize(DefaultColumnWidth);
  DescGrid->horizontalHeader()->setDefaultSectionSize(DefaultColumnWidth);
  smallColumns_ = false;
  DataModel->Reset();
  DescModel->Reset();
  for (QHeaderView* h : {DataGrid->horizontalHeader(), DescGrid->horizontalHeader()})
    for (int c = 0; c < h->count(); ++c) h->resizeSection(c, DefaultColumnWidth);
  FitColumns(1, DataList().MaxCol(), SampleRows);
  PageControl->setCurrentIndex(0);
  DataGrid->SetCurrentCell(1, 1);
  DescGrid->SetCurrentCell(1, 1);
  Caption();
  UpdateStatusBarInfo();
  MRUFiles().UpdateList(file.toStdString());
  for (const auto& w : result.Warnings) ShowWarning(Q(w));
  return true;
}

bool TDataForm::SaveFile(const QString& file, bool varnames, bool descriptions, bool selection) {
  DataGrid->CommitEdit();
  DescGrid->CommitEdit();
  if (EditingNames()) EndNameEditing();
  TSaveOptions options;
  options.VarNames = varnames;
  options.Descriptions = descriptions;
  options.Selection = selection;
  if (selection) {
    const TGridRect sel = DataGrid->Selection();
    options.Left = sel.Left;
    options.Top = sel.Top;
    options.Right = sel.Right;
    options.Bottom = sel.Bottom;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const TFileResult result = sorvel::SaveFile(file.toStdString(), options);
  QApplication::restoreOverrideCursor();
  Caption();
  if (!result.Ok) {
    QString text = Q(result.Error);
    if (!result.Detail.empty()) text += QStringLiteral("\n\n") + Q(result.Detail);
    ShowInfo(text);
    return false;
  }
  MRUFiles().UpdateList(file.toStdString());
  for (const auto& w : result.Warnings) ShowWarning(Q(w));
  return true;
}

bool TDataForm::Save1Click() {
  if (Busy()) return false;
  // A workbook is never written: its data set is saved under a new name.
  if (!DataEditor.DataFilename.empty() && !IsWorkbookPath(DataEditor.DataFilename))
    return SaveFile(DataFilename(), true, true, false);
  return SaveAs();
}

bool TDataForm::SaveAs() {
  if (Busy()) return false;
  DataGrid->CommitEdit();
  DescGrid->CommitEdit();
  if (EditingNames()) EndNameEditing();
  const TDataList& list = DataList();
  TSaveChoices choices;
  choices.SelectionApplies = DataGrid->MultiCellSelection();
  choices.VarNamesApply = list.ModifiedColumnNames();
  choices.DescriptionsApply = false;
  for (int c = 1; c <= list.MaxCol() && !choices.DescriptionsApply; ++c)
    for (int r = 1; r <= 4; ++r)
      if (!list.DescGrid.IsEmpty(c, r)) choices.DescriptionsApply = true;
  choices.WantSelection = choices.SelectionApplies;
  choices.WantVarNames = choices.VarNamesApply;
  choices.WantDescriptions = choices.DescriptionsApply;
  if (choices.SelectionApplies || choices.VarNamesApply || choices.DescriptionsApply) {
    if (!AskSaveChoices(choices)) return false;
  }
  QString start = DataFilename();
  if (IsWorkbookPath(DataEditor.DataFilename)) start = Q(WorkbookSaveName(DataEditor.DataFilename));
  if (start.isEmpty()) start = Q(MRUFiles().LastPath());
  const QString file = AskSaveName(start);
  if (file.isEmpty()) return false;
  return SaveFile(file, choices.WantVarNames, choices.WantDescriptions, choices.WantSelection);
}

bool TDataForm::OpenClick() {
  if (Busy()) return false;
  const QString file = AskOpenName(Q(MRUFiles().LastPath()));
  if (file.isEmpty()) return false;
  return FileToDataGrid(file);
}

void TDataForm::FileMenuPopup() { FileClick(this); }

void TDataForm::MRFileClick(int slot) {
  const QString path = RecentFileToOpen(this, slot);
  if (!path.isEmpty()) FileToDataGrid(path);
}

// ---------------------------------------------------------------- editing

bool TDataForm::AppendColumn() {
  TDataList& list = DataList();
  if (!list.CanAddColumns(1)) return false;
  list.SetColCount(list.MaxCol() + 1);
  RefreshViews();
  DataChanged(true);
  return true;
}

void TDataForm::AppendRow() {
  TDataList& list = DataList();
  list.SetRowCount(list.DataGrid.RowCount());  // one more case
  RefreshViews();
  DataChanged(false);
}

void TDataForm::CopyClick() {
  TDataGridView* grid = ActiveGrid();
  const TDataList& list = DataList();
  const TTextGrid& g = IsDataPage() ? list.DataGrid : list.DescGrid;
  QApplication::clipboard()->setText(QString::fromStdString(GridBlockText(g, grid->Selection())));
}

void TDataForm::CutClick() {
  if (ActiveGrid()->IsEditing()) return;
  CopyClick();
  ClearClick();
}

void TDataForm::ClearClick() {
  TDataGridView* grid = ActiveGrid();
  if (grid->IsEditing() || Busy()) return;
  if (IsDataPage())
    ClearDataBlock(DataList(), grid->Selection());
  else
    ClearDescBlock(DataList(), grid->Selection());
  ActiveGrid()->GridModel()->Refresh();
  DataChanged(false);
}

void TDataForm::PasteClick() {
  if (Busy()) return;
  TDataGridView* grid = ActiveGrid();
  grid->CommitEdit();
  const std::string text = QApplication::clipboard()->text().toStdString();
  TDataList& list = DataList();
  const TGridRect sel = grid->Selection();
  TPasteResult res =
      IsDataPage()
          ? PasteIntoData(list, text, sel,
                          [] { return AskYesNo(QString::fromLatin1(UseFirstRowAsNamesText)); })
          : PasteIntoDesc(list, text, sel);
  if (res.Status == TPasteResult::NoText) {
    ShowMessage(QString::fromLatin1(NoClipboardTextText));
    return;
  }
  if (res.Status == TPasteResult::TooManyColumns) {
    ShowInfo(QString::fromLatin1(MaxColumnsExceededText));
    return;
  }
  RefreshViews();
  if (res.Written.Top >= 1 && res.Written.Bottom >= res.Written.Top) grid->SelectBlock(res.Written);
  FitColumns(res.Written.Left, res.Written.Right, 0);
  DataChanged(res.ColumnsChanged);
}

void TDataForm::FindReplaceClick() {
  if (!IsDataPage()) PageControl->setCurrentIndex(0);
  if (!findForm_) findForm_ = new TFindForm(this);
  findStarted_ = false;
  findForm_->Prepare(DataGrid->MultiCellSelection());
  if (!findForm_->isVisible()) {
    if (!findForm_->testAttribute(Qt::WA_Resized)) findForm_->adjustSize();
    KeepFindFormClear(GlobalCellRect(DataGrid->CurrentCol(), DataGrid->CurrentRow()), true);
  }
  findForm_->show();
  findForm_->raise();
  // Ctrl+F and the value typed at once: the keyboard goes to the find window.
  findForm_->activateWindow();
  findForm_->Value1->setFocus();
  findForm_->Value1->selectAll();
}

QRect TDataForm::GlobalCellRect(int c, int r) const {
  const QRect cell = DataGrid->visualRect(DataModel->index(r - 1, c - 1));
  return {DataGrid->viewport()->mapToGlobal(cell.topLeft()), cell.size()};
}

void TDataForm::KeepFindFormClear(const QRect& cell, bool opening) {
  if (!findForm_) return;
  const QRect frame = FrameRect(findForm_);
  if (!opening && !frame.intersects(cell)) return;
  const QRect area = AvailableArea(this);
  const QSize size = frame.size();
  const QRect editor = FrameRect(this);
  // Beside the editor, where it covers nothing of the grid.
  std::optional<QPoint> at = ClearPosition(size,
                                           {QPoint(editor.right() + 1, editor.top()),
                                            QPoint(editor.left() - size.width(), editor.top())},
                                           {editor}, area);
  if (!at) {
    // Over the editor, then below, above, right or left of the cell, a little apart.
    const int gap = 8;
    const QRect clear = cell.adjusted(-gap, -gap, gap, gap);
    auto fitX = [&](int x) {
      return std::clamp(x, area.left(), area.left() + area.width() - size.width());
    };
    auto fitY = [&](int y) {
      return std::clamp(y, area.top(), area.top() + area.height() - size.height());
    };
    const int midX = fitX(cell.center().x() - size.width() / 2);
    const int midY = fitY(cell.center().y() - size.height() / 2);
    at = ClearPosition(size,
                       {QPoint(midX, clear.bottom() + 1), QPoint(midX, clear.top() - size.height()),
                        QPoint(clear.right() + 1, midY), QPoint(clear.left() - size.width(), midY)},
                       {clear}, area);
  }
  if (at && (opening || *at != frame.topLeft())) findForm_->move(*at);
}

TGridRect TDataForm::DataBounds(bool selectionOnly) const {
  if (selectionOnly) return DataGrid->Selection();
  const TDataList& list = DataList();
  return {1, 1, list.MaxCol(), list.DataGrid.RowCount() - 1};
}

TGridRect TDataForm::SearchStart(bool selectionOnly, int& c, int& r, bool& inclusive) {
  c = DataGrid->CurrentCol();
  r = DataGrid->CurrentRow();
  if (!selectionOnly) return DataBounds(false);
  if (findStarted_) return selectionBounds_;
  // A new search inside the selection starts at its top-left cell.
  selectionBounds_ = DataGrid->Selection();
  c = selectionBounds_.Left;
  r = selectionBounds_.Top;
  inclusive = true;
  return selectionBounds_;
}

void TDataForm::ShowFound(int c, int r, bool selectionOnly) {
  findStarted_ = true;
  // Inside a selection only the current cell moves, so the selection stays the bounds.
  DataGrid->selectionModel()->setCurrentIndex(
      DataModel->index(r - 1, c - 1),
      selectionOnly ? QItemSelectionModel::NoUpdate : QItemSelectionModel::ClearAndSelect);
  DataGrid->scrollTo(DataModel->index(r - 1, c - 1));
  // The find window stays open over the editor: it must not hide what it found.
  if (findForm_ && findForm_->isVisible()) KeepFindFormClear(GlobalCellRect(c, r), false);
}

bool TDataForm::FindNext(const TFindSpec& spec, bool selectionOnly) {
  int c, r;
  bool inclusive = false;
  const TGridRect bounds = SearchStart(selectionOnly, c, r, inclusive);
  if (!FindCell(DataList(), spec, bounds, c, r, inclusive)) return false;
  ShowFound(c, r, selectionOnly);
  return true;
}

bool TDataForm::ReplaceNext(const TFindSpec& spec, bool selectionOnly, const QString& replacement) {
  int c, r;
  bool inclusive = true;  // the current cell itself may be replaced
  const TGridRect bounds = SearchStart(selectionOnly, c, r, inclusive);
  if (!FindCell(DataList(), spec, bounds, c, r, true)) return false;
  DataList().SetCellText(c, r, replacement.toStdString());
  ShowFound(c, r, selectionOnly);
  DataModel->Refresh();
  DataChanged(false);
  return true;
}

int TDataForm::ReplaceAllMatches(const TFindSpec& spec, bool selectionOnly,
                                 const QString& replacement) {
  int c, r;
  bool inclusive = true;
  const TGridRect bounds = SearchStart(selectionOnly, c, r, inclusive);
  const int n = ReplaceAll(DataList(), spec, bounds, c, r, replacement.toStdString());
  if (n == 0) return 0;
  ShowFound(c, r, selectionOnly);
  DataModel->Refresh();
  DataChanged(false);
  return n;
}

void TDataForm::DeleteRowsClick() {
  if (!IsDataPage() || Busy()) return;
  DataGrid->CommitEdit();
  const TGridRect sel = DataGrid->Selection();
  TDataList& list = DataList();
  if (sel.Top <= 1 && sel.Bottom >= list.DataGrid.RowCount() - 1) {
    New();
    return;
  }
  list.DeleteRows(sel.Top, sel.Height());
  DataModel->Reset();
  DataGrid->SetCurrentCell(sel.Left, sel.Top);
  UpdateStatusBarInfo();
  DataChanged(false);
}

void TDataForm::InsertRowsClick() {
  if (!IsDataPage() || Busy()) return;
  DataGrid->CommitEdit();
  const TGridRect sel = DataGrid->Selection();
  DataList().InsertRows(sel.Top, sel.Height());
  DataModel->Reset();
  DataGrid->SetCurrentCell(sel.Left, sel.Top);
  UpdateStatusBarInfo();
  DataChanged(false);
}

void TDataForm::DeleteColumnsClick() {
  if (!IsDataPage() || Busy()) return;
  DataGrid->CommitEdit();
  const TGridRect sel = DataGrid->Selection();
  TDataList& list = DataList();
  if (sel.Left <= 1 && sel.Right >= list.MaxCol()) {
    New();
    return;
  }
  list.DeleteColumns(sel.Left, sel.Width());
  list.NormaliseColumnNames();
  ResetProcessIf();
  ResetViews();
  DataGrid->SetCurrentCell(std::min(sel.Left, list.MaxCol()), 1);
  DataChanged(true);
}

void TDataForm::InsertColumnsClick() {
  if (!IsDataPage() || Busy()) return;
  DataGrid->CommitEdit();
  const TGridRect sel = DataGrid->Selection();
  TDataList& list = DataList();
  if (!list.CanAddColumns(sel.Width())) {
    ShowInfo(QString::fromLatin1(MaxColumnsExceededText));
    return;
  }
  list.InsertColumns(sel.Left, sel.Width());
  // The new columns are named at once, as the next click into the grid would.
  list.NormaliseColumnNames();
  ResetProcessIf();
  ResetViews();
  DataGrid->SetCurrentCell(sel.Left, 1);
  DataChanged(true);
}

void TDataForm::InsertCaseNumbersClick() {
  if (!IsDataPage() || Busy()) return;
  DataGrid->CommitEdit();
  if (!InsertCaseNumbers(DataList())) {
    ShowInfo(QString::fromLatin1(MaxColumnsExceededText));
    return;
  }
  DataList().NormaliseColumnNames();
  ResetProcessIf();
  ResetViews();
  DataChanged(true);
}

void TDataForm::TransposeClick() {
  if (Busy()) return;
  DataGrid->CommitEdit();
  if (!TransposeData(DataList())) {
    ShowInfo(QString::fromLatin1(MaxColumnsExceededText));
    return;
  }
  ResetProcessIf();
  ResetViews();
  DataGrid->SetCurrentCell(1, 1);
  DataChanged(true);
}

void TDataForm::CopyColumnNamesClick() {
  const TDataList& list = DataList();
  QApplication::clipboard()->setText(Q(GridBlockText(list.DataGrid, {1, 0, list.MaxCol(), 0})));
}

void TDataForm::CopyNamesAndDataClick() {
  const TDataList& list = DataList();
  DataGrid->selectAll();
  QApplication::clipboard()->setText(
      Q(GridBlockText(list.DataGrid, {1, 0, list.MaxCol(), list.DataGrid.RowCount() - 1})));
}

void TDataForm::ChangeColumnNamesClick() {
  PageControl->setCurrentIndex(0);
  StartNameEditing(DataGrid->CurrentCol());
}

void TDataForm::StartNameEditing(int c) {
  if (Busy() || c < 1 || c > DataList().MaxCol()) return;
  if (!IsDataPage()) PageControl->setCurrentIndex(0);
  DataGrid->CommitEdit();
  QHeaderView* header = DataGrid->horizontalHeader();
  DataGrid->scrollTo(DataModel->index(std::max(DataGrid->CurrentRow(), 1) - 1, c - 1));
  nameCol_ = c;
  nameEditor_->setGeometry(header->sectionViewportPosition(c - 1), 0,
                           std::max(header->sectionSize(c - 1), 40), header->height());
  nameEditor_->setText(Q(DataList().ColumnName(c)));
  nameEditor_->show();
  nameEditor_->setFocus();
  nameEditor_->selectAll();
}

void TDataForm::CommitName() {
  if (!EditingNames()) return;
  TDataList& list = DataList();
  const std::string name = nameEditor_->text().trimmed().toStdString();
  if (list.ColumnName(nameCol_) != name) {
    list.SetCellText(nameCol_, 0, name);
    DataChanged(true);
  }
}

void TDataForm::EndNameEditing() {
  if (!EditingNames()) return;
  const int c = nameCol_;
  CommitName();
  nameCol_ = 0;
  nameEditor_->hide();
  DataList().NormaliseColumnNames();
  DataModel->Refresh();
  DescModel->Refresh();
  FitColumns(c, c, 0);
}

void TDataForm::SizeColumnWidthsClick() {
  smallColumns_ = !smallColumns_;
  const int width = smallColumns_ ? SmallColumnWidth : DefaultColumnWidth;
  for (TDataGridView* grid : {DataGrid, DescGrid}) {
    QHeaderView* h = grid->horizontalHeader();
    h->setDefaultSectionSize(width);
    for (int c = 0; c < h->count(); ++c) h->resizeSection(c, width);
  }
  // Every column at least as wide as its texts.
  FitColumns(1, DataList().MaxCol(), SampleRows);
}

void TDataForm::ViewLevelsClick() {
  DataModel->ShowLevels = Action("ViewLevels1")->isChecked();
  DataList().UpdateData();
  DataModel->Refresh();
}

void TDataForm::EditMenuPopup() {
  const bool dataPage = IsDataPage();
  Action("DeleteColumns1")->setEnabled(dataPage && DataGrid->LastPressOnNames);
  Action("InsertColumns1")->setEnabled(dataPage && DataGrid->LastPressOnNames);
  Action("DeleteRows1")->setEnabled(dataPage && DataGrid->LastPressOnCaseNumbers);
  Action("InsertRows1")->setEnabled(dataPage && DataGrid->LastPressOnCaseNumbers);
  Action("Paste1")->setEnabled(!QApplication::clipboard()->text().isEmpty());
  Action("FindReplace1")->setEnabled(true);
}

void TDataForm::ShowPopup(QPoint global) {
  EditMenuPopup();
  popup_->popup(global);
}

}  // namespace sorvel
