// "Compute Variables from Sample Data" (opened from the data editor's Data menu): pick a
// dependent variable, its grouping variables and a statistic (or columns and a statistic
// across rows), press "&Action": one new column in the data editor and a report line.
#pragma once

#include <array>
#include <cstdint>

#include "explore/compute_variables.h"
#include "ui/analysis_form.h"

class QButtonGroup;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTabWidget;

namespace sorvel {

class TBkbox_Form : public TAnalysisForm {
  Q_OBJECT
 public:
  explicit TBkbox_Form(QWidget* owner);

  QTabWidget* PageControl = nullptr;
  // Page "By Independent Variables".
  QListWidget* ListBox_Data = nullptr;
  QLineEdit* Edit_Measure = nullptr;  // the dependent variable (read-only)
  QListWidget* ListBox_Independent = nullptr;
  std::array<QRadioButton*, SampleStatisticCount> RadioButton{};  // RadioButton0..18
  // Page "Across Rows".
  QListWidget* ListBox_RowData = nullptr;
  QListWidget* ListBox_Selected = nullptr;
  QButtonGroup* RadioGroup_Statistics = nullptr;
  QLineEdit* Edit_NewName = nullptr;
  QPushButton* Button_Action = nullptr;
  TReportView* RichEdit = nullptr;

  int MeasureColumn = 0;      // 0: none chosen
  std::string SelectionText;  // the chosen button's caption
  std::array<int, AcrossStatisticCount> AcrossCounter{};

  // The "Generate BKB" dialogs; tests replace them.
  TComputeDialogs Dialogs;

  void SetMeasure(int column);  // 0 clears it
  void AddIndependent(bool all);
  void RemoveIndependent(bool all);
  void AddSelected();
  void RemoveSelected();
  int Statistic() const;
  int AcrossStatistic() const;
  // Default name and the Action button's state after any change of the choices.
  void UpdateChoices();
  void Button_ActionClick();
  void RebuildLists();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::vector<int> Columns(const QListWidget* list) const;
  void AppendReport(const std::vector<std::string>& lines);
  std::int32_t seenColumns_ = -1, seenNewData_ = -1;
};

}  // namespace sorvel
