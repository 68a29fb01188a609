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
constexpr double kDaysBelow = 3;  // room under the shortest bar

// A horizontal line across the plot.
void SetFlat(QLineSeries* line, double y, double from, double to) {
  line->replace(QList<QPointF>{{from, y}, {to, y}});
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
  chart_->legend()->setFont(font());
  // The dates under the bars and the days beside them a little smaller, so that upright dates
  // take less room.
  QFont small = font();
  small.setPixelSize(std::max(8, QFontInfo(font()).pixelSize() - 1));

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

  // The series are made once and changed in place: building ten thousand bars anew for every
  // change would cost far more than moving the few that changed.
  band_ = new QAreaSeries;
  band_->setUpperSeries(new QLineSeries(band_));  // owned by the band
  band_->setLowerSeries(new QLineSeries(band_));
  band_->setBrush(kBandFill);
  band_->setPen(QPen(kLine, 1, Qt::DotLine));
  bars_ = new QBarSeries;
  set_ = new QBarSet(QString());
  set_->setColor(kBarFill);
  set_->setBorderColor(kBarEdge);
  bars_->append(set_);  // the series owns its set
  bars_->setBarWidth(0.7);
  mean_ = new QLineSeries;
  mean_->setPen(QPen(kLine, 2, Qt::SolidLine));
  forecast_ = new QLineSeries;
  // Short dashes, so that the legend's short stroke shows them too.
  QPen dashed(kForecastLine, 2);
  dashed.setDashPattern({2, 2});
  forecast_->setPen(dashed);
  const QList<QAbstractSeries*> all = {band_, bars_, mean_, forecast_};
  for (QAbstractSeries* series : all) {
    chart_->addSeries(series);  // the chart owns its series; the band lies under the bars
    series->attachAxis(axisX_);
    series->attachAxis(axisY_);
  }
  // The axis titles say what the bars are; the legend names the lines.
  chart_->legend()->markers(bars_).first()->setVisible(false);
  connect(bars_, &QBarSeries::hovered, this,
          [this](bool hovered, int index, QBarSet*) { ShowTooltip(hovered, index); });

  // The plot's width decides how many dates fit under the bars.
  connect(chart_, &QChart::plotAreaChanged, this, [this]() { LabelBars(); });
}

InsightsChartView::~InsightsChartView() = default;

void InsightsChartView::SetData(const InsightsChartData& data) {
  data_ = data;
  setAccessibleName(data.accessibleName);
  setAccessibleDescription(data.accessibleDescription);

  // A few bars keep the width they have among a dozen, in the middle.
  const double count = static_cast<double>(data.lengths.size());
  const double margin = std::max(0.0, (kFewestSlots - count) / 2);
  const double left = -0.5 - margin;
  const double right = count - 0.5 + margin;
  double top = 0;
  double low = data.lengths.empty() ? 0 : data.lengths.front();
  for (double length : data.lengths) {
    top = std::max(top, length);
    low = std::min(low, length);
  }
  set_->setLabel(data.barsName);
  SetBars(data.lengths);

  const bool band = data.deviation > 0;
  band_->setName(data.bandName);
  SetFlat(band_->upperSeries(), data.mean + data.deviation, left, right);
  SetFlat(band_->lowerSeries(), std::max(0.0, data.mean - data.deviation), left, right);
  band_->setVisible(band);
  chart_->legend()->markers(band_).first()->setVisible(band);
  if (band)
    top = std::max(top, data.mean + data.deviation);
  mean_->setName(data.meanName);
  SetFlat(mean_, data.mean, left, right);
  const bool forecast = data.forecastDuration > 0;
  forecast_->setName(data.forecastName);
  SetFlat(forecast_, static_cast<double>(data.forecastDuration), left, right);
  forecast_->setVisible(forecast);
  chart_->legend()->markers(forecast_).first()->setVisible(forecast);
  if (forecast) {
    top = std::max(top, static_cast<double>(data.forecastDuration));
    low = std::min(low, static_cast<double>(data.forecastDuration));
  }

  axisX_->setTitleText(data.axisXTitle);
  axisX_->setRange(left, right);
  axisY_->setTitleText(data.axisYTitle);
  // The axis starts a few days below the shortest bar (or the forecast line), so that a 26-day
  // and a 34-day cycle look different; the nice numbers only widen the range.
  axisY_->setRange(std::max(0.0, std::floor(low) - kDaysBelow), std::ceil(top) + 1);
  axisY_->applyNiceNumbers();
  labelStep_ = 0;
  LabelBars();
}

void InsightsChartView::SetBars(const std::vector<double>& lengths) {
  const qsizetype have = set_->count();
  const auto want = static_cast<qsizetype>(lengths.size());
  qsizetype changed = 0;
  for (qsizetype i = 0; i < std::min(have, want); ++i)
    changed += set_->at(i) != lengths[static_cast<std::size_t>(i)] ? 1 : 0;
  // Every change moves all bars: past a few, new bars are cheaper.
  if (changed > kFewestSlots) {
    set_->remove(0, have);
    set_->append(QList<qreal>(lengths.begin(), lengths.end()));
    return;
  }
  if (have > want)
    set_->remove(want, have - want);
  for (qsizetype i = 0; i < std::min(have, want); ++i) {
    if (set_->at(i) != lengths[static_cast<std::size_t>(i)])
      set_->replace(i, lengths[static_cast<std::size_t>(i)]);
  }
  if (want > have)
    set_->append(QList<qreal>(lengths.begin() + have, lengths.end()));
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
