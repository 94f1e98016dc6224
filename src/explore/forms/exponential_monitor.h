// "Exponential Test Monitor": the modeless window shown while the Monte-Carlo exponential
// test runs, with its gauge and an Abort button that stops the test.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

namespace sorvel {

class TExponentialTestMonitor : public QDialog {
  Q_OBJECT
 public:
  explicit TExponentialTestMonitor(QWidget* parent = nullptr);

  QLabel* Label_Processing = nullptr;
  QProgressBar* ProgressBar = nullptr;
  QPushButton* Button_Abort = nullptr;
  bool Aborted = false;

  // The progress callback of ExponentialTestP: moves the gauge, lets pending events run
  // (so Abort can be pressed) and says whether to go on.
  bool Progress(double fraction);
  // ExponentialTestP with this window: shown with "Processing: " + label while the test
  // draws, closed afterwards (a cached result shows nothing).
  double Run(int n, double t, const std::string& label);
};

}  // namespace sorvel
