// File services: file numbers, the binary file, and forcing data to disk.
//
// Every file is opened, used for one operation and closed again before the
// routine that opened it goes on, so no file stays open while the program
// waits for the user. This unit is the only one that calls the operating
// system directly (fsync here, FlushFileBuffers on Windows).
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

// The whole content of a file; FileNotFound when it does not exist.
Expected<QByteArray> readWholeFile(const QString &path);

// Replaces a file in one step: write() fills a temporary file in the same
// directory, which is forced to disk and then renamed over the file. When
// anything fails the old file stays whole and no temporary file remains.
// A file whose owner may not write it is not replaced.
std::optional<Error> replaceAtomically(const QString &path,
                                       const std::function<std::optional<Error>(QIODevice &)> &write);

// Forces what was written to an open file onto the device.
std::optional<Error> flushToDevice(QFileDevice &file);

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
    std::optional<Error> flush() { return flushToDevice(m_file); }
    void close();

    // The file's full path, as errors name it.
    QString fullPath() const;

    // The error of the last operation, naming this file and the system's reason.
    Error error(Error::Kind kind) const;

private:
    QFile m_file;
    int m_number = 0;
};

} // namespace kakeibo
