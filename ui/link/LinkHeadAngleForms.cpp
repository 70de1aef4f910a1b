#include "ui/link/LinkHeadAngleForms.h"

#include <QtGlobal>

namespace OX
{

namespace
{

using Axis = LinkHeadAngleForm::Axis;
using Kind = LinkHeadAngleForm::Kind;

// Each form's window title, translated in the context of its class name (read by lupdate; the
// form translates it by its description's class name).
[[maybe_unused]] char const* const Titles[] = {
    QT_TRANSLATE_NOOP("LinkMoveForwardForm", "Form"),
    QT_TRANSLATE_NOOP("LinkForwardSafetyLimitForm", "Form"),
    QT_TRANSLATE_NOOP("LinkMoveBackwardForm", "Form"),
    QT_TRANSLATE_NOOP("LinkBackwardSafetyLimitForm", "Form"),
    QT_TRANSLATE_NOOP("LinkForwardSlowspeedForm", "Form"),
    QT_TRANSLATE_NOOP("LinkForwardHighSpeedForm", "Form"),
    QT_TRANSLATE_NOOP("LinkTurningRightForm", "Form"),
    QT_TRANSLATE_NOOP("LinkRightSafetyLimitForm", "Form"),
    QT_TRANSLATE_NOOP("LinkTurningLeftForm", "Form"),
    QT_TRANSLATE_NOOP("LinkLeftSafetyLimitForm", "Form"),
    QT_TRANSLATE_NOOP("LinkTurningSlowspeedform", "Form"),
    QT_TRANSLATE_NOOP("LinkTurningHighspeedForm", "Form"),
};

// class, axis, direction, kind, decoration, designer size, layout, top spacer width, expanding
const LinkHeadAngleForm::Description Forms[] = {
    { "LinkMoveForwardForm", Axis::Vertical, 1, Kind::Movement, ":/decoration/wheelchair_forward",
        { 621, 473 }, "verticalLayout", 20, false },
    { "LinkForwardSafetyLimitForm", Axis::Vertical, 1, Kind::SafetyLimit, ":/decoration/wheelchair_forward",
        { 670, 475 }, "verticalLayout_2", 20, false },
    { "LinkMoveBackwardForm", Axis::Vertical, 2, Kind::Movement, ":/decoration/wheelchair_backward",
        { 677, 450 }, "verticalLayout_2", 20, true },
    { "LinkBackwardSafetyLimitForm", Axis::Vertical, 2, Kind::SafetyLimit, ":/decoration/wheelchair_backward",
        { 576, 477 }, "verticalLayout_2", 20, false },
    { "LinkForwardSlowspeedForm", Axis::Vertical, 1, Kind::SlowSpeed, ":/decoration/wheelchair_vertical",
        { 632, 496 }, "verticalLayout_2", 20, false },
    { "LinkForwardHighSpeedForm", Axis::Vertical, 1, Kind::HighSpeed, ":/decoration/wheelchair_vertical",
        { 643, 489 }, "verticalLayout_2", 20, false },
    { "LinkTurningRightForm", Axis::Horizontal, 1, Kind::Movement, ":/decoration/wheelchair_right",
        { 692, 490 }, "verticalLayout_2", 20, false },
    { "LinkRightSafetyLimitForm", Axis::Horizontal, 1, Kind::SafetyLimit, ":/decoration/wheelchair_right",
        { 632, 492 }, "verticalLayout_2", 20, false },
    { "LinkTurningLeftForm", Axis::Horizontal, 2, Kind::Movement, ":/decoration/wheelchair_left",
        { 634, 512 }, "verticalLayout_2", 40, false },
    { "LinkLeftSafetyLimitForm", Axis::Horizontal, 2, Kind::SafetyLimit, ":/decoration/wheelchair_left",
        { 611, 430 }, "verticalLayout_2", 20, false },
    { "LinkTurningSlowspeedform", Axis::Horizontal, 1, Kind::SlowSpeed, ":/decoration/wheelchair_horizontal",
        { 665, 488 }, "verticalLayout_2", 20, false },
    { "LinkTurningHighspeedForm", Axis::Horizontal, 1, Kind::HighSpeed, ":/decoration/wheelchair_horizontal",
        { 594, 498 }, "verticalLayout_2", 20, false },
};

} // namespace

LinkMoveForwardForm::LinkMoveForwardForm(LPP& parameters, QWidget* parent)
    : LinkHeadAngleForm(parameters, Forms[0], parent)
{
}

LinkForwardSafetyLimitForm::LinkForwardSafetyLimitForm(LPP& parameters, QWidget* parent)
    : LinkHeadAngleForm(parameters, Forms[1], parent)
{
}

LinkMoveBackwardForm::LinkMoveBackwardForm(LPP& parameters, QWidget* parent)
    : LinkHeadAngleForm(parameters, Forms[2], parent)
{
}

LinkBackwardSafetyLimitForm::LinkBackwardSafetyLimitForm(LPP& parameters, QWidget* parent)
    : LinkHeadAngleForm(parameters, Forms[3], parent)
{
}

LinkForwardSlowspeedForm::LinkForwardSlowspeedForm(LPP& parameters, QWidget* parent)
    : LinkHeadAngleForm(parameters, Forms[4], parent)
{
}

LinkForwardHighSpeedForm::LinkForwardHighSpeedForm(LPP& parameters, QWidget* parent)
    : LinkHeadAngleForm(parameters, Forms[5], parent)
{
}

LinkTurningRightForm::LinkTurningRightForm(LPP& parameters, QWidget* parent)
    : LinkHeadAngleForm(parameters, Forms[6], parent)
{
}

LinkRightSafetyLimitForm::LinkRightSafetyLimitForm(LPP& parameters, QWidget* parent)
    : LinkHeadAngleForm(parameters, Forms[7], parent)
{
}

LinkTurningLeftForm::LinkTurningLeftForm(LPP& parameters, QWidget* parent)
    : LinkHeadAngleForm(parameters, Forms[8], parent)
{
}

LinkLeftSafetyLimitForm::LinkLeftSafetyLimitForm(LPP& parameters, QWidget* parent)
    : LinkHeadAngleForm(parameters, Forms[9], parent)
{
}

LinkTurningSlowspeedform::LinkTurningSlowspeedform(LPP& parameters, QWidget* parent)
    : LinkHeadAngleForm(parameters, Forms[10], parent)
{
}

LinkTurningHighspeedForm::LinkTurningHighspeedForm(LPP& parameters, QWidget* parent)
    : LinkHeadAngleForm(parameters, Forms[11], parent)
{
}

} // namespace OX
