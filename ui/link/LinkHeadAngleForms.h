#pragma once
// The twelve head-angle forms of the LINK settings page, in the order the page builds them. Each
// one edits one field of the page's record by dragging one marker (LinkHeadAngleForm says how);
// they differ only by the row of the form table they pass on.
#include "ui/link/LinkHeadAngleForm.h"

namespace OX
{

class LinkMoveForwardForm : public LinkHeadAngleForm
{
    Q_OBJECT
public:
    explicit LinkMoveForwardForm(LPP& parameters, QWidget* parent = nullptr);
};

class LinkForwardSafetyLimitForm : public LinkHeadAngleForm
{
    Q_OBJECT
public:
    explicit LinkForwardSafetyLimitForm(LPP& parameters, QWidget* parent = nullptr);
};

class LinkMoveBackwardForm : public LinkHeadAngleForm
{
    Q_OBJECT
public:
    explicit LinkMoveBackwardForm(LPP& parameters, QWidget* parent = nullptr);
};

class LinkBackwardSafetyLimitForm : public LinkHeadAngleForm
{
    Q_OBJECT
public:
    explicit LinkBackwardSafetyLimitForm(LPP& parameters, QWidget* parent = nullptr);
};

class LinkForwardSlowspeedForm : public LinkHeadAngleForm
{
    Q_OBJECT
public:
    explicit LinkForwardSlowspeedForm(LPP& parameters, QWidget* parent = nullptr);
};

class LinkForwardHighSpeedForm : public LinkHeadAngleForm
{
    Q_OBJECT
public:
    explicit LinkForwardHighSpeedForm(LPP& parameters, QWidget* parent = nullptr);
};

class LinkTurningRightForm : public LinkHeadAngleForm
{
    Q_OBJECT
public:
    explicit LinkTurningRightForm(LPP& parameters, QWidget* parent = nullptr);
};

class LinkRightSafetyLimitForm : public LinkHeadAngleForm
{
    Q_OBJECT
public:
    explicit LinkRightSafetyLimitForm(LPP& parameters, QWidget* parent = nullptr);
};

class LinkTurningLeftForm : public LinkHeadAngleForm
{
    Q_OBJECT
public:
    explicit LinkTurningLeftForm(LPP& parameters, QWidget* parent = nullptr);
};

class LinkLeftSafetyLimitForm : public LinkHeadAngleForm
{
    Q_OBJECT
public:
    explicit LinkLeftSafetyLimitForm(LPP& parameters, QWidget* parent = nullptr);
};

class LinkTurningSlowspeedform : public LinkHeadAngleForm
{
    Q_OBJECT
public:
    explicit LinkTurningSlowspeedform(LPP& parameters, QWidget* parent = nullptr);
};

class LinkTurningHighspeedForm : public LinkHeadAngleForm
{
    Q_OBJECT
public:
    explicit LinkTurningHighspeedForm(LPP& parameters, QWidget* parent = nullptr);
};

} // namespace OX
