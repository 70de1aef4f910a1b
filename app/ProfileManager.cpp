#include "app/ProfileManager.h"

#include <QDebug>

ProfileManager::ProfileManager(OrvixDirector* director)
    : QObject(nullptr)
    , m_director(director)
    , m_placeholder(new MouseProfile(nullptr))
{
}

ProfileManager::~ProfileManager() = default;

namespace {
// The log line's detail of an upload whose write-back failed as well.
const char SettingsMayDifferDetail[] = "the dongle's settings may differ from the profile shown";

// The dongle went before or while it was written to: whatever it holds, the next connection
// gets the selected profile.
bool dongleGone(const DongleResult& result)
{
    return result.code == DongleResult::DongleRemoved || result.code == DongleResult::NoDongle;
}
} // namespace

void ProfileManager::setProfileWriter(ConnectedCheck connected, ProfileWriter writer, CurrentDongle current)
{
    m_connected = std::move(connected);
    m_writer = std::move(writer);
    m_current = std::move(current);
}

bool ProfileManager::settingsMayDiffer(const DongleResult& result)
{
    return result.code != DongleResult::Ok && result.detail == QLatin1String(SettingsMayDifferDetail);
}

QString ProfileManager::settingsMayDifferText()
{
    return tr("The dongle's settings may differ from the profile shown.");
}

bool ProfileManager::dongleConnected() const
{
    return m_connected && m_writer && m_connected();
}

bool ProfileManager::addProfile(const MouseProfile& profile)
{
    if (indexOf(profile.name()) != -1)
        return false;
    appendProfile(profile);
    normalizeSelection();
    sync();
    return true;
}

int ProfileManager::indexOf(const QString& name) const
{
    const QString wanted = name.toLower();
    for (size_t i = 0; i < m_profiles.size(); ++i) {
        if (m_profiles[i]->name().toLower() == wanted)
            return int(i);
    }
    return -1;
}

bool ProfileManager::removeProfile(const QString& name)
{
    const int index = indexOf(name);
    if (index == -1)
        return false;
    m_profiles.erase(m_profiles.begin() + index);
    if (index == m_selected)
        m_selected = 0;
    else if (index < m_selected)
        --m_selected;
    normalizeSelection();
    sync();
    return true;
}

bool ProfileManager::renameProfile(const QString& name, const QString& newName)
{
    const int index = indexOf(name);
    if (index == -1 || newName.trimmed().isEmpty())
        return false;
    const int taken = indexOf(newName);
    if (taken != -1 && taken != index)
        return false;
    m_profiles[size_t(index)]->setProfileName(newName);
    sync();
    return true;
}

void ProfileManager::removeAllProfiles()
{
    m_profiles.clear();
    m_selected = -1;
}

MouseProfile* ProfileManager::selectedProfile()
{
    if (hasSelectedProfile())
        return m_profiles[size_t(m_selected)].get();
    // Nothing is selected: hand out the defaults, so that no caller dereferences null.
    const MouseProfile defaults(nullptr);
    *m_placeholder = defaults;
    m_placeholder->setProfileName(defaults.name());
    return m_placeholder.get();
}

bool ProfileManager::hasSelectedProfile() const
{
    return m_selected >= 0 && m_selected < profileCount();
}

bool ProfileManager::setSelectedProfile(const QString& name)
{
    const int index = indexOf(name);
    if (index == -1)
        return false;
    m_selected = index;
    qDebug().noquote() << "Profile selected: " << m_profiles[size_t(index)]->toString(1);
    return true;
}

int ProfileManager::lookUp(const QString& name, MouseProfile** profile)
{
    const int index = indexOf(name);
    if (index != -1 && profile)
        *profile = m_profiles[size_t(index)].get();
    return index;
}

QString ProfileManager::profileName(const QString& base, Qt::CaseSensitivity cs) const
{
    auto taken = [this, cs](const QString& name) {
        return cs == Qt::CaseSensitive ? profileNameExists(name) : indexOf(name) != -1;
    };
    QString candidate = base;
    for (int n = 1; taken(candidate); ++n)
        candidate = QStringLiteral("%1 %2").arg(base, QString::number(n)); // "%1" in base stays as typed
    return candidate;
}

bool ProfileManager::profileNameExists(const QString& name) const
{
    for (const auto& profile : m_profiles) {
        if (profile->name() == name)
            return true;
    }
    return false;
}

MouseProfile* ProfileManager::profileAt(int index)
{
    if (index < 0 || index >= profileCount())
        return nullptr;
    return m_profiles[size_t(index)].get();
}

const MouseProfile* ProfileManager::profileAt(int index) const
{
    if (index < 0 || index >= profileCount())
        return nullptr;
    return m_profiles[size_t(index)].get();
}

QStringList ProfileManager::profileNames() const
{
    QStringList names;
    for (const auto& profile : m_profiles)
        names << profile->name();
    return names;
}

bool ProfileManager::applySelected(Completion done)
{
    return apply(m_selected, std::move(done));
}

bool ProfileManager::apply(int index, Completion done)
{
    return startApply(index, std::move(done), nullptr);
}

bool ProfileManager::apply(const MouseProfile& profile, Completion done)
{
    // Refuse before touching the list: a profile that cannot be written is not taken.
    if (!hasSelectedProfile() || !dongleConnected())
        return false;
    MouseProfile* selected = m_profiles[size_t(m_selected)].get();
    auto previous = std::make_shared<MouseProfile>(*selected);
    *selected = profile;
    return startApply(m_selected, std::move(done), std::move(previous));
}

bool ProfileManager::startApply(int index, Completion done, std::shared_ptr<MouseProfile> previous)
{
    if (index < 0 || index >= profileCount())
        return false;
    if (!dongleConnected())
        return false;
    MouseProfile* profile = m_profiles[size_t(index)].get();
    qDebug().noquote() << "Apply profile: " << profile->toString(1);
    // The completion keeps the profile itself, not its index: the list may change while the
    // upload runs, and a position taken now could then name another profile or none.
    QPointer<ProfileManager> self(this);
    QPointer<MouseProfile> applied(profile);
    auto uploaded = std::make_shared<MouseProfile>(*profile);
    const quint64 stored = m_storedCount;
    const void* dongle = m_current ? m_current() : nullptr;
    const quint64 upload = ++m_uploads;
    // With an upload of given settings to this profile still under way, what the dongle took is
    // not what the list holds now; this upload is the one to give it back when it fails.
    const auto pending = m_pendingSettings.find(profile);
    if (pending != m_pendingSettings.end() && pending->second.profile == profile)
        previous = pending->second.taken;
    if (previous)
        m_pendingSettings[profile] = PendingSettings { applied, upload, previous };
    m_writer(*profile,
        [self, profile, applied, uploaded, previous, stored, dongle, upload, done](DongleResult result) {
            if (!self) {
                if (done)
                    done(result);
                return;
            }
            self->finishApply(
                profile, applied.data(), uploaded.get(), previous.get(), upload, stored, result);
            self->writeBackShown(dongle, upload, result, done);
        });
    return true;
}

void ProfileManager::finishApply(const MouseProfile* key, MouseProfile* applied, const MouseProfile* uploaded,
    MouseProfile* previous, quint64 upload, quint64 storedBefore, const DongleResult& result)
{
    // Only the last upload of given settings gives back what the dongle took before: an earlier
    // one's failure leaves the list to the upload given after it.
    bool last = true;
    if (previous) {
        const auto pending = m_pendingSettings.find(key);
        last = pending != m_pendingSettings.end() && pending->second.upload == upload;
        if (last)
            m_pendingSettings.erase(pending);
        if (result.code == DongleResult::Ok)
            *previous = *uploaded; // what a later upload's failure gives back
    }
    int index = -1;
    for (size_t i = 0; applied && i < m_profiles.size(); ++i) {
        if (m_profiles[i].get() == applied) {
            index = int(i);
            break;
        }
    }
    // A profile removed while it was being written is no longer there to select or restore.
    if (index != -1) {
        if (result.code == DongleResult::Ok) {
            m_selected = index;
            emit selectedProfileChangedSignal();
            sync();
        } else if (previous && last && applied->isEqual(*uploaded, false)) {
            // The upload failed: the listed profile keeps what it held (and the dongle gets it
            // back, writeBackShown).
            // Settings given to it since (a later apply, an edit) are not this upload's to undo.
            *applied = *previous;
            // A save while the upload ran (another upload's success, any setting) stored the
            // settings the dongle refused: the store gets back what the dongle holds.
            if (m_storedCount != storedBefore)
                sync();
        }
    }
}

void ProfileManager::writeBackShown(
    const void* dongle, quint64 upload, const DongleResult& result, const Completion& done)
{
    // Only a dongle that answered part of the upload and is still connected can hold a mix.
    const bool partWritten = result.code != DongleResult::Ok && !dongleGone(result);
    // A profile given to the dongle after this one is written after it and decides what the
    // dongle holds: a write-back, queued behind it, would undo it.
    const bool overtaken = upload != m_uploads;
    if (!partWritten || overtaken || !dongle || !hasSelectedProfile() || !dongleConnected()
        || m_current() != dongle) {
        if (done)
            done(result);
        return;
    }
    const MouseProfile& shown = *m_profiles[size_t(m_selected)];
    qDebug().noquote() << "Upload failed, writing the shown profile back: " << shown.toString(1);
    // Written once, straight to the dongle: a failure here starts no further write-back, and
    // the list, the selection and the store stay as they are.
    ++m_uploads;
    m_writer(shown, [result, done](DongleResult written) {
        DongleResult told = result;
        if (written.code != DongleResult::Ok && !dongleGone(written)) {
            qDebug().noquote() << "Writing the shown profile back failed:" << written.toStringHelper();
            told.detail = QString::fromLatin1(SettingsMayDifferDetail);
            told.text += QStringLiteral("\n") + settingsMayDifferText();
        }
        if (done)
            done(told);
    });
}

bool ProfileManager::test(const MouseProfile& profile, Completion done)
{
    if (!dongleConnected())
        return false;
    qDebug().noquote() << "Test profile: " << profile.toString(1);
    ++m_uploads;
    m_writer(profile, [done](DongleResult result) {
        if (done)
            done(result);
    });
    return true;
}

void ProfileManager::appendProfile(const MouseProfile& profile)
{
    m_profiles.emplace_back(new MouseProfile(profile));
}

void ProfileManager::setSelectedIndex(int index)
{
    m_selected = index;
    normalizeSelection();
}

void ProfileManager::normalizeSelection()
{
    if (m_profiles.empty())
        m_selected = -1;
    else if (m_selected < 0 || m_selected >= profileCount())
        m_selected = 0;
}
