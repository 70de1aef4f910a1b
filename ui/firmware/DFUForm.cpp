#include "ui/firmware/DFUForm.h"

#include "ui/toolkit/Skin.h"

#include <QMessageBox>

namespace OX
{

DFUForm::DFUForm(DFUFormDelegate& delegate, QWidget* parent)
    : QWidget(parent)
    , delegate(delegate)
{
    connect(this, &DFUForm::showError, this, &DFUForm::onShowError);
}

void DFUForm::pageWillAppear()
{
    retranslate();
}

bool DFUForm::pageShouldDisappear()
{
    return true;
}

void DFUForm::pageWillDisappear(std::function<void()> done)
{
    done();
}

void DFUForm::pageDidAppear()
{
    update();
}

void DFUForm::pageDidDisappear() { }

void DFUForm::prepareForNavigation(NavigationDirection, std::function<void()> done)
{
    done();
}

void DFUForm::pageAbandoned() { }

void DFUForm::setOnScreen(bool onScreen)
{
    if (onScreen && !m_onScreen)
        ++m_visit;
    m_onScreen = onScreen;
}

void DFUForm::onShowError(const QString& title, const QString& message)
{
    QMessageBox box(QMessageBox::Warning, title, message, QMessageBox::Ok);
    OX::Skin::apply(&box);
    box.setWindowFlags(Qt::WindowStaysOnTopHint);
    box.exec();
}

} // namespace OX
