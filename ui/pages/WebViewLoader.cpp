#include "ui/pages/WebView.h"

#include "ui/toolkit/Modules.h"

#include <QByteArray>

#include <unistd.h>

namespace OX
{

WebViewFactory* webViewFactory()
{
    return qobject_cast<WebViewFactory*>(loadModule(QStringLiteral(ORVIX_WEB_VIEW_MODULE)));
}

bool webEngineRefusesToRun(bool asRoot)
{
    if (!asRoot)
        return false;
    const QByteArray off = qgetenv("QTWEBENGINE_DISABLE_SANDBOX").trimmed();
    if (!off.isEmpty() && off != "0")
        return false;
    const QList<QByteArray> flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").simplified().split(' ');
    return !flags.contains(QByteArrayLiteral("--no-sandbox"));
}

bool webEngineRefusesToRun()
{
    return webEngineRefusesToRun(::geteuid() == 0);
}

} // namespace OX
