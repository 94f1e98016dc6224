#include "hypothesis/forms/statistic_calculator_form.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "hypothesis/statistic_calculator.h"
#include "ui/key_filter_qt.h"
#include "ui/picture_painter.h"
#include "ui/picture_view.h"
#include "ui/report_view.h"

namespace sorvel {

namespace {

const char* const Captions[] = {"z (Normal)", "t", "X\xC2\xB2", "F"};
const char* const Statistics[] = {"z-Value", "t-Value", "X\xC2\xB2-Value", "F-Value"};
const char* const ValueLabels[] = {"z-&Value:", " t-&Value:", "X\xC2\xB2 -&Value:", "F-&Value:"};
const char* const Distributions[] = {"z", "t", "chi-square", "f"};
const char* const TailOptions[] = {"two", "lower", "upper"};
constexpr int ReportHeight = 64;  // two report lines and a margin, at zoom 1

QString U(const char* s) { return QString::fromUtf8(s); }

QLineEdit* MakeEdit(QWidget* parent, const char* name) {
  auto* e = new QLineEdit(QStringLiteral("0"), parent);
  e->setObjectName(QString::fromLatin1(name));
  e->setMaximumWidth(110);
  return e;
}

QButtonGroup* MakeRadioGroup(QGroupBox* box, const QStringList& items) {
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

}  // namespace

TTestStatForm::TTestStatForm(QWidget* owner)
    : TAnalysisForm(owner, QStringLiteral("Test Statistics"), QStringLiteral("Test Statistics"),
                    2800) {
  setObjectName(QStringLiteral("TestStatForm"));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  PageControl = new QTabWidget(central);
  PageControl->setObjectName(QStringLiteral("PageControl1"));
  for (int n = 1; n <= 4; ++n) BuildPage(n);
  layout->addWidget(PageControl, 1);
  auto* buttons = new QHBoxLayout;
  Button_Action = MakeActionButton(central);
  Button_Action->setMinimumWidth(110);
  buttons->addStretch(1);
  buttons->addWidget(Button_Action);
  layout->addLayout(buttons);
  setCentralWidget(central);
  connect(Button_Action, &QPushButton::clicked, this, &TTestStatForm::Button_ActionClick);
  connect(PageControl, &QTabWidget::currentChanged, this, &TTestStatForm::PageChanged);
  PageChanged();
  resize(660, 470);
}

void TTestStatForm::BuildPage(int n) {
  TPage& page = Page(n);
  const auto i = static_cast<std::size_t>(n - 1);
  page.Sheet = new QWidget(PageControl);
  page.Sheet->setObjectName(QStringLiteral("TabSheet%1").arg(n));
  auto* row = new QHBoxLayout(page.Sheet);

  auto* inputs = new QVBoxLayout;
  page.Title = new QLabel(page.Sheet);
  page.Title->setObjectName(QStringLiteral("LabelTitle%1").arg(n));
  QFont bold = page.Title->font();
  bold.setBold(true);
  page.Title->setFont(bold);
  inputs->addWidget(page.Title);

  auto* grid = new QGridLayout;
  static const char* const valueEdits[] = {"EditZV", "EditTV", "EditXV", "EditFV"};
  page.ValueLabel = new QLabel(page.Sheet);
  page.ValueLabel->setObjectName(QStringLiteral("LabelValue%1").arg(n));
  page.ValueEdit = MakeEdit(page.Sheet, valueEdits[i]);
  page.ValueLabel->setBuddy(page.ValueEdit);
  grid->addWidget(page.ValueLabel, 0, 0, Qt::AlignRight);
  grid->addWidget(page.ValueEdit, 0, 1);
  auto addDf = [&](int gridRow, const char* label, const char* name) {
    auto* l = new QLabel(U(label), page.Sheet);
    QLineEdit* e = MakeEdit(page.Sheet, name);
    l->setBuddy(e);
    grid->addWidget(l, gridRow, 0, Qt::AlignRight);
    grid->addWidget(e, gridRow, 1);
    SetKeyFilter(e, PosRealKeyFilter);
    return e;
  };
  if (n == 2) page.Df1Edit = addDf(1, "d&f:", "EditTdf");
  if (n == 3) page.Df1Edit = addDf(1, "d&f:", "EditXdf");
  if (n == 4) {
    page.Df1Edit = addDf(1, "df&1:", "EditFdf1");
    page.Df2Edit = addDf(2, "df&2:", "EditFdf2");
  }
  grid->setColumnStretch(2, 1);
  inputs->addLayout(grid);

  auto* groups = new QHBoxLayout;
  page.TailsBox = new QGroupBox(QStringLiteral("&Tails"), page.Sheet);
  page.TailsBox->setObjectName(QStringLiteral("RadioGroupTails%1").arg(n));
  page.Tails = MakeRadioGroup(
      page.TailsBox, {QStringLiteral("Two"), QStringLiteral("Lower"), QStringLiteral("Upper")});
  page.WantBox = new QGroupBox(QStringLiteral("&Want"), page.Sheet);
  page.WantBox->setObjectName(QStringLiteral("RadioGroupWant%1").arg(n));
  page.Want = MakeRadioGroup(page.WantBox, {QStringLiteral("p-Value"), QStringLiteral("Value")});
  groups->addWidget(page.TailsBox);
  groups->addWidget(page.WantBox);
  inputs->addLayout(groups);
  connect(page.Want, &QButtonGroup::idClicked, this, [this, n] { WantChanged(n); });

  auto* decimals = new QHBoxLayout;
  page.DecimalSpinEdit =
      MakeDecimalSpinEdit(page.Sheet, QStringLiteral("DecimalSpinEdit%1").arg(n));
  auto* decimalsLabel = new QLabel(QStringLiteral("&Decimals:"), page.Sheet);
  decimalsLabel->setBuddy(page.DecimalSpinEdit);
  SetKeyFilter(page.DecimalSpinEdit, IntegerSpinKeyFilter);
  decimals->addWidget(decimalsLabel);
  decimals->addWidget(page.DecimalSpinEdit);
  decimals->addStretch(1);
  inputs->addLayout(decimals);
  inputs->addStretch(1);

  auto* outputs = new QVBoxLayout;
  page.Richedit = new TReportView(page.Sheet);
  page.Richedit->setObjectName(QStringLiteral("Richedit%1").arg(n));
  page.Richedit->setFixedHeight(ReportHeight);
  page.Image = new TPictureView(page.Sheet);
  page.Image->setObjectName(QStringLiteral("Image%1").arg(n));
  connect(page.Image, &TPictureView::CopyGraphRequested, this, &TAnalysisForm::CopyGraph);
  outputs->addWidget(page.Richedit);
  outputs->addWidget(page.Image, 1);

  row->addLayout(inputs, 0);
  row->addLayout(outputs, 1);
  PageControl->addTab(page.Sheet, U(Captions[i]));

  WantChanged(n);
  if (n == 3) page.Title->setText(U("Convert  X\xC2\xB2 -Value to p-Value"));
}

// Title, value label and the value box's key filter follow the "&Want" group.
void TTestStatForm::WantChanged(int n) {
  TPage& page = Page(n);
  const auto i = static_cast<std::size_t>(n - 1);
  const bool wantPV = page.Want->checkedId() != 1;
  const QString statistic = U(Statistics[i]);
  page.Title->setText(wantPV ? QStringLiteral("Convert %1 to p-Value").arg(statistic)
                             : QStringLiteral("Convert p-Value to %1").arg(statistic));
  page.ValueLabel->setText(
      wantPV ? U(ValueLabels[i])
             : (n == 3 ? QStringLiteral("  p-&Value:") : QStringLiteral("p-&Value:")));
  if (!wantPV)
    SetKeyFilter(page.ValueEdit, ProbabilityKeyFilter);
  else if (n <= 2)
    SetKeyFilter(page.ValueEdit, RealKeyFilter);
  else
    SetKeyFilter(page.ValueEdit, PosRealKeyFilter);
}

int TTestStatForm::CurrentPage() const { return PageControl->currentIndex() + 1; }

void TTestStatForm::PageChanged() { SetCurrentReport(Page(CurrentPage()).Richedit); }

void TTestStatForm::Button_ActionClick() {
  const int n = CurrentPage();
  TPage& page = Page(n);
  const auto i = static_cast<std::size_t>(n - 1);
  TOptions options;
  options["distribution"] = Distributions[i];
  options["want"] = page.Want->checkedId() == 1 ? "value" : "p-value";
  const int tail = page.Tails->checkedId();
  options["tails"] = TailOptions[tail >= 0 && tail <= 2 ? tail : 0];
  options["value"] = page.ValueEdit->text().trimmed().toStdString();
  if (n == 4) {
    options["df1"] = page.Df1Edit->text().trimmed().toStdString();
    options["df2"] = page.Df2Edit->text().trimmed().toStdString();
  } else if (page.Df1Edit) {
    options["df"] = page.Df1Edit->text().trimmed().toStdString();
  }
  options["decimals"] = std::to_string(page.DecimalSpinEdit->value());
  const TOutcome outcome = RunAnalysis(TestStatisticsCommand, options, page.Richedit);
  if (outcome.Status == TOutcome::TStatus::Ok && outcome.Picture)
    page.Image->SetPicture(*outcome.Picture);
  else
    page.Image->Blank();
}

void TTestStatForm::AfterZoom(double) {
  for (TPage& page : Pages)
    page.Richedit->setFixedHeight(static_cast<int>(ReportHeight * Size + 0.5));
}

bool TTestStatForm::HasGraphic() const {
  return Pages[static_cast<std::size_t>(CurrentPage() - 1)].Image->HasPicture();
}

void TTestStatForm::PaintGraphic(QPainter& painter, const QRectF& target) const {
  const TPage& page = Pages[static_cast<std::size_t>(CurrentPage() - 1)];
  if (page.Image->HasPicture()) PaintPicture(painter, page.Image->Picture(), target);
}

}  // namespace sorvel
