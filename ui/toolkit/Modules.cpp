#include "ui/toolkit/Modules.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPluginLoader>
#include <QPointer>
#include <QStringList>

namespace OX
{

QStringList moduleFolders(const QString& applicationDir)
{
    const QString program = QDir::cleanPath(applicationDir);
    const QString buildTree = QDir::cleanPath(QStringLiteral(ORVIX_BUILD_ROOT));
    if (program == buildTree || program.startsWith(buildTree + QLatin1Char('/')))
        return { QStringLiteral(ORVIX_MODULE_BUILD_DIR) };
    return { QDir::cleanPath(program + QStringLiteral("/" ORVIX_MODULE_RELATIVE_DIR)) };
}

namespace
{

QObject* load(const QString& fileName)
{
    QStringList errors;
    for (const QString& folder : moduleFolders(QCoreApplication::applicationDirPath())) {
        const QString path = QDir(folder).filePath(fileName);
        if (!QFileInfo(path).isFile())
            continue;
        QPluginLoader loader(path);
        // What a module starts (the web engine's threads) lives until the process ends: a module
        // is never unloaded.
        loader.setLoadHints(QLibrary::PreventUnloadHint);
        if (QObject* instance = loader.instance())
            return instance;
        errors << loader.errorString();
    }
    qWarning().noquote() << "The module" << fileName << "could not be loaded:"
                         << (errors.isEmpty() ? QStringLiteral("not found")
                                              : errors.join(QStringLiteral("; ")));
    return nullptr;
}

} // namespace

QObject* loadModule(const QString& fileName)
{
    static QHash<QString, QPointer<QObject>> loaded;
    auto it = loaded.find(fileName);
    if (it == loaded.end())
        it = loaded.insert(fileName, load(fileName));
    return it.value().data();
}

} // namespace OX
