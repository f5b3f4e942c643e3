#include "WindowRegistry.h"

#include "Controls.h"
#include "Foreground.h"
#include "FormBase.h"
#include "HandlerRunner.h"
#include "StyleRoom.h"
#include "Trace.h"

#include <QApplication>
#include <QScreen>

namespace kakeibo {
namespace {

QString controlPath(const QString &window, const QString &name, int index)
{
    return window + QLatin1Char('.') + Controls::arrayName(name, index);
}

} // namespace

WindowRegistry::WindowRegistry(Frame &frame, HandlerRunner &runner, Trace &trace)
    : m_frame(frame), m_runner(runner), m_trace(trace)
{
}

WindowRegistry::~WindowRegistry()
{
    for (const QPointer<FormBase> &form : std::as_const(m_forms))
        delete form.data();
}

void WindowRegistry::registerForm(const QString &name, Factory factory)
{
    m_factories.insert(name, std::move(factory));
}

FormBase *WindowRegistry::form(const QString &name)
{
    if (FormBase *loaded = m_forms.value(name))
        return loaded;
    const auto factory = m_factories.constFind(name);
    if (factory == m_factories.cend())
        throw RuntimeError({Error::Kind::Internal, name, QStringLiteral("unknown window")});
    FormBase *created = (*factory)(m_frame);
    StyleRoom::make(created);
    m_forms.insert(name, created);
    m_trace.add(QStringLiteral("load ") + name);
    created->Form_Load();
    m_trace.add(QStringLiteral("loaded ") + name);
    return created;
}

bool WindowRegistry::isLoaded(const QString &name) const
{
    return !m_forms.value(name).isNull();
}

QWidget *WindowRegistry::loadedForm(const QString &name) const
{
    return m_forms.value(name).data();
}

void WindowRegistry::showModal(const QString &name)
{
    FormBase *window = form(name);
    centre(window);
    window->setWindowModality(Qt::ApplicationModal);
    ownByStartWindow(window);
    m_trace.add(QStringLiteral("show ") + name);
    m_runner.runNestedLoop([window] { window->exec(); });
    m_runner.leaveIfEnded();
}

void WindowRegistry::unload(const QString &name)
{
    QPointer<FormBase> window = m_forms.value(name);
    if (!window)
        return;
    window->Form_Unload();
    m_forms.remove(name);
    m_trace.add(QStringLiteral("unload ") + name);
    window->hide();
    window->deleteLater();
}

bool WindowRegistry::start(const QString &name)
{
    m_startWindow = name;
    m_runner.run([&] {
        FormBase *window = form(name);
        centre(window);
        m_trace.add(QStringLiteral("show ") + name);
        window->show();
    });
    return !m_runner.hasEnded();
}

void WindowRegistry::bringToFront(const QString &mainWindow, const QString &activationToken)
{
    QWidget *window = QApplication::activeModalWidget();
    if (!window)
        window = loadedForm(mainWindow);
    if (!window || m_runner.hasEnded())
        return;
    Foreground::bring(window, activationToken);
    if (activationToken.isEmpty())
        QApplication::alert(window);
}

void WindowRegistry::hideAll()
{
    for (const QPointer<FormBase> &form : std::as_const(m_forms)) {
        if (form)
            form->hide();
    }
}

QWidget *WindowRegistry::findControl(const QString &window, const QString &name, int index)
{
    auto *found = form(window)->findChild<QWidget *>(Controls::arrayName(name, index));
    if (!found)
        throw RuntimeError({Error::Kind::Internal, controlPath(window, name, index), QStringLiteral("no such control")});
    return found;
}

Error WindowRegistry::wrongKind(const QString &window, const QString &name, int index, const char *wanted)
{
    return {Error::Kind::Internal, controlPath(window, name, index),
            QStringLiteral("is no %1").arg(QString::fromLatin1(wanted))};
}

void WindowRegistry::ownByStartWindow(FormBase *window) const
{
    QWidget *owner = loadedForm(m_startWindow);
    if (owner != window)
        window->setOwner(owner);
}

void WindowRegistry::centre(QWidget *window) const
{
    const QScreen *screen = QApplication::primaryScreen();
    if (!screen)
        return;
    QRect area = window->rect();
    area.moveCenter(screen->availableGeometry().center());
    window->move(area.topLeft());
}

} // namespace kakeibo
