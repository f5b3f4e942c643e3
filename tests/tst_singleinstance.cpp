// The "come forward" channel: the copy that holds a book serves it, a later
// copy asks through it and is answered, other books have channels of their
// own, a socket left by a copy that ended is replaced by the holder, and
// the channel lives in the user's private runtime directory.
#include "InstanceName.h"
#include "SingleInstance.h"
#include "TestSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QStandardPaths>
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
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!SingleInstance::ask(QStringLiteral("1:400"), QString(), 300));
    QVERIFY(timer.elapsed() < 2000);
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

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
