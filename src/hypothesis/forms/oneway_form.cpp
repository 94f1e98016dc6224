#include "hypothesis/forms/oneway_form.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <tuple>

#include "data/data_state.h"
#include "editor/data_form.h"
#include "explore/forms/plot_form.h"
#include "explore/plots.h"
#include "hypothesis/oneway_anova.h"
#include "ui/data_editor_hooks.h"
#include "ui/key_filter_qt.h"
#include "ui/messages.h"
#include "ui/recent_files_menu.h"
#include "ui/window_registry.h"

namespace sorvel {

int OnewayMeasureIndex = 0, OnewayGroupsIndex = 0;

namespace {

const char* const TypeOptions[] = {"fixed", "random", "kruskal-wallis"};

int CodeOf(double x) {
  return static_cast<int>(std::clamp(std::nearbyint(x), -2147483647.0, 2147483647.0));
}

}  // namespace

TOnewayForm::TOnewayForm(QWidget* owner)
    : TAnalysisForm(owner, QStringLiteral("Oneway ANOVA"), QStringLiteral("Oneway ANOVA"), 1700) {
  setObjectName(QStringLiteral("OnewayForm"));
  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);
  auto* top = new QHBoxLayout;

  // Columns and codes.
  auto* columns = new QGridLayout;
  auto label = [&](const char* text, QWidget* buddy) {
    auto* l = new QLabel(QString::fromUtf8(text), central);
    l->setBuddy(buddy);
    return l;
  };
  ComboBox_Meas = new QComboBox(central);
  ComboBox_Meas->setObjectName(QStringLiteral("ComboBox_Meas"));
  ComboBox_Groups = new QComboBox(central);
  ComboBox_Groups->setObjectName(QStringLiteral("ComboBox_Groups"));
  for (QComboBox* c : {ComboBox_Meas, ComboBox_Groups}) c->setMinimumWidth(150);
  SpinEdit1 = new QSpinBox(central);
  SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
  SpinEdit2 = new QSpinBox(central);
  SpinEdit2->setObjectName(QStringLiteral("SpinEdit2"));
  Label_Spin1 = new QLabel(central);
  Label_Spin1->setObjectName(QStringLiteral("Label_Spin1"));
  Label_Spin2 = new QLabel(central);
  Label_Spin2->setObjectName(QStringLiteral("Label_Spin2"));
  for (QSpinBox* s : {SpinEdit1, SpinEdit2}) {
    s->setRange(0, 0);
    s->setMinimumWidth(90);
    SetKeyFilter(s, IntegerSpinKeyFilter);
  }
  columns->addWidget(label("&Measure:", ComboBox_Meas), 0, 0, Qt::AlignRight);
  columns->addWidget(ComboBox_Meas, 0, 1, 1, 2);
  columns->addWidget(label("&Groups:", ComboBox_Groups), 1, 0, Qt::AlignRight);
  columns->addWidget(ComboBox_Groups, 1, 1, 1, 2);
  columns->addWidget(label("&Low Group:", SpinEdit1), 2, 0, Qt::AlignRight);
  columns->addWidget(SpinEdit1, 2, 1);
  columns->addWidget(Label_Spin1, 2, 2);
  columns->addWidget(label("High Group:", SpinEdit2), 3, 0, Qt::AlignRight);
  columns->addWidget(SpinEdit2, 3, 1);
  columns->addWidget(Label_Spin2, 3, 2);
  columns->setColumnMinimumWidth(2, 90);
  columns->setRowStretch(4, 1);
  top->addLayout(columns);

  // Type and the optional parts.
  RadioGroup1 = new QGroupBox(QStringLiteral("&Type"), central);
  RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
  Type = new QButtonGroup(RadioGroup1);
  auto* typeLayout = new QVBoxLayout(RadioGroup1);
  typeLayout->setSpacing(2);
  const char* captions[] = {"Fixed", "Random", "Kruskal-Wallis"};
  for (int i = 0; i < 3; ++i) {
    auto* b = new QRadioButton(QString::fromLatin1(captions[i]), RadioGroup1);
    Type->addButton(b, i);
    typeLayout->addWidget(b);
  }
  Type->button(0)->setChecked(true);
  auto* parts = new QVBoxLayout;
  parts->addWidget(RadioGroup1);
  CheckBox_Disp = new QCheckBox(QStringLiteral("Dispersion Tests"), central);
  CheckBox_Disp->setObjectName(QStringLiteral("CheckBox_Disp"));
  CheckBox_Pairwise = new QCheckBox(QStringLiteral("Pairwise Comparisons"), central);
  CheckBox_Pairwise->setObjectName(QStringLiteral("CheckBox_Pairwise"));
  parts->addWidget(CheckBox_Disp);
  parts->addWidget(CheckBox_Pairwise);
  parts->addStretch(1);
  top->addLayout(parts);

  // Settings and the action.
  auto* settings = new QGridLayout;
  DecimalSpinEdit1 = MakeDecimalSpinEdit(central, QStringLiteral("DecimalSpinEdit1"));
  SetKeyFilter(DecimalSpinEdit1, IntegerSpinKeyFilter);
  ConfComboBox = new QComboBox(central);
  ConfComboBox->setObjectName(QStringLiteral("ConfComboBox"));
  ConfComboBox->addItems({QStringLiteral("90"), QStringLiteral("95"), QStringLiteral("99")});
  ConfComboBox->setCurrentIndex(1);
  settings->addWidget(label("&Decimals:", DecimalSpinEdit1), 0, 0, Qt::AlignRight);
  settings->addWidget(DecimalSpinEdit1, 0, 1);
  settings->addWidget(label("&Conf:", ConfComboBox), 1, 0, Qt::AlignRight);
  settings->addWidget(ConfComboBox, 1, 1);
  CheckBox_Clear = new QCheckBox(QStringLiteral("Clear Before Display"), central);
  CheckBox_Clear->setObjectName(QStringLiteral("CheckBox_Clear"));
  CheckBox_Clear->setChecked(true);
  settings->addWidget(CheckBox_Clear, 2, 0, 1, 2);
  Button_Action = MakeActionButton(central);
  settings->addWidget(Button_Action, 3, 0, 1, 2);
  settings->setRowStretch(4, 1);
  top->addLayout(settings);
  top->addStretch(1);
  outer->addLayout(top);

  RichEdit = new TReportView(central);
  RichEdit->setObjectName(QStringLiteral("RichEdit"));
  outer->addWidget(RichEdit, 1);
  setCentralWidget(central);
  SetCurrentReport(RichEdit);
  RichEdit->viewport()->installEventFilter(this);

  connect(Button_Action, &QPushButton::clicked, this, &TOnewayForm::Button_ActionClick);
  connect(ComboBox_Meas, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!filling_ && i >= 0) OnewayMeasureIndex = i;
  });
  connect(ComboBox_Groups, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (filling_ || i < 0) return;
    OnewayGroupsIndex = i;
    GroupsChanged();
  });
  connect(SpinEdit1, &QSpinBox::valueChanged, this, &TOnewayForm::UpdateSpinLabels);
  connect(SpinEdit2, &QSpinBox::valueChanged, this, &TOnewayForm::UpdateSpinLabels);
  connect(Type, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (on) CheckBox_Disp->setVisible(id != 2);
  });

  // Commands of this window.
  OpenDataAction = new QAction(QStringLiteral("&Open Data File"), this);
  connect(OpenDataAction, &QAction::triggered, this, [] {
    if (DataEditorHooks().OpenDialog) DataEditorHooks().OpenDialog();
  });
  DataEditorAction = new QAction(QStringLiteral("&Data Editor"), this);
  DataEditorAction->setShortcut(QKeySequence(Qt::Key_F4));
  // The editor's Return goes back here.
  connect(DataEditorAction, &QAction::triggered, this, [this] {
    if (HasForm("data-editor"))
      static_cast<TDataForm*>(FormFor("data-editor"))
          ->ShowDataEditor(this, QStringLiteral("Oneway Form"));
  });
  QAction* first = FileMenu->actions().value(0);
  FileMenu->insertActions(first, {OpenDataAction, DataEditorAction});
  FileMenu->insertSeparator(first);
  AddRecentFileItems(FileMenu, this);
  CopyGraphAction->setVisible(false);

  PlotsAction = new QAction(QStringLiteral("&Plots"), this);
  PlotsAction->setObjectName(QStringLiteral("PlotsAction"));
  PlotsAction->setToolTip(QStringLiteral("Plots"));
  connect(PlotsAction, &QAction::triggered, this, &TOnewayForm::PlotsClick);
  ViewMenu->addAction(PlotsAction);

  std::tie(IncreaseFontAction, DecreaseFontAction) =
      AddFontCommands([this] { IncreaseFont(); }, [this] { DecreaseFont(); });

  resize(DesignWidth, DesignHeight);
  setMinimumSize(DesignWidth, DesignHeight - 250);
  FillLists();
  Activated();
}

void TOnewayForm::FillLists() {
  if (seenNewData_ == NewDataCount && seenColumns_ == ColumnsChangeCount &&
      ComboBox_Meas->count() > 0)
    return;
  seenNewData_ = NewDataCount;
  seenColumns_ = ColumnsChangeCount;
  TDataList& list = DataList();
  if (list.DataChanged) list.UpdateData();
  filling_ = true;
  ComboBox_Meas->clear();
  ComboBox_Groups->clear();
  if (list.HaveData())
    for (int c = 1; c <= list.MaxCol(); ++c) {
      const QString name = QString::fromStdString(list.ColumnName(c));
      ComboBox_Meas->addItem(name, c);
      ComboBox_Groups->addItem(name, c);
    }
  const int n = ComboBox_Meas->count();
  if (n > 0) {
    ComboBox_Meas->setCurrentIndex(std::clamp(OnewayMeasureIndex, 0, n - 1));
    ComboBox_Groups->setCurrentIndex(std::clamp(OnewayGroupsIndex, 0, n - 1));
  }
  filling_ = false;
  GroupsChanged();
  Button_Action->setEnabled(n > 0);
  PlotsAction->setEnabled(n > 0);
}

void TOnewayForm::GroupsChanged() {
  TDataList& list = DataList();
  const int c = ComboBox_Groups->currentData().toInt();
  int low = 0, high = 0;
  if (c >= 1 && c <= list.MaxCol() && list.Highlow[c]) {
    low = CodeOf(list.ColumnLow[c]);
    high = CodeOf(list.ColumnHigh[c]);
  }
  for (QSpinBox* s : {SpinEdit1, SpinEdit2}) {
    QSignalBlocker block(s);
    s->setRange(low, high);
  }
  {
    QSignalBlocker block1(SpinEdit1), block2(SpinEdit2);
    SpinEdit1->setValue(low);
    SpinEdit2->setValue(high);
  }
  UpdateSpinLabels();
}

void TOnewayForm::UpdateSpinLabels() {
  TDataList& list = DataList();
  const int c = ComboBox_Groups->currentData().toInt();
  const bool levels = c >= 1 && c <= list.MaxCol() && list.LevelCount(c) > 0;
  Label_Spin1->setText(levels ? QString::fromStdString(list.GetLevelName(c, SpinEdit1->value()))
                              : QString());
  Label_Spin2->setText(levels ? QString::fromStdString(list.GetLevelName(c, SpinEdit2->value()))
                              : QString());
}

TOptions TOnewayForm::CurrentOptions() const {
  TOptions o;
  // Columns by number: a name may look like another column's number.
  o["measure"] = std::to_string(ComboBox_Meas->currentData().toInt());
  o["groups"] = std::to_string(ComboBox_Groups->currentData().toInt());
  o["low-group"] = std::to_string(SpinEdit1->value());
  o["high-group"] = std::to_string(SpinEdit2->value());
  o["type"] = TypeOptions[std::max(0, Type->checkedId())];
  o["dispersion-tests"] = CheckBox_Disp->isChecked() ? "1" : "0";
  o["pairwise-comparisons"] = CheckBox_Pairwise->isChecked() ? "1" : "0";
  o["conf"] = ConfComboBox->currentText().toStdString();
  o["decimals"] = std::to_string(DecimalSpinEdit1->value());
  return o;
}

void TOnewayForm::Button_ActionClick() {
  FillLists();
  if (ComboBox_Meas->count() == 0) return;
  const TOutcome outcome = RunAnalysis(OnewayAnovaCommand, CurrentOptions(), nullptr);
  if (outcome.Status != TOutcome::TStatus::Ok) return;
  SetCurrentReport(RichEdit);
  AppendReportRun(RichEdit, outcome.Report, CheckBox_Clear->isChecked(), Size,
                  BodySize - InitialBodySize);
}

TRunInfo TOnewayForm::RunDescription() const {
  TDataList& list = DataList();
  TRunInfo ri;
  ri.ColRefRun = LoadMeasureByLevel;
  ri.measure = ComboBox_Meas->currentData().toInt();
  ri.index = ComboBox_Groups->currentData().toInt();
  ri.Afirst = SpinEdit1->value();
  ri.Alast = SpinEdit2->value();
  if (ri.measure >= 1 && ri.measure <= list.MaxCol())
    ri.MeasureName = list.ColumnTitleOrName(ri.measure);
  if (ri.index >= 1 && ri.index <= list.MaxCol()) ri.GroupName = list.ColumnTitleOrName(ri.index);
  return ri;
}

void TOnewayForm::PlotsClick() {
  FillLists();
  if (ComboBox_Meas->count() == 0) return;
  auto* plots = qobject_cast<TPlot_Form*>(ShowForm(PlotsCommand));
  if (!plots) return;
  plots->SetReturnTarget(this, QStringLiteral("Oneway ANOVA Form"));
  plots->StartPlots(RunDescription());
}

void TOnewayForm::Recompute() {
  if (!RichEdit->toPlainText().isEmpty()) Button_ActionClick();
}

void TOnewayForm::IncreaseFont() {
  if (HeadingSize >= 72) return;
  ++HeadingSize;
  ++BodySize;
  RichEdit->ScaleReportFonts(1.0, 1);
}

void TOnewayForm::DecreaseFont() {
  if (BodySize <= 6) return;
  --HeadingSize;
  --BodySize;
  RichEdit->ScaleReportFonts(1.0, -1);
}

void TOnewayForm::Activated() {
  FillLists();
  SetCurrentReport(RichEdit);
  const bool editor = DataEditorHooks().Available();
  OpenDataAction->setEnabled(editor);
  DataEditorAction->setEnabled(HasForm("data-editor"));
}

void TOnewayForm::showEvent(QShowEvent* e) {
  TAnalysisForm::showEvent(e);
  Activated();
}

bool TOnewayForm::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) Activated();
  return TAnalysisForm::event(e);
}

bool TOnewayForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == RichEdit->viewport() &&
      FontWheelEvent(
          event, [this] { IncreaseFont(); }, [this] { DecreaseFont(); }))
    return true;
  return TAnalysisForm::eventFilter(watched, event);
}

}  // namespace sorvel
