// The general and drive forms show the record without writing it and write exactly the field a
// person changes; the reset dialog offers the three built-in profiles only.
#include "ui/link/LinkDriveSettingForm.h"
#include "ui/link/LinkGeneralForm.h"
#include "ui/link/LinkProfilesDialog.h"

#include "common/qt_wait.h"
#include "device/LinkProfile.h"
#include "link_forms_util.h"
#include "ui/toolkit/Slider.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

using linktest::Changes;
using linktest::child;

// A click on the plus button of an OX::Slider: one step, reported.
void clickPlus(QWidget* slider)
{
    QTest::mouseClick(child<QWidget>(slider, "increase_button"), Qt::LeftButton);
}

// One step away with the slider's buttons and one back to where it was.
void stepAwayAndBack(QAbstractSlider* slider)
{
    char const* away = slider->value() < slider->maximum() ? "increase_button" : "decrease_button";
    char const* back = slider->value() < slider->maximum() ? "decrease_button" : "increase_button";
    QTest::mouseClick(child<QWidget>(slider, away), Qt::LeftButton);
    QTest::mouseClick(child<QWidget>(slider, back), Qt::LeftButton);
}

// A click on a check box's indicator (its centre may lie beyond the text).
void clickBox(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(box->height() / 2, box->height() / 2));
}

} // namespace

TEST(LinkGeneralForm, ShowsTheBuiltInRecordAndWritesOnlyWhatThePersonChanges)
{
    LPP lpp = LinkProfile::Normal.parameters;
    lpp.tremorFilter = 49 * 655; // shows 49 %
    OX::LinkGeneralForm form(lpp);
    form.resize(640, 520);
    form.show();
    Changes changed(&form);
    LPP const before = lpp;
    form.updateUi(LPP::ChangeMask::all);
    form.updateUi(LPP::ChangeMask::all);
    EXPECT_TRUE(lpp.isEqual(before));
    EXPECT_EQ(changed.masks.size(), 0);

    auto* timer = child<QPushButton>(&form, "scModeTimerButton");
    auto* seconds = child<QSpinBox>(&form, "stTimerDelay");
    auto* enable = child<QCheckBox>(&form, "fthsEnableCheckBox");
    auto* longPress = child<QCheckBox>(&form, "fthsLongPressCheckBox");
    auto* pressSlider = child<QSlider>(&form, "fthsLongPressSlider");
    auto* tremor = child<QAbstractSlider>(&form, "tfSlider");
    EXPECT_TRUE(timer->isChecked());
    EXPECT_EQ(seconds->text(), QStringLiteral("3"));
    EXPECT_TRUE(seconds->isEnabled());
    EXPECT_EQ(tremor->value(), 49);
    EXPECT_TRUE(enable->isChecked());
    EXPECT_FALSE(longPress->isChecked());
    EXPECT_FALSE(pressSlider->isEnabled());
    EXPECT_EQ(child<QLabel>(&form, "fthsLongPressDelay")->text(), QStringLiteral("0"));
    linktest::saveOnPage(&form, "link-general-form");

    QTest::mouseClick(timer, Qt::LeftButton);
    EXPECT_EQ(lpp.centerDelay, 5);
    EXPECT_EQ(seconds->text(), QStringLiteral("5"));
    // 0 is automatic centring on the LINK, shown at once; the edit stays open for typing.
    seconds->setValue(0);
    EXPECT_EQ(lpp.centerDelay, 0);
    EXPECT_TRUE(child<QPushButton>(&form, "scModeAutomaticButton")->isChecked());
    EXPECT_TRUE(seconds->isEnabled());
    seconds->setValue(8);
    EXPECT_TRUE(timer->isChecked());
    seconds->setValue(0);
    form.updateUi(LPP::ChangeMask::centerDelay);
    EXPECT_TRUE(child<QPushButton>(&form, "scModeAutomaticButton")->isChecked());
    EXPECT_FALSE(seconds->isEnabled());
    // A minute and more, as far as the LINK goes, is shown as it is and can be set.
    lpp.centerDelay = 90;
    form.updateUi(LPP::ChangeMask::centerDelay);
    EXPECT_TRUE(timer->isChecked());
    EXPECT_EQ(seconds->text(), QStringLiteral("90"));
    seconds->setValue(255);
    EXPECT_EQ(lpp.centerDelay, 255);

    clickBox(enable);
    EXPECT_EQ(lpp.fifthSwitchDelay, 6);
    EXPECT_FALSE(longPress->isEnabled());
    clickBox(enable);
    EXPECT_EQ(lpp.fifthSwitchDelay, 0);
    clickBox(longPress);
    EXPECT_EQ(lpp.fifthSwitchDelay, 1);
    pressSlider->setValue(4);
    EXPECT_EQ(lpp.fifthSwitchDelay, 4);
    EXPECT_EQ(child<QLabel>(&form, "fthsLongPressDelay")->text(), QStringLiteral("4"));
    // A tick below every second, 1 to 5, in the skin's colour, under the style sheet.
    const QImage shot = pressSlider->grab().toImage();
    const QColor tick = OX::Skin::color("placeholderWidgetColor");
    int ticks = 0;
    for (int x = 0; x < shot.width(); ++x) {
        int rows = 0;
        for (int y = shot.height() / 2; y < shot.height(); ++y)
            rows += shot.pixelColor(x, y) == tick ? 1 : 0;
        ticks += rows >= 3 ? 1 : 0;
    }
    EXPECT_EQ(ticks, 5);

    clickPlus(tremor);
    EXPECT_EQ(lpp.tremorFilter, 32750);
    EXPECT_EQ(changed.masks,
        (QList<quint32> { 0x400000, 0x400000, 0x400000, 0x400000, 0x400000, 0x800000, 0x800000, 0x800000,
            0x800000, 0x800 }));
}

TEST(LinkGeneralForm, TremorOfTheBuiltInRecordRoundsHalfUp)
{
    LPP lpp = LinkProfile::Normal.parameters; // 76.5 %
    OX::LinkGeneralForm form(lpp);
    form.updateUi(LPP::ChangeMask::all);
    auto* tremor = child<QWidget>(&form, "tfSlider");
    EXPECT_EQ(qobject_cast<QAbstractSlider*>(tremor)->value(), 77);
    // Its handle let go where it was leaves the record as it is.
    form.show();
    Changes changed(&form);
    testutil::releaseHandle(tremor->findChild<QSlider*>());
    EXPECT_EQ(lpp, LinkProfile::Normal.parameters);
    EXPECT_TRUE(changed.masks.isEmpty());
    // Moved away and back, it means the LINK's 76.3 % again, not the 77 % it shows.
    stepAwayAndBack(qobject_cast<QAbstractSlider*>(tremor));
    EXPECT_EQ(lpp.tremorFilter, LinkProfile::Normal.parameters.tremorFilter);
    EXPECT_EQ(changed.masks, (QList<quint32> { 0x800, 0x800 }));
}

TEST(LinkGeneralForm, TremorSetBackTo100IsTheLimitNotTheLinksRecordBeyondIt)
{
    LPP lpp = LinkProfile::Normal.parameters;
    lpp.tremorFilter = 0xFFFF; // shown as 100 %, beyond the record's limit
    OX::LinkGeneralForm form(lpp);
    form.updateUi(LPP::ChangeMask::all);
    form.show();
    stepAwayAndBack(child<QAbstractSlider>(&form, "tfSlider"));
    EXPECT_EQ(lpp.tremorFilter, LPP::TremorFilterMax);
    EXPECT_TRUE(lpp.outOfLimits().isEmpty());
}

TEST(LinkDriveSettingForm, ShowsTheRecordWithoutWritingIt)
{
    struct Case {
        uchar backTilt;
        int shown;
    };
    for (Case c : { Case { 0, 7 }, Case { 255, 20 }, Case { 50, 10 }, Case { 36, 7 } }) {
        LPP lpp = LinkProfile::Normal.parameters;
        lpp.backTiltDelay = c.backTilt;
        lpp.movePolarityVertical = 2; // reversed, as the record defines it
        LPP const before = lpp;
        OX::LinkDriveSettingForm form(lpp);
        Changes changed(&form);
        form.updateUi(LPP::ChangeMask::all);
        auto* delay = child<QAbstractSlider>(&form, "reversingDelaySlider");
        EXPECT_EQ(delay->value(), c.shown);
        // Its handle let go where it was, at the end that holds a delay beyond the slider too.
        form.show();
        testutil::releaseHandle(delay->findChild<QSlider*>());
        EXPECT_TRUE(child<QCheckBox>(&form, "reverseDriveCheckBox")->isChecked());
        EXPECT_TRUE(lpp.isEqual(before));
        EXPECT_EQ(changed.masks.size(), 0);
        // Moved away and back, the delay is the record's own again (0.72 s shown as 0.7 s too).
        stepAwayAndBack(delay);
        EXPECT_EQ(lpp.backTiltDelay, c.backTilt);
        EXPECT_TRUE(lpp.isEqual(before));
    }
}

TEST(LinkDriveSettingForm, TogglesWriteOneOrZeroAndTheDelayInTwentyMsUnits)
{
    LPP lpp = LinkProfile::Normal.parameters;
    lpp.movePolarityVertical = 2;
    lpp.backTiltDelay = 70; // 1.4 s
    OX::LinkDriveSettingForm form(lpp);
    form.resize(640, 360);
    form.show();
    Changes changed(&form);
    auto* reverse = child<QCheckBox>(&form, "reverseDriveCheckBox");
    auto* sound = child<QCheckBox>(&form, "reversingAudioCheckbox");
    auto* delay = child<OX::Slider>(&form, "reversingDelaySlider");

    clickBox(reverse);
    EXPECT_EQ(lpp.movePolarityVertical, 0);
    clickBox(reverse);
    EXPECT_EQ(lpp.movePolarityVertical, 1);

    clickBox(sound);
    EXPECT_EQ(lpp.reverseSoundEnabled, 1);
    clickBox(sound);
    EXPECT_EQ(lpp.reverseSoundEnabled, 0);

    clickPlus(delay);
    EXPECT_EQ(lpp.backTiltDelay, 75);
    EXPECT_EQ(delay->displayText(), QStringLiteral("1.5 seconds"));
    EXPECT_EQ(changed.masks, (QList<quint32> { 0x200, 0x200, 0x1000000, 0x1000000, 0x100000 }));
    linktest::saveOnPage(&form, "link-drive-form");
}

TEST(LinkDriveSettingForm, TheDelaySliderMovedByKeysPageUpOrWheelWritesTheRecord)
{
    using testutil::SliderMove;
    for (SliderMove move : { SliderMove::RightKey, SliderMove::PageUp, SliderMove::WheelUp }) {
        LPP lpp = LinkProfile::Normal.parameters;
        lpp.backTiltDelay = 50; // 1.0 s
        OX::LinkDriveSettingForm form(lpp);
        form.show();
        Changes changed(&form);
        auto* delay = child<OX::Slider>(&form, "reversingDelaySlider");
        testutil::moveSlider(delay->findChild<QSlider*>(), move);
        ASSERT_TRUE(testutil::waitUntil([&] { return !changed.masks.isEmpty(); }, 2000))
            << testutil::sliderMoveName(move);
        EXPECT_GT(lpp.backTiltDelay, 50) << testutil::sliderMoveName(move);
        EXPECT_EQ(
            delay->displayText(), QStringLiteral("%1 seconds").arg(lpp.backTiltDelay / 50.0, 0, 'f', 1));
    }
}

TEST(LinkProfilesDialog, OffersTheBuiltInsAndResetsOnlyOnAChoice)
{
    OX::LinkProfilesDialog dialog(QStringLiteral("Reset Parameters"));
    auto* combo = child<QComboBox>(&dialog, "comboBox");
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    EXPECT_EQ(items,
        (QStringList { QStringLiteral("Select profile"), QStringLiteral("Normal"),
            QStringLiteral("Restricted"), QStringLiteral("Tremor") }));
    EXPECT_EQ(dialog.okButton()->text(), QStringLiteral("Reset parameters"));
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    EXPECT_FALSE(dialog.selectedProfile().defined);

    dialog.show();
    testutil::LogCapture log;
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(combo, Qt::Key_Down); // the closed list activates each item it passes
    EXPECT_EQ(combo->currentText(), QStringLiteral("Tremor"));
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    EXPECT_EQ(log.count(QStringLiteral("Link profile Tremor selected.")), 1);
    EXPECT_TRUE(child<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Cancel)->isDefault());
    const LinkProfile chosen = dialog.selectedProfile();
    EXPECT_TRUE(chosen.defined);
    EXPECT_EQ(chosen.parameters.getData().bytes().toHex(' ').toUpper(),
        QByteArray("2E 2E 2E 2E 3C 3C 3C 3C 00 01 00 00 50 C3 28 1E 28 28 05 32 00 05 32 0F 03 00 00"));
    testutil::saveScreenshot(&dialog, "link-profiles-dialog");
}
