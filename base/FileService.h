// File services: file numbers, the binary file, forcing data to disk, and
// the lock that makes one copy of the program the one writer of a book.
//
// Every file is opened, used for one operation and closed again before the
// routine that opened it goes on, so no file stays open while the program
// waits for the user. Only regular files (or links to them) are read or
// written: a FIFO, a device or a socket in a data file's place is refused
// without waiting in the open. This unit is the only one that calls the
// operating system directly (open, flock and fsync here; CreateFile and
// FlushFileBuffers on Windows).
#pragma once

#include "Error.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace kakeibo {

// The lowest file number not in use (1 while no file is open).
int freeFileNumber();

// Writes bytes to a device in full; a FileWrite error (naming no file) when
// the device takes no more.
std::optional<Error> writeAll(QIODevice &device, QByteArrayView bytes);

// The whole content of a regular file of at most maxBytes bytes;
// FileNotFound when it does not exist, FileOpen when it is no regular file,
// FileTooLarge when it holds more.
Expected<QByteArray> readWholeFile(const QString &path, qint64 maxBytes);

// Replaces a file in one step: write() fills a temporary file in the same
// directory, which is forced to disk and then renamed over the file. When
// anything fails the old file stays whole and no temporary file remains.
// Where the directory refuses the temporary file but the file itself may be
// written, the file is rewritten in place instead, once the room for its new
// content is reserved on the disk: a full disk refuses the save before any
// old byte changes. A file whose owner may not write it is not replaced, nor
// a link of another user's in its place. An error names what refused (the
// file, or the directory when the file could not be created in it) and the
// system's reason.
std::optional<Error> replaceAtomically(const QString &path,
                                       const std::function<std::optional<Error>(QIODevice &)> &write);

// Forces what was written to the open file at path onto the device; the
// error names the path.
std::optional<Error> flushToDevice(QFileDevice &file, const QString &path);

// The seam around forcing data onto the device, for the tests: the hook sees
// the full path of every file about to be forced and answers 0 to force it,
// or a system error code to fail as the system would. No hook: force.
using SyncHook = std::function<int(const QString &path)>;
void setSyncHook(SyncHook hook);

// A file opened for binary reading and writing under a file number; a
// missing file is created empty. A file whose owner may not write it is
// refused even where the system would open it (for root). Closed by the
// destructor at the latest.
class BinaryFile {
public:
    explicit BinaryFile(QString path);
    ~BinaryFile();
    BinaryFile(const BinaryFile &) = delete;
    BinaryFile &operator=(const BinaryFile &) = delete;

    std::optional<Error> open();
    QFile &device() { return m_file; }
    int number() const { return m_number; }
    std::optional<Error> flush();
    void close();

    // The file's full path, as errors name it.
    QString fullPath() const;

    // The error of the last operation, naming this file and the system's reason.
    Error error(Error::Kind kind) const;

private:
    QString m_path;
    QFile m_file;
    int m_number = 0;
};

// The lock that makes this copy the one writer of a book: an advisory lock
// on the application directory itself (flock; on Windows a handle that
// shares no write access), and one on each of the book's files, so that a
// start whose "MD.dat" or "Item.dat" leads by a link, a bind mount or a hard
// link into a book another copy holds meets that copy's lock. Held until the
// object goes or the process ends, so that a crash or a kill releases it;
// it creates no file. Every path and every user meet the same locks.
class BookLock {
public:
    enum class State { Held, HeldByAnotherCopy, Failed };

    // files: the full paths of the book's files; those that do not exist
    // yet are locked once they are made (holdFile). A book file replaced by
    // replaceAtomically() stays held.
    explicit BookLock(const QString &directory, const QStringList &files = {});
    ~BookLock();
    BookLock(const BookLock &) = delete;
    BookLock &operator=(const BookLock &) = delete;

    // Locks a book file made since the book was locked; false, and the
    // state and error set, when another copy holds it. A file the lock
    // already holds, or that does not exist, is left as it is.
    bool holdFile(const QString &path);

    State state() const { return m_state; }
    // The error, naming the directory or file and the system's reason; for
    // a book held by another user the reason names that user.
    const Error &error() const { return m_error; }
    // Whether the copy that holds the book runs as another user, who cannot
    // be asked to come forward.
    bool heldByAnotherUser() const { return m_heldByAnotherUser; }
    // What every path to the directory has in common (device and inode),
    // to name a channel to the copy that holds the lock.
    const QString &identity() const { return m_identity; }

private:
    void refused(const QString &path, quint64 device, quint64 inode);

    State m_state = State::Failed;
    Error m_error;
    QString m_identity;
    qintptr m_handle = -1;
    QStringList m_files;
    bool m_heldByAnotherUser = false;
};

} // namespace kakeibo
