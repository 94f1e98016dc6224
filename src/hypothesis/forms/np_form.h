// "Nonparametric Tests": the seven sign and rank tests on the data set's columns. The
// controls shown follow the test and the hypothesis; the groups are two columns ("Define
// &Columns") or two codes of a grouping column ("Define &Reference", tests 2 and 3).
#pragma once

#include <array>
#include <cstdint>

#include "analysis/analysis.h"
#include "hypothesis/nonparametric_tests.h"
#include "ui/analysis_form.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace sorvel {

class TNPForm : public TAnalysisForm {
  Q_OBJECT
 public:
  explicit TNPForm(QWidget* owner);

  QGroupBox* GroupBox_Test = nullptr;
  QButtonGroup* Test = nullptr;  // 0..6 in the radio buttons' order
  std::array<QRadioButton*, 7> RadioButtons{};
  QGroupBox* RadioGroup_Hyp = nullptr;
  QButtonGroup* Hyp = nullptr;  // alternative code
  std::array<QRadioButton*, 3> HypButtons{};
  QLabel* Label_Loc = nullptr;
  QLineEdit* Edit_Loc = nullptr;
  QCheckBox* CheckBox_IncEq = nullptr;
  QComboBox* ComboBox_Conf = nullptr;
  QTabWidget* PageControl = nullptr;  // 0 "Define &Columns", 1 "Define &Reference"
  QComboBox* ComboBox_G1 = nullptr;
  QLabel* Label_G2 = nullptr;
  QComboBox* ComboBox_G2 = nullptr;
  QComboBox* ComboBox_Meas = nullptr;
  QComboBox* ComboBox_Groups = nullptr;
  QSpinBox* SpinEdit1 = nullptr;
  QSpinBox* SpinEdit2 = nullptr;
  QLabel* Label_Spin1 = nullptr;
  QLabel* Label_Spin2 = nullptr;
  QPushButton* Button_Action = nullptr;
  TReportView* RichEdit = nullptr;
  QAction* OpenDataAction = nullptr;
  QAction* DataEditorAction = nullptr;

  TNPTest CurrentTest() const;
  // The options "&Action" runs with (columns and levels by number).
  TOptions Options() const;
  void Button_ActionClick();
  // The lists follow the data set's columns (on activation).
  void FormActivate();

 protected:
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;
  void AfterZoom(double ratio) override;

 private:
  void TestChanged();
  void HypothesisChanged();
  void GroupsChanged();
  void SpinChanged();
  void UpdateZoomHint();

  std::int32_t seenColumns_ = -1;
  std::int32_t seenNewData_ = -1;
};

}  // namespace sorvel
