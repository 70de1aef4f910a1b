#pragma once
// The application's first window for the status benchmarks: the main menu shown in a window,
// the status page behind it, and the 3D view's set-up asked to be made ahead once the window is
// shown, as the application does.
#include <QString>
#include <QtTest/QTest>

#include "common/FakePageContainer.h"
#include "ui/pages/StatusPage.h"
#include "ui/toolkit/Menu.h"
#include "ui/toolkit/OpenGLView.h"
#include "ui/toolkit/PageController.h"

struct MenuWindow {
    testutil::FakePageContainer container;
    OX::PageController& controller = container.controller;

    MenuWindow()
    {
        controller.addPage(QStringLiteral("Menu"), [this] { return new OX::Menu(&container); });
        controller.addPage(QStringLiteral("Status"), [this] { return new OX::StatusPage(&container); });
        controller.resize(900, 600);
        controller.setInitialPage(QStringLiteral("Menu"));
        controller.show();
        OX::OpenGLView::prepareWhenIdle();
    }
    MenuWindow(const MenuWindow&) = delete;
    MenuWindow& operator=(const MenuWindow&) = delete;

    // Waits up to ms for the 3D view's set-up made ahead; false when it was not made.
    static bool waitUntilPrepared(int ms)
    {
        return QTest::qWaitFor([] { return OX::OpenGLView::isPrepared(); }, ms);
    }
    // The menu drawn and settled, as before a person's click.
    static void settle() { QTest::qWait(200); }

    OX::StatusPage* status()
    {
        return static_cast<OX::StatusPage*>(controller.page(QStringLiteral("Status")));
    }
};
