// The recent-file items of a window's File menu: a separator named "MenuLineMRU" and
// nine items "MRFile1" .. "MRFile9".
#pragma once

#include <QString>

class QWidget;

namespace sorvel {

// Refreshes the items from the list: the separator shows when slot 1 holds a file;
// item i shows "&i  path", or is hidden when slot i is empty.
void FileClick(QWidget* form);

// The file of the form's item "MRFile<slot>", when it can be opened; otherwise "" after
// telling the user ("File Not Found!" and the path; a ".PER" file only beeps).
QString RecentFileToOpen(QWidget* form, int slot);

}  // namespace sorvel
