#pragma once
// A web view as the help page uses it. The web engine behind it comes from a module of its own,
// loaded with the first view rather than with the application: most runs never open Help, and
// an application linked to the engine takes markedly longer to start.
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QtPlugin>

#include <functional>
#include <memory>

class QWidget;

namespace OX
{

class WebView
{
public:
    virtual ~WebView() = default;
    // The widget to lay out, show and hide; it goes with this object.
    virtual QWidget* widget() = 0;
    virtual void load(const QUrl& url) = 0;
    virtual QUrl url() const = 0;
    // Runs script in the shown document; done, when given, gets the script's value later, from
    // the event loop.
    virtual void runJavaScript(const QString& script, std::function<void(const QVariant&)> done = {}) = 0;
};

class WebViewFactory
{
public:
    virtual ~WebViewFactory() = default;
    // A new view inside parent. loadFinished is told each load's success. The view logs the
    // document's console messages and never leaves the compiled-in documents (qrc:).
    // gone is told, once, that the engine's process behind the view ended abnormally: the view
    // shows nothing from then on.
    virtual std::unique_ptr<WebView> create(
        QWidget* parent, std::function<void(bool)> loadFinished, std::function<void()> gone)
        = 0;
};

// The web view module's factory, loaded on the first call; null when the module is missing or
// cannot be loaded (a warning says why, once).
WebViewFactory* webViewFactory();

// True when the web engine would refuse to start with the first view and end the whole process:
// run as the administrator (root) with its sandbox on. It runs there only with its sandbox
// switched off (QTWEBENGINE_DISABLE_SANDBOX=1, or --no-sandbox among QTWEBENGINE_CHROMIUM_FLAGS),
// which the test scripts do; the application never switches it off itself.
bool webEngineRefusesToRun(bool asRoot);
// The same for this process.
bool webEngineRefusesToRun();

} // namespace OX

#define OX_WEB_VIEW_FACTORY_IID "hu.brixeon.orvixtools.WebViewFactory/1.1"
Q_DECLARE_INTERFACE(OX::WebViewFactory, OX_WEB_VIEW_FACTORY_IID)
