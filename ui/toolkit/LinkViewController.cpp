#include "ui/toolkit/LinkViewController.h"

#include "ui/toolkit/LinkForm.h"

#include <QVBoxLayout>

namespace OX
{

LinkViewController::LinkViewController(QWidget* parent)
    : ViewController(parent)
{
}

void LinkViewController::setForm(LinkForm* form)
{
    if (!m_layout) {
        m_layout = new QVBoxLayout(this);
        m_layout->setSizeConstraint(QLayout::SetMaximumSize);
        m_layout->setContentsMargins(0, 0, 0, 0);
    }
    if (form == m_form)
        return; // already shown: deleting it would leave nothing to show
    if (m_form) {
        m_layout->removeWidget(m_form);
        delete m_form;
    }
    m_form = form;
    if (m_form)
        m_layout->addWidget(m_form);
}

void LinkViewController::updateUi(const QString&, LPP::ChangeMask mask)
{
    if (m_form)
        m_form->updateUi(mask);
}

void LinkViewController::retranslate()
{
    if (m_form)
        m_form->retranslate();
}

} // namespace OX
