// The firmware walk through the whole application over the emulated dongle, its cabled LINK and
// the local web service: "Firmware" opened through the page controller (its menu tile stays
// dim), a newer firmware downloaded and uploaded, then a dead LINK revived through Recovery, and
// the dongle replugged at the end. A screenshot per step is kept for a person.
#include "EmulatedShell.h"
#include "app/DirectorEmulation.h"
#include "common/gui_util.h"
#include "common/private_runtime.h"
#include "support/HttpTestServer.h"

#include "ui/firmware/DFUForm.h"
#include "ui/firmware/FirmwarePage.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/ShellDirectorUi.h"
#include "ui/toolkit/Menu.h"
#include "ui/toolkit/PageController.h"

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace directortest;
using testsupport::HttpTestServer;
using testutil::waitUntil;

namespace
{

struct FirmwareWalk : EmulatedShell {
    OX::FirmwarePage* page() const
    {
        return static_cast<OX::FirmwarePage*>(pages()->page(QStringLiteral("Firmware")));
    }
    QPushButton* next() const { return page()->findChild<QPushButton*>(QStringLiteral("nextButton")); }
    bool bringUp()
    {
        h.tweak = quickTiming; // a LINK that does not answer is given up in a few hundred ms
        return startShell() && waitUntil([&] { return d->dongle() != nullptr; }, 5000);
    }
    bool open()
    {
        pages()->showPage(QStringLiteral("Firmware"), OX::Page::FromRight, 1000, true);
        return waitUntil([&] {
            return pages()->currentPageName() == QStringLiteral("Firmware") && !pages()->isSwitching();
        });
    }
    // Waits for Next to offer text, keeps a screenshot, then clicks it as a person would.
    bool press(const QString& text, const QString& shot)
    {
        if (!waitUntil([&] { return next()->isEnabled() && next()->text() == text; }, 5000))
            return false;
        testutil::saveScreenshot(window(), shot);
        QTest::mouseClick(next(), Qt::LeftButton);
        return true;
    }
    bool shows(int step)
    {
        return waitUntil([&] { return page()->shownForm() == page()->stepForm(step); }, 5000);
    }
};

TEST(FirmwareWalk, NewerFirmwareThenADeadLinkThenReplugged)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    QTemporaryDir dir;
    testutil::PrivateRuntime runtime(dir.path());
    const QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
    HttpTestServer server;
    QByteArray firmware;
    for (int i = 0; i < 3000; ++i)
        firmware.append(char(i * 13));
    server.route("/api/v1/firmware/link/2.0/0.11/info",
        HttpTestServer::Response::json({ { "result", 1 },
            { "version", QJsonObject { { "major", 1 }, { "minor", 12 }, { "fix", 0 }, { "build", 3 } } } }));
    server.route("/api/v1/firmware/link/2.0/0.11/download", HttpTestServer::Response::bytes(firmware));

    FirmwareWalk t;
    ASSERT_TRUE(t.bringUp());
    API::setServiceBaseUrl(server.baseUrl());
    EXPECT_FALSE(t.window()->menu()->item(OX::MenuItem::FirmwareUpdateItem)->isEnabled());
    ASSERT_TRUE(t.open());

    ASSERT_TRUE(t.press(QStringLiteral("Continue"), QStringLiteral("firmware-walk-1-welcome")));
    ASSERT_TRUE(t.press(QStringLiteral("Connect"), QStringLiteral("firmware-walk-2-connect")));
    ASSERT_TRUE(t.shows(OX::FirmwarePage::GetFirmwareStep));
    EXPECT_EQ(t.page()->linkVersion(), DongleVersion(1, 11, 5, 0));
    auto* download = t.page()->stepForm(3)->findChild<QPushButton*>(QStringLiteral("downloadButton"));
    ASSERT_TRUE(waitUntil([&] { return download->isEnabled(); }, 5000));
    testutil::saveScreenshot(t.window(), QStringLiteral("firmware-walk-3-newer-online"));
    QTest::mouseClick(download, Qt::LeftButton);
    ASSERT_TRUE(t.press(QStringLiteral("Upload"), QStringLiteral("firmware-walk-4-downloaded")));
    ASSERT_TRUE(t.shows(OX::FirmwarePage::UploadStep));
    ASSERT_TRUE(t.press(QStringLiteral("Finish"), QStringLiteral("firmware-walk-5-uploaded")));
    ASSERT_TRUE(t.shows(OX::FirmwarePage::SucceededStep));
    testutil::saveScreenshot(t.window(), QStringLiteral("firmware-walk-6-succeeded"));
    EXPECT_EQ(t.emulator.receivedImage(), firmware + QByteArray(3072 - 3000, char(0xFF)));
    ASSERT_TRUE(
        waitUntil([&] { return t.emulator.cabledLinkMode() == emu::CabledLinkMode::Firmware; }, 5000));
    EXPECT_EQ(t.emulator.cabledLink().minor, 12);

    // The dongle replugged leaves firmware update mode; then a LINK that no longer starts.
    t.emulator.unplug();
    ASSERT_TRUE(waitUntil([&] { return t.d->dongle() == nullptr; }, 5000));
    ASSERT_TRUE(waitUntil([&] { return t.pages()->currentPageName() != QStringLiteral("Firmware"); }, 5000));
    ASSERT_TRUE(t.emulator.plugIn());
    t.d->onUsbDeviceInserted(dongleList());
    ASSERT_TRUE(waitUntil([&] { return t.d->dongle() != nullptr; }, 5000));
    t.emulator.updateCabledLink([](emu::CabledLinkModel& m) { m.dead = true; });
    ASSERT_TRUE(t.open());
    testutil::BoxAnswerer boxes;
    boxes.answer(
        QStringLiteral("Link not found. Would you like to start the recovery mode?"), QStringLiteral("Yes"));
    ASSERT_TRUE(t.press(QStringLiteral("Continue"), QStringLiteral("firmware-walk-7-welcome-again")));
    ASSERT_TRUE(t.press(QStringLiteral("Connect"), QStringLiteral("firmware-walk-8-connect-dead")));
    ASSERT_TRUE(t.shows(OX::FirmwarePage::RecoveryStep));
    ASSERT_TRUE(t.press(QStringLiteral("Continue"), QStringLiteral("firmware-walk-9-recovery-answered")));
    ASSERT_TRUE(t.shows(OX::FirmwarePage::GetFirmwareStep));
    auto* custom = t.page()->stepForm(3)->findChild<QAbstractButton*>(QStringLiteral("customCheckBox"));
    QTest::mouseClick(custom, Qt::LeftButton, {}, QPoint(8, custom->height() / 2));
    auto* list = t.page()->stepForm(3)->findChild<QComboBox*>(QStringLiteral("firmwareComboBox"));
    ASSERT_TRUE(waitUntil([&] { return list->count() == 1; }, 5000)); // the download of the first pass
    list->setCurrentIndex(0);
    ASSERT_TRUE(t.press(QStringLiteral("Upload"), QStringLiteral("firmware-walk-10-stored-firmware")));
    ASSERT_TRUE(t.press(QStringLiteral("Finish"), QStringLiteral("firmware-walk-11-uploaded-again")));
    ASSERT_TRUE(t.shows(OX::FirmwarePage::SucceededStep));
    EXPECT_EQ(t.emulator.uploadsCompleted(), 2);
    EXPECT_TRUE(boxes.unexpected().isEmpty());

    t.emulator.unplug();
    ASSERT_TRUE(waitUntil([&] { return t.d->dongle() == nullptr; }, 5000));
    ASSERT_TRUE(t.emulator.plugIn());
    t.d->onUsbDeviceInserted(dongleList());
    EXPECT_TRUE(waitUntil([&] { return t.d->dongle() != nullptr; }, 5000));
    testutil::saveScreenshot(t.window(), QStringLiteral("firmware-walk-12-replugged"));
    qputenv("XDG_DATA_HOME", savedDataHome);
}

} // namespace
