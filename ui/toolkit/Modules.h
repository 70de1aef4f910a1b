#pragma once
// Our own modules: parts built as plugins beside the application and loaded when first needed,
// so that the application does not load, at every start, libraries that most runs never use
// (the web engine behind Help, the multimedia libraries behind the feedback sounds).
#include <QString>
#include <QStringList>

class QObject;

namespace OX
{

// The object the module fileName provides, loaded on the first call for it; null when the module
// is missing or cannot be loaded (a warning says why, once). Looked for in moduleFolders() of the
// running program's folder.
QObject* loadModule(const QString& fileName);

// Where a program in applicationDir finds its modules: a program of the build tree where the
// build put them; any other program (installed, wherever its installation was moved to) only in
// its own installation's module folder.
QStringList moduleFolders(const QString& applicationDir);

} // namespace OX
