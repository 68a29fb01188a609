#ifndef LUNARET_APP_FILE_CHOOSER_H
#define LUNARET_APP_FILE_CHOOSER_H

#include <QString>

class QWidget;

namespace lunaret {

// Asks the user for a file with the platform's file dialogs. Tests install their own chooser
// to answer without a dialog.
class FileChooser {
 public:
  virtual ~FileChooser();
  // A file to write, offered as suggestedName in the home folder; empty when cancelled.
  virtual QString SaveFileName(QWidget* parent, const QString& caption,
                               const QString& suggestedName, const QString& filter);
  // An existing file to read; empty when cancelled.
  virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter);

  // The chooser the commands use; never null.
  static FileChooser& Current();
  // Installs a chooser (not owned; it must outlive its use); null restores the dialogs.
  static void SetCurrent(FileChooser* chooser);
};

}  // namespace lunaret

#endif  // LUNARET_APP_FILE_CHOOSER_H
