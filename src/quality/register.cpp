#include "quality/register.h"

#include "quality/attributes_chart.h"
#include "quality/control_limit_calculations.h"
#include "quality/control_test_selection.h"
#include "quality/variables_control_charts.h"

namespace sorvel {

void RegisterQualityAnalyses(TAnalysisRegistry& registry) {
  registry.Add(ControlLimitCalculationsAnalysis());
  registry.Add(ControlTestSelectionAnalysis());
  registry.Add(VariablesControlChartsAnalysis());
  registry.Add(AttributesControlChartsAnalysis());
}

}  // namespace sorvel
