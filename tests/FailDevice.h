// A device that takes a set number of bytes and then fails every write, to
// inject write errors (a full disk, a pulled drive) into the file formats.
#pragma once

#include <QBuffer>

class FailDevice : public QBuffer {
public:
    explicit FailDevice(qint64 bytesBeforeFailure, QObject *parent = nullptr);

protected:
    qint64 writeData(const char *data, qint64 length) override;

private:
    qint64 m_remaining;
};
