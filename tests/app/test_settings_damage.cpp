// A damaged settings file never stops the application: values Qt's data-stream reader would
// choke on are set aside before it sees them, the rest is carried over, and a store that
// cannot keep changes says so.
#include "FakeDirectorUi.h"
#include "app/Settings.h"
#include "app/SettingsFileCheck.h"
#include "common/qt_wait.h"
#include "common/signal_count.h"
#include "common/time_scale.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <random>
#include <thread>

#include <linux/capability.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{

// A settings file as QSettings writes it, with three values damaged the ways found in the
// field: a list count of 2^31, a type byte that is no type of ours, and a value cut short.
const QByteArray kDamaged = "[General]\n"
                            "language=@Variant(\\0\\0\\0\\x45\\0\\0\\0\\0)\n"
                            "\n"
                            "[profile]\n"
                            "list=@Variant(\\0\\0\\0\\t\\x80\\0\\0\\0)\n"
                            "selected=Tremor\n"
                            "\n"
                            "[sidebar]\n"
                            "opacity=@Variant(\\0\\0\\0\\x87?\\0\\0\\0)\n"
                            "scale=@Variant(\\0\\0\\0\\x87>)\n";

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

TEST(SettingsStream, OnlyOurTypesWithinTheBytesPresent)
{
    using SettingsFileCheck::isSafeVariant;
    // A list of one map {"a": 5} and a float, as QSettings writes them.
    EXPECT_TRUE(isSafeVariant(
        QByteArray("\0\0\0\x09\0\0\0\x01\0\0\0\x08\0\0\0\x01\0\0\0\x02\0a\0\0\0\x02\0\0\0\x05)", 31)));
    EXPECT_TRUE(isSafeVariant(QByteArray("\0\0\0\x87?\0\0\0", 8)));
    EXPECT_FALSE(isSafeVariant(QByteArray("\0\0\0\x09\x80\0\0\0", 8))); // count of 2^31
    EXPECT_FALSE(isSafeVariant(QByteArray("\0\0\0\x0a\0\0\0\x03\0a", 10))); // odd string length
    EXPECT_FALSE(isSafeVariant(QByteArray("\0\0\0\x0c\0\0\x10\0abc", 11))); // bytes beyond the end
    EXPECT_FALSE(isSafeVariant(QByteArray("\0\0\0\x7f\0\0\0\x06QImage", 14))); // a type by name
    EXPECT_FALSE(isSafeVariant(QByteArray("\0\0\0\x10\0\0\0\0", 8))); // a date
    QByteArray deep;
    for (int i = 0; i <= SettingsFileCheck::MaxDepth; ++i)
        deep += QByteArray("\0\0\0\x09\0\0\0\x01", 8);
    deep += QByteArray("\0\0\0\x01\x01", 5);
    EXPECT_FALSE(isSafeVariant(deep));
    EXPECT_TRUE(isSafeVariant(deep.mid(8)));
}

TEST(SettingsStream, ValuesAreFoundAsQSettingsUnescapesThem)
{
    // An escaped "@", a quoted value, an item of a comma list and a continued line all reach
    // Qt's stream reader; a value that does not end in ")" and a doubled "@" do not.
    for (const char* line :
        { "k=\\x40Variant(\\0\\0\\0\\t\\x80\\0\\0\\0)\n", "k=\"@Variant(\\0\\0\\0\\t\\x80\\0\\0\\0)\"\n",
            "k=@Variant(\\0\\0\\0\\x1\\x1), @Variant(\\0\\0\\0\\t\\x80\\0\\0\\0)\n",
            "k=@Variant(\\0\\0\\0\\t\\\n\\x80\\0\\0\\0)\n", "k=@DateTime(\\0)\n" })
        EXPECT_EQ(SettingsFileCheck::findDamage(line).size(), 1) << line;
    for (const char* line : { "k=@Variant(\\0\\0\\0\\t\\x80\\0\\0\\0) x\n",
             "k=@@Variant(\\0\\0\\0\\t\\x80)\n", "; k=@Variant(\\0\\0\\0\\t\\x80\\0\\0\\0)\n" })
        EXPECT_TRUE(SettingsFileCheck::findDamage(line).isEmpty()) << line;
}

TEST(SettingsDamage, ResetsOnlyTheDamagedValuesAndKeepsTheFileAside)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("OrvixTools.conf");
    writeAll(path, kDamaged);
    writeAll(path + ".damaged", "earlier"); // kept at an earlier start: it stays
    Settings s(path, nullptr);
    EXPECT_EQ(s.damagedKeys(), (QStringList { "language", "profile/list", "sidebar/scale" }));
    EXPECT_EQ(readAll(path + ".damaged"), kDamaged);
    EXPECT_EQ(readAll(path + ".damaged.1"), "earlier");
    EXPECT_FLOAT_EQ(s.sidebarOpacity(), 0.5f); // carried over
    EXPECT_FLOAT_EQ(s.sidebarScale(), 0.25f);
    EXPECT_EQ(s.profileNames(), QStringList({ "default", "Restricted", "Tremor" }));
    EXPECT_FALSE(s.storeFailed());
    EXPECT_TRUE(SettingsFileCheck::findDamage(readAll(path)).isEmpty());
    struct stat st {
    };
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // The next start finds a readable file and leaves it byte for byte as it is.
    const QByteArray repaired = readAll(path);
    Settings again(path, nullptr);
    EXPECT_TRUE(again.damagedKeys().isEmpty());
    EXPECT_EQ(readAll(path), repaired);
}

TEST(SettingsDamage, AFileQSettingsCannotParseIsKeptWholeAndTheStoreStartsClean)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("OrvixTools.conf");
    std::mt19937 random(32);
    QByteArray noise(4096, '\0'); // NULs first, then binary noise
    std::generate(noise.begin() + 64, noise.end(), [&] { return char(random()); });
    writeAll(path, noise);
    writeAll(path + ".damaged", "earlier");
    writeAll(path + ".damaged.1", "earliest");
    Settings s(path, nullptr);
    EXPECT_EQ(s.damagedKeys(), QStringList { "*" });
    EXPECT_EQ(readAll(path + ".damaged"), noise);
    EXPECT_EQ(readAll(path + ".damaged.1") + readAll(path + ".damaged.2"), "earliestearlier");
    EXPECT_EQ(s.store()->allKeys(), (QStringList { "profile/list", "profile/selected" }));
}

TEST(SettingsDamage, AFileThatCannotBeOpenedIsSetAsideOrLeftAsItIs)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("OrvixTools.conf");
    {
        Settings s(path, nullptr);
        ASSERT_TRUE(s.addProfile(MouseProfile("Mine", MouseProfile::Tremor)));
    }
    const QByteArray mine = readAll(path);

    // Unreadable at the start (for root: on a thread that has given up overriding file modes),
    // readable again at the next save: it is never written over with the defaults in use.
    ::chmod(QFile::encodeName(path).constData(), 0);
    std::unique_ptr<Settings> s;
    std::thread([&] {
        __user_cap_header_struct header { _LINUX_CAPABILITY_VERSION_3, 0 };
        __user_cap_data_struct caps[2] {};
        ::syscall(SYS_capget, &header, caps);
        caps[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ::syscall(SYS_capset, &header, caps);
        s = std::make_unique<Settings>(path, nullptr);
    }).join();
    EXPECT_TRUE(s->storeFailed());
    ::chmod(QFile::encodeName(path).constData(), 0600);
    s->setSidebarScale(0.75f);
    s.reset();
    EXPECT_EQ(readAll(path), mine);

    // A socket in its place is no settings file: set aside as a pipe is.
    ASSERT_TRUE(QFile::remove(path));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    ASSERT_LT(size_t(native.size()), sizeof address.sun_path);
    std::copy(native.begin(), native.end(), address.sun_path);
    ASSERT_EQ(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(socket);
    Settings replaced(path, nullptr);
    EXPECT_FALSE(replaced.storeFailed());
    EXPECT_EQ(replaced.damagedKeys(), QStringList { "*" });
    EXPECT_TRUE(QFileInfo(path + ".damaged").exists() && !QFileInfo(path + ".damaged").isFile());
}

TEST(SettingsDamage, TheUserIsToldOnceInWords)
{
    directortest::Harness h;
    writeAll(h.dir.filePath("settings.ini"), kDamaged);
    h.create();
    ASSERT_TRUE(testutil::waitUntil([&] { return !h.messages.isEmpty(); }, 2000));
    testutil::spin(20);
    ASSERT_EQ(h.messages.size(), 1);
    EXPECT_EQ(h.messages.first().type, int(OrvixDirector::warning));
    EXPECT_TRUE(h.messages.first().text.contains("interface language, mouse profiles, sidebar appearance"))
        << h.messages.first().text.toStdString();
}

TEST(SettingsDamage, AnUnknownDamagedKeyIsShownAsTextNotMarkup)
{
    directortest::Harness h;
    writeAll(h.dir.filePath("settings.ini"), "[General]\n<b>odd=@Variant(\\0\\0\\0\\x45\\0\\0\\0\\0)\n");
    h.create();
    ASSERT_TRUE(testutil::waitUntil([&] { return !h.messages.isEmpty(); }, 2000));
    EXPECT_TRUE(h.messages.first().text.contains("&lt;b&gt;odd")) << h.messages.first().text.toStdString();
    EXPECT_FALSE(h.messages.first().text.contains("<b>odd"));
}

TEST(SettingsDamage, ACopyThatCouldNotBeWrittenIsNotClaimed)
{
    directortest::Harness h;
    // A folder in the copy's place: no copy can be written, even by root (a read-only folder
    // does not stop root).
    ASSERT_TRUE(QDir(h.dir.path()).mkpath("settings.ini.damaged/x"));
    writeAll(h.dir.filePath("settings.ini"), kDamaged);
    h.create();
    ASSERT_TRUE(testutil::waitUntil([&] { return h.messages.size() == 2; }, 2000));
    EXPECT_EQ(h.messages.first().title, "Settings reset");
    EXPECT_TRUE(h.messages.first().text.contains("No copy of the damaged file could be kept"));
    EXPECT_FALSE(h.messages.first().text.contains("was kept beside"));
    EXPECT_EQ(readAll(h.dir.filePath("settings.ini")), kDamaged);
}

// A settings file that opens but fails to read (here a link to a file every read of which fails
// with an input/output error, as on a failing disk) is never claimed as kept.
TEST(SettingsDamage, AFileThatFailsToReadGivesNoCopy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("settings.ini");
    ASSERT_TRUE(QFile::link("/proc/self/mem", path));
    EXPECT_FALSE(SettingsFileCheck::keepDamagedCopy(path));
    EXPECT_FALSE(QFileInfo::exists(path + ".damaged"));
    // Nor is the part read taken for the whole file, to be saved over.
    EXPECT_TRUE(SettingsFileCheck::repair(path).cannotBeRead);
}

// A stored mouse-profile list that loads shorter (an entry that is no profile, a name taken
// already in another letter case) is rewritten at the next save, a dongle's connection for one:
// the file is kept beside first and the person is told; without a copy the list stays stored,
// and the person is told that profile changes are not saved.
TEST(SettingsDamage, MouseProfilesLeftOutAtLoadAreKeptBeforeTheListIsStoredShorter)
{
    for (const bool copyPossible : { true, false }) {
        directortest::Harness h;
        const QString path = h.dir.filePath("settings.ini");
        {
            QSettings raw(path, QSettings::IniFormat);
            raw.setValue("profile/list",
                QVariantList { QVariantMap { { "name", "Home" } }, "not a map",
                    QVariantMap { { "name", "Work" }, { "mouseSpeed", 0.1 } },
                    QVariantMap { { "name", "work" }, { "mouseSpeed", 0.9 } } });
        }
        const QByteArray stored = readAll(path);
        if (!copyPossible)
            ASSERT_TRUE(QDir(h.dir.path()).mkpath("settings.ini.damaged/x"));
        h.create();
        ASSERT_TRUE(testutil::waitUntil([&] { return !h.messages.isEmpty(); }, 2000));
        const QString told = h.messages.first().text;
        EXPECT_TRUE(told.contains("mouse profiles")) << told.toStdString();
        EXPECT_TRUE(told.contains(copyPossible ? "was kept beside" : "No copy")) << told.toStdString();
        // Without a copy, later changes to the profiles are lost: the person learns it now.
        EXPECT_EQ(told.contains("Changes to mouse profiles will not be saved"), !copyPossible);
        h.director->settings()->sync(); // as a dongle's connection does
        if (copyPossible)
            EXPECT_EQ(readAll(path + ".damaged"), stored);
        QSettings after(path, QSettings::IniFormat);
        EXPECT_EQ(after.value("profile/list").toList().size(), copyPossible ? 2 : 4);
    }
}

// A stored LINK profile list with an entry that cannot be taken, of which no copy can be kept:
// saving a backup stores the entry again as it was instead of dropping it from the only file.
TEST(SettingsDamage, LinkProfilesSetAsideWithoutACopyAreNotLostByTheNextSave)
{
    for (const bool copyPossible : { true, false }) {
        QTemporaryDir dir;
        const QString path = dir.filePath("settings.ini");
        const QVariantMap cut { { "name", "cut" }, { "data", QByteArray(5, 1) } };
        QSettings(path, QSettings::IniFormat).setValue("link/profile/list", QVariantList { cut });
        if (!copyPossible)
            ASSERT_TRUE(QDir(dir.path()).mkpath("settings.ini.damaged/x"));
        Settings s(path, nullptr);
        ASSERT_TRUE(s.setLinkProfile("backup", LPP(PacketData(QByteArray(27, 3)))));
        const QVariantList after = QSettings(path, QSettings::IniFormat).value("link/profile/list").toList();
        EXPECT_EQ(after.contains(cut), !copyPossible) << "the entry is in no file any more";
        EXPECT_EQ(after.size(), copyPossible ? 4 : 5); // the built-ins, the backup
        EXPECT_EQ(s.linkProfiles().size(), 4);
    }
}

// A settings file replaced while running, then a setting written: by damaged values, by a
// named pipe, and by damaged values whose copy cannot be written (the file is left as it is).
class SettingsReplaced : public ::testing::TestWithParam<int>
{
};

TEST_P(SettingsReplaced, IsCheckedBeforeTheStoreReadsItAndTheSettingsInUseStay)
{
    directortest::Harness h;
    const QString path = h.dir.filePath("settings.ini");
    Settings* s = h.create()->settings();
    s->setSidebarOpacity(0.75f);
    if (GetParam() == 2)
        ASSERT_TRUE(QDir(h.dir.path()).mkpath("settings.ini.damaged/x"));
    if (GetParam() == 1)
        ASSERT_TRUE(QFile::remove(path) && ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    else
        writeAll(path, kDamaged);
    s->setSidebarVisible(false); // neither crashes nor waits on the pipe
    ASSERT_TRUE(testutil::waitUntil([&] { return !h.messages.isEmpty(); }, 2000));
    EXPECT_EQ(h.messages.first().title, "Settings file replaced");
    EXPECT_FLOAT_EQ(s->sidebarOpacity(), 0.75f);
    EXPECT_FALSE(s->sidebarVisible());
    EXPECT_EQ(s->storeFailed(), GetParam() == 2);
    EXPECT_EQ(h.messages.first().text.contains("No copy"), GetParam() == 2);
    const QFileInfo aside(GetParam() == 2 ? path : path + ".damaged"); // a pipe is never read here
    EXPECT_TRUE(GetParam() == 1 ? aside.exists() && !aside.isFile() : readAll(aside.filePath()) == kDamaged);
    EXPECT_EQ(
        QFileInfo(path).isFile() && SettingsFileCheck::findDamage(readAll(path)).isEmpty(), GetParam() != 2);
}

INSTANTIATE_TEST_SUITE_P(DamagedPipeUncopied, SettingsReplaced, ::testing::Values(0, 1, 2));

TEST(SettingsDamage, AStoreThatCannotBeWrittenSaysSoOnce)
{
    // A folder that cannot be made (even by root): nothing can be saved.
    Settings s("/proc/orvix-no-such-folder/OrvixTools.conf", nullptr);
    EXPECT_TRUE(s.storeFailed());
    testutil::SignalCount failed(&s, &Settings::storeFailedSignal);
    s.setSidebarVisible(false);
    EXPECT_EQ(failed.count, 0); // told at the start already
    EXPECT_FALSE(s.setLinkProfile("backup", LinkProfile::Normal.parameters)) << "not kept";
}

TEST(SettingsDamage, ALockInTheWayNeverHangsASave)
{
    // QSettings takes "<file>.lock" before each write and waits for it without a time-out: a
    // folder in its place (never removed), or a lock someone holds. The saves run on a thread of
    // their own, left behind should one hang; before runs on the store first.
    QTemporaryDir dir;
    const QString folder = dir.filePath("config"), path = folder + "/settings.ini";
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto saveEnds = [path](float opacity, bool* failed, std::function<void(Settings&)> before = {},
                              int withinMs = 10000) {
        auto ended = std::make_shared<std::promise<bool>>();
        std::thread([path, opacity, ended, before] {
            auto s = std::make_unique<Settings>(path, nullptr);
            if (before)
                before(*s);
            s->setSidebarOpacity(opacity);
            const bool failed = s->storeFailed();
            s.reset();
            ended->set_value(failed); // once the store has gone as well
        }).detach();
        auto result = ended->get_future();
        if (result.wait_for(std::chrono::milliseconds(testutil::scaled(withinMs)))
            != std::future_status::ready)
            return false;
        *failed = result.get();
        return true;
    };
    // Read from a copy: a QSettings on the file itself writes the changes it finds unwritten.
    const auto stored = [&] {
        writeAll(path + ".copy", readAll(path));
        return QSettings(path + ".copy", QSettings::IniFormat).value("sidebar/opacity").toFloat();
    };
    bool failed = true;

    ASSERT_TRUE(QDir(folder).mkpath("settings.ini.lock/x"));
    ASSERT_TRUE(saveEnds(0.5f, &failed)) << "a folder as the lock hangs the save";
    EXPECT_FALSE(failed);
    EXPECT_FLOAT_EQ(stored(), 0.5f);
    EXPECT_TRUE(QFileInfo(path + ".lock.damaged/x").isDir()) << "the folder is set aside, not removed";
    ASSERT_TRUE(QFile::link(path + ".nothing", path + ".lock")); // and again, beside the first
    ASSERT_TRUE(saveEnds(0.5f, &failed));
    EXPECT_FALSE(failed);
    EXPECT_TRUE(QFileInfo(path + ".lock.damaged.1").isSymLink() && QFileInfo(path + ".lock.damaged").isDir());
    // After a failed save (the folder a file for a while), whose changes the next save's new
    // store takes over.
    ASSERT_TRUE(saveEnds(0.625f, &failed, [&](Settings& s) {
        QDir().rename(folder, folder + ".away");
        writeAll(folder, "");
        s.setSidebarScale(0.5f);
        QFile::remove(folder);
        QDir().rename(folder + ".away", folder);
        QDir(folder).mkpath("settings.ini.lock/x");
    })) << "a folder as the lock hangs the save after a failed one";
    EXPECT_FALSE(failed);
    EXPECT_FLOAT_EQ(stored(), 0.625f);

    {
        QLockFile held(path + ".lock");
        ASSERT_TRUE(held.tryLock(0));
        // Waited for once, not at each step of a slider.
        const auto steps = [](Settings& s) {
            for (int step = 0; step < 10; ++step)
                s.setSidebarScale(step / 10.0f);
        };
        ASSERT_TRUE(saveEnds(0.25f, &failed, steps, 4000))
            << "a held lock hangs the saves or the store's end";
        EXPECT_TRUE(failed);
        EXPECT_FLOAT_EQ(stored(), 0.625f);
    }
    ASSERT_TRUE(saveEnds(0.75f, &failed));
    EXPECT_FALSE(failed);
    EXPECT_FLOAT_EQ(stored(), 0.75f);
}

TEST(SettingsDamage, AFailedSaveIsOverOnceTheStoreCanBeWrittenAgain)
{
    // The settings folder replaced by a plain file for a while: no save can go through, even as
    // root.
    directortest::Harness h;
    const QString folder = h.dir.filePath("config"), away = h.dir.filePath("config.away");
    const QString path = folder + "/settings.ini";
    ASSERT_TRUE(QDir().mkpath(folder));
    h.tweak = [&](DirectorEnvironment& env) { env.settingsFile = path; };
    const auto breakFolder = [&] {
        ASSERT_TRUE(QDir().rename(folder, away));
        writeAll(folder, "");
    };
    const auto mendFolder = [&] { ASSERT_TRUE(QFile::remove(folder) && QDir().rename(away, folder)); };
    const auto toldNotSaved = [&] {
        return std::count_if(h.messages.cbegin(), h.messages.cend(),
            [](const directortest::Message& m) { return m.title == "Settings not saved"; });
    };

    breakFolder();
    Settings* s = h.create()->settings();
    testutil::SignalCount failed(s, &Settings::storeFailedSignal);
    s->setSidebarOpacity(0.5f);
    EXPECT_FALSE(s->setLinkProfile("backup", LinkProfile::Normal.parameters)) << "not written";
    EXPECT_TRUE(s->storeFailed());
    EXPECT_EQ(failed.count, 0) << "told once, at the start, for the whole failure";
    mendFolder();

    EXPECT_TRUE(s->setLinkProfile("backup2", LinkProfile::Tremor.parameters)) << "written";
    EXPECT_FALSE(s->storeFailed());
    s->setSidebarScale(0.75f);
    EXPECT_FALSE(s->storeFailed());
    Settings again(path, nullptr);
    EXPECT_FLOAT_EQ(again.sidebarOpacity(), 0.5f); // the change made meanwhile is written too
    EXPECT_FLOAT_EQ(again.sidebarScale(), 0.75f);
    EXPECT_TRUE(again.linkProfile("backup").defined && again.linkProfile("backup2").defined);

    // A later failure is a new one, and told again (here the LINK wizard's state is not saved).
    breakFolder();
    s->setLinkProfileWizardState("limits");
    mendFolder();
    EXPECT_EQ(failed.count, 1);
    EXPECT_TRUE(testutil::waitUntil([&] { return toldNotSaved() == 2; }));
}

// Each fault with the input that showed it: a backup outside the LINK's limits; a damaged file
// that can be neither set aside nor copied, with no stand-in (damaged values, a named pipe); the
// settings file as a link to an own file, to nothing, to another user's file, to a folder.
enum class Fault { RefusedBackup, DoubleValues, DoublePipe, LinkOwn, LinkDangling, LinkOthers, LinkFolder };

class SettingsFault : public ::testing::TestWithParam<Fault>
{
protected:
    void TearDown() override { QDir::setCurrent(m_cwd), qputenv("TMPDIR", m_tmp); }
    const QString m_cwd = QDir::currentPath();
    const QByteArray m_tmp = qgetenv("TMPDIR");
};

TEST_P(SettingsFault, NothingIsLostOrWrittenThroughAndThePersonIsTold)
{
    const Fault f = GetParam();
    directortest::Harness h;
    const QString path = h.dir.filePath("settings.ini"), target = h.dir.filePath("target");
    const QByteArray own = "[sidebar]\nopacity=0.5\n", target8 = QFile::encodeName(target);
    QTemporaryDir cwd; // where a store with no file once left its ".lock" and temporary file
    ASSERT_TRUE(QDir::setCurrent(cwd.path()));
    if (f == Fault::DoubleValues || f == Fault::DoublePipe) {
        // A folder where the copy goes; a file as the temporary folder (for root, Qt takes "/"
        // in place of a missing one).
        ASSERT_TRUE(QDir(h.dir.path()).mkpath("settings.ini.damaged/x"));
        writeAll(target, "");
        qputenv("TMPDIR", target8);
        if (f == Fault::DoubleValues)
            writeAll(path, kDamaged);
        else
            ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (f != Fault::RefusedBackup) {
        if (f == Fault::LinkFolder)
            QDir().mkpath(target);
        else if (f != Fault::LinkDangling)
            writeAll(target, own);
        ::chmod(target8.constData(), 0644);
        if (f == Fault::LinkOthers && ::chown(target8.constData(), 65534, 65534) != 0)
            GTEST_SKIP() << "giving a file to another user needs root";
        ASSERT_TRUE(QFile::link(target, path));
    }
    Settings* s = h.create()->settings();
    struct stat st {
    };
    if (f == Fault::RefusedBackup) {
        ASSERT_TRUE(s->setLinkProfile("backup", LinkProfile::Normal.parameters));
        QByteArray bytes = LinkProfile::Normal.parameters.getData().bytes();
        bytes[14] = char(255); // safety angle forward
        EXPECT_FALSE(s->setLinkProfile("backup", LPP(PacketData(bytes, PacketData::LittleEndian))));
        EXPECT_TRUE(
            Settings(path, nullptr).linkProfile("backup").parameters.isEqual(LinkProfile::Normal.parameters));
        return;
    }
    const QString told = f > Fault::LinkOwn ? "Settings reset" : "Settings not saved";
    if (f != Fault::LinkOwn)
        EXPECT_TRUE(
            testutil::waitUntil([&] { return !h.messages.isEmpty() && h.messages.last().title == told; }));
    s->setSidebarVisible(false);
    EXPECT_FALSE(s->sidebarVisible());
    EXPECT_TRUE(QDir(cwd.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    if (f < Fault::LinkOwn)
        EXPECT_TRUE(f == Fault::DoublePipe ? !QFileInfo(path).isFile() : readAll(path) == kDamaged);
    else if (f == Fault::LinkOwn)
        EXPECT_TRUE(s->damagedKeys().isEmpty() && s->sidebarOpacity() == 0.5f && QFileInfo(path).isSymLink()
            && readAll(target).contains("visible=false") && ::stat(target8.constData(), &st) == 0
            && (st.st_mode & 0777) == 0600u);
    else
        EXPECT_TRUE(QFileInfo(path + ".damaged").isSymLink() && readAll(path).contains("visible=false")
            && readAll(target) == (f == Fault::LinkOthers ? own : "<missing>")
            && ::stat(target8.constData(), &st) == (f == Fault::LinkDangling ? -1 : 0)
            && (f != Fault::LinkOthers || (st.st_uid == 65534u && (st.st_mode & 0777) == 0644u)));
}

INSTANTIATE_TEST_SUITE_P(Cases, SettingsFault,
    ::testing::Values(Fault::RefusedBackup, Fault::DoubleValues, Fault::DoublePipe, Fault::LinkOwn,
        Fault::LinkDangling, Fault::LinkOthers, Fault::LinkFolder));
