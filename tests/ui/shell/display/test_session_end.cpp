// The end of the desktop session: a session manager speaking XSMP asks the application to save
// itself before a logout. Qt then closes every visible window and, when one refuses, cancels the
// logout. The main window, which otherwise only hides when closed, must not stand in the way, nor
// may a window over it: the progress of a download or a question without an escape button.
#ifdef ORVIX_HAVE_SM // libSM and libICE, to play the session manager
#include "common/gui_util.h"
#include "common/qt_wait.h"

#include "ui/shell/MainWindow.h"
#include "ui/toolkit/Page.h"
#include "ui/toolkit/ProgressDialog.h"
#include "ui/toolkit/TimeoutDialog.h"

#include <QApplication>
#include <QProcess>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// Last: the X headers define Bool, Status, True and False as macros.
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>
#undef Bool
#undef Status

using testutil::waitUntil;

namespace
{

// Set in the child to the window shown over the main window ("main" for none).
const char ChildVariable[] = "ORVIX_TEST_SESSION_CHILD";

void say(QByteArray const& line)
{
    std::fputs((line + '\n').constData(), stdout);
    std::fflush(stdout);
}

// A session manager with one client: it registers it, lets it interact when asked and records
// whether the client cancelled the shutdown.
struct SessionManager {
    IceListenObj* listen = nullptr;
    int listenCount = 0;
    SmsConn client = nullptr;
    bool registered = false;
    bool cancelled = false;
    bool saved = false;
    std::vector<std::unique_ptr<QSocketNotifier>> notifiers;

    // Only clients on this machine (the test's own child) are let in.
    static int localHost(char* host) { return qstrncmp(host, "local/", 6) == 0; }
    static int registerClient(SmsConn conn, SmPointer data, char* previousId)
    {
        std::free(previousId);
        char id[] = "orvix-test-client";
        SmsRegisterClientReply(conn, id);
        static_cast<SessionManager*>(data)->registered = true;
        return 1;
    }
    static void interactRequest(SmsConn conn, SmPointer, int) { SmsInteract(conn); }
    static void interactDone(SmsConn, SmPointer data, int cancel)
    {
        static_cast<SessionManager*>(data)->cancelled = cancel;
    }
    static void saveDone(SmsConn, SmPointer data, int) { static_cast<SessionManager*>(data)->saved = true; }
    static void nothing(SmsConn, SmPointer) { }
    static void saveRequest(SmsConn, SmPointer, int, int, int, int, int) { }
    static void closeConnection(SmsConn conn, SmPointer, int count, char** reasons)
    {
        SmFreeReasons(count, reasons);
        IceConn ice = SmsGetIceConnection(conn);
        SmsCleanUp(conn);
        IceSetShutdownNegotiation(ice, False);
        IceCloseConnection(ice);
    }
    static void setProperties(SmsConn, SmPointer, int count, SmProp** props)
    {
        for (int i = 0; i < count; ++i)
            SmFreeProperty(props[i]);
        std::free(props);
    }
    static void deleteProperties(SmsConn, SmPointer, int count, char** names)
    {
        for (int i = 0; i < count; ++i)
            std::free(names[i]);
        std::free(names);
    }
    static int newClient(SmsConn conn, SmPointer data, unsigned long* mask, SmsCallbacks* cb, char**)
    {
        static_cast<SessionManager*>(data)->client = conn;
        *mask = 0;
        cb->register_client = { registerClient, data };
        cb->interact_request = { interactRequest, data };
        cb->interact_done = { interactDone, data };
        cb->save_yourself_request = { saveRequest, data };
        cb->save_yourself_phase2_request = { nothing, data };
        cb->save_yourself_done = { saveDone, data };
        cb->close_connection = { closeConnection, data };
        cb->set_properties = { setProperties, data };
        cb->delete_properties = { deleteProperties, data };
        cb->get_properties = { nothing, data };
        return 1;
    }

    // The address for SESSION_MANAGER, empty when the manager could not start.
    QByteArray start()
    {
        char error[256] = {};
        char vendor[] = "orvix-test";
        char release[] = "1";
        if (!SmsInitialize(vendor, release, newClient, this, localHost, sizeof error, error))
            return QByteArray();
        if (!IceListenForConnections(&listenCount, &listen, sizeof error, error))
            return QByteArray();
        for (int i = 0; i < listenCount; ++i) {
            IceSetHostBasedAuthProc(listen[i], localHost);
            auto notifier = std::make_unique<QSocketNotifier>(
                IceGetListenConnectionNumber(listen[i]), QSocketNotifier::Read);
            IceListenObj obj = listen[i];
            QObject::connect(notifier.get(), &QSocketNotifier::activated, [this, obj]() { accept(obj); });
            notifiers.push_back(std::move(notifier));
        }
        for (int i = 0; i < listenCount; ++i) {
            char* id = IceGetListenConnectionString(listen[i]);
            const QByteArray address(id);
            std::free(id);
            if (address.startsWith("local/"))
                return address;
        }
        return QByteArray();
    }
    void accept(IceListenObj obj)
    {
        IceAcceptStatus status;
        IceConn ice = IceAcceptConnection(obj, &status);
        if (!ice)
            return;
        auto notifier = std::make_unique<QSocketNotifier>(IceConnectionNumber(ice), QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [ice, n = notifier.get()]() {
            // Closed (by the client's goodbye) or broken: the connection is gone.
            if (IceProcessMessages(ice, nullptr, nullptr) != IceProcessMessagesSuccess)
                n->setEnabled(false);
        });
        notifiers.push_back(std::move(notifier));
    }
    ~SessionManager()
    {
        notifiers.clear();
        if (listen)
            IceFreeListenObjs(listenCount, listen);
    }
};

} // namespace

// Run in a child process under the session manager: the main window on screen, with the window
// the parent names over it, until the session ends or the time runs out. The child tells what the
// owner of that window hears when it closes.
TEST(SessionChild, WindowsOnScreen)
{
    const QByteArray over = qgetenv(ChildVariable);
    if (over.isEmpty())
        GTEST_SKIP() << "run by SessionEnd";
    QGuiApplication::setQuitOnLastWindowClosed(false); // as in the application: the tray stays
    MainWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    std::unique_ptr<QWidget> shown;
    if (over == "progress") {
        auto* progress = new OX::ProgressDialog(&window);
        QObject::connect(progress, &OX::ProgressDialog::dialogClosed, [] { say("download cancelled"); });
        progress->show();
        shown.reset(progress);
    } else if (over == "question") {
        OX::Page::Question question;
        question.buttons = QStringList { "Save", "Discard", "Later" }; // no escape button
        OX::Page::askApplication(question, [](int answer) { say("answered " + QByteArray::number(answer)); });
    } else if (over == "trial") {
        auto* trial = new OX::TimeoutDialog(&window);
        trial->setDuration(testutil::scaled(20000));
        QObject::connect(
            trial, &QDialog::finished, [](int result) { say("trial " + QByteArray::number(result)); });
        trial->show();
        shown.reset(trial);
    }
    QTimer::singleShot(0, [] { say("windows shown"); }); // after the question's box opens
    QTimer::singleShot(testutil::scaled(20000), qApp, &QCoreApplication::quit);
    qApp->exec();
}

// Ends the session of a child showing the main window and the window named over it: the logout
// goes on, and the child says heard (what the window's owner learns) before the session dies.
void expectSessionEndsOver(const char* over, const char* heard)
{
    SessionManager manager;
    const QByteArray address = manager.start();
    ASSERT_FALSE(address.isEmpty());
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(ChildVariable), QString::fromLatin1(over));
    env.insert(QStringLiteral("SESSION_MANAGER"), QString::fromLatin1(address));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--gtest_filter=SessionChild.*") });
    QByteArray said;
    auto hear = [&] {
        said += child.readAllStandardOutput();
        return said;
    };
    ASSERT_TRUE(waitUntil([&] { return manager.registered && hear().contains("windows shown"); }, 15000));
    SmsSaveYourself(manager.client, SmSaveBoth, True, SmInteractStyleAny, False);
    EXPECT_TRUE(waitUntil([&] { return manager.saved; }, 10000));
    EXPECT_FALSE(manager.cancelled) << "the logout was cancelled over " << over;
    EXPECT_TRUE(waitUntil([&] { return hear().contains(heard); }, 5000))
        << over << " said: " << said.constData();
    ASSERT_EQ(child.state(), QProcess::Running);
    SmsDie(manager.client);
    EXPECT_TRUE(waitUntil([&] { return child.state() == QProcess::NotRunning; }, 10000));
}

TEST(SessionEnd, NoVisibleWindowCancelsTheLogout)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "the session manager speaks to the X platform's client";
    expectSessionEndsOver("main", "windows shown");
    // The download's owner is told to cancel it; a question answers -1, as one its page closes;
    // the settings on trial go back (No).
    expectSessionEndsOver("progress", "download cancelled");
    expectSessionEndsOver("question", "answered -1");
    expectSessionEndsOver("trial", "trial 0");
}

#endif // ORVIX_HAVE_SM
