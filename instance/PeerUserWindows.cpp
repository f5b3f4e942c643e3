#include "PeerUser.h"

#include <QByteArray>

#include <windows.h>

namespace kakeibo::PeerUser {
namespace {

// The user (security identifier) a process runs as; empty when it cannot
// be told.
QByteArray userOf(HANDLE process)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    QByteArray buffer(int(size), Qt::Uninitialized);
    const bool read = size && GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
    CloseHandle(token);
    if (!read)
        return {};
    PSID sid = reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid;
    return QByteArray(static_cast<const char *>(sid), int(GetLengthSid(sid)));
}

} // namespace

bool isThisUser(qintptr descriptor, bool isServer)
{
    const auto pipe = reinterpret_cast<HANDLE>(descriptor);
    ULONG processId = 0;
    const bool known = isServer ? GetNamedPipeClientProcessId(pipe, &processId)
                                : GetNamedPipeServerProcessId(pipe, &processId);
    if (!known)
        return false;
    const HANDLE peer = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!peer)
        return false;
    const QByteArray peerUser = userOf(peer);
    CloseHandle(peer);
    const QByteArray ownUser = userOf(GetCurrentProcess());
    return !ownUser.isEmpty() && peerUser == ownUser;
}

void allowToComeForward(qintptr descriptor)
{
    ULONG processId = 0;
    if (GetNamedPipeServerProcessId(reinterpret_cast<HANDLE>(descriptor), &processId))
        AllowSetForegroundWindow(processId);
}

} // namespace kakeibo::PeerUser
