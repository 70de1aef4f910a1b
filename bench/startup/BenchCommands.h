#pragma once
// Lines on standard input for a benchmark's process that stays after its first window
// (ORVIX_BENCH_STAY set): each whole line is handed to the handler; "quit" or the end of input
// ends the process.
#include <QCoreApplication>
#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <unistd.h>

class BenchCommands : public QObject
{
public:
    using Handler = std::function<void(const QByteArray& line)>;

    BenchCommands(Handler handler, QObject* parent)
        : QObject(parent)
        , m_handler(std::move(handler))
        , m_notifier(new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this))
    {
        connect(m_notifier, &QSocketNotifier::activated, this, &BenchCommands::readInput);
    }

    static bool stayAfterFirstWindow() { return qEnvironmentVariableIsSet("ORVIX_BENCH_STAY"); }

private:
    void readInput()
    {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            m_notifier->setEnabled(false);
            QCoreApplication::exit(0);
            return;
        }
        m_pending.append(buffer, int(n));
        int end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            const QByteArray line = m_pending.left(end).trimmed();
            m_pending.remove(0, end + 1);
            if (line == "quit")
                QCoreApplication::exit(0);
            else if (m_handler)
                m_handler(line);
        }
    }

    Handler m_handler;
    QSocketNotifier* m_notifier;
    QByteArray m_pending;
};
