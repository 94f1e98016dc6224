#include "shell/forms/register_forms.h"

#include "editor/register.h"
#include "explore/forms/register.h"
#include "hypothesis/forms/register.h"
#include "quality/forms/register.h"

namespace sorvel {

void RegisterAllForms() {
  RegisterDataForms();
  RegisterHypothesisForms();
  RegisterExploreForms();
  RegisterQualityForms();
}

}  // namespace sorvel
