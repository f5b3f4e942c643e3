// The lock that makes one copy of the program the one writer of a book,
// one implementation per system: on POSIX systems a write lock of the
// book's files (fcntl, on an open file description), which only a user who
// may write a file can take; on Windows a named mutex per directory and
// book file, named after what every path to the file has in common (its
// volume and file index). Both go with the process, so that a crash or a
// kill releases the book.
#pragma once

#include "Error.h"

#include <QString>
#include <QStringList>

namespace kakeibo {

// The lock that makes this copy the one writer of a book: a lock on each
// of the book's files, so that a start whose "MD.dat" or "Item.dat" leads
// by any path (a link, a bind mount, a hard link) into a book another copy
// holds meets that copy's lock. Held until the object goes or the process
// ends, so that a crash or a kill releases it. Every path and every user who
// may write the book meet the same locks; a user who may only read it
// cannot hold it.
class BookLock {
public:
    enum class State { Held, HeldByAnotherCopy, Failed };

    // files: the full paths of the book's files. The first, the book's own
    // file ("MD.dat"), is made when missing (never through a link) and
    // locked for writing before anything is read, so that two copies
    // started at once never both hold a book whose file they made; a copy
    // that cannot open it for writing does not hold the book (Failed, with
    // the error of the open). The others are locked where they are there:
    // for writing, or for reading where this user may only read them (which
    // still keeps any other writer out); one that is missing or no file is
    // left to the reading to report. A book file replaced by
    // replaceAtomically() stays held.
    explicit BookLock(const QString &directory, const QStringList &files = {});
    ~BookLock();
    BookLock(const BookLock &) = delete;
    BookLock &operator=(const BookLock &) = delete;

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
    // Locks one book file; false, with the state and error set, when the
    // book cannot be held.
    bool hold(const QString &path, bool madeWhenMissing);
    void refuse(Error error, bool anotherUser)
    {
        m_error = std::move(error);
        m_heldByAnotherUser = anotherUser;
    }

    State m_state = State::Failed;
    Error m_error;
    QString m_identity;
    qintptr m_handle = -1;  // the directory's lock, where the system has one
    QStringList m_files;
    bool m_heldByAnotherUser = false;
};

// A book file about to be replaced by a new file (`handle`, the open
// temporary file's descriptor): the new file is locked before it is renamed
// into place, so that the book is held without a gap. The lock moves to it
// once the rename is done (finishHold), or stays on the old file when the
// rename failed. A file the book does not hold is left alone (-1).
namespace BookFiles {
qintptr prepareHold(const QString &path, int handle);
void finishHold(const QString &path, qintptr hold, bool replaced);
} // namespace BookFiles

} // namespace kakeibo
