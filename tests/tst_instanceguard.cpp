// One writer per book: the lock on the book's files is met by every path to
// them (through the folder or to the files themselves, even after the holder
// replaced one), two copies started at once hold the book once, a user who
// may only read the book cannot hold it, the lock makes no file but the
// book's own, and goes with its holder;
// the loader of the "come forward" channel asks and serves through the
// library beside the program, and without it the lock still holds.
#include "BookLock.h"
#include "FileService.h"
#include "InstanceGuard.h"
#include "StepWatchers.h"
#include "TestSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <functional>
#include <future>
#include <optional>


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
    void copiesStartedAtOnceHoldTheBookOnce_data();
    void copiesStartedAtOnceHoldTheBookOnce();
    void readerCannotHoldTheBook_data();
    void readerCannotHoldTheBook();
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
    const BookLock first(dir.path(), {QDir(dir.path()).filePath("MD.dat")});
    QCOMPARE(first.state(), BookLock::State::Held);
    const BookLock other(second, {QDir(second).filePath("MD.dat")});
    QDir::setCurrent(before);
    QCOMPARE(other.state(), BookLock::State::HeldByAnotherCopy);
    QCOMPARE(other.error().kind, Error::Kind::BookInUse);
    QCOMPARE(other.identity(), first.identity());
    QCOMPARE(entries(dir.path()), QStringList{"MD.dat"});
}

void TestInstanceGuard::copiesStartedAtOnceHoldTheBookOnce_data()
{
    QTest::addColumn<bool>("whileMade");
    QTest::newRow("the second starts while the first makes MD.dat") << true;
    QTest::newRow("the second starts before the first makes MD.dat") << false;
}

// Two copies started at once on one book before its "MD.dat" exists, the
// second through a link from another folder: exactly one holds the book,
// the other is told. The first copy's steps are watched, so that the second
// starts at the very moment the race was lost before.
void TestInstanceGuard::copiesStartedAtOnceHoldTheBookOnce()
{
    QFETCH(bool, whileMade);
    if (const char *reason = TestSystem::missing(TestSystem::Feature::SymbolicLinks))
        QSKIP(reason);
    QTemporaryDir a;
    QTemporaryDir b;
    QVERIFY(QFile::link(a.filePath("MD.dat"), b.filePath("MD.dat")));
    std::optional<BookLock> second;
    std::optional<BookLock> first;
    {
        const AtStep secondStart(whileMade ? SystemFiles::Step::Kind::Create : SystemFiles::Step::Kind::Open,
                                 [&] { second.emplace(b.path(), QStringList{b.filePath("MD.dat")}); });
        first.emplace(a.path(), QStringList{a.filePath("MD.dat")});
    }
    QVERIFY(second.has_value());
    const int holders = int(first->state() == BookLock::State::Held) + int(second->state() == BookLock::State::Held);
    QCOMPARE(holders, 1);
    const BookLock &refused = first->state() == BookLock::State::Held ? *second : *first;
    QVERIFY(refused.error().kind == Error::Kind::BookInUse || refused.error().kind == Error::Kind::FileOpen);
}

void TestInstanceGuard::readerCannotHoldTheBook_data()
{
    QTest::addColumn<QStringList>("command");  // what the reader runs on the book, %1 its folder
    QTest::newRow("flock on the folder") << QStringList{"flock", "-n", "%1", "sleep", "30"};
    QTest::newRow("flock on MD.dat") << QStringList{"flock", "-n", "%1/MD.dat", "sleep", "30"};
    QTest::newRow("flock on Item.dat") << QStringList{"flock", "-n", "%1/Item.dat", "sleep", "30"};
}

// Another user who may only read the owner's book (folder 0755, files 0644,
// as tools/install.sh makes them) locks what he can: the owner still holds
// his book.
void TestInstanceGuard::readerCannotHoldTheBook()
{
    QFETCH(QStringList, command);
    if (const char *reason = TestSystem::missing(TestSystem::Feature::OtherUser))
        QSKIP(reason);
    QTemporaryDir book;
    QFile::setPermissions(book.path(), QFileDevice::Permissions(0x7755));
    const QStringList files{book.filePath("MD.dat"), book.filePath("Item.dat")};
    for (const QString &path : files) {
        QFile data(path);
        QVERIFY(data.open(QIODevice::WriteOnly));
        data.write(QByteArray(24, '\0'));
    }
    QProcess reader;
    reader.start("setpriv", QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups"}
                                + command.replaceInStrings("%1", book.path()));
    QVERIFY(reader.waitForStarted());
    QTest::qWait(300);
    QCOMPARE(reader.state(), QProcess::Running);
    const BookLock owner(book.path(), files);
    reader.kill();
    reader.waitForFinished();
    QCOMPARE(owner.state(), BookLock::State::Held);
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
    QTest::newRow("Item.dat a link to where the holder's own link saved") << "Item.dat" << "saved through a link";
}

// Another folder whose book file leads into the book a copy holds: its
// start meets that copy's lock, whatever way leads there.
void TestInstanceGuard::bookFilesMeetTheHolderLock()
{
    QFETCH(QString, file);
    QFETCH(QString, way);
    QTemporaryDir held;
    QTemporaryDir other;
    QTemporaryDir store;
    const auto files = [](const QTemporaryDir &dir) { return QStringList{dir.filePath("MD.dat"), dir.filePath("Item.dat")}; };
    for (const QString &path : files(held)) {
        QFile data(path);
        QVERIFY(data.open(QIODevice::WriteOnly));
        data.write(QByteArray(24, '\0'));
    }
    // The holder's own book file a link of his to a folder of his.
    const bool throughLink = way == "saved through a link";
    if (throughLink) {
        if (const char *reason = TestSystem::missing(TestSystem::Feature::SymbolicLinks))
            QSKIP(reason);
        QVERIFY(QFile::rename(held.filePath(file), store.filePath(file)));
        QVERIFY(QFile::link(store.filePath(file), held.filePath(file)));
    }
    const BookLock first(held.path(), files(held));
    QCOMPARE(first.state(), BookLock::State::Held);
    const QString target = throughLink ? store.filePath(file) : held.filePath(file);
    const QString path = other.filePath(file);
    if (throughLink) {
        QVERIFY(!replaceAtomically(held.filePath(file), [](QIODevice &device) { return writeAll(device, "\"x\"\r\n"); }));
        QVERIFY(QFile::link(target, path));
    } else if (way == "link") {
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
    const QStringList files{dir.filePath("MD.dat")};
    {
        const BookLock first(dir.path(), files);
        QCOMPARE(first.state(), BookLock::State::Held);
    }
    const BookLock next(dir.path(), files);
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
