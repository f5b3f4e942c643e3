// The loader of the single-instance guard: it asks first only when a copy
// may be listening on the directory, it claims through the library beside
// the program, and without that library the book still opens.
#include "InstanceGuard.h"
#include "InstanceName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kakeibo;

namespace {

// An application directory holding a copy of the guard library.
QString installGuard(const QTemporaryDir &dir)
{
    const QString library = QStringLiteral(KAKEIBO_INSTANCE_LIBRARY);
    QFile::copy(library, dir.filePath(QFileInfo(library).fileName()));
    return dir.path();
}

} // namespace

class TestInstanceGuard : public QObject {
    Q_OBJECT

private slots:
    void firstCopyNeedNotAskAndClaims();
    void laterCopyAsksAndBringsFirstForward();
    void missingLibraryLeavesTheBookOpen();
};

void TestInstanceGuard::firstCopyNeedNotAskAndClaims()
{
    QTemporaryDir dir;
    InstanceGuard guard(installGuard(dir), [] {});
    QVERIFY(!guard.mustAskFirst());
    QVERIFY(guard.claim());
    QVERIFY(guard.claimed());
    QVERIFY(InstanceName::mayBeListening(InstanceName::forDirectory(dir.path())));
}

void TestInstanceGuard::laterCopyAsksAndBringsFirstForward()
{
    QTemporaryDir dir;
    int broughtForward = 0;
    InstanceGuard first(installGuard(dir), [&] { ++broughtForward; });
    QVERIFY(first.claim());
    InstanceGuard second(dir.path(), [] {});
    QVERIFY(second.mustAskFirst());
    QVERIFY(!second.claim());
    QVERIFY(!second.claimed());
    QTRY_COMPARE(broughtForward, 1);
}

void TestInstanceGuard::missingLibraryLeavesTheBookOpen()
{
    QTemporaryDir dir;
    InstanceGuard guard(dir.path(), [] {});
    QVERIFY(guard.claim());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

QTEST_GUILESS_MAIN(TestInstanceGuard)
#include "tst_instanceguard.moc"
