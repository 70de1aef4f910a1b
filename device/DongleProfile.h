#pragma once
// The dongle's identity and radio state together with the mouse settings it holds.
#include <QString>
#include <QtGlobal>

#include "device/MouseProfile.h"
#include "protocol/Records.h"

class DongleProfile : public MouseProfile {
public:
    // Name "undefined", the default mouse settings, an empty identity, state 6 ("SCAN").
    DongleProfile();
    // The mouse part is copied as MouseProfile copies, then every field below.
    DongleProfile(DongleProfile const& other);
    DongleProfile& operator=(DongleProfile const& other);
    ~DongleProfile() override;

    // Multi-line debug text; depth is the indentation depth.
    QString toString(int depth) const override;

    // Firmware version, from the dongle's identity record.
    DongleVersion version;
    // Protocol revision the dongle reports (parameter 16).
    quint16 revision = 0;
    // The dongle's network id (parameter 15).
    quint16 pan = 0;
    // The dongle's own network address (parameter 20).
    quint8 address = 0;
    // Serial number text of the identity record.
    QString serial;
    // Radio state (DongleState, parameter 64).
    quint8 state = quint8(DongleState::SCAN);
};
