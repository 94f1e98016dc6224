#include "explore/register.h"

#include "explore/descriptive_statistics.h"
#include "explore/explore_tables.h"
#include "explore/frequency_plot.h"
#include "explore/histogram.h"
#include "explore/plots.h"

namespace sorvel {

void RegisterExploreAnalyses(TAnalysisRegistry& registry) {
  registry.Add(DescriptiveStatisticsAnalysis());
  registry.Add(ExploreAnalysis());
  registry.Add(HistogramAnalysis());
  registry.Add(PlotsAnalysis());
  registry.Add(FrequencyPlotsAnalysis());
}

}  // namespace sorvel
