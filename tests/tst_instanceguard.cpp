// One writer per book: the lock on the application directory is met by
// every path to the directory, the lock on the book's files by every path
// to them (even after the holder replaced one), it creates no file, and
// goes with its holder;
// the loader of the "come forward" channel asks and serves through the
// library beside the program, and without it the lock still holds.
#include "BookLock.h"
#include "FileService.h"
#include "InstanceGuard.h"
#include "TestSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>


using namespace kakeibo;
using namespace std::chrono_literals;

namespace {

// An application directory holding a copy of the channel's library.
QString installChannel(const QTemporaryDir &dir)
{
    const QString library = QStringLiteral(KAKEIBO_INSTANCE_LIBRARY);
    QFile::copy(library, dir.filePath(QFileInfo(library).fileName()));
    return dir.path();
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestInstanceGuard : public QObject {
    Q_OBJECT

private slots:
    void everyPathMeetsTheSameLock_data();
    void everyPathMeetsTheSameLock();
    void bookFilesMeetTheHolderLock_data();
    void bookFilesMeetTheHolderLock();
    void lockGoesWithItsHolder();
    void lockOnMissingDirectoryFails();
    void laterCopyBringsTheHolderForward();
    void missingLibraryReachesNobody();
};

void TestInstanceGuard::everyPathMeetsTheSameLock_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("same path") << "same";
    QTest::newRow("through a symbolic link") << "link";
    QTest::newRow("with ./ and a trailing slash") << "dots";
    QTest::newRow("relative path") << "relative";
}

void TestInstanceGuard::everyPathMeetsTheSameLock()
{
    QFETCH(QString, way);
    QTemporaryDir dir;
    QTemporaryDir links;
    const QString before = QDir::currentPath();
    QString second = dir.path();
    if (way == "link") {
        if (const char *reason = TestSystem::missing(TestSystem::Feature::SymbolicLinks))
            QSKIP(reason);
        second = links.filePath("book");
        QVERIFY(QFile::link(dir.path(), second));
    } else if (way == "dots") {
        second = dir.path() + "/./";
    } else if (way == "relative") {
        QDir::setCurrent(QFileInfo(dir.path()).absolutePath());
        second = QFileInfo(dir.path()).fileName();
    }
    const BookLock first(dir.path());
    QCOMPARE(first.state(), BookLock::State::Held);
    const BookLock other(second);
    QDir::setCurrent(before);
    QCOMPARE(other.state(), BookLock::State::HeldByAnotherCopy);
    QCOMPARE(other.error().kind, Error::Kind::BookInUse);
    QCOMPARE(other.identity(), first.identity());
    QCOMPARE(entries(dir.path()), QStringList());
}

void TestInstanceGuard::bookFilesMeetTheHolderLock_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("way");
    QTest::newRow("MD.dat a symbolic link into the held book") << "MD.dat" << "link";
    QTest::newRow("MD.dat a hard link into the held book") << "MD.dat" << "hard";
    QTest::newRow("MD.dat bind-mounted from the held book") << "MD.dat" << "bind";
    QTest::newRow("Item.dat a symbolic link into the held book") << "Item.dat" << "link";
    QTest::newRow("Item.dat a hard link to the one the holder saved") << "Item.dat" << "saved";
}

// Another folder whose book file leads into the book a copy holds: its
// start meets that copy's lock, whatever way leads there.
void TestInstanceGuard::bookFilesMeetTheHolderLock()
{
    QFETCH(QString, file);
    QFETCH(QString, way);
    QTemporaryDir held;
    QTemporaryDir other;
    const auto files = [](const QTemporaryDir &dir) { return QStringList{dir.filePath("MD.dat"), dir.filePath("Item.dat")}; };
    for (const QString &path : files(held)) {
        QFile data(path);
        QVERIFY(data.open(QIODevice::WriteOnly));
        data.write(QByteArray(24, '\0'));
    }
    const BookLock first(held.path(), files(held));
    QCOMPARE(first.state(), BookLock::State::Held);
    const QString target = held.filePath(file);
    const QString path = other.filePath(file);
    if (way == "link") {
        if (const char *reason = TestSystem::missing(TestSystem::Feature::SymbolicLinks))
            QSKIP(reason);
        QVERIFY(QFile::link(target, path));
    } else if (way == "bind") {
        QFile(path).open(QIODevice::WriteOnly);
        if (QProcess::execute("mount", {"--bind", target, path}) != 0)
            QSKIP("a bind mount needs root; CI runs this suite as root");
    } else {
        if (way == "saved")
            QVERIFY(!replaceAtomically(target, [](QIODevice &device) { return writeAll(device, "\"x\"\r\n"); }));
        QVERIFY(TestSystem::makeHardLink(target, path));
    }
    const BookLock second(other.path(), files(other));
    if (way == "bind")
        QProcess::execute("umount", {path});
    QCOMPARE(second.state(), BookLock::State::HeldByAnotherCopy);
    QCOMPARE(second.error().kind, Error::Kind::BookInUse);
    QCOMPARE(second.error().subject, path);
}

void TestInstanceGuard::lockGoesWithItsHolder()
{
    QTemporaryDir dir;
    {
        const BookLock first(dir.path());
        QCOMPARE(first.state(), BookLock::State::Held);
    }
    const BookLock next(dir.path());
    QCOMPARE(next.state(), BookLock::State::Held);
}

void TestInstanceGuard::lockOnMissingDirectoryFails()
{
    QTemporaryDir dir;
    const BookLock lock(dir.filePath("missing"));
    QCOMPARE(lock.state(), BookLock::State::Failed);
    QCOMPARE(lock.error().kind, Error::Kind::BookLock);
    QCOMPARE(lock.error().subject, dir.filePath("missing"));
    QVERIFY(!lock.error().reason.isEmpty());
}

void TestInstanceGuard::laterCopyBringsTheHolderForward()
{
    QTemporaryDir dir;
    const BookLock lock(installChannel(dir));
    int broughtForward = 0;
    InstanceGuard holder(dir.path(), lock.identity());
    holder.listen([&](const QString &) { return ++broughtForward > 0; });
    auto asked = std::async(std::launch::async, [&] {
        return InstanceGuard(dir.path(), lock.identity()).askToComeForward();
    });
    while (asked.wait_for(10ms) != std::future_status::ready)
        QCoreApplication::processEvents();
    QVERIFY(asked.get());
    QCOMPARE(broughtForward, 1);
}

void TestInstanceGuard::missingLibraryReachesNobody()
{
    QTemporaryDir dir;
    const BookLock lock(dir.path());
    InstanceGuard guard(dir.path(), lock.identity());
    guard.listen([](const QString &) { return true; });
    QVERIFY(!guard.askToComeForward());
    QCOMPARE(entries(dir.path()), QStringList());
}

QTEST_GUILESS_MAIN(TestInstanceGuard)
#include "tst_instanceguard.moc"
