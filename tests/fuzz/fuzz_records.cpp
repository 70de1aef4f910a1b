// Feeds arbitrary bytes to every payload parser, to the frame checks and to the debug
// dumps: nothing may read or write out of bounds, and parsed records must stay within
// their own limits.
#include "protocol/ChannelMap.h"
#include "protocol/LPP.h"
#include "protocol/Packet.h"
#include "protocol/Print.h"
#include "protocol/Records.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void parseRecords(PacketData const& payload)
{
    SCP const scp(payload);
    check(SCP(scp.getData()) == scp);
    (void)scp.toString();

    ACK const ack(payload);
    (void)ack.getData();
    (void)ack.toString();

    GPP const gpp(payload);
    check(gpp.getData().size() == GPP::SizeOf);
    // The password never shows in the debug text.
    check(gpp.toString() == QStringLiteral("{ ") + QString(GPP::SizeOf, QLatin1Char('*')) + QStringLiteral(" }"));

    ERR const err(payload);
    check(err.getData().size() == ERR::SizeOf);
    (void)err.toString();

    SHP const shp(payload);
    check(SHP(shp.getData()) == shp);
    (void)shp.toString();
    float const progress = shp.getCalibrationProgress();
    check(progress >= 0.0f && progress <= 100.0f);
    (void)shp.getQuaternion();

    NPP const npp(payload);
    check(npp.count <= NPP::MaxSubmodules);
    check(npp.getData().size() == NPP::FixedSize + 2 * npp.count);
    check(NPP(npp.getData()) == npp);
    (void)npp.toString();
    (void)npp.getSerialNumberCStr();
    for (int i = -1; i <= NPP::MaxSubmodules; ++i)
        (void)npp.device(i, payload.at(0));

    LPP const lpp(payload);
    check(LPP(lpp.getData()) == lpp);
    (void)lpp.toString();
    LPP edited = lpp;
    edited.setAngleForward(payload.at(1) * 0.7 - 20);
    edited.setAngleRight(payload.at(2));
    edited.setDeadzoneInnerVertical(payload.at(3) * 0.3);
    edited.setTremorFilter(payload.at(4));
    (void)edited.getDeadzoneOuterVertical();

    ChannelMap const map(payload);
    check(map.size() <= qMax(0, (payload.size() - 1) / 3));
    check(map.getData().size() == ChannelMap::SizeOf);
    (void)map.toString();
    (void)map.contains(npp);
    (void)map.contains(DeviceAddress(payload.at(1), payload.at(2)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    if (size > 4096)
        return 0;
    QByteArray const bytes(reinterpret_cast<char const*>(data), int(size));

    // Raw payloads, both byte orders.
    parseRecords(PacketData(bytes, PacketData::LittleEndian));
    parseRecords(PacketData(bytes, PacketData::BigEndian));

    // Frames: header and frame checks, then the payload of the body only.
    bool const headerOk = isHeaderValid(bytes);
    bool const frameOk = isFrameValid(bytes);
    check(!frameOk || headerOk);
    UHRType const header(bytes);
    if (frameOk)
        check(header.hasValidLength() && bytes.size() >= header.frameSize());
    QByteArray const body = bytes.mid(UHRType::SizeOf);
    (void)Frame::isBodyValid(header, body);
    PacketData const payload = Frame::payloadOf(header, body);
    check(payload.size() <= header.payloadLength());
    check(payload.size() <= body.size());
    parseRecords(payload);

    // A frame built around the input is valid and gives the input back as its payload.
    if (size >= 7) {
        Header const made(data[0], quint16(data[1] | data[2] << 8), quint16(data[3] | data[4] << 8),
                          quint16(data[5] | data[6] << 8), PacketID(size > 7 ? data[7] : 0));
        PacketData const framedPayload(bytes.mid(7));
        QByteArray const frame = buildFrame(made, framedPayload);
        if (framedPayload.size() <= Frame::MaxPayload) {
            check(isFrameValid(frame));
            UHRType const madeHeader(frame);
            check(Frame::payloadOf(madeHeader, frame.mid(UHRType::SizeOf)) == framedPayload);
        }
    }

    // Debug dumps, with the input also taken as the field text.
    (void)QDump(header.toByteArray(), ":2x, F:1b, PAN:2d, S:2x, D:2x, L:1d, PID:1d, CH:1d, CRC:1x", 16, 1);
    QByteArray const format = bytes.left(64); // zero-terminated by QByteArray
    (void)QDump(bytes, format.constData(), int(size % 7) - 1, int(size % 3));
    (void)QDumpPayload(header.PID, body, 16, 1);
    (void)Print::bits(int(size % 12) - 2, size > 0 ? data[0] * 0x01010101u : 0u);
    return 0;
}
