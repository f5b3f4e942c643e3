#include "SingleInstance.h"

#include "ActivationToken.h"
#include "InstanceChannel.h"
#include "InstanceName.h"
#include "PeerUser.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QThread>

#include <optional>
#include <type_traits>

namespace kakeibo {
namespace {

// A request is "activate" with an optional activation token after one
// space, and a line feed; the answer is "ok" and a line feed.
const QByteArray kRequest = QByteArrayLiteral("activate");
const QByteArray kConfirmation = QByteArrayLiteral("ok\n");
constexpr qsizetype kLongestRequest = 300;
constexpr int kRetryMilliseconds = 100;

QByteArray requestFor(const QString &token)
{
    if (!ActivationToken::isWellFormed(token))
        return kRequest + '\n';
    return kRequest + ' ' + token.toLatin1() + '\n';
}

// The token of a well-formed request, or nullopt for anything else.
std::optional<QString> tokenOf(const QByteArray &line)
{
    if (line == kRequest + '\n')
        return QString();
    if (!line.startsWith(kRequest + ' ') || !line.endsWith('\n'))
        return std::nullopt;
    const QString token = QString::fromLatin1(line.mid(kRequest.size() + 1).chopped(1));
    if (!ActivationToken::isWellFormed(token))
        return std::nullopt;
    return token;
}

// One attempt: connect, check the peer, send the request, await the answer.
bool askOnce(const QString &name, const QByteArray &request, const QDeadlineTimer &deadline)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(int(deadline.remainingTime())) || !PeerUser::isThisUser(socket.socketDescriptor(), false))
        return false;
    PeerUser::allowToComeForward(socket.socketDescriptor());
    socket.write(request);
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
    if (!PeerUser::isThisUser(peer->socketDescriptor(), true)) {
        peer->abort();
        return;
    }
    connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
        if (!peer->canReadLine() && peer->bytesAvailable() <= kLongestRequest)
            return;
        const std::optional<QString> token = tokenOf(peer->readLine(kLongestRequest + 1));
        if (token && (!m_accept || m_accept(*token))) {
            peer->write(kConfirmation);
            peer->flush();
            emit activationRequested(*token);
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

bool SingleInstance::ask(const QString &identity, const QString &token, int patienceMs)
{
    const QString name = InstanceName::forIdentity(identity);
    if (name.isEmpty())
        return false;
    const QDeadlineTimer deadline(patienceMs);
    while (!deadline.hasExpired()) {
        if (askOnce(name, requestFor(token), deadline))
            return true;
        QThread::msleep(kRetryMilliseconds);
    }
    return false;
}

} // namespace kakeibo

namespace {

constexpr int kPatienceMilliseconds = 3000;

} // namespace

// A copy asked without a token asks the compositor for one of its own, so
// that its window is at least marked as wanting attention.
extern "C" Q_DECL_EXPORT bool kakeibo_listen_for_activation(const QString &identity,
                                                            bool (*activate)(void *, const QString &),
                                                            void *context)
{
    auto *channel = new kakeibo::SingleInstance(identity, QCoreApplication::instance());
    channel->setAcceptor([activate, context](const QString &token) {
        return activate(context, token.isEmpty() ? kakeibo::ActivationToken::request() : token);
    });
    return channel->listen();
}

extern "C" Q_DECL_EXPORT bool kakeibo_ask_to_come_forward(const QString &identity)
{
    return kakeibo::SingleInstance::ask(identity, kakeibo::ActivationToken::forThisStart(), kPatienceMilliseconds);
}

static_assert(std::is_same_v<decltype(&kakeibo_listen_for_activation), kakeibo::InstanceChannel::ListenFunction>);
static_assert(std::is_same_v<decltype(&kakeibo_ask_to_come_forward), kakeibo::InstanceChannel::AskFunction>);
