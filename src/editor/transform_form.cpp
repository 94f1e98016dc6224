#include "editor/transform_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
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
#include "numerics/keyfilters.h"
#include "ui/key_filter_qt.h"
#include "ui/messages.h"
#include "ui/shell_services.h"

namespace sorvel {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QLineEdit* box) { return box->text().toStdString(); }
}  // namespace

TTransformForm::TTransformForm(QWidget* parent) : QDialog(parent), saved_(TransformRec) {
  setObjectName(QStringLiteral("TransformForm"));
  setWindowTitle(QStringLiteral("Transform"));
  setModal(true);
  auto* top = new QVBoxLayout(this);
  PageControl = new QTabWidget(this);
  top->addWidget(PageControl);

  // ---- page "&Transform"
  auto* page = new QWidget(PageControl);
  auto* pageRow = new QHBoxLayout(page);
  auto* radios = new QGroupBox(QStringLiteral("&Transforms"), page);
  auto* radioColumn = new QVBoxLayout(radios);
  Transforms = new QButtonGroup(this);
  // The captions line up their formulas with blanks: a fixed-pitch font keeps them lined up.
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  for (int no = TransformNone; no <= TransformChiSquare; ++no) {
    auto* b = new QRadioButton(Q(TransformCaption(no)), radios);
    b->setObjectName(QStringLiteral("Transform%1").arg(no));
    b->setFont(fixed);
    radioColumn->addWidget(b);
    Transforms->addButton(b, no);
  }
  pageRow->addWidget(radios);

  auto* right = new QVBoxLayout();
  pageRow->addLayout(right);
  ConstantsGroup = new QGroupBox(QStringLiteral("&Constants"), page);
  auto* constants = new QGridLayout(ConstantsGroup);
  auto box = [this](const char* name) {
    auto* e = new QLineEdit(ConstantsGroup);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaximumWidth(110);
    SetKeyFilter(e, RealKeyFilter);
    return e;
  };
  EditA = box("EditA");
  EditB = box("EditB");
  EditC = box("EditC");
  auto* labelA = new QLabel(QStringLiteral("A"), ConstantsGroup);
  auto* labelB = new QLabel(QStringLiteral("B"), ConstantsGroup);
  LabelC = new QLabel(QStringLiteral("C"), ConstantsGroup);
  labelA->setBuddy(EditA);
  labelB->setBuddy(EditB);
  LabelC->setBuddy(EditC);
  constants->addWidget(labelA, 0, 0);
  constants->addWidget(EditA, 0, 1);
  constants->addWidget(labelB, 1, 0);
  constants->addWidget(EditB, 1, 1);
  constants->addWidget(LabelC, 2, 0);
  constants->addWidget(EditC, 2, 1);
  right->addWidget(ConstantsGroup);
  NormalFirst = new QCheckBox(QStringLiteral("Apply Random Normal (10=mean,1=std) First"), page);
  NormalFirst->setObjectName(QStringLiteral("NormalFirst"));
  right->addWidget(NormalFirst);
  FormulaLabel = new QLabel(page);
  FormulaLabel->setObjectName(QStringLiteral("FormulaLabel"));
  FormulaLabel->setMinimumWidth(240);
  right->addWidget(FormulaLabel);
  right->addStretch();
  PageControl->addTab(page, QStringLiteral("&Transform"));

  // ---- page "Add Transformed Variable"
  auto* addPage = new QWidget(PageControl);
  auto* addRow = new QHBoxLayout(addPage);
  auto* listColumn = new QVBoxLayout();
  auto* listLabel = new QLabel(QStringLiteral("&Select Variables to Transform"), addPage);
  ColumnList = new QListWidget(addPage);
  ColumnList->setObjectName(QStringLiteral("ColumnList"));
  listLabel->setBuddy(ColumnList);
  listColumn->addWidget(listLabel);
  listColumn->addWidget(ColumnList);
  addRow->addLayout(listColumn, 1);
  auto* addRight = new QVBoxLayout();
  addRow->addLayout(addRight);
  auto* mode = new QGroupBox(addPage);
  auto* modeColumn = new QVBoxLayout(mode);
  Button_AddNew = new QRadioButton(QStringLiteral("Add &New Variable"), mode);
  Button_Modify = new QRadioButton(QStringLiteral("Modify &Existing Variable"), mode);
  Button_AddNew->setChecked(true);
  modeColumn->addWidget(Button_AddNew);
  modeColumn->addWidget(Button_Modify);
  addRight->addWidget(mode);
  TurnOff = new QCheckBox(QStringLiteral("T&urn off Transform when done"), addPage);
  TurnOff->setObjectName(QStringLiteral("TurnOff"));
  TurnOff->setChecked(true);
  addRight->addWidget(TurnOff);
  Button_Add = new QPushButton(QStringLiteral("&Add"), addPage);
  Button_Add->setObjectName(QStringLiteral("Button_Add"));
  addRight->addWidget(Button_Add);
  addRight->addStretch();
  PageControl->addTab(addPage, QStringLiteral("Add Transformed &Variable"));

  auto* buttons = new QDialogButtonBox(this);
  Button_OK = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
  Button_Cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
  Button_Help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
  Button_OK->setDefault(true);
  top->addWidget(buttons);

  connect(Transforms, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) ChoiceChanged();
  });
  for (QLineEdit* e : {EditA, EditB, EditC})
    connect(e, &QLineEdit::textChanged, this, &TTransformForm::ChoiceChanged);
  connect(NormalFirst, &QCheckBox::toggled, this, &TTransformForm::ChoiceChanged);
  connect(Button_Modify, &QRadioButton::toggled, this, [this](bool modify) {
    Button_Add->setText(modify ? QStringLiteral("&Modify") : QStringLiteral("&Add"));
  });
  connect(Button_Add, &QPushButton::clicked, this, &TTransformForm::AddClick);
  connect(Button_OK, &QPushButton::clicked, this, &TTransformForm::OKClick);
  connect(Button_Cancel, &QPushButton::clicked, this, &TTransformForm::CancelClick);
  connect(Button_Help, &QPushButton::clicked, this, [] { ShowHelpTopic(7400); });

  FillColumns();
  Show(TransformRec);
}

void TTransformForm::FillColumns() {
  ColumnList->clear();
  const TDataList& list = DataList();
  for (int c = 1; c <= list.MaxCol(); ++c) {
    auto* item = new QListWidgetItem(Q(list.ColumnName(c)), ColumnList);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    item->setData(Qt::UserRole, c);
  }
}

void TTransformForm::Show(const TTransformRec& t) {
  showing_ = true;
  Transforms->button(t.no)->setChecked(true);
  EditA->setText(Q(t.astr));
  EditB->setText(Q(t.Bstr));
  EditC->setText(Q(t.Cstr));
  NormalFirst->setChecked(t.NORMFirst);
  showing_ = false;
  ChoiceChanged();
}

void TTransformForm::ChoiceChanged() {
  if (showing_) return;
  const int no = Transforms->checkedId() < 0 ? TransformNone : Transforms->checkedId();
  TTransformRec& t = TransformRec;
  t.no = no;
  t.astr = S(EditA);
  t.Bstr = S(EditB);
  t.Cstr = S(EditC);
  if (!ReadTypedNumber(t.Bstr, t.B)) t.B = 0;  // the formula text shows the sign of B
  t.NORMFirst = NormalFirst->isChecked();
  FormulaLabel->setText(QStringLiteral("Transform: ") + Q(TransformFormulaText(t)));
  const bool chosen = no != TransformNone;
  NormalFirst->setEnabled(chosen);
  ConstantsGroup->setEnabled(chosen);
  EditC->setVisible(TransformUsesC(no));
  LabelC->setVisible(TransformUsesC(no));
  const bool ok = TransformConstantsOk(no, t.astr, t.Bstr, t.Cstr);
  Button_OK->setEnabled(ok);
  Button_Add->setEnabled(chosen && ok);
}

bool TTransformForm::ReadConstants() {
  std::string error;
  const int no = Transforms->checkedId() < 0 ? TransformNone : Transforms->checkedId();
  if (SetTransform(TransformRec, no, S(EditA), S(EditB), S(EditC), NormalFirst->isChecked(), error))
    return true;
  ShowInfo(Q(error));
  return false;
}

void TTransformForm::OKClick() {
  if (!Button_OK->isEnabled() || !ReadConstants()) return;
  accept();
}

void TTransformForm::CancelClick() { reject(); }

void TTransformForm::reject() {
  TransformRec = saved_;
  QDialog::reject();
}

void TTransformForm::AddClick() {
  if (TransformRec.no == TransformNone || !Button_Add->isEnabled()) return;
  std::vector<int> columns;
  for (int i = 0; i < ColumnList->count(); ++i)
    if (ColumnList->item(i)->checkState() == Qt::Checked)
      columns.push_back(ColumnList->item(i)->data(Qt::UserRole).toInt());
  if (columns.empty()) {
    Beep();
    return;
  }
  if (!ReadConstants()) return;
  const TDataCommandResult result = AddTransformedVariables(
      DataList(), columns, Button_Modify->isChecked(), TurnOff->isChecked());
  if (!result.Message.empty()) {
    ShowInfo(Q(result.Message));
    return;
  }
  dataAdded_ = true;
  for (const std::string& name : result.Failed)
    ShowInfo(QString::fromLatin1(TransformFailedText) + Q(name));
  // What was done stays done: Cancel now returns to the state after the command.
  saved_ = TransformRec;
  Show(TransformRec);
  FillColumns();
}

}  // namespace sorvel
