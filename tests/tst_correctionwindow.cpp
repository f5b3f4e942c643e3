// The correction window through the whole program: the order of the
// start-up steps that load it, its field check and button state, applying
// and closing, and the totals on the entry window afterwards.
#include "Module1.h"
#include "UiNames.h"
#include "Pages.h"
#include "ProgramHarness.h"
#include "TotalsFormat.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWindow>

using namespace kakeibo;
using Totals = TotalsFormat::Totals;

namespace {

constexpr int kMax = 2147483647;

} // namespace

class TestCorrectionWindow : public QObject {
    Q_OBJECT

private slots:
    void startupRunsStepsInOrder();
    void designMatchesLayout();
    void openingShowsStoredTotals();
    void allZeroTotalsLeaveButtonDisabled();
    void fieldCheck_data();
    void fieldCheck();
    void oneValidFieldDoesNotHideAnotherInvalid();
    void applyingWritesOnceAndShowsTotals();
    void accessKeyApplies();
    void closeBoxWritesNothing();
    void bookingAfterCorrectionAddsToCorrectedTotals();
    void totalsWhoseSumLeaves32BitsAreStored();
    void saveConvertsEveryFieldBeforeChangingAny();
    void entryWindowTakesNoInputWhileOpen();
};

void TestCorrectionWindow::startupRunsStepsInOrder()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QCOMPARE(program.frame().trace().steps(),
             QStringList({"load frmIO", "LoadKoumoku", "load frmTeisei", "LoadTeisei", "LoadKoumoku",
                          "load frmKoumoku", "loaded frmKoumoku", "loaded frmTeisei", "LoadKingaku",
                          "loaded frmIO", "show frmIO"}));
    QVERIFY(program.frame().windows().isLoaded(Ui::frmTeisei));
    QVERIFY(program.frame().windows().isLoaded(Ui::frmKoumoku));
    QVERIFY(!program.frame().windows().isLoaded(Ui::frmAbout));
    QVERIFY(!program.frame().windows().loadedForm(Ui::frmTeisei)->isVisible());
    QVERIFY(!program.frame().windows().loadedForm(Ui::frmKoumoku)->isVisible());
    QWidget *correction = program.frame().windows().loadedForm(Ui::frmTeisei);
    QCOMPARE(correction->findChild<QLabel *>("lblKoumoku_5")->text(), QStringLiteral("その他"));
}

void TestCorrectionWindow::designMatchesLayout()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuRevision, [](QWidget *window) {
        QCOMPARE(window->windowTitle(), QStringLiteral("訂正"));
        QCOMPARE(window->size(), QSize(190, 260));
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(ProgramHarness::field(window, 0)->geometry(), QRect(72, 16, 105, 27));
        QCOMPARE(ProgramHarness::field(window, 5)->geometry(), QRect(72, 176, 105, 27));
        QCOMPARE(ProgramHarness::field(window, 2)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(ProgramHarness::applyButton(window)->geometry(), QRect(72, 216, 105, 33));
        QCOMPARE(ProgramHarness::applyButton(window)->text(), QStringLiteral("訂正(&K)"));
        QCOMPARE(ProgramHarness::applyButton(window)->font().weight(), QFont::Bold);
        QVERIFY(ProgramHarness::applyButton(window)->isDefault());
        QLabel *label = window->findChild<QLabel *>("lblKoumoku_2");
        QCOMPARE(label->text(), QStringLiteral("光熱費"));
        QCOMPARE(label->geometry().right() + 1, 65);
        QCOMPARE(ProgramHarness::field(window, 2)->accessibleName(), QStringLiteral("光熱費の合計"));
        QCOMPARE(window->focusWidget(), ProgramHarness::field(window, 0));
        QTest::keyClick(ProgramHarness::field(window, 0), Qt::Key_Escape);
        QVERIFY(window->isVisible());
    }));
}

void TestCorrectionWindow::openingShowsStoredTotals()
{
    ProgramHarness program;
    program.writeFile("MD.dat", TotalsFormat::encode({300, 0, 0, 0, 0, -200}));
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuRevision, [](QWidget *window) {
        QCOMPARE(EditingPage(window).fieldTexts(), QStringList({"300", "0", "0", "0", "0", "-200"}));
        QVERIFY(ProgramHarness::applyButton(window)->isEnabled());
    }));
}

void TestCorrectionWindow::allZeroTotalsLeaveButtonDisabled()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuRevision, [](QWidget *window) {
        QCOMPARE(EditingPage(window).fieldTexts(), QStringList({"0", "0", "0", "0", "0", "0"}));
        QVERIFY(!ProgramHarness::applyButton(window)->isEnabled());
        ProgramHarness::retype(ProgramHarness::field(window, 4), "0");
        QVERIFY(ProgramHarness::applyButton(window)->isEnabled());
    }));
}

void TestCorrectionWindow::fieldCheck_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("empty") << 0 << "" << false << "" << false;
    QTest::newRow("spaces") << 1 << "   " << false << "   " << false;
    QTest::newRow("not a number") << 2 << "12a" << false << "12a" << false;
    QTest::newRow("fraction") << 3 << "1.5" << false << "1.5" << false;
    QTest::newRow("largest") << 4 << "2147483647" << false << "2147483647" << true;
    QTest::newRow("one above largest") << 4 << "2147483648" << false << "2147483648" << false;
    QTest::newRow("smallest") << 5 << "-2147483648" << false << "-2147483648" << true;
    QTest::newRow("one below smallest") << 5 << "-2147483649" << false << "-2147483649" << false;
    QTest::newRow("negative") << 0 << "-500" << false << "-500" << true;
    QTest::newRow("full-width") << 1 << "１，０００" << false << "１，０００" << true;
    const QString twenty = QString(19, u'0') + u'5';
    QTest::newRow("paste of twenty characters") << 3 << twenty << true << twenty << true;
    // Cut to twenty characters, "000…05" would read as 0.
    QTest::newRow("longer paste refused whole") << 3 << u'0' + twenty << true << "" << false;
}

void TestCorrectionWindow::fieldCheck()
{
    QFETCH(int, slot);
    QFETCH(QString, text);
    QFETCH(bool, pasted);
    QFETCH(QString, shown);
    QFETCH(bool, enabled);
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuRevision, [&](QWidget *window) {
        if (pasted)
            ProgramHarness::repaste(ProgramHarness::field(window, slot), text);
        else
            ProgramHarness::retype(ProgramHarness::field(window, slot), text);
        QCOMPARE(ProgramHarness::field(window, slot)->text(), shown);
        QCOMPARE(ProgramHarness::applyButton(window)->isEnabled(), enabled);
    }));
    QVERIFY(program.messages.isEmpty());
}

void TestCorrectionWindow::oneValidFieldDoesNotHideAnotherInvalid()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuRevision, [](QWidget *window) {
        ProgramHarness::retype(ProgramHarness::field(window, 1), "x");
        ProgramHarness::retype(ProgramHarness::field(window, 4), "");
        QVERIFY(!ProgramHarness::applyButton(window)->isEnabled());
        ProgramHarness::type(ProgramHarness::field(window, 4), "7");
        QVERIFY(!ProgramHarness::applyButton(window)->isEnabled());
        ProgramHarness::retype(ProgramHarness::field(window, 1), "8");
        QVERIFY(ProgramHarness::applyButton(window)->isEnabled());
    }));
}

void TestCorrectionWindow::applyingWritesOnceAndShowsTotals()
{
    ProgramHarness program;
    program.writeFile("MD.dat", TotalsFormat::encode({1, 2, 3, 4, 5, 6}) + "tail");
    QVERIFY(program.start());
    const qsizetype before = program.frame().trace().steps().size();
    QVERIFY(program.whileModal(Ui::mnuRevision, [](QWidget *window) {
        ProgramHarness::retype(ProgramHarness::field(window, 0), "300");
        ProgramHarness::retype(ProgramHarness::field(window, 1), "0");
        ProgramHarness::retype(ProgramHarness::field(window, 2), "0");
        ProgramHarness::retype(ProgramHarness::field(window, 3), "0");
        ProgramHarness::retype(ProgramHarness::field(window, 4), "0");
        ProgramHarness::retype(ProgramHarness::field(window, 5), "-200");
        QTest::keyClick(ProgramHarness::field(window, 5), Qt::Key_Return);
        QVERIFY(!window->isVisible());
    }));
    QCOMPARE(program.readFile("MD.dat"), TotalsFormat::encode({300, 0, 0, 0, 0, -200}) + "tail");
    QCOMPARE(EntryPage(program).totals(), QStringList({"300", "0", "0", "0", "0", "-200", "100"}));
    QVERIFY(!program.frame().windows().isLoaded(Ui::frmTeisei));
    const QStringList steps = program.frame().trace().steps().mid(before);
    QCOMPARE(steps.count("SaveTeisei"), 1);
    QCOMPARE(steps.count("SaveKingaku"), 0);
    QCOMPARE(steps.mid(steps.indexOf("SaveTeisei")),
             QStringList({"SaveTeisei", "LoadKingaku", "LoadKingaku", "unload frmTeisei"}));
}

void TestCorrectionWindow::accessKeyApplies()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuRevision, [](QWidget *window) {
        ProgramHarness::retype(ProgramHarness::field(window, 3), "42");
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        const QPointer<QWidget> guard(window);
        QTest::keyClick(ProgramHarness::field(window, 3), Qt::Key_K, Qt::AltModifier);
        // An access key presses the button visibly, after a moment; the
        // window is then unloaded and destroyed.
        QTRY_VERIFY(!guard || !guard->isVisible());
    }));
    QCOMPARE(program.readFile("MD.dat"), TotalsFormat::encode({0, 0, 0, 42, 0, 0}));
}

void TestCorrectionWindow::closeBoxWritesNothing()
{
    ProgramHarness program;
    program.writeFile("MD.dat", TotalsFormat::encode({10, 20, 30, 40, 50, 60}));
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuRevision, [](QWidget *window) {
        ProgramHarness::retype(ProgramHarness::field(window, 0), "999");
        window->close();
    }));
    QVERIFY(!program.frame().windows().isLoaded(Ui::frmTeisei));
    QCOMPARE(program.readFile("MD.dat"), TotalsFormat::encode({10, 20, 30, 40, 50, 60}));
    QCOMPARE(EntryPage(program).totals(), QStringList({"10", "20", "30", "40", "50", "60", "210"}));
    QVERIFY(program.whileModal(Ui::mnuRevision, [](QWidget *window) {
        QCOMPARE(ProgramHarness::field(window, 0)->text(), QStringLiteral("10"));
    }));
}

void TestCorrectionWindow::bookingAfterCorrectionAddsToCorrectedTotals()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuRevision, [](QWidget *window) {
        ProgramHarness::retype(ProgramHarness::field(window, 2), "1000");
        QTest::mouseClick(ProgramHarness::applyButton(window), Qt::LeftButton);
    }));
    ProgramHarness::click(program.find<QRadioButton>(Ui::frmIO, Ui::optKoumoku, 2));
    ProgramHarness::type(program.find<QLineEdit>(Ui::frmIO, Ui::txtKingaku), "234");
    QTest::keyClick(program.find<QLineEdit>(Ui::frmIO, Ui::txtKingaku), Qt::Key_Return);
    QCOMPARE(program.readFile("MD.dat"), TotalsFormat::encode({0, 0, 1234, 0, 0, 0}));
    QCOMPARE(EntryPage(program).totals(), QStringList({"0", "0", "1234", "0", "0", "0", "1234"}));
}

void TestCorrectionWindow::totalsWhoseSumLeaves32BitsAreStored()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuRevision, [](QWidget *window) {
        for (int slot = 0; slot < kSlotCount; ++slot)
            ProgramHarness::retype(ProgramHarness::field(window, slot), "2147483647");
        QTest::keyClick(ProgramHarness::field(window, 0), Qt::Key_Return);
    }));
    QVERIFY(program.messages.isEmpty());
    QCOMPARE(program.readFile("MD.dat"), TotalsFormat::encode({kMax, kMax, kMax, kMax, kMax, kMax}));
    QCOMPARE(EntryPage(program).totals().last(), QStringLiteral("12884901882"));
}

void TestCorrectionWindow::saveConvertsEveryFieldBeforeChangingAny()
{
    ProgramHarness program;
    program.writeFile("MD.dat", TotalsFormat::encode({1, 2, 3, 4, 5, 6}));
    QVERIFY(program.start());
    QWidget *window = program.frame().windows().loadedForm(Ui::frmTeisei);
    program.frame().writer().setText(ProgramHarness::field(window, 0), "100");
    program.frame().writer().setText(ProgramHarness::field(window, 3), "abc");
    program.frame().handlers().run([] { Module1::SaveTeisei(); });
    QCOMPARE(program.endCodes, QList<int>{1});
    QVERIFY(program.lastMessage().contains(QStringLiteral("「abc」")));
    QCOMPARE(Module1::KingakuData, (Totals{1, 2, 3, 4, 5, 6}));
    QCOMPARE(program.readFile("MD.dat"), TotalsFormat::encode({1, 2, 3, 4, 5, 6}));
}

// The correction window is modal to the whole program: a click that the
// window system delivers to the entry window meanwhile changes nothing.
void TestCorrectionWindow::entryWindowTakesNoInputWhileOpen()
{
    ProgramHarness program;
    QVERIFY(program.start());
    EntryPage entry(program);
    QVERIFY(program.whileModal(Ui::mnuRevision, [&](QWidget *) {
        QRadioButton *option = entry.option(2);
        const QPoint inWindow = option->mapTo(entry.window(), QPoint(8, option->height() / 2));
        QTest::mouseClick(entry.window()->windowHandle(), Qt::LeftButton, {}, inWindow);
        QVERIFY(!option->isChecked());
    }));
    QTest::mouseClick(entry.window()->windowHandle(), Qt::LeftButton, {},
                      entry.option(2)->mapTo(entry.window(), QPoint(8, entry.option(2)->height() / 2)));
    QVERIFY(entry.option(2)->isChecked());
}

QTEST_MAIN(TestCorrectionWindow)
#include "tst_correctionwindow.moc"
