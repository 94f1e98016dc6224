#include "app/register_forms.h"

namespace sorvel {

void RegisterAllForms() {}

}  // namespace sorvel
