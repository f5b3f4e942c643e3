#include "FileService.h"

#include <QFileInfo>
#include <QSaveFile>

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

QString fullPath(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

// Read-only files are left alone even by a user (root) whom the system
// would let write them.
std::optional<Error> refuseReadOnly(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && info.isFile() && !(info.permissions() & QFileDevice::WriteOwner))
        return Error::file(Error::Kind::FileOpen, fullPath(path), QStringLiteral("読み取り専用のファイルです"));
    return std::nullopt;
}

} // namespace

std::optional<Error> writeAll(QIODevice &device, QByteArrayView bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const qint64 step = device.write(bytes.data() + written, bytes.size() - written);
        if (step <= 0)
            return Error::file(Error::Kind::FileWrite, {}, device.errorString());
        written += step;
    }
    return std::nullopt;
}

Expected<QByteArray> readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const auto kind = QFileInfo::exists(path) ? Error::Kind::FileOpen : Error::Kind::FileNotFound;
        return Error::file(kind, fullPath(path), file.errorString());
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Error::file(Error::Kind::FileRead, fullPath(path), file.errorString());
    return bytes;
}

std::optional<Error> replaceAtomically(const QString &path,
                                       const std::function<std::optional<Error>(QIODevice &)> &write)
{
    if (auto error = refuseReadOnly(path))
        return error;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Error::file(Error::Kind::FileOpen, fullPath(path), file.errorString());
    std::optional<Error> error = write(file);
    if (!error)
        error = flushToDevice(file);
    if (error) {
        file.cancelWriting();
        file.commit();
        error->subject = fullPath(path);
        return error;
    }
    if (!file.commit())
        return Error::file(Error::Kind::FileWrite, fullPath(path), file.errorString());
    return std::nullopt;
}

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
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return error(Error::Kind::FileOpen);
    if (auto readOnly = refuseReadOnly(m_file.fileName())) {
        m_file.close();
        return readOnly;
    }
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

QString BinaryFile::fullPath() const
{
    return kakeibo::fullPath(m_file.fileName());
}

Error BinaryFile::error(Error::Kind kind) const
{
    return Error::file(kind, fullPath(), m_file.errorString());
}

} // namespace kakeibo
