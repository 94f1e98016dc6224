// "Variables Chart Setup" (TForm_VARsetup): the columns, subgrouping, chart types and
// limit methods of a variables control chart. The core (quality/variables_setup.h) says
// what the window shows for its choices and validates them; Action opens the chart.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "quality/variables_setup.h"
#include "ui/analysis_form.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSpinBox;

namespace sorvel {

class TDualListPicker;
class TSingleVarPicker;

class TForm_VARsetup : public TAnalysisForm {
  Q_OBJECT
 public:
  explicit TForm_VARsetup(QWidget* owner);

  // Variable lists: DataVarList and ListBox_Measures belong to the picker.
  TDualListPicker* Picker = nullptr;
  QListWidget* DataVarList = nullptr;
  QListWidget* ListBox_Measures = nullptr;
  QListWidget* ListBox_ChartGroups = nullptr;
  QLabel* Label_ChartGroups = nullptr;
  QPushButton* SpeedButton_GroupsIn = nullptr;   // ">"
  QPushButton* SpeedButton_GroupsOut = nullptr;  // "<"
  QPushButton* SpeedButton_GroupsAll = nullptr;  // "<<"
  TSingleVarPicker* Edit_Sample = nullptr;
  TSingleVarPicker* Edit_Sets = nullptr;
  QLabel* Label_Sample = nullptr;
  QLabel* Label_Sets = nullptr;

  QCheckBox* CheckBox_Sample = nullptr;  // "Constant Sample Size"
  QSpinBox* SpinEdit_SampleSize = nullptr;
  QLabel* Label_SampleSize = nullptr;
  QGroupBox* RadioGroup_Layout = nullptr;
  QButtonGroup* Layout = nullptr;  // 0 Subgroups in Columns, 1 Subgroups in Rows

  QComboBox* ComboBox_LocChartType = nullptr;
  QComboBox* ComboBox_LocLimitCalc = nullptr;
  QComboBox* ComboBox_LocCL = nullptr;
  QComboBox* ComboBox_DispChartType = nullptr;
  QComboBox* ComboBox_DispCalc = nullptr;
  QComboBox* ComboBox_DispCL = nullptr;
  QComboBox* ComboBox_AL = nullptr;
  QLabel* Label_LocLimitCalc = nullptr;
  QLabel* Label_LocCL = nullptr;
  QLabel* Label_DispCalc = nullptr;
  QLabel* Label_DispCL = nullptr;

  QLineEdit* Edit_StdErr = nullptr;
  QSpinBox* SpinEdit_MR = nullptr;
  QLineEdit* Edit_Sigma = nullptr;
  QLineEdit* Edit_Mu = nullptr;
  QLabel* Label_StdErr = nullptr;
  QLabel* Label_MR = nullptr;
  QLabel* Label_Sigma = nullptr;
  QLabel* Label_Mu = nullptr;
  QCheckBox* CheckBox_PositiveLimits = nullptr;

  QGroupBox* GroupBox_LocLimits = nullptr;   // "Location User Defined Limits"
  QGroupBox* GroupBox_DispLimits = nullptr;  // "Dispersion User Defined Limits"
  QCheckBox *CheckBox_UCL = nullptr, *CheckBox_CL = nullptr, *CheckBox_LCL = nullptr;
  QCheckBox *CheckBox_DUCL = nullptr, *CheckBox_DCL = nullptr, *CheckBox_DLCL = nullptr;
  QLineEdit *Edit_UCL = nullptr, *Edit_CL = nullptr, *Edit_LCL = nullptr;
  QLineEdit *Edit_DUCL = nullptr, *Edit_DCL = nullptr, *Edit_DLCL = nullptr;

  QPushButton* Button_Action = nullptr;
  std::array<QLabel*, 3> StatusPanels{};  // missing-value rule, transformation, Process If

  QAction* NewDataAction = nullptr;
  QAction* OpenDataAction = nullptr;
  QAction* DataEditorAction = nullptr;
  QAction* ProcessIfAction = nullptr;

  // The choices the controls hold, and the columns of the lists and slots.
  TVarSetupChoices Choices() const;
  TVarSetupColumns Columns() const;

  // Algorithms 1: refills the combo boxes when the mode changed, shows and hides the
  // controls, enables Action.
  void Refresh();
  // Action: validates, prepares the data set and opens the chart window. False when a
  // message stopped it.
  bool CalcButtonClick();
  // The request of the last Action accepted.
  const TVarChartRequest& LastRequest() const { return lastRequest_; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void Activated();
  void FillLists();
  void UpdateStatusPanels();
  void MoveGroups(QListWidget* from, QListWidget* to);
  void GroupsIn();
  void GroupsOut();
  void GroupsAll();
  void LocationChartChosen();
  void DispersionChartChosen();
  void DispersionMethodChosen();
  void LayoutChosen();
  void ShowChoices(const TVarSetupChoices& choices);
  void ShowLists(const TVarSetupView& view);

  bool filling_ = false;  // combo boxes being refilled: their signals are ignored
  int filledMode_ = -1;   // 1 individuals, 0 subgroups, -1 not filled yet
  std::int32_t seenNewData_ = -1, seenColumns_ = -1;
  std::string shownDispChart_;  // the dispersion chart the lists were named after
  TVarChartRequest lastRequest_;
};

}  // namespace sorvel
