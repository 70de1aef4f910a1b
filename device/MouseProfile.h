#pragma once
// A named set of the dongle's head-mouse settings.
#include "device/Keyboard.h"
#include "protocol/Records.h"

#include <QObject>
#include <QString>

// The dongle's parameter replies read by the profile setters: 3-byte records of the SCP
// layout (parameter number, value lsb, value msb).
using DCPMouseMode = SCP;
using DCPAutoZero = SCP;
using DCPFilter = SCP;
using DCPRange = SCP;
using DCPMouseSpeed = SCP;
using DCPACATKey = SCP;

class MouseProfile : public QObject {
    Q_OBJECT
public:
    // Built-in profiles; never changed after start-up.
    static const MouseProfile Normal;
    static const MouseProfile Restricted;
    static const MouseProfile Tremor;

    // Name "undefined" and the default settings.
    explicit MouseProfile(QObject* parent = nullptr);
    // The name and the eleven settings, stored as given (no clamping); no parent.
    MouseProfile(const QString& name, MouseMode controlMode, bool autoZeroEnable, int zeroTimeInterval,
                 bool audioFeedback, bool visualFeedback, float tremorFilter,
                 float horizontalViewAnglePercent, float verticalViewAnglePercent, bool autorange,
                 float mouseSpeedPercent, KeyCode ACATKeyCode);
    // Copy of every field, the name included. The copy has no parent: a copy is a value
    // owned by whoever made it, never by the source's parent.
    MouseProfile(const MouseProfile& other);
    // The settings of other under the given name; no parent.
    MouseProfile(const QString& name, const MouseProfile& other);
    ~MouseProfile() override;

    // Copies the eleven settings but NOT the name (the target keeps its name), then emits
    // profileChanged. Because of this a MouseProfile must never live directly in a container
    // that moves its elements by assignment (std::vector, QVector): the names would shift.
    MouseProfile& operator=(const MouseProfile& other);

    // True when all eleven settings are equal (floats compared plainly, a NaN equals
    // nothing); with compareNames the names must also be equal ignoring case.
    bool isEqual(const MouseProfile& other, bool compareNames) const;

    // Multi-line debug text for an indentation depth (three blanks per level).
    virtual QString toString(int depth) const;

    // Value setters; each stores its field and emits profileChanged. The fractions are
    // clamped to 0..1, a NaN gives 0.
    void setControlMode(MouseMode mode);
    void setAutoZeroEnable(bool on);
    void setZeroTimeInterval(int milliseconds);
    void setAudioFeedback(bool on);
    void setVisualFeedback(bool on);
    void setTremorFilter(float fraction);
    void setHorizontalViewAnglePercent(float fraction);
    void setVerticalViewAnglePercent(float fraction);
    void setAutorange(bool on);
    void setMouseSpeedPercent(float fraction);
    void setACATKeyCode(KeyCode key);

    // Stores the name and emits profileRenamed (not profileChanged).
    void setProfileName(const QString& newName);

    // Setters from the dongle's parameter replies (command, value lsb, value msb). They take
    // the value msb unless noted, do not clamp, and emit profileChanged.
    void setMouseMode(const DCPMouseMode& record);
    void setAutoZero(const DCPAutoZero& record);     // on when msb is 1
    void setFilter(const DCPFilter& record);         // msb / 100
    void setRange(const DCPRange& record);           // horizontal msb / 100, vertical lsb / 100
    void setMouseSpeed(const DCPMouseSpeed& record); // msb / 100
    void setACATKey(const DCPACATKey& record);       // msb

    QString name() const { return m_name; }
    MouseMode controlMode() const { return m_controlMode; }
    bool autoZeroEnable() const { return m_autoZeroEnable; }
    int zeroTimeInterval() const { return m_zeroTimeInterval; } // milliseconds
    bool audioFeedback() const { return m_audioFeedback; }
    bool visualFeedback() const { return m_visualFeedback; }
    float tremorFilter() const { return m_tremorFilter; }                             // 0..1
    float horizontalViewAnglePercent() const { return m_horizontalViewAnglePercent; } // 0..1
    float verticalViewAnglePercent() const { return m_verticalViewAnglePercent; }     // 0..1
    bool autorange() const { return m_autorange; }
    float mouseSpeedPercent() const { return m_mouseSpeedPercent; } // 0..1
    KeyCode ACATKeyCode() const { return m_ACATKeyCode; }

signals:
    void profileChanged(MouseProfile const& profile);
    void profileRenamed(MouseProfile const& profile, QString const& name);

private:
    void copySettings(const MouseProfile& other);

    QString m_name;
    MouseMode m_controlMode;
    bool m_autoZeroEnable;
    int m_zeroTimeInterval;
    bool m_audioFeedback;
    bool m_visualFeedback;
    float m_tremorFilter;
    float m_horizontalViewAnglePercent;
    float m_verticalViewAnglePercent;
    bool m_autorange;
    float m_mouseSpeedPercent;
    KeyCode m_ACATKeyCode;
};
