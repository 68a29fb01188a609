#include "pages/insights_page.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "controls/ui_support.h"
#include "core/cycles/cycle_insights_text.h"
#include "core/cycles/journal_insights.h"
#include "core/cycles/journal_insights_text.h"
#include "pages/insights_chart.h"
#include "pages/insights_chart_loader.h"
#include "pages/page_dates.h"
#include "pages/page_keys.h"

namespace lunaret {

namespace {

QLabel* MakeLabel(QWidget* parent, int id, const char* name, const QString& accessibleName) {
  auto* label = new QLabel(parent);  // owned by parent
  SetControlId(label, id, name);
  label->setAccessibleName(accessibleName);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QString Days(double days) {
  return QString::number(days, 'f', 1);
}

// The bars of the cycles from index first on, with every text the chart shows.
InsightsChartData ChartData(const CycleInsights& insights, std::size_t first) {
  const std::vector<Cycle>& cycles = insights.history.cycles;
  InsightsChartData data;
  const QLocale locale;
  for (std::size_t i = first; i < cycles.size(); ++i) {
    const Cycle& cycle = cycles[i];
    data.lengths.push_back(static_cast<double>(cycle.length));
    const QDate start = LocalQDateOf(cycle.start);
    data.labels << (start.isValid() ? locale.toString(start, QStringLiteral("d MMM yy"))
                                    : QString::number(i + 1));
    QString tip =
        QStringLiteral("Cycle %1: %2 to %3, %4 days")
            .arg(i + 1)
            .arg(FromStore(FormatDateOfTime(cycle.start)), FromStore(FormatDateOfTime(cycle.end)))
            .arg(cycle.length);
    if (cycle.ovulation)
      tip += QStringLiteral("; ovulation on day %1").arg(cycle.ovulationDay);
    data.tooltips << tip;
  }
  // The mean and band of the bars shown, not of cycles the chart leaves out.
  const DayFigures lengths = LengthFiguresFrom(cycles, first);
  data.mean = lengths.mean;
  data.deviation = lengths.deviation;
  data.forecastDuration = insights.forecastDuration;
  data.barsName = QStringLiteral("Cycle length");
  data.meanName = QStringLiteral("Mean %1 days").arg(Days(lengths.mean));
  data.bandName = QStringLiteral("\u00b11 SD: %1 to %2")
                      .arg(Days(std::max(0.0, lengths.mean - lengths.deviation)),
                           Days(lengths.mean + lengths.deviation));
  data.forecastName = QStringLiteral("Forecast duration %1 days").arg(insights.forecastDuration);
  data.axisXTitle = QStringLiteral("First day of the cycle");
  data.axisYTitle = QStringLiteral("Days");
  data.accessibleName = QStringLiteral("Cycle length chart");
  data.accessibleDescription = FromStore(ChartDescription(insights, first));
  return data;
}

}  // namespace

InsightsPage::InsightsPage(QWidget* parent) : QWidget(parent) {
  // Everything scrolls when the window is too small for it, rather than being cut off.
  auto* scroll = new QScrollArea(this);  // owned by this
  scroll->setObjectName(QStringLiteral("insightsScroll"));
  scroll->setAccessibleName(QStringLiteral("Insights"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* content = new QWidget;  // owned by the scroll area below
  content->setObjectName(QStringLiteral("insightsContent"));
  emptyState_ = MakeLabel(content, kEmptyStateId, "emptyState", QStringLiteral("Insights"));

  figures_ = new QWidget(content);
  figures_->setObjectName(QStringLiteral("figures"));
  figures_->setAccessibleName(QStringLiteral("Figures"));
  auto* grid = new QGridLayout(figures_);  // owned by figures_
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(2);
  static constexpr const char* kCaptionNames[kFigureRows] = {
      "cyclesCaption", "cycleLengthCaption", "ovulationDayCaption", "lutealLengthCaption",
      "spreadCaption"};
  static constexpr const char* kValueNames[kFigureRows] = {
      "cyclesValue", "cycleLengthValue", "ovulationDayValue", "lutealLengthValue", "spreadValue"};
  for (int row = 0; row < kFigureRows; ++row) {
    captions_[row] = MakeLabel(figures_, kFirstCaptionId + row, kCaptionNames[row], QString());
    captions_[row]->setWordWrap(false);
    values_[row] = MakeLabel(figures_, kFirstValueId + row, kValueNames[row], QString());
    captions_[row]->setBuddy(values_[row]);
    grid->addWidget(captions_[row], row, 0, Qt::AlignTop);
    if (row > 0)
      grid->addWidget(values_[row], row, 1, Qt::AlignTop);
  }
  grid->setColumnStretch(1, 1);
  // The number of cycles shares its row with the choice of how many the chart shows.
  showAll_ = new QCheckBox(figures_);
  SetControlId(showAll_, kShowAllId, "showAllCycles");
  showAll_->setAccessibleName(QStringLiteral("Show all cycles in the chart"));
  auto* firstRow = new QHBoxLayout;  // owned by the grid
  firstRow->addWidget(values_[0], 0, Qt::AlignTop);
  firstRow->addStretch(1);
  firstRow->addWidget(showAll_, 0, Qt::AlignTop);
  grid->addLayout(firstRow, 0, 1);

  forecast_ =
      MakeLabel(content, kForecastId, "forecast", QStringLiteral("Forecast from your history"));
  accuracy_ =
      MakeLabel(content, kAccuracyId, "accuracy", QStringLiteral("Accuracy of the forecast"));
  notes_ = MakeLabel(content, kNotesId, "notes", QStringLiteral("Notes on your history"));
  journal_ = MakeLabel(content, kJournalId, "journal", QStringLiteral("From your journal"));
  // The chart's room is kept from the start, so that the window opens large enough for it.
  chartArea_ = new QWidget(content);
  chartArea_->setObjectName(QStringLiteral("chartArea"));
  chartArea_->setMinimumHeight(ChartHeight(kPlotMinimumHeight));
  chartLayout_ = new QVBoxLayout(chartArea_);  // owned by chartArea_
  chartLayout_->setContentsMargins(0, 0, 0, 0);
  chartMissing_ = MakeLabel(chartArea_, kChartMissingId, "chartMissing", QStringLiteral("Chart"));
#ifdef LUNARET_INSIGHTS_CHART
  chartMissing_->setText(QStringLiteral("The chart cannot be shown: its module was not found."));
#else
  chartMissing_->setText(QStringLiteral("This build of Lunaret has no chart."));
#endif
  chartLayout_->addWidget(chartMissing_, 0, Qt::AlignTop);
  chartMissing_->hide();  // until the module was looked for

  layout_ = new QVBoxLayout(content);  // owned by content
  layout_->setContentsMargins(8, 5, 8, 2);
  layout_->setSpacing(4);
  layout_->addWidget(emptyState_);
  layout_->addWidget(figures_);
  layout_->addWidget(forecast_);
  layout_->addWidget(accuracy_);
  layout_->addWidget(notes_);
  layout_->addWidget(journal_);
  layout_->addWidget(chartArea_, 1);
  layout_->addStretch(0);  // the room below the texts while there is no chart
  scroll->setWidget(content);
  auto* outer = new QVBoxLayout(this);  // owned by this
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll);
  // The label font of the other pages, for the chart too.
  setFont(LabelFont());

  keys_ = new PageKeyRelay(this);  // owned by this
  connect(keys_, &PageKeyRelay::okPressed, this, &InsightsPage::okRequested);
  connect(keys_, &PageKeyRelay::cancelPressed, this, &InsightsPage::cancelRequested);
  connect(showAll_, &QCheckBox::toggled, this, [this]() { UpdateChart(); });
  ClearInsights();
}

InsightsPage::~InsightsPage() = default;

QWidget* InsightsPage::Chart() const {
  return chart_ != nullptr ? chart_->Widget() : nullptr;
}

void InsightsPage::UpdateInsights(const std::vector<StatisticsRecord>& records,
                                  const CalendarDate& firstDay, long forecastDuration,
                                  const Journal& journal) {
  insights_ = ComputeInsights(records, firstDay, forecastDuration);
  journalText_.clear();
  if (!journal.empty()) {
    // The journal's texts are UTF-8 on every platform.
    const JournalInsights found = ComputeJournalInsights(journal, records, firstDay);
    journalText_ = QString::fromStdString(PeriodLengthText(found.periodLength));
    for (const std::string& line : SymptomLines(found))
      journalText_ += QLatin1Char('\n') + QString::fromStdString(line);
  }
  filled_ = true;
  ShowTexts();
  UpdateChart();
}

void InsightsPage::ClearInsights() {
  insights_ = CycleInsights{};
  journalText_.clear();
  filled_ = false;
  ShowTexts();
  UpdateChart();
}

void InsightsPage::ShowTexts() {
  const bool empty = filled_ && insights_.history.starts < 2;
  const bool shown = filled_ && !empty;
  emptyState_->setText(empty ? FromStore(EmptyInsightsText()) : QString());
  emptyState_->setVisible(empty);
  figures_->setVisible(shown);
  forecast_->setVisible(shown);
  accuracy_->setVisible(shown);
  const std::vector<FigureRow> rows = shown ? FigureRows(insights_) : std::vector<FigureRow>();
  for (int row = 0; row < kFigureRows; ++row) {
    const bool filled = row < static_cast<int>(rows.size());
    captions_[row]->setText(filled ? FromStore(rows[row].label) + QLatin1Char(':') : QString());
    values_[row]->setText(filled ? FromStore(rows[row].value) : QString());
    values_[row]->setAccessibleName(filled ? FromStore(rows[row].label) : QString());
  }
  forecast_->setText(shown ? FromStore(ForecastText(insights_.forecast, insights_.forecastDuration))
                           : QString());
  accuracy_->setText(shown ? FromStore(AccuracyText(insights_.accuracy)) : QString());
  const QString notes = shown ? FromStore(HistoryNotesText(insights_.history)) : QString();
  notes_->setText(notes);
  notes_->setVisible(!notes.isEmpty());
  journal_->setText(filled_ ? journalText_ : QString());
  journal_->setVisible(filled_ && !journalText_.isEmpty());
  const int cycles = static_cast<int>(insights_.history.cycles.size());
  showAll_->setText(QStringLiteral("Show all %1 cycles").arg(cycles));
  showAll_->setVisible(shown && cycles > kRecentBars);
}

void InsightsPage::UpdateChart() {
  const std::size_t cycles = insights_.history.cycles.size();
  const bool wanted = filled_ && insights_.history.starts >= 2 && cycles > 0;
  chartArea_->setVisible(wanted);
  layout_->setStretch(layout_->count() - 1, wanted ? 0 : 1);
  if (!wanted || !isVisible()) {
    chartStale_ = wanted;
    return;
  }
  chartStale_ = false;
  if (!chartTried_) {
    chartTried_ = true;
#ifdef LUNARET_INSIGHTS_CHART
    if (InsightsChartFactory* factory = LoadInsightsChartModule()) {
      chart_ = factory->Create(chartArea_);
      QWidget* widget = chart_->Widget();
      SetControlId(widget, kChartId, "cycleChart");
      chartLayout_->addWidget(widget);
      widget->show();  // at once, not when the layout gets round to it
      keys_->Watch(widget);
    }
#endif
    chartMissing_->setVisible(chart_ == nullptr);
  }
  if (chart_ == nullptr)
    return;
  const bool all = showAll_->isChecked() || cycles <= static_cast<std::size_t>(kRecentBars);
  chart_->SetData(ChartData(insights_, all ? 0 : cycles - kRecentBars));
}

QSize InsightsPage::sizeHint() const {
  // Room for the figures, the longest sentences and notes, and the chart whatever the history,
  // so that the window opens large enough and keeps its size as the figures change.
  const QMargins margins = layout_->contentsMargins();
  const int lines = QFontMetrics(forecast_->font()).lineSpacing() * 7;  // 3 + 2 + 2
  // The figures as tall as they are at the page's width: their wrapping values' own hint
  // assumes a narrower page.
  const int width = QWidget::sizeHint().width();
  const int figures = figures_->heightForWidth(width - margins.left() - margins.right());
  const int height = margins.top() + std::max(figures, figures_->minimumSizeHint().height()) +
                     lines + ChartHeight(kPlotHeight) + margins.bottom() + 4 * layout_->spacing();
  return {width, height};
}

int InsightsPage::ChartHeight(int plotHeight) const {
  const QFontMetrics metrics(font());
  const int dates = metrics.horizontalAdvance(  // a wide date under a bar
      QLocale().toString(QDate(2026, 9, 30), QStringLiteral("d MMM yy")));
  return plotHeight + dates + 3 * metrics.lineSpacing() + 24;
}

void InsightsPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (chartStale_)
    UpdateChart();
}

}  // namespace lunaret
