// Reading back printed PDFs in window tests.
#pragma once

#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace sorvel {

// The text of each page of a PDF, or nothing when pdftotext is not installed.
inline QStringList PdfPages(const QString& pdf) {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (tool.isEmpty()) return {};
  QProcess p;
  p.start(tool, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  if (!p.waitForFinished(30000)) return {};
  QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QChar('\f'));
  if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
  return pages;
}

inline void SetupPdf(QPrinter& printer, const QString& path) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setPageSize(QPageSize(QPageSize::Letter));
}

}  // namespace sorvel
