// One copy of the program per application directory: a second claim on the
// same directory fails and asks the first to come forward, other
// directories are independent, and a socket left by a killed copy is taken
// over.
#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kakeibo;

class TestSingleInstance : public QObject {
    Q_OBJECT

private slots:
    void secondCopyOnSameDirectoryAsksFirst();
    void otherDirectoriesRunSideBySide();
    void sameDirectoryByAnotherPathIsTheSame();
    void socketOfKilledCopyIsTakenOver();
    void nothingIsWrittenIntoTheDirectory();
};

void TestSingleInstance::secondCopyOnSameDirectoryAsksFirst()
{
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    QVERIFY(first.claim());
    QSignalSpy asked(&first, &SingleInstance::activationRequested);
    SingleInstance second(dir.path());
    QVERIFY(!second.claim());
    QTRY_COMPARE(asked.count(), 1);
}

void TestSingleInstance::otherDirectoriesRunSideBySide()
{
    QTemporaryDir one;
    QTemporaryDir two;
    SingleInstance first(one.path());
    SingleInstance second(two.path());
    QVERIFY(first.claim());
    QVERIFY(second.claim());
    QCOMPARE_NE(InstanceName::forDirectory(one.path()), InstanceName::forDirectory(two.path()));
}

void TestSingleInstance::sameDirectoryByAnotherPathIsTheSame()
{
    QTemporaryDir dir;
    QTemporaryDir links;
    const QString link = links.filePath("book");
    QVERIFY(QFile::link(dir.path(), link));
    QCOMPARE(InstanceName::forDirectory(link), InstanceName::forDirectory(dir.path()));
    QCOMPARE(InstanceName::forDirectory(dir.path() + "/./"), InstanceName::forDirectory(dir.path()));
}

void TestSingleInstance::socketOfKilledCopyIsTakenOver()
{
    QTemporaryDir dir;
    // A killed copy leaves its socket file behind; nobody answers on it.
    const QString stale = InstanceName::forDirectory(dir.path());
    QFile leftover(stale);
    QVERIFY(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    SingleInstance restarted(dir.path());
    QVERIFY(restarted.claim());
    SingleInstance second(dir.path());
    QVERIFY(!second.claim());
}

void TestSingleInstance::nothingIsWrittenIntoTheDirectory()
{
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    QVERIFY(first.claim());
    SingleInstance second(dir.path());
    QVERIFY(!second.claim());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
