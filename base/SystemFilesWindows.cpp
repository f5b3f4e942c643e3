#include "SystemFilesNative.h"

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

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(fullPath(path));
}

HANDLE handleOf(QFileDevice &file)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
}

int lastErrorCode()
{
    return int(GetLastError());
}

// Hands an open handle to `file` (through a C runtime descriptor, as QFile
// takes it); 0 or the error code.
int adopt(QFile &file, HANDLE handle, bool reads, QIODevice::OpenMode mode)
{
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), (reads ? _O_RDONLY : _O_RDWR) | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return ERROR_TOO_MANY_OPEN_FILES;
    }
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return ERROR_OPEN_FAILED;
    }
    return 0;
}

} // namespace

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

namespace Native {

// Links on Windows are made by administrators only; they are followed.
Expected<QString> readOwnLink(const QString &path, bool &isLink)
{
    isLink = false;
    return path;
}

// Every share mode is granted, as the C library does, so that a reader
// elsewhere never meets a sharing violation; a named pipe, a console or a
// device answers to its type and is refused. A missing file is made only
// as a new one (CREATE_NEW), so that `created` tells the truth.
int openRegular(QFile &file, const QString &path, Access access, bool create, bool &created,
                QIODevice::OpenMode mode, QString &refusal)
{
    const QString native = nativePath(path);
    const DWORD attributes = GetFileAttributesW(wide(native));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        refusal = QStringLiteral("フォルダです");
        return ERROR_ACCESS_DENIED;
    }
    const bool reads = access == Access::Read;
    const auto openAs = [&](DWORD disposition) {
        return CreateFileW(wide(native), reads ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE handle = openAs(OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND && create) {
        handle = openAs(CREATE_NEW);
        created = handle != INVALID_HANDLE_VALUE;
        if (!created && GetLastError() == ERROR_FILE_EXISTS)
            handle = openAs(OPEN_EXISTING);
    }
    if (handle == INVALID_HANDLE_VALUE)
        return lastErrorCode();
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        refusal = QStringLiteral("通常のファイルではありません");
        return ERROR_INVALID_FUNCTION;
    }
    if (const int code = adopt(file, handle, reads, mode)) {
        refusal = reasonFor(code);
        return code;
    }
    return 0;
}

int createExclusive(QFile &file, const QString &path, const QString &like)
{
    const DWORD old = GetFileAttributesW(wide(nativePath(like)));
    const DWORD attributes = old == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_NORMAL
                                                            : old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    const HANDLE handle = CreateFileW(wide(nativePath(path)), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                      attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return lastErrorCode();
    if (const int code = adopt(file, handle, false, QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        DeleteFileW(wide(nativePath(path)));
        return code;
    }
    return 0;
}

int writeAt(QFileDevice &file, qint64 offset, QByteArrayView bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        OVERLAPPED at{};
        const qint64 position = offset + written;
        at.Offset = DWORD(position & 0xffffffff);
        at.OffsetHigh = DWORD(position >> 32);
        DWORD step = 0;
        const DWORD chunk = DWORD(std::min<qsizetype>(bytes.size() - written, 1 << 30));
        if (!WriteFile(handleOf(file), bytes.data() + written, chunk, &step, &at))
            return lastErrorCode();
        if (step == 0)
            return ERROR_DISK_FULL;
        written += step;
    }
    return 0;
}

int sync(QFileDevice &file)
{
    return FlushFileBuffers(handleOf(file)) ? 0 : lastErrorCode();
}

// MOVEFILE_WRITE_THROUGH returns once the rename is on the disk: the
// folder's entry needs no forcing of its own (syncDirectory).
int rename(const QString &from, const QString &to)
{
    return MoveFileExW(wide(nativePath(from)), wide(nativePath(to)), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : lastErrorCode();
}

// Windows forces no folder by a handle a program may open; a file made is
// in its folder on the disk once the file was forced (NTFS journals the
// entry with it), and a rename is forced by MOVEFILE_WRITE_THROUGH.
int syncDirectory(const QString &)
{
    return 0;
}

int remove(const QString &path)
{
    return DeleteFileW(wide(nativePath(path))) ? 0 : lastErrorCode();
}

bool isMissing(int code)
{
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

bool isLinkInPlace(int)
{
    return false;
}

bool isReadOnlyPlace(int code)
{
    return code == ERROR_ACCESS_DENIED || code == ERROR_WRITE_PROTECT;
}

bool isTaken(int code)
{
    return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
}

} // namespace Native
} // namespace kakeibo::SystemFiles
