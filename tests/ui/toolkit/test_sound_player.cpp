// Feedback sounds: the shipped files, the sample table, a request while a sound still plays, and
// the module they play through.
#include "ui/toolkit/SoundPlayer.h"

#include "common/gui_util.h"
#include "common/qt_wait.h"
#include "ui/toolkit/Modules.h"
#include "ui/toolkit/SoundOutput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <gtest/gtest.h>

namespace
{

struct WavFormat {
    quint16 format = 0, channels = 0, bits = 0;
    quint32 rate = 0;
    double seconds = 0;
};

// Reads the fmt and data chunks of a RIFF/WAVE file; false when it is not one.
bool readWav(const QString& path, WavFormat& wav)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return false;
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    bool haveFormat = false, haveData = false;
    for (int at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = u32(at + 4);
        if (at + 8 + qint64(size) > bytes.size())
            return false;
        if (id == "fmt " && size >= 16) {
            wav.format = u16(at + 8);
            wav.channels = u16(at + 10);
            wav.rate = u32(at + 12);
            wav.bits = u16(at + 22);
            haveFormat = true;
        } else if (id == "data" && haveFormat && wav.channels && wav.bits) {
            wav.seconds = double(size) / (wav.rate * wav.channels * (wav.bits / 8));
            haveData = true;
        }
        at += 8 + int(size) + int(size & 1);
    }
    return haveFormat && haveData;
}

TEST(ShippedSounds, PcmStereo44100Sixteen)
{
    const struct {
        const char* path;
        double seconds;
    } sounds[]
        = { { ":/sounds/zeroinit", 0.39 }, { ":/sounds/ch_active", 1.05 }, { ":/sounds/ch_passive", 1.15 } };
    for (const auto& sound : sounds) {
        WavFormat wav;
        ASSERT_TRUE(readWav(QString::fromLatin1(sound.path), wav)) << sound.path;
        EXPECT_EQ(wav.format, 1) << sound.path;
        EXPECT_EQ(wav.channels, 2) << sound.path;
        EXPECT_EQ(wav.rate, 44100u) << sound.path;
        EXPECT_EQ(wav.bits, 16) << sound.path;
        EXPECT_NEAR(wav.seconds, sound.seconds, 0.01) << sound.path;
    }
}

TEST(SoundPlayer, OneEffectPerSample)
{
    OX::SoundPlayer player;
    // Made on first use, not with the player (the start of the application does not wait).
    EXPECT_TRUE(player.findChildren<OX::SoundEffect*>().isEmpty());
    player.play(OX::SoundPlayer::CHANNEL_ACTIVE);
    EXPECT_EQ(player.findChildren<OX::SoundEffect*>().size(), 1);
    ASSERT_NE(player.effect(OX::SoundPlayer::ZEROINIT), nullptr);
    ASSERT_NE(player.effect(OX::SoundPlayer::CHANNEL_ACTIVE), nullptr);
    ASSERT_NE(player.effect(OX::SoundPlayer::CHANNEL_PASSIVE), nullptr);
    EXPECT_EQ(player.effect(OX::SoundPlayer::ZEROINIT)->fileName(), QStringLiteral(":/sounds/zeroinit"));
    EXPECT_EQ(
        player.effect(OX::SoundPlayer::CHANNEL_ACTIVE)->fileName(), QStringLiteral(":/sounds/ch_active"));
    EXPECT_EQ(
        player.effect(OX::SoundPlayer::CHANNEL_PASSIVE)->fileName(), QStringLiteral(":/sounds/ch_passive"));
    // A value outside the three samples has no effect and plays nothing.
    EXPECT_EQ(player.effect(OX::SoundPlayer::Sample(3)), nullptr);
    player.play(OX::SoundPlayer::Sample(3));
    player.play(OX::SoundPlayer::Sample(-1));
}

// An effect whose sounding is scripted.
class ScriptedEffect : public OX::SoundEffect
{
public:
    ScriptedEffect()
        : OX::SoundEffect(QStringLiteral(":/sounds/zeroinit"))
    {
    }
    bool sounding = false;
    int starts = 0;

protected:
    bool isSounding() const override { return sounding; }
    void start() override
    {
        ++starts;
        sounding = true;
    }
};

TEST(SoundEffect, ARequestWhileSoundingIsDropped)
{
    ScriptedEffect effect;
    effect.play();
    effect.play();
    EXPECT_EQ(effect.starts, 1);
    effect.sounding = false;
    effect.play();
    EXPECT_EQ(effect.starts, 2);
}

// Started while no sound server ran, a sound never reports its end: once the longest sound
// would have ended, a request starts it again, and the sounds come back with the server.
TEST(SoundEffect, ASoundThatNeverEndsIsStartedAgainAfterTheLongestSound)
{
    ScriptedEffect effect; // sounding from its start for good
    QElapsedTimer clock;
    clock.start();
    effect.play();
    effect.play();
    EXPECT_EQ(effect.starts, 1);
    ASSERT_TRUE(testutil::waitUntil(
        [&] {
            effect.play();
            return effect.starts == 2;
        },
        3 * OX::SoundEffect::LongestPlayMs));
    EXPECT_GE(clock.elapsed(), OX::SoundEffect::LongestPlayMs);
    effect.play();
    EXPECT_EQ(effect.starts, 2) << "the new start counts from now";
}

// The real sound: a second request soon after the first is dropped, another sample still plays.
class CountingEffect : public OX::SoundEffect
{
public:
    explicit CountingEffect(const QString& name)
        : OX::SoundEffect(name)
    {
    }
    int starts = 0;

protected:
    void start() override
    {
        ++starts;
        OX::SoundEffect::start();
    }
};

TEST(SoundEffect, TheSoundItselfDropsARequestWhileItSounds)
{
    CountingEffect active(QStringLiteral(":/sounds/ch_active"));
    CountingEffect passive(QStringLiteral(":/sounds/ch_passive"));
    active.play();
    active.play(); // the sound lasts a second
    passive.play();
    EXPECT_EQ(active.starts, 1);
    EXPECT_EQ(passive.starts, 1);
}

} // namespace

// The sounds come from a module loaded with the first effect; a module that is not there is
// reported once and leaves its users without it.
TEST(Modules, TheSoundModuleLoadsAndAMissingModuleIsNull)
{
    ASSERT_NE(OX::soundOutputFactory(), nullptr);
    EXPECT_EQ(OX::soundOutputFactory(), OX::soundOutputFactory()) << "loaded once";

    testutil::LogCapture log;
    EXPECT_EQ(OX::loadModule(QStringLiteral("orvix_no_such_module.so")), nullptr);
    EXPECT_EQ(OX::loadModule(QStringLiteral("orvix_no_such_module.so")), nullptr);
    EXPECT_EQ(log.count(QStringLiteral("orvix_no_such_module.so could not be loaded")), 1);
}

// A program of the build tree takes the build's modules; an installed one, wherever it was put,
// only those of its own installation.
TEST(Modules, FoundOnlyWhereTheyBelong)
{
    const QString built = QCoreApplication::applicationDirPath();
    const QStringList fromBuild = OX::moduleFolders(built);
    ASSERT_EQ(fromBuild.size(), 1);
    EXPECT_TRUE(QFileInfo(fromBuild.first()).isDir()) << fromBuild.first().toStdString();

    for (const QString& installed : { QStringLiteral("/usr/bin"), QStringLiteral("/opt/moved/bin") }) {
        const QStringList folders = OX::moduleFolders(installed);
        ASSERT_EQ(folders.size(), 1);
        EXPECT_TRUE(folders.first().startsWith(QFileInfo(installed).path() + QLatin1Char('/')))
            << folders.first().toStdString();
        EXPECT_TRUE(folders.first().endsWith(QStringLiteral("/orvixtools")));
        EXPECT_NE(folders.first(), fromBuild.first());
    }
}
