// "Histogram" (THistForm): one histogram or frequency polygon per set of Explore's run,
// or of all sets together, chosen in the set list; the options and menu items redraw it.
// Explore (and tests) start it with StartHistogram.
#pragma once

#include <string>
#include <vector>

#include "data/data_list.h"
#include "explore/histogram.h"
#include "ui/chart_form.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace sorvel {

class THistForm : public TChartForm {
  Q_OBJECT
 public:
  explicit THistForm(QWidget* owner);

  // Copies the caller's run, fills the set list ("(All)" first when there are several
  // sets), takes every set's extremes for "&Constant &X Axis", selects the first item and
  // draws. The run's columns stay marked in the data set as the caller left them.
  void StartHistogram(const TRunInfo& ri);

  QListWidget* ListBox_Sets = nullptr;
  QCheckBox* CheckBox_IntervalSize = nullptr;
  QLineEdit* Edit_IntervalSize = nullptr;
  QCheckBox* CheckBox_FirstMidpoint = nullptr;
  QLineEdit* Edit_FirstMidpoint = nullptr;
  QCheckBox* CheckBox_ConstantX = nullptr;
  QCheckBox* CheckBox_NormalCurve = nullptr;
  QRadioButton* RadioButton_Histograms = nullptr;
  QRadioButton* RadioButton_Polygons = nullptr;
  QLabel* Label_SizeUsed = nullptr;
  QLabel* Label_FirstUsed = nullptr;
  QAction* RelativeAction = nullptr;        // "&Relative Frequencies"
  QAction* ProcessLimitsAction = nullptr;   // "Display Process &Limits"
  QAction* SpecificationsAction = nullptr;  // "&Display Specifications"
  QAction* FileModsAction = nullptr;        // "Add File &Modifications to Chart"

  THistogramOptions Options() const;
  // The last histogram drawn (tests, the labels).
  const THistogram& Histogram() const { return hist_; }
  // Chart and set list cleared when the data set's columns changed since the start.
  void CheckColumns();

 protected:
  void DrawChart() override;
  bool event(QEvent* e) override;

 private:
  TRunInfo ri_;
  std::vector<std::string> indexes_;
  std::int32_t columnsChange_ = -1;
  double grandLow_ = 0, grandHigh_ = 0;
  THistogram hist_;
};

}  // namespace sorvel
