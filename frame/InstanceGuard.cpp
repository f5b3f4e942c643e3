#include "InstanceGuard.h"

#include "InstanceChannel.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

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

template <typename Function>
Function InstanceGuard::resolve(const char *symbol) const
{
    // Only the file the build put beside the program: a library is given by
    // its whole path and file name, so that no other name is tried.
    const QString path = QDir(m_appDir).absoluteFilePath(QStringLiteral(KAKEIBO_INSTANCE_FILE));
    if (!QFileInfo(path).isFile())
        return nullptr;
    QLibrary library(path);
    return reinterpret_cast<Function>(library.resolve(symbol));
}

bool InstanceGuard::askToComeForward()
{
    const auto ask = resolve<InstanceChannel::AskFunction>(InstanceChannel::kAskSymbol);
    return ask && ask(m_identity);
}

void InstanceGuard::listen(std::function<bool(const QString &token)> activate)
{
    m_activate = std::move(activate);
    if (const auto serve = resolve<InstanceChannel::ListenFunction>(InstanceChannel::kListenSymbol))
        serve(m_identity, activateThunk, &m_activate);
}

} // namespace kakeibo
