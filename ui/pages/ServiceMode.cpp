#include "ui/pages/ServiceMode.h"

#include "device/Dongle.h"
#include "protocol/Records.h"

namespace OX
{

bool isInServiceMode(Dongle const* dongle)
{
    return dongle && dongle->profile().state == quint8(DongleState::SERV_M);
}

} // namespace OX
