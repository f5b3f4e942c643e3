#include "FileService.h"

#include "BookLock.h"
#include "SystemFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>

#include <set>

namespace kakeibo {

using namespace SystemFiles;

namespace {

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

Error failed(Error::Kind kind, const QString &path, int code)
{
    return Error::file(kind, fullPath(path), reasonFor(code));
}

// Writes a replacement in full and forces it onto the device, then renames
// it over the file and forces the folder: the order that leaves either the
// old file or the new one, whole, wherever a power loss strikes.
std::optional<Error> commitReplacement(QFile &replacement, const QString &name, const QString &path,
                                       const QString &target, const QByteArray &bytes)
{
    if (const int code = writeAt(replacement, name, 0, bytes))
        return failed(Error::Kind::FileWrite, path, code);
    if (const int code = sync(replacement, name))
        return failed(Error::Kind::FileFlush, path, code);
    // The book holds its file by the path it was given, a link or not.
    const qintptr hold = BookFiles::prepareHold(path, replacement.handle());
    const int code = SystemFiles::rename(name, target);
    BookFiles::finishHold(path, hold, code == 0);
    if (code)
        return failed(Error::Kind::FileWrite, path, code);
    const QString folder = QFileInfo(target).absolutePath();
    if (const int unsynced = syncDirectory(folder))
        return failed(Error::Kind::FileFlush, folder, unsynced);
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
    const Expected<QString> resolved = resolveOwnLinks(path);
    if (!resolved.ok())
        return resolved.error();
    const QString &target = resolved.value();
    if (auto error = refuseReadOnly(target))
        return error;
    QBuffer content;
    content.open(QIODevice::WriteOnly);
    if (std::optional<Error> error = write(content)) {
        error->subject = fullPath(path);
        return error;
    }
    QFile replacement;
    const Expected<QString> name = createReplacement(replacement, target);
    if (!name.ok())
        return name.error();
    std::optional<Error> error = commitReplacement(replacement, name.value(), path, target, content.data());
    replacement.close();
    if (error && QFileInfo::exists(name.value()))
        SystemFiles::remove(name.value());
    return error;
}

int freeFileNumber()
{
    int number = 1;
    while (numbersInUse().count(number))
        ++number;
    return number;
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

std::optional<Error> BinaryFile::writeAtStart(QByteArrayView bytes)
{
    if (const int code = writeAt(m_file, m_path, 0, bytes))
        return failed(Error::Kind::FileWrite, m_path, code);
    if (const int code = sync(m_file, m_path))
        return failed(Error::Kind::FileFlush, m_path, code);
    return std::nullopt;
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
