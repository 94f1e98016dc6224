// The recent-file items of a window's File menu: a separator named "MenuLineMRU" and
// nine items "MRFile1" .. "MRFile9".
#pragma once

#include <QString>
#include <functional>

class QMenu;
class QWidget;

namespace sorvel {

// Refreshes the items from the list: the separator shows when slot 1 holds a file;
// item i shows "&i  path", or is hidden when slot i is empty.
void FileClick(QWidget* form);

// The file of the form's item "MRFile<slot>", when it can be opened; otherwise "" after
// telling the user ("File Not Found!" and the path; a ".PER" file only beeps).
QString RecentFileToOpen(QWidget* form, int slot);

// An analysis window's recent files: the separator and the nine items appended to `menu`,
// refreshed each time it opens; an item opens its file in the data editor, then
// `opened` runs (when given).
void AddRecentFileItems(QMenu* menu, QWidget* form, std::function<void()> opened = {});

}  // namespace sorvel
