#include "explore/forms/register.h"

#include "explore/descriptive_statistics.h"
#include "explore/forms/descriptive_form.h"
#include "ui/window_registry.h"

namespace sorvel {

void RegisterExploreForms() {
  RegisterForm(DescriptiveStatisticsCommand,
               [](QWidget* owner) { return new TDescriptiveForm(owner); });
}

}  // namespace sorvel
