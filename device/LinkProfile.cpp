#include "device/LinkProfile.h"

namespace {

// The parameters of every built-in LINK profile, in the record's wire order.
LPP builtInParameters()
{
    return LPP(46, 46, 46, 46,     // full-output angles forward, backward, left, right (0.5 degree)
               60, 60, 60, 60,     // dead zones inner/outer vertical, inner/outer horizontal
               0, 1, 0, 0,         // move modes vertical, horizontal; polarities
               50000,              // tremor filter
               40, 30, 40, 40,     // safety angles forward, backward, left, right (degrees)
               5, 50, 0,           // emergency break window, amplitude, request zero
               5, 50, 15,          // back tilt window, delay, offset
               3, 0, 0);           // centre delay, fifth switch delay, reversing sound
}

} // namespace

const LinkProfile LinkProfile::Normal(QStringLiteral("Normal"), builtInParameters());
const LinkProfile LinkProfile::Restricted(QStringLiteral("Restricted"), builtInParameters());
const LinkProfile LinkProfile::Tremor(QStringLiteral("Tremor"), builtInParameters());

LinkProfile::LinkProfile(QObject* parent)
    : QObject(parent)
    , defined(false)
{
}

LinkProfile::LinkProfile(const QString& name_)
    : QObject(nullptr)
    , name(name_)
    , defined(false)
{
}

LinkProfile::LinkProfile(const QString& name_, const LPP& parameters_)
    : QObject(nullptr)
    , name(name_)
    , parameters(parameters_)
    , defined(true)
{
}

LinkProfile::LinkProfile(const LinkProfile& other)
    : QObject(nullptr)
    , name(other.name)
    , parameters(other.parameters)
    , defined(other.defined)
{
}

LinkProfile::~LinkProfile() = default;

LinkProfile& LinkProfile::operator=(const LinkProfile& other)
{
    name = other.name;
    parameters = other.parameters;
    defined = other.defined;
    return *this;
}

bool LinkProfile::isEqual(const LinkProfile& other, bool compareNames) const
{
    if (!parameters.isEqual(other.parameters) || defined != other.defined)
        return false;
    return !compareNames || name.compare(other.name, Qt::CaseInsensitive) == 0;
}
