// The chart control of the chart windows: shows a chart model, zooms by dragging a
// rectangle (down and right; a drag up or left zooms out), reports what is under the
// mouse, and tells its window of clicks on the title and on points and of double clicks.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

#include "output/chart_layout.h"

namespace sorvel {

class TChartView : public QWidget {
  Q_OBJECT
 public:
  explicit TChartView(QWidget* parent = nullptr);

  // The chart shown; after changing it call Redraw.
  TChart& Chart() { return chart_; }
  const TChart& Chart() const { return chart_; }
  void SetChart(TChart chart);
  void Redraw();  // draws again at the next paint

  bool Zoomed() const { return zoom_.Active; }
  const TChartZoom& Zoom() const { return zoom_; }
  void ZoomOut();
  // Zooms to the rectangle between two widget points (the drag's ends).
  void ZoomTo(QPoint from, QPoint to);
  // What the mouse would find at a widget point (tests, readout).
  TChartHit HitAt(QPoint pos) const;
  bool TitleAt(QPoint pos) const;
  // The readout at a widget point: series title, then "X=" ... "  Y=" ...; empty over nothing.
  QString ReadoutAt(QPoint pos) const;
  const TChartLayout& Layout() const { return layout_; }

 signals:
  void TitleClicked();
  void PointClicked(int series, int point, QPoint globalPos);
  void ChartDoubleClicked();
  void ReadoutChanged(const QString& text);
  void ZoomChanged(bool zoomed);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void Render();

  TChart chart_;
  TChartZoom zoom_;
  TChartLayout layout_;
  QImage image_;
  bool dirty_ = true;
  bool dragging_ = false;
  QPoint dragFrom_, dragTo_;
  QString readout_;
};

}  // namespace sorvel
