#include "ui/key_filter_qt.h"

#include <QAbstractSpinBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>

#include "ui/messages.h"

namespace sorvel {

namespace {

class TKeyFilterObject : public QObject {
 public:
  TKeyFilterObject(QWidget* target, QLineEdit* edit, TKeyFilter filter)
      : QObject(target), target_(target), edit_(edit), filter_(std::move(filter)) {
    setObjectName(QStringLiteral("SorvelKeyFilter"));
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != target_ || event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    char c = 0;
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    if (key->matches(QKeySequence::Copy))
      c = KeyCopy;
    else if (key->matches(QKeySequence::Paste))
      c = KeyPaste;
    else if (key->matches(QKeySequence::Cut))
      c = KeyCut;
    else if (key->key() == Qt::Key_Backspace)
      c = KeyBackspace;
    else if (!ctrl && key->text().size() == 1 && key->text()[0].unicode() >= 32 &&
             key->text()[0].unicode() < 127)
      c = static_cast<char>(key->text()[0].unicode());
    else if (!ctrl && !key->text().isEmpty() && key->text()[0].unicode() >= 127)
      c = '\x7f';              // any other printable character: refused by every filter
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
  QWidget* target_;
  QLineEdit* edit_;
  TKeyFilter filter_;
};

void Install(QWidget* target, QLineEdit* edit, TKeyFilter filter) {
  if (!target || !edit) return;
  for (auto* old : target->findChildren<QObject*>(QStringLiteral("SorvelKeyFilter"),
                                                  Qt::FindDirectChildrenOnly)) {
    target->removeEventFilter(old);
    delete old;
  }
  if (!filter) return;
  target->installEventFilter(new TKeyFilterObject(target, edit, std::move(filter)));
}

}  // namespace

void SetKeyFilter(QLineEdit* edit, TKeyFilter filter) { Install(edit, edit, std::move(filter)); }

void SetKeyFilter(QAbstractSpinBox* spin, TKeyFilter filter) {
  if (spin) Install(spin, spin->findChild<QLineEdit*>(), std::move(filter));
}

}  // namespace sorvel
