#include "app/Settings.h"
#include "common/signal_count.h"
#include "common/time_scale.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <future>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testutil::SignalCount;

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString path() const { return dir.filePath("OrvixTools.conf"); }

    std::unique_ptr<Settings> open() { return std::make_unique<Settings>(path(), nullptr); }

    // Writes raw keys into the store file before a Settings object reads it.
    void prepare(const std::function<void(QSettings&)>& fill)
    {
        QSettings raw(path(), QSettings::IniFormat);
        fill(raw);
        raw.sync();
    }

    QVariant raw(const QString& key)
    {
        QSettings raw(path(), QSettings::IniFormat);
        return raw.value(key);
    }

    QByteArray fileBytes()
    {
        QFile f(path());
        if (!f.open(QIODevice::ReadOnly))
            return QByteArray();
        return f.readAll();
    }

    static QVariantMap entry(const QString& name)
    {
        QVariantMap m;
        m.insert("name", name);
        return m;
    }

    QTemporaryDir dir;
};

QByteArray lppBytes(quint8 fill)
{
    return QByteArray(LPP::SizeOf, char(fill));
}

} // namespace

TEST_F(SettingsTest, FreshStoreHoldsDefaultsAndBuiltInProfiles)
{
    auto s = open();
    EXPECT_TRUE(s->sidebarVisible());
    EXPECT_FALSE(s->sidebarHorizontal());
    EXPECT_FLOAT_EQ(s->sidebarOpacity(), 1.0f);
    EXPECT_FLOAT_EQ(s->sidebarScale(), 0.25f);
    EXPECT_FALSE(s->sidebarOpaqueOnMouseOver());
    EXPECT_FALSE(s->sidebarStickedToPromaryScreen());
    EXPECT_TRUE(s->feedbackOnDeviceChange());
    EXPECT_EQ(s->language(), s->defaultLanguage());
    EXPECT_EQ(s->linkProfileWizardState(), "general");

    ASSERT_EQ(s->profileNames(), QStringList({ "default", "Restricted", "Tremor" }));
    EXPECT_EQ(s->selectedIndex(), 0);
    EXPECT_EQ(s->selectedProfile()->zeroTimeInterval(), 15000);
    EXPECT_TRUE(s->selectedProfile()->isEqual(MouseProfile::Normal, false));

    // The first start stores the three profiles and the selection; nothing else.
    s.reset();
    const QVariantList list = raw("profile/list").toList();
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[0].toMap().value("name").toString(), "default");
    EXPECT_EQ(list[0].toMap().value("zeroTimeInterval_ms").toInt(), 15000);
    EXPECT_EQ(list[1].toMap().value("name").toString(), "Restricted");
    EXPECT_EQ(list[2].toMap().value("name").toString(), "Tremor");
    EXPECT_EQ(raw("profile/selected").toString(), "default");
    EXPECT_FALSE(raw("sidebar/visible").isValid());
    EXPECT_FALSE(raw("link/profile/list").isValid());

    auto again = open();
    const QList<LinkProfile> links = again->linkProfiles();
    ASSERT_EQ(links.size(), 3);
    EXPECT_EQ(links[0].name, "Normal");
    EXPECT_EQ(links[1].name, "Restricted");
    EXPECT_EQ(links[2].name, "Tremor");
    EXPECT_TRUE(links[0].isEqual(LinkProfile::Normal, true));
    EXPECT_FALSE(raw("link/profile/list").isValid());
}

TEST_F(SettingsTest, PlainKeysRoundTrip)
{
    {
        auto s = open();
        SignalCount changed(s.get(), &Settings::settingsChangedSignal);
        s->setSidebarVisible(false);
        s->setSidebarHorizontal(true);
        s->setSidebarOpacity(0.4f);
        s->setSidebarScale(0.8f);
        s->setSidebarOpaqueOnMouseOver(true);
        s->setSidebarStickedToPromaryScreen(true);
        s->setFeedbackOnDeviceChange(false);
        s->setLanguage("hu");
        EXPECT_EQ(changed.count, 8);
        s->setLinkProfileWizardState("firmware");
        EXPECT_EQ(changed.count, 8); // the wizard state is stored without a signal
    }
    auto s = open();
    EXPECT_FALSE(s->sidebarVisible());
    EXPECT_TRUE(s->sidebarHorizontal());
    EXPECT_FLOAT_EQ(s->sidebarOpacity(), 0.4f);
    EXPECT_FLOAT_EQ(s->sidebarScale(), 0.8f);
    EXPECT_TRUE(s->sidebarOpaqueOnMouseOver());
    EXPECT_TRUE(s->sidebarStickedToPromaryScreen());
    EXPECT_FALSE(s->feedbackOnDeviceChange());
    EXPECT_EQ(s->language(), "hu");
    EXPECT_EQ(s->linkProfileWizardState(), "firmware");
}

TEST_F(SettingsTest, FloatSettersClamp)
{
    auto s = open();
    s->setSidebarOpacity(1.7f);
    EXPECT_FLOAT_EQ(raw("sidebar/opacity").toFloat(), 1.0f);
    s->setSidebarScale(-0.2f);
    EXPECT_FLOAT_EQ(raw("sidebar/scale").toFloat(), 0.0f);
    s->setSidebarOpacity(std::nanf(""));
    EXPECT_FLOAT_EQ(raw("sidebar/opacity").toFloat(), 0.0f);
    EXPECT_FLOAT_EQ(s->sidebarOpacity(), 0.0f);
}

TEST_F(SettingsTest, LanguageLoaderRunsBeforeTheKeyIsWritten)
{
    auto s = open();
    QStringList loaded;
    QString storedWhenLoaded;
    s->setLanguageLoader([&](const QString& code) {
        loaded << code;
        storedWhenLoaded = s->language();
    });
    s->setLanguage("fr");
    EXPECT_EQ(loaded, QStringList({ "fr" }));
    EXPECT_EQ(storedWhenLoaded, s->defaultLanguage());
    EXPECT_EQ(s->language(), "fr");
}

TEST_F(SettingsTest, DefaultLanguageFromLocaleName)
{
    EXPECT_EQ(Settings::languageFromLocaleName("de_DE"), "de");
    EXPECT_EQ(Settings::languageFromLocaleName("sr_Latn_RS"), "sr_Latn");
    EXPECT_EQ(Settings::languageFromLocaleName("C"), "");
    EXPECT_EQ(Settings::languageFromLocaleName(""), "");
}

TEST_F(SettingsTest, MouseProfilesRoundTripEveryKey)
{
    {
        auto s = open();
        MouseProfile custom("Custom", MouseMode(3), false, 2500, false, true, 0.1f, 0.2f, 0.3f, true, 0.9f, 0x41);
        ASSERT_TRUE(s->addProfile(custom));
        ASSERT_TRUE(s->setSelectedProfile("custom"));
        s->sync();
    }
    auto s = open();
    ASSERT_EQ(s->profileNames(), QStringList({ "default", "Restricted", "Tremor", "Custom" }));
    EXPECT_EQ(s->selectedIndex(), 3);
    const MouseProfile* p = s->profileAt(3);
    EXPECT_TRUE(p->isEqual(MouseProfile("Custom", MouseMode(3), false, 2500, false, true, 0.1f, 0.2f, 0.3f, true,
                                        0.9f, 0x41),
                           true));
    // Stored types as the store's readers expect them.
    const QVariantMap m = raw("profile/list").toList().at(3).toMap();
    EXPECT_EQ(m.size(), 12);
    EXPECT_EQ(m.value("controlMode").userType(), int(QMetaType::Int));
    EXPECT_EQ(m.value("autoZero").userType(), int(QMetaType::Bool));
    EXPECT_EQ(m.value("ACATKey").toInt(), 0x41);
    EXPECT_EQ(m.value("tremorFilter").userType(), int(QMetaType::Float));
    EXPECT_EQ(raw("profile/selected").toString(), "Custom");
}

TEST_F(SettingsTest, MissingKeysOfAnEntryTakeTheirDefaults)
{
    prepare([](QSettings& raw) {
        QVariantMap partial = entry("Partial");
        partial.insert("tremorFilter", 0.9f);
        partial.insert("ACATKey", 461);
        QVariantMap beyond = entry("Beyond");
        beyond.insert("controlMode", 258);
        raw.setValue("profile/list", QVariantList { partial, QVariantMap(), beyond });
        raw.setValue("profile/selected", "partial");
    });
    const QByteArray before = fileBytes();
    auto s = open();
    ASSERT_EQ(s->profileNames(), QStringList({ "Partial", "default", "Beyond" }));
    // A mode beyond a byte is unknown (and never written to a dongle), not its low byte.
    EXPECT_EQ(s->profileAt(2)->controlMode(), MouseMode::Unknown);
    const MouseProfile* p = s->profileAt(0);
    EXPECT_FLOAT_EQ(p->tremorFilter(), 0.9f);
    EXPECT_EQ(p->ACATKeyCode(), 205); // 461 cut to its low 8 bits
    EXPECT_EQ(p->zeroTimeInterval(), 5000);
    EXPECT_EQ(int(p->controlMode()), 1);
    EXPECT_TRUE(p->autoZeroEnable());
    EXPECT_FLOAT_EQ(p->horizontalViewAnglePercent(), 0.5f);
    EXPECT_EQ(s->selectedIndex(), 0);
    EXPECT_EQ(s->profileAt(1)->name(), "default");
    s.reset();
    EXPECT_EQ(fileBytes(), before); // loading writes nothing
}

TEST_F(SettingsTest, ALoneMouseProfileIsKeptAcrossStarts)
{
    // Qt writes a list of one entry as the list itself: it comes back as that list.
    {
        auto s = open();
        ASSERT_TRUE(s->removeProfile("Restricted") && s->removeProfile("Tremor"));
    }
    auto s = open();
    EXPECT_EQ(s->profileNames(), QStringList({ "default" }));
    EXPECT_TRUE(s->damagedKeys().isEmpty());
    s.reset();

    // A profile stored as itself, not in a list, is that one profile, not a damaged list.
    prepare([](QSettings& raw) {
        QVariantMap solo = entry("Solo");
        solo.insert("mouseSpeed", 0.8f);
        raw.setValue("profile/list", solo);
        raw.setValue("profile/selected", "Solo");
    });
    s = open();
    ASSERT_EQ(s->profileNames(), QStringList({ "Solo" }));
    EXPECT_FLOAT_EQ(s->selectedProfile()->mouseSpeedPercent(), 0.8f);
    EXPECT_TRUE(s->damagedKeys().isEmpty());
    s->setSidebarVisible(false);
    s = open();
    EXPECT_EQ(s->profileNames(), QStringList({ "Solo" }));
    EXPECT_FALSE(QFileInfo::exists(path() + ".damaged"));
}

TEST_F(SettingsTest, DuplicatedNamesKeepTheFirst)
{
    prepare([](QSettings& raw) {
        QVariantMap first = entry("Work");
        first.insert("mouseSpeed", 0.1f);
        QVariantMap second = entry("work");
        second.insert("mouseSpeed", 0.9f);
        raw.setValue("profile/list", QVariantList { entry("Home"), first, second });
        raw.setValue("profile/selected", "WORK");
    });
    auto s = open();
    ASSERT_EQ(s->profileNames(), QStringList({ "Home", "Work" }));
    EXPECT_FLOAT_EQ(s->profileAt(1)->mouseSpeedPercent(), 0.1f);
    EXPECT_EQ(s->selectedIndex(), 1);
}

TEST_F(SettingsTest, KeysOfALaterVersionSurviveSaves)
{
    prepare([](QSettings& raw) {
        QVariantMap later = entry("Later");
        later.insert("mouseSpeed", 0.3f);
        later.insert("cursorShape", "ring");
        QVariantMap link { { "name", "chair" }, { "data", LinkProfile::Normal.parameters.getData().bytes() },
            { "model", 2 } };
        raw.setValue("profile/list", QVariantList { entry("Home"), later });
        raw.setValue("link/profile/list", QVariantList { link });
    });
    auto s = open();
    ASSERT_TRUE(s->renameProfile("Later", "Later on"));
    s->profileAt(1)->setMouseSpeedPercent(0.6f);
    ASSERT_TRUE(s->setLinkProfile("chair", LPP(PacketData(lppBytes(7)))));
    ASSERT_TRUE(s->setLinkProfile("other", LinkProfile::Normal.parameters));
    s->sync();
    const QVariantList mice = raw("profile/list").toList();
    ASSERT_EQ(mice.size(), 2);
    EXPECT_EQ(mice[1].toMap().value("cursorShape").toString(), "ring");
    EXPECT_FLOAT_EQ(mice[1].toMap().value("mouseSpeed").toFloat(), 0.6f);
    EXPECT_EQ(mice[1].toMap().value("name").toString(), "Later on");
    EXPECT_EQ(mice[0].toMap().size(), 12);
    const QVariantList links = raw("link/profile/list").toList();
    ASSERT_EQ(links.size(), 2);
    EXPECT_EQ(links[0].toMap().value("model").toInt(), 2);
    EXPECT_EQ(links[0].toMap().value("data").toByteArray(), lppBytes(7));
    EXPECT_EQ(links[1].toMap().size(), 2);

    // A profile removed takes its keys along: one added later under its name starts clean.
    ASSERT_TRUE(s->removeProfile("Later on"));
    ASSERT_TRUE(s->addProfile(MouseProfile("Later on", MouseProfile::Normal)));
    EXPECT_EQ(raw("profile/list").toList().at(1).toMap().size(), 12);
}

TEST_F(SettingsTest, UnknownSelectionFallsBackWithoutWriting)
{
    prepare([](QSettings& raw) {
        raw.setValue("profile/list", QVariantList { entry("A"), entry("B") });
        raw.setValue("profile/selected", "Gone");
    });
    auto s = open();
    EXPECT_EQ(s->selectedIndex(), 0);
    EXPECT_EQ(s->selectedProfile()->name(), "A");
    EXPECT_EQ(raw("profile/selected").toString(), "Gone");
    s->sync();
    EXPECT_EQ(raw("profile/selected").toString(), "A");
}

TEST_F(SettingsTest, CorruptValuesLoadAsDefaultsAndKeepTheRest)
{
    prepare([](QSettings& raw) {
        raw.setValue("sidebar/visible", "banana");
        raw.setValue("sidebar/horizontal", "true");
        raw.setValue("sidebar/opacity", QVariantList { 1, 2 });
        raw.setValue("sidebar/scale", "0.5");
        raw.setValue("feedback/onDeviceChange", "nope");
        raw.setValue("language", QVariantMap { { "x", 1 } });
        raw.setValue("link/profile/wizardState", QVariantList());
        QVariantMap bad = entry("Bad");
        bad.insert("controlMode", "absolute");
        bad.insert("autoZero", QVariantList { 1 });
        bad.insert("zeroTimeInterval_ms", "12000");
        bad.insert("tremorFilter", "heavy");
        bad.insert("horizontalViewAngle", std::nan(""));
        bad.insert("verticalViewAngle", 0.7);
        bad.insert("mouseSpeed", "0.6");
        bad.insert("ACATKey", QVariantMap());
        raw.setValue("profile/list", QVariantList { "not a map", 42, bad });
        raw.setValue("profile/selected", QVariantList { "Bad" });
    });
    const QByteArray before = fileBytes();
    auto s = open();
    EXPECT_TRUE(s->sidebarVisible());
    EXPECT_TRUE(s->sidebarHorizontal());
    EXPECT_FLOAT_EQ(s->sidebarOpacity(), 1.0f);
    EXPECT_FLOAT_EQ(s->sidebarScale(), 0.5f);
    EXPECT_TRUE(s->feedbackOnDeviceChange());
    EXPECT_EQ(s->language(), s->defaultLanguage());
    EXPECT_EQ(s->linkProfileWizardState(), "general");

    ASSERT_EQ(s->profileNames(), QStringList({ "Bad" }));
    const MouseProfile* p = s->profileAt(0);
    EXPECT_EQ(int(p->controlMode()), 1);
    EXPECT_TRUE(p->autoZeroEnable());
    EXPECT_EQ(p->zeroTimeInterval(), 12000);
    EXPECT_FLOAT_EQ(p->tremorFilter(), 0.25f);
    EXPECT_FLOAT_EQ(p->horizontalViewAnglePercent(), 0.5f);
    EXPECT_FLOAT_EQ(p->verticalViewAnglePercent(), 0.7f);
    EXPECT_FLOAT_EQ(p->mouseSpeedPercent(), 0.6f);
    EXPECT_EQ(p->ACATKeyCode(), 205);
    EXPECT_EQ(s->selectedIndex(), 0);
    s.reset();
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(SettingsTest, UnreadableProfileListIsNotOverwrittenByLoading)
{
    prepare([](QSettings& raw) { raw.setValue("profile/list", "garbage"); });
    const QByteArray before = fileBytes();
    auto s = open();
    EXPECT_EQ(s->profileNames(), QStringList({ "default", "Restricted", "Tremor" }));
    EXPECT_EQ(s->selectedIndex(), 0);
    s.reset();
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(SettingsTest, DamagedFilesLoadWithoutCrashing)
{
    // A valid store, then cut at every length: each prefix must load.
    {
        auto s = open();
        s->setSidebarOpacity(0.3f);
        s->setLinkProfile("backup", LinkProfile::Normal.parameters);
        s->addProfile(MouseProfile("Extra", MouseProfile::Tremor));
    }
    const QByteArray whole = fileBytes();
    ASSERT_GT(whole.size(), 100);
    for (int cut : { 0, 1, 10, whole.size() / 3, whole.size() / 2, whole.size() - 40, whole.size() - 1 }) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(whole.left(cut));
        f.close();
        auto s = open();
        EXPECT_GT(s->profileCount(), 0) << cut;
        EXPECT_TRUE(s->hasSelectedProfile()) << cut;
        EXPECT_GE(s->linkProfiles().size(), 3) << cut;
        for (const LinkProfile& l : s->linkProfiles())
            EXPECT_EQ(l.parameters.getData().size(), LPP::SizeOf) << cut;
    }
    // Binary noise in place of the file.
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QByteArray noise;
    for (int i = 0; i < 2000; ++i)
        noise.append(char((i * 131 + 7) & 0xFF));
    f.write(noise);
    f.close();
    auto s = open();
    EXPECT_GT(s->profileCount(), 0);
}

TEST_F(SettingsTest, LinkProfilesStoreAndLookUp)
{
    auto s = open();
    SignalCount changed(s.get(), &Settings::settingsChangedSignal);
    LPP record(PacketData(lppBytes(7)));
    s->setLinkProfile("backup", record);
    EXPECT_EQ(changed.count, 1);

    const QVariantList stored = raw("link/profile/list").toList();
    ASSERT_EQ(stored.size(), 4);
    EXPECT_EQ(stored[0].toMap().value("name").toString(), "Normal");
    EXPECT_EQ(stored[0].toMap().value("data").toByteArray(), LinkProfile::Normal.parameters.getData().bytes());
    EXPECT_EQ(stored[3].toMap().value("name").toString(), "backup");
    EXPECT_EQ(stored[3].toMap().value("data").toByteArray(), lppBytes(7));

    auto again = open();
    LinkProfile backup = again->linkProfile("backup");
    EXPECT_TRUE(backup.defined);
    EXPECT_TRUE(backup.parameters.isEqual(record));

    // Replacing keeps the position.
    again->setLinkProfile("Restricted", LPP(PacketData(lppBytes(9))));
    const QList<LinkProfile> links = again->linkProfiles();
    ASSERT_EQ(links.size(), 4);
    EXPECT_EQ(links[1].name, "Restricted");
    EXPECT_TRUE(links[1].parameters.isEqual(LPP(PacketData(lppBytes(9)))));
}

// Which LINK a profile was taken from is kept beside the list, which stays as earlier versions
// read it; a profile stored by one of them names no LINK.
TEST_F(SettingsTest, TheLinkAProfileWasTakenFromIsKeptBesideTheList)
{
    auto s = open();
    s->setLinkProfile("backup outdoor", LPP(PacketData(lppBytes(7))));
    EXPECT_EQ(s->linkProfileLink("backup outdoor"), QString());
    const QVariant list = raw("link/profile/list");
    EXPECT_TRUE(s->setLinkProfileLink("backup outdoor", "4660/3/LK19000442"));
    EXPECT_TRUE(s->setLinkProfileLink("a/b", "4660/4/LK19000443"));

    auto again = open();
    EXPECT_EQ(again->linkProfileLink("backup outdoor"), "4660/3/LK19000442");
    EXPECT_EQ(again->linkProfileLink("a/b"), "4660/4/LK19000443");
    EXPECT_EQ(again->linkProfileLink("backup"), QString());
    EXPECT_EQ(raw("link/profile/list"), list);
}

TEST_F(SettingsTest, LinkProfileNamesAreCaseSensitive)
{
    auto s = open();
    const LinkProfile lower = s->linkProfile("normal");
    EXPECT_FALSE(lower.defined);
    EXPECT_EQ(lower.name, "normal");
    EXPECT_TRUE(lower.parameters.isEqual(LPP()));
    const LinkProfile upper = s->linkProfile("Normal");
    EXPECT_TRUE(upper.defined);
    EXPECT_TRUE(upper.isEqual(LinkProfile::Normal, true));
}

TEST_F(SettingsTest, EmptyLinkListWritesNothingButSignals)
{
    auto s = open();
    s->setLinkProfile("mine", LinkProfile::Normal.parameters);
    const QVariant before = raw("link/profile/list");
    SignalCount changed(s.get(), &Settings::settingsChangedSignal);
    s->setLinkProfiles({});
    EXPECT_EQ(changed.count, 1);
    EXPECT_EQ(raw("link/profile/list"), before);
}

TEST_F(SettingsTest, DamagedLinkEntriesAreIgnored)
{
    prepare([](QSettings& raw) {
        QVariantMap shortRecord { { "name", "short" }, { "data", QByteArray(5, 1) } };
        QVariantMap longRecord { { "name", "long" }, { "data", QByteArray(40, 1) } };
        QVariantMap noData { { "name", "nodata" } };
        QVariantMap textData { { "name", "text" }, { "data", QString(27, 'x') } };
        QVariantMap good { { "data", QByteArray(27, 3) } };
        raw.setValue("link/profile/list", QVariantList { shortRecord, longRecord, noData, textData, "junk", good });
    });
    auto s = open();
    const QList<LinkProfile> links = s->linkProfiles();
    ASSERT_EQ(links.size(), 1);
    EXPECT_EQ(links[0].name, "default");
    EXPECT_TRUE(links[0].parameters.isEqual(LPP(PacketData(QByteArray(27, 3)))));
    EXPECT_FALSE(s->linkProfile("short").defined);

    prepare([](QSettings& raw) {
        raw.setValue("link/profile/list", QVariantList { QVariantMap { { "name", "x" }, { "data", QByteArray(3, 1) } } });
    });
    auto only = open();
    EXPECT_EQ(only->linkProfiles().size(), 3); // nothing usable: the built-ins
    prepare([](QSettings& raw) { raw.setValue("link/profile/list", 17); });
    auto wrongType = open();
    EXPECT_EQ(wrongType->linkProfiles().size(), 3);

    // One profile stored as itself, not in a list: offered, and kept by the next save.
    prepare([](QSettings& raw) {
        raw.setValue("link/profile/list", QVariantMap { { "name", "mine" }, { "data", lppBytes(7) } });
    });
    auto single = open();
    EXPECT_TRUE(single->linkProfile("mine").defined);
    ASSERT_TRUE(single->setLinkProfile("backup", LinkProfile::Normal.parameters));
    EXPECT_EQ(single->linkProfiles().size(), 2);
    EXPECT_EQ(raw("link/profile/list").toList().at(0).toMap().value("name").toString(), "mine");
}

TEST_F(SettingsTest, ResetToDefaults)
{
    auto s = open();
    s->setSidebarOpacity(0.3f);
    s->setSidebarVisible(false);
    s->setLanguage("hu");
    s->setLinkProfile("backup", LinkProfile::Normal.parameters);
    s->setLinkProfileWizardState("upload");
    s->addProfile(MouseProfile("Mine", MouseProfile::Tremor));
    s->setSelectedProfile("Mine");
    QStringList loaded;
    s->setLanguageLoader([&](const QString& code) { loaded << code; });
    SignalCount changed(s.get(), &Settings::settingsChangedSignal);

    s->resetToDefaults(false);
    EXPECT_EQ(changed.count, 1);
    EXPECT_EQ(loaded, QStringList({ s->defaultLanguage() }));
    EXPECT_FLOAT_EQ(s->sidebarOpacity(), 1.0f);
    EXPECT_TRUE(s->sidebarVisible());
    EXPECT_EQ(s->language(), s->defaultLanguage());
    EXPECT_EQ(s->profileCount(), 4);
    EXPECT_EQ(raw("profile/selected").toString(), "Mine");
    EXPECT_EQ(s->linkProfiles().size(), 4);
    EXPECT_EQ(s->linkProfileWizardState(), "upload");

    s->resetToDefaults(true);
    EXPECT_EQ(s->profileNames(), QStringList({ "default", "Restricted", "Tremor" }));
    EXPECT_EQ(s->selectedIndex(), 0);
    EXPECT_EQ(raw("profile/selected").toString(), "default");
    EXPECT_EQ(raw("profile/list").toList().size(), 3);
    EXPECT_EQ(s->linkProfiles().size(), 4);
}

TEST_F(SettingsTest, NativeStoreOfTheOrganisationAndApplicationAndAPipeInItsPlace)
{
    // The native user store lies in a folder of this test run: the user's own is never touched.
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QString file = config.filePath("Brixeon/OrvixTools.conf");
    {
        Settings s(nullptr);
        EXPECT_EQ(s.store()->fileName(), file);
        EXPECT_EQ(s.profileCount(), 3);
    }

    // A named pipe in the file's place is set aside; the start never waits on it.
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    auto opened = std::async(std::launch::async, [] { return Settings(nullptr).profileCount(); });
    const bool inTime
        = opened.wait_for(std::chrono::milliseconds(testutil::scaled(10000))) == std::future_status::ready;
    if (!inTime) // unblock the reader, so that the test fails instead of hanging
        ::close(::open(QFile::encodeName(file).constData(), O_WRONLY | O_NONBLOCK));
    ASSERT_TRUE(inTime);
    EXPECT_EQ(opened.get(), 3);
    EXPECT_TRUE(QFileInfo(file + ".damaged").exists());
    if (saved.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}
