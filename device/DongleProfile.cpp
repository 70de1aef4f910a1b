#include "device/DongleProfile.h"

#include <QTextStream>

#include "protocol/Print.h"

DongleProfile::DongleProfile()
    : MouseProfile(nullptr)
{
}

DongleProfile::DongleProfile(DongleProfile const& other)
    : MouseProfile(other)
    , version(other.version)
    , revision(other.revision)
    , pan(other.pan)
    , address(other.address)
    , serial(other.serial)
    , state(other.state)
{
}

DongleProfile& DongleProfile::operator=(DongleProfile const& other)
{
    if (this == &other)
        return *this;
    MouseProfile::operator=(other);
    version = other.version;
    revision = other.revision;
    pan = other.pan;
    address = other.address;
    serial = other.serial;
    state = other.state;
    return *this;
}

DongleProfile::~DongleProfile() = default;

QString DongleProfile::toString(int depth) const
{
    const QString indent = Print::repeat(QStringLiteral("\t"), depth);
    QString text;
    QTextStream out(&text);
    out << "{\n";
    out << indent << "version: " << version.toStringHelper() << "\n";
    out << indent << "revision: " << uint(revision) << "\n";
    out << indent << "PAN: " << uint(pan) << "\n";
    out << indent << "address: " << uint(address) << "\n";
    out << indent << "serial: " << serial << "\n";
    out << indent << "mouse: " << MouseProfile::toString(depth + 1) << "\n";
    out << indent << "state: " << QStringFromDongleState(int(state)) << "\n";
    out << "}";
    out.flush();
    return text;
}
