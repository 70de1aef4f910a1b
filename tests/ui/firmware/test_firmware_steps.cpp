// The firmware wizard's steps over the emulated dongle with its cabled LINK and the local web
// service: pass-through, the LINK's version and service mode, the recovery path, the firmware
// sources, the upload and every way these can fail. Modal boxes are answered by the test.
#include "ui/firmware/DFUFailedForm.h"
#include "ui/firmware/DFUGetFirmwareForm.h"
#include "ui/firmware/DFUUploadForm.h"
#include "ui/firmware/FirmwareImage.h"
#include "ui/firmware/FirmwarePage.h"

#include "app/ApiManager.h"
#include "app/OrvixDirector.h"
#include "common/FakePageContainer.h"
#include "common/dongle_fixture.h"
#include "common/gui_util.h"
#include "common/private_runtime.h"
#include "common/qt_wait.h"
#include "device/Link.h"
#include "protocol/Print.h"
#include "support/HttpTestServer.h"
#include "ui/toolkit/StepsWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using OX::FirmwarePage;
using testsupport::HttpTestServer;
using testutil::shownText;
using testutil::waitUntil;

namespace
{

const QByteArray InfoPath = "/api/v1/firmware/link/2.0/0.11/info";
const QByteArray DownloadPath = "/api/v1/firmware/link/2.0/0.11/download";

QJsonObject infoReply(QJsonValue result, int major, int minor, int fix, int build)
{
    return { { "result", result },
        { "version",
            QJsonObject { { "major", major }, { "minor", minor }, { "fix", fix }, { "build", build } } } };
}

QByteArray firmwareBytes(int size)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(char((i * 7 + 3) & 0xFF));
    return bytes;
}

struct Wizard : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        savedDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
        runtime = std::make_unique<testutil::PrivateRuntime>(dir.path());
        ASSERT_TRUE(API::setServiceBaseUrl(server.baseUrl()));
        emu::Options options;
        options.timeScale = 0.05;
        ASSERT_NO_FATAL_FAILURE(env.open(options, nullptr));
        ASSERT_EQ(env.start(), 0);
        fake.dongle = env.dongle.get();
        page = std::make_unique<FirmwarePage>(&fake);
        page->resize(757, 421);
        page->show();
        next = page->findChild<QPushButton*>(QStringLiteral("nextButton"));
        page->pageWillAppear(QStringLiteral("Menu"));
        page->pageDidAppear();
    }
    void TearDown() override
    {
        page.reset();
        API::setServiceBaseUrl(QUrl());
        env.close(HasFailure());
        EXPECT_TRUE(boxes.unexpected().isEmpty()) << boxes.unexpected().join(", ").toStdString();
        qputenv("XDG_DATA_HOME", savedDataHome);
    }

    // Requests time out in a few ms rather than seconds.
    void fastTimeouts()
    {
        Dongle::Timing timing = env.dongle->timing();
        timing.timeoutScale = 0.05 * testutil::timeScale();
        env.dongle->setTiming(timing);
    }
    template <typename T> T* child(int step, const char* name)
    {
        return page->stepForm(step)->findChild<T*>(QLatin1String(name));
    }
    bool shows(int step)
    {
        return waitUntil([&] { return page->shownForm() == page->stepForm(step); });
    }
    bool failsWith(const QString& message)
    {
        return waitUntil([&] { return page->shownForm() == page->failedForm(); })
            && page->failedForm()->message() == message
            && shownText(page->failedForm()->findChild<QLabel*>(QStringLiteral("userMessage"))) == message;
    }
    void clickNext() { QTest::mouseClick(next, Qt::LeftButton); }
    bool nextOffers(const QString& text)
    {
        return waitUntil([&] { return next->isEnabled() && next->text() == text; });
    }
    // Welcome and Connect through the real LINK.
    void toGetFirmware()
    {
        clickNext();
        ASSERT_TRUE(shows(FirmwarePage::ConnectStep));
        clickNext();
        ASSERT_TRUE(shows(FirmwarePage::GetFirmwareStep));
    }
    // The source step on its own, for a LINK of version.
    void showGetFirmware(DongleVersion version)
    {
        page->setLinkVersion(version);
        page->showPage(page->stepForm(FirmwarePage::GetFirmwareStep), {});
    }
    QString stored(const QString& name)
    {
        return QDir(OX::DFUGetFirmwareForm::firmwareFolderPath()).filePath(name);
    }
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }
    // Pass-through on and, unless firmwareOnly, the cabled LINK in its bootloader.
    void prepareLink(bool firmwareOnly = false)
    {
        int code = -1;
        env.dongle->enterPasshroughtMode([&](DongleResult r) { code = r.code; });
        ASSERT_TRUE(waitUntil([&] { return code == 0; }));
        if (firmwareOnly)
            return;
        Link link(*env.dongle, 0, 0);
        code = -1;
        link.startBootloader([&](DongleResult r) { code = r.code; });
        ASSERT_TRUE(waitUntil([&] { return code == 0; }));
        ASSERT_TRUE(
            waitUntil([&] { return env.emulator->cabledLinkMode() == emu::CabledLinkMode::Bootloader; }));
    }
    // Ticks the box on the source step: the stored files can be chosen.
    QComboBox* openStoredList()
    {
        auto* box = child<QCheckBox>(FirmwarePage::GetFirmwareStep, "customCheckBox");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2)); // on its indicator
        return child<QComboBox>(FirmwarePage::GetFirmwareStep, "firmwareComboBox");
    }
    OX::DFUUploadForm* upload()
    {
        return static_cast<OX::DFUUploadForm*>(page->stepForm(FirmwarePage::UploadStep));
    }
    void showUpload(const QString& path)
    {
        page->setFirmwarePath(path);
        page->showPage(upload(), {});
    }

    // An upload whose first block goes unanswered once, re-sent after 100 ms.
    void startSlowUpload()
    {
        env.emulator->updateCabledLink([](emu::CabledLinkModel& m) { m.silentBlock[1] = 1; });
        ASSERT_NO_FATAL_FAILURE(prepareLink());
        showUpload(writeFile(QStringLiteral("fw.enc"), firmwareBytes(1025)));
        ASSERT_TRUE(upload()->sender());
        upload()->sender()->setTimeoutsForTest(
            { testutil::scaled(100), testutil::scaled(100), testutil::scaled(XModem::KEEP_ALIVE_TIME) });
        ASSERT_TRUE(waitUntil([&] { return upload()->sender() && upload()->sender()->isBusy(); }));
    }

    // Visited again: Welcome fails (the dongle never answers the switch), then the dongle is
    // removed as the failed form says; the failure shown stays Welcome's.
    void failWelcomeOnTheNextVisitThenUnplug()
    {
        page->pageWillAppear(QStringLiteral("Menu"));
        page->pageDidAppear();
        fastTimeouts();
        env.emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(22)));
        clickNext();
        ASSERT_TRUE(failsWith(QStringLiteral("Unable to enter firmware update mode.")));
        fake.dongle = nullptr;
        page->updateWithDongle(nullptr, DongleChangeMask::all);
        EXPECT_EQ(page->failedForm()->message(), QStringLiteral("Unable to enter firmware update mode."));
    }

    QTemporaryDir dir;
    QByteArray savedDataHome;
    std::unique_ptr<testutil::PrivateRuntime> runtime;
    HttpTestServer server;
    testutil::EmulatedDongle env;
    testutil::FakePageContainer fake;
    testutil::BoxAnswerer boxes;
    std::unique_ptr<FirmwarePage> page;
    QPushButton* next = nullptr;
};

TEST_F(Wizard, ADongleThatRefusesPassThroughFailsTheWelcome)
{
    fastTimeouts();
    env.emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(22)));
    EXPECT_TRUE(nextOffers(QStringLiteral("Continue")));
    clickNext();
    EXPECT_TRUE(failsWith(QStringLiteral("Unable to enter firmware update mode.")));
    EXPECT_FALSE(next->isEnabled());
}

TEST_F(Wizard, TheWizardRunsAgainOnADongleStillInPassThrough)
{
    fastTimeouts();
    clickNext();
    ASSERT_TRUE(shows(FirmwarePage::ConnectStep));
    // Left (a failed upload, or Back) and opened again: the dongle relays to the LINK until it is
    // plugged in again, so it is not switched a second time.
    page->pageWillDisappear(QStringLiteral("Menu"), [] {});
    page->pageDidDisappear();
    page->pageWillAppear(QStringLiteral("Menu"));
    page->pageDidAppear();
    clickNext();
    ASSERT_TRUE(shows(FirmwarePage::ConnectStep));
    EXPECT_EQ(env.emulator->receivedCount(emu::FrameFilter::dcp(22)), 1);
    clickNext();
    EXPECT_TRUE(shows(FirmwarePage::GetFirmwareStep));
}

TEST_F(Wizard, ASwitchStillUnansweredWhenTheWizardRunsAgainIsWaitedFor)
{
    env.emulator->addFault(emu::FaultRule::delayReply(emu::FrameFilter::dcp(22), testutil::scaled(300)));
    clickNext();
    ASSERT_TRUE(env.emulator->waitForFrame(emu::FrameFilter::dcp(22), testutil::scaled(2000)).has_value());
    // Left and opened again before the dongle answered: a second switch would go to the LINK.
    page->pageWillDisappear(QStringLiteral("Menu"), [] {});
    page->pageDidDisappear();
    page->endVisit();
    page->beginVisit();
    page->pageWillAppear(QStringLiteral("Menu"));
    page->pageDidAppear();
    clickNext();
    ASSERT_TRUE(shows(FirmwarePage::ConnectStep)); // not "Unable to enter firmware update mode."
    clickNext();
    EXPECT_TRUE(shows(FirmwarePage::GetFirmwareStep));
}

TEST_F(Wizard, FirmwareFromTheServiceReachesTheLink)
{
    const QByteArray firmware = firmwareBytes(1025);
    env.emulator->updateCabledLink([](emu::CabledLinkModel& m) { m.minor = 4, m.fix = 1; });
    server.route(InfoPath, HttpTestServer::Response::json(infoReply(1, 1, 4, 2, 37)));
    server.route(DownloadPath, HttpTestServer::Response::bytes(firmware));
    ASSERT_NO_FATAL_FAILURE(toGetFirmware());
    EXPECT_EQ(page->linkVersion(), DongleVersion(1, 4, 1, 0));
    EXPECT_FALSE(page->recoveryMode());
    // Each query had a LINK of its own, gone once it was answered.
    EXPECT_TRUE(waitUntil([&] { return env.dongle->findChildren<Link*>().isEmpty(); }));

    auto* download = child<QPushButton>(FirmwarePage::GetFirmwareStep, "downloadButton");
    ASSERT_TRUE(waitUntil([&] { return download->isEnabled(); }));
    EXPECT_EQ(child<QLabel>(3, "remoteVersion")->text(), QStringLiteral("1.4.2 (37)"));
    testutil::saveScreenshot(page.get(), QStringLiteral("firmware-get-firmware"));
    QTest::mouseClick(download, Qt::LeftButton);
    ASSERT_TRUE(nextOffers(QStringLiteral("Upload")));
    const QString file = stored(QStringLiteral("Link_Firmware_1.4.2(37).enc"));
    EXPECT_EQ(page->firmwarePath(), file);
    EXPECT_TRUE(QFileInfo::exists(file));
    QStringList requests;
    for (const HttpTestServer::Request& r : server.requests())
        requests << QString::fromLatin1(r.method + ' ' + r.path);
    EXPECT_EQ(requests, (QStringList { "HEAD " + InfoPath, "GET " + InfoPath, "GET " + DownloadPath }));

    clickNext(); // the LINK restarts into its bootloader, then the upload
    ASSERT_TRUE(shows(FirmwarePage::UploadStep));
    ASSERT_TRUE(nextOffers(QStringLiteral("Finish")));
    EXPECT_EQ(child<QProgressBar>(FirmwarePage::UploadStep, "progressBar")->value(), 100);
    testutil::saveScreenshot(page.get(), QStringLiteral("firmware-upload-finished"));
    EXPECT_EQ(env.emulator->receivedImage(), firmware + QByteArray(2048 - 1025, char(0xFF)));
    EXPECT_EQ(env.dongle->xmodem(), nullptr);
    clickNext();
    ASSERT_TRUE(shows(FirmwarePage::SucceededStep));
    EXPECT_EQ(fake.header.subtitle, QStringLiteral("Succeeded"));
    EXPECT_FALSE(next->isEnabled());
    testutil::saveScreenshot(page.get(), QStringLiteral("firmware-succeeded"));
}

TEST_F(Wizard, TheTimeLeftStandsWholeInEveryLanguage)
{
    // The download's estimate and the upload's, each on its step.
    for (const int step : { int(FirmwarePage::GetFirmwareStep), int(FirmwarePage::UploadStep) }) {
        bool shown = false;
        page->setPage(page->stepForm(step), [&] { shown = true; });
        ASSERT_TRUE(shown);
        auto* left
            = child<QLabel>(step, step == FirmwarePage::UploadStep ? "estimationInfo" : "estimationValue");
        for (const char* language : { "en", "fr", "hu" }) {
            QTranslator translator;
            ASSERT_TRUE(translator.load(QStringLiteral(":/languages/") + QLatin1String(language)));
            QCoreApplication::installTranslator(&translator);
            for (long long seconds : { 30LL, 590LL, 7000LL, 90000LL }) {
                left->setText(Print::remainingTimeFromSec(seconds));
                testutil::pump();
                EXPECT_GE(left->contentsRect().width(), left->fontMetrics().horizontalAdvance(left->text()))
                    << step << ", " << language << ": " << left->text().toStdString();
                if (seconds == 590)
                    testutil::saveScreenshot(page.get(),
                        QStringLiteral("firmware-time-left-%1-%2").arg(step).arg(QLatin1String(language)));
            }
            QCoreApplication::removeTranslator(&translator);
        }
    }
}

TEST_F(Wizard, ADeadLinkIsRevivedThroughRecovery)
{
    fastTimeouts();
    env.emulator->updateCabledLink([](emu::CabledLinkModel& m) { m.dead = true; });
    page->setLinkVersion(DongleVersion(1, 11, 5, 88)); // an earlier LINK's
    boxes.answer(
        QStringLiteral("Link not found. Would you like to start the recovery mode?"), QStringLiteral("Yes"));
    clickNext();
    ASSERT_TRUE(shows(FirmwarePage::ConnectStep));
    clickNext();
    ASSERT_TRUE(shows(FirmwarePage::RecoveryStep));
    EXPECT_EQ(page->findChild<OX::StepsWidget*>(QStringLiteral("stepper"))->currentStep(), 1);
    // The recovery string goes out until the bootloader asks for data.
    ASSERT_TRUE(nextOffers(QStringLiteral("Continue")));
    testutil::saveScreenshot(page.get(), QStringLiteral("firmware-recovery"));
    const int bootloaderCommands = env.emulator->receivedCount(emu::FrameFilter::of(emu::pid::LCP, 13));

    page->setFirmwarePath(writeFile(QStringLiteral("own.enc"), firmwareBytes(300)));
    clickNext();
    ASSERT_TRUE(shows(FirmwarePage::GetFirmwareStep));
    EXPECT_EQ(page->findChild<OX::StepsWidget*>(QStringLiteral("stepper"))->currentStep(), 2);
    EXPECT_EQ(child<QLabel>(3, "currentVersion")->text(), QStringLiteral("Unknown"));
    page->navigateToNextStep(nullptr); // the firmware path set above
    ASSERT_TRUE(shows(FirmwarePage::UploadStep));
    ASSERT_TRUE(nextOffers(QStringLiteral("Finish")));
    EXPECT_EQ(env.emulator->receivedCount(emu::FrameFilter::of(emu::pid::LCP, 13)), bootloaderCommands);
    EXPECT_EQ(env.emulator->receivedImage().left(300), firmwareBytes(300));
}

TEST_F(Wizard, ALinkOutsideServiceModeIsAskedForAgain)
{
    env.emulator->updateCabledLink([](emu::CabledLinkModel& m) { m.serviceMode = false; });
    boxes.answer(QStringLiteral("Link error"), QStringLiteral("OK"));
    clickNext();
    ASSERT_TRUE(shows(FirmwarePage::ConnectStep));
    clickNext();
    ASSERT_TRUE(waitUntil([&] { return boxes.seen().contains(QStringLiteral("Link error")); }));
    EXPECT_TRUE(nextOffers(QStringLiteral("Connect")));
    EXPECT_EQ(page->shownForm(), page->stepForm(FirmwarePage::ConnectStep));
    EXPECT_EQ(page->linkVersion(), DongleVersion(1, 11, 5, 0));
}

TEST_F(Wizard, BackDuringTheConnectCheckAsksTheLinkNothingMore)
{
    const auto version = emu::FrameFilter::of(emu::pid::LCP, 6);
    env.emulator->addFault(emu::FaultRule::delayRequest(version, testutil::scaled(200)));
    clickNext();
    ASSERT_TRUE(shows(FirmwarePage::ConnectStep));
    clickNext();
    ASSERT_TRUE(env.emulator->waitForFrame(version, testutil::scaled(2000)).has_value());
    page->pageWillDisappear(QStringLiteral("Menu"), [] {});
    page->pageDidDisappear();
    // The version's answer comes and its LINK goes; no service-mode question follows it.
    ASSERT_TRUE(waitUntil([&] { return env.dongle->findChildren<Link*>().isEmpty(); }));
    testutil::spin(50);
    EXPECT_EQ(env.emulator->receivedCount(emu::FrameFilter::of(emu::pid::LCP, 15)), 0);
    EXPECT_EQ(page->linkVersion(), DongleVersion());
    EXPECT_TRUE(boxes.seen().isEmpty());
}

TEST_F(Wizard, TheRecoveryIsOfferedOnlyWhileTheDongleIsThere)
{
    fastTimeouts();
    env.emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::LCP, 6)));
    clickNext();
    ASSERT_TRUE(shows(FirmwarePage::ConnectStep));
    const int mark = env.emulator->mark();
    clickNext();
    // The dongle goes while its LINK is asked: nothing could revive it, so nothing is asked.
    ASSERT_TRUE(
        env.emulator->waitForFrame(emu::FrameFilter::of(emu::pid::LCP, 6), testutil::scaled(2000), mark)
            .has_value());
    fake.dongle = nullptr;
    EXPECT_TRUE(failsWith(QStringLiteral("Dongle not connected or lost.")));
    EXPECT_FALSE(page->recoveryMode());
    EXPECT_TRUE(boxes.seen().isEmpty());
}

TEST_F(Wizard, TheServicesAnswerDecidesWhetherToDownload)
{
    struct Case {
        QJsonObject reply;
        const char* status;
        bool download;
    } const cases[] = {
        { infoReply(1, 1, 4, 1, 0), "There is no new Link firmware available", false },
        { infoReply(1, 300, 4, 1, 0), "New Link firmware available", true }, // 300 is 44
        { infoReply(1, 1, 4, 1, 0), "There is no new Link firmware available", false }, // not the last offer
        { infoReply(0, 2, 4, 1, 0), "Error during firmware version check", false },
        { infoReply(true, 2, 4, 1, 0), "Error during firmware version check", false },
        { infoReply(QStringLiteral("1"), 2, 4, 1, 0), "Error during firmware version check", false },
        // A version the service did not name readably is no answer, never "no new firmware".
        { { { "result", 1 }, { "version", QStringLiteral("9.0.0") } }, "Error during firmware version check",
            false },
        { { { "result", 1 }, { "version", QJsonObject { { "major", QStringLiteral("9") } } } },
            "Error during firmware version check", false },
    };
    for (const Case& c : cases) {
        server.route(InfoPath, HttpTestServer::Response::json(c.reply));
        showGetFirmware(DongleVersion(1, 4, 1, 0));
        auto* status = child<QLabel>(FirmwarePage::GetFirmwareStep, "downloadInfo");
        EXPECT_TRUE(waitUntil([&] { return status->text() == QLatin1String(c.status); }))
            << c.status << " got " << status->text().toStdString();
        EXPECT_EQ(child<QPushButton>(3, "downloadButton")->isEnabled(), c.download) << c.status;
        EXPECT_FALSE(child<QComboBox>(3, "firmwareComboBox")->isEnabled()) << c.status;
        auto* box = child<QCheckBox>(3, "customCheckBox"); // ticked: the list opens until the next visit
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }
    EXPECT_EQ(OrvixDirector::versionFromJson(infoReply(1, 300, 4, 1, 70000)), DongleVersion(44, 4, 1, 4464));
    QJsonObject untrusted { { "version",
        QJsonObject {
            { "major", 1e300 }, { "minor", 1.5 }, { "fix", QStringLiteral("3") }, { "build", -1 } } } };
    EXPECT_EQ(OrvixDirector::versionFromJson(untrusted), DongleVersion(0, 0, 0, 0));
}

TEST_F(Wizard, AFailedOrLateDownloadChoosesNoFirmware)
{
    server.route(InfoPath, HttpTestServer::Response::json(infoReply(1, 2, 0, 0, 0)));
    showGetFirmware(DongleVersion(1, 4, 1, 0));
    auto* download = child<QPushButton>(FirmwarePage::GetFirmwareStep, "downloadButton");
    ASSERT_TRUE(waitUntil([&] { return download->isEnabled(); }));
    QTest::mouseClick(download, Qt::LeftButton); // no download route: 404
    auto* status = child<QLabel>(FirmwarePage::GetFirmwareStep, "downloadInfo");
    EXPECT_TRUE(
        waitUntil([&] { return status->text() == QStringLiteral("Error during firmware download"); }));
    EXPECT_FALSE(download->isEnabled());
    EXPECT_TRUE(page->firmwarePath().isEmpty());

    // A download still running when the step is left lands in the store, and nothing more.
    server.route(DownloadPath, HttpTestServer::Response::bytes(firmwareBytes(4096)).slow(512, 20));
    showGetFirmware(DongleVersion(1, 4, 1, 0));
    ASSERT_TRUE(waitUntil([&] { return download->isEnabled(); }));
    QTest::mouseClick(download, Qt::LeftButton);
    page->showPage(upload(), {});
    page->pageWillDisappear(QStringLiteral("Menu"), [] {});
    EXPECT_TRUE(
        waitUntil([&] { return QFileInfo::exists(stored(QStringLiteral("Link_Firmware_2.0.0(0).enc"))); }));
    testutil::spin(50);
    EXPECT_TRUE(page->firmwarePath().isEmpty());
    EXPECT_FALSE(next->isEnabled());
}

TEST_F(Wizard, ADownloadLargerThanALinkHoldsIsCutOffAndNotStored)
{
    server.route(InfoPath, HttpTestServer::Response::json(infoReply(1, 2, 0, 0, 0)));
    server.route(DownloadPath,
        HttpTestServer::Response::bytes(firmwareBytes(8 * OX::FirmwareImage::MaxBytes))
            .withoutLength()
            .slow(128 * 1024, 10));
    showGetFirmware(DongleVersion(1, 4, 1, 0));
    auto* download = child<QPushButton>(FirmwarePage::GetFirmwareStep, "downloadButton");
    ASSERT_TRUE(waitUntil([&] { return download->isEnabled(); }));
    QTest::mouseClick(download, Qt::LeftButton);
    auto* status = child<QLabel>(FirmwarePage::GetFirmwareStep, "downloadInfo");
    EXPECT_TRUE(waitUntil([&] { return status->text() == "Error during firmware download"; }, 3000))
        << qPrintable(status->text());
    EXPECT_FALSE(QFileInfo::exists(stored(QStringLiteral("Link_Firmware_2.0.0(0).enc"))));
    EXPECT_TRUE(page->firmwarePath().isEmpty());
}

TEST_F(Wizard, AServiceGoneSilentFailsTheCheckOrTheDownloadInsteadOfWaitingForGood)
{
    static_cast<OX::DFUGetFirmwareForm*>(page->stepForm(3))->setServiceStallMs(testutil::scaled(300));
    auto* status = child<QLabel>(FirmwarePage::GetFirmwareStep, "downloadInfo");
    server.route(InfoPath, HttpTestServer::Response::hang());
    showGetFirmware(DongleVersion(1, 4, 1, 0));
    EXPECT_TRUE(waitUntil([&] { return status->text() == "The update service cannot be reached"; }, 3000));
    // The first piece of the file, then nothing more.
    server.route(InfoPath, HttpTestServer::Response::json(infoReply(1, 2, 0, 0, 0)));
    server.route(DownloadPath, HttpTestServer::Response::bytes(firmwareBytes(4096)).slow(512, 600000));
    showGetFirmware(DongleVersion(1, 4, 1, 0));
    auto* download = child<QPushButton>(FirmwarePage::GetFirmwareStep, "downloadButton");
    ASSERT_TRUE(waitUntil([&] { return download->isEnabled(); }));
    QTest::mouseClick(download, Qt::LeftButton);
    EXPECT_TRUE(waitUntil([&] { return status->text() == "Error during firmware download"; }, 3000));
    EXPECT_TRUE(page->firmwarePath().isEmpty());
}

TEST_F(Wizard, ADownloadTakesThePlaceOfADifferentStoredFileOfItsName)
{
    const QByteArray firmware = firmwareBytes(3000);
    server.route(InfoPath, HttpTestServer::Response::json(infoReply(1, 2, 0, 0, 0)));
    server.route(DownloadPath, HttpTestServer::Response::bytes(firmware).withoutLength().slow(256, 60));
    const QString file = stored(QStringLiteral("Link_Firmware_2.0.0(0).enc"));
    ASSERT_TRUE(QDir().mkpath(OX::DFUGetFirmwareForm::firmwareFolderPath()));
    QFile cut(file); // an earlier copy cut short
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(firmware.left(1024));
    cut.close();
    showGetFirmware(DongleVersion(1, 4, 1, 0));
    auto* download = child<QPushButton>(FirmwarePage::GetFirmwareStep, "downloadButton");
    ASSERT_TRUE(waitUntil([&] { return download->isEnabled(); }));
    QTest::mouseClick(download, Qt::LeftButton);
    // Of untold size: no time left is claimed on the way, and the bar is full at the end.
    auto* estimation = child<QLabel>(FirmwarePage::GetFirmwareStep, "estimationValue");
    QString claimed;
    ASSERT_TRUE(waitUntil([&] {
        claimed += estimation->text();
        return !page->firmwarePath().isEmpty();
    }));
    EXPECT_TRUE(claimed.isEmpty()) << qPrintable(claimed);
    EXPECT_EQ(child<QProgressBar>(FirmwarePage::GetFirmwareStep, "progressBar")->value(), 100);
    ASSERT_TRUE(nextOffers(QStringLiteral("Upload")));
    EXPECT_EQ(page->firmwarePath(), file);
    ASSERT_TRUE(cut.open(QIODevice::ReadOnly));
    EXPECT_EQ(cut.readAll(), firmware);
}

TEST_F(Wizard, AnEmptyDownloadNeitherEntersTheStoreNorReplacesAStoredFile)
{
    const QByteArray firmware = firmwareBytes(3000);
    const QString file = stored(QStringLiteral("Link_Firmware_2.0.0(0).enc"));
    server.route(InfoPath, HttpTestServer::Response::json(infoReply(1, 2, 0, 0, 0)));
    server.route(DownloadPath, HttpTestServer::Response::bytes(QByteArray()));
    auto* download = child<QPushButton>(FirmwarePage::GetFirmwareStep, "downloadButton");
    auto* status = child<QLabel>(FirmwarePage::GetFirmwareStep, "downloadInfo");
    for (const bool storedBefore : { false, true }) {
        if (storedBefore) {
            ASSERT_TRUE(QDir().mkpath(OX::DFUGetFirmwareForm::firmwareFolderPath()));
            QFile good(file);
            ASSERT_TRUE(good.open(QIODevice::WriteOnly));
            good.write(firmware);
        }
        showGetFirmware(DongleVersion(1, 4, 1, 0));
        ASSERT_TRUE(waitUntil([&] { return download->isEnabled(); }));
        QTest::mouseClick(download, Qt::LeftButton);
        EXPECT_TRUE(waitUntil([&] { return status->text() == "Error during firmware download"; }))
            << qPrintable(status->text());
        EXPECT_TRUE(page->firmwarePath().isEmpty());
        EXPECT_FALSE(next->isEnabled());
        QFile kept(file);
        EXPECT_EQ(kept.exists(), storedBefore);
        if (storedBefore && kept.open(QIODevice::ReadOnly))
            EXPECT_EQ(kept.readAll(), firmware);
    }
}

TEST_F(Wizard, ADownloadBegunOnAnEarlierVisitServesTheNextOne)
{
    const QByteArray firmware = firmwareBytes(4096);
    server.route(InfoPath, HttpTestServer::Response::json(infoReply(1, 2, 0, 0, 0)));
    server.route(DownloadPath, HttpTestServer::Response::bytes(firmware).slow(512, 20));
    auto* download = child<QPushButton>(FirmwarePage::GetFirmwareStep, "downloadButton");
    for (int visit = 0; visit < 2; ++visit) {
        showGetFirmware(DongleVersion(1, 4, 1, 0));
        ASSERT_TRUE(waitUntil([&] { return download->isEnabled(); }));
        QTest::mouseClick(download, Qt::LeftButton);
        if (visit == 0) { // left and opened again while the download runs
            page->pageWillDisappear(QStringLiteral("Menu"), [] {});
            page->pageDidDisappear();
            page->pageWillAppear(QStringLiteral("Menu"));
            page->pageDidAppear();
        }
    }
    ASSERT_TRUE(nextOffers(QStringLiteral("Upload")));
    QFile file(stored(QStringLiteral("Link_Firmware_2.0.0(0).enc")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), firmware);
}

TEST_F(Wizard, ADownloadOfAnEarlierOfferIsNotChosenForALaterOne)
{
    // Begun for 2.0.0; on the next visit the service offers 3.0.0 to a LINK of 2.5.0, which the
    // running download must not downgrade.
    server.route(InfoPath, HttpTestServer::Response::json(infoReply(1, 2, 0, 0, 0)));
    server.route(DownloadPath, HttpTestServer::Response::bytes(firmwareBytes(4096)).slow(512, 20));
    auto* download = child<QPushButton>(FirmwarePage::GetFirmwareStep, "downloadButton");
    showGetFirmware(DongleVersion(1, 4, 1, 0));
    ASSERT_TRUE(waitUntil([&] { return download->isEnabled(); }));
    QTest::mouseClick(download, Qt::LeftButton);
    server.route(InfoPath, HttpTestServer::Response::json(infoReply(1, 3, 0, 0, 0)));
    showGetFirmware(DongleVersion(2, 5, 0, 0));
    ASSERT_TRUE(waitUntil([&] { return download->isEnabled(); }));
    QTest::mouseClick(download, Qt::LeftButton);
    ASSERT_TRUE(
        waitUntil([&] { return QFileInfo::exists(stored(QStringLiteral("Link_Firmware_2.0.0(0).enc"))); }));
    EXPECT_TRUE(waitUntil([&] { return download->isEnabled(); })); // 3.0.0 may be downloaded now
    EXPECT_FALSE(next->isEnabled());
    EXPECT_TRUE(page->firmwarePath().isEmpty());
}

TEST_F(Wizard, OwnFirmwareIsCopiedIntoTheStoreButNeverSwapped)
{
    server.close();
    QDir().mkpath(OX::DFUGetFirmwareForm::firmwareFolderPath());
    writeFile(QStringLiteral("store.enc"), "stored");
    QFile::copy(dir.filePath(QStringLiteral("store.enc")), stored(QStringLiteral("same.enc")));
    showGetFirmware(DongleVersion());
    auto* status = child<QLabel>(FirmwarePage::GetFirmwareStep, "downloadInfo");
    EXPECT_TRUE(
        waitUntil([&] { return status->text() == QLatin1String("The update service cannot be reached"); }));
    auto* form = static_cast<OX::DFUGetFirmwareForm*>(page->stepForm(FirmwarePage::GetFirmwareStep));
    auto* list = child<QComboBox>(FirmwarePage::GetFirmwareStep, "firmwareComboBox");
    QStringList picked;
    form->setFilePicker([&](QWidget*) { return picked; });
    ASSERT_TRUE(waitUntil([&] { return list->count() == 1; }));

    // Ticked, nothing chosen: no firmware yet.
    auto* box = child<QCheckBox>(3, "customCheckBox");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2)); // on its indicator
    EXPECT_TRUE(list->isEnabled());
    EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_FALSE(next->isEnabled());
    EXPECT_TRUE(page->firmwarePath().isEmpty());

    picked = QStringList { writeFile(QStringLiteral("new.enc"), "new") };
    QTest::mouseClick(child<QPushButton>(3, "browseButton"), Qt::LeftButton);
    EXPECT_EQ(list->currentText(), QStringLiteral("new.enc"));
    EXPECT_EQ(page->firmwarePath(), stored(QStringLiteral("new.enc")));
    EXPECT_TRUE(nextOffers(QStringLiteral("Upload")));

    // The same name with the same contents selects the stored file; other contents are refused.
    picked = QStringList { writeFile(QStringLiteral("same.enc"), "stored") };
    QTest::mouseClick(child<QPushButton>(3, "browseButton"), Qt::LeftButton);
    EXPECT_EQ(list->currentText(), QStringLiteral("same.enc"));
    EXPECT_EQ(list->count(), 2);
    boxes.answer(QStringLiteral("Firmware file"), QStringLiteral("OK"));
    picked = QStringList { writeFile(QStringLiteral("same.enc"), "other") };
    QTest::mouseClick(child<QPushButton>(3, "browseButton"), Qt::LeftButton);
    EXPECT_TRUE(waitUntil([&] { return boxes.seen().count(QStringLiteral("Firmware file")) == 1; }));
    EXPECT_EQ(list->currentText(), QStringLiteral("same.enc"));
    QFile kept(stored(QStringLiteral("same.enc")));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("stored"));
}

TEST_F(Wizard, WithoutAServiceTheStepSaysSoAndTheFileDialogIsOneOfOurs)
{
    API::setServiceBaseUrl(QUrl());
    showGetFirmware(DongleVersion(1, 4, 1, 0));
    auto* status = child<QLabel>(FirmwarePage::GetFirmwareStep, "downloadInfo");
    EXPECT_TRUE(waitUntil([&] { return status->text() == QLatin1String("No update service is set"); }));
    EXPECT_FALSE(child<QPushButton>(3, "downloadButton")->isEnabled());

    // The real file dialog: Qt's own (skinned, in the language in use), over the page's window.
    auto* box = child<QCheckBox>(3, "customCheckBox");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    boxes.answer(QStringLiteral("Open"), QStringLiteral("Cancel"));
    QTest::mouseClick(child<QPushButton>(3, "browseButton"), Qt::LeftButton);
    auto* dialog = page->stepForm(FirmwarePage::GetFirmwareStep)->findChild<QFileDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->parentWidget()->window(), page->window());
    EXPECT_EQ(dialog->windowType(), Qt::Dialog);
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_TRUE(waitUntil([&] { return boxes.seen().contains(QStringLiteral("Open")); }));
    EXPECT_TRUE(page->firmwarePath().isEmpty());
}

TEST_F(Wizard, EmptyOversizedAndPipeFilesAreRefusedBeforeAnythingIsSent)
{
    server.close();
    QDir().mkpath(OX::DFUGetFirmwareForm::firmwareFolderPath());
    QFile(stored(QStringLiteral("empty.enc"))).open(QIODevice::WriteOnly);
    // Names that look like a placeholder or a tag are told as they stand.
    QFile(stored(QStringLiteral("<b>fw.enc"))).open(QIODevice::WriteOnly);
    QFile oversized(stored(QStringLiteral("fw%2.enc")));
    ASSERT_TRUE(oversized.open(QIODevice::WriteOnly) && oversized.resize(OX::FirmwareImage::MaxBytes + 1));
    oversized.close();
    showGetFirmware(DongleVersion());
    auto* form = static_cast<OX::DFUGetFirmwareForm*>(page->stepForm(FirmwarePage::GetFirmwareStep));
    auto* list = child<QComboBox>(FirmwarePage::GetFirmwareStep, "firmwareComboBox");
    ASSERT_TRUE(waitUntil([&] { return list->count() == 3; }));
    auto* box = child<QCheckBox>(3, "customCheckBox");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));

    // Empty or too large files of the store: said beside the list, never chosen.
    list->setCurrentIndex(list->findText(QStringLiteral("empty.enc")));
    EXPECT_EQ(
        child<QLabel>(3, "downloadInfo")->text(), QStringLiteral("empty.enc is empty: it is not firmware."));
    list->setCurrentIndex(list->findText(QStringLiteral("fw%2.enc")));
    EXPECT_EQ(child<QLabel>(3, "downloadInfo")->text(),
        QStringLiteral("fw%2.enc is larger than a LINK can hold (1024 KiB at most)."));
    list->setCurrentIndex(list->findText(QStringLiteral("<b>fw.enc")));
    EXPECT_EQ(shownText(child<QLabel>(3, "downloadInfo")),
        QStringLiteral("<b>fw.enc is empty: it is not firmware."));
    EXPECT_FALSE(next->isEnabled());
    EXPECT_TRUE(page->firmwarePath().isEmpty());

    // Picked with Browse: a box each, nothing copied into the store. The pipe is never opened.
    const QString pipe = dir.filePath(QStringLiteral("pipe.enc"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QFile big(dir.filePath(QStringLiteral("big.enc")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(OX::FirmwareImage::MaxBytes + 1));
    big.close();
    // Also a file of another kind, typed into the dialog (its filter only hides such files).
    const QStringList picked { writeFile(QStringLiteral("<i>nothing.enc"), QByteArray()), pipe,
        big.fileName(), writeFile(QStringLiteral("notes.txt"), firmwareBytes(300)) };
    form->setFilePicker([&](QWidget*) { return picked; });
    for (int i = 0; i < 4; ++i)
        boxes.answer(QStringLiteral("Firmware file"), QStringLiteral("OK"));
    QTest::mouseClick(child<QPushButton>(3, "browseButton"), Qt::LeftButton);
    EXPECT_TRUE(waitUntil([&] { return boxes.seen().count(QStringLiteral("Firmware file")) == 4; }));
    EXPECT_TRUE(boxes.shownTexts().contains(QStringLiteral("<i>nothing.enc is empty: it is not firmware.")))
        << boxes.shownTexts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(QDir(OX::DFUGetFirmwareForm::firmwareFolderPath()).entryList(QDir::Files, QDir::Name),
        (QStringList {
            QStringLiteral("<b>fw.enc"), QStringLiteral("empty.enc"), QStringLiteral("fw%2.enc") }));
    EXPECT_FALSE(next->isEnabled());
    EXPECT_EQ(env.emulator->receivedCount(emu::FrameFilter::of(emu::pid::LCP, 13)), 0);
}

TEST_F(Wizard, AFileThatCannotBeReadIsRefusedBeforeTheLinkRestarts)
{
    // Placed in the store: not readable for a user; root reads any mode, so for root a kernel
    // attribute that can only be written stands in for it.
    ASSERT_TRUE(QDir().mkpath(OX::DFUGetFirmwareForm::firmwareFolderPath()));
    const QString unreadable = stored(QStringLiteral("locked.enc"));
    if (::geteuid() != 0) {
        QFile file(unreadable);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(firmwareBytes(300)) == 300);
        file.close();
        ASSERT_TRUE(file.setPermissions(QFileDevice::WriteOwner));
    } else {
        const QString writeOnly = QStringLiteral("/sys/bus/platform/uevent");
        if (!QFileInfo(writeOnly).isFile() || QFile(writeOnly).open(QIODevice::ReadOnly))
            GTEST_SKIP() << "no file here that root cannot read";
        ASSERT_TRUE(QFile::link(writeOnly, unreadable));
    }
    server.close();
    ASSERT_NO_FATAL_FAILURE(toGetFirmware());
    QComboBox* list = openStoredList();
    ASSERT_TRUE(waitUntil([&] { return list->findText(QStringLiteral("locked.enc")) >= 0; }));
    list->setCurrentIndex(list->findText(QStringLiteral("locked.enc")));
    EXPECT_EQ(child<QLabel>(FirmwarePage::GetFirmwareStep, "downloadInfo")->text(),
        QStringLiteral("locked.enc cannot be read."));
    EXPECT_FALSE(next->isEnabled());
    EXPECT_TRUE(page->firmwarePath().isEmpty());
    EXPECT_EQ(env.emulator->receivedCount(emu::FrameFilter::of(emu::pid::LCP, 13)), 0);
}

TEST_F(Wizard, AnUnansweredBootloaderCommandFailsTheSourceStep)
{
    server.close();
    ASSERT_NO_FATAL_FAILURE(toGetFirmware());
    fastTimeouts();
    env.emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::LCP, 13)));
    page->setFirmwarePath(writeFile(QStringLiteral("own.enc"), "x"));
    page->navigateToNextStep(nullptr);
    EXPECT_TRUE(failsWith(QStringLiteral("Unable to start Link bootloader.")));
}

TEST_F(Wizard, AChosenFileGoneFromTheStoreRestartsNoLink)
{
    server.close();
    ASSERT_TRUE(QDir().mkpath(OX::DFUGetFirmwareForm::firmwareFolderPath()));
    QFile::copy(writeFile(QStringLiteral("gone.enc"), "x"), stored(QStringLiteral("gone.enc")));
    ASSERT_NO_FATAL_FAILURE(toGetFirmware());
    auto* status = child<QLabel>(FirmwarePage::GetFirmwareStep, "downloadInfo");
    ASSERT_TRUE(waitUntil([&] { return status->text() == "The update service cannot be reached"; }));
    QComboBox* list = openStoredList();
    list->setCurrentIndex(list->findText(QStringLiteral("gone.enc")));
    ASSERT_TRUE(nextOffers(QStringLiteral("Upload")));
    QFile::remove(stored(QStringLiteral("gone.enc")));
    clickNext();
    EXPECT_EQ(status->text(), QStringLiteral("gone.enc does not exist."));
    EXPECT_FALSE(next->isEnabled());
    EXPECT_EQ(page->shownForm(), page->stepForm(FirmwarePage::GetFirmwareStep));
    EXPECT_EQ(env.emulator->receivedCount(emu::FrameFilter::of(emu::pid::LCP, 13)), 0);
}

TEST_F(Wizard, UploadSendsTheFirmwareChosenWhenItWasPressed)
{
    const QByteArray own = firmwareBytes(1500);
    server.route(InfoPath, HttpTestServer::Response::json(infoReply(1, 2, 0, 0, 0)));
    server.route(DownloadPath, HttpTestServer::Response::bytes(firmwareBytes(4096)).slow(512, 20));
    ASSERT_TRUE(QDir().mkpath(OX::DFUGetFirmwareForm::firmwareFolderPath()));
    QFile::copy(writeFile(QStringLiteral("own.enc"), own), stored(QStringLiteral("own.enc")));
    ASSERT_NO_FATAL_FAILURE(toGetFirmware());
    auto* download = child<QPushButton>(FirmwarePage::GetFirmwareStep, "downloadButton");
    ASSERT_TRUE(waitUntil([&] { return download->isEnabled(); }));
    QComboBox* list = openStoredList();
    list->setCurrentIndex(list->findText(QStringLiteral("own.enc")));
    ASSERT_TRUE(nextOffers(QStringLiteral("Upload")));
    // Upload pressed while a download runs that ends before the LINK is in its bootloader.
    QTest::mouseClick(download, Qt::LeftButton);
    const int silent
        = env.emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::LCP, 13)));
    clickNext();
    ASSERT_TRUE(
        waitUntil([&] { return QFileInfo::exists(stored(QStringLiteral("Link_Firmware_2.0.0(0).enc"))); }));
    testutil::spin(20);
    EXPECT_FALSE(next->isEnabled());
    env.emulator->removeFault(silent);
    ASSERT_TRUE(shows(FirmwarePage::UploadStep));
    ASSERT_TRUE(nextOffers(QStringLiteral("Finish")));
    EXPECT_EQ(page->firmwarePath(), stored(QStringLiteral("own.enc")));
    EXPECT_EQ(env.emulator->receivedImage(), own + QByteArray(2048 - 1500, char(0xFF)));
}

TEST_F(Wizard, TheListShowsTheFirmwareThatUploadSends)
{
    server.route(InfoPath, HttpTestServer::Response::json(infoReply(1, 2, 0, 0, 0)));
    server.route(DownloadPath, HttpTestServer::Response::bytes(firmwareBytes(4096)).slow(512, 20));
    ASSERT_TRUE(QDir().mkpath(OX::DFUGetFirmwareForm::firmwareFolderPath()));
    QFile::copy(writeFile(QStringLiteral("own.enc"), "own"), stored(QStringLiteral("own.enc")));
    const QString downloaded = QStringLiteral("Link_Firmware_2.0.0(0).enc");
    auto* download = child<QPushButton>(FirmwarePage::GetFirmwareStep, "downloadButton");
    auto* status = child<QLabel>(FirmwarePage::GetFirmwareStep, "downloadInfo");
    for (bool chooseFirst : { false, true }) {
        showGetFirmware(DongleVersion(1, 4, 1, 0));
        ASSERT_TRUE(waitUntil([&] { return download->isEnabled(); }));
        QComboBox* list = openStoredList();
        if (chooseFirst) // chosen, then Download: the download is the later word
            list->setCurrentIndex(list->findText(QStringLiteral("own.enc")));
        QTest::mouseClick(download, Qt::LeftButton);
        if (!chooseFirst) // Download, then a stored file chosen while it runs
            list->setCurrentIndex(list->findText(QStringLiteral("own.enc")));
        ASSERT_TRUE(waitUntil([&] { return status->text().startsWith(QStringLiteral("New firmware")); }));
        const QString sent = chooseFirst ? downloaded : QStringLiteral("own.enc");
        EXPECT_EQ(page->firmwarePath(), stored(sent));
        EXPECT_EQ(list->currentText(), sent);
        EXPECT_GE(list->findText(downloaded), 0);
        EXPECT_TRUE(nextOffers(QStringLiteral("Upload")));
    }
}

// A transfer that ended after the LINK took blocks says the LINK no longer starts.
const QString HalfWrittenFailure
    = QStringLiteral("Link firmware upload failed. The LINK was left half-written "
                     "and does not start its firmware: update it again in recovery mode.");

TEST_F(Wizard, UploadFailures)
{
    struct Case {
        const char* name;
        std::function<void(emu::CabledLinkModel&)> link;
        QString file;
        QString message;
    } const cases[] = {
        { "missing file", [](emu::CabledLinkModel&) {}, QStringLiteral("/nonexistent/firmware.enc"),
            QStringLiteral("firmware.enc does not exist.") },
        // Emptied in the store since it was chosen: refused before its first block, and named as
        // it is called.
        { "empty file", [](emu::CabledLinkModel&) {}, writeFile(QStringLiteral("<b>empty.enc"), QByteArray()),
            QStringLiteral("<b>empty.enc is empty: it is not firmware.") },
        { "eleven NAKs", [](emu::CabledLinkModel& m) { m.nakBlock[1] = 11; }, QString(), HalfWrittenFailure },
        { "CAN", [](emu::CabledLinkModel& m) { m.answerBlockWith[1] = 0x18; }, QString(),
            HalfWrittenFailure },
    };
    const QString file = writeFile(QStringLiteral("fw.enc"), firmwareBytes(1025));
    for (const Case& c : cases) {
        env.emulator->updateCabledLink(c.link);
        ASSERT_NO_FATAL_FAILURE(prepareLink());
        showUpload(c.file.isEmpty() ? file : c.file);
        EXPECT_TRUE(failsWith(c.message)) << c.name;
        EXPECT_TRUE(waitUntil([&] { return !env.dongle->xmodem(); })) << c.name;
        env.emulator->updateCabledLink([](emu::CabledLinkModel& m) { m = emu::CabledLinkModel(); });
        env.emulator->leavePassthrough();
    }
    upload()->onUploadProgress(37, 130);
    EXPECT_EQ(child<QProgressBar>(FirmwarePage::UploadStep, "progressBar")->value(), 37);
    EXPECT_EQ(child<QLabel>(4, "estimationInfo")->text(), QStringLiteral("less than 3 minutes"));
}

TEST_F(Wizard, ASilentBootloaderTimesOutAndTheDongleGetsItsLineBack)
{
    ASSERT_NO_FATAL_FAILURE(prepareLink(true)); // still in its firmware: no ready byte
    upload()->setBootloaderWaitMs(100);
    showUpload(writeFile(QStringLiteral("fw.enc"), "x"));
    EXPECT_TRUE(
        failsWith(QStringLiteral("Link firmware upload failed, waiting for start bootloader timed out.")));
    EXPECT_EQ(env.dongle->xmodem(), nullptr);
    Link link(*env.dongle, 0, 0);
    int code = -1;
    link.queryVersion([&](DongleVersion*, DongleResult r) { code = r.code; });
    EXPECT_TRUE(waitUntil([&] { return code != -1; }));
    EXPECT_EQ(code, 0);
}

TEST_F(Wizard, LeavingTheUploadEndsTheWaitQuietly)
{
    ASSERT_NO_FATAL_FAILURE(prepareLink(true));
    upload()->setBootloaderWaitMs(100);
    showUpload(writeFile(QStringLiteral("fw.enc"), "x"));
    ASSERT_TRUE(waitUntil([&] { return upload()->isWaitingForBootloader(); }));
    page->pageWillDisappear(QStringLiteral("Menu"), [] {});
    EXPECT_FALSE(upload()->isWaitingForBootloader());
    EXPECT_EQ(env.dongle->xmodem(), nullptr);
    testutil::spin(200);
    EXPECT_EQ(page->shownForm(), upload());
}

TEST_F(Wizard, ATransferLeftBehindIsToldOverThePageShownThen)
{
    ASSERT_NO_FATAL_FAILURE(startSlowUpload());
    boxes.answer(QStringLiteral("Firmware update succeeded"), QStringLiteral("OK"));
    page->endVisit(); // as the window leaves a page
    page->pageWillDisappear(QStringLiteral("Menu"), [] {});
    EXPECT_TRUE(waitUntil([&] { return env.emulator->uploadsCompleted() == 1; }));
    EXPECT_TRUE(waitUntil([&] { return !env.dongle->xmodem(); }));
    EXPECT_TRUE(waitUntil([&] { return boxes.seen() == QStringList { "Firmware update succeeded" }; }));
    EXPECT_EQ(page->shownForm(), upload());
    EXPECT_FALSE(next->isEnabled());

    // Visited again, a step fails and the dongle is removed as the box said: the LINK took the
    // whole image, nothing claims it half-written.
    ASSERT_NO_FATAL_FAILURE(failWelcomeOnTheNextVisitThenUnplug());
}

// An upload that ends well while Help covers the page offers Finish there; left from Help, the
// wizard never reaches the succeeded step, whose instructions end firmware update mode: they are
// told over the page shown then.
TEST_F(Wizard, AnUploadThatEndedWellUnderHelpTellsHowToLeaveUpdateModeOnLeaving)
{
    ASSERT_NO_FATAL_FAILURE(startSlowUpload());
    page->setCovered(true); // as the controller brings Help over the page
    page->hide();
    ASSERT_TRUE(nextOffers(QStringLiteral("Finish")));
    EXPECT_EQ(env.emulator->uploadsCompleted(), 1);
    boxes.answer(QStringLiteral("Firmware update succeeded"), QStringLiteral("OK"));
    page->endVisit();
    page->pageWillDisappear(QStringLiteral("Menu"), [] {});
    ASSERT_TRUE(waitUntil([&] { return !boxes.seen().isEmpty(); }));
    EXPECT_EQ(boxes.seen(), QStringList { "Firmware update succeeded" });
    EXPECT_EQ(boxes.shownTexts().join("|").toStdString(),
        "Remove the dongle, than disconnect the cable of the Link from the dongle.\n"
        "Re-connect the Dongle to the computer to leave firmware update mode.");
    EXPECT_TRUE(env.emulator->dongle().passthrough); // until the dongle is plugged in again
}

// Left with Finish offered, the person never reaches the succeeded step that says how to leave
// firmware update mode: that is told once over the page shown then. Left from that step, it was
// seen.
TEST_F(Wizard, AnUploadThatEndedWellTellsHowToLeaveUpdateModeUnlessItsStepWasShown)
{
    const QString file = writeFile(QStringLiteral("fw.enc"), firmwareBytes(1025));
    for (bool finished : { false, true }) {
        ASSERT_NO_FATAL_FAILURE(toGetFirmware());
        page->setFirmwarePath(file);
        page->navigateToNextStep(nullptr);
        ASSERT_TRUE(shows(FirmwarePage::UploadStep));
        ASSERT_TRUE(nextOffers(QStringLiteral("Finish")));
        if (finished) {
            clickNext();
            ASSERT_TRUE(shows(FirmwarePage::SucceededStep));
        } else {
            boxes.answer(QStringLiteral("Firmware update succeeded"), QStringLiteral("OK"));
        }
        page->endVisit();
        page->pageWillDisappear(QStringLiteral("Menu"), [] {});
        if (!finished)
            ASSERT_TRUE(waitUntil([&] { return !boxes.seen().isEmpty(); }));
        testutil::spin(100); // nothing more opens
        EXPECT_EQ(boxes.seen().join(", ").toStdString(), "Firmware update succeeded") << finished;
        EXPECT_TRUE(boxes.shownTexts().join("|").endsWith("to leave firmware update mode.")) << finished;
        page->beginVisit();
        page->pageWillAppear(QStringLiteral("Menu"));
        page->pageDidAppear();
    }
}

TEST_F(Wizard, OnlyAnUploadOfThisVisitIsToldAsCutByTheDongle)
{
    env.emulator->updateCabledLink([](emu::CabledLinkModel& m) { m.silentBlock[1] = -1; });
    ASSERT_NO_FATAL_FAILURE(prepareLink());
    showUpload(writeFile(QStringLiteral("fw.enc"), firmwareBytes(1025)));
    ASSERT_TRUE(upload()->sender());
    upload()->sender()->setTimeoutsForTest(
        { testutil::scaled(20), testutil::scaled(20), testutil::scaled(XModem::KEEP_ALIVE_TIME) });
    ASSERT_TRUE(waitUntil([&] { return upload()->sender() && upload()->sender()->isBusy(); }));
    fake.dongle = nullptr; // lost while the LINK takes the image
    page->updateWithDongle(nullptr, DongleChangeMask::all);
    EXPECT_TRUE(failsWith(QStringLiteral("The dongle was lost during the upload. The LINK was left "
                                         "half-written and does not start its firmware: connect the dongle "
                                         "and the LINK again, then update it in recovery mode.")));
    fake.dongle = env.dongle.get(); // plugged in again; the transfer it took along fails
    ASSERT_TRUE(waitUntil([&] { return !env.dongle->xmodem(); }));

    // Visited again, an earlier step fails and the dongle is removed as the failed form says: no
    // upload ran in this visit, so none was cut.
    page->endVisit();
    page->pageWillDisappear(QStringLiteral("Menu"), [] {});
    ASSERT_NO_FATAL_FAILURE(failWelcomeOnTheNextVisitThenUnplug());
}

TEST_F(Wizard, AnUploadEndingWithoutTheDongleIsAFailure)
{
    ASSERT_NO_FATAL_FAILURE(startSlowUpload());
    fake.dongle = nullptr; // the window has lost the dongle while the LINK took the image
    EXPECT_TRUE(failsWith(QStringLiteral("Dongle not connected or lost.")));
    EXPECT_FALSE(next->isEnabled());
}

TEST_F(Wizard, UnpluggedMidUploadEndsInFailure)
{
    env.emulator->updateCabledLink([](emu::CabledLinkModel& m) { m.silentBlock[1] = -1; });
    ASSERT_NO_FATAL_FAILURE(prepareLink());
    showUpload(writeFile(QStringLiteral("fw.enc"), firmwareBytes(1025)));
    ASSERT_TRUE(waitUntil([&] { return upload()->sender() && upload()->sender()->isBusy(); }));
    // The line goes under the transfer (the page hearing the director drop the dongle is
    // shown over the director, with the other pages that outlive their dongle).
    env.emulator->unplug();
    EXPECT_TRUE(failsWith(HalfWrittenFailure));
}

TEST_F(Wizard, WithoutASenderOrADongleTheUploadStops)
{
    env.port.reset(); // the dongle has no line to hand over
    showUpload(writeFile(QStringLiteral("fw.enc"), "x"));
    EXPECT_TRUE(failsWith(QStringLiteral("Dongle error, could not start Xmodem.")));
    fake.dongle = nullptr;
    page->showPage(page->stepForm(FirmwarePage::RecoveryStep), {});
    EXPECT_TRUE(failsWith(QStringLiteral("Dongle not connected or lost.")));
}

} // namespace

TEST_F(Wizard, AStepBuiltBeforeALanguageSwitchSpeaksTheNewLanguageAndKeepsWhatItWasTold)
{
    // The wizard's steps are built once with the page; a later switch reaches them all, shown
    // or not, and a message a step was given stays.
    OX::DFUFailedForm* failed = page->failedForm();
    failed->setMessage(QStringLiteral("The LINK stopped answering."));
    auto* title = failed->findChild<QLabel*>(QStringLiteral("userInfo"));
    ASSERT_TRUE(title);
    ASSERT_EQ(title->text(), QStringLiteral("Firmware update failed"));
    QTranslator french;
    ASSERT_TRUE(french.load(QStringLiteral(":/languages/fr")));
    QCoreApplication::installTranslator(&french);
    EXPECT_TRUE(waitUntil(
        [&] { return title->text() == QStringLiteral("La mise à jour du micrologiciel a échoué"); }));
    EXPECT_EQ(failed->message(), QStringLiteral("The LINK stopped answering."));
    QCoreApplication::removeTranslator(&french);
    EXPECT_TRUE(waitUntil([&] { return title->text() == QStringLiteral("Firmware update failed"); }));
}
