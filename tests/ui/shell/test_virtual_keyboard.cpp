// The on-screen keyboard's Linux layer with a fake keyboard program: a script that records its
// process id and sleeps.
#include "common/gui_util.h"
#include "common/qt_wait.h"

#include "ui/shell/NativeWindow.h"
#include "ui/shell/VirtualKeyboard.h"
#include "ui/toolkit/SharedGlContext.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testutil::waitUntil;

namespace
{

bool alive(qint64 pid)
{
    // A child that ended but was not yet reaped still answers; its /proc state is then Z.
    QFile status(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = status.readAll();
    return !line.contains(") Z ");
}

struct FakeKeyboard {
    QTemporaryDir dir;
    QString pids = dir.filePath(QStringLiteral("pids"));

    FakeKeyboard()
    {
        const QString script = dir.filePath(QStringLiteral("keyboard with space.sh"));
        QFile file(script);
        file.open(QIODevice::WriteOnly);
        file.write(
            "#!/bin/sh\necho \"${LP_NUM_THREADS-unset}\" > \"$1.gl\"\necho $$ >> \"$1\"\nexec sleep 30\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(VirtualKeyboard::CommandVariable,
            QStringLiteral("\"%1\" \"%2\"").arg(script, pids).toLocal8Bit());
    }
    ~FakeKeyboard()
    {
        VirtualKeyboard::hideKeyboard();
        qunsetenv(VirtualKeyboard::CommandVariable);
    }
    QList<QByteArray> started() const
    {
        QFile file(pids);
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().split('\n') : QList<QByteArray>();
    }
};

} // namespace

TEST(VirtualKeyboard, ShowingTwiceStartsOneProgramAndAnyValueButOneEndsIt)
{
    FakeKeyboard fake;
    int shows = 0;
    for (signed char off : { 0, 2 }) {
        toggleKeyboard(1);
        VirtualKeyboard::showKeyboard();
        ++shows;
        ASSERT_TRUE(waitUntil(
            [&] { return fake.started().size() == shows && !fake.started().last().isEmpty(); }, 3000));
        const qint64 pid = VirtualKeyboard::processId();
        ASSERT_GT(pid, 0);
        EXPECT_EQ(fake.started().last().toLongLong(), pid);
        toggleKeyboard(off);
        EXPECT_EQ(VirtualKeyboard::processId(), 0);
        EXPECT_TRUE(waitUntil([&] { return !alive(pid); }, 3000)) << int(off);
    }
    EXPECT_EQ(fake.started().size(), 2) << "one program per show, not per click";
}

// The software rasteriser's setting is the drawing's of this process: the keyboard started after
// the first GL context was made sees it only when the user set it.
TEST(VirtualKeyboard, InheritsTheSoftwareGlSettingOnlyWhenTheUserSetIt)
{
    const QByteArray before = qgetenv("LP_NUM_THREADS");
    for (const QByteArray user : { QByteArray(), QByteArray("2") }) {
        if (user.isNull())
            qunsetenv("LP_NUM_THREADS");
        else
            qputenv("LP_NUM_THREADS", user);
        OX::SharedGlContext::drawSoftwareGlOnCallingThread();
        QByteArray seen;
        const auto read = [&seen] {
            seen = qgetenv("LP_NUM_THREADS");
            return true;
        };
        EXPECT_TRUE(OX::SharedGlContext::withSoftwareGlSetting(read));
        EXPECT_EQ(seen, user.isNull() ? QByteArray("0") : user) << "the first context";
        EXPECT_TRUE(OX::SharedGlContext::withSoftwareGlSetting(read));
        EXPECT_EQ(seen, user) << "a later context";

        FakeKeyboard fake;
        VirtualKeyboard::showKeyboard();
        QFile gl(fake.pids + QStringLiteral(".gl"));
        ASSERT_TRUE(waitUntil([&] { return !fake.started().value(0).isEmpty(); }, 3000));
        ASSERT_TRUE(gl.open(QIODevice::ReadOnly));
        EXPECT_EQ(gl.readAll().trimmed(), user.isNull() ? QByteArray("unset") : user);
    }
    if (before.isNull())
        qunsetenv("LP_NUM_THREADS");
    else
        qputenv("LP_NUM_THREADS", before);
}

TEST(VirtualKeyboard, HidingWithNothingStartedTouchesNothing)
{
    FakeKeyboard fake;
    QProcess other; // a keyboard program this application did not start
    other.start(QStringLiteral("sleep"), { QStringLiteral("30") });
    ASSERT_TRUE(other.waitForStarted());
    VirtualKeyboard::hideKeyboard();
    toggleKeyboard(0);
    testutil::spin(100);
    EXPECT_TRUE(alive(other.processId()));
    other.kill();
    other.waitForFinished();
}

TEST(VirtualKeyboard, CommandFromTheEnvironmentIsSplitWithoutAShell)
{
    qputenv(VirtualKeyboard::CommandVariable, "onboard --layout \"Small Keys\" ; rm -rf x");
    EXPECT_EQ(VirtualKeyboard::keyboardCommand(),
        (QStringList { "onboard", "--layout", "Small Keys", ";", "rm", "-rf", "x" }));
    qunsetenv(VirtualKeyboard::CommandVariable);
    // No program at all: nothing starts.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    EXPECT_TRUE(VirtualKeyboard::keyboardCommand().isEmpty());
    VirtualKeyboard::showKeyboard();
    EXPECT_EQ(VirtualKeyboard::processId(), 0);
    qputenv("PATH", path);
}

TEST(VirtualKeyboard, AKeyboardThatEndsAtOnceIsLoggedWithItsStatusAndReportedOnlyOnFailure)
{
    const struct {
        const char* command;
        const char* logged;
        bool failed;
    } cases[] = {
        { "sh -c \"exit 3\"", "ended with exit status 3", true }, // no display session for it
        { "sh -c \"kill -SEGV $$\"", "crashed", true },
        { "sh -c \"exit 0\"", "ended with exit status 0", false }, // handed over to one running already
        { "/nonexistent/keyboard", nullptr, true },
    };
    for (const auto& c : cases) {
        qputenv(VirtualKeyboard::CommandVariable, c.command);
        testutil::LogCapture log;
        QStringList problems;
        bool ended = false;
        VirtualKeyboard::showKeyboard([&](const QString& problem) { problems << problem; });
        ASSERT_TRUE(waitUntil(
            [&] {
                ended = VirtualKeyboard::processId() == 0
                    && (!c.logged || log.contains(QLatin1String(c.logged)));
                return ended && (!c.failed || !problems.isEmpty());
            },
            3000))
            << c.command;
        testutil::spin(20);
        EXPECT_EQ(problems.size(), c.failed ? 1 : 0) << c.command;
    }
    qunsetenv(VirtualKeyboard::CommandVariable);
}

TEST(NativeWindow, NullHandleIsReportedAndNeverUsed)
{
    testutil::LogCapture log;
    NativeWindow::setNotToGrapFocus(nullptr);
    NativeWindow::setNotToGrapFocus(reinterpret_cast<void*>(quintptr(0x1234)));
    EXPECT_EQ(log.count(QStringLiteral("Unknown window id, unable to set focus policy")), 1);
}
