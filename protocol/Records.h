#pragma once

#include <QByteArray>
#include <QString>

#include "protocol/ChannelMap.h"
#include "protocol/Packet.h"

// Payload records of the dongle protocol. Each is a plain value parsed from a PacketData
// that holds exactly the payload (Frame::payloadOf strips the checksum of a received
// body); every field that lies past the end of the payload reads as 0.

// Product of a node, a signed byte.
enum class ProductID : qint8 {
    OrvixTools = -2, // this application
    Invalid = -1,
    Unknown = 0,
    Headset = 1,
    Dongle = 2,
    Link = 3,
    Remote = 4,
    Guide = 5,
};

// 2-bit calibration level of one sensor.
enum class CalibrationStatus : uchar {
    Level0 = 0,
    Level1 = 1,
    Level2 = 2,
    Level3 = 3,
};

// Mouse buttons as sent to the dongle (bit values).
enum class MouseButton : uchar {
    NoButton = 0,
    Left = 1,
    Right = 2,
    Middle = 4,
};

enum class MouseMode : uchar {
    Unknown = 0,
    Absolute = 1,
    Relative = 2,
    ACAT = 3,
};

// The dongle's radio state.
enum class DongleState : uchar {
    SERV_M = 0, // service mode
    IDLE = 1,
    HOP_N = 2,
    HOP_S = 3,
    HOP_CCL = 4,
    HOP_F = 5,
    SCAN = 6,
};

char const* QStringFromProductID(ProductID product);
char const* QStringFromProductID(int product);
char const* QStringFromCalibrationState(CalibrationStatus status);
char const* QStringFromCalibrationState(int status);
char const* QStringFromMouseButton(MouseButton button);
char const* QStringFromMouseButton(int button);
char const* QStringFromMouseMode(MouseMode mode);
char const* QStringFromMouseMode(int mode);
char const* QStringFromDongleState(DongleState state);
char const* QStringFromDongleState(int state);

// The headset status bits of the status record.
struct HeadsetState {
    enum Bits : uchar {
        hop_w_ch = 0x1,
        hop_w_fin = 0x2,
        win_open = 0x4,
        glob_turbo = 0x8,
        sleep_4 = 0x10,
        sleep_8 = 0x20,
        sleep_16 = 0x40,
        sleep_32 = 0x80,
    };

    uchar value = 0;

    HeadsetState(uchar value = 0)
        : value(value)
    {
    }

    // Compact text: "I:-:-:-:0" for 0, else e.g. "T:-:-:C:4" (turbo, sleep 4, window closed).
    QString toString() const { return toString(value); }
    static QString toString(uchar state);
};

// The compact headset state text as zero-terminated UTF-8; the pointer stays valid for the
// life of the program.
char const* QStringFromHeadsetState(uchar state);

// Firmware or application version.
struct DongleVersion {
    uchar major = 0;
    uchar minor = 0;
    uchar fix = 0;
    quint16 build = 0;

    DongleVersion() = default;
    DongleVersion(uchar major, uchar minor, uchar fix, quint16 build)
        : major(major)
        , minor(minor)
        , fix(fix)
        , build(build)
    {
    }

    // "%1.%2.%3 (%4)"
    QString toStringHelper() const { return toStringHelper(major, minor, fix, build); }
    QString toString() const { return toStringHelper(); }
    static QString toStringHelper(uint major, uint minor, uint fix, uint build);

    bool operator==(DongleVersion const& other) const
    {
        return major == other.major && minor == other.minor && fix == other.fix && build == other.build;
    }
    bool operator!=(DongleVersion const& other) const { return !(*this == other); }
};

// Command record: the payload of DCP, HCP, LCP and GRCP packets and their replies.
struct SCP {
    static constexpr int SizeOf = 3;

    uchar command = 0;
    uchar lsb = 0;
    uchar msb = 0;

    SCP() = default;
    SCP(uchar command, uchar lsb, uchar msb)
        : command(command)
        , lsb(lsb)
        , msb(msb)
    {
    }
    SCP(uchar command, quint16 value)
        : command(command)
        , lsb(uchar(value & 0xFF))
        , msb(uchar(value >> 8))
    {
    }
    explicit SCP(PacketData const& data);

    quint16 value() const { return quint16(lsb | (msb << 8)); }
    PacketData getData() const;
    QString toString() const;

    bool operator==(SCP const& o) const { return command == o.command && lsb == o.lsb && msb == o.msb; }
    bool operator!=(SCP const& o) const { return !(*this == o); }
};

// Acknowledge record (PID 0x0D).
struct ACK {
    static constexpr int SizeOf = 2;

    PacketID packet = PacketID(0xFF);
    uchar command = 0;

    ACK() = default;
    ACK(PacketID packet, uchar command)
        : packet(packet)
        , command(command)
    {
    }
    explicit ACK(PacketData const& data);

    PacketData getData() const;
    QString toString() const;
};

// Network password record: the payload of the KEY packet. The password never reaches a
// debug text in clear.
struct GPP {
    static constexpr int SizeOf = 16;

    uchar password[SizeOf];

    GPP();
    explicit GPP(QString const& text);
    explicit GPP(PacketData const& data);

    // UTF-8 bytes of the text, cut to 16 or padded with blanks to 16.
    void setPassword(QString const& text);
    // The 16 bytes as Latin-1 characters, trailing blanks included.
    QString getPassword() const;
    PacketData getData() const;
    // "{ %1 }" with the password masked.
    QString toString() const;
};

// Error record (PID 2).
struct ERR {
    static constexpr int SizeOf = 8;

    // Carried without interpretation; held as 32 bits, sent as one byte.
    enum Code : quint32 {
        NoError = 0,
    };
    using ErrorDetailsType = quint32;

    ProductID product = ProductID::Unknown;
    uchar versionMajor = 0;
    uchar versionMinor = 0;
    Code code = NoError;
    ErrorDetailsType details = 0;

    ERR() = default;
    // An error raised by this application: product -2, version 2.6.
    ERR(Code code, ErrorDetailsType details);
    explicit ERR(PacketData const& data);

    PacketData getData() const;
    QString toString() const;
};

using ErrorDetailsType = ERR::ErrorDetailsType;

// Headset status record (PID 1), 20 bytes.
struct SHP {
    static constexpr int SizeOf = 20;

    struct Quaternion {
        float w = 1.0f;
        float x = 0.0f;
        float y = 0.0f;
        float z = 0.0f;
    };

    uchar revision = 0;
    uchar moduleAddress = 0;
    uchar modulePort = 0;
    uchar control = 0;
    // 2-bit levels: bits 0-1 magnetometer, 2-3 accelerometer, 4-5 gyroscope, 6-7 IMU fusion.
    uchar calibration = 0;
    // The headset's IMU fusion mode.
    uchar fusionMode = 0;
    qint16 quatW = 0;
    qint16 quatX = 0;
    qint16 quatY = 0;
    qint16 quatZ = 0;
    quint16 infraLevel = 0;
    uchar batteryLevel = 0;
    uchar status = 0;
    // Carried and copied, not interpreted.
    quint16 reserved = 0;

    SHP() = default;
    explicit SHP(PacketData const& data);

    void update(SHP const& other) { *this = other; }
    PacketData getData() const;
    QString toString() const;

    CalibrationStatus getMagnetoCalibrationStatus() const { return CalibrationStatus(calibration & 3); }
    CalibrationStatus getAcceleroCalibrationStatus() const { return CalibrationStatus((calibration >> 2) & 3); }
    CalibrationStatus getGyroCalibrationStatus() const { return CalibrationStatus((calibration >> 4) & 3); }
    CalibrationStatus getIMUCalibrationStatus() const { return CalibrationStatus((calibration >> 6) & 3); }

    // Percent of one sensor's calibration: 0, 33.333, 66.666 or 100.
    float getMagnetoCalibrationState() const;
    float getAcceleroCalibrationState() const;
    float getGyroCalibrationState() const;
    float getIMUCalibrationState() const;
    // Overall percent of the magnetometer, gyroscope and accelerometer together.
    float getCalibrationProgress() const;
    // Byte 5: the fusion mode the headset's IMU runs in.
    OrvixDevice::Fusion getFusionMode() const { return OrvixDevice::Fusion(fusionMode); }

    Quaternion getQuaternion() const;

    bool operator==(SHP const& o) const;
    bool operator!=(SHP const& o) const { return !(*this == o); }
};

// Node identity record (PID 0x90): 21 + 2n bytes, at most 4 submodules.
struct NPP {
    static constexpr int FixedSize = 21;
    static constexpr int MaxSubmodules = 4;
    static constexpr int SerialSize = 10;

    ProductID product = ProductID::Unknown;
    uchar versionMajor = 0;
    uchar versionMinor = 0;
    uchar versionFix = 0;
    quint16 build = 0;
    uchar serial[SerialSize] = {};
    uchar revision = 0;
    quint16 pan = 0;
    uchar address = 0;
    // Submodules present, never above 4.
    uchar count = 0;
    uchar ports[MaxSubmodules] = {};
    uchar modes[MaxSubmodules] = {};

    NPP() = default;
    // A count above 4 is clamped to 4; submodules past the end of the payload are not taken.
    explicit NPP(PacketData const& data);

    void set(NPP const& other) { *this = other; }
    // Submodules actually held (count clamped to 4).
    int submoduleCount() const { return count < MaxSubmodules ? count : MaxSubmodules; }
    DongleVersion getVersion() const { return DongleVersion(versionMajor, versionMinor, versionFix, build); }

    PacketData getData() const;
    QString toString() const;
    // "---void---" when the first serial byte is 0xFF, else the bytes up to the first zero.
    QString getSerialNumber() const;
    QByteArray getSerialNumberCStr() const;

    // Channel-map entry of a submodule; all zero for an index outside 0-3.
    OrvixDevice device(int index, uchar type) const;

    // Product, PAN, address and serial number; version and submodules are not compared.
    bool operator==(NPP const& other) const;
    bool operator!=(NPP const& other) const { return !(*this == other); }
};
