// The operating system's part of the file services, one implementation per
// system beside each other (SystemFilesPosix.cpp, SystemFilesWindows.cpp):
// opening only regular files, what a replacement may write through, forcing
// data onto the device, reserving room on it, and the system's words for an
// error. FileService and BookLock above it make no system call of their own.
#pragma once

#include "Error.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <optional>

namespace kakeibo::SystemFiles {

// How a data file is opened: read, or read and written (created when missing).
enum class Access { Read, ReadWrite };

inline QString fullPath(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

// Opens a regular file (or a link of this user's to one) into `file`
// without waiting in the open (a FIFO has no writer); anything else is
// refused with an error that says what it is. Only a file that is no link
// is created when missing: nothing is ever created through a link.
std::optional<Error> openRegular(QFile &file, Access access, QIODevice::OpenMode mode);

// A file about to be replaced: a link in its place must be this user's and
// lead to a file, so that the replacement is written where the link points
// and nothing is created through it.
std::optional<Error> checkReplaceable(const QString &path);

// Forces what was written to an open file onto its device; false, with
// lastErrorCode() telling why, when the device refused.
bool syncToDevice(QFileDevice &file);

// Makes room for `size` bytes in an open file without touching its bytes;
// 0, or the system's error code (a full disk).
int reserveSpace(QFile &file, qint64 size);

// The system's reason for an error code, in the words of the user's system.
QString reasonFor(int code);

// The code of the last system call that failed, taken at once.
int lastErrorCode();

} // namespace kakeibo::SystemFiles
