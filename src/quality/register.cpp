#include "quality/register.h"

namespace sorvel {

void RegisterQualityAnalyses(TAnalysisRegistry& registry) {
  (void)registry;
}

}  // namespace sorvel
