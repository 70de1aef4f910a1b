#include "device/MouseProfile.h"
#include "protocol/Print.h"

#include <QTextStream>

#include <cmath>

namespace {

float clampFraction(float value)
{
    if (std::isnan(value) || value < 0.0f)
        return 0.0f;
    if (value > 1.0f)
        return 1.0f;
    return value;
}

QString indentation(int depth)
{
    return Print::repeat(QStringLiteral("\t"), depth);
}

const char* boolText(bool value)
{
    return value ? "true" : "false";
}

} // namespace

// The built-in names are shown translated in the context "MouseProfile".
const MouseProfile MouseProfile::Normal(QLatin1String(QT_TRANSLATE_NOOP("MouseProfile", "Normal")),
    MouseMode(1), true, 15000, true, true, 0.5f, 0.5f, 0.5f, false, 0.5f, 205);
const MouseProfile MouseProfile::Restricted(QLatin1String(QT_TRANSLATE_NOOP("MouseProfile", "Restricted")),
    MouseMode(1), true, 15000, true, true, 0.5f, 0.25f, 0.25f, false, 0.75f, 205);
const MouseProfile MouseProfile::Tremor(QLatin1String(QT_TRANSLATE_NOOP("MouseProfile", "Tremor")),
    MouseMode(1), true, 15000, true, true, 0.75f, 0.75f, 0.75f, false, 0.25f, 205);

MouseProfile::MouseProfile(QObject* parent)
    : QObject(parent)
    , m_name(QStringLiteral("undefined"))
    , m_controlMode(MouseMode(1))
    , m_autoZeroEnable(true)
    , m_zeroTimeInterval(5000)
    , m_audioFeedback(true)
    , m_visualFeedback(true)
    , m_tremorFilter(0.25f)
    , m_horizontalViewAnglePercent(0.5f)
    , m_verticalViewAnglePercent(0.5f)
    , m_autorange(false)
    , m_mouseSpeedPercent(0.5f)
    , m_ACATKeyCode(205)
{
}

MouseProfile::MouseProfile(const QString& name_, MouseMode controlMode_, bool autoZeroEnable_,
                           int zeroTimeInterval_, bool audioFeedback_, bool visualFeedback_,
                           float tremorFilter_, float horizontalViewAnglePercent_,
                           float verticalViewAnglePercent_, bool autorange_, float mouseSpeedPercent_,
                           KeyCode ACATKeyCode_)
    : QObject(nullptr)
    , m_name(name_)
    , m_controlMode(controlMode_)
    , m_autoZeroEnable(autoZeroEnable_)
    , m_zeroTimeInterval(zeroTimeInterval_)
    , m_audioFeedback(audioFeedback_)
    , m_visualFeedback(visualFeedback_)
    , m_tremorFilter(tremorFilter_)
    , m_horizontalViewAnglePercent(horizontalViewAnglePercent_)
    , m_verticalViewAnglePercent(verticalViewAnglePercent_)
    , m_autorange(autorange_)
    , m_mouseSpeedPercent(mouseSpeedPercent_)
    , m_ACATKeyCode(ACATKeyCode_)
{
}

MouseProfile::MouseProfile(const MouseProfile& other)
    : QObject(nullptr)
    , m_name(other.m_name)
{
    copySettings(other);
}

MouseProfile::MouseProfile(const QString& name_, const MouseProfile& other)
    : QObject(nullptr)
    , m_name(name_)
{
    copySettings(other);
}

MouseProfile::~MouseProfile() = default;

void MouseProfile::copySettings(const MouseProfile& other)
{
    m_controlMode = other.m_controlMode;
    m_autoZeroEnable = other.m_autoZeroEnable;
    m_zeroTimeInterval = other.m_zeroTimeInterval;
    m_audioFeedback = other.m_audioFeedback;
    m_visualFeedback = other.m_visualFeedback;
    m_tremorFilter = other.m_tremorFilter;
    m_horizontalViewAnglePercent = other.m_horizontalViewAnglePercent;
    m_verticalViewAnglePercent = other.m_verticalViewAnglePercent;
    m_autorange = other.m_autorange;
    m_mouseSpeedPercent = other.m_mouseSpeedPercent;
    m_ACATKeyCode = other.m_ACATKeyCode;
}

MouseProfile& MouseProfile::operator=(const MouseProfile& other)
{
    if (this != &other)
        copySettings(other);
    emit profileChanged(*this);
    return *this;
}

bool MouseProfile::isEqual(const MouseProfile& other, bool compareNames) const
{
    const bool same = int(m_controlMode) == int(other.m_controlMode) && m_autoZeroEnable == other.m_autoZeroEnable
        && m_zeroTimeInterval == other.m_zeroTimeInterval && m_audioFeedback == other.m_audioFeedback
        && m_visualFeedback == other.m_visualFeedback && m_tremorFilter == other.m_tremorFilter
        && m_horizontalViewAnglePercent == other.m_horizontalViewAnglePercent
        && m_verticalViewAnglePercent == other.m_verticalViewAnglePercent && m_autorange == other.m_autorange
        && m_mouseSpeedPercent == other.m_mouseSpeedPercent && m_ACATKeyCode == other.m_ACATKeyCode;
    if (!same)
        return false;
    return !compareNames || m_name.compare(other.m_name, Qt::CaseInsensitive) == 0;
}

QString MouseProfile::toString(int depth) const
{
    QString text;
    QTextStream s(&text);
    const QString ind = indentation(depth);
    s << "{";
    s << "\n" << ind << "name: " << m_name;
    s << "\n" << ind << "mode: " << QString(QStringFromMouseMode(m_controlMode));
    s << "\n" << ind << "autoZero: " << boolText(m_autoZeroEnable);
    s << "\n" << ind << "zeroTimeInterval: " << m_zeroTimeInterval;
    s << "\n" << ind << "audioFeedback: " << boolText(m_audioFeedback);
    s << "\n" << ind << "visualFeedback: " << boolText(m_visualFeedback);
    s << "\n" << ind << "tremorFilter: " << float(m_tremorFilter * 100.0f);
    s << "\n" << ind << "horizontalViewAngle: " << float(m_horizontalViewAnglePercent * 100.0f);
    s << "\n" << ind << "verticalViewAngle: " << float(m_verticalViewAnglePercent * 100.0f);
    s << "\n" << ind << "autoRange: " << boolText(m_autorange);
    s << "\n" << ind << "mouseSpeed: " << float(m_mouseSpeedPercent * 100.0f);
    s << "\n" << ind << "ACATKey: " << QString::fromUtf8(Keyboard::CStringFromKeyCode(m_ACATKeyCode));
    s << "\n" << indentation(depth - 1) << "}";
    s.flush();
    return text;
}

void MouseProfile::setControlMode(MouseMode mode)
{
    m_controlMode = mode;
    emit profileChanged(*this);
}

void MouseProfile::setAutoZeroEnable(bool on)
{
    m_autoZeroEnable = on;
    emit profileChanged(*this);
}

void MouseProfile::setZeroTimeInterval(int milliseconds)
{
    m_zeroTimeInterval = milliseconds;
    emit profileChanged(*this);
}

void MouseProfile::setAudioFeedback(bool on)
{
    m_audioFeedback = on;
    emit profileChanged(*this);
}

void MouseProfile::setVisualFeedback(bool on)
{
    m_visualFeedback = on;
    emit profileChanged(*this);
}

void MouseProfile::setTremorFilter(float fraction)
{
    m_tremorFilter = clampFraction(fraction);
    emit profileChanged(*this);
}

void MouseProfile::setHorizontalViewAnglePercent(float fraction)
{
    m_horizontalViewAnglePercent = clampFraction(fraction);
    emit profileChanged(*this);
}

void MouseProfile::setVerticalViewAnglePercent(float fraction)
{
    m_verticalViewAnglePercent = clampFraction(fraction);
    emit profileChanged(*this);
}

void MouseProfile::setAutorange(bool on)
{
    m_autorange = on;
    emit profileChanged(*this);
}

void MouseProfile::setMouseSpeedPercent(float fraction)
{
    m_mouseSpeedPercent = clampFraction(fraction);
    emit profileChanged(*this);
}

void MouseProfile::setACATKeyCode(KeyCode key)
{
    m_ACATKeyCode = key;
    emit profileChanged(*this);
}

void MouseProfile::setProfileName(const QString& newName)
{
    m_name = newName;
    emit profileRenamed(*this, newName);
}

void MouseProfile::setMouseMode(const DCPMouseMode& record)
{
    m_controlMode = MouseMode(record.msb);
    emit profileChanged(*this);
}

void MouseProfile::setAutoZero(const DCPAutoZero& record)
{
    m_autoZeroEnable = record.msb == 1;
    emit profileChanged(*this);
}

void MouseProfile::setFilter(const DCPFilter& record)
{
    m_tremorFilter = float(record.msb) / 100.0f;
    emit profileChanged(*this);
}

void MouseProfile::setRange(const DCPRange& record)
{
    m_horizontalViewAnglePercent = float(record.msb) / 100.0f;
    m_verticalViewAnglePercent = float(record.lsb) / 100.0f;
    emit profileChanged(*this);
}

void MouseProfile::setMouseSpeed(const DCPMouseSpeed& record)
{
    m_mouseSpeedPercent = float(record.msb) / 100.0f;
    emit profileChanged(*this);
}

void MouseProfile::setACATKey(const DCPACATKey& record)
{
    m_ACATKeyCode = KeyCode(record.msb);
    emit profileChanged(*this);
}
