#pragma once
// What a step form of the LINK firmware wizard reaches of its page: the Next button, moves,
// failure or success, the header's subtitle, the dongle, and the three values kept between the
// steps (the LINK's version, the firmware file and whether the LINK is being revived). The page is
// the only implementation; the form argument of the first five is not used.
#include "protocol/Records.h"
#include "ui/toolkit/Page.h"

#include <QString>

class Dongle;

namespace OX
{

class DFUForm;

class DFUFormDelegate
{
public:
    virtual ~DFUFormDelegate() = default;

    // A null text leaves the button's text as it is when enabling and empties it when disabling.
    virtual void setNextStepEnabled(DFUForm* form, bool enabled, const QString& text) = 0;
    virtual void navigateToNextStep(DFUForm* form) = 0;
    virtual void navigateToPrevStep(DFUForm* form) = 0;
    // Shows the failed form with message; the wizard stays on the step that failed.
    virtual void stepFailed(DFUForm* form, const QString& message) = 0;
    // The step's work ended well and its Next leads on to the succeeded step.
    virtual void stepSucceeded(DFUForm* form) = 0;
    virtual void setFormTitle(const QString& title) = 0;
    // The connected dongle, or null; asked at the moment of use, never kept.
    virtual Dongle* getDongle() = 0;

    virtual void setLinkVersion(const DongleVersion& version) = 0;
    virtual DongleVersion linkVersion() = 0;
    virtual void setFirmwarePath(const QString& path) = 0;
    virtual QString firmwarePath() = 0;
    virtual void setRecoveryMode(bool recovery) = 0;
    virtual bool recoveryMode() = 0;
    // Asks the person through the page: opened from the event loop, never inside a device
    // callback; answer (the button's index, or -1) runs only while the page's visit lasts and
    // everything question.about names still exists.
    virtual void ask(Page::Question question, std::function<void(int)> answer) = 0;
    // Opens a dialog of a form through the page, as ask opens a question (Page::open).
    virtual void open(QDialog* dialog, Page::About about, std::function<void(int)> answer) = 0;
    // The last word of work that outlived the page's visit: asked over the page shown now
    // (Page::askOnLeaving), or as ask while the page is visited again.
    virtual void askOnLeaving(Page::Question question, std::function<void(int)> answer) = 0;
    // The page's visit token (Page::visit).
    virtual quint64 pageVisit() const = 0;
    // True while the page's visit numbered visit runs and form is the step on screen in it, not
    // switched away nor abandoned (the page left or its dongle lost).
    virtual bool isStepVisit(const DFUForm* form, quint64 visit) const = 0;
};

} // namespace OX
