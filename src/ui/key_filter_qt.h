// Connects the key filters of numeric edit boxes to Qt edit boxes: each typed
// character is offered to the filter; a refused one is dropped with a beep.
#pragma once

#include <functional>

#include "numerics/keyfilters.h"

class QAbstractSpinBox;
class QLineEdit;

namespace sorvel {

using TKeyFilter = std::function<TKeyResult(const TKeyEdit& edit, char key)>;

// Replaces any filter the box had; an empty function removes it.
void SetKeyFilter(QLineEdit* edit, TKeyFilter filter);
// A spin edit takes the keys itself and hands them to its text box directly, so the
// filter sits on the spin edit and reads the text box.
void SetKeyFilter(QAbstractSpinBox* spin, TKeyFilter filter);

}  // namespace sorvel
