// The dongle's receive path against the plain decoder of receive_reference.h: over streams of
// noise, good frames, damaged frames and false headers of every length, read from the line in
// every kind of piece, both take the same frames in the same order and hold (so drop) the same
// bytes after every read.
#include "device/Dongle.h"
#include "device/receive_reference.h"

#include <gtest/gtest.h>

#include <QCommandLineParser>

#include <random>

namespace
{

using Random = std::mt19937;

int pick(Random& random, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(random);
}

// Bytes with sync bytes among them a quarter of the time.
QByteArray noise(Random& random, int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        const int kind = pick(random, 0, 7);
        bytes.append(char(kind == 0 ? 0x55 : kind == 1 ? 0xAA : pick(random, 0, 255)));
    }
    return bytes;
}

// A header announcing length bytes of body, with a fitting check byte.
QByteArray header(Random& random, int length)
{
    QByteArray bytes = noise(random, 13);
    bytes[0] = char(0x55);
    bytes[1] = char(0xAA);
    bytes[9] = char(length);
    bytes[12] = char(Checksum::crc8(bytes.constData(), 0, 12));
    return bytes;
}

// A good frame of body length (2 to 121).
QByteArray frame(Random& random, int length)
{
    QByteArray bytes = header(random, length) + noise(random, length - 2);
    const quint16 sum = Checksum::crc16(bytes.constData(), 13, size_t(length - 2));
    bytes.append(char(sum & 0xFF));
    bytes.append(char(sum >> 8));
    return bytes;
}

int bodyLength(Random& random)
{
    const int kind = pick(random, 0, 3);
    return kind == 0 ? 121 : kind == 1 ? pick(random, 2, 12) : pick(random, 2, 121);
}

// Frames good and damaged, false headers of every length, back-to-back L = 121 headers, cut
// frames and noise, mixed.
QByteArray mixedStream(Random& random, int size)
{
    QByteArray stream;
    while (stream.size() < size) {
        switch (pick(random, 0, 7)) {
        case 0:
            stream += noise(random, pick(random, 0, 40));
            break;
        case 1:
        case 2:
            stream += frame(random, bodyLength(random));
            break;
        case 3: { // a damaged body or checksum
            QByteArray bytes = frame(random, bodyLength(random));
            const int at = pick(random, 13, bytes.size() - 1);
            bytes[at] = char(bytes.at(at) ^ pick(random, 1, 255));
            stream += bytes;
            break;
        }
        case 4:
            stream += header(random, pick(random, 0, 255));
            break;
        case 5:
            for (int n = pick(random, 1, 12); n > 0; --n)
                stream += header(random, 121);
            break;
        case 6: { // a frame cut short, or with a damaged header
            QByteArray bytes = frame(random, bodyLength(random));
            if (pick(random, 0, 1))
                bytes.truncate(pick(random, 1, bytes.size() - 1));
            else {
                const int at = pick(random, 2, 12);
                bytes[at] = char(bytes.at(at) ^ pick(random, 1, 255));
            }
            stream += bytes;
            break;
        }
        default: // a frame hidden in the body a false header announces
            stream += header(random, 121) + noise(random, pick(random, 0, 20))
                + frame(random, bodyLength(random));
            break;
        }
    }
    return stream;
}

// One receiver, compared with the plain decoder after every read.
class Comparison
{
public:
    Comparison()
        : m_dongle(nullptr, nullptr, m_options)
    {
        m_dongle.setFrameTap([this](QByteArray const& taken) { m_taken.push_back(taken); });
    }

    // Reads stream in the given pieces (the rest in one), then 134 bytes that start no frame,
    // after which both hold nothing; the first difference fails the test.
    void run(QByteArray const& stream, std::vector<int> const& pieces, std::string const& what)
    {
        m_reference = receiveref::ReferenceDecoder();
        m_taken.clear();
        int at = 0;
        for (size_t i = 0; i <= pieces.size() && !::testing::Test::HasFatalFailure(); ++i) {
            const int size = i < pieces.size() ? std::min(pieces[i], stream.size() - at) : stream.size() - at;
            read(stream.mid(at, size), what + " read " + std::to_string(i) + " at " + std::to_string(at));
            at += size;
        }
        read(QByteArray(RingBuffer::MaxAvailable, '\0'), what + " at the end");
        ASSERT_EQ(m_dongle.heldBytes(), 0) << what;
        m_frames += m_taken.size();
    }
    // Frames taken over every run.
    size_t m_frames = 0;

private:
    void read(QByteArray const& bytes, std::string const& where)
    {
        m_dongle.appendBytes(bytes);
        m_reference.feed(bytes);
        ASSERT_EQ(m_taken.size(), m_reference.frames().size()) << where;
        for (size_t i = 0; i < m_taken.size(); ++i)
            ASSERT_EQ(m_taken[i].toHex().toStdString(), m_reference.frames()[i].toHex().toStdString())
                << where << " frame " << i;
        ASSERT_EQ(size_t(m_dongle.heldBytes()), m_reference.held()) << where;
    }

    QCommandLineParser m_options;
    Dongle m_dongle;
    receiveref::ReferenceDecoder m_reference;
    std::vector<QByteArray> m_taken;
};

// Sizes of pieces of 1 to 4096 bytes, small ones most often, covering size bytes.
std::vector<int> randomPieces(Random& random, int size)
{
    std::vector<int> pieces;
    for (int total = 0; total < size;) {
        const int bits = pick(random, 0, 12);
        pieces.push_back(pick(random, 1, 1 << bits));
        total += pieces.back();
    }
    return pieces;
}

// Each scan the processor can run: sixteen places at a time, and thirty-two where it has AVX2.
class DongleReceiveReference : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        if (RingBuffer::setWideScan(GetParam()) != GetParam())
            GTEST_SKIP() << "no AVX2 on this processor";
    }
    void TearDown() override { RingBuffer::setWideScan(true); }
};

INSTANTIATE_TEST_SUITE_P(Scans, DongleReceiveReference, ::testing::Bool(),
    [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Wide" : "Narrow"; });

} // namespace

TEST_P(DongleReceiveReference, TakesTheSameFramesAndDropsTheSameBytesAsThePlainDecoder)
{
    Comparison comparison;
    for (unsigned seed = 1; seed <= 400 && !HasFatalFailure(); ++seed) {
        Random random(seed);
        const int size = pick(random, 1, 6000);
        const QByteArray stream = seed % 5 == 0 ? noise(random, size) : mixedStream(random, size);
        const int how = pick(random, 0, 3);
        const std::vector<int> pieces = how == 0 ? std::vector<int>()
            : how == 1                           ? std::vector<int>(size_t(size), 1)
                                                 : randomPieces(random, size);
        comparison.run(stream, pieces, "seed " + std::to_string(seed));
    }
    // Back-to-back L = 121 headers, with a frame after them and within their bodies.
    Random random(0);
    QByteArray headers;
    for (int i = 0; i < 40; ++i)
        headers += header(random, 121);
    const QByteArray good = frame(random, 121);
    for (const QByteArray& stream : { headers, headers + good, headers.left(200) + good + headers })
        for (int piece : { 1, 13, 134, 135, 4096 })
            comparison.run(stream, std::vector<int>(size_t(stream.size()), piece), "headers");
    // Reads about as long as the longest frame plus sixteen or thirty-two (the receiver looks at
    // that many places at once only where each has the longest frame after it), with frames at
    // every place of thirty-two after false headers.
    for (int place = 0; place < 32; ++place) {
        const QByteArray stream = noise(random, place) + headers.left(130) + good + headers.left(26) + good;
        for (int piece : { 147, 148, 149, 150, 151, 164, 165, 166 })
            comparison.run(
                stream, std::vector<int>(size_t(stream.size()), piece), "place " + std::to_string(place));
    }
    EXPECT_GT(comparison.m_frames, 5000u);
}

TEST_P(DongleReceiveReference, AFrameSplitAtEveryPointIsTakenAlike)
{
    // Two reads, split at every point, of short streams where a frame, a false header or its
    // body ends at the split.
    Random random(99);
    const QByteArray shortFrame = frame(random, 2);
    const QByteArray longFrame = frame(random, 121);
    const QByteArray streams[] = {
        shortFrame + longFrame + shortFrame,
        header(random, 121) + longFrame,
        header(random, 40) + noise(random, 20) + shortFrame + header(random, 121) + header(random, 121)
            + longFrame,
        QByteArray("\x55\x55\xAA\x55", 4) + longFrame.left(60) + longFrame,
    };
    Comparison comparison;
    for (const QByteArray& stream : streams)
        for (int split = 0; split <= stream.size() && !HasFatalFailure(); ++split)
            comparison.run(stream, { split }, "split " + std::to_string(split));
    EXPECT_GT(comparison.m_frames, 1000u);
}
