// The wizard of the LINK settings page: the tabs and list entries unlocked up to the furthest
// step, and Previous, Next and the tab switch.
#include "ui/link/LinkPage.h"

#include <QPushButton>
#include <QScopedValueRollback>
#include <QSet>
#include <QTabWidget>
#include <QtDebug>

#include "app/Settings.h"
#include "ui/toolkit/LinkViewController.h"
#include "ui_LinkPage.h"

namespace OX
{

void LinkPage::setActive(QString const& key)
{
    // The tab switch brings key's page, not the furthest one of its tab: shown on the way for an
    // instant, that one would unlock the page after it unseen.
    const QScopedValueRollback<QString> asked(m_askedKey, key);
    if (LinkViewController* controller = setCurrentTabByName(m_navigator[key]))
        controller->setActive(key);
}

void LinkPage::updateWizard()
{
    Settings* settings = container->getSettings();
    if (!settings)
        return;
    const QString step = settings->linkProfileWizardState();
    qDebug().nospace().noquote() << "UPDATE UI [" << step << "]";
    QSet<QString> reachableGroups;
    bool reachable = true;
    for (LinkNavigator::Node const* node = m_navigator.head(); node; node = node->next) {
        LinkViewController* tab = tabByName(node->group);
        if (!tab)
            continue;
        if (reachable)
            reachableGroups.insert(node->group);
        tab->setEnabled(node->key, reachable);
        if (node->key == step)
            reachable = false;
    }
    for (int i = 0; i < m_ui->tabWidget->count(); ++i)
        m_ui->tabWidget->setTabEnabled(i, reachableGroups.contains(m_ui->tabWidget->widget(i)->objectName()));
}

LinkViewController* LinkPage::tabByName(QString const& name) const
{
    return qobject_cast<LinkViewController*>(m_ui->tabWidget->findChild<QWidget*>(name));
}

LinkViewController* LinkPage::setCurrentTabByName(QString const& name)
{
    QWidget* widget = m_ui->tabWidget->findChild<QWidget*>(name);
    if (!widget)
        return nullptr;
    const int index = m_ui->tabWidget->indexOf(widget);
    if (index >= 0)
        m_ui->tabWidget->setCurrentIndex(index);
    return qobject_cast<LinkViewController*>(widget);
}

void LinkPage::onTabChanged(int index)
{
    auto* controller = qobject_cast<ViewController*>(m_ui->tabWidget->widget(index));
    if (!controller)
        return;
    const bool asked
        = m_navigator[m_askedKey] == controller->objectName() && controller->isEnabled(m_askedKey);
    const QString target = asked ? m_askedKey : controller->getLastIdentifier();
    if (controller->getActiveIdentifier() == target) {
        m_currentKey = target;
        // The tab's own help section, as when the page was shown.
        helpKey = m_helpAnchors.value(m_currentKey);
        qDebug().nospace().noquote() << "SET CURRENT [" << m_currentKey << "]";
    } else if (asked) {
        controller->setActive(target);
    } else {
        controller->activateLast();
    }
    emit updateUi(true);
}

void LinkPage::onNextPressed()
{
    const QString target = m_navigator.getNextOf(m_currentKey);
    qDebug().nospace().noquote() << "SHOW [" << target << "] next of [" << m_currentKey << "]";
    setActive(target);
}

void LinkPage::onPrevPressed()
{
    const QString target = m_navigator.getPrevOf(m_currentKey);
    qDebug().nospace().noquote() << "SHOW [" << target << "] prev of [" << m_currentKey << "]";
    setActive(target);
}

void LinkPage::viewWillAppear(QString const& identifier)
{
    if (LinkViewController* controller = tabByName(m_navigator[identifier])) {
        controller->updateUi(identifier, LPP::ChangeMask::all);
        controller->retranslate();
    }
}

void LinkPage::viewDidAppear(QString const& identifier)
{
    m_currentKey = identifier;
    qDebug().nospace().noquote() << "SET CURRENT [" << identifier << "]";
    helpKey = m_helpAnchors.value(identifier);
    // Viewing a page unlocks the next one; the step never moves back.
    const QString next = m_navigator.getNextOf(identifier);
    if (Settings* settings = container->getSettings()) {
        if (m_navigator.compare(next, settings->linkProfileWizardState()) > 0)
            settings->setLinkProfileWizardState(next);
    }
    updateWizard();
    emit updateUi(true);
}

void LinkPage::viewWillDisappear(QString const&) { }

void LinkPage::viewDidDisappear(QString const&) { }

} // namespace OX
