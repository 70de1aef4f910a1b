#pragma once
// A page over the emulator: a started Dongle on the emulated dongle's port, a recording fake
// container that hands out that dongle and its headset, and a delegate that passes every dongle
// and headset update and every device heard on to the page as the main window does. unplug()
// takes the dongle away as the director would: the page hears the loss, then the dongle is gone.
#include <gtest/gtest.h>

#include "common/FakePageContainer.h"
#include "common/dongle_fixture.h"
#include "common/qt_wait.h"
#include "device/Dongle.h"
#include "device/Headset.h"
#include "tools/emulator/Emulator.h"

namespace pagetest
{

struct PageRig : DongleDelegate {
    testutil::EmulatedDongle env;
    testutil::FakePageContainer container;
    OX::Page* page = nullptr;

    // Starts the emulated dongle with model as its headset and waits until the headset runs.
    // Replies time out after 3000 ms x timeoutScale. prepare changes the emulated devices
    // before the dongle starts.
    bool start(emu::HeadsetModel model, double timeoutScale = 0.05,
        std::function<void(emu::Emulator&)> const& prepare = {})
    {
        emu::Options options;
        options.timeScale = 0.1;
        env.open(options, this);
        if (!env.dongle)
            return false;
        Dongle::Timing timing;
        timing.timeoutScale = timeoutScale;
        timing.repeatIntervalMs = 4;
        env.dongle->setTiming(timing);
        model.motion = false;
        env.emulator->addHeadset(model);
        if (prepare)
            prepare(*env.emulator);
        if (env.start() != 0)
            return false;
        container.dongle = env.dongle.get();
        return testutil::waitUntil([this] { return headset() && headset()->isRunning(); }, 4000);
    }
    Headset* headset() { return env.dongle ? env.dongle->headset() : nullptr; }
    emu::Emulator& emulator() { return *env.emulator; }

    // The dongle goes away while the page is shown.
    void unplug()
    {
        Headset* h = headset();
        container.dongle = nullptr;
        if (page)
            page->updateWithHeadset(h, HeadsetChangeMask::lost);
        env.dongle.reset();
        if (page)
            page->updateWithHeadset(nullptr, HeadsetChangeMask::all);
    }
    void close(bool failed)
    {
        container.dongle = nullptr;
        env.close(failed);
    }

    void progressUpdate(Progress::Context const&) override { }
    void dongleUpdated(Dongle* dongle, DongleChangeMask mask) override
    {
        if (page)
            page->updateWithDongle(dongle, mask);
    }
    void headsetFound(Dongle*, Headset* headset) override
    {
        if (page)
            page->updateWithHeadset(headset, HeadsetChangeMask::found);
    }
    void headsetLost(Dongle*, Headset* headset) override
    {
        if (page)
            page->updateWithHeadset(headset, HeadsetChangeMask::lost);
    }
    void headsetUpdated(Dongle*, Headset* headset, HeadsetChangeMask mask) override
    {
        if (page)
            page->updateWithHeadset(headset, mask);
    }
    void deviceFound(Dongle* dongle, NPP const& npp) override
    {
        if (page)
            page->deviceFound(dongle, npp);
    }
    void headsetRssiUpdatede(Dongle*, unsigned short) override { }
    void headsetChannelChanged(Dongle*, Headset*, int, int) override { }
    void headsetStatusChanged(Dongle*, Headset*, bool, bool) override { }
    void dongleError(Dongle*, DongleResult result) override { last = result; }
    DongleResult* lastError() override { return &last; }
    void playAudioFeedback() override { }
    DongleResult last;
};

} // namespace pagetest
