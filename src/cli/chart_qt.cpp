// Built into sorvelstats-cli only when the program is built with Qt.
#ifdef SORVEL_CLI_HAS_QT

#include "cli/chart_qt.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <memory>

#include "cli/cli.h"
#include "numerics/picture.h"
#include "ui/chart_painter.h"
#include "ui/picture_painter.h"

namespace sorvel {

namespace {

// Qt's notes about the session (no runtime directory, fonts) are no business of a script
// reading standard error; only critical messages pass.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

}  // namespace

bool SavePictureWithQt(const TGraphicToSave& graphic, const std::string& path, std::string& error) {
  QtMessageHandler previous = qInstallMessageHandler(QuietMessages);
  // The application lives only while the picture is painted, so that it is gone before
  // static destruction begins.
  std::unique_ptr<QGuiApplication> app;
  if (!QGuiApplication::instance()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "sorvelstats-cli";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  QString file = QString::fromStdString(path);
  QString lower = file.toLower();
  bool ok = false;
  if (graphic.Chart) {
    QSize size = graphic.Width > 0 ? QSize(graphic.Width, graphic.Height)
                                   : QSize(DefaultChartWidth, DefaultChartHeight);
    ok = SaveChartFile(*graphic.Chart, file, size);
  } else if (graphic.Picture) {
    // a picture keeps its own drawing space in vector files; the size is the PNG's
    const TPicture& picture = *graphic.Picture;
    ok = lower.endsWith(".svg")   ? SavePictureSvg(picture, file)
         : lower.endsWith(".pdf") ? SavePicturePdf(picture, file)
         : graphic.Width > 0 ? SavePicturePng(picture, file, QSize(graphic.Width, graphic.Height))
                             : SavePicturePng(picture, file);
  }
  if (!ok) error = "the picture could not be saved";
  app.reset();
  qInstallMessageHandler(previous);
  return ok;
}

}  // namespace sorvel

#endif
