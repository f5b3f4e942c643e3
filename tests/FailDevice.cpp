#include "FailDevice.h"

FailDevice::FailDevice(qint64 bytesBeforeFailure, QObject *parent)
    : QBuffer(parent), m_remaining(bytesBeforeFailure)
{
}

qint64 FailDevice::writeData(const char *data, qint64 length)
{
    if (m_remaining <= 0) {
        setErrorString(QStringLiteral("No space left on device"));
        return -1;
    }
    const qint64 taken = std::min(length, m_remaining);
    m_remaining -= taken;
    return QBuffer::writeData(data, taken);
}
