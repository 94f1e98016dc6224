// "Variables Chart" (TVARchart_Form): the variables control charts of a setup, one at a
// time, chosen from a selection list; the View menu's commands redraw or rebuild it.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "quality/chart_view_options.h"
#include "quality/forms/control_chart_form.h"
#include "quality/variables_chart.h"
#include "quality/variables_points.h"

class QListWidget;
class QSlider;
class QPushButton;

namespace sorvel {

class TVARchart_Form : public TControlChartForm {
  Q_OBJECT
 public:
  explicit TVARchart_Form(QWidget* owner = nullptr);

  // Open: fills the selection list, draws the first chart that has points.
  void Open(const TVarChartRequest& request);

  QListWidget* ListBox_Selection = nullptr;
  QAction* RecalculateAction = nullptr;
  QAction* DisplayViolationsAction = nullptr;
  QAction* DisplayCodesAction = nullptr;
  QAction* ControlTestsAction = nullptr;
  QAction* DisplayZonesAction = nullptr;
  QAction* ShowAllPointsAction = nullptr;
  QAction* Show3SigmaAction = nullptr;
  QAction* ShowSpecificationsAction = nullptr;
  QAction* RemoveLocationAction = nullptr;
  QAction* ConnectPointsAction = nullptr;
  QAction* ShowBreaksAction = nullptr;
  QAction* ClearPointTextAction = nullptr;
  QAction* AddLimitInformationAction = nullptr;
  QAction* AddFileModificationsAction = nullptr;
  QAction* ChartInformationAction = nullptr;  // "&Chart &Information": not built yet
  QPushButton* Button_ChartInformation = nullptr;
  QSlider* TrackBar_Split = nullptr;

  // The chart shown (-1: none) and its point table.
  int Current() const { return current_; }
  const TVarPointTable& Points() const { return points_; }
  const TVarPointTexts& PointTexts() const { return texts_; }
  // The View state as the menus hold it.
  TChartViewOptions ViewOptions() const;

  void Select(int index);  // the selection list's item
  void Recalculate();      // F9

 protected:
  void DrawChart() override;
  void PointClicked(int series, int point, QPoint globalPos) override;
  bool event(QEvent* e) override;

 private:
  void Rebuild();
  void UpdateCommands() override;
  void ClearChart();
  std::int64_t ChangeStamp() const;
  // The data set changed or was replaced since the charts were made.
  bool Stale() const;

  TVarChartRequest request_;
  std::unique_ptr<TVarChartBuilder> builder_;
  std::vector<TVarChartPosition> positions_;
  int current_ = -1;
  TVarPointTable points_;
  TVarPointTexts texts_;
  std::int64_t stamp_ = 0;
  const TDataList* dataUsed_ = nullptr;
};

// Opens the chart window for a setup's request (creating it on first use): fills the
// selection list, draws the first chart that has points, remembers the caller for
// "Return to " + callerName and shows the window. The setup's Action calls it with
// "Variables Chart Setup Form".
void ShowVariablesChart(const TVarChartRequest& request, QWidget* caller,
                        const QString& callerName);
// The window, when it was created (tests).
TVARchart_Form* VariablesChartForm();

}  // namespace sorvel
