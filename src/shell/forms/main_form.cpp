#include "shell/forms/main_form.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "numerics/format.h"
#include "numerics/settings_store.h"
#include "shell/analysis_registry.h"
#include "shell/command_table.h"
#include "shell/mru.h"
#include "shell/startup.h"
#include "ui/data_editor_hooks.h"
#include "ui/messages.h"
#include "ui/recent_files_menu.h"
#include "ui/shell_services.h"
#include "ui/window_placement.h"
#include "ui/window_registry.h"

namespace sorvel {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A caption shown literally in a menu (Qt reads "&" as an accelerator).
QString MenuText(const QString& caption) {
  QString t = caption;
  return t.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString WebAddress(const char* key) {
  auto v = Settings().Read(SettingsGroup, key);
  return v ? Q(*v).trimmed() : QString();
}

bool IsDialogStyle(const QWidget* w) { return w->windowType() == Qt::Dialog; }

}  // namespace

TSorvelStatsMainForm::TSorvelStatsMainForm(const QString& caption, QWidget* parent)
    : QMainWindow(parent) {
  setObjectName(QStringLiteral("SorvelStatsMainForm"));
  setWindowTitle(caption);
  setAcceptDrops(true);
  BuildMenus();
  FixMinimumSize();
  SetMainForm(this);
  KeepOnScreen(this);
  qApp->installEventFilter(this);
  NoteActivated(this);
}

TSorvelStatsMainForm::~TSorvelStatsMainForm() {
  qApp->removeEventFilter(this);
  if (MainForm() == this) SetMainForm(nullptr);
}

void TSorvelStatsMainForm::BuildMenus() {
  QMenuBar* bar = menuBar();
  std::map<std::string, QMenu*> menus;
  for (const auto& m : MainMenus()) {
    QMenu* menu = bar->addMenu(Q(m.Caption));
    menu->setObjectName(Q(m.Name) + QStringLiteral("Menu"));
    menus[m.Name] = menu;
  }
  fileMenu_ = menus["File"];

  for (const auto& e : CommandTable()) {
    QMenu* menu = menus[e.Menu];
    QAction* a = nullptr;
    if (e.Name == "number-format") {
      numberFormatMenu_ = menu->addMenu(Q(e.Caption));
      numberFormatMenu_->setObjectName(QStringLiteral("NumberFormatMenu"));
      a = numberFormatMenu_->menuAction();
      auto* group = new QActionGroup(this);
      useCommas_ = numberFormatMenu_->addAction(QStringLiteral("Use Commas (123,123.11)"));
      noCommas_ = numberFormatMenu_->addAction(QStringLiteral("No Commas (123123.11)"));
      for (QAction* f : {useCommas_, noCommas_}) {
        f->setCheckable(true);
        group->addAction(f);
      }
      connect(useCommas_, &QAction::triggered, this, [] { SetNumberFormat(3); });
      connect(noCommas_, &QAction::triggered, this, [] { SetNumberFormat(2); });
      connect(numberFormatMenu_, &QMenu::aboutToShow, this,
              &TSorvelStatsMainForm::NumberFormatPopup);
    } else {
      a = menu->addAction(Q(e.Caption));
      if (!e.Key.empty()) {
        a->setShortcut(QKeySequence(Q(e.Key)));
        // The function keys work from every window (F12 cycles through them all); F1
        // stays with each window, which has its own help.
        if (a->shortcut() != QKeySequence(Qt::Key_F1))
          a->setShortcutContext(Qt::ApplicationShortcut);
      }
      const std::string name = e.Name;
      connect(a, &QAction::triggered, this, [this, name] { RunCommand(name); });
    }
    a->setObjectName(Q(e.Name));
    if (!e.WindowCaption.empty()) a->setStatusTip(Q(e.WindowCaption));
    actions_[e.Name] = a;
    if (e.Name == "stay-on-top") a->setCheckable(true);
    if (e.SeparatorAfter) menu->addSeparator();
  }

  // Recent files at the end of the File menu.
  QAction* line = fileMenu_->addSeparator();
  line->setObjectName(QStringLiteral("MenuLineMRU"));
  for (int i = 1; i <= TMRUFiles::Slots; ++i) {
    QAction* a = fileMenu_->addAction(QString());
    a->setObjectName(QStringLiteral("MRFile%1").arg(i));
    connect(a, &QAction::triggered, this, [this, i] { MRFileClick(i); });
  }
  connect(fileMenu_, &QMenu::aboutToShow, this, &TSorvelStatsMainForm::FileMenuPopup);

  // "View Open Forms": an icon-only menu listing every open window.
  formsMenu_ = new QMenu(bar);
  formsMenu_->setObjectName(QStringLiteral("FormsMenu"));
  formsMenu_->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
  formsMenu_->setToolTip(QStringLiteral("View Open Forms"));
  formsMenu_->menuAction()->setToolTip(QStringLiteral("View Open Forms"));
  formsMenu_->menuAction()->setIconText(QString());
  noOpenForms_ = formsMenu_->addAction(QStringLiteral("(No Open Forms)"));
  noOpenForms_->setEnabled(false);
  formsSeparator_ = formsMenu_->addSeparator();
  hideAllForms_ = formsMenu_->addAction(QStringLiteral("&Hide All Forms"));
  hideAllForms_->setObjectName(QStringLiteral("HideAllForms"));
  formsSeparator_->setVisible(false);
  hideAllForms_->setVisible(false);
  connect(hideAllForms_, &QAction::triggered, this, &TSorvelStatsMainForm::HideAllFormsClick);
  connect(formsMenu_, &QMenu::aboutToShow, this, &TSorvelStatsMainForm::FormsMenuPopup);
  bar->insertMenu(menus["Help"]->menuAction(), formsMenu_);

  UpdateCommandStates();
  UpdateViewNextItems();
  FileMenuPopup();
}

QAction* TSorvelStatsMainForm::CommandAction(const std::string& name) const {
  auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

void TSorvelStatsMainForm::UpdateCommandStates() {
  const TDataEditorHooks& hooks = DataEditorHooks();
  for (const auto& e : CommandTable()) {
    QAction* a = CommandAction(e.Name);
    bool enabled = true;
    switch (e.Kind) {
      case TCommandKind::Analysis: enabled = IsCommandAvailable(e.Name); break;
      case TCommandKind::DataEditorCommand:
        enabled = e.Name == "process-if" ? static_cast<bool>(hooks.ProcessIf) : hooks.Available();
        break;
      case TCommandKind::Help:
        if (e.Name == "sorvel-web-site") enabled = !WebAddress("WebSiteAddress").isEmpty();
        if (e.Name == "check-for-updates") enabled = !WebAddress("UpdateAddress").isEmpty();
        break;
      case TCommandKind::Shell: break;
    }
    a->setEnabled(enabled);
  }
  UpdateViewNextItems();
}

std::vector<QWidget*> TSorvelStatsMainForm::FormsFrontToBack() const {
  std::vector<QWidget*> forms;
  for (const auto& w : zOrder_)
    if (w) forms.push_back(w);
  for (QWidget* w : CreatedForms())
    if (std::find(forms.begin(), forms.end(), w) == forms.end()) forms.push_back(w);
  return forms;
}

void TSorvelStatsMainForm::UpdateViewNextItems() {
  const bool enough = FormsFrontToBack().size() > 2;
  CommandAction("view-next-visible-form")->setEnabled(enough);
  CommandAction("view-next-open-form")->setEnabled(enough);
}

void TSorvelStatsMainForm::NoteActivated(QWidget* w) {
  zOrder_.erase(std::remove_if(zOrder_.begin(), zOrder_.end(),
                               [w](const QPointer<QWidget>& p) { return !p || p == w; }),
                zOrder_.end());
  zOrder_.insert(zOrder_.begin(), w);
}

bool TSorvelStatsMainForm::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::WindowActivate) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && w->isWindow() && (w == this || w->parentWidget() == this) && !IsDialogStyle(w)) {
      NoteActivated(w);
      UpdateViewNextItems();
    }
  }
  return QMainWindow::eventFilter(watched, e);
}

void TSorvelStatsMainForm::ViewNextForm(bool visibleOnly) {
  const auto forms = FormsFrontToBack();
  if (forms.size() < 3) return;
  for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
    QWidget* w = *it;
    if (IsDialogStyle(w) || (visibleOnly && !w->isVisible())) continue;
    RestoreAndShow(w);
    NoteActivated(w);
    return;
  }
}

void TSorvelStatsMainForm::RunCommand(const std::string& name) {
  TDataEditorHooks& hooks = DataEditorHooks();
  if (name == "new") {
    if (hooks.NewFile) hooks.NewFile();
  } else if (name == "open") {
    if (hooks.OpenDialog) hooks.OpenDialog();
  } else if (name == "data-editor") {
    if (hooks.ShowEditor) hooks.ShowEditor();
  } else if (name == "process-if") {
    if (hooks.ProcessIf) hooks.ProcessIf();
  } else if (name == "stay-on-top") {
    const bool onTop = CommandAction(name)->isChecked();
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) show();
  } else if (name == "view-main-form") {
    RestoreAndShow(this);
  } else if (name == "view-next-visible-form") {
    ViewNextForm(true);
  } else if (name == "view-next-open-form") {
    ViewNextForm(false);
  } else if (name == "exit") {
    close();
  } else if (name == "contents") {
    ShowHelpContents();
  } else if (name == "introduction") {
    ShowHelpTopic(100);
  } else if (name == "main-form") {
    ShowHelpTopic(500);
  } else if (name == "sorvel-web-site" || name == "check-for-updates") {
    const QString address =
        WebAddress(name == "sorvel-web-site" ? "WebSiteAddress" : "UpdateAddress");
    if (address.isEmpty() || !LaunchAddress(address))
      ShowInfo(QStringLiteral("WEB Site not accessible"));
  } else if (name == "about") {
    QPixmap picture(96, 64);
    picture.fill(Qt::white);
    {
      // A normal curve with a shaded tail: the program's picture.
      QPainter p(&picture);
      p.setRenderHint(QPainter::Antialiasing);
      QPainterPath curve, tail;
      for (int x = 0; x <= 96; ++x) {
        double z = (x - 48) / 14.0;
        double y = 58 - 50 * std::exp(-z * z / 2);
        if (x == 0)
          curve.moveTo(x, y);
        else
          curve.lineTo(x, y);
      }
      p.setPen(QPen(Qt::darkGreen, 2));
      p.drawPath(curve);
      p.setPen(Qt::black);
      p.drawLine(0, 58, 96, 58);
    }
    QMessageBox box(this);
    box.setWindowTitle(QStringLiteral("About Sorvelstats"));
    box.setIconPixmap(picture);
    box.setText(
        QStringLiteral("<b>Sorvelstats</b><br>Version %1").arg(QStringLiteral(SORVEL_VERSION)));
    box.setInformativeText(QStringLiteral("Statistics and statistical process control."));
    box.exec();
  } else {
    if (QWidget* w = ShowForm(name)) NoteActivated(w);
    UpdateViewNextItems();
  }
}

void TSorvelStatsMainForm::FileMenuPopup() {
  FileClick(this);
  UpdateViewNextItems();
}

void TSorvelStatsMainForm::MRFileClick(int slot) {
  const QString path = RecentFileToOpen(this, slot);
  if (!path.isEmpty()) OpenDataFile(path);
}

void TSorvelStatsMainForm::OpenDataFile(const QString& file) {
  TDataEditorHooks& hooks = DataEditorHooks();
  if (hooks.OpenFile)
    hooks.OpenFile(file);
  else
    pendingStartFile_ = file;
}

void TSorvelStatsMainForm::NumberFormatPopup() {
  const bool commas = NumberFormat() == 3;
  useCommas_->setChecked(commas);
  noCommas_->setChecked(!commas);
}

void TSorvelStatsMainForm::FormsMenuPopup() {
  std::vector<QWidget*> forms;
  for (QWidget* w : FormsFrontToBack())
    if (w != this) forms.push_back(w);
  std::sort(forms.begin(), forms.end(),
            [](QWidget* a, QWidget* b) { return a->windowTitle() < b->windowTitle(); });

  auto formItems = [this] {
    QList<QAction*> items;
    for (QAction* a : formsMenu_->actions())
      if (a->objectName().startsWith(QLatin1String("FormsMenu"))) items << a;
    return items;
  };
  QList<QAction*> items = formItems();
  while (items.size() < static_cast<int>(forms.size())) {
    auto* a = new QAction(formsMenu_);
    a->setObjectName(QStringLiteral("FormsMenu%1").arg(items.size() + 1));
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, a] { FormsMenuItemClick(a); });
    formsMenu_->insertAction(formsMenu_->actions().first(), a);  // new items go on top
    items = formItems();
  }
  for (int i = 0; i < items.size(); ++i) {
    const bool used = i < static_cast<int>(forms.size());
    items[i]->setVisible(used);
    if (used) {
      items[i]->setText(MenuText(forms[i]->windowTitle()));
      items[i]->setChecked(forms[i]->isVisible());
    }
  }
  const bool any = !forms.empty();
  noOpenForms_->setVisible(!any);
  formsSeparator_->setVisible(any);
  hideAllForms_->setVisible(any);
}

void TSorvelStatsMainForm::FormsMenuItemClick(QAction* item) {
  const QString caption = Q(StripAccelerator(item->text().toStdString()));
  for (QWidget* w : FormsFrontToBack())
    if (w != this && w->windowTitle() == caption) {
      RestoreAndShow(w);
      NoteActivated(w);
      return;
    }
}

void TSorvelStatsMainForm::HideAllFormsClick() {
  for (QWidget* w : FormsFrontToBack())
    if (w != this) w->hide();
}

void TSorvelStatsMainForm::FixMinimumSize() {
  // The window is its menu bar: never narrower than the menus need, never lower than
  // one menu line.
  QMenuBar* bar = menuBar();
  MinFormHeight = bar->sizeHint().height();
  MinFormWidth = bar->sizeHint().width();
  setMinimumSize(MinFormWidth, MinFormHeight);
  resize(MinFormWidth, MinFormHeight);
}

bool TSorvelStatsMainForm::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate && !activated_) {
    activated_ = true;
    FirstActivation();
  } else if (e->type() == QEvent::Show && !activated_) {
    // Some desktops never activate a new window (focus-stealing prevention): do not keep
    // the splash and the start file waiting for an activation that may not come.
    QTimer::singleShot(1500, this, [this] {
      if (!activated_) {
        activated_ = true;
        FirstActivation();
      }
    });
  }
  return QMainWindow::event(e);
}

void TSorvelStatsMainForm::FirstActivation() {
  if (splash_) {
    splash_->close();
    splash_->deleteLater();
  }
  LoadNumberFormat();
  const std::string file = StartFile(startArgument_.toStdString(), MRUFiles());
  if (!file.empty()) OpenDataFile(Q(file));
}

void TSorvelStatsMainForm::closeEvent(QCloseEvent* e) {
  TDataEditorHooks& hooks = DataEditorHooks();
  if (hooks.IsModified && hooks.IsModified()) {
    const int answer = AskYesNoCancel(QStringLiteral("File Not Saved.  Save?"));
    if (answer == QMessageBox::Cancel ||
        (answer == QMessageBox::Yes && !(hooks.SaveAs && hooks.SaveAs()))) {
      e->ignore();
      return;
    }
  }
  Settings().Write(SettingsGroup, "MainTop", std::to_string(y()));
  Settings().Write(SettingsGroup, "MainLeft", std::to_string(x()));
  e->accept();
  // Closing the main window ends the program, whatever other windows are open.
  for (QWidget* w : CreatedForms()) w->hide();
  QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TSorvelStatsMainForm::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TSorvelStatsMainForm::dropEvent(QDropEvent* e) {
  QStringList files;
  for (const QUrl& u : e->mimeData()->urls())
    if (u.isLocalFile()) files << u.toLocalFile();
  OpenDroppedFiles(files);
  e->acceptProposedAction();
}

void TSorvelStatsMainForm::OpenDroppedFiles(const QStringList& files) {
  if (files.isEmpty()) return;
  RestoreAndShow(this);
  OpenDataFile(files.first());  // only the first dropped file is taken
}

QString TInstanceCaption::Claim() {
  const QString user = QDir::home().dirName();
  auto serverName = [&](const std::string& caption) {
    QString n = Q(caption);
    n.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("-"));
    return QStringLiteral("sorvelstats-%1-%2").arg(user, n);
  };
  auto taken = [&](const std::string& caption) {
    QLocalSocket probe;
    probe.connectToServer(serverName(caption));
    return probe.waitForConnected(200);
  };
  const std::string caption = ChooseMainCaption(taken);
  const QString name = serverName(caption);
  QLocalServer::removeServer(name);  // a socket left behind by a copy that crashed
  server_ = new QLocalServer();
  server_->listen(name);
  return Q(caption);
}

TInstanceCaption::~TInstanceCaption() { delete server_; }

}  // namespace sorvel
