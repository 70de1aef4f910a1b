// The web view module: the web engine's view behind the help page's WebView, made by the factory
// the application loads with the first view.
#include "ui/pages/WebView.h"
#include "ui/pages/webview/WebPage.h"

#include <QObject>
#include <QPointer>
#include <QSizePolicy>
#include <QWebEngineView>

namespace OX
{

namespace
{

class EngineWebView : public WebView
{
public:
    EngineWebView(QWidget* parent, std::function<void(bool)> loadFinished, std::function<void()> gone)
        : m_page(std::make_unique<WebPage>())
        , m_view(new QWebEngineView(parent))
    {
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
        QObject::connect(m_page.get(), &QWebEnginePage::renderProcessTerminated, m_view.data(),
            [gone](QWebEnginePage::RenderProcessTerminationStatus status, int code) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                qWarning("The manual's web engine process ended (status %d, code %d)", int(status), code);
                if (gone)
                    gone();
            });
        QObject::connect(
            m_view.data(), &QWebEngineView::loadFinished, m_view.data(), [this, loadFinished](bool ok) {
                // The engine starts each document at its normal size: the size the reader chose
                // with Ctrl and the wheel goes on in the next document.
                if (m_zoom > 0 && m_page->zoomFactor() != m_zoom)
                    m_page->setZoomFactor(m_zoom);
                m_zoom = 0; // a move within the document keeps what the reader sees
                if (loadFinished)
                    loadFinished(ok);
            });
        m_view->setPage(m_page.get());
    }
    ~EngineWebView() override
    {
        // The view goes before the page it shows.
        delete m_view.data();
        m_page.reset();
    }

    QWidget* widget() override { return m_view.data(); }
    void load(const QUrl& url) override
    {
        m_zoom = m_page->zoomFactor();
        m_page->load(url);
    }
    QUrl url() const override { return m_page->url(); }
    void runJavaScript(const QString& script, std::function<void(const QVariant&)> done) override
    {
        if (done)
            m_page->runJavaScript(script, [done](const QVariant& value) { done(value); });
        else
            m_page->runJavaScript(script);
    }

private:
    std::unique_ptr<WebPage> m_page;
    QPointer<QWebEngineView> m_view;
    // The size to give the document being loaded; 0 when none is loading.
    qreal m_zoom = 0;
};

} // namespace

class EngineWebViewFactory : public QObject, public WebViewFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OX_WEB_VIEW_FACTORY_IID)
    Q_INTERFACES(OX::WebViewFactory)
public:
    std::unique_ptr<WebView> create(
        QWidget* parent, std::function<void(bool)> loadFinished, std::function<void()> gone) override
    {
        return std::make_unique<EngineWebView>(parent, std::move(loadFinished), std::move(gone));
    }
};

} // namespace OX

#include "EngineWebView.moc"
