#include "ui/pages/DevicesPage.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QtDebug>

#include "app/OrvixDirector.h"
#include "device/Headset.h"
#include "ui/toolkit/IconButton.h"
#include "ui_DevicesPage.h"

namespace OX
{

namespace
{

// The entry a row stands for, without its enabled bit (the row's check box carries that).
constexpr int EntryRole = Qt::UserRole + 1;

QByteArray identity(OrvixDevice const& device)
{
    QByteArray bytes(3, '\0');
    bytes[0] = char(device.address);
    bytes[1] = char(device.portNumber());
    bytes[2] = char(device.preset);
    return bytes;
}

// A row built completely before it joins the list, so that joining changes no check state.
QListWidgetItem* makeRow(OrvixDevice const& device)
{
    QString icon;
    QString format;
    switch (device.preset) {
    case OrvixDevice::LinkDrive:
    case OrvixDevice::LinkOutdoorDrive:
        icon = QStringLiteral(":/device/icons/link_drive");
        format = QStringLiteral("LINK at %1/%2");
        break;
    case OrvixDevice::PC1:
        icon = QStringLiteral(":/device/icons/pc_mouse_a");
        format = QStringLiteral("PC at %1/%2");
        break;
    case OrvixDevice::PC2:
        icon = QStringLiteral(":/device/icons/pc_mouse_b");
        format = QStringLiteral("PC at %1/%2");
        break;
    default:
        icon = QStringLiteral(":/device/icons/unknown");
        format = QStringLiteral("DEVICE at %1/%2");
        break;
    }
    auto* item = new QListWidgetItem(QIcon(icon), format.arg(device.address).arg(device.portNumber()));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(device.isEnabled() ? Qt::Checked : Qt::Unchecked);
    item->setData(EntryRole, identity(device));
    return item;
}

} // namespace

DevicesPage::DevicesPage(PageContainer* container, QWidget* parent)
    : Page(container, parent)
    , m_ui(std::make_unique<Ui::DevicesPage>())
{
    m_ui->setupUi(this);
    connect(m_ui->upButton, &QToolButton::clicked, this, [this] { onUpClicked(); });
    connect(m_ui->downButton, &QToolButton::clicked, this, [this] { onDownClicked(); });
    connect(m_ui->listWidget, &QListWidget::itemChanged, this, &DevicesPage::onItemChanged);
    connect(m_ui->listWidget, &QListWidget::currentRowChanged, this, &DevicesPage::onCurrentRowChanged);
    connect(
        m_ui->listWidget->model(), &QAbstractItemModel::rowsMoved, this, &DevicesPage::onListWidgetRowsMoved);
    connect(this, &DevicesPage::applyChannelMap, this, &DevicesPage::onApplyChannelMap, Qt::DirectConnection);
}

DevicesPage::~DevicesPage() = default;

QListWidget* DevicesPage::listWidget() const
{
    return m_ui->listWidget;
}

IconButton* DevicesPage::upButton() const
{
    return m_ui->upButton;
}

IconButton* DevicesPage::downButton() const
{
    return m_ui->downButton;
}

void DevicesPage::retranslate()
{
    m_ui->retranslateUi(this);
    container->setTitle(tr("Devices"));
    container->setSubtitle(QString());
    container->setLeft(tr("Back"), PageAction::back, this);
    if (!m_ui->missingDeviceText->isHidden())
        showHeadsetPresent(false); // in the new language
    updateFooter();
}

QString DevicesPage::missingDeviceText() const
{
    return m_ui->missingDeviceText->isHidden() ? QString() : m_ui->missingDeviceText->text();
}

void DevicesPage::showHeadsetPresent(bool present)
{
    setEnabled(present);
    m_ui->missingDeviceText->setVisible(!present);
    if (!present)
        m_ui->missingDeviceText->setText(
            container->getDongle() ? tr("Headset not found") : tr("Dongle not connected"));
}

void DevicesPage::pageWillAppear(QString const&)
{
    // Without a headset there is nothing to order: the page stays disabled until one is found.
    Headset* headset = container->getHeadset();
    if (headset)
        updateList(headset->channelMap());
    showHeadsetPresent(headset != nullptr);
    retranslate();
}

bool DevicesPage::perform(PageAction action)
{
    if (action == PageAction::apply) {
        emit applyChannelMap();
        return false;
    }
    return Page::perform(action);
}

bool DevicesPage::hasPendingEdits()
{
    Headset* headset = container->getHeadset();
    return headset && m_workingCopy != headset->channelMap();
}

bool DevicesPage::pageShouldDisappear()
{
    if (!hasPendingEdits())
        return true;
    Question question;
    question.informative = tr("Devices about to leave");
    question.text = tr("You have change in your device order. Do you want to apply changes?");
    question.buttons = QStringList { tr("Stay on page"), tr("Dismiss and leave page") };
    question.about = { container->getHeadset() }; // without it there are no edits to lose
    return askBeforeLeaving(question, [](int answer) { return answer != 0; });
}

void DevicesPage::updateWithHeadset(Headset* headset, HeadsetChangeMask mask)
{
    if (!headset || mask.testFlag(HeadsetChangeMask::lost)) {
        qDebug() << "OX::DevicesPage (HeadsetLost)";
        showHeadsetPresent(false);
        updateFooter();
        return;
    }
    if (mask.testFlag(HeadsetChangeMask::channelMap)) {
        qDebug() << "OX::DevicesPage (Headset::ChannelMap changed)";
        updateList(headset->channelMap());
        showHeadsetPresent(true);
    }
}

void DevicesPage::updateWithDongle(Dongle*, DongleChangeMask)
{
    if (!m_ui->missingDeviceText->isHidden())
        showHeadsetPresent(false);
}

void DevicesPage::updateList(ChannelMap const& map)
{
    if (map == m_workingCopy) {
        updateFooter();
        return;
    }
    m_workingCopy = map;
    rebuildRows();
    updateFooter();
}

void DevicesPage::rebuildRows()
{
    QListWidget* list = m_ui->listWidget;
    list->clear();
    for (OrvixDevice const& device : m_workingCopy.devices)
        list->addItem(makeRow(device));
    if (!m_workingCopy.isEmpty())
        list->setCurrentRow(0);
    setArrowsFor(list->currentRow());
}

void DevicesPage::updateFooter()
{
    if (hasPendingEdits())
        container->setRight(tr("Apply"), PageAction::apply, this, PageFooter::MainButton);
    else
        container->setRight(QString(), PageAction::none, nullptr, PageFooter::MainButton);
}

void DevicesPage::setArrowsFor(int row)
{
    const int last = m_ui->listWidget->count() - 1;
    // No current row, or rows taking no edits: neither arrow has anything to move.
    const bool editable = m_ui->listWidget->isEnabledTo(this);
    m_ui->upButton->setEnabled(editable && row > 0 && row <= last);
    m_ui->downButton->setEnabled(editable && row >= 0 && row < last);
}

void DevicesPage::setEditable(bool editable)
{
    m_ui->listWidget->setEnabled(editable);
    setArrowsFor(m_ui->listWidget->currentRow());
}

void DevicesPage::onCurrentRowChanged(int currentRow)
{
    setArrowsFor(currentRow);
}

bool DevicesPage::moveRow(int from, int to)
{
    QListWidget* list = m_ui->listWidget;
    if (list->count() != m_workingCopy.size() || !m_workingCopy.swap(from, to))
        return false;
    // The lower of the two rows is taken out and put back above the upper one.
    const int upper = qMin(from, to);
    const int lower = qMax(from, to);
    QListWidgetItem* moved = list->item(from);
    list->insertItem(upper, list->takeItem(lower));
    list->setCurrentItem(moved);
    setArrowsFor(to);
    updateFooter();
    return true;
}

void DevicesPage::onUpClicked()
{
    const int row = m_ui->listWidget->currentRow();
    qDebug() << "MOVE UP " << row << row - 1;
    moveRow(row, row - 1);
}

void DevicesPage::onDownClicked()
{
    const int row = m_ui->listWidget->currentRow();
    qDebug() << "MOVE DOWN " << row << row + 1;
    moveRow(row, row + 1);
}

void DevicesPage::onItemChanged(QListWidgetItem* item)
{
    const int row = item ? m_ui->listWidget->row(item) : -1;
    const bool checked = item && item->checkState() == Qt::Checked;
    qDebug() << "item changed at row: " << row << ", checked: " << (checked ? "true" : "false");
    if (row < 0 || row >= m_workingCopy.size()
        || item->data(EntryRole).toByteArray() != identity(m_workingCopy.at(row))) {
        qWarning() << "OX::DevicesPage: a row that is not in the working copy changed; the rows are rebuilt";
        rebuildRows();
        updateFooter();
        return;
    }
    m_workingCopy.devices[row].setEnabled(checked);
    updateFooter();
}

void DevicesPage::onListWidgetRowsMoved(
    QModelIndex const& parent, int start, int end, QModelIndex const& destination, int row)
{
    qDebug() << "Items moved at " << parent.row() << " [" << start << " - " << end << "] -> "
             << destination.row() << " / " << row;
    // The list has already moved the row: it now stands at row, or row - 1 when it came from above.
    const int to = row < start ? row : row - 1;
    QListWidget* list = m_ui->listWidget;
    const int n = m_workingCopy.size();
    const bool fits = start == end && start >= 0 && start < n && to >= 0 && to < n && list->count() == n;
    if (fits && to != start)
        m_workingCopy.devices.move(start, to);
    bool same = fits;
    for (int i = 0; same && i < n; ++i)
        same = list->item(i)->data(EntryRole).toByteArray() == identity(m_workingCopy.at(i));
    if (!same) {
        qWarning() << "OX::DevicesPage: the moved rows do not match the working copy; the rows are rebuilt";
        rebuildRows();
    }
    // The current row moved with its item without becoming current anew: the arrows follow it.
    setArrowsFor(list->currentRow());
    updateFooter();
}

void DevicesPage::onApplyChannelMap()
{
    Headset* headset = container->getHeadset();
    if (!headset || m_workingCopy == headset->channelMap())
        return;
    // The headset reports the stored map as an update, which hides "Apply" and takes the rows
    // back to the map sent: an edit made meanwhile would be thrown away, so the rows take none
    // until the answer.
    container->setProgress(true);
    setEditable(false);
    QPointer<DevicesPage> self(this);
    QPointer<Headset> asked(headset);
    const quint64 visit = this->visit();
    headset->setChannelMap(m_workingCopy, [self, asked, visit](DongleResult result) {
        if (self)
            self->onChannelMapWritten(result, asked, visit);
    });
}

void DevicesPage::onChannelMapWritten(
    DongleResult const& result, QPointer<Headset> const& asked, quint64 visit)
{
    const bool here = isVisit(visit);
    if (here)
        container->setProgress(false);
    setEditable(true);
    // A headset gone meanwhile is told by its loss; any other failure leaves "Apply" for another
    // try. A refusal or a headset that never answered is told once, and the rows go back to the
    // order the headset last confirmed.
    if (!asked || (result.code != DongleResult::Refused && result.code != DongleResult::TimedOut))
        return;
    const QString text = result.code == DongleResult::Refused
        ? tr("The headset refused the new device order. It keeps the order shown.")
        : tr("The headset did not answer. The order shown is the last one it confirmed.");
    if (!here) {
        // The person has left the page: the director tells it, and the next visit shows the
        // headset's order anyway.
        if (OrvixDirector* director = container->getDirector())
            emit director->showMessage(OrvixDirector::warning, tr("Devices"), text);
        return;
    }
    updateList(asked->channelMap());
    Question question;
    question.icon = Icon::Warning;
    question.title = tr("Devices");
    question.text = text;
    question.informative = result.text;
    question.about = { asked.data() };
    ask(question);
}

} // namespace OX
