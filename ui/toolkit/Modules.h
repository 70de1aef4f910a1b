#pragma once
// Our own modules: parts built as plugins beside the application and loaded when first needed,
// so that the application does not load, at every start, libraries that most runs never use
// (the web engine behind Help, the multimedia libraries behind the feedback sounds).
#include <QString>

class QObject;

namespace OX
{

// The object the module fileName provides, loaded on the first call for it; null when the module
// is missing or cannot be loaded (a warning says why, once). Looked for beside the installed
// application, where it was installed, and where the build put it.
QObject* loadModule(const QString& fileName);

} // namespace OX
