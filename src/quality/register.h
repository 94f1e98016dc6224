// The analyses of quality control, for the program's registry.
#pragma once

#include "analysis/analysis.h"

namespace sorvel {

void RegisterQualityAnalyses(TAnalysisRegistry& registry);

}  // namespace sorvel
