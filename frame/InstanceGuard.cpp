#include "InstanceGuard.h"

#include "InstanceLoader.h"

namespace kakeibo {
namespace {

bool activateThunk(void *context, const QString &token)
{
    return (*static_cast<std::function<bool(const QString &)> *>(context))(token);
}

} // namespace

InstanceGuard::InstanceGuard(QString applicationDirectory, QString identity)
    : m_appDir(std::move(applicationDirectory)), m_identity(std::move(identity))
{
}

bool InstanceGuard::askToComeForward()
{
    const auto ask = InstanceLoader::askFunction(m_appDir);
    return ask && ask(m_identity);
}

void InstanceGuard::listen(std::function<bool(const QString &token)> activate)
{
    m_activate = std::move(activate);
    if (const auto serve = InstanceLoader::listenFunction(m_appDir))
        serve(m_identity, activateThunk, &m_activate);
}

} // namespace kakeibo
