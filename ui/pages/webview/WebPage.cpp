#include "ui/pages/webview/WebPage.h"

#include <QDebug>
#include <QFileInfo>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QWebEngineUrlRequestInterceptor>

namespace OX
{

namespace
{

// The manual names its pictures and style sheets by bare file names that its path script points
// into the resource folders once the document has loaded; what the document asks for before
// that is not in the resources and is not looked up at all. Nothing the manual asks for leaves
// the application: a picture, style sheet, script or request naming another machine is refused.
class ResourceFilter : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        const QUrl url = info.requestUrl();
        const QString scheme = url.scheme();
        if (scheme == QLatin1String("qrc")) {
            if (!WebPage::isCompiledIn(url))
                info.block(true);
        } else if (scheme != QLatin1String("data") && scheme != QLatin1String("blob")
            && scheme != QLatin1String("about")) {
            qDebug().noquote() << "Help refuses to fetch" << url.toDisplayString();
            info.block(true);
        }
    }
};

} // namespace

WebPage::WebPage(QObject* parent)
    : QWebEnginePage(parent)
{
    setUrlRequestInterceptor(new ResourceFilter(this));
}

bool WebPage::isCompiledIn(const QUrl& url)
{
    if (url.scheme() != QLatin1String("qrc"))
        return true; // not ours to judge (navigation away is refused separately)
    const QFileInfo resource(QLatin1Char(':') + url.path());
    return resource.exists() && resource.isFile();
}

QString WebPage::consoleLine(
    JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber, const QString& sourceID)
{
    const char* levelName = QMetaEnum::fromType<JavaScriptConsoleMessageLevel>().valueToKey(level);
    QString flat = message;
    // One message, one log line: a newline inside it could fake a line of its own.
    flat.replace(QRegularExpression(QStringLiteral("[\\r\\n]")), QStringLiteral(" "));
    return QLatin1String("JAVASCRIPT (") + sourceID + QLatin1String(")-[") + QString::number(lineNumber)
        + QLatin1String("] ") + QLatin1String(levelName ? levelName : "?") + QLatin1Char(':') + flat;
}

void WebPage::javaScriptConsoleMessage(
    JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber, const QString& sourceID)
{
    qDebug().noquote() << consoleLine(level, message, lineNumber, sourceID);
}

bool WebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (url.scheme() != QLatin1String("qrc")) {
        qDebug().noquote() << "Help refuses to leave the manual for" << url.toDisplayString();
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

} // namespace OX
