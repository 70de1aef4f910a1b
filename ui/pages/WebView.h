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
    virtual std::unique_ptr<WebView> create(QWidget* parent, std::function<void(bool)> loadFinished) = 0;
};

// The web view module's factory, loaded on the first call; null when the module is missing or
// cannot be loaded (a warning says why, once).
WebViewFactory* webViewFactory();

} // namespace OX

#define OX_WEB_VIEW_FACTORY_IID "hu.brixeon.orvixtools.WebViewFactory/1.0"
Q_DECLARE_INTERFACE(OX::WebViewFactory, OX_WEB_VIEW_FACTORY_IID)
