// Printing reports on a QPrinter through the text printer's page logic.
#pragma once

#include <functional>

#include <QString>

#include "output/report.h"
#include "output/text_printer.h"

class QPainter;
class QPrinter;
class QRectF;
class QWidget;

namespace sorvel {

// The page device of the text printer on a QPrinter, drawing with a painter that is
// active on it.
class TQtPageDevice : public TPageDevice {
 public:
  TQtPageDevice(QPrinter& printer, QPainter& painter);
  int DpiX() const override;
  int DpiY() const override;
  int OffsetX() const override;
  int OffsetY() const override;
  int PageWidth() const override;
  int PageHeight() const override;
  void SetFont(const TPrintFont& font) override;
  TPrintFont Font() const override { return font_; }
  int TextWidth(const std::string& text) override;
  int CharHeight() override;
  int AverageCharWidth() override;
  void DrawText(int x, int y, const std::string& text) override;
  void NewPage() override;
  std::string DateText() const override;

 private:
  QPrinter& printer_;
  QPainter& painter_;
  TPrintFont font_;
};

// The font headers and footers are printed in: Courier New, 9 points.
TPrintFont PrinterFont();

// The shared font dialog shown before a table is printed with its report: fixed-pitch
// fonts only (tables are laid out in characters), opened at the font chosen last. OK keeps
// the choice as TablePrintFont(); false when cancelled.
bool AskTablePrintFont(QWidget* parent);
// The font tables and their jobs' plain lines are printed in: Courier New 9 black until
// the dialog chooses another.
TPrintFont TablePrintFont();

// Paints the current graphic stretched into a rectangle of device pixels.
using TPaintGraphic = std::function<void(QPainter& painter, const QRectF& target)>;

// The print dialog (with the orientation last chosen), then the report; false when
// the dialog was cancelled.
bool PrintReport(const TReport& report, const QString& title, QWidget* parent);
// The same with the graphic above the text; does nothing without a graphic.
bool PrintReportWithGraphic(const TReport& report, const QString& title,
                            const TPaintGraphic& graphic, QWidget* parent);

// On a printer that is already set up (no dialog): title and date in the header,
// "Page (n)" in the footer, each line in its first run's font two points larger, and a
// page break for each page mark.
void PrintReportOn(QPrinter& printer, const TReport& report, const QString& title);
// The text starts 2 inches from the left below a 4 x 3 inch picture on the first page.
void PrintReportWithGraphicOn(QPrinter& printer, const TReport& report, const QString& title,
                              const TPaintGraphic& graphic);

}  // namespace sorvel
