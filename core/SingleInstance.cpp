#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

namespace kakeibo {
namespace {

constexpr int kAnswerMilliseconds = 2000;
const QByteArray kRequest = QByteArrayLiteral("activate\n");

} // namespace

SingleInstance::SingleInstance(const QString &applicationDirectory, QObject *parent)
    : QObject(parent), m_name(serverName(applicationDirectory))
{
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server.nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->readAll().contains(kRequest.trimmed()))
                    emit activationRequested();
                peer->disconnectFromServer();
            });
        }
    });
}

QString SingleInstance::serverName(const QString &applicationDirectory)
{
    QString path = QFileInfo(applicationDirectory).canonicalFilePath();
    if (path.isEmpty())
        path = QDir::cleanPath(QFileInfo(applicationDirectory).absoluteFilePath());
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(32);
    return QStringLiteral("kakeibo-") + QString::fromLatin1(hash);
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
