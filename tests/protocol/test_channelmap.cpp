#include "protocol/ChannelMap.h"
#include "protocol/Records.h"

#include <gtest/gtest.h>

#include <QVariant>

namespace {
QByteArray hex(char const* text)
{
    return QByteArray::fromHex(text);
}
} // namespace

TEST(ChannelMap, ParseExamplePayload)
{
    ChannelMap const map{ PacketData(hex("02" "038118" "04013B")) };
    ASSERT_EQ(map.size(), 2);
    EXPECT_EQ(map.at(0).address, 3);
    EXPECT_EQ(map.at(0).portNumber(), 1);
    EXPECT_TRUE(map.at(0).isEnabled());
    EXPECT_EQ(OrvixDevice::QStringFromPreset(map.at(0).validPreset()), QStringLiteral("Link Drive"));
    EXPECT_EQ(map.at(1).address, 4);
    EXPECT_FALSE(map.at(1).isEnabled());
    EXPECT_EQ(OrvixDevice::QStringFromPreset(map.at(1).validPreset()), QStringLiteral("PC #1"));
}

TEST(ChannelMap, WireFormRoundTrip)
{
    ChannelMap const map{ PacketData(hex("02" "038118" "04013B")) };
    PacketData const data = map.getData();
    EXPECT_EQ(data.bytes(), hex("02" "038118" "04013B") + QByteArray(18, '\0'));
    EXPECT_EQ(ChannelMap(data), map);
    EXPECT_EQ(ChannelMap().getData().bytes(), QByteArray(25, '\0'));
}

TEST(ChannelMap, MoreThanEightEntriesAreCutOnTheWireOnly)
{
    ChannelMap map;
    for (int i = 0; i < 9; ++i)
        map.devices.append(OrvixDevice(uchar(i + 1), 0x81, OrvixDevice::LinkDrive));
    PacketData const data = map.getData();
    ASSERT_EQ(data.size(), 25);
    EXPECT_EQ(data.at(0), 8);
    EXPECT_EQ(data.at(22), 8); // the eighth entry's address
    EXPECT_EQ(map.size(), 9);
}

TEST(ChannelMap, CountBeyondPayloadKeepsWholeEntries)
{
    ChannelMap const map{ PacketData(hex("05" "038118" "0401")) };
    ASSERT_EQ(map.size(), 1);
    EXPECT_EQ(map.at(0).address, 3);
    EXPECT_TRUE(ChannelMap(PacketData(hex("FF"))).isEmpty());
    EXPECT_TRUE(ChannelMap(PacketData()).isEmpty());
    // Parsing again replaces the entries.
    ChannelMap again = map;
    again.set(PacketData(hex("00" "038118")));
    EXPECT_TRUE(again.isEmpty());
}

TEST(ChannelMap, ZeroDisabledDuplicateAndUnknownEntriesAreKept)
{
    ChannelMap const map{ PacketData(hex("03" "000000" "038119" "038119")) };
    ASSERT_EQ(map.size(), 3);
    EXPECT_EQ(map.at(1), map.at(2));
    EXPECT_EQ(map.at(1).preset, 0x19);
}

TEST(ChannelMap, Swap)
{
    ChannelMap map{ PacketData(hex("01" "038118")) };
    ChannelMap const before = map;
    EXPECT_TRUE(map.swap(0, 0));
    EXPECT_EQ(map, before);
    EXPECT_FALSE(map.swap(-1, 0));
    EXPECT_FALSE(map.swap(0, 1));
    EXPECT_EQ(map, before);

    ChannelMap two{ PacketData(hex("02" "038118" "04013B")) };
    EXPECT_TRUE(two.swap(0, 1));
    EXPECT_EQ(two.at(0).address, 4);
    EXPECT_EQ(two.at(1).address, 3);
}

TEST(ChannelMap, EqualityComparesEveryEntryInOrder)
{
    ChannelMap const a{ PacketData(hex("02" "038118" "04013B")) };
    ChannelMap b = a;
    EXPECT_TRUE(a == b);
    b.devices[1].setEnabled(true);
    EXPECT_TRUE(a != b);
    ChannelMap c = a;
    c.swap(0, 1);
    EXPECT_NE(a, c);
    ChannelMap d = a;
    d.devices.removeLast();
    EXPECT_NE(a, d);
    EXPECT_EQ(ChannelMap(), ChannelMap(PacketData(hex("00"))));
}

TEST(ChannelMap, CopiesAreIndependent)
{
    ChannelMap const a{ PacketData(hex("01" "038118")) };
    ChannelMap b(a);
    b.devices[0].address = 9;
    EXPECT_EQ(a.at(0).address, 3);
    ChannelMap c;
    c.set(a);
    c.set(c);
    EXPECT_EQ(c, a);
    c.clear();
    EXPECT_TRUE(c.isEmpty());
    EXPECT_EQ(a.size(), 1);
}

TEST(ChannelMap, ContainsDeviceAddressIgnoresEnabledBit)
{
    ChannelMap const disabled{ PacketData(hex("01" "030118")) };
    ChannelMap const enabled{ PacketData(hex("01" "038118")) };
    EXPECT_TRUE(disabled.contains(DeviceAddress(3, 1)));
    EXPECT_TRUE(enabled.contains(DeviceAddress(3, 1)));
    EXPECT_FALSE(enabled.contains(DeviceAddress(3, 2)));
    EXPECT_FALSE(enabled.contains(DeviceAddress(4, 1)));
    EXPECT_FALSE(ChannelMap().contains(DeviceAddress(0, 0)));
}

TEST(ChannelMap, ContainsNpp)
{
    ChannelMap const map{ PacketData(hex("02" "038218" "04013B")) };
    NPP npp;
    npp.address = 3;
    EXPECT_FALSE(map.contains(npp)); // no submodules
    npp.count = 2;
    npp.ports[0] = 1;
    npp.ports[1] = 2;
    EXPECT_TRUE(map.contains(npp));
    npp.ports[1] = 5;
    EXPECT_FALSE(map.contains(npp));
    npp.address = 4;
    EXPECT_TRUE(map.contains(npp));
    // A count set above the arrays is never followed past them.
    npp.count = 250;
    npp.ports[0] = 9;
    EXPECT_FALSE(map.contains(npp));
}

TEST(OrvixDevice, PresetNamesAndValidation)
{
    EXPECT_EQ(OrvixDevice::QStringFromPreset(OrvixDevice::HeadsetPreset), QStringLiteral("Unknown Preset"));
    EXPECT_EQ(OrvixDevice::validatedPreset(0x07), OrvixDevice::HeadsetPreset);
    EXPECT_EQ(OrvixDevice::validatedPreset(0x19), OrvixDevice::NoPreset);
    EXPECT_EQ(OrvixDevice::QStringFromPreset(OrvixDevice::Preset(0x19)), QStringLiteral("Unknown Preset"));
    EXPECT_EQ(OrvixDevice::QStringFromPreset(OrvixDevice::LinkOutdoorDrive), QStringLiteral("Link Outdoor Drive"));
    EXPECT_EQ(OrvixDevice::QStringFromPreset(OrvixDevice::ChairActuator), QStringLiteral("Chair Actuator"));
    EXPECT_EQ(OrvixDevice::QStringFromPreset(OrvixDevice::PC2), QStringLiteral("PC #2"));
    int known = 0;
    for (int p = 0; p < 256; ++p)
        known += OrvixDevice::isKnownPreset(uchar(p));
    EXPECT_EQ(known, 9);
    EXPECT_TRUE(OrvixDevice(0, 0, 0x07).isHeadset());
}

TEST(OrvixDevice, FusionNames)
{
    EXPECT_EQ(OrvixDevice::QStringFromFusion(OrvixDevice::Config), QStringLiteral("config"));
    EXPECT_EQ(OrvixDevice::QStringFromFusion(OrvixDevice::AccMag), QStringLiteral("accelero & magneto"));
    EXPECT_EQ(OrvixDevice::QStringFromFusion(OrvixDevice::NDOF), QStringLiteral("ndof"));
    for (int f = 13; f < 16; ++f)
        EXPECT_EQ(OrvixDevice::QStringFromFusion(OrvixDevice::Fusion(f)), QStringLiteral("unknown"));
    EXPECT_EQ(OrvixDevice::QStringFromFusion(OrvixDevice::Fusion(200)), QStringLiteral("unknown"));
}

TEST(OrvixDevice, DebugTexts)
{
    EXPECT_EQ(QStringFromOrvixDevice(OrvixDevice(3, 0x81, 0x18)),
              QStringLiteral("Device: { 0x03, 0x01, imu plus, 0x01, enabled, Link Drive }"));
    // An unknown preset still shows its own fusion and type nibbles.
    EXPECT_EQ(QStringFromOrvixDevice(OrvixDevice(4, 0x02, 0x19)),
              QStringLiteral("Device: { 0x04, 0x02, compass, 0x01, disabled, Unknown Preset }"));
    ChannelMap const map{ PacketData(hex("01" "038118")) };
    EXPECT_EQ(map.toString(),
              QStringLiteral("Channel Map: {\n   Device: { 0x03, 0x01, imu plus, 0x01, enabled, Link Drive }\n}"));
    EXPECT_EQ(ChannelMap().toString(), QStringLiteral("Channel Map: {\n}"));

    QString out;
    QDebug(&out) << OrvixDevice(3, 0x81, 0x18);
    EXPECT_EQ(out.trimmed(), QStringLiteral("Device: { 0x03, 0x01, imu plus, 0x01, enabled, Link Drive }"));
}

TEST(OrvixDevice, TravelsInVariants)
{
    EXPECT_NE(QMetaType::type("OrvixDevice"), int(QMetaType::UnknownType));
    QVariant const v = QVariant::fromValue(OrvixDevice(1, 2, 3));
    EXPECT_EQ(v.value<OrvixDevice>(), OrvixDevice(1, 2, 3));
}

TEST(OrvixDevice, EnabledBitHelpers)
{
    OrvixDevice dev(6, 0x05, 0x28);
    dev.setEnabled(true);
    EXPECT_EQ(dev.port, 0x85);
    dev.setEnabled(false);
    EXPECT_EQ(dev.port, 0x05);
    EXPECT_EQ(dev.type(), 2);
    EXPECT_EQ(dev.fusion(), OrvixDevice::IMUPlus);
}
