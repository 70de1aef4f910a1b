#pragma once
// A page over the device emulator: a director connected to an emulated dongle (requests that are
// never answered give up within a few hundred milliseconds), a recording container handing out
// the director's dongle, headset and settings.
#include "app/DirectorEmulation.h"
#include "common/FakePageContainer.h"
#include "common/gui_util.h"
#include "common/qt_wait.h"

#include <functional>
#include <memory>

namespace pagetest
{

struct PageBench {
    directortest::EmulatedDongle t;
    std::unique_ptr<directortest::Recorder> rec;
    testutil::FakePageContainer fake;
    OrvixDirector* d = nullptr;

    // arrange runs on the emulator before it starts.
    bool bringUp(std::function<void(emu::Emulator&)> const& arrange = {})
    {
        if (arrange)
            arrange(t.emulator);
        t.h.tweak = [](DirectorEnvironment& env) { directortest::quickTiming(env); };
        if (!t.start())
            return false;
        d = t.h.create(true, 5);
        rec = std::make_unique<directortest::Recorder>(d);
        d->start();
        fake.director = d;
        return testutil::waitUntil([&] { return rec->connected.size() == 1 && d->dongle(); }, 5000);
    }
    bool waitForHeadset()
    {
        return testutil::waitUntil([&] { return d->headset() && d->headset()->isRunning(); }, 5000);
    }
    // The director's notifications reach page as the main window forwards them.
    void forwardTo(OX::Page* page)
    {
        QObject::connect(d, &OrvixDirector::headsetUpdatedSignal, page,
            [page](Headset* h, HeadsetChangeMask m) { page->updateWithHeadset(h, m); });
        QObject::connect(d, &OrvixDirector::dongleUpdatedSignal, page,
            [page](Dongle* x, DongleChangeMask m) { page->updateWithDongle(x, m); });
        QObject::connect(d, &OrvixDirector::deviceFoundSignal, page,
            [page](Dongle* x, NPP const& n) { page->deviceFound(x, n); });
    }
    // The director's busy indicator is up.
    bool busy() const { return rec && !rec->progress.isEmpty() && rec->progress.last() != nullptr; }
    emu::Emulator& emulator() { return t.emulator; }
    // The dongle leaves the port and the USB bus; true once the director has dropped it.
    bool unplug()
    {
        t.emulator.unplug();
        {
            fakeusb::Lock lock(t.h.bus->mutex);
            t.h.bus->bus.clear();
        }
        return testutil::waitUntil([&] { return !d->dongle(); }, 5000);
    }
};

} // namespace pagetest
