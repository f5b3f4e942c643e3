// Category names through the whole program: start-up reads "Item.dat" onto
// the entry window, the category-name window renames, refuses what cannot
// be stored, and leaves everything as it was when closed with its close box.
#include "Captions.h"
#include "Module1.h"
#include "UiNames.h"
#include "NamesFormat.h"
#include "Pages.h"
#include "ProgramHarness.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace kakeibo;
using Names = NamesFormat::Names;

namespace {

Names designNames()
{
    return {"食費", "趣味", "光熱費", "電話代", "洗濯代", "その他"};
}

QStringList toList(const Names &names)
{
    return {names.begin(), names.end()};
}

// The design's names with the first one given, written as "Item.dat".
Names writeFirstName(const ProgramHarness &program, const QString &first)
{
    Names names = designNames();
    names[0] = first;
    program.writeFile("Item.dat", NamesFormat::encode(names));
    return names;
}

} // namespace

class TestNameWindow : public QObject {
    Q_OBJECT

private slots:
    void startupShowsNamesFromFile();
    void namesAreShownAsPlainText();
    void startupLoadsNameWindowHidden();
    void unreadableNamesFileStopsStartup_data();
    void unreadableNamesFileStopsStartup();
    void designMatchesLayout();
    void fieldCheckNeedsSixNonEmptyNames();
    void renamingSavesAndRedistributes();
    void applyingUnchangedNamesRewritesSameBytes();
    void closeBoxChangesNothing();
    void unstorableNameIsRefused_data();
    void unstorableNameIsRefused();
    void inputMethodVariantIsStoredAsCodePageCharacter();
    void readOnlyNamesFileEndsWithReport();
    void longNamesPassThroughWhole_data();
    void longNamesPassThroughWhole();
    void namesWithAmpersandsShowLiterally();
};

void TestNameWindow::startupShowsNamesFromFile()
{
    ProgramHarness program;
    program.writeFile("Item.dat", "\"Food\",\"Fun\",\"Power\"\r\n\"Phone\"\r\n\"Laundry\"\r\n\"a,b\"\r\n");
    QVERIFY(program.start());
    const QStringList names{"Food", "Fun", "Power", "Phone", "Laundry", "a,b"};
    QCOMPARE(EntryPage(program).categories(), names);
    QCOMPARE(EntryPage(program).options(), names);
    QCOMPARE(toList(Module1::KoumokuData), names);
    QCOMPARE(Captions::withLabel(program.find<QLabel>(Ui::frmIO, Ui::lblKingaku, 2)), QStringLiteral("Power 0"));
    QLabel *label = program.find<QLabel>(Ui::frmIO, Ui::lblKoumoku, 4);
    QCOMPARE(label->geometry().right() + 1, 64);
    QVERIFY(label->width() >= label->sizeHint().width());
}

void TestNameWindow::namesAreShownAsPlainText()
{
    ProgramHarness program;
    const QString longName(5000, QChar(u'長'));
    program.writeFile("Item.dat", NamesFormat::encode({"<b>Food</b>", "&lt;", longName, "d", "e", "f"}));
    QVERIFY(program.start());
    QLabel *markup = program.find<QLabel>(Ui::frmIO, Ui::lblKoumoku, 0);
    // Read as HTML, the tags would vanish and the label would be narrower.
    QCOMPARE(markup->text(), QStringLiteral("<b>Food</b>"));
    QVERIFY(markup->sizeHint().width() >= markup->fontMetrics().horizontalAdvance("<b>Food</b>"));
    QLabel *entity = program.find<QLabel>(Ui::frmIO, Ui::lblKoumoku, 1);
    QVERIFY(entity->sizeHint().width() >= entity->fontMetrics().horizontalAdvance("&lt;"));
    QLabel *wide = program.find<QLabel>(Ui::frmIO, Ui::lblKoumoku, 2);
    QCOMPARE(wide->geometry().right() + 1, 64);
    QVERIFY(wide->width() > wide->window()->width());
}

void TestNameWindow::startupLoadsNameWindowHidden()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.frame().windows().isLoaded(Ui::frmKoumoku));
    QVERIFY(!program.frame().windows().loadedForm(Ui::frmKoumoku)->isVisible());
    const QStringList trace = program.frame().trace().steps();
    QVERIFY(trace.indexOf("load frmKoumoku") > trace.indexOf("load frmIO"));
    QVERIFY(trace.indexOf("loaded frmKoumoku") < trace.indexOf("loaded frmIO"));
    QVERIFY(trace.indexOf("show frmIO") > trace.indexOf("loaded frmIO"));
    QCOMPARE(ProgramHarness::field(program.frame().windows().loadedForm(Ui::frmKoumoku), 3)->text(), QStringLiteral("電話代"));
}

void TestNameWindow::unreadableNamesFileStopsStartup_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("what");
    QTest::newRow("missing") << false << QByteArray() << QStringLiteral("見つかりません");
    QTest::newRow("empty") << true << QByteArray() << QStringLiteral("0 つ");
    QTest::newRow("five lines") << true << QByteArray("\"a\"\r\n\"b\"\r\n\"c\"\r\n\"d\"\r\n\"e\"\r\n")
                                << QStringLiteral("5 つ");
}

void TestNameWindow::unreadableNamesFileStopsStartup()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, what);
    ProgramHarness program;
    QFile::remove(program.path("Item.dat"));
    if (present)
        program.writeFile("Item.dat", bytes);
    QVERIFY(!program.start());
    QCOMPARE(program.endCodes, QList<int>{1});
    QCOMPARE(program.messages.size(), 1);
    QVERIFY2(program.lastMessage().contains(program.path("Item.dat")), qPrintable(program.lastMessage()));
    QVERIFY2(program.lastMessage().contains(what), qPrintable(program.lastMessage()));
    QVERIFY(!program.frame().trace().steps().contains("show frmIO"));
    QCOMPARE(program.readFile("Item.dat"), present ? bytes : QByteArray("<missing>"));
}

void TestNameWindow::designMatchesLayout()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuChange, [](QWidget *window) {
        QCOMPARE(window->objectName(), Ui::frmKoumoku);
        QCOMPARE(window->windowTitle(), QStringLiteral("項目変更"));
        QCOMPARE(window->size(), QSize(121, 241));
        QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));
        QCOMPARE(ProgramHarness::field(window, 0)->geometry(), QRect(16, 16, 89, 27));
        QCOMPARE(ProgramHarness::field(window, 5)->geometry(), QRect(16, 176, 89, 27));
        QCOMPARE(ProgramHarness::applyButton(window)->geometry(), QRect(16, 208, 89, 25));
        QCOMPARE(ProgramHarness::applyButton(window)->text(), QStringLiteral("変更"));
        QVERIFY(ProgramHarness::applyButton(window)->isDefault());
        QCOMPARE(window->focusWidget(), ProgramHarness::field(window, 0));
        QTest::keyClick(ProgramHarness::field(window, 0), Qt::Key_Escape);
        QVERIFY(window->isVisible());
    }));
}

void TestNameWindow::fieldCheckNeedsSixNonEmptyNames()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuChange, [](QWidget *window) {
        QVERIFY(ProgramHarness::applyButton(window)->isEnabled());
        ProgramHarness::retype(ProgramHarness::field(window, 2), "");
        QVERIFY(!ProgramHarness::applyButton(window)->isEnabled());
        ProgramHarness::type(ProgramHarness::field(window, 2), "x");
        QVERIFY(ProgramHarness::applyButton(window)->isEnabled());
        ProgramHarness::retype(ProgramHarness::field(window, 5), "   ");
        QVERIFY(ProgramHarness::applyButton(window)->isEnabled());
        QTest::keyClick(ProgramHarness::field(window, 5), Qt::Key_Return);
    }));
    QCOMPARE(NamesFormat::decode(program.readFile("Item.dat")).value(),
             (Names{"食費", "趣味", "x", "電話代", "洗濯代", "   "}));
}

void TestNameWindow::renamingSavesAndRedistributes()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuChange, [](QWidget *window) {
        ProgramHarness::retype(ProgramHarness::field(window, 0), "外食");
        ProgramHarness::retype(ProgramHarness::field(window, 3), "携帯, 固定");
        QTest::mouseClick(ProgramHarness::applyButton(window), Qt::LeftButton);
    }));
    QVERIFY(!program.frame().windows().isLoaded(Ui::frmKoumoku));
    const Names renamed{"外食", "趣味", "光熱費", "携帯, 固定", "洗濯代", "その他"};
    QCOMPARE(program.readFile("Item.dat"), NamesFormat::encode(renamed));
    QCOMPARE(EntryPage(program).categories(), toList(renamed));
    QCOMPARE(EntryPage(program).options(), toList(renamed));
    QVERIFY(program.messages.isEmpty());
    QVERIFY(program.whileModal(Ui::mnuChange, [](QWidget *window) {
        QCOMPARE(ProgramHarness::field(window, 0)->text(), QStringLiteral("外食"));
        QCOMPARE(ProgramHarness::field(window, 3)->text(), QStringLiteral("携帯, 固定"));
    }));
}

void TestNameWindow::applyingUnchangedNamesRewritesSameBytes()
{
    ProgramHarness program;
    program.writeFile("Item.dat", "a,b,c,d,e,f,g\r\n");
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuChange, [](QWidget *window) {
        QTest::keyClick(ProgramHarness::field(window, 0), Qt::Key_Return);
    }));
    QCOMPARE(program.readFile("Item.dat"), QByteArray("\"a\"\r\n\"b\"\r\n\"c\"\r\n\"d\"\r\n\"e\"\r\n\"f\"\r\n"));
}

void TestNameWindow::closeBoxChangesNothing()
{
    ProgramHarness program;
    QVERIFY(program.start());
    const QByteArray before = program.readFile("Item.dat");
    QVERIFY(program.whileModal(Ui::mnuChange, [](QWidget *window) {
        ProgramHarness::retype(ProgramHarness::field(window, 1), "abandoned");
        window->close();
    }));
    QVERIFY(!program.frame().windows().isLoaded(Ui::frmKoumoku));
    QCOMPARE(program.readFile("Item.dat"), before);
    QCOMPARE(EntryPage(program).options(), toList(designNames()));
    QVERIFY(program.whileModal(Ui::mnuChange, [](QWidget *window) {
        QCOMPARE(ProgramHarness::field(window, 1)->text(), QStringLiteral("趣味"));
    }));
}

void TestNameWindow::unstorableNameIsRefused_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("mentioned");
    QTest::newRow("emoji") << 1 << "趣味😀" << "😀";
    QTest::newRow("outside code page") << 0 << "𠮷野家" << "𠮷";
    QTest::newRow("ascii quote") << 4 << "a\"b" << "\"";
    QTest::newRow("tab") << 2 << "a\tb" << "U+0009";
    QTest::newRow("escape") << 3 << "\x1b[0m" << "U+001B";
    QTest::newRow("yen sign, full-width suggested") << 5 << "100¥" << "￥";
}

void TestNameWindow::unstorableNameIsRefused()
{
    QFETCH(int, slot);
    QFETCH(QString, typed);
    QFETCH(QString, mentioned);
    ProgramHarness program;
    QVERIFY(program.start());
    const QByteArray before = program.readFile("Item.dat");
    QVERIFY(program.whileModal(Ui::mnuChange, [&](QWidget *window) {
        ProgramHarness::field(window, slot)->setFocus();
        ProgramHarness::field(window, slot)->setText(typed);
        QTest::mouseClick(ProgramHarness::applyButton(window), Qt::LeftButton);
        QVERIFY(window->isVisible());
        QCOMPARE(ProgramHarness::field(window, slot)->text(), typed);
    }));
    QCOMPARE(program.messages.size(), 1);
    QCOMPARE(program.messages[0].severity, UserMessage::Severity::Warning);
    QVERIFY2(program.lastMessage().contains(mentioned), qPrintable(program.lastMessage()));
    QVERIFY(program.lastMessage().contains(QStringLiteral("上から %1 番目").arg(slot + 1)));
    QVERIFY(!program.hasEnded());
    QCOMPARE(program.readFile("Item.dat"), before);
    QCOMPARE(toList(Module1::KoumokuData), toList(designNames()));
    QCOMPARE(EntryPage(program).options(), toList(designNames()));
}

void TestNameWindow::inputMethodVariantIsStoredAsCodePageCharacter()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuChange, [](QWidget *window) {
        ProgramHarness::field(window, 5)->setFocus();
        ProgramHarness::commitInputMethodText(ProgramHarness::field(window, 5), QStringLiteral("〜"));
        QTest::keyClick(ProgramHarness::field(window, 5), Qt::Key_Return);
    }));
    QVERIFY(program.messages.isEmpty());
    QCOMPARE(program.readFile("Item.dat").right(10), QByteArray::fromHex("2282BB82CC91BC8160220D0A").right(10));
    QCOMPARE(program.find<QRadioButton>(Ui::frmIO, Ui::optKoumoku, 5)->text(), QStringLiteral("その他～"));
}

void TestNameWindow::readOnlyNamesFileEndsWithReport()
{
    ProgramHarness program;
    QVERIFY(program.start());
    const QByteArray before = program.readFile("Item.dat");
    QVERIFY(QFile::setPermissions(program.path("Item.dat"), QFileDevice::ReadOwner));
    program.whileModal(Ui::mnuChange, [](QWidget *window) {
        ProgramHarness::retype(ProgramHarness::field(window, 0), "new");
        QTest::keyClick(ProgramHarness::field(window, 0), Qt::Key_Return);
    });
    QCOMPARE(program.endCodes, QList<int>{1});
    QVERIFY2(program.lastMessage().contains(program.path("Item.dat")), qPrintable(program.lastMessage()));
    QCOMPARE(program.readFile("Item.dat"), before);
}

void TestNameWindow::longNamesPassThroughWhole_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("pasted");  // empty: applied unchanged
    const QString name40001(40001, u'長');
    const QString name100000(100000, u'長');
    QTest::newRow("40,001 characters applied unchanged") << name40001 << "";
    QTest::newRow("renamed to 100,000 characters") << "食費" << name100000;
    QTest::newRow("renamed back from 100,000 characters") << name100000 << "食費";
}

// A name has no length limit between the file, the record and the rename
// fields.
void TestNameWindow::longNamesPassThroughWhole()
{
    QFETCH(QString, stored);
    QFETCH(QString, pasted);
    ProgramHarness program;
    Names names = writeFirstName(program, stored);
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuChange, [&](QWidget *window) {
        QCOMPARE(ProgramHarness::field(window, 0)->text(), stored);
        if (!pasted.isEmpty())
            ProgramHarness::repaste(ProgramHarness::field(window, 0), pasted);
        QTest::keyClick(ProgramHarness::field(window, 0), Qt::Key_Return);
    }));
    names[0] = pasted.isEmpty() ? stored : pasted;
    QCOMPARE(program.readFile("Item.dat"), NamesFormat::encode(names));
    QCOMPARE(Module1::KoumokuData[0], names[0]);
    // A caption shows what fits on any screen, and is spoken as shown.
    const QString shown = names[0].size() > 1000 ? names[0].left(1000) + u'…' : names[0];
    QCOMPARE(EntryPage(program).options().first(), shown);
    QCOMPARE(ProgramHarness::spokenName(program.find<QWidget>(Ui::frmIO, Ui::optKoumoku, 0)), shown);
}

// A name is the user's text: "&" in it is shown and spoken as typed in every
// window and never becomes an access key, so the menu's keys still work.
void TestNameWindow::namesWithAmpersandsShowLiterally()
{
    const QStringList typed{"R&D", "&&", "&X", "&R", "A&", "&C"};
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuChange, [&](QWidget *window) {
        for (int slot = 0; slot < kSlotCount; ++slot)
            ProgramHarness::repaste(ProgramHarness::field(window, slot), typed[slot]);
        QTest::keyClick(ProgramHarness::field(window, 0), Qt::Key_Return);
    }));
    QCOMPARE(program.readFile("Item.dat"), NamesFormat::encode({"R&D", "&&", "&X", "&R", "A&", "&C"}));
    QCOMPARE(EntryPage(program).categories(), typed);
    QCOMPARE(EntryPage(program).options(), typed);
    QWidget *correction = program.frame().windows().loadedForm(Ui::frmTeisei);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        auto *option = program.find<QRadioButton>(Ui::frmIO, Ui::optKoumoku, slot);
        QCOMPARE(ProgramHarness::spokenName(option), typed[slot]);
        QCOMPARE(QKeySequence::mnemonic(option->text()), QKeySequence());
        auto *total = program.find<QLabel>(Ui::frmIO, Ui::lblKingaku, slot);
        QCOMPARE(Captions::withLabel(total), typed[slot] + " 0");
        auto *label = correction->findChild<QLabel *>(Controls::arrayName(Ui::lblKoumoku, slot));
        QCOMPARE(Captions::shownText(label), typed[slot]);
        QCOMPARE(ProgramHarness::spokenName(label), typed[slot]);
        QCOMPARE(ProgramHarness::spokenName(ProgramHarness::field(correction, slot)), typed[slot] + "の合計");
    }
    // The menu's access keys still reach the menu.
    QWidget *entry = program.frame().windows().loadedForm(Ui::frmIO);
    auto *amount = program.find<QLineEdit>(Ui::frmIO, Ui::txtKingaku);
    entry->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), entry);
    QString opened;
    QTimer::singleShot(0, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            opened = modal->objectName();
            modal->close();
        }
    });
    QTest::keyClick(amount, Qt::Key_R, Qt::AltModifier);
    QCOMPARE(opened, Ui::frmTeisei);
    entry->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), entry);
    QTest::keyClick(amount, Qt::Key_X, Qt::AltModifier);
    QCOMPARE(program.endCodes, QList<int>{0});
}

QTEST_MAIN(TestNameWindow)
#include "tst_namewindow.moc"
