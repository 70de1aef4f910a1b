#include "XmodemReceiver.h"

#include <algorithm>
#include <utility>

namespace emu {

uint16_t XmodemReceiver::crc16(const char* data, int size)
{
    uint16_t crc = 0;
    for (int i = 0; i < size; ++i) {
        crc = uint16_t(crc ^ (uint16_t(uint8_t(data[i])) << 8));
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? uint16_t((crc << 1) ^ 0x1021) : uint16_t(crc << 1);
    }
    return crc;
}

QByteArray XmodemReceiver::enterBootloader()
{
    m_state = State::Waiting;
    m_recoveryTail.clear();
    m_frame.clear();
    m_image.clear();
    m_expected = 1;
    m_blocksAccepted = 0;
    m_framesReceived = 0;
    m_duplicatesAcked = 0;
    m_naksSent = 0;
    m_eotsReceived = 0;
    m_eotFaultsDone = 0;
    m_beaconsSent = 0;
    m_junkBytes = 0;
    m_badFrames = 0;
    m_progressSinceTick = false;
    m_eotWaitsForSilence = false;
    m_canSeen = false;
    return tick();
}

void XmodemReceiver::enterDead(const QByteArray& recoveryString)
{
    m_state = State::Dead;
    m_recoveryString = recoveryString;
    m_recoveryTail.clear();
    m_frame.clear();
}

QByteArray XmodemReceiver::feed(const QByteArray& bytes)
{
    return feed(bytes.constData(), bytes.size());
}

QByteArray XmodemReceiver::feed(const char* data, int size)
{
    QByteArray out;
    int i = 0;
    while (i < size) {
        switch (m_state) {
        case State::Dead: {
            // Only the recovery string wakes it; the tail of the previous read is kept so that
            // a string split across reads is found too.
            QByteArray seen = m_recoveryTail + QByteArray(data + i, size - i);
            const int at = m_recoveryString.isEmpty() ? -1 : seen.indexOf(m_recoveryString);
            if (at < 0) {
                const int keep = std::max(0, m_recoveryString.size() - 1);
                m_recoveryTail = seen.right(keep);
                return out;
            }
            const int consumedFromData = at + m_recoveryString.size() - m_recoveryTail.size();
            out += enterBootloader();
            i += consumedFromData;
            // What follows the string is line noise to the loader, which waits for a block.
            break;
        }
        case State::Complete:
            // A repeated EOT means our ACK was lost: acknowledge it again.
            for (; i < size; ++i) {
                if (data[i] == EOT) {
                    ++m_eotsReceived;
                    out += ACK;
                }
            }
            return out;
        case State::Cancelled:
            return out;
        case State::Waiting:
        case State::Receiving:
            if (m_eotWaitsForSilence) {
                // Whatever comes now breaks the silence the acknowledgement waits for.
                for (; i < size; ++i) {
                    if (data[i] == EOT)
                        ++m_eotsReceived;
                    else
                        ++m_junkBytes;
                }
                m_progressSinceTick = true;
                return out;
            }
            if (m_frame.isEmpty()) {
                const char c = data[i++];
                m_progressSinceTick = true;
                const bool canBefore = std::exchange(m_canSeen, c == CAN);
                if (c == STX) {
                    m_frame.append(c);
                } else if (c == EOT) {
                    out += onEot();
                } else if (c == CAN && canBefore) {
                    // The sender gave up: the image so far is dropped.
                    m_state = State::Cancelled;
                    return out;
                } else {
                    ++m_junkBytes;
                }
                break;
            }
            const int take = std::min(FRAME_SIZE - m_frame.size(), size - i);
            m_frame.append(data + i, take);
            i += take;
            m_progressSinceTick = true;
            if (m_frame.size() == FRAME_SIZE) {
                const QByteArray frame = m_frame;
                m_frame.clear();
                out += takeFrame(frame);
            }
            break;
        }
    }
    return out;
}

QByteArray XmodemReceiver::tick()
{
    QByteArray out;
    if (m_state != State::Waiting && m_state != State::Receiving)
        return out;
    if (m_eotWaitsForSilence) {
        if (!m_progressSinceTick) {
            m_eotWaitsForSilence = false;
            m_state = State::Complete;
            out += ACK;
        }
        m_progressSinceTick = false;
        return out;
    }
    if (!m_frame.isEmpty() && !m_progressSinceTick) {
        // The rest of the frame never came: drop it and ask for the block again (before the
        // first block the beacon below asks for it).
        m_frame.clear();
        ++m_badFrames;
        if (m_state == State::Receiving) {
            ++m_naksSent;
            out += NAK;
        }
    }
    m_progressSinceTick = false;
    if (m_state == State::Waiting && m_frame.isEmpty()
        && (m_faults.beaconLimit < 0 || m_beaconsSent < m_faults.beaconLimit)) {
        ++m_beaconsSent;
        out += READY;
    }
    return out;
}

bool XmodemReceiver::consumeFault(std::map<int, int>& faults, int index)
{
    const auto it = faults.find(index);
    if (it == faults.end() || it->second == 0)
        return false;
    if (it->second > 0)
        --it->second;
    return true;
}

QByteArray XmodemReceiver::takeFrame(const QByteArray& frame)
{
    ++m_framesReceived;
    const uint8_t number = uint8_t(frame.at(1));
    const uint8_t complement = uint8_t(frame.at(2));
    const char* data = frame.constData() + 3;
    const uint16_t crc = uint16_t((uint8_t(frame.at(3 + BLOCK_SIZE)) << 8) | uint8_t(frame.at(4 + BLOCK_SIZE)));
    if (uint8_t(number + complement) != 0xFF || crc16(data, BLOCK_SIZE) != crc) {
        ++m_badFrames;
        ++m_naksSent;
        return QByteArray(1, NAK);
    }
    const int index = m_expected;
    if (number == uint8_t(index - 1) && index > 1) {
        // The previous block again: its ACK was lost. Acknowledge it, keep the image as it is.
        ++m_duplicatesAcked;
        return QByteArray(1, ACK);
    }
    if (number != uint8_t(index)) {
        m_state = State::Cancelled;
        return QByteArray(2, CAN);
    }
    if (consumeFault(m_faults.silentBlock, index))
        return {};
    if (consumeFault(m_faults.nakBlock, index)) {
        ++m_naksSent;
        return QByteArray(1, NAK);
    }
    m_image.append(data, BLOCK_SIZE);
    ++m_blocksAccepted;
    ++m_expected;
    m_state = State::Receiving;
    if (consumeFault(m_faults.lostAck, index))
        return {};
    const auto garbage = m_faults.answerBlockWith.find(index);
    if (garbage != m_faults.answerBlockWith.end()) {
        const char byte = garbage->second;
        m_faults.answerBlockWith.erase(garbage);
        return QByteArray(1, byte);
    }
    return QByteArray(1, ACK);
}

QByteArray XmodemReceiver::onEot()
{
    ++m_eotsReceived;
    if (m_faults.eotAnswer != EotAnswer::Ack
        && (m_faults.eotFaults < 0 || m_eotFaultsDone < m_faults.eotFaults)) {
        ++m_eotFaultsDone;
        if (m_faults.eotAnswer == EotAnswer::Silence)
            return {};
        ++m_naksSent;
        return QByteArray(1, NAK);
    }
    if (m_faults.eotAckAfterSilence) {
        m_eotWaitsForSilence = true;
        m_progressSinceTick = true;
        return {};
    }
    m_state = State::Complete;
    return QByteArray(1, ACK);
}

} // namespace emu
