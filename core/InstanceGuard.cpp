#include "InstanceGuard.h"

#include "InstanceName.h"

#include <QDir>
#include <QLibrary>

namespace kakeibo {
namespace {

using ClaimFunction = bool (*)(const QString &, void (*)(void *), void *);

void activateThunk(void *context)
{
    (*static_cast<std::function<void()> *>(context))();
}

} // namespace

InstanceGuard::InstanceGuard(QString applicationDirectory, std::function<void()> activate)
    : m_appDir(std::move(applicationDirectory)), m_activate(std::move(activate))
{
}

bool InstanceGuard::mustAskFirst() const
{
    return InstanceName::mayBeListening(InstanceName::forDirectory(m_appDir));
}

bool InstanceGuard::claim()
{
    if (m_claimed)
        return true;
    QLibrary library(QDir(m_appDir).filePath(QStringLiteral("kakeibo_instance")));
    const auto claimInstance = reinterpret_cast<ClaimFunction>(library.resolve("kakeibo_claim_instance"));
    m_claimed = !claimInstance || claimInstance(m_appDir, activateThunk, &m_activate);
    return m_claimed;
}

} // namespace kakeibo
