// "Mean/Dispersion Tests": typed or file summary statistics of one or two groups; the
// report goes to the separate output window, appended after a page mark unless
// "Clear Before Display" is set.
#pragma once

#include <QPointer>
#include <optional>

#include "data/column_selection.h"
#include "hypothesis/mean_dispersion_tests.h"
#include "ui/analysis_form.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace sorvel {

class TColSel_Form;

class TT_testForm : public TAnalysisForm {
  Q_OBJECT
 public:
  explicit TT_testForm(QWidget* owner);

  QLineEdit* Mean1Edit = nullptr;
  QLineEdit* Std1Edit = nullptr;
  QLineEdit* n1edit = nullptr;
  QLineEdit* mean2edit = nullptr;
  QLineEdit* Std2Edit = nullptr;
  QLineEdit* n2edit = nullptr;
  QLineEdit* r12edit = nullptr;
  QLineEdit* dfsEdit = nullptr;
  QLabel* Group1Label = nullptr;
  QLabel* Group2Label = nullptr;
  QLabel* Mean1Label = nullptr;
  QLabel* Mean2Label = nullptr;
  QLabel* Std1Label = nullptr;
  QLabel* Std2Label = nullptr;
  QLabel* n1Label = nullptr;
  QLabel* n2Label = nullptr;
  QLabel* r12Label = nullptr;
  QLabel* dfsLabel = nullptr;
  QComboBox* ConfComboBox = nullptr;
  QGroupBox* RadioGroup_Test = nullptr;
  QGroupBox* RadioGroup_Var = nullptr;
  QGroupBox* RadioGroup_MeanHyp = nullptr;
  QGroupBox* RadioGroup_VarHyp = nullptr;
  QGroupBox* RadioGroup_dfCalcs = nullptr;
  QButtonGroup* Test = nullptr;     // 0..3: tests 1..4
  QButtonGroup* Var = nullptr;      // 0 standard deviation, 1 variance
  QButtonGroup* MeanHyp = nullptr;  // 0 =, 1 >=, 2 <=
  QButtonGroup* VarHyp = nullptr;
  QButtonGroup* dfCalcs = nullptr;  // 0 Standard, 1 df from MSE, 2 sigma known
  TDecimalSpinEdit* DecimalSpinEdit1 = nullptr;
  QPushButton* Button_Action = nullptr;
  QPushButton* Button_FileData = nullptr;
  QPushButton* Button_Reset = nullptr;
  QAction* OpenDataAction = nullptr;
  QAction* DataEditorAction = nullptr;
  QAction* ViewOutputAction = nullptr;

  // Values kept between computations (standard deviations, whatever "&Variance" shows).
  double X1 = 0, X2 = 0, s1 = 0, s2 = 0, r12 = 0;
  int n1 = 0, n2 = 0, dfs = 0;
  double conf = 0.95;
  // Set by "F&ile Data": the groups then come from the data set.
  bool FileData = false;
  TColumnSelection Selection;

  TMDTest CurrentTest() const;
  // The output window, created on first use.
  TTFOutputForm* OutputForm();

  void Button_ActionClick();
  void Button_FileDataClick();
  void ResetClick();
  // The options the window's controls give (texts as typed, commas removed).
  std::string CommandName() const override { return MeanDispersionTestsCommand; }
  TOptions CurrentOptions() const override;
  // Labels, hypothesis items and visibility for the current test, df and variance choice.
  void UpdateLabels();
  // Uses a file-data choice as "F&ile Data" does after the dialog's OK (tests).
  bool UseSelection(const TColumnSelection& sel);

 protected:
  void Recompute() override;  // the decimals changed: the edits show the new decimals
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void EditLeft(QLineEdit* edit);
  void UserEdited(int group);
  void VarianceChanged();
  void RewriteEdits();
  void Activated();
  QString Number(double x) const;

  QPointer<TTFOutputForm> output_;
  TColSel_Form* colSel_ = nullptr;
};

}  // namespace sorvel
