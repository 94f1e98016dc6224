// The services every chart window shares: saving a chart as a picture file, printing it
// through a print preview, copying it to the clipboard, the titles dialog and the point
// label dialog. The black-and-white flag and the shared report title are in
// output/chart.h (the command line sets them too).
#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "output/chart.h"

class QPrinter;
class QWidget;

namespace sorvel {

class TGraphModule : public QObject {
  Q_OBJECT
 public:
  static TGraphModule& Instance();  // created on first use, lives for the program

  // The save dialog's filter and default extension.
  static const QString SavePictureFilter;
  static const QString SavePictureDefaultExt;

  // Save Graph: the save dialog, then SaveChartAs. False when nothing was written.
  bool SaveChart(const TChart& chart, QSize size, QWidget* parent);
  // Writes by the name's extension: .svg, .pdf, .png, .bmp, .jpg or .jpeg; for JPEG the
  // quality is asked first (Cancel writes nothing); any other extension shows "File
  // Extension Not Valid!". A write that fails shows "File Error!".
  bool SaveChartAs(const TChart& chart, QSize size, const QString& path, QWidget* parent);
  // The JPEG options: quality 1..100, or none when cancelled.
  std::optional<int> AskJpegQuality(QWidget* parent);

  // Print Graph: the print preview, printing from there; the chart stretched to the page
  // inside margins of 5 percent.
  void PrintChart(const TChart& chart, QWidget* parent);
  // Copy Graph: the chart as SVG and as an image on the clipboard, then the notice
  // "Graph Copied to Clipboard!"; when the chart could not be rendered or the clipboard
  // did not take it, an error box instead. True when copied.
  bool CopyChart(const TChart& chart, QSize size);

  // Edit Titles: the titles dialog, modal; changed is called after each live change.
  bool EditTitles(TChart& chart, const std::function<void()>& changed, QWidget* parent);
  // Point label: the point label dialog at the mouse; on OK text holds the new text.
  bool PointLabel(std::string& text, QPoint mouse, QWidget* parent);

  int LastJpegQuality = 90;

 private:
  TGraphModule() = default;
};

}  // namespace sorvel
