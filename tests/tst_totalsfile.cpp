// "MD.dat": the byte image of the six totals, what a read makes of short
// and long files, and the errors of a failing device or file.
#include "FailDevice.h"
#include "TestFiles.h"
#include "FileService.h"
#include "TotalsFile.h"
#include "TotalsFormat.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kakeibo;
using Totals = TotalsFormat::Totals;

Q_DECLARE_METATYPE(Totals)

namespace {

QByteArray exampleImage()
{
    return QByteArray::fromHex("2C010000" + QByteArray(32, '0') + "38FFFFFF");
}

} // namespace

class TestTotalsFile : public QObject {
    Q_OBJECT

private slots:
    void imageIsSixLittleEndianTotals_data();
    void imageIsSixLittleEndianTotals();
    void shortImageReadsZerosWhereItEnds_data();
    void shortImageReadsZerosWhereItEnds();
    void writeKeepsBytesPastTheImage();
    void failingDeviceReportsWriteError_data();
    void failingDeviceReportsWriteError();
    void failingDeviceReportsReadError_data();
    void failingDeviceReportsReadError();
    void loadCreatesMissingFileEmpty();
    void saveWritesTwentyFourBytesAndKeepsTail();
    void fileThatMayNotBeWrittenIsRefused_data();
    void fileThatMayNotBeWrittenIsRefused();
    void pathWithDoubleSeparatorNamesTheFile();
    void fileNumbersAreLowestFree();
};

void TestTotalsFile::imageIsSixLittleEndianTotals_data()
{
    QTest::addColumn<Totals>("totals");
    QTest::addColumn<QByteArray>("image");
    QTest::newRow("example") << Totals{300, 0, 0, 0, 0, -200} << exampleImage();
    QTest::newRow("zeros") << Totals{} << QByteArray(24, '\0');
    QTest::newRow("extremes")
        << Totals{2147483647, int32_t(-2147483648LL), -1, 1, 256, 65536}
        << QByteArray::fromHex("FFFFFF7F" "00000080" "FFFFFFFF" "01000000" "00010000" "00000100");
}

void TestTotalsFile::imageIsSixLittleEndianTotals()
{
    QFETCH(Totals, totals);
    QFETCH(QByteArray, image);
    QCOMPARE(TotalsFormat::encode(totals), image);
    QCOMPARE(TotalsFormat::decode(image), totals);
}

void TestTotalsFile::shortImageReadsZerosWhereItEnds_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<Totals>("totals");
    QTest::newRow("empty") << QByteArray() << Totals{};
    QTest::newRow("one total") << QByteArray::fromHex("2C010000") << Totals{300, 0, 0, 0, 0, 0};
    QTest::newRow("half a total") << QByteArray::fromHex("2C010000" "0501") << Totals{300, 0x105, 0, 0, 0, 0};
}

void TestTotalsFile::shortImageReadsZerosWhereItEnds()
{
    QFETCH(QByteArray, image);
    QFETCH(Totals, totals);
    QBuffer buffer(&image);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const auto read = TotalsFormat::read(buffer);
    QVERIFY(read.ok());
    QCOMPARE(read.value(), totals);
}

void TestTotalsFile::writeKeepsBytesPastTheImage()
{
    QByteArray bytes = QByteArray(24, '\x11') + "ABCDEF";
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadWrite));
    QVERIFY(!TotalsFormat::write(buffer, {300, 0, 0, 0, 0, -200}));
    QCOMPARE(bytes, exampleImage() + "ABCDEF");
}

void TestTotalsFile::failingDeviceReportsWriteError_data()
{
    QTest::addColumn<qint64>("accepted");
    QTest::newRow("nothing written") << qint64(0);
    QTest::newRow("torn after ten bytes") << qint64(10);
}

void TestTotalsFile::failingDeviceReportsWriteError()
{
    QFETCH(qint64, accepted);
    FailDevice device(accepted);
    QVERIFY(device.open(QIODevice::ReadWrite));
    const auto error = TotalsFormat::write(device, {1, 2, 3, 4, 5, 6});
    QVERIFY(error.has_value());
    QCOMPARE(error->kind, Error::Kind::FileWrite);
    QCOMPARE(error->reason, QStringLiteral("No space left on device"));
}

void TestTotalsFile::failingDeviceReportsReadError_data()
{
    QTest::addColumn<qint64>("given");
    QTest::newRow("nothing read") << qint64(0);
    QTest::newRow("torn after ten bytes") << qint64(10);
}

// A read that fails midway is an error, never a short file read as zeros.
void TestTotalsFile::failingDeviceReportsReadError()
{
    QFETCH(qint64, given);
    FailDevice device(0, given);
    device.setData(TotalsFormat::encode({1, 2, 3, 4, 5, 6}));
    QVERIFY(device.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    const auto totals = TotalsFormat::read(device);
    QVERIFY(!totals.ok());
    QCOMPARE(totals.error().kind, Error::Kind::FileRead);
    QCOMPARE(totals.error().reason, QStringLiteral("Input/output error"));
}

void TestTotalsFile::loadCreatesMissingFileEmpty()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("MD.dat");
    const auto totals = TotalsFile::load(path);
    QVERIFY(totals.ok());
    QCOMPARE(totals.value(), Totals{});
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFileInfo(path).size(), qint64(0));
}

void TestTotalsFile::saveWritesTwentyFourBytesAndKeepsTail()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("MD.dat");
    QVERIFY(!TotalsFile::save(path, {300, 0, 0, 0, 0, -200}));
    QCOMPARE(TestFiles::read(path), exampleImage());

    TestFiles::write(path, QByteArray(24, '\x7F') + "tail!!");
    QCOMPARE(TotalsFile::load(path).value(), TotalsFormat::decode(QByteArray(24, '\x7F')));
    QVERIFY(!TotalsFile::save(path, {300, 0, 0, 0, 0, -200}));
    QCOMPARE(TestFiles::read(path), exampleImage() + "tail!!");
}

void TestTotalsFile::fileThatMayNotBeWrittenIsRefused_data()
{
    QTest::addColumn<bool>("folder");  // else a read-only file
    QTest::addColumn<QString>("reason");  // "" for the system's own words
    QTest::newRow("a folder in its place") << true << "";
    // Root may open it for writing: the owner's read-only mode is kept all the same.
    QTest::newRow("read-only, even for root") << false << QStringLiteral("読み取り専用のファイルです");
}

void TestTotalsFile::fileThatMayNotBeWrittenIsRefused()
{
    QFETCH(bool, folder);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("MD.dat");
    if (folder) {
        QVERIFY(QDir(dir.path()).mkdir("MD.dat"));
    } else {
        TestFiles::write(path, exampleImage());
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    }
    const auto error = TotalsFile::save(path, {});
    QVERIFY(error.has_value());
    QCOMPARE(error->kind, Error::Kind::FileOpen);
    QCOMPARE(error->subject, path);
    QVERIFY(!error->reason.isEmpty());
    // Where the system itself refuses (an ordinary user), its reason stands.
    QFile probe(path);
    if (!reason.isEmpty() && probe.open(QIODevice::WriteOnly | QIODevice::Append))
        QCOMPARE(error->reason, reason);
    if (!folder)
        QCOMPARE(TestFiles::read(path), exampleImage());
}

void TestTotalsFile::pathWithDoubleSeparatorNamesTheFile()
{
    QTemporaryDir dir;
    const QString doubled = dir.path() + "//MD.dat";
    QVERIFY(!TotalsFile::save(doubled, {300, 0, 0, 0, 0, -200}));
    QCOMPARE(TestFiles::read(dir.filePath("MD.dat")), exampleImage());
}

void TestTotalsFile::fileNumbersAreLowestFree()
{
    QTemporaryDir dir;
    QCOMPARE(freeFileNumber(), 1);
    BinaryFile first(dir.filePath("a"));
    QVERIFY(!first.open());
    QCOMPARE(first.number(), 1);
    QCOMPARE(freeFileNumber(), 2);
    first.close();
    QCOMPARE(freeFileNumber(), 1);
}

QTEST_APPLESS_MAIN(TestTotalsFile)
#include "tst_totalsfile.moc"
