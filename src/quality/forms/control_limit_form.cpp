#include "quality/forms/control_limit_form.h"

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

#include "quality/control_limit_calculations.h"
#include "ui/key_filter_qt.h"
#include "ui/messages.h"
#include "ui/report_view.h"

namespace sorvel {

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

QLineEdit* MakeEdit(QWidget* parent, const QString& name, const char* text) {
  auto* e = new QLineEdit(QString::fromLatin1(text), parent);
  e->setObjectName(name);
  e->setMaximumWidth(120);
  return e;
}

TChartType ChartOf(int page) { return static_cast<TChartType>(page); }

const char* StatisticLabel(TChartType chart) {
  switch (chart) {
    case TChartType::P: return "&p:";
    case TChartType::NP: return "&np:";
    case TChartType::C: return "&c:";
    case TChartType::U: return "&u:";
    default: return "&Statistic:";
  }
}

}  // namespace

TControl_Limit_Form::TControl_Limit_Form(QWidget* owner)
    : TAnalysisForm(owner, QStringLiteral("Control Limit Calculations"),
                    QStringLiteral("Control Limit Calculations"), ControlLimitHelpTopic) {
  setObjectName(QStringLiteral("Control_Limit_Form"));
  CopyGraphAction->setVisible(false);  // a report only, no picture
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  PageControl_cc = new QTabWidget(central);
  PageControl_cc->setObjectName(QStringLiteral("PageControl_cc"));
  for (int n = 1; n <= 10; ++n) BuildPage(n);
  layout->addWidget(PageControl_cc, 1);

  auto* bottom = new QHBoxLayout;
  DecimalSpinEdit = MakeDecimalSpinEdit(central, QStringLiteral("DecimalSpinEdit"));
  SetKeyFilter(DecimalSpinEdit, IntegerSpinKeyFilter);
  auto* decimalsLabel = new QLabel(QStringLiteral("&Decimals:"), central);
  decimalsLabel->setBuddy(DecimalSpinEdit);
  Button_Action = MakeActionButton(central);
  Button_Action->setMinimumWidth(110);
  bottom->addWidget(decimalsLabel);
  bottom->addWidget(DecimalSpinEdit);
  bottom->addStretch(1);
  bottom->addWidget(Button_Action);
  layout->addLayout(bottom);
  setCentralWidget(central);

  connect(Button_Action, &QPushButton::clicked, this, &TControl_Limit_Form::Button_ActionClick);
  connect(PageControl_cc, &QTabWidget::currentChanged, this, &TControl_Limit_Form::PageChanged);
  PageChanged();
  resize(640, 430);
}

void TControl_Limit_Form::BuildPage(int n) {
  TPage& page = Page(n);
  const TChartType chart = ChartOf(n);
  page.Sheet = new QWidget(PageControl_cc);
  page.Sheet->setObjectName(QStringLiteral("TabSheet%1").arg(n));
  auto* row = new QHBoxLayout(page.Sheet);
  auto* inputs = new QVBoxLayout;

  page.RadioGroupBox = new QGroupBox(
      IsAttributePage(chart) ? QStringLiteral("Method") : QStringLiteral("Statistic Used"),
      page.Sheet);
  page.RadioGroupBox->setObjectName(QStringLiteral("RadioGroup%1").arg(n));
  page.RadioGroup = new QButtonGroup(page.RadioGroupBox);
  auto* radios = new QVBoxLayout(page.RadioGroupBox);
  radios->setSpacing(2);
  const std::vector<TLimitItem>& items = ChartPageItems(chart);
  for (std::size_t i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(U(items[i].Caption), page.RadioGroupBox);
    page.RadioGroup->addButton(b, static_cast<int>(i));
    radios->addWidget(b);
  }
  page.RadioGroup->button(0)->setChecked(true);
  inputs->addWidget(page.RadioGroupBox);

  auto* grid = new QGridLayout;
  int gridRow = 0;
  auto add = [&](const QString& label, QLineEdit* edit) {
    auto* l = new QLabel(label, page.Sheet);
    l->setBuddy(edit);
    grid->addWidget(l, gridRow, 0, Qt::AlignRight);
    grid->addWidget(edit, gridRow, 1);
    ++gridRow;
    return l;
  };
  if (HasCentreEdit(chart)) {
    page.Edit1 = MakeEdit(page.Sheet, QStringLiteral("Edit%11").arg(n), "0");
    SetKeyFilter(page.Edit1, RealKeyFilter);
    add(QStringLiteral("&Centerline:"), page.Edit1);
  }
  page.Edit2 = MakeEdit(page.Sheet, QStringLiteral("Edit%12").arg(n), "0");
  SetKeyFilter(page.Edit2, PosRealKeyFilter);
  add(U(StatisticLabel(chart)), page.Edit2);
  if (HasSizeEdit(chart)) {
    page.Edit3 = MakeEdit(page.Sheet, QStringLiteral("Edit%13").arg(n), "0");
    // Units of a u chart may be fractions; every other n counts.
    SetKeyFilter(page.Edit3, chart == TChartType::U ? TKeyFilter(PosRealKeyFilter)
                                                    : TKeyFilter(IntegerSpinKeyFilter));
    page.Label3 = add(
        chart == TChartType::X ? QStringLiteral("&n (range):") : QStringLiteral("&n:"), page.Edit3);
  }
  page.Edit4 = MakeEdit(page.Sheet, QStringLiteral("Edit%14").arg(n), "3");
  SetKeyFilter(page.Edit4, PosRealKeyFilter);
  add(QStringLiteral("Std &Err:"), page.Edit4);
  grid->setColumnStretch(2, 1);
  inputs->addLayout(grid);
  inputs->addStretch(1);

  page.RichEdit = new TReportView(page.Sheet);
  page.RichEdit->setObjectName(QStringLiteral("RichEdit%1").arg(n));
  row->addLayout(inputs, 0);
  row->addWidget(page.RichEdit, 1);
  PageControl_cc->addTab(page.Sheet, U(ChartPageCaption(chart)));

  if (chart == TChartType::X)
    connect(page.RadioGroup, &QButtonGroup::idClicked, this, [this] { XItemChanged(); });
}

// On the X page the n edit is the span of the moving range, the number of values, or not
// needed at all for a known sigma.
void TControl_Limit_Form::XItemChanged() {
  TPage& page = Page(static_cast<int>(TChartType::X));
  const int item = page.RadioGroup->checkedId() + 1;
  page.Label3->setText(item >= 3 ? QStringLiteral("&k (values):") : QStringLiteral("&n (range):"));
  const bool shown = item != KnownSigmaSourceX;
  page.Label3->setVisible(shown);
  page.Edit3->setVisible(shown);
}

int TControl_Limit_Form::CurrentPage() const { return PageControl_cc->currentIndex() + 1; }

void TControl_Limit_Form::PageChanged() { SetCurrentReport(Page(CurrentPage()).RichEdit); }

void TControl_Limit_Form::Button_ActionClick() {
  const int n = CurrentPage();
  TPage& page = Page(n);
  const TChartType chart = ChartOf(n);
  const auto item = static_cast<std::size_t>(std::max(page.RadioGroup->checkedId(), 0));
  const std::vector<TLimitItem>& items = ChartPageItems(chart);
  TOptions options;
  options["chart-type"] = ChartPageValue(chart);
  options[IsAttributePage(chart) ? "method" : "statistic-used"] = items[item].Value;
  if (page.Edit1) options["centerline"] = page.Edit1->text().trimmed().toStdString();
  options["statistic"] = page.Edit2->text().trimmed().toStdString();
  if (page.Edit3) options["n"] = page.Edit3->text().trimmed().toStdString();
  options["std-err"] = page.Edit4->text().trimmed().toStdString();
  options["decimals"] = std::to_string(DecimalSpinEdit->value());
  const TOutcome outcome = RunAnalysis(ControlLimitCalculationsCommand, options, page.RichEdit);
  if (outcome.Status == TOutcome::TStatus::Refused) {
    if (outcome.Error == StatisticNotPositiveMessage) page.Edit2->setFocus();
    if (outcome.Error == SizeNotPositiveMessage && page.Edit3) page.Edit3->setFocus();
    return;
  }
  if (LimitCalcReportFailed(page.RichEdit->toPlainText().toStdString())) Beep();
}

}  // namespace sorvel
