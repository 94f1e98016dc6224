#include "ui/picture_painter.h"

#include <algorithm>

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPolygon>
#include <QSvgGenerator>

namespace sorvel {

namespace {

QColor Color(std::uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

QPen Pen(const TPicturePen& p) {
  QPen pen(Color(p.Color));
  pen.setStyle(p.Style == TPenStyle::Dot ? Qt::DotLine : Qt::SolidLine);
  if (p.Width <= 1) {
    // a hairline: one device pixel whatever the stretch, as a thin GDI pen
    pen.setCosmetic(true);
    pen.setWidth(1);
  } else {
    pen.setWidthF(p.Width);
  }
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

QPolygon Polygon(const std::vector<TPicturePoint>& points) {
  QPolygon poly;
  poly.reserve(static_cast<int>(points.size()));
  for (const auto& p : points) poly << QPoint(p.X, p.Y);
  return poly;
}

}  // namespace

void PaintPicture(QPainter& painter, const TPicture& picture, const QRectF& target) {
  using TKind = TPicturePrimitive::TKind;
  if (picture.Width <= 0 || picture.Height <= 0) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.translate(target.topLeft());
  painter.scale(target.width() / picture.Width, target.height() / picture.Height);
  for (const auto& item : picture.Items) {
    switch (item.Kind) {
      case TKind::FillRect:
        if (item.Points.size() >= 2)
          painter.fillRect(QRect(QPoint(item.Points[0].X, item.Points[0].Y),
                                 QPoint(item.Points[1].X - 1, item.Points[1].Y - 1)),
                           Color(item.Brush));
        break;
      case TKind::Polyline:
        painter.setPen(Pen(item.Pen));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(Polygon(item.Points));
        break;
      case TKind::Polygon:
        painter.setPen(Pen(item.Pen));
        painter.setBrush(Color(item.Brush));
        painter.drawPolygon(Polygon(item.Points));
        break;
      case TKind::Line:
        if (item.Points.size() >= 2) {
          painter.setPen(Pen(item.Pen));
          painter.drawLine(QPoint(item.Points[0].X, item.Points[0].Y),
                           QPoint(item.Points[1].X, item.Points[1].Y));
        }
        break;
      case TKind::Text: {
        if (item.Points.empty()) break;
        QFont font(QString::fromStdString(item.Font));
        font.setPixelSize(std::max(1, item.FontSize));
        font.setBold(item.Bold);
        painter.setFont(font);
        painter.setPen(Color(item.TextColor));
        QString text = QString::fromStdString(item.Text);
        QFontMetricsF metrics(font);
        double x = item.Points[0].X - item.ShiftLeft * metrics.horizontalAdvance(text);
        // the point is the text's top-left corner
        painter.drawText(QPointF(x, item.Points[0].Y + metrics.ascent()), text);
        break;
      }
    }
  }
  painter.restore();
}

bool SavePicturePng(const TPicture& picture, const QString& path, QSize size) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    PaintPicture(painter, picture, QRectF(0, 0, size.width(), size.height()));
  }
  return image.save(path, "PNG");
}

bool SavePictureSvg(const TPicture& picture, const QString& path) {
  QSvgGenerator svg;
  svg.setFileName(path);
  svg.setSize(QSize(picture.Width, picture.Height));
  svg.setViewBox(QRect(0, 0, picture.Width, picture.Height));
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  PaintPicture(painter, picture, QRectF(0, 0, picture.Width, picture.Height));
  return painter.end() && QFileInfo(path).size() > 0;
}

bool SavePicturePdf(const TPicture& picture, const QString& path) {
  QPdfWriter pdf(path);
  pdf.setPageSize(QPageSize(QSizeF(6, 4), QPageSize::Inch));
  pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
  pdf.setResolution(600);
  QPainter painter;
  if (!painter.begin(&pdf)) return false;
  PaintPicture(painter, picture, QRectF(0, 0, pdf.width(), pdf.height()));
  return painter.end() && QFileInfo(path).size() > 0;
}

}  // namespace sorvel
