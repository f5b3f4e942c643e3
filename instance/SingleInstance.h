// The "come forward" channel of a book, the program's one use of Qt
// Network. It lives in the library kakeibo_instance beside the program,
// which the program loads only when it needs the channel (InstanceGuard).
//
// The copy that holds a book's lock serves the channel on a local socket in
// the user's private runtime directory (InstanceName), created for the user
// alone; a later copy that finds the lock held asks through it. Both ends
// trust only a peer of their own user id, so nothing another user runs can
// receive a request or answer one. The lock, not the channel, decides who
// owns the book: a socket at the channel's name is only ever replaced by
// the copy that holds the lock.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <functional>

class QLocalSocket;

namespace kakeibo {

class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString &identity, QObject *parent = nullptr);

    // Serves the channel. The caller holds the book's lock, so what lies at
    // the channel's name was left by a copy that has ended and is replaced.
    // False when no channel can be offered.
    bool listen();

    // Asks the copy serving the identity's channel to come forward, passing
    // it the activation token (ActivationToken; may be empty), trying for
    // up to patienceMs (a copy that has just started may not serve yet);
    // true once a copy of this user has confirmed the request.
    static bool ask(const QString &identity, const QString &token, int patienceMs);

    // Decides whether a request is taken (answered and signalled); without
    // one every request is. A copy that is ending takes none, so that a
    // later start is not told the book is open in a copy about to go.
    void setAcceptor(std::function<bool(const QString &token)> accept) { m_accept = std::move(accept); }

signals:
    // A copy of the same user asked this one to come forward, with its
    // activation token, or an empty one.
    void activationRequested(const QString &token);

private:
    void serve(QLocalSocket *peer);

    QString m_name;
    QLocalServer m_server;
    std::function<bool(const QString &)> m_accept;
};

} // namespace kakeibo
