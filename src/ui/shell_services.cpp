#include "ui/shell_services.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "numerics/settings_store.h"
#include "ui/messages.h"
#include "ui/window_registry.h"

namespace sorvel {

namespace {
std::function<bool(const QString&)>& Launcher() {
  static std::function<bool(const QString&)> launcher;
  return launcher;
}
}  // namespace

bool LaunchAddress(const QString& address) {
  if (Launcher()) return Launcher()(address);
  QUrl url = QUrl::fromUserInput(address);
  return QDesktopServices::openUrl(url);
}

void SetAddressLauncher(std::function<bool(const QString& address)> launcher) {
  Launcher() = std::move(launcher);
}

QString LocalHelpFolder() {
  // SORVEL_HELP_DIR names the folder outright (an empty or missing one means none).
  if (qEnvironmentVariableIsSet("SORVEL_HELP_DIR")) {
    const QString dir = qEnvironmentVariable("SORVEL_HELP_DIR");
    return !dir.isEmpty() && QFileInfo::exists(dir + QStringLiteral("/index.html")) ? dir
                                                                                    : QString();
  }
  const QString appDir = QCoreApplication::applicationDirPath();
  for (const QString& candidate :
       {appDir + QStringLiteral("/../share/sorvelstats/help"), appDir + QStringLiteral("/../help"),
        appDir + QStringLiteral("/help")}) {
    if (QFileInfo::exists(candidate + QStringLiteral("/index.html")))
      return QDir::cleanPath(candidate);
  }
  return {};
}

namespace {

QString HelpAddress() {
  auto v = Settings().Read(SettingsGroup, "HelpAddress");
  return v ? QString::fromStdString(*v).trimmed() : QString();
}

// page: "contents" or a topic number.
void ShowHelpPage(const QString& page) {
  const QString address = HelpAddress();
  if (!address.isEmpty()) {
    if (!LaunchAddress(address + QStringLiteral("/help/help.php?m") + page))
      ShowInfo(QStringLiteral("WEB Site not accessible"));
    return;
  }
  const QString folder = LocalHelpFolder();
  if (folder.isEmpty()) {
    ShowWarning(QStringLiteral("The Help file was not found."));
    return;
  }
  QString file =
      folder + (page == QLatin1String("contents") ? QStringLiteral("/index.html")
                                                  : QStringLiteral("/topic%1.html").arg(page));
  if (!QFileInfo::exists(file)) file = folder + QStringLiteral("/index.html");
  // A desktop without a browser or file handler opens nothing: say so.
  if (!LaunchAddress(QUrl::fromLocalFile(file).toString()))
    ShowWarning(QStringLiteral("The Help file was not found."));
}

QPointer<QDialog> notice;
QPointer<QDialog> gauge;

}  // namespace

void ShowHelpContents() { ShowHelpPage(QStringLiteral("contents")); }
void ShowHelpTopic(int topic) { ShowHelpPage(QString::number(topic)); }

void ShowNotice(const QString& text, int seconds) {
  delete notice.data();
  auto* dlg = new QDialog(MainForm());
  dlg->setWindowTitle(QStringLiteral("Notice"));
  dlg->setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(dlg);
  auto* label = new QLabel(text, dlg);
  label->setObjectName(QStringLiteral("NoticePanel"));
  label->setAlignment(Qt::AlignCenter);
  layout->addWidget(label);
  dlg->resize(QFontMetrics(label->font()).horizontalAdvance(text) + 92, dlg->sizeHint().height());
  notice = dlg;
  QTimer::singleShot(seconds * 1000, dlg, &QDialog::close);
  dlg->show();
}

QString CurrentNoticeText() {
  if (!notice) return {};
  auto* label = notice->findChild<QLabel*>(QStringLiteral("NoticePanel"));
  return label ? label->text() : QString();
}

void ShowLoadingGauge() {
  delete gauge.data();
  auto* dlg = new QDialog(MainForm());
  dlg->setWindowTitle(QStringLiteral("Loading File..."));
  auto* layout = new QVBoxLayout(dlg);
  auto* bar = new QProgressBar(dlg);
  bar->setRange(0, 1000);
  bar->setValue(0);
  layout->addWidget(bar);
  dlg->resize(320, dlg->sizeHint().height());
  gauge = dlg;
  dlg->show();
  QCoreApplication::processEvents();
}

void SetLoadingGauge(double fraction) {
  if (!gauge) return;
  if (auto* bar = gauge->findChild<QProgressBar*>()) {
    int v = static_cast<int>(fraction * 1000.0 + 0.5);
    bar->setValue(v < 0 ? 0 : (v > 1000 ? 1000 : v));
  }
  QCoreApplication::processEvents();
}

void FreeLoadingGauge() { delete gauge.data(); }

bool LoadingGaugeShown() { return !gauge.isNull(); }

}  // namespace sorvel
