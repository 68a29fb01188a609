#ifndef LUNARET_APP_REGULAR_FILE_H
#define LUNARET_APP_REGULAR_FILE_H

#include <QFile>
#include <QString>

namespace lunaret {

// Opens file for reading when it is a regular file. A FIFO or a device in its place would make
// the open wait for a writer or the read never end: it is refused at once, without waiting, with
// *reason saying why, as is any file that cannot be opened.
bool OpenRegularFile(QFile& file, QString* reason);

}  // namespace lunaret

#endif  // LUNARET_APP_REGULAR_FILE_H
