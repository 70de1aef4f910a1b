#pragma once
// The "Calibration" page: the headset's three sensor levels as segmented bars, one line telling
// the user what to do with the headset next and a matching animation. "Reset" puts the headset
// into calibration, "Cancel" takes it out; leaving while calibrating, or while a Reset is still
// out, takes it out first and goes on once the headset answered or the request timed out. The
// busy state of a request always ends: with its answer, or when the headset or the dongle goes
// away meanwhile, and a waiting page change then goes on exactly once. A calibration counts as
// under way from a Reset the headset may have taken until an exit it confirmed, and outlives the
// headset's loss: a headset heard again is taken out of it by "Cancel" or by leaving, or at once
// when the page was left (a headset that refused the exit being active: once it goes passive).
#include "ui/toolkit/Page.h"

#include <QList>

#include <array>
#include <functional>
#include <memory>

class QMovie;

namespace Ui
{
class CalibrationPage;
}

namespace OX
{

class CalibrationPage : public Page
{
    Q_OBJECT
public:
    enum State { Initial = 0, Shown = 1, Calibrating = 2, Stopped = 3, Complete = 4, Failed = 5 };
    enum Sensor { Done = 0, Magnetometer = 1, Accelerometer = 2, Gyroscope = 3 };

    static constexpr float FullProgress = 100.0f;

    CalibrationPage(PageContainer* container, QWidget* parent = nullptr);
    ~CalibrationPage() override;

    // Shows the sensor's animation, played only while the page is on screen; a movie that cannot
    // play leaves the done animation.
    void play(Sensor sensor);
    // Footer button, hint and animation from the headset's levels.
    void updateState(Headset* headset);
    // Puts the headset into calibration (nothing without a headset or while a request runs).
    void resetCalibration();
    // Takes the headset out of calibration, then calls done once, whatever the outcome. With a
    // Reset under way it waits for it, and takes the headset out when it may have gone in.
    void cancelCalibration(std::function<void()> done);

    bool perform(PageAction action) override;
    void retranslate() override;
    void pageWillAppear(QString const& from) override;
    void pageWillDisappear(QString const& to, std::function<void()> done) override;
    void pageDidDisappear() override;
    void updateWithHeadset(Headset* headset, HeadsetChangeMask mask) override;

    State state() const { return m_state; }
    Sensor currentAnimation() const { return m_current; }
    bool isBusy() const { return m_busy; }
    QString hint() const;
    // Magnetometer, gyroscope and accelerometer bars, left to right.
    QList<int> barValues() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QMovie* movie(Sensor sensor) const { return m_movies[size_t(sensor)].get(); }
    void setRightButton();
    void setHint(char const* source);
    void showHeadsetMissing();
    // A headset heard again, or gone passive, while the page is away and still owes it an exit:
    // the exit is sent.
    void onHeadsetHeardAway();
    // Ends the request id with state unless it has ended already; runs the waiting continuation.
    // False when the request had ended already.
    bool finishRequest(int id, State state);
    // A request the headset did not carry out: a box while the visit it was asked in goes on,
    // the director's message once the person has left.
    void tellFailure(QString const& text, DongleResult const& result, quint64 visit);

    std::unique_ptr<Ui::CalibrationPage> m_ui;
    State m_state = Initial;
    Sensor m_current = Done;
    std::array<std::unique_ptr<QMovie>, 4> m_movies;
    char const* m_hint = nullptr; // untranslated source of the hint shown, null before any
    bool m_busy = false;
    int m_request = 0;
    std::function<void()> m_pendingDone;
    QMetaObject::Connection m_headsetWatch; // the director's headset news while an exit is owed
};

} // namespace OX
