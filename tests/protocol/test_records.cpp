#include "protocol/Records.h"

#include <gtest/gtest.h>

namespace {
QByteArray hex(char const* text)
{
    return QByteArray::fromHex(text);
}

QByteArray nppBytes(uchar count, QByteArray const& submodules, QByteArray const& serial = QByteArray("SN12345678"))
{
    QByteArray b = hex("01020304" "3412");
    b += serial.leftJustified(10, '\0', true);
    b += hex("9C" "0100" "05");
    b.append(char(count));
    b += submodules;
    return b;
}
} // namespace

TEST(SCP, BytesValueAndText)
{
    SCP const scp(5, quint16(0x1234));
    EXPECT_EQ(scp.getData().bytes(), hex("053412"));
    EXPECT_EQ(scp.value(), 0x1234);
    EXPECT_EQ(scp.toString(), QStringLiteral("{\n\tcommand:0x05,\n\tvalue:0x1234 - ( lsb:0x34, msb:0x12 )\n}"));
    SCP const parsed{ PacketData(hex("093412")) };
    EXPECT_EQ(parsed.command, 9);
    EXPECT_EQ(parsed.value(), 0x1234);
    EXPECT_EQ(SCP(1, 2, 3).getData().bytes(), hex("010203"));
    EXPECT_EQ(SCP().getData().bytes(), hex("000000"));
}

TEST(SCP, ShortPayloadReadsZeros)
{
    SCP const scp{ PacketData(hex("07")) };
    EXPECT_EQ(scp, SCP(7, 0, 0));
    SCP const none{ PacketData() };
    EXPECT_EQ(none, SCP());
}

TEST(SCP, ParsedFromBodyNeverTakesTheChecksum)
{
    // A DCP notice with a one-byte payload: the body is the payload and two checksum bytes.
    QByteArray const frame = buildFrame(Header(0, 0, 0, 0, PacketID::DCP), PacketData(hex("40")));
    UHRType const header(frame);
    QByteArray const body = frame.mid(13);
    ASSERT_EQ(body.size(), 3);
    ASSERT_NE(body.mid(1), hex("0000"));
    SCP const scp{ Frame::payloadOf(header, body) };
    EXPECT_EQ(scp.command, 0x40);
    EXPECT_EQ(scp.lsb, 0);
    EXPECT_EQ(scp.msb, 0);
}

TEST(ACK, DefaultParseAndText)
{
    ACK const def;
    EXPECT_EQ(def.getData().bytes(), hex("FF00"));
    EXPECT_EQ(ACK(PacketID::GRCP, 3).getData().bytes(), hex("4003"));
    ACK const parsed{ PacketData(hex("2A07")) };
    EXPECT_EQ(parsed.packet, PacketID::KEY);
    EXPECT_EQ(parsed.command, 7);
    EXPECT_EQ(parsed.toString(), QStringLiteral("{\n\tpacket:KEY,\n\tcommand:0x07\n}"));
    EXPECT_EQ(def.toString(), QStringLiteral("{\n\tpacket:Unknown PID,\n\tcommand:0x00\n}"));
}

TEST(GPP, PaddingCuttingAndMaskedText)
{
    EXPECT_EQ(GPP().getPassword(), QString(16, QLatin1Char(' ')));
    EXPECT_EQ(GPP().getData().bytes(), QByteArray(16, ' '));
    EXPECT_EQ(GPP(QStringLiteral("abc")).getData().bytes(), QByteArray("abc") + QByteArray(13, ' '));
    EXPECT_EQ(GPP(QStringLiteral("abcdefghijklmnopqrst")).getData().bytes(), QByteArray("abcdefghijklmnop"));
    GPP gpp;
    gpp.setPassword(QStringLiteral("\u00e9t\u00e9")); // UTF-8 bytes c3 a9 74 c3 a9
    EXPECT_EQ(gpp.getData().bytes().left(5), hex("C3A974C3A9"));
    EXPECT_EQ(gpp.getPassword().size(), 16);
    EXPECT_EQ(gpp.getPassword().at(0), QChar(0xC3));

    GPP const secret(QStringLiteral("hunter2"));
    QString const text = secret.toString();
    EXPECT_FALSE(text.contains(QLatin1String("hunter2")));
    EXPECT_EQ(text, QStringLiteral("{ ") + QString(16, QLatin1Char('*')) + QStringLiteral(" }"));

    GPP const parsed{ PacketData(hex("41")) };
    EXPECT_EQ(parsed.getData().bytes(), QByteArray("A") + QByteArray(15, '\0'));
}

TEST(ERR, ApplicationErrorBytesAndRoundTrip)
{
    ERR const err(ERR::Code(3), 0x10);
    EXPECT_EQ(err.getData().bytes(), hex("FE02060310000000"));
    ERR const parsed{ PacketData(hex("0301020AEFBEADDE")) };
    EXPECT_EQ(parsed.product, ProductID::Link);
    EXPECT_EQ(parsed.versionMajor, 1);
    EXPECT_EQ(parsed.versionMinor, 2);
    EXPECT_EQ(parsed.code, ERR::Code(10));
    EXPECT_EQ(parsed.details, 0xDEADBEEFu);
    EXPECT_EQ(parsed.getData().bytes(), hex("0301020AEFBEADDE"));
    EXPECT_EQ(err.toString(), QStringLiteral("{\n\tproduct: Orvix Tools,\n\tversion: 2.6,\n\tcode: 3\n\tdetails: 0x0010\n}"));
    EXPECT_EQ(ERR().getData().bytes(), QByteArray(8, '\0'));
}

TEST(ERR, DetailsCutShortReadAsZero)
{
    ERR const parsed{ PacketData(hex("FF010203AABB")) };
    EXPECT_EQ(parsed.product, ProductID::Invalid);
    EXPECT_EQ(parsed.details, 0xBBAAu);
}

TEST(SHP, LayoutRoundTrip)
{
    QByteArray const bytes = hex("9C0401" "21" "FF" "0C" "0040" "00C0" "0100" "FFFF" "3412" "55" "8C" "BEEF");
    ASSERT_EQ(bytes.size(), 20);
    SHP const shp{ PacketData(bytes) };
    EXPECT_EQ(shp.revision, 156);
    EXPECT_EQ(shp.moduleAddress, 4);
    EXPECT_EQ(shp.modulePort, 1);
    EXPECT_EQ(shp.control, 0x21);
    EXPECT_EQ(shp.calibration, 0xFF);
    EXPECT_EQ(shp.getFusionMode(), OrvixDevice::NDOF);
    EXPECT_EQ(shp.quatW, 16384);
    EXPECT_EQ(shp.quatX, -16384);
    EXPECT_EQ(shp.quatY, 1);
    EXPECT_EQ(shp.quatZ, -1);
    EXPECT_EQ(shp.infraLevel, 0x1234);
    EXPECT_EQ(shp.batteryLevel, 0x55);
    EXPECT_EQ(shp.status, 0x8C);
    EXPECT_EQ(shp.reserved, 0xEFBE);
    EXPECT_EQ(shp.getData().bytes(), bytes);

    SHP copy;
    copy.update(shp);
    EXPECT_EQ(copy, shp);
    EXPECT_EQ(SHP().getData().bytes(), QByteArray(20, '\0'));
}

TEST(SHP, QuaternionScale)
{
    SHP shp;
    shp.quatW = 16384;
    shp.quatX = -16384;
    shp.quatY = 8192;
    shp.quatZ = 0;
    SHP::Quaternion const q = shp.getQuaternion();
    EXPECT_FLOAT_EQ(q.w, 1.0f);
    EXPECT_FLOAT_EQ(q.x, -1.0f);
    EXPECT_FLOAT_EQ(q.y, 0.5f);
    EXPECT_FLOAT_EQ(q.z, 0.0f);
}

TEST(SHP, CalibrationLevels)
{
    SHP shp;
    shp.calibration = 0xFF;
    EXPECT_FLOAT_EQ(shp.getMagnetoCalibrationState(), 100.0f);
    EXPECT_FLOAT_EQ(shp.getAcceleroCalibrationState(), 100.0f);
    EXPECT_FLOAT_EQ(shp.getGyroCalibrationState(), 100.0f);
    EXPECT_FLOAT_EQ(shp.getIMUCalibrationState(), 100.0f);
    EXPECT_FLOAT_EQ(shp.getCalibrationProgress(), 100.0f);

    shp.calibration = 0x15;
    EXPECT_NEAR(shp.getMagnetoCalibrationState(), 33.333, 0.01);
    EXPECT_NEAR(shp.getAcceleroCalibrationState(), 33.333, 0.01);
    EXPECT_NEAR(shp.getGyroCalibrationState(), 33.333, 0.01);
    EXPECT_FLOAT_EQ(shp.getIMUCalibrationState(), 0.0f);
    EXPECT_NEAR(shp.getCalibrationProgress(), 33.333, 0.01);

    shp.calibration = 0xC0;
    EXPECT_FLOAT_EQ(shp.getIMUCalibrationState(), 100.0f);
    EXPECT_FLOAT_EQ(shp.getCalibrationProgress(), 0.0f);

    shp.calibration = 0x2A; // all three sensors at level 2
    EXPECT_NEAR(shp.getMagnetoCalibrationState(), 66.666, 0.01);
    EXPECT_NEAR(shp.getCalibrationProgress(), 66.666, 0.01);
}

TEST(SHP, TextUsesNamesOfLevelsAndState)
{
    SHP shp;
    shp.revision = 156;
    shp.moduleAddress = 3;
    shp.modulePort = 1;
    shp.calibration = 0xC1;
    shp.batteryLevel = 80;
    shp.status = 0x18;
    EXPECT_EQ(shp.toString(),
              QStringLiteral("{\ntrevision:156\n\tmodule:3/1,\n\tcontrol:0,\n\timuStatus:100%,\n\tmagnetoStatus:33%,"
                             "\n\tgyroStatus:0%,\n\tacceleroStatus:0%,\n\tinfraLevel:0,\n\tbatteryLevel:80 %,"
                             "\n\tstatus:T:-:-:C:4,\n}"));
}

TEST(SHP, ShortPayloadReadsZeros)
{
    SHP const shp{ PacketData(hex("9C04010000000040")) };
    EXPECT_EQ(shp.revision, 156);
    EXPECT_EQ(shp.quatW, 0x4000);
    EXPECT_EQ(shp.quatX, 0);
    EXPECT_EQ(shp.status, 0);
}

TEST(HeadsetState, CompactText)
{
    EXPECT_EQ(HeadsetState::toString(0), QStringLiteral("I:-:-:-:0"));
    EXPECT_EQ(HeadsetState(0x18).toString(), QStringLiteral("T:-:-:C:4"));
    EXPECT_EQ(HeadsetState::toString(0x07), QStringLiteral("N:H:F:O:0"));
    EXPECT_EQ(HeadsetState::toString(0xF0), QStringLiteral("N:-:-:C:60"));
    EXPECT_STREQ(QStringFromHeadsetState(0x18), "T:-:-:C:4");
    char const* first = QStringFromHeadsetState(0x20);
    QStringFromHeadsetState(0x40);
    EXPECT_STREQ(first, "N:-:-:C:8"); // still valid after another call
}

TEST(NPP, ParseFieldsAndRoundTrip)
{
    QByteArray const bytes = nppBytes(2, hex("0102" "0313"));
    NPP const npp{ PacketData(bytes) };
    EXPECT_EQ(npp.product, ProductID::Headset);
    EXPECT_EQ(npp.getVersion(), DongleVersion(2, 3, 4, 0x1234));
    EXPECT_EQ(npp.getVersion().toStringHelper(), QStringLiteral("2.3.4 (4660)"));
    EXPECT_EQ(npp.getSerialNumber(), QStringLiteral("SN12345678"));
    EXPECT_EQ(npp.revision, 156);
    EXPECT_EQ(npp.pan, 1);
    EXPECT_EQ(npp.address, 5);
    EXPECT_EQ(npp.count, 2);
    EXPECT_EQ(npp.ports[1], 3);
    EXPECT_EQ(npp.modes[1], 0x13);
    EXPECT_EQ(npp.getData().bytes(), bytes);
}

TEST(NPP, CountAboveFourIsClamped)
{
    QByteArray subs;
    for (int i = 0; i < 6; ++i)
        subs += QByteArray(1, char(10 + i)) + QByteArray(1, char(i));
    NPP const npp{ PacketData(nppBytes(6, subs)) };
    EXPECT_EQ(npp.count, 4);
    EXPECT_EQ(npp.ports[3], 13);
    EXPECT_EQ(npp.getData().size(), 21 + 8);
    NPP const huge{ PacketData(nppBytes(255, subs)) };
    EXPECT_EQ(huge.count, 4);
}

TEST(NPP, CountBeyondPayloadTakesOnlyWholeSubmodules)
{
    NPP const npp{ PacketData(nppBytes(3, hex("0102" "03"))) };
    EXPECT_EQ(npp.count, 1);
    EXPECT_EQ(npp.ports[0], 1);
    EXPECT_EQ(npp.ports[1], 0);
    NPP const bare{ PacketData(nppBytes(4, QByteArray()).left(10)) };
    EXPECT_EQ(bare.count, 0);
    EXPECT_EQ(bare.address, 0);
}

TEST(NPP, WrittenCountNeverPassesTheArrays)
{
    NPP npp;
    npp.count = 200;
    EXPECT_EQ(npp.submoduleCount(), 4);
    EXPECT_EQ(npp.getData().size(), 29);
    EXPECT_EQ(npp.getData().at(20), 4);
    EXPECT_NO_FATAL_FAILURE(npp.toString());
}

TEST(NPP, SerialNumber)
{
    NPP npp;
    npp.serial[0] = 0xFF;
    npp.serial[1] = 'A';
    EXPECT_EQ(npp.getSerialNumber(), QStringLiteral("---void---"));
    EXPECT_EQ(npp.getSerialNumberCStr(), QByteArray("---void---"));
    NPP const shortSerial{ PacketData(nppBytes(0, QByteArray(), QByteArray("AB\0CD", 5))) };
    EXPECT_EQ(shortSerial.getSerialNumber(), QStringLiteral("AB"));
    EXPECT_EQ(qstrlen(shortSerial.getSerialNumberCStr().constData()), 2u);
    NPP full;
    memcpy(full.serial, "0123456789", 10);
    EXPECT_EQ(full.getSerialNumber(), QStringLiteral("0123456789"));
}

TEST(NPP, EqualityIgnoresVersionAndSubmodules)
{
    NPP const a{ PacketData(nppBytes(2, hex("01020313"))) };
    NPP b = a;
    b.versionMajor = 9;
    b.build = 1;
    b.revision = 1;
    b.count = 0;
    b.ports[0] = 7;
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);
    b.serial[9] = 'x';
    EXPECT_FALSE(a == b);
    NPP c = a;
    c.pan = 2;
    EXPECT_NE(a, c);
    NPP d = a;
    d.product = ProductID::Link;
    EXPECT_NE(a, d);
}

TEST(NPP, DeviceEntryOfSubmodule)
{
    NPP const npp{ PacketData(nppBytes(2, hex("01F2" "0313"))) };
    OrvixDevice const dev = npp.device(0, 1);
    EXPECT_EQ(dev.address, 5);
    EXPECT_EQ(dev.port, 0x81);
    EXPECT_EQ(dev.preset, 0x12);
    EXPECT_EQ(npp.device(1, 0x3F).preset, 0xF3);
    EXPECT_EQ(npp.device(4, 1), OrvixDevice());
    EXPECT_EQ(npp.device(-1, 1), OrvixDevice());
}

TEST(NPP, Text)
{
    NPP const empty{ PacketData(nppBytes(0, QByteArray())) };
    EXPECT_EQ(empty.toString(),
              QStringLiteral("{\n   product: Headset\n   version: 2.3.4 (4660)\n   serial: SN12345678\n   PAN: 1"
                             "\n   address: 5\n   count: 0\n   submodules: [\n   ]\n}"));
    NPP const two{ PacketData(nppBytes(1, hex("0102"))) };
    EXPECT_TRUE(two.toString().contains(QStringLiteral("submodules: [\n      0: { port: 1 - mode: 2}\n   ]")));
}

TEST(NameTables, KnownAndUnknownValues)
{
    EXPECT_STREQ(QStringFromDongleState(DongleState::SERV_M), "SERV_M");
    EXPECT_STREQ(QStringFromDongleState(DongleState::SCAN), "SCAN");
    EXPECT_STREQ(QStringFromDongleState(7), "???");
    EXPECT_STREQ(QStringFromDongleState(9), "NONE");
    EXPECT_STREQ(QStringFromDongleState(-1), "NONE");
    EXPECT_STREQ(QStringFromMouseButton(MouseButton::Left), "left");
    EXPECT_STREQ(QStringFromMouseButton(MouseButton::Middle), "middle");
    EXPECT_STREQ(QStringFromMouseButton(3), "???");
    EXPECT_STREQ(QStringFromMouseButton(7), "none");
    EXPECT_STREQ(QStringFromMouseMode(MouseMode::ACAT), "ACAT");
    EXPECT_STREQ(QStringFromMouseMode(9), "unknown");
    EXPECT_STREQ(QStringFromCalibrationState(CalibrationStatus::Level2), "66%");
    EXPECT_STREQ(QStringFromCalibrationState(4), "0%");
    EXPECT_STREQ(QStringFromProductID(ProductID::OrvixTools), "Orvix Tools");
    EXPECT_STREQ(QStringFromProductID(ProductID::Invalid), "Unknown");
    EXPECT_STREQ(QStringFromProductID(ProductID::Guide), "Guide");
    EXPECT_STREQ(QStringFromProductID(6), "Unknown");
    EXPECT_STREQ(QStringFromProductID(-100), "Unknown");
}
