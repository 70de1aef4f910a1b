#include "ui/firmware/DFUConnectForm.h"

#include "ui_DFUConnectForm.h"

#include "async/Promise.h"
#include "ui/firmware/CabledLink.h"
#include "ui/firmware/DFUFormDelegate.h"

#include <QPixmap>
#include <QPointer>

namespace OX
{

DFUConnectForm::DFUConnectForm(DFUFormDelegate& delegate, QWidget* parent)
    : DFUForm(delegate, parent)
    , m_ui(std::make_unique<::Ui::DFUConnectForm>())
{
    m_ui->setupUi(this);
    m_ui->decoration->setPixmap(QPixmap(QStringLiteral(":/dfu/decoration_connect")));
}

DFUConnectForm::~DFUConnectForm() = default;

void DFUConnectForm::retranslate()
{
    delegate.setNextStepEnabled(this, true, tr("Connect"));
    delegate.setFormTitle(tr("Connect"));
}

void DFUConnectForm::pageWillAppear()
{
    retranslate();
    delegate.setNextStepEnabled(this, true, tr("Connect"));
    delegate.setFormTitle(tr("Connect"));
    delegate.setRecoveryMode(false);
}

void DFUConnectForm::prepareForNavigation(NavigationDirection direction, std::function<void()> done)
{
    if (direction != Forward)
        return;
    delegate.setNextStepEnabled(this, false, tr("Connect"));
    QPointer<DFUConnectForm> self(this);
    const quint64 visit = this->visit();

    // Left meanwhile (Back, or the dongle lost): the LINK is asked nothing more and what it
    // answered is not kept.
    Promise::create(tr("Get Version"),
        [self, visit](Defer& step) {
            Dongle* dongle = self ? self->delegate.getDongle() : nullptr;
            if (!dongle) {
                step.reject(DongleResult(DongleResult::NoDongle));
                return;
            }
            const QPointer<Link> link = makeCabledLink(*dongle);
            Defer node = step;
            link->queryVersion([self, visit, link, node](DongleVersion* version, DongleResult result) {
                releaseCabledLink(link);
                if (result.code != DongleResult::Ok || !version) {
                    node.reject(result);
                    return;
                }
                if (self && self->isVisit(visit))
                    self->delegate.setLinkVersion(*version);
                node.resolve();
            });
        })
        .then(tr("GET service mode state"),
            [self, visit](Defer& step) {
                Dongle* dongle = self && self->isVisit(visit) ? self->delegate.getDongle() : nullptr;
                if (!dongle) {
                    step.reject(DongleResult(DongleResult::NoDongle));
                    return;
                }
                const QPointer<Link> link = makeCabledLink(*dongle);
                Defer node = step;
                link->queryServiceMode([link, node](bool serviceMode, DongleResult result) {
                    releaseCabledLink(link);
                    if (result.code != DongleResult::Ok)
                        node.reject(result);
                    else if (!serviceMode)
                        node.reject(DongleResult(DongleResult::NotInServiceMode));
                    else
                        node.resolve();
                });
            })
        .fail(tr("Connect to link failed"),
            [self, visit](DongleResult result, QString) {
                if (self && self->isVisit(visit) && result.code == DongleResult::NotInServiceMode)
                    emit self->showError(tr("Link error"), tr("Please put the link to service mode"));
            })
        .finally(tr("Connect to link done"), [self, visit, done](DongleResult result, QString) {
            if (self)
                self->finishConnect(result, visit, done);
        });
}

void DFUConnectForm::finishConnect(
    DongleResult const& result, quint64 visit, std::function<void()> const& done)
{
    if (!isVisit(visit))
        return; // the step was left while the LINK was asked
    switch (result.code) {
    case DongleResult::Ok:
        done();
        return;
    case DongleResult::NotInServiceMode:
        delegate.setNextStepEnabled(this, true, tr("Connect"));
        return;
    case DongleResult::NoDongle:
    case DongleResult::DongleRemoved:
        delegate.stepFailed(this, tr("Dongle not connected or lost."));
        return;
    default:
        askForRecovery(visit, done);
        return;
    }
}

void DFUConnectForm::askForRecovery(quint64 visit, std::function<void()> const& done)
{
    Dongle* dongle = delegate.getDongle();
    if (!dongle) {
        delegate.stepFailed(this, tr("Dongle not connected or lost."));
        return; // nothing to revive the LINK through
    }
    Page::Question question;
    question.text = tr("Link not found. Would you like to start the recovery mode?");
    question.informative = tr("Link not found");
    question.buttons = QStringList { tr("Yes"), tr("Dismiss and Leave page") };
    question.about << QPointer<QObject>(dongle);
    QPointer<DFUConnectForm> self(this);
    delegate.ask(question, [self, visit, done](int answer) {
        if (!self || !self->isVisit(visit) || !self->delegate.getDongle())
            return; // the step was left, or the dongle unplugged, while the question was open
        if (answer == 0) {
            self->delegate.setRecoveryMode(true);
            done();
        } else {
            self->delegate.stepFailed(self, tr("Unable to communicate with the link."));
        }
    });
}

void DFUConnectForm::retranslateForm()
{
    m_ui->retranslateUi(this);
}

} // namespace OX
