// "Descriptive Statistics": pick columns of the data set, press "&Action", read the
// count, mean and spread of each.
#pragma once

#include <cstdint>

#include "ui/analysis_form.h"

class QListWidget;

namespace sorvel {

class TDescriptiveForm : public TAnalysisForm {
  Q_OBJECT
 public:
  explicit TDescriptiveForm(QWidget* owner);

  QListWidget* ListBox_Columns = nullptr;  // checkable, one item per column
  TDecimalSpinEdit* DecimalSpinEdit = nullptr;
  QPushButton* Button_Action = nullptr;
  TReportView* RichEdit = nullptr;

  // Rebuilds the column list when the data set or its columns changed since last time.
  void FillColumnList();
  // The options the window's controls hold.
  TOptions Options() const;
  void Button_ActionClick();

 protected:
  void Recompute() override;
  void showEvent(QShowEvent* event) override;

 private:
  std::int32_t seenNewData_ = -1, seenColumns_ = -1;
};

}  // namespace sorvel
