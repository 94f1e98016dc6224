// "Variables Chart" (TVARchart_Form): the variables control charts of a setup, one at a
// time, chosen from a selection list; the View menu's commands redraw or rebuild it.
#pragma once

#include <QString>

#include "quality/variables_points.h"

class QWidget;

namespace sorvel {

// Opens the chart window for a setup's request (creating it on first use): fills the
// selection list, draws the first chart that has points, remembers the caller for
// "Return to " + callerName and shows the window. The setup's Action calls it with
// "Variables Chart Setup Form".
void ShowVariablesChart(const TVarChartRequest& request, QWidget* caller, const QString& callerName);

}  // namespace sorvel
