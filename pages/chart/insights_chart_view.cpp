#include "pages/chart/insights_chart_view.h"

#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QCursor>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace lunaret {

namespace {

// The meaning is carried by the line styles and the legend, not by the colours.
const QColor kBarFill(0x9d, 0xb4, 0xd0);
const QColor kBarEdge(0x3d, 0x5a, 0x80);
const QColor kBandFill(0xd8, 0xd8, 0xd8, 0x90);
const QColor kLine(0x20, 0x20, 0x20);
const QColor kForecastLine(0xa0, 0x28, 0x28);
constexpr double kFewestSlots = 12;

QLineSeries* FlatLine(double y, double from, double to, QObject* parent) {
  auto* line = new QLineSeries(parent);  // owned by parent until a chart or band takes it
  line->append(from, y);
  line->append(to, y);
  return line;
}

}  // namespace

InsightsChartView::InsightsChartView(QWidget* parent) : QChartView(parent) {
  chart_ = new QChart;
  setChart(chart_);  // the view owns the chart
  setRenderHint(QPainter::Antialiasing);
  chart_->setBackgroundRoundness(0);
  chart_->setMargins(QMargins(2, 0, 2, 0));
  chart_->layout()->setContentsMargins(0, 0, 0, 0);
  chart_->legend()->setAlignment(Qt::AlignBottom);
  chart_->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
  // The dates under the bars in a slightly smaller type, so that upright they take less room.
  QFont small = font();
  small.setPixelSize(std::max(8, QFontInfo(font()).pixelSize() - 1));
  chart_->legend()->setFont(font());

  axisX_ = new QCategoryAxis;
  axisX_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  axisX_->setGridLineVisible(false);
  // Upright dates are cut short by the axis however much room they have; the page leaves room.
  axisX_->setTruncateLabels(false);
  axisX_->setLabelsFont(small);
  axisX_->setTitleFont(font());
  chart_->addAxis(axisX_, Qt::AlignBottom);  // the chart owns its axes
  axisY_ = new QValueAxis;
  axisY_->setLabelFormat(QStringLiteral("%d"));
  axisY_->setLabelsFont(small);
  axisY_->setTitleFont(font());
  chart_->addAxis(axisY_, Qt::AlignLeft);

  // The plot's width decides how many dates fit under the bars.
  connect(chart_, &QChart::plotAreaChanged, this, [this]() { LabelBars(); });
}

InsightsChartView::~InsightsChartView() = default;

void InsightsChartView::SetData(const InsightsChartData& data) {
  data_ = data;
  setAccessibleName(data.accessibleName);
  setAccessibleDescription(data.accessibleDescription);
  chart_->removeAllSeries();

  // A few bars keep the width they have among a dozen, in the middle.
  const double count = static_cast<double>(data.lengths.size());
  const double margin = std::max(0.0, (kFewestSlots - count) / 2);
  const double left = -0.5 - margin;
  const double right = count - 0.5 + margin;
  double top = 0;
  for (double length : data.lengths)
    top = std::max(top, length);

  if (data.deviation > 0) {
    auto* band = new QAreaSeries;
    band->setUpperSeries(FlatLine(data.mean + data.deviation, left, right, band));
    band->setLowerSeries(FlatLine(std::max(0.0, data.mean - data.deviation), left, right, band));
    band->setName(data.bandName);
    band->setBrush(kBandFill);
    band->setPen(QPen(kLine, 1, Qt::DotLine));
    chart_->addSeries(band);  // under the bars
    top = std::max(top, data.mean + data.deviation);
  }

  auto* bars = new QBarSeries;
  auto* set = new QBarSet(data.barsName);
  set->append(QList<qreal>(data.lengths.begin(), data.lengths.end()));
  set->setColor(kBarFill);
  set->setBorderColor(kBarEdge);
  bars->append(set);  // the series owns its set
  bars->setBarWidth(0.7);
  connect(bars, &QBarSeries::hovered, this,
          [this](bool hovered, int index, QBarSet*) { ShowTooltip(hovered, index); });
  chart_->addSeries(bars);
  // The axis titles say what the bars are; the legend names the lines.
  chart_->legend()->markers(bars).first()->setVisible(false);

  if (!data.lengths.empty()) {
    QLineSeries* mean = FlatLine(data.mean, left, right, nullptr);
    mean->setName(data.meanName);
    mean->setPen(QPen(kLine, 2, Qt::SolidLine));
    chart_->addSeries(mean);
  }
  if (data.forecastDuration > 0) {
    const double forecast = static_cast<double>(data.forecastDuration);
    QLineSeries* line = FlatLine(forecast, left, right, nullptr);
    line->setName(data.forecastName);
    line->setPen(QPen(kForecastLine, 2, Qt::DashLine));
    chart_->addSeries(line);
    top = std::max(top, forecast);
  }
  for (QAbstractSeries* series : chart_->series()) {
    series->attachAxis(axisX_);
    series->attachAxis(axisY_);
  }

  axisX_->setTitleText(data.axisXTitle);
  axisX_->setRange(left, right);
  axisY_->setTitleText(data.axisYTitle);
  axisY_->setRange(0, std::ceil(top * 1.1) + 1);
  axisY_->applyNiceNumbers();
  labelStep_ = 0;
  LabelBars();
}

void InsightsChartView::LabelBars() {
  const int count = static_cast<int>(data_.labels.size());
  const double width = chart_->plotArea().width();
  if (count == 0 || width <= 0)
    return;
  // Dates stand upright under the bars: each needs the height of a line and a little room.
  const QFontMetrics metrics(axisX_->labelsFont());
  const double perBar = width / std::max(1.0, axisX_->max() - axisX_->min());
  const int step = std::max(1, static_cast<int>(std::ceil((metrics.height() + 4) / perBar)));
  if (step == labelStep_)
    return;
  labelStep_ = step;
  for (const QString& label : axisX_->categoriesLabels())
    axisX_->remove(label);
  axisX_->setStartValue(axisX_->min());
  axisX_->setLabelsAngle(-90);
  // Counted back from the newest bar, which always keeps its date.
  for (int i = (count - 1) % step; i < count; i += step)
    axisX_->append(data_.labels[i], i);
}

void InsightsChartView::ShowTooltip(bool hovered, int index) {
  if (hovered && index >= 0 && index < data_.tooltips.size())
    QToolTip::showText(QCursor::pos(), data_.tooltips[index], this);
  else
    QToolTip::hideText();
}

}  // namespace lunaret
