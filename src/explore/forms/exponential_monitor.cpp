#include "explore/forms/exponential_monitor.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "stats/stats_engine.h"

namespace sorvel {

TExponentialTestMonitor::TExponentialTestMonitor(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ExponentialTestMonitor"));
  setWindowTitle(QStringLiteral("Exponential Test Monitor"));
  // Fixed border, no system buttons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  Label_Processing = new QLabel(this);
  ProgressBar = new QProgressBar(this);
  ProgressBar->setRange(0, 100);
  Button_Abort = new QPushButton(QStringLiteral("Abort"), this);
  Button_Abort->setObjectName(QStringLiteral("Button_Abort"));
  layout->addWidget(Label_Processing);
  layout->addWidget(ProgressBar);
  layout->addWidget(Button_Abort, 0, Qt::AlignHCenter);
  connect(Button_Abort, &QPushButton::clicked, this, [this] {
    Aborted = true;
    QApplication::processEvents();
  });
  setFixedSize(320, 120);
}

bool TExponentialTestMonitor::Progress(double fraction) {
  if (!isVisible()) {
    if (QScreen* s = QApplication::primaryScreen())
      move(s->availableGeometry().center() - rect().center());
    show();
  }
  ProgressBar->setValue(static_cast<int>(fraction * 100));
  QApplication::processEvents();
  return !Aborted;
}

double TExponentialTestMonitor::Run(int n, double t, const std::string& label) {
  Aborted = false;
  ProgressBar->setValue(0);
  Label_Processing->setText(QStringLiteral("Processing: ") + QString::fromStdString(label));
  const double p = ExponentialTestP(n, t, label, [this](double f) { return Progress(f); });
  hide();
  return p;
}

}  // namespace sorvel
