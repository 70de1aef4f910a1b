#pragma once
// The page object behind the help view: the manual's console messages go to the application
// log, and the view never leaves the compiled-in documents (a link to anything but qrc: is
// refused).
#include <QWebEnginePage>

namespace OX
{

class WebPage : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit WebPage(QObject* parent = nullptr);

    // The log line written for one console message (newlines in the message become blanks).
    static QString consoleLine(
        JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber, const QString& sourceID);

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
        const QString& sourceID) override;
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
};

} // namespace OX
