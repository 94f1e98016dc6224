#include "explore/forms/plot_form.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>

#include "data/data_state.h"
#include "numerics/format.h"
#include "numerics/intervals.h"

namespace sorvel {

TPlot_Form::TPlot_Form(QWidget* owner)
    : TChartForm(owner, QStringLiteral("Plots"), QStringLiteral("Plots"), 4200) {
  setObjectName(QStringLiteral("TPlot_Form"));
  QWidget* panel = AddOptionPanel(160);
  auto* col = static_cast<QVBoxLayout*>(panel->layout());
  ListBox_Plots = new QListWidget(panel);
  ListBox_Plots->setObjectName(QStringLiteral("ListBox_Plots"));
  for (int i = 0; i < PlotKindCount; ++i)
    ListBox_Plots->addItem(QString::fromUtf8(PlotListEntry(static_cast<TPlotKind>(i))));
  col->addWidget(ListBox_Plots, 1);
  Label_Y = new QLabel(panel);
  Label_Y->setObjectName(QStringLiteral("Label_Y"));
  col->addWidget(Label_Y);
  col->addWidget(new QLabel(QStringLiteral("Plot Width"), panel));
  ScrollBar_PlotWidth = new QScrollBar(Qt::Horizontal, panel);
  ScrollBar_PlotWidth->setRange(1, 100);
  ScrollBar_PlotWidth->setValue(50);
  ScrollBar_PlotWidth->setToolTip(QStringLiteral("Plot Width = 50%"));
  col->addWidget(ScrollBar_PlotWidth);
  col->addWidget(new QLabel(QStringLiteral("Line Thickness"), panel));
  UpDown_LineThickness = new QSpinBox(panel);
  UpDown_LineThickness->setRange(1, 10);
  UpDown_LineThickness->setValue(2);
  UpDown_LineThickness->setToolTip(QStringLiteral("Line Thickness = 2"));
  col->addWidget(UpDown_LineThickness);
  // The readout is "Y=" below the plot list.
  disconnect(ChartView, &TChartView::ReadoutChanged, Label_Readout, nullptr);
  Label_Readout->hide();
  ChartView->installEventFilter(this);
  ChartView->setMouseTracking(true);

  GridLinesAction = AddCheckItem(ViewMenu, QStringLiteral("Display &Grid Lines"), false);
  AxisDecimalsMenu = ViewMenu->addMenu(QStringLiteral("Axis Decimal &Places (Floating)"));
  AxisDecimalsGroup = new QActionGroup(this);
  for (int k = -1; k <= 9; ++k) {
    QAction* a = AxisDecimalsMenu->addAction(k < 0 ? QStringLiteral("&Floating")
                                                   : QStringLiteral("&%1").arg(k));
    a->setCheckable(true);
    a->setChecked(k < 0);
    a->setData(k);
    AxisDecimalsGroup->addAction(a);
  }
  FileModsAction =
      AddCheckItem(ViewMenu, QStringLiteral("Add File &Modifications to Chart"), false);
  PooledAction = AddCheckItem(ViewMenu, QStringLiteral("&Use &Pooled Variances"), false);
  SampleSizeAction = AddCheckItem(ViewMenu, QStringLiteral("&Display Sample Size"), false);
  SpecificationsAction = AddCheckItem(ViewMenu, QStringLiteral("Display &Specifications"), true);

  auto redraw = [this] { Redraw(); };
  for (QAction* a :
       {GridLinesAction, FileModsAction, PooledAction, SampleSizeAction, SpecificationsAction})
    connect(a, &QAction::triggered, this, redraw);
  connect(AxisDecimalsGroup, &QActionGroup::triggered, this, [this](QAction* a) {
    const int k = a->data().toInt();
    AxisDecimalsMenu->setTitle(k < 0 ? QStringLiteral("Axis Decimal &Places (Floating)")
                                     : QStringLiteral("Axis Decimal &Places (%1)").arg(k));
    Redraw();
  });
  connect(ScrollBar_PlotWidth, &QScrollBar::valueChanged, this, [this](int v) {
    ScrollBar_PlotWidth->setToolTip(QStringLiteral("Plot Width = %1%").arg(v));
    Redraw();
  });
  connect(UpDown_LineThickness, &QSpinBox::valueChanged, this, [this](int v) {
    UpDown_LineThickness->setToolTip(QStringLiteral("Line Thickness = %1").arg(v));
    Redraw();
  });
  connect(ListBox_Plots, &QListWidget::currentRowChanged, this, redraw);
  connect(ListBox_Plots, &QListWidget::itemActivated, this, redraw);
}

TPlotOptions TPlot_Form::Options() const {
  TPlotOptions o;
  o.Kind = static_cast<TPlotKind>(std::max(0, ListBox_Plots->currentRow()));
  o.PooledVariances = PooledAction->isChecked();
  o.DisplaySampleSize = SampleSizeAction->isChecked();
  o.Specifications = SpecificationsAction->isChecked();
  o.GridLines = GridLinesAction->isChecked();
  o.FileModifications = FileModsAction->isChecked();
  o.PlotWidth = ScrollBar_PlotWidth->value();
  o.LineThickness = UpDown_LineThickness->value();
  o.AxisDecimals =
      AxisDecimalsGroup->checkedAction() ? AxisDecimalsGroup->checkedAction()->data().toInt() : -1;
  o.Conf = SharedConfI().conf;
  return o;
}

void TPlot_Form::StartPlots(const TRunInfo& ri) {
  ri_ = ri;
  started_ = true;
  columnsChange_ = ColumnsChangeCount;
  dataChange_ = DataChangeCount;
  newData_ = NewDataCount;
  DataList().GetGroupCount(ri_);
  if (ListBox_Plots->currentRow() < 0) {
    const QSignalBlocker block(ListBox_Plots);
    ListBox_Plots->setCurrentRow(0);
  }
  Redraw();
}

void TPlot_Form::Activated() {
  if (!started_) return;
  if (columnsChange_ != ColumnsChangeCount) {
    started_ = false;
    Redraw();
    return;
  }
  if (dataChange_ != DataChangeCount || newData_ != NewDataCount) {
    dataChange_ = DataChangeCount;
    newData_ = NewDataCount;
    DataList().GetGroupCount(ri_);
    Redraw();
  }
}

bool TPlot_Form::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) Activated();
  return TChartForm::event(e);
}

bool TPlot_Form::eventFilter(QObject* watched, QEvent* e) {
  if (watched == ChartView && e->type() == QEvent::MouseMove) {
    const TChartHit hit = ChartView->HitAt(static_cast<QMouseEvent*>(e)->position().toPoint());
    Label_Y->setText(hit.Series >= 0
                         ? QStringLiteral("Y=") + QString::fromStdString(FormatGeneral(hit.Value))
                         : QString());
  }
  return TChartForm::eventFilter(watched, e);
}

void TPlot_Form::DrawChart() {
  if (ChartView->Zoomed()) ChartView->ZoomOut();
  result_ = TPlotResult();
  TChart empty;
  empty.BlackWhite = ChartBlackWhite();
  if (!started_) {
    ChartView->Chart() = empty;
    return;
  }
  const TPlotOptions o = Options();
  const std::vector<TExploreSet> sets = LoadExploreSets(DataList(), ri_);
  result_ = ComputePlots(sets, o, &DataList());
  ChartView->Chart() =
      PlotsChart(result_, o, PlotLabelsFor(ri_, SharedReportTitle(), o, ChartBlackWhite()));
}

}  // namespace sorvel
