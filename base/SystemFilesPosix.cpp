#include "SystemFilesNative.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kakeibo::SystemFiles {
namespace {

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

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

int closeWith(int fd, int code)
{
    ::close(fd);
    return code;
}

// Opens without following a link at the path and without waiting for a
// FIFO's writer; -1 with errno set when the system refuses.
int openNoFollow(const QString &path, int flags)
{
    return ::open(native(path).constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
}

} // namespace

QString reasonFor(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

namespace Native {

// A link in a data file's place is followed only when it belongs to this
// user (the kernel's rule for links in sticky folders): in a folder others
// may write, another user could otherwise point the book's file at a file
// of ours. The link is opened itself (O_PATH): its owner and what it names
// are read off that one descriptor, never off the path again.
Expected<QString> readOwnLink(const QString &path, bool &isLink)
{
    isLink = false;
    const int fd = ::open(native(path).constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return path;  // no file there: the open tells
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISLNK(status.st_mode)) {
        ::close(fd);
        return path;
    }
    isLink = true;
    if (status.st_uid != ::geteuid()) {
        ::close(fd);
        return Error::file(Error::Kind::FileOpen, path, QStringLiteral("ほかのユーザーが置いたリンクです"));
    }
    char target[PATH_MAX];
    const ssize_t length = ::readlinkat(fd, "", target, sizeof target);
    const int code = errno;
    ::close(fd);
    if (length < 0 || length == ssize_t(sizeof target))
        return Error::file(Error::Kind::FileOpen, path, reasonFor(length < 0 ? code : ENAMETOOLONG));
    return QFile::decodeName(QByteArray(target, int(length)));
}

// O_NONBLOCK keeps the open of a FIFO from waiting for a writer; anything
// but a regular file is then refused, and the descriptor is made blocking
// again. A missing file is made only with O_EXCL, so that `created` tells
// the truth when two copies start at once.
int openRegular(QFile &file, const QString &path, Access access, bool create, bool &created,
                QIODevice::OpenMode mode, QString &refusal)
{
    const int flags = access == Access::Read ? O_RDONLY : O_RDWR;
    int fd = openNoFollow(path, flags);
    if (fd < 0 && errno == ENOENT && create) {
        fd = openNoFollow(path, flags | O_CREAT | O_EXCL);
        created = fd >= 0;
        if (fd < 0 && errno == EEXIST)
            fd = openNoFollow(path, flags);
    }
    if (fd < 0)
        return errno;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        refusal = kindOfFile(status.st_mode);
        return closeWith(fd, EINVAL);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        refusal = file.errorString();
        return closeWith(fd, EINVAL);
    }
    return 0;
}

int createExclusive(QFile &file, const QString &path, const QString &like)
{
    const int fd = openNoFollow(path, O_RDWR | O_CREAT | O_EXCL);
    if (fd < 0)
        return errno;
    struct stat old {};
    if (::stat(native(like).constData(), &old) == 0 && ::fchmod(fd, old.st_mode & 07777) != 0) {
        const int code = errno;
        ::unlink(native(path).constData());
        return closeWith(fd, code);
    }
    if (!file.open(fd, QIODevice::ReadWrite | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::unlink(native(path).constData());
        return closeWith(fd, EIO);
    }
    return 0;
}

int writeAt(QFileDevice &file, qint64 offset, QByteArrayView bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t step = ::pwrite(file.handle(), bytes.data() + written, size_t(bytes.size() - written),
                                      off_t(offset + written));
        if (step < 0 && errno == EINTR)
            continue;
        if (step <= 0)
            return step < 0 ? errno : ENOSPC;
        written += step;
    }
    return 0;
}

int sync(QFileDevice &file)
{
    return ::fsync(file.handle()) == 0 ? 0 : errno;
}

int rename(const QString &from, const QString &to)
{
    return ::rename(native(from).constData(), native(to).constData()) == 0 ? 0 : errno;
}

int syncDirectory(const QString &directory)
{
    const int fd = ::open(native(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    return closeWith(fd, ::fsync(fd) == 0 ? 0 : errno);
}

int remove(const QString &path)
{
    return ::unlink(native(path).constData()) == 0 ? 0 : errno;
}

bool isMissing(int code)
{
    return code == ENOENT;
}

bool isLinkInPlace(int code)
{
    return code == ELOOP;
}

bool isReadOnlyPlace(int code)
{
    return code == EACCES || code == EROFS;
}

bool isTaken(int code)
{
    return code == EEXIST;
}

} // namespace Native
} // namespace kakeibo::SystemFiles
