// The security page's set-password pass, its password fields with the mismatch bubble, its
// hint box and leaving service mode.
#include "ui/pages/SecurityPage.h"

#include "ui_SecurityPage.h"

#include "device/Dongle.h"
#include "ui/pages/ServiceMode.h"
#include "ui/toolkit/PageContainer.h"
#include "ui/toolkit/WarningBubble.h"

#include <QDebug>
#include <QMetaEnum>
#include <QPointer>

#include <utility>

namespace OX
{

namespace
{

// Not translated: the bubble shows it as it stands.
const char MismatchText[] = "Password does not match!";

QString hintName(SecurityPage::Hint hint)
{
    return QString::fromLatin1(QMetaEnum::fromType<SecurityPage::Hint>().valueToKey(hint));
}

} // namespace

bool SecurityPage::isAcceptablePassword(QString const& password)
{
    return !password.isEmpty() && passwordProblem(password).isEmpty();
}

QString SecurityPage::passwordProblem(QString const& password)
{
    // Printable ASCII only: 16 characters are then the 16 bytes the dongle sends.
    for (QChar c : password) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return tr("Only letters, digits and signs without accents can be used, not “%1”.")
                .arg(c.isPrint() ? QString(c)
                                 : QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')));
    }
    if (password.size() > MaxPasswordLength)
        return tr("At most %1 characters; %2 are typed.").arg(MaxPasswordLength).arg(password.size());
    // Spaces alone are the padding the dongle adds: no password at all.
    if (!password.isEmpty() && password.trimmed().isEmpty())
        return tr("Spaces alone are no password.");
    return QString();
}

// ---- the pass ----------------------------------------------------------------------------------

void SecurityPage::onSetClicked()
{
    emit setState(waiting_for_set_password_done);
}

void SecurityPage::startPass()
{
    container->setProgress(true);
    enableFields(false, false);
    for (int i = 0; i < m_devices.size(); ++i)
        if (DeviceListWidget::Item* item = m_ui->deviceListView->itemAt(i))
            item->setChecked(false);
    if (m_pass)
        m_pass->counts = false; // replaced: its late answers count for neither pass
    auto pass = std::make_shared<Pass>();
    pass->visit = visit();
    m_pass = pass;
    // Every row that will be sent is counted before the first request goes out: an answer that
    // comes at once (a refusal) must not end the pass while requests are still to be sent.
    QList<Device> targets;
    for (Device const& d : m_devices)
        if (d.found)
            targets << d;
    pass->sent = targets.size();
    // A device not heard yet is sent nothing, even when it is heard before the pass ends.
    pass->coversAll = m_channelMap.isEmpty() || allDevicesFound();
    const QString password = m_ui->TypePassword->text();
    if (targets.isEmpty() || !isAcceptablePassword(password)) {
        // Nothing to send (or nothing that may be sent): no device took a password.
        pass->failed = pass->sent;
        emit setState(password_set_error_state);
        return;
    }
    m_passUnseen = true;
    QPointer<SecurityPage> self(this);
    for (Device const& d : targets) {
        Dongle* dongle = container->getDongle();
        if (!dongle) {
            onPasswordAnswer(pass, d, DongleResult(DongleResult::NoDongle));
            continue;
        }
        // A request the dongle refuses is answered (code 11) before the call returns.
        dongle->setDevicePassword(d.address, password, [self, pass, d](DongleResult result) {
            if (self)
                self->onPasswordAnswer(pass, d, result);
        });
    }
}

void SecurityPage::onPasswordAnswer(
    std::shared_ptr<Pass> const& pass, Device const& device, DongleResult const& result)
{
    if (!pass->counts)
        return;
    const bool ownVisit = isVisit(pass->visit);
    if (result.code != DongleResult::Ok) {
        qDebug() << "Device: " << device.product << "Set password failed, result: " << result.text;
        ++pass->failed;
    } else {
        // Counted even when a rebuild of the rows took its icon away: the device has it.
        ++pass->done;
        const int row = ownVisit ? rowOf(device.pan, device.address, device.product) : -1;
        if (DeviceListWidget::Item* item = row >= 0 ? m_ui->deviceListView->itemAt(row) : nullptr)
            item->setChecked(true);
    }
    if (!pass->ended())
        return;
    const bool allSet = pass->failed == 0 && pass->coversAll;
    if (!ownVisit) {
        // The person left before the last answer and saw no result (the page may be shown again
        // since, for a visit of its own): devices that did not take the password no longer share
        // the network with the others, which is told over the page shown now.
        if (pass == m_pass)
            m_passUnseen = false;
        if (!allSet)
            tellPassFailedUnseen();
        return;
    }
    // Help covers the page: the result waits there, told on leaving unless the person comes back.
    m_failureUnseen = !allSet && isCovered();
    emit setState(allSet ? password_set_done_state : password_set_error_state);
}

void SecurityPage::tellPassFailedUnseen()
{
    // The application's own box: neither a new visit of this page nor its leaving closes it.
    Question question;
    question.icon = Icon::Warning;
    question.title = tr("Security");
    question.text = tr("Not every device took the new network password.");
    question.informative = tr("Open the Security page again, put all your devices into service mode and "
                              "set the same password again.");
    askApplication(question);
}

void SecurityPage::showEvent(QShowEvent* event)
{
    Page::showEvent(event);
    if (isOnScreen())
        m_failureUnseen = false; // back from Help: the result is on the page
}

// ---- password fields ---------------------------------------------------------------------------

bool SecurityPage::isMismatchShown() const
{
    return m_bubble->isWanted();
}

void SecurityPage::showMismatch()
{
    m_bubble->showBubble(m_ui->reTypePassword, Bubble::Right, QString::fromLatin1(MismatchText));
    m_ui->setButton->setEnabled(false);
}

QString SecurityPage::passwordProblemShown() const
{
    return m_problemBubble->isWanted() ? m_problemBubble->text() : QString();
}

void SecurityPage::showPasswordProblem()
{
    const QString problem = passwordProblem(m_ui->TypePassword->text());
    if (problem.isEmpty())
        m_problemBubble->hideBubble();
    else
        m_problemBubble->showBubble(m_ui->TypePassword, Bubble::Right, problem);
}

void SecurityPage::onPasswordEdited(QString const&)
{
    // The emptied retype field differs from nothing typed so far.
    m_ui->reTypePassword->clear();
    m_bubble->hideBubble();
    m_ui->setButton->setEnabled(false);
    showPasswordProblem();
}

void SecurityPage::onRetypedPasswordEdited(QString const& r)
{
    const QString t = m_ui->TypePassword->text();
    if (r == t)
        m_bubble->hideBubble();
    if (r.size() < t.size()) {
        m_ui->setButton->setEnabled(false);
        if (t.startsWith(r))
            m_bubble->hideBubble();
        else
            showMismatch();
    } else if (r.size() > t.size()) {
        showMismatch();
    } else if (r == t) {
        // Equal, and a password the dongle sends as typed.
        m_ui->setButton->setEnabled(isAcceptablePassword(t));
    } else {
        showMismatch();
    }
}

void SecurityPage::onRetypeFinished()
{
    if (m_ui->reTypePassword->text() != m_ui->TypePassword->text())
        showMismatch();
}

// ---- hint and leaving ------------------------------------------------------------------------

void SecurityPage::onShowHint(Hint hint)
{
    qDebug().noquote() << "SHOW HINT [" + hintName(hint) + "]";
    Question question;
    question.icon = Icon::Information;
    question.text = tr("Unable to enter service mode");
    question.informative
        = tr("Please remove the dongle, wait 10 seconds and insert it again!\nIt may redirect you to "
             "the previous page.");
    question.buttons = QStringList { tr("Ok") };
    question.about = { container->getDongle() };
    ask(question, [hint](int) { qDebug().noquote() << "HIDE HINT [" + hintName(hint) + "]"; });
}

void SecurityPage::pageWillDisappear(QString const& to, std::function<void()> done)
{
    Q_UNUSED(to);
    if (std::exchange(m_failureUnseen, false))
        tellPassFailedUnseen(); // left from Help
    m_bubble->hideBubble();
    m_problemBubble->hideBubble();
    m_ui->TypePassword->clear();
    m_ui->reTypePassword->clear();
    leaveNetworkServiceMode(this, container->getDongle(), std::move(done));
}

} // namespace OX
