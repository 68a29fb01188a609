#include "pages/calendar_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>
#include <algorithm>

#include "controls/message_box.h"
#include "controls/ui_support.h"
#include "core/base/day_number.h"
#include "core/cycles/cycle_insights.h"
#include "core/cycles/forecast_source.h"
#include "core/exchange/journal_merge.h"
#include "core/store/journal_store.h"
#include "pages/day_cell_delegate.h"
#include "pages/day_log_panel.h"
#include "pages/month_view.h"

namespace lunaret {

namespace {

constexpr qint64 kJulianDayOf1970 = 2440588;

DayNumber DayOf(const QDate& date) {
  return static_cast<DayNumber>(date.toJulianDay() - kJulianDayOf1970);
}
DayNumber DayOf(const CalendarDate& date) {
  return DayNumberOf(date.year, date.month, date.day);
}
bool LocalDay(TimeValue t, DayNumber* day) {
  CalendarDate date;
  if (t <= 0 || !LocalDateOf(t, &date))
    return false;
  *day = DayOf(date);
  return true;
}

// One entry of the legend: a sample day drawn as the month draws it, and its meaning.
QWidget* LegendEntry(QWidget* parent, const DayMarks& marks, const QString& text) {
  auto* entry = new QWidget(parent);  // owned by parent
  const int side = entry->fontMetrics().height() * 2;
  QPixmap sample(side + 4, side);
  sample.fill(Qt::transparent);
  QPainter painter(&sample);
  DayCellDelegate::PaintMarks(&painter, sample.rect(), marks, QStringLiteral("7"), entry->font(),
                              entry->palette().color(QPalette::Text));
  painter.end();
  auto* picture = new QLabel(entry);
  picture->setPixmap(sample);
  auto* label = new QLabel(text, entry);
  auto* row = new QHBoxLayout(entry);  // owned by entry
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  row->addWidget(picture);
  row->addWidget(label);
  row->addStretch(1);
  entry->setAccessibleName(text);
  return entry;
}

}  // namespace

CalendarPage::CalendarPage(UserStore& store, QWidget* parent) : QWidget(parent), store_(store) {
  month_ = new MonthView(this);
  dayLog_ = new DayLogPanel(this);
  dayLog_->setEnabled(false);

  auto* legend = new QWidget(this);
  legend->setObjectName(QStringLiteral("legend"));
  auto* grid = new QGridLayout(legend);  // owned by legend
  grid->setContentsMargins(0, 0, 0, 0);
  const std::pair<DayMarks, const char*> entries[] = {
      {{.periodStart = true}, "Period started"},
      {{.flow = 4}, "Flow (hollow: spotting)"},
      {{.ovulation = true}, "Ovulation"},
      {{.expectedStart = true}, "Period expected (dotted: may begin)"},
      {{.fertile = true}, "Fertile window (estimate)"},
      {{.logged = true}, "Symptoms, mood or note"}};
  int i = 0;
  for (const auto& [marks, text] : entries) {
    grid->addWidget(LegendEntry(legend, marks, QString::fromLatin1(text)), i / 2, i % 2);
    ++i;
  }

  auto* left = new QVBoxLayout;
  left->addWidget(month_, 1);
  left->addWidget(legend);
  auto* layout = new QHBoxLayout(this);  // owned by this
  layout->setContentsMargins(8, 5, 8, 5);
  layout->addLayout(left, 3);
  layout->addWidget(dayLog_, 2);
  setFont(LabelFont());

  month_->SetMarks([this](const QDate& date) { return MarksOf(date); });
  connect(month_, &MonthView::daySelected, this, &CalendarPage::ShowDay);
  connect(dayLog_, &DayLogPanel::dayEdited, this, &CalendarPage::OnDayEdited);
  connect(dayLog_, &DayLogPanel::ownSymptomAdded, this, [this](const std::string& name) {
    if (ownNames_.size() < kMaxOwnSymptomNames)
      ownNames_.push_back(name);
  });
  connect(dayLog_, &DayLogPanel::periodToggled, this, &CalendarPage::OnPeriodToggled);
  connect(dayLog_, &DayLogPanel::ovulationToggled, this, &CalendarPage::OnOvulationToggled);
}

CalendarPage::~CalendarPage() = default;

void CalendarPage::LoadJournal(const QString& userName) {
  user_ = ToStore(userName);
  journal_ = lunaret::LoadJournal(store_, user_);
  ownNames_ = LoadOwnSymptomNames(store_, user_);
  dayLog_->setEnabled(true);
  month_->RefreshMarks();
  ShowDay(month_->SelectedDate());
}

bool CalendarPage::SaveJournal() {
  if (user_.empty())
    return true;
  // Against what the store holds now, so that the store ends up as the window shows it also
  // after another copy saved (the window asked before replacing that).
  if (!SaveJournalChanges(store_, user_, lunaret::LoadJournal(store_, user_), journal_))
    return false;
  if (ownNames_ != LoadOwnSymptomNames(store_, user_) &&
      !SaveOwnSymptomNames(store_, user_, ownNames_))
    return false;
  return true;
}

void CalendarPage::ClearJournal() {
  user_.clear();
  journal_.clear();
  ownNames_.clear();
  UpdateCycles({}, CalendarDate{}, 0);
  dayLog_->Show(month_->SelectedDate(), JournalDay{}, {}, false, false, false);
  dayLog_->setEnabled(false);
}

void CalendarPage::ImportJournal(const JournalImportPlan& plan) {
  if (user_.empty() || !plan.Changes())
    return;
  journal_ = ApplyJournalImport(std::move(journal_), plan);
  for (const Journal* days : {&plan.additions, &plan.gains}) {
    for (const auto& [day, log] : *days) {
      for (const std::string& name : log.ownSymptoms) {
        if (std::find(ownNames_.begin(), ownNames_.end(), name) == ownNames_.end() &&
            ownNames_.size() < kMaxOwnSymptomNames)
          ownNames_.push_back(name);
      }
    }
  }
  month_->RefreshMarks();
  ShowDay(month_->SelectedDate());
  emit modified();
}

void CalendarPage::UpdateCycles(const std::vector<StatisticsRecord>& records,
                                const CalendarDate& firstDay, long forecastDuration) {
  recordStarts_.clear();
  recordOvulations_.clear();
  starts_.clear();
  ovulations_.clear();
  for (const StatisticsRecord& record : records) {
    DayNumber day = 0;
    recordStarts_.push_back(LocalDay(record.mensesDate, &day) ? day : -1);
    recordOvulations_.push_back(LocalDay(record.ovulationDate, &day) ? day : -1);
    starts_.insert(recordStarts_.back());
    ovulations_.insert(recordOvulations_.back());
  }
  firstDay_ = firstDay.year > 0 ? DayOf(firstDay) : 0;
  if (firstDay_ != 0)
    starts_.insert(firstDay_);
  expected_.clear();
  possible_.clear();
  fertile_.clear();
  if (!user_.empty()) {
    const ForecastSchedule schedule =
        NextForecast(records, firstDay, forecastDuration, TodayLocal());
    for (const ExpectedPeriod& period : schedule.periods) {
      const DayNumber start = DayOf(period.start);
      expected_.insert(start);
      for (DayNumber d = start - period.earlyDays; d <= start + period.lateDays; ++d)
        possible_.insert(d);
    }
    for (const FertileWindow& window : schedule.fertileWindows) {
      for (DayNumber d = DayOf(window.first); d <= DayOf(window.last); ++d)
        fertile_.insert(d);
    }
  }
  month_->RefreshMarks();
  // Only the boxes: the log may be in the middle of an edit.
  const CycleBoxes boxes = BoxesOf(month_->SelectedDate());
  dayLog_->ShowCycle(boxes.started, boxes.ovulation, boxes.possible);
}

DayMarks CalendarPage::MarksOf(const QDate& date) const {
  const DayNumber day = DayOf(date);
  DayMarks marks;
  marks.today = date == QDate::currentDate();
  if (const auto logged = journal_.find(day); logged != journal_.end()) {
    marks.flow = static_cast<int>(logged->second.flow);
    marks.logged = logged->second.symptoms != 0 || !logged->second.ownSymptoms.empty() ||
                   logged->second.mood != Mood::kNone || !logged->second.note.empty();
  }
  marks.periodStart = starts_.count(day) > 0;
  marks.ovulation = ovulations_.count(day) > 0;
  marks.expectedStart = expected_.count(day) > 0;
  marks.expectedRange = possible_.count(day) > 0;
  marks.fertile = fertile_.count(day) > 0;
  return marks;
}

int CalendarPage::CycleRowOf(DayNumber day) const {
  int row = -1;
  for (std::size_t i = 0; i < recordStarts_.size(); ++i) {
    if (recordStarts_[i] >= 0 && recordStarts_[i] <= day &&
        (row < 0 || recordStarts_[i] > recordStarts_[static_cast<std::size_t>(row)]))
      row = static_cast<int>(i);
  }
  if (row < 0)
    return -1;
  const DayNumber start = recordStarts_[static_cast<std::size_t>(row)];
  // The cycle ends where the next one begins: the General page's first day when it is later;
  // without one, after the longest cycle a forecast learns from.
  const DayNumber end = firstDay_ > start ? firstDay_ : start + kLongestForecastCycle;
  return day < end ? row : -1;
}

CalendarPage::CycleBoxes CalendarPage::BoxesOf(const QDate& date) const {
  const DayNumber day = DayOf(date);
  CycleBoxes boxes;
  const int row = user_.empty() ? -1 : CycleRowOf(day);
  boxes.possible = row >= 0;
  boxes.ovulation = row >= 0 && recordOvulations_[static_cast<std::size_t>(row)] == day;
  boxes.started = std::find(recordStarts_.begin(), recordStarts_.end(), day) != recordStarts_.end();
  return boxes;
}

void CalendarPage::ShowDay(const QDate& date) {
  const auto logged = journal_.find(DayOf(date));
  const CycleBoxes boxes = BoxesOf(date);
  dayLog_->Show(date, logged != journal_.end() ? logged->second : JournalDay{}, ownNames_,
                boxes.started, boxes.ovulation, boxes.possible);
}

void CalendarPage::OnDayEdited(const JournalDay& day) {
  if (user_.empty())
    return;
  const DayNumber number = DayOf(month_->SelectedDate());
  // A day the store would refuse (more of her own symptoms than a day holds) is not taken: the
  // log shows the day as it was.
  if (!IsValidJournalDay(day)) {
    // Later: the edit's own control is still reporting it.
    QMetaObject::invokeMethod(
        this, [this]() { ShowDay(month_->SelectedDate()); }, Qt::QueuedConnection);
    return;
  }
  if (day.empty())
    journal_.erase(number);
  else
    journal_[number] = day;
  month_->RefreshMarks();
  emit modified();
}

void CalendarPage::OnPeriodToggled(bool started) {
  const QDate date = month_->SelectedDate();
  const DayNumber day = DayOf(date);
  if (started) {
    emit periodStartAdded(date);
    return;
  }
  const auto found = std::find(recordStarts_.begin(), recordStarts_.end(), day);
  if (found == recordStarts_.end())
    return;
  const QString question = tr("Remove the period that started on %1 from the statistics?")
                               .arg(QLocale().toString(date, QLocale::LongFormat));
  if (ShowMessageBox(this, question, tr("Lunaret"), kMbYesNo | kMbIconExclamation) != kIdYes) {
    ShowDay(date);  // the box shows the record again
    return;
  }
  emit periodStartRemoved(static_cast<int>(found - recordStarts_.begin()));
}

void CalendarPage::OnOvulationToggled(bool ovulation) {
  const QDate date = month_->SelectedDate();
  const int row = CycleRowOf(DayOf(date));
  if (row < 0)
    return;
  const CalendarDate picked = MakeDate(date.year(), date.month(), date.day());
  emit ovulationChanged(row, ovulation ? MakeTimeValue(picked, 1, 1, 1) : 0);
}

}  // namespace lunaret
