#include "common/gui_util.h"
#include "common/qt_wait.h"
#include "common/time_scale.h"
#include "ui/toolkit/SliderTicks.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>

#include <deque>
#include <memory>
#include <mutex>
#include <utility>

namespace testutil
{

QColor pixelAt(QWidget* widget, QPoint point)
{
    const QImage image = widget->grab().toImage();
    if (!image.rect().contains(point))
        return QColor();
    return image.pixelColor(point);
}

QString artifactsFolder()
{
    QString folder = QString::fromLocal8Bit(qgetenv("ORVIX_TEST_ARTIFACTS"));
    if (folder.isEmpty())
        folder = QStringLiteral(ORVIX_TEST_ARTIFACTS_DIR);
    QDir().mkpath(folder);
    return folder;
}

QString saveScreenshot(const QImage& image, const QString& name)
{
    const QString path = QDir(artifactsFolder()).filePath(name + QStringLiteral(".png"));
    image.save(path, "PNG");
    return path;
}

QString saveScreenshot(QWidget* widget, const QString& name)
{
    return saveScreenshot(widget->grab().toImage(), name);
}

bool imagesClose(const QImage& a, const QImage& b, int tolerance, double maxFraction)
{
    if (a.size() != b.size() || a.isNull())
        return false;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    qint64 differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const bool close = qAbs(qRed(p[col]) - qRed(q[col])) <= tolerance
                && qAbs(qGreen(p[col]) - qGreen(q[col])) <= tolerance
                && qAbs(qBlue(p[col]) - qBlue(q[col])) <= tolerance
                && qAbs(qAlpha(p[col]) - qAlpha(q[col])) <= tolerance;
            if (!close)
                ++differing;
        }
    }
    return differing <= maxFraction * double(x.width()) * double(x.height());
}

bool hasDisplay()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform == QLatin1String("wayland");
}

// ---- log capture ----

namespace
{
// A standard mutex: the thread checker sees its ordering (Qt's own locks are invisible to it).
std::mutex g_logMutex;
QStringList g_logLines;
QtMessageHandler g_previous = nullptr;
int g_captures = 0;

void captureHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    static const char* names[] = { "debug", "warning", "critical", "fatal", "info" };
    const int index = int(type) >= 0 && int(type) <= 4 ? int(type) : 0;
    QtMessageHandler previous = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_logMutex);
        g_logLines << QStringLiteral("%1: %2").arg(QLatin1String(names[index]), message);
        previous = g_previous;
    }
    if (previous)
        previous(type, context, message);
}
} // namespace

LogCapture::LogCapture()
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (g_captures++ == 0) {
        g_logLines.clear();
        g_previous = qInstallMessageHandler(captureHandler);
    }
}

LogCapture::~LogCapture()
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (--g_captures == 0)
        qInstallMessageHandler(g_previous);
}

QStringList LogCapture::lines() const
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    return g_logLines;
}

bool LogCapture::contains(const QString& text) const
{
    return count(text) > 0;
}

int LogCapture::count(const QString& text) const
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    int n = 0;
    for (const QString& line : g_logLines)
        if (line.contains(text))
            ++n;
    return n;
}

void LogCapture::clear()
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    g_logLines.clear();
}

// ---- modal boxes ----

struct BoxAnswerer::Impl {
    std::deque<std::pair<QString, QString>> answers;
    QStringList seen;
    QStringList unexpected;
    QStringList shownTexts;
    QTimer timer;
    QPointer<QWidget> handled;
};

namespace
{
QString boxTitle(QWidget* box)
{
    if (!box->windowTitle().isEmpty())
        return box->windowTitle();
    if (auto* mb = qobject_cast<QMessageBox*>(box))
        return mb->text();
    return QString();
}
} // namespace

BoxAnswerer::BoxAnswerer()
    : m_impl(new Impl)
{
    m_impl->timer.setInterval(10);
    QObject::connect(&m_impl->timer, &QTimer::timeout, [impl = m_impl]() {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || box == impl->handled)
            return;
        impl->handled = box;
        const QString title = boxTitle(box);
        impl->seen << title;
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            impl->shownTexts << shownText(label);
        for (auto it = impl->answers.begin(); it != impl->answers.end(); ++it) {
            auto* mb = qobject_cast<QMessageBox*>(box);
            const bool matches = it->first == box->windowTitle() || (mb && it->first == mb->text());
            if (!matches)
                continue;
            const QString wanted = it->second;
            impl->answers.erase(it);
            if (clickButton(box, wanted))
                return;
            impl->unexpected << title + QStringLiteral(" (no button ") + wanted + QStringLiteral(")");
            box->close();
            return;
        }
        impl->unexpected << title;
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(box, &escape);
        if (box->isVisible())
            box->close();
    });
    m_impl->timer.start();
}

BoxAnswerer::~BoxAnswerer()
{
    delete m_impl;
}

void BoxAnswerer::answer(const QString& title, const QString& button)
{
    m_impl->answers.emplace_back(title, button);
}

QStringList BoxAnswerer::seen() const
{
    return m_impl->seen;
}

QStringList BoxAnswerer::unexpected() const
{
    return m_impl->unexpected;
}

QStringList BoxAnswerer::shownTexts() const
{
    return m_impl->shownTexts;
}

QString shownText(const QLabel* label)
{
    const auto* document = label->findChild<QTextDocument*>();
    return document ? document->toPlainText() : label->text();
}

void answerNextBox(const QString& button)
{
    // Polls until a modal box is up (it may open from a later turn of the event loop).
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, button]() {
        QWidget* box = QApplication::activeModalWidget();
        if (!box) {
            if (++*tries > scaled(500))
                timer->deleteLater();
            return;
        }
        if (clickButton(box, button))
            timer->deleteLater();
    });
    timer->start();
}

void onNextBox(std::function<void(QWidget*)> act, std::function<bool(QWidget*)> ready)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act, ready]() {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || (ready && !ready(box)))
            return;
        timer->stop();
        timer->deleteLater();
        act(box);
    });
    timer->start();
}

bool answerDialog(std::function<void()> const& trigger, std::function<void(QWidget*)> act)
{
    struct Seen {
        bool acted = false;
        QPointer<QWidget> dialog;
    };
    auto seen = std::make_shared<Seen>();
    onNextBox([seen, act](QWidget* box) {
        seen->dialog = box;
        act(box);
        seen->acted = true;
    });
    trigger();
    return waitUntil([seen] { return seen->acted && seen->dialog.isNull(); });
}

bool clickButton(QWidget* box, const QString& text)
{
    for (QAbstractButton* b : box->findChildren<QAbstractButton*>())
        if (b->text() == text && b->isVisible()) {
            b->click();
            return true;
        }
    return false;
}

bool clickStandard(QWidget* box, QDialogButtonBox::StandardButton which)
{
    for (QDialogButtonBox* buttons : box->findChildren<QDialogButtonBox*>())
        if (QPushButton* b = buttons->button(which)) {
            b->click();
            return true;
        }
    return false;
}

const char* sliderMoveName(SliderMove move)
{
    switch (move) {
    case SliderMove::RightKey:
        return "right key";
    case SliderMove::PageUp:
        return "Page Up";
    case SliderMove::WheelUp:
        return "wheel";
    }
    return "";
}

void moveSlider(QWidget* widget, SliderMove move)
{
    switch (move) {
    case SliderMove::RightKey:
        QTest::keyClick(widget, Qt::Key_Right);
        break;
    case SliderMove::PageUp:
        QTest::keyClick(widget, Qt::Key_PageUp);
        break;
    case SliderMove::WheelUp: {
        const QPointF centre = QRectF(widget->rect()).center();
        QWheelEvent wheel(centre, widget->mapToGlobal(centre.toPoint()), QPoint(), QPoint(0, 120),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &wheel);
        break;
    }
    }
}

void releaseHandle(QSlider* slider)
{
    const QRect handle = OX::SliderTicks::handleRect(slider);
    QTest::mousePress(slider, Qt::LeftButton, {}, handle.center());
    QTest::mouseRelease(slider, Qt::LeftButton, {}, handle.center());
}

} // namespace testutil
