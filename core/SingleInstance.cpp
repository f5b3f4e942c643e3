#include "SingleInstance.h"

#include <QCoreApplication>
#include <QLocalSocket>

namespace kakeibo {
namespace {

constexpr int kAnswerMilliseconds = 2000;
const QByteArray kRequest = QByteArrayLiteral("activate\n");

} // namespace

SingleInstance::SingleInstance(const QString &applicationDirectory, QObject *parent)
    : QObject(parent), m_name(InstanceName::forDirectory(applicationDirectory))
{
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server.nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            // Whatever a later copy sends asks this one to come forward.
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                peer->readAll();
                emit activationRequested();
                peer->disconnectFromServer();
            });
        }
    });
}

bool SingleInstance::askRunningCopy()
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kAnswerMilliseconds))
        return false;
    socket.write(kRequest);
    socket.waitForBytesWritten(kAnswerMilliseconds);
    return true;
}

bool SingleInstance::claim()
{
    if (askRunningCopy())
        return false;
    if (m_server.listen(m_name))
        return true;
    // Another copy may have started at this very moment; ask once more.
    if (askRunningCopy())
        return false;
    // Nobody answers: the socket was left by a copy that no longer runs.
    QLocalServer::removeServer(m_name);
    // Should even that fail, this copy runs unguarded rather than lock the
    // user out of the book.
    m_server.listen(m_name);
    return true;
}

} // namespace kakeibo

// The entry point of the library: claims the application directory for this
// copy. The guard lives as long as the application; activate(context) runs
// whenever a later copy asks this one to come forward.
extern "C" Q_DECL_EXPORT bool kakeibo_claim_instance(const QString &applicationDirectory, void (*activate)(void *),
                                                     void *context)
{
    auto *guard = new kakeibo::SingleInstance(applicationDirectory, QCoreApplication::instance());
    QObject::connect(guard, &kakeibo::SingleInstance::activationRequested, guard,
                     [activate, context] { activate(context); });
    return guard->claim();
}
