// The journal's days in the store: their bytes, their values beside the older ones, and the
// registry's walk over a key's values that finds them.
#include "core/store/journal_store.h"

#include <gmock/gmock.h>

#include <memory>
#include <set>

#include "../test_support.h"
#include "core/store/journal_day_bytes.h"

namespace lunaret {
namespace {

using std::string_literals::operator""s;

const std::string kGreek =
    "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1";  // Καλημέρα
const std::string kArabic = "\xD8\xB5\xD8\xAF\xD8\xA7\xD8\xB9 \xD8\xAE\xD9\x81\xD9\x8A\xD9\x81";
const std::string kJapanese = "\xE9\xA0\xAD\xE7\x97\x9B\xE3\x81\x8C\xE3\x81\x99\xE3\x82\x8B";
const std::string kOwnGreek = "\xCE\xB6\xCE\xB1\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1";  // ζαλάδα

JournalDay Day(Flow flow, SymptomSet symptoms, Mood mood, std::string note,
               std::vector<std::string> own = {}) {
  return {flow, symptoms, std::move(own), mood, std::move(note)};
}

// Counts the writes that reach the registry below it.
class CountingRegistry final : public test::ForwardingRegistry {
 public:
  using ForwardingRegistry::ForwardingRegistry;
  std::vector<std::string> set, deleted;

  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const unsigned char* data,
                std::uint32_t size) override {
    set.push_back(name);
    return ForwardingRegistry::SetValue(key, name, type, data, size);
  }
  long DeleteValue(RegKey key, const std::string& name) override {
    deleted.push_back(name);
    return ForwardingRegistry::DeleteValue(key, name);
  }
};

class JournalStoreTest : public test::StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    ASSERT_TRUE(store().SetPassword("Anna", "pw"));
  }
  // A month of days in every language, her own symptoms among the built-in ones.
  static Journal Sample() {
    return {{DayNumberOf(2024, 3, 1), Day(Flow::kHeavy, SymptomBit(Symptom::kCramps), Mood::kSad,
                                          kGreek + "\r\n\"; ,", {kOwnGreek, "Migraine aura"})},
            {DayNumberOf(2024, 3, 2), Day(Flow::kSpotting, 0, Mood::kNone, kArabic)},
            {DayNumberOf(2024, 3, 9), Day(Flow::kNone, kAllSymptoms, Mood::kEnergetic, kJapanese)},
            {DayNumberOf(2024, 3, 31), Day(Flow::kNone, 0, Mood::kCalm, "")}};
  }
  RegKey AnnaKey() { return Open(kCurrentUser, "Software\\Lunaret\\Anna", kKeyAllAccess); }
  std::set<std::string> ValueNames(RegKey key) {
    std::set<std::string> names;
    char name[64];
    std::uint32_t size = sizeof name;
    for (std::uint32_t i = 0; registry().EnumValue(key, i, name, &size) == kErrorSuccess; ++i) {
      EXPECT_EQ(std::string(name).size(), size);
      names.insert(std::string(name, size));
      size = sizeof name;
    }
    return names;
  }
};

TEST_F(JournalStoreTest, TheValueWalkListsEveryNameAsWrittenAndStopsAtItsEnd) {
  store().SetDuration("Anna", "29");
  const RegKey key = AnnaKey();
  ASSERT_EQ(Set(key, "Journal Zz", "x"), kErrorSuccess);
  EXPECT_THAT(ValueNames(key), ::testing::ElementsAre("", "Journal Zz", "duration"));
  char name[16];
  std::uint32_t size = 10;  // "Journal Zz" and no room for its terminator
  long rc = kErrorSuccess;
  for (std::uint32_t i = 0; rc == kErrorSuccess; ++i, size = 10)
    rc = registry().EnumValue(key, i, name, &size);
  EXPECT_EQ(rc, kErrorMoreData);
  size = sizeof name;
  EXPECT_EQ(registry().EnumValue(key, 3, name, &size), kErrorNoMoreItems);
}

TEST_F(JournalStoreTest, DaysInAnyLanguageComeBackAsSavedBesideTheOlderValues) {
  const std::vector<StatisticsRecord> records = {{86400 * 19000, 0},
                                                 {86400 * 19028, 86400 * 19042}};
  SaveStatistics(store(), "Anna", records);
  store().SetDuration("Anna", "28");
  ASSERT_TRUE(SaveJournalChanges(store(), "Anna", {}, Sample()));
  ASSERT_TRUE(SaveOwnSymptomNames(store(), "Anna", {kOwnGreek, "Migraine aura"}));
  SaveStatistics(store(), "Anna", records);  // rewriting the statistics leaves the journal alone
  Reopen();
  std::size_t unreadable = 9;
  EXPECT_EQ(LoadJournal(store(), "aNNA", &unreadable), Sample());
  EXPECT_EQ(unreadable, 0u);
  EXPECT_THAT(LoadOwnSymptomNames(store(), "Anna"),
              ::testing::ElementsAre(kOwnGreek, "Migraine aura"));
  EXPECT_EQ(LoadStatistics(store(), "Anna"), records);
  EXPECT_EQ(store().GetDuration("Anna"), "28");
  std::uint32_t type = 0;
  EXPECT_EQ(Read(AnnaKey(), "journal 2024-03-31", &type), "\1\0\1\0\0\0\0\0"s);
  EXPECT_EQ(type, kRegBinary);
  // The password, "duration", the count, two values a record, a value a day and the names.
  EXPECT_EQ(store().CountValues("Anna"), 3u + 2 * records.size() + 4 + 1);
  EXPECT_TRUE(LoadJournal(store(), "Berta").empty());
  // A damaged count is still cut to the values there are, journal days included.
  store().SetStatisticsLength("Anna", 0x7FFFFFFF);
  EXPECT_EQ(LoadStatistics(store(), "Anna").size(), store().CountValues("Anna"));
  EXPECT_EQ(LoadJournal(store(), "Anna"), Sample());
}

TEST_F(JournalStoreTest, ASaveWritesTheChangedDaysOnlyAndDeletesTheEmptiedOnes) {
  ASSERT_TRUE(SaveJournalChanges(store(), "Anna", {}, Sample()));
  CountingRegistry counting(registry());
  UserStore counted(counting);
  Journal after = Sample();
  after[DayNumberOf(2024, 3, 2)].note += "!";                               // changed
  after[DayNumberOf(2024, 3, 9)] = JournalDay{};                            // emptied
  after.erase(DayNumberOf(2024, 3, 31));                                    // gone
  after[DayNumberOf(2024, 2, 29)] = Day(Flow::kLight, 0, Mood::kNone, "");  // new
  ASSERT_TRUE(SaveJournalChanges(counted, "Anna", Sample(), after));
  EXPECT_THAT(counting.set, ::testing::ElementsAre("Journal 2024-02-29", "Journal 2024-03-02"));
  EXPECT_THAT(counting.deleted, ::testing::ElementsAre("Journal 2024-03-09", "Journal 2024-03-31"));
  after.erase(DayNumberOf(2024, 3, 9));
  EXPECT_EQ(LoadJournal(store(), "Anna"), after);
  counting.set.clear();
  EXPECT_TRUE(SaveJournalChanges(counted, "Anna", after, after));
  EXPECT_TRUE(counting.set.empty());
  EXPECT_THAT(ValueNames(AnnaKey()), ::testing::Contains("Journal 2024-02-29"));
}

TEST_F(JournalStoreTest, DeletingTheUserDeletesHerJournal) {
  ASSERT_TRUE(SaveJournalChanges(store(), "Anna", {}, Sample()));
  ASSERT_TRUE(SaveOwnSymptomNames(store(), "Anna", {"Migraine aura"}));
  ASSERT_TRUE(store().DeleteUserKey("Anna"));
  EXPECT_FALSE(store().FindUser("Anna"));
  EXPECT_FALSE(SaveJournalChanges(store(), "Anna", {}, Sample()));  // no key made for her
  EXPECT_TRUE(LoadJournal(store(), "Anna").empty());
  EXPECT_TRUE(LoadOwnSymptomNames(store(), "Anna").empty());
}

TEST_F(JournalStoreTest, LimitsAreKeptJustInsideAndRefusedJustOutside) {
  const std::string e = "\xC3\xA9";  // é: two bytes, one character
  std::string longest;
  for (int i = 0; i < 2000; ++i)
    longest += e;
  const DayNumber first = DayNumberOf(kFirstStoredDay), last = DayNumberOf(kLastStoredDay);
  const Journal inside = {{first, Day(Flow::kNone, 0, Mood::kNone, longest)},
                          {last, Day(Flow::kNone, 0, Mood::kNone, "x", {std::string(60, 'a')})}};
  ASSERT_TRUE(SaveJournalChanges(store(), "Anna", {}, inside));
  EXPECT_EQ(LoadJournal(store(), "Anna"), inside);
  const std::pair<DayNumber, JournalDay> outside[] = {
      {first, Day(Flow::kNone, 0, Mood::kNone, longest + "a")},
      {first - 1, Day(Flow::kHeavy, 0, Mood::kNone, "")},
      {last + 1, Day(Flow::kHeavy, 0, Mood::kNone, "")},
      {last, Day(Flow::kNone, 0, Mood::kNone, "", {std::string(61, 'a')})},
      {last, Day(Flow::kNone, 0, Mood::kNone, "", {"a;b"})},
      {last, Day(Flow::kNone, 0, Mood::kNone, "", {"Cramps"})},
      {last, Day(Flow::kNone, 0, Mood::kNone, "", {"x", "x"})},
      {last, Day(Flow::kNone, 0, Mood::kNone, "\xC3")},
      {last, Day(static_cast<Flow>(5), 0, Mood::kNone, "")},
      {last, Day(Flow::kNone, 1u << 10, Mood::kNone, "")},
  };
  for (const auto& [day, entry] : outside) {
    Journal after = inside;
    after[DayNumberOf(2000, 1, 1)] = Day(Flow::kLight, 0, Mood::kNone, "");
    after[day] = entry;
    EXPECT_FALSE(SaveJournalChanges(store(), "Anna", inside, after)) << day;
  }
  EXPECT_EQ(LoadJournal(store(), "Anna"), inside);  // nothing of the refused saves
  EXPECT_FALSE(SaveOwnSymptomNames(store(), "Anna", {"ok", "Headache"}));
  EXPECT_TRUE(LoadOwnSymptomNames(store(), "Anna").empty());
}

TEST_F(JournalStoreTest, OnlyJournalNamesOfStoredDaysAreDays) {
  const std::pair<const char*, DayNumber> names[] = {
      {"Journal 2024-03-01", DayNumberOf(2024, 3, 1)},
      {"jOURNAL 1970-02-01", DayNumberOf(1970, 2, 1)},
      {"Journal 2037-12-31", DayNumberOf(2037, 12, 31)},
      {"Journal 1970-01-31", -1},
      {"Journal 2038-01-01", -1},
      {"Journal 2024-02-30", -1},
      {"Journal symptoms", -1},
      {"Journal 2024-03-01 ", -1},
      {"Journal  2024-03-1", -1},
      {"Journal2024-03-01x", -1},
      {"StatisticsDate1", -1}};
  for (const auto& [name, day] : names) {
    DayNumber read = -1;
    EXPECT_EQ(ReadJournalValueName(name, &read), day >= 0) << name;
    EXPECT_EQ(read, day) << name;
  }
  EXPECT_EQ(JournalValueName(DayNumberOf(1999, 12, 5)), "Journal 1999-12-05");
}

TEST_F(JournalStoreTest, DamagedBytesAreRefusedAndTheOtherDaysStillLoad) {
  std::string bytes;
  ASSERT_TRUE(EncodeJournalDay(
      Day(Flow::kLight, SymptomBit(Symptom::kCramps) | SymptomBit(Symptom::kInsomnia), Mood::kSad,
          "hi", {"x"}),
      &bytes));
  EXPECT_EQ(bytes, "\1\2\3\1\2\1\1x\2\0hi"s);
  JournalDay day;
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    // Each cut in a buffer of its own size, so that the sanitizer sees a read past its end.
    const std::unique_ptr<char[]> cut(new char[size]);
    bytes.copy(cut.get(), size);
    EXPECT_FALSE(DecodeJournalDay(std::string_view(cut.get(), size), &day)) << size;
  }
  const std::string damaged[] = {bytes + "!",
                                 "\2\2\3\1\2\1\1x\2\0hi"s,
                                 "\1\5\3\1\2\1\1x\2\0hi"s,
                                 "\1\2\7\1\2\1\1x\2\0hi"s,
                                 "\1\2\3\1\4\1\1x\2\0hi"s,
                                 "\1\2\3\1\2\2\1x\2\0hi"s,
                                 "\1\2\3\1\2\1\7x\2\0hi"s,
                                 "\1\2\3\1\2\1\1x\2\1hi"s,
                                 "\1\2\3\1\2\1\1;\2\0hi"s,
                                 "\1\2\3\1\2\1\1x\2\0h\xFF"s,
                                 "\1\2\3\1\2\1\1x\2\0\0i"s,
                                 "\1\2\3\1\2\x33\0\2\0hi"s};
  for (const std::string& bad : damaged)
    EXPECT_FALSE(DecodeJournalDay(bad, &day)) << ::testing::PrintToString(bad);
  EXPECT_TRUE(DecodeJournalDay(bytes, &day));
  EXPECT_EQ(day.note + day.ownSymptoms.at(0), "hix");

  ASSERT_TRUE(SaveJournalChanges(store(), "Anna", {}, Sample()));
  const RegKey key = AnnaKey();
  ASSERT_EQ(Set(key, "Journal 2024-03-02", damaged[0], kRegBinary), kErrorSuccess);
  ASSERT_EQ(Set(key, "Journal 2024-03-09", bytes, kRegSz), kErrorSuccess);
  ASSERT_EQ(Set(key, "Journal 2024-03-10", "\1\0\0\0\0\0\0\0"s, kRegBinary), kErrorSuccess);
  ASSERT_EQ(Set(key, "Journal symptoms", "\1\1\0\0"s, kRegBinary), kErrorSuccess);
  std::size_t unreadable = 0;
  Journal expected = Sample();
  expected.erase(DayNumberOf(2024, 3, 2));
  expected.erase(DayNumberOf(2024, 3, 9));
  EXPECT_EQ(LoadJournal(store(), "Anna", &unreadable), expected);
  EXPECT_EQ(unreadable, 3u);
  EXPECT_TRUE(LoadOwnSymptomNames(store(), "Anna").empty());
  EXPECT_EQ(Read(key, "Journal 2024-03-02"), damaged[0]);  // kept until that day is saved anew
}

}  // namespace
}  // namespace lunaret
