#pragma once

namespace sorvel {

// Registers the windows of quality control with the window registry.
void RegisterQualityForms();

}  // namespace sorvel
