// The dongle's headset and LINK hooks for a build that has no Headset or Link class yet.
//
// The receive dispatch and the commands reach the current headset and the known LINKs only
// through the hooks declared in Dongle.h ("Headset side", "LINK side"). The file that brings
// the Headset class (device/Headset.h) defines the headset hooks next to it, and the one that
// brings the Link class (device/Link.h) defines linksDiscard; until then the definitions below
// stand in: no headset is ever created and no LINK is ever known.
#include "device/Dongle.h"

#if !__has_include("device/Headset.h")

void Dongle::processSHP(UHRType const&, RingBuffer&) {}
void Dongle::headsetSetClickButton(quint8) {}
quint32 Dongle::headsetModifierMask() const { return HeadsetControlMask::none; }
void Dongle::headsetSetModifierMask(quint32) {}
bool Dongle::headsetApplyIdentity(NPP const&) { return false; }
void Dongle::headsetSetOffline() {}
ChannelMap Dongle::headsetChannelMap() const { return ChannelMap(); }
void Dongle::headsetDiscard() { m_headset = nullptr; }
void Dongle::headsetDropForServiceMode() {}

#endif

#if !__has_include("device/Link.h")

void Dongle::linksDiscard() { m_links.clear(); }

#endif
