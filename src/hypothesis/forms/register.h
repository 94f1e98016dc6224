#pragma once

namespace sorvel {

// Registers the windows of the hypothesis tests with the window registry.
void RegisterHypothesisForms();

}  // namespace sorvel
