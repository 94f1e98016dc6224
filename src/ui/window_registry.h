// Analysis windows by command name: created once on first use, with the main window
// as owner, afterwards only shown and hidden.
#pragma once

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace sorvel {

using TFormFactory = std::function<QWidget*(QWidget* owner)>;

void RegisterForm(const std::string& commandName, TFormFactory factory);
bool HasForm(const std::string& commandName);
// The window of a command, created on first call; nullptr when none is registered.
QWidget* FormFor(const std::string& commandName);
// Creates the window if needed, restores it if minimized, shows it and brings it forward.
QWidget* ShowForm(const std::string& commandName);

void SetMainForm(QWidget* main);
QWidget* MainForm();
// Restores and shows the main window ("Return to Main Form", "Main Form").
void ShowMainForm();

// Brings a top-level window forward, restoring it when minimized.
void RestoreAndShow(QWidget* w);

// Windows created so far (by command name).
std::vector<QWidget*> CreatedForms();

// Forgets every created window (tests).
void ResetForms();

}  // namespace sorvel
