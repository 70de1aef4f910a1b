#include "protocol/Records.h"

#include "protocol/Print.h"

#include <QTextStream>

#include <array>
#include <cstring>

// ---- name tables ------------------------------------------------------------------------

char const* QStringFromProductID(int product)
{
    switch (product) {
    case -2:
        return "Orvix Tools";
    case 1:
        return "Headset";
    case 2:
        return "Dongle";
    case 3:
        return "Link";
    case 4:
        return "Remote";
    case 5:
        return "Guide";
    default:
        return "Unknown";
    }
}

char const* QStringFromProductID(ProductID product)
{
    return QStringFromProductID(int(product));
}

char const* QStringFromCalibrationState(int status)
{
    static char const* const names[] = { "0%", "33%", "66%", "100%" };
    return (status >= 0 && status < 4) ? names[status] : names[0];
}

char const* QStringFromCalibrationState(CalibrationStatus status)
{
    return QStringFromCalibrationState(int(status));
}

char const* QStringFromMouseButton(int button)
{
    static char const* const names[] = { "none", "left", "right", "???", "middle" };
    return (button >= 0 && button < 5) ? names[button] : names[0];
}

char const* QStringFromMouseButton(MouseButton button)
{
    return QStringFromMouseButton(int(button));
}

char const* QStringFromMouseMode(int mode)
{
    static char const* const names[] = { "unknown", "absolute", "relative", "ACAT" };
    return (mode >= 0 && mode < 4) ? names[mode] : names[0];
}

char const* QStringFromMouseMode(MouseMode mode)
{
    return QStringFromMouseMode(int(mode));
}

char const* QStringFromDongleState(int state)
{
    static char const* const names[] = { "SERV_M", "IDLE", "HOP_N", "HOP_S", "HOP_CCL", "HOP_F", "SCAN", "???" };
    return (state >= 0 && state < 8) ? names[state] : "NONE";
}

char const* QStringFromDongleState(DongleState state)
{
    return QStringFromDongleState(int(state));
}

// ---- HeadsetState -----------------------------------------------------------------------

QString HeadsetState::toString(uchar state)
{
    QString text;
    if (state == 0) {
        text = QStringLiteral("I:-:-:-");
    } else {
        text += (state & glob_turbo) ? QLatin1String("T") : QLatin1String("N");
        text += (state & hop_w_ch) ? QLatin1String(":H") : QLatin1String(":-");
        text += (state & hop_w_fin) ? QLatin1String(":F") : QLatin1String(":-");
        text += (state & win_open) ? QLatin1String(":O") : QLatin1String(":C");
    }
    int sleep = 0;
    if (state & sleep_4)
        sleep += 4;
    if (state & sleep_8)
        sleep += 8;
    if (state & sleep_16)
        sleep += 16;
    if (state & sleep_32)
        sleep += 32;
    text += QLatin1Char(':') + QString::number(sleep);
    return text;
}

char const* QStringFromHeadsetState(uchar state)
{
    // Every state's text made once; the pointers stay valid for the whole run and are safe
    // to share between threads.
    static std::array<QByteArray, 256> const texts = [] {
        std::array<QByteArray, 256> t;
        for (int s = 0; s < 256; ++s)
            t[size_t(s)] = HeadsetState::toString(uchar(s)).toUtf8();
        return t;
    }();
    return texts[state].constData();
}

// ---- DongleVersion ----------------------------------------------------------------------

QString DongleVersion::toStringHelper(uint major, uint minor, uint fix, uint build)
{
    return QStringLiteral("%1.%2.%3 (%4)").arg(major).arg(minor).arg(fix).arg(build);
}

// ---- SCP --------------------------------------------------------------------------------

SCP::SCP(PacketData const& data)
    : command(data.at(0))
    , lsb(data.at(1))
    , msb(data.at(2))
{
}

PacketData SCP::getData() const
{
    QByteArray bytes;
    bytes.append(char(command));
    bytes.append(char(lsb));
    bytes.append(char(msb));
    return PacketData(bytes, PacketData::LittleEndian);
}

QString SCP::toString() const
{
    return QString::asprintf("{\n\tcommand:0x%02x,\n\tvalue:0x%04x - ( lsb:0x%02x, msb:0x%02x )\n}", command,
                             value(), lsb, msb);
}

// ---- ACK --------------------------------------------------------------------------------

ACK::ACK(PacketData const& data)
    : packet(PacketID(data.at(0)))
    , command(data.at(1))
{
}

PacketData ACK::getData() const
{
    QByteArray bytes;
    bytes.append(char(uchar(packet)));
    bytes.append(char(command));
    return PacketData(bytes, PacketData::LittleEndian);
}

QString ACK::toString() const
{
    return QString::asprintf("{\n\tpacket:%s,\n\tcommand:0x%02x\n}", QStringFromPacketID(packet), command);
}

// ---- GPP --------------------------------------------------------------------------------

GPP::GPP()
{
    memset(password, 0x20, sizeof(password));
}

GPP::GPP(QString const& text)
    : GPP()
{
    setPassword(text);
}

GPP::GPP(PacketData const& data)
{
    for (int i = 0; i < SizeOf; ++i)
        password[i] = data.at(i);
}

void GPP::setPassword(QString const& text)
{
    QByteArray const utf8 = text.toUtf8();
    for (int i = 0; i < SizeOf; ++i)
        password[i] = i < utf8.size() ? uchar(utf8.at(i)) : uchar(0x20);
}

QString GPP::getPassword() const
{
    return QString::fromLatin1(reinterpret_cast<char const*>(password), SizeOf);
}

PacketData GPP::getData() const
{
    return PacketData(QByteArray(reinterpret_cast<char const*>(password), SizeOf), PacketData::LittleEndian);
}

QString GPP::toString() const
{
    // The network password must not reach the log.
    return QStringLiteral("{ %1 }").arg(QString(SizeOf, QLatin1Char('*')));
}

// ---- ERR --------------------------------------------------------------------------------

ERR::ERR(Code code, ErrorDetailsType details)
    : product(ProductID::OrvixTools)
    , versionMajor(2)
    , versionMinor(6)
    , code(code)
    , details(details)
{
}

ERR::ERR(PacketData const& data)
    : product(ProductID(data.readInt8(0)))
    , versionMajor(data.at(1))
    , versionMinor(data.at(2))
    , code(Code(data.at(3)))
    , details(data.readUInt32(4))
{
}

PacketData ERR::getData() const
{
    QByteArray bytes;
    bytes.append(char(qint8(product)));
    bytes.append(char(versionMajor));
    bytes.append(char(versionMinor));
    bytes.append(char(uchar(code & 0xFF)));
    int offset = 4;
    writeUInt32LE(bytes, details, offset);
    return PacketData(bytes, PacketData::LittleEndian);
}

QString ERR::toString() const
{
    return QString::asprintf("{\n\tproduct: %s,\n\tversion: %d.%d,\n\tcode: %d\n\tdetails: 0x%04x\n}",
                             QStringFromProductID(product), versionMajor, versionMinor, int(code), details);
}

// ---- SHP --------------------------------------------------------------------------------

SHP::SHP(PacketData const& data)
    : revision(data.at(0))
    , moduleAddress(data.at(1))
    , modulePort(data.at(2))
    , control(data.at(3))
    , calibration(data.at(4))
    , fusionMode(data.at(5))
    , quatW(data.readInt16(6))
    , quatX(data.readInt16(8))
    , quatY(data.readInt16(10))
    , quatZ(data.readInt16(12))
    , infraLevel(data.readUInt16(14))
    , batteryLevel(data.at(16))
    , status(data.at(17))
    , reserved(data.readUInt16(18))
{
}

PacketData SHP::getData() const
{
    QByteArray bytes;
    bytes.reserve(SizeOf);
    bytes.append(char(revision));
    bytes.append(char(moduleAddress));
    bytes.append(char(modulePort));
    bytes.append(char(control));
    bytes.append(char(calibration));
    bytes.append(char(fusionMode));
    int offset = 6;
    writeUInt16LE(bytes, quint16(quatW), offset);
    writeUInt16LE(bytes, quint16(quatX), offset);
    writeUInt16LE(bytes, quint16(quatY), offset);
    writeUInt16LE(bytes, quint16(quatZ), offset);
    writeUInt16LE(bytes, infraLevel, offset);
    bytes.append(char(batteryLevel));
    bytes.append(char(status));
    offset += 2;
    writeUInt16LE(bytes, reserved, offset);
    return PacketData(bytes, PacketData::LittleEndian);
}

namespace {

float levelPercent(CalibrationStatus level)
{
    float const f = float(level) * 0.33333f;
    return f > 0.9f ? 100.0f : f * 100.0f;
}

float levelPart(CalibrationStatus level)
{
    float const f = float(level) * 0.33333f;
    return f > 0.9f ? 33.333f : f * 100.0f * 0.33333f;
}

} // namespace

float SHP::getMagnetoCalibrationState() const
{
    return levelPercent(getMagnetoCalibrationStatus());
}

float SHP::getAcceleroCalibrationState() const
{
    return levelPercent(getAcceleroCalibrationStatus());
}

float SHP::getGyroCalibrationState() const
{
    return levelPercent(getGyroCalibrationStatus());
}

float SHP::getIMUCalibrationState() const
{
    return levelPercent(getIMUCalibrationStatus());
}

float SHP::getCalibrationProgress() const
{
    float const total = levelPart(getMagnetoCalibrationStatus()) + levelPart(getGyroCalibrationStatus())
        + levelPart(getAcceleroCalibrationStatus());
    return total > 90.0f ? 100.0f : total;
}

SHP::Quaternion SHP::getQuaternion() const
{
    constexpr float scale = 1.0f / 16384.0f;
    Quaternion q;
    q.w = float(quatW) * scale;
    q.x = float(quatX) * scale;
    q.y = float(quatY) * scale;
    q.z = float(quatZ) * scale;
    return q;
}

bool SHP::operator==(SHP const& o) const
{
    return getData() == o.getData();
}

QString SHP::toString() const
{
    return QString::asprintf("{\ntrevision:%d\n\tmodule:%d/%d,\n\tcontrol:%d,\n\timuStatus:%s,\n\tmagnetoStatus:%s,"
                             "\n\tgyroStatus:%s,\n\tacceleroStatus:%s,\n\tinfraLevel:%d,\n\tbatteryLevel:%d %%,"
                             "\n\tstatus:%s,\n}",
                             revision, moduleAddress, modulePort, control,
                             QStringFromCalibrationState(getIMUCalibrationStatus()),
                             QStringFromCalibrationState(getMagnetoCalibrationStatus()),
                             QStringFromCalibrationState(getGyroCalibrationStatus()),
                             QStringFromCalibrationState(getAcceleroCalibrationStatus()), infraLevel,
                             batteryLevel, QStringFromHeadsetState(status));
}

// ---- NPP --------------------------------------------------------------------------------

NPP::NPP(PacketData const& data)
    : product(ProductID(data.readInt8(0)))
    , versionMajor(data.at(1))
    , versionMinor(data.at(2))
    , versionFix(data.at(3))
    , build(data.readUInt16(4))
    , revision(data.at(16))
    , pan(data.readUInt16(17))
    , address(data.at(19))
{
    for (int i = 0; i < SerialSize; ++i)
        serial[i] = data.at(6 + i);
    // The record holds four submodules: a larger count is cut to four, and a count beyond
    // the payload to the whole submodules present.
    int n = qMin<int>(data.at(20), MaxSubmodules);
    int const present = qMax(0, (data.size() - FixedSize) / 2);
    n = qMin(n, present);
    count = uchar(n);
    for (int i = 0; i < n; ++i) {
        ports[i] = data.at(FixedSize + 2 * i);
        modes[i] = data.at(FixedSize + 1 + 2 * i);
    }
}

PacketData NPP::getData() const
{
    QByteArray bytes;
    int const n = submoduleCount();
    bytes.reserve(FixedSize + 2 * n);
    bytes.append(char(qint8(product)));
    bytes.append(char(versionMajor));
    bytes.append(char(versionMinor));
    bytes.append(char(versionFix));
    int offset = 4;
    writeUInt16LE(bytes, build, offset);
    bytes.append(reinterpret_cast<char const*>(serial), SerialSize);
    bytes.append(char(revision));
    offset = 17;
    writeUInt16LE(bytes, pan, offset);
    bytes.append(char(address));
    bytes.append(char(n));
    for (int i = 0; i < n; ++i) {
        bytes.append(char(ports[i]));
        bytes.append(char(modes[i]));
    }
    return PacketData(bytes, PacketData::LittleEndian);
}

QString NPP::getSerialNumber() const
{
    if (serial[0] == 0xFF)
        return QStringLiteral("---void---");
    int length = 0;
    while (length < SerialSize && serial[length] != 0)
        ++length;
    return QString::fromUtf8(reinterpret_cast<char const*>(serial), length);
}

QByteArray NPP::getSerialNumberCStr() const
{
    // QByteArray keeps a terminating zero after its data.
    return getSerialNumber().toUtf8();
}

OrvixDevice NPP::device(int index, uchar type) const
{
    if (index < 0 || index >= MaxSubmodules)
        return OrvixDevice();
    return OrvixDevice(address, uchar(ports[index] | OrvixDevice::EnabledBit),
                       uchar(((type & 0x0F) << 4) | (modes[index] & 0x0F)));
}

bool NPP::operator==(NPP const& other) const
{
    return product == other.product && pan == other.pan && address == other.address
        && memcmp(serial, other.serial, SerialSize) == 0;
}

QString NPP::toString() const
{
    QString text;
    QTextStream out(&text);
    QString const one = Print::repeat(QStringLiteral("\t"), 1);
    QString const two = Print::repeat(QStringLiteral("\t"), 2);
    out << "{";
    out << "\n" << one << "product: " << QStringFromProductID(product);
    out << "\n" << one << "version: " << getVersion().toStringHelper();
    out << "\n" << one << "serial: " << getSerialNumber();
    out << "\n" << one << "PAN: " << int(pan);
    out << "\n" << one << "address: " << int(address);
    out << "\n" << one << "count: " << int(count);
    out << "\n" << one << "submodules: [";
    for (int i = 0; i < submoduleCount(); ++i)
        out << "\n" << two << i << ": { port: " << int(ports[i]) << " - mode: " << int(modes[i]) << "}";
    out << "\n" << one << "]";
    out << "\n}";
    out.flush();
    return text;
}
