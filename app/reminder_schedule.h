#ifndef LUNARET_APP_REMINDER_SCHEDULE_H
#define LUNARET_APP_REMINDER_SCHEDULE_H

namespace lunaret {

// What runs "lunaret --remind" every day for this computer account.
class ReminderSchedule {
 public:
  virtual ~ReminderSchedule() = default;
  // Starts the daily runs (on) or stops them; false when that could not be done. Where the daily
  // runs cannot be started, the desktop still runs the reminders when she logs in.
  virtual bool SetDaily(bool on) = 0;
};

}  // namespace lunaret

#endif  // LUNARET_APP_REMINDER_SCHEDULE_H
