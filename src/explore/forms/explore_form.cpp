#include "explore/forms/explore_form.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "data/grid_edit.h"
#include "editor/data_form.h"
#include "explore/forms/exponential_monitor.h"
#include "explore/forms/frequency_plot_form.h"
#include "explore/forms/hist_form.h"
#include "explore/forms/plot_form.h"
#include "explore/frequency_plot.h"
#include "explore/histogram.h"
#include "explore/plots.h"
#include "numerics/intervals.h"
#include "output/chart.h"
#include "output/text_printer.h"
#include "ui/data_editor_hooks.h"
#include "ui/grid_printing.h"
#include "ui/key_filter_qt.h"
#include "ui/messages.h"
#include "ui/printing.h"
#include "ui/recent_files_menu.h"
#include "ui/result_grid.h"
#include "ui/variable_lists.h"
#include "ui/window_registry.h"

namespace sorvel {

namespace {

QString U(const std::string& s) { return QString::fromStdString(s); }

constexpr const char* CallerName = "Explore Form";
constexpr const char* VarChartsCommand = "variables-control-charts";

// Toolbar pictures of this window's own commands, drawn so that no image files are needed.
enum class TExploreGlyph { Open, Editor, Copy, Plots, Charts, Histograms, Frequencies };

QIcon ExploreIcon(TExploreGlyph glyph) {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink(40, 60, 110);
  p.setPen(QPen(ink, 1.4));
  switch (glyph) {
    case TExploreGlyph::Open: {
      QPainterPath folder;
      folder.moveTo(3.5, 7);
      folder.lineTo(9, 7);
      folder.lineTo(11, 9);
      folder.lineTo(20.5, 9);
      folder.lineTo(20.5, 19.5);
      folder.lineTo(3.5, 19.5);
      folder.closeSubpath();
      p.setBrush(QColor(240, 200, 90));
      p.drawPath(folder);
      break;
    }
    case TExploreGlyph::Editor:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(3.5, 3.5, 17, 17));
      for (double x : {9.5, 14.5}) p.drawLine(QPointF(x, 3.5), QPointF(x, 20.5));
      for (double y : {8.5, 13.5}) p.drawLine(QPointF(3.5, y), QPointF(20.5, y));
      break;
    case TExploreGlyph::Copy:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(3.5, 3.5, 11, 13));
      p.drawRect(QRectF(9.5, 7.5, 11, 13));
      break;
    case TExploreGlyph::Plots:
      p.drawLine(QPointF(8, 3), QPointF(8, 21));
      p.setBrush(QColor(120, 170, 230));
      p.drawRect(QRectF(4.5, 7.5, 7, 9));
      p.drawLine(QPointF(16, 5), QPointF(16, 19));
      p.setBrush(QColor(230, 150, 120));
      p.drawRect(QRectF(12.5, 9.5, 7, 6));
      break;
    case TExploreGlyph::Charts:
      p.setPen(QPen(QColor(200, 40, 40), 1.2, Qt::DashLine));
      p.drawLine(QPointF(2, 5), QPointF(22, 5));
      p.drawLine(QPointF(2, 19), QPointF(22, 19));
      p.setPen(QPen(ink, 1.6));
      p.drawPolyline(QPolygonF({QPointF(3, 12), QPointF(7, 9), QPointF(11, 15), QPointF(15, 8),
                                QPointF(19, 13), QPointF(22, 11)}));
      break;
    case TExploreGlyph::Histograms:
      p.setBrush(QColor(120, 170, 230));
      p.drawRect(QRectF(3.5, 14.5, 4, 6));
      p.drawRect(QRectF(7.5, 6.5, 4, 14));
      p.drawRect(QRectF(11.5, 3.5, 4, 17));
      p.drawRect(QRectF(15.5, 10.5, 4, 10));
      break;
    case TExploreGlyph::Frequencies:
      p.drawPolyline(QPolygonF({QPointF(3, 20), QPointF(7, 14), QPointF(11, 6), QPointF(15, 9),
                                QPointF(19, 17), QPointF(21, 20)}));
      p.setBrush(QColor(230, 150, 120));
      for (const QPointF& pt : {QPointF(7, 14), QPointF(11, 6), QPointF(15, 9), QPointF(19, 17)})
        p.drawEllipse(pt, 1.8, 1.8);
      break;
  }
  return QIcon(pm);
}

QAction* Command(QWidget* owner, const QString& caption, const QString& hint,
                 const QIcon& icon = {}, const QKeySequence& key = {}) {
  auto* a = new QAction(icon, caption, owner);
  a->setToolTip(hint);
  a->setStatusTip(hint);
  if (!key.isEmpty()) a->setShortcut(key);
  return a;
}

QLabel* HeadingLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont f = label->font();
  f.setBold(true);
  label->setFont(f);
  return label;
}

}  // namespace

// ---------------------------------------------------------------- custom list drawing

QColor CustomItemColour(TCustomColour colour) {
  switch (colour) {
    case TCustomColour::Lime: return QColor(0x00, 0xFF, 0x00);
    case TCustomColour::Fuchsia: return QColor(0xFF, 0x00, 0xFF);
    case TCustomColour::Aqua: return QColor(0x00, 0xFF, 0xFF);
    case TCustomColour::Silver: return QColor(0xC0, 0xC0, 0xC0);
  }
  return Qt::white;
}

void TCustomItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  const int k = index.data(Qt::UserRole).toInt();
  if (k < 0 || k >= CustomItemCount) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  const TCustomItem& item = CustomItems()[k];
  const QRect r = option.rect;
  painter->save();
  painter->fillRect(r, CustomItemColour(item.Colour));
  // The check box, drawn by the style at the left edge.
  QStyleOptionViewItem box(option);
  initStyleOption(&box, index);
  const QWidget* view = option.widget;
  QStyle* style = view ? view->style() : QApplication::style();
  QRect check = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &box, view);
  check.moveTop(r.top() + (r.height() - check.height()) / 2);
  check.moveLeft(r.left() + 2);
  box.rect = check;
  box.state = box.state & ~QStyle::State_HasFocus;
  box.state |=
      index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
  style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, view);
  const QRect text = r.adjusted(check.right() - r.left() + 6, 0, -2, 0);
  painter->setPen(Qt::black);
  painter->setFont(option.font);
  if (item.Group.empty()) {
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, U(item.ShortName));
  } else {
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                      U(item.ShortName) + QStringLiteral("-------------------------------------"));
    // The group's name from 40% of the item's width on, over the rule.
    const int x = r.left() + r.width() * 2 / 5;
    const QRect groupRect(x, r.top(), r.right() - x, r.height());
    const QString group = U(item.Group);
    const int w = option.fontMetrics.horizontalAdvance(group) + 4;
    painter->fillRect(QRect(x, r.top() + 1, std::min(w, groupRect.width()), r.height() - 2),
                      CustomItemColour(item.Colour));
    painter->drawText(groupRect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, group);
  }
  if (option.state & QStyle::State_Selected) {
    painter->setPen(QPen(QColor(0x00, 0x00, 0x80), 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(r.adjusted(1, 1, -1, -1));
  }
  painter->restore();
}

void TExploreDecimalSpin::fixup(QString& input) const {
  if (input.trimmed().isEmpty()) input = QString::number(value());
}

// ---------------------------------------------------------------- the window

TWNormal_Form::TWNormal_Form(QWidget* owner)
    : TAnalysisForm(owner, QStringLiteral("Explore"), QStringLiteral("Explore Form"), 3200) {
  setObjectName(QStringLiteral("TWNormal_Form"));
  BuildPages();
  BuildCommands();
  resize(920, 580);
  minimum_ = size();
  setMinimumSize(minimum_);
  PageControl_Main->setCurrentIndex(PageSelect);
  RebuildLists();
  Activated();
}

void TWNormal_Form::BuildPages() {
  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);
  PageControl_Main = new QTabWidget(central);
  PageControl_Main->setObjectName(QStringLiteral("PageControl_Main"));
  outer->addWidget(PageControl_Main);
  setCentralWidget(central);

  // ---- Select Data ----
  auto* selectPage = new QWidget;
  auto* selectLayout = new QVBoxLayout(selectPage);
  auto* titleRow = new QHBoxLayout;
  Edit_Title = new QLineEdit(selectPage);
  Edit_Title->setObjectName(QStringLiteral("Edit_Title"));
  auto* titleLabel = new QLabel(QStringLiteral("&Title:"), selectPage);
  titleLabel->setBuddy(Edit_Title);
  titleRow->addWidget(titleLabel);
  titleRow->addWidget(Edit_Title, 1);
  selectLayout->addLayout(titleRow);
  auto* kindRow = new QHBoxLayout;
  RadioButton_Column = new QRadioButton(QStringLiteral("Column Analysis"), selectPage);
  RadioButton_Column->setObjectName(QStringLiteral("RadioButton_Column"));
  RadioButton_Reference = new QRadioButton(QStringLiteral("Reference Analysis"), selectPage);
  RadioButton_Reference->setObjectName(QStringLiteral("RadioButton_Reference"));
  RadioButton_Column->setChecked(true);
  kindRow->addWidget(RadioButton_Column);
  kindRow->addWidget(RadioButton_Reference);
  kindRow->addStretch(1);
  selectLayout->addLayout(kindRow);
  PageControl_Select = new QStackedWidget(selectPage);
  PageControl_Select->setObjectName(QStringLiteral("PageControl_Select"));
  // Column analysis.
  ColumnPicker = new TDualListPicker(QStringLiteral("Analysis Variables"));
  ListBox_ColVar = ColumnPicker->Source;
  ListBox_ColVar->setObjectName(QStringLiteral("ListBox_ColVar"));
  ListBox_AnalysisVar = ColumnPicker->Target;
  ListBox_AnalysisVar->setObjectName(QStringLiteral("ListBox_AnalysisVar"));
  PageControl_Select->addWidget(ColumnPicker);
  // Reference analysis: the dependent variable above the independent ones.
  auto* refPage = new QWidget;
  auto* refLayout = new QVBoxLayout(refPage);
  refLayout->setContentsMargins(0, 0, 0, 0);
  ReferencePicker = new TDualListPicker(QStringLiteral("Independent Variables"));
  DataVarList = ReferencePicker->Source;
  DataVarList->setObjectName(QStringLiteral("DataVarList"));
  IndVarList = ReferencePicker->Target;
  IndVarList->setObjectName(QStringLiteral("IndVarList"));
  DependentPicker = new TSingleVarPicker(DataVarList, refPage);
  Edit_Measure = DependentPicker->Box;
  Edit_Measure->setObjectName(QStringLiteral("Edit_Measure"));
  SpeedButton_DepVar = DependentPicker->SelectBtn;
  SpeedButton_DepVar->setObjectName(QStringLiteral("SpeedButton_DepVar"));
  auto* depRow = new QHBoxLayout;
  depRow->addStretch(1);
  depRow->addWidget(new QLabel(QStringLiteral("Dependent Variable"), refPage));
  depRow->addWidget(DependentPicker, 1);
  refLayout->addLayout(depRow);
  refLayout->addWidget(ReferencePicker, 1);
  PageControl_Select->addWidget(refPage);
  // Single column.
  auto* singlePage = new QWidget;
  auto* singleLayout = new QVBoxLayout(singlePage);
  auto* singleLabel = HeadingLabel(QStringLiteral("Single Column to Analyze"), singlePage);
  singleLabel->setAlignment(Qt::AlignCenter);
  singleLayout->addWidget(singleLabel, 1);
  PageControl_Select->addWidget(singlePage);
  selectLayout->addWidget(PageControl_Select, 1);
  PageControl_Main->addTab(selectPage, QStringLiteral("Select Data"));

  // ---- Result pages ----
  const QString tabs[ExplorePageCount] = {
      QStringLiteral("Descriptives"),    QStringLiteral("Quartiles"),
      QStringLiteral("Normality Tests"), QStringLiteral("Conf. Int."),
      QStringLiteral("Nat. Tol."),       QStringLiteral("Custom")};
  const QString gridNames[ExplorePageCount] = {
      QStringLiteral("StringGrid_Desc"), QStringLiteral("StringGrid_Quart"),
      QStringLiteral("StringGrid_Norm"), QStringLiteral("StringGrid_CI"),
      QStringLiteral("StringGrid_NT"),   QStringLiteral("StringGrid_Custom")};
  std::array<QWidget*, ExplorePageCount> resultPages{};
  for (int k = 0; k < ExplorePageCount; ++k) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* headingRow = new QHBoxLayout;
    Headings[k] = HeadingLabel(QString(), page);
    Headings[k]->setObjectName(QStringLiteral("Heading%1").arg(k));
    headingRow->addWidget(Headings[k], 1);
    if (k == static_cast<int>(TExplorePage::ConfInt) ||
        k == static_cast<int>(TExplorePage::NatTol)) {
      auto* pool = new QCheckBox(QStringLiteral("&Use Pooled Variance"), page);
      pool->setObjectName(k == static_cast<int>(TExplorePage::ConfInt)
                              ? QStringLiteral("CheckBox_Pool")
                              : QStringLiteral("CheckBox_PoolNT"));
      (k == static_cast<int>(TExplorePage::ConfInt) ? CheckBox_Pool : CheckBox_PoolNT) = pool;
      headingRow->addWidget(pool);
      connect(pool, &QCheckBox::toggled, this, [this] { Refresh(); });
    }
    layout->addLayout(headingRow);
    Grids[k] = new TResultGrid(page);
    Grids[k]->setObjectName(gridNames[k]);
    layout->addWidget(Grids[k], 1);
    connect(Grids[k], &TResultGrid::EnterPressed, this, [this] { Refresh(); });
    connect(Grids[k], &TResultGrid::FontWheel, this, [this](int d) { StepFonts(d); });
    resultPages[k] = page;
  }
  StringGrid_Desc = Grids[0];
  StringGrid_Quart = Grids[1];
  StringGrid_Norm = Grids[2];
  StringGrid_CI = Grids[3];
  StringGrid_NT = Grids[4];
  StringGrid_Custom = Grids[5];
  for (int k = 0; k < static_cast<int>(TExplorePage::Custom); ++k)
    PageControl_Main->addTab(resultPages[k], tabs[k]);

  // ---- Custom Selection ----
  auto* customSelPage = new QWidget;
  auto* customSelLayout = new QVBoxLayout(customSelPage);
  customSelLayout->addWidget(
      HeadingLabel(QStringLiteral("Selection of Custom Statistics"), customSelPage));
  CheckListBox_Custom = new QListWidget(customSelPage);
  CheckListBox_Custom->setObjectName(QStringLiteral("CheckListBox_Custom"));
  CheckListBox_Custom->setItemDelegate(new TCustomItemDelegate(CheckListBox_Custom));
  CheckListBox_Custom->setUniformItemSizes(true);
  for (int k = 0; k < CustomItemCount; ++k) {
    auto* item = new QListWidgetItem(U(CustomItems()[k].ShortName), CheckListBox_Custom);
    item->setData(Qt::UserRole, k);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  CheckListBox_Custom->installEventFilter(this);
  customSelLayout->addWidget(CheckListBox_Custom, 1);
  auto* resetRow = new QHBoxLayout;
  Button_Reset = new QPushButton(QStringLiteral("&Reset"), customSelPage);
  Button_Reset->setObjectName(QStringLiteral("Button_Reset"));
  resetRow->addWidget(Button_Reset);
  resetRow->addStretch(1);
  customSelLayout->addLayout(resetRow);
  PageControl_Main->addTab(customSelPage, QStringLiteral("Custom Selection"));
  PageControl_Main->addTab(resultPages[static_cast<int>(TExplorePage::Custom)], tabs[5]);

  // ---- Output ----
  auto* outputPage = new QWidget;
  auto* outputLayout = new QVBoxLayout(outputPage);
  outputLayout->addWidget(HeadingLabel(QStringLiteral("Output Report"), outputPage));
  auto* title2Row = new QHBoxLayout;
  Edit_Title2 = new QLineEdit(outputPage);
  Edit_Title2->setObjectName(QStringLiteral("Edit_Title2"));
  auto* title2Label = new QLabel(QStringLiteral("&Title:"), outputPage);
  title2Label->setBuddy(Edit_Title2);
  title2Row->addWidget(title2Label);
  title2Row->addWidget(Edit_Title2, 1);
  outputLayout->addLayout(title2Row);
  CheckListBox_Output = new QListWidget(outputPage);
  CheckListBox_Output->setObjectName(QStringLiteral("CheckListBox_Output"));
  const char* sections[] = {"Descriptives",         "Quartiles",         "Normality Tests",
                            "Confidence Intervals", "Natural Tolerance", "Custom "};
  for (const char* s : sections) {
    auto* item = new QListWidgetItem(QString::fromLatin1(s), CheckListBox_Output);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  // The command line's default report is the descriptives; the page starts the same.
  CheckListBox_Output->item(0)->setCheckState(Qt::Checked);
  CheckListBox_Output->setMaximumHeight(8 * CheckListBox_Output->sizeHintForRow(0));
  outputLayout->addWidget(CheckListBox_Output);
  auto* printRow = new QHBoxLayout;
  Button_Print = new QPushButton(QStringLiteral("&Print"), outputPage);
  Button_Print->setObjectName(QStringLiteral("Button_Print"));
  printRow->addWidget(Button_Print);
  printRow->addStretch(1);
  outputLayout->addLayout(printRow);
  outputLayout->addStretch(1);
  PageControl_Main->addTab(outputPage, QStringLiteral("Output"));

  // ---- Status bar ----
  for (std::size_t i = 0; i < StatusPanels.size(); ++i) {
    StatusPanels[i] = new QLabel(this);
    StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    StatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusPanels[i]->hide();
    statusBar()->addWidget(StatusPanels[i], i + 1 == StatusPanels.size() ? 1 : 0);
  }

  // ---- Events of the pages ----
  connect(ColumnPicker, &TDualListPicker::Moved, this, &TWNormal_Form::SelectionChanged);
  connect(ReferencePicker, &TDualListPicker::Moved, this, &TWNormal_Form::SelectionChanged);
  connect(DependentPicker, &TSingleVarPicker::Changed, this, &TWNormal_Form::SelectionChanged);
  connect(RadioButton_Column, &QRadioButton::toggled, this, [this](bool on) {
    if (on) SetAnalysisKind(false);
  });
  connect(RadioButton_Reference, &QRadioButton::toggled, this, [this](bool on) {
    if (on) SetAnalysisKind(true);
  });
  connect(Edit_Title, &QLineEdit::textEdited, this, &TWNormal_Form::TitleEdited);
  connect(Edit_Title2, &QLineEdit::textEdited, this, &TWNormal_Form::TitleEdited);
  connect(CheckListBox_Custom, &QListWidget::itemChanged, this, [this] { UpdatePageVisibility(); });
  connect(Button_Reset, &QPushButton::clicked, this, [this] { UpdatePageVisibility(); });
  connect(Button_Print, &QPushButton::clicked, this, &TWNormal_Form::OutputPrintClick);
  connect(PageControl_Main, &QTabWidget::currentChanged, this, [this] {
    UpdateToolbarState();
    Refresh();
  });
}

void TWNormal_Form::BuildCommands() {
  // The common window's menus give way to this window's own; its actions are reused.
  for (QMenu* m : {FileMenu, EditMenu, ViewMenu, HelpMenu}) delete m;
  menuBar()->clear();
  ToolBar->clear();
  ToolButton_Resize = nullptr;
  ResizeAction->setEnabled(false);

  TDataEditorHooks& hooks = DataEditorHooks();
  NewAction = Command(this, QStringLiteral("&New"), QStringLiteral("New Data"));
  connect(NewAction, &QAction::triggered, this, [this] {
    if (!DataEditorHooks().NewFile) return;
    DataEditorHooks().NewFile();
    RebuildLists();
    Activated();
  });
  OpenDataAction = Command(this, QStringLiteral("&Open File"), QStringLiteral("Open Data File"),
                           ExploreIcon(TExploreGlyph::Open));
  connect(OpenDataAction, &QAction::triggered, this, [this] {
    if (!DataEditorHooks().OpenDialog) return;
    DataEditorHooks().OpenDialog();
    HideGraphWindows();
  });
  DataEditorAction = Command(this, QStringLiteral("&Data Editor"), QStringLiteral("Data Editor"),
                             ExploreIcon(TExploreGlyph::Editor), QKeySequence(Qt::Key_F4));
  // The editor's Return comes back here.
  connect(DataEditorAction, &QAction::triggered, this, [this] {
    if (HasForm("data-editor"))
      static_cast<TDataForm*>(FormFor("data-editor"))
          ->ShowDataEditor(this, QString::fromLatin1(CallerName));
  });
  ProcessIfAction = Command(this, QStringLiteral("Process &If"), QStringLiteral("Process If"), {},
                            QKeySequence(Qt::Key_F8));
  connect(ProcessIfAction, &QAction::triggered, this, [this] {
    if (DataEditorHooks().ProcessIf) DataEditorHooks().ProcessIf();
    UpdateStatusBar();
    Refresh();
  });
  SaveAction = SaveAsAction;
  SaveAction->setText(QStringLiteral("&Save Output Text"));
  SaveAction->setToolTip(QStringLiteral("Save"));
  disconnect(SaveAction, &QAction::triggered, this, nullptr);
  connect(SaveAction, &QAction::triggered, this, &TWNormal_Form::SaveClick);
  PrintAction->setText(QStringLiteral("&Print"));
  disconnect(PrintAction, &QAction::triggered, this, nullptr);
  connect(PrintAction, &QAction::triggered, this, &TWNormal_Form::PrintClick);
  HideAction->setText(QStringLiteral("&Hide Form"));
  ReturnAction->setText(QStringLiteral("&Return to Main Form"));

  CopyGridAction = Command(this, QStringLiteral("&Copy Grid"), QStringLiteral("Copy"), {},
                           QKeySequence(Qt::CTRL | Qt::Key_C));
  CopyGridAction->setObjectName(QStringLiteral("CopyGrid"));
  CopyButtonAction = Command(this, QStringLiteral("Copy"), QStringLiteral("Copy"),
                             ExploreIcon(TExploreGlyph::Copy));
  for (QAction* a : {CopyGridAction, CopyButtonAction})
    connect(a, &QAction::triggered, this, [this] {
      if (TResultGrid* g = CurrentGrid()) g->CopyToClipboard();
    });
  IncreaseFontAction =
      Command(this, QStringLiteral("&Increase Font"), QStringLiteral("Increase Font"), {},
              QKeySequence(Qt::CTRL | Qt::Key_I));
  connect(IncreaseFontAction, &QAction::triggered, this, [this] { StepFonts(1); });
  DecreaseFontAction =
      Command(this, QStringLiteral("&Decrease Font"), QStringLiteral("Decrease Font"), {},
              QKeySequence(Qt::CTRL | Qt::Key_D));
  connect(DecreaseFontAction, &QAction::triggered, this, [this] { StepFonts(-1); });
  SelectAllGridAction = Command(this, QStringLiteral("Select &All"), QStringLiteral("Select All"),
                                {}, QKeySequence(Qt::CTRL | Qt::Key_A));
  connect(SelectAllGridAction, &QAction::triggered, this, [this] {
    if (TResultGrid* g = CurrentGrid()) g->SelectBody();
  });
  MinWidthsAction = Command(this, QStringLiteral("Minimize Column &Widths"),
                            QStringLiteral("Minimize Column Widths"));
  MinWidthsAction->setCheckable(true);
  connect(MinWidthsAction, &QAction::toggled, this, [this](bool on) {
    ColumnWidth = on ? 10 : 64;
    Refresh();
  });

  PlotsAction = Command(this, QStringLiteral("&Plots"), QStringLiteral("Plots"),
                        ExploreIcon(TExploreGlyph::Plots));
  PlotsAction->setObjectName(QStringLiteral("PlotsAction"));
  connect(PlotsAction, &QAction::triggered, this, &TWNormal_Form::PlotsClick);
  VarChartsAction =
      Command(this, QStringLiteral("&Variables Control Charts"),
              QStringLiteral("Variables Control Charts"), ExploreIcon(TExploreGlyph::Charts));
  VarChartsAction->setObjectName(QStringLiteral("VarChartsAction"));
  connect(VarChartsAction, &QAction::triggered, this, &TWNormal_Form::VarChartsClick);
  HistogramsAction = Command(this, QStringLiteral("&Histograms"), QStringLiteral("Histograms"),
                             ExploreIcon(TExploreGlyph::Histograms));
  HistogramsAction->setObjectName(QStringLiteral("HistogramsAction"));
  connect(HistogramsAction, &QAction::triggered, this, &TWNormal_Form::HistogramsClick);
  FrequenciesAction =
      Command(this, QStringLiteral("&Frequencies"), QStringLiteral("Frequency Plots"),
              ExploreIcon(TExploreGlyph::Frequencies));
  FrequenciesAction->setObjectName(QStringLiteral("FrequenciesAction"));
  connect(FrequenciesAction, &QAction::triggered, this, &TWNormal_Form::FrequenciesClick);

  RefreshAction = new QAction(this);
  RefreshAction->setShortcut(QKeySequence(Qt::Key_F9));
  addAction(RefreshAction);
  connect(RefreshAction, &QAction::triggered, this, [this] { Refresh(); });

  ContentsAction->setText(QStringLiteral("Help &Contents"));
  HelpAction->setText(QStringLiteral("Help on Explore Form"));

  FileMenu = menuBar()->addMenu(QStringLiteral("&File"));
  FileMenu->addActions({NewAction, OpenDataAction, DataEditorAction, ProcessIfAction});
  FileMenu->addSeparator();
  FileMenu->addActions({SaveAction, PrintAction});
  FileMenu->addSeparator();
  FileMenu->addActions({HideAction, ReturnAction});
  AddRecentFileItems(FileMenu, this, [this] { HideGraphWindows(); });
  EditMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
  EditMenu->addActions(
      {CopyGridAction, IncreaseFontAction, DecreaseFontAction, SelectAllGridAction});
  EditMenu->addSeparator();
  EditMenu->addAction(MinWidthsAction);
  GraphsMenu = menuBar()->addMenu(QStringLiteral("&Graphs"));
  GraphsMenu->addActions({PlotsAction, VarChartsAction, HistogramsAction, FrequenciesAction});
  HelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
  HelpMenu->addActions({ContentsAction, HelpAction});
  ViewMenu = nullptr;

  ToolBar->addAction(ReturnAction);
  ToolBar->addSeparator();
  ToolBar->addActions({OpenDataAction, DataEditorAction});
  ToolBar->addSeparator();
  ToolBar->addActions({SaveAction, PrintAction, CopyButtonAction});
  ToolBar->addSeparator();
  ToolBar->addActions({PlotsAction, VarChartsAction, HistogramsAction, FrequenciesAction});
  ToolBar->addSeparator();
  ToolBar->addActions({MainFormAction, HelpAction});
  ToolBar->addSeparator();
  ToolBar->addAction(HideAction);
  ToolBar->addSeparator();

  // "&Decimals:" and "&Conf:" beside the commands.
  DecimalSpinEdit = new TExploreDecimalSpin(ToolBar);
  DecimalSpinEdit->setObjectName(QStringLiteral("DecimalSpinEdit"));
  DecimalSpinEdit->setRange(0, 9);
  DecimalSpinEdit->setValue(Decimals);
  SetKeyFilter(DecimalSpinEdit, IntegerSpinKeyFilter);
  auto* decLabel = new QLabel(QStringLiteral(" &Decimals: "), ToolBar);
  decLabel->setBuddy(DecimalSpinEdit);
  ConfComboBox = new QComboBox(ToolBar);
  ConfComboBox->setObjectName(QStringLiteral("ConfComboBox"));
  ConfComboBox->setEditable(true);
  ConfComboBox->setInsertPolicy(QComboBox::NoInsert);
  ConfComboBox->addItems({QStringLiteral("90"), QStringLiteral("95"), QStringLiteral("99")});
  ConfComboBox->setCurrentIndex(1);
  ConfComboBox->setMinimumContentsLength(4);
  SetKeyFilter(ConfComboBox->lineEdit(), PosRealComboFilter);
  auto* confLabel = new QLabel(QStringLiteral(" &Conf: "), ToolBar);
  confLabel->setBuddy(ConfComboBox);
  ToolBar->addWidget(decLabel);
  ToolBar->addWidget(DecimalSpinEdit);
  ToolBar->addWidget(confLabel);
  ToolBar->addWidget(ConfComboBox);

  connect(DecimalSpinEdit, &QSpinBox::valueChanged, this, [this](int v) {
    if (DecimalSpinEdit->text().trimmed().isEmpty()) return;
    Decimals = v;
    Refresh();
  });
  connect(DecimalSpinEdit, &QSpinBox::editingFinished, this, [this] {
    if (DecimalSpinEdit->text().trimmed().isEmpty()) DecimalSpinEdit->setValue(Decimals);
  });
  connect(ConfComboBox, &QComboBox::currentTextChanged, this, [this] { ConfChanged(); });

  for (QAction* a : {NewAction, OpenDataAction, DataEditorAction}) a->setEnabled(hooks.Available());
  ProcessIfAction->setEnabled(static_cast<bool>(hooks.ProcessIf));
  UpdateToolbarState();
}

// ---------------------------------------------------------------- state

bool TWNormal_Form::HasSelection() const {
  if (PageControl_Select->currentIndex() == 2) return true;
  if (RadioButton_Reference->isChecked())
    return DependentPicker->Column() > 0 && IndVarList->count() > 0;
  return ListBox_AnalysisVar->count() > 0;
}

TCustomChecks TWNormal_Form::CustomChecks() const {
  TCustomChecks checks{};
  for (int i = 0; i < CheckListBox_Custom->count() && i < CustomItemCount; ++i)
    checks[i] = CheckListBox_Custom->item(i)->checkState() == Qt::Checked;
  return checks;
}

void TWNormal_Form::UpdatePageVisibility() {
  const bool any = HasSelection();
  for (int p = PageDesc; p <= PageOutput; ++p) PageControl_Main->setTabVisible(p, any);
  PageControl_Main->setTabVisible(PageCustom, any && AnyCustomChecked(CustomChecks()));
  for (QAction* a : {PlotsAction, VarChartsAction, HistogramsAction}) a->setEnabled(any);
  FrequenciesAction->setEnabled(any && HasForm(FrequencyPlotsCommand));
}

void TWNormal_Form::UpdateToolbarState() {
  const bool result = IsResultPage(PageControl_Main->currentIndex());
  for (QAction* a : {SaveAction, PrintAction, CopyButtonAction}) a->setEnabled(result);
  CopyGridAction->setVisible(result);
  SelectAllGridAction->setVisible(result);
}

TResultGrid* TWNormal_Form::CurrentGrid() const {
  const int page = PageControl_Main->currentIndex();
  if (!IsResultPage(page)) return nullptr;
  return Grids[page == PageCustom ? static_cast<int>(TExplorePage::Custom) : page - PageDesc];
}

void TWNormal_Form::SetStatusText(int panel, const QString& text) {
  statusTexts_[panel] = text;
  UpdateStatusBar();
}

void TWNormal_Form::UpdateStatusBar() {
  const auto missing = MissingConditionTexts();
  std::string m;
  for (std::size_t i = 0; i < missing.size(); ++i) m += (i ? ", " : "") + missing[i];
  statusTexts_[1] = m.empty() ? QString() : QStringLiteral("Missing: ") + U(m);
  statusTexts_[2] = TransformRec.no != TransformNone
                        ? QStringLiteral("Transform: ") + U(TransformFormulaText())
                        : QString();
  const auto pi = ProcessIfConditionTexts();
  statusTexts_[3] = pi.empty() ? QString()
                               : QStringLiteral("Process If: ") + U(pi[0]) +
                                     (pi.size() > 1 ? U(ProcessIfJoin() + pi[1]) : QString());
  int shown = 0;
  for (int i = 0; i < 4; ++i) {
    QLabel* panel = StatusPanels[i];
    if (statusTexts_[i].isEmpty()) {
      panel->hide();
      panel->clear();
      continue;
    }
    const QString text = QStringLiteral(" ") + statusTexts_[i];
    panel->setText(text);
    panel->setFixedWidth(panel->fontMetrics().horizontalAdvance(text) + 10 +
                         2 * panel->frameWidth());
    panel->show();
    ++shown;
  }
  StatusPanels[4]->setVisible(shown >= 2);
}

// ---------------------------------------------------------------- selection

void TWNormal_Form::SelectionChanged() {
  if (building_) return;
  UpdatePageVisibility();
  SetStatusText(0, QString());
  HideGraphWindows();
}

void TWNormal_Form::SetAnalysisKind(bool reference) {
  if (building_ || !RadioButton_Reference->isEnabled()) return;
  const int page = reference ? 1 : 0;
  if (PageControl_Select->currentIndex() == page) return;
  PageControl_Select->setCurrentIndex(page);
  SetStatusText(0, QString());
  UpdatePageVisibility();
}

void TWNormal_Form::RebuildLists() {
  building_ = true;
  DependentPicker->Clear(false);
  ColumnPicker->Fill(DataList());
  ReferencePicker->Fill(DataList());
  PageControl_Main->setCurrentIndex(PageSelect);
  PageControl_Select->setCurrentIndex(0);
  RadioButton_Column->setChecked(true);
  building_ = false;
  HideGraphWindows();
  UpdatePageVisibility();
}

void TWNormal_Form::HideGraphWindows() {
  for (QWidget* w : {plots_.data(), histograms_.data(), frequencies_.data()})
    if (w) w->hide();
}

void TWNormal_Form::TitleEdited(const QString& text) {
  // The two title boxes are one title.
  QLineEdit* other = sender() == Edit_Title ? Edit_Title2 : Edit_Title;
  if (other->text() != text) other->setText(text);
  SharedReportTitle() = text.toStdString();
}

bool TWNormal_Form::ReadConf() {
  const QString text = ConfComboBox->currentText().trimmed();
  bool ok = false;
  const double v = text.toDouble(&ok);
  // A level of 0 or 100% and beyond has no interval: the last good level stays.
  if (!ok || !(v > 0 && v < 100)) return false;
  SharedConfI().SetConfText(text.toStdString());
  return true;
}

void TWNormal_Form::ConfChanged() {
  if (ReadConf()) Refresh();
}

// ---------------------------------------------------------------- the run and its tables

bool TWNormal_Form::BuildRun(TRunInfo& ri) {
  TExploreSelection sel;
  const bool single = PageControl_Select->currentIndex() == 2;
  if (single) {
    sel.AnalysisVariables = {1};
  } else if (RadioButton_Reference->isChecked()) {
    sel.Dependent = DependentPicker->Column();
    sel.Independent = ListColumns(IndVarList);
    if (sel.Independent.empty() || sel.Dependent == 0) {
      Beep();
      return false;
    }
  } else {
    sel.AnalysisVariables = ListColumns(ListBox_AnalysisVar);
    if (sel.AnalysisVariables.empty()) {
      Beep();
      return false;
    }
  }
  sel.Title = Edit_Title->text().toStdString();
  TDataList& list = DataList();
  if (list.DataChanged) list.UpdateData();
  if (!BuildExploreRun(list, sel, ri).empty()) {
    Beep();
    return false;
  }
  SharedReportTitle() = sel.Title;
  QString analysed;
  if (sel.Reference())
    analysed = U(ri.MeasureName) + QStringLiteral(" (") + U(ri.GroupName) + QStringLiteral(")");
  else if (single)
    analysed = U(list.ColumnName(1));
  else if (sel.AnalysisVariables.size() == 1)
    analysed = U(list.ColumnName(sel.AnalysisVariables[0]));
  else
    analysed = QStringLiteral("Variable List");
  SetStatusText(0, analysed);
  return true;
}

TExploreOptions TWNormal_Form::Options() {
  TExploreOptions o;
  o.Decimals = Decimals;
  o.Conf = SharedConfI().conf;
  o.ConfText = ConfComboBox->currentText().trimmed().toStdString();
  o.PooledCI = CheckBox_Pool->isChecked();
  o.PooledNT = CheckBox_PoolNT->isChecked();
  o.Custom = CustomChecks();
  o.ExponentialP = [this](int n, double t, const std::string& label) {
    TExponentialTestMonitor monitor(this);
    return monitor.Run(n, t, label);
  };
  return o;
}

void TWNormal_Form::Refresh() {
  const int page = PageControl_Main->currentIndex();
  if (!IsResultPage(page)) return;
  TRunInfo ri;
  if (!BuildRun(ri)) return;
  const TExploreOptions o = Options();
  if (page == PageCustom && !AnyCustomChecked(o.Custom)) {
    Beep();
    PageControl_Main->setCurrentIndex(PageCustomSelection);
    return;
  }
  const auto which =
      static_cast<TExplorePage>(page == PageCustom ? ExplorePageCount - 1 : page - PageDesc);
  const TExploreTable table = ComputeExploreTable(which, DataList(), ri, o);
  const int k = static_cast<int>(which);
  Headings[k]->setText(U(table.Heading));
  Headings[k]->setProperty("PrintHeading", U(table.PrintHeading));
  Grids[k]->SetGrid(table.Grid, which == TExplorePage::NormalityTests ? 40 : ColumnWidth);
}

void TWNormal_Form::StepFonts(int delta) {
  for (TResultGrid* g : Grids) g->StepFont(delta);
}

// ---------------------------------------------------------------- activation

void TWNormal_Form::Activated() {
  ReadConf();
  TDataList& list = DataList();
  const std::int32_t columns = NewDataCount * 65599 + ColumnsChangeCount;
  const std::int32_t changed = NewDataCount * 65599 + DataChangeCount;
  if (columns != seenColumns_) {
    seenColumns_ = columns;
    RebuildLists();
  }
  const bool haveData = list.HaveData();
  PageControl_Main->widget(PageSelect)->setEnabled(haveData);
  for (QWidget* w :
       {static_cast<QWidget*>(RadioButton_Column), static_cast<QWidget*>(RadioButton_Reference),
        static_cast<QWidget*>(PageControl_Select)})
    w->setVisible(haveData);
  const std::string& name = DataEditor.DataFilename;
  setWindowTitle(name.empty() ? QStringLiteral("Explore")
                              : QStringLiteral("Explore - ") + QFileInfo(U(name)).fileName());
  if (list.DataChanged) list.UpdateData();
  if (list.MaxCol() == 1 && list.Ncount > 2) {
    building_ = true;
    PageControl_Select->setCurrentIndex(2);
    RadioButton_Column->setChecked(true);
    RadioButton_Reference->setEnabled(false);
    building_ = false;
  } else {
    RadioButton_Reference->setEnabled(true);
    if (PageControl_Select->currentIndex() == 2) {
      building_ = true;
      PageControl_Select->setCurrentIndex(0);
      RadioButton_Column->setChecked(true);
      building_ = false;
    }
  }
  UpdatePageVisibility();
  TDataEditorHooks& hooks = DataEditorHooks();
  for (QAction* a : {NewAction, OpenDataAction, DataEditorAction}) a->setEnabled(hooks.Available());
  ProcessIfAction->setEnabled(static_cast<bool>(hooks.ProcessIf));
  if (changed != seenData_) {
    seenData_ = changed;
    if (IsResultPage(PageControl_Main->currentIndex())) Refresh();
  }
  UpdateStatusBar();
}

bool TWNormal_Form::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) Activated();
  return TAnalysisForm::event(e);
}

bool TWNormal_Form::eventFilter(QObject* watched, QEvent* e) {
  if (watched == CheckListBox_Custom && e->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (QListWidgetItem* item = CheckListBox_Custom->currentItem())
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
      return true;
    }
  }
  return TAnalysisForm::eventFilter(watched, e);
}

void TWNormal_Form::keyPressEvent(QKeyEvent* e) {
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
      !(e->modifiers() & ~Qt::KeypadModifier)) {
    Refresh();
    return;
  }
  TAnalysisForm::keyPressEvent(e);
}

// ---------------------------------------------------------------- commands

bool TWNormal_Form::SaveGridToFile(const QString& path) {
  TResultGrid* g = CurrentGrid();
  if (!g) return false;
  const std::string bytes = g->SaveText();
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
          static_cast<qint64>(bytes.size()) ||
      !file.commit()) {
    ShowFileError();
    return false;
  }
  return true;
}

void TWNormal_Form::SaveClick() {
  if (!CurrentGrid()) return;
  QFileDialog dialog(this, QStringLiteral("Save As"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)")});
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveGridToFile(dialog.selectedFiles().front());
}

void TWNormal_Form::PrintClick() {
  TResultGrid* g = CurrentGrid();
  if (!g) return;
  const int page = PageControl_Main->currentIndex();
  const int k = page == PageCustom ? ExplorePageCount - 1 : page - PageDesc;
  const std::string heading = Headings[k]->property("PrintHeading").toString().toStdString();
  PrintGrid(g->Grid(), g->MultiSelection(), U(SharedReportTitle()), heading, this);
}

void TWNormal_Form::PrintReportOn(QPrinter& printer) {
  TRunInfo ri;
  if (!BuildRun(ri)) return;
  TExploreReportInputs in;
  in.Title = Edit_Title->text().toStdString();
  const std::string& path = DataEditor.DataFilename;
  if (!path.empty()) in.FileName = QFileInfo(U(path)).fileName().toStdString();
  TFileModStrings mods;
  if (BuildFileModString(mods)) in.ModificationLine = mods.Line;
  for (int i = 0; i < ExplorePageCount && i < CheckListBox_Output->count(); ++i)
    in.Sections[i] = CheckListBox_Output->item(i)->checkState() == Qt::Checked;
  in.Options = Options();

  QPainter painter;
  if (!painter.begin(&printer)) return;
  TQtPageDevice device(printer, painter);
  TMPrinter mp;
  SetupGridReportJob(mp, device, printer.pageLayout().orientation() == QPageLayout::Landscape);
  PrintExploreReport(mp, DataList(), ri, in);
  painter.end();
}

void TWNormal_Form::OutputPrintClick() {
  // The shared font dialog first; cancelling it prints nothing.
  if (!AskTablePrintFont(this)) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(MainForm() ? MainForm()->windowTitle() : windowTitle());
  printer.setPageOrientation(GridPrintOrientation());
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  GridPrintOrientation() = printer.pageLayout().orientation();
  PrintReportOn(printer);
}

void TWNormal_Form::PlotsClick() {
  TRunInfo ri;
  if (!BuildRun(ri)) return;
  auto* plots = qobject_cast<TPlot_Form*>(ShowForm(PlotsCommand));
  if (!plots) return;
  plots_ = plots;
  plots->SetReturnTarget(this, QString::fromLatin1(CallerName));
  plots->StartPlots(ri);
}

void TWNormal_Form::HistogramsClick() {
  TRunInfo ri;
  if (!BuildRun(ri)) return;
  auto* hist = qobject_cast<THistForm*>(ShowForm(HistogramCommand));
  if (!hist) return;
  histograms_ = hist;
  hist->SetReturnTarget(this, QString::fromLatin1(CallerName));
  hist->StartHistogram(ri);
}

void TWNormal_Form::FrequenciesClick() {
  TRunInfo ri;
  if (!BuildRun(ri)) return;
  frequencies_ = ShowFrequencyPlot(this, QString::fromLatin1(CallerName), ri);
}

void TWNormal_Form::VarChartsClick() { ShowForm(VarChartsCommand); }

}  // namespace sorvel
