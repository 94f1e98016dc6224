#pragma once

namespace sorvel {

// Registers the windows of exploring samples with the window registry.
void RegisterExploreForms();

}  // namespace sorvel
