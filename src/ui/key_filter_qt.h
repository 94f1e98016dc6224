// Connects the key filters of numeric edit boxes to Qt edit boxes: each typed
// character is offered to the filter; a refused one is dropped with a beep.
#pragma once

#include <functional>

#include "numerics/keyfilters.h"

class QLineEdit;

namespace sorvel {

using TKeyFilter = std::function<TKeyResult(const TKeyEdit& edit, char key)>;

// Replaces any filter the box had; an empty function removes it.
void SetKeyFilter(QLineEdit* edit, TKeyFilter filter);

}  // namespace sorvel
