#pragma once
// State of the emulated devices. Plain values: tests read a copy with Emulator::dongle() etc.
// and change them atomically with Emulator::updateDongle([](DongleModel& d) { ... }).
// Every default here is the emulator's choice where the real device's behaviour is open;
// README.md lists them.
#include "tools/emulator/Codec.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <utility>

namespace emu {

// Dongle radio states.
namespace state {
constexpr uint8_t ServiceMode = 0;
constexpr uint8_t Idle = 1;
constexpr uint8_t HopN = 2;
constexpr uint8_t HopS = 3;
constexpr uint8_t HopCcl = 4;
constexpr uint8_t HopF = 5;
constexpr uint8_t Scan = 6;
} // namespace state

// Dongle commands (payload byte 0 of a DCP frame).
namespace dcp {
constexpr uint8_t Stream = 1;
constexpr uint8_t Range = 2;       // write: lsb vertical %, msb horizontal %
constexpr uint8_t Filter = 3;      // write: msb %
constexpr uint8_t Pan = 5;         // write: 16-bit PAN
constexpr uint8_t RangeRead = 8;
constexpr uint8_t Zero = 9;        // also the audio-feedback notice (msb 1)
constexpr uint8_t Click = 10;      // also the click-button notice (msb button)
constexpr uint8_t FilterRead = 12;
constexpr uint8_t PanRead = 15;
constexpr uint8_t Revision = 16;
constexpr uint8_t Key = 17;        // also the held-key notice (lsb key, msb action)
constexpr uint8_t AutoZero = 18;
constexpr uint8_t Address = 19;
constexpr uint8_t AddressRead = 20;
constexpr uint8_t Passthrough = 22;
constexpr uint8_t Acat = 24;
constexpr uint8_t MouseMode = 25;
constexpr uint8_t Speed = 26;
constexpr uint8_t SpeedRead = 27;
constexpr uint8_t Autorange = 28;
constexpr uint8_t MouseModeRead = 30;
constexpr uint8_t AcatRead = 31;
constexpr uint8_t ServiceMode = 37;
constexpr uint8_t Identity = 43;
constexpr uint8_t State = 64;      // read, and the state notice
} // namespace dcp

// LINK commands (payload byte 0 of an LCP frame).
namespace lcp {
constexpr uint8_t Protocol = 2;
constexpr uint8_t Version = 6;
constexpr uint8_t State = 7;
constexpr uint8_t Bootloader = 13;
constexpr uint8_t ServiceQuery = 15;
constexpr uint8_t Identity = 97;
constexpr uint8_t Parameters = 100;
constexpr uint8_t ExitService = 101;
} // namespace lcp

// Headset commands (payload byte 0 of an HCP frame).
namespace hcp {
constexpr uint8_t Calibration = 0; // lsb 1 enter, 0 exit
constexpr uint8_t ChannelMap = 1;
constexpr uint8_t Turbo = 3;
constexpr uint8_t ExitService = 6;
constexpr uint8_t Identity = 10;
} // namespace hcp

// Channel-map presets.
namespace preset {
constexpr uint8_t LinkDrive = 0x18;
constexpr uint8_t LinkActuator = 0x28;
constexpr uint8_t Pc1 = 0x3B;
constexpr uint8_t Pc2 = 0x4B;
constexpr uint8_t ChairDrive = 0x58;
constexpr uint8_t LinkOutdoorDrive = 0x88;
} // namespace preset

constexpr uint16_t kServicePan = 1; // the network devices in service mode listen on

// A LINK's version word: lsb = major (2 bits) << 6 | fix (6 bits), msb = minor.
uint16_t linkVersionWord(uint8_t major, uint8_t minor, uint8_t fix);

struct DongleModel {
    // Identity and radio.
    uint8_t address = 4;
    uint16_t pan = 0x1234;
    uint8_t state = state::Idle;      // changed only through the state notice (64)
    uint8_t channel = 11;             // CH byte of every frame the dongle sends
    uint16_t revision = 156;          // answer to parameter 16
    uint8_t major = 2, minor = 4, fix = 1;
    uint16_t build = 1207;
    QByteArray serial = "DG24000017";

    // Mouse parameters as stored by the writes, keyed by the write command; the matching
    // read (30<-25, 12<-3, 8<-2, 27<-26, 31<-24) answers the stored (lsb, msb).
    std::map<uint8_t, std::pair<uint8_t, uint8_t>> params = {
        {dcp::MouseMode, {0, 1}}, {dcp::Filter, {0, 20}}, {dcp::Range, {50, 50}},
        {dcp::Speed, {0, 50}},    {dcp::Acat, {0, 0x20}},
    };
    bool stream = false;       // headset status stream (command 1)
    bool autoZero = false;     // command 18
    bool autorange = false;    // command 28
    uint8_t clickButton = 1;   // command 10
    std::set<uint8_t> heldKeys; // command 17
    int zeroCount = 0;         // command 9
    bool passthrough = false;  // command 22: the line belongs to the cabled LINK
    QByteArray password = QByteArray(16, ' ');

    // Behaviour where the device is open; see README.md.
    int replyDelayMs = 0;              // local echo delay
    int noticeDelayMs = 5;             // state notice after a service-mode change, click and key notices
    bool announceControl = true;       // notices 10 and 17 follow the commands 10 and 17
    uint8_t stateAfterServiceExit = state::Idle;
    bool stateNoticeOnServiceChange = true;
    bool serviceModeReachesNetwork = true; // service mode spreads to the devices and ends with the dongle's
    bool echoUnknownCommands = true;   // unknown local commands are echoed unchanged
    bool streamInServiceMode = false;  // forward headset statuses while in service mode
    bool identityAlsoEchoes = false;   // command 43 answers with an echo besides the NPP
    // Devices in service mode announce themselves with their NPP every beaconIntervalMs
    // (scaled); the dongle passes the beacons on only while it is in service mode itself
    // unless beaconsNeedServiceMode is false.
    int beaconIntervalMs = 1000;
    bool beaconsNeedServiceMode = true;
    // A device always hears frames sent to the service PAN (1), not only in service mode.
    bool servicePanAlwaysHeard = false;

    Identity identity() const; // product 2, answered to parameter 43
};

struct HeadsetModel {
    bool present = false;     // the headset exists on the radio network
    bool powered = true;      // false: silent (no status, no answers)
    bool inRange = true;      // false: silent, state kept
    uint16_t pan = 0x1234;
    uint16_t address = 2;
    uint8_t revision = 156;   // status byte 0 and identity revision
    uint8_t major = 1, minor = 6, fix = 3;
    uint16_t build = 412;
    QByteArray serial = "HS21000321";
    ChannelMapEntries channelMap = {{4, 0x81, preset::Pc1}, {3, 0x81, preset::LinkDrive}};

    // Status record fields.
    uint8_t moduleAddress = 4; // device controlled now (the dongle at 4 by default)
    uint8_t modulePort = 1;
    uint8_t control = 0;       // non-zero while actively controlling
    std::array<uint8_t, 4> levels = {3, 3, 3, 3}; // magneto, accelero, gyro, IMU fusion (0-3)
    uint8_t byte5 = 0;
    uint16_t infrared = 120;
    uint8_t battery = 87;
    uint8_t status = 0;        // HeadsetState bits; turbo sets 0x08
    uint16_t tail = 0;
    bool calibrating = false;
    bool serviceMode = false;
    // A headset switched on in service mode streams its status while the dongle is in service
    // mode too (whatever DongleModel::streamInServiceMode says), so that the dongle finds it and
    // reads its channel map during pairing.
    bool streamsInServiceMode = false;
    QByteArray password = QByteArray(16, ' ');

    // Head motion in the status stream: yaw/pitch/roll sines (degrees, period in ms of
    // emulated time). With motion off the fixed quaternion is sent.
    bool motion = true;
    double yawAmplitude = 20, pitchAmplitude = 10, rollAmplitude = 0;
    double yawPeriodMs = 4000, pitchPeriodMs = 5000, rollPeriodMs = 7000;
    std::array<int16_t, 4> quaternion = {16384, 0, 0, 0}; // w, x, y, z when motion is off
    // With motion on: a motion a person recognises instead of the sines, one gesture after the
    // other for gesturePeriodMs each: a slow nod, a turn, a tilt, repeated.
    bool gestures = false;
    double gestureAmplitude = 25;
    double gesturePeriodMs = 3000;

    int statusPeriodMs = 50;          // 20 Hz, scaled by the time scale
    int calibrationStepMs = 500;      // one level gained per step while calibrating
    // The order in which calibration raises the sensors (indices into levels: 0 magneto,
    // 1 accelero, 2 gyro, 3 IMU); each sensor reaches 3 before the next one starts.
    std::array<uint8_t, 4> calibrationOrder = {0, 1, 2, 3};
    int replyDelayMs = 5;             // radio round trip

    // Injectable behaviour.
    bool failChannelMapRead = false;  // never answer the channel-map read
    bool ignoreChannelMapWrite = false;
    // Non-zero: a channel-map write is answered with an ERR record carrying this code and the
    // map is not stored.
    uint8_t channelMapWriteError = 0;
    // The second byte of the acknowledgement of a channel-map write (ACK {3, byte}). It names no
    // verdict: the map is stored whatever it holds.
    uint8_t channelMapAckByte = 0;
    // Non-zero: a network password (KEY) is refused with an ERR record of this code and not kept.
    uint8_t keyError = 0;
    // Non-zero: a new PAN or address (GRCP 0 / 1) is refused with an ERR record of this code and
    // not taken.
    uint8_t networkError = 0;

    // The status record as the stream would send it at emulated time tMs.
    Status statusAt(double tMs) const;
    uint8_t calibrationByte() const;
    Identity identity() const;
    // Holds the head still at a pose in degrees: motion off, the fixed quaternion built so that
    // the application reads these Euler angles back (rotation about z, then x, then y).
    void setPose(double pitchDegrees, double yawDegrees, double rollDegrees);
    // Reads an order such as "gyro,magneto,accelero" (names magneto, accelero, gyro, imu;
    // sensors left out follow in their usual order). False, order unchanged, for an unknown
    // name or a repeated one.
    bool setCalibrationOrder(const QString& names);
};

struct LinkModel {
    bool powered = true;      // false: silent
    bool inRange = true;
    bool answering = true;    // false: a LINK that stopped answering
    uint16_t pan = 0x1234;
    uint8_t address = 3;
    uint8_t revision = 156;
    uint8_t major = 1, minor = 11, fix = 5; // version word: lsb = major<<6 | fix, msb = minor
    uint16_t build = 88;
    QByteArray serial = "LK19000442";
    std::vector<std::pair<uint8_t, uint8_t>> submodules = {{1, 8}};
    bool active = false;      // answer to the state query (msb 1 or 0)
    bool serviceMode = false;
    // false: a new address or PAN (GRCP 1 / 0) is taken at once, after the ACK. true: both are
    // kept pending and taken only when the LINK leaves service mode (LCP 101 or the dongle's exit).
    bool addressOnServiceExit = false;
    int pendingPan = -1;      // -1: none
    int pendingAddress = -1;
    QByteArray password = QByteArray(16, ' '); // the last network password accepted
    uint8_t keyError = 0;     // non-zero: KEY refused with an ERR record of this code
    uint8_t networkError = 0; // non-zero: GRCP 0 / 1 refused with an ERR record of this code
    QByteArray parameters = defaultParameters(); // 27 bytes
    // Optional clamp applied to a written parameter record before it is stored and sent back.
    std::function<QByteArray(const QByteArray&)> clamp;
    int replyDelayMs = 5;

    Identity identity() const;
    uint16_t versionWord() const { return linkVersionWord(major, minor, fix); }
    static QByteArray defaultParameters();
    // A clamp limiting every angle byte (0-3) to maxHalfDegrees, as a LINK with a limit does.
    static std::function<QByteArray(const QByteArray&)> angleClamp(uint8_t maxHalfDegrees);
};

// Another radio device of the network that only takes part in service mode: another computer's
// dongle (product 2, presets 59/75 in a channel map) or a chair remote (product 4, presets 88,
// 104, 120). In service mode it beacons its identity and answers a network password (KEY) with
// ACK {0x2A, 0} and a new PAN or address (GRCP 0 / 1) with ACK {0x40, command}, taking it at once;
// anything else it leaves unanswered.
struct PeerModel {
    int8_t product = 2;
    bool powered = true;
    bool inRange = true;
    bool answering = true;    // false: heard but silent
    uint16_t pan = 0x1234;
    uint8_t address = 5;
    uint8_t revision = 156;
    uint8_t major = 2, minor = 4, fix = 1;
    uint16_t build = 1207;
    QByteArray serial = "DG24000031";
    bool serviceMode = false;
    QByteArray password = QByteArray(16, ' ');
    uint8_t keyError = 0;     // non-zero: KEY refused with an ERR record of this code
    uint8_t networkError = 0; // non-zero: GRCP 0 / 1 refused with an ERR record of this code
    int replyDelayMs = 5;

    Identity identity() const;
    // A chair remote at address with the remote's identity fields.
    static PeerModel remote(uint8_t address);
};

// The LINK on the dongle's cable, reached in pass-through mode.
struct CabledLinkModel {
    bool connected = true;
    bool dead = false;        // silent until it sees the recovery string, then its bootloader
    uint8_t revision = 156;
    uint8_t major = 1, minor = 11, fix = 5;
    uint16_t build = 88;
    QByteArray serial = "LK19000442";
    // Its own network address, the source of its answers and the address in its NPP; 0: it
    // answers as whatever address the frame was sent to.
    uint8_t address = 0;
    bool serviceMode = true;
    uint8_t nextMajor = 1, nextMinor = 12, nextFix = 0; // version after a completed upload
    QByteArray recoveryString = "Z3Q";
    int restartDelayMs = 200;          // firmware -> bootloader, and back after the upload
    int beaconIntervalMs = 1000;       // the ready byte 'C' while waiting for the first block
    int replyDelayMs = 2;

    // Injectable upload faults. Block indexes count the blocks of a transfer from 1 and do
    // not wrap (index 256 travels with block number 0).
    std::map<int, int> nakBlock;        // index -> good receptions answered with NAK first
    std::map<int, int> silentBlock;     // index -> receptions left unanswered (-1: all)
    std::map<int, int> lostAck;         // index -> receptions accepted whose ACK is lost
    std::map<int, char> answerBlockWith;// index -> byte answered instead of the ACK (garbage)
    enum class EotAnswer { Ack, Nak, Silence };
    EotAnswer eotAnswer = EotAnswer::Ack;
    int eotFaults = 1;                  // EOTs answered by NAK or silence before the ACK (-1: all)
    // The EOT after the faults is acknowledged only once the line has been silent for a whole
    // beacon period (lrzsz's rx waits a second); a byte meanwhile starts the wait again.
    bool eotAckAfterSilence = false;
    int beaconLimit = -1;               // beacons before they stop (-1: no limit)

    Identity identity() const;
    uint16_t versionWord() const { return linkVersionWord(major, minor, fix); }
};

enum class CabledLinkMode { Firmware, Restarting, Bootloader, Dead };

} // namespace emu
