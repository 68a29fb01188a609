#include "core/store/reminder_store.h"

#include <cstdint>

#include "core/store/binary_value.h"

namespace lunaret {
namespace {

constexpr unsigned char kReminderFormat = 1;
constexpr std::size_t kSettingsBytes = 5;
constexpr std::size_t kSentBytes = 1 + 4 * 4;
enum Switch : unsigned char {
  kBefore = 1,
  kOnTheDay = 2,
  kFertile = 4,
  kLog = 8,
  kDetails = 16,
};
constexpr unsigned char kAllSwitches = kBefore | kOnTheDay | kFertile | kLog | kDetails;

unsigned char Byte(std::string_view bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]);
}

void PutDay(std::string* bytes, DayNumber day) {
  const auto value = static_cast<std::uint32_t>(day);
  for (int shift = 0; shift < 32; shift += 8)
    bytes->push_back(static_cast<char>((value >> shift) & 0xFF));
}

DayNumber GetDay(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = (value << 8) | Byte(bytes, at + static_cast<std::size_t>(i));
  return static_cast<DayNumber>(value);
}

}  // namespace

std::string EncodeReminderSettings(const ReminderSettings& settings) {
  unsigned char switches = 0;
  switches |= settings.beforePeriod ? kBefore : 0;
  switches |= settings.onTheDay ? kOnTheDay : 0;
  switches |= settings.fertileWindow ? kFertile : 0;
  switches |= settings.logDay ? kLog : 0;
  switches |= settings.showDetails ? kDetails : 0;
  std::string bytes;
  bytes.push_back(static_cast<char>(kReminderFormat));
  bytes.push_back(static_cast<char>(switches));
  bytes.push_back(static_cast<char>(settings.daysBefore));
  bytes.push_back(static_cast<char>(settings.logMinute & 0xFF));
  bytes.push_back(static_cast<char>(settings.logMinute >> 8));
  return bytes;
}

bool DecodeReminderSettings(std::string_view bytes, ReminderSettings* settings) {
  if (bytes.size() != kSettingsBytes || Byte(bytes, 0) != kReminderFormat ||
      (Byte(bytes, 1) & ~kAllSwitches) != 0)
    return false;
  ReminderSettings read;
  const unsigned char switches = Byte(bytes, 1);
  read.beforePeriod = (switches & kBefore) != 0;
  read.onTheDay = (switches & kOnTheDay) != 0;
  read.fertileWindow = (switches & kFertile) != 0;
  read.logDay = (switches & kLog) != 0;
  read.showDetails = (switches & kDetails) != 0;
  read.daysBefore = Byte(bytes, 2);
  read.logMinute = Byte(bytes, 3) | (Byte(bytes, 4) << 8);
  if (!read.IsValid())
    return false;
  *settings = read;
  return true;
}

std::string EncodeRemindersSent(const RemindersSent& sent) {
  std::string bytes(1, static_cast<char>(kReminderFormat));
  for (const DayNumber day : {sent.beforePeriod, sent.onTheDay, sent.fertileWindow, sent.logDay})
    PutDay(&bytes, day);
  return bytes;
}

bool DecodeRemindersSent(std::string_view bytes, RemindersSent* sent) {
  if (bytes.size() != kSentBytes || Byte(bytes, 0) != kReminderFormat)
    return false;
  sent->beforePeriod = GetDay(bytes, 1);
  sent->onTheDay = GetDay(bytes, 5);
  sent->fertileWindow = GetDay(bytes, 9);
  sent->logDay = GetDay(bytes, 13);
  return true;
}

ReminderSettings LoadReminderSettings(UserStore& store, const std::string& user) {
  ReminderSettings settings;
  std::string bytes;
  if (ReadUserBinaryValue(store, user, kRemindersValue, &bytes, kSettingsBytes))
    DecodeReminderSettings(bytes, &settings);
  return settings;
}

bool SaveReminderSettings(UserStore& store, const std::string& user,
                          const ReminderSettings& settings) {
  return settings.IsValid() &&
         WriteUserBinaryValue(store, user, kRemindersValue, EncodeReminderSettings(settings));
}

RemindersSent LoadRemindersSent(UserStore& store, const std::string& user) {
  RemindersSent sent;
  std::string bytes;
  if (ReadUserBinaryValue(store, user, kRemindersSentValue, &bytes, kSentBytes))
    DecodeRemindersSent(bytes, &sent);
  return sent;
}

bool SaveRemindersSent(UserStore& store, const std::string& user, const RemindersSent& sent) {
  return WriteUserBinaryValue(store, user, kRemindersSentValue, EncodeRemindersSent(sent));
}

}  // namespace lunaret
