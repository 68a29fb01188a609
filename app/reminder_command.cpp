#include "app/reminder_command.h"

#include "app/main_dialog.h"
#include "app/reminders_dialog.h"
#include "app/systemd_reminder_schedule.h"
#include "controls/ui_support.h"
#include "core/cycles/cycle_insights.h"
#include "core/cycles/reminders.h"
#include "pages/general_page.h"
#include "pages/statistics_list.h"
#include "pages/statistics_page.h"

namespace lunaret {

ReminderCommand::ReminderCommand(MainDialog* window)
    : QObject(window), window_(window), schedule_(std::make_unique<SystemdReminderSchedule>()) {}

ReminderCommand::~ReminderCommand() = default;

FertileOffer ReminderCommand::FertileOfWindow() const {
  const std::vector<StatisticsRecord> records = window_->Statistics()->List()->Records();
  const CalendarDate firstDay = window_->General()->FirstDay();
  if (ForecastForReminders(records, firstDay, window_->General()->ForecastDuration()).fertileKnown)
    return {true, {}};
  return {false, tr("The fertile window is estimated from your history, as on the Insights "
                    "tab. %1")
                     .arg(FromStore(ForecastFromHistory(records, firstDay).reason))};
}

void ReminderCommand::OnReminders() {
  RemindersDialog dialog(window_->Store(), window_->UserName(), FertileOfWindow(), *schedule_,
                         window_);
  dialog.exec();
}

}  // namespace lunaret
