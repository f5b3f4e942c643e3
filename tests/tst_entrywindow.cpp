// The entry window driven through its controls on a temporary application
// directory: its design, the amount check, bookings and "MD.dat", the
// refusal of a booking past the 32-bit range, and the errors that end the
// program.
#include "Fonts.h"
#include "Module1.h"
#include "NamesFormat.h"
#include "UiNames.h"
#include "Pages.h"
#include "ProgramHarness.h"
#include "TotalsFormat.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>

using namespace kakeibo;
using Totals = TotalsFormat::Totals;

namespace {



QByteArray image(const Totals &totals)
{
    return TotalsFormat::encode(totals);
}

} // namespace

class TestEntryWindow : public QObject {
    Q_OBJECT

private slots:
    void startsIdleWithFocusInAmount();
    void designMatchesLayout();
    void everyCommandAndFieldShowsInFull_data();
    void everyCommandAndFieldShowsInFull();
    void menuBarHasFourCommands();
    void fontsAreNearestInstalledFaces();
    void amountCheck_data();
    void amountCheck();
    void editingInTheMiddleKeepsTheCaret_data();
    void editingInTheMiddleKeepsTheCaret();
    void pastedAmountIsTakenWhole_data();
    void pastedAmountIsTakenWhole();
    void altLetterIsNeverTyped_data();
    void altLetterIsNeverTyped();
    void heldAltKeyOpensItsWindowOnce_data();
    void heldAltKeyOpensItsWindowOnce();
    void categoryAfterAmountEnablesInput();
    void inputMethodTextIsRenderedWhenCommitted();
    void bookingsUpdateTotalsAndFile_data();
    void bookingsUpdateTotalsAndFile();
    void bookingResetsTheWindow();
    void bookingIntoUnknownSlotStillShowsAndWrites();
    void enterBooksOnlyWhileEnabled();
    void escapeDoesNothing();
    void startupShowsStoredTotals();
    void missingTotalsFileIsCreatedEmpty();
    void longerTotalsFileKeepsItsTail();
    void bookingPastRangeIsRefused_data();
    void bookingPastRangeIsRefused();
    void grandTotalPast32BitsIsShownInFull();
    void runningSumPast32BitsDoesNotStopBooking();
    void widestFiguresShowInFull();
    void screenReaderHearsEachTotalWithItsCategoryAndEachBooking();
    void exitCommandAndCloseBoxEndTheProgram_data();
    void exitCommandAndCloseBoxEndTheProgram();
    void brokenIconStopsStartup_data();
    void brokenIconStopsStartup();
    void unwritableTotalsFileEndsWithReport();
};

void TestEntryWindow::startsIdleWithFocusInAmount()
{
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    QVERIFY(w.window()->isVisible());
    QVERIFY(!w.input()->isEnabled());
    QVERIFY(!w.anyChosen());
    QCOMPARE(w.amount()->text(), QString());
    QCOMPARE(w.window()->focusWidget(), w.amount());
    QCOMPARE(w.totals(), QStringList({"0", "0", "0", "0", "0", "0", "0"}));
    QVERIFY(!w.window()->windowIcon().isNull());
    QVERIFY(program.messages.isEmpty());
}

void TestEntryWindow::everyCommandAndFieldShowsInFull_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("command");  // the menu command that opens the window, "" for the entry window
    for (const char *style : {"Fusion", "Adwaita"}) {
        QTest::addRow("%s, entry window", style) << style << "";
        QTest::addRow("%s, correction window", style) << style << Ui::mnuRevision;
        QTest::addRow("%s, category-name window", style) << style << Ui::mnuChange;
    }
}

namespace {

// Whether the style drew a frame around the text box: some pixel of its
// top rows is not the box's background.
bool drawsFrame(QLineEdit *box)
{
    const QImage image = box->grab().toImage();
    const QRgb background = box->palette().color(QPalette::Base).rgb();
    for (int y = 0; y < 3; ++y) {
        if (image.pixel(image.width() / 2, y) != background)
            return true;
    }
    return false;
}

void checkShownInFull(QWidget *window)
{
    if (auto *bar = window->findChild<QMenuBar *>()) {
        auto *overflow = bar->findChild<QWidget *>(QStringLiteral("qt_menubar_ext_button"));
        QCOMPARE(overflow && overflow->isVisible(), false);
        for (QAction *command : bar->actions())
            QVERIFY2(bar->rect().contains(bar->actionGeometry(command)), qPrintable(command->text()));
    }
    for (QLineEdit *box : window->findChildren<QLineEdit *>())
        QVERIFY2(drawsFrame(box), qPrintable(box->objectName()));
}

} // namespace

// Whatever the style, the menu shows every command and every text box its
// frame: a window grows past its design where the style needs the room.
void TestEntryWindow::everyCommandAndFieldShowsInFull()
{
    QFETCH(QString, style);
    QFETCH(QString, command);
    QStyle *chosen = QStyleFactory::create(style);
    if (!chosen)
        QSKIP(qPrintable(style + " is not installed (Debian: adwaita-qt6, which tools/setup.sh installs)"));
    const QString before = QApplication::style()->name();
    QApplication::setStyle(chosen);
    const auto restore = qScopeGuard([&] { QApplication::setStyle(before); });
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    if (command.isEmpty()) {
        checkShownInFull(w.window());
        return;
    }
    QVERIFY(program.whileModal(command, [](QWidget *window) { checkShownInFull(window); }));
}

void TestEntryWindow::designMatchesLayout()
{
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    QWidget *window = w.window();
    QCOMPARE(window->windowTitle(), QStringLiteral("QEN - ペルモア - [入力]"));
    const int menuHeight = program.find<QMenuBar>(Ui::frmIO, Ui::menuBar)->height();
    QCOMPARE(window->size(), QSize(413, 266 + menuHeight));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
    const QPoint offCentre = window->frameGeometry().center() - window->screen()->availableGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 4, qPrintable(QString::number(offCentre.manhattanLength())));
    QCOMPARE(w.amount()->geometry(), QRect(56, 8, 113, 25));
    QCOMPARE(w.input()->geometry(), QRect(88, 232, 73, 24));
    QCOMPARE(w.option(5)->geometry(), QRect(8, 144, 105, 23));
    QCOMPARE(w.total(0)->geometry(), QRect(77, 22, 100, 22));
    QCOMPARE(program.find<QGroupBox>(Ui::frmIO, Ui::Frame2)->geometry(), QRect(208, 16, 193, 225));
    // Category labels keep their right edge and fit their captions.
    for (int slot = 0; slot < kSlotCount; ++slot) {
        QLabel *label = program.find<QLabel>(Ui::frmIO, Ui::lblKoumoku, slot);
        QCOMPARE(label->geometry().right() + 1, 64);
        QVERIFY(label->width() >= label->sizeHint().width());
    }
    QVERIFY(w.input()->isDefault());
    QWidget *next = w.amount();
    const QList<QWidget *> tabOrder{w.option(0), w.option(1), w.option(2), w.option(3),
                                    w.option(4), w.option(5), w.input()};
    for (QWidget *expected : tabOrder) {
        next = next->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        QCOMPARE(next, expected);
    }
}

void TestEntryWindow::menuBarHasFourCommands()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QStringList captions;
    QStringList names;
    for (QAction *action : program.find<QMenuBar>(Ui::frmIO, Ui::menuBar)->actions()) {
        captions << action->text();
        names << action->objectName();
        QVERIFY(!action->menu());
    }
    QCOMPARE(captions, QStringList({"訂正(&R)", "項目変更(&C)", "ﾊﾞｰｼﾞｮﾝ情報(&A)", "終了(&X)"}));
    QCOMPARE(names, QStringList({Ui::mnuRevision, Ui::mnuChange, Ui::mnuAbout, Ui::mnuExit}));
}

void TestEntryWindow::fontsAreNearestInstalledFaces()
{
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    const QFont font = w.amount()->font();
    QCOMPARE(font.pointSizeF(), 13.5);
    QVERIFY(Fonts::isFixedPitch(font));
    QCOMPARE(font.families().first(), QStringLiteral("FixedSys"));
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("IPAGothic"));
    QCOMPARE(w.input()->font().families().first(), QStringLiteral("ＦＡ 隷書Ｍ"));
    QCOMPARE(QFontInfo(w.input()->font()).family(), QStringLiteral("IPAMincho"));
    QCOMPARE(program.find<QGroupBox>(Ui::frmIO, Ui::Frame1)->font().weight(), QFont::Bold);
    QCOMPARE(w.option(0)->font().weight(), QFont::Normal);
    QCOMPARE(w.input()->font().pointSizeF(), 14.25);
    QCOMPARE(w.input()->font().weight(), QFont::Bold);
}

void TestEntryWindow::amountCheck_data()
{
    QTest::addColumn<bool>("choose");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("category, nothing typed") << true << "" << "" << false;
    QTest::newRow("digit") << true << "1" << "1" << true;
    QTest::newRow("amount, no category") << false << "5" << "5" << false;
    QTest::newRow("leading zero vanishes") << true << "05" << "5" << true;
    QTest::newRow("zeros vanish") << true << "007" << "7" << true;
    QTest::newRow("minus zero") << true << "-0" << "0" << true;
    QTest::newRow("letter stays") << true << "12a" << "12a" << false;
    QTest::newRow("minus alone stays") << true << "-" << "-" << false;
    QTest::newRow("largest") << true << "2147483647" << "2147483647" << true;
    QTest::newRow("one digit more stays") << true << "21474836470" << "21474836470" << false;
    QTest::newRow("smallest") << true << "-2147483648" << "-2147483648" << true;
    QTest::newRow("below smallest stays") << true << "-2147483649" << "-2147483649" << false;
    QTest::newRow("negative") << true << "-500" << "-500" << true;
    QTest::newRow("fraction stays") << true << "1.5" << "1.5" << false;
    QTest::newRow("grouping rendered") << true << "1,234" << "1234" << true;
    QTest::newRow("full-width digits") << true << "１２３" << "123" << true;
    QTest::newRow("full-width minus") << true << "－５" << "-5" << true;
    QTest::newRow("ideographic space") << true << "\u3000８" << "8" << true;
}

void TestEntryWindow::amountCheck()
{
    QFETCH(bool, choose);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, enabled);
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    if (choose)
        ProgramHarness::click(w.option(2));
    ProgramHarness::type(w.amount(), typed);
    QCOMPARE(w.amount()->text(), shown);
    QCOMPARE(w.input()->isEnabled(), enabled);
    QVERIFY(program.messages.isEmpty());
}

void TestEntryWindow::editingInTheMiddleKeepsTheCaret_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("inserted");  // empty: the Delete key
    QTest::addColumn<bool>("inputMethod");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("caretAfter");
    QTest::newRow("insert at the start") << "1234" << 0 << 0 << "56" << false << "561234" << 2;
    QTest::newRow("insert in the middle") << "1234" << 2 << 0 << "0" << false << "12034" << 3;
    QTest::newRow("delete in the middle") << "12345" << 2 << 0 << "" << false << "1245" << 2;
    QTest::newRow("type over a selection") << "1234" << 1 << 2 << "9" << false << "194" << 2;
    QTest::newRow("input method in the middle") << "1234" << 1 << 0 << "５６" << true << "156234" << 3;
    QTest::newRow("separator rendered away") << "1234" << 1 << 0 << "," << false << "1234" << 1;
    QTest::newRow("leading zeros rendered away") << "7" << 0 << 0 << "00" << false << "7" << 0;
}

// The amount check writes the rendered text back after every keystroke;
// the caret must stay where the user is typing.
void TestEntryWindow::editingInTheMiddleKeepsTheCaret()
{
    QFETCH(QString, typed);
    QFETCH(int, caret);
    QFETCH(int, selected);
    QFETCH(QString, inserted);
    QFETCH(bool, inputMethod);
    QFETCH(QString, shown);
    QFETCH(int, caretAfter);
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    ProgramHarness::click(w.option(3));
    w.amount()->setFocus();
    ProgramHarness::type(w.amount(), typed);
    QTest::keyClick(w.amount(), Qt::Key_Home);
    for (int i = 0; i < caret; ++i)
        QTest::keyClick(w.amount(), Qt::Key_Right);
    for (int i = 0; i < selected; ++i)
        QTest::keyClick(w.amount(), Qt::Key_Right, Qt::ShiftModifier);
    if (inserted.isEmpty())
        QTest::keyClick(w.amount(), Qt::Key_Delete);
    else if (inputMethod)
        ProgramHarness::commitInputMethodText(w.amount(), inserted);
    else
        ProgramHarness::type(w.amount(), inserted);
    QCOMPARE(w.amount()->text(), shown);
    QCOMPARE(w.amount()->cursorPosition(), caretAfter);
    QTest::keyClick(w.amount(), Qt::Key_Return);
    Totals expected{};
    expected[3] = shown.toInt();
    QCOMPARE(program.readFile("MD.dat"), image(expected));
}

void TestEntryWindow::pastedAmountIsTakenWhole_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("file");
    const QString zeros(1000000, u'0');
    QTest::newRow("a million zeros, then 5") << zeros + u'5' << "5" << image({0, 0, 0, 0, 5, 0});
    QTest::newRow("1, then a million zeros") << u'1' + zeros << u'1' + zeros << QByteArray();
}

void TestEntryWindow::pastedAmountIsTakenWhole()
{
    QFETCH(QString, pasted);
    QFETCH(QString, shown);
    QFETCH(QByteArray, file);
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    ProgramHarness::click(w.option(4));
    ProgramHarness::repaste(w.amount(), pasted);
    QCOMPARE(w.amount()->text(), shown);
    QCOMPARE(w.input()->isEnabled(), !file.isEmpty());
    QTest::keyClick(w.amount(), Qt::Key_Return);
    QCOMPARE(program.readFile("MD.dat"), file);
}

void TestEntryWindow::altLetterIsNeverTyped_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("Alt+Q, no access key") << int(Qt::Key_Q) << "q";
    QTest::newRow("Alt+5, a digit") << int(Qt::Key_5) << "5";
    QTest::newRow("Alt+-, a sign") << int(Qt::Key_Minus) << "-";
}

void TestEntryWindow::altLetterIsNeverTyped()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    ProgramHarness::click(w.option(0));
    ProgramHarness::type(w.amount(), "12");
    QTest::sendKeyEvent(QTest::Click, w.amount(), Qt::Key(key), text, Qt::AltModifier);
    QCOMPARE(w.amount()->text(), QStringLiteral("12"));
    QCOMPARE(program.frame().trace().steps().filter("show").size(), 1);
}

void TestEntryWindow::heldAltKeyOpensItsWindowOnce_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("firstField");
    QTest::newRow("Alt+R") << int(Qt::Key_R) << "r" << Ui::frmTeisei << "0";
    QTest::newRow("Alt+C") << int(Qt::Key_C) << "c" << Ui::frmKoumoku << "食費";
}

// A key held past the keyboard's repeat delay: one press, then repeats,
// first into the window it opened, then into the entry window again.
void TestEntryWindow::heldAltKeyOpensItsWindowOnce()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(QString, window);
    QFETCH(QString, firstField);
    constexpr int kRepeats = 20;
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    ProgramHarness::type(w.amount(), "12");
    const auto hold = [&](QWidget *receiver) {
        for (int i = 0; i < kRepeats; ++i)
            QTest::simulateEvent(receiver, true, key, Qt::AltModifier, text, true);
    };
    // The press runs the menu command at once; what runs inside its window,
    // posted first, runs inside the window's modal loop.
    w.window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window()));
    QString fieldAfterRepeats;
    // The menu bar let go of the command: nothing of it stays highlighted.
    auto *bar = program.find<QMenuBar>(Ui::frmIO, Ui::menuBar);
    QAction *highlighted = bar->actions().constFirst();
    QTimer::singleShot(0, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            highlighted = bar->activeAction();
            hold(modal->focusWidget());
            fieldAfterRepeats = ProgramHarness::field(modal, 0)->text();
            modal->close();
        }
    });
    QTest::simulateEvent(w.amount(), true, key, Qt::AltModifier, text, false);
    QCOMPARE(highlighted, nullptr);
    QCOMPARE(fieldAfterRepeats, firstField);
    w.window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window()));
    hold(w.amount());
    QCoreApplication::sendPostedEvents();
    QCOMPARE(program.frame().trace().steps().count("show " + window), 1);
    QCOMPARE(w.amount()->text(), QStringLiteral("12"));
}

void TestEntryWindow::categoryAfterAmountEnablesInput()
{
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    ProgramHarness::type(w.amount(), "12a");
    ProgramHarness::click(w.option(4));
    QVERIFY(!w.input()->isEnabled());
    QTest::keyClick(w.amount(), Qt::Key_Backspace);
    QCOMPARE(w.amount()->text(), QStringLiteral("12"));
    QVERIFY(w.input()->isEnabled());
    ProgramHarness::click(w.option(1));
    QVERIFY(w.input()->isEnabled());
    QVERIFY(!w.option(4)->isChecked());
}

void TestEntryWindow::inputMethodTextIsRenderedWhenCommitted()
{
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    ProgramHarness::click(w.option(0));
    w.amount()->setFocus();
    ProgramHarness::commitInputMethodText(w.amount(), QStringLiteral("１２３"));
    QCOMPARE(w.amount()->text(), QStringLiteral("123"));
    QVERIFY(w.input()->isEnabled());
    ProgramHarness::commitInputMethodText(w.amount(), QStringLiteral("，４５６"));
    QCOMPARE(w.amount()->text(), QStringLiteral("123456"));
    QTest::keyClick(w.amount(), Qt::Key_Return);
    QCOMPARE(program.readFile("MD.dat"), image({123456, 0, 0, 0, 0, 0}));
}

void TestEntryWindow::bookingsUpdateTotalsAndFile_data()
{
    QTest::addColumn<QList<int>>("categorySlots");
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("example") << QList<int>{0, 5} << QStringList{"300", "-200"}
                             << QStringList{"300", "0", "0", "0", "0", "-200", "100"}
                             << QByteArray::fromHex("2C010000" + QByteArray(32, '0') + "38FFFFFF");
    QTest::newRow("same slot twice") << QList<int>{3, 3} << QStringList{"1000", "-1500"}
                                     << QStringList{"0", "0", "0", "-500", "0", "0", "-500"}
                                     << image({0, 0, 0, -500, 0, 0});
    QTest::newRow("zero still writes") << QList<int>{1} << QStringList{"0"}
                                       << QStringList{"0", "0", "0", "0", "0", "0", "0"} << image({});
    QTest::newRow("full-width amount") << QList<int>{2} << QStringList{"１，０００"}
                                       << QStringList{"0", "0", "1000", "0", "0", "0", "1000"}
                                       << image({0, 0, 1000, 0, 0, 0});
}

void TestEntryWindow::bookingsUpdateTotalsAndFile()
{
    QFETCH(QList<int>, categorySlots);
    QFETCH(QStringList, amounts);
    QFETCH(QStringList, captions);
    QFETCH(QByteArray, file);
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    QCOMPARE(program.readFile("MD.dat"), QByteArray());
    for (int i = 0; i < categorySlots.size(); ++i)
        QVERIFY(w.book(categorySlots[i], amounts[i]));
    QCOMPARE(w.totals(), captions);
    QCOMPARE(program.readFile("MD.dat"), file);
    QVERIFY(program.messages.isEmpty());
    QVERIFY(!program.hasEnded());
}

void TestEntryWindow::bookingResetsTheWindow()
{
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    QVERIFY(w.book(4, "250"));
    QVERIFY(!w.anyChosen());
    QCOMPARE(w.amount()->text(), QString());
    QVERIFY(!w.input()->isEnabled());
    ProgramHarness::type(w.amount(), "5");
    QVERIFY(!w.input()->isEnabled());
}

void TestEntryWindow::bookingIntoUnknownSlotStillShowsAndWrites()
{
    ProgramHarness program;
    program.writeFile("MD.dat", image({1, 2, 3, 4, 5, 6}));
    QVERIFY(program.start());
    program.writeFile("MD.dat", QByteArray());
    program.frame().handlers().run([] { Module1::AddKingaku(100, 6); });
    QCOMPARE(Module1::KingakuData, (Totals{1, 2, 3, 4, 5, 6}));
    QCOMPARE(program.readFile("MD.dat"), image({1, 2, 3, 4, 5, 6}));
    QCOMPARE(EntryPage(program).grandTotal()->text(), QStringLiteral("21"));
    QVERIFY(program.messages.isEmpty());
}

void TestEntryWindow::enterBooksOnlyWhileEnabled()
{
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    ProgramHarness::type(w.amount(), "40");
    QTest::keyClick(w.amount(), Qt::Key_Return);
    QCOMPARE(program.readFile("MD.dat"), QByteArray());
    ProgramHarness::click(w.option(1));
    QTest::keyClick(w.option(1), Qt::Key_Enter);
    QCOMPARE(program.readFile("MD.dat"), image({0, 40, 0, 0, 0, 0}));
    QCOMPARE(w.total(1)->text(), QStringLiteral("40"));
}

void TestEntryWindow::escapeDoesNothing()
{
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    ProgramHarness::type(w.amount(), "7");
    QTest::keyClick(w.amount(), Qt::Key_Escape);
    QVERIFY(w.window()->isVisible());
    QVERIFY(!program.hasEnded());
    QCOMPARE(w.amount()->text(), QStringLiteral("7"));
}

void TestEntryWindow::startupShowsStoredTotals()
{
    ProgramHarness program;
    program.writeFile("MD.dat", image({300, 0, 0, 0, 0, -200}));
    QVERIFY(program.start());
    EntryPage w(program);
    QCOMPARE(w.totals(), QStringList({"300", "0", "0", "0", "0", "-200", "100"}));
    QVERIFY(w.book(0, "-300"));
    QCOMPARE(program.readFile("MD.dat"), image({0, 0, 0, 0, 0, -200}));
}

void TestEntryWindow::missingTotalsFileIsCreatedEmpty()
{
    ProgramHarness program;
    QVERIFY(!QFile::exists(program.path("MD.dat")));
    QVERIFY(program.start());
    QCOMPARE(program.readFile("MD.dat"), QByteArray());
    QVERIFY(EntryPage(program).book(0, "1"));
    QCOMPARE(program.readFile("MD.dat").size(), 24);
}

void TestEntryWindow::longerTotalsFileKeepsItsTail()
{
    ProgramHarness program;
    const QByteArray tail = QByteArray::fromHex("DEADBEEF0102");
    program.writeFile("MD.dat", image({10, 20, 30, 40, 50, 60}) + tail);
    QVERIFY(program.start());
    EntryPage w(program);
    QCOMPARE(w.totals(), QStringList({"10", "20", "30", "40", "50", "60", "210"}));
    QVERIFY(w.book(5, "5"));
    QCOMPARE(program.readFile("MD.dat"), image({10, 20, 30, 40, 50, 65}) + tail);
}

void TestEntryWindow::bookingPastRangeIsRefused_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("mentioned");  // what the message names of it
    QTest::newRow("past largest") << 0 << 2147483647 << "1" << "食費" << "食費";
    QTest::newRow("past smallest") << 5 << int(-2147483648LL) << "-1" << "その他" << "その他";
    QTest::newRow("far past largest") << 2 << 2000000000 << "2000000000" << "光熱費" << "光熱費";
    // What the message shows and a screen reader speaks is the name as it stands.
    QTest::newRow("past largest, a name that reads as markup") << 1 << 2147483647 << "1" << "<u>趣味</u>"
                                                              << "「<u>趣味</u>」の合計";
    const QString million(1000000, u'あ');
    QTest::newRow("past largest, a name of 1,000,000 characters")
        << 0 << 2147483647 << "1" << million << "「" + million.left(1000) + "…」";
}

void TestEntryWindow::bookingPastRangeIsRefused()
{
    QFETCH(int, slot);
    QFETCH(int, stored);
    QFETCH(QString, amount);
    QFETCH(QString, category);
    QFETCH(QString, mentioned);
    ProgramHarness program;
    Totals totals{};
    totals[slot] = stored;
    program.writeFile("MD.dat", image(totals));
    NamesFormat::Names names{"食費", "趣味", "光熱費", "電話代", "洗濯代", "その他"};
    names[slot] = category;
    program.writeFile("Item.dat", NamesFormat::encode(names));
    QVERIFY(program.start());
    EntryPage w(program);
    const QStringList before = w.totals();
    // The real message: it shows a bounded part of the name, so that it is
    // laid out at once however long the name (else the test waits for it).
    program.frame().handlers().setMessageHook({});
    QTimer::singleShot(0, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            const auto severity = box->icon() == QMessageBox::Warning ? UserMessage::Severity::Warning
                                                                      : UserMessage::Severity::Fatal;
            auto *shown = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            program.messages.append({severity, shown ? ProgramHarness::spokenName(shown) : QString()});
            box->close();
        }
    });
    QVERIFY(w.book(slot, amount));
    program.frame().handlers().setMessageHook([&](const UserMessage &message) { program.messages.append(message); });
    QCOMPARE(program.messages.size(), 1);
    QCOMPARE(program.messages[0].severity, UserMessage::Severity::Warning);
    QVERIFY2(program.lastMessage().contains(mentioned), qPrintable(program.lastMessage().left(200)));
    QVERIFY(program.lastMessage().contains(QStringLiteral("範囲")));
    QVERIFY(!program.hasEnded());
    QCOMPARE(Module1::KingakuData, totals);
    QCOMPARE(w.totals(), before);
    QCOMPARE(program.readFile("MD.dat"), image(totals));
    QVERIFY(w.option(slot)->isChecked());
    QCOMPARE(w.amount()->text(), amount);
    QVERIFY(w.input()->isEnabled());
    QTest::keySequence(w.amount(), QKeySequence::SelectAll);
    ProgramHarness::type(w.amount(), "0");
    QTest::keyClick(w.amount(), Qt::Key_Return);
    QCOMPARE(program.messages.size(), 1);
    QCOMPARE(program.readFile("MD.dat"), image(totals));
    QVERIFY(!w.anyChosen());
}

void TestEntryWindow::grandTotalPast32BitsIsShownInFull()
{
    ProgramHarness program;
    const int max = 2147483647;
    program.writeFile("MD.dat", image({max, max, max, max, max, max}));
    QVERIFY(program.start());
    EntryPage w(program);
    QCOMPARE(w.grandTotal()->text(), QStringLiteral("12884901882"));
    QVERIFY(w.book(3, "-2"));
    QCOMPARE(w.grandTotal()->text(), QStringLiteral("12884901880"));
    QCOMPARE(w.total(3)->text(), QStringLiteral("2147483645"));
    QVERIFY(program.messages.isEmpty());
}

void TestEntryWindow::runningSumPast32BitsDoesNotStopBooking()
{
    ProgramHarness program;
    const int max = 2147483647;
    program.writeFile("MD.dat", image({max, 0, -1, 0, 0, 0}));
    QVERIFY(program.start());
    EntryPage w(program);
    QVERIFY(w.book(1, "1"));
    QCOMPARE(w.grandTotal()->text(), QStringLiteral("2147483647"));
    QCOMPARE(program.readFile("MD.dat"), image({max, 1, -1, 0, 0, 0}));
    QVERIFY(program.messages.isEmpty());
    QVERIFY(!program.hasEnded());
}

void TestEntryWindow::widestFiguresShowInFull()
{
    ProgramHarness program;
    const int min = int(-2147483648LL);
    program.writeFile("MD.dat", image({min, min, min, min, min, min}));
    QVERIFY(program.start());
    EntryPage w(program);
    QCOMPARE(w.grandTotal()->text(), QStringLiteral("-12884901888"));
    QList<QLabel *> figures{w.grandTotal()};
    for (int slot = 0; slot < kSlotCount; ++slot)
        figures << w.total(slot);
    for (QLabel *figure : figures) {
        const int room = figure->contentsRect().width() - 2 * figure->margin();
        QVERIFY2(figure->fontMetrics().horizontalAdvance(figure->text()) <= room, qPrintable(figure->objectName()));
        QCOMPARE(figure->width(), 100);
    }
    QVERIFY(w.book(0, "2147483647"));
    QCOMPARE(w.total(0)->text(), QStringLiteral("-1"));
    QCOMPARE(w.total(0)->font(), w.window()->font());
}

// A total is named by its figure alone and labelled by its category, so
// that a screen reader reads "食費 300" once; a booking is told as a
// notification.
void TestEntryWindow::screenReaderHearsEachTotalWithItsCategoryAndEachBooking()
{
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    QVERIFY(w.book(0, "300"));
    const auto labelOf = [](QWidget *figure) {
        const auto relations = QAccessible::queryAccessibleInterface(figure)->relations(QAccessible::Label);
        return relations.isEmpty() ? QString() : relations.first().first->text(QAccessible::Name);
    };
    QCOMPARE(ProgramHarness::spokenName(w.total(0)), QStringLiteral("300"));
    QCOMPARE(labelOf(w.total(0)), QStringLiteral("食費"));
    QCOMPARE(labelOf(w.total(5)), QStringLiteral("その他"));
    QCOMPARE(labelOf(w.grandTotal()), QStringLiteral("合計"));
    QCOMPARE(w.option(2)->accessibleName(), QStringLiteral("光熱費"));
    QCOMPARE(w.amount()->accessibleName(), QStringLiteral("金額"));
    QAccessibleInterface *notification = nullptr;
    for (QWidget *control : w.window()->findChildren<QWidget *>()) {
        if (qobject_cast<QMenu *>(control) || control->objectName().startsWith("qt_"))
            continue;
        QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(control);
        if (spoken->role() == QAccessible::Notification)
            notification = spoken;
        if (spoken->state().invisible)
            continue;  // a dividing line, or a control not shown
        QVERIFY2(!control->objectName().isEmpty(), control->metaObject()->className());
        QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
    }
    QVERIFY(notification);
    QCOMPARE(notification->text(QAccessible::Name), QStringLiteral("入力しました。食費 300、合計 300"));
    // Walking the totals' frame meets each category, then its total, in order.
    QStringList walked;
    QAccessibleInterface *totals = QAccessible::queryAccessibleInterface(w.grandTotal()->parentWidget());
    for (int i = 0; i < totals->childCount(); ++i) {
        if (!totals->child(i)->state().invisible)
            walked << totals->child(i)->text(QAccessible::Name);
    }
    QCOMPARE(walked, QStringList({"食費", "300", "趣味", "0", "光熱費", "0", "電話代", "0", "洗濯代", "0", "その他", "0",
                                  "合計", "300"}));
}

void TestEntryWindow::exitCommandAndCloseBoxEndTheProgram_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("終了(&X)") << false;
    QTest::newRow("close box") << true;
}

void TestEntryWindow::exitCommandAndCloseBoxEndTheProgram()
{
    QFETCH(bool, closeBox);
    ProgramHarness program;
    program.writeFile("MD.dat", image({1, 2, 3, 4, 5, 6}));
    QVERIFY(program.start());
    EntryPage w(program);
    ProgramHarness::click(w.option(0));
    ProgramHarness::type(w.amount(), "9");
    if (closeBox)
        w.window()->close();
    else
        program.find<QAction>(Ui::frmIO, Ui::mnuExit)->trigger();
    QCOMPARE(program.endCodes, QList<int>{0});
    QVERIFY(!w.window()->isVisible());
    QVERIFY(program.messages.isEmpty());
    QCOMPARE(program.readFile("MD.dat"), image({1, 2, 3, 4, 5, 6}));
}

void TestEntryWindow::brokenIconStopsStartup_data()
{
    QTest::addColumn<ProgramHarness::Icon>("icon");
    QTest::newRow("missing") << ProgramHarness::Icon::Missing;
    QTest::newRow("not an image") << ProgramHarness::Icon::NotAnImage;
}

void TestEntryWindow::brokenIconStopsStartup()
{
    QFETCH(ProgramHarness::Icon, icon);
    ProgramHarness program(icon);
    QVERIFY(!program.start());
    QCOMPARE(program.endCodes, QList<int>{1});
    QCOMPARE(program.messages.size(), 1);
    QCOMPARE(program.messages[0].severity, UserMessage::Severity::Fatal);
    QVERIFY2(program.lastMessage().contains(program.path("Icon.ico")), qPrintable(program.lastMessage()));
    QVERIFY(!program.frame().trace().steps().contains("show frmIO"));
    for (QWidget *top : QApplication::topLevelWidgets())
        QVERIFY(!top->isVisible());
}

void TestEntryWindow::unwritableTotalsFileEndsWithReport()
{
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage w(program);
    QVERIFY(QFile::remove(program.path("MD.dat")));
    QVERIFY(QDir(program.path("")).mkdir("MD.dat"));
    QVERIFY(w.book(0, "100"));
    QCOMPARE(program.endCodes, QList<int>{1});
    QCOMPARE(program.messages.size(), 1);
    QVERIFY2(program.lastMessage().contains(program.path("MD.dat")), qPrintable(program.lastMessage()));
    QVERIFY(program.lastMessage().contains(QStringLiteral("理由")));
}

QTEST_MAIN(TestEntryWindow)
#include "tst_entrywindow.moc"
