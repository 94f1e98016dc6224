// "Plots" (TPlot_Form): box plots and group comparison plots of a run, one symbol per
// group side by side, chosen in the plot list. Explore and the one-way analysis of
// variance start it with StartPlots.
#pragma once

#include <string>

#include "data/data_list.h"
#include "explore/plots.h"
#include "ui/chart_form.h"

class QActionGroup;
class QLabel;
class QListWidget;
class QMenu;
class QScrollBar;
class QSpinBox;

namespace sorvel {

class TPlot_Form : public TChartForm {
  Q_OBJECT
 public:
  explicit TPlot_Form(QWidget* owner);

  // Copies the caller's run, remembers the data set's column layout, counts the groups and
  // draws the selected plot (the first when none is selected).
  void StartPlots(const TRunInfo& ri);

  QListWidget* ListBox_Plots = nullptr;
  QScrollBar* ScrollBar_PlotWidth = nullptr;
  QSpinBox* UpDown_LineThickness = nullptr;
  QLabel* Label_Y = nullptr;  // "Y=" of the point under the mouse
  QAction* GridLinesAction = nullptr;
  QMenu* AxisDecimalsMenu = nullptr;
  QActionGroup* AxisDecimalsGroup = nullptr;  // data: -1 floating, 0..9
  QAction* FileModsAction = nullptr;
  QAction* PooledAction = nullptr;
  QAction* SampleSizeAction = nullptr;
  QAction* SpecificationsAction = nullptr;

  TPlotOptions Options() const;
  const TPlotResult& Result() const { return result_; }
  const TRunInfo& Run() const { return ri_; }
  // Activation: cleared when the columns changed since the start; redrawn when the data did.
  void Activated();

 protected:
  void DrawChart() override;
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  TRunInfo ri_;
  bool started_ = false;
  std::int32_t columnsChange_ = 0, dataChange_ = 0, newData_ = 0;
  TPlotResult result_;
};

}  // namespace sorvel
