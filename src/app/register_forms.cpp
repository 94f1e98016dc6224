#include "app/register_forms.h"

#include "hypothesis/forms/register.h"

namespace sorvel {

void RegisterAllForms() {
  RegisterHypothesisForms();
}

}  // namespace sorvel
