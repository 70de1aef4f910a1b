#pragma once
// What the director takes from the world around it: the serial ports, the USB bus, the local
// server's name, the settings store, how it asks and tells the user and how it quits. The
// application keeps every default; the development executable and the tests replace some.
#include "device/Dongle.h"
#include "usb/UsbBackend.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <memory>

// One serial port as the system lists it. A pseudo-terminal of the device emulator can stand
// in for the dongle's USB serial port by carrying the dongle's ids.
struct SerialPortEntry {
    QString portName;       // "ttyACM0"
    QString description;
    QString systemLocation; // "/dev/ttyACM0"; the port is opened at this path
    quint16 vendorId = 0;
    quint16 productId = 0;
    bool hasVendorId = false;
    bool hasProductId = false;

    // Every serial port of the system, in the system's order.
    static QList<SerialPortEntry> systemPorts();
};

struct DirectorEnvironment {
    // The serial ports to look through when the dongle arrives; empty: the system's ports.
    std::function<QList<SerialPortEntry>()> listPorts;
    // How long after the dongle's USB arrival (or the start) its port is opened.
    int connectDelayMs = 2500;
    // After a lost line whose port is still listed: the pause before the first attempt to
    // connect again (each further attempt waits twice as long).
    int reconnectFirstMs = 1000;
    // The single-instance server's name; empty: the application's own name.
    QString serverName;
    // The USB bus to watch; null: the real bus through libusb.
    std::unique_ptr<QtUsb::UsbBackend> usbBackend;
    int usbIntervalMs = 250;
    // When the USB watcher cannot run: how often the serial ports are looked at for the dongle.
    int portScanMs = 1000;
    // The settings file (INI); empty: the user's native settings store.
    QString settingsFile;
    // Pacing of every dongle the director creates (the defaults are the dongle's own).
    Dongle::Timing dongleTiming;
    // Where the maintenance tool is looked for; empty: beside the executable.
    QString maintenanceDir;
    // Whether the tray icon is put up.
    bool trayIcon = true;

    // Shows a message box of the given OrvixDirector::MessageType and returns once it is
    // closed; empty: a modal box over the main window.
    std::function<void(int type, const QString& title, const QString& message)> presentMessage;
    // Asks the "Headset communication failure" question; true for Yes. Empty: a modal
    // Yes/No box over the main window.
    std::function<bool(const QString& title, const QString& text)> askRetry;
    // Ends the run; empty: the application's event loop is quit.
    std::function<void()> quit;
};
