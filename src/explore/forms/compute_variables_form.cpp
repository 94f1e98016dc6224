#include "explore/forms/compute_variables_form.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
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

#include <functional>
#include <optional>

#include "analysis/analysis.h"
#include "data/data_state.h"
#include "numerics/format.h"
#include "output/report_writer.h"
#include "ui/messages.h"
#include "ui/report_view.h"

namespace sorvel {

namespace {

constexpr int ComputeVariablesHelpTopic = 7700;

// "Generate BKB": information lines, one prompt and a box; OK only while `valid` accepts
// the text. Nothing when cancelled.
std::optional<QString> BkbDialog(QWidget* parent, const QStringList& lines, const QString& prompt,
                                 const QString& initial,
                                 const std::function<bool(const QString&)>& valid) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Generate BKB"));
  auto* layout = new QVBoxLayout(&dialog);
  for (const QString& line : lines) layout->addWidget(new QLabel(line, &dialog));
  auto* label = new QLabel(prompt, &dialog);
  auto* edit = new QLineEdit(initial, &dialog);
  edit->setObjectName(QStringLiteral("Edit_Value"));
  label->setBuddy(edit);
  layout->addWidget(label);
  layout->addWidget(edit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  layout->addWidget(buttons);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  auto check = [&] { ok->setEnabled(valid(edit->text())); };
  QObject::connect(edit, &QLineEdit::textChanged, &dialog, check);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  check();
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return edit->text();
}

bool PositiveInteger(const QString& text) {
  bool ok = false;
  const int k = text.trimmed().toInt(&ok);
  return ok && k > 0;
}

bool PositiveNumber(const QString& text) {
  double x = 0;
  return ReadPlainNumber(text.trimmed().toStdString(), x) && x > 0;
}

QListWidget* MakeList(QWidget* parent, const char* name) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setMinimumWidth(130);
  return list;
}

QPushButton* SmallButton(QWidget* parent, const QString& text, const char* name) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setFixedWidth(36);
  return b;
}

void AddColumnItem(QListWidget* list, int column) {
  auto* item = new QListWidgetItem(QString::fromStdString(DataList().ColumnName(column)), list);
  item->setData(Qt::UserRole, column);
}

}  // namespace

TBkbox_Form::TBkbox_Form(QWidget* owner)
    : TAnalysisForm(owner, QStringLiteral("Compute Variables from Sample Data"),
                    QStringLiteral("Compute Variables from Sample Data"),
                    ComputeVariablesHelpTopic) {
  setObjectName(QStringLiteral("Bkbox_Form"));
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  PageControl = new QTabWidget(central);
  PageControl->setObjectName(QStringLiteral("PageControl"));

  // ---- By Independent Variables ----
  auto* page1 = new QWidget(PageControl);
  auto* grid = new QGridLayout(page1);
  ListBox_Data = MakeList(page1, "ListBox_Data");
  grid->addWidget(new QLabel(QStringLiteral("Data Variables"), page1), 0, 0);
  grid->addWidget(ListBox_Data, 1, 0, 4, 1);
  auto* measureIn = SmallButton(page1, QStringLiteral(">"), "Button_MeasureIn");
  auto* measureOut = SmallButton(page1, QStringLiteral("<"), "Button_MeasureOut");
  auto* measureButtons = new QVBoxLayout;
  measureButtons->addWidget(measureIn);
  measureButtons->addWidget(measureOut);
  grid->addLayout(measureButtons, 1, 1);
  Edit_Measure = new QLineEdit(page1);
  Edit_Measure->setObjectName(QStringLiteral("Edit_Measure"));
  Edit_Measure->setReadOnly(true);
  grid->addWidget(new QLabel(QStringLiteral("Dependent Variable"), page1), 0, 2);
  grid->addWidget(Edit_Measure, 1, 2, Qt::AlignTop);
  auto* indepButtons = new QVBoxLayout;
  auto* addOne = SmallButton(page1, QStringLiteral(">"), "Button_Add");
  auto* addAll = SmallButton(page1, QStringLiteral(">>"), "Button_AddAll");
  auto* removeOne = SmallButton(page1, QStringLiteral("<"), "Button_Remove");
  auto* removeAll = SmallButton(page1, QStringLiteral("<<"), "Button_RemoveAll");
  for (auto* b : {addOne, addAll, removeOne, removeAll}) indepButtons->addWidget(b);
  grid->addLayout(indepButtons, 3, 1);
  ListBox_Independent = MakeList(page1, "ListBox_Independent");
  grid->addWidget(new QLabel(QStringLiteral("Independent Variables"), page1), 2, 2);
  grid->addWidget(ListBox_Independent, 3, 2, 2, 1);

  auto* statistics = new QButtonGroup(this);
  const std::pair<const char*, std::vector<int>> groups[] = {
      {"Dispersion Testing", {0, 1, 2, 3, 4}},
      {"Standardizing", {5, 6, 7}},
      {"Sample Statistics", {8, 9, 10, 11, 12, 13, 14, 15, 17, 18}},
      {"Ranking", {16}},
  };
  auto* boxes = new QGridLayout;
  int place = 0;
  for (const auto& [title, members] : groups) {
    auto* box = new QGroupBox(QString::fromLatin1(title), page1);
    auto* inner = new QGridLayout(box);
    int k = 0;
    for (int stat : members) {
      auto* rb = new QRadioButton(QString::fromLatin1(SampleStatisticName(stat).Caption), box);
      rb->setObjectName(QStringLiteral("RadioButton%1").arg(stat));
      statistics->addButton(rb, stat);
      RadioButton[stat] = rb;
      const int perColumn = members.size() > 5 ? 5 : static_cast<int>(members.size());
      inner->addWidget(rb, k % perColumn, k / perColumn);
      ++k;
    }
    boxes->addWidget(box, place < 2 ? 0 : 1, place % 2);
    ++place;
  }
  grid->addLayout(boxes, 0, 3, 5, 1);
  RadioButton[StatMean]->setChecked(true);
  PageControl->addTab(page1, QStringLiteral("By Independent Variables"));

  // ---- Across Rows ----
  auto* page2 = new QWidget(PageControl);
  auto* row2 = new QHBoxLayout(page2);
  auto* dataColumn = new QVBoxLayout;
  ListBox_RowData = MakeList(page2, "ListBox_RowData");
  dataColumn->addWidget(new QLabel(QStringLiteral("Data Variables"), page2));
  dataColumn->addWidget(ListBox_RowData);
  auto* selButtons = new QVBoxLayout;
  auto* selAdd = SmallButton(page2, QStringLiteral(">"), "Button_SelectedAdd");
  auto* selRemove = SmallButton(page2, QStringLiteral("<"), "Button_SelectedRemove");
  selButtons->addStretch(1);
  selButtons->addWidget(selAdd);
  selButtons->addWidget(selRemove);
  selButtons->addStretch(1);
  auto* selColumn = new QVBoxLayout;
  ListBox_Selected = MakeList(page2, "ListBox_Selected");
  selColumn->addWidget(new QLabel(QStringLiteral("Selected Variables"), page2));
  selColumn->addWidget(ListBox_Selected);
  auto* statBox = new QGroupBox(QStringLiteral("&Statistics"), page2);
  statBox->setObjectName(QStringLiteral("RadioGroup_Statistics"));
  auto* statLayout = new QVBoxLayout(statBox);
  RadioGroup_Statistics = new QButtonGroup(this);
  for (int i = 0; i < AcrossStatisticCount; ++i) {
    auto* rb = new QRadioButton(QString::fromLatin1(AcrossStatisticName(i).Item), statBox);
    RadioGroup_Statistics->addButton(rb, i);
    statLayout->addWidget(rb);
  }
  RadioGroup_Statistics->button(0)->setChecked(true);
  row2->addLayout(dataColumn);
  row2->addLayout(selButtons);
  row2->addLayout(selColumn);
  row2->addWidget(statBox);
  PageControl->addTab(page2, QStringLiteral("Across Rows"));

  column->addWidget(PageControl);
  auto* bottom = new QHBoxLayout;
  auto* nameLabel = new QLabel(QStringLiteral("New Variable Name"), central);
  Edit_NewName = new QLineEdit(central);
  Edit_NewName->setObjectName(QStringLiteral("Edit_NewName"));
  nameLabel->setBuddy(Edit_NewName);
  Button_Action = MakeActionButton(central);
  bottom->addWidget(nameLabel);
  bottom->addWidget(Edit_NewName, 1);
  bottom->addWidget(Button_Action);
  column->addLayout(bottom);
  RichEdit = new TReportView(central);
  RichEdit->setObjectName(QStringLiteral("RichEdit"));
  column->addWidget(RichEdit, 1);
  setCentralWidget(central);
  SetCurrentReport(RichEdit);

  connect(measureIn, &QPushButton::clicked, this, [this] {
    if (auto* item = ListBox_Data->currentItem()) SetMeasure(item->data(Qt::UserRole).toInt());
  });
  connect(ListBox_Data, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { SetMeasure(item->data(Qt::UserRole).toInt()); });
  connect(measureOut, &QPushButton::clicked, this, [this] { SetMeasure(0); });
  connect(addOne, &QPushButton::clicked, this, [this] { AddIndependent(false); });
  connect(addAll, &QPushButton::clicked, this, [this] { AddIndependent(true); });
  connect(removeOne, &QPushButton::clicked, this, [this] { RemoveIndependent(false); });
  connect(removeAll, &QPushButton::clicked, this, [this] { RemoveIndependent(true); });
  connect(selAdd, &QPushButton::clicked, this, &TBkbox_Form::AddSelected);
  connect(selRemove, &QPushButton::clicked, this, &TBkbox_Form::RemoveSelected);
  connect(statistics, &QButtonGroup::idClicked, this, [this](int) { UpdateChoices(); });
  connect(RadioGroup_Statistics, &QButtonGroup::idClicked, this, [this](int) { UpdateChoices(); });
  connect(PageControl, &QTabWidget::currentChanged, this, [this](int) { UpdateChoices(); });
  // A typed blank becomes "_".
  connect(Edit_NewName, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (!text.contains(QLatin1Char(' '))) return;
    const int at = Edit_NewName->cursorPosition();
    Edit_NewName->setText(QString(text).replace(QLatin1Char(' '), QLatin1Char('_')));
    Edit_NewName->setCursorPosition(at);
  });
  connect(Button_Action, &QPushButton::clicked, this, &TBkbox_Form::Button_ActionClick);

  Dialogs.AskSubgroups = [this](const TBkbSizes& sizes, int& k) {
    const QStringList lines = {QStringLiteral("Avg Sample Size per Run = ") +
                                   QString::fromStdString(FormatReal(sizes.Average, 1)),
                               QStringLiteral("Min Sample Size per Run = %1").arg(sizes.Smallest),
                               QStringLiteral("Max Sample Size per Run = %1").arg(sizes.Largest)};
    const int most = sizes.MaxSubgroups;
    auto answer = BkbDialog(this, lines, QStringLiteral("Enter Number of Subgroups per Run:"),
                            QString::number(sizes.DefaultSubgroups), [most](const QString& t) {
                              return PositiveInteger(t) && t.trimmed().toInt() <= most;
                            });
    if (!answer) return false;
    k = answer->trimmed().toInt();
    return true;
  };
  Dialogs.AskMinimumRange = [this](const std::string& run, double& range) {
    Beep();
    Beep();
    auto answer =
        BkbDialog(this, {QString::fromStdString(ZeroVarianceText + run)},
                  QStringLiteral("Enter Minimum Range to use:"), QString(), PositiveNumber);
    if (!answer) return false;
    return ReadPlainNumber(answer->trimmed().toStdString(), range);
  };

  resize(900, 560);
  RebuildLists();
}

void TBkbox_Form::RebuildLists() {
  if (seenColumns_ == ColumnsChangeCount && seenNewData_ == NewDataCount) return;
  if (seenNewData_ != NewDataCount) RichEdit->ClearReport();  // a new data set
  seenColumns_ = ColumnsChangeCount;
  seenNewData_ = NewDataCount;
  for (QListWidget* l : {ListBox_Data, ListBox_Independent, ListBox_RowData, ListBox_Selected})
    l->clear();
  MeasureColumn = 0;
  Edit_Measure->clear();
  TDataList& d = DataList();
  if (d.HaveData()) {
    if (d.DataChanged) d.UpdateData();
    for (int c = 1; c <= d.MaxCol(); ++c) {
      AddColumnItem(ListBox_Data, c);
      AddColumnItem(ListBox_RowData, c);
    }
  }
  UpdateChoices();
}

std::vector<int> TBkbox_Form::Columns(const QListWidget* list) const {
  std::vector<int> cols;
  for (int i = 0; i < list->count(); ++i) cols.push_back(list->item(i)->data(Qt::UserRole).toInt());
  return cols;
}

void TBkbox_Form::SetMeasure(int column) {
  MeasureColumn = column;
  Edit_Measure->setText(column ? QString::fromStdString(DataList().ColumnName(column)) : QString());
  UpdateChoices();
}

void TBkbox_Form::AddIndependent(bool all) {
  const std::vector<int> have = Columns(ListBox_Independent);
  for (int i = 0; i < ListBox_Data->count(); ++i) {
    QListWidgetItem* item = ListBox_Data->item(i);
    const int c = item->data(Qt::UserRole).toInt();
    if ((all || item->isSelected()) && std::find(have.begin(), have.end(), c) == have.end())
      AddColumnItem(ListBox_Independent, c);
  }
  UpdateChoices();
}

void TBkbox_Form::RemoveIndependent(bool all) {
  for (int i = ListBox_Independent->count() - 1; i >= 0; --i)
    if (all || ListBox_Independent->item(i)->isSelected()) delete ListBox_Independent->takeItem(i);
  UpdateChoices();
}

void TBkbox_Form::AddSelected() {
  const std::vector<int> have = Columns(ListBox_Selected);
  for (QListWidgetItem* item : ListBox_RowData->selectedItems()) {
    const int c = item->data(Qt::UserRole).toInt();
    if (std::find(have.begin(), have.end(), c) == have.end()) AddColumnItem(ListBox_Selected, c);
  }
  UpdateChoices();
}

void TBkbox_Form::RemoveSelected() {
  for (int i = ListBox_Selected->count() - 1; i >= 0; --i)
    if (ListBox_Selected->item(i)->isSelected()) delete ListBox_Selected->takeItem(i);
  UpdateChoices();
}

int TBkbox_Form::Statistic() const {
  for (int i = 0; i < SampleStatisticCount; ++i)
    if (RadioButton[i]->isChecked()) return i;
  return StatMean;
}

int TBkbox_Form::AcrossStatistic() const { return std::max(0, RadioGroup_Statistics->checkedId()); }

void TBkbox_Form::UpdateChoices() {
  SelectionText = SampleStatisticName(Statistic()).Caption;
  if (PageControl->currentIndex() == 0) {
    Edit_NewName->setText(
        QString::fromStdString(DefaultSampleName(DataList(), MeasureColumn, Statistic())));
    Button_Action->setEnabled(MeasureColumn != 0);
  } else {
    const bool enough = ListBox_Selected->count() >= 2;
    const int stat = AcrossStatistic();
    Edit_NewName->setText(
        enough ? QString::fromStdString(DefaultAcrossName(stat, AcrossCounter[stat])) : QString());
    Button_Action->setEnabled(enough);
  }
}

void TBkbox_Form::AppendReport(const std::vector<std::string>& lines) {
  TReport report = RichEdit->Report();
  {
    TReportScope scope(report);
    BodyStyle(8);
    for (const auto& line : lines) {
      if (line.empty())
        WriteBlankLine();
      else
        WriteLine(line);
    }
  }
  RichEdit->SetReport(report);
}

void TBkbox_Form::Button_ActionClick() {
  TDataList& d = DataList();
  if (d.MaxCol() >= MaxColumns) {
    ShowInfo(QStringLiteral("Maximum Number of Columns Exceeded."));
    return;
  }
  const std::string name = Edit_NewName->text().toStdString();
  TComputeResult res;
  if (PageControl->currentIndex() == 0) {
    if (MeasureColumn == 0) return;
    TSampleInputs in;
    in.Dependent = MeasureColumn;
    in.Independent = Columns(ListBox_Independent);
    in.Statistic = Statistic();
    in.NewName = name;
    res = ComputeSampleVariable(d, in, Dialogs);
  } else {
    if (ListBox_Selected->count() < 2) return;
    const int stat = AcrossStatistic();
    res = ComputeAcrossRows(d, Columns(ListBox_Selected), stat,
                            name.empty() ? DefaultAcrossName(stat, AcrossCounter[stat]) : name);
    if (res.Message.empty()) ++AcrossCounter[stat];
  }
  if (res.Cancelled) return;
  if (!res.Message.empty()) {
    ShowInfo(QString::fromStdString(res.Message));
    return;
  }
  AppendReport(res.ReportLines);
  // The new column joins the lists; this window has taken the columns' change.
  AddColumnItem(ListBox_Data, res.Column);
  AddColumnItem(ListBox_RowData, res.Column);
  DataEditorLostFocus();
  seenColumns_ = ColumnsChangeCount;
  UpdateChoices();
}

void TBkbox_Form::showEvent(QShowEvent* event) {
  RebuildLists();
  TAnalysisForm::showEvent(event);
}

}  // namespace sorvel
