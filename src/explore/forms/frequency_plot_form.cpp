#include "explore/forms/frequency_plot_form.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "data/data_state.h"
#include "output/chart.h"
#include "ui/grid_printing.h"
#include "ui/key_filter_qt.h"
#include "ui/messages.h"
#include "ui/result_grid.h"
#include "ui/window_registry.h"

namespace sorvel {

TFrequencyPlotForm::TFrequencyPlotForm(QWidget* owner)
    : TAnalysisForm(owner, QStringLiteral("Frequency Plots"), QStringLiteral("Frequency Plots"),
                    4500) {
  setObjectName(QStringLiteral("TFrequencyPlotForm"));
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  auto* options = new QWidget(central);
  auto* row = new QHBoxLayout(options);
  row->setContentsMargins(0, 0, 0, 0);

  auto* boxes = new QWidget(options);
  auto* boxGrid = new QVBoxLayout(boxes);
  boxGrid->setContentsMargins(0, 0, 0, 0);
  CheckBox_IntervalSize = new QCheckBox(QStringLiteral("&Interval Size"), boxes);
  CheckBox_IntervalSize->setObjectName(QStringLiteral("CheckBox_IntervalSize"));
  Edit_IntervalSize = new QLineEdit(QStringLiteral("0"), boxes);
  Edit_IntervalSize->setObjectName(QStringLiteral("Edit_IntervalSize"));
  SetKeyFilter(Edit_IntervalSize, PosRealKeyFilter);
  CheckBox_FirstMidpoint = new QCheckBox(QStringLiteral("First Midpoint"), boxes);
  CheckBox_FirstMidpoint->setObjectName(QStringLiteral("CheckBox_FirstMidpoint"));
  Edit_FirstMidpoint = new QLineEdit(QStringLiteral("0"), boxes);
  Edit_FirstMidpoint->setObjectName(QStringLiteral("Edit_FirstMidpoint"));
  SetKeyFilter(Edit_FirstMidpoint, RealKeyFilter);
  for (QLineEdit* e : {Edit_IntervalSize, Edit_FirstMidpoint}) {
    e->setFixedWidth(110);
    e->setVisible(false);
  }
  auto pair = [&](QCheckBox* box, QLineEdit* edit) {
    auto* line = new QHBoxLayout;
    line->addWidget(box);
    line->addWidget(edit);
    line->addStretch(1);
    boxGrid->addLayout(line);
  };
  pair(CheckBox_IntervalSize, Edit_IntervalSize);
  pair(CheckBox_FirstMidpoint, Edit_FirstMidpoint);
  boxes->setMinimumWidth(QFontMetrics(font()).horizontalAdvance(QStringLiteral("First Midpoint")) +
                         170);
  row->addWidget(boxes);

  auto* decimals = new QWidget(options);
  auto* decimalsRow = new QHBoxLayout(decimals);
  decimalsRow->setContentsMargins(0, 0, 0, 0);
  Label_Decimals = new QLabel(QStringLiteral("&Decimals:"), decimals);
  DecimalSpinEdit = MakeDecimalSpinEdit(decimals, QStringLiteral("DecimalSpinEdit"), 4);
  DecimalSpinEdit->setRange(0, 9);
  Label_Decimals->setBuddy(DecimalSpinEdit);
  decimalsRow->addWidget(Label_Decimals);
  decimalsRow->addWidget(DecimalSpinEdit);
  // Only the relative types have decimals; the place stays so the row does not jump.
  for (QWidget* w :
       {static_cast<QWidget*>(Label_Decimals), static_cast<QWidget*>(DecimalSpinEdit)}) {
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
    w->setVisible(false);
  }
  row->addWidget(decimals);

  RadioGroup_Type = new QGroupBox(QStringLiteral("&Type"), options);
  RadioGroup_Type->setObjectName(QStringLiteral("RadioGroup_Type"));
  auto* typeLayout = new QVBoxLayout(RadioGroup_Type);
  RadioButton_Frequencies = new QRadioButton(QStringLiteral("Frequencies"), RadioGroup_Type);
  RadioButton_Relative = new QRadioButton(QStringLiteral("Relative Frequencies"), RadioGroup_Type);
  RadioButton_Cumulative =
      new QRadioButton(QStringLiteral("Cumulative Frequencies"), RadioGroup_Type);
  RadioButton_Frequencies->setChecked(true);
  auto* typeGroup = new QButtonGroup(RadioGroup_Type);
  int id = 0;
  for (QRadioButton* b : {RadioButton_Frequencies, RadioButton_Relative, RadioButton_Cumulative}) {
    typeLayout->addWidget(b);
    typeGroup->addButton(b, id++);
    b->installEventFilter(this);
  }
  row->addWidget(RadioGroup_Type);
  row->addStretch(1);
  column->addWidget(options);

  StringGrid = new TResultGrid(central);
  StringGrid->setObjectName(QStringLiteral("StringGrid"));
  column->addWidget(StringGrid, 1);
  setCentralWidget(central);

  ProgressBar = new QProgressBar(this);
  ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
  ProgressBar->setVisible(false);
  statusBar()->addPermanentWidget(ProgressBar, 1);

  // The width at creation reaches past the "&Type" group by 30 pixels; never narrower.
  minWidth_ = column->contentsMargins().left() + options->sizeHint().width() + 30;
  setMinimumWidth(minWidth_);
  resize(minWidth_, 440);

  // The commands: the grid stands where a report would.
  for (QAction* a :
       {SaveAsAction, CopyGraphAction, UndoAction, CutAction, PasteAction, SelectAllAction})
    a->setVisible(false);
  for (QAction* a : ToolBar->actions()) {
    if (a->text() == QStringLiteral("Paste")) a->setVisible(false);
    if (a->text() == QStringLiteral("Copy")) {
      disconnect(a, &QAction::triggered, this, nullptr);
      connect(a, &QAction::triggered, this, &TFrequencyPlotForm::CopyClick);
      a->setToolTip(QStringLiteral("Copy"));
    }
  }
  disconnect(PrintAction, &QAction::triggered, this, nullptr);
  connect(PrintAction, &QAction::triggered, this, &TFrequencyPlotForm::PrintClick);
  disconnect(CopyAction, &QAction::triggered, this, nullptr);
  CopyAction->setText(QStringLiteral("&Copy"));
  CopyAction->setToolTip(QStringLiteral("Copy"));
  connect(CopyAction, &QAction::triggered, this, &TFrequencyPlotForm::CopyClick);
  // The Edit menu enables its items for a text box; Copy here always acts on the grid.
  connect(EditMenu, &QMenu::aboutToShow, this, [this] { CopyAction->setEnabled(true); });
  // Return shows the caller once; afterwards it leads to the main window.
  connect(ReturnAction, &QAction::triggered, this,
          [this] { SetReturnTarget(nullptr, QStringLiteral("Main Form")); });

  connect(typeGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) TypeChanged();
  });
  connect(CheckBox_IntervalSize, &QCheckBox::toggled, Edit_IntervalSize, &QWidget::setVisible);
  connect(CheckBox_FirstMidpoint, &QCheckBox::toggled, Edit_FirstMidpoint, &QWidget::setVisible);
  connect(Edit_IntervalSize, &QLineEdit::returnPressed, this, &TFrequencyPlotForm::Rebuild);
  connect(Edit_FirstMidpoint, &QLineEdit::returnPressed, this, &TFrequencyPlotForm::Rebuild);
}

TFrequencyOptions TFrequencyPlotForm::Options() const {
  TFrequencyOptions o;
  o.Type = RadioButton_Relative->isChecked()     ? TFrequencyType::RelativeFrequencies
           : RadioButton_Cumulative->isChecked() ? TFrequencyType::CumulativeFrequencies
                                                 : TFrequencyType::Frequencies;
  o.Decimals = DecimalSpinEdit->value();
  o.IntervalSizeOn = CheckBox_IntervalSize->isChecked();
  o.IntervalSizeText = Edit_IntervalSize->text().trimmed().toStdString();
  o.FirstMidpointOn = CheckBox_FirstMidpoint->isChecked();
  o.FirstMidpointText = Edit_FirstMidpoint->text().trimmed().toStdString();
  return o;
}

void TFrequencyPlotForm::TypeChanged() {
  const bool relative = !RadioButton_Frequencies->isChecked();
  Label_Decimals->setVisible(relative);
  DecimalSpinEdit->setVisible(relative);
  Rebuild();
}

void TFrequencyPlotForm::StartFrequencyPlot(const TRunInfo& ri) {
  ri_ = ri;
  columnsChange_ = ColumnsChangeCount;
  Rebuild();
}

void TFrequencyPlotForm::Rebuild() {
  if (building_ || columnsChange_ < 0 || columnsChange_ != ColumnsChangeCount) return;
  building_ = true;
  const TFrequencyOptions o = Options();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ProgressBar->setRange(0, std::max(1, ri_.NumberOfGroups));
  ProgressBar->setValue(0);
  ProgressBar->setVisible(true);
  // Between sets the window repaints and shows progress, but takes no input: the data set
  // must stay as it is until the last set is counted.
  const TFrequencyTable t = BuildFrequencyTable(
      DataList(), ri_, o, [](const std::string& w) { ShowInfo(QString::fromStdString(w)); },
      [this](int j, int) {
        ProgressBar->setValue(std::min(j, ProgressBar->maximum()));
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
      });
  // Each column at least as wide as an entry of the type needs, plus 10 pixels.
  const QFontMetrics fm(StringGrid->font());
  const QString widest = o.Type == TFrequencyType::Frequencies
                             ? QStringLiteral("22")
                             : QStringLiteral("0.") + QString(o.Decimals, QLatin1Char('0'));
  StringGrid->SetGrid(t.Grid, fm.horizontalAdvance(widest) + 10);
  ProgressBar->setVisible(false);
  QApplication::restoreOverrideCursor();
  building_ = false;
}

void TFrequencyPlotForm::Recompute() { Rebuild(); }

void TFrequencyPlotForm::CheckColumns() {
  if (columnsChange_ < 0 || columnsChange_ == ColumnsChangeCount) return;
  StringGrid->ClearGrid();
}

void TFrequencyPlotForm::PrintClick() {
  if (StringGrid->Grid().ColCount() < 2) return;
  PrintGrid(StringGrid->Grid(), StringGrid->MultiSelection(),
            QString::fromStdString(SharedReportTitle()), FrequencyPlotHeading, this);
}

void TFrequencyPlotForm::CopyClick() { StringGrid->CopyToClipboard(); }

bool TFrequencyPlotForm::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) CheckColumns();
  return TAnalysisForm::event(e);
}

bool TFrequencyPlotForm::eventFilter(QObject* watched, QEvent* e) {
  // Entering the "&Type" group from another control rebuilds, as a change does.
  if (e->type() == QEvent::FocusIn && qobject_cast<QRadioButton*>(watched)) {
    const auto reason = static_cast<QFocusEvent*>(e)->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
        reason == Qt::ShortcutFocusReason)
      Rebuild();
  }
  return TAnalysisForm::eventFilter(watched, e);
}

void TFrequencyPlotForm::showEvent(QShowEvent* e) {
  TAnalysisForm::showEvent(e);
  if (width() < minWidth_) resize(minWidth_, height());
}

TFrequencyPlotForm* ShowFrequencyPlot(QWidget* caller, const QString& callerName,
                                      const TRunInfo& ri) {
  auto* form = qobject_cast<TFrequencyPlotForm*>(ShowForm(FrequencyPlotsCommand));
  if (!form) return nullptr;
  form->SetReturnTarget(caller, callerName);
  form->StartFrequencyPlot(ri);
  return form;
}

}  // namespace sorvel
