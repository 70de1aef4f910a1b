#include "protocol/LPP.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
QByteArray sampleBytes()
{
    QByteArray b;
    for (int i = 0; i < 27; ++i)
        b.append(char(i + 1));
    return b;
}

LPP axis(uchar forward, uchar backward, uchar inner, uchar outer)
{
    LPP lpp;
    lpp.angleForward = forward;
    lpp.angleBackward = backward;
    lpp.deadzoneInnerVertical = inner;
    lpp.deadzoneOuterVertical = outer;
    return lpp;
}

double const NaN = std::numeric_limits<double>::quiet_NaN();
} // namespace

TEST(LPP, WireLayoutRoundTrip)
{
    QByteArray const bytes = sampleBytes();
    LPP const lpp{ PacketData(bytes) };
    EXPECT_EQ(lpp.angleForward, 1);
    EXPECT_EQ(lpp.movePolarityHorizontal, 12);
    EXPECT_EQ(lpp.tremorFilter, 0x0E0D);
    EXPECT_EQ(lpp.safetyAngleForward, 15);
    EXPECT_EQ(lpp.reverseSoundEnabled, 27);
    EXPECT_EQ(lpp.getData().bytes(), bytes);
    EXPECT_EQ(lpp.getData().size(), LPP::SizeOf);
    EXPECT_EQ(LPP().getData().bytes(), QByteArray(27, '\0'));

    LPP const built(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0x0E0D, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27);
    EXPECT_EQ(built, lpp);
    LPP copy;
    copy.set(built);
    EXPECT_TRUE(copy.isEqual(lpp));
}

TEST(LPP, BigEndianDataReadsTremorSwapped)
{
    LPP const lpp{ PacketData(sampleBytes(), PacketData::BigEndian) };
    EXPECT_EQ(lpp.tremorFilter, 0x0D0E);
}

TEST(LPP, ShortOrEmptyDataReadsZerosOnly)
{
    LPP const empty{ PacketData() };
    EXPECT_EQ(empty, LPP());
    LPP const cut{ PacketData(sampleBytes().left(13)) };
    EXPECT_EQ(cut.movePolarityHorizontal, 12);
    EXPECT_EQ(cut.tremorFilter, 13); // high byte past the end counts as 0
    EXPECT_EQ(cut.safetyAngleForward, 0);
    EXPECT_EQ(cut.reverseSoundEnabled, 0);
}

TEST(LPP, EqualityCoversEveryByte)
{
    LPP const a{ PacketData(sampleBytes()) };
    for (int i = 0; i < 27; ++i) {
        QByteArray changed = sampleBytes();
        changed[i] = char(changed.at(i) + 1);
        EXPECT_NE(LPP(PacketData(changed)), a) << "byte " << i;
    }
    LPP b = a;
    b.reverseSoundEnabled = 0;
    EXPECT_FALSE(a.isEqual(b));
}

TEST(LPP, Getters)
{
    LPP lpp = axis(40, 40, 40, 80); // 20 degrees each way, 10 % and 20 %
    EXPECT_DOUBLE_EQ(lpp.getAngleForward(), 20);
    EXPECT_DOUBLE_EQ(lpp.getDeadzonePercentInnerVertical(), 10);
    EXPECT_DOUBLE_EQ(lpp.getDeadzoneInnerVertical(), 2);
    EXPECT_DOUBLE_EQ(lpp.getDeadzoneOuterVertical(), 4);
    lpp.emergencyBreakWindow = 25;
    EXPECT_DOUBLE_EQ(lpp.getEmergencyBreakWindowSeconds(), 0.5);
    lpp.tremorFilter = 32750;
    EXPECT_DOUBLE_EQ(lpp.getTremorFilterValue(), 50);
    lpp.fifthSwitchDelay = 5;
    EXPECT_TRUE(lpp.isFifthSwitchEnable());
    lpp.fifthSwitchDelay = 6;
    EXPECT_FALSE(lpp.isFifthSwitchEnable());
    lpp.reverseSoundEnabled = 2;
    EXPECT_FALSE(lpp.isReverseSoundEnabled());
    lpp.reverseSoundEnabled = 1;
    EXPECT_TRUE(lpp.isReverseSoundEnabled());
}

TEST(LPP, MoveModeGettersAreNotSymmetric)
{
    LPP lpp;
    EXPECT_EQ(lpp.getVerticalMoveMode(), 2);
    EXPECT_EQ(lpp.getHorizontalMoveMode(), 2);
    lpp.moveModeVertical = 2;
    lpp.moveModeHorizontal = 2;
    EXPECT_EQ(lpp.getVerticalMoveMode(), 0);
    EXPECT_EQ(lpp.getHorizontalMoveMode(), 2);
    lpp.moveModeHorizontal = 1;
    EXPECT_EQ(lpp.getHorizontalMoveMode(), 1);
}

TEST(LPP, AngleSetterClampsAndRescalesDeadzones)
{
    LPP lpp = axis(40, 40, 40, 0);
    lpp.setAngleForward(30);
    EXPECT_EQ(lpp.angleForward, 60);
    EXPECT_EQ(lpp.deadzoneInnerVertical, 32); // still 2 degrees: 8 %
    EXPECT_DOUBLE_EQ(lpp.getDeadzoneInnerVertical(), 2);

    lpp.setAngleForward(200);
    EXPECT_EQ(lpp.angleForward, 255);

    LPP zero = axis(40, 0, 40, 80);
    zero.setAngleForward(-3);
    EXPECT_EQ(zero.angleForward, 0);
    EXPECT_EQ(zero.deadzoneInnerVertical, 0);
    EXPECT_EQ(zero.deadzoneOuterVertical, 0);
}

TEST(LPP, DeadzoneAboveLimitAfterAngleChangeIsStoredAs255)
{
    LPP lpp = axis(40, 40, 0, 240); // outer 60 % of 20 degrees = 12 degrees
    lpp.setAngleBackward(1);         // sum 21: 12 x 2 / 21 > 100 %
    EXPECT_EQ(lpp.deadzoneOuterVertical, 255);
    EXPECT_EQ(lpp.deadzoneInnerVertical, 0);
}

TEST(LPP, HorizontalAngleSettersTouchOnlyTheirAxis)
{
    LPP lpp;
    lpp.angleLeft = 40;
    lpp.angleRight = 40;
    lpp.deadzoneInnerHorizontal = 40;
    lpp.deadzoneInnerVertical = 99;
    lpp.setAngleRight(30);
    EXPECT_EQ(lpp.angleRight, 60);
    EXPECT_EQ(lpp.deadzoneInnerHorizontal, 32);
    EXPECT_EQ(lpp.deadzoneInnerVertical, 99);
    lpp.setAngleLeft(10.25); // 20.5 rounds away from zero
    EXPECT_EQ(lpp.angleLeft, 21);
}

TEST(LPP, DeadzoneSetters)
{
    LPP lpp = axis(40, 40, 0, 0);
    lpp.setDeadzoneInnerVertical(2);
    EXPECT_EQ(lpp.deadzoneInnerVertical, 40);
    lpp.setDeadzoneOuterVertical(100);
    EXPECT_EQ(lpp.deadzoneOuterVertical, 255);
    lpp.setDeadzoneOuterVertical(-1);
    EXPECT_EQ(lpp.deadzoneOuterVertical, 0);
    LPP flat;
    flat.setDeadzoneInnerHorizontal(5); // both angles 0: no division by zero
    EXPECT_EQ(flat.deadzoneInnerHorizontal, 0);
}

TEST(LPP, ScalarSetters)
{
    LPP lpp;
    lpp.setTremorFilter(50);
    EXPECT_EQ(lpp.tremorFilter, 32750);
    EXPECT_DOUBLE_EQ(lpp.getTremorFilterValue(), 50);
    lpp.setTremorFilter(150);
    EXPECT_EQ(lpp.tremorFilter, 65500);
    lpp.setTremorFilter(-1);
    EXPECT_EQ(lpp.tremorFilter, 0);

    lpp.setEmergencyBreakWindow(0.01);
    EXPECT_EQ(lpp.emergencyBreakWindow, 2);
    lpp.setEmergencyBreakWindow(5);
    EXPECT_EQ(lpp.emergencyBreakWindow, 50);
    lpp.setBackTiltDelayWindow(10);
    EXPECT_EQ(lpp.backTiltWindow, 255);
    lpp.setBackTiltDelaySeconds(0.51);
    EXPECT_EQ(lpp.backTiltDelay, 26);
    lpp.setBackTiltDelaySeconds(-1);
    EXPECT_EQ(lpp.backTiltDelay, 0);

    lpp.setSafetyAngleLeft(200);
    EXPECT_EQ(lpp.safetyAngleLeft, 170);
    lpp.setSafetyAngleRight(12.5);
    EXPECT_EQ(lpp.safetyAngleRight, 13);
    lpp.setEmergencyBreakAmplitude(300);
    EXPECT_EQ(lpp.emergencyBreakAmplitude, 255);
    lpp.setBackTiltOffset(101);
    EXPECT_EQ(lpp.backTiltOffset, 100);
    lpp.setCenterDelay(-4);
    EXPECT_EQ(lpp.centerDelay, 0);
    lpp.setCenterDelay(1000);
    EXPECT_EQ(lpp.centerDelay, 255);
    lpp.setFifthSwitchDelay(9);
    EXPECT_EQ(lpp.fifthSwitchDelay, 5);
    lpp.setFifthSwitchDelay(-2);
    EXPECT_EQ(lpp.fifthSwitchDelay, 0);
    lpp.setReverseSoundEnabled(true);
    EXPECT_EQ(lpp.reverseSoundEnabled, 1);
    lpp.setReverseSoundEnabled(false);
    EXPECT_EQ(lpp.reverseSoundEnabled, 0);
}

TEST(LPP, FifthSwitchEnable)
{
    LPP lpp;
    lpp.fifthSwitchDelay = 6;
    lpp.setFifthSwitchEnable(true);
    EXPECT_EQ(lpp.fifthSwitchDelay, 0);
    lpp.fifthSwitchDelay = 3;
    lpp.setFifthSwitchEnable(true);
    EXPECT_EQ(lpp.fifthSwitchDelay, 3);
    lpp.setFifthSwitchEnable(false);
    EXPECT_EQ(lpp.fifthSwitchDelay, 6);
    EXPECT_FALSE(lpp.isFifthSwitchEnable());
}

TEST(LPP, NaNLeavesTheRecordUnchanged)
{
    LPP const before{ PacketData(sampleBytes()) };
    LPP lpp = before;
    lpp.setAngleForward(NaN);
    lpp.setAngleLeft(NaN);
    lpp.setDeadzoneInnerVertical(NaN);
    lpp.setDeadzoneOuterHorizontal(NaN);
    lpp.setSafetyAngleBackward(NaN);
    lpp.setEmergencyBreakWindow(NaN);
    lpp.setEmergencyBreakAmplitude(NaN);
    lpp.setBackTiltDelayWindow(NaN);
    lpp.setBackTiltDelaySeconds(NaN);
    lpp.setBackTiltOffset(NaN);
    lpp.setTremorFilter(NaN);
    lpp.setCenterDelay(NaN);
    EXPECT_EQ(lpp, before);
}

TEST(LPP, InfinityIsClamped)
{
    LPP lpp;
    double const inf = std::numeric_limits<double>::infinity();
    lpp.setAngleForward(inf);
    EXPECT_EQ(lpp.angleForward, 255);
    lpp.setSafetyAngleForward(-inf);
    EXPECT_EQ(lpp.safetyAngleForward, 0);
    lpp.setEmergencyBreakWindow(inf);
    EXPECT_EQ(lpp.emergencyBreakWindow, 50);
    lpp.setTremorFilter(inf);
    EXPECT_EQ(lpp.tremorFilter, 65500);
}

TEST(LPP, ChangeMaskValues)
{
    EXPECT_EQ(LPP::ChangeMask::angleForward, LPP::ChangeMask::angleBackward);
    EXPECT_EQ(LPP::ChangeMask::angleLeft, 0x2u);
    EXPECT_EQ(LPP::ChangeMask::tremorFilter, 0x800u);
    EXPECT_EQ(LPP::ChangeMask::reverseSoundEnabled, 0x1000000u);
    EXPECT_EQ(LPP::ChangeMask::all, 0xFFFFFFFFu);
    LPP::ChangeMask mask = LPP::ChangeMask::centerDelay | LPP::ChangeMask::backTiltOffset;
    EXPECT_TRUE(mask & LPP::ChangeMask::centerDelay);
    EXPECT_FALSE(mask & LPP::ChangeMask::angleLeft);
    EXPECT_EQ(quint32(LPP::ChangeMask()), LPP::ChangeMask::none);
}

TEST(LPP, DebugText)
{
    LPP lpp = axis(40, 40, 40, 80);
    lpp.angleLeft = 30;
    lpp.angleRight = 30;
    lpp.safetyAngleForward = 25;
    lpp.safetyAngleBackward = 15;
    lpp.tremorFilter = 32750;
    lpp.centerDelay = 3;
    lpp.fifthSwitchDelay = 2;
    lpp.reverseSoundEnabled = 1;
    lpp.moveModeHorizontal = 1;
    lpp.movePolarityVertical = 1;
    lpp.emergencyBreakWindow = 25;
    lpp.emergencyBreakAmplitude = 40;
    lpp.backTiltWindow = 50;
    lpp.backTiltDelay = 10;
    lpp.backTiltOffset = 7;
    QString const expected = QString::fromUtf8("{\n"
                                               "   tremor filter: 50% (32.75%) <32750>\n"
                                               "   center delay: 3 sec <3>\n"
                                               "   5th swicth delay: 2 sec <2>\n"
                                               "   reverse sound: on <1>\n"
                                               "   vertical {\n"
                                               "      forward angle: 20\u00ba <40> (25\u00ba <25>)\n"
                                               "      backward angle: 20\u00ba <40> (15\u00ba <15>)\n"
                                               "      deadzone innner: 2\u00ba (10%) <40>\n"
                                               "      deadzone outer: 4\u00ba (20%) <80>\n"
                                               "      mode: tilt <0>\n"
                                               "      polarity: reversed <1>\n"
                                               "   }\n"
                                               "   horizontal {\n"
                                               "      left: 15\u00ba <30> (0\u00ba <0>)\n"
                                               "      right: 15\u00ba <30> (0\u00ba <0>)\n"
                                               "      deadzone innner: 0\u00ba (0%) <0>\n"
                                               "      deadzone outer: 0\u00ba (0%) <0>\n"
                                               "      mode: turn <1>\n"
                                               "      polarity: normal <0>\n"
                                               "   }\n"
                                               "   emergency break {\n"
                                               "      time frame: 0.5 secs <25>\n"
                                               "      amplitude: 40% <40>\n"
                                               "      request zero: off <0>\n"
                                               "   }\n"
                                               "   back tilt {\n"
                                               "      time frame: 1 secs <50>\n"
                                               "      delay: 0.2 secs <10>\n"
                                               "      offset: 7% <7>\n"
                                               "   }\n"
                                               "}");
    EXPECT_EQ(lpp.toString(), expected);
}

TEST(LPP, SettersStayWithinTheLimitsARecordIsCheckedAgainst)
{
    LPP lpp;
    lpp.setSafetyAngleForward(1e9);
    lpp.setEmergencyBreakWindow(0);
    lpp.setBackTiltOffset(1e9);
    lpp.setTremorFilter(1e9);
    EXPECT_TRUE(lpp.outOfLimits().isEmpty()) << lpp.outOfLimits().join("; ").toStdString();
    lpp.safetyAngleForward = LPP::SafetyAngleMax + 1;
    lpp.emergencyBreakWindow = LPP::EmergencyBreakWindowMax + 1;
    EXPECT_EQ(lpp.outOfLimits(),
        (QStringList { "safety angle forward 171° (limits 0–170°)",
            "emergency-brake window 1020 ms (limits 40–1000 ms)" }));
}

TEST(LPP, ARecordOfAnotherLengthIsNeverSendable)
{
    LPP record;
    record.setEmergencyBreakWindow(0.2);
    QByteArray const good = record.getData().bytes();
    EXPECT_TRUE(LPP::problemsOf(PacketData(good)).isEmpty());
    EXPECT_EQ(LPP::problemsOf(PacketData(good.left(26))), QStringList { "record of 26 bytes" });
    EXPECT_EQ(LPP::problemsOf(PacketData(good + '\0')), QStringList { "record of 28 bytes" });
    QByteArray bad = good;
    bad[18] = 0;
    EXPECT_EQ(
        LPP::problemsOf(PacketData(bad)), QStringList { "emergency-brake window 0 ms (limits 40–1000 ms)" });
}
