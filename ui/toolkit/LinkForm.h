#pragma once
// The base of every LINK parameter form. A form edits the one parameter record of its LINK page
// through a reference (never a copy), reports each edit with parametersChanged, and redraws from
// the record when its page calls updateUi.
#include "device/DongleDelegate.h"
#include "protocol/LPP.h"

#include <QColor>
#include <QWidget>

class Headset;

namespace OX
{

class LinkForm : public QWidget
{
    Q_OBJECT
public:
    // The colours of the head-angle markers: the two directions of each axis, the dead zones and
    // the safety limits.
    static const QColor ForwardColor;
    static const QColor BackwardColor;
    static const QColor RightColor;
    static const QColor LeftColor;
    static const QColor DeadzoneColor;
    static const QColor FaintzoneColor;

    LinkForm(LPP& lpp, QWidget* parent = nullptr);

    // The record this form edits (the page's, never a copy).
    LPP& parameters() const { return m_lpp; }

    // Redraws whatever depends on the record's fields named in mask.
    virtual void updateUi(LPP::ChangeMask mask) = 0;
    // Every headset update while the form is shown; the base ignores them.
    virtual void updateWithHeadset(Headset* headset, HeadsetChangeMask mask);
    // Re-applies the translated texts.
    virtual void retranslate() = 0;

signals:
    // After each edit: the fields written and those whose shown limits moved.
    void parametersChanged(LPP::ChangeMask mask);

protected:
    // A slider's position as last refreshed from its field, and the field's raw value then. The
    // position may round the value (76.3 % shows as 77 %, 0.72 s as 0.7 s, a delay beyond the
    // slider's range at its end): a person who moves the slider away and back means the value
    // the record held, not the position's rounding of it.
    struct ShownPosition {
        int position = -1;
        int raw = 0;
    };

    // A style-sheet background applies to the form.
    void paintEvent(QPaintEvent* event) override;

    LPP& m_lpp;
};

} // namespace OX
