// Printing text grids: the grid module's print dialog, with the "Selection" range for a
// grid that has several cells selected, and its own remembered orientation (apart from
// the reports' one).
#pragma once

#include <optional>
#include <string>

#include <QPageLayout>
#include <QString>

#include "output/grid_print.h"

class QPrinter;
class QWidget;

namespace sorvel {

// The orientation the grid print dialog offers next (portrait at start).
QPageLayout::Orientation& GridPrintOrientation();

// What is printed: the selection when it covers more than one cell and the user chose
// "Selection"; otherwise the whole body.
TGridRange GridPrintRange(const TTextGrid& grid, const std::optional<TGridRange>& selection,
                          bool selectionChosen);

// The print dialog, then the grid's pages under `heading` with `title` in the header;
// false when the dialog was cancelled.
bool PrintGrid(const TTextGrid& grid, const std::optional<TGridRange>& selection,
               const QString& title, const std::string& heading, QWidget* parent);
// The page setup of a window's own report job around its grids (Crosstabs, Explore):
// Courier New 9, margins for the orientation, "Sorvelstats" and the date in the header,
// "Page (n)" in the footer.
void SetupGridReportJob(TMPrinter& mp, TPageDevice& device, bool landscape);
// The same on a printer that is set up already (no dialog).
void PrintGridOn(QPrinter& printer, const TTextGrid& grid, const TGridRange& range,
                 const QString& title, const std::string& heading);

}  // namespace sorvel
