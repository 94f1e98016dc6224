#include "ui/chart_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/chart_painter.h"

namespace sorvel {

namespace {
constexpr int DragThreshold = 4;  // pixels before a press becomes a zoom drag
}

TChartView::TChartView(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(200, 150);
}

void TChartView::SetChart(TChart chart) {
  chart_ = std::move(chart);
  Redraw();
}

void TChartView::Redraw() {
  dirty_ = true;
  update();
}

void TChartView::Render() {
  const qreal ratio = devicePixelRatioF();
  QSize pixels = size() * ratio;
  if (image_.size() != pixels) image_ = QImage(pixels, QImage::Format_RGB32);
  image_.setDevicePixelRatio(ratio);
  image_.fill(Qt::white);
  QPainter painter(&image_);
  layout_ = PaintChart(painter, chart_, QRectF(0, 0, width(), height()), true, &zoom_);
  dirty_ = false;
}

void TChartView::paintEvent(QPaintEvent*) {
  if (dirty_ || image_.size() != size() * devicePixelRatioF()) Render();
  QPainter painter(this);
  painter.drawImage(QPointF(0, 0), image_);
  if (dragging_) {
    QPen pen(Qt::black);
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(dragFrom_, dragTo_).normalized());
  }
}

void TChartView::resizeEvent(QResizeEvent*) { dirty_ = true; }

TChartHit TChartView::HitAt(QPoint pos) const {
  if (dirty_) const_cast<TChartView*>(this)->Render();
  return HitTest(chart_, layout_, pos.x(), pos.y());
}

bool TChartView::TitleAt(QPoint pos) const {
  if (dirty_) const_cast<TChartView*>(this)->Render();
  return !chart_.Title.empty() && layout_.TitleRect.Contains(pos.x(), pos.y());
}

QString TChartView::ReadoutAt(QPoint pos) const {
  TChartHit hit = HitAt(pos);
  if (hit.Series < 0) return {};
  const TChartSeries& s = chart_.Series[static_cast<size_t>(hit.Series)];
  const TChartPanel& panel = chart_.Panels[static_cast<size_t>(std::max(0, s.Panel))];
  const std::string& format = s.ExtraAxis ? panel.Extra.Format : panel.Left.Format;
  return QString::fromStdString(s.Title + "  " + ReadoutText(chart_, hit, format));
}

void TChartView::ZoomOut() {
  if (!zoom_.Active) return;
  zoom_ = TChartZoom();
  Redraw();
  emit ZoomChanged(false);
}

void TChartView::ZoomTo(QPoint from, QPoint to) {
  if (dirty_) Render();
  int panel = layout_.PanelAt(from.x(), from.y());
  if (panel < 0) panel = layout_.PanelAt(to.x(), to.y());
  if (panel < 0) return;
  QRect r = QRect(from, to).normalized();
  TChartZoom z;
  z.Active = true;
  z.XMin = layout_.UnmapX(r.left());
  z.XMax = layout_.UnmapX(r.right());
  for (size_t i = 0; i < layout_.Panels.size(); ++i) {
    const auto& axis = layout_.Panels[i].Left;
    z.YMin.push_back(axis.Min);
    z.YMax.push_back(axis.Max);
  }
  z.YMin[static_cast<size_t>(panel)] = layout_.UnmapY(panel, r.bottom());
  z.YMax[static_cast<size_t>(panel)] = layout_.UnmapY(panel, r.top());
  zoom_ = z;
  Redraw();
  emit ZoomChanged(true);
}

void TChartView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragFrom_ = dragTo_ = event->position().toPoint();
  dragging_ = false;
}

void TChartView::mouseMoveEvent(QMouseEvent* event) {
  QPoint pos = event->position().toPoint();
  if (event->buttons() & Qt::LeftButton) {
    dragTo_ = pos;
    if ((dragTo_ - dragFrom_).manhattanLength() > DragThreshold) dragging_ = true;
    update();
    return;
  }
  setCursor(TitleAt(pos) ? Qt::PointingHandCursor : Qt::ArrowCursor);
  QString text = ReadoutAt(pos);
  if (text != readout_) {
    readout_ = text;
    emit ReadoutChanged(text);
  }
}

void TChartView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  QPoint pos = event->position().toPoint();
  if (dragging_) {
    dragging_ = false;
    // down and right zooms in; any other direction undoes the zoom
    if (pos.x() > dragFrom_.x() && pos.y() > dragFrom_.y())
      ZoomTo(dragFrom_, pos);
    else
      ZoomOut();
    update();
    return;
  }
  if (TitleAt(pos)) {
    emit TitleClicked();
    return;
  }
  TChartHit hit = HitAt(pos);
  if (hit.Series >= 0 && chart_.Series[static_cast<size_t>(hit.Series)].Kind == TSeriesKind::Points)
    emit PointClicked(hit.Series, static_cast<int>(hit.Point), event->globalPosition().toPoint());
}

void TChartView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit ChartDoubleClicked();
}

void TChartView::leaveEvent(QEvent*) {
  if (!readout_.isEmpty()) {
    readout_.clear();
    emit ReadoutChanged(readout_);
  }
}

}  // namespace sorvel
