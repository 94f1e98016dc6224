#include "ui/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "ui/window_registry.h"

namespace sorvel {

namespace {

QMargins MarginsOf(const QWidget* w) {
  // The platform window learns the frame once the desktop has drawn it; the widget's
  // frame geometry can lag behind and still show none.
  if (const QWindow* handle = w->windowHandle()) return handle->frameMargins();
  const QRect f = w->frameGeometry();
  const QRect g = w->geometry();
  return {g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom()};
}

bool Inside(const QRect& r, const QRect& area) { return area.contains(r); }

class TScreenKeeper : public QObject {
 public:
  explicit TScreenKeeper(QWidget* window) : QObject(window), window_(window) {
    setObjectName(QStringLiteral("SorvelScreenKeeper"));
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != window_) return false;
    // Spontaneous shows (a window restored by the desktop) keep where the user had it.
    if (event->type() == QEvent::Show && !event->spontaneous()) {
      Place();
      // Shown for the first time, the window had to be placed with a guessed frame. Once
      // the desktop has framed it (by its first activation, or a moment later) it is
      // placed again with the real frame: the main window does so before it opens
      // the windows of its first activation below itself.
      if (!framed_) QTimer::singleShot(300, this, [this] { Reframe(); });
    } else if (event->type() == QEvent::WindowActivate && !framed_) {
      Reframe();
    }
    return false;
  }

 private:
  void Place() {
    const QRect area = AvailableArea(window_);
    if (area.isEmpty()) return;
    const QMargins m = FrameMargins(window_);
    QRect frame = window_->geometry().marginsAdded(m);
    if (!placed_ && !window_->testAttribute(Qt::WA_Moved)) {
      frame.moveTopLeft(FirstPosition(frame.size(), area));
      firstPlace_ = Fit(frame, m);
    } else {
      Fit(frame, m);
    }
    placed_ = true;
  }

  void Reframe() {
    if (framed_ || !window_->isVisible()) return;
    framed_ = true;
    const QMargins m = FrameMargins(window_);
    QRect frame = window_->geometry().marginsAdded(m);
    // Where nobody has moved it since, the first place is worked out again.
    if (firstPlace_.isValid() && window_->geometry() == firstPlace_) {
      const QRect area = AvailableArea(window_);
      if (!area.isEmpty()) frame.moveTopLeft(FirstPosition(frame.size(), area));
    }
    Fit(frame, m);
  }

  // Returns the inner geometry set.
  QRect Fit(const QRect& frame, const QMargins& m) {
    const QRect area = AvailableArea(window_);
    if (area.isEmpty()) return window_->geometry();
    const QRect inner = FitInside(frame, area).marginsRemoved(m);
    // setGeometry places the inner area; the desktop puts the frame around it.
    if (inner != window_->geometry()) window_->setGeometry(inner);
    return inner;
  }

  // The main window, a menu bar, at the top of the screen, leaving the room below it
  // to the windows it opens: each below it, or above it, where its whole frame fits;
  // else in the middle.
  QPoint FirstPosition(const QSize& frame, const QRect& area) const {
    const QWidget* main = MainForm();
    if (main == window_) return {area.left() + (area.width() - frame.width()) / 2, area.top()};
    if (main && main != window_ && main->isVisible()) {
      const QRect mf = FrameRect(main);
      if (auto p = ClearPosition(
              frame,
              {QPoint(mf.left(), mf.bottom() + 1), QPoint(mf.left(), mf.top() - frame.height())},
              {mf}, area))
        return *p;
    }
    return {area.left() + (area.width() - frame.width()) / 2,
            area.top() + (area.height() - frame.height()) / 2};
  }

  QWidget* window_;
  bool placed_ = false;
  bool framed_ = false;  // placed with the desktop's frame
  QRect firstPlace_;     // the inner geometry of the first placement
};

}  // namespace

QRect AvailableArea(const QWidget* window) {
  const QScreen* screen = nullptr;
  if (window && window->isVisible()) {
    screen = window->screen();
  } else if (const QWidget* main = MainForm(); main && main->isVisible()) {
    // A window about to open comes up on the main window's screen.
    screen = main->screen();
  }
  if (!screen && window) screen = window->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

QMargins FrameMargins(const QWidget* window) {
  if (window && window->isVisible()) {
    const QMargins m = MarginsOf(window);
    if (!m.isNull()) return m;
  }
  const QWidget* main = MainForm();
  if (main && main != window && main->isVisible()) return MarginsOf(main);
  return {};
}

QRect FrameRect(const QWidget* window) {
  return window->geometry().marginsAdded(FrameMargins(window));
}

QRect FitInside(const QRect& frame, const QRect& area) {
  const int w = std::min(frame.width(), area.width());
  const int h = std::min(frame.height(), area.height());
  const int x = std::clamp(frame.left(), area.left(), area.left() + area.width() - w);
  const int y = std::clamp(frame.top(), area.top(), area.top() + area.height() - h);
  return {x, y, w, h};
}

std::optional<QPoint> ClearPosition(const QSize& frame, const std::vector<QPoint>& candidates,
                                    const std::vector<QRect>& avoid, const QRect& area) {
  for (const QPoint& p : candidates) {
    const QRect r(p, frame);
    if (!Inside(r, area)) continue;
    if (std::none_of(avoid.begin(), avoid.end(), [&](const QRect& a) { return a.intersects(r); }))
      return p;
  }
  return std::nullopt;
}

void KeepOnScreen(QWidget* window) {
  if (!window ||
      window->findChild<QObject*>(QStringLiteral("SorvelScreenKeeper"), Qt::FindDirectChildrenOnly))
    return;
  window->installEventFilter(new TScreenKeeper(window));
}

}  // namespace sorvel
