// The security page: the form, the device rows, the states and the events. The set-password
// pass, the password fields, the hint and leaving are in SecurityPagePass.cpp.
#include "ui/pages/SecurityPage.h"

#include "ui_SecurityPage.h"

#include "app/OrvixDirector.h"
#include "device/Dongle.h"
#include "device/Headset.h"
#include "ui/pages/ServiceMode.h"
#include "ui/toolkit/PageContainer.h"
#include "ui/toolkit/WarningBubble.h"

#include <QDebug>
#include <QLineEdit>
#include <QPushButton>

#include <utility>

namespace OX
{

namespace
{

const char HeadsetIcon[] = ":/device/icons/headset";
const char OwnDongleIcon[] = ":/device/icons/pc_mouse_a";

quint8 productOf(ProductID product)
{
    return quint8(product);
}

} // namespace

bool SecurityPage::Device::isSame(quint16 otherPan, quint8 otherAddress, quint8 otherProduct) const
{
    return pan == otherPan && address == otherAddress && product == otherProduct;
}

SecurityPage::SecurityPage(PageContainer* container, QWidget* parent)
    : Page(container, parent)
    , m_ui(std::make_unique<Ui::SecurityPage>())
    , m_bubble(std::make_unique<WarningBubble>())
    , m_problemBubble(std::make_unique<WarningBubble>())
{
    m_ui->setupUi(this);
    connect(this, &SecurityPage::setState, this, &SecurityPage::onSetState, Qt::DirectConnection);
    connect(this, &SecurityPage::showHint, this, &SecurityPage::onShowHint, Qt::DirectConnection);
    connect(m_ui->TypePassword, &QLineEdit::textEdited, this, &SecurityPage::onPasswordEdited);
    connect(m_ui->reTypePassword, &QLineEdit::textEdited, this, &SecurityPage::onRetypedPasswordEdited);
    connect(m_ui->reTypePassword, &QLineEdit::editingFinished, this, &SecurityPage::onRetypeFinished);
    connect(m_ui->setButton, &QPushButton::clicked, this, &SecurityPage::onSetClicked);
    // What is typed stays as typed: a password that cannot be sent is refused with its reason
    // beside the field, never cut or filtered.
    for (QLineEdit* field : { m_ui->TypePassword, m_ui->reTypePassword })
        field->setMaxLength(FieldMaxLength);
}

SecurityPage::~SecurityPage() = default;

QString SecurityPage::QStringFromState(State state)
{
    switch (state) {
    case default_state:
        return QStringLiteral("Default state");
    case waiting_for_channel_map_state:
        return QStringLiteral("Waiting for get channel map state");
    case waiting_for_dongle_service_mode_state:
        return QStringLiteral("Waiting for dongle service mode state");
    case waiting_for_headset_service_mode_state:
        return QStringLiteral("Waiting for headset service mode state");
    case waiting_for_other_devices_service_mode_state:
        return QStringLiteral("Waiting for other devices service mode state");
    case waiting_for_set_only_dongle_password_state:
        return QStringLiteral("Waiting user for set dongle password state");
    case waiting_for_set_devices_password_state:
        return QStringLiteral("Waiting user for set devices password state");
    case waiting_for_set_password_done:
        return QStringLiteral("Waiting for set password done state");
    case password_set_error_state:
        return QStringLiteral("Password set error state");
    case password_set_done_state:
        return QStringLiteral("Password set done state");
    }
    return QStringLiteral("Unknown");
}

quint8 SecurityPage::productFromPreset(quint8 preset)
{
    switch (preset) {
    case 7:
        return productOf(ProductID::Headset);
    case 24:
    case 40:
    case 136:
        return productOf(ProductID::Link);
    case 59:
    case 75:
        return productOf(ProductID::Dongle);
    case 88:
    case 104:
    case 120:
        return productOf(ProductID::Remote);
    default:
        return productOf(ProductID::Unknown);
    }
}

QString SecurityPage::iconFromPreset(quint8 preset)
{
    switch (preset) {
    case 24:
    case 136:
        return QStringLiteral(":/device/icons/link_drive");
    case 59:
        return QStringLiteral(":/device/icons/pc_mouse_a");
    case 75:
        return QStringLiteral(":/device/icons/pc_mouse_b");
    default:
        return QStringLiteral(":/device/icons/unknown");
    }
}

// ---- rows --------------------------------------------------------------------------------------

void SecurityPage::appendRow(Device const& device, QString const& icon, bool enabled)
{
    m_devices.append(device);
    m_ui->deviceListView->appendItem(DeviceListWidget::Item(icon, enabled, Qt::Unchecked));
}

int SecurityPage::rowOf(quint16 pan, quint8 address, quint8 product) const
{
    for (int i = 0; i < m_devices.size(); ++i)
        if (m_devices.at(i).isSame(pan, address, product))
            return i;
    return -1;
}

void SecurityPage::markFound(int row)
{
    if (row < 0 || row >= m_devices.size())
        return;
    m_devices[row].found = true;
    if (DeviceListWidget::Item* item = m_ui->deviceListView->itemAt(row))
        item->setEnabled(true);
}

bool SecurityPage::allDevicesFound() const
{
    for (Device const& d : m_devices)
        if (d.product != productOf(ProductID::Dongle) && !d.found)
            return false;
    return true;
}

void SecurityPage::updateList(Headset const* headset)
{
    m_ui->deviceListView->clear();
    m_devices.clear();
    // The new rows may hold devices the pass under way sends nothing.
    if (passUnderWay())
        m_pass->coversAll = false;
    Dongle* dongle = container->getDongle();
    const bool service = isInServiceMode(dongle);
    if (!headset) {
        if (!dongle)
            return;
        const quint16 pan = dongle->profile().pan;
        appendRow(Device { pan, 0, productOf(ProductID::Headset), false }, QLatin1String(HeadsetIcon), false);
        appendRow(Device { pan, dongle->profile().address, productOf(ProductID::Dongle), false },
            QLatin1String(OwnDongleIcon), false);
        return;
    }
    m_channelMap = headset->channelMap();
    const quint16 pan = dongle ? dongle->profile().pan : 0;
    const quint8 ownAddress = dongle ? dongle->profile().address : 0;
    appendRow(Device { pan, quint8(headset->address()), productOf(ProductID::Headset), service },
        QLatin1String(HeadsetIcon), service);
    for (OrvixDevice const& entry : m_channelMap.devices) {
        const quint8 product = productFromPreset(entry.preset);
        if (rowOf(pan, entry.address, product) >= 0)
            continue;
        // This computer's own dongle is there as soon as it is in service mode; other computers'
        // dongles must be heard like every other device.
        const bool found
            = service && product == productOf(ProductID::Dongle) && dongle && entry.address == ownAddress;
        appendRow(Device { pan, entry.address, product, found }, iconFromPreset(entry.preset), found);
    }
}

// ---- states ------------------------------------------------------------------------------------

void SecurityPage::enableFields(bool fields, bool button)
{
    m_ui->TypePassword->setEnabled(fields);
    m_ui->reTypePassword->setEnabled(fields);
    m_ui->setButton->setEnabled(button);
}

bool SecurityPage::passwordReady() const
{
    const QString password = m_ui->TypePassword->text();
    return isAcceptablePassword(password) && password == m_ui->reTypePassword->text();
}

void SecurityPage::onSetState(State s)
{
    // A page left mid-pass takes no further step: a dongle entering service mode for another
    // page would otherwise turn that page's spinner off.
    Dongle* dongle = container->getDongle();
    if (!dongle || !isVisit(visit()))
        return;
    const int ownRow = rowOf(dongle->profile().pan, dongle->profile().address, productOf(ProductID::Dongle));
    if (s == m_state)
        return;
    qDebug() << "Security page state [" << QStringFromState(m_state) << "] changed to ["
             << QStringFromState(s) << "]";
    m_state = s;
    switch (s) {
    case waiting_for_channel_map_state:
        // The map may never come (a headset whose device list is empty, as after a pairing that
        // failed): the page says why nothing can be set and the way back stays open.
        container->setProgress(false);
        setEnabled(true);
        enableFields(false, false);
        m_ui->helpText->setText(
            tr("This headset's device list is empty, so no device shares a network password with it "
               "yet. Pair this computer with the headset on the Pairing page first, then come back here."));
        break;
    case waiting_for_dongle_service_mode_state: {
        m_ui->helpText->clear();
        container->setProgress(true);
        if (isInServiceMode(dongle)) {
            emit setState(waiting_for_headset_service_mode_state);
            break;
        }
        const quint64 asked = visit();
        enterServiceMode(
            dongle, this, [this, asked] { return isVisit(asked); },
            [this](DongleResult result) {
                // The notice of a request made before this visit may have taken the page on: the
                // dongle is in service mode whatever this answer says.
                if (m_state != waiting_for_dongle_service_mode_state)
                    return;
                if (result.code != DongleResult::Ok) {
                    serviceModeFailed();
                    return;
                }
                continueInServiceMode();
            },
            [this] {
                // Busy with no way back unless the page stops waiting.
                if (m_state == waiting_for_dongle_service_mode_state)
                    serviceModeFailed();
            });
        break;
    }
    case waiting_for_headset_service_mode_state:
        // A headset switched off mid-pass does not end the pass: the way back opens with its
        // result, so that no failure of a LINK still to answer goes untold.
        container->setProgress(passUnderWay());
        setEnabled(true);
        if (!m_channelMap.isEmpty()) {
            m_ui->helpText->setText(
                tr("To be able to change your network password, please turn off your headset and "
                   "turn it on while pushing the button. This will put it into service mode "
                   "and make it appear as available on this screen."));
            enableFields(false, false);
        } else {
            emit setState(waiting_for_set_only_dongle_password_state);
        }
        markFound(ownRow);
        break;
    case waiting_for_other_devices_service_mode_state:
        m_ui->helpText->setText(
            tr("Now put your Link(s) on this network into service mode by pressing the Link’s "
               "button with a long press (3 seconds)."));
        // The button too: a pass now would skip the devices not heard yet and still end with
        // "All passwords set", leaving them on the old password.
        enableFields(false, false);
        break;
    case waiting_for_set_only_dongle_password_state:
        if (!m_channelMap.isEmpty())
            break;
        m_ui->helpText->setText(
            tr("Set the password for this Dongle OR if you want to change the password for your "
               "Headset on this network of devices, turn off your headset and turn it on while "
               "pushing the button. This will put it into service mode and make it appear as "
               "available on this screen."));
        m_ui->TypePassword->setEnabled(true);
        m_ui->reTypePassword->setEnabled(true);
        break;
    case waiting_for_set_devices_password_state:
        m_ui->helpText->setText(
            tr("Set your new network password below.\nPlease note that if you have multiple "
               "Dongles in this network of devices, you have to repeat this process later on "
               "your other computer or by connecting them to Orvix Tools on this computer and "
               "applying the SAME password."));
        // Passwords typed before a wait for other devices can be set as they stand.
        enableFields(true, passwordReady());
        break;
    case waiting_for_set_password_done:
        // The text of the pass before (a result) does not stay up during this one.
        m_ui->helpText->setText(tr("Setting the network password on the devices found. Please wait."));
        startPass();
        break;
    case password_set_error_state:
        m_passUnseen = false;
        container->setProgress(false);
        m_ui->helpText->setText(
            tr("We were unable to set the password for some of the devices (please refer to the "
               "diagram). Restart the process by putting all your devices into service mode "
               "again. If the Dongle is one of them, please remove and reconnect it to start "
               "the process again."));
        enableFields(true, passwordReady());
        break;
    case password_set_done_state:
        m_passUnseen = false;
        container->setProgress(false);
        m_ui->helpText->setText(
            tr("All passwords set. You can now leave the page. This will take all your devices "
               "out of service mode.\nIf you have multiple Dongles, don’t forget to set the "
               "password with your remaining Dongles by repeating this process on the other "
               "computers or by connecting the Dongles to this computer 1 by 1."));
        enableFields(true, passwordReady());
        break;
    case default_state:
        break;
    }
}

// ---- appearing and events --------------------------------------------------------------------

void SecurityPage::retranslate()
{
    m_ui->retranslateUi(this);
    container->setTitle(tr("Security"));
    container->setSubtitle(QString());
    container->setLeft(tr("Back"), PageAction::back, this);
    container->setRight(QString(), PageAction::none, nullptr, PageFooter::MainButton);
    showPasswordProblem();
}

void SecurityPage::pageWillAppear(QString const& from)
{
    m_state = default_state;
    m_channelMap.clear();
    m_devices.clear();
    m_pass.reset(); // a pass of an earlier visit still under way ends on its own
    m_passUnseen = false;
    m_failureUnseen = false;
    m_ui->deviceListView->clear();
    m_ui->helpText->clear();
    // Each control too, not only the page: a button left on by the last visit's result would
    // set the empty fields of this one.
    enableFields(false, false);
    setEnabled(false);
    Page::pageWillAppear(from);
}

void SecurityPage::pageDidAppear()
{
    Page::pageDidAppear();
    Headset* headset = container->getHeadset();
    updateList(headset);
    if (!headset || !headset->channelMap().isEmpty())
        emit setState(waiting_for_dongle_service_mode_state);
    else
        emit setState(waiting_for_channel_map_state);
}

void SecurityPage::updateWithHeadset(Headset* headset, HeadsetChangeMask mask)
{
    if (!headset) {
        qDebug() << "OX::SecurityPage (HeadsetLost)";
        for (int i = 0; i < m_devices.size(); ++i)
            if (m_devices.at(i).product == productOf(ProductID::Headset))
                if (DeviceListWidget::Item* item = m_ui->deviceListView->itemAt(i))
                    item->setEnabled(false);
        if (m_state == waiting_for_other_devices_service_mode_state
            || m_state == waiting_for_set_devices_password_state || m_state == waiting_for_set_password_done)
            emit setState(waiting_for_headset_service_mode_state);
        return;
    }
    if (!mask.testFlag(HeadsetChangeMask::channelMap))
        return;
    qDebug() << "OX::SecurityPage (Headset::ChannelMap changed)";
    if (headset->channelMap() == m_channelMap)
        return;
    updateList(headset);
    // The rows are new: a device of the new map is not heard yet, and a pass now would skip it
    // (also one started again from a result, which would then say "All passwords set").
    const bool passwordStep = m_state == waiting_for_set_devices_password_state
        || m_state == password_set_error_state || m_state == password_set_done_state;
    if (m_state == waiting_for_set_only_dongle_password_state || (passwordStep && !allDevicesFound()))
        emit setState(allDevicesFound() ? waiting_for_set_devices_password_state
                                        : waiting_for_other_devices_service_mode_state);
    else if (m_state == waiting_for_channel_map_state)
        emit setState(waiting_for_dongle_service_mode_state);
}

void SecurityPage::deviceFound(Dongle* dongle, NPP const& npp)
{
    qDebug().noquote() << "Device found: [" + npp.toString() + "]";
    if (!dongle || npp.pan != dongle->profile().pan)
        return;
    const int row = rowOf(npp.pan, npp.address, productOf(npp.product));
    if (row >= 0) {
        markFound(row);
        // The headset beacons all the time in service mode: it may bring the page to the
        // password step, but never takes it out of a pass under way or away from its result.
        const bool passOrResult = m_state == waiting_for_set_password_done
            || m_state == password_set_error_state || m_state == password_set_done_state;
        if (npp.product == ProductID::Headset && !passOrResult)
            emit setState(allDevicesFound() ? waiting_for_set_devices_password_state
                                            : waiting_for_other_devices_service_mode_state);
    }
    if (m_state == waiting_for_other_devices_service_mode_state && allDevicesFound())
        emit setState(waiting_for_set_devices_password_state);
}

void SecurityPage::updateWithDongle(Dongle* dongle, DongleChangeMask mask)
{
    qDebug() << "Dongle updated: [" << dongle << "]" << Qt::hex << mask.value();
    qDebug() << " -visible [" << QStringFromState(m_state) << "]";
    if (!dongle) {
        // A pass or a wait under way ends with the dongle: the spinner stops before going back.
        if (appeared && isVisit(visit()))
            container->setProgress(false); // never the footer of the page that comes next
        // The answers still to come went with the dongle, and the page goes back without its
        // result: the director tells, over the page that comes next, what the pass left behind.
        OrvixDirector* director = container->getDirector();
        if (std::exchange(m_passUnseen, false)) {
            m_pass->counts = false; // its answers, failing with the dongle, tell nothing more
            if (director)
                emit director->showMessage(OrvixDirector::warning, tr("Security"),
                    tr("The dongle was unplugged while the new password was being set. Some devices may "
                       "already have the new password. Set the password again once the dongle is back."));
        }
        Page::perform(PageAction::back);
    } else if (mask.testFlag(DongleChangeMask::statusChanged))
        continueInServiceMode();
}

void SecurityPage::serviceModeFailed()
{
    // Nothing more happens on this visit unless the notice still comes: the person reads why and
    // goes back.
    container->setProgress(false);
    m_ui->helpText->setText(tr("Unable to enter service mode"));
    emit showHint(enter_service_mode_failed_hint);
}

void SecurityPage::continueInServiceMode()
{
    // The echo of the enter request only says the dongle took it; the dongle refuses passwords
    // until its state notice reports service mode, so the steps wait for that notice.
    if (m_state == waiting_for_dongle_service_mode_state && isInServiceMode(container->getDongle()))
        emit setState(waiting_for_headset_service_mode_state);
}

} // namespace OX
