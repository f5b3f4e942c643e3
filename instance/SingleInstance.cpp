#include "SingleInstance.h"

#include "InstanceChannel.h"
#include "InstanceName.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QThread>

#include <type_traits>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace kakeibo {
namespace {

const QByteArray kRequest = QByteArrayLiteral("activate\n");
const QByteArray kConfirmation = QByteArrayLiteral("ok\n");
constexpr int kRetryMilliseconds = 100;

// Whether the process at the other end of a connected local socket runs as
// this user. On Windows the pipe itself admits this user alone.
bool peerIsThisUser(qintptr descriptor)
{
#if defined(Q_OS_LINUX)
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0
           && credentials.uid == ::geteuid();
#elif defined(Q_OS_UNIX)
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(int(descriptor), &uid, &gid) == 0 && uid == ::geteuid();
#else
    Q_UNUSED(descriptor);
    return true;
#endif
}

// One attempt: connect, check the peer, send the request, await the answer.
bool askOnce(const QString &name, const QDeadlineTimer &deadline)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(int(deadline.remainingTime())) || !peerIsThisUser(socket.socketDescriptor()))
        return false;
    socket.write(kRequest);
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(int(deadline.remainingTime())))
        answer += socket.read(kConfirmation.size() - answer.size());
    return answer == kConfirmation;
}

} // namespace

SingleInstance::SingleInstance(const QString &identity, QObject *parent)
    : QObject(parent), m_name(InstanceName::forIdentity(identity))
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server.nextPendingConnection())
            serve(peer);
    });
}

void SingleInstance::serve(QLocalSocket *peer)
{
    connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
    if (!peerIsThisUser(peer->socketDescriptor())) {
        peer->abort();
        return;
    }
    connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
        if (!peer->canReadLine())
            return;
        if (peer->readLine(kRequest.size() + 1) == kRequest) {
            peer->write(kConfirmation);
            peer->flush();
            emit activationRequested();
        }
        peer->disconnectFromServer();
    });
}

bool SingleInstance::listen()
{
    if (m_name.isEmpty())
        return false;
    if (m_server.listen(m_name))
        return true;
    QLocalServer::removeServer(m_name);
    return m_server.listen(m_name);
}

bool SingleInstance::ask(const QString &identity, int patienceMs)
{
    const QString name = InstanceName::forIdentity(identity);
    if (name.isEmpty())
        return false;
    const QDeadlineTimer deadline(patienceMs);
    while (!deadline.hasExpired()) {
        if (askOnce(name, deadline))
            return true;
        QThread::msleep(kRetryMilliseconds);
    }
    return false;
}

} // namespace kakeibo

namespace {

constexpr int kPatienceMilliseconds = 3000;

} // namespace

extern "C" Q_DECL_EXPORT bool kakeibo_listen_for_activation(const QString &identity, void (*activate)(void *),
                                                            void *context)
{
    auto *channel = new kakeibo::SingleInstance(identity, QCoreApplication::instance());
    QObject::connect(channel, &kakeibo::SingleInstance::activationRequested, channel,
                     [activate, context] { activate(context); });
    return channel->listen();
}

extern "C" Q_DECL_EXPORT bool kakeibo_ask_to_come_forward(const QString &identity)
{
    return kakeibo::SingleInstance::ask(identity, kPatienceMilliseconds);
}

static_assert(std::is_same_v<decltype(&kakeibo_listen_for_activation), kakeibo::InstanceChannel::ListenFunction>);
static_assert(std::is_same_v<decltype(&kakeibo_ask_to_come_forward), kakeibo::InstanceChannel::AskFunction>);
