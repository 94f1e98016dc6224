// The GUI program: start-up in the shell's order.
#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QSplashScreen>

#include "numerics/settings_store.h"
#include "shell/forms/main_form.h"
#include "shell/forms/register_forms.h"
#include "shell/mru.h"
#include "shell/startup.h"
#include "ui/messages.h"
#include "ui/settings_qt.h"
#include "ui/window_registry.h"

namespace {

QPixmap SplashPicture() {
  QPixmap p(420, 180);
  p.fill(Qt::white);
  QPainter painter(&p);
  painter.setPen(Qt::darkBlue);
  QFont f(QStringLiteral("Arial"), 28, QFont::Bold);
  painter.setFont(f);
  painter.drawText(p.rect().adjusted(0, 0, 0, -40), Qt::AlignCenter, QStringLiteral("Sorvelstats"));
  painter.setFont(QFont(QStringLiteral("Arial"), 10));
  painter.drawText(p.rect().adjusted(0, 80, 0, 0), Qt::AlignCenter,
                   QStringLiteral("Statistics and process control, version %1")
                       .arg(QStringLiteral(SORVEL_VERSION)));
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Sorvel Darovovu"));
  QApplication::setApplicationName(QStringLiteral("Sorvelstats"));
  QApplication::setApplicationVersion(QStringLiteral(SORVEL_VERSION));

  // Library initialisation first: settings, the library's warnings, the recent files.
  sorvel::TQtSettingsStore settings;
  sorvel::SetSettingsStore(&settings);
  sorvel::InstallGuiWarningHandler();
  sorvel::MRUFiles().Read();
  sorvel::RegisterAllForms();

  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

  sorvel::TInstanceCaption instance;
  const QString caption = instance.Claim();
  QApplication::setApplicationDisplayName(caption);

  sorvel::TSorvelStatsMainForm mainForm(caption);
  mainForm.SetStartArgument(QString::fromStdString(sorvel::CommandLineArgument(args)));
  if (auto top = settings.Read(sorvel::SettingsGroup, "MainTop"),
      left = settings.Read(sorvel::SettingsGroup, "MainLeft");
      top && left) {
    const QPoint pos(std::atoi(left->c_str()), std::atoi(top->c_str()));
    for (QScreen* s : QGuiApplication::screens())
      if (s->availableGeometry().contains(pos)) mainForm.move(pos);
  }

  auto* splash = new QSplashScreen(SplashPicture());
  mainForm.SetSplash(splash);
  splash->show();
  mainForm.show();
  return app.exec();
}
