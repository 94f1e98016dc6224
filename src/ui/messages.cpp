#include "ui/messages.h"

#include <QApplication>
#include <QMessageBox>

#include "numerics/common.h"

namespace sorvel {

namespace {
TMessageLog* recorder = nullptr;

QWidget* BoxParent() { return QApplication::activeWindow(); }
}  // namespace

void SetMessageRecorder(TMessageLog* log) { recorder = log; }

void Beep() {
  if (recorder)
    ++recorder->Beeps;
  else
    QApplication::beep();
}

void ShowInfo(const QString& text) {
  Beep();
  if (recorder) {
    recorder->Texts << text;
    return;
  }
  QMessageBox::critical(BoxParent(), QApplication::applicationName(), text, QMessageBox::Ok);
}

void ShowFileError() { ShowInfo(QStringLiteral("File Error!")); }

void ShowMessage(const QString& text) {
  if (recorder) {
    recorder->Texts << text;
    return;
  }
  QMessageBox::information(BoxParent(), QApplication::applicationName(), text, QMessageBox::Ok);
}

void ShowWarning(const QString& text) {
  if (recorder) {
    recorder->Texts << text;
    return;
  }
  QMessageBox::warning(BoxParent(), QApplication::applicationName(), text, QMessageBox::Ok);
}

int AskYesNoCancel(const QString& text) {
  if (recorder) {
    recorder->Texts << text;
    return recorder->Answer ? recorder->Answer : QMessageBox::Cancel;
  }
  return QMessageBox::question(BoxParent(), QApplication::applicationName(), text,
                               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                               QMessageBox::Yes);
}

bool AskYesNo(const QString& text) {
  if (recorder) {
    recorder->Texts << text;
    return recorder->Answer == QMessageBox::Yes;
  }
  return QMessageBox::question(BoxParent(), QApplication::applicationName(), text,
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void InstallGuiWarningHandler() {
  SetWarningHandler([](const std::string& text) { ShowWarning(QString::fromStdString(text)); });
}

}  // namespace sorvel
