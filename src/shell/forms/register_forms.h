#pragma once

namespace sorvel {
// Registers the windows of every subsystem with the window registry.
void RegisterAllForms();
}  // namespace sorvel
