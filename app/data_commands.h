#ifndef LUNARET_APP_DATA_COMMANDS_H
#define LUNARET_APP_DATA_COMMANDS_H

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

namespace lunaret {

class MainDialog;
struct JournalFile;
struct TrackerData;

// The Tools menu's data commands of the main window: the history out to a CSV file and back in,
// the forecast out to an iCalendar file, and a backup of the whole store (the last two only where
// the calendar writer and the store file are built: not on Windows). Files are chosen
// through the FileChooser and written whole or not at all, readable by their owner alone.
class DataCommands : public QObject {
  Q_OBJECT

 public:
  // Command ids of the menu entries.
  static constexpr int kCmdExportHistory = 32785;
  static constexpr int kCmdImportHistory = 32786;
  static constexpr int kCmdExportForecast = 32787;
  static constexpr int kCmdBackUp = 32788;
  static constexpr int kCmdExportJournal = 32789;

  explicit DataCommands(MainDialog* window);
  ~DataCommands() override;

  // The store file the backup reads; the per-user store by default.
  void SetStorePath(const QString& path) { storePath_ = path; }

  // Writes bytes to path atomically with mode 0600; false with the reason when it fails, in
  // which case nothing of the file exists and a file there before is left as it was.
  static bool WriteWhole(const QString& path, const QByteArray& bytes, QString* error);

 public slots:
  void OnExportHistory();
  void OnExportJournal();
  void OnImportHistory();
#ifdef LUNARET_FORECAST_CALENDAR
  void OnExportForecast();
#endif
#ifdef LUNARET_STORE_BACKUP
  void OnBackUp();
#endif

 private:
  // What a command writes to the file she chose at path: the bytes and the message that says
  // it was done; false when it cannot, after it said why.
  using Content = std::function<bool(const QString& path, QByteArray* bytes, QString* success)>;
  // The one way the commands save a file: she chooses where (the caption, a suggested name in
  // her home folder, the filter), content makes the bytes, and the file is written whole. The
  // outcome is said under title: info on success, the reason on failure.
  void SaveAs(const QString& title, const QString& caption, const QString& suggestedName,
              const QString& filter, const Content& content);
  // Asks, then merges a journal file's days into the Calendar page; refuses a bad file whole.
  void ImportJournal(const JournalFile& file, const QString& path, const QString& title);
  // Asks, then merges another tracker's periods, ovulations and days into the Statistics and
  // Calendar pages; refuses a bad file whole, naming the tracker it was taken for.
  void ImportTracker(const TrackerData& data, const QString& path, const QString& title);

  MainDialog* window_;  // the parent
  QString storePath_;
};

}  // namespace lunaret

#endif  // LUNARET_APP_DATA_COMMANDS_H
