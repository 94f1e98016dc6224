#pragma once

namespace sorvel {

// Registers the data editor with the window registry and gives the main window its data
// commands (open, new, show, save question).
void RegisterDataForms();

}  // namespace sorvel
