#include "ui/chart_form.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "ui/graph_module.h"
#include "ui/shell_services.h"
#include "ui/window_placement.h"
#include "ui/window_registry.h"

namespace sorvel {

namespace {

QAction* Command(QWidget* owner, const QString& caption, const QString& hint,
                 QStyle::StandardPixmap icon, const QKeySequence& key = {}) {
  auto* a = new QAction(caption, owner);
  a->setToolTip(hint);
  a->setStatusTip(hint);
  a->setIcon(owner->style()->standardIcon(icon));
  if (!key.isEmpty()) a->setShortcut(key);
  return a;
}

}  // namespace

TChartForm::TChartForm(QWidget* owner, const QString& caption, const QString& subject,
                       int helpTopic)
    : QMainWindow(owner, Qt::Window), HelpTopic(helpTopic) {
  setWindowTitle(caption);
  ChartView = new TChartView(this);
  Label_Readout = new QLabel(this);
  Label_Readout->setObjectName(QStringLiteral("Label_Readout"));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(ChartView, 1);
  layout->addWidget(Label_Readout);
  setCentralWidget(central);

  ReturnAction = Command(this, QStringLiteral("&Return to Main Form"),
                         QStringLiteral("Return to Main Form"), QStyle::SP_ArrowBack);
  connect(ReturnAction, &QAction::triggered, this, [this] {
    if (returnTarget_)
      RestoreAndShow(returnTarget_);
    else
      ShowMainForm();
  });
  SaveAsAction = Command(this, QStringLiteral("Save &As..."), QStringLiteral("Save Graph"),
                         QStyle::SP_DialogSaveButton);
  connect(SaveAsAction, &QAction::triggered, this, &TChartForm::SaveGraph);
  PrintAction = Command(this, QStringLiteral("&Print..."), QStringLiteral("Print Graph"),
                        QStyle::SP_FileDialogDetailedView, QKeySequence(Qt::CTRL | Qt::Key_P));
  connect(PrintAction, &QAction::triggered, this, &TChartForm::PrintGraph);
  CopyChartAction = Command(this, QStringLiteral("&Copy Chart"), QStringLiteral("Copy Graph"),
                            QStyle::SP_FileDialogContentsView, QKeySequence(Qt::CTRL | Qt::Key_C));
  connect(CopyChartAction, &QAction::triggered, this, &TChartForm::CopyGraph);
  EditTitlesAction = Command(this, QStringLiteral("Edit &Titles"), QStringLiteral("Edit Titles"),
                             QStyle::SP_FileDialogInfoView, QKeySequence(Qt::CTRL | Qt::Key_T));
  connect(EditTitlesAction, &QAction::triggered, this, &TChartForm::EditTitles);
  BlackWhiteAction = Command(this, QStringLiteral("&Black && White"), QStringLiteral("Color/BW"),
                             QStyle::SP_DesktopIcon);
  BlackWhiteAction->setCheckable(true);
  BlackWhiteAction->setChecked(ChartBlackWhite());
  connect(BlackWhiteAction, &QAction::triggered, this, &TChartForm::ToggleBlackWhite);
  ZoomOutAction = Command(this, QStringLiteral("&Zoom Out"), QStringLiteral("Zoom Out"),
                          QStyle::SP_TitleBarNormalButton);
  ZoomOutAction->setEnabled(false);
  connect(ZoomOutAction, &QAction::triggered, ChartView, &TChartView::ZoomOut);
  MainFormAction = Command(this, QStringLiteral("Main Form"), QStringLiteral("Main Form"),
                           QStyle::SP_ComputerIcon);
  connect(MainFormAction, &QAction::triggered, this, [] { ShowMainForm(); });
  HelpAction = Command(this, QStringLiteral("&Help on ") + subject, QStringLiteral("Help"),
                       QStyle::SP_DialogHelpButton, QKeySequence(Qt::Key_F1));
  connect(HelpAction, &QAction::triggered, this, [this] { ShowHelpTopic(HelpTopic); });
  HideAction = Command(this, QStringLiteral("Hide Form"), QStringLiteral("Hide Form"),
                       QStyle::SP_DialogCloseButton);
  connect(HideAction, &QAction::triggered, this, &QWidget::close);

  FileMenu = menuBar()->addMenu(QStringLiteral("&File"));
  FileMenu->addAction(ReturnAction);
  FileMenu->addSeparator();
  FileMenu->addAction(SaveAsAction);
  FileMenu->addAction(PrintAction);
  EditMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
  EditMenu->addAction(CopyChartAction);
  EditMenu->addAction(EditTitlesAction);
  ViewMenu = menuBar()->addMenu(QStringLiteral("&View"));
  ViewMenu->addAction(ZoomOutAction);
  ViewMenu->addAction(BlackWhiteAction);
  HelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
  HelpMenu->addAction(HelpAction);

  ToolBar = addToolBar(QStringLiteral("Commands"));
  ToolBar->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar->setMovable(false);
  ToolBar->addAction(ReturnAction);
  ToolBar->addSeparator();
  for (QAction* a :
       {SaveAsAction, PrintAction, CopyChartAction, EditTitlesAction, BlackWhiteAction})
    ToolBar->addAction(a);
  ToolBar->addSeparator();
  ToolBar->addAction(MainFormAction);
  ToolBar->addAction(HelpAction);
  ToolBar->addSeparator();
  ToolBar->addAction(HideAction);

  connect(ChartView, &TChartView::ReadoutChanged, Label_Readout, &QLabel::setText);
  connect(ChartView, &TChartView::ZoomChanged, ZoomOutAction, &QAction::setEnabled);
  connect(ChartView, &TChartView::TitleClicked, this, &TChartForm::EditTitles);
  connect(ChartView, &TChartView::ChartDoubleClicked, this, &TChartForm::CopyGraph);
  connect(ChartView, &TChartView::PointClicked, this,
          [this](int s, int p, QPoint global) { PointClicked(s, p, global); });
  resize(900, 640);
  KeepOnScreen(this);
}

QAction* TChartForm::AddCheckItem(QMenu* menu, const QString& caption, bool checked) {
  QAction* a = menu->addAction(caption);
  a->setCheckable(true);
  a->setChecked(checked);
  return a;
}

QWidget* TChartForm::AddOptionPanel(int width) {
  QWidget* chartArea = takeCentralWidget();
  auto* central = new QWidget(this);
  auto* row = new QHBoxLayout(central);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(chartArea, 1);
  auto* panel = new QWidget(central);
  new QVBoxLayout(panel);
  panel->setFixedWidth(width);
  row->addWidget(panel);
  setCentralWidget(central);
  ZoomOutAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  ToolBar->insertAction(HideAction, ZoomOutAction);
  return panel;
}

void TChartForm::SetReturnTarget(QWidget* caller, const QString& name) {
  returnTarget_ = caller;
  ReturnAction->setText(QStringLiteral("&Return to ") + name);
  ReturnAction->setToolTip(QStringLiteral("Return to ") + name);
}

void TChartForm::DrawChart() { ChartView->Chart().BlackWhite = ChartBlackWhite(); }

void TChartForm::Redraw() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  DrawChart();
  QApplication::restoreOverrideCursor();
  BlackWhiteAction->setChecked(ChartBlackWhite());
  ChartView->Redraw();
}

QSize TChartForm::GraphSize() const {
  QSize s = ChartView->size();
  return s.width() < 200 || s.height() < 150 ? QSize(800, 500) : s;
}

bool TChartForm::SaveGraph() {
  return TGraphModule::Instance().SaveChart(ChartView->Chart(), GraphSize(), this);
}

void TChartForm::PrintGraph() { TGraphModule::Instance().PrintChart(ChartView->Chart(), this); }

bool TChartForm::CopyGraph() {
  return TGraphModule::Instance().CopyChart(ChartView->Chart(), GraphSize());
}

bool TChartForm::EditTitles() {
  return TGraphModule::Instance().EditTitles(
      ChartView->Chart(), [this] { ChartView->Redraw(); }, this);
}

void TChartForm::ToggleBlackWhite() {
  ChartBlackWhite() = !ChartBlackWhite();
  Redraw();
}

void TChartForm::PointClicked(int series, int point, QPoint globalPos) {
  TChartSeries& s = ChartView->Chart().Series[static_cast<size_t>(series)];
  std::string text = s.Label(static_cast<size_t>(point));
  if (!TGraphModule::Instance().PointLabel(text, globalPos, this)) return;
  if (s.Labels.size() <= static_cast<size_t>(point))
    s.Labels.resize(static_cast<size_t>(point) + 1);
  s.Labels[static_cast<size_t>(point)] = text;
  ChartView->Redraw();
}

}  // namespace sorvel
