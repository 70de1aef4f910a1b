#pragma once
// The translucent veil the main window lays over its whole area while a long device operation
// runs: rings, the operation's title and message, and either a spinner (busy without a known
// end) or the percentage done. It follows its parent's size. It reads the operation's progress
// record only while the operation runs: once its owner reports the end (no record, or no flags)
// the record is forgotten.
#include "async/Progress.h"

#include <QTimer>
#include <QWidget>

namespace OX
{

class ProgressWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressWidget(QWidget* parent = nullptr);

    // Follows context: shown while it has flags, the spinner turning from the first report that
    // is Infinite. No context, or flags None, hides the veil and forgets the context.
    void start(const Progress::Context* context);
    void stop();

    bool isRunning() const { return m_running; }
    bool isSpinning() const { return m_timer.isActive(); }
    double angle() const { return m_angle; }
    // The percentage shown for a Finite context ("42%"), and its arc's span in sixteenths of a
    // degree (negative: clockwise).
    QString percentText() const;
    int finiteSpan() const;

    static constexpr int SpinnerTickMs = 125;
    static constexpr double SpinnerStepDegrees = 7.0;

public slots:
    void onFireTimer();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Layout {
        int cx, cy, side, r;
    };
    Layout layout() const;
    bool following() const;
    int percent() const;
    void paintRings(QPainter& p, const Layout& l, Progress::Flags flags);
    void paintTexts(QPainter& p, const Layout& l, Progress::Flags flags);

    const Progress::Context* m_context = nullptr;
    QTimer m_timer;
    bool m_running = false;
    double m_angle = 0;
};

} // namespace OX
