// "Item.dat": the bytes the writer produces in code page 932, the reader's
// rules, the names that cannot be stored, and the atomic replacement that
// keeps the old file whole when a write fails.
#include "Codepage932.h"
#include "FailDevice.h"
#include "TestFiles.h"
#include "FileService.h"
#include "NamesFile.h"
#include "NamesFormat.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kakeibo;
using Names = NamesFormat::Names;

Q_DECLARE_METATYPE(Names)

namespace {

Names designNames()
{
    return {"食費", "趣味", "光熱費", "電話代", "洗濯代", "その他"};
}

QByteArray designFile()
{
    return QByteArray::fromHex("22904894EF220D0A" "228EEF96A1220D0A" "228CF5944D94EF220D0A"
                               "229364986291E3220D0A" "2290F491F391E3220D0A" "2282BB82CC91BC220D0A");
}

} // namespace

class TestNamesFile : public QObject {
    Q_OBJECT

private slots:
    void writerProducesQuotedLines_data();
    void writerProducesQuotedLines();
    void readerFollowsTheRules_data();
    void readerFollowsTheRules();
    void shortFilesAreRefused_data();
    void shortFilesAreRefused();
    void unstorableNamesAreFound_data();
    void unstorableNamesAreFound();
    void inputMethodVariantsAreMapped_data();
    void inputMethodVariantsAreMapped();
    void codePageIsWindows_data();
    void codePageIsWindows();
    void readStopsAtTheSizeCap_data();
    void readStopsAtTheSizeCap();
    void missingFileIsNotFound();
    void saveReplacesTheFile();
    void failedWriteLeavesOldFileWhole_data();
    void failedWriteLeavesOldFileWhole();
    void readOnlyFileIsNotReplaced();
};

void TestNamesFile::writerProducesQuotedLines_data()
{
    QTest::addColumn<Names>("names");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("design-time names") << designNames() << designFile();
    QTest::newRow("commas and spaces")
        << Names{"a,b", "   ", "x", "y", "z", " w "}
        << QByteArray("\"a,b\"\r\n\"   \"\r\n\"x\"\r\n\"y\"\r\n\"z\"\r\n\" w \"\r\n");
    QTest::newRow("code page 932 characters")
        << Names{"～", "①", "㈱", "髙", "－", "＂，"}
        << QByteArray::fromHex("228160220D0A" "228740220D0A" "22878A220D0A" "22FBFC220D0A" "22817C220D0A"
                               "22FA578143220D0A");
}

void TestNamesFile::writerProducesQuotedLines()
{
    QFETCH(Names, names);
    QFETCH(QByteArray, bytes);
    QVERIFY(!NamesFormat::findUnstorable(names));
    QCOMPARE(NamesFormat::encode(names), bytes);
    QCOMPARE(NamesFormat::decode(bytes).value(), names);
}

void TestNamesFile::readerFollowsTheRules_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Names>("names");
    const Names abc{"a", "b", "c", "d", "e", "f"};
    QTest::newRow("six lines") << QByteArray("\"a\"\r\n\"b\"\r\n\"c\"\r\n\"d\"\r\n\"e\"\r\n\"f\"\r\n") << abc;
    QTest::newRow("one line of commas") << QByteArray("\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\r\n") << abc;
    QTest::newRow("mixed") << QByteArray("\"a\",\"b\"\r\n\"c\"\r\n\"d\",\"e\",\"f\"") << abc;
    QTest::newRow("last line without line end") << QByteArray("a\r\nb\r\nc\r\nd\r\ne\r\nf") << abc;
    QTest::newRow("seventh line ignored") << QByteArray("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\n") << abc;
    QTest::newRow("quoted comma") << QByteArray("\"x,y\",b,c,d,e,f") << Names{"x,y", "b", "c", "d", "e", "f"};
    QTest::newRow("leading spaces skipped") << QByteArray("  a,   \"b\",c,d,e,f") << abc;
    QTest::newRow("trailing blanks of unquoted dropped") << QByteArray("a  ,b\t,c,d,e,f  ") << abc;
    QTest::newRow("tabs before a field skipped") << QByteArray("\ta,\t\"b\",c,d,e,f") << abc;
    QTest::newRow("blanks inside quotes kept")
        << QByteArray("\" a \",\"\tb\",c,d,e,f") << Names{" a ", "\tb", "c", "d", "e", "f"};
    QTest::newRow("text after closing quote ignored") << QByteArray("\"a\"xyz,\"b\" ,c,d,e,f") << abc;
    QTest::newRow("empty line is empty name")
        << QByteArray("\"a\"\r\n\r\n\"c\"\r\n\"d\"\r\n\"e\"\r\n\"f\"\r\n") << Names{"a", "", "c", "d", "e", "f"};
    QTest::newRow("nothing between commas") << QByteArray("a,,c,d,e,f") << Names{"a", "", "c", "d", "e", "f"};
    QTest::newRow("spaces-only line") << QByteArray("a\r\n   \r\nc\r\nd\r\ne\r\nf") << Names{"a", "", "c", "d", "e", "f"};
    QTest::newRow("empty quotes") << QByteArray("\"\",b,c,d,e,f") << Names{"", "b", "c", "d", "e", "f"};
    QTest::newRow("lone LF") << QByteArray("a\nb\nc\nd\ne\nf\n") << abc;
    QTest::newRow("lone CR") << QByteArray("a\rb\rc\rd\re\rf\r") << abc;
    QTest::newRow("LF CR is two line ends") << QByteArray("a\n\rc\rd\re\rf") << Names{"a", "", "c", "d", "e", "f"};
    QTest::newRow("quote inside name ends it")
        << QByteArray("\"say \"hi\"\",b,c,d,e,f") << Names{"say ", "b", "c", "d", "e", "f"};
    QTest::newRow("unterminated quote runs to the end")
        << QByteArray("a,b,c,d,e,\"f\r\ng") << Names{"a", "b", "c", "d", "e", "f\r\ng"};
    QTest::newRow("invalid byte, and 0x80 read as Windows reads it")
        << QByteArray("\"\xFD\",\"a\x80" "b\",c,d,e,f") << Names{"\uFFFD", "a\u0080b", "c", "d", "e", "f"};
    QTest::newRow("lone lead byte at end of field")
        << QByteArray("\"\x90\x48\x94\",b,c,d,e,f") << Names{"食\uFFFD", "b", "c", "d", "e", "f"};
    QTest::newRow("lead byte before a comma") << QByteArray("\x82,b,c,d,e,f") << Names{"\uFFFD", "b", "c", "d", "e", "f"};
}

void TestNamesFile::readerFollowsTheRules()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Names, names);
    const auto read = NamesFormat::decode(bytes);
    QVERIFY(read.ok());
    QCOMPARE(read.value(), names);
}

void TestNamesFile::shortFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("count");
    QTest::newRow("empty file") << QByteArray() << "0";
    QTest::newRow("five lines") << QByteArray("\"a\"\r\n\"b\"\r\n\"c\"\r\n\"d\"\r\n\"e\"\r\n") << "5";
    QTest::newRow("trailing comma at the end") << QByteArray("a,b,c,d,e,") << "5";
    QTest::newRow("one field") << QByteArray("a") << "1";
}

void TestNamesFile::shortFilesAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, count);
    const auto read = NamesFormat::decode(bytes);
    QVERIFY(!read.ok());
    QCOMPARE(read.error().kind, Error::Kind::FileFormat);
    QVERIFY2(read.error().reason.contains(count + " つ"), qPrintable(read.error().reason));
}

void TestNamesFile::unstorableNamesAreFound_data()
{
    QTest::addColumn<Names>("names");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("character");
    const Names ok = designNames();
    auto with = [&](int slot, const QString &name) {
        Names names = ok;
        names[slot] = name;
        return names;
    };
    QTest::newRow("emoji") << with(2, "食費😀") << 2 << "😀";
    QTest::newRow("outside code page") << with(0, "𠮷野家") << 0 << "𠮷";
    QTest::newRow("ascii quote") << with(4, "a\"b") << 4 << "\"";
    QTest::newRow("line feed") << with(5, "a\nb") << 5 << "\n";
    QTest::newRow("carriage return") << with(1, "a\rb") << 1 << "\r";
    QTest::newRow("yen sign") << with(3, "¥") << 3 << "¥";
    QTest::newRow("tab") << with(0, "a\tb") << 0 << "\t";
    QTest::newRow("escape") << with(2, "\x1b[31m") << 2 << "\x1b";
    QTest::newRow("bell") << with(4, "x\a") << 4 << "\a";
    QTest::newRow("C1 control") << with(5, "a\u009Bb") << 5 << "\u009B";
    QTest::newRow("reads back as another character") << with(2, "No\uF86F") << 2 << "\uF86F";
    QTest::newRow("first bad slot wins") << with(1, "😀") << 1 << "😀";
}

void TestNamesFile::unstorableNamesAreFound()
{
    QFETCH(Names, names);
    QFETCH(int, slot);
    QFETCH(QString, character);
    const auto bad = NamesFormat::findUnstorable(names);
    QVERIFY(bad.has_value());
    QCOMPARE(bad->slot, slot);
    QCOMPARE(bad->character, character);
}

void TestNamesFile::inputMethodVariantsAreMapped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("wave dash") << "〜" << "～";
    QTest::newRow("minus sign") << "−" << "－";
    QTest::newRow("double vertical line") << "‖" << "∥";
    QTest::newRow("em dash") << "—" << "―";
    QTest::newRow("cent") << "¢" << "￠";
    QTest::newRow("pound") << "£" << "￡";
    QTest::newRow("not") << "¬" << "￢";
    QTest::newRow("ordinary text") << "電話代" << "電話代";
}

void TestNamesFile::inputMethodVariantsAreMapped()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    Names names = designNames();
    names[0] = typed;
    const Names mapped = NamesFormat::mapInputMethodVariants(names);
    QCOMPARE(mapped[0], stored);
    QVERIFY(!NamesFormat::findUnstorable(mapped));
    QCOMPARE(NamesFormat::decode(NamesFormat::encode(mapped)).value()[0], stored);
}

void TestNamesFile::codePageIsWindows_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    // Four bytes where ICU's table differs from Windows' (it swaps 0x1A,
    // 0x1C and 0x7F and lacks 0x80), and a pair whose trail byte is 0x80.
    QTest::newRow("0x1A") << QByteArray("\x1A") << QStringLiteral("\u001A");
    QTest::newRow("0x1C") << QByteArray("\x1C") << QStringLiteral("\u001C");
    QTest::newRow("0x7F") << QByteArray("\x7F") << QStringLiteral("\u007F");
    QTest::newRow("0x80") << QByteArray("\x80") << QStringLiteral("\u0080");
    QTest::newRow("項, trail byte 0x80") << QByteArray("\x8D\x80\x96\xDA") << QStringLiteral("項目");
}

// Code page 932 reads and writes each of these as Windows does, both ways.
void TestNamesFile::codePageIsWindows()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Codepage932::decode(bytes), text);
    QCOMPARE(Codepage932::encode(text), bytes);
}

void TestNamesFile::readStopsAtTheSizeCap_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("read");
    QTest::newRow("at the cap") << qint64(100) << true;
    QTest::newRow("one byte past it") << qint64(101) << false;
}

// A file is read up to the cap it is given, and not a byte past.
void TestNamesFile::readStopsAtTheSizeCap()
{
    QFETCH(qint64, size);
    QFETCH(bool, read);
    QTemporaryDir dir;
    const QString path = dir.filePath("Item.dat");
    TestFiles::write(path, QByteArray(size, 'a'));
    const auto bytes = readWholeFile(path, 100);
    QCOMPARE(bytes.ok(), read);
    if (read)
        QCOMPARE(bytes.value().size(), size);
    else
        QCOMPARE(bytes.error().kind, Error::Kind::FileTooLarge);
}

void TestNamesFile::missingFileIsNotFound()
{
    QTemporaryDir dir;
    const auto read = NamesFile::load(dir.filePath("Item.dat"));
    QVERIFY(!read.ok());
    QCOMPARE(read.error().kind, Error::Kind::FileNotFound);
    QCOMPARE(read.error().subject, dir.filePath("Item.dat"));
}

void TestNamesFile::saveReplacesTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Item.dat");
    TestFiles::write(path, "\"old\"\r\n\"old\"\r\n\"old\"\r\n\"old\"\r\n\"old\"\r\n\"old\"\r\n\"seventh\"\r\n");
    QVERIFY(!NamesFile::save(path, designNames()));
    QCOMPARE(TestFiles::read(path), designFile());
    QCOMPARE(NamesFile::load(path).value(), designNames());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Item.dat"});
}

void TestNamesFile::failedWriteLeavesOldFileWhole_data()
{
    QTest::addColumn<qint64>("accepted");
    QTest::newRow("nothing written") << qint64(0);
    QTest::newRow("torn midway") << qint64(20);
}

void TestNamesFile::failedWriteLeavesOldFileWhole()
{
    QFETCH(qint64, accepted);
    QTemporaryDir dir;
    const QString path = dir.filePath("Item.dat");
    TestFiles::write(path, designFile());
    const QByteArray replacement = NamesFormat::encode({"A", "B", "C", "D", "E", "F"});
    // The writer goes through a device that fails after `accepted` bytes, and
    // hands the bytes it took on to the real file, as a full disk would.
    const auto error = replaceAtomically(path, [&](QIODevice &file) {
        FailDevice device(accepted);
        device.open(QIODevice::ReadWrite);
        const auto failure = writeAll(device, replacement);
        file.write(device.data());
        return failure;
    });
    QVERIFY(error.has_value());
    QCOMPARE(error->kind, Error::Kind::FileWrite);
    QCOMPARE(error->subject, path);
    QCOMPARE(error->reason, QStringLiteral("No space left on device"));
    QCOMPARE(TestFiles::read(path), designFile());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Item.dat"});
}

void TestNamesFile::readOnlyFileIsNotReplaced()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Item.dat");
    TestFiles::write(path, designFile());
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const auto error = NamesFile::save(path, {"A", "B", "C", "D", "E", "F"});
    QVERIFY(error.has_value());
    QCOMPARE(error->kind, Error::Kind::FileOpen);
    QCOMPARE(error->subject, path);
    QCOMPARE(TestFiles::read(path), designFile());
}

QTEST_APPLESS_MAIN(TestNamesFile)
#include "tst_namesfile.moc"
