#pragma once
// The cabled LINK's firmware loader: an XMODEM-1K receiver (1024-byte blocks, CRC-16) as a
// pure state machine. It does no I/O of its own: the owner feeds it the bytes that reach the
// LINK and writes back what feed() and tick() return. tick() is called once per beacon period
// (one second on the real loader).
//
// Besides the loader it models a "dead" LINK whose firmware no longer starts: silent until the
// recovery string appears in the byte stream (also when split across reads), then in its loader.
//
// The emulator is an independent peer of the application: this file shares no code with it.
#include <QByteArray>

#include <cstdint>
#include <map>

namespace emu {

class XmodemReceiver
{
public:
    static constexpr char READY = 0x43; // 'C': asks for data; repeated as a beacon
    static constexpr char ACK = 0x06;
    static constexpr char NAK = 0x15;
    static constexpr char STX = 0x02;
    static constexpr char EOT = 0x04;
    static constexpr char CAN = 0x18;
    static constexpr int BLOCK_SIZE = 1024;
    static constexpr int FRAME_SIZE = BLOCK_SIZE + 5;

    enum class State {
        Dead,      // silent, watching for the recovery string
        Waiting,   // in the loader, no block accepted yet: beacons run
        Receiving, // at least one block accepted
        Complete,  // EOT acknowledged: the image is whole
        Cancelled, // a block out of sequence (answered CAN CAN), or CAN CAN from the sender
    };
    enum class EotAnswer { Ack, Nak, Silence };

    // Injectable faults. Block indexes count the blocks of the transfer from 1 and do not wrap
    // (index 256 travels with block number 0).
    struct Faults
    {
        std::map<int, int> nakBlock;       // index -> good receptions answered with NAK first
        std::map<int, int> silentBlock;    // index -> receptions dropped unanswered (-1: all)
        std::map<int, int> lostAck;        // index -> receptions accepted whose ACK is lost
        std::map<int, char> answerBlockWith; // index -> byte answered instead of the first ACK
        EotAnswer eotAnswer = EotAnswer::Ack;
        int eotFaults = 1;                 // EOTs answered by NAK or silence before the ACK (-1: all)
        // The EOT after the faults is acknowledged by tick() once a whole period passed
        // without a byte (as lrzsz's rx waits a second); any byte starts the wait again.
        bool eotAckAfterSilence = false;
        int beaconLimit = -1;              // beacons before they stop (-1: no limit)
    };

    XmodemReceiver() = default;
    explicit XmodemReceiver(const Faults& faults) : m_faults(faults) {}

    void setFaults(const Faults& faults) { m_faults = faults; }
    const Faults& faults() const { return m_faults; }

    // Restarts into the loader: image and counters cleared, beacons run again. Returns the
    // loader's first ready byte.
    QByteArray enterBootloader();
    // A LINK that no longer starts: silent until it sees recoveryString.
    void enterDead(const QByteArray& recoveryString = "Z3Q");

    // Bytes reaching the LINK; returns the bytes it answers.
    QByteArray feed(const QByteArray& bytes);
    QByteArray feed(const char* data, int size);
    // One beacon period passed: returns the ready byte while the loader waits for its first
    // block (until the beacon limit). A frame left unfinished for a whole period is dropped
    // and answered with NAK. An EOT waiting for silence is acknowledged after a silent period.
    QByteArray tick();

    State state() const { return m_state; }
    bool isComplete() const { return m_state == State::Complete; }
    // The data of every accepted block, in order, padding included.
    const QByteArray& image() const { return m_image; }

    int blocksAccepted() const { return m_blocksAccepted; }
    int framesReceived() const { return m_framesReceived; }
    int duplicatesAcked() const { return m_duplicatesAcked; }
    int naksSent() const { return m_naksSent; }
    int eotsReceived() const { return m_eotsReceived; }
    int beaconsSent() const { return m_beaconsSent; }
    int junkBytes() const { return m_junkBytes; }
    int badFrames() const { return m_badFrames; }

    // CRC-16/XMODEM (polynomial 0x1021, initial 0, MSB first, no final XOR).
    static uint16_t crc16(const char* data, int size);

private:
    QByteArray takeFrame(const QByteArray& frame);
    QByteArray onEot();
    bool consumeFault(std::map<int, int>& faults, int index);

    Faults m_faults;
    State m_state = State::Waiting;
    QByteArray m_recoveryString = "Z3Q";
    QByteArray m_recoveryTail; // end of the stream seen while dead, for a string split across reads
    QByteArray m_frame;        // the frame being received
    QByteArray m_image;
    int m_expected = 1;        // index of the next block
    int m_blocksAccepted = 0;
    int m_framesReceived = 0;
    int m_duplicatesAcked = 0;
    int m_naksSent = 0;
    int m_eotsReceived = 0;
    int m_eotFaultsDone = 0;
    int m_beaconsSent = 0;
    int m_junkBytes = 0;
    int m_badFrames = 0;
    bool m_progressSinceTick = false;
    bool m_eotWaitsForSilence = false;
    bool m_canSeen = false;    // the last byte between frames was CAN
};

} // namespace emu
