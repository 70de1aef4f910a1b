#include "ui/shell/MainWindow.h"

#include "app/OrvixDirector.h"
#include "app/Settings.h"
#include "device/Dongle.h"
#include "ui/toolkit/Skin.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <cmath>

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_title(new QLabel(this))
    , m_dongleLabel(new QLabel(this))
    , m_headsetLabel(new QLabel(this))
    , m_progressLabel(new QLabel(this))
    , m_progressBar(new QProgressBar(this))
    , m_hideButton(new QPushButton(this))
    , m_quitButton(new QPushButton(this))
{
    setObjectName(QStringLiteral("MainWindow"));
    resize(MinimumWidth, MinimumHeight);
    // The page background under the skin's light texts.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, OX::Skin::color(QStringLiteral("pageBackgroundColor")));
    setPalette(palette);
    setAutoFillBackground(true);

    auto* header = new QHBoxLayout;
    m_title->setObjectName(QStringLiteral("title"));
    header->addWidget(m_title, 1);
    header->addWidget(m_hideButton);
    header->addWidget(m_quitButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addSpacing(24);
    layout->addWidget(m_dongleLabel);
    layout->addWidget(m_headsetLabel);
    layout->addStretch(1);
    layout->addWidget(m_progressLabel);
    layout->addWidget(m_progressBar);
    m_progressLabel->hide();
    m_progressBar->hide();

    connect(m_hideButton, &QPushButton::clicked, this, [this]() { perform(HideAction); });
    connect(m_quitButton, &QPushButton::clicked, this, [this]() { perform(QuitAction); });
    retranslate();
}

MainWindow::~MainWindow()
{
    detach();
}

QSize MainWindow::fittedSize(int availableHeight, double aspect)
{
    if (!(aspect > 0.0) || !std::isfinite(aspect))
        aspect = double(MinimumWidth) / double(MinimumHeight);
    int height = availableHeight / 2;
    int width = int(std::lround(height * aspect));
    if (width < MinimumWidth) {
        width = MinimumWidth;
        height = int(std::lround(width / aspect));
    }
    if (height < MinimumHeight)
        height = MinimumHeight;
    return QSize(width, height);
}

void MainWindow::attach(OrvixDirector* director)
{
    detach();
    m_director = director;
    if (!director)
        return;

    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1600, 1200);
    const double aspect = height() > 0 ? double(width()) / double(height()) : 0.0;
    const QSize size = fittedSize(available.height(), aspect);
    setFixedSize(size);
    move(available.center() - QPoint(size.width() / 2, size.height() / 2));

    m_connections << connect(director, &OrvixDirector::dongleConnectedSignal, this, &MainWindow::onDongleConnected)
                  << connect(director, &OrvixDirector::dongleDisconnectedSignal, this,
                             &MainWindow::onDongleDisconnected)
                  << connect(director, &OrvixDirector::dongleNotConnectedSignal, this,
                             &MainWindow::onDongleNotConnected)
                  << connect(director, &OrvixDirector::dongleUpdatedSignal, this, &MainWindow::onDongleUpdated)
                  << connect(director, &OrvixDirector::headsetUpdatedSignal, this, &MainWindow::onHeadsetUpdated)
                  << connect(director, &OrvixDirector::headsetStatusChangedSignal, this,
                             &MainWindow::onHeadsetStatusChanged)
                  << connect(director, &OrvixDirector::headsetChannelChangedSignal, this,
                             &MainWindow::onHeadsetChannelChanged)
                  << connect(director, &OrvixDirector::settingsChangedSignal, this, &MainWindow::onSettingsChanged)
                  << connect(director, &OrvixDirector::updateProgress, this, &MainWindow::onUpdateProgress);

    showDongle(director->dongle());
    m_headsetPresent = director->headset() != nullptr;
    retranslate();
    show();
}

OrvixDirector* MainWindow::director() const
{
    return m_director;
}

void MainWindow::detach()
{
    for (const QMetaObject::Connection& c : qAsConst(m_connections))
        disconnect(c);
    m_connections.clear();
    m_director = nullptr;
}

bool MainWindow::isTotallyVisible() const
{
    return isVisible() && isActiveWindow();
}

void MainWindow::show()
{
    QWidget::show();
    activateWindow();
    raise();
}

int MainWindow::showQuestion(const QString& title, const QString& text, const QStringList& buttons)
{
    QMessageBox box(this);
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(title);
    box.setInformativeText(QStringLiteral("<b>%1</b><br><br>%2<br><br>").arg(title, text));
    QList<QAbstractButton*> added;
    for (int i = 0; i < buttons.size(); ++i)
        added << box.addButton(buttons.at(i), i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
    box.exec();
    return added.indexOf(box.clickedButton());
}

void MainWindow::perform(int action, OX::Page*)
{
    switch (action) {
    case HideAction:
        if (m_director)
            m_director->showMainWindow(false);
        else
            hide();
        break;
    case QuitAction: {
        if (m_quitting)
            return;
        m_quitting = true;
        QPointer<OrvixDirector> director(m_director);
        auto quit = [director]() {
            if (director)
                director->quitApplication();
            else
                QCoreApplication::quit();
        };
        Dongle* dongle = director ? director->dongle() : nullptr;
        if (!dongle) {
            quit();
            return;
        }
        // The mouse keeps zeroing itself once this application is gone.
        dongle->setMouseAutoZero(true, [quit](DongleResult) { quit(); });
        break;
    }
    default:
        break;
    }
}

QString MainWindow::dongleText() const
{
    return m_dongleLabel->text();
}

QString MainWindow::headsetText() const
{
    return m_headsetLabel->text();
}

void MainWindow::showDongle(Dongle* dongle)
{
    m_shownDongle = dongle;
    if (!dongle) {
        m_dongleLabel->setText(tr("No dongle connected"));
        return;
    }
    const DongleProfile& profile = dongle->profile();
    m_dongleLabel->setText(tr("Dongle %1, firmware %2").arg(profile.serial, profile.version.toStringHelper()));
}

void MainWindow::onDongleConnected(Dongle* dongle)
{
    showDongle(dongle);
}

void MainWindow::onDongleDisconnected(Dongle*, DongleResult)
{
    showDongle(nullptr);
    m_headsetPresent = false;
    m_headsetActive = false;
    retranslate();
}

void MainWindow::onDongleNotConnected(Dongle*, DongleResult error)
{
    m_dongleLabel->setText(tr("Dongle not connected: %1").arg(error.text));
}

void MainWindow::onDongleUpdated(Dongle* dongle, DongleChangeMask mask)
{
    if (mask.testFlag(DongleChangeMask::found) || mask.testFlag(DongleChangeMask::lost))
        showDongle(dongle);
}

void MainWindow::onHeadsetUpdated(Headset* headset, HeadsetChangeMask mask)
{
    if (mask.testFlag(HeadsetChangeMask::lost))
        m_headsetPresent = false;
    else if (headset)
        m_headsetPresent = true;
    else if (mask.value() == HeadsetChangeMask::all)
        m_headsetPresent = false;
    if (!m_headsetPresent)
        m_headsetActive = false;
    retranslate();
}

void MainWindow::onHeadsetStatusChanged(Headset*, bool active)
{
    m_headsetActive = active;
    retranslate();
}

void MainWindow::onHeadsetChannelChanged(Headset*, int)
{
}

void MainWindow::onSettingsChanged(Settings*)
{
}

void MainWindow::onUpdateProgress(const Progress::Context* context)
{
    // No context, or one whose operation has ended (cleared: neither a busy indicator nor a
    // value): nothing is in progress.
    if (!context || !(context->flags & (Progress::Infinite | Progress::Finite))) {
        m_progressLabel->hide();
        m_progressBar->hide();
        return;
    }
    m_progressLabel->setText(QString(context->title).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    if (context->flags.testFlag(Progress::Infinite))
        m_progressBar->setRange(0, 0);
    else
        m_progressBar->setRange(0, 100);
    if (context->flags.testFlag(Progress::Finite))
        m_progressBar->setValue(int(qBound(0.0, context->value * 100.0, 100.0)));
    m_progressLabel->show();
    m_progressBar->show();
}

void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void MainWindow::retranslate()
{
    setWindowTitle(tr("OrvixTools"));
    m_title->setText(tr("OrvixTools"));
    m_hideButton->setText(tr("Hide"));
    m_quitButton->setText(tr("Quit"));
    showDongle(m_shownDongle);
    if (!m_headsetPresent)
        m_headsetLabel->setText(tr("No headset"));
    else
        m_headsetLabel->setText(m_headsetActive ? tr("Headset found, active") : tr("Headset found, passive"));
}
