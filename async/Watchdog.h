#pragma once
// A restartable single-shot timeout: fires at most once per start.
#include <QObject>
#include <QTimer>

class Watchdog : public QObject {
    Q_OBJECT
public:
    explicit Watchdog(int intervalMs, QObject* parent = nullptr);

    // Starts the timer with the interval unless it is running.
    void start();
    // Stops the timer if it is running.
    void stop();
    // Restarts a running timer with the full interval; a stopped watchdog stays stopped.
    void wakeup();

    bool isRunning() const { return m_timer.isActive(); }
    int interval() const { return m_interval; }

signals:
    void expired();

public slots:
    void fire();

private:
    QTimer m_timer;
    int m_interval;
};
