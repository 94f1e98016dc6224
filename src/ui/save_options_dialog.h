// "Configure Save": what the data editor's save writes.
#pragma once

class QWidget;

namespace sorvel {

// (Not TSaveOptions: the data core's file writer owns that name.)
struct TSaveChoices {
  bool WantSelection = false;
  bool WantVarNames = true;
  bool WantDescriptions = true;
  // A box whose choice does not apply is shown disabled.
  bool SelectionApplies = true, VarNamesApply = true, DescriptionsApply = true;
};

// Shows the dialog with the current choices; OK copies the three check states into
// `options` and returns true, Cancel leaves them and returns false.
bool ConfigureSave(TSaveChoices& options, QWidget* parent = nullptr);

}  // namespace sorvel
