#pragma once
// The application's persistent store: sidebar appearance, feedback, language, the mouse
// profiles with the selected one, the LINK profiles and the LINK wizard's state.
#include "app/ProfileManager.h"
#include "device/LinkProfile.h"

#include <QList>
#include <QPointer>
#include <QSettings>
#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QTemporaryFile;

class Settings : public ProfileManager
{
    Q_OBJECT
public:
    // Switches the interface language; the director installs one.
    using LanguageLoader = std::function<void(const QString&)>;

    // The native per-user store of organisation "Brixeon", application "OrvixTools".
    explicit Settings(OrvixDirector* director);
    // A store in the given INI file (tests, portable set-ups).
    Settings(const QString& fileName, OrvixDirector* director);
    ~Settings() override;

    void setLanguageLoader(LanguageLoader loader);

    bool sidebarVisible() const;
    bool sidebarHorizontal() const;
    float sidebarOpacity() const;
    float sidebarScale() const;
    bool sidebarOpaqueOnMouseOver() const;
    bool sidebarStickedToPromaryScreen() const;
    bool feedbackOnDeviceChange() const;
    QString language() const;
    QString linkProfileWizardState() const;
    // "service/url": the software update service's address; empty when none is set.
    QString serviceUrl() const;

    void setSidebarVisible(bool visible);
    void setSidebarHorizontal(bool horizontal);
    // Clamped to 0..1; a NaN stores 0.
    void setSidebarOpacity(float opacity);
    void setSidebarScale(float scale);
    void setSidebarOpaqueOnMouseOver(bool opaque);
    void setSidebarStickedToPromaryScreen(bool sticked);
    void setFeedbackOnDeviceChange(bool feedback);
    // Switches the interface language first, then stores it.
    void setLanguage(const QString& language);
    // Stored without a flush and without a signal.
    void setLinkProfileWizardState(const QString& state);

    // The system locale's language ("de_DE" gives "de"; a name without "_" gives "").
    QString defaultLanguage() const;
    static QString languageFromLocaleName(const QString& localeName);

    // Writes the defaults of the plain keys, switches to the default language, then resets the
    // mouse profiles (withProfiles) or just syncs. LINK profiles and wizard state stay.
    void resetToDefaults(bool withProfiles);
    // The three built-in mouse profiles ("default" from Normal, "Restricted", "Tremor"),
    // "default" selected, then sync().
    void resetProfiles();

    // The stored LINK profiles, or the three built-ins when none usable is stored.
    QList<LinkProfile> linkProfiles() const;
    // The first profile named exactly name, or an undefined profile of that name. A stored
    // record that is damaged or outside the LINK's limits is never taken; problems (when given)
    // then says why.
    LinkProfile linkProfile(const QString& name, QString* problems = nullptr) const;
    // Replaces the stored list (an empty list writes nothing), flushes, signals. A list holding
    // a record outside the LINK's limits is refused whole: false, and the stored list stays.
    // Also false when the store cannot keep changes (storeFailed()): the list is then in use
    // until the application quits, but not saved.
    bool setLinkProfiles(const QList<LinkProfile>& profiles);
    // Replaces the record of the profile named exactly name, or appends a new profile; false
    // when the record (or another of the list) is outside the LINK's limits and nothing changed,
    // or when the store cannot keep it (as setLinkProfiles).
    // link, when given, is noted as the LINK the record was taken from (see linkProfileLink), in
    // the same write.
    bool setLinkProfile(const QString& name, const LPP& parameters, const QString& link = QString());
    // The LINK (its Link::identity) whose record the stored LINK profile name was taken from;
    // empty when none was told (a profile stored by an earlier version, or never stored).
    QString linkProfileLink(const QString& name) const;
    // Notes beside the profile list which LINK the profile name was taken from, flushed at once;
    // false when the store cannot keep it (as setLinkProfiles).
    bool setLinkProfileLink(const QString& name, const QString& link);
    // The stored LINK profiles set aside at start ("backup: safety angle forward 255° ...").
    QStringList linkProfileProblems() const { return m_linkProfileProblems; }

    // The underlying store (tests and diagnostics); a new one follows a failed flush, so it is
    // not to be kept.
    QSettings* store() const { return m_store; }

    // The keys reset at start because their stored values were damaged ("*": the whole file).
    QStringList damagedKeys() const { return m_damagedKeys; }
    // Whether the damaged file was kept beside the settings file (its ".damaged" copy).
    bool damagedFileKept() const { return m_damagedFileKept; }
    // The stored mouse-profile list lost entries at load and no copy of the file could be kept:
    // changes to mouse profiles are not saved, so that the file stays as it is.
    bool profileChangesHeld() const { return m_profileListHeld; }
    // True while the store cannot be written (its last flush failed, or it works on a stand-in):
    // changes are not kept.
    bool storeFailed() const { return m_storeFailed; }

public slots:
    void load() override;
    void sync() override;

signals:
    void settingsChangedSignal();
    // Once each time the store starts failing to be read or written (not again until a flush
    // has gone through).
    void storeFailedSignal();
    // The settings file was replaced by a damaged one while running: it was set aside (or, when
    // damagedFileKept() is false, left as it is and the store went on in a stand-in) and the
    // settings in use stay.
    void fileReplacedByDamagedSignal();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Checks the file (damaged values are set aside), makes it owner-only and opens the store.
    void openStore(const QString& fileName, bool native);
    void checkStore();
    // Keeps a stored LINK profile list with damaged or out-of-limits records aside (the file's
    // ".damaged" copy, unless one was kept already) and stores the list without them.
    void setAsideDamagedLinkProfiles();
    // A stored list under key is to be stored without entries that cannot be taken: the key is
    // noted as damaged and the file kept as its ".damaged" copy (once). Returns whether the
    // list may be rewritten: false while no copy could be kept.
    bool keepCopyBeforeShortening(const QString& key);
    // The file the store works on while the damaged one stays where it is: a private stand-in
    // holding contents, or, when none can be made, a name that keeps the store in memory and
    // writes nothing. Changes are not kept either way.
    QString detachedStoreFile(const QByteArray& contents);
    // Before the store takes a change: a file replaced on disk since the store last read or
    // wrote it is checked (and set aside when damaged) before QSettings reads it.
    void checkFileOnDisk();
    // Deletes a store, which writes what it holds unless its file's lock is held.
    void releaseStore(QSettings* store);
    // Replaces the store by a new one on storeFile that holds the values in use.
    void reopenStore(const QString& storeFile, QSettings::Format format);
    // Stores the LINK profile list as setLinkProfiles does, with link noted beside profile name
    // (nothing noted when link is empty), in one flush.
    bool storeLinkProfiles(const QList<LinkProfile>& profiles, const QString& name, const QString& link);
    // Checks the file, stores one value and the profiles, flushes and signals.
    void write(const char* key, const QVariant& value);
    void storeProfilesAndFlush();
    void flushAndSignal();
    // Writes the store's changes, notes the file as written and whether the store failed.
    void flushStore();
    // The three built-in mouse profiles, "default" selected; no sync.
    void builtInProfiles();
    // The keys a listed profile was loaded with that this version does not read.
    QVariantMap otherProfileKeys(const MouseProfile* profile);

    QSettings* m_store = nullptr;
    QString m_fileName;
    // The file as the store last read or wrote it (see fileStamp).
    QByteArray m_fileStamp;
    // The file the store reads when a damaged file could not be rewritten in place.
    std::unique_ptr<QTemporaryFile> m_standIn;
    // The store works on a stand-in or in memory, never on the settings file.
    bool m_detached = false;
    QStringList m_damagedKeys;
    bool m_damagedFileKept = false;
    QStringList m_linkProfileProblems;
    // The stored mouse-profile list lost entries at load and no copy could be kept: it is not
    // rewritten.
    bool m_profileListHeld = false;
    // The stored LINK profile list held entries that cannot be taken and no copy could be kept:
    // they are stored again with every list written.
    bool m_linkProfileListHeld = false;
    // The last flush found the settings file's lock held by someone and wrote nothing.
    bool m_lockHeld = false;
    bool m_storeFailed = false;
    bool m_storeFailureReported = false;
    LanguageLoader m_languageLoader;
    // Stored profiles may hold settings of a later version: they are written back with the
    // profile they came with, never dropped by a save of this one.
    std::vector<std::pair<QPointer<const MouseProfile>, QVariantMap>> m_otherProfileKeys;
};
