#include "HandlerRunner.h"

#include "Messages.h"
#include "Trace.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <utility>

namespace kakeibo {

HandlerRunner::HandlerRunner(Trace &trace) : m_trace(trace) {}

void HandlerRunner::Assignment::rethrowPending()
{
    if (std::exception_ptr pending = std::exchange(m_runner.m_pending, nullptr))
        std::rethrow_exception(pending);
}

void HandlerRunner::run(const std::function<void()> &handler)
{
    if (m_ended)
        return;
    if (m_assignmentDepth > 0) {
        runNested(handler);
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

void HandlerRunner::runCommand(const std::function<void()> &command)
{
    if (m_inCommand)
        return;
    m_inCommand = true;
    run(command);
    m_inCommand = false;
}

// A handler raised by an assignment from code keeps its error for the
// assigning code instead of reporting it.
void HandlerRunner::runNested(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (...) {
        if (!m_pending)
            m_pending = std::current_exception();
    }
}

void HandlerRunner::reportError(const Error &error)
{
    m_failing = true;
    show({UserMessage::Severity::Fatal, Messages::describe(error)});
    finish(1);
}

void HandlerRunner::end(int exitCode)
{
    finish(m_failing ? 1 : exitCode);
    throw EndSignal{};
}

void HandlerRunner::leaveIfEnded() const
{
    if (m_ended)
        throw EndSignal{};
}

void HandlerRunner::finish(int exitCode)
{
    if (m_ended)
        return;
    m_ended = true;
    m_exitCode = exitCode;
    m_trace.add(QStringLiteral("end"));
    if (m_onEnd)
        m_onEnd();
    if (m_endHook)
        m_endHook(exitCode);
    else
        QCoreApplication::exit(exitCode);
}

void HandlerRunner::show(const UserMessage &message)
{
    if (m_messageHook) {
        m_messageHook(message);
        return;
    }
    const auto icon = message.severity == UserMessage::Severity::Fatal ? QMessageBox::Critical
                                                                       : QMessageBox::Warning;
    QMessageBox box(icon, Messages::kTitle, message.text, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("messageBox"));
    // The text holds the user's names and the system's file names: never markup.
    box.setTextFormat(Qt::PlainText);
    runNestedLoop([&box] { box.exec(); });
}

void HandlerRunner::runNestedLoop(const std::function<void()> &loop)
{
    const int outerDepth = std::exchange(m_assignmentDepth, 0);
    loop();
    m_assignmentDepth = outerDepth;
}

} // namespace kakeibo
