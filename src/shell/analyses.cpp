// The one place where every subsystem's analyses are collected.
#include "shell/analysis_registry.h"

namespace sorvel {

void RegisterAllAnalyses(TAnalysisRegistry& registry) {
  (void)registry;
}

}  // namespace sorvel
