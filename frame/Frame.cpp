#include "Frame.h"

#include "AccessibleKinds.h"
#include "AltKeys.h"
#include "Announcer.h"
#include "CaretBlink.h"
#include "CaretEvents.h"
#include "Composition.h"

#include <QCoreApplication>

namespace kakeibo {
namespace {

Frame *g_current = nullptr;

} // namespace

Frame::Frame(QString applicationDirectory)
    : m_appDir(std::move(applicationDirectory))
    , m_handlers(m_trace)
    , m_windows(*this, m_handlers, m_trace)
    , m_writer(m_handlers)
    , m_composition(std::make_unique<Composition>(QCoreApplication::instance()))
    , m_altKeys(std::make_unique<AltKeys>(QCoreApplication::instance()))
    , m_caretBlink(std::make_unique<CaretBlink>(QCoreApplication::instance()))
    , m_announcer(std::make_unique<Announcer>(QCoreApplication::instance()))
{
    m_handlers.setOnEnd([this] { m_windows.hideAll(); });
    AccessibleKinds::install();
    CaretEvents::keepToFocus();
    g_current = this;
}

Frame::~Frame()
{
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

} // namespace kakeibo
