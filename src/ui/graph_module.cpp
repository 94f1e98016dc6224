#include "ui/graph_module.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

#include "ui/chart_dialogs.h"
#include "ui/chart_painter.h"
#include "ui/messages.h"
#include "ui/shell_services.h"

namespace sorvel {

const QString TGraphModule::SavePictureFilter = QStringLiteral(
    "SVG Drawings (*.svg);;PDF Documents (*.pdf);;PNG Images (*.png);;Bitmaps (*.bmp);;"
    "JPEG Images (*.jpg *.jpeg);;All (*.svg *.pdf *.png *.bmp *.jpg *.jpeg)");
const QString TGraphModule::SavePictureDefaultExt = QStringLiteral("svg");

TGraphModule& TGraphModule::Instance() {
  static TGraphModule* module = new TGraphModule;  // lives for the program
  return *module;
}

bool TGraphModule::SaveChart(const TChart& chart, QSize size, QWidget* parent) {
  QFileDialog dialog(parent, QStringLiteral("Save Graph"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(SavePictureFilter);
  dialog.setDefaultSuffix(SavePictureDefaultExt);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  return SaveChartAs(chart, size, dialog.selectedFiles().front(), parent);
}

std::optional<int> TGraphModule::AskJpegQuality(QWidget* parent) {
  bool ok = false;
  int q =
      QInputDialog::getInt(parent, QStringLiteral("JPEG Options"),
                           QStringLiteral("&Quality (1-100):"), LastJpegQuality, 1, 100, 1, &ok);
  if (!ok) return std::nullopt;
  LastJpegQuality = q;
  return q;
}

bool TGraphModule::SaveChartAs(const TChart& chart, QSize size, const QString& path,
                               QWidget* parent) {
  const QString ext = QFileInfo(path).suffix().toUpper();
  int quality = -1;
  if (ext == QLatin1String("JPG") || ext == QLatin1String("JPEG")) {
    std::optional<int> q = AskJpegQuality(parent);
    if (!q) return false;
    quality = *q;
  } else if (ext != QLatin1String("SVG") && ext != QLatin1String("PDF") &&
             ext != QLatin1String("PNG") && ext != QLatin1String("BMP")) {
    ShowInfo(QStringLiteral("File Extension Not Valid!"));
    return false;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  bool ok = SaveChartFile(chart, path, size, quality);
  QApplication::restoreOverrideCursor();
  if (!ok) ShowFileError();
  return ok;
}

void TGraphModule::PrintChart(const TChart& chart, QWidget* parent) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  QPrintPreviewDialog preview(&printer, parent);
  connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
          [&chart](QPrinter* p) { PrintChartOn(*p, chart, 5); });
  preview.exec();
}

bool TGraphModule::CopyChart(const TChart& chart, QSize size) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QImage image = RenderChartImage(chart, size);
  QByteArray svg = ChartSvg(chart, size);
  bool ok = false;
  if (!image.isNull() && !svg.isEmpty()) {
    auto* mime = new QMimeData;
    mime->setImageData(image);
    mime->setData(QStringLiteral("image/svg+xml"), svg);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setMimeData(mime);
    // Handed over only when the clipboard holds it now.
    const QMimeData* now = clipboard->mimeData();
    ok = now && now->hasFormat(QStringLiteral("image/svg+xml"));
  }
  QApplication::restoreOverrideCursor();
  if (ok)
    ShowNotice(QStringLiteral("Graph Copied to Clipboard!"), 2);
  else
    ShowInfo(QStringLiteral("The graph could not be copied to the clipboard!"));
  return ok;
}

bool TGraphModule::EditTitles(TChart& chart, const std::function<void()>& changed,
                              QWidget* parent) {
  TForm_ChartTitles dialog(chart, changed, parent);
  return dialog.exec() == QDialog::Accepted;
}

bool TGraphModule::PointLabel(std::string& text, QPoint mouse, QWidget* parent) {
  TForm_PointLabel dialog(text, parent);
  QScreen* screen = QGuiApplication::screenAt(mouse);
  if (!screen) screen = QGuiApplication::primaryScreen();
  QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
  dialog.move(TForm_PointLabel::Placement(dialog.frameGeometry().size(), mouse, area));
  if (dialog.exec() != QDialog::Accepted) return false;
  text = dialog.Text();
  return true;
}

}  // namespace sorvel
