#include "SystemFiles.h"

#include <cerrno>
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

} // namespace

// O_NONBLOCK keeps the open of a FIFO from waiting for a writer; anything
// but a regular file is then refused, and the descriptor is made blocking
// again. A file that is no link is opened without following links, so that
// none planted meanwhile is followed either.
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

bool syncToDevice(QFileDevice &file)
{
    return ::fsync(file.handle()) == 0;
}

int reserveSpace(QFile &file, qint64 size)
{
    return ::posix_fallocate(file.handle(), 0, off_t(size));
}

QString reasonFor(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

int lastErrorCode()
{
    return errno;
}

} // namespace kakeibo::SystemFiles
