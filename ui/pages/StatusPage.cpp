#include "ui/pages/StatusPage.h"

#include "ui_StatusPage.h"

#include "device/Dongle.h"
#include "device/Headset.h"
#include "ui/toolkit/OpenGLView.h"
#include "ui/toolkit/Quaternion.h"

namespace OX
{

namespace
{

QString const OnlineIcon = QStringLiteral(":/icons/online");
QString const OfflineIcon = QStringLiteral(":/icons/offline");
QString const NoValue = QStringLiteral("-");

// A device whose identity record never came holds a version of zeros and no serial: its rows
// show "-", not a firmware 0.0.0.
bool isKnown(DongleVersion const& version)
{
    return version.major || version.minor || version.fix || version.build;
}

QString versionText(DongleVersion const& version)
{
    return isKnown(version)
        ? QStringLiteral("%1.%2.%3").arg(version.major).arg(version.minor).arg(version.fix)
        : NoValue;
}

QString buildText(DongleVersion const& version)
{
    return isKnown(version) ? QString::number(version.build) : NoValue;
}

QString serialText(QString const& serial)
{
    return serial.isEmpty() ? NoValue : serial;
}

QString percentText(double value)
{
    return QStringLiteral("%1%").arg(QString::number(value, 'f', 0));
}

} // namespace

StatusPage::StatusPage(PageContainer* container, QWidget* parent)
    : Page(container, parent)
    , m_view(new OpenGLView())
    , m_ui(std::make_unique<Ui_StatusPage>())
{
    m_ui->setupUi(this);
    m_view->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_ui->mainLayout->addWidget(m_view);
    m_ui->dongleOnlineButton->setIcon(QIcon(OnlineIcon));
    m_ui->headsetOnlineButton->setIcon(QIcon(OfflineIcon));
}

StatusPage::~StatusPage() = default;

bool StatusPage::perform(PageAction action)
{
    if (action == PageAction::reset) {
        m_view->resetOrientation();
        return true;
    }
    return Page::perform(action);
}

void StatusPage::retranslate()
{
    m_ui->retranslateUi(this);
    // The next status writes every row again, in the language now chosen.
    m_shown.reset();
    if (!container)
        return;
    container->setTitle(tr("System Status"));
    container->setSubtitle(QString());
    container->setLeft(tr("Back"), PageAction::back, this);
    container->setRight(tr("Reset"), PageAction::reset, this, PageFooter::MainButton);
}

void StatusPage::updateWithDongle(Dongle* dongle, DongleChangeMask)
{
    if (!dongle) {
        for (QLabel* value : { m_ui->dongleVersion, m_ui->dongleBuild, m_ui->dongleSerial,
                 m_ui->dongleRevision, m_ui->donglePAN, m_ui->dongleStatus, m_ui->dongleChannel })
            value->setText(NoValue);
        Page::perform(PageAction::back); // unplugged: back to where the page was opened from
        return;
    }
    DongleProfile const& profile = dongle->profile();
    m_ui->dongleVersion->setText(versionText(profile.version));
    m_ui->dongleBuild->setText(buildText(profile.version));
    m_ui->dongleSerial->setText(serialText(profile.serial));
    m_ui->dongleRevision->setText(QString::number(profile.revision));
    m_ui->donglePAN->setText(QString::number(profile.pan));
    m_ui->dongleStatus->setText(QString::fromLatin1(QStringFromDongleState(profile.state)));
    m_ui->dongleChannel->setText(QString::number(dongle->channel()));
}

void StatusPage::updateWithHeadset(Headset* headset, HeadsetChangeMask mask)
{
    quint32 bits = mask;
    if (bits & HeadsetChangeMask::found) {
        bits |= HeadsetChangeMask::all;
    } else if (bits & HeadsetChangeMask::lost) {
        clearHeadset(); // the headset may already be gone: never looked at
        return;
    }
    if (!headset || headset->isErrorAcknowledged()) {
        clearHeadset();
        return;
    }
    refreshHeadset(headset, HeadsetChangeMask(bits));
}

void StatusPage::clearHeadset()
{
    for (QLabel* value : { m_ui->headsetVersion, m_ui->headsetBuild, m_ui->headsetSerial, m_ui->headsetPAN,
             m_ui->headsetStatus, m_ui->headsetOPMode, m_ui->headsetControls, m_ui->headsetBattery,
             m_ui->headsetIMU, m_ui->headsetState })
        value->setText(NoValue);
    m_shown.reset();
    m_view->setActive(false);
}

void StatusPage::refreshHeadset(Headset* headset, HeadsetChangeMask mask)
{
    SHP const& status = headset->status();
    m_view->setActive(true);

    // The identity rows and the status bytes without a change bit are compared with what the rows
    // show: at 20 statuses a second most of them never change.
    bool const all = !m_shown || mask.testFlag(HeadsetChangeMask::found);
    ShownHeadset const now { headset->version(), headset->serial(), headset->pan(), headset->address(),
        status.fusionMode, status.calibration, status.status };
    DongleVersion const& version = now.version;
    // Both rows read the whole version: a build heard alone also makes the version known.
    if (all || version.major != m_shown->version.major || version.minor != m_shown->version.minor
        || version.fix != m_shown->version.fix || version.build != m_shown->version.build) {
        m_ui->headsetVersion->setText(versionText(version));
        m_ui->headsetBuild->setText(buildText(version));
    }
    if (all || now.serial != m_shown->serial)
        m_ui->headsetSerial->setText(serialText(now.serial));
    if (all || now.pan != m_shown->pan || now.address != m_shown->address)
        m_ui->headsetPAN->setText(QStringLiteral("%1 / %2").arg(now.pan).arg(now.address));

    if (mask.testFlag(HeadsetChangeMask::orientation))
        m_view->setOrientation(toQQuaternion(status.getQuaternion()));
    if (mask.testFlag(HeadsetChangeMask::active))
        m_ui->headsetStatus->setText(headset->isActive() ? tr("active") : tr("passive"));
    // "unknown" for a mode beyond the known ones.
    if (all || now.fusionMode != m_shown->fusionMode)
        m_ui->headsetOPMode->setText(OrvixDevice::QStringFromFusion(status.getFusionMode()));
    if (all || now.state != m_shown->state)
        m_ui->headsetState->setText(HeadsetState::toString(status.status));
    if (mask.testFlag(HeadsetChangeMask::device)) {
        OrvixDevice const device = headset->device();
        m_ui->headsetControls->setText(OrvixDevice::isKnownPreset(device.preset)
                ? OrvixDevice::QStringFromPreset(OrvixDevice::Preset(device.preset))
                : QStringLiteral("%1 / %2").arg(device.address).arg(device.portNumber()));
    }
    if (mask.testFlag(HeadsetChangeMask::battery))
        m_ui->headsetBattery->setText(percentText(headset->batteryLevel()));
    if (all || now.calibration != m_shown->calibration)
        m_ui->headsetIMU->setText(percentText(status.getIMUCalibrationState()));
    m_shown = now;

    if (mask.testFlag(HeadsetChangeMask::online)) {
        bool const online = headset->isOnline();
        if (!online)
            m_view->setActive(false);
        IconButton* button = m_ui->headsetOnlineButton;
        button->setIcon(QIcon(online ? OnlineIcon : OfflineIcon));
        QColor const color = button->iconColor();
        if (color.isValid()) // no colour yet: the shape keeps its own until the style sets one
            button->setIconColor(color);
    }
}

} // namespace OX
