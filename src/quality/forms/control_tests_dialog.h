// "Tests for Statistical Control": chooses the run tests of standard and moving-range
// charts and their lengths, and stores them as the default.
#pragma once

#include <array>

#include <QDialog>

#include "quality/control_tests.h"

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace sorvel {

class TForm_ControlTests : public QDialog {
  Q_OBJECT
 public:
  explicit TForm_ControlTests(QWidget* owner);

  // CheckBox1 .. CheckBox9 (index = test), CheckBox11 .. CheckBox18 (index = test, no 9).
  std::array<QCheckBox*, 10> StdBoxes{};
  std::array<QCheckBox*, 10> MRBoxes{};
  // SpinEdit2 .. SpinEdit8 (TestParam), SpinEdit17 and SpinEdit18 (TestWindow).
  std::array<QSpinBox*, 10> ParamEdits{};
  std::array<QSpinBox*, 10> WindowEdits{};
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* Button_Save = nullptr;
  QPushButton* Button_Restore = nullptr;

  void ShowSettings(const TControlTestSettings& s);
  TControlTestSettings ControlsToSettings() const;

  void OKBtnClick();
  void Button_SaveClick();
  void Button_RestoreClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ZoneParamChanged(int test);
  void ZoneWindowChanged(int test);
};

// Shows the dialog modally (the charts' "Control &Tests Selection").
void ShowControlTestsDialog(QWidget* owner = nullptr);

}  // namespace sorvel
