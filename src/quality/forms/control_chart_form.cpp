#include "quality/forms/control_chart_form.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>

#include "output/chart.h"

namespace sorvel {

TControlChartForm::TControlChartForm(QWidget* owner, const QString& caption, const QString& subject,
                                     int helpTopic)
    : TChartForm(owner, caption, subject, helpTopic) {
  AxisDecimalsMenu = new QMenu(QString::fromStdString(AxisDecimalsCaption(-1)), this);
  auto* decimals = new QActionGroup(this);
  for (int d = -1; d <= 9; ++d) {
    QAction* a = AxisDecimalsMenu->addAction(d < 0 ? QStringLiteral("&Floating")
                                                   : QStringLiteral("&%1").arg(d));
    a->setCheckable(true);
    a->setChecked(d < 0);
    decimals->addAction(a);
    connect(a, &QAction::triggered, this, [this, d] { SetAxisDecimals(d); });
  }

  ScrollBar_PointSize = new QScrollBar(Qt::Horizontal, this);
  ScrollBar_PointSize->setObjectName(QStringLiteral("ScrollBar_PointSize"));
  ScrollBar_PointSize->setRange(1, 25);
  ScrollBar_PointSize->setValue(3);
  ScrollBar_PointSize->setFixedWidth(100);
  ScrollBar_PointSize->setToolTip(QStringLiteral("Set Point Size = 3"));
  UpDown_LineThickness = new QSpinBox(this);
  UpDown_LineThickness->setObjectName(QStringLiteral("UpDown_LineThickness"));
  UpDown_LineThickness->setRange(1, 10);
  UpDown_LineThickness->setToolTip(QStringLiteral("Line Thickness = 1"));
  connect(ScrollBar_PointSize, &QScrollBar::valueChanged, this, [this](int n) {
    ScrollBar_PointSize->setToolTip(QStringLiteral("Set Point Size = %1").arg(n));
    Redraw();
  });
  connect(UpDown_LineThickness, &QSpinBox::valueChanged, this, [this](int n) {
    UpDown_LineThickness->setToolTip(QStringLiteral("Line Thickness = %1").arg(n));
    Redraw();
  });
}

QAction* TControlChartForm::NewViewCheck(const char* caption, bool checked, const char* hint) {
  auto* a = new QAction(QString::fromUtf8(caption), this);
  a->setCheckable(true);
  a->setChecked(checked);
  if (hint) {
    a->setToolTip(QString::fromUtf8(hint));
    a->setStatusTip(a->toolTip());
  }
  connect(a, &QAction::triggered, this, [this] {
    UpdateCommands();
    Redraw();
  });
  return a;
}

void TControlChartForm::AddPointStyleControls() {
  ToolBar->addWidget(new QLabel(QStringLiteral(" Point Size "), this));
  ToolBar->addWidget(ScrollBar_PointSize);
  ToolBar->addWidget(new QLabel(QStringLiteral(" Line "), this));
  ToolBar->addWidget(UpDown_LineThickness);
}

void TControlChartForm::SetAxisDecimals(int decimals) {
  axisDecimals_ = decimals;
  AxisDecimalsMenu->setTitle(QString::fromStdString(AxisDecimalsCaption(decimals)));
  const auto actions = AxisDecimalsMenu->actions();
  if (decimals + 1 >= 0 && decimals + 1 < actions.size()) actions[decimals + 1]->setChecked(true);
  Redraw();
}

void TControlChartForm::FillStyleOptions(TChartViewOptions& v) const {
  v.BlackWhite = ChartBlackWhite();
  v.AxisDecimals = axisDecimals_;
  v.PointSize = ScrollBar_PointSize->value();
  v.LineThickness = UpDown_LineThickness->value();
  v.Title = SharedReportTitle();
}

}  // namespace sorvel
