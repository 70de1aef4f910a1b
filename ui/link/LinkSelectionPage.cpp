#include "ui/link/LinkSelectionPage.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QtDebug>

#include "async/Promise.h"
#include "device/Dongle.h"
#include "device/Headset.h"
#include "device/Link.h"
#include "ui/toolkit/DeviceWidget.h"
#include "ui/toolkit/ListRows.h"
#include "ui/toolkit/PageController.h"
#include "ui_LinkSelectionPage.h"

namespace OX
{

namespace
{

// A LINK row: enabled, port 1.
constexpr uchar LinkPort = OrvixDevice::EnabledBit | 0x01;

} // namespace

LinkSelectionPage::LinkSelectionPage(PageContainer* container, QWidget* parent)
    : Page(container, parent)
    , m_ui(new Ui::LinkSelectionPage)
{
    m_ui->setupUi(this);
    m_pingTimer.setSingleShot(true);
    connect(
        this, &LinkSelectionPage::updateList, this, &LinkSelectionPage::onUpdateList, Qt::DirectConnection);
    connect(this, &LinkSelectionPage::schedulePing, this, &LinkSelectionPage::onSchedulePing,
        Qt::DirectConnection);
    connect(&m_pingTimer, &QTimer::timeout, this, &LinkSelectionPage::onPing);
    connect(m_ui->linkListWidget, &QListWidget::itemSelectionChanged, this,
        &LinkSelectionPage::onLinkSelectionChanged);
}

LinkSelectionPage::~LinkSelectionPage() = default;

QListWidget* LinkSelectionPage::linkListWidget() const
{
    return m_ui->linkListWidget;
}

QListWidget* LinkSelectionPage::parameterListWidget() const
{
    return m_ui->parameterListWidget;
}

bool LinkSelectionPage::perform(PageAction action)
{
    switch (action) {
    case PageAction::refresh:
        refreshDevices();
        return true;
    case PageAction::settings: {
        QString target;
        if (m_selectedPreset == OrvixDevice::LinkOutdoorDrive)
            target = QString::fromLatin1(OutdoorPageName);
        else if (m_selectedPreset == OrvixDevice::LinkDrive)
            target = QString::fromLatin1(IndoorPageName);
        if (target.isEmpty() || m_queryRunning || !controller)
            return false;
        return controller->showPage(target, Page::FromBottom, SettingsSlideMs, true);
    }
    default:
        return Page::perform(action);
    }
}

void LinkSelectionPage::retranslate()
{
    m_ui->retranslateUi(this);
    container->setTitle(tr("Link selection"));
    container->setSubtitle(QString());
    container->setLeft(tr("Back"), PageAction::back, this);
    container->setRight(tr("Settings"), PageAction::settings, this, PageFooter::MainButton);
    container->setRight(tr("Refresh"), PageAction::refresh, this, PageFooter::AlternativeButton);
    // A language change keeps the LINK selected, and "Settings" with it.
    container->setRightEnabled(PageFooter::MainButton, canOpenSettings());
    container->setRightEnabled(PageFooter::AlternativeButton, !m_awaitingHeadset);
    showMissingDevice();
}

void LinkSelectionPage::pageWillAppear(QString const&)
{
    m_ui->linkListWidget->clear();
    m_ui->parameterListWidget->clear();
    retranslate();
}

bool LinkSelectionPage::pageShouldDisappear()
{
    return true;
}

void LinkSelectionPage::pageWillDisappear(QString const&, std::function<void()> done)
{
    endWork();
    if (done)
        done();
}

void LinkSelectionPage::pageDidAppear()
{
    // The page left before may have ended its busy state on the way out, which frees every
    // right button: "Settings" follows the selection again.
    container->setRightEnabled(PageFooter::MainButton, canOpenSettings());
    refreshDevices();
    Page::pageDidAppear();
}

void LinkSelectionPage::updateWithHeadset(Headset* headset, HeadsetChangeMask mask)
{
    if (!appeared)
        return;
    if (!headset || mask.testFlag(HeadsetChangeMask::lost))
        showNoDevices(); // its LINKs cannot be reached without it
    else if (m_awaitingHeadset && headset->isRunning())
        refreshDevices(); // its channel map has come
}

void LinkSelectionPage::updateWithDongle(Dongle* dongle, DongleChangeMask mask)
{
    if (!appeared)
        return;
    if (!dongle) {
        showNoDevices();
        Page::perform(PageAction::back);
        return;
    }
    if (m_awaitingHeadset) {
        if (dongle->headset() && dongle->headset()->isRunning())
            refreshDevices(); // plugged in again
        else
            showMissingDevice(); // the dongle is back, its headset not yet
        return;
    }
    if (mask.testFlag(DongleChangeMask::linkFound | DongleChangeMask::linkLost))
        emit updateList();
}

void LinkSelectionPage::endWork()
{
    m_pingTimer.stop();
    m_queryRunning = false;
    if (m_busy) {
        // The footer is still this page's: the chain that set it busy will not end it.
        m_busy = false;
        container->setProgress(false);
    }
}

void LinkSelectionPage::showNoDevices()
{
    endWork();
    m_awaitingHeadset = true;
    m_ui->linkListWidget->clear();
    onLinkSelectionChanged(); // nothing selected: "Settings" off
    // Nothing to search without a dongle and its headset: the list fills again on its own when
    // they are back, and "Refresh" comes back with them.
    container->setRightEnabled(PageFooter::AlternativeButton, false);
    showMissingDevice();
}

void LinkSelectionPage::showMissingDevice()
{
    QLabel* text = m_ui->missingDeviceText;
    if (!m_awaitingHeadset) {
        text->hide();
        return;
    }
    text->setText(container->getDongle() ? tr("Headset not found") : tr("Dongle not connected"));
    text->show();
}

QString LinkSelectionPage::missingDeviceText() const
{
    return m_ui->missingDeviceText->isVisibleTo(this) ? m_ui->missingDeviceText->text() : QString();
}

void LinkSelectionPage::deviceFound(Dongle*, NPP const&) { }

void LinkSelectionPage::refreshDevices()
{
    m_pingTimer.stop();
    Headset* headset = container->getHeadset();
    if (!headset) {
        showNoDevices();
        return;
    }
    m_awaitingHeadset = false;
    showMissingDevice();
    container->setRightEnabled(PageFooter::AlternativeButton, true);
    // The query reads every LINK afresh, and may put another LINK under a preset: "Settings"
    // waits for it, so that the page opened edits the record just read from the LINK shown.
    const quint64 query = ++m_querySerial;
    m_queryRunning = true;
    container->setRightEnabled(PageFooter::MainButton, false);
    const quint64 visit = this->visit();
    QPointer<LinkSelectionPage> self(this);
    headset->dongle().queryDevices(
        headset->channelMap(), nullptr, [self, visit, query](QList<OrvixDevice::Preset>* found) {
            if (!self || !self->isCurrentVisit(visit))
                return; // a query of a visit that ended starts nothing
            if (query == self->m_querySerial)
                self->m_queryRunning = false;
            if (!found || found->isEmpty()) {
                self->onLinkSelectionChanged(); // the rows stay; "Settings" follows them again
                return;
            }
            emit self->updateList();
            emit self->schedulePing();
        });
}

void LinkSelectionPage::onSchedulePing()
{
    m_pingTimer.start(m_pingIntervalMs);
}

void LinkSelectionPage::onPing()
{
    container->setProgress(true);
    m_busy = true;
    Dongle* dongle = container->getDongle();
    if (!dongle) {
        m_busy = false;
        container->setProgress(false);
        return;
    }
    const quint64 visit = this->visit();
    QPointer<LinkSelectionPage> self(this);
    Defer chain = Promise::createResolved(QStringLiteral("Ping"));
    for (OrvixDevice::Preset preset : dongle->links().keys()) {
        chain = chain.then(OrvixDevice::QStringFromPreset(preset), [self, preset](Defer& step) {
            Defer node = step;
            Dongle* now = self ? self->container->getDongle() : nullptr;
            // The dongle never answers for a LINK it no longer knows: the step ends here.
            if (!now || !now->links().contains(preset)) {
                node.resolve();
                return;
            }
            now->pingLink(preset, [node](DongleResult) { node.resolve(); });
        });
    }
    chain.always(QStringLiteral("Finally"), [self, visit] {
        if (!self || !self->isCurrentVisit(visit))
            return; // left meanwhile: its busy state ended with the visit
        self->m_busy = false;
        self->container->setProgress(false);
        emit self->updateList();
        emit self->schedulePing();
    });
}

void LinkSelectionPage::onUpdateList()
{
    const quint8 remembered = m_selectedPreset;
    const QString rememberedLink = m_selectedLink;
    m_ui->linkListWidget->clear();
    qDebug().noquote() << "Updatelist selected item: "
                       << OrvixDevice::QStringFromPreset(OrvixDevice::Preset(remembered));
    Dongle* dongle = container->getDongle();
    if (dongle) {
        const QMap<OrvixDevice::Preset, Link*> links = dongle->links();
        for (auto it = links.cbegin(); it != links.cend(); ++it) {
            Link* link = it.value();
            if (!link)
                continue;
            // The row carries the key the dongle knows the LINK under, so that the LINK shown is
            // the LINK opened, wherever it sits on the network.
            OrvixDevice device;
            device.address = link->address();
            device.port = LinkPort;
            device.preset = it.key();
            addDeviceTo(m_ui->linkListWidget, device, link->pan(), link->serial(), false,
                it.key() == remembered && link->identity() == rememberedLink);
        }
    }
    onLinkSelectionChanged();
}

void LinkSelectionPage::onLinkSelectionChanged()
{
    m_ui->parameterListWidget->clear();
    m_selectedPreset = OrvixDevice::NoPreset;
    m_selectedLink.clear();
    container->setRightEnabled(PageFooter::MainButton, false);
    Dongle* dongle = container->getDongle();
    if (!dongle)
        return;
    QListWidgetItem* chosen = nullptr;
    const QList<QListWidgetItem*> items = m_ui->linkListWidget->selectedItems();
    for (QListWidgetItem* item : items) {
        const int row = m_ui->linkListWidget->row(item);
        qDebug().nospace() << "LINK SELECTED: [" << row << "]";
        if (row >= 0 && item->listWidget() && item->isSelected()) {
            chosen = item;
            break;
        }
    }
    if (!chosen)
        return;
    auto* row = qobject_cast<DeviceWidget*>(m_ui->linkListWidget->itemWidget(chosen));
    if (!row)
        return;
    Link* link = dongle->links().value(row->preset(), nullptr);
    if (!link)
        return;
    showValues(link);
    m_selectedPreset = row->preset();
    m_selectedLink = link->identity();
    container->setRightEnabled(PageFooter::MainButton, canOpenSettings());
}

void LinkSelectionPage::showValues(Link* link)
{
    m_ui->parameterListWidget->clear();
    if (!link)
        return;
    const QString none;
    addParameterTo(m_ui->parameterListWidget, tr("PAN"), link->pan(), none);
    addParameterTo(m_ui->parameterListWidget, tr("Address"), link->address(), none);
    addParameterTo(m_ui->parameterListWidget, tr("Version"), link->version().toString(), none);
    addParameterTo(m_ui->parameterListWidget, tr("Revision"), link->revision(), none);
    addParameterTo(m_ui->parameterListWidget, tr("Serial"), link->serial(), none);
}

} // namespace OX
