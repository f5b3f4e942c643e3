// A device that takes a set number of bytes and then fails every write, and
// gives a set number of bytes and then fails every read, to inject write
// errors (a full disk, a pulled drive) and read errors (a bad sector) into
// the file formats.
#pragma once

#include <QBuffer>

#include <limits>

class FailDevice : public QBuffer {
public:
    explicit FailDevice(qint64 bytesBeforeWriteFailure,
                        qint64 bytesBeforeReadFailure = std::numeric_limits<qint64>::max(),
                        QObject *parent = nullptr);

protected:
    qint64 writeData(const char *data, qint64 length) override;
    qint64 readData(char *data, qint64 length) override;

private:
    qint64 m_writable;
    qint64 m_readable;
};
