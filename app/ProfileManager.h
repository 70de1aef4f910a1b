#pragma once
// The user's mouse profiles with the selected one, and their upload to the dongle.
#include "device/MouseProfile.h"
#include "protocol/DongleResult.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class OrvixDirector;

class ProfileManager : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(DongleResult)>;
    // Whether a started dongle is connected now.
    using ConnectedCheck = std::function<bool()>;
    // Writes a profile to the connected dongle; done is called once with the outcome.
    using ProfileWriter = std::function<void(const MouseProfile&, Completion)>;
    // The connected dongle itself (null when none), to tell one dongle from the next.
    using CurrentDongle = std::function<const void*()>;

    explicit ProfileManager(OrvixDirector* director);
    ~ProfileManager() override;

    // The director that owns this manager (may be null).
    OrvixDirector* director() const { return m_director; }
    // How the manager reaches the connected dongle; the director installs one with a function
    // returning its connected, started Dongle* (null when none). Profiles are written with
    // Dongle::applyMouseProfile. Without a provider there is never a dongle: apply and test refuse.
    template <typename Provider>
    void setDongleProvider(Provider provider)
    {
        setProfileWriter([provider]() { return provider() != nullptr; },
                         [provider](const MouseProfile& profile, Completion done) {
                             // A dongle gone since the check answers like a request made to
                             // a stopped dongle.
                             if (auto* dongle = provider())
                                 dongle->applyMouseProfile(profile, std::move(done));
                             else if (done)
                                 done(DongleResult(DongleResult::NoDongle));
                         },
                         [provider]() -> const void* { return provider(); });
    }
    // The same road given as functions (used by setDongleProvider and by tests). Without
    // current, a failed upload is never followed by writing the shown profile back.
    void setProfileWriter(ConnectedCheck connected, ProfileWriter writer, CurrentDongle current = {});

    // An upload that fails part way leaves the dongle with some of its writes: the profile
    // shown (the selected one) is then written back once to the same dongle. When that fails
    // too, done gets the upload's result marked so: its text tells the person that the
    // dongle's settings may differ from the profile shown.
    static bool settingsMayDiffer(const DongleResult& result);
    static QString settingsMayDifferText();

    // Appends a copy unless a profile of the same name (ignoring case) is listed; then sync().
    bool addProfile(const MouseProfile& profile);
    // Index of the first profile whose name equals name ignoring case, or -1.
    int indexOf(const QString& name) const;
    // Removes the named profile (ignoring case), moves the selection, then sync().
    bool removeProfile(const QString& name);
    // Renames the listed profile named name (ignoring case) to newName, then sync(). False,
    // changing nothing, when name is not listed, newName is empty, or another listed profile
    // already bears newName ignoring case.
    bool renameProfile(const QString& name, const QString& newName);
    // Empties the list; no selection, no sync, no signal.
    void removeAllProfiles();

    // The selected profile inside the list (valid until the list changes). With no valid
    // selection (an empty list) a detached placeholder holding the default settings is
    // returned, never null; it belongs to no list and nothing of it is stored.
    MouseProfile* selectedProfile();
    // True when a listed profile is selected.
    bool hasSelectedProfile() const;
    // Index of the selected profile, -1 when none.
    int selectedIndex() const { return m_selected; }
    // Selects the named profile (ignoring case); no signal, no sync.
    bool setSelectedProfile(const QString& name);
    // indexOf(name); when found and profile is not null, *profile is the listed profile.
    int lookUp(const QString& name, MouseProfile** profile);

    // A name that no listed profile bears exactly: base, else "base 1", "base 2", ... With
    // Qt::CaseInsensitive, a name addProfile takes: none is listed in any letter case.
    QString profileName(const QString& base, Qt::CaseSensitivity cs = Qt::CaseSensitive) const;
    // True when a listed profile's name equals name exactly.
    bool profileNameExists(const QString& name) const;

    // The listed profiles in display order.
    int profileCount() const { return int(m_profiles.size()); }
    // The listed profile at index, null outside the list.
    MouseProfile* profileAt(int index);
    const MouseProfile* profileAt(int index) const;
    QStringList profileNames() const;

    // Uploads the selected profile.
    bool applySelected(Completion done);
    // Uploads the listed profile at index and selects it on success. False, without calling
    // done, when the index is outside the list or no dongle is connected.
    bool apply(int index, Completion done);
    // Copies the settings (not the name) of profile into the selected profile, then uploads
    // it. False, without calling done or changing anything, when nothing is selected or no
    // dongle is connected. When the upload fails the selected profile gets its settings back.
    bool apply(const MouseProfile& profile, Completion done);
    // Uploads profile without storing or selecting anything.
    bool test(const MouseProfile& profile, Completion done);

public slots:
    virtual void load() = 0;
    virtual void sync() = 0;

signals:
    void selectedProfileChangedSignal();

protected:
    // Appends a copy without sync (used when loading and resetting).
    void appendProfile(const MouseProfile& profile);
    // Sets the selected index directly (clamped to the list: -1 when empty, 0 when outside).
    void setSelectedIndex(int index);
    // Brings an invalid selection back into the list: 0 when the list is not empty, else -1.
    void normalizeSelection();
    bool dongleConnected() const;
    // The store calls this each time it has written the list. An upload that fails after such a
    // write (which took the settings being uploaded) has the list written again.
    void profilesStored() { ++m_storedCount; }

private:
    bool startApply(int index, Completion done, std::shared_ptr<MouseProfile> previous);
    void finishApply(const MouseProfile* key, MouseProfile* applied, const MouseProfile* uploaded,
        MouseProfile* previous, quint64 upload, quint64 storedBefore, const DongleResult& result);
    // Writes the selected profile back after a failed upload to dongle, when it is still the
    // connected one; then done with the upload's result.
    void writeBackShown(const void* dongle, quint64 upload, const DongleResult& result, const Completion& done);

    OrvixDirector* m_director;
    ConnectedCheck m_connected;
    ProfileWriter m_writer;
    CurrentDongle m_current;
    int m_selected = -1;
    quint64 m_storedCount = 0; // lists the store has written
    quint64 m_uploads = 0;     // profiles given to the writer
    // Each profile lives in its own heap object: inserting or removing never copies or assigns
    // a listed profile, so names and addresses stay put.
    std::vector<std::unique_ptr<MouseProfile>> m_profiles;
    std::unique_ptr<MouseProfile> m_placeholder;
    // A listed profile given settings (apply with a profile) whose upload is still under way: the
    // last such upload and the settings the dongle last took for it. Later applies share those
    // settings, so that a failure gives back what the dongle took, never what an earlier upload
    // still under way (or failed) carried, and only the last upload given may give them back.
    struct PendingSettings {
        QPointer<MouseProfile> profile;
        quint64 upload = 0;
        std::shared_ptr<MouseProfile> taken;
    };
    std::map<const MouseProfile*, PendingSettings> m_pendingSettings;
};
