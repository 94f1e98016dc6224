// "Oneway ANOVA": a measure by the integer codes of a grouping column, fixed or random
// effects or Kruskal-Wallis; the report goes into the window's output page, appended
// after a page mark unless "Clear Before Display" is set.
#pragma once

#include <cstdint>

#include "data/data_list.h"
#include "hypothesis/oneway_anova.h"
#include "ui/analysis_form.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QSpinBox;

namespace sorvel {

// The combos' item indexes, kept for the life of the program so that closing and opening
// the window keeps the choice.
extern int OnewayMeasureIndex, OnewayGroupsIndex;

class TOnewayForm : public TAnalysisForm {
  Q_OBJECT
 public:
  explicit TOnewayForm(QWidget* owner);

  static constexpr int DesignWidth = 780, DesignHeight = 600;
  static constexpr int InitialHeadingSize = 10, InitialBodySize = 8;
  int HeadingSize = InitialHeadingSize, BodySize = InitialBodySize;

  QComboBox* ComboBox_Meas = nullptr;
  QComboBox* ComboBox_Groups = nullptr;
  QSpinBox* SpinEdit1 = nullptr;
  QSpinBox* SpinEdit2 = nullptr;
  QLabel* Label_Spin1 = nullptr;
  QLabel* Label_Spin2 = nullptr;
  QGroupBox* RadioGroup1 = nullptr;
  QButtonGroup* Type = nullptr;  // 0 Fixed, 1 Random, 2 Kruskal-Wallis
  QCheckBox* CheckBox_Disp = nullptr;
  QCheckBox* CheckBox_Pairwise = nullptr;
  QCheckBox* CheckBox_Clear = nullptr;
  QComboBox* ConfComboBox = nullptr;
  TDecimalSpinEdit* DecimalSpinEdit1 = nullptr;
  QPushButton* Button_Action = nullptr;
  TReportView* RichEdit = nullptr;
  QAction* OpenDataAction = nullptr;
  QAction* DataEditorAction = nullptr;
  QAction* PlotsAction = nullptr;
  QAction* IncreaseFontAction = nullptr;
  QAction* DecreaseFontAction = nullptr;

  // Refills the combos from the data set's columns (remembered indexes restored) and
  // resets the code range.
  void FillLists();
  // The grouping column's range on the spin edits; low and high at its ends.
  void GroupsChanged();
  // The level names of the two codes when the grouping column holds text levels.
  void UpdateSpinLabels();
  std::string CommandName() const override { return OnewayAnovaCommand; }
  TOptions CurrentOptions() const override;
  void Button_ActionClick();
  // The run the analysis reads (a measure by level), for the plot window.
  TRunInfo RunDescription() const;
  // "&Plots": the plot window of this run, returning here.
  void PlotsClick();
  void IncreaseFont();  // not above a heading size of 72
  void DecreaseFont();  // not below a body size of 6

 protected:
  void Recompute() override;
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Activated();
  std::int32_t seenNewData_ = -1, seenColumns_ = -1;
  bool filling_ = false;
};

}  // namespace sorvel
