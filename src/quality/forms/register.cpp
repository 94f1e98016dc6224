#include "quality/forms/register.h"

#include "ui/window_registry.h"

namespace sorvel {

void RegisterQualityForms() {}

}  // namespace sorvel
