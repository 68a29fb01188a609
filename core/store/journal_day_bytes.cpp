#include "core/store/journal_day_bytes.h"

#include <algorithm>
#include <cstdint>

namespace lunaret {
namespace {

// Reads the fields of a stored value in order; every read checks what is left first.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  bool Byte(unsigned* value) {
    if (bytes_.size() - pos_ < 1)
      return false;
    *value = static_cast<unsigned char>(bytes_[pos_++]);
    return true;
  }
  bool Word(unsigned* value) {
    unsigned low = 0;
    unsigned high = 0;
    if (bytes_.size() - pos_ < 2 || !Byte(&low) || !Byte(&high))
      return false;
    *value = low | (high << 8);
    return true;
  }
  bool Text(std::size_t size, std::string* text) {
    if (bytes_.size() - pos_ < size)
      return false;
    text->assign(bytes_.substr(pos_, size));
    pos_ += size;
    return true;
  }
  bool AtEnd() const { return pos_ == bytes_.size(); }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

void PutWord(std::string* bytes, std::size_t value) {
  bytes->push_back(static_cast<char>(value & 0xFF));
  bytes->push_back(static_cast<char>((value >> 8) & 0xFF));
}

bool NoRepeats(const std::vector<std::string>& names) {
  std::vector<std::string_view> sorted(names.begin(), names.end());
  std::sort(sorted.begin(), sorted.end());
  return std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
}

}  // namespace

bool EncodeJournalDay(const JournalDay& day, std::string* bytes) {
  bytes->clear();
  if (!IsValidJournalDay(day))
    return false;
  bytes->reserve(8 + day.note.size() + day.ownSymptoms.size() * 16);
  bytes->push_back(static_cast<char>(kJournalDayFormat));
  bytes->push_back(static_cast<char>(day.flow));
  bytes->push_back(static_cast<char>(day.mood));
  PutWord(bytes, day.symptoms);
  bytes->push_back(static_cast<char>(day.ownSymptoms.size()));
  for (const std::string& name : day.ownSymptoms) {
    bytes->push_back(static_cast<char>(name.size()));
    bytes->append(name);
  }
  PutWord(bytes, day.note.size());
  bytes->append(day.note);
  return true;
}

bool DecodeJournalDay(std::string_view bytes, JournalDay* day) {
  ByteReader reader(bytes);
  unsigned version = 0;
  unsigned flow = 0;
  unsigned mood = 0;
  unsigned symptoms = 0;
  unsigned own = 0;
  // The ranges of the fields are IsValidJournalDay's, checked once the day is read whole.
  if (!reader.Byte(&version) || version != kJournalDayFormat || !reader.Byte(&flow) ||
      !reader.Byte(&mood) || !reader.Word(&symptoms) || !reader.Byte(&own) ||
      own > kMaxOwnSymptomsPerDay)
    return false;
  JournalDay read;
  read.flow = static_cast<Flow>(flow);
  read.mood = static_cast<Mood>(mood);
  read.symptoms = static_cast<SymptomSet>(symptoms);
  read.ownSymptoms.resize(own);
  for (std::string& name : read.ownSymptoms) {
    unsigned size = 0;
    if (!reader.Byte(&size) || !reader.Text(size, &name))
      return false;
  }
  unsigned noteSize = 0;
  if (!reader.Word(&noteSize) || !reader.Text(noteSize, &read.note) || !reader.AtEnd() ||
      !IsValidJournalDay(read))
    return false;
  *day = std::move(read);
  return true;
}

bool EncodeSymptomNames(const std::vector<std::string>& names, std::string* bytes) {
  bytes->clear();
  if (names.size() > kMaxOwnSymptomNames || !NoRepeats(names) ||
      !std::all_of(names.begin(), names.end(), IsOwnSymptomName))
    return false;
  bytes->push_back(static_cast<char>(kJournalDayFormat));
  PutWord(bytes, names.size());
  for (const std::string& name : names) {
    bytes->push_back(static_cast<char>(name.size()));
    bytes->append(name);
  }
  return true;
}

bool DecodeSymptomNames(std::string_view bytes, std::vector<std::string>* names) {
  ByteReader reader(bytes);
  unsigned version = 0;
  unsigned count = 0;
  if (!reader.Byte(&version) || version != kJournalDayFormat || !reader.Word(&count) ||
      count > kMaxOwnSymptomNames)
    return false;
  std::vector<std::string> read(count);
  for (std::string& name : read) {
    unsigned size = 0;
    if (!reader.Byte(&size) || !reader.Text(size, &name) || !IsOwnSymptomName(name))
      return false;
  }
  if (!reader.AtEnd() || !NoRepeats(read))
    return false;
  *names = std::move(read);
  return true;
}

}  // namespace lunaret
