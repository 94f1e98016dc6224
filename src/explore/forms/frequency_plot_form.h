// "Frequency Plots" (TFrequencyPlotForm): the frequency table of Explore's run in a grid,
// one row per interval and one column per set, rebuilt when the type, the decimals or a
// typed interval size or first midpoint change.
//
// Explore opens it with ShowFrequencyPlot(this, "Explore Form", run) after building its
// run; the window keeps its own copy of the run.
#pragma once

#include <QString>

#include "data/data_list.h"
#include "explore/frequency_plot.h"
#include "ui/analysis_form.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QRadioButton;

namespace sorvel {

class TResultGrid;

class TFrequencyPlotForm : public TAnalysisForm {
  Q_OBJECT
 public:
  explicit TFrequencyPlotForm(QWidget* owner);

  // Copies the caller's run, remembers ColumnsChangeCount and builds the table. The run's
  // columns stay marked in the data set as the caller left them.
  void StartFrequencyPlot(const TRunInfo& ri);
  // The table built again from the window's options; nothing after a column change until
  // the window is started again.
  void Rebuild();
  // The grid cleared when the data set's columns changed since the start (activation).
  void CheckColumns();
  void PrintClick();
  void CopyClick();
  TFrequencyOptions Options() const;
  bool Building() const { return building_; }

  QGroupBox* RadioGroup_Type = nullptr;
  QRadioButton* RadioButton_Frequencies = nullptr;
  QRadioButton* RadioButton_Relative = nullptr;
  QRadioButton* RadioButton_Cumulative = nullptr;
  QLabel* Label_Decimals = nullptr;
  TDecimalSpinEdit* DecimalSpinEdit = nullptr;
  QCheckBox* CheckBox_IntervalSize = nullptr;
  QLineEdit* Edit_IntervalSize = nullptr;
  QCheckBox* CheckBox_FirstMidpoint = nullptr;
  QLineEdit* Edit_FirstMidpoint = nullptr;
  TResultGrid* StringGrid = nullptr;
  QProgressBar* ProgressBar = nullptr;

 protected:
  void Recompute() override;  // "&Decimals:" changed
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void TypeChanged();
  TRunInfo ri_;
  std::int32_t columnsChange_ = -1;  // -1: never started
  bool building_ = false;
  int minWidth_ = 0;
};

// Opens "Frequency Plots" for `ri` (the caller's run, as BuildExploreRun fills it): the
// window is created on first use, shown (restored when minimised), its Return goes back to
// `caller` ("Return to " + callerName, e.g. "Explore Form"), and the table is built.
TFrequencyPlotForm* ShowFrequencyPlot(QWidget* caller, const QString& callerName,
                                      const TRunInfo& ri);

}  // namespace sorvel
