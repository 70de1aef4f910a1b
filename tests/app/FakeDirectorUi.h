#pragma once
// A director's windows that only remember what was asked of them, and a harness that builds a
// director over a scripted USB bus, a settings file in a temporary folder, a private local
// server name and recorded message boxes.
#include "app/DirectorUi.h"
#include "app/OrvixDirector.h"
#include "app/Settings.h"
#include "usb/FakeUsbBackend.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace directortest {

class FakeDirectorUi : public DirectorUi {
    Q_OBJECT
public:
    struct Question {
        QString title;
        QString text;
        QStringList buttons;
    };
    struct Countdown {
        bool visual = false;
        int milliseconds = 0;
        std::function<void()> done;
    };

    void create(OrvixDirector* d) override
    {
        director = d;
        ++created;
    }
    QWidget* mainWidget() const override { return nullptr; }

    void attachMainWindow() override { ++mainAttached; }
    void detachMainWindow() override { ++mainDetached; }
    void showMainWindow() override
    {
        mainVisible = true;
        ++mainShown;
    }
    void hideMainWindow() override
    {
        mainVisible = false;
        ++mainHidden;
    }
    bool isMainWindowTotallyVisible() const override { return mainVisible; }
    // At once, or, with holdFirstSight, when drawFirstSight() says the window has been drawn.
    void afterFirstSight(std::function<void()> work) override
    {
        if (holdFirstSight)
            firstSightWork.push_back(std::move(work));
        else
            work();
    }
    void drawFirstSight()
    {
        holdFirstSight = false;
        for (auto& work : std::exchange(firstSightWork, {}))
            work();
    }
    // Recorded; answered with questionAnswer from the event loop while what it is about lasts.
    // With NoAnswer the box stays open (until what it is about goes).
    static constexpr int NoAnswer = -2;
    void ask(Box box, std::function<void(int)> answer) override
    {
        questions.append(Question{box.title, box.text, box.buttons});
        boxes.append(box);
        const int given = questionAnswer;
        if (given == NoAnswer)
            return;
        QMetaObject::invokeMethod(
            this,
            [box, answer, given]() {
                for (const QPointer<QObject>& object : box.about)
                    if (!object)
                        return;
                if (answer)
                    answer(given);
            },
            Qt::QueuedConnection);
    }
    // The quit action ends the run, as the main window's does once the dongle has answered.
    void perform(int action) override
    {
        performed.append(action);
        if (action == QuitAction && director)
            director->quitApplication();
    }

    void attachSidebar() override { ++sidebarAttached; }
    void showSidebar() override
    {
        sidebarVisible = true;
        ++sidebarShown;
    }
    void hideSidebar() override
    {
        sidebarVisible = false;
        ++sidebarHidden;
    }

    void runCrossView(bool visual, int milliseconds, std::function<void()> done) override
    {
        countdowns.append(Countdown{visual, milliseconds, std::move(done)});
        crossRunning = true;
    }
    void abortCrossView() override
    {
        ++crossAborted;
        crossRunning = false;
    }
    bool isCrossViewRunning() const override { return crossRunning; }
    // Ends the last countdown as its tick timer would.
    void finishCountdown()
    {
        crossRunning = false;
        if (!countdowns.isEmpty() && countdowns.last().done)
            countdowns.last().done();
    }

    void setProgressInfo(const QString& text) override { progressInfo = text; }
    void setProgress(double fraction) override { progressValues.append(fraction); }
    void showProgressDialog() override
    {
        progressVisible = true;
        ++progressShown;
    }
    void hideProgressDialog() override
    {
        progressVisible = false;
        ++progressHidden;
    }

    void createSoundPlayer() override { soundPlayer = true; }
    void destroySoundPlayer() override { soundPlayer = false; }
    bool hasSoundPlayer() const override { return soundPlayer; }
    void play(int sample) override
    {
        if (soundPlayer)
            played.append(sample);
    }

    void clickStatusIcon() { emit statusIconAction(); }
    void cancelProgress() { emit progressDialogClosed(); }

    OrvixDirector* director = nullptr;
    int created = 0;
    int mainAttached = 0, mainDetached = 0, mainShown = 0, mainHidden = 0;
    bool mainVisible = false;
    bool holdFirstSight = false;
    std::vector<std::function<void()>> firstSightWork;
    int sidebarAttached = 0, sidebarShown = 0, sidebarHidden = 0;
    bool sidebarVisible = false;
    QList<Question> questions;
    QList<Box> boxes;
    int questionAnswer = 1;
    QList<int> performed;
    QList<Countdown> countdowns;
    bool crossRunning = false;
    int crossAborted = 0;
    QString progressInfo;
    QList<double> progressValues;
    bool progressVisible = false;
    int progressShown = 0, progressHidden = 0;
    bool soundPlayer = false;
    QList<int> played;
};

struct Message {
    int type = 0;
    QString title;
    QString text;
};

// A director over fakes. The dongle's ids are on the scripted bus when dongleOnBus is set.
struct Harness {
    QTemporaryDir dir;
    QCommandLineParser parser;
    std::shared_ptr<fakeusb::State> bus = std::make_shared<fakeusb::State>();
    FakeDirectorUi* ui = nullptr;
    std::unique_ptr<OrvixDirector> director;
    QList<SerialPortEntry> ports;
    std::function<QList<SerialPortEntry>()> portSource;
    QList<Message> messages;
    std::function<void(const Message&)> onMessage;
    QStringList retryQuestions;
    bool retryAnswer = false;
    std::function<void()> duringRetryQuestion;
    int quits = 0;
    QString serverName;
    // Last changes to the environment before the director is built.
    std::function<void(DirectorEnvironment&)> tweak;

    static QtUsb::DeviceFilter dongleIds() { return QtUsb::DeviceFilter{0x0003, 0x2E15}; }

    Harness()
    {
        parser.addOption(QCommandLineOption(QStringList{QStringLiteral("t"), QStringLiteral("turbo")}, QString()));
        parser.parse(QStringList{QStringLiteral("orvixtools")});
        // A path inside the test's own folder: nothing is left in the shared temporary folder.
        serverName = dir.filePath(QStringLiteral("instance"));
    }

    ~Harness() { director.reset(); }

    DirectorEnvironment environment(int connectDelayMs)
    {
        DirectorEnvironment env;
        env.listPorts = [this]() { return portSource ? portSource() : ports; };
        env.connectDelayMs = connectDelayMs;
        env.serverName = serverName;
        env.usbBackend = std::make_unique<fakeusb::Backend>(bus);
        env.usbIntervalMs = 10;
        env.settingsFile = dir.filePath(QStringLiteral("settings.ini"));
        env.trayIcon = false;
        env.maintenanceDir = dir.path();
        env.presentMessage = [this](int type, const QString& title, const QString& text) {
            messages.append(Message{type, title, text});
            if (onMessage)
                onMessage(messages.last());
        };
        env.askRetry = [this](const QString& title, const QString& text) {
            retryQuestions << title + QLatin1Char('|') + text;
            if (duringRetryQuestion)
                duringRetryQuestion();
            return retryAnswer;
        };
        env.quit = [this]() { ++quits; };
        if (tweak)
            tweak(env);
        return env;
    }

    OrvixDirector* create(bool dongleOnBus = false, int connectDelayMs = 10)
    {
        if (dongleOnBus)
            bus->bus = QtUsb::FilterList{dongleIds()};
        auto fake = std::make_unique<FakeDirectorUi>();
        ui = fake.get();
        director = std::make_unique<OrvixDirector>(parser, std::move(fake), environment(connectDelayMs));
        // The bus watched and the server listening, as start() has them once the window is drawn.
        director->startWatchers();
        return director.get();
    }

    static SerialPortEntry port(const QString& name, const QString& location, quint16 vid = 0x2E15,
                                quint16 pid = 0x0003)
    {
        SerialPortEntry e;
        e.portName = name;
        e.description = QStringLiteral("test port");
        e.systemLocation = location;
        e.vendorId = vid;
        e.productId = pid;
        e.hasVendorId = true;
        e.hasProductId = true;
        return e;
    }
};

} // namespace directortest

namespace directortest {

// Collects the messages written while it lives (and passes them on).
class LogCapture {
public:
    LogCapture()
    {
        std::lock_guard<std::mutex> guard(lock());
        current() = this;
        m_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        // Worker threads log too: the capture is taken away only while none of them is inside
        // the handler.
        std::lock_guard<std::mutex> guard(lock());
        qInstallMessageHandler(m_previous);
        current() = nullptr;
    }
    bool contains(const QString& text) const
    {
        for (const QString& line : lines)
            if (line.contains(text))
                return true;
        return false;
    }
    int count(const QString& text) const
    {
        int n = 0;
        for (const QString& line : lines)
            if (line.contains(text))
                ++n;
        return n;
    }
    QStringList lines;

private:
    static LogCapture*& current()
    {
        static LogCapture* capture = nullptr;
        return capture;
    }
    static std::mutex& lock()
    {
        static std::mutex mutex;
        return mutex;
    }
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        std::lock_guard<std::mutex> guard(lock());
        if (LogCapture* c = current()) {
            // Only the GUI thread's lines: worker threads log too, and the list is not locked.
            if (QThread::currentThread() == QCoreApplication::instance()->thread())
                c->lines << message;
            if (c->m_previous)
                c->m_previous(type, context, message);
        }
    }
    QtMessageHandler m_previous = nullptr;
};

} // namespace directortest
