// "Open Sheet": which sheet of a workbook the data editor opens.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace sorvel {

// Shows the sheet names of `file` (the list starts on the first); returns the chosen
// sheet's index, or -1 for Cancel.
int AskWorkbookSheet(const QString& file, const QStringList& sheets, QWidget* parent = nullptr);

}  // namespace sorvel
