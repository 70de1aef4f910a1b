#pragma once
// The page object behind the help view: the manual's console messages go to the application
// log, and the view never leaves the compiled-in documents (a link to anything but qrc: is
// refused, and so is anything the document would fetch from a machine).
#include <QWebEnginePage>

namespace OX
{

class WebPage : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit WebPage(QObject* parent = nullptr);

    // Whether a qrc: address names a file compiled into the resources (other schemes: true). The
    // page asks for no other qrc: address: the manual's bare names, meant for its path script, are
    // never looked up before the script has pointed them into the resource folders.
    static bool isCompiledIn(const QUrl& url);

    // The log line written for one console message (newlines in the message become blanks).
    static QString consoleLine(
        JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber, const QString& sourceID);

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
        const QString& sourceID) override;
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
};

} // namespace OX
