#include "ui/toolkit/PageHeader.h"

#include "ui/toolkit/PageContainer.h"
#include "ui/toolkit/Pixmap.h"
#include "ui/toolkit/Skin.h"
#include "ui/toolkit/StyledBackground.h"
#include "ui_PageHeader.h"

#include <QApplication>
#include <QBitmap>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

namespace OX
{

namespace
{

const char* const HelpIcon = ":/menu/icons/help";
const char* const HomeIcon = ":/menu/icons/status";

QIcon tintedIcon(Pixmap const& picture, QSize const& iconSize)
{
    // Disabled (while Help shows, for instance) the shape is drawn in the skin's disabled grey;
    // the style's own disabled rendering leaves a white shape white. Both are tinted at the size
    // they are drawn at (twice that, or the screen's pixel ratio, for sharp edges).
    // The drawings leave room of their own (the menu's, for the title below the shape): each shape
    // is cut to what it draws and centred in the button, so home and help stand the same size.
    const qreal ratio = qMax(qreal(2), qApp->devicePixelRatio());
    QImage drawing = picture.toImage();
    const QRect drawn = QRegion(QBitmap::fromImage(drawing.createAlphaMask())).boundingRect();
    if (!drawn.isEmpty())
        drawing = drawing.copy(drawn);
    const QSize size = iconSize * ratio;
    const QImage fitted = drawing.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmap square(size);
    square.fill(Qt::transparent);
    {
        QPainter painter(&square);
        painter.drawImage((size.width() - fitted.width()) / 2, (size.height() - fitted.height()) / 2, fitted);
    }
    Pixmap shape(square);
    QIcon icon(shape.getTintedCopy(Skin::color(QStringLiteral("windowHeaderIconColor"))));
    icon.addPixmap(shape.getTintedCopy(Skin::color(QStringLiteral("disabledWidgetColor"))), QIcon::Disabled);
    return icon;
}

} // namespace

PageHeader::PageHeader(PageContainer* container)
    : QWidget(nullptr)
    , m_container(container)
    , m_ui(std::make_unique<Ui::PageHeader>())
{
    m_ui->setupUi(this);
    m_ui->helpButton->setContentsMargins(0, 0, 0, 0);
    const QList<Pixmap> drawings = Pixmap::loadAll({ QLatin1String(HelpIcon), QLatin1String(HomeIcon) });
    m_ui->helpButton->setIcon(tintedIcon(drawings.at(0), m_ui->helpButton->iconSize()));
    m_ui->homeButton->setContentsMargins(0, 0, 0, 0);
    m_ui->homeButton->setIcon(tintedIcon(drawings.at(1), m_ui->homeButton->iconSize()));
    connect(m_ui->homeButton, &QToolButton::released, this, &PageHeader::homeAction);
    connect(m_ui->helpButton, &QToolButton::released, this, &PageHeader::helpAction);
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
    return m_ui->homeButton;
}

QToolButton* PageHeader::helpButton() const
{
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
