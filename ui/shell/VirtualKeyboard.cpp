#include "ui/shell/VirtualKeyboard.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QtDebug>

namespace
{

// The keyboard process started here; owned by the application object, whose end ends it.
QPointer<QProcess>& keyboardProcess()
{
    static QPointer<QProcess> process;
    return process;
}

} // namespace

QStringList VirtualKeyboard::keyboardCommand()
{
    const QString configured = qEnvironmentVariable(CommandVariable).trimmed();
    if (!configured.isEmpty())
        return QProcess::splitCommand(configured);
    for (const char* program : { "onboard", "xvkbd" }) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(program));
        if (!path.isEmpty())
            return QStringList { path };
    }
    return QStringList();
}

qint64 VirtualKeyboard::processId()
{
    const QProcess* process = keyboardProcess();
    return process && process->state() != QProcess::NotRunning ? process->processId() : 0;
}

void VirtualKeyboard::showKeyboard()
{
    QPointer<QProcess>& running = keyboardProcess();
    if (running && running->state() != QProcess::NotRunning)
        return;
    QStringList command = keyboardCommand();
    if (command.isEmpty()) {
        qDebug("No on-screen keyboard program (set %s or install onboard)", CommandVariable);
        return;
    }
    if (!QCoreApplication::instance())
        return;
    delete running; // one that ended by itself
    auto* process = new QProcess(QCoreApplication::instance());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), process,
        &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            qDebug().noquote() << "On-screen keyboard did not start:" << process->program();
            process->deleteLater();
        }
    });
    running = process;
    const QString program = command.takeFirst();
    process->start(program, command);
}

void VirtualKeyboard::hideKeyboard()
{
    QPointer<QProcess>& running = keyboardProcess();
    QPointer<QProcess> process = running;
    running = nullptr;
    if (!process || process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    QTimer::singleShot(KillAfterMs, process, [process]() {
        if (process && process->state() != QProcess::NotRunning)
            process->kill();
    });
}

void toggleKeyboard(signed char on)
{
    if (on == 1)
        VirtualKeyboard::showKeyboard();
    else
        VirtualKeyboard::hideKeyboard();
}
