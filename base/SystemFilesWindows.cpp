#include "SystemFiles.h"

#include <QDir>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace kakeibo::SystemFiles {
namespace {

const wchar_t *wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

// The error of a failed open: a missing file, a folder that takes no new
// file, or the system's reason.
Error openFailed(const QString &path, int code, Access access)
{
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
        return Error::file(Error::Kind::FileNotFound, path, reasonFor(code));
    if (access == Access::ReadWrite && code == ERROR_ACCESS_DENIED && !QFileInfo::exists(path))
        return Error::file(Error::Kind::DirectoryWrite, QFileInfo(path).absolutePath(), reasonFor(code));
    return Error::file(Error::Kind::FileOpen, path, reasonFor(code));
}

} // namespace

// Every share mode is granted, as the C library does, so that the book's
// own lock and a reader elsewhere never meet a sharing violation; a named
// pipe, a console or a device answers to its type and is refused.
std::optional<Error> openRegular(QFile &file, Access access, QIODevice::OpenMode mode)
{
    const QString path = fullPath(file.fileName());
    const QString native = QDir::toNativeSeparators(path);
    const DWORD attributes = GetFileAttributesW(wide(native));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Error::file(Error::Kind::FileOpen, path, QStringLiteral("フォルダです"));
    const bool reads = access == Access::Read;
    const HANDLE handle = CreateFileW(wide(native), reads ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      reads ? OPEN_EXISTING : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return openFailed(path, lastErrorCode(), access);
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return Error::file(Error::Kind::FileOpen, path, QStringLiteral("通常のファイルではありません"));
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), (reads ? _O_RDONLY : _O_RDWR) | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return Error::file(Error::Kind::FileOpen, path, reasonFor(ERROR_TOO_MANY_OPEN_FILES));
    }
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return Error::file(Error::Kind::FileOpen, path, file.errorString());
    }
    return std::nullopt;
}

// Links on Windows are made by administrators only; they are followed.
std::optional<Error> checkReplaceable(const QString &)
{
    return std::nullopt;
}

bool syncToDevice(QFileDevice &file)
{
    const intptr_t handle = _get_osfhandle(file.handle());
    return handle != -1 && FlushFileBuffers(reinterpret_cast<HANDLE>(handle)) != 0;
}

int reserveSpace(QFile &file, qint64 size)
{
    return size <= file.size() || file.resize(size) ? 0 : lastErrorCode();
}

QString reasonFor(int code)
{
    wchar_t *message = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, DWORD(code), 0, reinterpret_cast<wchar_t *>(&message), 0, nullptr);
    const QString reason = length ? QString::fromWCharArray(message, int(length)).trimmed()
                                  : QStringLiteral("エラー %1").arg(code);
    LocalFree(message);
    return reason;
}

int lastErrorCode()
{
    return int(GetLastError());
}

} // namespace kakeibo::SystemFiles
