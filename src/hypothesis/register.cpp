#include "hypothesis/register.h"

#include "hypothesis/test_statistics.h"

namespace sorvel {

void RegisterHypothesisAnalyses(TAnalysisRegistry& registry) {
  registry.Add(TestStatisticsAnalysis());
}

}  // namespace sorvel
