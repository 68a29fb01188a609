#ifndef LUNARET_CORE_STORE_REMINDER_STORE_H
#define LUNARET_CORE_STORE_REMINDER_STORE_H

#include <string>
#include <string_view>

#include "core/base/reminder_settings.h"
#include "core/store/user_store.h"

namespace lunaret {

// A user's reminders in two REG_BINARY values of her own key, beside the rest and never touching
// it (no other value's name begins with "Reminders"):
//   "Reminders"       her settings: byte 0 the format version (1); byte 1 the switches, bit 0
//                     before the period, 1 on the day, 2 the fertile window, 3 the log, 4 the
//                     details (bits 5-7 zero); byte 2 the days before (1 to 7); bytes 3-4 the
//                     log's minute of the day, little endian (0 to 1439).
//   "Reminders sent"  the days they were last sent for: byte 0 the format version (1), then the
//                     four DayNumbers of RemindersSent in its order, 4 bytes each, little endian.
// Neither is part of what the pages load and save.
inline constexpr const char* kRemindersValue = "Reminders";
inline constexpr const char* kRemindersSentValue = "Reminders sent";

std::string EncodeReminderSettings(const ReminderSettings& settings);
// False for anything EncodeReminderSettings does not write; *settings is set only on success.
bool DecodeReminderSettings(std::string_view bytes, ReminderSettings* settings);
std::string EncodeRemindersSent(const RemindersSent& sent);
bool DecodeRemindersSent(std::string_view bytes, RemindersSent* sent);

// Her settings; all off when absent or unreadable.
ReminderSettings LoadReminderSettings(UserStore& store, const std::string& user);
// False, and nothing written, when the settings are not valid or she has no key.
bool SaveReminderSettings(UserStore& store, const std::string& user,
                          const ReminderSettings& settings);
// What was sent; nothing when absent or unreadable.
RemindersSent LoadRemindersSent(UserStore& store, const std::string& user);
bool SaveRemindersSent(UserStore& store, const std::string& user, const RemindersSent& sent);

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_REMINDER_STORE_H
