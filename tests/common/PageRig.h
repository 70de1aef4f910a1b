#pragma once
// A page over the emulator: a started Dongle on the emulated dongle's port, a recording fake
// container that hands out that dongle and its headset, and a delegate that passes every dongle
// and headset update and every device heard on to the page as the main window does. The page
// can be registered beside a "Menu" page it is opened from; LINK pages start with LINKs on the
// headset's network.
// Or, started with startDirector() (viaDirector), the application's director over the emulator:
// the container hands out its dongle, headset and settings, rec records its signals, and the
// page hears what the director reports as the main window passes it on. Only there do the
// devices come and go: unplug() takes the dongle off its port and the USB bus, so that the
// director drops it on its own loss path, replug() plugs it in again, headsetPower() switches
// the headset off and on, swapHeadset() switches another one on in its place.
#include <gtest/gtest.h>

#include "app/DirectorEmulation.h"
#include "common/FakePageContainer.h"
#include "common/dongle_fixture.h"
#include "common/qt_wait.h"
#include "device/Dongle.h"
#include "device/Headset.h"
#include "tools/emulator/Emulator.h"
#include "ui/toolkit/PropertyWidget.h"

#include <QListWidget>
#include <QSize>
#include <QStringList>

namespace pagetest
{

struct PageRig : DongleDelegate {
    testutil::EmulatedDongle env;
    std::unique_ptr<directortest::EmulatedDongle> app;
    std::unique_ptr<directortest::Recorder> rec;
    OrvixDirector* director = nullptr;
    testutil::FakePageContainer container;
    OX::Page* page = nullptr;
    // The emulator's own periods: ten times faster than real time unless a run says otherwise.
    double emulatorTimeScale = 0.1;
    // start() brings the director up (startDirector) instead of a dongle of the rig's own.
    bool viaDirector = false;
    bool headsetBeforeUnplug = false; // whether replug() waits for the headset

    // Headsets started from now on are reported lost soon after they go quiet, until the rig ends.
    static void shortWatchdog() { Headset::setWatchdogIntervalForTests(testutil::scaled(300)); }
    ~PageRig() override { Headset::setWatchdogIntervalForTests(0); }

    // Starts the emulated dongle with model as its headset and waits until the headset runs (its
    // head keeps still unless the model makes gestures). Replies time out after 3000 ms x
    // timeoutScale x the run's time scale (the director's own time-outs under viaDirector).
    // prepare changes the emulated devices before the dongle starts.
    bool start(emu::HeadsetModel model, double timeoutScale = 0.05,
        std::function<void(emu::Emulator&)> const& prepare = {})
    {
        model.motion = model.gestures;
        const auto arrange = [&](emu::Emulator& e) {
            e.addHeadset(model);
            if (prepare)
                prepare(e);
        };
        if (viaDirector)
            return startDirector(arrange) && headsetRuns();
        emu::Options options;
        options.timeScale = emulatorTimeScale;
        env.open(options, this);
        if (!env.dongle)
            return false;
        Dongle::Timing timing;
        timing.timeoutScale = timeoutScale * testutil::timeScale();
        timing.repeatIntervalMs = 4;
        env.dongle->setTiming(timing);
        arrange(*env.emulator);
        if (env.start() != 0)
            return false;
        container.dongle = env.dongle.get();
        return headsetRuns();
    }
    // The director over the emulator (requests never answered give up within a few hundred
    // milliseconds), its notifications passed on to page as the main window does; true once it
    // has the dongle. prepare changes the emulated devices before they start.
    bool startDirector(std::function<void(emu::Emulator&)> const& prepare = {})
    {
        app = std::make_unique<directortest::EmulatedDongle>();
        if (prepare)
            prepare(app->emulator);
        app->h.tweak = [](DirectorEnvironment& e) { directortest::quickTiming(e); };
        if (!app->start())
            return false;
        director = app->h.create(true, 5);
        rec = std::make_unique<directortest::Recorder>(director);
        // As the main window passes them on: through the controller to the pages on screen (the
        // one shown and the one coming) when the page is registered, else to the page the test
        // drives itself; a page about to appear hears the whole state first.
        QObject::connect(director, &OrvixDirector::headsetUpdatedSignal, &rec->context,
            [this](Headset* h, HeadsetChangeMask m) {
                if (OX::Page* p = listener())
                    p->updateWithHeadset(h, m);
            });
        QObject::connect(director, &OrvixDirector::dongleUpdatedSignal, &rec->context,
            [this](Dongle* d, DongleChangeMask m) {
                if (OX::Page* p = listener())
                    p->updateWithDongle(d, m);
            });
        QObject::connect(
            director, &OrvixDirector::deviceFoundSignal, &rec->context, [this](Dongle* d, NPP const& n) {
                if (OX::Page* p = listener())
                    p->deviceFound(d, n);
            });
        QObject::connect(&container.controller, &OX::PageController::pageWillAppearSignal, &rec->context,
            [this](OX::Page* p) {
                Dongle* d = director->dongle();
                p->updateWithDongle(d, DongleChangeMask::all);
                p->updateWithHeadset(d ? d->headset() : nullptr, HeadsetChangeMask::all);
            });
        director->start();
        container.director = director;
        return testutil::waitUntil([&] { return rec->connected.size() == 1 && director->dongle(); }, 5000);
    }
    OX::Page* listener() { return page && page->controller ? &container.controller : page; }
    bool headsetRuns()
    {
        return testutil::waitUntil([this] { return headset() && headset()->isRunning(); }, 5000);
    }
    // The director's busy indicator is up.
    bool busy() const { return rec && !rec->progress.isEmpty() && rec->progress.last() != nullptr; }
    // LINKs at address 3 (Link Drive) and 6 (Link Outdoor Drive) unless a test says otherwise.
    emu::ChannelMapEntries map
        = { { 3, 0x81, emu::preset::LinkDrive }, { 6, 0x81, emu::preset::LinkOutdoorDrive } };
    std::vector<uint8_t> linkAddresses = { 3, 6 };

    // Starts with map as the headset's channel map and a LINK at each of linkAddresses.
    bool startWithLinks()
    {
        emu::HeadsetModel model;
        model.channelMap = map;
        if (!start(model))
            return false;
        for (uint8_t address : linkAddresses) {
            emu::LinkModel link;
            link.address = address;
            link.serial = QByteArray("LK1900044") + QByteArray::number(address);
            emulator().addLink(link);
        }
        return true;
    }
    // Every row of a details list as "key=value".
    static QStringList rows(QListWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            if (auto* row = qobject_cast<OX::PropertyWidget*>(list->itemWidget(list->item(i))))
                out << row->key() + QLatin1Char('=') + row->value();
        return out;
    }
    Dongle* dongle() { return director ? director->dongle() : env.dongle.get(); }
    Headset* headset()
    {
        if (director)
            return director->headset();
        return env.dongle ? env.dongle->headset() : nullptr;
    }
    emu::Emulator& emulator() { return app ? app->emulator : *env.emulator; }
    // True once the dongle has answered every request made of it before (a profile query queued
    // behind them has come back).
    bool requestsAnswered()
    {
        auto answered = std::make_shared<bool>(false);
        dongle()->queryProfile([answered](DongleProfile*, DongleResult) { *answered = true; });
        return testutil::waitUntil([answered] { return *answered; }, testutil::scaled(10000));
    }
    // From now on the dongle takes a request to enter service mode at the first copy of a burst
    // only, and the next one delayMs late: a page can be left and shown again before it answers.
    void enterServiceModeLate(int delayMs)
    {
        const auto enter
            = emu::FrameFilter::dcp(37).where([](emu::Frame const& f) { return f.value() != 0; });
        emulator().addFault(emu::FaultRule::answerOnlyCopy(enter, 1, -1));
        emulator().addFault(emu::FaultRule::delayRequest(enter, delayMs));
    }

    // The dongle leaves its port and the USB bus while the page is shown; true once the director
    // has dropped it.
    bool unplug()
    {
        if (!viaDirectorOnly("unplug"))
            return false;
        headsetBeforeUnplug = headset() != nullptr;
        app->emulator.unplug();
        app->h.bus->setBus({});
        const bool gone = busListed() && testutil::waitUntil([&] { return !director->dongle(); }, 5000);
        testutil::pump(); // what the USB watch reported
        return gone;
    }
    // Waits until the director's USB watch has listed the bus as it is now and compared it with
    // what it listed before (a dongle plugged in again sooner would never have left).
    bool busListed()
    {
        auto calls = [this] {
            fakeusb::Lock lock(app->h.bus->mutex);
            return app->h.bus->listCalls;
        };
        const int mark = calls();
        return testutil::waitUntil([&] { return calls() >= mark + 2; }, 5000);
    }
    // After unplug(): the dongle comes back on a new port and on the USB bus; true once the
    // director has started it again and the headset that was there before runs again.
    bool replug()
    {
        if (!viaDirectorOnly("replug"))
            return false;
        const int connected = rec->connected.size();
        if (!app->emulator.plugIn())
            return false;
        app->h.bus->setBus(directortest::dongleList());
        return testutil::waitUntil(
                   [&] { return rec->connected.size() > connected && director->dongle(); }, 5000)
            && (!headsetBeforeUnplug || headsetRuns());
    }
    // The headset is switched off, and true once its watchdog has run out and it is reported
    // lost (shortWatchdog() before start), or switched on (it runs once it is heard).
    bool headsetPower(bool on)
    {
        if (!viaDirectorOnly("headsetPower"))
            return false;
        app->emulator.headsetPower(on);
        return on || testutil::waitUntil([this] { return !headset(); }, 4000);
    }
    // The headset is switched off and another one, with channelMap, switched on in its place.
    bool swapHeadset(emu::ChannelMapEntries const& channelMap)
    {
        if (!headsetPower(false))
            return false;
        app->emulator.updateHeadset([&](emu::HeadsetModel& m) {
            m.serial = "HS21000999";
            m.channelMap = channelMap;
        });
        return headsetPower(true) && headsetRuns();
    }
    bool viaDirectorOnly(const char* what)
    {
        if (director)
            return true;
        ADD_FAILURE() << what << ": devices come and go through the director (viaDirector)";
        return false;
    }
    // Registers shown under name beside "Menu" (shown first) and the extra stub pages, in a
    // controller of size that slides without animation; updates reach shown from now on.
    void registerPage(
        OX::Page* shown, QString const& name, QStringList const& stubs = {}, QSize size = QSize(900, 600))
    {
        page = shown;
        auto& c = container.controller;
        c.setSlideDurationOverride(0);
        c.resize(size);
        c.addPage(
            new testutil::RecordingPage(&container, QStringLiteral("Menu"), &c), QStringLiteral("Menu"));
        for (QString const& stub : stubs)
            c.addPage(new testutil::RecordingPage(&container, stub, &c), stub);
        c.addPage(shown, name);
        c.setInitialPage(QStringLiteral("Menu"));
    }
    // Shows the page registered under name and waits until it is the current page.
    bool show(QString const& name)
    {
        return container.controller.showPage(name, 1, 1000, true)
            && testutil::waitUntil([&] { return container.controller.currentPageName() == name; });
    }
    // Updates reach no page any more; the dongle and the emulator close.
    void close(bool failed)
    {
        page = nullptr;
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
