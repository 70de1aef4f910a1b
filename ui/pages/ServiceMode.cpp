#include "ui/pages/ServiceMode.h"

#include "device/Dongle.h"
#include "protocol/Records.h"

#include <QPointer>

#include <memory>

namespace OX
{

bool isInServiceMode(Dongle const* dongle)
{
    return dongle && dongle->profile().state == quint8(DongleState::SERV_M);
}

void enterServiceMode(Dongle* dongle, QObject* owner, std::function<bool()> stillShown,
    std::function<void(DongleResult)> answered)
{
    if (!dongle)
        return;
    QPointer<QObject> guard(owner);
    QPointer<Dongle> entered(dongle);
    dongle->enterServiceMode([guard, entered, stillShown, answered](DongleResult result) {
        if (!guard || !entered || !entered->isRunning())
            return;
        if (!stillShown()) {
            if (result.code == DongleResult::Ok)
                entered->exitServiceMode({});
            return;
        }
        answered(result);
    });
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
