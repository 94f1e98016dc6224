#include "explore/register.h"

#include "explore/descriptive_statistics.h"

namespace sorvel {

void RegisterExploreAnalyses(TAnalysisRegistry& registry) {
  registry.Add(DescriptiveStatisticsAnalysis());
}

}  // namespace sorvel
