// The director tells the user what became of their settings: values reset at start because the
// file was damaged, a file replaced by a damaged one while running, or a store that cannot keep
// changes.
#include "app/OrvixDirector.h"
#include "app/Settings.h"

namespace
{

// The words for the settings behind the stored keys, in the order the user knows them.
QStringList describeKeys(const QStringList& keys)
{
    struct Group {
        const char* prefix;
        const char* words;
    };
    static const Group groups[] = {
        { "profile/", QT_TRANSLATE_NOOP("OrvixDirector", "mouse profiles") },
        { "link/", QT_TRANSLATE_NOOP("OrvixDirector", "LINK profiles") },
        { "sidebar/", QT_TRANSLATE_NOOP("OrvixDirector", "sidebar appearance") },
        { "feedback/", QT_TRANSLATE_NOOP("OrvixDirector", "feedback") },
        { "language", QT_TRANSLATE_NOOP("OrvixDirector", "interface language") },
        { "service/", QT_TRANSLATE_NOOP("OrvixDirector", "update service") },
    };
    QStringList words;
    auto add = [&words](const QString& text) {
        if (!words.contains(text))
            words.append(text);
    };
    for (const QString& key : keys) {
        if (key == QLatin1String("*")) {
            add(OrvixDirector::tr("all settings"));
            continue;
        }
        bool known = false;
        for (const Group& group : groups) {
            if (key.startsWith(QLatin1String(group.prefix))) {
                add(OrvixDirector::tr(group.words));
                known = true;
                break;
            }
        }
        if (!known)
            add(key);
    }
    return words;
}

// The LINK profiles set aside, one per line, as plain text in the rich-text box.
QString outOfLimits(const QStringList& problems)
{
    if (problems.isEmpty())
        return QString();
    return QStringLiteral("<br><br>")
        + OrvixDirector::tr("These LINK profiles were outside the LINK's limits and were set aside:")
        + QStringLiteral("<br>")
        + problems.join(QLatin1Char('\n')).toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

} // namespace

void OrvixDirector::reportSettingsProblems()
{
    const QStringList damaged = m_settings->damagedKeys();
    if (!damaged.isEmpty()) {
        // The mouse-profile list is not rewritten over a damaged file of which no copy is kept.
        QString profileChangesHeld;
        if (m_settings->profileChangesHeld())
            profileChangesHeld = QStringLiteral("<br><br>")
                + tr("Changes to mouse profiles will not be saved until the settings file is repaired or "
                     "removed.");
        emit showMessage(warning, tr("Settings reset"),
            (m_settings->damagedFileKept()
                    ? tr("Your settings file was damaged. These settings were reset to their defaults: "
                         "%1.<br><br>The damaged file was kept beside the settings file.")
                    : tr("Your settings file was damaged. These settings were reset to their defaults: "
                         "%1.<br><br>No copy of the damaged file could be kept, so it was left as it is."))
                    // A key we do not know is shown as the file has it: as text, never as markup.
                    .arg(describeKeys(damaged).join(QStringLiteral(", ")).toHtmlEscaped())
                + profileChangesHeld + outOfLimits(m_settings->linkProfileProblems()));
    }
    // A settings file replaced by a damaged one while running: the settings in use stay.
    connect(m_settings.get(), &Settings::fileReplacedByDamagedSignal, this, [this]() {
        emit showMessage(warning, tr("Settings file replaced"),
            m_settings->damagedFileKept()
                ? tr("Your settings file was replaced by a damaged file while OrvixTools was running. "
                     "The damaged file was kept beside the settings file; your settings stay as they were.")
                : tr("Your settings file was replaced by a damaged file while OrvixTools was running. "
                     "No copy of it could be kept, so it was left as it is; your settings stay as they "
                     "were."));
    });
    auto tellNotKept = [this]() {
        emit showMessage(warning, tr("Settings not saved"),
            tr("Your settings cannot be saved. Changes will not be kept after OrvixTools quits."));
    };
    // Told for a store that failed at start, and again each time saving fails after it went through.
    if (m_settings->storeFailed())
        tellNotKept();
    connect(m_settings.get(), &Settings::storeFailedSignal, this, tellNotKept);
}
