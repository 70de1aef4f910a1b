#pragma once
// Whether a dongle is in service mode, and taking its network out of it, for the pages that
// configure the network.
#include <functional>

class Dongle;

namespace OX
{

// True once the dongle's state notice has reported service mode. The echo of the enter request
// only says that the dongle took it: until the notice, the dongle refuses every service-mode
// command with code 11. False without a dongle.
bool isInServiceMode(Dongle const* dongle);

// Takes the dongle's whole network out of service mode; done runs exactly once, when that has
// ended whatever its result. Without a dongle, or with one not in service mode (it refuses and
// never calls back), done runs at once.
void leaveNetworkServiceMode(Dongle* dongle, std::function<void()> done);

} // namespace OX
