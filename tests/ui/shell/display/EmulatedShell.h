#pragma once
// The application's own windows over a director over the device emulator, as a person sees them
// on the display: the dongle listed on the bus when plugged in, the pages sliding in 10 ms.
#include "app/DirectorEmulation.h"

#include "ui/shell/MainWindow.h"
#include "ui/shell/ShellDirectorUi.h"
#include "ui/toolkit/PageController.h"

namespace directortest
{

struct EmulatedShell : EmulatedDongle {
    ShellDirectorUi* shell = nullptr;
    OrvixDirector* d = nullptr;

    MainWindow* window() const { return shell->mainWindow(); }
    OX::PageController* pages() const { return window()->controller(); }

    // Starts the emulated dongle and lists it on the bus when plugged, then the director with
    // the windows (its environment set as h.tweak says); false if the emulator did not start.
    bool startShell(bool plugged = true)
    {
        if (plugged) {
            if (!start())
                return false;
            h.bus->setBus(QtUsb::FilterList { Harness::dongleIds() });
        }
        auto ui = std::make_unique<ShellDirectorUi>();
        shell = ui.get();
        h.director = std::make_unique<OrvixDirector>(h.parser, std::move(ui), h.environment(5));
        d = h.director.get();
        pages()->setSlideDurationOverride(10);
        d->start();
        return true;
    }
};

} // namespace directortest
