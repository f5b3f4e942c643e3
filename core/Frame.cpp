#include "Frame.h"

#include "AltKeys.h"
#include "Captions.h"
#include "Controls.h"
#include "FormBase.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>

#include <utility>

namespace kakeibo {
namespace {

Frame *g_current = nullptr;

QString pathAndReason(const QString &label, const Error &error)
{
    QString text = QStringLiteral("\n\n%1: %2").arg(label, error.subject);
    if (!error.reason.isEmpty())
        text += QStringLiteral("\n理由: %1").arg(error.reason);
    return text;
}

QString fileAndReason(const Error &error)
{
    return pathAndReason(QStringLiteral("ファイル"), error);
}

QString folderAndReason(const Error &error)
{
    return pathAndReason(QStringLiteral("フォルダ"), error);
}

} // namespace

const QString Frame::kTitle = QStringLiteral("QEN ペルモア");

// While the program's own code assigns to a control, handlers raised by the
// assignment keep their errors for it instead of reporting them.
class Frame::Assignment {
public:
    explicit Assignment(Frame &frame) : m_frame(frame) { ++m_frame.m_assignmentDepth; }
    ~Assignment() { --m_frame.m_assignmentDepth; }

    void rethrowPending()
    {
        if (std::exception_ptr pending = std::exchange(m_frame.m_pending, nullptr))
            std::rethrow_exception(pending);
    }

private:
    Frame &m_frame;
};

Frame::Frame(QString applicationDirectory)
    : m_appDir(std::move(applicationDirectory))
    , m_altKeys(std::make_unique<AltKeys>(QCoreApplication::instance()))
{
    g_current = this;
}

Frame::~Frame()
{
    for (const QPointer<FormBase> &form : std::as_const(m_forms))
        delete form.data();
    if (g_current == this)
        g_current = nullptr;
}

Frame &Frame::current()
{
    Q_ASSERT(g_current);
    return *g_current;
}

QString Frame::appFile(const QString &fileName) const
{
    return m_appDir + QLatin1Char('/') + fileName;
}

void Frame::registerForm(const QString &name, Factory factory)
{
    m_factories.insert(name, std::move(factory));
}

FormBase *Frame::form(const QString &name)
{
    if (FormBase *loaded = m_forms.value(name))
        return loaded;
    const auto factory = m_factories.constFind(name);
    if (factory == m_factories.cend())
        throw RuntimeError({Error::Kind::Internal, name, QStringLiteral("unknown window")});
    FormBase *created = (*factory)(*this);
    m_forms.insert(name, created);
    addTrace(QStringLiteral("load ") + name);
    created->Form_Load();
    addTrace(QStringLiteral("loaded ") + name);
    return created;
}

bool Frame::isLoaded(const QString &name) const
{
    return !m_forms.value(name).isNull();
}

QWidget *Frame::loadedForm(const QString &name) const
{
    return m_forms.value(name).data();
}

void Frame::showModal(const QString &name)
{
    FormBase *window = form(name);
    centre(window);
    window->setWindowModality(Qt::ApplicationModal);
    addTrace(QStringLiteral("show ") + name);
    runNestedLoop([window] { window->exec(); });
    if (m_ended)
        throw EndSignal{};
}

void Frame::unload(const QString &name)
{
    QPointer<FormBase> window = m_forms.value(name);
    if (!window)
        return;
    window->Form_Unload();
    m_forms.remove(name);
    addTrace(QStringLiteral("unload ") + name);
    window->hide();
    window->deleteLater();
}

bool Frame::start(const QString &name)
{
    run([&] {
        FormBase *window = form(name);
        centre(window);
        addTrace(QStringLiteral("show ") + name);
        window->show();
    });
    return !m_ended;
}

void Frame::bringToFront(const QString &mainWindow)
{
    QWidget *window = QApplication::activeModalWidget();
    if (!window)
        window = loadedForm(mainWindow);
    if (!window || m_ended)
        return;
    window->showNormal();
    window->raise();
    window->activateWindow();
}

void Frame::end(int exitCode)
{
    finish(exitCode);
    throw EndSignal{};
}

void Frame::finish(int exitCode)
{
    if (m_ended)
        return;
    m_ended = true;
    m_exitCode = exitCode;
    addTrace(QStringLiteral("end"));
    for (const QPointer<FormBase> &form : std::as_const(m_forms)) {
        if (form)
            form->hide();
    }
    if (m_endHook)
        m_endHook(exitCode);
    else
        QCoreApplication::exit(exitCode);
}

void Frame::run(const std::function<void()> &handler)
{
    if (m_ended)
        return;
    if (m_assignmentDepth > 0) {
        try {
            handler();
        } catch (...) {
            if (!m_pending)
                m_pending = std::current_exception();
        }
        return;
    }
    try {
        handler();
    } catch (const EndSignal &) {
    } catch (const Refusal &refusal) {
        show({UserMessage::Severity::Warning, refusal.message()});
    } catch (const RuntimeError &error) {
        reportError(error.error());
    } catch (const std::exception &error) {
        reportError({Error::Kind::Internal, QString::fromLocal8Bit(error.what()), {}});
    }
}

void Frame::reportError(const Error &error)
{
    show({UserMessage::Severity::Fatal, describe(error)});
    finish(1);
}

void Frame::show(const UserMessage &message)
{
    if (m_messageHook) {
        m_messageHook(message);
        return;
    }
    const auto icon = message.severity == UserMessage::Severity::Fatal ? QMessageBox::Critical
                                                                       : QMessageBox::Warning;
    QMessageBox box(icon, kTitle, message.text, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("messageBox"));
    runNestedLoop([&box] { box.exec(); });
}

// A nested event loop delivers the user's own input: its handlers are
// outermost, whatever assignment was running when the loop began.
void Frame::runNestedLoop(const std::function<void()> &loop)
{
    const int outerDepth = std::exchange(m_assignmentDepth, 0);
    loop();
    m_assignmentDepth = outerDepth;
}

QString Frame::describe(const Error &error)
{
    const QString end = QStringLiteral("\n\nプログラムを終了します。");
    switch (error.kind) {
    case Error::Kind::Conversion:
        return QStringLiteral("「%1」は金額として読めません。").arg(error.subject) + end;
    case Error::Kind::Overflow:
        return QStringLiteral("計算の結果が扱える範囲 (-2147483648 ～ 2147483647) を超えました。") + end;
    case Error::Kind::FileNotFound:
        return QStringLiteral("必要なファイルが見つかりません。") + fileAndReason(error) + end;
    case Error::Kind::FileOpen:
        return QStringLiteral("ファイルを開けませんでした。") + fileAndReason(error) + end;
    case Error::Kind::FileRead:
        return QStringLiteral("ファイルを読み込めませんでした。") + fileAndReason(error) + end;
    case Error::Kind::FileWrite:
        return QStringLiteral("ファイルに書き込めませんでした。") + fileAndReason(error) + end;
    case Error::Kind::FileFlush:
        return QStringLiteral("ファイルの内容をディスクに書き込み終えることができませんでした。")
               + fileAndReason(error) + end;
    case Error::Kind::FileFormat:
        return QStringLiteral("ファイルの内容が正しくありません。") + fileAndReason(error) + end;
    case Error::Kind::FileTooLarge:
        return QStringLiteral("ファイルが大きすぎるため読み込みませんでした。") + fileAndReason(error) + end;
    case Error::Kind::DirectoryWrite:
        return QStringLiteral("フォルダにファイルを作れませんでした。") + folderAndReason(error) + end;
    case Error::Kind::BookInUse:
        return QStringLiteral("この家計簿は、すでに起動している別の家計簿で開かれています。\n"
                              "同じ家計簿を二つ同時に開くと記帳が失われるため、ここでは開きません。\n"
                              "開いている方の家計簿をお使いください。")
               + folderAndReason(error) + end;
    case Error::Kind::BookLock:
        return QStringLiteral("この家計簿を一つのプログラムだけで開くための鍵を掛けられませんでした。")
               + folderAndReason(error) + end;
    case Error::Kind::Picture:
        return QStringLiteral("アイコンを読み込めませんでした。") + fileAndReason(error) + end;
    case Error::Kind::Internal:
        break;
    }
    return QStringLiteral("内部エラーが発生しました (%1 %2)。").arg(error.subject, error.reason) + end;
}

QWidget *Frame::findControl(const QString &window, const QString &name, int index)
{
    const QString objectName = Controls::arrayName(name, index);
    auto *found = form(window)->findChild<QWidget *>(objectName);
    if (!found)
        throw RuntimeError({Error::Kind::Internal, window + QLatin1Char('.') + objectName,
                            QStringLiteral("no such control")});
    return found;
}

// A text written back while the user types must not move the caret: an
// unchanged text is left alone entirely (caret, selection, undo history),
// and a changed one keeps the caret before the same characters that
// followed it, so that typing in the middle of "1234" stays in the middle.
void Frame::setText(QLineEdit *box, const QString &text)
{
    const QString old = box->text();
    if (old == text)
        return;
    const qsizetype charactersAfter = old.size() - box->cursorPosition();
    Assignment assignment(*this);
    box->setText(text);
    const qsizetype size = box->text().size();
    box->setCursorPosition(static_cast<int>(std::max<qsizetype>(size - charactersAfter, 0)));
    assignment.rethrowPending();
}

void Frame::setCaption(QWidget *control, const QString &caption)
{
    if (Captions::shownText(control) == Captions::shownPart(caption))
        return;
    Captions::setShownText(control, caption);
    if (auto *label = qobject_cast<QLabel *>(control))
        Controls::fitCaption(label);
    Captions::refreshSpokenNames(control);
}

void Frame::clearOption(QRadioButton *option)
{
    // A checked auto-exclusive button ignores setChecked(false).
    Assignment assignment(*this);
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
    assignment.rethrowPending();
}

QPixmap Frame::loadPicture(const QString &path) const
{
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(Error::file(Error::Kind::Picture, fullPath, file.errorString()));
    QImageReader reader(&file);
    const QImage image = reader.read();
    if (image.isNull())
        throw RuntimeError(Error::file(Error::Kind::Picture, fullPath,
                                       QStringLiteral("画像として読み込めない形式です (%1)")
                                           .arg(reader.errorString())));
    return QPixmap::fromImage(image);
}

void Frame::centre(QWidget *window) const
{
    const QScreen *screen = QApplication::primaryScreen();
    if (!screen)
        return;
    QRect area = window->rect();
    area.moveCenter(screen->availableGeometry().center());
    window->move(area.topLeft());
}

} // namespace kakeibo
