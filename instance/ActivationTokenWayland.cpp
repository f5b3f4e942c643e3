// Asking a Wayland compositor for an activation token, on a connection of
// its own so that the toolkit's connection is left as it is.
#include "ActivationToken.h"

#include "xdg-activation-v1-client-protocol.h"

#include <QDeadlineTimer>
#include <QGuiApplication>

#include <poll.h>
#include <wayland-client.h>

#include <cstring>

namespace kakeibo::ActivationToken {
namespace {

constexpr int kPatienceMilliseconds = 1000;

struct Request {
    xdg_activation_v1 *activation = nullptr;
    QString token;
    bool done = false;
};

void onGlobal(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    auto *request = static_cast<Request *>(data);
    if (!request->activation && std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
        request->activation = static_cast<xdg_activation_v1 *>(
            wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
}

void onGlobalRemoved(void *, wl_registry *, uint32_t) {}

const wl_registry_listener kRegistryListener{onGlobal, onGlobalRemoved};

void onDone(void *data, xdg_activation_token_v1 *, const char *token)
{
    auto *request = static_cast<Request *>(data);
    request->token = QString::fromUtf8(token);
    request->done = true;
}

const xdg_activation_token_v1_listener kTokenListener{onDone};

// Dispatches the compositor's events until done() holds or time runs out;
// false when the connection failed or the time ran out.
template <typename Done>
bool dispatchUntil(wl_display *display, Done done, const QDeadlineTimer &deadline)
{
    while (!done()) {
        while (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0)
                return false;
        }
        wl_display_flush(display);
        pollfd watched{wl_display_get_fd(display), POLLIN, 0};
        if (::poll(&watched, 1, int(deadline.remainingTime())) <= 0) {
            wl_display_cancel_read(display);
            return false;
        }
        if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0)
            return false;
    }
    return true;
}

QString requestOn(wl_display *display, const QDeadlineTimer &deadline)
{
    Request request;
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &request);
    wl_callback *sync = wl_display_sync(display);
    bool synced = false;
    const wl_callback_listener syncListener{[](void *data, wl_callback *, uint32_t) { *static_cast<bool *>(data) = true; }};
    wl_callback_add_listener(sync, &syncListener, &synced);
    if (dispatchUntil(display, [&] { return synced; }, deadline) && request.activation) {
        xdg_activation_token_v1 *token = xdg_activation_v1_get_activation_token(request.activation);
        xdg_activation_token_v1_add_listener(token, &kTokenListener, &request);
        xdg_activation_token_v1_commit(token);
        dispatchUntil(display, [&] { return request.done; }, deadline);
        xdg_activation_token_v1_destroy(token);
    }
    if (request.activation)
        xdg_activation_v1_destroy(request.activation);
    wl_callback_destroy(sync);
    wl_registry_destroy(registry);
    return isWellFormed(request.token) ? request.token : QString();
}

} // namespace

QString request()
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return {};
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return {};
    const QString token = requestOn(display, QDeadlineTimer(kPatienceMilliseconds));
    wl_display_disconnect(display);
    return token;
}

} // namespace kakeibo::ActivationToken
