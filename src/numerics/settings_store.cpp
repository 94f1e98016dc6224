#include "numerics/settings_store.h"

namespace sorvel {

namespace {
MemorySettingsStore& DefaultStore() {
  static MemorySettingsStore store;
  return store;
}
SettingsStore* current = nullptr;
}  // namespace

SettingsStore& Settings() { return current ? *current : DefaultStore(); }
void SetSettingsStore(SettingsStore* store) { current = store; }

}  // namespace sorvel
