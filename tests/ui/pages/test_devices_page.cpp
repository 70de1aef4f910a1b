// The devices page over the emulator: reordering by arrows and drag, switching entries, the
// working copy sent by "Apply", headset updates during edits and the question before leaving.
#include "common/PageRig.h"
#include "ui/pages/DevicesPage.h"
#include "ui/toolkit/IconButton.h"

#include <QApplication>
#include <QListWidget>
#include <QTranslator>
#include <QtTest>
#include <gtest/gtest.h>

#include "common/gui_util.h"

using testutil::waitUntil;

namespace
{

emu::HeadsetModel headsetWith(emu::ChannelMapEntries map)
{
    emu::HeadsetModel model;
    model.channelMap = std::move(map);
    return model;
}

const emu::ChannelMapEntries ThreeDevices = { { 5, 0x81, 0x18 }, { 1, 0x82, 0x3B }, { 7, 0x01, 0x4B } };

class DevicesPageTest : public ::testing::Test
{
protected:
    void open(emu::ChannelMapEntries map)
    {
        rig.viaDirector = true; // the dongle goes as the director sees it go
        ASSERT_TRUE(rig.start(headsetWith(std::move(map))));
        page = new OX::DevicesPage(&rig.container);
        rig.registerPage(page, QStringLiteral("Devices"), {}, QSize(700, 540));
        ASSERT_TRUE(rig.show(QStringLiteral("Devices")));
    }
    void TearDown() override { rig.close(HasFailure()); }

    // The list's rows and the working copy, each as the addresses in order.
    QList<int> rows() const
    {
        QList<int> out;
        for (int i = 0; i < page->listWidget()->count(); ++i)
            out << page->listWidget()->item(i)->text().section(' ', 2).section('/', 0, 0).toInt();
        return out;
    }
    QList<int> copy() const
    {
        QList<int> out;
        for (OrvixDevice const& d : page->workingCopy().devices)
            out << d.address;
        return out;
    }
    bool applyShown() const { return rig.container.footer.right.action == OX::PageAction::apply; }

    pagetest::PageRig rig;
    OX::DevicesPage* page = nullptr;
};

TEST_F(DevicesPageTest, DraggingTheFirstRowMovesItInListAndCopy)
{
    ASSERT_NO_FATAL_FAILURE(open(ThreeDevices));
    EXPECT_EQ(rows(), (QList<int> { 5, 1, 7 }));
    EXPECT_EQ(page->listWidget()->item(0)->text(), QStringLiteral("LINK at 5/1"));
    EXPECT_EQ(page->listWidget()->item(2)->checkState(), Qt::Unchecked);
    const struct {
        int row;
        QList<int> order;
    } cases[] = { { 3, { 1, 7, 5 } }, { 2, { 1, 5, 7 } } };
    for (const auto& c : cases) {
        page->updateWithHeadset(rig.headset(), HeadsetChangeMask::channelMap); // back to the headset's order
        ASSERT_EQ(rows(), (QList<int> { 5, 1, 7 }));
        // What an internal drag does to the list's model.
        ASSERT_TRUE(page->listWidget()->model()->moveRow(QModelIndex(), 0, QModelIndex(), c.row));
        EXPECT_EQ(rows(), c.order) << c.row;
        EXPECT_EQ(copy(), c.order) << c.row;
        EXPECT_TRUE(applyShown());
    }
}

TEST_F(DevicesPageTest, AfterADragTheArrowsFollowTheCurrentRow)
{
    ASSERT_NO_FATAL_FAILURE(open(ThreeDevices));
    ASSERT_EQ(page->listWidget()->currentRow(), 0);
    ASSERT_TRUE(page->listWidget()->model()->moveRow(QModelIndex(), 0, QModelIndex(), 3));
    ASSERT_EQ(page->listWidget()->currentRow(), 2);
    EXPECT_TRUE(page->upButton()->isEnabled());
    EXPECT_FALSE(page->downButton()->isEnabled());
}

TEST_F(DevicesPageTest, EditsUndoneHideApplyAndOneEntryHasNoArrows)
{
    ASSERT_NO_FATAL_FAILURE(open(ThreeDevices));
    EXPECT_FALSE(page->upButton()->isEnabled());
    EXPECT_TRUE(page->downButton()->isEnabled());
    QListWidgetItem* first = page->listWidget()->item(0);
    first->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(page->workingCopy().at(0).isEnabled());
    EXPECT_EQ(page->workingCopy().at(0).portNumber(), 1);
    EXPECT_TRUE(applyShown());
    first->setCheckState(Qt::Checked);
    EXPECT_FALSE(applyShown());

    QTest::mouseClick(page->downButton(), Qt::LeftButton);
    EXPECT_EQ(rows(), (QList<int> { 1, 5, 7 }));
    EXPECT_EQ(page->listWidget()->currentRow(), 1);
    EXPECT_TRUE(applyShown());
    QTest::mouseClick(page->upButton(), Qt::LeftButton);
    EXPECT_EQ(copy(), (QList<int> { 5, 1, 7 }));
    EXPECT_FALSE(applyShown());
    EXPECT_FALSE(page->upButton()->isEnabled());

    page->listWidget()->setCurrentRow(-1); // nothing current: nothing to move
    EXPECT_FALSE(page->upButton()->isEnabled());
    EXPECT_FALSE(page->downButton()->isEnabled());

    ChannelMap one;
    one.devices << OrvixDevice(4, 0x81, 0x3B);
    bool stored = false;
    rig.headset()->setChannelMap(one, [&](DongleResult r) { stored = r.code == 0; });
    ASSERT_TRUE(waitUntil([&] { return stored; }));
    EXPECT_EQ(page->listWidget()->currentRow(), 0);
    EXPECT_FALSE(page->upButton()->isEnabled());
    EXPECT_FALSE(page->downButton()->isEnabled());
}

TEST_F(DevicesPageTest, ApplySendsTheWorkingCopyAndHidesOnceStored)
{
    ASSERT_NO_FATAL_FAILURE(open({ { 5, 0x81, 0x18 }, { 1, 0x82, 0x3B } }));
    // A refusal, or a headset silent through every attempt, is told once and the rows show the
    // order the headset holds.
    const struct {
        const char* name;
        std::function<void(emu::HeadsetModel&)> fail;
        const char* text;
    } failures[] = {
        { "error record", [](emu::HeadsetModel& h) { h.channelMapWriteError = 3; },
            "The headset refused the new device order. It keeps the order shown." },
        { "silent", [](emu::HeadsetModel& h) { h.ignoreChannelMapWrite = true; },
            "The headset did not answer. The order shown is the last one it confirmed." },
    };
    for (auto const& c : failures) {
        testutil::BoxAnswerer answers;
        answers.answer(QString::fromUtf8(c.text), QStringLiteral("OK"));
        rig.emulator().updateHeadset(c.fail);
        QTest::mouseClick(page->downButton(), Qt::LeftButton);
        ASSERT_TRUE(applyShown()) << c.name;
        rig.container.clickRight();
        EXPECT_TRUE(rig.container.busy) << c.name;
        ASSERT_TRUE(waitUntil([&] { return answers.seen().size() == 1; })) << c.name;
        EXPECT_TRUE(answers.unexpected().isEmpty()) << c.name;
        EXPECT_EQ(rows(), (QList<int> { 5, 1 })) << c.name;
        EXPECT_EQ(page->workingCopy(), rig.headset()->channelMap()) << c.name;
        EXPECT_FALSE(applyShown()) << c.name;
        EXPECT_FALSE(rig.container.busy) << c.name;
        ASSERT_TRUE(rig.emulator().waitForQuiet(100, 2000));
        rig.emulator().updateHeadset([](emu::HeadsetModel& h) {
            h.channelMapWriteError = 0;
            h.ignoreChannelMapWrite = false;
            h.channelMapAckByte = 0x5A; // names the command acknowledged, not a verdict
        });
    }

    QTest::mouseClick(page->downButton(), Qt::LeftButton);
    const int since = rig.emulator().mark();
    rig.container.clickRight();
    auto sent
        = rig.emulator().waitForFrame(emu::FrameFilter::of(emu::pid::CMAP), testutil::scaled(2000), since);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->frame.payload.left(7), QByteArray::fromHex("0201823b058118"));
    ASSERT_TRUE(waitUntil([&] { return !applyShown(); }));
    EXPECT_EQ(rig.emulator().headset().channelMap,
        (emu::ChannelMapEntries { { 1, 0x82, 0x3B }, { 5, 0x81, 0x18 } }));
    EXPECT_EQ(rig.headset()->channelMap(), page->workingCopy());
}

TEST_F(DevicesPageTest, WhileAnApplyIsOutTheRowsTakeNoEditsTheAnswerWouldDrop)
{
    ASSERT_NO_FATAL_FAILURE(open(ThreeDevices));
    rig.emulator().updateHeadset([](emu::HeadsetModel& h) { h.replyDelayMs = 150; });
    QTest::mouseClick(page->downButton(), Qt::LeftButton);
    rig.container.clickRight();
    QTest::mouseClick(page->downButton(), Qt::LeftButton);
    EXPECT_EQ(copy(), (QList<int> { 1, 5, 7 }));
    ASSERT_TRUE(waitUntil([&] { return !applyShown() && !rig.container.busy; }));
    EXPECT_EQ(rows(), (QList<int> { 1, 5, 7 }));
    EXPECT_EQ(rig.headset()->channelMap(), page->workingCopy());
    EXPECT_TRUE(page->downButton()->isEnabled()); // editable again
    EXPECT_TRUE(page->listWidget()->isEnabled());
}

TEST_F(DevicesPageTest, AHeadsetMapDuringEditsReplacesRowsAndCopy)
{
    ASSERT_NO_FATAL_FAILURE(open({ { 1, 0x81, 0x18 }, { 2, 0x01, 0x3B }, { 3, 0x81, 0x4B }, { 4, 0x01, 0x5A },
        { 5, 0x81, 0x18 }, { 6, 0x01, 0x3B }, { 7, 0x81, 0x4B }, { 8, 0x01, 0x88 } }));
    EXPECT_EQ(page->listWidget()->item(3)->text(), QStringLiteral("DEVICE at 4/1"));
    page->listWidget()->item(7)->setCheckState(Qt::Checked);
    page->listWidget()->setCurrentRow(6);
    ASSERT_TRUE(applyShown());
    ChannelMap shorter;
    shorter.devices << OrvixDevice(9, 0x02, 0x3B);
    bool stored = false;
    rig.headset()->setChannelMap(shorter, [&](DongleResult r) { stored = r.code == 0; });
    ASSERT_TRUE(waitUntil([&] { return stored; }));
    EXPECT_EQ(rows(), QList<int> { 9 });
    EXPECT_EQ(page->workingCopy(), shorter);
    EXPECT_EQ(page->listWidget()->item(0)->checkState(), Qt::Unchecked);
    EXPECT_FALSE(applyShown());
    page->listWidget()->item(0)->setCheckState(Qt::Checked);
    EXPECT_TRUE(page->workingCopy().at(0).isEnabled());
}

TEST_F(DevicesPageTest, BackWithEditsAsksAndStayKeepsThem)
{
    ASSERT_NO_FATAL_FAILURE(open(ThreeDevices));
    page->listWidget()->item(2)->setCheckState(Qt::Checked);
    testutil::BoxAnswerer answers;
    const QString question
        = QStringLiteral("You have change in your device order. Do you want to apply changes?");
    answers.answer(question, QStringLiteral("Stay on page"));
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return answers.seen().size() == 1 && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(rig.container.controller.currentPageName(), QStringLiteral("Devices"));
    EXPECT_TRUE(page->workingCopy().at(2).isEnabled());

    answers.answer(question, QStringLiteral("Dismiss and leave page"));
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }));
    EXPECT_EQ(answers.seen().size(), 2);
    EXPECT_TRUE(answers.unexpected().isEmpty());
    EXPECT_EQ(rig.emulator().headset().channelMap, ThreeDevices); // nothing applied
}

TEST_F(DevicesPageTest, LosingTheHeadsetDisablesThePageUntilItIsBack)
{
    ASSERT_NO_FATAL_FAILURE(
        open({ { 5, 0x81, 0x18 }, { 1, 0x82, 0x3B }, { 7, 0x01, 0x4B }, { 3, 0x81, 0x88 } }));
    page->listWidget()->item(1)->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(applyShown());
    page->resize(673, 513);
    testutil::saveScreenshot(page, QStringLiteral("devices-page-four-entries"));
    EXPECT_EQ(page->missingDeviceText(), QString());
    ASSERT_TRUE(rig.unplug());
    EXPECT_FALSE(page->isEnabled());
    EXPECT_EQ(page->missingDeviceText(), QStringLiteral("Dongle not connected")) << "says why it is grey";
    EXPECT_FALSE(applyShown());
    EXPECT_EQ(page->listWidget()->count(), 4); // the last rows stay
    EXPECT_TRUE(page->pageShouldDisappear());

    QTranslator french;
    ASSERT_TRUE(french.load(QStringLiteral(":/languages/fr")));
    QCoreApplication::installTranslator(&french);
    page->retranslate();
    QCoreApplication::removeTranslator(&french);
    EXPECT_EQ(rig.container.header.title, QStringLiteral("Appareils"));
    EXPECT_EQ(rig.container.footer.left.text, QStringLiteral("Retour"));
    EXPECT_EQ(page->missingDeviceText(), QStringLiteral("Dongle non connecté"));

    // With the dongle back, the headset's list again: enabled, nothing to apply.
    ASSERT_TRUE(rig.replug());
    EXPECT_TRUE(waitUntil([&] { return page->isEnabled(); }));
    EXPECT_EQ(rows(), QList<int>({ 5, 1, 7, 3 }));
    EXPECT_FALSE(applyShown());
    EXPECT_EQ(page->missingDeviceText(), QString());
}

} // namespace

// An apply the person walked away from (another page opened over the menu) is still told once,
// by the director over whatever is shown then, and never by a box of the page that left.
TEST_F(DevicesPageTest, AFailureAfterLeavingIsToldOnceByTheDirector)
{
    ASSERT_NO_FATAL_FAILURE(open({ { 5, 0x81, 0x18 }, { 1, 0x82, 0x3B } }));
    rig.emulator().updateHeadset([](emu::HeadsetModel& h) {
        h.channelMapWriteError = 3;
        h.replyDelayMs = 300;
    });
    testutil::BoxAnswerer boxes;
    QTest::mouseClick(page->downButton(), Qt::LeftButton);
    rig.container.clickRight();
    ASSERT_TRUE(rig.container.controller.showPage(QStringLiteral("Menu"), 1, 0, true));
    auto const& told = rig.app->h.messages;
    ASSERT_TRUE(waitUntil([&] { return !told.isEmpty(); }, 3000));
    EXPECT_EQ(told.at(0).title + ": " + told.at(0).text,
        QStringLiteral("Devices: The headset refused the new device order. It keeps the order shown."));
    ASSERT_TRUE(rig.emulator().waitForQuiet(100, 2000));
    EXPECT_EQ(told.size(), 1);
    EXPECT_TRUE(boxes.seen().isEmpty());
}
