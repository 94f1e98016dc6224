#include "quality/forms/attr_setup_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "data/data_state.h"
#include "quality/forms/attr_chart_form.h"
#include "ui/key_filter_qt.h"
#include "ui/messages.h"
#include "ui/variable_lists.h"

namespace sorvel {

namespace {

const char* const OrderNumberItem = "        (Use Order Number)";

QString U(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.trimmed().toStdString(); }

QGroupBox* RadioGroup(QWidget* parent, const char* title, const char* name,
                      const std::vector<std::string>& items, int checked, QButtonGroup*& group) {
  auto* box = new QGroupBox(QString::fromLatin1(title), parent);
  box->setObjectName(QString::fromLatin1(name));
  group = new QButtonGroup(box);
  auto* layout = new QVBoxLayout(box);
  layout->setSpacing(2);
  for (std::size_t i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(U(items[i]), box);
    group->addButton(b, static_cast<int>(i));
    layout->addWidget(b);
  }
  group->button(checked)->setChecked(true);
  return box;
}

}  // namespace

TForm_AttrSetup::TForm_AttrSetup(QWidget* owner)
    : TAnalysisForm(owner, QString::fromLatin1(AttrSetupCaption),
                    QStringLiteral("Attributes Chart Setup"), AttrSetupHelpTopic) {
  setObjectName(QStringLiteral("TForm_AttrSetup"));
  auto* central = new QWidget(this);
  auto* outer = new QHBoxLayout(central);

  // ---- Pages ----
  PageControl = new QTabWidget(central);
  PageControl->setObjectName(QStringLiteral("PageControl"));
  auto sizeControls = [&](QWidget* page, QListWidget* source, TSingleVarPicker*& column,
                          QCheckBox*& constant, QLineEdit*& size, TSingleVarPicker*& sets,
                          QLabel*& setsLabel, const char* suffix) {
    const QString s = QString::fromLatin1(suffix);
    column = new TSingleVarPicker(source, page);
    column->setObjectName(QStringLiteral("Edit_Sample") + s);
    constant = new QCheckBox(QStringLiteral("Constant Sample Size"), page);
    constant->setObjectName(QStringLiteral("CheckBox_n") + s);
    size = new QLineEdit(page);
    size->setObjectName(QStringLiteral("Edit_n") + s);
    size->setMaximumWidth(90);
    SetKeyFilter(size, PosRealKeyFilter);
    sets = new TSingleVarPicker(source, page);
    sets->setObjectName(QStringLiteral("Edit_Sets") + s);
    setsLabel = new QLabel(QStringLiteral("Sets"), page);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Sample Size"), page), 0, 0);
    grid->addWidget(column, 1, 0);
    grid->addWidget(constant, 2, 0);
    grid->addWidget(size, 3, 0);
    grid->addWidget(setsLabel, 4, 0);
    grid->addWidget(sets, 5, 0);
    grid->setRowStretch(6, 1);
    return grid;
  };

  auto* columns = new QWidget(PageControl);
  Picker = new TDualListPicker(QStringLiteral("Analysis Variables"), columns);
  DataVarList = Picker->Source;
  ListBox_AnalysisVar = Picker->Target;
  ListBox_AnalysisVar->setObjectName(QStringLiteral("ListBox_AnalysisVar"));
  auto* columnsLayout = new QHBoxLayout(columns);
  columnsLayout->addWidget(Picker, 2);
  columnsLayout->addLayout(sizeControls(columns, DataVarList, Edit_SampleCol, CheckBox_nCol,
                                        Edit_nCol, Edit_SetsCol, Label_SetsCol, "Col"),
                           1);
  PageControl->addTab(columns, QStringLiteral("Columns"));

  auto* reference = new QWidget(PageControl);
  RefVarList = new QListWidget(reference);
  RefVarList->setObjectName(QStringLiteral("RefVarList"));
  SetupVariableList(RefVarList);
  Edit_Measure = new TSingleVarPicker(RefVarList, reference);
  Edit_Measure->setObjectName(QStringLiteral("Edit_Measure"));
  IndVarList = new QListWidget(reference);
  IndVarList->setObjectName(QStringLiteral("IndVarList"));
  SetupVariableList(IndVarList);
  SpeedButton_IndIn = new QPushButton(QStringLiteral(">"), reference);
  SpeedButton_IndIn->setObjectName(QStringLiteral("SpeedButton_IndIn"));
  SpeedButton_IndOut = new QPushButton(QStringLiteral("<"), reference);
  SpeedButton_IndOut->setObjectName(QStringLiteral("SpeedButton_IndOut"));
  for (QPushButton* b : {SpeedButton_IndIn, SpeedButton_IndOut}) b->setFixedWidth(36);
  auto* refGrid = new QGridLayout(reference);
  refGrid->addWidget(new QLabel(QStringLiteral("Data Variables"), reference), 0, 0);
  refGrid->addWidget(RefVarList, 1, 0, 4, 1);
  refGrid->addWidget(new QLabel(QStringLiteral("Measure"), reference), 0, 1, 1, 2);
  refGrid->addWidget(Edit_Measure, 1, 1, 1, 2);
  auto* indButtons = new QVBoxLayout;
  indButtons->addWidget(SpeedButton_IndIn);
  indButtons->addWidget(SpeedButton_IndOut);
  indButtons->addStretch(1);
  refGrid->addWidget(new QLabel(QStringLiteral("Grouping Variables"), reference), 2, 2);
  refGrid->addLayout(indButtons, 3, 1);
  refGrid->addWidget(IndVarList, 3, 2);
  refGrid->addLayout(sizeControls(reference, RefVarList, Edit_SampleRef, CheckBox_nRef, Edit_nRef,
                                  Edit_SetsRef, Label_SetsRef, "Ref"),
                     4, 1, 1, 2);
  PageControl->addTab(reference, QStringLiteral("Reference"));
  outer->addWidget(PageControl, 3);

  // ---- Chart controls ----
  auto* right = new QVBoxLayout;
  RadioGroup_Type =
      RadioGroup(central, "Chart Type", "RadioGroup_Type", AttrChartTypeItems(), AttrP, Type);
  RadioGroup_Calc = RadioGroup(central, "Control &Limit Calculation", "RadioGroup_Calc",
                               AttrMethodItems(), AttrExact, Calc);
  RadioGroup_CL =
      RadioGroup(central, "&Centerline", "RadioGroup_CL", AttrCentreItems(), AttrCentreMean, CL);
  Edit_Parameter = new QLineEdit(central);
  Edit_Parameter->setObjectName(QStringLiteral("Edit_Parameter"));
  SetKeyFilter(Edit_Parameter, PosRealKeyFilter);
  Label_Parameter = new QLabel(QStringLiteral("Pi:"), central);
  Label_Parameter->setBuddy(Edit_Parameter);
  RadioGroup_CL->layout()->addWidget(Label_Parameter);
  RadioGroup_CL->layout()->addWidget(Edit_Parameter);
  Edit_StdErr = new QLineEdit(QStringLiteral("3"), central);
  Edit_StdErr->setObjectName(QStringLiteral("Edit_StdErr"));
  Edit_StdErr->setMaximumWidth(90);
  SetKeyFilter(Edit_StdErr, PosRealKeyFilter);
  auto* stdErrLabel = new QLabel(QStringLiteral("&Std Err:"), central);
  stdErrLabel->setBuddy(Edit_StdErr);
  ComboBox_AL = new QComboBox(central);
  ComboBox_AL->setObjectName(QStringLiteral("ComboBox_AL"));
  auto* alLabel = new QLabel(QStringLiteral("&Axis Labels:"), central);
  alLabel->setBuddy(ComboBox_AL);

  GroupBox_Limits = new QGroupBox(QStringLiteral("User Defined Limits"), central);
  GroupBox_Limits->setObjectName(QStringLiteral("GroupBox_Limits"));
  auto* limits = new QGridLayout(GroupBox_Limits);
  const char* names[] = {"UCL", "CL", "LCL"};
  QCheckBox** checks[] = {&CheckBox_UCL, &CheckBox_CL, &CheckBox_LCL};
  QLineEdit** edits[] = {&Edit_UCL, &Edit_CL, &Edit_LCL};
  for (int i = 0; i < 3; ++i) {
    auto* check = new QCheckBox(QString::fromLatin1(names[i]), GroupBox_Limits);
    check->setObjectName(QStringLiteral("CheckBox_") + QString::fromLatin1(names[i]));
    auto* edit = new QLineEdit(GroupBox_Limits);
    edit->setObjectName(QStringLiteral("Edit_") + QString::fromLatin1(names[i]));
    edit->setMaximumWidth(110);
    edit->setEnabled(false);
    SetKeyFilter(edit, RealKeyFilter);
    connect(check, &QCheckBox::toggled, edit, &QWidget::setEnabled);
    limits->addWidget(check, i, 0);
    limits->addWidget(edit, i, 1);
    *checks[i] = check;
    *edits[i] = edit;
  }
  Button_Action = MakeActionButton(central);

  auto* choices = new QHBoxLayout;
  auto* col1 = new QVBoxLayout;
  col1->addWidget(RadioGroup_Type);
  col1->addWidget(RadioGroup_CL);
  col1->addStretch(1);
  choices->addLayout(col1);
  auto* col2 = new QVBoxLayout;
  col2->addWidget(RadioGroup_Calc);
  col2->addWidget(GroupBox_Limits);
  col2->addStretch(1);
  choices->addLayout(col2);
  right->addLayout(choices);
  auto* numbers = new QGridLayout;
  numbers->addWidget(stdErrLabel, 0, 0, Qt::AlignRight);
  numbers->addWidget(Edit_StdErr, 0, 1);
  numbers->addWidget(alLabel, 1, 0, 1, 2);
  numbers->addWidget(ComboBox_AL, 2, 0, 1, 2);
  right->addLayout(numbers);
  right->addStretch(1);
  right->addWidget(Button_Action);
  outer->addLayout(right, 2);
  setCentralWidget(central);
  SaveAsAction->setVisible(false);
  PrintAction->setVisible(false);
  CopyGraphAction->setVisible(false);

  connect(Picker, &TDualListPicker::Moved, this, &TForm_AttrSetup::Refresh);
  for (TSingleVarPicker* p :
       {Edit_SampleCol, Edit_SetsCol, Edit_Measure, Edit_SampleRef, Edit_SetsRef})
    connect(p, &TSingleVarPicker::Changed, this, &TForm_AttrSetup::Refresh);
  connect(SpeedButton_IndIn, &QPushButton::clicked, this, [this] {
    const int first = GetFirstSelection(RefVarList);
    if (first < 0) return Beep();
    MoveSelected(RefVarList, IndVarList);
    SetItem(RefVarList, IndexAfterMove(first, RefVarList->count()));
    Refresh();
  });
  connect(SpeedButton_IndOut, &QPushButton::clicked, this, [this] {
    const int first = GetFirstSelection(IndVarList);
    if (first < 0) return Beep();
    MoveSelected(IndVarList, RefVarList);
    SetItem(IndVarList, IndexAfterMove(first, IndVarList->count()));
    Refresh();
  });
  connect(Type, &QButtonGroup::idClicked, this, &TForm_AttrSetup::TypeChosen);
  connect(Calc, &QButtonGroup::idClicked, this, [this](int) { Refresh(); });
  connect(CL, &QButtonGroup::idClicked, this, [this](int) { Refresh(); });
  connect(PageControl, &QTabWidget::currentChanged, this, [this](int) { Refresh(); });
  connect(CheckBox_nCol, &QCheckBox::toggled, this, &TForm_AttrSetup::Refresh);
  connect(CheckBox_nRef, &QCheckBox::toggled, this, &TForm_AttrSetup::Refresh);
  connect(Button_Action, &QPushButton::clicked, this, &TForm_AttrSetup::CalcButtonClick);

  FillLists();
  resize(900, 600);
}

bool TForm_AttrSetup::ReferencePage() const { return PageControl->currentIndex() == 1; }

TAttrSetupChoices TForm_AttrSetup::Choices() const {
  TAttrSetupChoices c;
  c.Type = Type->checkedId();
  c.Method = Calc->checkedId();
  c.Centre = CL->checkedId();
  c.Parameter = S(Edit_Parameter->text());
  c.StdErr = S(Edit_StdErr->text());
  c.UseUCL = CheckBox_UCL->isChecked();
  c.UseCL = CheckBox_CL->isChecked();
  c.UseLCL = CheckBox_LCL->isChecked();
  c.UCL = S(Edit_UCL->text());
  c.CL = S(Edit_CL->text());
  c.LCL = S(Edit_LCL->text());
  c.ReferencePage = ReferencePage();
  c.Measures = ListBox_AnalysisVar->count();
  c.MeasureColumn = Edit_Measure->Column();
  c.GroupingVariables = IndVarList->count();
  c.ConstantSampleSize = c.ReferencePage ? CheckBox_nRef->isChecked() : CheckBox_nCol->isChecked();
  if (!c.ConstantSampleSize)
    c.SampleSizeColumn = c.ReferencePage ? Edit_SampleRef->Column() : Edit_SampleCol->Column();
  c.SampleSize = S(c.ReferencePage ? Edit_nRef->text() : Edit_nCol->text());
  c.DataColumns = DataList().MaxCol();
  // With a single column the "Columns" page's constant is the sample size.
  if (c.DataColumns <= 1) {
    c.ConstantSampleSize = true;
    c.SampleSize = S(Edit_nCol->text());
  }
  return c;
}

void TForm_AttrSetup::Refresh() {
  const int type = Type->checkedId();
  const int method = Calc->checkedId();
  Label_Parameter->setText(type == AttrP || type == AttrNP ? QStringLiteral("Pi:")
                                                           : QStringLiteral("Lambda:"));
  const bool known = CL->checkedId() == AttrCentreKnown;
  const bool centreUsed = method != AttrNoLimits && method != AttrUserDefined;
  RadioGroup_CL->setEnabled(centreUsed);
  Label_Parameter->setVisible(known && centreUsed);
  Edit_Parameter->setVisible(known && centreUsed);
  GroupBox_Limits->setVisible(method == AttrUserDefined);
  Edit_StdErr->setEnabled(method != AttrNoLimits && method != AttrCentreOnly);
  // Sets only where the limits are estimated from the data, and with more than one column.
  const bool sets = AttrLimitsEstimated(method, CL->checkedId()) && DataList().MaxCol() > 1;
  for (QWidget* w : {static_cast<QWidget*>(Edit_SetsCol), static_cast<QWidget*>(Label_SetsCol),
                     static_cast<QWidget*>(Edit_SetsRef), static_cast<QWidget*>(Label_SetsRef)})
    w->setVisible(sets);
  Edit_nCol->setEnabled(CheckBox_nCol->isChecked() || DataList().MaxCol() <= 1);
  Edit_nRef->setEnabled(CheckBox_nRef->isChecked());
  Edit_SampleCol->setEnabled(!CheckBox_nCol->isChecked());
  Edit_SampleRef->setEnabled(!CheckBox_nRef->isChecked());
  SpeedButton_IndIn->setEnabled(RefVarList->count() > 0);
  SpeedButton_IndOut->setEnabled(IndVarList->count() > 0);
  Picker->SetButtons();
}

void TForm_AttrSetup::TypeChosen(int type) {
  if (type == AttrC) {
    // A c chart counts per unit: the sample size is the constant 1.
    Edit_SampleCol->Clear();
    Edit_SampleRef->Clear();
    Edit_nCol->setText(QStringLiteral("1"));
    Edit_nRef->setText(QStringLiteral("1"));
    CheckBox_nCol->setChecked(true);
    CheckBox_nRef->setChecked(true);
  }
  Refresh();
}

void TForm_AttrSetup::FillLists() {
  const TDataList& list = DataList();
  seenNewData_ = NewDataCount;
  seenColumns_ = ColumnsChangeCount;
  for (TSingleVarPicker* p :
       {Edit_SampleCol, Edit_SetsCol, Edit_Measure, Edit_SampleRef, Edit_SetsRef})
    p->Clear(false);
  Picker->Fill(list);
  FillVariableList(RefVarList, list);
  IndVarList->clear();
  ComboBox_AL->clear();
  ComboBox_AL->addItem(QString::fromLatin1(OrderNumberItem));
  for (int c = 1; c <= list.MaxCol(); ++c) ComboBox_AL->addItem(U(list.ColumnName(c)));
  Refresh();
}

void TForm_AttrSetup::showEvent(QShowEvent* e) {
  TAnalysisForm::showEvent(e);
  if (seenNewData_ != NewDataCount || seenColumns_ != ColumnsChangeCount) FillLists();
  const std::string& name = DataEditor.DataFilename;
  setWindowTitle(name.empty() ? QString::fromLatin1(AttrSetupCaption)
                              : QString::fromLatin1(AttrSetupCaption) + QStringLiteral(" - ") +
                                    QFileInfo(U(name)).fileName());
}

bool TForm_AttrSetup::CalcButtonClick() {
  const TAttrSetupChoices c = Choices();
  const TAttrSetupResult r = ValidateAttrSetup(c);
  if (!r.Error.empty()) {
    ShowInfo(U(r.Error));
    return false;
  }
  TAttrChartRequest q;
  q.Settings = r.Settings;
  if (c.DataColumns <= 1) {
    q.Measures = {1};
  } else {
    if (r.Beep) {
      Beep();
      return false;
    }
    q.Reference = c.ReferencePage;
    if (q.Reference) {
      q.Measure = c.MeasureColumn;
      q.Groups = ListColumns(IndVarList);
    } else {
      q.Measures = ListColumns(ListBox_AnalysisVar);
    }
    q.SampleSizeColumn = c.SampleSizeColumn;
    q.SetVariable = q.Reference ? Edit_SetsRef->Column() : Edit_SetsCol->Column();
  }
  if (q.SampleSizeColumn == 0) q.ConstantSize = r.ConstantSize;
  q.AxisLabels = std::max(0, ComboBox_AL->currentIndex());
  lastRequest_ = q;
  ShowAttributesChart(q, this, QString::fromLatin1(AttrSetupReturnName));
  return true;
}

}  // namespace sorvel
