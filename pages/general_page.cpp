#include "pages/general_page.h"

#include <QCalendarWidget>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "controls/inactive_tip_relay.h"
#include "controls/message_box.h"
#include "controls/ui_support.h"
#include "core/base/text.h"
#include "pages/page_dates.h"
#include "pages/page_keys.h"
#include "pages/up_down_control.h"

namespace lunaret {

namespace {

constexpr int kLowestDuration = 1;
constexpr int kHighestDuration = 366;

std::function<CalendarDate()>& TodaySource() {
  static std::function<CalendarDate()> source;
  return source;
}

CalendarDate Today() {
  const auto& source = TodaySource();
  return source ? source() : TodayLocal();
}

QCalendarWidget* MakeCalendar(QWidget* parent) {
  auto* calendar = new QCalendarWidget(parent);  // owned by parent
  calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  calendar->setGridVisible(false);
  calendar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  return calendar;
}

// Selects a day without the calendar reporting it, as a selection set by the program is not
// one the user made.
void SelectQuietly(QCalendarWidget* calendar, const QDate& date) {
  if (!date.isValid())
    return;
  const QSignalBlocker quiet(calendar);
  calendar->setSelectedDate(date);
}

}  // namespace

struct GeneralPage::Impl {
  explicit Impl(UserStore& s) : store(s) {}

  UserStore& store;
  QString userName;
  QLabel* status = nullptr;
  QCalendarWidget* left = nullptr;
  QCalendarWidget* right = nullptr;
  UpDownControl* upDown = nullptr;
  QLineEdit* duration = nullptr;
  CalendarDate lastSelection;
};

GeneralPage::GeneralPage(UserStore& store, const QString& userName, QWidget* parent)
    : QWidget(parent), d_(std::make_unique<Impl>(store)) {
  d_->userName = userName;

  auto* thisMonth = new QGroupBox(QStringLiteral("Vessa this month"), this);
  SetControlId(thisMonth, kThisMonthGroupId, "thisMonthGroup");
  d_->left = MakeCalendar(thisMonth);
  SetControlId(d_->left, kFirstDayCalendarId, "firstDayCalendar");
  d_->left->setEnabled(false);
  auto* thisMonthLayout = new QVBoxLayout(thisMonth);
  thisMonthLayout->addWidget(d_->left);

  auto* nextMonth = new QGroupBox(QStringLiteral("Vessa next month"), this);
  SetControlId(nextMonth, kNextMonthGroupId, "nextMonthGroup");
  d_->right = MakeCalendar(nextMonth);
  SetControlId(d_->right, kForecastCalendarId, "forecastCalendar");
  d_->right->setEnabled(false);  // display only, for the page's whole life
  auto* nextMonthLayout = new QVBoxLayout(nextMonth);
  nextMonthLayout->addWidget(d_->right);

  auto* durationLabel = new QLabel(QStringLiteral("Vessa forecast duration:"), this);
  SetControlId(durationLabel, kDurationLabelId, "durationLabel");
  d_->duration = new QLineEdit(this);
  SetControlId(d_->duration, kDurationBoxId, "durationBox");
  d_->duration->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9]*")), d_->duration));  // owned by the box
  d_->duration->setEnabled(false);
  durationLabel->setBuddy(d_->duration);
  d_->upDown = new UpDownControl(this);
  SetControlId(d_->upDown, kUpDownId, "durationUpDown");
  d_->upDown->SetBuddy(d_->duration);
  d_->upDown->SetRange(kLowestDuration, kHighestDuration);
  d_->upDown->setEnabled(false);
  auto* daysLabel = new QLabel(QStringLiteral("days"), this);
  SetControlId(daysLabel, kDaysLabelId, "daysLabel");
  d_->status = new QLabel(QStringLiteral("Spent Days"), this);
  SetControlId(d_->status, kStatusLineId, "statusLine");

  auto* durationRow = new QHBoxLayout;
  durationRow->setSpacing(0);
  durationRow->addWidget(durationLabel);
  durationRow->addSpacing(6);
  durationRow->addWidget(d_->duration);
  durationRow->addWidget(d_->upDown);
  durationRow->addSpacing(4);
  durationRow->addWidget(daysLabel);
  durationRow->addStretch(1);

  auto* grid = new QGridLayout(this);  // owned by this
  grid->setContentsMargins(5, 3, 5, 5);
  grid->setHorizontalSpacing(6);
  grid->addWidget(thisMonth, 0, 0);
  grid->addWidget(nextMonth, 0, 1);
  grid->addLayout(durationRow, 1, 0);
  grid->addWidget(d_->status, 1, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(0, 1);

  // The calendar takes the first day; a year before the last stored day, so that the forecast
  // stays within the days Lunaret stores.
  d_->left->setMinimumDate(ToQDate(kFirstStoredDay));
  d_->left->setMaximumDate(ToQDate(kLastStoredDay).addYears(-1));

  // Tips show even while the main window is not the active one.
  ShowTipsAlways(this);
  d_->left->setToolTip(QStringLiteral("Select the first day of menstruation this month."));
  nextMonth->setToolTip(QStringLiteral("Forecast menstruation day next month."));
  d_->upDown->setToolTip(QStringLiteral("Select period for forecast."));
  d_->duration->setToolTip(QStringLiteral("Select period for forecast."));

  ApplyLabelFont(this,
                 {kThisMonthGroupId, kFirstDayCalendarId, kNextMonthGroupId, kForecastCalendarId,
                  kDurationLabelId, kDurationBoxId, kDaysLabelId, kStatusLineId});
  // The template makes the box a little narrower than its label font needs for "366".
  d_->upDown->setFixedHeight(d_->duration->sizeHint().height());
  d_->duration->setFixedWidth(
      std::max(d_->duration->fontMetrics().horizontalAdvance("0000") + 12, 52));

  connect(d_->duration, &QLineEdit::textChanged, this, [this]() { OnDurationChange(); });
  connect(d_->left, &QCalendarWidget::selectionChanged, this, [this]() { OnSelectionChange(); });
  // A click on the day already selected reports the selection again, without a change.
  connect(d_->left, &QCalendarWidget::clicked, this, [this]() { OnSelectionChange(); });

  auto* keys = new PageKeyRelay(this);  // owned by this
  connect(keys, &PageKeyRelay::okPressed, this, &GeneralPage::okRequested);
  connect(keys, &PageKeyRelay::cancelPressed, this, &GeneralPage::cancelRequested);
}

GeneralPage::~GeneralPage() = default;

void GeneralPage::SetTodaySource(std::function<CalendarDate()> source) {
  TodaySource() = std::move(source);
}

void GeneralPage::Initialize() {
  LoadForecast(d_->userName);
  d_->lastSelection = FromQDate(d_->left->selectedDate());
}

QString GeneralPage::UserName() const {
  return d_->userName;
}

CalendarDate GeneralPage::FirstDay() const {
  return FromQDate(d_->left->selectedDate());
}

long GeneralPage::ForecastDuration() const {
  return AtoiRule(ToStore(d_->duration->text()));
}

void GeneralPage::LoadForecast(const QString& userName) {
  d_->userName = userName;
  const std::string user = ToStore(userName);
  SetDurationText(FromStore(d_->store.GetDuration(user)));
  // A day outside the calendar's range, or a time value without a local date, keeps the
  // selection as it was.
  const QDate first = LocalQDateOf(d_->store.GetCycleStart(user));
  if (first.isValid() && first >= d_->left->minimumDate() && first <= d_->left->maximumDate())
    SelectQuietly(d_->left, first);
  // The loaded day is the one later selections are compared with, so a click that returns to
  // the day shown before the load counts as a change.
  d_->lastSelection = FromQDate(d_->left->selectedDate());
  UpdateForecast();
  UpdateStatus();
  d_->upDown->setEnabled(true);
  d_->duration->setEnabled(true);
  d_->left->setEnabled(true);
}

void GeneralPage::SaveForecast() {
  // Nobody is logged in after ClearForecast: there is no user key to write to.
  if (d_->userName.isEmpty())
    return;
  const std::string user = ToStore(d_->userName);
  const CalendarDate first = FromQDate(d_->left->selectedDate());
  d_->store.SetCycleStart(user, MakeTimeValue(first, 1, 1, 1));
  d_->store.SetDuration(user, ToStore(d_->duration->text()));
}

void GeneralPage::ClearForecast() {
  d_->upDown->setEnabled(false);
  SetDurationText(QStringLiteral("1"));
  d_->duration->setEnabled(false);
  const QDate today = ToQDate(Today());
  SelectQuietly(d_->left, today);
  d_->left->setEnabled(false);
  SelectQuietly(d_->right, today);
  d_->userName.clear();
  // The status counted for the user who left means nothing to the next one.
  d_->status->clear();
}

void GeneralPage::SetDurationText(const QString& text) {
  if (d_->duration->text() == text)
    OnDurationChange();  // the box reports setting its text even when it stays the same
  else
    d_->duration->setText(text);  // reports through textChanged
}

void GeneralPage::OnDurationChange() {
  // Only the validation counts here: every computation reads the box by the atoi rule.
  int length = 0;
  if (!ReadIntegerField(d_->duration, kLowestDuration, kHighestDuration, &length))
    return;
  UpdateForecast();
  UpdateStatus();
  emit modified();
}

void GeneralPage::OnSelectionChange() {
  const CalendarDate selection = FromQDate(d_->left->selectedDate());
  if (selection == d_->lastSelection)
    return;
  d_->lastSelection = selection;
  UpdateForecast();
  UpdateStatus();
  emit modified();
}

void GeneralPage::UpdateForecast() {
  SelectQuietly(d_->right, ToQDate(ForecastNextStart(FirstDay(), ForecastDuration())));
}

void GeneralPage::UpdateStatus() {
  d_->status->setText(FromStore(CycleStatus(FirstDay(), ForecastDuration(), Today())));
}

void GeneralPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  update();  // the host shows and hides the pages as the tab changes
}

}  // namespace lunaret
