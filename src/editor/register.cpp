#include "editor/register.h"

#include "data/data_rules.h"
#include "data/data_state.h"
#include "editor/data_form.h"
#include "ui/data_editor_hooks.h"
#include "ui/messages.h"
#include "ui/window_registry.h"

namespace sorvel {

namespace {

// The editor, created on first need.
TDataForm* Editor() { return static_cast<TDataForm*>(FormFor("data-editor")); }

void ShowFromMain(TDataForm* editor) {
  editor->ShowDataEditor(nullptr, QStringLiteral("Main Form"));
}

}  // namespace

void RegisterDataForms() {
  RegisterForm("data-editor", [](QWidget* owner) { return new TDataForm(owner); });
  TDataEditorHooks& hooks = DataEditorHooks();
  hooks.OpenFile = [](const QString& file) {
    TDataForm* editor = Editor();
    const bool ok = editor->FileToDataGrid(file);
    if (ok) ShowFromMain(editor);
    return ok;
  };
  hooks.ShowEditor = [] { ShowFromMain(Editor()); };
  hooks.NewFile = [] {
    TDataForm* editor = Editor();
    editor->New();
    ShowFromMain(editor);
  };
  hooks.OpenDialog = [] {
    TDataForm* editor = Editor();
    if (editor->OpenClick()) ShowFromMain(editor);
  };
  hooks.IsModified = [] { return DataEditor.FileModified; };
  hooks.SaveAs = [] { return Editor()->SaveAs(); };
  hooks.ProcessIf = [] { Editor()->ProcessIfClick(); };
  SetBlankCommaQuestion([] { return AskYesNo(QString::fromLatin1(BlankCommasQuestion)); });
}

}  // namespace sorvel
