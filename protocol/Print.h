#pragma once

#include <QByteArray>
#include <QString>

#include "protocol/Packet.h"

// Debug dump of a byte array.
//
// With a field text such as ":2x, F:1b, PAN:2d" the bytes are shown as named fields laid
// end to end (b binary, x hexadecimal, d decimal; widths 1-4 bytes). Without one (null, or
// no entry matches) they are shown as hexadecimal groups of `width` bytes, `columns`
// groups a line. A width below 1 is taken as 1.
QString QDump(QByteArray const& data, char const* format = nullptr, int width = 16, int columns = 1);

// Hexadecimal dump of a packet body. The body of a KEY packet carries the network password
// and is shown masked ("**" for every byte), never in clear text.
QString QDumpPayload(PacketID pid, QByteArray const& data, int width = 16, int columns = 1);

namespace Print {

// The low `count` bytes of value as binary groups, most significant first:
// bits(2, 0x1234) is "0b00010010 0b00110100". Bytes above the fourth read as 0.
QString bits(int count, unsigned int value);

// text with every tab replaced by three blanks, repeated count times.
QString repeat(QString const& text, int count);

// Coarse remaining-time phrase for progress texts.
QString remainingTimeFromSec(long long seconds);

} // namespace Print

namespace OX {

// Linear mapping of x from [inMin, inMax] to [outMin, outMax], without clamping.
// Equal input bounds give outMin.
double map(double x, double inMin, double inMax, double outMin, double outMax);

// A running rate after a new sample: the first sample (running 0 or less) stands alone, so that
// the first estimates made from it are not several times too slow; after that the sample weighs
// weight against the running rate.
double smoothed(double running, double sample, double weight);

// x rounded to the nearest multiple of step, halves away from zero: rounded(1.26, 0.5) is 1.5.
// A step of 0 (or one whose inverse is not finite) returns x unchanged.
double rounded(double x, double step);

} // namespace OX
