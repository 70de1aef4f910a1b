#include "ui/pages/ServiceMode.h"

#include "device/Dongle.h"
#include "protocol/Records.h"

#include <memory>

namespace OX
{

bool isInServiceMode(Dongle const* dongle)
{
    return dongle && dongle->profile().state == quint8(DongleState::SERV_M);
}

void leaveNetworkServiceMode(Dongle* dongle, std::function<void()> done)
{
    auto finish = std::make_shared<std::function<void()>>(std::move(done));
    auto callOnce = [finish] {
        auto f = std::move(*finish);
        *finish = nullptr;
        if (f)
            f();
    };
    if (!dongle || !dongle->networkLeaveServiceMode([callOnce](DongleResult) { callOnce(); }))
        callOnce();
}

} // namespace OX
