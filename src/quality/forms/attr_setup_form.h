// "Attributes Chart Setup" (TForm_AttrSetup): the measures (page "Columns") or a measure
// and its grouping variables (page "Reference"), the chart type, limit calculation, centre
// line and sample size of the attribute charts. The core (quality/attributes_limits.h)
// validates the choices; Action opens the chart window.
#pragma once

#include "quality/attributes_chart.h"
#include "ui/analysis_form.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;

namespace sorvel {

class TDualListPicker;
class TSingleVarPicker;

class TForm_AttrSetup : public TAnalysisForm {
  Q_OBJECT
 public:
  explicit TForm_AttrSetup(QWidget* owner);

  QTabWidget* PageControl = nullptr;  // pages "Columns" and "Reference"
  // Page "Columns"
  TDualListPicker* Picker = nullptr;
  QListWidget* DataVarList = nullptr;
  QListWidget* ListBox_AnalysisVar = nullptr;
  TSingleVarPicker* Edit_SampleCol = nullptr;  // the sample-size column
  QCheckBox* CheckBox_nCol = nullptr;          // "Constant Sample Size"
  QLineEdit* Edit_nCol = nullptr;
  TSingleVarPicker* Edit_SetsCol = nullptr;
  QLabel* Label_SetsCol = nullptr;
  // Page "Reference"
  QListWidget* RefVarList = nullptr;
  TSingleVarPicker* Edit_Measure = nullptr;
  QListWidget* IndVarList = nullptr;  // "Grouping Variables"
  QPushButton* SpeedButton_IndIn = nullptr;
  QPushButton* SpeedButton_IndOut = nullptr;
  TSingleVarPicker* Edit_SampleRef = nullptr;
  QCheckBox* CheckBox_nRef = nullptr;
  QLineEdit* Edit_nRef = nullptr;
  TSingleVarPicker* Edit_SetsRef = nullptr;
  QLabel* Label_SetsRef = nullptr;

  QGroupBox* RadioGroup_Type = nullptr;
  QButtonGroup* Type = nullptr;  // 0 p, 1 np, 2 c, 3 u
  QGroupBox* RadioGroup_Calc = nullptr;
  QButtonGroup* Calc = nullptr;  // the limit methods 0 .. 7
  QGroupBox* RadioGroup_CL = nullptr;
  QButtonGroup* CL = nullptr;  // Mean, Median, Known Parameter
  QLineEdit* Edit_Parameter = nullptr;
  QLabel* Label_Parameter = nullptr;  // "Pi:" or "Lambda:"
  QLineEdit* Edit_StdErr = nullptr;
  QComboBox* ComboBox_AL = nullptr;
  QGroupBox* GroupBox_Limits = nullptr;  // "User Defined Limits"
  QCheckBox *CheckBox_UCL = nullptr, *CheckBox_CL = nullptr, *CheckBox_LCL = nullptr;
  QLineEdit *Edit_UCL = nullptr, *Edit_CL = nullptr, *Edit_LCL = nullptr;
  QPushButton* Button_Action = nullptr;

  TAttrSetupChoices Choices() const;
  // Shows and hides the controls that depend on the choices.
  void Refresh();
  // Action: validation, then the chart window. False when a message or a beep stopped it.
  bool CalcButtonClick();
  const TAttrChartRequest& LastRequest() const { return lastRequest_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FillLists();
  void TypeChosen(int type);
  bool ReferencePage() const;

  std::int32_t seenNewData_ = -1, seenColumns_ = -1;
  TAttrChartRequest lastRequest_;
};

}  // namespace sorvel
