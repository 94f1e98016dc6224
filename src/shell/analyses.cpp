// The one place where every subsystem's analyses are collected.
#include "shell/analysis_registry.h"

namespace sorvel {

void RegisterTestStatistics(TAnalysisRegistry& registry);  // analysis_test_statistics.cpp

void RegisterAllAnalyses(TAnalysisRegistry& registry) {
  RegisterTestStatistics(registry);
}

}  // namespace sorvel
