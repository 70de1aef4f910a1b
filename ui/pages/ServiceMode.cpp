#include "ui/pages/ServiceMode.h"

#include "device/Dongle.h"
#include "protocol/Records.h"
#include "ui/toolkit/Page.h"

#include <QCoreApplication>
#include <QDebug>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace OX
{

namespace
{

// The helper's marks on a dongle are children of it, told apart by name: each goes with the dongle.
const char* const LateNoticeWatchName = "OX::lateServiceModeNotice";
const char* const LateLeaveName = "OX::lateNoticeLeave";
const char* const RequestOutName = "OX::serviceModeRequestOut";

QObject* findMark(Dongle const* dongle, const char* name)
{
    return dongle->findChild<QObject*>(name, Qt::FindDirectChildrenOnly);
}

QObject* addMark(Dongle* dongle, const char* name)
{
    auto* mark = new QObject(dongle);
    mark->setObjectName(name);
    return mark;
}

// Present while the watch takes the network out after a late notice: the headset, the LINKs and
// last the dongle are asked one after another.
QObject* lateLeave(Dongle const* dongle)
{
    return findMark(dongle, LateLeaveName);
}

const char* const RequestCountName = "OX::serviceModeRequests";

// Numbers the requests to enter service mode made of dongle; returns this one's number.
quint64 countRequest(Dongle* dongle)
{
    const quint64 number = dongle->property(RequestCountName).toULongLong() + 1;
    dongle->setProperty(RequestCountName, number);
    return number;
}

// No request to enter service mode was made of dongle after the one numbered request.
bool isLatestRequest(Dongle const* dongle, quint64 request)
{
    return dongle->property(RequestCountName).toULongLong() == request;
}

// A request to enter service mode is marked out on its dongle (addMark with RequestOutName) until
// it has been answered and, when the dongle took it, until its notice has reported service mode or
// ServiceModeNoticeMs have passed.
void endRequestOut(Dongle* dongle, QPointer<QObject> out, DongleResult const& result)
{
    if (!out)
        return;
    if (!dongle || result.code != DongleResult::Ok
        || dongle->profile().state == quint8(DongleState::SERV_M)) {
        delete out;
        return;
    }
    QObject::connect(dongle, &Dongle::stateNoticed, out, [out](quint8 state) {
        if (state == quint8(DongleState::SERV_M))
            out->deleteLater();
    });
    QTimer::singleShot(ServiceModeNoticeMs, out, [out] { out->deleteLater(); });
}

void endLateNoticeWatch(Dongle* dongle)
{
    delete findMark(dongle, LateNoticeWatchName);
}

// Once asked, the dongle may report service mode at any time, even long after the page stopped
// waiting for its notice or its echo. While the visit that asked runs, the page decides what the
// notice means, and leaves service mode on leaving. Once that visit has ended, its leaving found
// the dongle not in service mode and took nothing out of it: the network is taken out here, or
// the headset would stay without control. A notice heard during the visit does not end the watch:
// it may be an earlier request's, followed by that request's exit, with the notice of this one
// still to come. The watch ends once it has taken the network out, when a leaving takes it out,
// or with the dongle; a newer request on the same dongle replaces it (the notice is then the
// newer page's). Returns the watch.
QObject* watchForLateNotice(Dongle* dongle, QPointer<Page> asker, quint64 visit)
{
    endLateNoticeWatch(dongle);
    QObject* watch = addMark(dongle, LateNoticeWatchName);
    QObject::connect(dongle, &Dongle::stateNoticed, watch, [dongle, watch, asker, visit](quint8 state) {
        if (state != quint8(DongleState::SERV_M) || (asker && asker->isVisit(visit)))
            return;
        watch->deleteLater();
        qWarning("The dongle reported service mode after the page that asked for it was left: "
                 "leaving service mode");
        QObject* leaving = addMark(dongle, LateLeaveName);
        const bool asked
            = dongle->networkLeaveServiceMode([leaving = QPointer<QObject>(leaving)](DongleResult result) {
                  if (result.code != DongleResult::Ok)
                      qWarning().noquote()
                          << "Leave service mode after a late notice failed:" << result.toStringHelper();
                  if (!leaving)
                      return;
                  // Requests that waited for the leaving go out now, and find it gone.
                  leaving->setObjectName(QString());
                  delete leaving;
              });
        if (!asked)
            delete leaving;
    });
    return watch;
}

} // namespace

bool isInServiceMode(Dongle const* dongle)
{
    return dongle && dongle->profile().state == quint8(DongleState::SERV_M) && !lateLeave(dongle);
}

void enterServiceMode(Dongle* dongle, Page* owner, std::function<bool()> stillShown,
    std::function<void(DongleResult)> answered, std::function<void()> noNotice)
{
    if (!dongle)
        return;
    if (QObject* leaving = lateLeave(dongle)) {
        // The dongle's exit of that leaving would go out after this request and take the network
        // out under this page: the request waits for it. Held back, it is out all the same: a
        // quit meanwhile waits for it, or the dongle would take it after the application ended.
        QObject* held = addMark(dongle, RequestOutName);
        QPointer<Dongle> waited(dongle);
        QPointer<Page> guard(owner);
        QObject::connect(leaving, &QObject::destroyed, held, [=] {
            if (guard && waited && waited->isRunning() && stillShown())
                enterServiceMode(waited, guard, stillShown, answered, noNotice);
            delete held; // the request made now, if any, is marked out in its place
        });
        return;
    }
    if (!isInServiceMode(dongle))
        watchForLateNotice(dongle, owner, owner->visit());
    const quint64 request = countRequest(dongle);
    QPointer<QObject> out = addMark(dongle, RequestOutName);
    QPointer<QObject> guard(owner);
    QPointer<Dongle> entered(dongle);
    // The page is still there and waiting, on the dongle it asked.
    auto waiting
        = [guard, entered, stillShown] { return guard && entered && entered->isRunning() && stillShown(); };
    dongle->enterServiceMode(
        [guard, entered, request, out, stillShown, waiting, answered, noNotice](DongleResult result) {
            endRequestOut(entered, out, result);
            if (!guard || !entered || !entered->isRunning())
                return;
            if (!stillShown()) {
                // A newer request is queued behind this one, for a page shown since: an exit sent now
                // would go after it and take the network out under that page. Its own answer, its
                // page's leaving or the watch take the dongle out once that page has gone.
                if (result.code == DongleResult::Ok && isLatestRequest(entered, request))
                    entered->exitServiceMode({});
                return;
            }
            answered(result);
            if (result.code != DongleResult::Ok || !guard)
                return;
            // A notice that never comes would leave the page waiting with no word.
            QTimer::singleShot(ServiceModeNoticeMs, guard, [entered, waiting, noNotice] {
                if (!waiting() || isInServiceMode(entered))
                    return;
                qWarning("The dongle took the request to enter service mode but sent no notice");
                noNotice();
            });
        });
}

void afterServiceModeRequests(Dongle* dongle, QObject* context, std::function<void()> then)
{
    QObject* out = dongle ? findMark(dongle, RequestOutName) : nullptr;
    if (!out) {
        then();
        return;
    }
    // Queued: the mark may go with the dongle itself.
    QPointer<Dongle> waited(dongle);
    QObject::connect(
        out, &QObject::destroyed, context,
        [waited, context, then] { afterServiceModeRequests(waited, context, then); }, Qt::QueuedConnection);
}

void leaveNetworkServiceMode(Page* page, Dongle* dongle, std::function<void()> done)
{
    auto finish = std::make_shared<std::function<void()>>(std::move(done));
    auto callOnce = [finish] {
        auto f = std::move(*finish);
        *finish = nullptr;
        if (f)
            f();
    };
    QPointer<Page> leaving(page);
    auto left = [callOnce, leaving](DongleResult result) {
        // A dongle that went is told by the director.
        bool const dongleWent
            = result.code == DongleResult::DongleRemoved || result.code == DongleResult::NoDongle;
        if (result.code != DongleResult::Ok && !dongleWent && leaving) {
            qDebug().noquote() << "Leave service mode failed:" << result.toStringHelper();
            Page::Question question;
            question.icon = Page::Icon::Warning;
            question.title = QCoreApplication::translate("OX::ServiceMode", "Leave Service Mode");
            question.text = QCoreApplication::translate("OX::ServiceMode", "A device may still be in service mode");
            question.informative = QCoreApplication::translate("OX::ServiceMode",
                "Not every device answered the request to leave service mode. Switch off and on again "
                "the devices that still show service mode.");
            // Opens from the event loop over the next page.
            leaving->askOnLeaving(question);
        }
        callOnce();
    };
    // The network is taken out now: an earlier notice needs no watch any more. But a dongle that
    // answers the exit may still report service mode in its notice, and the headset would stay
    // without control: the network is then asked out once more. A notice of another state says
    // that the exit took.
    if (isInServiceMode(dongle)) {
        QObject* watch = watchForLateNotice(dongle, nullptr, 0);
        QObject::connect(dongle, &Dongle::stateNoticed, watch, [watch](quint8 state) {
            if (state != quint8(DongleState::SERV_M))
                watch->deleteLater();
        });
    }
    if (!dongle || !dongle->networkLeaveServiceMode(left))
        callOnce();
}

} // namespace OX
