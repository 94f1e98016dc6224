#include "hypothesis/register.h"

#include "hypothesis/crosstabs.h"
#include "hypothesis/mean_dispersion_tests.h"
#include "hypothesis/nonparametric_tests.h"
#include "hypothesis/oneway_anova.h"
#include "hypothesis/statistic_calculator.h"

namespace sorvel {

void RegisterHypothesisAnalyses(TAnalysisRegistry& registry) {
  registry.Add(TestStatisticsAnalysis());
  registry.Add(MeanDispersionTestsAnalysis());
  registry.Add(CrosstabsAnalysis());
  registry.Add(NonparametricTestsAnalysis());
  registry.Add(OnewayAnovaAnalysis());
}

}  // namespace sorvel
