#include "app/regular_file.h"

#include <QCoreApplication>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace lunaret {

bool OpenRegularFile(QFile& file, QString* reason) {
#ifndef _WIN32
  // Opened without waiting, and looked at through the descriptor that is then read: nothing can
  // take the file's place in between.
  const int fd = open(QFile::encodeName(file.fileName()).constData(),
                      O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    *reason = QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const bool folder = S_ISDIR(info.st_mode);
    close(fd);
    // A folder cannot make the open wait: Qt's own open refuses it in its words.
    if (!folder) {
      *reason = QCoreApplication::translate("OpenRegularFile",
                                            "It is not a regular file (a FIFO or a device).");
      return false;
    }
  } else if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    return true;
  } else {
    close(fd);
    *reason = file.errorString();
    return false;
  }
#endif
  if (file.open(QIODevice::ReadOnly))
    return true;
  *reason = file.errorString();
  return false;
}

}  // namespace lunaret
