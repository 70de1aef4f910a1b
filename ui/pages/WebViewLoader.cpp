#include "ui/pages/WebView.h"

#include "ui/toolkit/Modules.h"

namespace OX
{

WebViewFactory* webViewFactory()
{
    return qobject_cast<WebViewFactory*>(loadModule(QStringLiteral(ORVIX_WEB_VIEW_MODULE)));
}

} // namespace OX
