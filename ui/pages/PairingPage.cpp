#include "ui/pages/PairingPage.h"

#include <QDebug>
#include <QListWidget>
#include <QMetaEnum>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <utility>

#include "device/Dongle.h"
#include "device/Headset.h"
#include "device/Link.h"
#include "ui/pages/ServiceMode.h"
#include "ui/toolkit/DeviceWidget.h"
#include "ui/toolkit/IconButton.h"
#include "ui/toolkit/ListRows.h"
#include "ui/toolkit/PageController.h"
#include "ui/toolkit/Skin.h"
#include "ui_PairingPage.h"

namespace OX
{

namespace
{

const QString DongleIcon = QStringLiteral(":/device/icons/dongle");
const QString SecurityPageName = QStringLiteral("Security");
// Every device on the radio network answers on port 1 unless it lists submodules.
constexpr uchar DefaultPort = 1;

template <typename E> char const* nameOf(E value)
{
    return QMetaEnum::fromType<E>().valueToKey(int(value));
}

// The label of each state, translated when shown.
char const* const StateTexts[] = {
    QT_TRANSLATE_NOOP("OX::PairingPage", "not initialized: Remove Dongle"),
    QT_TRANSLATE_NOOP("OX::PairingPage", "entering service mode"),
    QT_TRANSLATE_NOOP("OX::PairingPage", "looking for headset (turn on headset in service mode)"),
    QT_TRANSLATE_NOOP("OX::PairingPage", "waiting for channelmap"),
    QT_TRANSLATE_NOOP("OX::PairingPage", "looking for devices (turn on LINK(s) in service mode)"),
};

DeviceWidget* rowWidget(QListWidget* list, int row)
{
    return qobject_cast<DeviceWidget*>(list->itemWidget(list->item(row)));
}

// The first selected item that is still a row of list, with its row; null when none.
QListWidgetItem* firstSelected(QListWidget* list, int* row)
{
    for (QListWidgetItem* item : list->selectedItems()) {
        const int r = list->row(item);
        if (r >= 0 && item->isSelected()) {
            *row = r;
            return item;
        }
    }
    *row = -1;
    return nullptr;
}

} // namespace

PairingPage::PairingPage(PageContainer* container, QWidget* parent)
    : Page(container, parent)
    , m_ui(std::make_unique<Ui::PairingPage>())
    , m_stateText(QT_TR_NOOP("not initialized"))
{
    // The form connects the on_<object>_<signal> slots by name.
    m_ui->setupUi(this);
    m_ui->dongle->setIcon(DongleIcon);
    m_ui->dongle->setIconColor(Skin::color(QStringLiteral("passiveWidgetColor")));
    connect(this, &PairingPage::setState, this, &PairingPage::onSetState);
    connect(this, &PairingPage::showHint, this, &PairingPage::onShowHint);
    connect(this, &PairingPage::showError, this, &PairingPage::onShowError);
    connect(this, &PairingPage::updateUI, this, &PairingPage::onUpdateUI);
    showStateText();
}

PairingPage::~PairingPage() = default;

void PairingPage::retranslate()
{
    m_ui->retranslateUi(this);
    showStateText();
    container->setTitle(tr("Pairing"));
    container->setSubtitle(QString());
    container->setLeft(tr("Back"), PageAction::back, this);
    container->setRight(QString(), PageAction::none, nullptr, PageFooter::MainButton);
}

void PairingPage::showStateText()
{
    m_ui->todoTextLabel->setText(tr(m_stateText));
}

// ---- Life cycle ---------------------------------------------------------------------------------

void PairingPage::pageWillAppear(QString const&)
{
    m_workingChannelMap.clear();
    m_ui->cmapRemoveButton->setEnabled(false);
    m_foundDevices.clear();
    m_ui->deviceList->clear();
    m_foundHeadsets.clear();
    m_ui->headsetList->clear();
    m_headsetNPP = NPP();
    m_offerHeadsetOnIdentity = false;
    m_movedLinks.clear();
    m_networkChanged = false;
    m_disappeared = false;
    retranslate();
}

void PairingPage::pageDidAppear()
{
    Dongle* dongle = container->getDongle();
    if (dongle)
        updateDongle(dongle);
    m_ui->channelList->clear();
    m_ui->cmapRemoveButton->setEnabled(false);
    emit setState(entering_service_mode);
    Page::pageDidAppear();
    // Unplugged as the page slid in, before it could hear the loss: back, as on a loss once shown,
    // once the switch that shows the page has ended.
    if (!dongle) {
        const quint64 shown = visit();
        QTimer::singleShot(0, this, [this, shown] {
            if (isVisit(shown) && !container->getDongle())
                updateWithDongle(nullptr, DongleChangeMask());
        });
    }
}

bool PairingPage::pageShouldDisappear()
{
    if (m_state != looking_for_devices_state || !m_workingChannelMap.isEmpty())
        return true;
    Question question;
    question.title = tr("Leaving pairing page");
    question.informative = tr("No device added to headset. \nAre you sure that you want to leave the page?");
    question.buttons = QStringList { tr("Stay on page"), tr("Leave page") };
    return askBeforeLeaving(question, [](int answer) { return answer != 0; });
}

void PairingPage::pageWillDisappear(QString const&, std::function<void()> done)
{
    // Silently: the next appearance enters service mode again.
    m_state = not_initialized_state;
    leaveNetworkServiceMode(this, container->getDongle(), std::move(done));
}

void PairingPage::pageDidDisappear()
{
    if (m_networkChanged)
        offerPasswordChange();
    m_disappeared = true;
    Page::pageDidDisappear();
}

void PairingPage::onNetworkChanged()
{
    // A pairing or removal that ends after the page has gone offers the password page itself.
    if (!std::exchange(m_networkChanged, true) && m_disappeared)
        offerPasswordChange();
}

void PairingPage::offerPasswordChange()
{
    // The last word of the visit: asked over the next page, about the dongle it changed.
    if (Dongle* dongle = container->getDongle()) {
        Question question;
        question.title = tr("Network may changed");
        question.informative
            = tr("If you add new device to your network it have the same password to be able to communicate "
                 "with your devices.\n\nDo you want to change the password?");
        question.buttons = QStringList { tr("Change password"), tr("Keep current password") };
        question.about = { dongle };
        QPointer<PairingPage> self(this);
        askOnLeaving(question, [self](int answer) {
            if (answer == 0 && self && self->controller)
                emit self->controller->navigateToPage(SecurityPageName);
        });
    }
}

// ---- Service mode -------------------------------------------------------------------------------

void PairingPage::enterServiceMode()
{
    const quint64 asked = visit();
    OX::enterServiceMode(
        container->getDongle(), this, [this, asked] { return isVisit(asked); },
        [this](DongleResult result) {
            // The notice of a request made before this visit may have taken the page on: the
            // dongle is in service mode whatever this answer says.
            if (m_state != entering_service_mode)
                return;
            if (result.code != DongleResult::Ok) {
                qDebug().noquote() << "Enter service mode failed:" << result.toStringHelper();
                emit setState(not_initialized_state);
                return;
            }
            continueInServiceMode();
        },
        [this] {
            if (m_state == entering_service_mode)
                emit setState(not_initialized_state);
        });
}

void PairingPage::continueInServiceMode()
{
    // The echo of the enter request only says that the dongle took it; the dongle refuses the
    // pairing steps until its state notice reports service mode, so the page waits for that.
    Dongle* dongle = container->getDongle();
    if (m_state != entering_service_mode || !isInServiceMode(dongle))
        return;
    emit setState(dongle->headset() ? looking_for_devices_state : looking_for_headset_state);
}

bool PairingPage::acceptsPick(QListWidget* list)
{
    // Until service mode is reached (or after entering it failed) a pick starts nothing: every
    // step would be refused.
    if (m_state >= looking_for_headset_state)
        return true;
    list->clearSelection();
    return false;
}

// ---- State machine and boxes ----------------------------------------------------------------------

void PairingPage::onSetState(State state)
{
    if (state == m_state || state < not_initialized_state || state > looking_for_devices_state)
        return;
    Dongle* dongle = container->getDongle();
    qDebug().noquote() << QStringLiteral("LINK STATE: ") + QLatin1String(nameOf(state));
    m_stateText = StateTexts[state];
    switch (state) {
    case not_initialized_state:
        emit showHint(enter_service_mode_failed_hint);
        showStateText();
        break;
    case entering_service_mode:
        showStateText();
        enterServiceMode();
        break;
    case looking_for_headset_state:
    case waiting_for_cmap_state:
        showStateText();
        break;
    case looking_for_devices_state:
        showStateText();
        updateDeviceList();
        if (dongle)
            markDevice(DeviceAddress(dongle->profile().address, DefaultPort), true);
        break;
    }
    m_state = state;
}

void PairingPage::onShowHint(Hint hint)
{
    struct Text {
        char const* title;
        char const* text;
        char const* yes;
        char const* no;
    };
    static const Text texts[] = {
        { QT_TR_NOOP("Unable to enter service mode"),
            QT_TR_NOOP(
                "Please remove the dongle, wait 10 seconds and insert it again!\nIt may redirect you to the "
                "previous page."),
            QT_TR_NOOP("Ok"), nullptr },
        { QT_TR_NOOP("Service mode required"),
            QT_TR_NOOP("Operation requires service mode, to enter service mode press \"Enter service mode\" "
                       "otherwise you have to leave pairing"),
            QT_TR_NOOP("Enter service mode"), QT_TR_NOOP("Leave pairing") },
        { QT_TR_NOOP("Headset in service mode"),
            QT_TR_NOOP(
                "Your headset is in unnecessary service mode.\nPlease turn Off your headset than turn it On "
                "again. The headset details will appear on the center of the screen."),
            QT_TR_NOOP("Ok"), nullptr },
    };
    if (hint < enter_service_mode_failed_hint || hint > unnecessary_headset_hint)
        return;
    Text const& t = texts[hint];
    qDebug().noquote() << QStringLiteral("SHOW HINT [%1]").arg(QLatin1String(nameOf(hint)));
    Question question;
    question.icon = Icon::Information;
    question.text = tr(t.title);
    question.informative = tr(t.text);
    question.buttons << tr(t.yes);
    if (t.no)
        question.buttons << tr(t.no);
    question.about = { container->getDongle() };
    ask(question, [this, hint](int answer) {
        qDebug().noquote() << QStringLiteral("HIDE HINT [%1]").arg(QLatin1String(nameOf(hint)));
        if (hint != service_mode_required_hint)
            return;
        if (answer == 0)
            emit setState(entering_service_mode);
        else
            perform(PageAction::back);
    });
}

void PairingPage::onShowError(QString const& title, DongleResult result)
{
    tellError(title, result, QString());
}

void PairingPage::tellError(QString const& title, DongleResult const& result, QString const& leftIn)
{
    Question question;
    question.icon = Icon::Warning;
    question.title = title;
    question.text = result.toStringHelper();
    question.informative = leftIn;
    question.about = { container->getDongle() };
    ask(question);
}

// ---- Notifications -------------------------------------------------------------------------------

void PairingPage::updateWithDongle(Dongle* dongle, DongleChangeMask mask)
{
    if (!dongle && appeared) {
        // Nothing is left to pair with: back without asking about an empty network.
        m_state = not_initialized_state;
        perform(PageAction::back);
    } else if (dongle && mask.testFlag(DongleChangeMask::statusChanged))
        continueInServiceMode();
}

void PairingPage::updateWithHeadset(Headset* headset, HeadsetChangeMask mask)
{
    if (!appeared)
        return;
    if (mask.testFlag(HeadsetChangeMask::channelMap)) {
        if (headset) {
            updateChannelMap(headset);
            if (m_state == waiting_for_cmap_state)
                emit setState(looking_for_devices_state);
        } else if (!m_workingChannelMap.isEmpty()) {
            markHeadset(false);
        }
        return;
    }
    if (!headset || mask.testFlag(HeadsetChangeMask::lost)) {
        // The headset that went is offered no more: the next one is known by its own identity,
        // never taken for this one.
        const int offered = m_foundHeadsets.indexOf(m_headsetNPP);
        if (m_headsetNPP.product == ProductID::Headset && offered >= 0) {
            m_foundHeadsets.removeAt(offered);
            updateHeadsetList();
        }
        m_headsetNPP = NPP();
        m_offerHeadsetOnIdentity = false;
        m_ui->deviceList->clear(); // LINKs are paired into a headset's map: none without one
        m_ui->cmapRemoveButton->setEnabled(false); // nor removed from it
        if (!m_workingChannelMap.isEmpty())
            markHeadset(false);
        if (m_state >= looking_for_headset_state)
            emit setState(looking_for_headset_state);
    }
}

bool PairingPage::inWorkingMap(NPP const& record) const
{
    // A device without submodules answers on port 1.
    if (record.submoduleCount() == 0)
        return m_workingChannelMap.contains(DeviceAddress(record.address, DefaultPort));
    return m_workingChannelMap.contains(record);
}

NPP PairingPage::placeOf(NPP const& record, quint16 pan) const
{
    NPP place = record;
    if (record.product != ProductID::Link)
        return place;
    for (MovedLink const& moved : m_movedLinks) {
        if (moved.from == record.address && moved.serial == record.getSerialNumber()) {
            place.address = moved.to;
            place.pan = pan;
        }
    }
    return place;
}

QList<quint8> PairingPage::answeringAddressesOf(Dongle* dongle, quint8 address) const
{
    // The dongle forgets its address changes when it enters service mode again; a LINK that
    // never left it still answers where it was.
    QList<quint8> addresses = dongle->serviceAddressesOf(address);
    for (MovedLink const& moved : m_movedLinks) {
        if (moved.to == address && !addresses.contains(moved.from))
            addresses << moved.from;
    }
    return addresses;
}

void PairingPage::deviceFound(Dongle* dongle, NPP const& record)
{
    if (!dongle)
        return;
    qDebug().noquote() << QStringLiteral("[%1] -> DEVICE found: ").arg(dongle->profile().pan)
            + record.toString();
    const bool isHeadset = record.product == ProductID::Headset;
    if (isHeadset && m_state == looking_for_headset_state) {
        m_headsetNPP = record;
        emit setState(waiting_for_cmap_state);
    }
    if (record.product == ProductID::Dongle)
        return;
    // A LINK being paired takes its new PAN and then its new address, and is heard in between:
    // it is offered where it is heard now, never at the address it has left.
    const bool moved = record.product == ProductID::Link && m_foundDevices.removeMoved(record);

    const DeviceAddress own(dongle->profile().address, DefaultPort);
    if (isHeadset && m_offerHeadsetOnIdentity) {
        // The channel map came first: the headset that sent it is offered now that its identity
        // is known.
        Headset* headset = dongle->headset();
        if (!headset || (headset->pan() == record.pan && headset->address() == record.address)) {
            m_offerHeadsetOnIdentity = false;
            m_headsetNPP = record;
            if (!m_workingChannelMap.contains(own)) {
                m_foundHeadsets.insert(FoundDeviceMap::keyOf(record), record);
                updateHeadsetList();
            }
        }
    }

    const NPP place = placeOf(record, dongle->profile().pan);
    const bool belongs = m_workingChannelMap.isEmpty() || (isHeadset && m_workingChannelMap.contains(own))
        || inWorkingMap(place);
    if (place.pan == dongle->profile().pan && belongs) {
        if (moved)
            updateDeviceList();
        if (m_workingChannelMap.isEmpty())
            return;
        if (record.product == ProductID::Link)
            markDevice(DeviceAddress(place.address, record.count ? record.ports[0] : DefaultPort), true);
        else if (isHeadset)
            markHeadset(true);
        return;
    }
    if (isHeadset) {
        m_foundHeadsets.insert(FoundDeviceMap::keyOf(record), record);
        updateHeadsetList();
    } else if (record.product == ProductID::Link) {
        m_foundDevices.insert(FoundDeviceMap::keyOf(record), record);
        updateDeviceList();
    }
}

// ---- Lists ----------------------------------------------------------------------------------------

void PairingPage::updateDongle(Dongle* dongle)
{
    if (!dongle)
        return;
    DongleProfile const& profile = dongle->profile();
    m_ui->dongle->setPAN(profile.pan);
    m_ui->dongle->setAddress(DeviceAddress(profile.address, DefaultPort));
    m_ui->dongle->setSerial(profile.serial);
}

void PairingPage::markHeadset(bool on)
{
    if (DeviceWidget* row = rowWidget(m_ui->channelList, 0))
        row->setChecked(on);
}

void PairingPage::markDevice(DeviceAddress const& address, bool on)
{
    QListWidget* list = m_ui->channelList;
    for (int i = 0; i < list->count(); ++i) {
        DeviceWidget* row = rowWidget(list, i);
        if (row && row->address() == address) {
            row->setChecked(on);
            return;
        }
    }
}

void PairingPage::listFound(
    QListWidget* list, FoundDeviceMap& found, std::function<bool(NPP const&)> const& belongs)
{
    list->clear();
    Dongle* dongle = container->getDongle();
    if (!dongle)
        return;
    const quint16 pan = dongle->profile().pan;
    for (int i = 0; i < found.size();) {
        const NPP record = found.valueAt(i);
        if (record.pan == pan && belongs(record)) {
            found.removeAt(i); // already in this network: nothing to offer
            continue;
        }
        addDeviceTo(list, record.product, record.pan, DeviceAddress(record.address, DefaultPort),
            record.getSerialNumber(), false, false);
        ++i;
    }
}

void PairingPage::updateHeadsetList()
{
    // A headset is paired with this dongle once its channel map holds the dongle.
    Dongle* dongle = container->getDongle();
    const bool paired
        = dongle && m_workingChannelMap.contains(DeviceAddress(dongle->profile().address, DefaultPort));
    listFound(m_ui->headsetList, m_foundHeadsets, [paired](NPP const&) { return paired; });
}

void PairingPage::updateDeviceList()
{
    if (!container->getHeadset()) {
        m_ui->deviceList->clear(); // heard all the same: offered once a headset is back
        return;
    }
    listFound(m_ui->deviceList, m_foundDevices, [this](NPP const& record) { return inWorkingMap(record); });
}

void PairingPage::updateChannelMap(Headset* headset)
{
    QListWidget* list = m_ui->channelList;
    list->clear();
    m_ui->cmapRemoveButton->setEnabled(false);
    if (!headset)
        return;
    m_workingChannelMap = headset->channelMap();
    Dongle& dongle = headset->dongle();
    // The headset's own network, which a headset of another network does not share with the
    // dongle; its map's devices are on that network too.
    const quint16 pan = headset->pan();
    const quint8 own = dongle.profile().address;
    const bool inService = isInServiceMode(&dongle);

    QListWidgetItem* headsetRow
        = addDeviceTo(list, OrvixDevice(uchar(headset->address()), DefaultPort, OrvixDevice::HeadsetPreset),
            pan, headset->serial(), inService, false);
    headsetRow->setFlags(Qt::NoItemFlags);
    headsetRow->setBackground(Skin::color(QStringLiteral("disabledWidgetColor")));

    bool dongleInMap = false;
    for (OrvixDevice const& entry : m_workingChannelMap.devices) {
        addDeviceTo(list, entry, pan, QString(), false, false);
        if (entry.address == own) {
            markDevice(DeviceAddress(entry.address, DefaultPort), inService);
            dongleInMap = true;
        }
    }
    if (dongleInMap)
        return;
    // The headset is offered for pairing with this dongle, once its identity is known (an empty
    // record would offer a phantom headset at PAN 0 and move the dongle there).
    if (m_headsetNPP.product == ProductID::Headset) {
        m_foundHeadsets.insert(FoundDeviceMap::keyOf(m_headsetNPP), m_headsetNPP);
        updateHeadsetList();
    } else {
        m_offerHeadsetOnIdentity = true;
    }
}

void PairingPage::onUpdateUI()
{
    updateHeadsetList();
    Dongle* dongle = container->getDongle();
    if (!dongle) {
        m_ui->deviceList->clear();
        return;
    }
    updateDongle(dongle);
    m_ui->deviceList->clear();
    // Each LINK still listed is asked who it is; the replies come back through deviceFound,
    // which lists them again.
    for (int i = 0; i < m_foundDevices.size(); ++i) {
        const NPP record = m_foundDevices.valueAt(i);
        if (record.product != ProductID::Link)
            continue;
        // Lives until its completion has run.
        auto* link = new Link(*dongle, Link::ServicePAN, record.address, nullptr);
        link->queryNPP([link](NPP*, DongleResult) { link->deleteLater(); }, false);
    }
}

// ---- Form handlers ---------------------------------------------------------------------------------

void PairingPage::on_headsetList_itemSelectionChanged()
{
    int row = -1;
    if (!firstSelected(m_ui->headsetList, &row) || !acceptsPick(m_ui->headsetList))
        return;
    qDebug().noquote() << QStringLiteral("HEADSET SELECTED: [%1]").arg(row);
    if (row < m_foundHeadsets.size())
        bindHeadset(m_foundHeadsets.valueAt(row));
}

void PairingPage::on_deviceList_itemSelectionChanged()
{
    int row = -1;
    if (!firstSelected(m_ui->deviceList, &row) || !acceptsPick(m_ui->deviceList))
        return;
    qDebug().noquote() << QStringLiteral("DEVICE SELECTED: [%1]").arg(row);
    if (row < m_foundDevices.size())
        bindLink(m_foundDevices.valueAt(row));
}

void PairingPage::on_channelList_itemSelectionChanged()
{
    m_ui->cmapRemoveButton->setEnabled(false);
    int row = -1;
    if (!firstSelected(m_ui->channelList, &row) || row <= 0 || !acceptsPick(m_ui->channelList)
        || !container->getHeadset())
        return;
    DeviceWidget* widget = rowWidget(m_ui->channelList, row);
    if (widget && widget->isChecked())
        m_ui->cmapRemoveButton->setEnabled(true);
}

void PairingPage::on_cmapRemoveButton_clicked()
{
    int row = -1;
    if (!firstSelected(m_ui->channelList, &row) || !acceptsPick(m_ui->channelList))
        return;
    qDebug().noquote() << QStringLiteral("CHANNEL SELECTED: [%1]").arg(row);
    DeviceWidget* widget = row > 0 ? rowWidget(m_ui->channelList, row) : nullptr;
    if (!widget)
        return;
    // The entry of the device the row shows: a removal whose map was not written has taken its
    // entry out of the working map while the rows stay, and the rows after it no longer sit at
    // their entry's index.
    const DeviceAddress place = widget->address();
    for (OrvixDevice const& entry : m_workingChannelMap.devices) {
        if (entry.address == place.address && entry.portNumber() == place.port) {
            removeChannel(entry);
            return;
        }
    }
}

} // namespace OX
