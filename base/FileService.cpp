#include "FileService.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <set>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kakeibo {
namespace {

SyncHook &syncHook()
{
    static SyncHook hook;
    return hook;
}

bool syncToDevice(QFileDevice &file)
{
#ifdef Q_OS_WIN
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()))) != 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

std::set<int> &numbersInUse()
{
    static std::set<int> numbers;
    return numbers;
}

// The system's reason for an error code taken at once where it arose, before
// anything else could overwrite errno.
QString reasonFor(int code)
{
#ifdef Q_OS_WIN
    return QString::number(code);
#else
    return QString::fromLocal8Bit(std::strerror(code));
#endif
}

int lastErrorCode()
{
#ifdef Q_OS_WIN
    return static_cast<int>(GetLastError());
#else
    return errno;
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

// How a data file is opened: read, or read and written (created when missing).
enum class Access { Read, ReadWrite };

#ifndef Q_OS_WIN
QString kindOfFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("フォルダです");
    if (S_ISFIFO(mode))
        return QStringLiteral("名前付きパイプ (FIFO) です");
    if (S_ISSOCK(mode))
        return QStringLiteral("ソケットです");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("デバイスです");
    return QStringLiteral("通常のファイルではありません");
}

// A link in a data file's place is followed only when it belongs to this
// user (the kernel's rule for links in sticky folders): in a folder others
// may write, another user could otherwise point the book's file at a file of
// ours. Nothing is ever created through a link.
struct LinkCheck {
    bool isLink = false;
    std::optional<Error> refusal;
};

LinkCheck checkLink(const QByteArray &native, const QString &path)
{
    struct stat status {};
    if (::lstat(native.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
        return {};
    if (status.st_uid != ::geteuid())
        return {true, Error::file(Error::Kind::FileOpen, fullPath(path), QStringLiteral("ほかのユーザーが置いたリンクです"))};
    return {true, std::nullopt};
}

// The error of a failed open: a missing file, a link whose file is missing,
// a folder that takes no new file, or the system's reason.
Error openFailed(const QString &path, int code, bool isLink, Access access)
{
    if (code == ENOENT && isLink)
        return Error::file(Error::Kind::FileOpen, fullPath(path), QStringLiteral("リンク先のファイルがありません"));
    if (code == ENOENT)
        return Error::file(Error::Kind::FileNotFound, fullPath(path), reasonFor(code));
    if (code == ELOOP)
        return Error::file(Error::Kind::FileOpen, fullPath(path), QStringLiteral("開く間にリンクに置き換えられました"));
    if (access == Access::ReadWrite && (code == EACCES || code == EROFS) && !QFileInfo::exists(path))
        return Error::file(Error::Kind::DirectoryWrite, QFileInfo(path).absolutePath(), reasonFor(code));
    return Error::file(Error::Kind::FileOpen, fullPath(path), reasonFor(code));
}

// Opens a regular file (or a link of this user's to one) into `file`.
// O_NONBLOCK keeps the open of a FIFO from waiting for a writer; anything
// but a regular file is then refused, and the descriptor is made blocking
// again. A file that is no link is opened without following links, so that
// none planted meanwhile is followed either, and only such a file is created
// when missing.
std::optional<Error> openRegular(QFile &file, Access access, QIODevice::OpenMode mode)
{
    const QString path = file.fileName();
    const QByteArray native = QFile::encodeName(path);
    const LinkCheck link = checkLink(native, path);
    if (link.refusal)
        return link.refusal;
    int flags = access == Access::Read ? O_RDONLY : O_RDWR;
    if (!link.isLink)
        flags |= O_NOFOLLOW | (access == Access::ReadWrite ? O_CREAT : 0);
    const int fd = ::open(native.constData(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return openFailed(path, errno, link.isLink, access);
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const QString reason = kindOfFile(status.st_mode);
        ::close(fd);
        return Error::file(Error::Kind::FileOpen, fullPath(path), reason);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Error::file(Error::Kind::FileOpen, fullPath(path), file.errorString());
    }
    return std::nullopt;
}

// A file about to be replaced: a link in its place must be this user's and
// lead to a file, so that the replacement is written where the link points
// and nothing is created through it.
std::optional<Error> checkReplaceable(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    const LinkCheck link = checkLink(native, path);
    if (link.refusal)
        return link.refusal;
    struct stat status {};
    if (link.isLink && ::stat(native.constData(), &status) != 0)
        return openFailed(path, errno, true, Access::ReadWrite);
    return std::nullopt;
}
#else
std::optional<Error> openRegular(QFile &file, Access access, QIODevice::OpenMode mode)
{
    const QFileInfo info(file.fileName());
    const QString path = info.absoluteFilePath();
    if (info.exists() && !info.isFile())
        return Error::file(Error::Kind::FileOpen, path, QStringLiteral("通常のファイルではありません"));
    if (!info.exists() && access == Access::Read)
        return Error::file(Error::Kind::FileNotFound, path, {});
    if (!file.open(mode))
        return Error::file(Error::Kind::FileOpen, path, file.errorString());
    return std::nullopt;
}

std::optional<Error> checkReplaceable(const QString &)
{
    return std::nullopt;
}
#endif

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

// Makes room for `size` bytes in an open file without touching its bytes,
// so that a full disk refuses the save before the old content is changed.
int reserveSpace(QFile &file, qint64 size)
{
#ifdef Q_OS_WIN
    return size <= file.size() || file.resize(size) ? 0 : int(GetLastError());
#else
    return ::posix_fallocate(file.handle(), 0, off_t(size));
#endif
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
    return kakeibo::fullPath(m_path);
}

Error BinaryFile::error(Error::Kind kind) const
{
    return Error::file(kind, fullPath(), m_file.errorString());
}

#ifndef Q_OS_WIN
BookLock::BookLock(const QString &directory)
{
    const QByteArray native = QFile::encodeName(directory);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        m_error = Error::file(Error::Kind::BookLock, fullPath(directory), reasonFor(code));
        return;
    }
    struct stat status {};
    ::fstat(fd, &status);
    m_identity = QStringLiteral("%1:%2").arg(quint64(status.st_dev)).arg(quint64(status.st_ino));
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        m_state = State::Held;
        m_handle = fd;
        return;
    }
    const int code = errno;
    ::close(fd);
    const bool inUse = code == EWOULDBLOCK;
    m_state = inUse ? State::HeldByAnotherCopy : State::Failed;
    m_error = inUse ? Error::file(Error::Kind::BookInUse, fullPath(directory))
                    : Error::file(Error::Kind::BookLock, fullPath(directory), reasonFor(code));
}

BookLock::~BookLock()
{
    if (m_handle >= 0)
        ::close(int(m_handle));
}
#else
BookLock::BookLock(const QString &directory)
{
    const QString native = QDir::toNativeSeparators(fullPath(directory));
    // Write access to the directory that no later open may share: a second
    // copy asking for the same meets a sharing violation.
    const HANDLE handle = CreateFileW(reinterpret_cast<LPCWSTR>(native.utf16()), FILE_WRITE_DATA | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const int code = lastErrorCode();
        const bool inUse = code == ERROR_SHARING_VIOLATION;
        m_state = inUse ? State::HeldByAnotherCopy : State::Failed;
        m_error = inUse ? Error::file(Error::Kind::BookInUse, fullPath(directory))
                        : Error::file(Error::Kind::BookLock, fullPath(directory), reasonFor(code));
        return;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(handle, &info);
    m_identity = QStringLiteral("%1:%2:%3").arg(info.dwVolumeSerialNumber).arg(info.nFileIndexHigh).arg(info.nFileIndexLow);
    m_state = State::Held;
    m_handle = reinterpret_cast<qintptr>(handle);
}

BookLock::~BookLock()
{
    if (m_state == State::Held)
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}
#endif

} // namespace kakeibo
