#include "ui/toolkit/PageFooter.h"

#include "ui/toolkit/PageContainer.h"
#include "ui/toolkit/ProgressWheel.h"
#include "ui/toolkit/StyledBackground.h"
#include "ui_PageFooter.h"

namespace OX
{

namespace
{

constexpr int WheelStepMs = 80;

void present(QPushButton* button, QString const& text, PageAction action)
{
    button->setText(text);
    button->setVisible(action != PageAction::none);
}

} // namespace

void PageFooter::State::setLeft(QString const& text, PageAction action, Page* page)
{
    left.text = text;
    left.action = action;
    left.page = page;
}

void PageFooter::State::setRight(QString const& text, PageAction action, Page* page, ButtonIndex index)
{
    if (index != MainButton && index != AlternativeButton)
        return;
    ButtonState& button = index == MainButton ? right : alternativeRight;
    if (page != button.page)
        button.enabled = true;
    button.text = text;
    button.action = action;
    button.page = page;
    if (index == MainButton)
        alternativeRight.clear();
}

void PageFooter::State::setRightEnabled(ButtonIndex index, bool enabled)
{
    if (index == MainButton)
        right.enabled = enabled;
    else if (index == AlternativeButton)
        alternativeRight.enabled = enabled;
}

PageFooter::PageFooter(PageContainer* container)
    : QWidget(nullptr)
    , m_container(container)
    , m_ui(std::make_unique<Ui::PageFooter>())
{
    m_ui->setupUi(this);
    m_ui->leftButton->hide();
    m_ui->rightButton->hide();
    m_ui->actionButton->hide();
    m_ui->progressWheel->setDisplayedWhenStopped(false);
    m_ui->progressWheel->setAnimationDelay(WheelStepMs);
    m_ui->progressWheel->hide();
    // A button acts on a press released over it only: one slid off (and back), or disabled while
    // held because the page went busy or is leaving, does nothing.
    connect(m_ui->leftButton, &QPushButton::clicked, this, &PageFooter::leftAction);
    connect(m_ui->rightButton, &QPushButton::clicked, this, &PageFooter::rightAction);
    connect(m_ui->actionButton, &QPushButton::clicked, this, &PageFooter::alternativeRightAction);
}

PageFooter::~PageFooter() = default;

void PageFooter::setLeft(QString const& text, PageAction action, Page* page)
{
    m_state.setLeft(text, action, page);
    present(m_ui->leftButton, text, action);
    update();
}

void PageFooter::setRight(QString const& text, PageAction action, Page* page, ButtonIndex index)
{
    // A button handed over to another page is that page's from now on: whatever the page before
    // had disabled does not stay with it.
    if (index == AlternativeButton) {
        if (page != m_state.alternativeRight.page)
            m_ui->actionButton->setEnabled(!m_busy);
        m_state.setRight(text, action, page, index);
        present(m_ui->actionButton, text, action);
    } else if (index == MainButton) {
        if (page != m_state.right.page)
            m_ui->rightButton->setEnabled(!m_busy);
        m_state.setRight(text, action, page, index);
        present(m_ui->rightButton, text, action);
        m_ui->actionButton->hide();
    }
    update();
}

void PageFooter::setRightEnabled(ButtonIndex index, bool enabled)
{
    m_state.setRightEnabled(index, enabled);
    if (QPushButton* button = rightButton(index))
        button->setEnabled(enabled);
}

void PageFooter::setLeftEnabled(bool enabled)
{
    m_ui->leftButton->setEnabled(enabled);
}

void PageFooter::setProgress(bool busy)
{
    m_busy = busy;
    m_ui->rightButton->setEnabled(!busy);
    m_ui->actionButton->setEnabled(!busy);
    if (busy) {
        m_ui->progressWheel->startAnimation();
        m_ui->progressWheel->show();
    } else {
        m_ui->progressWheel->stopAnimation();
        m_ui->progressWheel->hide();
    }
}

void PageFooter::retranslate() { }

QPushButton* PageFooter::leftButton() const
{
    return m_ui->leftButton;
}

QPushButton* PageFooter::rightButton(int index) const
{
    if (index == MainButton)
        return m_ui->rightButton;
    if (index == AlternativeButton)
        return m_ui->actionButton;
    return nullptr;
}

ProgressWheel* PageFooter::progressWheel() const
{
    return m_ui->progressWheel;
}

void PageFooter::leftAction()
{
    if (m_container)
        m_container->perform(m_state.left.action, m_state.left.page);
}

void PageFooter::rightAction()
{
    if (m_container)
        m_container->perform(m_state.right.action, m_state.right.page);
}

void PageFooter::alternativeRightAction()
{
    if (m_container)
        m_container->perform(m_state.alternativeRight.action, m_state.alternativeRight.page);
}

void PageFooter::paintEvent(QPaintEvent* event)
{
    drawStyledBackground(this);
    QWidget::paintEvent(event);
}

} // namespace OX
