// The few headset fields the director reads and writes: the initialisation error with its
// acknowledgement, the watchdog, the controlled device and the channel map.
#include "app/OrvixDirector.h"

#include "device/Dongle.h"
#include "device/Headset.h"

DongleResult OrvixDirector::headsetError(Headset* headset)
{
    return headset ? headset->error() : DongleResult();
}

void OrvixDirector::acknowledgeHeadsetError(Headset* headset)
{
    if (headset)
        headset->setErrorAcknowledged(true);
}

void OrvixDirector::clearHeadsetError(Headset* headset)
{
    if (!headset)
        return;
    DongleResult cleared(DongleResult::Ok);
    cleared.detail.clear();
    cleared.finalizeErrorTexts();
    headset->setError(cleared);
}

void OrvixDirector::startHeadsetWatchdog(Headset* headset)
{
    if (headset)
        headset->watchdog().start();
}

bool OrvixDirector::controlsThisComputer(Headset* headset, Dongle* dongle)
{
    return headset && dongle && headset->error().code == DongleResult::Ok && headset->isActive()
        && isThisComputer(headset->device(), dongle->device());
}

OrvixDevice OrvixDirector::headsetDevice(Headset* headset)
{
    return headset ? headset->device() : OrvixDevice();
}

ChannelMap OrvixDirector::headsetChannelMap(Headset* headset)
{
    return headset ? headset->channelMap() : ChannelMap();
}

QObject* OrvixDirector::headsetObject(Headset* headset)
{
    return headset;
}

void OrvixDirector::registerHeadsetMetaType()
{
    qRegisterMetaType<Headset*>("Headset*");
}
