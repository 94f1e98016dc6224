// Message boxes and the beep every window uses.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace sorvel {

void Beep();
// Beep, then a modal error box with an OK button.
void ShowInfo(const QString& text);
// Beep, then the error box "File Error!".
void ShowFileError();
// A modal information box (no beep) with an OK button.
void ShowMessage(const QString& text);
// A modal warning box (no beep) with an OK button.
void ShowWarning(const QString& text);
// Yes / No / Cancel question; returns QMessageBox::Yes, No or Cancel.
int AskYesNoCancel(const QString& text);
bool AskYesNo(const QString& text);

// Message boxes are recorded instead of shown while a recorder is installed (window tests).
struct TMessageLog {
  QStringList Texts;
  int Answer = 0;  // what questions are answered with (QMessageBox::StandardButton)
  int Beeps = 0;   // warning beeps, counted instead of sounded
};
void SetMessageRecorder(TMessageLog* log);

// Routes the numerical library's warnings to a warning box.
void InstallGuiWarningHandler();

}  // namespace sorvel
