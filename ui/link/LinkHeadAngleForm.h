#pragma once
// What the twelve head-angle forms share: a head seen from the side (drive: forward and backward)
// or from the front (turn: right and left) with ten angle markers of one axis, a live needle
// following the headset, and exactly one marker the user drags. A drag writes one field of the
// page's record at once and keeps the axis ordered: inner dead zone <= outer dead zone <=
// movement angle <= safety angle. A refresh shows the record; it never writes it.
//
// One implementation reads a row describing the form; the named classes in LinkHeadAngleForms.h
// only pick their row.
#include "ui/toolkit/LinkForm.h"

#include <QImage>
#include <QSize>

namespace OX
{

class HeadAngleView;

class LinkHeadAngleForm : public LinkForm
{
    Q_OBJECT
public:
    enum class Axis { Vertical, Horizontal };
    // What dragging the form's one marker edits.
    enum class Kind { Movement, SafetyLimit, SlowSpeed, HighSpeed };

    // One form: its class name (object name and translation context), axis, the direction (1 or
    // 2) whose movement or safety angle it edits, what it edits, its decoration and the starting
    // arrangement of its designer form.
    struct Description {
        char const* className;
        Axis axis;
        int direction;
        Kind kind;
        char const* decoration;
        QSize designerSize;
        char const* layoutName;
        int topSpacerWidth;
        bool expandingView; // the view grows vertically, the bottom spacer is not fixed
    };

    // The record's fields of one axis (defined beside the implementation).
    struct Fields;

    static constexpr double MovementMaximum = 85.0;
    static constexpr double SafetyMaximum = 90.0;
    static constexpr int TopSpacerHeight = 56;
    static constexpr int BottomSpacerHeight = 40;
    static constexpr int SpacerWidth = 20;

    ~LinkHeadAngleForm() override;

    void updateUi(LPP::ChangeMask mask) override;
    // With the orientation bit and a headset: the needle follows the head (pitch on the drive
    // forms; roll or negated yaw on the turn forms, by the record's horizontal move mode).
    void updateWithHeadset(Headset* headset, HeadsetChangeMask mask) override;
    void retranslate() override;

    HeadAngleView* headAngleView() const { return m_headAngle; }
    // The name of the one marker the user drags.
    QString interactiveMarker() const { return m_interactive; }

    // The head picture at resource, decoded once per process and shared by every form.
    static QImage headPicture(QString const& resource);
    // How many pictures have been decoded so far.
    static int headPicturesDecoded();

public slots:
    // The view reports a released marker: the form's own marker writes its field.
    void onHeadAngleChanged(QString const& name, double angle);

protected:
    LinkHeadAngleForm(LPP& parameters, Description const& description, QWidget* parent);

    void changeEvent(QEvent* event) override;

private:
    Fields const& fields() const;
    void build();
    void addMarkers();
    // A marker of direction 1 or 2: prefix + "forward", "backward", "right" or "left".
    QString marker(char const* prefix, int direction) const;
    void write(double (LPP::*get)() const, void (LPP::*set)(double), double value);
    quint32 editMovement(double angle);
    quint32 editSafetyLimit(double angle);
    quint32 editSlowSpeed(double angle);
    quint32 editHighSpeed(double angle);
    void keepShownDeadzones();

    Description const& m_description;
    HeadAngleView* m_headAngle = nullptr;
    QString m_interactive;
    // The record as the form last showed it whole (the page's refresh).
    LPP m_shown;
};

} // namespace OX
