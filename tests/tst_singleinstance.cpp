// The "come forward" channel: the copy that holds a book serves it, a later
// copy asks through it and is answered, other books have channels of their
// own, a socket left by a copy that ended is replaced by the holder, and
// the channel lives in the user's private runtime directory.
#include "InstanceName.h"
#include "SingleInstance.h"
#include "TestSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>

using namespace kakeibo;
using namespace std::chrono_literals;

namespace {

// Asks from another thread, as another process would, while this thread's
// event loop lets the holder answer.
bool askWhileServing(const QString &identity, int patienceMs, const QString &token = {})
{
    auto answer = std::async(std::launch::async, [&] { return SingleInstance::ask(identity, token, patienceMs); });
    while (answer.wait_for(10ms) != std::future_status::ready)
        QCoreApplication::processEvents();
    return answer.get();
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

private slots:
    void laterCopyAsksTheHolderForward_data();
    void laterCopyAsksTheHolderForward();
    void otherBooksHaveChannelsOfTheirOwn();
    void socketLeftByAnEndedCopyIsReplaced();
    void nobodyServingMeansNotReached();
    void channelLivesInThePrivateRuntimeDirectory();
    void anotherUsersEndIsRefused_data();
    void anotherUsersEndIsRefused();
};

void TestSingleInstance::laterCopyAsksTheHolderForward_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("received");
    QTest::addColumn<bool>("taken");
    QTest::newRow("no token") << QString() << QString() << true;
    QTest::newRow("a holder that is ending takes no request") << QString() << QString() << false;
    QTest::newRow("a compositor's token") << "7f3a9c0e5b21d84f6a0c3e9b2d71f5a8" << "7f3a9c0e5b21d84f6a0c3e9b2d71f5a8" << true;
    QTest::newRow("a token with a space is not passed on") << "7f3a 9c0e" << QString() << true;
    QTest::newRow("a token with a line feed is not passed on") << "7f3a\nactivate" << QString() << true;
    QTest::newRow("a token of 256 characters is not passed on") << QString(256, QLatin1Char('a')) << QString() << true;
    QTest::newRow("a token of 255 characters is") << QString(255, QLatin1Char('a')) << QString(255, QLatin1Char('a')) << true;
}

void TestSingleInstance::laterCopyAsksTheHolderForward()
{
    QFETCH(QString, token);
    QFETCH(QString, received);
    QFETCH(bool, taken);
    SingleInstance holder(QStringLiteral("1:100"));
    QVERIFY(holder.listen());
    QStringList offered;
    holder.setAcceptor([&](const QString &offer) {
        offered.append(offer);
        return taken;
    });
    QSignalSpy asked(&holder, &SingleInstance::activationRequested);
    QCOMPARE(askWhileServing(QStringLiteral("1:100"), taken ? 2000 : 400, token), taken);
    QCOMPARE(offered.value(0), received);
    QCOMPARE(asked.count(), taken ? 1 : 0);
}

void TestSingleInstance::otherBooksHaveChannelsOfTheirOwn()
{
    SingleInstance one(QStringLiteral("1:200"));
    SingleInstance two(QStringLiteral("1:201"));
    QVERIFY(one.listen());
    QVERIFY(two.listen());
    QSignalSpy askedOne(&one, &SingleInstance::activationRequested);
    QVERIFY(askWhileServing(QStringLiteral("1:201"), 2000));
    QCOMPARE(askedOne.count(), 0);
}

void TestSingleInstance::socketLeftByAnEndedCopyIsReplaced()
{
    const QString leftover = InstanceName::forIdentity(QStringLiteral("1:300"));
    QFile file(leftover);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    SingleInstance holder(QStringLiteral("1:300"));
    QVERIFY(holder.listen());
    QVERIFY(askWhileServing(QStringLiteral("1:300"), 2000));
}

void TestSingleInstance::nobodyServingMeansNotReached()
{
    // Gives up after its own timeout: a wait for nobody would hold the test.
    QVERIFY(!SingleInstance::ask(QStringLiteral("1:400"), QString(), 300));
}

void TestSingleInstance::channelLivesInThePrivateRuntimeDirectory()
{
    if (const char *reason = TestSystem::missing(TestSystem::Feature::ChannelInRuntimeDirectory))
        QSKIP(reason);
    const QString name = InstanceName::forIdentity(QStringLiteral("1:500"));
    const QFileInfo directory(QFileInfo(name).absolutePath());
    QCOMPARE(directory.absoluteFilePath(), QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
    QCOMPARE(directory.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                                        | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther),
             QFileDevice::Permissions());
    SingleInstance holder(QStringLiteral("1:500"));
    QVERIFY(holder.listen());
    QCOMPARE(QFileInfo(name).permissions() & (QFileDevice::WriteGroup | QFileDevice::WriteOther),
             QFileDevice::Permissions());
}

void TestSingleInstance::anotherUsersEndIsRefused_data()
{
    QTest::addColumn<bool>("asking");  // another user asks the holder, else he answers at the channel's name
    QTest::newRow("another user asks the holder") << true;
    QTest::newRow("another user listens at the channel's name") << false;
}

// Another user's process at the other end of the channel: the holder takes
// no request from it, and a copy asking never sends it one. (The channel's
// folder and socket are opened to him here, as a mistake of the system's
// would.)
void TestSingleInstance::anotherUsersEndIsRefused()
{
    QFETCH(bool, asking);
    for (const auto feature : {TestSystem::Feature::ChannelInRuntimeDirectory, TestSystem::Feature::OtherUser}) {
        if (const char *reason = TestSystem::missing(feature))
            QSKIP(reason);
    }
    QTemporaryDir runtime;
    const QByteArray before = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const auto restore = qScopeGuard([&] { qputenv("XDG_RUNTIME_DIR", before); });
    const QString identity = QStringLiteral("1:600");
    const QString name = InstanceName::forIdentity(identity);
    QVERIFY(!name.isEmpty());
    const auto openToAll = QFileDevice::Permissions(0x7777);
    const QString script = asking ? QStringLiteral(
        "import socket, sys\n"
        "s = socket.socket(socket.AF_UNIX)\n"
        "s.connect(sys.argv[1])\n"
        "s.sendall(b'activate\\n')\n"
        "s.settimeout(2)\n"
        "try:\n    print('heard', s.recv(10), flush=True)\n"
        "except OSError:\n    print('heard nothing', flush=True)\n")
                                  : QStringLiteral(
        "import os, socket, sys\n"
        "s = socket.socket(socket.AF_UNIX)\n"
        "s.bind(sys.argv[1])\n"
        "os.chmod(sys.argv[1], 0o777)\n"
        "s.listen(1)\n"
        "print('listening', flush=True)\n"
        "c, _ = s.accept()\n"
        "c.settimeout(2)\n"
        "try:\n    print('heard', c.recv(100), flush=True)\n"
        "except OSError:\n    print('heard nothing', flush=True)\n");
    SingleInstance holder(identity);
    QSignalSpy asked(&holder, &SingleInstance::activationRequested);
    if (asking) {
        QVERIFY(holder.listen());
        QFile::setPermissions(name, openToAll);
    }
    QFile::setPermissions(runtime.path(), openToAll);
    QProcess other;
    other.start("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "/usr/bin/python3", "-c", script,
                            name});
    QVERIFY(other.waitForStarted());
    QByteArray heard;
    if (!asking) {
        QTRY_VERIFY(other.canReadLine());
        heard = other.readLine();
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(!askWhileServing(identity, 500));
    }
    QTRY_COMPARE_WITH_TIMEOUT(other.state(), QProcess::NotRunning, 5000);
    heard += other.readAll();
    QCOMPARE(asked.count(), 0);
    QVERIFY2(!heard.contains("activate") && !heard.contains("ok"), heard.constData());
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
