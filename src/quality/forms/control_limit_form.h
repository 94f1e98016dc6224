// "Control Limit Calculations": one page per chart type; each page's Action runs the
// calculator on the page's typed statistic.
#pragma once

#include <array>

#include "ui/analysis_form.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace sorvel {

class TReportView;

class TControl_Limit_Form : public TAnalysisForm {
  Q_OBJECT
 public:
  explicit TControl_Limit_Form(QWidget* owner);

  struct TPage {
    QWidget* Sheet = nullptr;
    QGroupBox* RadioGroupBox = nullptr;  // "Statistic Used" or "Method"
    QButtonGroup* RadioGroup = nullptr;  // item index = sigma source - 1
    QLineEdit* Edit1 = nullptr;          // centre (X-Bar, Median, X)
    QLineEdit* Edit2 = nullptr;          // the statistic
    QLineEdit* Edit3 = nullptr;          // n (all pages but c)
    QLabel* Label3 = nullptr;
    QLineEdit* Edit4 = nullptr;  // "Std &Err:"
    TReportView* RichEdit = nullptr;
  };

  QTabWidget* PageControl_cc = nullptr;
  QPushButton* Button_Action = nullptr;
  TDecimalSpinEdit* DecimalSpinEdit = nullptr;
  std::array<TPage, 10> Pages;

  int CurrentPage() const;  // 1..10, the chart type code
  TPage& Page(int n) { return Pages[static_cast<std::size_t>(n - 1)]; }
  void Button_ActionClick();

 protected:
  void Recompute() override { Button_ActionClick(); }

 private:
  void BuildPage(int n);
  void XItemChanged();
  void PageChanged();
};

}  // namespace sorvel
