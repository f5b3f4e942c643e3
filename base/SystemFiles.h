// The operating system's part of the file services: what the system does
// sits in one implementation per system beside each other
// (SystemFilesPosix.cpp, SystemFilesWindows.cpp, SystemFilesNative.h), the
// rules every system shares in SystemFiles.cpp:
// opening only regular files (a link only when it is this user's, decided
// on the link that is then followed), the steps a save is made of (writing,
// forcing a file or a folder onto the device, making a file beside another,
// renaming one over another, removing one), and the system's words for an
// error. FileService and BookLock above it make no system call of
// their own.
//
// Every step that changes the disk passes a Watcher when the tests set one
// (SystemFiles.cpp): it sees the step before it runs, and may fail it as the
// system would, and after it ran. A test file system that remembers what was
// forced onto the device (tests/PowerLoss.h) is built on it, so that what a
// power loss at any point leaves is a test.
#pragma once

#include "Error.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <optional>

namespace kakeibo::SystemFiles {

// How a data file is opened: read; read and written (created when
// missing); or read and written only when it is there.
enum class Access { Read, ReadWrite, Update };

inline QString fullPath(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

// Where `path` leads: the path itself, or, when it is a link of this user's
// (or a chain of them), the file the last one names. The owner of each link
// is read off the link itself, and the link followed is the one whose owner
// was read, so that a link swapped in meanwhile is never followed. A link
// of another user's is refused.
Expected<QString> resolveOwnLinks(const QString &path);

// Opens a regular file (or a link of this user's to one) into `file`
// without waiting in the open (a FIFO has no writer); anything else is
// refused with an error that says what it is. Only a file that is no link
// is created when missing, and a file made here is made to last (its folder
// forced onto the device): nothing is ever created through a link. What is
// opened is what was checked: a link put in place of the file between the
// two is refused.
std::optional<Error> openRegular(QFile &file, Access access, QIODevice::OpenMode mode);

// Makes a new, empty file beside `path` to replace it in one step (named
// after it, ending in a unique suffix), open for writing, with the
// permissions of the file it replaces; its name.
Expected<QString> createReplacement(QFile &file, const QString &path);

// The steps of a save on a file open at `path`; each answers 0 or the
// system's error code. writeAt writes all of `bytes` at `offset`.
int writeAt(QFileDevice &file, const QString &path, qint64 offset, QByteArrayView bytes);
// Forces what was written to an open file onto its device.
int sync(QFileDevice &file, const QString &path);

// Renames `from` over `to` in one step (both in one folder); 0 or the
// system's error code. The rename outlasts a power loss only once its
// folder is forced (syncDirectory).
int rename(const QString &from, const QString &to);

// Forces a folder's entries (files made, renamed or removed in it) onto the
// device; 0 or the system's error code.
int syncDirectory(const QString &directory);

// Removes a file (a replacement that was not used); 0 or the error code.
int remove(const QString &path);

// The system's reason for an error code, in the words of the user's system.
QString reasonFor(int code);

// What the tests see of the steps above.
struct Step {
    enum class Kind { Create, Write, Sync, Rename, SyncDirectory, Remove, Open };
    Step(Kind kind, QString path) : kind(kind), path(std::move(path)) {}
    Kind kind;
    QString path;     // full path; the folder for SyncDirectory
    QString target;   // Rename: the path renamed over
    qint64 offset = 0;
    QByteArray bytes; // Write
};

class Watcher {
public:
    virtual ~Watcher() = default;
    // Before a step: 0 to let it run, or a system error code to fail it as
    // the system would. (Open: the file is about to be opened, once it was
    // checked.)
    virtual int before(const Step &) { return 0; }
    // After a step that succeeded.
    virtual void after(const Step &) {}
};

// The tests' watcher; nullptr (the default) for none.
void setWatcher(Watcher *watcher);


} // namespace kakeibo::SystemFiles
