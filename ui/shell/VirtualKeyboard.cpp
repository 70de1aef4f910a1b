#include "ui/shell/VirtualKeyboard.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QtDebug>

#include <memory>

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

void VirtualKeyboard::showKeyboard(Failed failed)
{
    QPointer<QProcess>& running = keyboardProcess();
    if (running && running->state() != QProcess::NotRunning)
        return;
    QStringList command = keyboardCommand();
    if (command.isEmpty()) {
        qDebug("No on-screen keyboard program (set %s or install onboard)", CommandVariable);
        if (failed)
            failed(QStringLiteral("no on-screen keyboard program"));
        return;
    }
    if (!QCoreApplication::instance())
        return;
    delete running; // one that ended by itself
    auto* process = new QProcess(QCoreApplication::instance());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    auto started = std::make_shared<QElapsedTimer>();
    QObject::connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), process,
        [process, started, failed](int code, QProcess::ExitStatus status) {
            process->deleteLater();
            // A keyboard ended on request, or after a while of use, is no news.
            if (process != keyboardProcess() || started->elapsed() >= AtOnceMs)
                return;
            const QString problem = status == QProcess::CrashExit
                ? QStringLiteral("crashed")
                : QStringLiteral("ended with exit status %1").arg(code);
            qWarning().noquote() << "On-screen keyboard" << process->program() << "ended at once:" << problem;
            if (failed && (status == QProcess::CrashExit || code != 0))
                failed(problem);
        });
    QObject::connect(
        process, &QProcess::errorOccurred, process, [process, failed](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                qDebug().noquote() << "On-screen keyboard did not start:" << process->program();
                process->deleteLater();
                if (failed)
                    failed(QStringLiteral("did not start"));
            }
        });
    running = process;
    const QString program = command.takeFirst();
    started->start();
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
