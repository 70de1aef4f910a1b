#pragma once
// Whether a dongle is in service mode, for the pages that configure the network.
class Dongle;

namespace OX
{

// True once the dongle's state notice has reported service mode. The echo of the enter request
// only says that the dongle took it: until the notice, the dongle refuses every service-mode
// command with code 11. False without a dongle.
bool isInServiceMode(Dongle const* dongle);

} // namespace OX
