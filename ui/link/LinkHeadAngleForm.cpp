#include "ui/link/LinkHeadAngleForm.h"

#include "device/Headset.h"
#include "ui/toolkit/HeadAngleView.h"
#include "ui/toolkit/Quaternion.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QHash>
#include <QSpacerItem>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace OX
{

// The record's fields of one axis, as getters and setters in degrees, and their change bits.
struct LinkHeadAngleForm::Fields {
    using Getter = double (LPP::*)() const;
    using Setter = void (LPP::*)(double);
    using Raw = uchar LPP::*;

    char const* direction[2];
    QColor const* color[2];
    char const* picture;
    HeadAngleView::Plane plane;
    Getter angle[2];
    Setter setAngle[2];
    Getter inner;
    Setter setInner;
    Raw innerRaw;
    Getter outer;
    Setter setOuter;
    Raw outerRaw;
    Getter safety[2];
    Setter setSafety[2];
    quint32 angleBit[2];
    quint32 innerBit;
    quint32 outerBit;
    quint32 safetyBit[2];
};

namespace
{

using Bits = LPP::ChangeMask;

const LinkHeadAngleForm::Fields VerticalFields = {
    { "forward", "backward" },
    { &LinkForm::ForwardColor, &LinkForm::BackwardColor },
    ":/images/head_side",
    HeadAngleView::Side,
    { &LPP::getAngleForward, &LPP::getAngleBackward },
    { &LPP::setAngleForward, &LPP::setAngleBackward },
    &LPP::getDeadzoneInnerVertical,
    &LPP::setDeadzoneInnerVertical,
    &LPP::deadzoneInnerVertical,
    &LPP::getDeadzoneOuterVertical,
    &LPP::setDeadzoneOuterVertical,
    &LPP::deadzoneOuterVertical,
    { &LPP::getSafetyAngleForward, &LPP::getSafetyAngleBackward },
    { &LPP::setSafetyAngleForward, &LPP::setSafetyAngleBackward },
    { Bits::angleForward, Bits::angleBackward },
    Bits::deadzoneInnerVertical,
    Bits::deadzoneOuterVertical,
    { Bits::safetyAngleForward, Bits::safetyAngleBackward },
};

const LinkHeadAngleForm::Fields HorizontalFields = {
    { "right", "left" },
    { &LinkForm::RightColor, &LinkForm::LeftColor },
    ":/images/head_front",
    HeadAngleView::Front,
    { &LPP::getAngleRight, &LPP::getAngleLeft },
    { &LPP::setAngleRight, &LPP::setAngleLeft },
    &LPP::getDeadzoneInnerHorizontal,
    &LPP::setDeadzoneInnerHorizontal,
    &LPP::deadzoneInnerHorizontal,
    &LPP::getDeadzoneOuterHorizontal,
    &LPP::setDeadzoneOuterHorizontal,
    &LPP::deadzoneOuterHorizontal,
    { &LPP::getSafetyAngleRight, &LPP::getSafetyAngleLeft },
    { &LPP::setSafetyAngleRight, &LPP::setSafetyAngleLeft },
    { Bits::angleRight, Bits::angleLeft },
    Bits::deadzoneInnerHorizontal,
    Bits::deadzoneOuterHorizontal,
    { Bits::safetyAngleRight, Bits::safetyAngleLeft },
};

// The pivot of both head pictures, in picture pixels from the picture's centre.
const QPoint PicturePivot(0, 259);

// The ten markers every form adds, for direction 1 then direction 2, with the values the view
// holds until the constructor's refresh shows the record.
enum class ColorRole { Deadzone, Direction, Faintzone };

struct Marker {
    char const* prefix;
    double minimum[2];
    double maximum;
    double angle[2];
    ColorRole color;
    HeadAngleView::Visualization visualization;
};

const Marker Markers[] = {
    { "DZ_I_", { 0, 0 }, 63.5, { 5, 5 }, ColorRole::Deadzone, HeadAngleView::SolidLine },
    { "move_", { 5, 5 }, 85, { 45, 35 }, ColorRole::Direction, HeadAngleView::FadingPie },
    { "DZ_O_", { 0, 0 }, 63.5, { 15, 15 }, ColorRole::Deadzone, HeadAngleView::DashedLine },
    { "safety_zone_", { 45, 35 }, 65, { 65, 65 }, ColorRole::Direction, HeadAngleView::Pie },
    { "safety_limit_", { 65, 65 }, 90, { 65, 65 }, ColorRole::Faintzone, HeadAngleView::FadingToBottom },
};

// Each head picture is decoded once and shared: the 2048 x 2048 pictures would take about 16 MB
// per form.
struct PictureCache {
    QHash<QString, QImage> pictures;
    int decoded = 0;
};

PictureCache& pictureCache()
{
    static PictureCache cache;
    return cache;
}

char const DebugPrefix[] = "HEAD ANGLE [";

// The record's fields are read and written through a plain LPP reference, never by calling a
// member pointer on m_lpp directly: for such a call GCC 12's -fsanitize=vptr checks the form on
// the virtual-function branch only and, on the other branch, reports whatever a register last
// held as an object with an invalid vptr.
double readField(LPP const& lpp, LinkHeadAngleForm::Fields::Getter get)
{
    return (lpp.*get)();
}

void storeField(LPP& lpp, LinkHeadAngleForm::Fields::Setter set, double value)
{
    (lpp.*set)(value);
}

} // namespace

LinkHeadAngleForm::LinkHeadAngleForm(LPP& parameters, Description const& description, QWidget* parent)
    : LinkForm(parameters, parent)
    , m_description(description)
{
    build();
    retranslate();
    // The head picture is decoded when a form first paints: the pages build their forms at start.
    const QString picture = QLatin1String(fields().picture);
    m_headAngle->setImageSource([picture] { return headPicture(picture); }, PicturePivot, fields().plane);
    addMarkers();
    connect(m_headAngle, &HeadAngleView::angleChanged, this, &LinkHeadAngleForm::onHeadAngleChanged);
    updateUi(LPP::ChangeMask::all);
}

LinkHeadAngleForm::~LinkHeadAngleForm() = default;

LinkHeadAngleForm::Fields const& LinkHeadAngleForm::fields() const
{
    return m_description.axis == Axis::Vertical ? VerticalFields : HorizontalFields;
}

QString LinkHeadAngleForm::marker(char const* prefix, int direction) const
{
    return QLatin1String(prefix) + QLatin1String(fields().direction[direction - 1]);
}

void LinkHeadAngleForm::build()
{
    if (objectName().isEmpty())
        setObjectName(QLatin1String(m_description.className));
    resize(m_description.designerSize);

    auto* layout = new QVBoxLayout(this);
    layout->setObjectName(QLatin1String(m_description.layoutName));
    layout->addItem(new QSpacerItem(
        m_description.topSpacerWidth, TopSpacerHeight, QSizePolicy::Minimum, QSizePolicy::Fixed));
    m_headAngle = new HeadAngleView(this);
    m_headAngle->setObjectName(QStringLiteral("headAngle"));
    if (m_description.expandingView)
        m_headAngle->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    layout->addWidget(m_headAngle);
    layout->addItem(new QSpacerItem(SpacerWidth, BottomSpacerHeight, QSizePolicy::Minimum,
        m_description.expandingView ? QSizePolicy::Minimum : QSizePolicy::Fixed));

    setStyleSheet(QStringLiteral("QWidget#%1 {\nbackground-image: url(%2);\nbackground-repeat: no-repeat;\n"
                                 "background-position: right bottom;\n}")
                      .arg(QLatin1String(m_description.className), QLatin1String(m_description.decoration)));
}

void LinkHeadAngleForm::addMarkers()
{
    // Which marker the user drags follows from what the form edits.
    switch (m_description.kind) {
    case Kind::Movement:
        m_interactive = marker("move_", m_description.direction);
        break;
    case Kind::SafetyLimit:
        m_interactive = marker("safety_limit_", m_description.direction);
        break;
    case Kind::SlowSpeed:
        m_interactive = marker("DZ_I_", 1);
        break;
    case Kind::HighSpeed:
        m_interactive = marker("DZ_O_", 1);
        break;
    }
    Fields const& f = fields();
    for (int direction = 1; direction <= 2; ++direction) {
        const int i = direction - 1;
        for (Marker const& m : Markers) {
            const QString name = marker(m.prefix, direction);
            const QColor color = m.color == ColorRole::Deadzone ? DeadzoneColor
                : m.color == ColorRole::Faintzone               ? FaintzoneColor
                                                                : *f.color[i];
            m_headAngle->addAngle(name, m.minimum[i], m.maximum, m.angle[i],
                direction == 1 ? HeadAngleView::Clockwise : HeadAngleView::CounterClockwise, color,
                m.visualization, name == m_interactive);
        }
    }
}

void LinkHeadAngleForm::updateUi(LPP::ChangeMask mask)
{
    auto has = [mask](quint32 bit) { return (mask & bit) == bit; };
    if (mask == LPP::ChangeMask::all)
        m_shown = m_lpp;
    Fields const& f = fields();
    HeadAngleView* view = m_headAngle;
    const Kind kind = m_description.kind;
    const bool deadzoneForm = kind == Kind::SlowSpeed || kind == Kind::HighSpeed;
    const double inner = readField(m_lpp, f.inner);
    // The dead zones are the same both ways: the dragged one stays below the smaller movement
    // angle, or the other direction would get a dead zone beyond its own full-speed angle.
    const double smallerAngle = std::min(readField(m_lpp, f.angle[0]), readField(m_lpp, f.angle[1]));
    const bool anAngle = has(f.angleBit[0]) || has(f.angleBit[1]);

    for (int direction = 1; direction <= 2; ++direction) {
        const int i = direction - 1;
        if (!has(f.angleBit[i]))
            continue;
        const double angle = readField(m_lpp, f.angle[i]);
        view->setAngle(marker("move_", direction), angle);
        view->setLimits(marker("safety_zone_", direction), angle, readField(m_lpp, f.safety[i]));
        if (deadzoneForm)
            view->setLimits(marker("DZ_I_", direction), 0, angle);
    }
    if (deadzoneForm && anAngle)
        view->setLimits(marker("DZ_I_", 1), 0, smallerAngle);
    if (has(f.innerBit)) {
        for (int direction = 1; direction <= 2; ++direction) {
            view->setAngle(marker("DZ_I_", direction), inner);
            view->setLimits(marker("move_", direction), inner, MovementMaximum);
        }
    }
    if (kind == Kind::HighSpeed && (anAngle || has(f.innerBit))) {
        view->setLimits(marker("DZ_O_", 1), inner, smallerAngle);
        view->setLimits(marker("DZ_O_", 2), inner, smallerAngle);
    }
    if (has(f.outerBit)) {
        const double outer = readField(m_lpp, f.outer);
        view->setAngle(marker("DZ_O_", 1), outer);
        view->setAngle(marker("DZ_O_", 2), outer);
    }
    for (int direction = 1; direction <= 2; ++direction) {
        const int i = direction - 1;
        if (!has(f.safetyBit[i]))
            continue;
        const double angle = readField(m_lpp, f.angle[i]);
        const double safety = readField(m_lpp, f.safety[i]);
        view->setLimits(marker("safety_zone_", direction), angle, safety);
        view->setAngle(marker("safety_zone_", direction), safety);
        view->setAngle(marker("safety_limit_", direction), safety);
        // Every safety-limit form bounds the direction-1 limit; only the direction-2 forms the other.
        if (kind == Kind::SafetyLimit && (direction == 1 || m_description.direction == 2))
            view->setLimits(marker("safety_limit_", direction), angle, SafetyMaximum);
    }
}

void LinkHeadAngleForm::updateWithHeadset(Headset* headset, HeadsetChangeMask mask)
{
    if (!headset || (mask & HeadsetChangeMask::orientation) != HeadsetChangeMask::orientation)
        return;
    HeadAngleView::Axis axis = HeadAngleView::Pitch;
    if (m_description.axis == Axis::Horizontal)
        axis = m_lpp.getHorizontalMoveMode() == 1 ? HeadAngleView::Roll : HeadAngleView::Yaw;
    m_headAngle->setMonitor(toQQuaternion(headset->status().getQuaternion()), axis);
}

void LinkHeadAngleForm::retranslate()
{
    setWindowTitle(QCoreApplication::translate(m_description.className, "Form"));
    m_headAngle->retranslate();
}

void LinkHeadAngleForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    LinkForm::changeEvent(event);
}

void LinkHeadAngleForm::onHeadAngleChanged(QString const& name, double angle)
{
    qDebug() << DebugPrefix << name << "] changed to " << angle << "°";
    quint32 mask = LPP::ChangeMask::none;
    if (name == m_interactive) {
        switch (m_description.kind) {
        case Kind::Movement:
            mask = editMovement(angle);
            break;
        case Kind::SafetyLimit:
            mask = editSafetyLimit(angle);
            break;
        case Kind::SlowSpeed:
            mask = editSlowSpeed(angle);
            break;
        case Kind::HighSpeed:
            mask = editHighSpeed(angle);
            break;
        }
        keepShownDeadzones();
    }
    emit parametersChanged(mask);
    // Every marker the edit touched shows what the record now holds, the dragged one too: a dead
    // zone is stored as a capped share of the mean angle and a safety limit in whole degrees, so
    // the value dropped is not always the value the LINK receives.
    updateUi(mask);
}

void LinkHeadAngleForm::write(double (LPP::*get)() const, void (LPP::*set)(double), double value)
{
    // A value the record already shows is not stored again: storing it would re-round the axis's
    // dead zones, and a click that moved nothing must leave the record as it was.
    if (readField(m_lpp, get) != value)
        storeField(m_lpp, set, value);
}

void LinkHeadAngleForm::keepShownDeadzones()
{
    // A dead zone is held in 0.25 % steps of the axis's mean angle and shown in 0.5 degree steps:
    // with the axis's angles back where they were shown, a dead zone back at the degrees shown
    // then is the byte it was then (3.45 degrees shown as 3.5 stays 3.45, not a new rounding).
    Fields const& f = fields();
    LPP& record = m_lpp;
    for (Fields::Getter angle : f.angle) {
        if (readField(record, angle) != readField(m_shown, angle))
            return;
    }
    for (auto deadzone : { std::make_pair(f.inner, f.innerRaw), std::make_pair(f.outer, f.outerRaw) }) {
        if (readField(record, deadzone.first) == readField(m_shown, deadzone.first))
            record.*deadzone.second = m_shown.*deadzone.second;
    }
}

quint32 LinkHeadAngleForm::editMovement(double angle)
{
    Fields const& f = fields();
    const int i = m_description.direction - 1;
    // The dead zones are held as a share of the axis's mean angle: a new angle may change them
    // in degrees (rounded again, or held at 63.75 % of a smaller mean) without a push.
    const double innerBefore = readField(m_lpp, f.inner);
    const double outerBefore = readField(m_lpp, f.outer);
    write(f.angle[i], f.setAngle[i], angle);
    // The safety bit always goes: the safety zone's lower limit follows the new angle.
    quint32 mask = f.angleBit[i] | f.safetyBit[i];
    if (readField(m_lpp, f.outer) > angle) {
        storeField(m_lpp, f.setOuter, angle);
        mask |= f.outerBit;
    }
    if (readField(m_lpp, f.inner) != innerBefore)
        mask |= f.innerBit;
    if (readField(m_lpp, f.outer) != outerBefore)
        mask |= f.outerBit;
    if (angle > readField(m_lpp, f.safety[i]))
        storeField(m_lpp, f.setSafety[i], angle);
    return mask;
}

quint32 LinkHeadAngleForm::editSafetyLimit(double angle)
{
    Fields const& f = fields();
    const int i = m_description.direction - 1;
    write(f.safety[i], f.setSafety[i], angle);
    return f.safetyBit[i];
}

quint32 LinkHeadAngleForm::editSlowSpeed(double angle)
{
    Fields const& f = fields();
    write(f.inner, f.setInner, angle);
    quint32 mask = f.innerBit;
    if (angle > readField(m_lpp, f.outer)) {
        storeField(m_lpp, f.setOuter, angle);
        mask |= f.outerBit;
    }
    return mask;
}

quint32 LinkHeadAngleForm::editHighSpeed(double angle)
{
    Fields const& f = fields();
    write(f.outer, f.setOuter, angle);
    return f.outerBit;
}

QImage LinkHeadAngleForm::headPicture(QString const& resource)
{
    PictureCache& cache = pictureCache();
    auto found = cache.pictures.constFind(resource);
    if (found != cache.pictures.constEnd())
        return found.value();
    const QImage picture(resource);
    ++cache.decoded;
    if (picture.isNull())
        qWarning() << "Head picture not found:" << resource;
    cache.pictures.insert(resource, picture);
    return picture;
}

int LinkHeadAngleForm::headPicturesDecoded()
{
    return pictureCache().decoded;
}

} // namespace OX
