#include "FailDevice.h"

FailDevice::FailDevice(qint64 bytesBeforeWriteFailure, qint64 bytesBeforeReadFailure, QObject *parent)
    : QBuffer(parent), m_writable(bytesBeforeWriteFailure), m_readable(bytesBeforeReadFailure)
{
}

qint64 FailDevice::writeData(const char *data, qint64 length)
{
    if (m_writable <= 0) {
        setErrorString(QStringLiteral("No space left on device"));
        return -1;
    }
    const qint64 taken = std::min(length, m_writable);
    m_writable -= taken;
    return QBuffer::writeData(data, taken);
}

qint64 FailDevice::readData(char *data, qint64 length)
{
    if (m_readable <= 0) {
        setErrorString(QStringLiteral("Input/output error"));
        return -1;
    }
    const qint64 given = QBuffer::readData(data, std::min(length, m_readable));
    if (given > 0)
        m_readable -= given;
    return given;
}
