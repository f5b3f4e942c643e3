#include "BookLock.h"

#include "SystemFiles.h"

#include <QFile>

#include <map>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace kakeibo {

using namespace SystemFiles;

namespace {

// The book's files whose lock this copy holds: their full path (as the
// program names them) and the descriptor that holds the lock.
std::map<QString, int> &heldFiles()
{
    static std::map<QString, int> held;
    return held;
}


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

// The error of a lock that is not held: the book is in use (by another
// copy of this user's, or by another user, named), or could not be locked;
// and whether another user holds it.
std::pair<Error, bool> refusal(BookLock::State state, const QString &path, quint64 device, quint64 inode)
{
    const int code = errno;
    if (state == BookLock::State::Failed)
        return {Error::file(Error::Kind::BookLock, fullPath(path), reasonFor(code)), false};
    const std::optional<uid_t> holder = lockHolder(device, inode);
    if (!holder || *holder == ::geteuid())
        return {Error::file(Error::Kind::BookInUse, fullPath(path)), false};
    const passwd *user = ::getpwuid(*holder);
    const QString name = user ? QString::fromLocal8Bit(user->pw_name) : QString::number(*holder);
    return {Error::file(Error::Kind::BookInUse, fullPath(path), QStringLiteral("ほかのユーザー「%1」が開いています").arg(name)),
            true};
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
        auto [error, anotherUser] = refusal(m_state, directory, status.st_dev, status.st_ino);
        refuse(std::move(error), anotherUser);
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
    auto [error, anotherUser] = refusal(m_state, path, status.st_dev, status.st_ino);
    refuse(std::move(error), anotherUser);
    ::close(fd);
    return false;
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

namespace BookFiles {

qintptr prepareHold(const QString &path, int handle)
{
    if (!heldFiles().count(fullPath(path)))
        return -1;
    const int fd = ::fcntl(handle, F_DUPFD_CLOEXEC, 0);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void finishHold(const QString &path, qintptr hold, bool replaced)
{
    if (hold < 0)
        return;
    if (!replaced) {
        ::close(int(hold));
        return;
    }
    int &held = heldFiles()[fullPath(path)];
    ::close(held);
    held = int(hold);
}

} // namespace BookFiles
} // namespace kakeibo
