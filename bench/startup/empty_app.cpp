// The reference of the start-up benchmark: an empty Qt Widgets application that shows one
// window.
#include "FirstWindowProbe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.installEventFilter(new FirstWindowProbe(&app));
    QWidget window;
    window.resize(810, 700);
    window.show();
    return app.exec();
}
