// The analyses of the hypothesis tests, for the program's registry.
#pragma once

#include "analysis/analysis.h"

namespace sorvel {

void RegisterHypothesisAnalyses(TAnalysisRegistry& registry);

}  // namespace sorvel
