#pragma once
// Frame filters (for observation) and fault rules (for injection).
#include "tools/emulator/Codec.h"

#include <functional>

namespace emu {

// Matches frames by header fields and the command byte; -1 means "any".
struct FrameFilter {
    int packetId = -1;
    int command = -1;   // payload byte 0
    int flags = -1;     // exact F
    int pan = -1;
    int src = -1;
    int dst = -1;
    std::function<bool(const Frame&)> predicate; // extra test, optional

    bool matches(const Frame& f) const;
    QString toString() const;

    FrameFilter& withPid(int v) { packetId = v; return *this; }
    FrameFilter& withCmd(int v) { command = v; return *this; }
    FrameFilter& withFlags(int v) { flags = v; return *this; }
    FrameFilter& withPan(int v) { pan = v; return *this; }
    FrameFilter& withSrc(int v) { src = v; return *this; }
    FrameFilter& withDst(int v) { dst = v; return *this; }
    FrameFilter& where(std::function<bool(const Frame&)> p) { predicate = std::move(p); return *this; }

    static FrameFilter any() { return FrameFilter(); }
    static FrameFilter of(int packetId, int command = -1)
    {
        FrameFilter f;
        f.packetId = packetId;
        f.command = command;
        return f;
    }
    // A local dongle command (DCP with that command byte).
    static FrameFilter dcp(int command) { return of(pid::DCP, command); }
};

// Toward the application (frames the emulated devices send) or from it (requests).
enum class Direction { FromApp, ToApp };

enum class Fault {
    // Both directions.
    Drop,              // FromApp: the devices never see the request. ToApp: the frame is lost.
    Delay,             // FromApp: the request is handled delayMs later. ToApp: written delayMs later.
    Duplicate,         // FromApp: handled twice. ToApp: written twice.
    // FromApp only.
    AnswerOnlyCopy,    // only copy `copy` of a repeat burst is handled; the others are ignored
    // ToApp only.
    CorruptHeaderCrc,  // byte 12 is wrong
    CorruptChecksum,   // the payload checksum is wrong
    Truncate,          // only the first `length` bytes are written
    GarbageBefore,     // `bytes` written right before the frame (same write)
    GarbageAfter,      // `bytes` written right after the frame (same write)
    StrayHeaderBefore, // 55 AA and 11 bytes whose byte 12 is wrong, before the frame
    LengthHeaderBefore,// a header with a correct CRC-8 announcing L = `length`, before the frame
    SplitBytes,        // the frame is written one byte per write, delayMs (default 1) apart
    Join,              // `length` matching frames are collected and written in one write
};

QString faultName(Fault f);

struct FaultRule {
    Direction direction = Direction::ToApp;
    FrameFilter filter;
    Fault fault = Fault::Drop;
    int skip = 0;      // matching frames let through untouched before the rule acts
    int times = -1;    // frames (AnswerOnlyCopy: bursts, Join: joined writes) it acts on; -1 for ever
    int copy = 1;      // AnswerOnlyCopy: the copy handled (1-based)
    int delayMs = 0;   // Delay; SplitBytes: gap between the single-byte writes
    int length = 0;    // Truncate: bytes kept; LengthHeaderBefore: L (e.g. 200, 0, 1); Join: frames
    QByteArray bytes;  // GarbageBefore / GarbageAfter

    // Requests (FromApp).
    static FaultRule noReply(FrameFilter f, int times = -1);
    static FaultRule answerOnlyCopy(FrameFilter f, int copy, int bursts = 1);
    static FaultRule delayRequest(FrameFilter f, int ms, int times = 1);
    // Frames toward the application (ToApp).
    static FaultRule dropReply(FrameFilter f, int times = 1);
    static FaultRule delayReply(FrameFilter f, int ms, int times = 1);
    static FaultRule duplicate(FrameFilter f, int times = 1);
    static FaultRule corruptHeaderCrc(FrameFilter f, int times = 1);
    static FaultRule corruptChecksum(FrameFilter f, int times = 1);
    static FaultRule truncate(FrameFilter f, int keepBytes, int times = 1);
    static FaultRule garbageBefore(FrameFilter f, QByteArray bytes, int times = 1);
    static FaultRule garbageAfter(FrameFilter f, QByteArray bytes, int times = 1);
    static FaultRule strayHeaderBefore(FrameFilter f, int times = 1);
    static FaultRule lengthHeaderBefore(FrameFilter f, int length, int times = 1);
    static FaultRule splitBytes(FrameFilter f, int gapMs = 1, int times = 1);
    static FaultRule join(FrameFilter f, int frames, int times = -1);

    QString toString() const;
};

} // namespace emu
