// Every file fault gives a clear report and loses nothing: for each fault
// the program reports the file's full path and the system's reason, ends,
// and leaves every file of the application directory byte for byte as it
// was, with no half-written file beside them. File permissions only bite
// for an ordinary user: ctest runs this suite as "nobody" when it is root.
#include "ProgramHarness.h"
#include "TotalsFormat.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace kakeibo;

namespace {

enum class Fault {
    TotalsReadOnly,
    TotalsUnreadable,
    TotalsIsDirectory,
    DirectoryNotWritable,
    NamesReadOnly,
    NamesUnreadable,
    IconUnreadable,
};

enum class Action { Start, Book, Rename, Correct };

// Every file of the directory with its bytes ("name/" for a directory).
QMap<QString, QByteArray> snapshot(const QString &dir)
{
    QMap<QString, QByteArray> files;
    for (const QFileInfo &entry : QDir(dir).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        QFile file(entry.filePath());
        if (entry.isDir())
            files.insert(entry.fileName() + "/", {});
        else
            files.insert(entry.fileName(), file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>");
    }
    return files;
}

void setMode(const QString &path, QFileDevice::Permissions permissions)
{
    QVERIFY(QFile::setPermissions(path, permissions));
}

constexpr auto kReadOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
constexpr auto kReadWrite = kReadOnly | QFileDevice::WriteOwner;
constexpr auto kDirectory = kReadOnly | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;

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
        QVERIFY(QFile::remove(program.path("MD.dat")));
        QVERIFY(QDir(program.path("")).mkdir("MD.dat"));
        break;
    case Fault::DirectoryNotWritable:
        setMode(program.path(""), kDirectory);
        break;
    case Fault::NamesReadOnly:
        setMode(program.path("Item.dat"), kReadOnly);
        break;
    case Fault::NamesUnreadable:
        setMode(program.path("Item.dat"), QFileDevice::WriteOwner);
        break;
    case Fault::IconUnreadable:
        setMode(program.path("Icon.ico"), QFileDevice::WriteOwner);
        break;
    }
}

void act(ProgramHarness &program, Action action)
{
    switch (action) {
    case Action::Start:
        break;
    case Action::Book: {
        ProgramHarness::click(program.find<QRadioButton>("frmIO", "optKoumoku", 1));
        auto *amount = program.find<QLineEdit>("frmIO", "txtKingaku");
        ProgramHarness::type(amount, "500");
        QTest::keyClick(amount, Qt::Key_Return);
        break;
    }
    case Action::Rename:
        program.whileModal("mnuChange", [](QWidget *window) {
            auto *name = window->findChild<QLineEdit *>("txtKoumoku_0");
            name->setText("外食");
            QTest::keyClick(name, Qt::Key_Return);
        });
        break;
    case Action::Correct:
        program.whileModal("mnuRevision", [](QWidget *window) {
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

class TestFileFaults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void faultIsReportedAndNothingIsLost_data();
    void faultIsReportedAndNothingIsLost();
    void bookingWorksInUnwritableDirectory();
};

void TestFileFaults::initTestCase()
{
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
    QTest::newRow("MD.dat read-only, start") << Fault::TotalsReadOnly << Action::Start << "MD.dat";
    QTest::newRow("MD.dat unreadable, start") << Fault::TotalsUnreadable << Action::Start << "MD.dat";
    QTest::newRow("MD.dat a directory, start") << Fault::TotalsIsDirectory << Action::Start << "MD.dat";
    QTest::newRow("directory not writable, start without MD.dat")
        << Fault::DirectoryNotWritable << Action::Start << "MD.dat";
    QTest::newRow("Item.dat unreadable, start") << Fault::NamesUnreadable << Action::Start << "Item.dat";
    QTest::newRow("Icon.ico unreadable, start") << Fault::IconUnreadable << Action::Start << "Icon.ico";
    QTest::newRow("MD.dat read-only, booking") << Fault::TotalsReadOnly << Action::Book << "MD.dat";
    QTest::newRow("MD.dat a directory, booking") << Fault::TotalsIsDirectory << Action::Book << "MD.dat";
    QTest::newRow("MD.dat read-only, correction") << Fault::TotalsReadOnly << Action::Correct << "MD.dat";
    QTest::newRow("Item.dat read-only, renaming") << Fault::NamesReadOnly << Action::Rename << "Item.dat";
    QTest::newRow("directory not writable, renaming")
        << Fault::DirectoryNotWritable << Action::Rename << "Item.dat";
}

void TestFileFaults::faultIsReportedAndNothingIsLost()
{
    QFETCH(Fault, fault);
    QFETCH(Action, action);
    QFETCH(QString, file);
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

    if (atStart)
        QVERIFY(!program.start());
    else
        act(program, action);

    QCOMPARE(program.endCodes, QList<int>{1});
    QCOMPARE(program.messages.size(), 1);
    const QString report = program.lastMessage();
    QVERIFY2(report.contains(program.path(file)), qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("理由: ")), qPrintable(report));
    QCOMPARE(snapshot(program.path("")), before);
    setMode(program.path(""), kDirectory | QFileDevice::WriteOwner);
}

void TestFileFaults::bookingWorksInUnwritableDirectory()
{
    ProgramHarness program;
    program.writeFile("MD.dat", TotalsFormat::encode({1, 2, 3, 4, 5, 6}));
    setMode(program.path("MD.dat"), kReadWrite);
    setMode(program.path(""), kDirectory);
    QVERIFY(program.start());
    act(program, Action::Book);
    QVERIFY(program.messages.isEmpty());
    QCOMPARE(program.readFile("MD.dat"), TotalsFormat::encode({1, 502, 3, 4, 5, 6}));
    setMode(program.path(""), kDirectory | QFileDevice::WriteOwner);
}

QTEST_MAIN(TestFileFaults)
#include "tst_filefaults.moc"
