#pragma once
// A yes/no question beside a countdown clock, asked while the user tries changed mouse settings
// for a limited time. The clock runs from empty to full over the duration from the moment the
// dialog first shows; the dialog itself never closes on time (its owner keeps its own timer), and
// Return answers No, so a stray key press never confirms untried settings.
#include <QDialog>

#include <memory>

namespace Ui
{
class TimeoutDialog;
}

namespace OX
{

class TimeoutDialog : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(QString message READ message WRITE setMessage NOTIFY messageChanged)
    Q_PROPERTY(int duration MEMBER m_duration NOTIFY durationChanged)
public:
    explicit TimeoutDialog(QWidget* parent = nullptr);
    ~TimeoutDialog() override;

    QString message() const;
    void setMessage(const QString& message);

    // The countdown length in milliseconds (0 until the owner sets it).
    int duration() const { return m_duration; }
    void setDuration(int ms) { m_duration = ms; }

signals:
    void messageChanged();
    void durationChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fitMessage();

    std::unique_ptr<Ui::TimeoutDialog> m_ui;
    int m_duration = 0;
    bool m_clockStarted = false;
};

} // namespace OX
