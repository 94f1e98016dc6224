#include "explore/forms/register.h"

#include "explore/compute_variables.h"
#include "explore/descriptive_statistics.h"
#include "explore/forms/compute_variables_form.h"
#include "explore/forms/descriptive_form.h"
#include "ui/window_registry.h"

namespace sorvel {

void RegisterExploreForms() {
  RegisterForm(DescriptiveStatisticsCommand,
               [](QWidget* owner) { return new TDescriptiveForm(owner); });
  // Opened from the data editor's Data menu.
  RegisterForm(ComputeVariablesCommand, [](QWidget* owner) { return new TBkbox_Form(owner); });
}

}  // namespace sorvel
