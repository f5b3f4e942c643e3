// Every file fault gives a clear report and loses nothing: for each fault
// the program reports the file's full path and the system's reason, ends,
// and leaves every file of the application directory byte for byte as it
// was, with no half-written file beside them. File permissions only bite
// for an ordinary user: ctest runs this suite as "nobody" when it is root.
#include "BookLock.h"
#include "FileService.h"
#include "Module1.h"
#include "UiNames.h"
#include "NamesFormat.h"
#include "Pages.h"
#include "PowerLoss.h"
#include "StepWatchers.h"
#include "ProgramHarness.h"
#include "SystemFiles.h"
#include "TestFiles.h"
#include "TestSystem.h"
#include "TotalsFormat.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>


using namespace kakeibo;

namespace {

enum class Fault {
    TotalsReadOnly,
    TotalsUnreadable,
    TotalsIsDirectory,
    DirectoryNotWritable,
    NamesGoneDirectoryNotWritable,
    NamesReadOnly,
    NamesUnreadable,
    NamesIsFifo,
    NamesIsFifoWithWriter,
    NamesIsDevice,
    NamesTooLarge,
    TotalsIsFifo,
    TotalsIsDevice,
    IconUnreadable,
    IconIsFifo,
    IconIsDevice,
    IconIsDirectory,
    TotalsDanglingLink,
};

enum class Action { Start, Book, Rename, Correct };

// Why a fault cannot be made on this system, or nullptr.
const char *unsupported(Fault fault)
{
    using TestSystem::Feature;
    switch (fault) {
    case Fault::TotalsIsDirectory:
    case Fault::IconIsDirectory:
    case Fault::NamesTooLarge:
        return nullptr;
    case Fault::NamesIsFifo:
    case Fault::NamesIsFifoWithWriter:
    case Fault::TotalsIsFifo:
    case Fault::IconIsFifo:
        return TestSystem::missing(Feature::FifosInFolders);
    case Fault::NamesIsDevice:
    case Fault::TotalsIsDevice:
    case Fault::IconIsDevice:
    case Fault::TotalsDanglingLink:
        return TestSystem::missing(Feature::SymbolicLinks);
    default:
        return TestSystem::missing(Feature::BindingPermissions);
    }
}

// Every file of the directory with its bytes ("name/" for a directory,
// "name|" for anything else that is no regular file, which is not read).
QMap<QString, QByteArray> snapshot(const QString &dir)
{
    QMap<QString, QByteArray> files;
    for (const QFileInfo &entry : QDir(dir).entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden
                                                          | QDir::NoDotAndDotDot)) {
        QFile file(entry.filePath());
        if (entry.isDir())
            files.insert(entry.fileName() + "/", {});
        else if (!entry.isFile())
            files.insert(entry.fileName() + "|", entry.symLinkTarget().toUtf8());
        else
            files.insert(entry.fileName(), file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>");
    }
    return files;
}

void setMode(const QString &path, QFileDevice::Permissions permissions)
{
    TEST_REQUIRE(QFile::setPermissions(path, permissions));
}

constexpr auto kReadOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
constexpr auto kReadWrite = kReadOnly | QFileDevice::WriteOwner;
constexpr auto kDirectory = kReadOnly | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;

void replaceByFifo(const QString &path)
{
    QFile::remove(path);
    TEST_REQUIRE(TestSystem::makeFifo(path));
}

void replaceByLink(const QString &path, const QString &target)
{
    QFile::remove(path);
    TEST_REQUIRE(QFile::link(target, path));
}

// The writer that holds a FIFO open, while a case needs one.
std::optional<QFile> writer;

void inflict(ProgramHarness &program, Fault fault)
{
    switch (fault) {
    case Fault::TotalsReadOnly:
        setMode(program.path("MD.dat"), kReadOnly);
        break;
    case Fault::TotalsUnreadable:
        setMode(program.path("MD.dat"), QFileDevice::WriteOwner);
        break;
    case Fault::TotalsIsDirectory:
        TEST_REQUIRE(QFile::remove(program.path("MD.dat")));
        TEST_REQUIRE(QDir(program.path("")).mkdir("MD.dat"));
        break;
    case Fault::DirectoryNotWritable:
        setMode(program.path(""), kDirectory);
        break;
    case Fault::NamesGoneDirectoryNotWritable:
        TEST_REQUIRE(QFile::remove(program.path("Item.dat")));
        setMode(program.path(""), kDirectory);
        break;
    case Fault::NamesReadOnly:
        setMode(program.path("Item.dat"), kReadOnly);
        break;
    case Fault::NamesUnreadable:
        setMode(program.path("Item.dat"), QFileDevice::WriteOwner);
        break;
    case Fault::NamesIsFifo:
        replaceByFifo(program.path("Item.dat"));
        break;
    case Fault::NamesIsFifoWithWriter:
        replaceByFifo(program.path("Item.dat"));
        writer.emplace(program.path("Item.dat"));
        TEST_REQUIRE(writer->open(QIODevice::ReadWrite | QIODevice::Unbuffered));
        break;
    case Fault::NamesIsDevice:
        replaceByLink(program.path("Item.dat"), "/dev/zero");
        break;
    case Fault::NamesTooLarge:
        TEST_REQUIRE(QFile::resize(program.path("Item.dat"), NamesFormat::kMaxFileBytes + 1));
        break;
    case Fault::TotalsIsFifo:
        replaceByFifo(program.path("MD.dat"));
        break;
    case Fault::TotalsIsDevice:
        replaceByLink(program.path("MD.dat"), "/dev/zero");
        break;
    case Fault::IconUnreadable:
        setMode(program.path("Icon.ico"), QFileDevice::WriteOwner);
        break;
    case Fault::IconIsFifo:
        replaceByFifo(program.path("Icon.ico"));
        break;
    case Fault::IconIsDevice:
        replaceByLink(program.path("Icon.ico"), "/dev/zero");
        break;
    case Fault::TotalsDanglingLink:
        replaceByLink(program.path("MD.dat"), program.path("elsewhere.dat"));
        break;
    case Fault::IconIsDirectory:
        TEST_REQUIRE(QFile::remove(program.path("Icon.ico")));
        TEST_REQUIRE(QDir(program.path("")).mkdir("Icon.ico"));
        break;
    }
}

void act(ProgramHarness &program, Action action)
{
    switch (action) {
    case Action::Start:
        break;
    case Action::Book:
        EntryPage(program).bookWithEnter(1, "500");
        break;
    case Action::Rename:
        program.whileModal(Ui::mnuChange, [](QWidget *window) {
            auto *name = window->findChild<QLineEdit *>("txtKoumoku_0");
            name->setText("外食");
            QTest::keyClick(name, Qt::Key_Return);
        });
        break;
    case Action::Correct:
        program.whileModal(Ui::mnuRevision, [](QWidget *window) {
            auto *total = window->findChild<QLineEdit *>("txtKoumoku_0");
            total->setText("777");
            QTest::keyClick(total, Qt::Key_Return);
        });
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(SystemFiles::Step::Kind)

class TestFileFaults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void faultIsReportedAndNothingIsLost_data();
    void faultIsReportedAndNothingIsLost();
    void changesWorkInUnwritableDirectory_data();
    void changesWorkInUnwritableDirectory();
    void saveOnFullDiskKeepsTheOldFile_data();
    void saveOnFullDiskKeepsTheOldFile();
    void linkSwappedBetweenCheckAndOpen_data();
    void linkSwappedBetweenCheckAndOpen();
    void everySaveOutlastsAPowerLoss_data();
    void everySaveOutlastsAPowerLoss();
    void failedStepOfASaveIsReported_data();
    void failedStepOfASaveIsReported();
};

void TestFileFaults::initTestCase()
{
    if (TestSystem::missing(TestSystem::Feature::BindingPermissions))
        return;  // the cases that need them are skipped one by one
    QTemporaryDir dir;
    const QString probe = dir.filePath("probe");
    QFile(probe).open(QIODevice::WriteOnly);
    QFile::setPermissions(probe, kReadOnly);
    QFile file(probe);
    QVERIFY2(!file.open(QIODevice::WriteOnly), "permissions do not bind this user: run the suite through ctest");
}

void TestFileFaults::faultIsReportedAndNothingIsLost_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("reason");  // what the report says of the file, besides the system's words
    QTest::newRow("MD.dat read-only, start") << Fault::TotalsReadOnly << Action::Start << "MD.dat" << "";
    QTest::newRow("MD.dat unreadable, start") << Fault::TotalsUnreadable << Action::Start << "MD.dat" << "";
    QTest::newRow("MD.dat a directory, start") << Fault::TotalsIsDirectory << Action::Start << "MD.dat" << "";
    QTest::newRow("directory not writable, start without MD.dat")
        << Fault::DirectoryNotWritable << Action::Start << "" << "";
    QTest::newRow("Item.dat unreadable, start") << Fault::NamesUnreadable << Action::Start << "Item.dat" << "";
    QTest::newRow("Icon.ico unreadable, start") << Fault::IconUnreadable << Action::Start << "Icon.ico" << "";
    QTest::newRow("Icon.ico a FIFO, start")
        << Fault::IconIsFifo << Action::Start << "Icon.ico" << "名前付きパイプ (FIFO) です";
    QTest::newRow("Icon.ico a link to /dev/zero, start")
        << Fault::IconIsDevice << Action::Start << "Icon.ico" << "デバイスです";
    QTest::newRow("Icon.ico a directory, start") << Fault::IconIsDirectory << Action::Start << "Icon.ico" << "フォルダです";
    QTest::newRow("Item.dat a FIFO, start")
        << Fault::NamesIsFifo << Action::Start << "Item.dat" << "名前付きパイプ (FIFO) です";
    // A FIFO held open by a writer gives no end of file: only the refusal
    // at the open keeps the start from waiting for it.
    QTest::newRow("Item.dat a FIFO with a writer, start")
        << Fault::NamesIsFifoWithWriter << Action::Start << "Item.dat" << "名前付きパイプ (FIFO) です";
    QTest::newRow("Item.dat a link to /dev/zero, start")
        << Fault::NamesIsDevice << Action::Start << "Item.dat" << "デバイスです";
    QTest::newRow("Item.dat past the size limit, start")
        << Fault::NamesTooLarge << Action::Start << "Item.dat"
        << QStringLiteral("%1 バイトを超えています").arg(NamesFormat::kMaxFileBytes);
    QTest::newRow("MD.dat a FIFO, start") << Fault::TotalsIsFifo << Action::Start << "MD.dat" << "名前付きパイプ (FIFO) です";
    QTest::newRow("MD.dat a link to a missing file, start")
        << Fault::TotalsDanglingLink << Action::Start << "MD.dat" << "リンク先のファイルがありません";
    QTest::newRow("MD.dat a link to a missing file, booking")
        << Fault::TotalsDanglingLink << Action::Book << "MD.dat" << "リンク先のファイルがありません";
    QTest::newRow("MD.dat a link to /dev/zero, start")
        << Fault::TotalsIsDevice << Action::Start << "MD.dat" << "デバイスです";
    QTest::newRow("Item.dat a FIFO, correction")
        << Fault::NamesIsFifo << Action::Correct << "Item.dat" << "名前付きパイプ (FIFO) です";
    QTest::newRow("MD.dat a link to /dev/zero, booking")
        << Fault::TotalsIsDevice << Action::Book << "MD.dat" << "デバイスです";
    QTest::newRow("MD.dat read-only, booking")
        << Fault::TotalsReadOnly << Action::Book << "MD.dat" << "";
    QTest::newRow("MD.dat a directory, booking") << Fault::TotalsIsDirectory << Action::Book << "MD.dat" << "";
    QTest::newRow("MD.dat read-only, correction") << Fault::TotalsReadOnly << Action::Correct << "MD.dat" << "";
    QTest::newRow("Item.dat read-only, renaming") << Fault::NamesReadOnly << Action::Rename << "Item.dat" << "";
    // The directory refuses the new "Item.dat": the report names the directory.
    QTest::newRow("Item.dat gone, directory not writable, renaming")
        << Fault::NamesGoneDirectoryNotWritable << Action::Rename << "" << "";
    // "Item.dat" is never rewritten in place, where a power loss could leave
    // part of it old and part new: a folder that takes no new file refuses
    // the renaming before any byte changes.
    QTest::newRow("directory not writable, renaming") << Fault::DirectoryNotWritable << Action::Rename << "" << "";
}

void TestFileFaults::faultIsReportedAndNothingIsLost()
{
    QFETCH(Fault, fault);
    QFETCH(Action, action);
    QFETCH(QString, file);
    QFETCH(QString, reason);
    if (const char *missing = unsupported(fault))
        QSKIP(missing);
    ProgramHarness program;
    const bool atStart = action == Action::Start;
    if (!(atStart && fault == Fault::DirectoryNotWritable))
        program.writeFile("MD.dat", TotalsFormat::encode({1, 2, 3, 4, 5, 6}));
    if (atStart)
        inflict(program, fault);
    else
        QVERIFY(program.start());
    if (!atStart)
        inflict(program, fault);
    const auto before = snapshot(program.path(""));

    // A FIFO or a device is refused at once, never waited on: a wait for a
    // writer or an end of file would hold this test until its timeout.
    if (atStart)
        QVERIFY(!program.start());
    else
        act(program, action);

    QCOMPARE(program.endCodes, QList<int>{1});
    QCOMPARE(program.messages.size(), 1);
    QCOMPARE(program.events, QStringList({"fatal", "end 1"}));
    const QString report = program.lastMessage();
    // The file, or "" for the folder, is named with the system's reason.
    QVERIFY2(report.contains(QStringLiteral(": %1\n理由: %2").arg(program.path(file), reason)), qPrintable(report));
    QCOMPARE(snapshot(program.path("")), before);
    writer.reset();
    setMode(program.path(""), kDirectory | QFileDevice::WriteOwner);
}

void TestFileFaults::changesWorkInUnwritableDirectory_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("booking") << Action::Book << "MD.dat" << TotalsFormat::encode({1, 502, 3, 4, 5, 6});
    QTest::newRow("correction") << Action::Correct << "MD.dat" << TotalsFormat::encode({777, 2, 3, 4, 5, 6});
}

// With a writable "MD.dat" in a directory that takes no new file, a booking
// and a correction work.
void TestFileFaults::changesWorkInUnwritableDirectory()
{
    QFETCH(Action, action);
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    if (const char *reason = TestSystem::missing(TestSystem::Feature::BindingPermissions))
        QSKIP(reason);
    ProgramHarness program;
    program.writeFile("MD.dat", TotalsFormat::encode({1, 2, 3, 4, 5, 6}));
    setMode(program.path("MD.dat"), kReadWrite);
    setMode(program.path("Item.dat"), kReadWrite);
    setMode(program.path(""), kDirectory);
    QVERIFY(program.start());
    act(program, action);
    QVERIFY2(program.messages.isEmpty(), qPrintable(program.lastMessage()));
    QCOMPARE(program.readFile(file), bytes);
    setMode(program.path(""), kDirectory | QFileDevice::WriteOwner);
}

void TestFileFaults::saveOnFullDiskKeepsTheOldFile_data()
{
    QTest::addColumn<int>("pagesLeft");  // free pages of the disk: none, or fewer than the new file needs
    QTest::newRow("no room at all") << 0;
    QTest::newRow("room for part of it, a short write") << 1;
}

// A full disk: the renaming's new file cannot be written whole, the old
// "Item.dat" stays whole, no new file is left beside it, and the message
// gives the system's reason.
void TestFileFaults::saveOnFullDiskKeepsTheOldFile()
{
    QFETCH(int, pagesLeft);
    const QString disk = qEnvironmentVariable("KAKEIBO_TINY_DISK");
    if (disk.isEmpty())
        QSKIP("no tmpfs of the suite's own: mounting one needs root (CI runs the suite from root)");
    const QString dir = QDir(disk).filePath("book");
    TEST_REQUIRE(QDir(disk).mkdir("book"));
    ProgramHarness program(dir);
    const NamesFormat::Names names{QString(700, QChar(u'食')), "趣味", "光熱費", "電話代", "洗濯代", "その他"};
    program.writeFile("Item.dat", NamesFormat::encode(names));
    QVERIFY(program.start());
    const auto before = snapshot(dir);
    QFile filler(QDir(disk).filePath("filler"));
    TEST_REQUIRE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'x')) > 0) {
    }
    while (filler.write("x", 1) > 0) {
    }
    constexpr qint64 kPage = 4096;
    TEST_REQUIRE(filler.resize(((filler.size() + kPage - 1) / kPage - pagesLeft) * kPage));
    program.whileModal(Ui::mnuChange, [](QWidget *window) {
        auto *name = window->findChild<QLineEdit *>(Controls::arrayName(Ui::txtKoumoku, 0));
        name->setText(QString(3000, QChar(u'長')));  // 6,000 bytes in the file: two pages
        QTest::keyClick(name, Qt::Key_Return);
    });
    QCOMPARE(program.endCodes, QList<int>{1});
    const QString reason = QString::fromLocal8Bit(std::strerror(ENOSPC));
    QVERIFY2(program.lastMessage().contains(QStringLiteral(": %1\n理由: %2").arg(program.path("Item.dat"), reason)),
             qPrintable(program.lastMessage()));
    QCOMPARE(snapshot(dir), before);
    filler.remove();
    TEST_REQUIRE(QDir(dir).removeRecursively());
}

void TestFileFaults::linkSwappedBetweenCheckAndOpen_data()
{
    QTest::addColumn<bool>("swapTheLink");  // else the file it names is replaced by a link
    QTest::addColumn<QString>("refusal");   // the reason reported, or "" for a booking that lands
    QTest::newRow("MD.dat's link swapped for one to another file") << true << "";
    QTest::newRow("the file MD.dat's link names replaced by a link") << false
                                                                     << QStringLiteral("開く間にリンクに置き換えられました");
}

// "MD.dat" is a link of the user's to his book elsewhere; between the
// check of the link and the open, it (or the file it names) is made to lead
// to another file. What is opened is what was checked: the booking lands in
// the book, or is refused, and the other file is never written.
void TestFileFaults::linkSwappedBetweenCheckAndOpen()
{
    QFETCH(bool, swapTheLink);
    QFETCH(QString, refusal);
    if (const char *reason = TestSystem::missing(TestSystem::Feature::SymbolicLinks))
        QSKIP(reason);
    QTemporaryDir elsewhere;
    const QString book = elsewhere.filePath("MD.dat");
    const QString other = elsewhere.filePath("other.dat");
    TestFiles::write(book, TotalsFormat::encode({1, 2, 3, 4, 5, 6}));
    TestFiles::write(other, "another file of the user's");
    ProgramHarness program;
    QVERIFY(QFile::link(book, program.path("MD.dat")));
    QVERIFY(program.start());
    const QString moved = swapTheLink ? program.path("MD.dat") : book;
    {
        const AtStep swap(SystemFiles::Step::Kind::Open, [&] {
            QFile::link(other, moved + ".new");
            QFile::rename(moved, moved + ".old");
            QFile::rename(moved + ".new", moved);
        });
        EntryPage(program).bookWithEnter(1, "500");
    }
    QCOMPARE(TestFiles::read(other), QByteArray("another file of the user's"));
    if (refusal.isEmpty()) {
        QVERIFY2(program.messages.isEmpty(), qPrintable(program.lastMessage()));
        QCOMPARE(TestFiles::read(book), TotalsFormat::encode({1, 502, 3, 4, 5, 6}));
    } else {
        QVERIFY2(program.lastMessage().contains(refusal), qPrintable(program.lastMessage()));
    }
}

void TestFileFaults::everySaveOutlastsAPowerLoss_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("firstStart");
    QTest::addColumn<bool>("refused");
    QTest::newRow("a booking") << Action::Book << false << false;
    QTest::newRow("a correction") << Action::Correct << false << false;
    QTest::newRow("a renaming") << Action::Rename << false << false;
    QTest::newRow("a renaming refused in a folder that takes no new file") << Action::Rename << false << true;
    QTest::newRow("the first start, then a booking") << Action::Book << true << false;
}

// A power loss at any point of a save leaves "MD.dat" and "Item.dat" each
// the old whole or the new whole, and none once the program has said the
// save is done (PowerLoss: what was not forced onto the device is dropped).
void TestFileFaults::everySaveOutlastsAPowerLoss()
{
    QFETCH(Action, action);
    QFETCH(bool, firstStart);
    QFETCH(bool, refused);
    if (refused && TestSystem::missing(TestSystem::Feature::BindingPermissions))
        QSKIP(TestSystem::missing(TestSystem::Feature::BindingPermissions));
    ProgramHarness program;
    if (!firstStart)
        program.writeFile("MD.dat", TotalsFormat::encode({1, 2, 3, 4, 5, 6}));
    std::optional<PowerLoss> disk(std::in_place, program.path(""));
    // The first start makes "MD.dat" as it takes the book's lock.
    std::optional<BookLock> lock;
    if (firstStart)
        lock.emplace(program.path(""), Module1::bookFiles(program.frame()));
    QVERIFY(program.start());
    if (refused)
        setMode(program.path(""), kDirectory);
    act(program, action);
    setMode(program.path(""), kDirectory | QFileDevice::WriteOwner);
    QCOMPARE(program.messages.isEmpty(), !refused);
    const int steps = disk->steps();
    const PowerLoss::Files before = disk->written(0);
    const PowerLoss::Files after = disk->written(steps);
    for (const QString name : {"MD.dat", "Item.dat"}) {
        // The watcher saw every change the disk holds.
        QCOMPARE(after.value(name), program.readFile(name));
        const bool changes = action == Action::Rename ? name == "Item.dat" : name == "MD.dat";
        QCOMPARE(after.value(name) != before.value(name), changes && !refused);
    }
    for (int step = 0; step <= steps; ++step) {
        for (const PowerLoss::Files &state : disk->afterPowerLoss(step)) {
            for (const QString name : {"MD.dat", "Item.dat"}) {
                // A missing or empty "MD.dat" is the book before its first booking.
                const bool old = state.value(name) == before.value(name)
                                 || (!before.contains(name) && state.value(name).isEmpty());
                const bool fresh = state.contains(name) && state.value(name) == after.value(name);
                const bool done = step == steps && !refused;
                QVERIFY2(done ? fresh : old || fresh,
                         qPrintable(QStringLiteral("%1 after %2 steps (%3): %4 bytes")
                                        .arg(name).arg(step).arg(disk->describe(step - 1))
                                        .arg(state.value(name).size())));
            }
        }
    }
    disk.reset();
}

void TestFileFaults::failedStepOfASaveIsReported_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<SystemFiles::Step::Kind>("step");
    QTest::addColumn<QString>("named");   // the file or folder the message names
    QTest::addColumn<bool>("changed");    // whether "Item.dat" holds the new names
    QTest::addColumn<bool>("bySystem");   // refused by the system call itself, else at the watcher
    using Kind = SystemFiles::Step::Kind;
    for (const bool bySystem : {false, true}) {
        const char *where = bySystem ? "the system call" : "the step";
        QTest::addRow("booking, not forced (%s)", where) << Action::Book << Kind::Sync << "MD.dat" << false << bySystem;
        QTest::addRow("correction, not forced (%s)", where)
            << Action::Correct << Kind::Sync << "MD.dat" << false << bySystem;
        QTest::addRow("renaming, not forced (%s)", where)
            << Action::Rename << Kind::Sync << "Item.dat" << false << bySystem;
        // (a bind mount onto "Item.dat" refuses the rename with EBUSY)
        QTest::addRow("renaming, the rename refused (%s)", where)
            << Action::Rename << Kind::Rename << "Item.dat" << false << bySystem;
        QTest::addRow("renaming, the folder not forced (%s)", where)
            << Action::Rename << Kind::SyncDirectory << "" << true << bySystem;
    }
}

// The system call that carries a step of a save.
TestSystem::SystemCall callOf(SystemFiles::Step::Kind step)
{
    using Call = TestSystem::SystemCall;
    using Kind = SystemFiles::Step::Kind;
    return step == Kind::Rename ? Call::Rename : step == Kind::SyncDirectory ? Call::SyncFolder : Call::SyncFile;
}

// A step of a save that the system refuses (forcing the data or the folder
// onto the device, the rename into place) is a failure: reported with the
// file or folder and the system's reason before the program ends, and no
// new file is left beside the book. Refused by the system call itself, the
// platform layer must see the refusal, not take the call for done.
void TestFileFaults::failedStepOfASaveIsReported()
{
    QFETCH(Action, action);
    QFETCH(SystemFiles::Step::Kind, step);
    QFETCH(QString, named);
    QFETCH(bool, changed);
    QFETCH(bool, bySystem);
    ProgramHarness program;
    QVERIFY(program.start());
    const QByteArray names = program.readFile("Item.dat");
    const int code = TestSystem::deviceErrorCode();
    if (bySystem) {
        const auto restore = qScopeGuard([] { TestSystem::restoreSystemCalls(); });
        if (!TestSystem::failSystemCall(callOf(step), code))
            QSKIP("no stand-in for the system's calls on this system");
        act(program, action);
    } else {
        const FailingStep failing(step, code);
        act(program, action);
    }
    QCOMPARE(program.events, QStringList({"fatal", "end 1"}));
    QVERIFY2(program.lastMessage().contains(QStringLiteral(": %1\n理由: %2").arg(program.path(named),
                                                                                   SystemFiles::reasonFor(code))),
             qPrintable(program.lastMessage()));
    QCOMPARE(program.readFile("Item.dat") != names, changed);
    QCOMPARE(QDir(program.path("")).entryList(QDir::Files).size(), 3);  // Icon.ico, Item.dat, MD.dat
}

QTEST_MAIN(TestFileFaults)
#include "tst_filefaults.moc"
