#include "ui/grid_printing.h"

#include <QAbstractPrintDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "ui/printing.h"

namespace sorvel {

namespace {

bool MultiCell(const std::optional<TGridRange>& s) {
  return s && (s->Right > s->Left || s->Bottom > s->Top);
}

}  // namespace

QPageLayout::Orientation& GridPrintOrientation() {
  static QPageLayout::Orientation orientation = QPageLayout::Portrait;
  return orientation;
}

TGridRange GridPrintRange(const TTextGrid& grid, const std::optional<TGridRange>& selection,
                          bool selectionChosen) {
  if (MultiCell(selection) && selectionChosen) return *selection;
  return WholeGridBody(grid);
}

void SetupGridReportJob(TMPrinter& mp, TPageDevice& device, bool landscape) {
  mp.InitMPrinter(device);
  mp.SetFont(PrinterFont());
  if (landscape)
    mp.SetMargins(750, 750, 1000, 500);
  else
    mp.SetMargins(750, 500, 600, 500);
  mp.SetHeaderFooter("Sorvelstats", "", "&D", landscape ? 650 : 250, true, 1, PrinterFont());
  mp.SetHeaderFooter("", "", "Page (&P)", 250, true, 2, PrinterFont());
}

void PrintGridOn(QPrinter& printer, const TTextGrid& grid, const TGridRange& range,
                 const QString& title, const std::string& heading) {
  QPainter painter;
  if (!painter.begin(&printer)) return;
  // White, clear brush: text only.
  painter.setBrush(Qt::NoBrush);
  TQtPageDevice device(printer, painter);
  TMPrinter mp;
  PrintGridPages(mp, device, grid, range, title.toStdString(), heading,
                 printer.pageLayout().orientation() == QPageLayout::Landscape);
  painter.end();
}

bool PrintGrid(const TTextGrid& grid, const std::optional<TGridRange>& selection,
               const QString& title, const std::string& heading, QWidget* parent) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(title);
  printer.setPageOrientation(GridPrintOrientation());
  QPrintDialog dialog(&printer, parent);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, MultiCell(selection));
  if (dialog.exec() != QDialog::Accepted) return false;
  GridPrintOrientation() = printer.pageLayout().orientation();
  const bool chosen = printer.printRange() == QPrinter::Selection;
  PrintGridOn(printer, grid, GridPrintRange(grid, selection, chosen), title, heading);
  return true;
}

}  // namespace sorvel
