// File services: file numbers, the binary file, whole-file reads, saves
// that replace a file in one step, and forcing data to disk.
//
// Every file is opened, used for one operation and closed again before the
// routine that opened it goes on, so no file stays open while the program
// waits for the user. Only regular files (or links to them) are read or
// written: a FIFO, a device or a socket in a data file's place is refused
// without waiting in the open. What the operating system does for them is
// in SystemFiles, one file per system.
#pragma once

#include "Error.h"

#include <QFile>
#include <QString>

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

// Replaces a file in one step: the new content, made by write(), goes into
// a new file beside the file (where a link of this user's leads), which is
// forced onto the device, locked when it is a book file the book holds
// (BookFiles), renamed over the file, and the folder forced too: once it
// returns, the new file outlasts a power loss, and before that a power loss
// leaves the old file. When anything fails the old file stays whole and the
// new file is removed. A folder that takes no new file refuses the save
// before anything is written (the file is never rewritten in place, where
// a power loss could leave part old and part new). A file whose owner may
// not write it is not replaced, nor a link of another user's in its place.
// An error names what refused (the file, or the folder) and the system's
// reason.
std::optional<Error> replaceAtomically(const QString &path,
                                       const std::function<std::optional<Error>(QIODevice &)> &write);

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
    // For reading.
    QFile &device() { return m_file; }
    int number() const { return m_number; }
    // Writes bytes at the start of the file, and forces them onto the device.
    std::optional<Error> writeAtStart(QByteArrayView bytes);
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

} // namespace kakeibo
