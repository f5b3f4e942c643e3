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

#include <optional>

namespace kakeibo {

// The lowest file number not in use (1 while no file is open).
int freeFileNumber();

// Forces what was written to an open file onto the device.
std::optional<Error> flushToDevice(QFileDevice &file);

// A file opened for binary reading and writing under a file number; a
// missing file is created empty. Closed by the destructor at the latest.
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

    // The error of the last operation, naming this file and the system's reason.
    Error error(Error::Kind kind) const;

private:
    QFile m_file;
    int m_number = 0;
};

} // namespace kakeibo
