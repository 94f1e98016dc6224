// "Configure Save": what the data editor's save writes.
#pragma once

class QWidget;

namespace sorvel {

struct TSaveOptions {
  bool WantSelection = false;
  bool WantVarNames = true;
  bool WantDescriptions = true;
};

// Shows the dialog with the current choices; OK copies the three check states into
// `options` and returns true, Cancel leaves them and returns false.
bool ConfigureSave(TSaveOptions& options, QWidget* parent = nullptr);

}  // namespace sorvel
