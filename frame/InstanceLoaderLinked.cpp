#include "InstanceLoader.h"

namespace kakeibo::InstanceLoader {

InstanceChannel::ListenFunction listenFunction(const QString &)
{
    return &kakeibo_listen_for_activation;
}

InstanceChannel::AskFunction askFunction(const QString &)
{
    return &kakeibo_ask_to_come_forward;
}

} // namespace kakeibo::InstanceLoader
