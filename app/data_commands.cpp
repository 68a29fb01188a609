#include "app/data_commands.h"

#include <QDate>
#include <QFile>
#include <QSaveFile>
#include <QTabWidget>
#include <algorithm>
#include <ctime>

#include "app/file_chooser.h"
#include "app/import_refusal.h"
#include "app/main_dialog.h"
#include "app/regular_file.h"
#include "app/tracker_file.h"
#include "app/tracker_json.h"
#include "controls/message_box.h"
#include "controls/ui_support.h"
#include "core/cycles/forecast_source.h"
#include "core/exchange/gzip_reader.h"
#include "core/exchange/history_csv.h"
#include "core/exchange/history_merge.h"
#include "core/exchange/journal_csv.h"
#include "core/exchange/journal_merge.h"
#include "core/exchange/tracker_import.h"
#include "pages/calendar_page.h"
#include "pages/general_page.h"
#include "pages/page_dates.h"
#include "pages/statistics_list.h"
#include "pages/statistics_page.h"
#ifdef LUNARET_FORECAST_CALENDAR
#include "core/exchange/forecast_calendar.h"
#endif
#ifdef LUNARET_STORE_BACKUP
#include "core/exchange/store_backup.h"
#include "core/store/store_file.h"
#endif

namespace lunaret {

namespace {

constexpr unsigned kInfoFlags = kMbOk | kMbIconInformation;        // 0x40
constexpr unsigned kRefusalFlags = kMbOk | kMbIconExclamation;     // 0x30
constexpr unsigned kFailureFlags = kMbOk | kMbIconError;           // 0x10
constexpr unsigned kConfirmFlags = kMbYesNo | kMbIconExclamation;  // 0x34

}  // namespace

DataCommands::DataCommands(MainDialog* window) : QObject(window), window_(window) {
#ifdef LUNARET_STORE_BACKUP
  storePath_ = QString::fromLocal8Bit(DefaultStorePath());
#endif
}

DataCommands::~DataCommands() = default;

bool DataCommands::WriteWhole(const QString& path, const QByteArray& bytes, QString* error) {
  QSaveFile file(path);
  // The flush is asked for on its own: a write that the disk cuts short fails there, and
  // commit() would put the short file in place all the same.
  const bool ok = file.open(QIODevice::WriteOnly) &&
                  file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                  file.write(bytes) == bytes.size() && file.flush() && file.commit();
  if (!ok) {
    *error = file.errorString();
    file.cancelWriting();
  }
  return ok;
}

void DataCommands::SaveAs(const QString& title, const QString& caption,
                          const QString& suggestedName, const QString& filter,
                          const Content& content) {
  const QString path = FileChooser::Current().SaveFileName(window_, caption, suggestedName, filter);
  if (path.isEmpty())
    return;
  QByteArray bytes;
  QString success;
  if (!content(path, &bytes, &success))
    return;
  QString error;
  if (WriteWhole(path, bytes, &error)) {
    ShowMessageBox(window_, success, title, kInfoFlags);
  } else {
    ShowMessageBox(window_, tr("Unable to write %1:\n%2").arg(path, error), title, kFailureFlags);
  }
}

void DataCommands::OnExportHistory() {
  SaveAs(tr("Lunaret export history..."), tr("Export history"),
         QStringLiteral("lunaret-%1-history.csv").arg(window_->UserName()),
         tr("CSV files (*.csv);;All files (*)"),
         [this](const QString& path, QByteArray* bytes, QString* success) {
           const std::vector<StatisticsRecord> records = window_->Statistics()->List()->Records();
           *bytes = QByteArray::fromStdString(WriteHistoryCsv(records));
           *success = tr("Exported %1 to %2.").arg(CountText(records.size(), "row", "rows"), path);
           return true;
         });
}

void DataCommands::OnExportJournal() {
  SaveAs(tr("Lunaret export journal..."), tr("Export journal"),
         QStringLiteral("lunaret-%1-journal.csv").arg(window_->UserName()),
         tr("CSV files (*.csv);;All files (*)"),
         [this](const QString& path, QByteArray* bytes, QString* success) {
           const Journal& journal = window_->Calendar()->CurrentJournal();
           *bytes = QByteArray::fromStdString(WriteJournalCsv(journal));
           *success = tr("Exported %1 to %2.").arg(CountText(journal.size(), "day", "days"), path);
           return true;
         });
}

void DataCommands::OnImportHistory() {
  const QString title = tr("Lunaret import history...");
  const QString path = FileChooser::Current().OpenFileName(
      window_, tr("Import history"),
      tr("History and tracker exports (*.csv *.json *.gz);;All files (*)"));
  if (path.isEmpty())
    return;
  QFile input(path);
  if (QString reason; !OpenRegularFile(input, &reason)) {
    ShowMessageBox(window_, tr("Unable to read %1:\n%2").arg(path, reason), title, kFailureFlags);
    return;
  }
  // One byte past the larger limit is enough to know that a file is too large for either kind.
  const QByteArray bytes =
      input.read(static_cast<qint64>(std::max(kMaxHistoryFileBytes, kMaxJournalFileBytes)) + 1);
  const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  // A journal file is known by its header, another tracker's export by its content (gzip, JSON,
  // drip's field paths, start and end columns); anything else is read as a history.
  if (const bool binaryOrJson = IsGzip(text) || LooksLikeJson(bytes); !binaryOrJson) {
    if (const JournalFile journal = ReadJournalCsv(text);
        journal.error != JournalFileError::kNotAJournal) {
      ImportJournal(journal, path, title);
      return;
    }
  }
  if (TrackerData tracker; ReadTrackerFile(bytes, &tracker)) {
    ImportTracker(tracker, path, title);
    return;
  }
  const HistoryFile file = ReadHistoryCsv(text);
  if (const QString refusal = HistoryRefusal(file); !refusal.isEmpty()) {
    ShowMessageBox(window_, tr("Nothing was imported from %1: %2").arg(path, refusal), title,
                   kRefusalFlags);
    return;
  }

  StatisticsPage* statistics = window_->Statistics();
  const ImportPlan plan = PlanImport(statistics->List()->Records(), file.records);
  const QString summary =
      tr("%1, %2 already there, %3.")
          .arg(CountText(plan.additions.size(), "row to add", "rows to add"))
          .arg(plan.alreadyThere)
          .arg(CountText(plan.fills.size(), "ovulation to fill in", "ovulations to fill in"));
  if (!plan.Changes()) {
    ShowMessageBox(window_, summary + tr(" Nothing to import."), title, kInfoFlags);
    return;
  }
  if (ShowMessageBox(window_, summary + tr(" Import?"), title, kConfirmFlags) != kIdYes)
    return;
  statistics->ImportRecords(plan);
  window_->Tabs()->setCurrentWidget(statistics);
}

void DataCommands::ImportJournal(const JournalFile& file, const QString& path,
                                 const QString& title) {
  if (const QString refusal = JournalRefusal(file); !refusal.isEmpty()) {
    ShowMessageBox(window_, tr("Nothing was imported from %1: %2").arg(path, refusal), title,
                   kRefusalFlags);
    return;
  }
  CalendarPage* calendar = window_->Calendar();
  const JournalImportPlan plan = PlanJournalImport(calendar->CurrentJournal(), file.days);
  const QString summary =
      tr("%1, %2 logged already, of which %3.")
          .arg(CountText(plan.daysAdded(), "day to add", "days to add"))
          .arg(plan.daysGaining() + plan.unchanged)
          .arg(CountText(plan.daysGaining(), "gains what it lacks", "gain what they lack"));
  if (!plan.Changes()) {
    ShowMessageBox(window_, summary + tr(" Nothing to import."), title, kInfoFlags);
    return;
  }
  if (ShowMessageBox(window_, summary + tr(" Import?"), title, kConfirmFlags) != kIdYes)
    return;
  calendar->ImportJournal(plan);
  window_->Tabs()->setCurrentWidget(calendar);
}

void DataCommands::ImportTracker(const TrackerData& data, const QString& path,
                                 const QString& title) {
  StatisticsPage* statistics = window_->Statistics();
  CalendarPage* calendar = window_->Calendar();
  const TrackerImport converted = ConvertTrackerData(data, statistics->List()->Records());
  if (!converted.ok()) {
    ShowMessageBox(window_,
                   tr("Nothing was imported from %1: it looks like %2, but it has %3")
                       .arg(path, TrackerFileName(converted.source), TrackerProblems(converted)),
                   title, kRefusalFlags);
    return;
  }
  const ImportPlan plan = PlanImport(statistics->List()->Records(), converted.records);
  const JournalImportPlan days = PlanJournalImport(calendar->CurrentJournal(), converted.days);
  const std::size_t ovulations =
      plan.fills.size() + static_cast<std::size_t>(std::count_if(
                              plan.additions.begin(), plan.additions.end(),
                              [](const PlacedRecord& p) { return p.record.ovulationDate != 0; }));
  QString summary =
      tr("%1: %2, %3, %4")
          .arg(TrackerFileName(converted.source))
          .arg(CountText(plan.additions.size(), "period to add", "periods to add"))
          .arg(CountText(days.daysAdded() + days.daysGaining(), "day to log", "days to log"))
          .arg(CountText(ovulations, "ovulation to fill in", "ovulations to fill in"));
  summary[0] = summary[0].toUpper();
  summary += LeftOutText(converted) + QLatin1Char('.');
  if (!plan.Changes() && !days.Changes()) {
    ShowMessageBox(window_, summary + tr(" Nothing to import."), title, kInfoFlags);
    return;
  }
  if (ShowMessageBox(window_, summary + tr(" Import?"), title, kConfirmFlags) != kIdYes)
    return;
  if (days.Changes()) {
    calendar->ImportJournal(days);
    window_->Tabs()->setCurrentWidget(calendar);
  }
  if (plan.Changes()) {
    statistics->ImportRecords(plan);
    window_->Tabs()->setCurrentWidget(statistics);
  }
}

#ifdef LUNARET_FORECAST_CALENDAR
void DataCommands::OnExportForecast() {
  const QString title = tr("Lunaret export forecast...");
  GeneralPage* general = window_->General();
  const ForecastSchedule schedule =
      NextForecast(window_->Statistics()->List()->Records(), general->FirstDay(),
                   general->ForecastDuration(), TodayLocal());
  if (schedule.periods.empty()) {
    ShowMessageBox(window_,
                   tr("There is no forecast to export: the forecast duration is not a number of "
                      "days."),
                   title, kRefusalFlags);
    return;
  }
  SaveAs(title, tr("Export forecast to calendar"),
         QStringLiteral("lunaret-%1-forecast.ics").arg(window_->UserName()),
         tr("iCalendar files (*.ics);;All files (*)"),
         [&](const QString& path, QByteArray* bytes, QString* success) {
           *bytes = QByteArray::fromStdString(
               WriteForecastCalendar(ToStore(window_->UserName()), schedule, std::time(nullptr)));
           QString what = CountText(schedule.periods.size(), "expected period", "expected periods");
           if (!schedule.fertileWindows.empty()) {
             what += tr(" and %1").arg(
                 CountText(schedule.fertileWindows.size(), "fertile window", "fertile windows"));
           }
           *success = tr("Exported %1 to %2.").arg(what, path);
           return true;
         });
}

#endif

#ifdef LUNARET_STORE_BACKUP
void DataCommands::OnBackUp() {
  const QString title = tr("Lunaret backup...");
  SaveAs(title, tr("Back up all data"),
         QStringLiteral("lunaret-backup-%1.db").arg(QDate::currentDate().toString(Qt::ISODate)),
         tr("Lunaret backups (*.db);;All files (*)"),
         [&](const QString& path, QByteArray* bytes, QString* success) {
           std::string image;
           if (!ReadStoreImage(storePath_.toLocal8Bit().toStdString(), &image)) {
             ShowMessageBox(window_, tr("Unable to read the store %1.").arg(storePath_), title,
                            kFailureFlags);
             return false;
           }
           *bytes = QByteArray::fromStdString(image);
           *success = tr("All data was backed up to %1.").arg(path);
           if (window_->IsModified())
             *success += tr("\nChanges not yet saved are not in the backup.");
           return true;
         });
}
#endif

}  // namespace lunaret
