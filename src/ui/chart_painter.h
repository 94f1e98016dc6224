// Paints a chart model (output/chart.h) with QPainter: the one drawing path of the chart
// windows, the image and vector files, the printer and the clipboard. On raster devices a
// series denser than the pixels is drawn per pixel column (its lowest and highest value),
// and coincident markers once; vector output gets every point.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include "output/chart_layout.h"

class QPainter;
class QPrinter;

namespace sorvel {

// Text measured with the fonts the painter draws with, on the painter's device.
class TQtChartMetrics : public TChartMetrics {
 public:
  explicit TQtChartMetrics(QPainter& painter);
  double TextWidth(const std::string& text, TChartFont font, double points) override;
  double LineHeight(TChartFont font, double points) override;

 private:
  QPainter& painter_;
};

// The chart laid out over target and painted; raster says whether the device has pixels
// (screen, images) or takes vectors (SVG, PDF, printer). Returns the layout drawn, for
// mapping the mouse.
TChartLayout PaintChart(QPainter& painter, const TChart& chart, const QRectF& target, bool raster,
                        const TChartZoom* zoom = nullptr);

// A white image of the given size with the chart.
QImage RenderChartImage(const TChart& chart, QSize size, const TChartZoom* zoom = nullptr);
// PNG, BMP or JPEG by format ("PNG", "BMP", "JPEG"); quality 0..100 for JPEG, -1 default.
bool SaveChartImage(const TChart& chart, const QString& path, QSize size, const char* format,
                    int quality = -1);
// Vector files of the given size in pixels (a PDF page of that size at 96 per inch).
QByteArray ChartSvg(const TChart& chart, QSize size);
bool SaveChartSvg(const TChart& chart, const QString& path, QSize size);
bool SaveChartPdf(const TChart& chart, const QString& path, QSize size);
// On a printer already set up: the chart stretched over the page inside margins of
// marginPercent of the page on every side.
bool PrintChartOn(QPrinter& printer, const TChart& chart, double marginPercent = 5);

// By the file's extension (.png, .svg, .pdf, .bmp, .jpg, .jpeg; any case); false for others.
bool SaveChartFile(const TChart& chart, const QString& path, QSize size, int jpegQuality = -1);

inline constexpr int DefaultChartWidth = 1600;
inline constexpr int DefaultChartHeight = 1000;

}  // namespace sorvel
