#include "ui/window_registry.h"

#include <QPointer>
#include <QWidget>
#include <map>

namespace sorvel {

namespace {
struct TFormSlot {
  TFormFactory Factory;
  QPointer<QWidget> Form;
};
std::map<std::string, TFormSlot>& Slots() {
  static std::map<std::string, TFormSlot> table;
  return table;
}
QPointer<QWidget> mainForm;
}  // namespace

void RegisterForm(const std::string& commandName, TFormFactory factory) {
  Slots()[commandName].Factory = std::move(factory);
}

bool HasForm(const std::string& commandName) {
  auto it = Slots().find(commandName);
  return it != Slots().end() && it->second.Factory;
}

QWidget* FormFor(const std::string& commandName) {
  auto it = Slots().find(commandName);
  if (it == Slots().end() || !it->second.Factory) return nullptr;
  if (!it->second.Form) it->second.Form = it->second.Factory(mainForm);
  return it->second.Form;
}

void RestoreAndShow(QWidget* w) {
  if (!w) return;
  if (w->isMinimized()) w->showNormal();
  w->show();
  w->raise();
  w->activateWindow();
}

QWidget* ShowForm(const std::string& commandName) {
  QWidget* w = FormFor(commandName);
  RestoreAndShow(w);
  return w;
}

void SetMainForm(QWidget* main) { mainForm = main; }
QWidget* MainForm() { return mainForm; }
void ShowMainForm() { RestoreAndShow(mainForm); }

std::vector<QWidget*> CreatedForms() {
  std::vector<QWidget*> out;
  for (auto& [name, slot] : Slots())
    if (slot.Form) out.push_back(slot.Form);
  return out;
}

void ResetForms() {
  for (auto& [name, slot] : Slots()) {
    delete slot.Form.data();
    slot.Form = nullptr;
  }
}

}  // namespace sorvel
