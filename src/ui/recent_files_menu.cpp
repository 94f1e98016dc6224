#include "ui/recent_files_menu.h"

#include <QAction>
#include <QFileInfo>
#include <QWidget>

#include "shell/mru.h"
#include "ui/messages.h"

namespace sorvel {

void FileClick(QWidget* form) {
  TMRUFiles& mru = MRUFiles();
  mru.Read();
  if (auto* line = form->findChild<QAction*>(QStringLiteral("MenuLineMRU")))
    line->setVisible(!mru.Flist[0].empty());
  for (int i = 1; i <= TMRUFiles::Slots; ++i) {
    auto* item = form->findChild<QAction*>(QStringLiteral("MRFile%1").arg(i));
    if (!item) break;
    const bool empty = mru.Flist[i - 1].empty();
    item->setVisible(!empty);
    if (!empty) item->setText(QString::fromStdString(mru.Caption(i)));
  }
}

QString RecentFileToOpen(QWidget* form, int slot) {
  auto* item = form->findChild<QAction*>(QStringLiteral("MRFile%1").arg(slot));
  if (!item) return {};
  const QString path = QString::fromStdString(PathFromMruCaption(item->text().toStdString()));
  if (path.isEmpty()) return {};
  if (!QFileInfo::exists(path)) {
    ShowInfo(QStringLiteral("File Not Found!\n\n") + path);
    return {};
  }
  if (QFileInfo(path).suffix().compare(QLatin1String("PER"), Qt::CaseInsensitive) == 0) {
    Beep();
    return {};
  }
  return path;
}

}  // namespace sorvel
