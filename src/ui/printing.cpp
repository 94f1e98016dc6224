#include "ui/printing.h"

#include <algorithm>

#include <QColor>
#include <QDate>
#include <QFont>
#include <QFontDialog>
#include <QFontMetrics>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace sorvel {

namespace {

// The orientation last chosen in the print dialog, for the next job.
QPageLayout::Orientation lastOrientation = QPageLayout::Portrait;
// The font dialog's last choice.
TPrintFont tableFont;

QFont ToQFont(const TPrintFont& f) {
  QFont font(QString::fromStdString(f.Name));
  font.setStyleHint(f.Name == "Courier New" ? QFont::TypeWriter : QFont::SansSerif);
  font.setPointSize(f.Size > 0 ? f.Size : 1);
  font.setBold(f.Bold);
  font.setUnderline(f.Underline);
  return font;
}

TPrintFont LineFont(const TReportLine& line, const TPrintFont& fallback) {
  if (line.Runs.empty()) return fallback;
  const TTextStyle& s = line.Runs.front().Style;
  return TPrintFont{s.Font, s.Size + 2, s.Bold, s.Underline, s.Color};
}

bool Landscape(const QPrinter& printer) {
  return printer.pageLayout().orientation() == QPageLayout::Landscape;
}

// Header: the title at the left, the date at the right; footer: the page number.
void StartJob(TMPrinter& mp, bool landscape, const QString& title, const TReport& report) {
  TPrintFont canvas = PrinterFont();
  if (!report.Lines.empty()) canvas = LineFont(report.Lines.front(), canvas);
  mp.SetFont(canvas);
  const int headerAt = landscape ? 650 : 250;
  mp.SetHeaderFooter(title.toStdString(), "", "&D", headerAt, true, 1, PrinterFont());
  mp.SetHeaderFooter("", "Page (&P)", "", 250, true, 2, PrinterFont());
}

void PrintLines(TMPrinter& mp, const TReport& report) {
  TPrintFont font = PrinterFont();
  // A page break only when text follows, so a trailing mark leaves no blank page.
  std::size_t lastText = 0;
  for (std::size_t i = 0; i < report.Lines.size(); ++i)
    if (!report.Lines[i].IsPageMark()) lastText = i;
  for (std::size_t i = 0; i < report.Lines.size(); ++i) {
    const TReportLine& line = report.Lines[i];
    if (line.IsPageMark()) {
      if (i < lastText) mp.PrintString("\f");
      continue;
    }
    font = LineFont(line, font);
    mp.SetFont(font);
    mp.PrintLine(line.Text());
  }
}

// Print dialog with the remembered orientation; remembers the one chosen.
bool AskPrinter(QPrinter& printer, const QString& title, QWidget* parent) {
  printer.setDocName(title);
  printer.setPageOrientation(lastOrientation);
  QPrintDialog dialog(&printer, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  lastOrientation = printer.pageLayout().orientation();
  return true;
}

}  // namespace

TPrintFont PrinterFont() { return TPrintFont{"Courier New", 9, false, false, 0x000000}; }

bool AskTablePrintFont(QWidget* parent) {
  QFontDialog dialog(ToQFont(tableFont), parent);
  dialog.setOption(QFontDialog::MonospacedFonts);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QFont f = dialog.selectedFont();
  tableFont.Name = f.family().toStdString();
  tableFont.Size = std::max(1, f.pointSize());
  tableFont.Bold = f.bold();
  tableFont.Underline = false;  // the table's heading row is the underlined one
  return true;
}

TPrintFont TablePrintFont() { return tableFont; }

TQtPageDevice::TQtPageDevice(QPrinter& printer, QPainter& painter)
    : printer_(printer), painter_(painter) {
  painter_.setBrush(Qt::white);
  SetFont(PrinterFont());
}

int TQtPageDevice::DpiX() const { return printer_.logicalDpiX(); }
int TQtPageDevice::DpiY() const { return printer_.logicalDpiY(); }

int TQtPageDevice::OffsetX() const {
  return printer_.pageLayout().paintRectPixels(printer_.resolution()).left();
}

int TQtPageDevice::OffsetY() const {
  return printer_.pageLayout().paintRectPixels(printer_.resolution()).top();
}

int TQtPageDevice::PageWidth() const { return printer_.width(); }
int TQtPageDevice::PageHeight() const { return printer_.height(); }

void TQtPageDevice::SetFont(const TPrintFont& font) {
  font_ = font;
  painter_.setFont(ToQFont(font));
  painter_.setPen(QColor::fromRgb(font.Color));
}

int TQtPageDevice::TextWidth(const std::string& text) {
  return painter_.fontMetrics().horizontalAdvance(QString::fromStdString(text));
}

int TQtPageDevice::CharHeight() { return painter_.fontMetrics().height(); }
int TQtPageDevice::AverageCharWidth() { return painter_.fontMetrics().averageCharWidth(); }

void TQtPageDevice::DrawText(int x, int y, const std::string& text) {
  painter_.drawText(x, y + painter_.fontMetrics().ascent(), QString::fromStdString(text));
}

void TQtPageDevice::NewPage() { printer_.newPage(); }

std::string TQtPageDevice::DateText() const {
  return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

void PrintReportOn(QPrinter& printer, const TReport& report, const QString& title) {
  QPainter painter;
  if (!painter.begin(&printer)) return;
  TQtPageDevice device(printer, painter);
  TMPrinter mp;
  const bool landscape = Landscape(printer);
  mp.InitMPrinter(device);
  if (landscape)
    mp.SetMargins(1000, 1000, 1000, 500);
  else
    mp.SetMargins(1000, 500, 600, 500);
  StartJob(mp, landscape, title, report);
  PrintLines(mp, report);
  painter.end();
}

void PrintReportWithGraphicOn(QPrinter& printer, const TReport& report, const QString& title,
                              const TPaintGraphic& graphic) {
  if (!graphic) return;
  QPainter painter;
  if (!painter.begin(&printer)) return;
  TQtPageDevice device(printer, painter);
  TMPrinter mp;
  const bool landscape = Landscape(printer);
  const int h = landscape ? 650 : 250;
  mp.InitMPrinter(device);
  mp.SetMargins(1000, 500, 500, 500);
  StartJob(mp, landscape, title, report);
  // The picture goes on the first page, above the text.
  const TPrintRect r = mp.InchesToPixels({2000, h + 750, 6000, h + 3750});
  painter.save();
  graphic(painter, QRectF(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
  painter.restore();
  device.SetFont(device.Font());
  mp.SetMargins(2000, 500, h + 4250, 500);
  mp.PrintLine("");
  PrintLines(mp, report);
  painter.end();
}

bool PrintReport(const TReport& report, const QString& title, QWidget* parent) {
  QPrinter printer(QPrinter::HighResolution);
  if (!AskPrinter(printer, title, parent)) return false;
  PrintReportOn(printer, report, title);
  return true;
}

bool PrintReportWithGraphic(const TReport& report, const QString& title,
                            const TPaintGraphic& graphic, QWidget* parent) {
  if (!graphic) return false;
  QPrinter printer(QPrinter::HighResolution);
  if (!AskPrinter(printer, title, parent)) return false;
  PrintReportWithGraphicOn(printer, report, title, graphic);
  return true;
}

}  // namespace sorvel
