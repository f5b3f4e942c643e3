// The version window: its content and design, the two-digit version rule,
// how it opens and closes, and "Icon.ico" read at every opening.
#include "Fonts.h"
#include "UiNames.h"
#include "ProgramHarness.h"
#include "Version.h"

#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QTest>

using namespace kakeibo;

namespace {


} // namespace

class TestAboutWindow : public QObject {
    Q_OBJECT

private slots:
    void versionCaptionPadsMinorToTwoDigits_data();
    void versionCaptionPadsMinorToTwoDigits();
    void showsIconProductAndVersion();
    void enterAndEscapeDoNothing();
    void closeBoxUnloadsIt();
    void iconIsReadAtEveryOpening();
};

void TestAboutWindow::versionCaptionPadsMinorToTwoDigits_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("caption");
    QTest::newRow("this version") << Version::kMajor << Version::kMinor << "Version 0.85";
    QTest::newRow("minor below ten") << 1 << 5 << "Version 1.05";
    QTest::newRow("minor of three digits") << 0 << 120 << "Version 0.120";
    QTest::newRow("major of two digits") << 10 << 0 << "Version 10.00";
}

void TestAboutWindow::versionCaptionPadsMinorToTwoDigits()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, caption);
    QCOMPARE(Version::caption(major, minor), caption);
}

void TestAboutWindow::showsIconProductAndVersion()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(!program.frame().windows().isLoaded(Ui::frmAbout));
    QVERIFY(program.whileModal(Ui::mnuAbout, [](QWidget *window) {
        QCOMPARE(window->objectName(), Ui::frmAbout);
        QCOMPARE(window->windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
        QCOMPARE(window->size(), QSize(273, 108));
        QVERIFY(!window->windowIcon().isNull());
        QLabel *version = window->findChild<QLabel *>(Ui::lblAbout);
        QCOMPARE(version->text(), QStringLiteral("Version 0.85"));
        QCOMPARE(QAccessible::queryAccessibleInterface(version)->text(QAccessible::Name),
                 QStringLiteral("Version 0.85"));
        QCOMPARE(version->x(), 152);
        QVERIFY(version->width() >= version->sizeHint().width());
        QCOMPARE(window->findChild<QLabel *>(Ui::Label1)->text(), QStringLiteral("QEN ペルモア"));
        QLabel *greeting = window->findChild<QLabel *>(Ui::Label2);
        QVERIFY(greeting->wordWrap());
        QCOMPARE(greeting->geometry(), QRect(16, 64, 145, 33));
        QLabel *icon = window->findChild<QLabel *>(Ui::imgIcon);
        QCOMPARE(icon->pixmap().size(), QSize(32, 32));
        QCOMPARE(icon->geometry(), QRect(16, 16, 32, 32));
        const QFont font = version->font();
        QCOMPARE(font.families().first(), QStringLiteral("ＭＳ Ｐ明朝"));
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("IPAPMincho"));
        QCOMPARE(font.pointSizeF(), 11.25);
        QVERIFY(!Fonts::isFixedPitch(font));
    }));
    QVERIFY(!program.frame().windows().isLoaded(Ui::frmAbout));
}

void TestAboutWindow::enterAndEscapeDoNothing()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuAbout, [](QWidget *window) {
        QTest::keyClick(window, Qt::Key_Return);
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(window->isVisible());
    }));
}

void TestAboutWindow::closeBoxUnloadsIt()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuAbout, [](QWidget *window) { window->close(); }));
    QVERIFY(!program.frame().windows().isLoaded(Ui::frmAbout));
    QVERIFY(program.frame().trace().steps().contains("unload frmAbout"));
    QVERIFY(!program.hasEnded());
}

void TestAboutWindow::iconIsReadAtEveryOpening()
{
    ProgramHarness program;
    QVERIFY(program.start());
    QVERIFY(program.whileModal(Ui::mnuAbout, [](QWidget *window) { window->close(); }));
    QVERIFY(QFile::remove(program.path("Icon.ico")));
    QVERIFY(!program.whileModal(Ui::mnuAbout, [](QWidget *) {}));
    QCOMPARE(program.endCodes, QList<int>{1});
    QCOMPARE(program.messages.size(), 1);
    QVERIFY2(program.lastMessage().contains(program.path("Icon.ico")), qPrintable(program.lastMessage()));
    QCOMPARE(program.frame().trace().steps().count("show frmAbout"), 1);
}

QTEST_MAIN(TestAboutWindow)
#include "tst_aboutwindow.moc"
