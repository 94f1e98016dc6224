// The base of the control chart windows ("Attributes Chart", "Variables Chart"): the View
// menu's axis decimals submenu and the toolbar's point size and line thickness, which
// both windows draw their charts with.
#pragma once

#include "quality/chart_view_options.h"
#include "ui/chart_form.h"

class QMenu;
class QScrollBar;
class QSpinBox;

namespace sorvel {

class TControlChartForm : public TChartForm {
  Q_OBJECT
 public:
  TControlChartForm(QWidget* owner, const QString& caption, const QString& subject, int helpTopic);

  // The submenu ("&Floating", "&0" … "&9") is made here; a window places it in its View menu.
  QMenu* AxisDecimalsMenu = nullptr;
  QScrollBar* ScrollBar_PointSize = nullptr;  // 1..25, 3 at start
  QSpinBox* UpDown_LineThickness = nullptr;   // 1..10, 1 at start

  // -1 floating. The submenu's title and tick follow; the chart is drawn again.
  void SetAxisDecimals(int decimals);

 protected:
  // A checkable View command that brings the commands up to date and redraws; the hint,
  // when given, is its tool and status tip.
  QAction* NewViewCheck(const char* caption, bool checked, const char* hint = nullptr);
  // Enables the commands for the chart shown; called before each redraw of NewViewCheck.
  virtual void UpdateCommands() {}
  // " Point Size " and " Line " with their controls, at the end of the toolbar.
  void AddPointStyleControls();
  // What these controls and the shared settings decide: colours, axis decimals, point
  // size, line thickness and the report title.
  void FillStyleOptions(TChartViewOptions& v) const;

 private:
  int axisDecimals_ = -1;
};

}  // namespace sorvel
