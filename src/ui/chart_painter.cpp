#include "ui/chart_painter.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include <QBuffer>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace sorvel {

namespace {

QColor Rgb(TRgb rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

QFont ChartFont(TChartFont role, double points, const QPaintDevice* device) {
  QFont font(role == TChartFont::Foot ? QStringLiteral("Courier New") : QStringLiteral("Arial"));
  if (role == TChartFont::Foot) font.setStyleHint(QFont::TypeWriter);
  font.setPointSizeF(std::max(1.0, points));
  font.setBold(role == TChartFont::Title || role == TChartFont::AxisTitle);
  (void)device;
  return font;
}

Qt::PenStyle PenStyle(TChartPen p) {
  switch (p) {
    case TChartPen::Dash: return Qt::DashLine;
    case TChartPen::Dot: return Qt::DotLine;
    case TChartPen::None: return Qt::NoPen;
    default: return Qt::SolidLine;
  }
}

bool Missing(const std::vector<double>& v, size_t i) {
  return i >= v.size() || ChartValueMissing(v[i]);
}

class TChartPainter {
 public:
  TChartPainter(QPainter& p, const TChart& c, const TChartLayout& l, bool raster)
      : p_(p),
        c_(c),
        l_(l),
        raster_(raster),
        bw_(c.BlackWhite),
        pdf_(p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Pdf) {}

  void Paint(const QRectF& target) {
    p_.save();
    p_.translate(target.topLeft());
    p_.fillRect(QRectF(0, 0, l_.Width, l_.Height), Qt::white);
    for (size_t i = 0; i < l_.Panels.size(); ++i) Grid(static_cast<int>(i));
    for (size_t i = 0; i < c_.Series.size(); ++i) {
      const TChartSeries& s = c_.Series[i];
      if (!s.Visible || s.Panel < 0 || s.Panel >= static_cast<int>(l_.Panels.size())) continue;
      if (s.Kind == TSeriesKind::TopText) {
        TopText(s);
        continue;
      }
      p_.save();
      QRectF clip = Clip(s.Panel);
      // 3-D faces reach into the room kept right of and above the plot.
      if (s.Kind == TSeriesKind::Polygons)
        clip.adjust(0, -Px(std::max(0.0, c_.DepthY)), Px(std::max(0.0, c_.DepthX)), 0);
      p_.setClipRect(clip);
      Series(s);
      p_.restore();
    }
    for (size_t i = 0; i < l_.Panels.size(); ++i) Axes(static_cast<int>(i));
    BottomAxis();
    Titles();
    Legend();
    p_.restore();
  }

 private:
  QRectF Clip(int panel) const {
    const TChartRect& r = l_.Panels[static_cast<size_t>(panel)].Plot;
    return QRectF(r.Left, r.Top, r.Width(), r.Height());
  }
  double Px(double screenPixels) const { return screenPixels * l_.Scale; }
  // Vector files get positions to a tenth of a device pixel: shorter numbers, same picture.
  // Data to pixels as a + b * v, without the layout's division per value.
  struct TMap {
    double A, B;
    double operator()(double v) const { return A + B * v; }
  };
  TMap XMap() const {
    double b = l_.Plot.Width() / (l_.XMax - l_.XMin);
    return {l_.Plot.Left - l_.XMin * b, b};
  }
  TMap YMap(const TChartSeries& s) const {
    const TPanelLayout& p = l_.Panels[static_cast<size_t>(s.Panel)];
    const TVerticalAxisLayout& a = s.ExtraAxis ? p.Extra : p.Left;
    double b = -p.Plot.Height() / (a.Max - a.Min);
    return {p.Plot.Bottom - a.Min * b, b};
  }
  QPointF At(double px, double py) const {
    if (raster_) return {px, py};
    return {std::round(px * 10) / 10, std::round(py * 10) / 10};
  }
  QFont Font(TChartFont role, double points) const { return ChartFont(role, points, p_.device()); }
  QColor Color(const TChartColor& c) const { return Rgb(c.Get(bw_)); }

  QPen LinePen(const TChartSeries& s, const QColor& color) const {
    QPen pen(color);
    pen.setWidthF(std::max(1.0, Px(s.Width)));
    pen.setStyle(PenStyle(s.Pen));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
  }

  void Grid(int panel) {
    const TChartPanel& cp = c_.Panels[static_cast<size_t>(panel)];
    const TPanelLayout& pl = l_.Panels[static_cast<size_t>(panel)];
    QPen grid(QColor(210, 210, 210));
    grid.setWidthF(Px(1));
    grid.setStyle(Qt::DotLine);
    p_.setPen(grid);
    if (cp.Left.Grid)
      for (const auto& t : pl.Left.Ticks)
        p_.drawLine(QLineF(pl.Plot.Left, t.Pos, pl.Plot.Right, t.Pos));
    if (c_.Bottom.Grid)
      for (const auto& t : l_.BottomTicks)
        p_.drawLine(QLineF(t.Pos, pl.Plot.Top, t.Pos, pl.Plot.Bottom));
  }

  void Axes(int panel) {
    const TChartPanel& cp = c_.Panels[static_cast<size_t>(panel)];
    const TPanelLayout& pl = l_.Panels[static_cast<size_t>(panel)];
    QPen frame(Qt::black);
    frame.setWidthF(Px(1));
    p_.setPen(frame);
    p_.setBrush(Qt::NoBrush);
    p_.drawRect(Clip(panel));
    QFont label = Font(TChartFont::Label, c_.Fonts.YLabel);
    p_.setFont(label);
    QFontMetricsF fm(label, p_.device());
    const double tick = Px(4), gap = Px(4);
    for (const auto& t : pl.Left.Ticks) {
      p_.drawLine(QLineF(pl.Plot.Left - tick, t.Pos, pl.Plot.Left, t.Pos));
      QString text = QString::fromStdString(t.Text);
      double w = fm.horizontalAdvance(text);
      p_.drawText(
          QPointF(pl.Plot.Left - tick - gap - w, t.Pos + fm.ascent() / 2 - fm.descent() / 2), text);
    }
    if (cp.HasExtra)
      for (const auto& t : pl.Extra.Ticks) {
        p_.drawLine(QLineF(pl.Plot.Right, t.Pos, pl.Plot.Right + tick, t.Pos));
        p_.drawText(QPointF(l_.ExtraLabelLeft, t.Pos + fm.ascent() / 2 - fm.descent() / 2),
                    QString::fromStdString(t.Text));
      }
    auto rotated = [&](const std::string& title, double x) {
      if (title.empty()) return;
      QFont f = Font(TChartFont::AxisTitle, c_.Fonts.YTitle);
      QFontMetricsF tm(f, p_.device());
      QString text = QString::fromStdString(title);
      p_.save();
      p_.setFont(f);
      p_.translate(x, (pl.Plot.Top + pl.Plot.Bottom) / 2);
      p_.rotate(-90);
      p_.drawText(QPointF(-tm.horizontalAdvance(text) / 2, tm.ascent() / 2 - tm.descent() / 2),
                  text);
      p_.restore();
    };
    rotated(cp.Left.Title, l_.LeftTitleCentre);
    if (cp.HasExtra) rotated(cp.Extra.Title, l_.ExtraTitleCentre);
  }

  void BottomAxis() {
    QPen frame(Qt::black);
    frame.setWidthF(Px(1));
    p_.setPen(frame);
    QFont label = Font(TChartFont::Label, c_.Fonts.XLabel);
    p_.setFont(label);
    QFontMetricsF fm(label, p_.device());
    const double bottom = l_.Plot.Bottom, tick = Px(4);
    const bool rotated = c_.Bottom.LabelAngle == 315;
    for (const auto& t : l_.BottomTicks) {
      p_.drawLine(QLineF(t.Pos, bottom, t.Pos, bottom + tick));
      QString text = QString::fromStdString(t.Text);
      if (rotated) {
        p_.save();
        p_.translate(t.Pos, l_.BottomLabelTop);
        p_.rotate(45);
        p_.drawText(QPointF(0, fm.ascent() / 2), text);
        p_.restore();
      } else {
        p_.drawText(
            QPointF(t.Pos - fm.horizontalAdvance(text) / 2, l_.BottomLabelTop + fm.ascent()), text);
      }
    }
    for (const auto& t : l_.TopTicks) {
      QString text = QString::fromStdString(t.Text);
      p_.drawText(QPointF(t.Pos - fm.horizontalAdvance(text) / 2, l_.TopLabelTop + fm.ascent()),
                  text);
    }
    if (!c_.Bottom.Title.empty()) {
      QFont f = Font(TChartFont::AxisTitle, c_.Fonts.XTitle);
      QFontMetricsF tm(f, p_.device());
      QString text = QString::fromStdString(c_.Bottom.Title);
      p_.setFont(f);
      p_.drawText(QPointF((l_.Plot.Left + l_.Plot.Right) / 2 - tm.horizontalAdvance(text) / 2,
                          l_.BottomTitleTop + tm.ascent()),
                  text);
    }
  }

  void Titles() {
    QFont f = Font(TChartFont::Title, c_.Fonts.Title);
    QFontMetricsF fm(f, p_.device());
    p_.setFont(f);
    p_.setPen(Color(c_.TitleColor));
    for (size_t i = 0; i < c_.Title.size(); ++i) {
      QString text = QString::fromStdString(c_.Title[i]);
      p_.drawText(
          QPointF(l_.Width / 2 - fm.horizontalAdvance(text) / 2, l_.TitleLineTop[i] + fm.ascent()),
          text);
    }
    QFont foot = Font(TChartFont::Foot, c_.Fonts.Foot);
    QFontMetricsF footMetrics(foot, p_.device());
    p_.setFont(foot);
    p_.setPen(Color(c_.FootColor));
    for (size_t i = 0; i < c_.Foot.size(); ++i)
      p_.drawText(QPointF(l_.FootLeft, l_.FootLineTop[i] + footMetrics.ascent()),
                  QString::fromStdString(c_.Foot[i]));
  }

  void Legend() {
    if (l_.LegendLineTop.empty()) return;
    const TChartRect& r = l_.Legend;
    QPen frame(Qt::black);
    frame.setWidthF(Px(1));
    p_.setPen(frame);
    p_.setBrush(Qt::white);
    p_.drawRect(QRectF(r.Left, r.Top, r.Width(), r.Height()));
    QFont f = Font(TChartFont::Legend, c_.Fonts.Legend);
    QFontMetricsF fm(f, p_.device());
    p_.setFont(f);
    const double left = r.Left + l_.LegendPad;
    if (!c_.Legend.Title.empty()) {
      p_.setPen(Qt::black);
      p_.drawText(QPointF(left, l_.LegendTitleTop + fm.ascent()),
                  QString::fromStdString(c_.Legend.Title));
    }
    for (size_t i = 0; i < l_.LegendLineTop.size(); ++i) {
      const TLegendEntry& e = c_.Legend.Entries[i];
      const double top = l_.LegendLineTop[i];
      const double sw = l_.LegendSwatch;
      p_.setPen(frame);
      p_.setBrush(Color(e.Color));
      p_.drawRect(QRectF(left, top + (fm.height() - sw) / 2, sw, sw));
      p_.setPen(Qt::black);
      p_.drawText(QPointF(left + sw + l_.LegendPad, top + fm.ascent()),
                  QString::fromStdString(e.Text));
    }
  }

  void TopText(const TChartSeries& s) {
    QFont f = Font(TChartFont::Label, s.TextSize);
    QFontMetricsF fm(f, p_.device());
    p_.setFont(f);
    const TPanelLayout& pl = l_.Panels[static_cast<size_t>(s.Panel)];
    double top = s.Panel == 0 && l_.TopLabelTop > 0 ? l_.TopLabelTop : pl.Plot.Top + Px(2);
    // a text that would overprint the one before is left out
    double lastEnd = -1e300;
    for (size_t i = 0; i < s.X.size(); ++i) {
      if (Missing(s.X, i) || s.X[i] < l_.XMin || s.X[i] > l_.XMax) continue;
      double centre = l_.MapX(s.X[i]);
      if (centre < lastEnd) continue;
      QString text = QString::fromStdString(s.Label(i));
      if (text.trimmed().isEmpty()) continue;
      double w = fm.horizontalAdvance(text);
      // centred on its x, but kept inside the plot so the last set's text is not cut off
      double left = centre - w / 2;
      left = std::max(pl.Plot.Left, std::min(left, pl.Plot.Right - w));
      if (left < lastEnd) continue;
      lastEnd = left + w + Px(2);
      p_.setPen(Color(s.PointColor(i)));
      p_.drawText(QPointF(left, top + fm.ascent()), text);
    }
  }

  void Series(const TChartSeries& s) {
    switch (s.Kind) {
      case TSeriesKind::Line: Line(s); break;
      case TSeriesKind::Points: Points(s); break;
      case TSeriesKind::Bars: Bars(s); break;
      case TSeriesKind::Candles: Candles(s); break;
      case TSeriesKind::Segments: Segments(s); break;
      case TSeriesKind::Bands: Bands(s); break;
      case TSeriesKind::Lines: Lines(s); break;
      case TSeriesKind::Polygons: Polygons(s); break;
      case TSeriesKind::TopText:
      case TSeriesKind::Range: break;
    }
  }

  // Pieces in the later point's colour; runs of one colour become one polyline. A series
  // with more points than columns keeps per column its first, lowest, highest and last
  // point, which draws the same stroke: the columns are pixels on a raster device and the
  // tenth of a pixel that vector positions are rounded to in files.
  void Line(const TChartSeries& s) {
    const TMap mx = XMap(), my = YMap(s);
    if (s.Pen == TChartPen::None) return;
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setBrush(Qt::NoBrush);
    const size_t n = std::min(s.X.size(), s.Y.size());
    const double columnsPerPixel = raster_ ? 1 : 10;
    const bool dense = static_cast<double>(n) > 2 * l_.Plot.Width() * columnsPerPixel;
    QPolygonF run;
    int runColor = -1;
    // Runs are drawn by colour after the walk, one pen per colour (in SVG one group).
    std::vector<std::vector<QPolygonF>> runs(s.Palette.size());
    auto flush = [&] {
      if (run.size() >= 2) runs[static_cast<size_t>(std::max(0, runColor))].push_back(run);
      run.clear();
    };
    struct TDrawRuns {
      std::function<void()> F;
      ~TDrawRuns() { F(); }
    } drawRuns{[&] {
      for (size_t c = 0; c < runs.size(); ++c) {
        if (runs[c].empty()) continue;
        p_.setPen(LinePen(s, Color(s.Palette[c])));
        for (const QPolygonF& r : runs[c]) p_.drawPolyline(r);
      }
    }};
    auto colorOf = [&](size_t i) {
      return s.ColorIndex.empty() || s.ColorIndex[i] >= s.Palette.size() ? 0 : int(s.ColorIndex[i]);
    };
    if (!dense) {
      for (size_t i = 0; i < n; ++i) {
        if (Missing(s.X, i) || Missing(s.Y, i)) {
          flush();
          runColor = -1;
          continue;
        }
        QPointF pt = At(mx(s.X[i]), my(s.Y[i]));
        int c = colorOf(i);
        if (!run.isEmpty() && c != runColor) {
          QPointF last = run.back();
          flush();
          run << last;
        }
        runColor = c;
        run << pt;
      }
      flush();
      return;
    }
    long column = std::numeric_limits<long>::min();
    double first = 0, lo = 0, hi = 0, last = 0;
    int color = 0;
    bool open = false;
    auto emitColumn = [&] {
      if (!open) return;
      if (!run.isEmpty() && color != runColor) {
        QPointF prev = run.back();
        flush();
        run << prev;
      }
      runColor = color;
      if (raster_) {
        double x = static_cast<double>(column) + 0.5;
        run << QPointF(x, first) << QPointF(x, lo) << QPointF(x, hi) << QPointF(x, last);
      } else {
        // a file gets each distinct position once
        const double x = static_cast<double>(column) / columnsPerPixel;
        for (double y : {first, lo, hi, last}) {
          const QPointF pt = At(x, y);
          if (run.isEmpty() || run.back() != pt) run << pt;
        }
      }
      open = false;
    };
    for (size_t i = 0; i < n; ++i) {
      if (Missing(s.X, i) || Missing(s.Y, i)) {
        emitColumn();
        flush();
        runColor = -1;
        continue;
      }
      double px = mx(s.X[i]);
      double py = my(s.Y[i]);
      long col = raster_ ? static_cast<long>(std::floor(px)) : std::lround(px * columnsPerPixel);
      int c = colorOf(i);
      if (!open || col != column || c != color) {
        emitColumn();
        column = col;
        first = lo = hi = py;
        color = c;
        open = true;
      }
      lo = std::min(lo, py);
      hi = std::max(hi, py);
      last = py;
    }
    emitColumn();
    flush();
  }

  QPainterPath Marker(TPointShape shape, double d) const {
    QPainterPath path;
    double r = d / 2;
    switch (shape) {
      case TPointShape::Circle: path.addEllipse(QPointF(0, 0), r, r); break;
      case TPointShape::Square: path.addRect(QRectF(-r, -r, d, d)); break;
      case TPointShape::Diamond:
        path.moveTo(0, -r);
        path.lineTo(r, 0);
        path.lineTo(0, r);
        path.lineTo(-r, 0);
        path.closeSubpath();
        break;
      case TPointShape::Triangle:
        path.moveTo(0, -r);
        path.lineTo(r, r);
        path.lineTo(-r, r);
        path.closeSubpath();
        break;
      case TPointShape::Cross:
        path.moveTo(-r, -r);
        path.lineTo(r, r);
        path.moveTo(-r, r);
        path.lineTo(r, -r);
        break;
    }
    return path;
  }

  void Points(const TChartSeries& s) {
    const TMap mx = XMap(), my = YMap(s);
    const size_t n = std::min(s.X.size(), s.Y.size());
    const double d = std::max(1.0, Px(2 * s.Size + 1));  // across
    QPainterPath marker = Marker(s.Shape, d);
    const bool cross = s.Shape == TPointShape::Cross;
    // markers by colour, so that pen and brush are set once per colour
    std::vector<std::vector<QPointF>> byColor(s.Palette.size());
    for (size_t i = 0; i < n; ++i) {
      if (Missing(s.X, i) || Missing(s.Y, i)) continue;
      size_t c = s.ColorIndex.empty() || s.ColorIndex[i] >= s.Palette.size() ? 0 : s.ColorIndex[i];
      byColor[c].push_back(At(mx(s.X[i]), my(s.Y[i])));
    }
    for (size_t c = 0; c < byColor.size(); ++c) {
      if (byColor[c].empty()) continue;
      QColor color = Color(s.Palette[c]);
      QPen pen(color);
      pen.setWidthF(Px(1));
      if (raster_) {
        // One antialiased sprite stamped at each distinct pixel.
        int size = static_cast<int>(std::ceil(d)) + 3;
        QImage sprite(size, size, QImage::Format_ARGB32_Premultiplied);
        sprite.fill(Qt::transparent);
        {
          QPainter sp(&sprite);
          sp.setRenderHint(QPainter::Antialiasing, true);
          sp.translate(size / 2.0, size / 2.0);
          sp.setPen(cross ? pen : QPen(color.darker(130), 1));
          sp.setBrush(cross ? QBrush(Qt::NoBrush) : QBrush(color));
          sp.drawPath(marker);
        }
        const TChartRect& plot = l_.Panels[static_cast<size_t>(s.Panel)].Plot;
        const int w = static_cast<int>(plot.Width()) + size * 2 + 2;
        const int h = static_cast<int>(plot.Height()) + size * 2 + 2;
        std::vector<bool> seen(static_cast<size_t>(std::max(1, w)) *
                               static_cast<size_t>(std::max(1, h)));
        for (const QPointF& pt : byColor[c]) {
          int x = static_cast<int>(std::lround(pt.x() - plot.Left)) + size;
          int y = static_cast<int>(std::lround(pt.y() - plot.Top)) + size;
          if (x < 0 || y < 0 || x >= w || y >= h) continue;
          auto idx = static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
          if (seen[idx]) continue;
          seen[idx] = true;
          p_.drawImage(QPointF(std::round(pt.x()) - size / 2.0, std::round(pt.y()) - size / 2.0),
                       sprite);
        }
      } else if (s.Shape == TPointShape::Circle && pdf_) {
        // a dot: a round-capped pen as wide as the marker, a few bytes a point
        QPen dot(color, d, Qt::SolidLine, Qt::RoundCap);
        p_.setRenderHint(QPainter::Antialiasing, true);
        p_.setPen(dot);
        p_.drawPoints(byColor[c].data(), static_cast<int>(byColor[c].size()));
      } else {
        p_.setRenderHint(QPainter::Antialiasing, true);
        p_.setPen(cross ? pen : Qt::NoPen);
        p_.setBrush(cross ? QBrush(Qt::NoBrush) : QBrush(color));
        for (const QPointF& pt : byColor[c]) {
          if (s.Shape == TPointShape::Circle)
            // whole pixels: a marker moved by half a pixel looks the same, and the file
            // of 100,000 markers is a fifth smaller
            p_.drawEllipse(QPointF(std::round(pt.x()), std::round(pt.y())), d / 2, d / 2);
          else
            p_.drawPath(marker.translated(pt));
        }
      }
    }
    // point labels above and right of their points
    if (!s.Labels.empty()) {
      QFont f = Font(TChartFont::Label, s.TextSize);
      p_.setFont(f);
      for (size_t i = 0; i < n && i < s.Labels.size(); ++i) {
        if (s.Labels[i].empty() || Missing(s.X, i) || Missing(s.Y, i)) continue;
        p_.setPen(Color(s.PointColor(i)));
        p_.drawText(QPointF(mx(s.X[i]) + d, my(s.Y[i]) - d), QString::fromStdString(s.Labels[i]));
      }
    }
  }

  void Bars(const TChartSeries& s) {
    const TMap mx = XMap(), my = YMap(s);
    p_.setRenderHint(QPainter::Antialiasing, false);
    const double half = l_.SlotPixels() * s.Width / 2;
    const double base = my(s.Base);
    for (size_t i = 0; i < std::min(s.X.size(), s.Y.size()); ++i) {
      if (Missing(s.X, i) || Missing(s.Y, i)) continue;
      double x = mx(s.X[i]), y = my(s.Y[i]);
      QColor color = Color(s.PointColor(i));
      p_.setPen(QPen(color.darker(150), Px(1)));
      p_.setBrush(color);
      p_.drawRect(
          QRectF(QPointF(x - half, std::min(y, base)), QPointF(x + half, std::max(y, base))));
    }
  }

  void Candles(const TChartSeries& s) {
    const TMap mx = XMap(), my = YMap(s);
    p_.setRenderHint(QPainter::Antialiasing, false);
    const double cap = l_.SlotPixels() * s.Width / 2;
    for (size_t i = 0; i < std::min(s.X.size(), s.Y.size()); ++i) {
      if (Missing(s.X, i)) continue;
      double x = mx(s.X[i]);
      QPen pen(Color(s.PointColor(i)));
      pen.setWidthF(Px(s.PenWidth));
      p_.setPen(pen);
      if (!Missing(s.Y, i) && !Missing(s.Y2, i)) {
        double lo = my(s.Y[i]), hi = my(s.Y2[i]);
        p_.drawLine(QLineF(x, lo, x, hi));
        p_.drawLine(QLineF(x - cap, lo, x + cap, lo));
        p_.drawLine(QLineF(x - cap, hi, x + cap, hi));
      }
      if (!Missing(s.Y3, i) && !Missing(s.Y4, i)) {
        double a = my(s.Y3[i]), b = my(s.Y4[i]);
        const double half = s.BoxWidth > 0 ? l_.SlotPixels() * s.BoxWidth / 2 : cap * 1.5;
        p_.setBrush(Color(s.BoxFill));
        p_.drawRect(QRectF(QPointF(x - half, std::min(a, b)), QPointF(x + half, std::max(a, b))));
      }
    }
  }

  // Neighbouring slots at one height and colour are one line.
  void Segments(const TChartSeries& s) {
    const TMap mx = XMap(), my = YMap(s);
    p_.setRenderHint(QPainter::Antialiasing, false);
    const double half = l_.SlotPixels() / 2;
    std::map<size_t, QVector<QLineF>> lines;
    size_t n = std::min(s.X.size(), s.Y.size());
    for (size_t i = 0; i < n; ++i) {
      if (Missing(s.X, i) || Missing(s.Y, i)) continue;
      size_t c = s.ColorIndex.empty() || s.ColorIndex[i] >= s.Palette.size() ? 0 : s.ColorIndex[i];
      double x = mx(s.X[i]), y = my(s.Y[i]);
      auto& v = lines[c];
      if (!v.isEmpty() && v.back().y1() == y && std::abs(v.back().x2() - (x - half)) < 0.01)
        v.back().setP2(QPointF(x + half, y));
      else
        v.push_back(QLineF(x - half, y, x + half, y));
    }
    for (auto& [c, v] : lines) {
      p_.setPen(LinePen(s, Color(s.Palette[c])));
      p_.drawLines(v);
    }
  }

  void Bands(const TChartSeries& s) {
    const TMap mx = XMap(), my = YMap(s);
    p_.setRenderHint(QPainter::Antialiasing, false);
    p_.setPen(Qt::NoPen);
    const double half = l_.SlotPixels() / 2;
    size_t n = std::min({s.X.size(), s.Y.size(), s.Y2.size()});
    QRectF open;
    size_t openColor = 0;
    auto flush = [&] {
      if (!open.isNull()) {
        p_.setBrush(Color(s.Palette[openColor]));
        p_.drawRect(open);
      }
      open = QRectF();
    };
    for (size_t i = 0; i < n; ++i) {
      if (Missing(s.X, i) || Missing(s.Y, i) || Missing(s.Y2, i)) {
        flush();
        continue;
      }
      size_t c = s.ColorIndex.empty() || s.ColorIndex[i] >= s.Palette.size() ? 0 : s.ColorIndex[i];
      double x = mx(s.X[i]);
      double a = my(s.Y[i]), b = my(s.Y2[i]);
      QRectF r(QPointF(x - half, std::min(a, b)), QPointF(x + half, std::max(a, b)));
      if (!open.isNull() && c == openColor && open.top() == r.top() &&
          open.bottom() == r.bottom() && std::abs(open.right() - r.left()) < 0.01) {
        open.setRight(r.right());
        continue;
      }
      flush();
      open = r;
      openColor = c;
    }
    flush();
  }

  void Lines(const TChartSeries& s) {
    const TMap mx = XMap(), my = YMap(s);
    p_.setRenderHint(QPainter::Antialiasing, true);
    const TChartRect& plot = l_.Panels[static_cast<size_t>(s.Panel)].Plot;
    for (size_t i = 0; i < s.X.size(); ++i) {
      if (Missing(s.X, i)) continue;
      p_.setPen(LinePen(s, Color(s.PointColor(i))));
      double x = mx(s.X[i]);
      if (s.FullHeight) {
        p_.drawLine(QLineF(x, plot.Top, x, plot.Bottom));
      } else if (!Missing(s.Y, i) && !Missing(s.X2, i) && !Missing(s.Y2, i)) {
        p_.drawLine(QLineF(x, my(s.Y[i]), mx(s.X2[i]), my(s.Y2[i])));
      }
    }
  }

  void Polygons(const TChartSeries& s) {
    const TMap mx = XMap(), my = YMap(s);
    p_.setRenderHint(QPainter::Antialiasing, true);
    for (const auto& poly : s.Polygons) {
      QPolygonF q;
      bool ok = true;
      for (const auto& v : poly.Vertices) {
        if (ChartValueMissing(v.X) || ChartValueMissing(v.Y)) ok = false;
        q << QPointF(mx(v.X) + Px(v.Dx), my(v.Y) + Px(v.Dy));
      }
      if (!ok || q.size() < 2) continue;
      size_t c = static_cast<size_t>(poly.ColorIndex) < s.Palette.size()
                     ? static_cast<size_t>(poly.ColorIndex)
                     : 0;
      QColor color = Color(s.Palette[c]);
      p_.setPen(LinePen(s, color));
      p_.setBrush(color);
      p_.drawPolygon(q);
    }
  }

  QPainter& p_;
  const TChart& c_;
  const TChartLayout& l_;
  bool raster_;
  bool bw_;
  bool pdf_;
};

}  // namespace

TQtChartMetrics::TQtChartMetrics(QPainter& painter) : painter_(painter) {}

double TQtChartMetrics::TextWidth(const std::string& text, TChartFont font, double points) {
  QFontMetricsF fm(ChartFont(font, points, painter_.device()), painter_.device());
  return fm.horizontalAdvance(QString::fromStdString(text));
}

double TQtChartMetrics::LineHeight(TChartFont font, double points) {
  QFontMetricsF fm(ChartFont(font, points, painter_.device()), painter_.device());
  return fm.height();
}

TChartLayout PaintChart(QPainter& painter, const TChart& chart, const QRectF& target, bool raster,
                        const TChartZoom* zoom) {
  TQtChartMetrics metrics(painter);
  double scale = painter.device() ? painter.device()->logicalDpiY() / 96.0 : 1.0;
  TChartLayout layout = LayoutChart(chart, metrics, target.width(), target.height(), scale, zoom);
  painter.save();
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  TChartPainter(painter, chart, layout, raster).Paint(target);
  painter.restore();
  // in the target's coordinates
  return layout;
}

QImage RenderChartImage(const TChart& chart, QSize size, const TChartZoom* zoom) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PaintChart(painter, chart, QRectF(QPointF(0, 0), size), true, zoom);
  return image;
}

bool SaveChartImage(const TChart& chart, const QString& path, QSize size, const char* format,
                    int quality) {
  QImage image = RenderChartImage(chart, size);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (!image.save(&file, format, quality)) return false;
  return file.commit();
}

namespace {

bool WriteChartSvg(const TChart& chart, QSize size, QIODevice* device) {
  QSvgGenerator svg;
  svg.setOutputDevice(device);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setResolution(96);
  if (!chart.Title.empty()) svg.setTitle(QString::fromStdString(chart.Title.front()));
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  PaintChart(painter, chart, QRectF(QPointF(0, 0), size), false);
  return painter.end();
}

}  // namespace

QByteArray ChartSvg(const TChart& chart, QSize size) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  if (!WriteChartSvg(chart, size, &buffer)) return {};
  return buffer.data();
}

bool SaveChartSvg(const TChart& chart, const QString& path, QSize size) {
  // Straight into the file: a copy of a 10 MB picture in memory costs as much as a
  // tenth of its drawing.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (!WriteChartSvg(chart, size, &file)) return false;
  return file.commit();
}

bool SaveChartPdf(const TChart& chart, const QString& path, QSize size) {
  // written beside the target first, so that a failure leaves an old file whole
  QString temporary = path + QStringLiteral(".part");
  {
    QPdfWriter pdf(temporary);
    pdf.setPageSize(QPageSize(QSizeF(size.width() / 96.0, size.height() / 96.0), QPageSize::Inch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(288);
    if (!chart.Title.empty()) pdf.setTitle(QString::fromStdString(chart.Title.front()));
    QPainter painter;
    if (!painter.begin(&pdf)) return false;
    PaintChart(painter, chart, QRectF(0, 0, pdf.width(), pdf.height()), false);
    if (!painter.end()) return false;
  }
  if (QFileInfo(temporary).size() <= 0) return false;
  QFile::remove(path);
  return QFile::rename(temporary, path);
}

bool PrintChartOn(QPrinter& printer, const TChart& chart, double marginPercent) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  QRectF page = painter.viewport();
  double mx = page.width() * marginPercent / 100, my = page.height() * marginPercent / 100;
  // stretched over the page, not kept in proportion
  PaintChart(painter, chart, page.adjusted(mx, my, -mx, -my), false);
  return painter.end();
}

bool SaveChartFile(const TChart& chart, const QString& path, QSize size, int jpegQuality) {
  const QString ext = QFileInfo(path).suffix().toUpper();
  if (ext == QLatin1String("SVG")) return SaveChartSvg(chart, path, size);
  if (ext == QLatin1String("PDF")) return SaveChartPdf(chart, path, size);
  // PNG at zlib's fastest level (Qt's quality 80): the default level takes most of the time
  if (ext == QLatin1String("PNG")) return SaveChartImage(chart, path, size, "PNG", 80);
  if (ext == QLatin1String("BMP")) return SaveChartImage(chart, path, size, "BMP");
  if (ext == QLatin1String("JPG") || ext == QLatin1String("JPEG"))
    return SaveChartImage(chart, path, size, "JPEG", jpegQuality);
  return false;
}

}  // namespace sorvel
