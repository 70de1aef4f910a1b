// The toolbar following the headset, and its commands to the dongle. The dongle and headset are
// asked for at the moment of use; every completion may come after the toolbar is gone.
#include "ui/shell/SidebarDialog.h"
#include "ui_SidebarDialog.h"

#include "app/OrvixDirector.h"
#include "device/Dongle.h"
#include "device/Headset.h"
#include "ui/toolkit/Pixmap.h"
#include "ui/toolkit/Skin.h"
#include "ui/toolkit/ToolButton.h"

namespace
{

// The click button after a click of the mouse button: left and right alternate, scrolling
// goes back to left.
MouseButton nextClickButton(quint8 current)
{
    return current == 0 || current == 2 || current == 4 ? MouseButton::Left : MouseButton::Right;
}

// The dongle a modifier press or a shortcut was last sent to, until its keys are all let go:
// the headset reports the held keys only after the dongle has done the press, so a press sent
// just before the headset goes (or the application quits) shows in no modifier mask yet, and
// a shortcut whose release never went out shows its letter in none.
QPointer<Dongle>& pressSentTo()
{
    static QPointer<Dongle> dongle;
    return dongle;
}

// Whether keys sent in a command that ended with result may be held still: it failed, and
// the dongle is not going (its keys go with it).
bool keysMayBeHeld(const DongleResult& result)
{
    return result.code != DongleResult::Ok && result.code != DongleResult::DongleRemoved;
}

} // namespace

QList<OX::ToolButton*> SidebarDialog::headsetButtons() const
{
    return { m_ui->shiftButton, m_ui->altButton, m_ui->cmdButton, m_ui->mouseButton, m_ui->scrollButton };
}

void SidebarDialog::onHeadsetUpdated(Headset* headset, HeadsetChangeMask mask)
{
    if (headset && !headset->isErrorAcknowledged() && !mask.testFlag(HeadsetChangeMask::lost)) {
        if (mask.testFlag(HeadsetChangeMask::online) && headset->isOnline())
            mask = HeadsetChangeMask::all;
        if (mask.testFlag(HeadsetChangeMask::battery))
            m_ui->batteryButton->setIcon(State::getBatteryIcon(headset->batteryLevel()));
        if (mask.testFlag(HeadsetChangeMask::control)) {
            const quint32 modifiers = headset->modifierMask();
            m_ui->shiftButton->setIcon(State::getShiftActionIcon(modifiers));
            m_ui->altButton->setIcon(State::getAltActionIcon(modifiers));
            m_ui->cmdButton->setIcon(State::getCommandActionIcon(modifiers));
            const auto button = MouseButton(headset->clickButton());
            m_ui->mouseButton->setIcon(State::getMouseIcon(button));
            m_ui->scrollButton->setIcon(State::getScrollIcon(button));
        }
        if (mask.testFlag(HeadsetChangeMask::active))
            m_state.setStatusColor(headset->isActive() ? State::Active : State::Passive);
        if (mask.testFlag(HeadsetChangeMask::found))
            for (OX::ToolButton* button : headsetButtons())
                button->setEnabled(true);
        return;
    }
    // No headset, a failed one, or the headset lost.
    if (headset && mask.testFlag(HeadsetChangeMask::lost))
        releaseHeldKeys(dongle(), headset);
    const char* const disabled = "disabledWidgetColor";
    m_ui->batteryButton->setIcon(
        tintedIcon(QStringLiteral(":/sidebar/icons/icon_battery_none"), "passiveWidgetColor"));
    m_ui->shiftButton->setIcon(tintedIcon(QStringLiteral(":/sidebar/icons/icon_key_shift"), disabled));
    m_ui->altButton->setIcon(tintedIcon(QStringLiteral(":/sidebar/icons/icon_key_alt_mac"), disabled));
    m_ui->cmdButton->setIcon(tintedIcon(QStringLiteral(":/sidebar/icons/icon_key_cmd"), disabled));
    m_ui->mouseButton->setIcon(tintedIcon(QStringLiteral(":/sidebar/icons/badge_mouse_i"), disabled));
    m_ui->scrollButton->setIcon(tintedIcon(QStringLiteral(":/sidebar/icons/icon_scroll_none"), disabled));
    for (OX::ToolButton* button : headsetButtons())
        button->setEnabled(false);
    m_ui->statusButton->setIcon(State::getStatusIcon(State::Start, State::Natural));
}

void SidebarDialog::releaseHeldKeys(Dongle* dongle, const Headset* headset)
{
    // A shift left held would shift every click and key of the computer's own mouse and keyboard;
    // letting go of keys not held does nothing. The dongle's keyboard needs no headset.
    if (!dongle || (!(headset && headset->modifierMask()) && pressSentTo() != dongle))
        return;
    pressSentTo() = nullptr;
    QPointer<Dongle> guard(dongle);
    dongle->keyPress(KeyCode(0), releaseAllKeys, [guard](DongleResult result) {
        // Not let go either: the next chance (the headset going, the quit) tries again.
        if (keysMayBeHeld(result) && guard)
            pressSentTo() = guard;
    });
}

void SidebarDialog::onHeadsetStatusChanged(Headset*, bool active)
{
    m_state.setStatusColor(active ? State::Active : State::Passive);
    m_ui->statusButton->setIcon(State::getStatusIcon(m_state.badge, m_state.color));
}

void SidebarDialog::onHeadsetChannelChanged(Headset* headset, int)
{
    m_state.badge = State::getBadge(headset, dongle());
    // The colour follows the headset again: the error colour that a badge of no known kind took
    // would stay on the next device's badge until the headset changed between active and passive.
    m_state.setStatusColor(headset && headset->isActive() ? State::Active : State::Passive);
    m_ui->statusButton->setIcon(State::getStatusIcon(m_state.badge, m_state.color));
}

void SidebarDialog::sendMouseAction(
    MouseButton button, std::function<void(MouseButton)> started, std::function<void(DongleResult)> done)
{
    Dongle* d = dongle();
    Headset* h = headset();
    if (!d || !h)
        return;
    if (h->clickButton() == quint8(button))
        button = button == MouseButton::Left ? MouseButton::Right : MouseButton::Left;
    started(button);
    d->switchClick(button, std::move(done));
}

void SidebarDialog::onMouseClicked()
{
    Headset* h = headset();
    if (!dongle() || !h)
        return;
    QPointer<SidebarDialog> self(this);
    sendMouseAction(
        nextClickButton(h->clickButton()),
        [this](MouseButton button) {
            // The lasting picture, not the one on screen: a click while the button blinks would
            // take the lit picture for good when its command fails.
            OX::ToolButton* b = m_ui->mouseButton;
            const QIcon lasting = b->steadyIcon();
            b->startBlinking(lasting, State::getMouseBlinkIcon(lasting, button), BlinkMs);
        },
        [self](DongleResult) {
            if (self)
                self->m_ui->mouseButton->stopBlinking();
        });
}

void SidebarDialog::onScrollClicked()
{
    Headset* h = headset();
    if (!dongle() || !h)
        return;
    if (h->clickButton() == quint8(MouseButton::Middle)) {
        onMouseClicked();
        return;
    }
    QPointer<SidebarDialog> self(this);
    sendMouseAction(
        MouseButton::Middle,
        [this](MouseButton button) {
            OX::ToolButton* b = m_ui->scrollButton;
            const QIcon lasting = b->steadyIcon();
            b->startBlinking(lasting, State::getScrollBlinkIcon(lasting, button), BlinkMs);
        },
        [self](DongleResult) {
            if (self)
                self->m_ui->scrollButton->stopBlinking();
        });
}

void SidebarDialog::sendModifierAction(HeadsetControlMask::ModifierOptions option, KeyCode key,
    std::function<void(KeyPressAction)> started, std::function<void(DongleResult)> done)
{
    Dongle* d = dongle();
    if (!d)
        return;
    const Headset* h = d->headset();
    const bool held = h && (h->modifierMask() & option) == quint32(option);
    const KeyPressAction action = held ? releaseKey : pressKey;
    if (action == pressKey)
        pressSentTo() = d;
    started(action);
    QPointer<Dongle> guard(d);
    d->keyPress(key, action, [guard, key, action, done = std::move(done)](DongleResult result) {
        // A press not confirmed may be held all the same, lit nowhere: pressing again would not
        // release it.
        if (action == pressKey && keysMayBeHeld(result) && guard)
            guard->keyPress(key, releaseKey, [](DongleResult) {});
        done(result);
    });
}

void SidebarDialog::modifierClicked(
    OX::ToolButton* button, quint8 State::*pending, HeadsetControlMask::ModifierOptions option, KeyCode key)
{
    if (m_state.*pending != NoAction)
        return;
    QPointer<SidebarDialog> self(this);
    sendModifierAction(
        option, key,
        [this, button, pending](KeyPressAction action) {
            m_state.*pending = action;
            const QIcon current = button->steadyIcon();
            const QIcon blink(OX::Pixmap(current, button->iconSize())
                                  .getTintedCopy(OX::Skin::color(QStringLiteral("activeWidgetColor"))));
            button->startBlinking(current, blink, BlinkMs);
        },
        [self, button, pending](DongleResult) {
            if (!self)
                return;
            button->stopBlinking();
            self->m_state.*pending = NoAction;
        });
}

void SidebarDialog::onAltClicked()
{
    modifierClicked(m_ui->altButton, &State::altPending, HeadsetControlMask::alt, KeyCode(0x82));
}

void SidebarDialog::onCmdClicked()
{
    modifierClicked(m_ui->cmdButton, &State::commandPending, HeadsetControlMask::command, KeyCode(0x83));
}

void SidebarDialog::onShiftClicked()
{
    modifierClicked(m_ui->shiftButton, &State::shiftPending, HeadsetControlMask::shift, KeyCode(0x81));
}

void SidebarDialog::shortcutClicked(OX::ToolButton* button, quint8 State::*pending, QIcon (*icon)(quint8),
    void (Dongle::*send)(std::function<void(DongleResult)>))
{
    Dongle* d = dongle();
    if (!d || m_state.*pending != NoAction)
        return;
    m_state.*pending = 0;
    button->setIcon(icon(0));
    // The shortcut's keys are released by its last command: one that failed or timed out may
    // have left the command key or the letter held.
    pressSentTo() = d;
    QPointer<SidebarDialog> self(this);
    QPointer<Dongle> guard(d);
    (d->*send)([self, guard, button, pending, icon](DongleResult result) {
        if (keysMayBeHeld(result) && guard)
            releaseHeldKeys(guard, guard->headset());
        if (!self)
            return;
        self->m_state.*pending = NoAction;
        button->setIcon(icon(NoAction));
    });
}

void SidebarDialog::onCopyClicked()
{
    shortcutClicked(m_ui->copyButton, &State::copyPending, &State::getCopyActionIcon, &Dongle::copyAction);
}

void SidebarDialog::onCutClicked()
{
    shortcutClicked(m_ui->cutButton, &State::cutPending, &State::getCutActionIcon, &Dongle::cutAction);
}

void SidebarDialog::onPasteClicked()
{
    shortcutClicked(
        m_ui->pasteButton, &State::pastePending, &State::getPasteActionIcon, &Dongle::pasteAction);
}
