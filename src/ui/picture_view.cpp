#include "ui/picture_view.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

#include "ui/picture_painter.h"

namespace sorvel {

TPictureView::TPictureView(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::Box);
  setMinimumSize(150, 100);
  setAutoFillBackground(false);
}

void TPictureView::SetPicture(const TPicture& picture) {
  picture_ = picture;
  update();
}

void TPictureView::Blank() {
  picture_ = TPicture{};
  update();
}

void TPictureView::paintEvent(QPaintEvent* event) {
  {
    QPainter p(this);
    const QRectF area = contentsRect();
    p.fillRect(area, Qt::white);
    if (!picture_.Empty()) {
      p.setRenderHint(QPainter::Antialiasing);
      p.setRenderHint(QPainter::TextAntialiasing);
      PaintPicture(p, picture_, area);
    }
  }
  QFrame::paintEvent(event);
}

void TPictureView::mouseDoubleClickEvent(QMouseEvent*) {
  if (HasPicture()) emit CopyGraphRequested();
}

void TPictureView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(QStringLiteral("&Copy Graph"));
  copy->setEnabled(HasPicture());
  if (menu.exec(event->globalPos()) == copy) emit CopyGraphRequested();
}

}  // namespace sorvel
