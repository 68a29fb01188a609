// Journal files: the written form, what reads back and what refuses a file; the import's merge.
#include "core/exchange/journal_csv.h"

#include <gmock/gmock.h>

#include "../test_support.h"
#include "core/exchange/history_csv.h"
#include "core/exchange/journal_merge.h"

namespace lunaret {
namespace {

const DayNumber kMar1 = DayNumberOf(2024, 3, 1);
const std::string kGreek = "\xCE\xBA\xCE\xB1\xCE\xBB\xCE\xAC";  // καλά

JournalDay Day(Flow flow, SymptomSet symptoms, Mood mood, std::string note,
               std::vector<std::string> own = {}) {
  return {flow, symptoms, std::move(own), mood, std::move(note)};
}

TEST(JournalCsvTest, TrickyFieldsReadBackAsWrittenWithTheRowsAfterThem) {
  const Journal journal = {
      {kMar1, Day(Flow::kHeavy, SymptomBit(Symptom::kCramps) | SymptomBit(Symptom::kTenderBreasts),
                  Mood::kIrritable, "say \"no\", then\r\nleave; ok", {kGreek, "Back, low"})},
      {kMar1 + 1, Day(Flow::kSpotting, 0, Mood::kNone, "line\nbreak,\"")},
      {kMar1 + 2, Day(Flow::kNone, 0, Mood::kNone, " \"")},
      {DayNumberOf(kFirstStoredDay), Day(Flow::kLight, 0, Mood::kCalm, "")},
      {DayNumberOf(kLastStoredDay),
       Day(Flow::kNone, SymptomBit(Symptom::kInsomnia), Mood::kNone, "  blanks kept  ")}};
  const std::string written = WriteJournalCsv(journal);
  EXPECT_THAT(written, ::testing::StartsWith("date,flow,symptoms,mood,note\r\n"
                                             "1970-02-01,light,,calm,\r\n"
                                             "2024-03-01,heavy,\"cramps;tender breasts;" +
                                             kGreek +
                                             ";Back, low\",irritable,"
                                             "\"say \"\"no\"\", then\r\nleave; ok\"\r\n"
                                             "2024-03-02,spotting,,,\"line\nbreak,\"\"\"\r\n"));
  const JournalFile read = ReadJournalCsv(written);
  EXPECT_TRUE(read.ok());
  EXPECT_EQ(read.days, journal);
  // Other programs' spelling: columns in another order, names in other letter case, "none".
  const JournalFile other = ReadJournalCsv(
      "\xEF\xBB\xBFNote, MOOD ,x,Date,Symptoms\n"
      "hi,None,1,2024-03-01, Cramps ;;cramps; Mine ;Mine\r\n"
      ",,,2024-03-02,\n,,,,\n");
  EXPECT_TRUE(other.ok());
  EXPECT_EQ(other.days, (Journal{{kMar1, Day(Flow::kNone, SymptomBit(Symptom::kCramps), Mood::kNone,
                                             "hi", {"Mine"})}}));
}

TEST(JournalCsvTest, AnyBadRowRefusesTheFileAndTheFirstFiveAreNamed) {
  using E = JournalFileError;
  using P = JournalRowProblem;
  const std::string head = "date,flow,symptoms,mood,note\n";
  const std::string note2000(2000, 'n');
  const struct {
    std::string text;
    E error = E::kNone;
    JournalBadRow first = {};  // line 0: the file reads
  } cases[] = {
      {head + "2024-03-01,,,,\"" + note2000 + "\"\n"},
      {"", E::kEmpty},
      {head + "2024-03-01,,,,\xE9t\xE9\n", E::kNotText},
      {"day,flow\n2024-03-01,light\n", E::kNotAJournal},
      {"date,start\n2024-03-01,x\n", E::kNotAJournal},
      {head + "2024-03-01,,,,\"" + note2000 + "x\"\n", E::kNone, {2, P::kNoteTooLong, ""}},
      {head + "\n2024-3-01,light\n", E::kNone, {3, P::kNotADate, "2024-3-01"}},
      {head + "1970-01-31,light\n", E::kNone, {2, P::kOutOfRange, "1970-01-31"}},
      {head + "2038-01-01,light\n", E::kNone, {2, P::kOutOfRange, "2038-01-01"}},
      {head + "2024-03-01,lots\n", E::kNone, {2, P::kUnknownFlow, "lots"}},
      {head + "2024-03-01,,,grumpy\n", E::kNone, {2, P::kUnknownMood, "grumpy"}},
      {head + "2024-03-01,,cramps;x\x01y\n", E::kNone, {2, P::kBadSymptom, "x\x01y"}},
      {head + ",light\n", E::kNone, {2, P::kMissingDate, ""}},
      {head + "2024-03-01,light\n2024-03-01,,acne\n",
       E::kNone,
       {3, P::kRepeatedDate, "2024-03-01"}},
      {head + "2024-03-01,,,,\"a\n\"\"b\n2024-03-02,x\n", E::kNone, {2, P::kUnterminatedQuote, ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 60));
    const JournalFile file = ReadJournalCsv(c.text);
    EXPECT_EQ(file.error, c.error);
    EXPECT_EQ(file.ok(), c.error == E::kNone && c.first.line == 0);
    if (c.first.line != 0) {
      EXPECT_THAT(file.badRows, ::testing::ElementsAre(c.first));
    }
  }
  // Seven bad rows, the fourth after a quoted line break: five named, seven counted.
  std::string seven = head;
  for (const char* row : {"x\n", "2024-03-01,,,,\"a\nb\"\n", "y\n", "z\n",
                          "2024-03-02,,,,\"p\nq\"\n", "w\n", "2024-03-03\n", "v\n", "u\n", "t\n"})
    seven += row;
  const JournalFile file = ReadJournalCsv(seven);
  EXPECT_EQ(file.badRowCount, 7u);
  ASSERT_EQ(file.badRows.size(), kBadRowsKept);
  EXPECT_EQ(file.badRows[1].line, 5);
  EXPECT_EQ(file.badRows[4].line, 11);
}

TEST(JournalMergeTest, NewDaysGoInAnywhereAndLoggedDaysOnlyGainWhatTheyLack) {
  const DayNumber d = kMar1;
  const Journal existing = {
      {d + 2, Day(Flow::kLight, SymptomBit(Symptom::kAcne), Mood::kNone, "mine", {"A"})},
      {d + 4, Day(Flow::kNone, 0, Mood::kHappy, "")},
      {d + 6, Day(Flow::kMedium, SymptomBit(Symptom::kNausea), Mood::kSad, "kept")}};
  const Journal incoming = {
      {d, Day(Flow::kHeavy, 0, Mood::kNone, "first")},
      {d + 2, Day(Flow::kHeavy, SymptomBit(Symptom::kFatigue), Mood::kCalm, "theirs", {"B", "A"})},
      {d + 3, Day(Flow::kNone, 0, Mood::kAnxious, "")},
      {d + 4, Day(Flow::kSpotting, 0, Mood::kSad, "note")},
      {d + 6, Day(Flow::kHeavy, SymptomBit(Symptom::kNausea), Mood::kCalm, "other")},
      {d + 9, Day(Flow::kNone, SymptomBit(Symptom::kBloating), Mood::kNone, "")}};
  const JournalImportPlan plan = PlanJournalImport(existing, incoming);
  EXPECT_EQ(plan.daysAdded(), 3u);
  EXPECT_EQ(plan.daysGaining(), 2u);
  EXPECT_EQ(plan.unchanged, 1u);
  EXPECT_TRUE(plan.Changes());
  const Journal expected = {
      {d, incoming.at(d)},
      {d + 2, Day(Flow::kLight, SymptomBit(Symptom::kAcne) | SymptomBit(Symptom::kFatigue),
                  Mood::kCalm, "mine", {"A", "B"})},
      {d + 3, incoming.at(d + 3)},
      {d + 4, Day(Flow::kSpotting, 0, Mood::kHappy, "note")},
      {d + 6, existing.at(d + 6)},
      {d + 9, incoming.at(d + 9)}};
  EXPECT_EQ(ApplyJournalImport(existing, plan), expected);
  EXPECT_FALSE(PlanJournalImport(expected, incoming).Changes());
}

}  // namespace
}  // namespace lunaret
