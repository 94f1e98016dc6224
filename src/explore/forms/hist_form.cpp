#include "explore/forms/hist_form.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

#include "data/data_state.h"
#include "ui/key_filter_qt.h"
#include "ui/messages.h"

namespace sorvel {

THistForm::THistForm(QWidget* owner)
    : TChartForm(owner, QStringLiteral("Histogram"), QStringLiteral("Histograms"), 4400) {
  setObjectName(QStringLiteral("THistForm"));
  QWidget* panel = AddOptionPanel(180);
  panel->setObjectName(QStringLiteral("Panel_Options"));
  auto* col = static_cast<QVBoxLayout*>(panel->layout());
  ListBox_Sets = new QListWidget(panel);
  ListBox_Sets->setObjectName(QStringLiteral("ListBox_Sets"));
  col->addWidget(ListBox_Sets, 1);

  CheckBox_IntervalSize = new QCheckBox(QStringLiteral("&Interval Size"), panel);
  Edit_IntervalSize = new QLineEdit(QStringLiteral("0"), panel);
  SetKeyFilter(Edit_IntervalSize, PosRealKeyFilter);
  CheckBox_FirstMidpoint = new QCheckBox(QStringLiteral("First Midpoint"), panel);
  Edit_FirstMidpoint = new QLineEdit(QStringLiteral("0"), panel);
  SetKeyFilter(Edit_FirstMidpoint, RealKeyFilter);
  Label_SizeUsed = new QLabel(panel);
  Label_FirstUsed = new QLabel(panel);
  CheckBox_ConstantX = new QCheckBox(QStringLiteral("&Constant &X Axis"), panel);
  CheckBox_NormalCurve = new QCheckBox(QStringLiteral("&Normal Curve"), panel);
  for (QWidget* w :
       {static_cast<QWidget*>(CheckBox_IntervalSize), static_cast<QWidget*>(Edit_IntervalSize),
        static_cast<QWidget*>(Label_SizeUsed), static_cast<QWidget*>(CheckBox_FirstMidpoint),
        static_cast<QWidget*>(Edit_FirstMidpoint), static_cast<QWidget*>(Label_FirstUsed),
        static_cast<QWidget*>(CheckBox_ConstantX), static_cast<QWidget*>(CheckBox_NormalCurve)})
    col->addWidget(w);
  auto* typeBox = new QGroupBox(QStringLiteral("&Type"), panel);
  auto* typeLayout = new QVBoxLayout(typeBox);
  RadioButton_Histograms = new QRadioButton(QStringLiteral("Histograms"), typeBox);
  RadioButton_Polygons = new QRadioButton(QStringLiteral("Frequency Polygons"), typeBox);
  RadioButton_Histograms->setChecked(true);
  typeLayout->addWidget(RadioButton_Histograms);
  typeLayout->addWidget(RadioButton_Polygons);
  auto* typeGroup = new QButtonGroup(typeBox);
  typeGroup->addButton(RadioButton_Histograms);
  typeGroup->addButton(RadioButton_Polygons);
  col->addWidget(typeBox);
  // The window never gets narrower than its option panel.
  setMinimumWidth(panel->width() + 200);

  RelativeAction = AddCheckItem(ViewMenu, QStringLiteral("&Relative Frequencies"), false);
  ProcessLimitsAction = AddCheckItem(ViewMenu, QStringLiteral("Display Process &Limits"), false);
  SpecificationsAction = AddCheckItem(ViewMenu, QStringLiteral("&Display Specifications"), true);
  FileModsAction =
      AddCheckItem(ViewMenu, QStringLiteral("Add File &Modifications to Chart"), false);

  auto redraw = [this] { Redraw(); };
  for (QAction* a : {RelativeAction, ProcessLimitsAction, SpecificationsAction, FileModsAction})
    connect(a, &QAction::triggered, this, redraw);
  for (QCheckBox* b :
       {CheckBox_IntervalSize, CheckBox_FirstMidpoint, CheckBox_ConstantX, CheckBox_NormalCurve})
    connect(b, &QCheckBox::toggled, this, redraw);
  connect(CheckBox_IntervalSize, &QCheckBox::toggled, Edit_IntervalSize, &QWidget::setVisible);
  connect(CheckBox_FirstMidpoint, &QCheckBox::toggled, Edit_FirstMidpoint, &QWidget::setVisible);
  Edit_IntervalSize->setVisible(false);
  Edit_FirstMidpoint->setVisible(false);
  connect(Edit_IntervalSize, &QLineEdit::returnPressed, this, redraw);
  connect(Edit_FirstMidpoint, &QLineEdit::returnPressed, this, redraw);
  connect(RadioButton_Polygons, &QRadioButton::toggled, this, redraw);
  connect(ListBox_Sets, &QListWidget::currentRowChanged, this, redraw);
  connect(ListBox_Sets, &QListWidget::itemActivated, this, redraw);
}

THistogramOptions THistForm::Options() const {
  THistogramOptions o;
  o.IntervalSizeOn = CheckBox_IntervalSize->isChecked();
  o.IntervalSizeText = Edit_IntervalSize->text().trimmed().toStdString();
  o.FirstMidpointOn = CheckBox_FirstMidpoint->isChecked();
  o.FirstMidpointText = Edit_FirstMidpoint->text().trimmed().toStdString();
  o.ConstantXAxis = CheckBox_ConstantX->isChecked();
  o.NormalCurve = CheckBox_NormalCurve->isChecked();
  o.Type = RadioButton_Polygons->isChecked() ? THistogramType::FrequencyPolygons
                                             : THistogramType::Histograms;
  o.RelativeFrequencies = RelativeAction->isChecked();
  o.ProcessLimits = ProcessLimitsAction->isChecked();
  o.Specifications = SpecificationsAction->isChecked();
  o.FileModifications = FileModsAction->isChecked();
  return o;
}

void THistForm::StartHistogram(const TRunInfo& ri) {
  ri_ = ri;
  columnsChange_ = ColumnsChangeCount;
  TDataList& data = DataList();
  const std::vector<std::string> names = HistogramSetList(data, ri_, &indexes_);
  HistogramGrandRange(data, ri_, grandLow_, grandHigh_);
  {
    const QSignalBlocker block(ListBox_Sets);
    ListBox_Sets->clear();
    for (const auto& n : names) ListBox_Sets->addItem(QString::fromStdString(n));
    if (!names.empty()) ListBox_Sets->setCurrentRow(0);
  }
  Redraw();
}

void THistForm::CheckColumns() {
  if (columnsChange_ < 0 || columnsChange_ == ColumnsChangeCount) return;
  columnsChange_ = -1;
  indexes_.clear();
  {
    const QSignalBlocker block(ListBox_Sets);
    ListBox_Sets->clear();
  }
  Redraw();
}

bool THistForm::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) CheckColumns();
  return TChartForm::event(e);
}

void THistForm::DrawChart() {
  if (ChartView->Zoomed()) ChartView->ZoomOut();
  hist_ = THistogram();
  const int item = ListBox_Sets->currentRow();
  TChart empty;
  empty.BlackWhite = ChartBlackWhite();
  if (ListBox_Sets->count() == 0 || item < 0 || indexes_.empty()) {
    ChartView->Chart() = empty;
    Label_SizeUsed->clear();
    Label_FirstUsed->clear();
    return;
  }
  THistogramDrawing d =
      DrawHistogramItem(DataList(), ri_, indexes_, item, ListBox_Sets->count(), Options(),
                        grandLow_, grandHigh_, SharedReportTitle(), ChartBlackWhite(),
                        [](const std::string& w) { ShowInfo(QString::fromStdString(w)); });
  hist_ = std::move(d.Histogram);
  ChartView->Chart() = std::move(d.Chart);
  Label_SizeUsed->setText(QString::fromStdString(hist_.SizeUsed));
  Label_FirstUsed->setText(QString::fromStdString(hist_.FirstUsed));
}

}  // namespace sorvel
