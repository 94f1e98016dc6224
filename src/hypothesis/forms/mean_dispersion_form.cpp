#include "hypothesis/forms/mean_dispersion_form.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

#include "data/data_state.h"
#include "editor/column_selection_form.h"
#include "numerics/format.h"
#include "ui/data_editor_hooks.h"
#include "ui/key_filter_qt.h"
#include "ui/messages.h"
#include "ui/window_registry.h"

namespace sorvel {

namespace {

const char* const TestOptions[] = {"one-sample-mean-test", "one-sample-variance-test",
                                   "two-sample-independent-tests", "two-sample-dependent-tests"};
const char* const HypOptions[] = {"=", ">=", "<="};
const char* const DfOptions[] = {"standard", "df-from-mse", "sigma-known"};

QString U(const char* s) { return QString::fromUtf8(s); }
QString U(const std::string& s) { return QString::fromStdString(s); }

QButtonGroup* MakeRadioGroup(QGroupBox* box, const QStringList& items, const QString& name) {
  box->setObjectName(name);
  auto* group = new QButtonGroup(box);
  auto* layout = new QVBoxLayout(box);
  layout->setSpacing(2);
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], box);
    group->addButton(b, i);
    layout->addWidget(b);
  }
  group->button(0)->setChecked(true);
  return group;
}

// A box's text without the thousands separators it is shown with: options are plain numbers.
std::string Plain(const QString& text) {
  std::string s = text.trimmed().toStdString();
  std::erase(s, ',');
  return s;
}
std::string Plain(const QLineEdit* e) { return Plain(e->text()); }

}  // namespace

TT_testForm::TT_testForm(QWidget* owner)
    : TAnalysisForm(owner, QStringLiteral("Mean/Dispersion Tests"),
                    QStringLiteral("T/F Tests Form"), 1000) {
  setObjectName(QStringLiteral("TT_testForm"));
  auto* central = new QWidget(this);
  auto* outer = new QHBoxLayout(central);

  // The two groups' boxes.
  auto* values = new QGridLayout;
  auto edit = [&](const char* name, TKeyFilter filter) {
    auto* e = new QLineEdit(QStringLiteral("0"), central);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaximumWidth(120);
    SetKeyFilter(e, filter);
    connect(e, &QLineEdit::editingFinished, this, [this, e] { EditLeft(e); });
    return e;
  };
  auto label = [&](const char* text, QLineEdit* buddy) {
    auto* l = new QLabel(U(text), central);
    l->setBuddy(buddy);
    return l;
  };
  Mean1Edit = edit("Mean1Edit", RealKeyFilter);
  Std1Edit = edit("Std1Edit", PosRealKeyFilter);
  n1edit = edit("n1edit", IntegerKeyFilter);
  mean2edit = edit("mean2edit", RealKeyFilter);
  Std2Edit = edit("Std2Edit", PosRealKeyFilter);
  n2edit = edit("n2edit", IntegerKeyFilter);
  r12edit = edit("r12edit", RealKeyFilter);
  dfsEdit = edit("dfsEdit", IntegerKeyFilter);
  Group1Label = new QLabel(QStringLiteral("Group1"), central);
  Group1Label->setObjectName(QStringLiteral("Group1Label"));
  Group2Label = new QLabel(QStringLiteral("Group2"), central);
  Group2Label->setObjectName(QStringLiteral("Group2Label"));
  Mean1Label = label("X&1:", Mean1Edit);
  Std1Label = label("&s1:", Std1Edit);
  n1Label = label("&n1:", n1edit);
  Mean2Label = label("X2:", mean2edit);
  Std2Label = label("s2:", Std2Edit);
  n2Label = label("n2:", n2edit);
  r12Label = label("&r12:", r12edit);
  dfsLabel = label("df(s):", dfsEdit);
  values->addWidget(Group1Label, 0, 1);
  values->addWidget(Group2Label, 0, 3);
  QLabel* rowLabels[][2] = {{Mean1Label, Mean2Label}, {Std1Label, Std2Label}, {n1Label, n2Label}};
  QLineEdit* rowEdits[][2] = {{Mean1Edit, mean2edit}, {Std1Edit, Std2Edit}, {n1edit, n2edit}};
  for (int r = 0; r < 3; ++r)
    for (int g = 0; g < 2; ++g) {
      values->addWidget(rowLabels[r][g], r + 1, 2 * g, Qt::AlignRight);
      values->addWidget(rowEdits[r][g], r + 1, 2 * g + 1);
    }
  values->addWidget(r12Label, 4, 2, Qt::AlignRight);
  values->addWidget(r12edit, 4, 3);
  values->addWidget(dfsLabel, 5, 0, Qt::AlignRight);
  values->addWidget(dfsEdit, 5, 1);
  for (QLineEdit* e : {Mean1Edit, Std1Edit, n1edit})
    connect(e, &QLineEdit::textEdited, this, [this] { UserEdited(1); });
  for (QLineEdit* e : {mean2edit, Std2Edit, n2edit, r12edit})
    connect(e, &QLineEdit::textEdited, this, [this] { UserEdited(2); });

  ConfComboBox = new QComboBox(central);
  ConfComboBox->setObjectName(QStringLiteral("ConfComboBox"));
  ConfComboBox->setEditable(true);
  ConfComboBox->addItems({QStringLiteral("90"), QStringLiteral("95"), QStringLiteral("99")});
  ConfComboBox->setCurrentText(QStringLiteral("95"));
  SetKeyFilter(ConfComboBox->lineEdit(), PosRealKeyFilter);
  auto* confLabel = new QLabel(QStringLiteral("C&onf:"), central);
  confLabel->setBuddy(ConfComboBox);
  DecimalSpinEdit1 = MakeDecimalSpinEdit(central, QStringLiteral("DecimalSpinEdit1"));
  SetKeyFilter(DecimalSpinEdit1, IntegerSpinKeyFilter);
  auto* decimalsLabel = new QLabel(QStringLiteral("&Decimals:"), central);
  decimalsLabel->setBuddy(DecimalSpinEdit1);
  values->addWidget(confLabel, 6, 0, Qt::AlignRight);
  values->addWidget(ConfComboBox, 6, 1);
  values->addWidget(decimalsLabel, 6, 2, Qt::AlignRight);
  values->addWidget(DecimalSpinEdit1, 6, 3);
  values->setRowStretch(7, 1);

  Button_Action = MakeActionButton(central);
  Button_FileData = new QPushButton(QStringLiteral("F&ile Data"), central);
  Button_FileData->setObjectName(QStringLiteral("Button_FileData"));
  Button_Reset = new QPushButton(QStringLiteral("Reset"), central);
  Button_Reset->setObjectName(QStringLiteral("Button_Reset"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button_Action);
  buttons->addWidget(Button_FileData);
  buttons->addWidget(Button_Reset);
  buttons->addStretch(1);
  auto* left = new QVBoxLayout;
  left->addLayout(values);
  left->addLayout(buttons);

  // The choices.
  RadioGroup_Test = new QGroupBox(QStringLiteral("&Test"), central);
  Test = MakeRadioGroup(
      RadioGroup_Test,
      {QStringLiteral("One-Sample Mean Test"), QStringLiteral("One-Sample Variance Test"),
       QStringLiteral("Two-Sample Independent Tests"),
       QStringLiteral("Two-Sample Dependent Tests")},
      QStringLiteral("RadioGroup_Test"));
  Test->button(2)->setChecked(true);
  RadioGroup_Var = new QGroupBox(QStringLiteral("&Variance"), central);
  Var =
      MakeRadioGroup(RadioGroup_Var,
                     {QStringLiteral("Enter Standard Deviation"), QStringLiteral("Enter Variance")},
                     QStringLiteral("RadioGroup_Var"));
  RadioGroup_MeanHyp = new QGroupBox(QStringLiteral("&Hyp Means"), central);
  MeanHyp = MakeRadioGroup(RadioGroup_MeanHyp, {QString(), QString(), QString()},
                           QStringLiteral("RadioGroup_MeanHyp"));
  RadioGroup_VarHyp = new QGroupBox(QStringLiteral("Hyp Variance"), central);
  VarHyp = MakeRadioGroup(RadioGroup_VarHyp, {QString(), QString(), QString()},
                          QStringLiteral("RadioGroup_VarHyp"));
  RadioGroup_dfCalcs = new QGroupBox(QStringLiteral("df Calculations"), central);
  dfCalcs = MakeRadioGroup(
      RadioGroup_dfCalcs,
      {QStringLiteral("Standard"), QStringLiteral("df from MSE"), U("\xCF\x83 Known")},
      QStringLiteral("RadioGroup_dfCalcs"));
  auto* choices = new QGridLayout;
  choices->addWidget(RadioGroup_Test, 0, 0);
  choices->addWidget(RadioGroup_Var, 1, 0);
  choices->addWidget(RadioGroup_dfCalcs, 2, 0);
  choices->addWidget(RadioGroup_MeanHyp, 0, 1);
  choices->addWidget(RadioGroup_VarHyp, 1, 1);
  choices->setRowStretch(3, 1);

  outer->addLayout(left, 1);
  outer->addLayout(choices);
  setCentralWidget(central);

  connect(Button_Action, &QPushButton::clicked, this, &TT_testForm::Button_ActionClick);
  connect(Button_FileData, &QPushButton::clicked, this, &TT_testForm::Button_FileDataClick);
  connect(Button_Reset, &QPushButton::clicked, this, &TT_testForm::ResetClick);
  connect(Test, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) UpdateLabels();
  });
  connect(dfCalcs, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) UpdateLabels();
  });
  connect(Var, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) VarianceChanged();
  });
  connect(ConfComboBox->lineEdit(), &QLineEdit::editingFinished, this, [this] {
    double c = 0;
    if (ReadPlainNumber(ConfComboBox->currentText().toStdString(), c)) conf = c / 100;
  });
  connect(ConfComboBox, &QComboBox::currentTextChanged, this, [this](const QString& t) {
    double c = 0;
    if (ReadPlainNumber(t.toStdString(), c)) conf = c / 100;
  });

  // Commands of this window: the data and the output window.
  OpenDataAction = new QAction(QStringLiteral("Open Data File"), this);
  connect(OpenDataAction, &QAction::triggered, this, [] {
    if (DataEditorHooks().OpenDialog) DataEditorHooks().OpenDialog();
  });
  DataEditorAction = new QAction(QStringLiteral("Data Editor"), this);
  connect(DataEditorAction, &QAction::triggered, this, [] {
    if (DataEditorHooks().ShowEditor) DataEditorHooks().ShowEditor();
  });
  ViewOutputAction = new QAction(QStringLiteral("View Mean/Dispersion Tests Output"), this);
  connect(ViewOutputAction, &QAction::triggered, this, [this] { RestoreAndShow(OutputForm()); });
  FileMenu->insertAction(SaveAsAction, OpenDataAction);
  FileMenu->insertAction(SaveAsAction, DataEditorAction);
  FileMenu->insertSeparator(SaveAsAction);
  ViewMenu->addAction(ViewOutputAction);
  OpenDataAction->setEnabled(DataEditorHooks().Available());
  DataEditorAction->setEnabled(DataEditorHooks().Available());
  // The report lives in the output window.
  SaveAsAction->setVisible(false);
  PrintAction->setVisible(false);
  CopyGraphAction->setVisible(false);

  UpdateLabels();
  Activated();
  resize(720, 400);
}

TMDTest TT_testForm::CurrentTest() const { return static_cast<TMDTest>(Test->checkedId() + 1); }

TTFOutputForm* TT_testForm::OutputForm() {
  if (!output_) {
    output_ = new TTFOutputForm(MainForm() ? MainForm() : parentWidget());
    output_->PlaceBelow(this);
  }
  return output_;
}

QString TT_testForm::Number(double x) const { return U(FormatReal(x, DecimalSpinEdit1->value())); }

void TT_testForm::UpdateLabels() {
  const TMDTest test = CurrentTest();
  const bool t1 = test == TMDTest::OneSampleMean, t2 = test == TMDTest::OneSampleVariance;
  const bool t3 = test == TMDTest::TwoSampleIndependent, t4 = test == TMDTest::TwoSampleDependent;
  const bool variance = Var->checkedId() == 1;
  const int df = dfCalcs->checkedId();
  const bool dfShown = t1 || t3;
  const bool mse = dfShown && df == 1, known = dfShown && df == 2;

  RadioGroup_dfCalcs->setVisible(dfShown);
  RadioGroup_MeanHyp->setVisible(!t2);
  RadioGroup_VarHyp->setVisible(!t1 && !known);
  Mean2Label->setText(t1 ? QStringLiteral("Mo:") : QStringLiteral("X2:"));
  Std1Label->setText(known      ? QStringLiteral("&Sigma1:")
                     : variance ? QStringLiteral("&V1:")
                                : QStringLiteral("&s1:"));
  Std2Label->setText(t2         ? (variance ? QStringLiteral("Vo:") : QStringLiteral("So:"))
                     : known    ? QStringLiteral("Sigma2:")
                     : variance ? QStringLiteral("V2:")
                                : QStringLiteral("s2:"));
  const QString mu = U("\xCE\xBC"), sq = U("\xCF\x83\xC2\xB2");
  const QString ops[] = {QStringLiteral(" = "), U(" \xE2\x89\xA5 "), U(" \xE2\x89\xA4 ")};
  for (int i = 0; i < 3; ++i) {
    MeanHyp->button(i)->setText(t1 ? mu + ops[i] + QStringLiteral("Mo")
                                   : mu + QStringLiteral("1") + ops[i] + mu + QStringLiteral("2"));
    VarHyp->button(i)->setText(t2 ? sq + ops[i] + QStringLiteral("Vo")
                                  : sq + QStringLiteral("1") + ops[i] + sq + QStringLiteral("2"));
  }
  for (QWidget* w : {static_cast<QWidget*>(Mean1Edit), static_cast<QWidget*>(Mean1Label),
                     static_cast<QWidget*>(mean2edit), static_cast<QWidget*>(Mean2Label)})
    w->setVisible(!t2);
  const bool second = t2 || t4 || (t3 && !mse);
  Std2Edit->setVisible(second);
  Std2Label->setVisible(second);
  n2edit->setVisible(t3);
  n2Label->setVisible(t3);
  r12edit->setVisible(t4);
  r12Label->setVisible(t4);
  dfsEdit->setVisible(mse);
  dfsLabel->setVisible(mse);
  Group1Label->setVisible(!t2);
  Group2Label->setVisible(t3 || t4);
}

void TT_testForm::EditLeft(QLineEdit* e) {
  const std::string plain = Plain(e);
  double x = 0;
  const bool read = ReadPlainNumber(plain, x);
  if (!plain.empty()) e->setText(U(GroupThousands(plain)));
  const bool variance = Var->checkedId() == 1;
  auto dispersion = [&](double v) { return variance ? (v > 0 ? std::sqrt(v) : 0) : v; };
  // clang-format off
  if (e == Mean1Edit) X1 = read ? x : 0;
  else if (e == mean2edit) X2 = read ? x : 0;
  else if (e == Std1Edit) s1 = dispersion(read ? x : 0);
  else if (e == Std2Edit) s2 = dispersion(read ? x : 0);
  else if (e == n1edit) n1 = read ? static_cast<int>(x) : 0;
  else if (e == n2edit) n2 = read ? static_cast<int>(x) : 0;
  // clang-format on
  else if (e == r12edit) {
    if (read && std::fabs(x) > 1) {
      // Refused at once: the box gets 0 and the focus back.
      Beep();
      r12 = 0;
      e->setText(QStringLiteral("0"));
      e->setFocus();
    } else {
      r12 = read ? x : 0;
    }
  } else if (e == dfsEdit) {
    dfs = read && x >= 1 ? static_cast<int>(x) : 0;
    if (read && x < 1) e->setText(QStringLiteral("0"));
  }
}

// A box typed into: the group's label is the typed group's again, and the groups no
// longer come from the data set (the report must not claim a file for typed values).
void TT_testForm::UserEdited(int group) {
  if (group == 1)
    Group1Label->setText(QStringLiteral("Group1"));
  else
    Group2Label->setText(CurrentTest() == TMDTest::TwoSampleIndependent ||
                                 CurrentTest() == TMDTest::TwoSampleDependent
                             ? QStringLiteral("Group2")
                             : QStringLiteral("Population"));
  if (FileData) {
    FileData = false;
    setWindowTitle(QStringLiteral("Mean/Dispersion Tests"));
  }
}

void TT_testForm::RewriteEdits() {
  const bool variance = Var->checkedId() == 1;
  auto disp = [&](double s) { return Number(variance ? s * s : s); };
  Mean1Edit->setText(Number(X1));
  mean2edit->setText(Number(X2));
  Std1Edit->setText(disp(s1));
  Std2Edit->setText(disp(s2));
  r12edit->setText(Number(r12));
}

void TT_testForm::VarianceChanged() {
  const bool variance = Var->checkedId() == 1;
  auto disp = [&](double s) { return Number(variance ? s * s : s); };
  Std1Edit->setText(disp(s1));
  Std2Edit->setText(disp(s2));
  UpdateLabels();
}

void TT_testForm::Recompute() {
  const QString t = DecimalSpinEdit1->text().trimmed();
  if (t.isEmpty() || t == QStringLiteral("-") || t == QStringLiteral("+")) return;
  RewriteEdits();
}

TOptions TT_testForm::CurrentOptions() const {
  TOptions o;
  const int test = Test->checkedId();
  o["test"] = TestOptions[test >= 0 && test < 4 ? test : 2];
  o["variance"] = Var->checkedId() == 1 ? "enter-variance" : "enter-standard-deviation";
  o["hyp-means"] = HypOptions[std::max(0, MeanHyp->checkedId())];
  o["hyp-variance"] = HypOptions[std::max(0, VarHyp->checkedId())];
  o["df-calculations"] = DfOptions[std::max(0, dfCalcs->checkedId())];
  auto num = [](const QLineEdit* e) {
    const std::string t = Plain(e);
    return t.empty() ? std::string("0") : t;
  };
  o["x1"] = num(Mean1Edit);
  o["s1"] = num(Std1Edit);
  o["n1"] = num(n1edit);
  o["x2"] = Plain(mean2edit);  // empty: no Mo
  o["s2"] = num(Std2Edit);
  o["n2"] = num(n2edit);
  o["r12"] = num(r12edit);
  o["dfs"] = num(dfsEdit);
  o["conf"] = Plain(ConfComboBox->currentText());
  o["decimals"] = std::to_string(DecimalSpinEdit1->value());
  if (FileData) ColumnSelectionToOptions(Selection, o);
  return o;
}

void TT_testForm::Button_ActionClick() {
  TTFOutputForm* out = OutputForm();
  const TOutcome outcome = RunAnalysis(MeanDispersionTestsCommand, CurrentOptions(), nullptr);
  if (outcome.Status != TOutcome::TStatus::Ok) return;
  out->AppendRun(outcome.Report);
  RestoreAndShow(out);
}

bool TT_testForm::UseSelection(const TColumnSelection& sel) {
  Selection = sel;
  FileData = true;
  // The boxes show the groups' summaries, as the report will use them.
  const TMDFileData file = ComputeMDFileData(DataList(), sel, CurrentTest());
  X1 = file.X1;
  s1 = file.S1;
  n1 = static_cast<int>(file.N1);
  n1edit->setText(U(FormatReal(n1, 0)));
  Group1Label->setText(U(file.Label1));
  const TMDTest test = CurrentTest();
  if (test == TMDTest::TwoSampleIndependent || test == TMDTest::TwoSampleDependent) {
    X2 = file.X2;
    s2 = file.S2;
    n2 = static_cast<int>(file.N2);
    r12 = file.R12;
    n2edit->setText(U(FormatReal(n2, 0)));
    Group2Label->setText(U(file.Label2));
  }
  const std::string& name = DataEditor.DataFilename;
  setWindowTitle(name.empty() ? QStringLiteral("Mean/Dispersion Tests")
                              : QStringLiteral("Mean/Dispersion Tests  -  ") +
                                    QFileInfo(U(name)).fileName());
  const bool variance = Var->checkedId() == 1;
  Mean1Edit->setText(Number(X1));
  Std1Edit->setText(Number(variance ? s1 * s1 : s1));
  if (test == TMDTest::TwoSampleIndependent || test == TMDTest::TwoSampleDependent) {
    mean2edit->setText(Number(X2));
    Std2Edit->setText(Number(variance ? s2 * s2 : s2));
    r12edit->setText(Number(r12));
  }
  return true;
}

void TT_testForm::Button_FileDataClick() {
  if (!colSel_) colSel_ = new TColSel_Form(this);
  TRunInfo ri;
  if (!colSel_->GetColumns(static_cast<int>(CurrentTest()), ri)) return;
  UseSelection(colSel_->Sel);
}

void TT_testForm::ResetClick() {
  Test->button(2)->setChecked(true);
  Var->button(0)->setChecked(true);
  MeanHyp->button(0)->setChecked(true);
  VarHyp->button(0)->setChecked(true);
  dfCalcs->button(0)->setChecked(true);
  for (QLineEdit* e : {Mean1Edit, Std1Edit, n1edit, mean2edit, Std2Edit, n2edit, r12edit, dfsEdit})
    e->setText(QStringLiteral("0"));
  X1 = X2 = s1 = s2 = r12 = 0;
  n1 = n2 = dfs = 0;
  ConfComboBox->setCurrentText(QStringLiteral("95"));
  conf = 0.95;
  DecimalSpinEdit1->setValue(4);
  Group1Label->setText(QStringLiteral("Group1"));
  Group2Label->setText(QStringLiteral("Group2"));
  FileData = false;
  setWindowTitle(QStringLiteral("Mean/Dispersion Tests"));
  UpdateLabels();
}

void TT_testForm::Activated() {
  Button_FileData->setEnabled(DataList().HaveData());
  OpenDataAction->setEnabled(DataEditorHooks().Available());
  DataEditorAction->setEnabled(DataEditorHooks().Available());
}

void TT_testForm::showEvent(QShowEvent* e) {
  TAnalysisForm::showEvent(e);
  Activated();
  OutputForm();
}

bool TT_testForm::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) Activated();
  return TAnalysisForm::event(e);
}

}  // namespace sorvel
