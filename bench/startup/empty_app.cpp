// The reference of the start-up and memory benchmarks: an empty Qt Widgets application that
// shows one main window, of the size the application's takes on a 1920x1080 screen.
#include "BenchCommands.h"
#include "FirstWindowProbe.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const bool stay = BenchCommands::stayAfterFirstWindow();
    app.installEventFilter(new FirstWindowProbe(&app, stay));
    if (stay)
        new BenchCommands(nullptr, &app);
    QMainWindow window;
    window.resize(810, 700);
    window.show();
    return app.exec();
}
