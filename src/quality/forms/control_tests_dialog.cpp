#include "quality/forms/control_tests_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "numerics/settings_store.h"
#include "quality/control_test_selection.h"
#include "ui/messages.h"
#include "ui/window_registry.h"

namespace sorvel {

namespace {

struct TRow {
  const char* Caption;  // before the length
  const char* Text;     // after it
};
const TRow Rows[] = {
    {"", ""},
    {"Points &Outside Control Limits", ""},
    {"&Run: ", "Consecutive Points All Above or All Below the Centerline"},
    {"&Trend: ", "Consectutive Points All Increasing or All Decreasing"},
    {"&Excess Variablity:", "Consectutive Points Outside One Standard Error"},
    {"&Lack of Variablity:", "Consectutive Points Within One Standard Error"},
    {"&Alternating Values:", "Consectutive Points Alternating directiion"},
    {"Zone Rule &1:", "Consectutive Points Outside One Standard Error"},
    {"Zone Rule &2:", "Consectutive Points Outside Two Standard Errors"},
    {"Excessive &Moving Range between Two Points (3.6864 Standard Errors)", ""},
};

QSpinBox* MakeSpin(QWidget* parent, const QString& name, int min) {
  auto* s = new QSpinBox(parent);
  s->setObjectName(name);
  s->setRange(min, TestParamMax);
  s->setMaximumWidth(60);
  return s;
}

}  // namespace

TForm_ControlTests::TForm_ControlTests(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Form_ControlTests"));
  setWindowTitle(QStringLiteral("Tests for Statistical Control"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* box = new QGroupBox(QStringLiteral("Statistical Tests"), this);
  auto* grid = new QGridLayout(box);
  grid->addWidget(new QLabel(QStringLiteral("Standard"), box), 0, 0);
  grid->addWidget(new QLabel(QStringLiteral("Moving Range"), box), 0, 1);
  for (int t = 1; t <= ControlTestCount; ++t) {
    const auto i = static_cast<std::size_t>(t);
    StdBoxes[i] = new QCheckBox(box);
    StdBoxes[i]->setObjectName(QStringLiteral("CheckBox%1").arg(t));
    grid->addWidget(StdBoxes[i], t, 0, Qt::AlignCenter);
    if (t != 9) {
      MRBoxes[i] = new QCheckBox(box);
      MRBoxes[i]->setObjectName(QStringLiteral("CheckBox%1").arg(10 + t));
      grid->addWidget(MRBoxes[i], t, 1, Qt::AlignCenter);
    }
    auto* row = new QHBoxLayout;
    auto* caption = new QLabel(QString::fromUtf8(Rows[t].Caption), box);
    caption->setBuddy(StdBoxes[i]);
    row->addWidget(caption);
    if (t >= 2 && t <= 8) {
      ParamEdits[i] = MakeSpin(box, QStringLiteral("SpinEdit%1").arg(t), TestParamMin(t));
      row->addWidget(ParamEdits[i]);
      if (t >= 7) {
        row->addWidget(new QLabel(QStringLiteral("of"), box));
        WindowEdits[i] = MakeSpin(box, QStringLiteral("SpinEdit%1").arg(10 + t), ZoneWindowMin);
        row->addWidget(WindowEdits[i]);
        connect(ParamEdits[i], &QSpinBox::valueChanged, this, [this, t] { ZoneParamChanged(t); });
        connect(WindowEdits[i], &QSpinBox::valueChanged, this, [this, t] { ZoneWindowChanged(t); });
      }
      row->addWidget(new QLabel(QString::fromUtf8(Rows[t].Text), box));
    }
    row->addStretch(1);
    grid->addLayout(row, t, 2);
  }
  layout->addWidget(box);

  auto* buttons = new QHBoxLayout;
  OKBtn = new QPushButton(QStringLiteral("O&K"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  Button_Save = new QPushButton(QStringLiteral("&Save as Default"), this);
  Button_Save->setObjectName(QStringLiteral("Button_Save"));
  Button_Restore = new QPushButton(QStringLiteral("Restore &Default"), this);
  Button_Restore->setObjectName(QStringLiteral("Button_Restore"));
  buttons->addWidget(Button_Save);
  buttons->addWidget(Button_Restore);
  buttons->addStretch(1);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  layout->addLayout(buttons);
  connect(OKBtn, &QPushButton::clicked, this, &TForm_ControlTests::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button_Save, &QPushButton::clicked, this, &TForm_ControlTests::Button_SaveClick);
  connect(Button_Restore, &QPushButton::clicked, this, &TForm_ControlTests::Button_RestoreClick);
  ShowSettings(ControlTestSettings());
}

void TForm_ControlTests::showEvent(QShowEvent* event) {
  // Each showing starts from the current settings: Cancel last time left them unchanged.
  ShowSettings(ControlTestSettings());
  QDialog::showEvent(event);
}

void TForm_ControlTests::ShowSettings(const TControlTestSettings& s) {
  for (std::size_t t = 1; t <= ControlTestCount; ++t) {
    StdBoxes[t]->setChecked(s.StdCheck[t]);
    if (MRBoxes[t]) MRBoxes[t]->setChecked(s.MRCheck[t]);
  }
  // Windows first, so that the k < m coupling does not move the values being shown.
  for (std::size_t t = 7; t <= 8; ++t) {
    const QSignalBlocker a(WindowEdits[t]), b(ParamEdits[t]);
    WindowEdits[t]->setValue(s.TestWindow[t]);
    ParamEdits[t]->setValue(s.TestParam[t]);
  }
  for (std::size_t t = 2; t <= 6; ++t) ParamEdits[t]->setValue(s.TestParam[t]);
}

TControlTestSettings TForm_ControlTests::ControlsToSettings() const {
  TControlTestSettings s = ControlTestSettings();  // keeps MRCheck[9], which has no box
  for (std::size_t t = 1; t <= ControlTestCount; ++t) {
    s.StdCheck[t] = StdBoxes[t]->isChecked();
    if (MRBoxes[t]) s.MRCheck[t] = MRBoxes[t]->isChecked();
    if (ParamEdits[t]) s.TestParam[t] = ParamEdits[t]->value();
    if (WindowEdits[t]) s.TestWindow[t] = WindowEdits[t]->value();
  }
  return s;
}

// The zone rules keep k < m.
void TForm_ControlTests::ZoneParamChanged(int test) {
  const auto t = static_cast<std::size_t>(test);
  if (ParamEdits[t]->value() >= WindowEdits[t]->value()) {
    if (ParamEdits[t]->value() >= TestParamMax) ParamEdits[t]->setValue(TestParamMax - 1);
    WindowEdits[t]->setValue(ParamEdits[t]->value() + 1);
  }
}

void TForm_ControlTests::ZoneWindowChanged(int test) {
  const auto t = static_cast<std::size_t>(test);
  if (WindowEdits[t]->value() <= ParamEdits[t]->value())
    ParamEdits[t]->setValue(WindowEdits[t]->value() - 1);
}

void TForm_ControlTests::OKBtnClick() {
  ControlTestSettings() = ControlsToSettings();
  accept();
}

void TForm_ControlTests::Button_SaveClick() {
  ControlTestSettings() = ControlsToSettings();
  WriteControlTestSettings(Settings(), ControlTestSettings());
  Beep();
  ShowMessage(QString::fromLatin1(SettingsSavedMessage));
}

void TForm_ControlTests::Button_RestoreClick() {
  LoadControlTestSettings();
  ShowSettings(ControlTestSettings());
}

void ShowControlTestsDialog(QWidget* owner) {
  TForm_ControlTests dialog(owner);
  dialog.exec();
}

}  // namespace sorvel
