// The system's own calls behind SystemFiles, one implementation per system
// (SystemFilesPosix.cpp, SystemFilesWindows.cpp). Each answers 0 or the
// system's error code; SystemFiles.cpp turns them into errors and shows
// every step that changes the disk to the tests' watcher.
#pragma once

#include "SystemFiles.h"

namespace kakeibo::SystemFiles::Native {

// What a link at `path` names (isLink true), read off the link itself once
// its owner was checked: a link of another user's is refused. A path that
// is no link (or no file) answers isLink false.
Expected<QString> readOwnLink(const QString &path, bool &isLink);

// Opens `path`, never following a link there, without waiting (a FIFO), and
// only when it is a regular file: anything else answers its kind in
// `refusal`. With `create`, a missing file is made (`created` true).
int openRegular(QFile &file, const QString &path, Access access, bool create, bool &created,
                QIODevice::OpenMode mode, QString &refusal);

// Makes a new file at `path`, failing when anything is there, open for
// writing, with the permissions of `like` when it exists.
int createExclusive(QFile &file, const QString &path, const QString &like);

int writeAt(QFileDevice &file, qint64 offset, QByteArrayView bytes);
int sync(QFileDevice &file);
int rename(const QString &from, const QString &to);
// Forces a folder's entries onto the device (0 where the system forces them
// with the rename itself).
int syncDirectory(const QString &directory);
int remove(const QString &path);

// The kind of error a code is.
bool isMissing(int code);      // no such file
bool isLinkInPlace(int code);  // a link where none was to be followed
bool isReadOnlyPlace(int code);  // a folder or disk that takes no new file
bool isTaken(int code);        // a name already there

} // namespace kakeibo::SystemFiles::Native
