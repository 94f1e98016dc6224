// An image control that shows a distribution picture stretched over its area, white
// when blank. A double click or its pop-up item "&Copy Graph" asks for Copy Graph.
#pragma once

#include <QFrame>

#include "numerics/picture.h"

namespace sorvel {

class TPictureView : public QFrame {
  Q_OBJECT
 public:
  explicit TPictureView(QWidget* parent = nullptr);
  void SetPicture(const TPicture& picture);
  void Blank();  // a white picture
  const TPicture& Picture() const { return picture_; }
  bool HasPicture() const { return !picture_.Empty(); }

 signals:
  void CopyGraphRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  TPicture picture_;
};

}  // namespace sorvel
