#include "quality/forms/attr_chart_form.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QToolBar>
#include <QVBoxLayout>

#include "data/data_state.h"
#include "data/grid_edit.h"
#include "output/chart.h"
#include "quality/control_tests.h"
#include "quality/forms/control_tests_dialog.h"
#include "ui/graph_module.h"
#include "ui/window_registry.h"

namespace sorvel {

namespace {

QPointer<TAttrChart_Form>& Instance() {
  static QPointer<TAttrChart_Form> form;
  return form;
}

QString U(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TAttrChart_Form::TAttrChart_Form(QWidget* owner)
    : TControlChartForm(owner, QString::fromLatin1(AttrChartCaption),
                        QStringLiteral("Attributes Chart"), AttrChartHelpTopic) {
  setObjectName(QStringLiteral("TAttrChart_Form"));
  ListBox_Selection = new QListWidget(this);
  ListBox_Selection->setObjectName(QStringLiteral("ListBox_Selection"));
  ListBox_Selection->setMaximumWidth(180);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setMaximumHeight(70);
  QFont mono(QStringLiteral("Courier New"));
  mono.setStyleHint(QFont::Monospace);
  Memo1->setFont(mono);

  // The chart with the memo below it, the selection list on the right.
  auto* central = new QWidget(this);
  auto* row = new QHBoxLayout(central);
  row->setContentsMargins(2, 2, 2, 2);
  auto* column = new QVBoxLayout;
  column->addWidget(ChartView, 1);
  column->addWidget(Memo1);
  column->addWidget(Label_Readout);
  row->addLayout(column, 1);
  row->addWidget(ListBox_Selection);
  setCentralWidget(central);

  RecalculateAction = new QAction(QStringLiteral("Recalculate"), this);
  RecalculateAction->setShortcut(QKeySequence(Qt::Key_F9));
  connect(RecalculateAction, &QAction::triggered, this, &TAttrChart_Form::Recalculate);
  DisplayViolationsAction = NewViewCheck("&Display Control Violations", true);
  DisplayCodesAction = NewViewCheck("Display Control Codes", false);
  ControlTestsAction = new QAction(QStringLiteral("Control &Tests Selection"), this);
  connect(ControlTestsAction, &QAction::triggered, this, [this] { ShowControlTestsDialog(this); });
  DisplayZonesAction = NewViewCheck("Display &Zones", false);
  ConnectPointsAction = NewViewCheck("&Connect Points", true);
  ShowBreaksAction = new QAction(QStringLiteral("&Show Breaks"), this);
  ShowBreaksAction->setCheckable(true);
  connect(ShowBreaksAction, &QAction::triggered, this, [this] {
    pointTexts_.clear();
    Rebuild();
  });
  ClearPointTextAction = new QAction(QStringLiteral("Clear Point &Text"), this);
  connect(ClearPointTextAction, &QAction::triggered, this, [this] {
    pointTexts_.clear();
    UpdateCommands();
    Redraw();
  });
  AddLimitInformationAction = NewViewCheck("&Add Limit Information to Chart", false);
  AddFileModificationsAction = NewViewCheck("Add File &Modifications to Chart", false);
  CopyTextAction = new QAction(QStringLiteral("Copy Te&xt"), this);
  connect(CopyTextAction, &QAction::triggered, this, &TAttrChart_Form::CopyText);

  QAction* first = ViewMenu->actions().value(0);
  for (QAction* a :
       {RecalculateAction, DisplayViolationsAction, DisplayCodesAction, ControlTestsAction,
        DisplayZonesAction, ConnectPointsAction, ShowBreaksAction, ClearPointTextAction})
    ViewMenu->insertAction(first, a);
  ViewMenu->insertMenu(first, AxisDecimalsMenu);
  ViewMenu->insertAction(first, AddLimitInformationAction);
  ViewMenu->insertAction(first, AddFileModificationsAction);
  ViewMenu->insertSeparator(first);
  EditMenu->addAction(CopyTextAction);
  ToolBar->addSeparator();
  AddPointStyleControls();

  connect(ListBox_Selection, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { SelectChart(ListBox_Selection->row(item)); });
  connect(ListBox_Selection, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { SelectChart(ListBox_Selection->row(item)); });
  UpdateCommands();
}

TChartViewOptions TAttrChart_Form::ViewOptions() const {
  TChartViewOptions v;
  v.DisplayViolations = DisplayViolationsAction->isChecked();
  v.DisplayCodes = DisplayCodesAction->isChecked();
  v.DisplayZones = DisplayZonesAction->isChecked() && DisplayZonesAction->isEnabled();
  v.ConnectPoints = ConnectPointsAction->isChecked();
  v.ShowBreaks = ShowBreaksAction->isChecked();
  v.AddLimitInformation = AddLimitInformationAction->isChecked();
  v.AddFileModifications = AddFileModificationsAction->isChecked();
  FillStyleOptions(v);
  return v;
}

void TAttrChart_Form::Open(const TAttrChartRequest& request) {
  request_ = request;
  seenChanges_ = DataChangeCount;
  seenNewData_ = NewDataCount;
  builder_ = std::make_unique<TAttrChartBuilder>(DataList(), request_);
  positions_ = builder_->Positions();
  ListBox_Selection->clear();
  for (const auto& p : positions_) ListBox_Selection->addItem(U(p.Name));
  current_ = TAttrChartData{};
  if (!positions_.empty()) {
    SelectChart(0);
  } else {
    Memo1->clear();
    ChartView->SetChart(TChart{});
  }
  UpdateCommands();
}

void TAttrChart_Form::SelectChart(int index) {
  if (index < 0 || index >= static_cast<int>(positions_.size()) || !builder_) return;
  ListBox_Selection->setCurrentRow(index);
  if (current_.Position.Name != positions_[static_cast<std::size_t>(index)].Name)
    pointTexts_.clear();
  current_.Position = positions_[static_cast<std::size_t>(index)];
  Rebuild();
}

void TAttrChart_Form::Rebuild() {
  // The builder reads the data set it was made for: never one that was replaced since.
  if (Stale()) return Invalidate();
  if (!builder_ || positions_.empty()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const TAttrChartPosition position = current_.Position;
  builder_->Build(position, ShowBreaksAction->isChecked(), ControlTestSettings(), current_);
  QApplication::restoreOverrideCursor();
  QString memo;
  for (const auto& line : current_.Summary) memo += U(line) + QLatin1Char('\n');
  Memo1->setPlainText(memo);
  UpdateCommands();
  Redraw();
}

void TAttrChart_Form::Recalculate() {
  // Edits and new rules reach the chart here; another data set does not.
  if (builder_ && seenNewData_ != NewDataCount) return Invalidate();
  if (!builder_) return;
  seenChanges_ = DataChangeCount;
  builder_ = std::make_unique<TAttrChartBuilder>(DataList(), request_);
  Rebuild();
}

bool TAttrChart_Form::CopyText() {
  QGuiApplication::clipboard()->setText(Memo1->toPlainText());
  return true;
}

void TAttrChart_Form::UpdateCommands() {
  const int method = request_.Settings.Method;
  DisplayZonesAction->setEnabled(method != AttrNoLimits && method != AttrCentreOnly);
  DisplayCodesAction->setEnabled(DisplayViolationsAction->isChecked());
  if (!DisplayViolationsAction->isChecked()) DisplayCodesAction->setChecked(false);
  ClearPointTextAction->setEnabled(!pointTexts_.empty());
}

void TAttrChart_Form::DrawChart() {
  if (!builder_ || current_.Table.Count == 0) {
    ChartView->Chart() = TChart{};
    TControlChartForm::DrawChart();
    return;
  }
  std::string modifications;
  TFileModStrings mods;
  if (AddFileModificationsAction->isChecked() && BuildFileModString(mods))
    modifications = mods.Line;
  const std::string axisTitle =
      request_.AxisLabels > 0 ? DataList().ColumnTitleOrName(request_.AxisLabels) : std::string();
  TChart chart = AttrChartModel(current_, request_, ViewOptions(), axisTitle, modifications);
  for (auto& s : chart.Series) {
    if (s.Title != "Statistic") continue;
    for (const auto& [point, text] : pointTexts_) {
      if (point >= static_cast<int>(s.Count())) continue;
      if (s.Labels.size() <= static_cast<std::size_t>(point))
        s.Labels.resize(static_cast<std::size_t>(point) + 1);
      s.Labels[static_cast<std::size_t>(point)] = text;
    }
  }
  ChartView->Chart() = std::move(chart);
  TControlChartForm::DrawChart();
}

void TAttrChart_Form::PointClicked(int series, int point, QPoint globalPos) {
  const TChartSeries& s = ChartView->Chart().Series[static_cast<std::size_t>(series)];
  if (s.Title != "Statistic") return;
  std::string text = s.Label(static_cast<std::size_t>(point));
  if (!TGraphModule::Instance().PointLabel(text, globalPos, this)) return;
  pointTexts_[point] = text;
  UpdateCommands();
  Redraw();
}

bool TAttrChart_Form::Stale() const {
  return builder_ && (seenChanges_ != DataChangeCount || seenNewData_ != NewDataCount);
}

void TAttrChart_Form::Invalidate() {
  builder_.reset();
  positions_.clear();
  current_ = TAttrChartData{};
  ListBox_Selection->clear();
  Memo1->clear();
  ChartView->SetChart(TChart{});
  close();
}

bool TAttrChart_Form::event(QEvent* e) {
  // Edited or replaced data invalidates the charts: the setup must run again.
  if (e->type() == QEvent::WindowActivate && Stale()) Invalidate();
  return TControlChartForm::event(e);
}

void ShowAttributesChart(const TAttrChartRequest& request, QWidget* caller,
                         const QString& callerName) {
  QPointer<TAttrChart_Form>& form = Instance();
  if (!form) form = new TAttrChart_Form(MainForm());
  form->SetReturnTarget(caller, callerName);
  form->Open(request);
  RestoreAndShow(form);
}

TAttrChart_Form* AttributesChartForm() { return Instance(); }

}  // namespace sorvel
