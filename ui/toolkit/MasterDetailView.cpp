#include "ui/toolkit/MasterDetailView.h"

#include "ui_MasterDetailView.h"

#include "ui/toolkit/ExpandableListViewItem.h"
#include "ui/toolkit/LinkForm.h"
#include "ui/toolkit/ViewControllerDelegate.h"

#include <QVBoxLayout>

namespace OX
{

MasterDetailView::MasterDetailView(QWidget* parent)
    : LinkViewController(parent)
    , m_ui(std::make_unique<Ui::MasterDetailView>())
{
    m_ui->setupUi(this);
    connect(
        m_ui->ListView, &ExpandableListView::itemClickedSignal, this, &MasterDetailView::onMenuItemClicked);
    m_detailLayout = new QVBoxLayout(m_ui->DetailView);
    m_detailLayout->setSizeConstraint(QLayout::SetMaximumSize);
    m_detailLayout->setContentsMargins(0, 0, 0, 0);
}

MasterDetailView::~MasterDetailView() = default;

ExpandableListView* MasterDetailView::listView() const
{
    return m_ui->ListView;
}

bool MasterDetailView::addPage(
    const QString& identifier, const char* title, const char* description, QWidget* page)
{
    if (!page || m_detailPages.contains(identifier))
        return false;
    // Owned by the detail area from now on, shown or not.
    page->setParent(m_ui->DetailView);
    page->hide();
    m_detailPages.insert(identifier, page);
    m_ui->ListView->addItem(identifier, title, description);
    return true;
}

void MasterDetailView::onMenuItemClicked(ExpandableListViewItem* item)
{
    if (item)
        showPage(item->getIdentifier());
}

bool MasterDetailView::showPage(const QString& identifier)
{
    if (!m_activeIdentifier.isEmpty() && identifier == m_activeIdentifier)
        return true;
    QWidget* page = m_detailPages.value(identifier);
    if (!page)
        return false;

    if (QWidget* shown = m_detailPages.value(m_activeIdentifier)) {
        const QString leaving = m_activeIdentifier;
        if (delegate)
            delegate->viewWillDisappear(leaving);
        shown->hide();
        m_detailLayout->removeWidget(shown);
        if (delegate)
            delegate->viewDidDisappear(leaving);
    }
    if (delegate)
        delegate->viewWillAppear(identifier);
    // Placed in the layout before it shows, so it never flashes as a window of its own.
    m_detailLayout->addWidget(page);
    page->show();
    m_ui->ListView->setActiveItem(identifier);
    m_ui->ListView->retranslate();
    m_activeIdentifier = identifier;
    if (delegate)
        delegate->viewDidAppear(identifier);
    return true;
}

bool MasterDetailView::activateFirst()
{
    const QString first = getFirstIdentifier();
    if (first.isEmpty() || !isEnabled(first))
        return false;
    return showPage(first);
}

QString MasterDetailView::getFirstIdentifier() const
{
    const QStringList ids = m_ui->ListView->identifiers();
    return ids.isEmpty() ? QString() : ids.first();
}

bool MasterDetailView::activateLast()
{
    const QString last = getLastIdentifier();
    if (last.isEmpty())
        return false;
    return showPage(last);
}

QString MasterDetailView::getLastIdentifier() const
{
    const QStringList ids = m_ui->ListView->identifiers();
    for (auto it = ids.crbegin(); it != ids.crend(); ++it) {
        if (isEnabled(*it))
            return *it;
    }
    return {};
}

bool MasterDetailView::setActive(const QString& identifier)
{
    if (!m_detailPages.contains(identifier) || !isEnabled(identifier))
        return false;
    return showPage(identifier);
}

QString MasterDetailView::getActiveIdentifier() const
{
    return m_activeIdentifier;
}

void MasterDetailView::setEnabled(const QString& identifier, bool enabled)
{
    m_ui->ListView->setItemEnabled(identifier, enabled);
}

bool MasterDetailView::isEnabled(const QString& identifier) const
{
    // The list entry holds the state setEnabled writes.
    return m_detailPages.contains(identifier) && m_ui->ListView->isItemEnabled(identifier);
}

void MasterDetailView::updateUi(const QString& identifier, LPP::ChangeMask mask)
{
    if (auto* form = qobject_cast<LinkForm*>(m_detailPages.value(identifier)))
        form->updateUi(mask);
}

void MasterDetailView::updateWithHeadset(Headset* headset, HeadsetChangeMask mask)
{
    if (auto* form = qobject_cast<LinkForm*>(m_detailPages.value(m_activeIdentifier)))
        form->updateWithHeadset(headset, mask);
}

void MasterDetailView::retranslate()
{
    for (QWidget* page : qAsConst(m_detailPages)) {
        if (auto* form = qobject_cast<LinkForm*>(page))
            form->retranslate();
    }
    m_ui->ListView->retranslate();
}

} // namespace OX
