#include "hypothesis/forms/register.h"

#include "hypothesis/forms/test_stat_form.h"
#include "ui/window_registry.h"

namespace sorvel {

void RegisterHypothesisForms() {
  RegisterForm("test-statistics", [](QWidget* owner) { return new TTestStatForm(owner); });
}

}  // namespace sorvel
