#include "FileService.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <map>
#include <set>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/sysmacros.h>
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

// The book's files whose lock this copy holds: their full path (as the
// program names them) and the descriptor that holds the lock.
std::map<QString, int> &heldFiles()
{
    static std::map<QString, int> held;
    return held;
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

// A book file about to be replaced by a new file (the open temporary file
// `handle`): the new file is locked before it is renamed into place, so that
// the book is held without a gap. The lock moves to it once the rename is
// done (finishHold), or stays on the old file when it failed.
int prepareHold(const QString &path, int handle)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    Q_UNUSED(handle);
    return -1;
#else
    if (!heldFiles().count(fullPath(path)))
        return -1;
    const int fd = ::fcntl(handle, F_DUPFD_CLOEXEC, 0);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
#endif
}

void finishHold(const QString &path, int fd, bool replaced)
{
#ifndef Q_OS_WIN
    if (fd < 0)
        return;
    if (!replaced) {
        ::close(fd);
        return;
    }
    int &held = heldFiles()[fullPath(path)];
    ::close(held);
    held = fd;
#else
    Q_UNUSED(path);
    Q_UNUSED(fd);
    Q_UNUSED(replaced);
#endif
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
    const int hold = prepareHold(path, file.handle());
    const bool replaced = file.commit();
    finishHold(path, hold, replaced);
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
    return kakeibo::fullPath(m_path);
}

Error BinaryFile::error(Error::Kind kind) const
{
    return Error::file(kind, fullPath(), m_file.errorString());
}

#ifndef Q_OS_WIN
namespace {

// The user of the process that holds a flock on the file (device, inode),
// from the kernel's table of locks; nullopt when it cannot be told (a
// process of another namespace shows no process id there).
std::optional<uid_t> lockHolder(quint64 device, quint64 inode)
{
    QFile table(QStringLiteral("/proc/locks"));
    if (!table.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    const QString wanted = QStringLiteral("%1:%2:%3")
                               .arg(major(dev_t(device)), 2, 16, QLatin1Char('0'))
                               .arg(minor(dev_t(device)), 2, 16, QLatin1Char('0'))
                               .arg(inode);
    for (QByteArray line = table.readLine(); !line.isEmpty(); line = table.readLine()) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 6 || fields[1] != "FLOCK" || QString::fromLatin1(fields[5]) != wanted)
            continue;
        struct stat process {};
        const QByteArray proc = "/proc/" + fields[4];
        if (fields[4].toInt() > 0 && ::stat(proc.constData(), &process) == 0)
            return process.st_uid;
    }
    return std::nullopt;
}

// Takes the exclusive lock of an open descriptor without waiting.
BookLock::State lockExclusively(int fd)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return BookLock::State::Held;
    return errno == EWOULDBLOCK ? BookLock::State::HeldByAnotherCopy : BookLock::State::Failed;
}

} // namespace

BookLock::BookLock(const QString &directory, const QStringList &files)
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
    m_handle = fd;
    m_state = lockExclusively(fd);
    if (m_state != State::Held) {
        refused(directory, status.st_dev, status.st_ino);
        return;
    }
    for (const QString &file : files) {
        if (!holdFile(file))
            return;
    }
}

bool BookLock::holdFile(const QString &path)
{
    if (heldFiles().count(fullPath(path)))
        return true;
    QFile file(path);
    if (openRegular(file, Access::Read, QIODevice::ReadOnly))
        return true;  // a file not there yet, or no file: the reading reports it
    const int fd = ::fcntl(file.handle(), F_DUPFD_CLOEXEC, 0);
    struct stat status {};
    ::fstat(fd, &status);
    m_state = lockExclusively(fd);
    if (m_state == State::Held) {
        heldFiles()[fullPath(path)] = fd;
        m_files.append(fullPath(path));
        return true;
    }
    refused(path, status.st_dev, status.st_ino);
    ::close(fd);
    return false;
}

// Sets the error of a lock that is not held: the book is in use (by another
// copy of this user's, or by another user), or could not be locked.
void BookLock::refused(const QString &path, quint64 device, quint64 inode)
{
    const int code = errno;
    if (m_state == State::Failed) {
        m_error = Error::file(Error::Kind::BookLock, fullPath(path), reasonFor(code));
        return;
    }
    const std::optional<uid_t> holder = lockHolder(device, inode);
    if (holder && *holder != ::geteuid()) {
        const passwd *user = ::getpwuid(*holder);
        const QString name = user ? QString::fromLocal8Bit(user->pw_name) : QString::number(*holder);
        m_heldByAnotherUser = true;
        m_error = Error::file(Error::Kind::BookInUse, fullPath(path),
                              QStringLiteral("ほかのユーザー「%1」が開いています").arg(name));
        return;
    }
    m_error = Error::file(Error::Kind::BookInUse, fullPath(path));
}

BookLock::~BookLock()
{
    for (const QString &file : std::as_const(m_files)) {
        ::close(heldFiles()[file]);
        heldFiles().erase(file);
    }
    if (m_handle >= 0)
        ::close(int(m_handle));
}
#else
BookLock::BookLock(const QString &directory, const QStringList &)
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

bool BookLock::holdFile(const QString &)
{
    return true;
}

void BookLock::refused(const QString &, quint64, quint64) {}
#endif

} // namespace kakeibo
