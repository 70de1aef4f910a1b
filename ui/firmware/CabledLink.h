#pragma once
// The LINK on the dongle's cable, as the firmware steps ask it one question at a time. It
// answers whatever PAN and address a frame carries; each question gets a Link of its own that
// lives until its completion has run (releaseCabledLink), or goes with the dongle.
#include "device/Dongle.h"
#include "device/Link.h"

#include <QPointer>

namespace OX
{

constexpr quint16 CabledLinkPan = 0;
constexpr quint8 CabledLinkAddress = 0;

inline QPointer<Link> makeCabledLink(Dongle& dongle)
{
    return QPointer<Link>(new Link(dongle, CabledLinkPan, CabledLinkAddress, &dongle));
}

// From the question's completion: the Link goes once control is back in the event loop.
inline void releaseCabledLink(const QPointer<Link>& link)
{
    if (link)
        link->deleteLater();
}

} // namespace OX
