// The chart titles dialog ("Titles") and the point label dialog ("Enter Text for Point").
// Both are created for one use; what the user confirmed last is kept for the program.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "output/chart.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace sorvel {

// Texts confirmed with OK, for the "Last Text" buttons of every later dialog.
struct TChartTitleMemory {
  std::string ChartTitle, XTitle, YTitle, PointText;
};
TChartTitleMemory& ChartTitleMemory();

class TForm_ChartTitles : public QDialog {
  Q_OBJECT
 public:
  // Edits chart in place; changed runs after each change so the window redraws.
  TForm_ChartTitles(TChart& chart, std::function<void()> changed, QWidget* parent = nullptr);

  // The sizes offered (free typing too, up to 3 characters).
  static const QStringList SizeItems;

  QLineEdit* Edit_Y = nullptr;
  QLineEdit* Edit_X = nullptr;
  QLineEdit* Edit_Y2 = nullptr;
  QPlainTextEdit* Memo_Title = nullptr;
  QLabel* Label_Y2 = nullptr;
  QComboBox* ComboBox_TitleSize = nullptr;
  QComboBox* ComboBox_YTitleSize = nullptr;
  QComboBox* ComboBox_XTitleSize = nullptr;
  QComboBox* ComboBox_YLabelSize = nullptr;
  QComboBox* ComboBox_XLabelSize = nullptr;
  QPushButton* Button_LastTitle = nullptr;
  QPushButton* Button_LastY = nullptr;
  QPushButton* Button_LastX = nullptr;
  QPushButton* Button_LastY2 = nullptr;
  QPushButton* Button_OK = nullptr;
  QPushButton* Button_Cancel = nullptr;

  // A size box's text as a font size: a positive number rounded to the nearest whole;
  // 0 when the text is not one.
  static int SizeFromText(const QString& text);

  void accept() override;
  void reject() override;

 private:
  TChart& chart_;
  std::function<void()> changed_;
  // as on opening, for Cancel
  std::vector<std::string> title_;
  std::string x_, y_;
  TChartFonts fonts_;
};

class TForm_PointLabel : public QDialog {
  Q_OBJECT
 public:
  TForm_PointLabel(const std::string& text, QWidget* parent = nullptr);
  QLineEdit* Edit_Text = nullptr;
  QPushButton* Button_LastText = nullptr;
  QPushButton* Button_OK = nullptr;
  QPushButton* Button_Cancel = nullptr;
  std::string Text() const;
  void accept() override;

  // Centred on the mouse with its bottom edge 20 pixels above it, but never beyond the
  // screen's top or left edge: the frame's top-left corner.
  static QPoint Placement(QSize frame, QPoint mouse, QRect screen);
};

}  // namespace sorvel
