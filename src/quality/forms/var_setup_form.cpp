#include "quality/forms/var_setup_form.h"

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
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "quality/forms/var_chart_form.h"
#include "ui/data_editor_hooks.h"
#include "ui/key_filter_qt.h"
#include "ui/messages.h"
#include "ui/recent_files_menu.h"
#include "ui/variable_lists.h"
#include "ui/window_registry.h"

namespace sorvel {

namespace {

const char* const Caption = "Variables Chart Setup";
const char* const OrderNumberItem = "        (Use Order Number)";

QString U(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.trimmed().toStdString(); }

QComboBox* MakeCombo(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  box->setMinimumContentsLength(18);
  return box;
}

// Refills a combo box when its items changed and selects `current`.
void SetItems(QComboBox* box, const std::vector<std::string>& items, const std::string& current) {
  bool same = box->count() == static_cast<int>(items.size());
  for (int i = 0; same && i < box->count(); ++i)
    same = box->itemText(i) == U(items[static_cast<std::size_t>(i)]);
  if (!same) {
    box->clear();
    for (const std::string& item : items) box->addItem(U(item));
  }
  box->setCurrentIndex(std::max(0, box->findText(U(current))));
}

}  // namespace

TForm_VARsetup::TForm_VARsetup(QWidget* owner)
    : TAnalysisForm(owner, QString::fromLatin1(Caption), QStringLiteral("Variables Chart Setup"),
                    VarSetupHelpTopic) {
  setObjectName(QStringLiteral("TForm_VARsetup"));
  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);

  // ---- Variable lists and slots ----
  Picker = new TDualListPicker(QStringLiteral("     Chart Variables"), central);
  Picker->setObjectName(QStringLiteral("Picker"));
  DataVarList = Picker->Source;
  DataVarList->setObjectName(QStringLiteral("DataVarList"));
  ListBox_Measures = Picker->Target;
  ListBox_Measures->setObjectName(QStringLiteral("ListBox_Measures"));
  Picker->IncAllBtn->hide();  // this window moves columns one selection at a time

  auto groupButton = [&](const char* text, const char* name) {
    auto* b = new QPushButton(QString::fromLatin1(text), central);
    b->setObjectName(QString::fromLatin1(name));
    b->setFixedWidth(36);
    return b;
  };
  SpeedButton_GroupsIn = groupButton(">", "SpeedButton_GroupsIn");
  SpeedButton_GroupsOut = groupButton("<", "SpeedButton_GroupsOut");
  SpeedButton_GroupsAll = groupButton("<<", "SpeedButton_GroupsAll");
  ListBox_ChartGroups = new QListWidget(central);
  ListBox_ChartGroups->setObjectName(QStringLiteral("ListBox_ChartGroups"));
  SetupVariableList(ListBox_ChartGroups);
  ListBox_ChartGroups->setMaximumHeight(90);
  Label_ChartGroups = new QLabel(QStringLiteral("Chart Groups"), central);
  Label_ChartGroups->setBuddy(ListBox_ChartGroups);

  Edit_Sample = new TSingleVarPicker(DataVarList, central);
  Edit_Sample->setObjectName(QStringLiteral("Edit_Sample"));
  Label_Sample = new QLabel(QStringLiteral("Sample Variable"), central);
  CheckBox_Sample = new QCheckBox(QStringLiteral("Constant Sample Size"), central);
  CheckBox_Sample->setObjectName(QStringLiteral("CheckBox_Sample"));
  SpinEdit_SampleSize = new QSpinBox(central);
  SpinEdit_SampleSize->setObjectName(QStringLiteral("SpinEdit_SampleSize"));
  SpinEdit_SampleSize->setRange(2, 999);
  SpinEdit_SampleSize->setValue(5);
  SetKeyFilter(SpinEdit_SampleSize, IntegerSpinKeyFilter);
  Edit_Sets = new TSingleVarPicker(DataVarList, central);
  Edit_Sets->setObjectName(QStringLiteral("Edit_Sets"));
  Label_Sets = new QLabel(QStringLiteral("Sets"), central);

  RadioGroup_Layout = new QGroupBox(QStringLiteral("Layout"), central);
  RadioGroup_Layout->setObjectName(QStringLiteral("RadioGroup_Layout"));
  Layout = new QButtonGroup(RadioGroup_Layout);
  auto* layoutBox = new QVBoxLayout(RadioGroup_Layout);
  layoutBox->setSpacing(2);
  const QString layouts[] = {QStringLiteral("Subgroups in Columns"),
                             QStringLiteral("Subgroups in Rows")};
  for (int i = 0; i < 2; ++i) {
    auto* b = new QRadioButton(layouts[i], RadioGroup_Layout);
    Layout->addButton(b, i);
    layoutBox->addWidget(b);
  }
  Layout->button(0)->setChecked(true);

  auto* slotGrid = new QGridLayout;
  auto* groupButtons = new QVBoxLayout;
  groupButtons->addWidget(SpeedButton_GroupsIn);
  groupButtons->addWidget(SpeedButton_GroupsOut);
  groupButtons->addWidget(SpeedButton_GroupsAll);
  groupButtons->addStretch(1);
  slotGrid->addWidget(Label_ChartGroups, 0, 1);
  slotGrid->addLayout(groupButtons, 1, 0);
  slotGrid->addWidget(ListBox_ChartGroups, 1, 1);
  slotGrid->addWidget(Label_Sample, 2, 1);
  slotGrid->addWidget(Edit_Sample, 3, 0, 1, 2);
  slotGrid->addWidget(SpinEdit_SampleSize, 4, 1, Qt::AlignLeft);
  slotGrid->addWidget(CheckBox_Sample, 5, 1);
  slotGrid->addWidget(Label_Sets, 6, 1);
  slotGrid->addWidget(Edit_Sets, 7, 0, 1, 2);
  slotGrid->addWidget(RadioGroup_Layout, 8, 1);
  slotGrid->setRowStretch(9, 1);
  auto* top = new QHBoxLayout;
  top->addWidget(Picker, 2);
  top->addLayout(slotGrid, 1);
  outer->addLayout(top, 1);

  // ---- Chart controls ----
  ComboBox_LocChartType = MakeCombo(central, "ComboBox_LocChartType");
  ComboBox_LocLimitCalc = MakeCombo(central, "ComboBox_LocLimitCalc");
  ComboBox_LocCL = MakeCombo(central, "ComboBox_LocCL");
  ComboBox_DispChartType = MakeCombo(central, "ComboBox_DispChartType");
  ComboBox_DispCalc = MakeCombo(central, "ComboBox_DispCalc");
  ComboBox_DispCL = MakeCombo(central, "ComboBox_DispCL");
  auto label = [&](const char* text, QWidget* buddy) {
    auto* l = new QLabel(QString::fromUtf8(text), central);
    l->setBuddy(buddy);
    return l;
  };
  auto* locTypeLabel = label("Location Chart &Type", ComboBox_LocChartType);
  Label_LocLimitCalc = label("Location Limit Calculations", ComboBox_LocLimitCalc);
  Label_LocCL = label("Location Centerline", ComboBox_LocCL);
  auto* dispTypeLabel = label("Dispersion Chart &Type", ComboBox_DispChartType);
  Label_DispCalc = label("Dispersion Limit Calculations", ComboBox_DispCalc);
  Label_DispCL = label("Dispersion Centerline", ComboBox_DispCL);
  CheckBox_PositiveLimits = new QCheckBox(QStringLiteral("Positive Limits Only"), central);
  CheckBox_PositiveLimits->setObjectName(QStringLiteral("CheckBox_PositiveLimits"));

  auto limitsBox = [&](const char* title, const char* name, std::array<QCheckBox**, 3> boxes,
                       std::array<QLineEdit**, 3> edits, std::array<const char*, 3> captions,
                       std::array<const char*, 3> names) {
    auto* g = new QGroupBox(QString::fromLatin1(title), central);
    g->setObjectName(QString::fromLatin1(name));
    auto* grid = new QGridLayout(g);
    for (int i = 0; i < 3; ++i) {
      auto* check = new QCheckBox(QString::fromLatin1(captions[static_cast<std::size_t>(i)]), g);
      check->setObjectName(QStringLiteral("CheckBox_") +
                           QString::fromLatin1(names[static_cast<std::size_t>(i)]));
      check->setChecked(true);
      auto* edit = new QLineEdit(g);
      edit->setObjectName(QStringLiteral("Edit_") +
                          QString::fromLatin1(names[static_cast<std::size_t>(i)]));
      edit->setMaximumWidth(110);
      SetKeyFilter(edit, RealKeyFilter);
      connect(check, &QCheckBox::toggled, edit, &QWidget::setEnabled);
      grid->addWidget(check, i, 0);
      grid->addWidget(edit, i, 1);
      *boxes[static_cast<std::size_t>(i)] = check;
      *edits[static_cast<std::size_t>(i)] = edit;
    }
    return g;
  };
  GroupBox_LocLimits =
      limitsBox("Location User Defined Limits", "GroupBox_LocLimits",
                {&CheckBox_UCL, &CheckBox_CL, &CheckBox_LCL}, {&Edit_UCL, &Edit_CL, &Edit_LCL},
                {"UCL", "CL", "LCL"}, {"UCL", "CL", "LCL"});
  GroupBox_DispLimits =
      limitsBox("Dispersion User Defined Limits", "GroupBox_DispLimits",
                {&CheckBox_DUCL, &CheckBox_DCL, &CheckBox_DLCL},
                {&Edit_DUCL, &Edit_DCL, &Edit_DLCL}, {"UCL", "CL", "LCL"}, {"DUCL", "DCL", "DLCL"});

  auto* charts = new QGridLayout;
  charts->addWidget(locTypeLabel, 0, 0);
  charts->addWidget(ComboBox_LocChartType, 1, 0);
  charts->addWidget(Label_LocLimitCalc, 2, 0);
  charts->addWidget(ComboBox_LocLimitCalc, 3, 0);
  charts->addWidget(Label_LocCL, 4, 0);
  charts->addWidget(ComboBox_LocCL, 5, 0);
  charts->addWidget(CheckBox_PositiveLimits, 6, 0);
  charts->addWidget(GroupBox_LocLimits, 7, 0);
  charts->addWidget(dispTypeLabel, 0, 1);
  charts->addWidget(ComboBox_DispChartType, 1, 1);
  charts->addWidget(Label_DispCalc, 2, 1);
  charts->addWidget(ComboBox_DispCalc, 3, 1);
  charts->addWidget(Label_DispCL, 4, 1);
  charts->addWidget(ComboBox_DispCL, 5, 1);
  charts->addWidget(GroupBox_DispLimits, 7, 1);
  charts->setRowStretch(8, 1);

  // ---- Numbers, axis labels and Action ----
  Edit_StdErr = new QLineEdit(QStringLiteral("3"), central);
  Edit_StdErr->setObjectName(QStringLiteral("Edit_StdErr"));
  SetKeyFilter(Edit_StdErr, PosRealKeyFilter);
  SpinEdit_MR = new QSpinBox(central);
  SpinEdit_MR->setObjectName(QStringLiteral("SpinEdit_MR"));
  SpinEdit_MR->setRange(2, 30);
  SpinEdit_MR->setValue(2);
  SetKeyFilter(SpinEdit_MR, IntegerSpinKeyFilter);
  Edit_Sigma = new QLineEdit(central);
  Edit_Sigma->setObjectName(QStringLiteral("Edit_Sigma"));
  SetKeyFilter(Edit_Sigma, PosRealKeyFilter);
  Edit_Mu = new QLineEdit(central);
  Edit_Mu->setObjectName(QStringLiteral("Edit_Mu"));
  SetKeyFilter(Edit_Mu, RealKeyFilter);
  for (QLineEdit* e : {Edit_StdErr, Edit_Sigma, Edit_Mu}) e->setMaximumWidth(90);
  Label_StdErr = label("&Std Err:", Edit_StdErr);
  Label_MR = label("MR Count:", SpinEdit_MR);
  Label_Sigma = label("Sigma:", Edit_Sigma);
  Label_Mu = label("Mu:", Edit_Mu);
  ComboBox_AL = MakeCombo(central, "ComboBox_AL");
  auto* alLabel = label("&Axis Labels:", ComboBox_AL);
  Button_Action = MakeActionButton(central);

  auto* numbers = new QGridLayout;
  numbers->addWidget(Label_StdErr, 0, 0, Qt::AlignRight);
  numbers->addWidget(Edit_StdErr, 0, 1);
  numbers->addWidget(Label_MR, 1, 0, Qt::AlignRight);
  numbers->addWidget(SpinEdit_MR, 1, 1);
  numbers->addWidget(Label_Sigma, 2, 0, Qt::AlignRight);
  numbers->addWidget(Edit_Sigma, 2, 1);
  numbers->addWidget(Label_Mu, 3, 0, Qt::AlignRight);
  numbers->addWidget(Edit_Mu, 3, 1);
  numbers->addWidget(alLabel, 4, 0, 1, 2);
  numbers->addWidget(ComboBox_AL, 5, 0, 1, 2);
  numbers->setRowStretch(6, 1);
  numbers->addWidget(Button_Action, 7, 0, 1, 2);
  auto* bottom = new QHBoxLayout;
  bottom->addLayout(charts, 2);
  bottom->addLayout(numbers, 1);
  outer->addLayout(bottom);
  setCentralWidget(central);

  // ---- Status panels ----
  for (std::size_t i = 0; i < StatusPanels.size(); ++i) {
    StatusPanels[i] = new QLabel(this);
    StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    StatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addWidget(StatusPanels[i]);
  }

  // ---- Commands of this window ----
  TDataEditorHooks& hooks = DataEditorHooks();
  NewDataAction = new QAction(QStringLiteral("&New Data"), this);
  connect(NewDataAction, &QAction::triggered, this, [] {
    if (DataEditorHooks().NewFile) DataEditorHooks().NewFile();
  });
  OpenDataAction = new QAction(style()->standardIcon(QStyle::SP_DialogOpenButton),
                               QStringLiteral("&Open Data File"), this);
  OpenDataAction->setToolTip(QStringLiteral("Open Data File"));
  connect(OpenDataAction, &QAction::triggered, this, [] {
    if (DataEditorHooks().OpenDialog) DataEditorHooks().OpenDialog();
  });
  DataEditorAction = new QAction(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                 QStringLiteral("&Data Editor"), this);
  DataEditorAction->setToolTip(QStringLiteral("Data Editor"));
  DataEditorAction->setShortcut(QKeySequence(Qt::Key_F4));
  connect(DataEditorAction, &QAction::triggered, this, [] {
    if (DataEditorHooks().ShowEditor) DataEditorHooks().ShowEditor();
  });
  ProcessIfAction = new QAction(QStringLiteral("&Process If"), this);
  ProcessIfAction->setShortcut(QKeySequence(Qt::Key_F8));
  connect(ProcessIfAction, &QAction::triggered, this, [this] {
    if (DataEditorHooks().ProcessIf) DataEditorHooks().ProcessIf();
    UpdateStatusPanels();
  });
  QAction* first = FileMenu->actions().value(0);
  FileMenu->insertActions(first,
                          {NewDataAction, OpenDataAction, DataEditorAction, ProcessIfAction});
  FileMenu->insertSeparator(first);
  // Nothing to save or print here: the window has no report.
  SaveAsAction->setVisible(false);
  PrintAction->setVisible(false);
  CopyGraphAction->setVisible(false);
  AddRecentFileItems(FileMenu, this);
  QAction* afterReturn = ToolBar->actions().value(1);
  ToolBar->insertAction(afterReturn, OpenDataAction);
  ToolBar->insertAction(afterReturn, DataEditorAction);
  const bool editor = hooks.Available();
  for (QAction* a : {NewDataAction, OpenDataAction, DataEditorAction}) a->setEnabled(editor);
  ProcessIfAction->setEnabled(static_cast<bool>(hooks.ProcessIf));

  // ---- Every change refreshes ----
  connect(Picker, &TDualListPicker::Moved, this, &TForm_VARsetup::Refresh);
  connect(Edit_Sample, &TSingleVarPicker::Changed, this, &TForm_VARsetup::Refresh);
  connect(Edit_Sets, &TSingleVarPicker::Changed, this, &TForm_VARsetup::Refresh);
  connect(SpeedButton_GroupsIn, &QPushButton::clicked, this, &TForm_VARsetup::GroupsIn);
  connect(SpeedButton_GroupsOut, &QPushButton::clicked, this, &TForm_VARsetup::GroupsOut);
  connect(SpeedButton_GroupsAll, &QPushButton::clicked, this, &TForm_VARsetup::GroupsAll);
  connect(ListBox_ChartGroups, &QListWidget::itemDoubleClicked, this, &TForm_VARsetup::GroupsOut);
  connect(CheckBox_Sample, &QCheckBox::toggled, this, &TForm_VARsetup::Refresh);
  connect(Layout, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) LayoutChosen();
  });
  connect(ComboBox_LocChartType, &QComboBox::currentIndexChanged, this,
          &TForm_VARsetup::LocationChartChosen);
  connect(ComboBox_DispCalc, &QComboBox::currentIndexChanged, this,
          &TForm_VARsetup::DispersionMethodChosen);
  connect(ComboBox_DispChartType, &QComboBox::currentIndexChanged, this,
          &TForm_VARsetup::DispersionChartChosen);
  for (QComboBox* box : {ComboBox_LocLimitCalc, ComboBox_LocCL, ComboBox_DispCL})
    connect(box, &QComboBox::currentIndexChanged, this, [this] {
      if (!filling_) Refresh();
    });
  connect(Button_Action, &QPushButton::clicked, this, &TForm_VARsetup::CalcButtonClick);

  Activated();
  Refresh();
  resize(900, 640);
}

TVarSetupChoices TForm_VARsetup::Choices() const {
  TVarSetupChoices c;
  c.ChartVariables = ListBox_Measures->count();
  c.ChartGroups = DataList().MaxCol() > 1 ? ListBox_ChartGroups->count() : 0;
  c.SampleVariable = Edit_Sample->Column() > 0;
  c.ConstantSampleSize = CheckBox_Sample->isChecked();
  c.SampleSize = SpinEdit_SampleSize->value();
  c.SubgroupsInRows = Layout->checkedId() == 1;
  c.LocationChart = S(ComboBox_LocChartType->currentText());
  c.LocationMethod = S(ComboBox_LocLimitCalc->currentText());
  c.LocationCentre = S(ComboBox_LocCL->currentText());
  c.DispersionChart = S(ComboBox_DispChartType->currentText());
  c.DispersionMethod = S(ComboBox_DispCalc->currentText());
  c.DispersionCentre = S(ComboBox_DispCL->currentText());
  c.StdErr = S(Edit_StdErr->text());
  c.Sigma = S(Edit_Sigma->text());
  c.Mu = S(Edit_Mu->text());
  c.MRCount = SpinEdit_MR->value();
  c.PositiveLimitsOnly = CheckBox_PositiveLimits->isChecked();
  c.UseUCL = CheckBox_UCL->isChecked();
  c.UseCL = CheckBox_CL->isChecked();
  c.UseLCL = CheckBox_LCL->isChecked();
  c.UseDUCL = CheckBox_DUCL->isChecked();
  c.UseDCL = CheckBox_DCL->isChecked();
  c.UseDLCL = CheckBox_DLCL->isChecked();
  c.UCL = S(Edit_UCL->text());
  c.CL = S(Edit_CL->text());
  c.LCL = S(Edit_LCL->text());
  c.DUCL = S(Edit_DUCL->text());
  c.DCL = S(Edit_DCL->text());
  c.DLCL = S(Edit_DLCL->text());
  return c;
}

TVarSetupColumns TForm_VARsetup::Columns() const {
  TVarSetupColumns cols;
  cols.ChartVariables = ListColumns(ListBox_Measures);
  cols.ChartGroups = ListColumns(ListBox_ChartGroups);
  cols.SampleVariable = Edit_Sample->Column();
  cols.Sets = Edit_Sets->Column();
  cols.AxisLabels = std::max(0, ComboBox_AL->currentIndex());
  return cols;
}

void TForm_VARsetup::ShowChoices(const TVarSetupChoices& c) {
  ShowLists(RefreshVarSetup(c));
  Refresh();
}

void TForm_VARsetup::ShowLists(const TVarSetupView& v) {
  filling_ = true;
  SetItems(ComboBox_LocChartType, v.LocationCharts, v.Resolved.LocationChart);
  SetItems(ComboBox_LocLimitCalc, v.LocationMethods, v.Resolved.LocationMethod);
  SetItems(ComboBox_LocCL, v.LocationCentres, v.Resolved.LocationCentre);
  SetItems(ComboBox_DispChartType, v.DispersionCharts, v.Resolved.DispersionChart);
  SetItems(ComboBox_DispCalc, v.DispersionMethods, v.Resolved.DispersionMethod);
  SetItems(ComboBox_DispCL, v.DispersionCentres, v.Resolved.DispersionCentre);
  filling_ = false;
  shownDispChart_ = v.Resolved.DispersionChart;
}

void TForm_VARsetup::Refresh() {
  if (filling_) return;
  TVarSetupChoices c = Choices();
  const int mode = RefreshVarSetup(c).Individuals ? 1 : 0;
  if (mode != filledMode_ || ComboBox_LocChartType->count() == 0) {
    // A new mode offers new lists: every box starts at its first item.
    c.LocationChart = c.LocationMethod = c.LocationCentre = "";
    c.DispersionChart = c.DispersionMethod = c.DispersionCentre = "";
    filledMode_ = mode;
  }
  const TVarSetupView v = RefreshVarSetup(c);
  ShowLists(v);

  const bool rows = v.Resolved.SubgroupsInRows;
  Picker->TargetLabel->setText(rows ? QStringLiteral("Subgroup Measures")
                                    : QStringLiteral("     Chart Variables"));
  const bool manyColumns = DataList().MaxCol() > 1;
  for (QWidget* w :
       {static_cast<QWidget*>(Label_ChartGroups), static_cast<QWidget*>(ListBox_ChartGroups),
        static_cast<QWidget*>(SpeedButton_GroupsIn), static_cast<QWidget*>(SpeedButton_GroupsOut),
        static_cast<QWidget*>(SpeedButton_GroupsAll), static_cast<QWidget*>(Label_Sets),
        static_cast<QWidget*>(Edit_Sets)})
    w->setVisible(manyColumns);
  SpeedButton_GroupsIn->setEnabled(DataVarList->count() > 0);
  SpeedButton_GroupsOut->setEnabled(ListBox_ChartGroups->count() > 0);
  SpeedButton_GroupsAll->setEnabled(ListBox_ChartGroups->count() > 0);
  Picker->SetButtons();

  CheckBox_Sample->setVisible(v.SampleControlsShown);
  Edit_Sample->setVisible(v.SampleSlotShown);
  SpinEdit_SampleSize->setVisible(v.SampleControlsShown && !v.SampleSlotShown);
  Label_Sample->setVisible(v.SampleControlsShown);
  Label_Sample->setText(v.SampleSlotShown ? QStringLiteral("Sample Variable")
                                          : QStringLiteral("  Sample Size"));
  Label_Sample->setBuddy(v.SampleSlotShown ? static_cast<QWidget*>(Edit_Sample->Box)
                                           : SpinEdit_SampleSize);
  RadioGroup_Layout->setVisible(v.LayoutShown);

  Label_LocLimitCalc->setVisible(v.LocationMethodShown);
  ComboBox_LocLimitCalc->setVisible(v.LocationMethodShown);
  Label_LocCL->setVisible(v.LocationCentreShown);
  ComboBox_LocCL->setVisible(v.LocationCentreShown);
  CheckBox_PositiveLimits->setVisible(v.PositiveLimitsShown);
  GroupBox_LocLimits->setVisible(v.LocationUserLimitsShown);
  Label_DispCalc->setVisible(v.DispersionMethodShown);
  ComboBox_DispCalc->setVisible(v.DispersionMethodShown);
  Label_DispCL->setVisible(v.DispersionCentreShown);
  ComboBox_DispCL->setVisible(v.DispersionCentreShown);
  GroupBox_DispLimits->setVisible(v.DispersionUserLimitsShown);
  Label_Mu->setVisible(v.MuShown);
  Edit_Mu->setVisible(v.MuShown);
  Label_Sigma->setVisible(v.SigmaShown);
  Edit_Sigma->setVisible(v.SigmaShown);
  Label_StdErr->setVisible(v.StdErrShown);
  Edit_StdErr->setVisible(v.StdErrShown);
  Label_MR->setVisible(v.MRCountShown);
  SpinEdit_MR->setVisible(v.MRCountShown);
  Button_Action->setEnabled(v.ActionEnabled);
}

void TForm_VARsetup::LocationChartChosen() {
  if (filling_) return;
  TVarSetupChoices c = Choices();
  ChooseLocationChart(c, c.LocationChart);
  ShowChoices(c);
}

void TForm_VARsetup::DispersionChartChosen() {
  if (filling_) return;
  TVarSetupChoices c = Choices();
  const std::string chart = c.DispersionChart;
  c.DispersionChart = shownDispChart_;
  ChooseDispersionChart(c, chart);
  ShowChoices(c);
}

void TForm_VARsetup::DispersionMethodChosen() {
  if (filling_) return;
  TVarSetupChoices c = Choices();
  ChooseDispersionMethod(c, c.DispersionMethod);
  ShowChoices(c);
}

void TForm_VARsetup::LayoutChosen() {
  // Subgroups in rows take no sample variable: it goes back to the data variables.
  if (Layout->checkedId() == 1 && Edit_Sample->Column() > 0) Edit_Sample->Clear();
  Refresh();
}

void TForm_VARsetup::MoveGroups(QListWidget* from, QListWidget* to) {
  const int first = GetFirstSelection(from);
  if (first < 0) return;
  MoveSelected(from, to);
  SetItem(from, IndexAfterMove(first, from->count()));
  Refresh();
}

void TForm_VARsetup::GroupsIn() { MoveGroups(DataVarList, ListBox_ChartGroups); }
void TForm_VARsetup::GroupsOut() { MoveGroups(ListBox_ChartGroups, DataVarList); }

void TForm_VARsetup::GroupsAll() {
  ListBox_ChartGroups->selectAll();
  MoveSelected(ListBox_ChartGroups, DataVarList);
  Refresh();
}

void TForm_VARsetup::FillLists() {
  const TDataList& list = DataList();
  seenNewData_ = NewDataCount;
  seenColumns_ = ColumnsChangeCount;
  filling_ = true;  // one refresh at the end
  Edit_Sample->Clear(false);
  Edit_Sets->Clear(false);
  ListBox_ChartGroups->clear();
  Picker->Fill(list);
  ComboBox_AL->clear();
  ComboBox_AL->addItem(QString::fromLatin1(OrderNumberItem));
  for (int c = 1; c <= list.MaxCol(); ++c) ComboBox_AL->addItem(U(list.ColumnName(c)));
  filling_ = false;
  Refresh();
}

void TForm_VARsetup::UpdateStatusPanels() {
  StatusPanels[0]->setText(U(MissingStatusText()));
  StatusPanels[1]->setText(U(TransformStatusText()));
  StatusPanels[2]->setText(U(ProcessIfStatusText()));
}

void TForm_VARsetup::Activated() {
  if (!DataList().HaveData() || seenNewData_ != NewDataCount || seenColumns_ != ColumnsChangeCount)
    FillLists();
  UpdateStatusPanels();
  const std::string& name = DataEditor.DataFilename;
  setWindowTitle(name.empty() ? QString::fromLatin1(Caption)
                              : QString::fromLatin1(Caption) + QStringLiteral(" - ") +
                                    QFileInfo(U(name)).fileName());
  TDataEditorHooks& hooks = DataEditorHooks();
  for (QAction* a : {NewDataAction, OpenDataAction, DataEditorAction})
    a->setEnabled(hooks.Available());
  ProcessIfAction->setEnabled(static_cast<bool>(hooks.ProcessIf));
}

void TForm_VARsetup::showEvent(QShowEvent* e) {
  TAnalysisForm::showEvent(e);
  Activated();
}

bool TForm_VARsetup::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) Activated();
  return TAnalysisForm::event(e);
}

bool TForm_VARsetup::CalcButtonClick() {
  if (!Button_Action->isEnabled()) return false;
  TVarChartRequest request;
  const std::string error = VarChartRequestOf(Choices(), Columns(), DataList(), request);
  if (!error.empty()) {
    ShowInfo(U(error));
    return false;
  }
  IncludeChartVariables(DataList(), request);
  lastRequest_ = request;
  ShowVariablesChart(request, this, QStringLiteral("Variables Chart Setup Form"));
  return true;
}

}  // namespace sorvel
