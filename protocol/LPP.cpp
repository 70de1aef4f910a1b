#include "protocol/LPP.h"

#include "protocol/Print.h"

#include <QTextStream>

#include <cmath>

namespace {

// Clamps value to [lo, hi] and rounds halves away from zero. False for NaN: the caller then
// leaves its field as it is.
bool clampRound(double value, double lo, double hi, double& out)
{
    if (std::isnan(value))
        return false;
    out = std::round(value < lo ? lo : (value > hi ? hi : value));
    return true;
}

void storeByte(uchar& field, double value, double lo, double hi)
{
    double rounded = 0;
    if (clampRound(value, lo, hi, rounded))
        field = uchar(rounded);
}

// A time in seconds clamped in milliseconds and stored in 20 ms steps.
void storeMilliseconds(uchar& field, double seconds, double loMs, double hiMs)
{
    if (std::isnan(seconds))
        return;
    double ms = seconds * 1000.0;
    ms = ms < loMs ? loMs : (ms > hiMs ? hiMs : ms);
    field = uchar(std::round(ms / 20.0));
}

// Dead zone of an axis in degrees, to the nearest 0.5: mean angle x percent / 100.
double deadzoneDegrees(uchar angleA, uchar angleB, uchar deadzone)
{
    double const sum = angleA * 0.5 + angleB * 0.5;
    return OX::rounded(sum / 2.0 * (deadzone * 0.25) / 100.0, 0.5);
}

// Stores the dead zone of `degrees` on an axis whose two angles sum to `sum` degrees.
void storeDeadzone(uchar& field, double degrees, double sum)
{
    if (std::isnan(degrees))
        return;
    double const percent = sum > 0 ? degrees * 2.0 / sum * 100.0 : 0.0;
    storeByte(field, percent * 4.0, 0.0, 63.75 * 4.0);
}

// Sets one angle of an axis and rescales the axis's dead zones to keep their size in degrees.
void setAxisAngle(uchar& angle, uchar const& other, uchar& inner, uchar& outer, double degrees)
{
    if (std::isnan(degrees))
        return;
    double const innerDegrees = deadzoneDegrees(angle, other, inner);
    double const outerDegrees = deadzoneDegrees(angle, other, outer);
    storeByte(angle, degrees * 2.0, 0.0, 255.0);
    double const sum = angle * 0.5 + other * 0.5;
    if (sum <= 0) {
        inner = 0;
        outer = 0;
        return;
    }
    storeDeadzone(inner, innerDegrees, sum);
    storeDeadzone(outer, outerDegrees, sum);
}

} // namespace

LPP::LPP(uchar angleForward, uchar angleBackward, uchar angleLeft, uchar angleRight, uchar deadzoneInnerVertical,
         uchar deadzoneOuterVertical, uchar deadzoneInnerHorizontal, uchar deadzoneOuterHorizontal,
         uchar moveModeVertical, uchar moveModeHorizontal, uchar movePolarityVertical, uchar movePolarityHorizontal,
         quint16 tremorFilter, uchar safetyAngleForward, uchar safetyAngleBackward, uchar safetyAngleLeft,
         uchar safetyAngleRight, uchar emergencyBreakWindow, uchar emergencyBreakAmplitude,
         uchar emergencyBreakRequestZero, uchar backTiltWindow, uchar backTiltDelay, uchar backTiltOffset,
         uchar centerDelay, uchar fifthSwitchDelay, uchar reverseSoundEnabled)
    : angleForward(angleForward)
    , angleBackward(angleBackward)
    , angleLeft(angleLeft)
    , angleRight(angleRight)
    , deadzoneInnerVertical(deadzoneInnerVertical)
    , deadzoneOuterVertical(deadzoneOuterVertical)
    , deadzoneInnerHorizontal(deadzoneInnerHorizontal)
    , deadzoneOuterHorizontal(deadzoneOuterHorizontal)
    , moveModeVertical(moveModeVertical)
    , moveModeHorizontal(moveModeHorizontal)
    , movePolarityVertical(movePolarityVertical)
    , movePolarityHorizontal(movePolarityHorizontal)
    , tremorFilter(tremorFilter)
    , safetyAngleForward(safetyAngleForward)
    , safetyAngleBackward(safetyAngleBackward)
    , safetyAngleLeft(safetyAngleLeft)
    , safetyAngleRight(safetyAngleRight)
    , emergencyBreakWindow(emergencyBreakWindow)
    , emergencyBreakAmplitude(emergencyBreakAmplitude)
    , emergencyBreakRequestZero(emergencyBreakRequestZero)
    , backTiltWindow(backTiltWindow)
    , backTiltDelay(backTiltDelay)
    , backTiltOffset(backTiltOffset)
    , centerDelay(centerDelay)
    , fifthSwitchDelay(fifthSwitchDelay)
    , reverseSoundEnabled(reverseSoundEnabled)
{
}

LPP::LPP(PacketData const& data)
    : angleForward(data.at(0))
    , angleBackward(data.at(1))
    , angleLeft(data.at(2))
    , angleRight(data.at(3))
    , deadzoneInnerVertical(data.at(4))
    , deadzoneOuterVertical(data.at(5))
    , deadzoneInnerHorizontal(data.at(6))
    , deadzoneOuterHorizontal(data.at(7))
    , moveModeVertical(data.at(8))
    , moveModeHorizontal(data.at(9))
    , movePolarityVertical(data.at(10))
    , movePolarityHorizontal(data.at(11))
    , tremorFilter(data.readUInt16(12))
    , safetyAngleForward(data.at(14))
    , safetyAngleBackward(data.at(15))
    , safetyAngleLeft(data.at(16))
    , safetyAngleRight(data.at(17))
    , emergencyBreakWindow(data.at(18))
    , emergencyBreakAmplitude(data.at(19))
    , emergencyBreakRequestZero(data.at(20))
    , backTiltWindow(data.at(21))
    , backTiltDelay(data.at(22))
    , backTiltOffset(data.at(23))
    , centerDelay(data.at(24))
    , fifthSwitchDelay(data.at(25))
    , reverseSoundEnabled(data.at(26))
{
}

PacketData LPP::getData() const
{
    QByteArray bytes;
    bytes.reserve(SizeOf);
    for (uchar b : { angleForward, angleBackward, angleLeft, angleRight, deadzoneInnerVertical,
                     deadzoneOuterVertical, deadzoneInnerHorizontal, deadzoneOuterHorizontal, moveModeVertical,
                     moveModeHorizontal, movePolarityVertical, movePolarityHorizontal })
        bytes.append(char(b));
    int offset = 12;
    writeUInt16LE(bytes, tremorFilter, offset);
    for (uchar b : { safetyAngleForward, safetyAngleBackward, safetyAngleLeft, safetyAngleRight,
                     emergencyBreakWindow, emergencyBreakAmplitude, emergencyBreakRequestZero, backTiltWindow,
                     backTiltDelay, backTiltOffset, centerDelay, fifthSwitchDelay, reverseSoundEnabled })
        bytes.append(char(b));
    return PacketData(bytes, PacketData::LittleEndian);
}

bool LPP::isEqual(LPP const& other) const
{
    return getData() == other.getData();
}

// ---- getters ----------------------------------------------------------------------------

double LPP::getDeadzoneInnerVertical() const
{
    return deadzoneDegrees(angleForward, angleBackward, deadzoneInnerVertical);
}

double LPP::getDeadzoneOuterVertical() const
{
    return deadzoneDegrees(angleForward, angleBackward, deadzoneOuterVertical);
}

double LPP::getDeadzoneInnerHorizontal() const
{
    return deadzoneDegrees(angleLeft, angleRight, deadzoneInnerHorizontal);
}

double LPP::getDeadzoneOuterHorizontal() const
{
    return deadzoneDegrees(angleLeft, angleRight, deadzoneOuterHorizontal);
}

double LPP::getTremorFilterValue() const
{
    return OX::rounded(tremorFilter / 1000.0 / 65.5 * 100.0, 0.5);
}

// ---- setters ----------------------------------------------------------------------------

void LPP::setAngleForward(double degrees)
{
    setAxisAngle(angleForward, angleBackward, deadzoneInnerVertical, deadzoneOuterVertical, degrees);
}

void LPP::setAngleBackward(double degrees)
{
    setAxisAngle(angleBackward, angleForward, deadzoneInnerVertical, deadzoneOuterVertical, degrees);
}

void LPP::setAngleLeft(double degrees)
{
    setAxisAngle(angleLeft, angleRight, deadzoneInnerHorizontal, deadzoneOuterHorizontal, degrees);
}

void LPP::setAngleRight(double degrees)
{
    setAxisAngle(angleRight, angleLeft, deadzoneInnerHorizontal, deadzoneOuterHorizontal, degrees);
}

void LPP::setDeadzoneInnerVertical(double degrees)
{
    storeDeadzone(deadzoneInnerVertical, degrees, getAngleForward() + getAngleBackward());
}

void LPP::setDeadzoneOuterVertical(double degrees)
{
    storeDeadzone(deadzoneOuterVertical, degrees, getAngleForward() + getAngleBackward());
}

void LPP::setDeadzoneInnerHorizontal(double degrees)
{
    storeDeadzone(deadzoneInnerHorizontal, degrees, getAngleLeft() + getAngleRight());
}

void LPP::setDeadzoneOuterHorizontal(double degrees)
{
    storeDeadzone(deadzoneOuterHorizontal, degrees, getAngleLeft() + getAngleRight());
}

void LPP::setSafetyAngleForward(double degrees)
{
    storeByte(safetyAngleForward, degrees, 0, SafetyAngleMax);
}

void LPP::setSafetyAngleBackward(double degrees)
{
    storeByte(safetyAngleBackward, degrees, 0, SafetyAngleMax);
}

void LPP::setSafetyAngleLeft(double degrees)
{
    storeByte(safetyAngleLeft, degrees, 0, SafetyAngleMax);
}

void LPP::setSafetyAngleRight(double degrees)
{
    storeByte(safetyAngleRight, degrees, 0, SafetyAngleMax);
}

void LPP::setEmergencyBreakWindow(double seconds)
{
    storeMilliseconds(
        emergencyBreakWindow, seconds, EmergencyBreakWindowMin * 20, EmergencyBreakWindowMax * 20);
}

void LPP::setEmergencyBreakAmplitude(double value)
{
    storeByte(emergencyBreakAmplitude, value, 0, 255);
}

void LPP::setBackTiltDelayWindow(double seconds)
{
    storeMilliseconds(backTiltWindow, seconds, 0, 5100);
}

void LPP::setBackTiltDelaySeconds(double seconds)
{
    storeMilliseconds(backTiltDelay, seconds, 0, 5100);
}

void LPP::setBackTiltOffset(double value)
{
    storeByte(backTiltOffset, value, 0, BackTiltOffsetMax);
}

void LPP::setTremorFilter(double percent)
{
    if (std::isnan(percent))
        return;
    double const p = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
    tremorFilter = quint16(std::round(p / 100.0 * TremorFilterMax));
}

void LPP::setCenterDelay(double seconds)
{
    storeByte(centerDelay, seconds, 0, 255);
}

void LPP::setFifthSwitchDelay(int seconds)
{
    fifthSwitchDelay = uchar(seconds < 0 ? 0 : (seconds > 5 ? 5 : seconds));
}

void LPP::setFifthSwitchEnable(bool enable)
{
    if (enable) {
        if (fifthSwitchDelay >= 6)
            fifthSwitchDelay = 0;
    } else {
        fifthSwitchDelay = 6;
    }
}

void LPP::setReverseSoundEnabled(bool enabled)
{
    reverseSoundEnabled = enabled ? 1 : 0;
}

// ---- limits -----------------------------------------------------------------------------

QList<LPP::Limit> const& LPP::limits()
{
    static QList<Limit> const table = {
        { "angle forward", [](LPP const& p) { return int(p.angleForward); }, 0, 255, 0.5, "\u00B0" },
        { "angle backward", [](LPP const& p) { return int(p.angleBackward); }, 0, 255, 0.5, "\u00B0" },
        { "angle left", [](LPP const& p) { return int(p.angleLeft); }, 0, 255, 0.5, "\u00B0" },
        { "angle right", [](LPP const& p) { return int(p.angleRight); }, 0, 255, 0.5, "\u00B0" },
        { "inner dead zone vertical", [](LPP const& p) { return int(p.deadzoneInnerVertical); }, 0, 255, 0.25,
            " %" },
        { "outer dead zone vertical", [](LPP const& p) { return int(p.deadzoneOuterVertical); }, 0, 255, 0.25,
            " %" },
        { "inner dead zone horizontal", [](LPP const& p) { return int(p.deadzoneInnerHorizontal); }, 0, 255,
            0.25, " %" },
        { "outer dead zone horizontal", [](LPP const& p) { return int(p.deadzoneOuterHorizontal); }, 0, 255,
            0.25, " %" },
        { "tremor filter", [](LPP const& p) { return int(p.tremorFilter); }, 0, TremorFilterMax,
            100.0 / TremorFilterMax, " %" },
        { "safety angle forward", [](LPP const& p) { return int(p.safetyAngleForward); }, 0, SafetyAngleMax,
            1, "\u00B0" },
        { "safety angle backward", [](LPP const& p) { return int(p.safetyAngleBackward); }, 0, SafetyAngleMax,
            1, "\u00B0" },
        { "safety angle left", [](LPP const& p) { return int(p.safetyAngleLeft); }, 0, SafetyAngleMax, 1,
            "\u00B0" },
        { "safety angle right", [](LPP const& p) { return int(p.safetyAngleRight); }, 0, SafetyAngleMax, 1,
            "\u00B0" },
        { "emergency-brake window", [](LPP const& p) { return int(p.emergencyBreakWindow); },
            EmergencyBreakWindowMin, EmergencyBreakWindowMax, 20, " ms" },
        { "emergency-brake amplitude", [](LPP const& p) { return int(p.emergencyBreakAmplitude); }, 0, 255, 1,
            "" },
        { "back-tilt window", [](LPP const& p) { return int(p.backTiltWindow); }, 0, 255, 20, " ms" },
        { "back-tilt delay", [](LPP const& p) { return int(p.backTiltDelay); }, 0, 255, 20, " ms" },
        { "back-tilt offset", [](LPP const& p) { return int(p.backTiltOffset); }, 0, BackTiltOffsetMax, 1,
            "" },
        { "center delay", [](LPP const& p) { return int(p.centerDelay); }, 0, 255, 1, " s" },
    };
    return table;
}

QStringList LPP::outOfLimits() const
{
    QStringList problems;
    for (Limit const& limit : limits()) {
        int const raw = limit.raw(*this);
        if (raw >= limit.lo && raw <= limit.hi)
            continue;
        QString const unit = QString::fromUtf8(limit.unit);
        auto shown = [&](int value) { return QString::number(value * limit.scale, 'g', 6); };
        problems << QStringLiteral("%1 %2 (limits %3\u2013%4)")
                        .arg(QString::fromLatin1(limit.name), shown(raw) + unit, shown(limit.lo),
                            shown(limit.hi) + unit);
    }
    return problems;
}

QStringList LPP::problemsOf(PacketData const& record)
{
    if (record.size() != SizeOf)
        return { QStringLiteral("record of %1 bytes").arg(record.size()) };
    return LPP(record).outOfLimits();
}

// ---- debug text -------------------------------------------------------------------------

QString LPP::toString() const
{
    QString text;
    QTextStream out(&text);
    out.setCodec("UTF-8");
    QString const deg = QStringLiteral("\u00BA");
    auto line = [&](int level) -> QTextStream& {
        out << "\n" << Print::repeat(QStringLiteral("\t"), level);
        return out;
    };
    auto angleLine = [&](char const* label, double degrees, uchar raw, uchar safetyRaw) {
        line(2) << label << degrees << deg << " <" << int(raw) << "> (" << double(safetyRaw) << deg << " <"
                << int(safetyRaw) << ">)";
    };
    auto deadzoneLine = [&](char const* label, double degrees, double percent, uchar raw) {
        line(2) << label << degrees << deg << " (" << percent << "%) <" << int(raw) << ">";
    };

    out << "{";
    line(1) << "tremor filter: " << getTremorFilterValue() << "% (" << tremorFilter / 1000.0 << "%) <"
            << int(tremorFilter) << ">";
    line(1) << "center delay: " << getCenterDelay() << " sec <" << int(centerDelay) << ">";
    line(1) << "5th swicth delay: " << int(fifthSwitchDelay) << " sec <" << int(fifthSwitchDelay) << ">";
    line(1) << "reverse sound: " << (reverseSoundEnabled ? "on" : "off") << " <" << int(reverseSoundEnabled) << ">";

    line(1) << "vertical {";
    angleLine("forward angle: ", getAngleForward(), angleForward, safetyAngleForward);
    angleLine("backward angle: ", getAngleBackward(), angleBackward, safetyAngleBackward);
    deadzoneLine("deadzone innner: ", getDeadzoneInnerVertical(), getDeadzonePercentInnerVertical(),
                 deadzoneInnerVertical);
    deadzoneLine("deadzone outer: ", getDeadzoneOuterVertical(), getDeadzonePercentOuterVertical(),
                 deadzoneOuterVertical);
    line(2) << "mode: " << (moveModeVertical ? "turn" : "tilt") << " <" << int(moveModeVertical) << ">";
    line(2) << "polarity: " << (movePolarityVertical ? "reversed" : "normal") << " <" << int(movePolarityVertical)
            << ">";
    line(1) << "}";

    line(1) << "horizontal {";
    angleLine("left: ", getAngleLeft(), angleLeft, safetyAngleLeft);
    angleLine("right: ", getAngleRight(), angleRight, safetyAngleRight);
    deadzoneLine("deadzone innner: ", getDeadzoneInnerHorizontal(), getDeadzonePercentInnerHorizontal(),
                 deadzoneInnerHorizontal);
    deadzoneLine("deadzone outer: ", getDeadzoneOuterHorizontal(), getDeadzonePercentOuterHorizontal(),
                 deadzoneOuterHorizontal);
    line(2) << "mode: " << (moveModeHorizontal ? "turn" : "tilt") << " <" << int(moveModeHorizontal) << ">";
    line(2) << "polarity: " << (movePolarityHorizontal ? "reversed" : "normal") << " <"
            << int(movePolarityHorizontal) << ">";
    line(1) << "}";

    line(1) << "emergency break {";
    line(2) << "time frame: " << getEmergencyBreakWindowSeconds() << " secs <" << int(emergencyBreakWindow) << ">";
    line(2) << "amplitude: " << getEmergencyBreakAmplitudeValue() << "% <" << int(emergencyBreakAmplitude) << ">";
    line(2) << "request zero: " << (emergencyBreakRequestZero ? "on" : "off") << " <"
            << int(emergencyBreakRequestZero) << ">";
    line(1) << "}";

    line(1) << "back tilt {";
    line(2) << "time frame: " << getBackTiltWindowSeconds() << " secs <" << int(backTiltWindow) << ">";
    line(2) << "delay: " << getBackTiltDelaySeconds() << " secs <" << int(backTiltDelay) << ">";
    line(2) << "offset: " << getBackTiltOffsetValue() << "% <" << int(backTiltOffset) << ">";
    line(1) << "}";

    out << "\n}";
    out.flush();
    return text;
}
