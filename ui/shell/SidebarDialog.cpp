#include "ui/shell/SidebarDialog.h"

#include "app/OrvixDirector.h"
#include "app/Settings.h"
#include "ui/toolkit/Skin.h"

#include <QBoxLayout>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QToolButton>

SidebarDialog::SidebarDialog(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_layout(new QBoxLayout(QBoxLayout::TopToBottom, this))
    , m_statusIcon(new QToolButton(this))
    , m_dongleBadge(new QLabel(this))
    , m_headsetBadge(new QLabel(this))
{
    setObjectName(QStringLiteral("SidebarDialog"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_statusIcon->setIcon(QIcon(QStringLiteral(":/icons/logo")));
    m_statusIcon->setIconSize(QSize(48, 48));
    m_statusIcon->setAutoRaise(true);
    // The badges are plain texts on the toolbar (a label is a frame, which the style sheet
    // fills with the light widget colour).
    const QString badgeStyle = QStringLiteral("QLabel { background: transparent; border: none; color: %1; }")
                                   .arg(OX::Skin::color(QStringLiteral("sidebarTextColor")).name());
    m_dongleBadge->setStyleSheet(badgeStyle);
    m_headsetBadge->setStyleSheet(badgeStyle);
    m_layout->addWidget(m_statusIcon);
    m_layout->addWidget(m_dongleBadge);
    m_layout->addWidget(m_headsetBadge);

    connect(m_statusIcon, &QToolButton::clicked, this, &SidebarDialog::statusIconAction);
    connect(this, &SidebarDialog::hideSignal, this, &QWidget::hide);
    retranslate();
}

SidebarDialog::~SidebarDialog()
{
    detach();
}

void SidebarDialog::attach(OrvixDirector* director)
{
    detach();
    m_director = director;
    if (!director)
        return;
    m_connections << connect(director, &OrvixDirector::dongleUpdatedSignal, this, &SidebarDialog::onDongleUpdated)
                  << connect(director, &OrvixDirector::headsetUpdatedSignal, this, &SidebarDialog::onHeadsetUpdated)
                  << connect(director, &OrvixDirector::headsetStatusChangedSignal, this,
                             &SidebarDialog::onHeadsetStatusChanged)
                  << connect(director, &OrvixDirector::headsetChannelChangedSignal, this,
                             &SidebarDialog::onHeadsetChannelChanged)
                  << connect(director, &OrvixDirector::settingsChangedSignal, this, &SidebarDialog::onSettingsChanged);
    onSettingsChanged(director->settings());
    m_donglePresent = director->dongle() != nullptr;
    onHeadsetUpdated(nullptr, HeadsetChangeMask::lost);
}

OrvixDirector* SidebarDialog::director() const
{
    return m_director;
}

void SidebarDialog::detach()
{
    for (const QMetaObject::Connection& c : qAsConst(m_connections))
        disconnect(c);
    m_connections.clear();
    m_director = nullptr;
}

void SidebarDialog::show()
{
    if (m_director) {
        m_donglePresent = m_director->dongle() != nullptr;
        onHeadsetUpdated(m_director->headset(), HeadsetChangeMask::all);
    }
    QDialog::show();
    raise();
}

QString SidebarDialog::dongleBadge() const
{
    return m_dongleBadge->text();
}

QString SidebarDialog::headsetBadge() const
{
    return m_headsetBadge->text();
}

void SidebarDialog::onDongleUpdated(Dongle* dongle, DongleChangeMask mask)
{
    if (mask.testFlag(DongleChangeMask::lost))
        m_donglePresent = false;
    else if (dongle)
        m_donglePresent = true;
    retranslate();
}

void SidebarDialog::onHeadsetUpdated(Headset* headset, HeadsetChangeMask mask)
{
    m_headsetPresent = headset != nullptr && !mask.testFlag(HeadsetChangeMask::lost);
    if (!m_headsetPresent)
        m_headsetActive = false;
    retranslate();
}

void SidebarDialog::onHeadsetStatusChanged(Headset* headset, bool active)
{
    m_headsetActive = headset && active;
    retranslate();
}

void SidebarDialog::onHeadsetChannelChanged(Headset*, int)
{
    retranslate();
}

void SidebarDialog::onSettingsChanged(Settings* settings)
{
    if (!settings)
        return;
    m_layout->setDirection(settings->sidebarHorizontal() ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    const float opacity = settings->sidebarOpacity();
    setWindowOpacity(opacity > 0.05f ? double(opacity) : 0.05);
    const float scale = settings->sidebarScale();
    const int side = int(48 * (scale > 0.25f && scale < 4.0f ? scale : 1.0f));
    m_statusIcon->setIconSize(QSize(side, side));
    adjustSize();
}

void SidebarDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void SidebarDialog::retranslate()
{
    setWindowTitle(tr("OrvixTools"));
    m_statusIcon->setToolTip(tr("Show or hide OrvixTools"));
    m_dongleBadge->setText(m_donglePresent ? tr("Dongle") : tr("No dongle"));
    if (!m_headsetPresent)
        m_headsetBadge->setText(tr("No headset"));
    else
        m_headsetBadge->setText(m_headsetActive ? tr("Active") : tr("Passive"));
}
