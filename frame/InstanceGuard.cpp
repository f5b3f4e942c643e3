#include "InstanceGuard.h"

#include "InstanceChannel.h"

#include <QDir>
#include <QLibrary>

namespace kakeibo {
namespace {

void activateThunk(void *context, const QString &token)
{
    (*static_cast<std::function<void(const QString &)> *>(context))(token);
}

} // namespace

InstanceGuard::InstanceGuard(QString applicationDirectory, QString identity)
    : m_appDir(std::move(applicationDirectory)), m_identity(std::move(identity))
{
}

template <typename Function>
Function InstanceGuard::resolve(const char *symbol) const
{
    QLibrary library(QDir(m_appDir).filePath(QStringLiteral("kakeibo_instance")));
    return reinterpret_cast<Function>(library.resolve(symbol));
}

bool InstanceGuard::askToComeForward()
{
    const auto ask = resolve<InstanceChannel::AskFunction>(InstanceChannel::kAskSymbol);
    return ask && ask(m_identity);
}

void InstanceGuard::listen(std::function<void(const QString &token)> activate)
{
    m_activate = std::move(activate);
    if (const auto serve = resolve<InstanceChannel::ListenFunction>(InstanceChannel::kListenSymbol))
        serve(m_identity, activateThunk, &m_activate);
}

} // namespace kakeibo
