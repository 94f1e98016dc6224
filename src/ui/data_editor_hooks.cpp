#include "ui/data_editor_hooks.h"

namespace sorvel {

TDataEditorHooks& DataEditorHooks() {
  static TDataEditorHooks hooks;
  return hooks;
}

}  // namespace sorvel
