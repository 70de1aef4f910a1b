#include "app/Settings.h"

#include "app/SettingsFileCheck.h"

#include <QDebug>
#include <QDir>
#include <QEvent>
#include <QHash>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace
{

const char kOrganisation[] = "Brixeon";
const char kApplication[] = "OrvixTools";

const char kSidebarVisible[] = "sidebar/visible";
const char kSidebarHorizontal[] = "sidebar/horizontal";
const char kSidebarOpacity[] = "sidebar/opacity";
const char kSidebarScale[] = "sidebar/scale";
const char kSidebarOpaqueOnMouseOver[] = "sidebar/opaqueOnMouseOver";
const char kSidebarStickToPrimaryScreen[] = "sidebar/stickToPrimaryScreen";
const char kFeedbackOnDeviceChange[] = "feedback/onDeviceChange";
const char kLanguage[] = "language";
const char kWizardState[] = "link/profile/wizardState";
const char kLinkProfileList[] = "link/profile/list";
// One key per LINK profile name (percent-encoded): the LINK its record was taken from.
const char kLinkProfileLinks[] = "link/profile/links/";
const char kProfileList[] = "profile/list";
const char kProfileSelected[] = "profile/selected";
const char kServiceUrl[] = "service/url";

// Readers of stored values. A value that is missing, or that cannot stand for the wanted
// type (a list where a number belongs, text that is no number, a NaN), gives the default:
// a damaged store loads what is usable and defaults for the rest.

bool isContainer(const QVariant& v)
{
    const int type = v.userType();
    return type == QMetaType::QVariantList || type == QMetaType::QVariantMap || type == QMetaType::QStringList
        || type == QMetaType::QVariantHash;
}

bool toBool(const QVariant& v, bool fallback)
{
    if (!v.isValid() || isContainer(v))
        return fallback;
    switch (v.userType()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return v.toLongLong() != 0;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        return std::isfinite(d) ? d != 0.0 : fallback;
    }
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        const QString text = v.toString().trimmed().toLower();
        if (text == QLatin1String("true") || text == QLatin1String("1"))
            return true;
        if (text == QLatin1String("false") || text == QLatin1String("0"))
            return false;
        return fallback;
    }
    default:
        return fallback;
    }
}

double toFiniteDouble(const QVariant& v, double fallback)
{
    if (!v.isValid() || isContainer(v) || v.userType() == QMetaType::Bool)
        return fallback;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok && std::isfinite(d) ? d : fallback;
}

float toFloat(const QVariant& v, float fallback)
{
    const double d = toFiniteDouble(v, fallback);
    // A finite double beyond the float range is no usable setting either.
    if (std::fabs(d) > double(std::numeric_limits<float>::max()))
        return fallback;
    return float(d);
}

int toInt(const QVariant& v, int fallback)
{
    if (!v.isValid() || isContainer(v) || v.userType() == QMetaType::Bool)
        return fallback;
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (ok)
        return n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max() ? int(n)
                                                                                            : fallback;
    // Text such as "5000.0" or a double: take it when it is a whole number in range.
    const double d = toFiniteDouble(v, std::nan(""));
    if (std::isfinite(d) && d == std::floor(d) && d >= std::numeric_limits<int>::min()
        && d <= std::numeric_limits<int>::max())
        return int(d);
    return fallback;
}

QString toText(const QVariant& v, const QString& fallback)
{
    if (!v.isValid() || isContainer(v))
        return fallback;
    switch (v.userType()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Bool:
        return v.toString();
    default:
        return fallback;
    }
}

float clampFraction(float value)
{
    if (std::isnan(value) || value < 0.0f)
        return 0.0f;
    return value > 1.0f ? 1.0f : value;
}

// A stored control mode. A number beyond a mode's byte is no mode the dongle knows: cut to its
// low byte, 257 would become absolute and 258 relative, a mode the person never chose. It loads
// as the unknown mode, which is never written to a dongle.
MouseMode toMouseMode(const QVariant& v)
{
    const int mode = toInt(v, 1);
    return mode >= 0 && mode <= 0xFF ? MouseMode(quint8(mode)) : MouseMode::Unknown;
}

// One stored mouse profile; the twelve keys with their defaults.
MouseProfile profileFromMap(const QVariantMap& map)
{
    const MouseProfile defaults(nullptr);
    return MouseProfile(toText(map.value(QStringLiteral("name")), QStringLiteral("default")),
        toMouseMode(map.value(QStringLiteral("controlMode"))),
        toBool(map.value(QStringLiteral("autoZero")), true),
        toInt(map.value(QStringLiteral("zeroTimeInterval_ms")), 5000),
        toBool(map.value(QStringLiteral("audioFeedback")), true),
        toBool(map.value(QStringLiteral("visualFeedback")), true),
        toFloat(map.value(QStringLiteral("tremorFilter")), 0.25f),
        toFloat(map.value(QStringLiteral("horizontalViewAngle")), 0.5f),
        toFloat(map.value(QStringLiteral("verticalViewAngle")), 0.5f),
        toBool(map.value(QStringLiteral("autorange")), false),
        toFloat(map.value(QStringLiteral("mouseSpeed")), 0.5f),
        KeyCode(toInt(map.value(QStringLiteral("ACATKey")), 205) & 0xFF));
}

// The keys of a stored mouse profile that this version reads.
const char* const kProfileKeys[]
    = { "name", "controlMode", "autoZero", "zeroTimeInterval_ms", "audioFeedback", "visualFeedback",
          "tremorFilter", "horizontalViewAngle", "verticalViewAngle", "autorange", "mouseSpeed", "ACATKey" };

// What a stored entry holds beside the keys this version reads (settings of a later version).
QVariantMap otherKeys(QVariantMap map, const char* const* known, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        map.remove(QLatin1String(known[i]));
    return map;
}

// The stored entry of a profile: the keys this version writes over the others it was loaded with.
QVariantMap mapFromProfile(const MouseProfile& p, QVariantMap map = QVariantMap())
{
    map.insert(QStringLiteral("name"), p.name());
    map.insert(QStringLiteral("controlMode"), int(p.controlMode()));
    map.insert(QStringLiteral("autoZero"), p.autoZeroEnable());
    map.insert(QStringLiteral("zeroTimeInterval_ms"), p.zeroTimeInterval());
    map.insert(QStringLiteral("audioFeedback"), p.audioFeedback());
    map.insert(QStringLiteral("visualFeedback"), p.visualFeedback());
    map.insert(QStringLiteral("tremorFilter"), p.tremorFilter());
    map.insert(QStringLiteral("horizontalViewAngle"), p.horizontalViewAnglePercent());
    map.insert(QStringLiteral("verticalViewAngle"), p.verticalViewAnglePercent());
    map.insert(QStringLiteral("autorange"), p.autorange());
    map.insert(QStringLiteral("mouseSpeed"), p.mouseSpeedPercent());
    map.insert(QStringLiteral("ACATKey"), int(p.ACATKeyCode()));
    return map;
}

// The keys of a stored LINK profile that this version reads.
const char* const kLinkProfileKeys[] = { "name", "data" };

// The entries of a stored profile list (mouse or LINK); a value that is no list is one entry.
QVariantList storedEntries(const QVariant& stored)
{
    if (!stored.isValid())
        return {};
    return stored.userType() == QMetaType::QVariantList ? stored.toList() : QVariantList { stored };
}

// One stored LINK profile entry: its name and record, or why it cannot be taken (a record of
// another length, or one outside the LINK's limits, must never reach a LINK).
struct StoredLinkProfile {
    QString name;
    LPP parameters;
    QString problems;
};

StoredLinkProfile readLinkProfile(const QVariant& entry)
{
    StoredLinkProfile stored;
    if (entry.userType() != QMetaType::QVariantMap && entry.userType() != QMetaType::QVariantHash) {
        stored.problems = QStringLiteral("no profile");
        return stored;
    }
    const QVariantMap map = entry.toMap();
    stored.name = toText(map.value(QStringLiteral("name")), QStringLiteral("default"));
    const QVariant data = map.value(QStringLiteral("data"));
    const PacketData record(data.userType() == QMetaType::QByteArray ? data.toByteArray() : QByteArray(),
        PacketData::LittleEndian);
    stored.problems = LPP::problemsOf(record).join(QStringLiteral("; "));
    if (stored.problems.isEmpty())
        stored.parameters = LPP(record);
    return stored;
}

QString linkProfileLinkKey(const QString& name)
{
    return QLatin1String(kLinkProfileLinks) + QString::fromLatin1(QUrl::toPercentEncoding(name));
}

} // namespace

Settings::Settings(OrvixDirector* director)
    : ProfileManager(director)
{
    // The user's file, named as Qt names it, but without a QSettings: one reads its file (and
    // the organisation-wide and system copies) as soon as it is made, before the check.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    openStore(
        QDir(folder).filePath(
            QStringLiteral("%1/%2.conf").arg(QLatin1String(kOrganisation), QLatin1String(kApplication))),
        true);
    load();
}

Settings::Settings(const QString& fileName, OrvixDirector* director)
    : ProfileManager(director)
{
    openStore(fileName, false);
    load();
}

Settings::~Settings()
{
    releaseStore(m_store);
}

void Settings::releaseStore(QSettings* store)
{
    // A store flushes its unwritten changes as it goes, waiting for the file's lock without end:
    // one whose lock is still held is kept, unwritten, until the process ends.
    if (m_lockHeld && !SettingsFileCheck::lockCanBeTaken(store->fileName(), 0)) {
        // Never deleted, not even at exit.
        static auto* unwritten = new std::vector<QSettings*>;
        store->setParent(nullptr);
        unwritten->push_back(store);
        qWarning().noquote() << "Settings changes left unwritten at [" + store->fileName()
                + "]: its lock is held";
        return;
    }
    delete store;
}

void Settings::openStore(const QString& fileName, bool native)
{
    m_fileName = fileName;
    const SettingsFileCheck::Outcome check = SettingsFileCheck::repair(fileName);
    m_damagedKeys = check.resetKeys;
    m_damagedFileKept = check.kept;
    QString storeFile = fileName;
    if (check.damaged && !check.rewritten) {
        // The damaged file stays where it is, untouched and never read by QSettings; the store
        // works on a private copy of what is readable, and changes are not kept.
        storeFile = detachedStoreFile(check.sanitized);
        if (!m_standIn)
            m_damagedKeys = QStringList { QStringLiteral("*") }; // nothing of the file is in use
        m_fileStamp = SettingsFileCheck::fileStamp(fileName);
    } else if (check.cannotBeRead) {
        // Saved over once it can be read again, it would lose every setting and profile it holds
        // for the defaults in use: it stays untouched, and changes are not kept.
        storeFile = detachedStoreFile(QByteArray());
        m_fileStamp = SettingsFileCheck::fileStamp(fileName);
    } else {
        SettingsFileCheck::restrictToOwner(fileName, &m_fileStamp);
    }
    // Opened on the one checked file: no organisation-wide or system copy is read beside it.
    m_store = new QSettings(storeFile, native ? QSettings::NativeFormat : QSettings::IniFormat, this);
    m_store->installEventFilter(this);
    checkStore();
    setAsideDamagedLinkProfiles();
}

QString Settings::detachedStoreFile(const QByteArray& contents)
{
    m_storeFailed = true;
    m_detached = true;
    m_standIn = std::make_unique<QTemporaryFile>();
    if (m_standIn->open() && m_standIn->write(contents) == contents.size() && m_standIn->flush())
        return m_standIn->fileName();
    m_standIn.reset();
    qWarning("No stand-in for the settings file could be made: the settings are kept in memory only");
    // A name below a device, not a folder: QSettings can neither read nor create it (nor its
    // ".lock" or temporary file), even as root, so it keeps its values in memory. Each store
    // has its own name, as QSettings shares the values of stores of one name.
    static int stores = 0;
    return QStringLiteral("/dev/null/OrvixTools-%1.conf").arg(++stores);
}

void Settings::setAsideDamagedLinkProfiles()
{
    const QString key = QLatin1String(kLinkProfileList);
    const QVariant stored = m_store->value(key);
    if (!stored.isValid())
        return;
    const QVariantList entries = storedEntries(stored);
    QVariantList kept;
    for (const QVariant& entry : entries) {
        const StoredLinkProfile profile = readLinkProfile(entry);
        if (profile.problems.isEmpty())
            kept.append(entry);
        else
            m_linkProfileProblems.append(profile.name.isEmpty()
                    ? profile.problems
                    : profile.name + QStringLiteral(": ") + profile.problems);
    }
    if (m_linkProfileProblems.isEmpty())
        return;
    qWarning().noquote() << "LINK profiles set aside:" << m_linkProfileProblems.join(QStringLiteral(" | "));
    m_linkProfileListHeld = !keepCopyBeforeShortening(key);
    if (m_linkProfileListHeld)
        return;
    if (kept.isEmpty())
        m_store->remove(key);
    else
        m_store->setValue(key, kept);
    flushStore();
}

bool Settings::keepCopyBeforeShortening(const QString& key)
{
    if (!m_damagedKeys.contains(key))
        m_damagedKeys.append(key);
    // The stored list is rewritten only once its damaged copy is kept: nothing is lost. (A
    // detached store leaves the file as it is anyway.)
    if (!m_detached && !m_damagedFileKept)
        m_damagedFileKept = SettingsFileCheck::keepDamagedCopy(m_fileName);
    return m_detached || m_damagedFileKept;
}

void Settings::checkStore()
{
    // A file with lines that are not settings still loads what it holds; only a store that
    // cannot be read or written loses changes. The store's status tells about the last flush
    // alone (see flushStore): a failure is told once, and a flush that goes through ends it.
    m_storeFailed = m_detached || m_lockHeld || m_store->status() == QSettings::AccessError;
    if (!m_storeFailed) {
        m_storeFailureReported = false;
        return;
    }
    if (!m_storeFailureReported) {
        m_storeFailureReported = true;
        qWarning().noquote() << "Settings cannot be saved at [" + m_fileName + "], changes will not be kept";
        emit storeFailedSignal();
    }
}

void Settings::setLanguageLoader(LanguageLoader loader)
{
    m_languageLoader = std::move(loader);
}

bool Settings::sidebarVisible() const
{
    return toBool(m_store->value(QLatin1String(kSidebarVisible)), true);
}

bool Settings::sidebarHorizontal() const
{
    return toBool(m_store->value(QLatin1String(kSidebarHorizontal)), false);
}

float Settings::sidebarOpacity() const
{
    return clampFraction(toFloat(m_store->value(QLatin1String(kSidebarOpacity)), 1.0f));
}

float Settings::sidebarScale() const
{
    return clampFraction(toFloat(m_store->value(QLatin1String(kSidebarScale)), 0.25f));
}

bool Settings::sidebarOpaqueOnMouseOver() const
{
    return toBool(m_store->value(QLatin1String(kSidebarOpaqueOnMouseOver)), false);
}

bool Settings::sidebarStickedToPromaryScreen() const
{
    return toBool(m_store->value(QLatin1String(kSidebarStickToPrimaryScreen)), false);
}

bool Settings::feedbackOnDeviceChange() const
{
    return toBool(m_store->value(QLatin1String(kFeedbackOnDeviceChange)), true);
}

QString Settings::language() const
{
    return toText(m_store->value(QLatin1String(kLanguage)), defaultLanguage());
}

QString Settings::linkProfileWizardState() const
{
    return toText(m_store->value(QLatin1String(kWizardState)), QStringLiteral("general"));
}

QString Settings::serviceUrl() const
{
    return toText(m_store->value(QLatin1String(kServiceUrl)), QString());
}

void Settings::setSidebarVisible(bool visible)
{
    write(kSidebarVisible, visible);
}

void Settings::setSidebarHorizontal(bool horizontal)
{
    write(kSidebarHorizontal, horizontal);
}

void Settings::setSidebarOpacity(float opacity)
{
    write(kSidebarOpacity, clampFraction(opacity));
}

void Settings::setSidebarScale(float scale)
{
    write(kSidebarScale, clampFraction(scale));
}

void Settings::setSidebarOpaqueOnMouseOver(bool opaque)
{
    write(kSidebarOpaqueOnMouseOver, opaque);
}

void Settings::setSidebarStickedToPromaryScreen(bool sticked)
{
    write(kSidebarStickToPrimaryScreen, sticked);
}

void Settings::setFeedbackOnDeviceChange(bool feedback)
{
    write(kFeedbackOnDeviceChange, feedback);
}

void Settings::setLanguage(const QString& language)
{
    if (m_languageLoader)
        m_languageLoader(language);
    write(kLanguage, language);
}

void Settings::setLinkProfileWizardState(const QString& state)
{
    checkFileOnDisk();
    m_store->setValue(QLatin1String(kWizardState), state);
    // Flushed at once (without a signal): the store never holds a change it has not written.
    flushStore();
}

QString Settings::languageFromLocaleName(const QString& localeName)
{
    const int underscore = localeName.lastIndexOf(QLatin1Char('_'));
    return underscore < 0 ? QString() : localeName.left(underscore);
}

QString Settings::defaultLanguage() const
{
    return languageFromLocaleName(QLocale::system().name());
}

void Settings::resetToDefaults(bool withProfiles)
{
    checkFileOnDisk();
    const QString language = defaultLanguage();
    m_store->setValue(QLatin1String(kSidebarVisible), true);
    m_store->setValue(QLatin1String(kSidebarHorizontal), false);
    m_store->setValue(QLatin1String(kSidebarOpacity), 1.0f);
    m_store->setValue(QLatin1String(kSidebarScale), 0.25f);
    m_store->setValue(QLatin1String(kSidebarOpaqueOnMouseOver), false);
    m_store->setValue(QLatin1String(kSidebarStickToPrimaryScreen), false);
    m_store->setValue(QLatin1String(kFeedbackOnDeviceChange), true);
    m_store->setValue(QLatin1String(kLanguage), language);
    if (m_languageLoader)
        m_languageLoader(language);
    if (withProfiles)
        builtInProfiles();
    storeProfilesAndFlush();
}

void Settings::resetProfiles()
{
    builtInProfiles();
    sync();
}

void Settings::builtInProfiles()
{
    removeAllProfiles();
    appendProfile(MouseProfile(QStringLiteral("default"), MouseProfile::Normal));
    appendProfile(MouseProfile::Restricted);
    appendProfile(MouseProfile::Tremor);
    setSelectedIndex(0);
}

void Settings::load()
{
    removeAllProfiles();
    const QString listKey = QLatin1String(kProfileList);
    // Read as the LINK profiles are: a profile stored as itself, not in a list, is one entry.
    const QVariantList entries = storedEntries(m_store->value(listKey));
    if (entries.isEmpty()) {
        // First start (or an empty list): store the built-in profiles.
        resetProfiles();
        return;
    }
    int leftOut = 0;
    for (const QVariant& entry : entries) {
        // An entry that is no map holds no profile at all; it is not made into one.
        if (entry.userType() != QMetaType::QVariantMap && entry.userType() != QMetaType::QVariantHash) {
            ++leftOut;
            continue;
        }
        const MouseProfile profile = profileFromMap(entry.toMap());
        const int existing = indexOf(profile.name());
        if (existing == -1) {
            appendProfile(profile);
            const QVariantMap other
                = otherKeys(entry.toMap(), kProfileKeys, sizeof(kProfileKeys) / sizeof(kProfileKeys[0]));
            if (!other.isEmpty())
                m_otherProfileKeys.emplace_back(profileAt(profileCount() - 1), other);
        } else {
            qWarning() << "Duplicated profile \"" << profile.name() << "\" found at index " << existing;
            ++leftOut;
        }
    }
    // The next save stores the list without what was left out: the file is kept first, or,
    // when no copy can be kept, the stored list stays as it is.
    if (leftOut > 0) {
        qWarning().noquote() << "Mouse profiles set aside:" << leftOut;
        m_profileListHeld = !keepCopyBeforeShortening(listKey);
    }
    if (profileCount() == 0) {
        // The stored list is unreadable. Work with the built-in profiles but write nothing:
        // the store stays as it is until the user changes something.
        builtInProfiles();
    }
    const QString selected
        = toText(m_store->value(QLatin1String(kProfileSelected)), QStringLiteral("default"));
    if (!setSelectedProfile(selected)) {
        // The stored selection names no profile: the first one is taken (nothing is written).
        setSelectedIndex(0);
    }
}

QVariantMap Settings::otherProfileKeys(const MouseProfile* profile)
{
    // A profile removed since (or a list reset) takes its keys with it.
    m_otherProfileKeys.erase(std::remove_if(m_otherProfileKeys.begin(), m_otherProfileKeys.end(),
                                 [](const auto& entry) { return entry.first.isNull(); }),
        m_otherProfileKeys.end());
    for (const auto& entry : m_otherProfileKeys) {
        if (entry.first == profile)
            return entry.second;
    }
    return QVariantMap();
}

void Settings::sync()
{
    checkFileOnDisk();
    storeProfilesAndFlush();
}

void Settings::write(const char* key, const QVariant& value)
{
    checkFileOnDisk();
    m_store->setValue(QLatin1String(key), value);
    storeProfilesAndFlush();
}

void Settings::storeProfilesAndFlush()
{
    if (profileCount() == 0) {
        flushAndSignal();
        return;
    }
    normalizeSelection();
    if (!m_profileListHeld) {
        m_store->setValue(QLatin1String(kProfileSelected), selectedProfile()->name());
        QVariantList list;
        for (int i = 0; i < profileCount(); ++i)
            list.append(mapFromProfile(*profileAt(i), otherProfileKeys(profileAt(i))));
        m_store->setValue(QLatin1String(kProfileList), list);
        profilesStored();
    }
    flushAndSignal();
}

void Settings::flushAndSignal()
{
    flushStore();
    emit settingsChangedSignal();
}

void Settings::flushStore()
{
    // A lock held for good would hang the flush (and a new store on the file, which writes the
    // changes it finds unwritten as it opens): the changes then stay unwritten, and the next
    // flush tries again, without waiting while the lock stays held (a slider saves each step).
    m_lockHeld = !SettingsFileCheck::lockCanBeTaken(
        m_store->fileName(), m_lockHeld ? 0 : SettingsFileCheck::LockWaitMs);
    if (!m_lockHeld) {
        // QSettings keeps its first error for as long as it lives, though a later flush may go
        // through: after a failure the next flush is made by a new store on the same file, which
        // takes over the values in use (and the changes not yet written).
        if (!m_detached && m_store->status() == QSettings::AccessError)
            reopenStore(m_store->fileName(), m_store->format());
        m_store->sync();
    }
    if (!m_detached) {
        // QSettings writes a new file each time, taking the old one's permissions.
        SettingsFileCheck::restrictToOwner(m_fileName, &m_fileStamp);
    }
    checkStore();
}

void Settings::checkFileOnDisk()
{
    // QSettings reads its file again at the next sync when its size or time changed: a file
    // replaced while we run is checked first, like at start. (A detached store never reads it.)
    if (m_detached)
        return;
    const QByteArray stamp = SettingsFileCheck::fileStamp(m_fileName);
    if (stamp == m_fileStamp)
        return;
    const SettingsFileCheck::Outcome check = SettingsFileCheck::repair(m_fileName);
    // A sound file is left as it was read, and is taken at the next sync.
    if (!check.damaged) {
        m_fileStamp = stamp;
        return;
    }
    m_fileStamp = SettingsFileCheck::fileStamp(m_fileName);
    // The settings in use stay: they are written over what the damaged file left, or kept in a
    // stand-in while the damaged file could not be set aside. The store has no unwritten change
    // here (every change is flushed at once), so the old one never reads again.
    m_damagedFileKept = check.kept;
    if (check.rewritten)
        reopenStore(m_store->fileName(), m_store->format());
    else
        reopenStore(detachedStoreFile(QByteArray()), QSettings::IniFormat);
    emit fileReplacedByDamagedSignal();
    checkStore();
}

void Settings::reopenStore(const QString& storeFile, QSettings::Format format)
{
    QVariantMap inUse;
    const QStringList keys = m_store->allKeys();
    for (const QString& key : keys)
        inUse.insert(key, m_store->value(key));
    // Made while the old store lives: on the same file both share its values and the changes
    // not yet written.
    QSettings* old = m_store;
    m_store = new QSettings(storeFile, format, this);
    m_store->installEventFilter(this);
    releaseStore(old);
    for (auto it = inUse.cbegin(); it != inUse.cend(); ++it)
        m_store->setValue(it.key(), it.value());
}

bool Settings::eventFilter(QObject* watched, QEvent* event)
{
    // The store's own deferred flush would read a file replaced meanwhile without the check;
    // every change is flushed at once after it.
    if (watched == m_store && event->type() == QEvent::UpdateRequest)
        return true;
    return ProfileManager::eventFilter(watched, event);
}

QList<LinkProfile> Settings::linkProfiles() const
{
    QList<LinkProfile> profiles;
    // Read as the check at start reads it: a profile stored as itself, not in a list, is one entry.
    for (const QVariant& entry : storedEntries(m_store->value(QLatin1String(kLinkProfileList)))) {
        const StoredLinkProfile profile = readLinkProfile(entry);
        if (profile.problems.isEmpty())
            profiles.append(LinkProfile(profile.name, profile.parameters));
    }
    if (profiles.isEmpty()) {
        profiles.append(LinkProfile::Normal);
        profiles.append(LinkProfile::Restricted);
        profiles.append(LinkProfile::Tremor);
    }
    return profiles;
}

LinkProfile Settings::linkProfile(const QString& name, QString* problems) const
{
    if (problems) {
        for (const QVariant& entry : storedEntries(m_store->value(QLatin1String(kLinkProfileList)))) {
            const StoredLinkProfile profile = readLinkProfile(entry);
            if (profile.name != name)
                continue;
            if (!profile.problems.isEmpty())
                *problems = profile.problems;
            break;
        }
    }
    const QList<LinkProfile> profiles = linkProfiles();
    for (const LinkProfile& profile : profiles) {
        if (profile.name == name)
            return profile;
    }
    return LinkProfile(name);
}

bool Settings::setLinkProfiles(const QList<LinkProfile>& profiles)
{
    return storeLinkProfiles(profiles, QString(), QString());
}

bool Settings::storeLinkProfiles(const QList<LinkProfile>& profiles, const QString& name, const QString& link)
{
    // One record outside the LINK's limits refuses the whole list: storing the rest would drop
    // the entry it was meant to replace.
    QStringList refused;
    for (const LinkProfile& profile : profiles) {
        const QStringList problems = profile.parameters.outOfLimits();
        if (!problems.isEmpty())
            refused.append(profile.name + QStringLiteral(": ") + problems.join(QStringLiteral("; ")));
    }
    if (!refused.isEmpty()) {
        qWarning().noquote() << "LINK profiles not stored, outside the LINK's limits:"
                             << refused.join(QStringLiteral(" | "));
        return false;
    }
    checkFileOnDisk();
    if (!profiles.isEmpty()) {
        // A stored entry may hold keys of a later version beside its name and record: they stay
        // with the profile of that name.
        QHash<QString, QVariantMap> storedOther;
        for (const QVariant& entry : storedEntries(m_store->value(QLatin1String(kLinkProfileList)))) {
            const QVariantMap map = entry.toMap();
            const QString name = toText(map.value(QStringLiteral("name")), QStringLiteral("default"));
            if (!storedOther.contains(name))
                storedOther.insert(name, otherKeys(map, kLinkProfileKeys, 2));
        }
        QVariantList list;
        for (const LinkProfile& profile : profiles) {
            QVariantMap map = storedOther.value(profile.name);
            map.insert(QStringLiteral("name"), profile.name);
            map.insert(QStringLiteral("data"), profile.parameters.getData().bytes());
            list.append(map);
        }
        // Entries set aside at start of which no copy could be kept stay stored as they were,
        // behind the list: they are never taken, and never lost either.
        if (m_linkProfileListHeld) {
            for (const QVariant& entry : storedEntries(m_store->value(QLatin1String(kLinkProfileList)))) {
                if (!readLinkProfile(entry).problems.isEmpty())
                    list.append(entry);
            }
        }
        m_store->setValue(QLatin1String(kLinkProfileList), list);
    }
    // Written with the list, in one flush: a record never stands beside another LINK's note.
    if (!link.isEmpty())
        m_store->setValue(linkProfileLinkKey(name), link);
    flushAndSignal();
    // A store that cannot write its file holds the list until the application quits only.
    return !m_storeFailed;
}

QString Settings::linkProfileLink(const QString& name) const
{
    return toText(m_store->value(linkProfileLinkKey(name)), QString());
}

bool Settings::setLinkProfileLink(const QString& name, const QString& link)
{
    checkFileOnDisk();
    m_store->setValue(linkProfileLinkKey(name), link);
    flushAndSignal();
    return !m_storeFailed;
}

bool Settings::setLinkProfile(const QString& name, const LPP& parameters, const QString& link)
{
    QList<LinkProfile> profiles = linkProfiles();
    bool replaced = false;
    for (LinkProfile& profile : profiles) {
        if (profile.name == name) {
            profile.parameters = parameters;
            profile.defined = true;
            replaced = true;
            break;
        }
    }
    if (!replaced)
        profiles.append(LinkProfile(name, parameters));
    return storeLinkProfiles(profiles, name, link);
}
