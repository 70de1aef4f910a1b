#include "ui/pages/webview/WebPage.h"

#include <QDebug>
#include <QMetaEnum>
#include <QRegularExpression>

namespace OX
{

WebPage::WebPage(QObject* parent)
    : QWebEnginePage(parent)
{
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
