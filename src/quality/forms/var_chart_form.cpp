#include "quality/forms/var_chart_form.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QToolBar>
#include <QVBoxLayout>

#include "data/data_state.h"
#include "quality/control_tests.h"
#include "quality/forms/control_tests_dialog.h"
#include "quality/variables_control_charts.h"
#include "ui/graph_module.h"
#include "ui/window_registry.h"

namespace sorvel {

namespace {

QPointer<TVARchart_Form>& Instance() {
  static QPointer<TVARchart_Form> form;
  return form;
}

bool Individuals(int layout) { return layout == 1 || layout == 5 || layout == 8 || layout == 12; }

}  // namespace

TVARchart_Form::TVARchart_Form(QWidget* owner)
    : TControlChartForm(owner, QStringLiteral("Variables Chart"), QStringLiteral("Variables Chart"),
                        VariablesChartHelpTopic) {
  setObjectName(QStringLiteral("VARchart_Form"));
  ListBox_Selection = new QListWidget(this);
  ListBox_Selection->setObjectName(QStringLiteral("ListBox_Selection"));
  ListBox_Selection->setMaximumWidth(180);
  connect(ListBox_Selection, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0 && row != current_) Select(row);
  });
  Button_ChartInformation = new QPushButton(QStringLiteral("&Chart &Information"), this);
  Button_ChartInformation->setEnabled(false);  // the chart information window is not built yet

  // The chart and its readout, with the selection list on the right.
  QWidget* chartArea = takeCentralWidget();
  auto* central = new QWidget(this);
  auto* row = new QHBoxLayout(central);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(chartArea, 1);
  auto* side = new QVBoxLayout;
  side->addWidget(ListBox_Selection, 1);
  side->addWidget(Button_ChartInformation);
  row->addLayout(side);
  setCentralWidget(central);

  RecalculateAction = new QAction(QStringLiteral("Recalculate"), this);
  RecalculateAction->setShortcut(QKeySequence(Qt::Key_F9));
  RecalculateAction->setToolTip(QStringLiteral("Recalculate from the current data"));
  connect(RecalculateAction, &QAction::triggered, this, &TVARchart_Form::Recalculate);
  DisplayViolationsAction =
      NewViewCheck("&Display Control Violations", true, "Colour points that fail a test");
  DisplayCodesAction =
      NewViewCheck("Display Control Violation Codes", false, "Show the test codes above the chart");
  ControlTestsAction = new QAction(QStringLiteral("Control &Tests Selection"), this);
  ControlTestsAction->setToolTip(QStringLiteral("Choose the tests; Recalculate applies them"));
  connect(ControlTestsAction, &QAction::triggered, this, [this] { ShowControlTestsDialog(this); });
  DisplayZonesAction = NewViewCheck("Display Zones", false, "Zones at one and two standard errors");
  ShowAllPointsAction = new QAction(QStringLiteral("Show &All Points"), this);
  ShowAllPointsAction->setCheckable(true);
  ShowAllPointsAction->setToolTip(QStringLiteral("Every value of a subgroup beside its statistic"));
  connect(ShowAllPointsAction, &QAction::triggered, this, [this](bool on) {
    if (!on) {
      Show3SigmaAction->setChecked(false);
      if (request_.Settings.LocationChart != ChartX) ShowSpecificationsAction->setChecked(false);
      RemoveLocationAction->setChecked(false);
    }
    Rebuild();
  });
  Show3SigmaAction = NewViewCheck("Show \xC2\xB1&3 Sigma Lines", false,
                                  "The grand mean plus and minus three sigma");
  ShowSpecificationsAction =
      NewViewCheck("Show Specifications", false, "The column's USL, Target and LSL");
  RemoveLocationAction =
      NewViewCheck("Remove Plot of Location Statistics", false, "Show the values only");
  ConnectPointsAction = NewViewCheck("&Connect Points", true, "Join the points of a set");
  ShowBreaksAction = new QAction(QStringLiteral("&Show Breaks"), this);
  ShowBreaksAction->setCheckable(true);
  ShowBreaksAction->setToolTip(QStringLiteral("An empty position where a subgroup has no values"));
  connect(ShowBreaksAction, &QAction::triggered, this, [this] {
    texts_.Clear();  // the positions move
    Rebuild();
  });
  ClearPointTextAction = new QAction(QStringLiteral("Clear Point &Text"), this);
  connect(ClearPointTextAction, &QAction::triggered, this, [this] {
    texts_.Clear();
    UpdateCommands();
    Redraw();
  });
  AddLimitInformationAction =
      NewViewCheck("&Add Limit Information to Chart", false, "Limits and methods below the chart");
  AddFileModificationsAction = NewViewCheck("Add File &Modifications to Chart", false,
                                            "The active data rules below the chart");
  ChartInformationAction = new QAction(QStringLiteral("&Chart &Information"), this);
  ChartInformationAction->setEnabled(false);

  QAction* first = ViewMenu->actions().value(0);
  for (QAction* a :
       {RecalculateAction, DisplayViolationsAction, DisplayCodesAction, ControlTestsAction,
        DisplayZonesAction, ShowAllPointsAction, Show3SigmaAction, ShowSpecificationsAction,
        RemoveLocationAction, ConnectPointsAction, ShowBreaksAction, ClearPointTextAction})
    ViewMenu->insertAction(first, a);
  ViewMenu->insertMenu(first, AxisDecimalsMenu);
  ViewMenu->insertAction(first, AddLimitInformationAction);
  ViewMenu->insertAction(first, AddFileModificationsAction);
  ViewMenu->insertAction(first, ChartInformationAction);
  ViewMenu->insertSeparator(first);

  TrackBar_Split = new QSlider(Qt::Horizontal, this);
  TrackBar_Split->setObjectName(QStringLiteral("TrackBar_Split"));
  TrackBar_Split->setRange(10, 90);
  TrackBar_Split->setValue(60);
  TrackBar_Split->setFixedWidth(100);
  TrackBar_Split->setToolTip(QString::fromStdString(SplitHint(60)));
  ToolBar->addSeparator();
  ToolBar->addAction(RecalculateAction);
  AddPointStyleControls();
  ToolBar->addWidget(new QLabel(QStringLiteral(" Split "), this));
  ToolBar->addWidget(TrackBar_Split);
  connect(TrackBar_Split, &QSlider::valueChanged, this, [this](int p) {
    TrackBar_Split->setToolTip(QString::fromStdString(SplitHint(p)));
    Redraw();
  });
  UpdateCommands();
}

TChartViewOptions TVARchart_Form::ViewOptions() const {
  TChartViewOptions v;
  v.DisplayViolations = DisplayViolationsAction->isChecked();
  v.DisplayCodes = v.DisplayViolations && DisplayCodesAction->isChecked();
  v.DisplayZones = DisplayZonesAction->isChecked() && DisplayZonesAction->isEnabled();
  v.ShowAllPoints = ShowAllPointsAction->isChecked() && ShowAllPointsAction->isEnabled();
  v.Show3Sigma = Show3SigmaAction->isChecked() && Show3SigmaAction->isEnabled();
  v.ShowSpecifications =
      ShowSpecificationsAction->isChecked() && ShowSpecificationsAction->isEnabled();
  v.RemoveLocation = RemoveLocationAction->isChecked() && RemoveLocationAction->isEnabled();
  v.ConnectPoints = ConnectPointsAction->isChecked();
  v.ShowBreaks = ShowBreaksAction->isChecked();
  v.AddLimitInformation = AddLimitInformationAction->isChecked();
  v.AddFileModifications = AddFileModificationsAction->isChecked();
  v.Split = TrackBar_Split->value();
  FillStyleOptions(v);
  return v;
}

std::int64_t TVARchart_Form::ChangeStamp() const {
  return (static_cast<std::int64_t>(NewDataCount) << 32) ^
         static_cast<std::uint32_t>(DataChangeCount);
}

bool TVARchart_Form::Stale() const {
  return builder_ && (&DataList() != dataUsed_ || ChangeStamp() != stamp_);
}

void TVARchart_Form::Open(const TVarChartRequest& request) {
  request_ = request;
  stamp_ = ChangeStamp();
  dataUsed_ = &DataList();
  const QString file = QString::fromStdString(DataEditor.DataFilename);
  setWindowTitle(file.isEmpty()
                     ? QStringLiteral("Variables Chart")
                     : QStringLiteral("Variables Chart - ") + QFileInfo(file).fileName());
  QApplication::setOverrideCursor(Qt::WaitCursor);
  builder_ = std::make_unique<TVarChartBuilder>(DataList(), request_);
  positions_ = builder_->Positions();
  QApplication::restoreOverrideCursor();
  texts_.Clear();
  current_ = -1;
  {
    const QSignalBlocker block(ListBox_Selection);
    ListBox_Selection->clear();
    for (const auto& p : positions_) ListBox_Selection->addItem(QString::fromStdString(p.Name));
  }
  if (positions_.empty()) {
    ClearChart();
    return;
  }
  Select(0);
}

void TVARchart_Form::Select(int index) {
  if (!builder_ || index < 0 || index >= static_cast<int>(positions_.size())) return;
  if (index != current_) texts_.Clear();
  current_ = index;
  {
    const QSignalBlocker block(ListBox_Selection);
    ListBox_Selection->setCurrentRow(index);
  }
  Rebuild();
}

void TVARchart_Form::Recalculate() {
  if (current_ < 0) return;
  texts_.Clear();
  Rebuild();
}

void TVARchart_Form::Rebuild() {
  if (Stale()) ClearChart();  // the builder reads a data set that is gone or changed
  if (!builder_ || current_ < 0) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const TVarChartPosition& at = positions_[static_cast<std::size_t>(current_)];
  UpdateCommands();  // the enabling that decides what is built
  const TChartViewOptions v = ViewOptions();
  builder_->Build(at.Column, at.Run, {v.ShowBreaks, v.ShowAllPoints}, ControlTestSettings(),
                  points_);
  QApplication::restoreOverrideCursor();
  ChartView->ZoomOut();
  Redraw();
}

void TVARchart_Form::UpdateCommands() {
  const TVariablesChartSettings& s = request_.Settings;
  auto limits = [](int method) { return method != MethodNone && method != MethodCentreOnly; };
  const bool chart = current_ >= 0;
  DisplayZonesAction->setEnabled(chart && (limits(s.LocationMethod) || limits(s.DispersionMethod)));
  ShowAllPointsAction->setEnabled(chart && !Individuals(request_.Layout));
  const bool all = ShowAllPointsAction->isEnabled() && ShowAllPointsAction->isChecked();
  Show3SigmaAction->setEnabled(chart && (s.LocationChart == ChartX || all));
  ShowSpecificationsAction->setEnabled(chart && (s.LocationChart == ChartX || all));
  RemoveLocationAction->setEnabled(chart && all);
  // Codes belong to the violation display.
  if (!DisplayViolationsAction->isChecked()) DisplayCodesAction->setChecked(false);
  DisplayCodesAction->setEnabled(DisplayViolationsAction->isChecked());
  ClearPointTextAction->setEnabled(texts_.Any());
  for (QAction* a :
       {RecalculateAction, SaveAsAction, PrintAction, CopyChartAction, EditTitlesAction})
    a->setEnabled(chart);
}

void TVARchart_Form::DrawChart() {
  if (Stale()) ClearChart();
  if (!builder_ || current_ < 0) {
    ChartView->SetChart(TChart{});
    return;
  }
  const TVarChartPosition& at = positions_[static_cast<std::size_t>(current_)];
  TVarChartModelInput in;
  in.Builder = builder_.get();
  in.Data = &DataList();
  in.Points = &points_;
  in.Column = at.Column;
  in.Run = at.Run;
  in.View = ViewOptions();
  in.PointTexts = &texts_;
  ChartView->SetChart(VariablesChartModel(in));
  UpdateCommands();
}

void TVARchart_Form::PointClicked(int series, int point, QPoint globalPos) {
  const TChartSeries& s = ChartView->Chart().Series[static_cast<std::size_t>(series)];
  int k = -1;
  if (s.Kind == TSeriesKind::Points && s.Title == "Location Statistic") k = 0;
  if (s.Kind == TSeriesKind::Points && s.Title == "Dispersion Statistic") k = 1;
  if (k < 0) return;
  const auto p = static_cast<std::size_t>(point) + 1;  // one entry per point
  auto& list = texts_.Texts[k];
  std::string text = p < list.size() ? list[p] : std::string();
  if (!TGraphModule::Instance().PointLabel(text, globalPos, this)) return;
  if (list.size() <= p) list.resize(p + 1);
  list[p] = text;
  UpdateCommands();
  Redraw();
}

void TVARchart_Form::ClearChart() {
  builder_.reset();
  dataUsed_ = nullptr;
  positions_.clear();
  current_ = -1;
  texts_.Clear();
  ListBox_Selection->clear();
  ChartView->SetChart(TChart{});
  UpdateCommands();
}

bool TVARchart_Form::event(QEvent* e) {
  // Charts of data that changed since are not shown: the setup must run again.
  if (e->type() == QEvent::WindowActivate && Stale()) {
    ClearChart();
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
  }
  return TControlChartForm::event(e);
}

void ShowVariablesChart(const TVarChartRequest& request, QWidget* caller,
                        const QString& callerName) {
  QPointer<TVARchart_Form>& form = Instance();
  if (!form) form = new TVARchart_Form(nullptr);
  form->SetReturnTarget(caller, callerName);
  form->Open(request);
  RestoreAndShow(form);
}

TVARchart_Form* VariablesChartForm() { return Instance(); }

}  // namespace sorvel
