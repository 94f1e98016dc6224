// "Attributes Chart" (TAttrChart_Form): the attribute control charts of a setup, one at a
// time, chosen from a selection list, with the limit summary in a memo below the chart.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "quality/attributes_chart.h"
#include "quality/forms/control_chart_form.h"

class QListWidget;
class QPlainTextEdit;

namespace sorvel {

class TAttrChart_Form : public TControlChartForm {
  Q_OBJECT
 public:
  explicit TAttrChart_Form(QWidget* owner);

  QListWidget* ListBox_Selection = nullptr;
  QPlainTextEdit* Memo1 = nullptr;

  QAction* RecalculateAction = nullptr;
  QAction* DisplayViolationsAction = nullptr;
  QAction* DisplayCodesAction = nullptr;
  QAction* ControlTestsAction = nullptr;
  QAction* DisplayZonesAction = nullptr;
  QAction* ConnectPointsAction = nullptr;
  QAction* ShowBreaksAction = nullptr;
  QAction* ClearPointTextAction = nullptr;
  QAction* AddLimitInformationAction = nullptr;
  QAction* AddFileModificationsAction = nullptr;
  QAction* CopyTextAction = nullptr;

  // A setup's charts: the selection list filled, the first chart drawn.
  void Open(const TAttrChartRequest& request);
  // Builds and draws the chart at `index` of the selection list.
  void SelectChart(int index);
  void Recalculate();
  bool CopyText();
  const TAttrChartData& Current() const { return current_; }
  TChartViewOptions ViewOptions() const;

 protected:
  void DrawChart() override;
  void PointClicked(int series, int point, QPoint globalPos) override;
  bool event(QEvent* event) override;

 private:
  void Rebuild();
  void UpdateCommands() override;
  // The data changed (edited, or another data set loaded) since the charts were made.
  bool Stale() const;
  void Invalidate();

  TAttrChartRequest request_;
  std::unique_ptr<TAttrChartBuilder> builder_;
  std::vector<TAttrChartPosition> positions_;
  TAttrChartData current_;
  std::int32_t seenChanges_ = 0, seenNewData_ = 0;
  std::map<int, std::string> pointTexts_;  // statistic point index -> its label
};

// Opens the chart window (created on first use) for a setup's request, remembering the
// caller for "Return to " + callerName, and shows it.
void ShowAttributesChart(const TAttrChartRequest& request, QWidget* caller,
                         const QString& callerName);
// The window, when it exists (tests).
TAttrChart_Form* AttributesChartForm();

}  // namespace sorvel
