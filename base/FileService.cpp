#include "FileService.h"

#include "BookLock.h"
#include "SystemFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <set>

namespace kakeibo {

using namespace SystemFiles;

namespace {

SyncHook &syncHook()
{
    static SyncHook hook;
    return hook;
}

std::set<int> &numbersInUse()
{
    static std::set<int> numbers;
    return numbers;
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

Error tooLarge(const QString &path, qint64 maxBytes)
{
    return Error::file(Error::Kind::FileTooLarge, fullPath(path), QStringLiteral("%1 バイトを超えています").arg(maxBytes));
}

// Reads to the end, refusing at once what grows past maxBytes.
Expected<QByteArray> readAtMost(QFile &file, const QString &path, qint64 maxBytes)
{
    constexpr qint64 kChunk = 1 << 16;
    QByteArray bytes;
    bytes.reserve(qsizetype(std::min(file.size(), maxBytes)));
    for (;;) {
        const QByteArray chunk = file.read(kChunk);
        if (chunk.isEmpty())
            break;
        bytes += chunk;
        if (bytes.size() > maxBytes)
            return tooLarge(path, maxBytes);
    }
    if (file.error() != QFileDevice::NoError)
        return Error::file(Error::Kind::FileRead, fullPath(path), file.errorString());
    return bytes;
}

// What refused a save that could not even start: the file when it exists
// and may not be written, otherwise the directory that would hold it.
Error saveRefused(const QString &path, const QString &reason)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isWritable())
        return Error::file(Error::Kind::FileOpen, fullPath(path), reason);
    return Error::file(Error::Kind::DirectoryWrite, info.absolutePath(), reason);
}

// Where the directory takes no new file, the file itself is rewritten: the
// new content is made in memory, its room on the disk reserved, and only
// then written over the old bytes and the file cut to its new length.
std::optional<Error> rewriteInPlace(const QString &path,
                                    const std::function<std::optional<Error>(QIODevice &)> &write)
{
    QBuffer content;
    content.open(QIODevice::WriteOnly);
    if (std::optional<Error> error = write(content)) {
        error->subject = fullPath(path);
        return error;
    }
    const QByteArray &bytes = content.data();
    QFile file(path);
    if (auto error = openRegular(file, Access::ReadWrite, QIODevice::ReadWrite | QIODevice::Unbuffered))
        return error;
    if (const int code = reserveSpace(file, bytes.size()))
        return Error::file(Error::Kind::FileWrite, fullPath(path), reasonFor(code));
    if (auto error = writeAll(file, bytes)) {
        error->subject = fullPath(path);
        return error;
    }
    if (!file.resize(bytes.size()))
        return Error::file(Error::Kind::FileWrite, fullPath(path), file.errorString());
    return flushToDevice(file, path);
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

Expected<QByteArray> readWholeFile(const QString &path, qint64 maxBytes)
{
    QFile file(path);
    if (auto error = openRegular(file, Access::Read, QIODevice::ReadOnly))
        return *error;
    if (file.size() > maxBytes)
        return tooLarge(path, maxBytes);
    return readAtMost(file, path, maxBytes);
}

std::optional<Error> replaceAtomically(const QString &path,
                                       const std::function<std::optional<Error>(QIODevice &)> &write)
{
    if (auto error = refuseReadOnly(path))
        return error;
    if (auto error = checkReplaceable(path))
        return error;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const QFileInfo info(path);
        if (info.isFile() && info.isWritable() && !QFileInfo(info.absolutePath()).isWritable())
            return rewriteInPlace(path, write);
        return saveRefused(path, file.errorString());
    }
    std::optional<Error> error = write(file);
    if (!error)
        error = flushToDevice(file, path);
    if (error) {
        file.cancelWriting();
        file.commit();
        error->subject = fullPath(path);
        return error;
    }
    const qintptr hold = BookFiles::prepareHold(path, file.handle());
    const bool replaced = file.commit();
    BookFiles::finishHold(path, hold, replaced);
    if (!replaced)
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

void setSyncHook(SyncHook hook)
{
    syncHook() = std::move(hook);
}

std::optional<Error> flushToDevice(QFileDevice &file, const QString &path)
{
    if (!file.flush())
        return Error::file(Error::Kind::FileWrite, fullPath(path), file.errorString());
    if (const int injected = syncHook() ? syncHook()(fullPath(path)) : 0)
        return Error::file(Error::Kind::FileFlush, fullPath(path), reasonFor(injected));
    if (!syncToDevice(file)) {
        const int code = lastErrorCode();
        return Error::file(Error::Kind::FileFlush, fullPath(path), reasonFor(code));
    }
    return std::nullopt;
}

BinaryFile::BinaryFile(QString path) : m_path(std::move(path)), m_file(m_path) {}

BinaryFile::~BinaryFile()
{
    close();
}

std::optional<Error> BinaryFile::open()
{
    if (auto refused = openRegular(m_file, Access::ReadWrite, QIODevice::ReadWrite | QIODevice::Unbuffered))
        return refused;
    if (auto readOnly = refuseReadOnly(m_path)) {
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

std::optional<Error> BinaryFile::flush()
{
    return flushToDevice(m_file, m_path);
}

QString BinaryFile::fullPath() const
{
    return SystemFiles::fullPath(m_path);
}

Error BinaryFile::error(Error::Kind kind) const
{
    return Error::file(kind, fullPath(), m_file.errorString());
}

} // namespace kakeibo
