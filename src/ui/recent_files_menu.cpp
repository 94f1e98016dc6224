#include "ui/recent_files_menu.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QWidget>

#include "shell/mru.h"
#include "ui/data_editor_hooks.h"
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

void AddRecentFileItems(QMenu* menu, QWidget* form, std::function<void()> opened) {
  menu->addSeparator()->setObjectName(QStringLiteral("MenuLineMRU"));
  for (int i = 1; i <= TMRUFiles::Slots; ++i) {
    QAction* a = menu->addAction(QString());
    a->setObjectName(QStringLiteral("MRFile%1").arg(i));
    QObject::connect(a, &QAction::triggered, form, [form, i, opened] {
      const QString path = RecentFileToOpen(form, i);
      if (path.isEmpty() || !DataEditorHooks().OpenFile) return;
      DataEditorHooks().OpenFile(path);
      if (opened) opened();
    });
  }
  QObject::connect(menu, &QMenu::aboutToShow, form, [form] { FileClick(form); });
}

}  // namespace sorvel
