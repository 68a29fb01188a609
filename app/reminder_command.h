#ifndef LUNARET_APP_REMINDER_COMMAND_H
#define LUNARET_APP_REMINDER_COMMAND_H

#include <QObject>
#include <memory>

#include "app/reminder_schedule.h"

namespace lunaret {

class MainDialog;
struct FertileOffer;

// Tools, " &Reminders...": the logged-in user's reminder settings.
class ReminderCommand : public QObject {
  Q_OBJECT

 public:
  explicit ReminderCommand(MainDialog* window);
  ~ReminderCommand() override;

  // What starts and stops the daily runs; the systemd user timer by default.
  void SetSchedule(std::unique_ptr<ReminderSchedule> schedule) { schedule_ = std::move(schedule); }
  // Whether the window's data, as it stands, gives a fertile window to be reminded of.
  FertileOffer FertileOfWindow() const;

 public slots:
  void OnReminders();

 private:
  MainDialog* window_;
  std::unique_ptr<ReminderSchedule> schedule_;
};

}  // namespace lunaret

#endif  // LUNARET_APP_REMINDER_COMMAND_H
