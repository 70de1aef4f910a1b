#pragma once
// The on-screen keyboard that a person who works with the head-controlled pointer alone types
// with. On Linux it is a program of its own: the command line in ORVIXTOOLS_KEYBOARD (program
// and arguments, never run through a shell), else the first of onboard and xvkbd found on the
// path. Only the process started here is ever ended, and it ends with the application.
#include <QStringList>
#include <QtGlobal>

#include <functional>

class VirtualKeyboard
{
public:
    // The environment variable that names the keyboard's command line.
    static constexpr const char* CommandVariable = "ORVIXTOOLS_KEYBOARD";
    // A keyboard asked to end is killed when it is still there after this long.
    static constexpr int KillAfterMs = 1000;
    // A keyboard program that ends sooner than this after its start ended at once (no display
    // session for it, a broken installation); its exit status is logged.
    static constexpr int AtOnceMs = 3000;

    // What went wrong, for the person who pressed the keyboard button.
    using Failed = std::function<void(const QString& problem)>;

    // Starts the keyboard; nothing while the one started here runs. Without any program, a debug
    // line. failed (when set) is called once when there is no program, it does not start, or it
    // ends at once with a failure status or a crash; never for a keyboard that stays up or that
    // hands over to one already running and ends with status 0.
    static void showKeyboard(Failed failed = nullptr);
    // Ends the keyboard started here (terminate, then kill); nothing when none runs.
    static void hideKeyboard();

    // The program and its arguments that showKeyboard runs; empty when there is none.
    static QStringList keyboardCommand();
    // The process id of the keyboard started here while it runs, else 0.
    static qint64 processId();
};

// 1 shows the keyboard, any other value hides it.
void toggleKeyboard(signed char on);
