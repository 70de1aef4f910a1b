#include "ui/toolkit/PageHeader.h"

#include "async/ThreadHandover.h"
#include "ui/toolkit/PageContainer.h"
#include "ui/toolkit/Pixmap.h"
#include "ui/toolkit/Skin.h"
#include "ui/toolkit/StyledBackground.h"
#include "ui_PageHeader.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QThreadPool>

#include <future>

namespace OX
{

namespace
{

const char* const HelpIcon = ":/menu/icons/help";
const char* const HomeIcon = ":/menu/icons/status";

// The shape's bounding box: where its alpha mask is set.
QRect drawnRect(const QImage& drawing)
{
    const QImage mask = drawing.createAlphaMask().convertToFormat(QImage::Format_MonoLSB);
    int left = mask.width(), top = mask.height(), right = -1, bottom = -1;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* line = mask.constScanLine(y);
        for (int x = 0; x < mask.width(); ++x)
            if (line[x >> 3] & (1 << (x & 7))) {
                left = qMin(left, x);
                right = qMax(right, x);
                top = qMin(top, y);
                bottom = qMax(bottom, y);
            }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// The drawings leave room of their own (the menu's, for the title below the shape): each shape
// is cut to what it draws and centred in a transparent square of size, so home and help stand
// the same size. Works on images only: it runs on Qt's thread pool.
QImage fittedShape(QImage drawing, const QSize& size)
{
    if (drawing.hasAlphaChannel())
        drawing = drawing.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRect drawn = drawnRect(drawing);
    if (!drawn.isEmpty())
        drawing = drawing.copy(drawn);
    const QImage fitted = drawing.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage square(size, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage((size.width() - fitted.width()) / 2, (size.height() - fitted.height()) / 2, fitted);
    return square;
}

} // namespace

// The buttons' shapes, normal and disabled, drawn on Qt's thread pool while the window is built.
struct PageHeader::PendingIcons {
    struct Drawn {
        QImage home, homeDisabled, help, helpDisabled;
    };
    std::shared_future<Drawn> drawn;
    bool taken = false;
};

PageHeader::PageHeader(PageContainer* container)
    : QWidget(nullptr)
    , m_container(container)
    , m_ui(std::make_unique<Ui::PageHeader>())
    , m_pendingIcons(std::make_unique<PendingIcons>())
{
    m_ui->setupUi(this);
    m_ui->helpButton->setContentsMargins(0, 0, 0, 0);
    m_ui->homeButton->setContentsMargins(0, 0, 0, 0);
    // Disabled (while Help shows, for instance) the shape is drawn in the skin's disabled grey;
    // the style's own disabled rendering leaves a white shape white. Both are tinted at the size
    // they are drawn at (twice that, or the screen's pixel ratio, for sharp edges).
    const qreal ratio = qMax(qreal(2), qApp->devicePixelRatio());
    const QSize homeSize = m_ui->homeButton->iconSize() * ratio;
    const QSize helpSize = m_ui->helpButton->iconSize() * ratio;
    const QColor color = Skin::color(QStringLiteral("windowHeaderIconColor"));
    const QColor disabled = Skin::color(QStringLiteral("disabledWidgetColor"));
    auto promise = std::make_shared<std::promise<PendingIcons::Drawn>>();
    m_pendingIcons->drawn = promise->get_future().share();
    OX_HANDOVER_RELEASE(promise.get());
    QThreadPool::globalInstance()->start([promise, homeSize, helpSize, color, disabled] {
        OX_HANDOVER_ACQUIRE(promise.get());
        PendingIcons::Drawn drawn;
        const QImage home = fittedShape(Pixmap::readImage(QLatin1String(HomeIcon)), homeSize);
        const QImage help = fittedShape(Pixmap::readImage(QLatin1String(HelpIcon)), helpSize);
        drawn.home = Pixmap::tintedImage(home, color);
        drawn.homeDisabled = Pixmap::tintedImage(home, disabled);
        drawn.help = Pixmap::tintedImage(help, color);
        drawn.helpDisabled = Pixmap::tintedImage(help, disabled);
        promise->set_value(std::move(drawn));
    });
    // As the footer's: a press slid off the button, or cut by the button being disabled, does nothing.
    connect(m_ui->homeButton, &QToolButton::clicked, this, &PageHeader::homeAction);
    connect(m_ui->helpButton, &QToolButton::clicked, this, &PageHeader::helpAction);
}

void PageHeader::takeIcons() const
{
    if (m_pendingIcons->taken)
        return;
    m_pendingIcons->taken = true;
    const PendingIcons::Drawn& drawn = m_pendingIcons->drawn.get();
    const auto icon = [](const QImage& normal, const QImage& disabled) {
        QIcon icon(QPixmap::fromImage(normal));
        icon.addPixmap(QPixmap::fromImage(disabled), QIcon::Disabled);
        return icon;
    };
    m_ui->homeButton->setIcon(icon(drawn.home, drawn.homeDisabled));
    m_ui->helpButton->setIcon(icon(drawn.help, drawn.helpDisabled));
}

bool PageHeader::event(QEvent* event)
{
    // Polished before its first showing: the icons are there for the first drawing.
    if (event->type() == QEvent::Polish)
        takeIcons();
    return QWidget::event(event);
}

PageHeader::~PageHeader() = default;

void PageHeader::setTitle(QString const& title)
{
    m_state.title = title;
    m_ui->titleText->setText(title);
    update();
}

void PageHeader::setSubtitle(QString const& subtitle)
{
    m_state.subtitle = subtitle;
    m_ui->subtitleText->setText(subtitle);
    update();
}

void PageHeader::setLeftEnabled(bool enabled)
{
    m_ui->homeButton->setEnabled(enabled);
}

void PageHeader::setRightEnabled(bool enabled)
{
    m_ui->helpButton->setEnabled(enabled);
}

void PageHeader::retranslate() { }

QToolButton* PageHeader::homeButton() const
{
    takeIcons();
    return m_ui->homeButton;
}

QToolButton* PageHeader::helpButton() const
{
    takeIcons();
    return m_ui->helpButton;
}

QLabel* PageHeader::titleLabel() const
{
    return m_ui->titleText;
}

QLabel* PageHeader::subtitleLabel() const
{
    return m_ui->subtitleText;
}

void PageHeader::homeAction()
{
    if (m_container)
        m_container->perform(PageAction::home, nullptr);
}

void PageHeader::helpAction()
{
    if (m_container)
        m_container->perform(PageAction::help, nullptr);
}

void PageHeader::paintEvent(QPaintEvent* event)
{
    drawStyledBackground(this);
    QWidget::paintEvent(event);
}

void PageHeader::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    m_lastMousePos = event->screenPos().toPoint();
    if (event->buttons() & Qt::LeftButton)
        m_dragging = true;
}

void PageHeader::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    const QPoint position = event->screenPos().toPoint();
    if (m_dragging && m_container)
        m_container->moveContainer(position - m_lastMousePos);
    m_lastMousePos = position;
}

void PageHeader::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    m_dragging = false;
}

} // namespace OX
