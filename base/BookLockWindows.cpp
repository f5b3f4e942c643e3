#include "BookLock.h"

#include "SystemFiles.h"

#include <QDir>

#include <map>
#include <optional>

#include <io.h>
#include <windows.h>

namespace kakeibo {

using namespace SystemFiles;

namespace {

// The book's files whose lock this copy holds: their full path and the
// mutex that holds it.
std::map<QString, HANDLE> &heldFiles()
{
    static std::map<QString, HANDLE> held;
    return held;
}

// What every path and link to an open file has in common.
std::optional<QString> identityOf(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info))
        return std::nullopt;
    return QStringLiteral("%1-%2-%3").arg(info.dwVolumeSerialNumber).arg(info.nFileIndexHigh).arg(info.nFileIndexLow);
}

// The identity of a file or directory by its path; nullopt when there is
// none (the file does not exist yet).
std::optional<QString> identityOf(const QString &path)
{
    const QString native = QDir::toNativeSeparators(fullPath(path));
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t *>(native.utf16()), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::optional<QString> identity = identityOf(handle);
    CloseHandle(handle);
    return identity;
}

// Takes the mutex named after an identity, in the namespace every session
// of the machine shares. A mutex that exists is another copy's; one that
// this user may not even open is another user's.
struct Hold {
    HANDLE mutex = nullptr;
    BookLock::State state = BookLock::State::Failed;
    bool anotherUser = false;
    int code = 0;
};

Hold holdIdentity(const QString &identity)
{
    const QString name = QStringLiteral("Global\\kakeibo-book-") + identity;
    Hold hold;
    hold.mutex = CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t *>(name.utf16()));
    hold.code = int(GetLastError());
    if (hold.mutex && hold.code != ERROR_ALREADY_EXISTS) {
        hold.state = BookLock::State::Held;
        return hold;
    }
    if (hold.mutex)
        CloseHandle(std::exchange(hold.mutex, nullptr));
    hold.anotherUser = hold.code == ERROR_ACCESS_DENIED;
    if (hold.code == ERROR_ALREADY_EXISTS || hold.anotherUser)
        hold.state = BookLock::State::HeldByAnotherCopy;
    return hold;
}

// The error of a lock that is not held: the book is in use (by another
// copy of this user's, or by another user), or could not be locked.
Error refusal(const Hold &hold, const QString &path)
{
    if (hold.state == BookLock::State::Failed)
        return Error::file(Error::Kind::BookLock, fullPath(path), reasonFor(hold.code));
    if (hold.anotherUser)
        return Error::file(Error::Kind::BookInUse, fullPath(path), QStringLiteral("ほかのユーザーが開いています"));
    return Error::file(Error::Kind::BookInUse, fullPath(path));
}

} // namespace

BookLock::BookLock(const QString &directory, const QStringList &files)
{
    const std::optional<QString> identity = identityOf(directory);
    if (!identity) {
        m_error = Error::file(Error::Kind::BookLock, fullPath(directory), reasonFor(int(GetLastError())));
        return;
    }
    m_identity = *identity;
    const Hold directoryHold = holdIdentity(*identity);
    m_state = directoryHold.state;
    if (m_state != State::Held) {
        refuse(refusal(directoryHold, directory), directoryHold.anotherUser);
        return;
    }
    m_handle = reinterpret_cast<qintptr>(directoryHold.mutex);
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (!hold(files[i], i == 0))
            return;
    }
}

bool BookLock::hold(const QString &path, bool madeWhenMissing)
{
    if (madeWhenMissing) {
        QFile file(path);
        if (auto error = openRegular(file, Access::ReadWrite, QIODevice::ReadWrite)) {
            m_state = State::Failed;
            refuse(*error, false);
            return false;
        }
    }
    const std::optional<QString> identity = identityOf(path);
    if (!identity)
        return true;  // a file not there yet: the reading reports what it is
    const Hold hold = holdIdentity(*identity);
    m_state = hold.state;
    if (m_state != State::Held) {
        refuse(refusal(hold, path), hold.anotherUser);
        return false;
    }
    heldFiles()[fullPath(path)] = hold.mutex;
    m_files.append(fullPath(path));
    return true;
}

BookLock::~BookLock()
{
    for (const QString &file : std::as_const(m_files)) {
        CloseHandle(heldFiles()[file]);
        heldFiles().erase(file);
    }
    if (m_handle != -1)
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

namespace BookFiles {

qintptr prepareHold(const QString &path, int handle)
{
    if (!heldFiles().count(fullPath(path)))
        return -1;
    const std::optional<QString> identity = identityOf(reinterpret_cast<HANDLE>(_get_osfhandle(handle)));
    const Hold hold = identity ? holdIdentity(*identity) : Hold{};
    return hold.state == BookLock::State::Held ? reinterpret_cast<qintptr>(hold.mutex) : -1;
}

void finishHold(const QString &path, qintptr hold, bool replaced)
{
    if (hold == -1)
        return;
    if (!replaced) {
        CloseHandle(reinterpret_cast<HANDLE>(hold));
        return;
    }
    HANDLE &held = heldFiles()[fullPath(path)];
    CloseHandle(held);
    held = reinterpret_cast<HANDLE>(hold);
}

} // namespace BookFiles
} // namespace kakeibo
