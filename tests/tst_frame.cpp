// The frame's window services on a small window of the tests' own: implicit
// load, unload, modal display, change events, the handler wrapper with its
// error trap, refusal and untrapped-error paths, and the end of the program.
#include "Captions.h"
#include "FormBase.h"
#include "Frame.h"
#include "Messages.h"
#include "ProgramFolder.h"
#include "TestSystem.h"

#include <QAccessible>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>

using namespace kakeibo;

namespace {

// A window whose Form_Load touches itself and whose field counts its changes.
class TestForm : public FormBase {
public:
    explicit TestForm(Frame &frame) : FormBase(frame, QStringLiteral("frmTest"))
    {
        field = new QLineEdit(this);
        field->setText(QStringLiteral("design"));
        field->setObjectName(QStringLiteral("txtField"));
        label = new QLabel(QStringLiteral("design"), this);
        buddyLabel = new QLabel(QStringLiteral("design"), this);
        buddyLabel->setBuddy(field);
        option = new QRadioButton(QStringLiteral("design"), this);
        other = new QLineEdit(this);
        other->setObjectName(QStringLiteral("txtOther"));
        other->setGeometry(0, 25, 100, 25);
        setClientSize({100, 50});
        setTabOrderList({field});
        connect(field, &QLineEdit::textChanged, this, handler([this] { onChange(); }));
    }

    void Form_Load() override
    {
        frame().trace().add(QStringLiteral("Form_Load"));
        frame().writer().setText(frame().windows().control<QLineEdit>(QStringLiteral("frmTest"), QStringLiteral("txtField")),
                        QStringLiteral("loaded"));
    }

    void Form_Unload() override { frame().trace().add(QStringLiteral("Form_Unload")); }

    void onChange()
    {
        ++changes;
        if (field->text() == QLatin1String("fail"))
            throw RuntimeError(Error::conversion(field->text()));
        if (field->text() == QLatin1String("refuse"))
            throw Refusal(QStringLiteral("断りました"));
    }

    QLineEdit *field = nullptr;
    QLabel *label = nullptr;
    QLabel *buddyLabel = nullptr;
    QRadioButton *option = nullptr;
    QLineEdit *other = nullptr;
    int changes = 0;
};

struct Fixture {
    Fixture() : frame(dir.path())
    {
        frame.trace().setEnabled(true);
        frame.windows().registerForm(QStringLiteral("frmTest"), [](Frame &f) { return new TestForm(f); });
        frame.handlers().setMessageHook([this](const UserMessage &m) { messages.append(m); });
        frame.handlers().setEndHook([this](int code) { endCodes.append(code); });
    }
    ~Fixture() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    TestForm *form() { return static_cast<TestForm *>(frame.windows().form(QStringLiteral("frmTest"))); }

    QTemporaryDir dir;
    Frame frame;
    QList<UserMessage> messages;
    QList<int> endCodes;
};

} // namespace

class TestFrame : public QObject {
    Q_OBJECT

private slots:
    void touchLoadsOnceEvenFromFormLoad();
    void unloadRecreatesFromDesign();
    void sameTextRaisesNoChange();
    void nestedHandlerErrorReachesAssigningCode();
    void untrappedErrorIsReportedAndEnds();
    void endWhileFatalMessageIsShownKeepsItsCode();
    void refusalIsShownAndProgramGoesOn();
    void endStopsEveryLaterHandler();
    void showModalReturnsWhenUnloaded();
    void closeBoxUnloadsAndEscapeDoesNot();
    void firstShowFocusesFirstInTabOrder();
    void appFileAppendsNameUnchanged();
    void controlLookupNamesWindowAndControl_data();
    void controlLookupNamesWindowAndControl();
    void captionsAreShownAndSpokenLiterally_data();
    void captionsAreShownAndSpokenLiterally();
    void designCaptionsSpeakWithoutAccessKeys_data();
    void designCaptionsSpeakWithoutAccessKeys();
    void describeNamesFileAndReason_data();
    void describeNamesFileAndReason();
    void composedTextLandsOnceInItsField_data();
    void composedTextLandsOnceInItsField();
    void caretStaysOnInAVeryLongText_data();
    void caretStaysOnInAVeryLongText();
};

void TestFrame::touchLoadsOnceEvenFromFormLoad()
{
    Fixture f;
    QVERIFY(!f.frame.windows().isLoaded("frmTest"));
    QLineEdit *field = f.frame.windows().control<QLineEdit>("frmTest", "txtField");
    QCOMPARE(field->text(), QStringLiteral("loaded"));
    QCOMPARE(f.frame.trace().steps(), QStringList({"load frmTest", "Form_Load", "loaded frmTest"}));
    QCOMPARE(f.frame.windows().control<QLineEdit>("frmTest", "txtField"), field);
    QCOMPARE(f.frame.trace().steps().size(), 3);
    QVERIFY(!f.form()->isVisible());
}

void TestFrame::unloadRecreatesFromDesign()
{
    Fixture f;
    f.frame.writer().setText(f.form()->field, "typed");
    f.frame.windows().unload("frmTest");
    QVERIFY(!f.frame.windows().isLoaded("frmTest"));
    QCOMPARE(f.frame.trace().steps().mid(3), QStringList({"Form_Unload", "unload frmTest"}));
    QCOMPARE(f.form()->changes, 1);  // design "design" -> "loaded" only
    QCOMPARE(f.form()->field->text(), QStringLiteral("loaded"));
}

void TestFrame::sameTextRaisesNoChange()
{
    Fixture f;
    TestForm *form = f.form();
    QTest::keyClick(form->field, Qt::Key_X);
    form->field->setSelection(2, 3);
    const int before = form->changes;
    f.frame.writer().setText(form->field, "loadedx");
    QCOMPARE(form->changes, before);
    QCOMPARE(form->field->selectedText(), QStringLiteral("ade"));
    QVERIFY(form->field->isUndoAvailable());
    f.frame.writer().setText(form->field, "other");
    QCOMPARE(form->changes, before + 1);
}

void TestFrame::nestedHandlerErrorReachesAssigningCode()
{
    Fixture f;
    TestForm *form = f.form();
    bool trapped = false;
    f.frame.handlers().run([&] {
        try {
            f.frame.writer().setText(form->field, "fail");
        } catch (const RuntimeError &error) {
            trapped = error.error().kind == Error::Kind::Conversion;
        }
    });
    QVERIFY(trapped);
    QVERIFY(f.messages.isEmpty());
    QVERIFY(f.endCodes.isEmpty());
    f.frame.handlers().run([&] { f.frame.writer().setText(form->field, "fine"); });
    QVERIFY(f.messages.isEmpty());
}

void TestFrame::untrappedErrorIsReportedAndEnds()
{
    Fixture f;
    TestForm *form = f.form();
    form->show();
    bool ranAfter = false;
    f.frame.handlers().run([&] {
        f.frame.writer().setText(form->field, "fail");
        ranAfter = true;
    });
    QVERIFY(!ranAfter);
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].severity, UserMessage::Severity::Fatal);
    QVERIFY(f.messages[0].text.contains(QStringLiteral("「fail」")));
    QCOMPARE(f.endCodes, QList<int>{1});
    QVERIFY(!form->isVisible());
}

// A signal's "終了" while the message of an error that stops the program is
// shown: the program still ends with 1.
void TestFrame::endWhileFatalMessageIsShownKeepsItsCode()
{
    Fixture f;
    f.frame.handlers().setMessageHook([&](const UserMessage &) {
        QVERIFY(f.frame.handlers().isFailing());
        f.frame.handlers().run([&] { f.frame.handlers().end(0); });
    });
    QVERIFY(!f.frame.handlers().isFailing());
    f.frame.handlers().run([&] { f.frame.writer().setText(f.form()->field, "fail"); });
    QCOMPARE(f.endCodes, QList<int>{1});
}

void TestFrame::refusalIsShownAndProgramGoesOn()
{
    Fixture f;
    TestForm *form = f.form();
    bool ranAfter = false;
    f.frame.handlers().run([&] {
        f.frame.writer().setText(form->field, "refuse");
        ranAfter = true;
    });
    QVERIFY(!ranAfter);
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].severity, UserMessage::Severity::Warning);
    QCOMPARE(f.messages[0].text, QStringLiteral("断りました"));
    QVERIFY(f.endCodes.isEmpty());
}

void TestFrame::endStopsEveryLaterHandler()
{
    Fixture f;
    TestForm *form = f.form();
    bool ranAfterEnd = false;
    f.frame.handlers().run([&] {
        f.frame.handlers().end(0);
        ranAfterEnd = true;
    });
    QVERIFY(!ranAfterEnd);
    QCOMPARE(f.endCodes, QList<int>{0});
    const int changes = form->changes;
    form->field->setText("typed after the end");
    QCOMPARE(form->changes, changes);
    f.frame.handlers().run([&] { ranAfterEnd = true; });
    QVERIFY(!ranAfterEnd);
    QVERIFY(!f.frame.trace().steps().contains("Form_Unload"));
}

void TestFrame::showModalReturnsWhenUnloaded()
{
    Fixture f;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        wasModal = modal && modal->objectName() == QLatin1String("frmTest") && modal->isVisible();
        f.frame.handlers().run([&] { f.frame.windows().unload("frmTest"); });
    });
    f.frame.handlers().run([&] { f.frame.windows().showModal("frmTest"); });
    QVERIFY(wasModal);
    QVERIFY(!f.frame.windows().isLoaded("frmTest"));
    QCOMPARE(f.frame.trace().steps(),
             QStringList({"load frmTest", "Form_Load", "loaded frmTest", "show frmTest", "Form_Unload",
                          "unload frmTest"}));
}

void TestFrame::closeBoxUnloadsAndEscapeDoesNot()
{
    Fixture f;
    TestForm *form = f.form();
    form->show();
    QTest::keyClick(form->field, Qt::Key_Escape);
    QVERIFY(form->isVisible());
    QVERIFY(f.frame.windows().isLoaded("frmTest"));
    form->close();
    QVERIFY(!f.frame.windows().isLoaded("frmTest"));
    QVERIFY(f.frame.trace().steps().contains("Form_Unload"));
}

void TestFrame::firstShowFocusesFirstInTabOrder()
{
    Fixture f;
    TestForm *form = f.form();
    form->show();
    QCOMPARE(form->focusWidget(), form->field);
}

void TestFrame::appFileAppendsNameUnchanged()
{
    Frame root(QStringLiteral("/"));
    QCOMPARE(root.appFile("MD.dat"), QStringLiteral("//MD.dat"));
    Frame plain(QStringLiteral("/opt/kakeibo"));
    QCOMPARE(plain.appFile("Icon.ico"), QStringLiteral("/opt/kakeibo/Icon.ico"));
}

void TestFrame::controlLookupNamesWindowAndControl_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("reported");
    QTest::newRow("missing control") << "txtMissing" << "frmTest.txtMissing";
    QTest::newRow("control of another kind") << "txtField" << "frmTest.txtField";
}

// A control looked up by a wrong name or as the wrong kind is an internal
// error that names the window and the control, never a null pointer.
void TestFrame::controlLookupNamesWindowAndControl()
{
    QFETCH(QString, control);
    QFETCH(QString, reported);
    Fixture f;
    f.frame.handlers().run([&] { f.frame.windows().control<QPushButton>("frmTest", control)->click(); });
    QCOMPARE(f.endCodes, QList<int>{1});
    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.contains(reported), qPrintable(f.messages[0].text));
}

void TestFrame::captionsAreShownAndSpokenLiterally_data()
{
    QTest::addColumn<QString>("caption");
    QTest::newRow("none") << "食費";
    QTest::newRow("ampersand inside") << "R&D";
    QTest::newRow("double ampersand") << "&&";
    QTest::newRow("ampersand before a menu key") << "&X";
    QTest::newRow("trailing ampersand") << "A&";
}

// A caption set from code is data: on a button, a label that leads to a
// field and a plain label alike it shows and is spoken as it stands, and no
// "&" in it becomes an access key.
void TestFrame::captionsAreShownAndSpokenLiterally()
{
    QFETCH(QString, caption);
    Fixture f;
    TestForm *form = f.form();
    for (QWidget *control : QList<QWidget *>{form->option, form->buddyLabel, form->label}) {
        f.frame.writer().setCaption(control, caption);
        QCOMPARE(Captions::shownText(control), caption);
        QCOMPARE(QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name), caption);
    }
    QCOMPARE(form->label->text(), caption);
    QCOMPARE(QKeySequence::mnemonic(form->option->text()), QKeySequence());
    QCOMPARE(QKeySequence::mnemonic(form->buddyLabel->text()), QKeySequence());
}

void TestFrame::designCaptionsSpeakWithoutAccessKeys_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("access key") << "訂正(&R)" << "訂正(R)";
    QTest::newRow("none") << "食費" << "食費";
    QTest::newRow("literal ampersand") << "A&&B" << "A&B";
    QTest::newRow("trailing ampersand") << "A&" << "A&";
}

void TestFrame::designCaptionsSpeakWithoutAccessKeys()
{
    QFETCH(QString, caption);
    QFETCH(QString, spoken);
    QCOMPARE(Captions::withoutAccessKeys(caption), spoken);
}

void TestFrame::describeNamesFileAndReason_data()
{
    QTest::addColumn<QByteArray>("folder");  // under a temporary folder, as the system names it
    QTest::addColumn<QString>("shown");      // the folder's name in the message
    QTest::newRow("a folder named in text") << QByteArray("家計簿") << "家計簿";
    // 家計簿 in Shift_JIS, as a folder copied from an old Japanese disk: its
    // bytes C6 8C happen to be UTF-8 (ƌ), the others are shown as bytes.
    QTest::newRow("a folder named in bytes that are no UTF-8")
        << QByteArray("\x89\xC6\x8Cv\x95\xEB") << R"(\x89ƌv\x95\xEB)";
}

// The report names the file by its full path, readably whatever bytes its
// folder's name holds, with the system's reason.
void TestFrame::describeNamesFileAndReason()
{
    QFETCH(QByteArray, folder);
    QFETCH(QString, shown);
    if (QString::fromUtf8(folder).toUtf8() != folder)
        if (const char *reason = TestSystem::missing(TestSystem::Feature::NamesInBytes))
            QSKIP(reason);
    QTemporaryDir parent;
    const auto utf8 = [](const QByteArray &bytes) { return std::u8string(bytes.begin(), bytes.end()); };
    const std::filesystem::path made = std::filesystem::path(utf8(parent.path().toUtf8())) / utf8(folder);
    QVERIFY(std::filesystem::create_directory(made));
    const QString book = ProgramFolder::reach(made);
    QFile file(book + "/MD.dat");
    QVERIFY(file.open(QIODevice::WriteOnly));  // the folder is reached by its own name
    const QString text = Messages::describe(Error::file(Error::Kind::FileOpen, book + "/MD.dat", "Permission denied"));
    QVERIFY(text.contains(QStringLiteral("開けませんでした")));
    QVERIFY2(text.contains(parent.path() + "/" + shown + "/MD.dat\n理由: Permission denied"), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("終了")));
}

namespace {

void sendComposition(QWidget *receiver, const QString &preedit, const QString &commit)
{
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit);
    QCoreApplication::sendEvent(receiver, &event);
}

} // namespace

// How a composition ends, and where the input method's own second commit of
// it (ibus with mozc commits on reset) arrives afterwards.
void TestFrame::composedTextLandsOnceInItsField_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("other");
    QTest::newRow("a click into another field, the echo there") << "click" << "loadedがい" << "";
    QTest::newRow("Alt, the echo in the same field") << "alt" << "loadedがい" << "";
    QTest::newRow("the window blocked by a modal one, the echo in it") << "blocked" << "loadedがい" << "";
    QTest::newRow("the commit sent to another field") << "elsewhere" << "loadedがい" << "";
    QTest::newRow("Enter commits, the same text composed again") << "again" << "loadedがいがい" << "";
    QTest::newRow("Enter commits, other text committed next") << "next" << "loadedがいい" << "";
    QTest::newRow("taken back by the input method, then a click elsewhere") << "cancel" << "loaded" << "";
    // "a" of "loaded" selected left to right and reconverted: the input
    // method asks to delete it, counted as ibus counts (with the selection
    // in the text) or as fcitx5's client counts (without it).
    QTest::newRow("a selection reconverted through ibus") << "reconvert ibus" << "loがいded" << "";
    QTest::newRow("a selection reconverted through fcitx") << "reconvert fcitx" << "loがいded" << "";
}

void TestFrame::composedTextLandsOnceInItsField()
{
    QFETCH(QString, ending);
    QFETCH(QString, field);
    QFETCH(QString, other);
    const bool reconverting = ending.startsWith("reconvert");
    if (reconverting)
        qputenv("QT_IM_MODULE", ending.section(' ', 1).toLatin1());
    const auto restore = qScopeGuard([] { qunsetenv("QT_IM_MODULE"); });
    Fixture f;
    TestForm *form = f.form();
    form->show();
    form->field->setFocus();
    form->field->setCursorPosition(form->field->text().size());
    if (reconverting) {
        form->field->setSelection(2, 1);
        QInputMethodEvent deletion;
        deletion.setCommitString({}, ending.endsWith("ibus") ? -1 : 0, ending.endsWith("ibus") ? 1 : 0);
        QCoreApplication::sendEvent(form->field, &deletion);
    }
    sendComposition(form->field, "がい", {});
    if (reconverting) {
        sendComposition(form->field, {}, "がい");
    } else if (ending == "cancel") {
        sendComposition(form->field, {}, {});
        QTest::mouseClick(form->other, Qt::LeftButton);
    } else if (ending == "click") {
        QTest::mouseClick(form->other, Qt::LeftButton);
        sendComposition(form->other, {}, "がい");
    } else if (ending == "alt") {
        QTest::keyClick(form->field, Qt::Key_Alt, Qt::AltModifier);
        sendComposition(form->field, {}, "がい");
    } else if (ending == "blocked") {
        QEvent blocked(QEvent::WindowBlocked);
        QCoreApplication::sendEvent(form, &blocked);
        sendComposition(form->other, {}, "がい");
    } else if (ending == "elsewhere") {
        sendComposition(form->other, {}, "がい");
    } else {
        sendComposition(form->field, {}, "がい");
        if (ending == "again")
            sendComposition(form->field, "がい", {});
        sendComposition(form->field, {}, ending == "again" ? "がい" : "い");
    }
    QCOMPARE(form->field->text(), field);
    QCOMPARE(form->other->text(), other);
}

void TestFrame::caretStaysOnInAVeryLongText_data()
{
    QTest::addColumn<int>("length");        // of the text in the field that has the focus
    QTest::addColumn<bool>("focusElsewhere");  // the focus then moves to a short field
    QTest::addColumn<bool>("blinks");
    QTest::newRow("a short text") << 6 << false << true;
    QTest::newRow("100,000 characters") << 100000 << false << true;
    QTest::newRow("100,001 characters") << 100001 << false << false;
    QTest::newRow("100,001 characters, then a short field") << 100001 << true << true;
}

// Each blink of the caret paints its field, which measures its whole text:
// in a very long text the caret stays on, and the desktop's blinking comes
// back with the focus in another field.
void TestFrame::caretStaysOnInAVeryLongText()
{
    QFETCH(int, length);
    QFETCH(bool, focusElsewhere);
    QFETCH(bool, blinks);
    QStyleHints *hints = QGuiApplication::styleHints();
    const int desktop = hints->cursorFlashTime();
    QVERIFY(desktop > 0);
    {
        Fixture f;
        TestForm *form = f.form();
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        form->field->setMaxLength(length);
        form->field->setText(QString(length, u'長'));
        form->field->setFocus();
        if (focusElsewhere)
            form->other->setFocus();
        QCOMPARE(hints->cursorFlashTime() == desktop, blinks);
        QCOMPARE(hints->cursorFlashTime() == 0, !blinks);
    }
    QCOMPARE(hints->cursorFlashTime(), desktop);
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
