#pragma once
// The page "Security": one new network password for every device of this dongle's network that
// is in service mode. It walks the user through putting the devices into service mode (a help
// text per step), shows the network as a row of device icons that light up when a device is
// heard in service mode and get a check mark when it took the password, takes the password
// twice and reports whether every device accepted it. A pass ends only when every request sent
// is answered; leaving the page takes the whole network out of service mode, and never waits
// for a dongle that cannot leave it.
//
// The password is printable ASCII (U+0020 to U+007E), 1 to 16 characters and not only spaces,
// so that what the dongle sends (16 bytes, padded with spaces) is exactly what was typed. It
// is never written to the log.
#include "protocol/ChannelMap.h"
#include "protocol/DongleResult.h"
#include "protocol/Records.h"
#include "ui/toolkit/Page.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

namespace Ui
{
class SecurityPage;
}

namespace OX
{

class WarningBubble;

class SecurityPage : public Page
{
    Q_OBJECT
public:
    // One icon of the network picture.
    struct Device {
        quint16 pan = 0;
        quint8 address = 0;
        quint8 product = 0; // a ProductID value: 1 headset, 2 dongle, 3 LINK, 4 remote, 0 unknown
        bool found = false; // heard in service mode: receives the password

        // PAN, address and product; the found flag is not compared.
        bool isSame(quint16 pan, quint8 address, quint8 product) const;
    };

    enum State {
        default_state = 0,
        waiting_for_channel_map_state = 1,
        waiting_for_dongle_service_mode_state = 2,
        waiting_for_headset_service_mode_state = 3,
        waiting_for_other_devices_service_mode_state = 4,
        waiting_for_set_only_dongle_password_state = 5,
        waiting_for_set_devices_password_state = 6,
        waiting_for_set_password_done = 7,
        password_set_error_state = 8,
        password_set_done_state = 9,
    };
    Q_ENUM(State)

    enum Hint {
        enter_service_mode_failed_hint = 0,
    };
    Q_ENUM(Hint)

    static constexpr int MaxPasswordLength = 16;
    // What a password field holds: QLineEdit's own bound, far beyond what is sent, so that what
    // is typed is never cut.
    static constexpr int FieldMaxLength = 32767;

    SecurityPage(PageContainer* container, QWidget* parent = nullptr);
    ~SecurityPage() override;

    // The log text of a state; "Unknown" above 9.
    static QString QStringFromState(State state);
    // The product of a channel-map preset: 7 headset, 24/40/136 LINK, 59/75 dongle,
    // 88/104/120 remote, anything else 0.
    static quint8 productFromPreset(quint8 preset);
    // The icon resource of a channel-map row by preset.
    static QString iconFromPreset(quint8 preset);
    // True for 1 to 16 printable ASCII characters that are not all spaces.
    static bool isAcceptablePassword(QString const& password);
    // Why a typed password cannot be sent, in the person's language; empty when it can (or
    // when nothing is typed yet).
    static QString passwordProblem(QString const& password);

    void retranslate() override;
    void pageWillAppear(QString const& from) override;
    void pageWillDisappear(QString const& to, std::function<void()> done) override;
    void pageDidAppear() override;
    void updateWithHeadset(Headset* headset, HeadsetChangeMask mask) override;
    void updateWithDongle(Dongle* dongle, DongleChangeMask mask) override;
    void deviceFound(Dongle* dongle, NPP const& npp) override;

    // Rebuilds the device rows and icons from the headset (or, without one, the dongle).
    void updateList(Headset const* headset);

    // What tests read.
    State state() const { return m_state; }
    QList<Device> const& devices() const { return m_devices; }
    // The bubble "Password does not match!" is wanted beside the retype field.
    bool isMismatchShown() const;
    // The reason beside the first field why its password cannot be sent; empty when none.
    QString passwordProblemShown() const;

signals:
    void setState(OX::SecurityPage::State state);
    void showHint(OX::SecurityPage::Hint hint);

public slots:
    void onSetState(OX::SecurityPage::State state);
    void onShowHint(OX::SecurityPage::Hint hint);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Connected in the constructor (not by name).
    void onPasswordEdited(QString const& text);
    void onRetypedPasswordEdited(QString const& text);
    void onRetypeFinished();
    void onSetClicked();

    void appendRow(Device const& device, QString const& icon, bool enabled);
    int rowOf(quint16 pan, quint8 address, quint8 product) const;
    void markFound(int row);
    bool allDevicesFound() const;
    void enableFields(bool fields, bool button);
    // Both fields hold the same password, one that may be sent.
    bool passwordReady() const;
    void showMismatch();
    // Shows or hides, beside the first field, why its password cannot be sent.
    void showPasswordProblem();
    // The set-password pass (entry of state 7) and one of its answers.
    void startPass();
    // One set-password pass. Its answers still count once the person left, also when the page
    // was shown again since, or the pass would end unseen: one that ends with a device left out
    // is then told over the page shown.
    struct Pass {
        quint64 visit = 0; // the visit it began in
        int sent = 0;
        int done = 0;
        int failed = 0;
        // Every device listed was heard when it began, and the list was not read again since:
        // only then may a pass without failures say that all passwords are set.
        bool coversAll = false;
        // False once a later pass of its visit replaced it (after the headset was switched off and
        // heard again), or once the dongle went with its answers: they count for nothing then.
        bool counts = true;
        bool ended() const { return sent == done + failed; }
    };
    // Requests of this visit's pass still wait for their answers.
    bool passUnderWay() const { return m_pass && m_pass->counts && !m_pass->ended(); }
    void onPasswordAnswer(
        std::shared_ptr<Pass> const& pass, Device const& device, DongleResult const& result);
    void tellPassFailedUnseen();
    // In state 2, goes on to state 3 once the dongle's state byte says service mode.
    void continueInServiceMode();
    // The dongle did not enter service mode: the page says so and the way back opens.
    void serviceModeFailed();

    std::unique_ptr<Ui::SecurityPage> m_ui;
    ChannelMap m_channelMap;
    State m_state = default_state;
    QList<Device> m_devices;
    std::unique_ptr<WarningBubble> m_bubble;
    std::unique_ptr<WarningBubble> m_problemBubble;
    // This visit's latest pass; none before the first.
    std::shared_ptr<Pass> m_pass;
    // Requests of a pass went out and its result is not on screen yet: a dongle lost now leaves
    // some devices with the new password and others with the old one, which the person is told.
    bool m_passUnseen = false;
    // A pass ended with a device left out while Help covered the page, and the person has not
    // come back to the page since.
    bool m_failureUnseen = false;
};

} // namespace OX
