#include "ui/chart_dialogs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "ui/key_filter_qt.h"

namespace sorvel {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) out += (i ? "\n" : "") + lines[i];
  return out;
}

std::vector<std::string> SplitLines(const QString& text) {
  std::vector<std::string> out;
  if (text.isEmpty()) return out;
  for (const QString& line : text.split(QLatin1Char('\n'))) out.push_back(line.toStdString());
  return out;
}

QString LastTextHint(const std::string& text) { return QStringLiteral("Last Text:\n") + Q(text); }

void CentreOnScreen(QWidget* w) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect area = screen->availableGeometry();
  w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
}

}  // namespace

TChartTitleMemory& ChartTitleMemory() {
  static TChartTitleMemory memory;
  return memory;
}

const QStringList TForm_ChartTitles::SizeItems = {
    QStringLiteral("6"),  QStringLiteral("7"),  QStringLiteral("8"),  QStringLiteral("9"),
    QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("14"),
    QStringLiteral("16"), QStringLiteral("18"), QStringLiteral("20"), QStringLiteral("22"),
    QStringLiteral("24"), QStringLiteral("26"), QStringLiteral("28"), QStringLiteral("30"),
    QStringLiteral("36"), QStringLiteral("40"), QStringLiteral("48"), QStringLiteral("54"),
    QStringLiteral("60"), QStringLiteral("66"), QStringLiteral("72")};

int TForm_ChartTitles::SizeFromText(const QString& text) {
  bool ok = false;
  double v = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(v)) return 0;
  long rounded = std::lround(v);
  return rounded >= 1 && rounded <= 999 ? static_cast<int>(rounded) : 0;
}

TForm_ChartTitles::TForm_ChartTitles(TChart& chart, std::function<void()> changed, QWidget* parent)
    : QDialog(parent), chart_(chart), changed_(std::move(changed)) {
  setWindowTitle(QStringLiteral("Titles"));
  title_ = chart.Title;
  x_ = chart.Bottom.Title;
  y_ = chart.Panels[0].Left.Title;
  fonts_ = chart.Fonts;
  const TChartTitleMemory& memory = ChartTitleMemory();

  auto* grid = new QGridLayout;
  auto lastButton = [&](const std::string& remembered) {
    auto* b = new QPushButton(QStringLiteral("Last Text"), this);
    b->setToolTip(LastTextHint(remembered));
    b->setAutoDefault(false);
    return b;
  };
  auto sizeBox = [&](int size) {
    auto* c = new QComboBox(this);
    c->setEditable(true);
    c->addItems(SizeItems);
    c->lineEdit()->setMaxLength(3);
    c->setEditText(QString::number(size));
    c->setInsertPolicy(QComboBox::NoInsert);
    SetKeyFilter(c->lineEdit(), PosRealComboFilter);
    return c;
  };
  auto label = [&](const QString& text, QWidget* buddy) {
    auto* l = new QLabel(text, this);
    l->setBuddy(buddy);
    return l;
  };

  Memo_Title = new QPlainTextEdit(this);
  Memo_Title->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo_Title->setPlainText(Q(JoinLines(chart.Title)));
  Memo_Title->setFixedHeight(Memo_Title->fontMetrics().lineSpacing() * 4 + 12);
  Edit_Y = new QLineEdit(Q(chart.Panels[0].Left.Title), this);
  Edit_X = new QLineEdit(Q(chart.Bottom.Title), this);
  const TChartAxis* extra = chart.ExtraVerticalAxis();
  Edit_Y2 = new QLineEdit(extra ? Q(extra->Title) : QString(), this);
  Button_LastTitle = lastButton(memory.ChartTitle);
  Button_LastY = lastButton(memory.YTitle);
  Button_LastX = lastButton(memory.XTitle);
  // No Y2 text is remembered; its button offers the last Y title, the nearest kin.
  Button_LastY2 = lastButton(memory.YTitle);
  ComboBox_TitleSize = sizeBox(chart.Fonts.Title);
  ComboBox_YTitleSize = sizeBox(chart.Fonts.YTitle);
  ComboBox_XTitleSize = sizeBox(chart.Fonts.XTitle);
  ComboBox_YLabelSize = sizeBox(chart.Fonts.YLabel);
  ComboBox_XLabelSize = sizeBox(chart.Fonts.XLabel);

  grid->addWidget(new QLabel(QStringLiteral("Title Size"), this), 0, 3);
  grid->addWidget(new QLabel(QStringLiteral("Label Size"), this), 0, 4);
  grid->addWidget(label(QStringLiteral("Char&t:"), Memo_Title), 1, 0, Qt::AlignTop);
  grid->addWidget(Memo_Title, 1, 1);
  grid->addWidget(Button_LastTitle, 1, 2, Qt::AlignTop);
  grid->addWidget(ComboBox_TitleSize, 1, 3, Qt::AlignTop);
  grid->addWidget(label(QStringLiteral("&Y:"), Edit_Y), 2, 0);
  grid->addWidget(Edit_Y, 2, 1);
  grid->addWidget(Button_LastY, 2, 2);
  grid->addWidget(ComboBox_YTitleSize, 2, 3);
  grid->addWidget(ComboBox_YLabelSize, 2, 4);
  grid->addWidget(label(QStringLiteral("&X:"), Edit_X), 3, 0);
  grid->addWidget(Edit_X, 3, 1);
  grid->addWidget(Button_LastX, 3, 2);
  grid->addWidget(ComboBox_XTitleSize, 3, 3);
  grid->addWidget(ComboBox_XLabelSize, 3, 4);
  Label_Y2 = label(QStringLiteral("Y&2:"), Edit_Y2);
  grid->addWidget(Label_Y2, 4, 0);
  grid->addWidget(Edit_Y2, 4, 1);
  grid->addWidget(Button_LastY2, 4, 2);
  const bool showY2 = extra && !extra->Title.empty();
  for (QWidget* w : {static_cast<QWidget*>(Label_Y2), static_cast<QWidget*>(Edit_Y2),
                     static_cast<QWidget*>(Button_LastY2)})
    w->setVisible(showY2);
  grid->setColumnMinimumWidth(1, 260);

  Button_OK = new QPushButton(QStringLiteral("OK"), this);
  Button_OK->setDefault(true);
  Button_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button_OK);
  buttons->addWidget(Button_Cancel);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(grid);
  outer->addLayout(buttons);
  outer->setSizeConstraint(QLayout::SetFixedSize);

  // Every change shows on the chart at once.
  auto apply = [this](auto&& edit) {
    edit();
    if (changed_) changed_();
  };
  connect(Memo_Title, &QPlainTextEdit::textChanged, this,
          [=, this] { apply([&] { chart_.Title = SplitLines(Memo_Title->toPlainText()); }); });
  connect(Edit_Y, &QLineEdit::textChanged, this, [=, this](const QString& t) {
    apply([&] { chart_.Panels[0].Left.Title = t.toStdString(); });
  });
  connect(Edit_X, &QLineEdit::textChanged, this,
          [=, this](const QString& t) { apply([&] { chart_.Bottom.Title = t.toStdString(); }); });
  connect(Edit_Y2, &QLineEdit::textChanged, this, [=, this](const QString& t) {
    apply([&] {
      if (TChartAxis* a = chart_.ExtraVerticalAxis()) a->Title = t.toStdString();
    });
  });
  // One size serves a role on every vertical axis, so the Y sizes reach the Y2 axis too.
  const std::pair<QComboBox*, int TChartFonts::*> sizes[] = {
      {ComboBox_TitleSize, &TChartFonts::Title},
      {ComboBox_YTitleSize, &TChartFonts::YTitle},
      {ComboBox_XTitleSize, &TChartFonts::XTitle},
      {ComboBox_YLabelSize, &TChartFonts::YLabel},
      {ComboBox_XLabelSize, &TChartFonts::XLabel}};
  for (const auto& [box, field] : sizes)
    connect(box, &QComboBox::editTextChanged, this, [=, this, f = field](const QString& t) {
      if (int size = SizeFromText(t)) apply([&] { chart_.Fonts.*f = size; });
    });
  connect(Button_LastTitle, &QPushButton::clicked, this,
          [this] { Memo_Title->setPlainText(Q(ChartTitleMemory().ChartTitle)); });
  connect(Button_LastY, &QPushButton::clicked, this,
          [this] { Edit_Y->setText(Q(ChartTitleMemory().YTitle)); });
  connect(Button_LastX, &QPushButton::clicked, this,
          [this] { Edit_X->setText(Q(ChartTitleMemory().XTitle)); });
  connect(Button_LastY2, &QPushButton::clicked, this,
          [this] { Edit_Y2->setText(Q(ChartTitleMemory().YTitle)); });
  connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
  adjustSize();
  CentreOnScreen(this);
}

void TForm_ChartTitles::accept() {
  TChartTitleMemory& memory = ChartTitleMemory();
  memory.ChartTitle = Memo_Title->toPlainText().toStdString();
  memory.XTitle = Edit_X->text().toStdString();
  memory.YTitle = Edit_Y->text().toStdString();
  QDialog::accept();
}

void TForm_ChartTitles::reject() {
  // The Y2 title keeps what was typed.
  chart_.Title = title_;
  chart_.Bottom.Title = x_;
  chart_.Panels[0].Left.Title = y_;
  chart_.Fonts = fonts_;
  if (changed_) changed_();
  QDialog::reject();
}

TForm_PointLabel::TForm_PointLabel(const std::string& text, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Enter Text for Point"));
  Edit_Text = new QLineEdit(Q(text), this);
  Edit_Text->setMinimumWidth(240);
  Button_LastText = new QPushButton(QStringLiteral("Last Text"), this);
  Button_LastText->setAutoDefault(false);
  const std::string& last = ChartTitleMemory().PointText;
  if (!last.empty()) Button_LastText->setToolTip(Q(last));
  connect(Button_LastText, &QPushButton::clicked, this,
          [this] { Edit_Text->setText(Q(ChartTitleMemory().PointText)); });
  Button_OK = new QPushButton(QStringLiteral("OK"), this);
  Button_OK->setDefault(true);
  Button_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
  connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addWidget(Edit_Text);
  row->addWidget(Button_LastText);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button_OK);
  buttons->addWidget(Button_Cancel);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(row);
  outer->addLayout(buttons);
  outer->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();
}

std::string TForm_PointLabel::Text() const { return Edit_Text->text().toStdString(); }

void TForm_PointLabel::accept() {
  ChartTitleMemory().PointText = Text();
  QDialog::accept();
}

QPoint TForm_PointLabel::Placement(QSize frame, QPoint mouse, QRect screen) {
  int x = mouse.x() - frame.width() / 2;
  int y = mouse.y() - 20 - frame.height();
  return {std::max(x, screen.left()), std::max(y, screen.top())};
}

}  // namespace sorvel
