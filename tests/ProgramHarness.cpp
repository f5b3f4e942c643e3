#include "ProgramHarness.h"

#include "Controls.h"
#include "UiNames.h"
#include "Program.h"
#include "TestFiles.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <stdexcept>

ProgramHarness::ProgramHarness(Icon icon) : m_appDir(m_dir.path())
{
    install(icon);
}

ProgramHarness::ProgramHarness(const QString &applicationDirectory, Icon icon) : m_appDir(applicationDirectory)
{
    install(icon);
}

// Where the program's installed files come from: the checkout's app/, or
// KAKEIBO_TEST_DATA when a suite runs from a copy.
static QString dataFile(const char *name)
{
    const QString dir = qEnvironmentVariableIsSet("KAKEIBO_TEST_DATA") ? qEnvironmentVariable("KAKEIBO_TEST_DATA")
                                                                       : QStringLiteral(KAKEIBO_SOURCE_DIR "/app");
    return QDir(dir).filePath(QString::fromLatin1(name));
}

void ProgramHarness::install(Icon icon)
{
    if (icon == Icon::Installed)
        QFile::copy(dataFile("Icon.ico"), path("Icon.ico"));
    if (icon == Icon::NotAnImage)
        writeFile("Icon.ico", "this is no picture");
    QFile::copy(dataFile("Item.dat"), path("Item.dat"));
    m_frame = std::make_unique<kakeibo::Frame>(m_appDir);
    m_frame->trace().setEnabled(true);
    m_frame->handlers().setMessageHook([this](const kakeibo::UserMessage &message) {
        messages.append(message);
        events.append(message.severity == kakeibo::UserMessage::Severity::Fatal ? QStringLiteral("fatal")
                                                                                : QStringLiteral("warning"));
    });
    m_frame->handlers().setEndHook([this](int code) {
        endCodes.append(code);
        events.append(QStringLiteral("end %1").arg(code));
    });
}

ProgramHarness::~ProgramHarness()
{
    m_frame.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ProgramHarness::failMissing(const QString &window, const QString &control, const char *kind)
{
    const QString message = QStringLiteral("no %1 %2 in %3 (or %3 is not loaded)")
                                .arg(QString::fromLatin1(kind), control, window);
    QTest::qFail(qPrintable(message), __FILE__, __LINE__);
    throw std::runtime_error(message.toStdString());
}

QString ProgramHarness::path(const QString &fileName) const
{
    return QDir(m_appDir).filePath(fileName);
}

void ProgramHarness::writeFile(const QString &fileName, const QByteArray &bytes) const
{
    TestFiles::write(path(fileName), bytes);
}

QByteArray ProgramHarness::readFile(const QString &fileName) const
{
    return TestFiles::read(path(fileName));
}

bool ProgramHarness::start()
{
    return kakeibo::startProgram(*m_frame);
}

void ProgramHarness::type(QLineEdit *box, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(box, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void ProgramHarness::commitInputMethodText(QLineEdit *box, const QString &text)
{
    QInputMethodEvent preedit(text, {});
    QCoreApplication::sendEvent(box, &preedit);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(box, &commit);
}

void ProgramHarness::retype(QLineEdit *box, const QString &text)
{
    box->setFocus();
    QTest::keySequence(box, QKeySequence::SelectAll);
    QTest::keyClick(box, Qt::Key_Delete);
    type(box, text);
}

void ProgramHarness::repaste(QLineEdit *box, const QString &text)
{
    retype(box, QString());
    QGuiApplication::clipboard()->setText(text);
    QTest::keySequence(box, QKeySequence::Paste);
}

QString ProgramHarness::spokenName(QWidget *control)
{
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
}

QLineEdit *ProgramHarness::field(QWidget *window, int slot)
{
    return window->findChild<QLineEdit *>(kakeibo::Controls::arrayName(kakeibo::Ui::txtKoumoku, slot));
}

QPushButton *ProgramHarness::applyButton(QWidget *window)
{
    return window->findChild<QPushButton *>(kakeibo::Ui::cmdTeisei);
}

void ProgramHarness::click(QWidget *control)
{
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(8, control->height() / 2));
}

bool ProgramHarness::whileModal(const QString &menuCommand, const std::function<void(QWidget *)> &inside)
{
    // The command runs at once, inside trigger(); the check, posted first,
    // runs inside its modal loop.
    bool shown = false;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        shown = modal != nullptr;
        if (modal)
            inside(modal);
        if (QWidget *left = QApplication::activeModalWidget())
            left->close();
    });
    find<QAction>(kakeibo::Ui::frmIO, menuCommand)->trigger();
    QCoreApplication::sendPostedEvents();
    return shown;
}
