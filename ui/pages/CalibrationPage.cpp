#include "ui/pages/CalibrationPage.h"

#include <QMovie>
#include <QPointer>
#include <QTimer>
#include <QtDebug>

#include <utility>

#include "app/OrvixDirector.h"
#include "device/Headset.h"
#include "ui_CalibrationPage.h"

namespace OX
{

namespace
{

char const* const GyroHint
    = QT_TRANSLATE_NOOP("OX::CalibrationPage", "Don't touch the headset, leave it on the table");
char const* const MagnetoHint
    = QT_TRANSLATE_NOOP("OX::CalibrationPage", "Rotate the headset in the air around it's all axes");
char const* const AcceleroHint = QT_TRANSLATE_NOOP(
    "OX::CalibrationPage", "Rotate the heaset, after every 45° on each axis keep it still for a moment");
char const* const CompleteHint = QT_TRANSLATE_NOOP(
    "OX::CalibrationPage", "The calibration is complete. Press \"Back\" to finish the operation");
char const* const MissingHint = QT_TRANSLATE_NOOP("OX::CalibrationPage", "Headset not found");

// A request the headset did not carry out, as against one ended by the loss of the headset or
// the dongle, which is news of its own.
bool failed(DongleResult const& result)
{
    switch (result.code) {
    case DongleResult::Ok:
    case DongleResult::NoHeadset:
    case DongleResult::DongleRemoved:
    case DongleResult::NoDongle:
        return false;
    default:
        return true;
    }
}

// A request whose answer never came: it timed out, or the headset or the dongle went first. The
// headset may have carried it out all the same.
bool unanswered(DongleResult const& result)
{
    return result.code != DongleResult::Ok && (result.code == DongleResult::TimedOut || !failed(result));
}

} // namespace

CalibrationPage::CalibrationPage(PageContainer* container, QWidget* parent)
    : Page(container, parent)
    , m_ui(std::make_unique<Ui::CalibrationPage>())
{
    m_ui->setupUi(this);
    m_movies[Done] = std::make_unique<QMovie>(QStringLiteral(":/calibration/done"));
    m_movies[Magnetometer] = std::make_unique<QMovie>(QStringLiteral(":/calibration/magneto"));
    m_movies[Accelerometer] = std::make_unique<QMovie>(QStringLiteral(":/calibration/accelero"));
    m_movies[Gyroscope] = std::make_unique<QMovie>(QStringLiteral(":/calibration/gyro"));
    m_ui->animation->setMovie(movie(Done)); // played while the page is on screen
}

CalibrationPage::~CalibrationPage()
{
    // The label lets go of the movie it shows before the movies go.
    m_ui->animation->setMovie(nullptr);
}

QString CalibrationPage::hint() const
{
    return m_ui->hintText->text();
}

QList<int> CalibrationPage::barValues() const
{
    return { m_ui->magnetoProgress->value(), m_ui->gyroProgress->value(), m_ui->acceleroProgress->value() };
}

void CalibrationPage::retranslate()
{
    m_ui->retranslateUi(this);
    container->setTitle(tr("Calibration"));
    container->setSubtitle(QString());
    container->setLeft(tr("Back"), PageAction::back, this);
    setRightButton();
    if (m_hint)
        m_ui->hintText->setText(tr(m_hint));
}

void CalibrationPage::setRightButton()
{
    if (m_state == Calibrating)
        container->setRight(tr("Cancel"), PageAction::cancel, this, PageFooter::MainButton);
    else
        container->setRight(tr("Reset"), PageAction::reset, this, PageFooter::MainButton);
    // Without a headset neither button has anything to act on; while a request is out the busy
    // footer keeps it off.
    container->setRightEnabled(PageFooter::MainButton, container->getHeadset() != nullptr && !m_busy);
}

void CalibrationPage::setHint(char const* source)
{
    m_hint = source;
    m_ui->hintText->setText(tr(source));
}

void CalibrationPage::pageWillAppear(QString const&)
{
    // A calibration left behind with a headset out of reach is still offered "Cancel".
    if (m_state != Calibrating)
        m_state = Shown;
    retranslate();
    if (m_busy)
        container->setProgress(true); // its exit, sent while the page was away, is under way
}

bool CalibrationPage::perform(PageAction action)
{
    switch (action) {
    case PageAction::reset:
        resetCalibration();
        return true;
    case PageAction::cancel:
        cancelCalibration([] {});
        return true;
    default:
        return Page::perform(action);
    }
}

void CalibrationPage::resetCalibration()
{
    Headset* headset = container->getHeadset();
    if (!headset || m_busy)
        return;
    m_busy = true;
    const int id = ++m_request;
    container->setProgress(true);
    QPointer<CalibrationPage> self(this);
    const quint64 asked = visit();
    headset->enterCalibration([self, id, asked](DongleResult result) {
        // An enter never answered may have been taken: it counts as calibrating, so that "Cancel"
        // or leaving takes the headset out (an exit changes nothing on a headset not calibrating).
        const bool mayCalibrate = result.code == DongleResult::Ok || unanswered(result);
        if (self && self->finishRequest(id, mayCalibrate ? Calibrating : Failed) && failed(result))
            self->tellFailure(mayCalibrate
                    ? tr("The headset did not confirm that it went into calibration mode.")
                    : tr("The headset did not go into calibration mode."),
                result, asked);
    });
}

void CalibrationPage::cancelCalibration(std::function<void()> done)
{
    if (!done)
        done = [] {};
    Headset* headset = container->getHeadset();
    if (!headset) {
        done();
        return;
    }
    if (m_busy) {
        // A request is under way: done follows it. A Reset still out may put the headset into
        // calibration: it is taken out of it again first.
        const bool resetOut = m_state != Calibrating;
        auto before = std::exchange(m_pendingDone, nullptr);
        m_pendingDone = [this, before, done, resetOut] {
            if (before)
                before();
            if (resetOut && m_state == Calibrating)
                cancelCalibration(done);
            else
                done();
        };
        return;
    }
    m_busy = true;
    const int id = ++m_request;
    m_pendingDone = std::move(done);
    container->setProgress(true);
    QPointer<CalibrationPage> self(this);
    const quint64 asked = visit();
    headset->exitCalibration([self, id, asked](DongleResult result) {
        // An exit refused (the headset active, nothing sent) or never answered leaves the
        // headset calibrating: "Cancel" stays, and leaving tries it again.
        const State after = result.code == DongleResult::Ok ? Stopped : Calibrating;
        if (self && self->finishRequest(id, after) && failed(result))
            self->tellFailure(
                tr("The headset did not confirm that it left calibration mode."), result, asked);
    });
}

bool CalibrationPage::finishRequest(int id, State state)
{
    if (!m_busy || id != m_request)
        return false; // ended already, by the loss of the headset or the dongle
    m_busy = false;
    m_state = state;
    container->setProgress(false);
    setRightButton(); // "Cancel" while calibrating, whether or not the levels move
    auto done = std::exchange(m_pendingDone, nullptr);
    if (done)
        done();
    return true;
}

void CalibrationPage::tellFailure(QString const& text, DongleResult const& result, quint64 visit)
{
    if (!isVisit(visit)) {
        // Asked while leaving, or answered after the person left: the director tells it over
        // whatever page is shown now.
        if (OrvixDirector* director = container->getDirector())
            emit director->showMessage(OrvixDirector::warning, tr("Calibration"), text);
        return;
    }
    Question question;
    question.icon = Icon::Warning;
    question.title = tr("Calibration");
    question.text = text;
    question.informative = result.text;
    if (Headset* headset = container->getHeadset())
        question.about = { headset }; // a headset gone since is news of its own
    ask(question);
}

void CalibrationPage::pageWillDisappear(QString const&, std::function<void()> done)
{
    // Calibrating, or with a Reset under way (the page sent away without Back, which the busy
    // footer keeps off): the page goes once the headset is out of calibration again.
    if (m_state == Calibrating || m_busy)
        cancelCalibration(std::move(done));
    else if (done)
        done();
}

void CalibrationPage::pageDidDisappear()
{
    Page::pageDidDisappear();
    // Left with a headset that never confirmed the exit (out of reach, the dongle gone, or active
    // and so refusing it): it is taken out of calibration once it is heard again or goes passive,
    // wherever the person is then.
    OrvixDirector* director = container->getDirector();
    if (m_state == Calibrating && director && !m_headsetWatch)
        m_headsetWatch = connect(director, &OrvixDirector::headsetUpdatedSignal, this,
            [this](Headset* headset, HeadsetChangeMask mask) {
                const bool wentPassive
                    = headset && mask.testFlag(HeadsetChangeMask::active) && !headset->isActive();
                if (headset && (mask.testFlag(HeadsetChangeMask::found) || wentPassive))
                    QTimer::singleShot(0, this, &CalibrationPage::onHeadsetHeardAway);
            });
}

void CalibrationPage::onHeadsetHeardAway()
{
    if (isVisit(visit()))
        return; // shown again: "Cancel" and leaving take it out
    if (m_state != Calibrating) {
        disconnect(m_headsetWatch);
        return;
    }
    Headset* headset = container->getHeadset();
    if (headset && headset->isActive())
        return; // it would refuse the exit: sent once it goes passive
    cancelCalibration({}); // a failure is told by the director, the page being away
}

void CalibrationPage::showHeadsetMissing()
{
    m_ui->magnetoProgress->setValue(0);
    m_ui->gyroProgress->setValue(0);
    m_ui->acceleroProgress->setValue(0);
    setHint(MissingHint);
    play(Done);

    // Nothing answers for a headset that is gone: a request under way ends here, and a page
    // change waiting for it goes on. The headset may have taken an enter and not an exit: the
    // calibration counts as under way.
    if (m_busy)
        finishRequest(m_request, Calibrating);
    // A calibration under way is not ended by the loss: a headset out of range or behind an
    // unplugged dongle keeps calibrating, and when it is heard again "Cancel" and leaving the
    // page still take it out.
    setRightButton();
}

void CalibrationPage::updateWithHeadset(Headset* headset, HeadsetChangeMask mask)
{
    if (mask.testFlag(HeadsetChangeMask::found))
        mask = HeadsetChangeMask::all;
    if (!headset || mask.testFlag(HeadsetChangeMask::lost)) {
        showHeadsetMissing();
        return;
    }
    if (!mask.testFlag(HeadsetChangeMask::calibration))
        return;
    SHP const& status = headset->status();
    m_ui->magnetoProgress->setValue(int(status.getMagnetoCalibrationState()));
    m_ui->gyroProgress->setValue(int(status.getGyroCalibrationState()));
    m_ui->acceleroProgress->setValue(int(status.getAcceleroCalibrationState()));
    updateState(headset);
}

void CalibrationPage::updateState(Headset* headset)
{
    if (!headset)
        return;
    SHP const& status = headset->status();
    if (m_state == Calibrating && status.getCalibrationProgress() == FullProgress)
        m_state = Complete;
    setRightButton();

    if (status.getGyroCalibrationState() < FullProgress) {
        setHint(GyroHint);
        play(Gyroscope);
    } else if (status.getMagnetoCalibrationState() < FullProgress) {
        setHint(MagnetoHint);
        play(Magnetometer);
    } else if (status.getAcceleroCalibrationState() < FullProgress) {
        setHint(AcceleroHint);
        play(Accelerometer);
    } else {
        setHint(CompleteHint);
        play(Done);
    }
}

void CalibrationPage::play(Sensor sensor)
{
    if (sensor == m_current)
        return;
    if (QMovie* shown = m_ui->animation->movie())
        shown->stop();
    QMovie* next = movie(sensor);
    if (!next->isValid()) {
        next = movie(Done);
        qWarning() << "invalid movie";
    }
    m_ui->animation->setMovie(next);
    m_current = sensor;
    if (isVisible())
        next->start();
}

void CalibrationPage::showEvent(QShowEvent* event)
{
    Page::showEvent(event);
    if (QMovie* shown = m_ui->animation->movie())
        shown->start();
}

void CalibrationPage::hideEvent(QHideEvent* event)
{
    // Off screen (another page, or the window hidden) the animation costs nothing.
    if (QMovie* shown = m_ui->animation->movie())
        shown->stop();
    Page::hideEvent(event);
}

} // namespace OX
