#include "app/file_chooser.h"

#include <QDir>
#include <QFileDialog>

namespace lunaret {

namespace {

FileChooser* g_chooser = nullptr;

}  // namespace

FileChooser::~FileChooser() = default;

QString FileChooser::SaveFileName(QWidget* parent, const QString& caption,
                                  const QString& suggestedName, const QString& filter) {
  return QFileDialog::getSaveFileName(parent, caption, QDir::home().filePath(suggestedName),
                                      filter);
}

QString FileChooser::OpenFileName(QWidget* parent, const QString& caption, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, caption, QDir::homePath(), filter);
}

FileChooser& FileChooser::Current() {
  static FileChooser dialogs;
  return g_chooser != nullptr ? *g_chooser : dialogs;
}

void FileChooser::SetCurrent(FileChooser* chooser) {
  g_chooser = chooser;
}

}  // namespace lunaret
