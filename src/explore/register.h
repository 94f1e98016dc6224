// The analyses of exploring samples, for the program's registry.
#pragma once

#include "analysis/analysis.h"

namespace sorvel {

void RegisterExploreAnalyses(TAnalysisRegistry& registry);

}  // namespace sorvel
