#include "FileService.h"

#include <QFileInfo>

#include <set>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace kakeibo {
namespace {

std::set<int> &numbersInUse()
{
    static std::set<int> numbers;
    return numbers;
}

QString systemReason()
{
#ifdef Q_OS_WIN
    return QString::number(GetLastError());
#else
    return QString::fromLocal8Bit(std::strerror(errno));
#endif
}

} // namespace

int freeFileNumber()
{
    int number = 1;
    while (numbersInUse().count(number))
        ++number;
    return number;
}

std::optional<Error> flushToDevice(QFileDevice &file)
{
    if (!file.flush())
        return Error::file(Error::Kind::FileWrite, file.fileName(), file.errorString());
#ifdef Q_OS_WIN
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    const bool synced = FlushFileBuffers(handle) != 0;
#else
    const bool synced = ::fsync(file.handle()) == 0;
#endif
    if (!synced)
        return Error::file(Error::Kind::FileFlush, file.fileName(), systemReason());
    return std::nullopt;
}

BinaryFile::BinaryFile(QString path) : m_file(std::move(path)) {}

BinaryFile::~BinaryFile()
{
    close();
}

std::optional<Error> BinaryFile::open()
{
    if (!m_file.open(QIODevice::ReadWrite))
        return error(Error::Kind::FileOpen);
    m_number = freeFileNumber();
    numbersInUse().insert(m_number);
    return std::nullopt;
}

void BinaryFile::close()
{
    if (m_number != 0)
        numbersInUse().erase(m_number);
    m_number = 0;
    m_file.close();
}

Error BinaryFile::error(Error::Kind kind) const
{
    return Error::file(kind, QFileInfo(m_file.fileName()).absoluteFilePath(), m_file.errorString());
}

} // namespace kakeibo
