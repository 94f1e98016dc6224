#include "ui/key_filter_qt.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>

#include "ui/messages.h"

namespace sorvel {

namespace {

class TKeyFilterObject : public QObject {
 public:
  TKeyFilterObject(QLineEdit* edit, TKeyFilter filter)
      : QObject(edit), edit_(edit), filter_(std::move(filter)) {
    setObjectName(QStringLiteral("SorvelKeyFilter"));
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != edit_ || event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    char c = 0;
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    if (key->matches(QKeySequence::Copy)) c = KeyCopy;
    else if (key->matches(QKeySequence::Paste)) c = KeyPaste;
    else if (key->matches(QKeySequence::Cut)) c = KeyCut;
    else if (key->key() == Qt::Key_Backspace) c = KeyBackspace;
    else if (!ctrl && key->text().size() == 1 && key->text()[0].unicode() >= 32 &&
             key->text()[0].unicode() < 127)
      c = static_cast<char>(key->text()[0].unicode());
    else if (!ctrl && !key->text().isEmpty() && key->text()[0].unicode() >= 127)
      c = '\x7f';  // any other printable character: refused by every filter
    if (c == 0) return false;  // navigation, Delete, Enter, Ctrl+A, ...
    TKeyEdit state;
    state.Text = edit_->text().toStdString();
    if (edit_->hasSelectedText()) {
      state.SelStart = edit_->selectionStart();
      state.SelLength = static_cast<int>(edit_->selectedText().size());
    } else {
      state.SelStart = edit_->cursorPosition();
    }
    const TKeyResult result = filter_(state, c);
    if (!result.Accepted) {
      Beep();
      return true;
    }
    if (result.Replace) {
      edit_->setText(QString::fromStdString(result.Replace->Text));
      edit_->setSelection(result.Replace->SelStart, result.Replace->SelLength);
      if (result.Replace->SelLength == 0) edit_->setCursorPosition(result.Replace->SelStart);
    }
    return false;
  }

 private:
  QLineEdit* edit_;
  TKeyFilter filter_;
};

}  // namespace

void SetKeyFilter(QLineEdit* edit, TKeyFilter filter) {
  if (!edit) return;
  for (auto* old : edit->findChildren<QObject*>(QStringLiteral("SorvelKeyFilter"),
                                                Qt::FindDirectChildrenOnly)) {
    edit->removeEventFilter(old);
    delete old;
  }
  if (!filter) return;
  auto* f = new TKeyFilterObject(edit, std::move(filter));
  edit->installEventFilter(f);
}

}  // namespace sorvel
