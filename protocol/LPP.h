#pragma once

#include <QString>
#include <QStringList>

#include "protocol/Packet.h"

// The 27-byte parameter record of a LINK module (PID 0xBF). Fields are in wire order; the
// one 16-bit field (tremorFilter) is little-endian on the wire.
//
// The getters and setters work in user units (degrees, percent, seconds). Every setter
// clamps its argument to the field's limits and rounds halves away from zero; a NaN
// argument leaves the record unchanged. A whole record (stored, read back or built by hand)
// is checked against the same limits by outOfLimits(); the dongle refuses to send a record
// that fails it, so a bad value never reaches a wheelchair module.
struct LPP {
    static constexpr int SizeOf = 27;

    // The limits narrower than their field, in the record's own units.
    static constexpr int SafetyAngleMax = 170; // degrees
    static constexpr int EmergencyBreakWindowMin = 2; // 40 ms
    static constexpr int EmergencyBreakWindowMax = 50; // 1000 ms
    static constexpr int BackTiltOffsetMax = 100;
    static constexpr int TremorFilterMax = 65500; // 100 %

    // One parameter's limits: its name as a person reads it, its raw value, the raw limits,
    // and how a raw value is shown (raw x scale, then unit).
    struct Limit {
        char const* name;
        int (*raw)(LPP const&);
        int lo;
        int hi;
        double scale;
        char const* unit;
    };
    // Every parameter that has limits, in wire order. The setters clamp to the same limits.
    static QList<Limit> const& limits();

    // Names the field a form changed. Holds a bit set; converts to and from quint32.
    struct ChangeMask {
        static constexpr quint32 none = 0x0;
        static constexpr quint32 angleForward = 0x1;
        static constexpr quint32 angleBackward = 0x1; // shares the forward bit
        static constexpr quint32 angleLeft = 0x2;
        static constexpr quint32 angleRight = 0x4;
        static constexpr quint32 deadzoneInnerVertical = 0x8;
        static constexpr quint32 deadzoneOuterVertical = 0x10;
        static constexpr quint32 deadzoneInnerHorizontal = 0x20;
        static constexpr quint32 deadzoneOuterHorizontal = 0x40;
        static constexpr quint32 moveModeVertical = 0x80;
        static constexpr quint32 moveModeHorizontal = 0x100;
        static constexpr quint32 movePolarityVertical = 0x200;
        static constexpr quint32 movePolarityHorizontal = 0x400;
        static constexpr quint32 tremorFilter = 0x800;
        static constexpr quint32 safetyAngleForward = 0x1000;
        static constexpr quint32 safetyAngleBackward = 0x2000;
        static constexpr quint32 safetyAngleLeft = 0x4000;
        static constexpr quint32 safetyAngleRight = 0x8000;
        static constexpr quint32 emergencyBreakWindow = 0x10000;
        static constexpr quint32 emergencyBreakAmplitude = 0x20000;
        static constexpr quint32 emergencyBreakRequestZero = 0x40000;
        static constexpr quint32 backTiltWindow = 0x80000;
        static constexpr quint32 backTiltDelay = 0x100000;
        static constexpr quint32 backTiltOffset = 0x200000;
        static constexpr quint32 centerDelay = 0x400000;
        static constexpr quint32 fifthSwitchDelay = 0x800000;
        static constexpr quint32 reverseSoundEnabled = 0x1000000;
        static constexpr quint32 all = 0xFFFFFFFF;

        constexpr ChangeMask(quint32 bits = none)
            : value(bits)
        {
        }
        constexpr operator quint32() const { return value; }

        quint32 value;
    };

    uchar angleForward = 0;            // 0.5 degree steps
    uchar angleBackward = 0;           // 0.5 degree steps
    uchar angleLeft = 0;               // 0.5 degree steps
    uchar angleRight = 0;              // 0.5 degree steps
    uchar deadzoneInnerVertical = 0;   // 0.25 % of the mean forward/backward angle
    uchar deadzoneOuterVertical = 0;   // 0.25 % of the mean forward/backward angle
    uchar deadzoneInnerHorizontal = 0; // 0.25 % of the mean left/right angle
    uchar deadzoneOuterHorizontal = 0; // 0.25 % of the mean left/right angle
    uchar moveModeVertical = 0;        // 0 tilt, else turn
    uchar moveModeHorizontal = 0;      // 0 tilt, else turn
    uchar movePolarityVertical = 0;    // 0 normal, else reversed
    uchar movePolarityHorizontal = 0;  // 0 normal, else reversed
    quint16 tremorFilter = 0;          // percent x 655
    uchar safetyAngleForward = 0;      // whole degrees
    uchar safetyAngleBackward = 0;
    uchar safetyAngleLeft = 0;
    uchar safetyAngleRight = 0;
    uchar emergencyBreakWindow = 0;    // 20 ms steps
    uchar emergencyBreakAmplitude = 0;
    uchar emergencyBreakRequestZero = 0; // 0 off, else on
    uchar backTiltWindow = 0;          // 20 ms steps
    uchar backTiltDelay = 0;           // 20 ms steps
    uchar backTiltOffset = 0;
    uchar centerDelay = 0;             // whole seconds
    uchar fifthSwitchDelay = 0;        // whole seconds 0-5; 6 or more: fifth switch disabled
    uchar reverseSoundEnabled = 0;     // 1 enabled

    LPP() = default;
    LPP(uchar angleForward, uchar angleBackward, uchar angleLeft, uchar angleRight, uchar deadzoneInnerVertical,
        uchar deadzoneOuterVertical, uchar deadzoneInnerHorizontal, uchar deadzoneOuterHorizontal,
        uchar moveModeVertical, uchar moveModeHorizontal, uchar movePolarityVertical, uchar movePolarityHorizontal,
        quint16 tremorFilter, uchar safetyAngleForward, uchar safetyAngleBackward, uchar safetyAngleLeft,
        uchar safetyAngleRight, uchar emergencyBreakWindow, uchar emergencyBreakAmplitude,
        uchar emergencyBreakRequestZero, uchar backTiltWindow, uchar backTiltDelay, uchar backTiltOffset,
        uchar centerDelay, uchar fifthSwitchDelay, uchar reverseSoundEnabled);
    // Nothing past the end of the data is read; missing bytes are 0.
    explicit LPP(PacketData const& data);

    void set(LPP const& other) { *this = other; }
    PacketData getData() const;
    bool isEqual(LPP const& other) const;
    bool operator==(LPP const& other) const { return isEqual(other); }
    bool operator!=(LPP const& other) const { return !isEqual(other); }

    // Getters (degrees, percent, seconds).
    double getAngleForward() const { return angleForward * 0.5; }
    double getAngleBackward() const { return angleBackward * 0.5; }
    double getAngleLeft() const { return angleLeft * 0.5; }
    double getAngleRight() const { return angleRight * 0.5; }
    double getSafetyAngleForward() const { return safetyAngleForward; }
    double getSafetyAngleBackward() const { return safetyAngleBackward; }
    double getSafetyAngleLeft() const { return safetyAngleLeft; }
    double getSafetyAngleRight() const { return safetyAngleRight; }
    double getDeadzonePercentInnerVertical() const { return deadzoneInnerVertical * 0.25; }
    double getDeadzonePercentOuterVertical() const { return deadzoneOuterVertical * 0.25; }
    double getDeadzonePercentInnerHorizontal() const { return deadzoneInnerHorizontal * 0.25; }
    double getDeadzonePercentOuterHorizontal() const { return deadzoneOuterHorizontal * 0.25; }
    double getDeadzoneInnerVertical() const;
    double getDeadzoneOuterVertical() const;
    double getDeadzoneInnerHorizontal() const;
    double getDeadzoneOuterHorizontal() const;
    double getTremorFilterValue() const;
    double getEmergencyBreakWindowSeconds() const { return emergencyBreakWindow * 20 / 1000.0; }
    double getBackTiltWindowSeconds() const { return backTiltWindow * 20 / 1000.0; }
    double getBackTiltDelaySeconds() const { return backTiltDelay * 20 / 1000.0; }
    double getEmergencyBreakAmplitudeValue() const { return emergencyBreakAmplitude; }
    double getBackTiltOffsetValue() const { return backTiltOffset; }
    double getCenterDelay() const { return centerDelay; }
    uchar getFifthSwitchDelay() const { return fifthSwitchDelay; }
    bool isFifthSwitchEnable() const { return fifthSwitchDelay < 6; }
    bool isReverseSoundEnabled() const { return reverseSoundEnabled == 1; }
    // 2 when moveModeVertical is 0, else 0.
    int getVerticalMoveMode() const { return moveModeVertical == 0 ? 2 : 0; }
    // 1 when moveModeHorizontal is 1, else 2.
    int getHorizontalMoveMode() const { return moveModeHorizontal == 1 ? 1 : 2; }

    // Setters. An angle setter keeps the size in degrees of its axis's two dead zones.
    void setAngleForward(double degrees);
    void setAngleBackward(double degrees);
    void setAngleLeft(double degrees);
    void setAngleRight(double degrees);
    void setDeadzoneInnerVertical(double degrees);
    void setDeadzoneOuterVertical(double degrees);
    void setDeadzoneInnerHorizontal(double degrees);
    void setDeadzoneOuterHorizontal(double degrees);
    void setSafetyAngleForward(double degrees);
    void setSafetyAngleBackward(double degrees);
    void setSafetyAngleLeft(double degrees);
    void setSafetyAngleRight(double degrees);
    void setEmergencyBreakWindow(double seconds);
    void setEmergencyBreakAmplitude(double value);
    void setBackTiltDelayWindow(double seconds);
    void setBackTiltDelaySeconds(double seconds);
    void setBackTiltOffset(double value);
    void setTremorFilter(double percent);
    void setCenterDelay(double seconds);
    void setFifthSwitchDelay(int seconds);
    void setFifthSwitchEnable(bool enable);
    void setReverseSoundEnabled(bool enabled);

    // One text per parameter outside its limits, such as "safety angle forward 255° (limits
    // 0–170°)"; empty when every parameter is within its limits.
    QStringList outOfLimits() const;
    // Why the bytes of a record may not be sent to a LINK: "record of N bytes" when it is not
    // SizeOf long, else outOfLimits() of the record. Empty when it may be sent.
    static QStringList problemsOf(PacketData const& record);

    QString toString() const;
};
