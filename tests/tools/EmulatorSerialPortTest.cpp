// The emulator's pseudo-terminal seen through QSerialPort, as the application opens it.
#include "common/time_scale.h"
#include "tools/emulator/Emulator.h"
#include "tools/emulator/EmulatorGTest.h"

#include <QSerialPort>

#include <gtest/gtest.h>

using namespace emu;

namespace {
bool openLikeTheApplication(QSerialPort& port)
{
    port.setBaudRate(57600);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    port.setDataTerminalReady(true); // fails on a pseudo-terminal; the application goes on
    port.setRequestToSend(true);
    port.clearError();
    return true;
}
} // namespace

TEST(EmulatorSerialPort, EchoThroughQSerialPortAndUnplugError)
{
    Emulator e;
    TraceOnFailure guard(e);
    ASSERT_TRUE(e.start());
    QSerialPort port(e.portPath());
    ASSERT_TRUE(openLikeTheApplication(port)) << port.errorString().toStdString();

    QByteArray got;
    QObject::connect(&port, &QSerialPort::readyRead, [&] { got += port.readAll(); });
    port.write(Frame::local(9).encode());
    ASSERT_TRUE(Emulator::waitUntil([&] { return got.size() >= 18; }, testutil::scaled(2000)));
    Frame f;
    ASSERT_TRUE(FrameDecoder::decodeOne(got.left(18), &f));
    EXPECT_EQ(f.cmd(), 9);
    EXPECT_TRUE(f.isReply());
    EXPECT_EQ(f.channel, e.dongle().channel);
    EXPECT_TRUE(e.errors().isEmpty());

    // Two frames in one write reach the port together.
    e.addFault(FaultRule::join(FrameFilter::dcp(9), 2, 1));
    got.clear();
    port.write(Frame::local(9).encode());
    port.write(Frame::local(9).encode());
    ASSERT_TRUE(Emulator::waitUntil([&] { return got.size() >= 36; }, testutil::scaled(2000)));
    EXPECT_EQ(got.size(), 36);

    std::vector<QSerialPort::SerialPortError> errs;
    QObject::connect(&port, &QSerialPort::errorOccurred, [&](QSerialPort::SerialPortError err) {
        if (err != QSerialPort::NoError && errs.size() < 1000)
            errs.push_back(err);
    });
    e.unplug();
    // A hung-up pseudo-terminal reads end-of-file: QSerialPort reports ReadError again and
    // again (a USB removal gives ResourceError); the application must cope with both.
    ASSERT_TRUE(Emulator::waitUntil([&] { return !errs.empty(); }, testutil::scaled(2000)));
    EXPECT_TRUE(errs.front() == QSerialPort::ReadError || errs.front() == QSerialPort::ResourceError)
        << int(errs.front());
}
