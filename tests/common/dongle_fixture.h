#pragma once
// A Dongle on the emulator's pseudo-terminal: the emulator, the serial port opened on its
// slave side and the Dongle built on that port. Tests that talk to an emulated dongle hold
// one of these and call open() in SetUp and close() in TearDown.
#include <gtest/gtest.h>

#include <QCommandLineParser>
#include <QSerialPort>

#include <iostream>
#include <memory>

#include "common/qt_wait.h"
#include "device/Dongle.h"
#include "tools/emulator/Emulator.h"

namespace testutil
{

struct EmulatedDongle {
    QCommandLineParser parser;
    std::unique_ptr<emu::Emulator> emulator;
    std::unique_ptr<QSerialPort> port;
    std::unique_ptr<Dongle> dongle;

    // Starts the emulator, opens the port at 57600 baud and builds the Dongle (not started).
    // Copies of one request count as one burst across the gaps of the run's time scale.
    void open(emu::Options options, DongleDelegate* delegate)
    {
        options.burstGapMs = scaled(options.burstGapMs);
        emulator = std::make_unique<emu::Emulator>(options);
        ASSERT_TRUE(emulator->start());
        port = std::make_unique<QSerialPort>();
        port->setPortName(emulator->portPath());
        ASSERT_TRUE(port->open(QIODevice::ReadWrite)) << port->errorString().toStdString();
        port->setBaudRate(57600);
        dongle = std::make_unique<Dongle>(port.get(), delegate, parser);
    }

    // Runs the start sequence; returns its result code (-1 when it never called back).
    int start(int timeoutMs = 5000)
    {
        int code = -1;
        dongle->start([&code](DongleResult result) { code = result.code; });
        waitUntil([&] { return code != -1; }, timeoutMs);
        return code;
    }

    // Destroys the Dongle and closes the port; every frame the emulator received must have
    // been valid. testFailed prints the emulator's frame trace.
    void close(bool testFailed)
    {
        dongle.reset();
        if (port)
            port->close();
        if (!emulator)
            return;
        EXPECT_TRUE(emulator->errors().isEmpty()) << emulator->errors().join("\n").toStdString();
        if (testFailed || !emulator->errors().isEmpty())
            std::cerr << emulator->traceText().toStdString() << std::endl;
    }
};

} // namespace testutil
