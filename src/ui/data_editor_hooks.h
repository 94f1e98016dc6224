// What the shell asks of the data editor. The data editor's window fills these in when
// it is registered; until then the shell's data commands stay disabled.
#pragma once

#include <QString>
#include <functional>

namespace sorvel {

struct TDataEditorHooks {
  std::function<bool(const QString& file)> OpenFile;  // load and show the editor
  std::function<void()> ShowEditor;                   // "&Data Editor"
  std::function<void()> NewFile;                      // "&New"
  std::function<void()> OpenDialog;                   // "&Open..."
  std::function<bool()> IsModified;                   // data set changed since last save
  std::function<bool()> SaveAs;                       // true only when the save succeeded
  std::function<void()> ProcessIf;                    // "Process &If" dialog
  bool Available() const { return static_cast<bool>(OpenFile); }
};

TDataEditorHooks& DataEditorHooks();

}  // namespace sorvel
