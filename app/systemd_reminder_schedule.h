#ifndef LUNARET_APP_SYSTEMD_REMINDER_SCHEDULE_H
#define LUNARET_APP_SYSTEMD_REMINDER_SCHEDULE_H

#include "app/reminder_schedule.h"

namespace lunaret {

// The daily runs as the systemd user timer the install puts in place, switched with
// "systemctl --user enable --now" and "disable --now".
class SystemdReminderSchedule final : public ReminderSchedule {
 public:
  static constexpr const char* kTimer = "lunaret-reminders.timer";
  // How long systemctl may take.
  static constexpr int kTimeoutMs = 15000;

  bool SetDaily(bool on) override;
};

}  // namespace lunaret

#endif  // LUNARET_APP_SYSTEMD_REMINDER_SCHEDULE_H
