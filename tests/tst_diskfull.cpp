// A full disk: the application directory on a tiny tmpfs filled to the
// last block. Mounting needs root; the suite runs wherever it may mount
// (CI runs as root) and says so where it may not.
#include "UiNames.h"
#include "NamesFormat.h"
#include "Pages.h"
#include "ProgramHarness.h"
#include "TotalsFormat.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTest>

using namespace kakeibo;

namespace {

// A tmpfs of a few blocks mounted on a temporary directory, for one test.
class TinyDisk {
public:
    TinyDisk()
    {
        m_mounted = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", m_dir.path()}) == 0;
    }
    ~TinyDisk()
    {
        if (m_mounted)
            QProcess::execute("umount", {m_dir.path()});
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

    // Takes every free block with a filler file.
    void fill() const
    {
        QFile filler(QDir(path()).filePath("filler"));
        filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        const QByteArray block(4096, 'x');
        while (filler.write(block) > 0) {
        }
        const QByteArray byte(1, 'x');
        while (filler.write(byte) > 0) {
        }
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestDiskFull : public QObject {
    Q_OBJECT

private slots:
    void init();
    void firstBookingOnFullDiskIsReported();
    void bookingIntoExistingFileNeedsNoSpace();
    void renamingOnFullDiskKeepsOldNames();
};

void TestDiskFull::init()
{
    TinyDisk probe;
    if (!probe.mounted())
        QSKIP("mounting a tmpfs needs root; CI runs this suite as root");
}

void TestDiskFull::firstBookingOnFullDiskIsReported()
{
    TinyDisk disk;
    ProgramHarness program(disk.path());
    QVERIFY(program.start());
    QCOMPARE(program.readFile("MD.dat"), QByteArray());
    disk.fill();
    EntryPage(program).bookWithEnter(0, "300");
    QCOMPARE(program.endCodes, QList<int>{1});
    QVERIFY2(program.lastMessage().contains(program.path("MD.dat")), qPrintable(program.lastMessage()));
    QVERIFY2(program.lastMessage().contains(QStringLiteral("理由: ")), qPrintable(program.lastMessage()));
    QCOMPARE(program.readFile("MD.dat"), QByteArray());
}

void TestDiskFull::bookingIntoExistingFileNeedsNoSpace()
{
    TinyDisk disk;
    ProgramHarness program(disk.path());
    program.writeFile("MD.dat", TotalsFormat::encode({1, 2, 3, 4, 5, 6}));
    QVERIFY(program.start());
    disk.fill();
    EntryPage(program).bookWithEnter(5, "-6");
    QVERIFY(program.messages.isEmpty());
    QCOMPARE(program.readFile("MD.dat"), TotalsFormat::encode({1, 2, 3, 4, 5, 0}));
}

void TestDiskFull::renamingOnFullDiskKeepsOldNames()
{
    TinyDisk disk;
    ProgramHarness program(disk.path());
    QVERIFY(program.start());
    const QByteArray names = program.readFile("Item.dat");
    disk.fill();
    const QStringList before = entries(disk.path());
    program.whileModal(Ui::mnuChange, [](QWidget *window) {
        auto *name = window->findChild<QLineEdit *>("txtKoumoku_0");
        name->setText(QString(3000, QChar(u'長')));
        QTest::keyClick(name, Qt::Key_Return);
    });
    QCOMPARE(program.endCodes, QList<int>{1});
    QVERIFY2(program.lastMessage().contains(program.path("Item.dat")), qPrintable(program.lastMessage()));
    QCOMPARE(program.readFile("Item.dat"), names);
    QCOMPARE(entries(disk.path()), before);
}

QTEST_MAIN(TestDiskFull)
#include "tst_diskfull.moc"
