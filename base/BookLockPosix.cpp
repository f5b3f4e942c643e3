#include "BookLock.h"

#include "SystemFiles.h"

#include <QDir>
#include <QFile>

#include <map>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
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


// The user of a process that holds a lock on the file (device, inode). The
// kernel's table of locks (/proc/locks) names no process for the lock of an
// open file description; each process's descriptors show their own locks
// (/proc/PID/fdinfo), readable for this user's processes (and every
// process for root). nullopt when no process in sight holds it.
std::optional<uid_t> lockHolder(quint64 device, quint64 inode)
{
    const QByteArray wanted = QStringLiteral(" %1:%2:%3 ")
                                  .arg(major(dev_t(device)), 2, 16, QLatin1Char('0'))
                                  .arg(minor(dev_t(device)), 2, 16, QLatin1Char('0'))
                                  .arg(inode)
                                  .toLatin1();
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid.toInt() <= 0)
            continue;
        const QDir fdinfo(proc.filePath(pid + QStringLiteral("/fdinfo")));
        for (const QString &fd : fdinfo.entryList(QDir::Files)) {
            QFile info(fdinfo.filePath(fd));
            if (!info.open(QIODevice::ReadOnly))
                continue;
            const QByteArray text = info.readAll().simplified() + ' ';
            struct stat process {};
            if (text.contains("lock: ") && text.contains(wanted)
                && ::stat(QFile::encodeName(proc.filePath(pid)).constData(), &process) == 0)
                return process.st_uid;
        }
    }
    return std::nullopt;
}

// Locks the whole of an open file, for writing or for reading, without
// waiting. The lock belongs to the open file description (not the process),
// so that the program's own opening and closing of the file elsewhere
// leaves it in place; a write lock needs a descriptor open for writing.
BookLock::State lockFile(int fd, bool forWriting)
{
    struct flock whole {};
    whole.l_type = forWriting ? F_WRLCK : F_RDLCK;
    whole.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &whole) == 0)
        return BookLock::State::Held;
    return errno == EAGAIN || errno == EACCES ? BookLock::State::HeldByAnotherCopy : BookLock::State::Failed;
}

// The error of a lock that is not held: the book is in use (by another
// copy of this user's, or by another user, named where he can be told), or
// could not be locked; and whether another user holds it.
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
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        m_error = Error::file(Error::Kind::BookLock, fullPath(directory), reasonFor(code));
        return;
    }
    struct stat status {};
    ::fstat(fd, &status);
    ::close(fd);
    m_identity = QStringLiteral("%1:%2").arg(quint64(status.st_dev)).arg(quint64(status.st_ino));
    m_state = State::Held;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (!hold(files[i], i == 0))
            return;
    }
}

bool BookLock::hold(const QString &path, bool madeWhenMissing)
{
    QFile file(path);
    bool forWriting = true;
    if (auto error = openRegular(file, madeWhenMissing ? Access::ReadWrite : Access::Update, QIODevice::ReadWrite)) {
        if (madeWhenMissing) {
            m_state = State::Failed;
            refuse(*error, false);
            return false;
        }
        if (openRegular(file, Access::Read, QIODevice::ReadOnly))
            return true;  // a file not there, or no file: the reading reports it
        forWriting = false;
    }
    const int fd = ::fcntl(file.handle(), F_DUPFD_CLOEXEC, 0);
    struct stat status {};
    ::fstat(fd, &status);
    m_state = lockFile(fd, forWriting);
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
}

namespace BookFiles {

qintptr prepareHold(const QString &path, int handle)
{
    if (!heldFiles().count(fullPath(path)))
        return -1;
    const int fd = ::fcntl(handle, F_DUPFD_CLOEXEC, 0);
    if (fd >= 0 && lockFile(fd, true) != BookLock::State::Held) {
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
