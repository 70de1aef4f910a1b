#pragma once
// Whether a dongle is in service mode, and taking its network out of it, for the pages that
// configure the network.
#include "protocol/DongleResult.h"

#include <functional>

class QObject;

class Dongle;

namespace OX
{

class Page;

// True once the dongle's state notice has reported service mode. The echo of the enter request
// only says that the dongle took it: until the notice, the dongle refuses every service-mode
// command with code 11. False without a dongle, and while the network is being taken out after
// a notice that came once the page that asked was left (a request to enter waits for that).
bool isInServiceMode(Dongle const* dongle);

// The dongle sends its state notice as soon as it is in service mode: a dongle that took the
// request to enter and sent no notice within this time is taken as not entering.
constexpr int ServiceModeNoticeMs = 5000;

// Asks the dongle to enter service mode for a page. answered gets the result unless owner is gone,
// the dongle has stopped or gone meanwhile (its requests then end by themselves, and a box would
// wait for nobody), or stillShown() no longer holds: the page was left before the answer, nothing
// would take the dongle out of service mode any more, so a dongle that took the request leaves it
// at once, unless a newer request has been made of the dongle since (the exit would follow that
// request and undo it under the page that made it). stillShown must hold for the whole visit, also
// once the page went on in service mode on the notice of an earlier request. When the dongle took
// the request but its notice has not reported service mode within ServiceModeNoticeMs, noNotice
// runs, on the same conditions as answered: the page stops waiting and says so. A notice that comes
// once the visit that asked has ended (the page's leaving found no service mode to leave) takes the
// network out of service mode again. Nothing without a dongle.
void enterServiceMode(Dongle* dongle, Page* owner, std::function<bool()> stillShown,
    std::function<void(DongleResult)> answered, std::function<void()> noNotice);

// Runs then once no request to enter service mode made of dongle is out any more: each has been
// answered and, when the dongle took it, its notice has reported service mode or
// ServiceModeNoticeMs have passed. A request held back until a late notice's leaving has ended is
// out too. At once without a dongle or with no request out; never once context has gone.
void afterServiceModeRequests(Dongle* dongle, QObject* context, std::function<void()> then);

// Takes the dongle's whole network out of service mode for page, which is being left; done runs
// exactly once, when that has ended whatever its result. When a device did not leave, page tells
// the person so over the next page before done runs. Without a dongle, or with one not in service
// mode (it refuses and never calls back), done runs at once. A dongle whose notice still reports
// service mode after it answered the exit is asked out once more, unless a page asked it in since.
void leaveNetworkServiceMode(Page* page, Dongle* dongle, std::function<void()> done);

} // namespace OX
