// "Test Statistics": a z, t, chi-square or F statistic to its p-value and back, one
// page per distribution, each with its own report and picture.
#pragma once

#include <array>

#include "ui/analysis_form.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace sorvel {

class TPictureView;
class TReportView;

class TTestStatForm : public TAnalysisForm {
  Q_OBJECT
 public:
  explicit TTestStatForm(QWidget* owner);

  struct TPage {
    QWidget* Sheet = nullptr;
    QLabel* Title = nullptr;
    QLabel* ValueLabel = nullptr;
    QLineEdit* ValueEdit = nullptr;
    QLineEdit* Df1Edit = nullptr;  // t, X² and F
    QLineEdit* Df2Edit = nullptr;  // F
    QGroupBox* TailsBox = nullptr;
    QButtonGroup* Tails = nullptr;  // 0 Two, 1 Lower, 2 Upper
    QGroupBox* WantBox = nullptr;
    QButtonGroup* Want = nullptr;  // 0 p-Value, 1 Value
    TDecimalSpinEdit* DecimalSpinEdit = nullptr;
    TReportView* Richedit = nullptr;
    TPictureView* Image = nullptr;
  };

  QTabWidget* PageControl = nullptr;
  QPushButton* Button_Action = nullptr;
  std::array<TPage, 4> Pages;

  int CurrentPage() const;  // 1..4
  TPage& Page(int n) { return Pages[static_cast<std::size_t>(n - 1)]; }
  void Button_ActionClick();

  bool HasGraphic() const override;
  void PaintGraphic(QPainter& painter, const QRectF& target) const override;
  bool PrintsGraphic() const override { return true; }

 protected:
  void Recompute() override { Button_ActionClick(); }
  void AfterZoom(double ratio) override;

 private:
  void BuildPage(int n);
  void WantChanged(int n);
  void PageChanged();
};

}  // namespace sorvel
