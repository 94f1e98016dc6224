#include "hypothesis/forms/np_form.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "data/column_selection.h"
#include "data/data_state.h"
#include "editor/data_form.h"
#include "ui/data_editor_hooks.h"
#include "ui/key_filter_qt.h"
#include "ui/report_view.h"
#include "ui/window_registry.h"

namespace sorvel {

namespace {

QString U(const std::string& s) { return QString::fromStdString(s); }

QLabel* SectionLabel(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  QFont f = l->font();
  f.setItalic(true);
  l->setFont(f);
  return l;
}

QComboBox* ColumnCombo(QWidget* parent, const char* name) {
  auto* c = new QComboBox(parent);
  c->setObjectName(QString::fromLatin1(name));
  c->setMinimumWidth(140);
  return c;
}

}  // namespace

TNPForm::TNPForm(QWidget* owner)
    : TAnalysisForm(owner, QStringLiteral("Nonparametric Tests"),
                    QStringLiteral("Nonparmetrics Form"), 1800) {
  setObjectName(QStringLiteral("NPForm"));
  auto* central = new QWidget(this);
  auto* row = new QHBoxLayout(central);
  auto* inputs = new QVBoxLayout;

  // "&Test": three sections of radio buttons.
  GroupBox_Test = new QGroupBox(QStringLiteral("&Test"), central);
  GroupBox_Test->setObjectName(QStringLiteral("GroupBox_Test"));
  Test = new QButtonGroup(GroupBox_Test);
  auto* testLayout = new QVBoxLayout(GroupBox_Test);
  testLayout->setSpacing(2);
  for (int i = 0; i < 7; ++i) {
    if (i == 0)
      testLayout->addWidget(SectionLabel(QStringLiteral("One-Sample Tests"), GroupBox_Test));
    if (i == 2)
      testLayout->addWidget(
          SectionLabel(QStringLiteral("Independent Two-Sample Tests"), GroupBox_Test));
    if (i == 4)
      testLayout->addWidget(
          SectionLabel(QStringLiteral("Dependent Two-Sample Tests"), GroupBox_Test));
    auto* b = new QRadioButton(QString::fromLatin1(NPTestCaption(static_cast<TNPTest>(i))),
                               GroupBox_Test);
    b->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
    RadioButtons[static_cast<std::size_t>(i)] = b;
    Test->addButton(b, i);
    testLayout->addWidget(b);
  }
  RadioButtons[static_cast<std::size_t>(TNPTest::WilcoxonMannWhitney)]->setChecked(true);
  inputs->addWidget(GroupBox_Test);

  // "&Hypothesis", "&Location:", "Include equal", "Con&f:".
  RadioGroup_Hyp = new QGroupBox(QStringLiteral("&Hypothesis"), central);
  RadioGroup_Hyp->setObjectName(QStringLiteral("RadioGroup_Hyp"));
  Hyp = new QButtonGroup(RadioGroup_Hyp);
  auto* hypLayout = new QVBoxLayout(RadioGroup_Hyp);
  hypLayout->setSpacing(2);
  for (int i = 0; i < 3; ++i) {
    auto* b = new QRadioButton(RadioGroup_Hyp);
    HypButtons[static_cast<std::size_t>(i)] = b;
    Hyp->addButton(b, i);
    hypLayout->addWidget(b);
  }
  HypButtons[0]->setChecked(true);
  inputs->addWidget(RadioGroup_Hyp);

  auto* grid = new QGridLayout;
  Label_Loc = new QLabel(QStringLiteral("&Location:"), central);
  Edit_Loc = new QLineEdit(QStringLiteral("0"), central);
  Edit_Loc->setObjectName(QStringLiteral("Edit_Loc"));
  Edit_Loc->setMaximumWidth(110);
  SetKeyFilter(Edit_Loc, RealKeyFilter);
  Label_Loc->setBuddy(Edit_Loc);
  grid->addWidget(Label_Loc, 0, 0, Qt::AlignRight);
  grid->addWidget(Edit_Loc, 0, 1);
  CheckBox_IncEq = new QCheckBox(QStringLiteral("Include equal"), central);
  CheckBox_IncEq->setObjectName(QStringLiteral("CheckBox_IncEq"));
  grid->addWidget(CheckBox_IncEq, 1, 1);
  auto* confLabel = new QLabel(QStringLiteral("Con&f:"), central);
  ComboBox_Conf = new QComboBox(central);
  ComboBox_Conf->setObjectName(QStringLiteral("ComboBox_Conf"));
  ComboBox_Conf->addItems({QStringLiteral("90"), QStringLiteral("95"), QStringLiteral("99")});
  ComboBox_Conf->setCurrentIndex(1);
  confLabel->setBuddy(ComboBox_Conf);
  grid->addWidget(confLabel, 2, 0, Qt::AlignRight);
  grid->addWidget(ComboBox_Conf, 2, 1);
  grid->setColumnStretch(2, 1);
  inputs->addLayout(grid);

  // The groups: two columns, or two codes of a grouping column.
  PageControl = new QTabWidget(central);
  PageControl->setObjectName(QStringLiteral("PageControl1"));
  auto* columnsPage = new QWidget(PageControl);
  auto* columnsGrid = new QGridLayout(columnsPage);
  auto* g1Label = new QLabel(QStringLiteral("Group &1:"), columnsPage);
  ComboBox_G1 = ColumnCombo(columnsPage, "ComboBox_G1");
  g1Label->setBuddy(ComboBox_G1);
  Label_G2 = new QLabel(QStringLiteral("Group &2:"), columnsPage);
  ComboBox_G2 = ColumnCombo(columnsPage, "ComboBox_G2");
  Label_G2->setBuddy(ComboBox_G2);
  columnsGrid->addWidget(g1Label, 0, 0, Qt::AlignRight);
  columnsGrid->addWidget(ComboBox_G1, 0, 1);
  columnsGrid->addWidget(Label_G2, 1, 0, Qt::AlignRight);
  columnsGrid->addWidget(ComboBox_G2, 1, 1);
  columnsGrid->setRowStretch(2, 1);
  PageControl->addTab(columnsPage, QStringLiteral("Define &Columns"));

  auto* referencePage = new QWidget(PageControl);
  auto* refGrid = new QGridLayout(referencePage);
  auto* measLabel = new QLabel(QStringLiteral("&Measure:"), referencePage);
  ComboBox_Meas = ColumnCombo(referencePage, "ComboBox_Meas");
  measLabel->setBuddy(ComboBox_Meas);
  auto* groupsLabel = new QLabel(QStringLiteral("Groups:"), referencePage);
  ComboBox_Groups = ColumnCombo(referencePage, "ComboBox_Groups");
  groupsLabel->setBuddy(ComboBox_Groups);
  auto spin = [&](const char* name) {
    auto* s = new QSpinBox(referencePage);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(0, 0);
    SetKeyFilter(s, IntegerSpinKeyFilter);
    return s;
  };
  SpinEdit1 = spin("SpinEdit1");
  SpinEdit2 = spin("SpinEdit2");
  Label_Spin1 = new QLabel(referencePage);
  Label_Spin1->setObjectName(QStringLiteral("Label_Spin1"));
  Label_Spin2 = new QLabel(referencePage);
  Label_Spin2->setObjectName(QStringLiteral("Label_Spin2"));
  refGrid->addWidget(measLabel, 0, 0, Qt::AlignRight);
  refGrid->addWidget(ComboBox_Meas, 0, 1, 1, 2);
  refGrid->addWidget(groupsLabel, 1, 0, Qt::AlignRight);
  refGrid->addWidget(ComboBox_Groups, 1, 1, 1, 2);
  refGrid->addWidget(new QLabel(QStringLiteral("Group1:"), referencePage), 2, 0, Qt::AlignRight);
  refGrid->addWidget(SpinEdit1, 2, 1);
  refGrid->addWidget(Label_Spin1, 2, 2);
  refGrid->addWidget(new QLabel(QStringLiteral("Group2:"), referencePage), 3, 0, Qt::AlignRight);
  refGrid->addWidget(SpinEdit2, 3, 1);
  refGrid->addWidget(Label_Spin2, 3, 2);
  refGrid->setColumnStretch(2, 1);
  PageControl->addTab(referencePage, QStringLiteral("Define &Reference"));
  // Both tabs readable side by side, not behind scroll arrows.
  PageControl->setMinimumWidth(PageControl->tabBar()->sizeHint().width() + 12);
  inputs->addWidget(PageControl);

  Button_Action = MakeActionButton(central);
  inputs->addWidget(Button_Action);
  inputs->addStretch(1);

  RichEdit = new TReportView(central);
  RichEdit->setObjectName(QStringLiteral("RichEdit"));
  row->addLayout(inputs, 0);
  row->addWidget(RichEdit, 1);
  setCentralWidget(central);
  SetCurrentReport(RichEdit);

  connect(Button_Action, &QPushButton::clicked, this, &TNPForm::Button_ActionClick);
  connect(Test, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) TestChanged();
  });
  connect(Hyp, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) HypothesisChanged();
  });
  connect(ComboBox_Groups, &QComboBox::currentIndexChanged, this, &TNPForm::GroupsChanged);
  connect(SpinEdit1, &QSpinBox::valueChanged, this, &TNPForm::SpinChanged);
  connect(SpinEdit2, &QSpinBox::valueChanged, this, &TNPForm::SpinChanged);

  // Commands of this window: the data, which the editor returns to as "MW Form".
  OpenDataAction = new QAction(QStringLiteral("&Open Data File"), this);
  connect(OpenDataAction, &QAction::triggered, this, [] {
    if (DataEditorHooks().OpenDialog) DataEditorHooks().OpenDialog();
  });
  DataEditorAction = new QAction(QStringLiteral("&Data Editor"), this);
  connect(DataEditorAction, &QAction::triggered, this, [this] {
    if (HasForm("data-editor"))
      static_cast<TDataForm*>(FormFor("data-editor"))
          ->ShowDataEditor(this, QStringLiteral("MW Form"));
  });
  QAction* first = FileMenu->actions().value(0);
  FileMenu->insertActions(first, {OpenDataAction, DataEditorAction});
  FileMenu->insertSeparator(first);
  CopyGraphAction->setVisible(false);
  OpenDataAction->setEnabled(DataEditorHooks().Available());
  DataEditorAction->setEnabled(HasForm("data-editor"));

  TestChanged();
  UpdateZoomHint();
  resize(900, 560);
  FormActivate();
}

TNPTest TNPForm::CurrentTest() const {
  const int id = Test->checkedId();
  return static_cast<TNPTest>(id >= 0 && id <= 6 ? id : 2);
}

void TNPForm::TestChanged() {
  const TNPTest t = CurrentTest();
  const bool reference = NPOffersReference(t);
  if (!reference) PageControl->setCurrentIndex(0);
  PageControl->setTabVisible(1, reference);
  RadioGroup_Hyp->setVisible(NPUsesHypothesis(t));
  Label_Loc->setVisible(NPUsesLocation(t));
  Edit_Loc->setVisible(NPUsesLocation(t));
  Label_G2->setVisible(NPUsesSecondGroup(t));
  ComboBox_G2->setVisible(NPUsesSecondGroup(t));
  for (int i = 0; i < 3; ++i)
    HypButtons[static_cast<std::size_t>(i)]->setText(U(NPHypothesisText(t, i)));
  HypothesisChanged();
}

void TNPForm::HypothesisChanged() {
  CheckBox_IncEq->setVisible(NPOffersIncludeEqual(CurrentTest(), Hyp->checkedId()));
}

void TNPForm::FormActivate() {
  TDataList& list = DataList();
  const bool changed = seenColumns_ != ColumnsChangeCount || seenNewData_ != NewDataCount;
  if (changed || ComboBox_G1->count() == 0) {
    seenColumns_ = ColumnsChangeCount;
    seenNewData_ = NewDataCount;
    if (list.DataChanged) list.UpdateData();
    for (QComboBox* c : {ComboBox_G1, ComboBox_G2, ComboBox_Meas, ComboBox_Groups}) {
      const QSignalBlocker block(c);
      c->clear();
      for (int col = 1; col <= list.MaxCol(); ++col) c->addItem(U(list.ColumnName(col)));
      c->setCurrentIndex(0);
    }
    GroupsChanged();
  }
  Button_Action->setEnabled(list.HaveData());
  OpenDataAction->setEnabled(DataEditorHooks().Available());
  SetCurrentReport(RichEdit);
}

void TNPForm::GroupsChanged() {
  TDataList& list = DataList();
  const TLevelRange range = ReferenceLevelRange(list, ComboBox_Groups->currentIndex() + 1);
  if (range.Known) {
    const QSignalBlocker b1(SpinEdit1), b2(SpinEdit2);
    for (QSpinBox* s : {SpinEdit1, SpinEdit2}) s->setRange(range.Low, range.High);
    SpinEdit1->setValue(range.Low);
    SpinEdit2->setValue(range.High);
  }
  SpinChanged();
}

void TNPForm::SpinChanged() {
  const TDataList& list = DataList();
  const int column = ComboBox_Groups->currentIndex() + 1;
  Label_Spin1->setText(U(ReferenceLevelLabel(list, column, SpinEdit1->value())));
  Label_Spin2->setText(U(ReferenceLevelLabel(list, column, SpinEdit2->value())));
}

TOptions TNPForm::Options() const {
  static const char* const hypotheses[] = {"two", "lower", "upper"};
  const TNPTest t = CurrentTest();
  TOptions o;
  o["test"] = NPTestValue(t);
  const int h = Hyp->checkedId();
  o["hypothesis"] = hypotheses[h >= 0 && h <= 2 ? h : 0];
  o["location"] = Edit_Loc->text().trimmed().toStdString();
  if (CheckBox_IncEq->isChecked()) o["include-equal"] = "1";
  o["conf"] = ComboBox_Conf->currentText().toStdString();
  if (NPOffersReference(t) && PageControl->currentIndex() == 1) {
    o["reference"] = std::to_string(ComboBox_Groups->currentIndex() + 1);
    o["data"] = std::to_string(ComboBox_Meas->currentIndex() + 1);
    o["level1"] = std::to_string(SpinEdit1->value());
    o["level2"] = std::to_string(SpinEdit2->value());
  } else {
    o["group1"] = std::to_string(ComboBox_G1->currentIndex() + 1);
    if (NPUsesSecondGroup(t)) o["group2"] = std::to_string(ComboBox_G2->currentIndex() + 1);
  }
  return o;
}

void TNPForm::Button_ActionClick() {
  FormActivate();
  if (!Button_Action->isEnabled()) return;
  RunAnalysis(NonparametricTestsCommand, Options(), RichEdit);
}

void TNPForm::UpdateZoomHint() {
  const QString hint =
      Size > 1.0 ? QStringLiteral("Minimize Form Height") : QStringLiteral("Maximize Form Height");
  ResizeAction->setToolTip(hint);
  ResizeAction->setStatusTip(hint);
}

void TNPForm::AfterZoom(double) { UpdateZoomHint(); }

void TNPForm::showEvent(QShowEvent* event) {
  FormActivate();
  TAnalysisForm::showEvent(event);
}

bool TNPForm::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) FormActivate();
  return TAnalysisForm::event(e);
}

}  // namespace sorvel
