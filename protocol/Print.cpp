#include "protocol/Print.h"

#include <QObject>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <map>
#include <string>

namespace
{

struct DumpField {
    QString name;
    qint64 count = 0;
    char format = 'x';
    QString suffix;
    quint32 value = 0;
    qint64 index = 0;
};

// The value model holds four bytes; wider fields show their first four.
constexpr int ValueBytes = 4;

// Appends value as exactly digits hex digits.
void appendHex(QString& to, quint32 value, int digits, bool upper)
{
    char const* const set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    for (int d = digits - 1; d >= 0; --d)
        to += QLatin1Char(set[(value >> (4 * d)) & 0xFu]);
}

QString renderField(DumpField const& field)
{
    int const shown = int(qMin<qint64>(field.count, ValueBytes));
    switch (field.format) {
    case 'b':
        return field.name + Print::bits(shown, field.value) + field.suffix;
    case 'd':
        return field.name + QString::number(field.value) + field.suffix;
    default: {
        QString text = field.name + QLatin1String("0x");
        appendHex(text, field.value, 2 * shown, true);
        return text + field.suffix;
    }
    }
}

QString hexGroup(QByteArray const& data, int from, int length, bool masked)
{
    QString text;
    text.reserve(length * 3);
    for (int i = 0; i < length; ++i) {
        if (i > 0)
            text += QLatin1Char(':');
        if (masked)
            text += QLatin1String("**");
        else
            appendHex(text, uchar(data.at(from + i)), 2, false);
    }
    return text;
}

QString hexDump(QByteArray const& data, int width, int columns, bool masked)
{
    if (width < 1)
        width = 1;
    QString text = QStringLiteral("[");
    int onLine = 0;
    bool first = true;
    for (int from = 0; from < data.size(); from += width) {
        int const length = qMin(width, data.size() - from);
        if (!first) {
            if (onLine == columns) {
                text += QLatin1String("\n  ");
                onLine = 0;
            } else {
                text += QLatin1String(" - ");
            }
        }
        first = false;
        text += hexGroup(data, from, length, masked);
        ++onLine;
    }
    text += QLatin1Char(']');
    return text;
}

using DumpFields = std::map<qint64, DumpField>;

DumpFields parseFields(char const* format)
{
    DumpFields fields;
    static QRegularExpression const pattern(
        QStringLiteral("^(?<head>[^:]*):(?<count>[1-4]+)(?<format>[bxd]{1})$"));
    QStringList const parts = QString::fromLatin1(format).split(QLatin1Char(','));
    qint64 offset = 0;
    for (int i = 0; i < parts.size(); ++i) {
        QRegularExpressionMatch const match = pattern.match(parts.at(i));
        if (!match.hasMatch())
            continue;
        bool ok = false;
        qint64 const count = match.captured(QStringLiteral("count")).toLongLong(&ok);
        // A count too large to read takes no bytes, like an entry that does not match.
        if (!ok || count <= 0 || count > 0x7FFFFFFF)
            continue;
        DumpField field;
        QString const head = match.captured(QStringLiteral("head"));
        if (i == 0)
            field.name = head.isEmpty() ? QString() : head + QLatin1Char(':');
        else
            field.name = QLatin1Char(',') + head + QLatin1Char(':');
        field.count = count;
        field.format = match.captured(QStringLiteral("format")).at(0).toLatin1();
        fields[offset] = field;
        offset += count;
    }
    return fields;
}

// A frame dump's format is the same for every frame: each format is parsed once per thread.
DumpFields const& fieldsOf(char const* format)
{
    constexpr std::size_t MaxFormats = 16;
    thread_local std::map<std::string, DumpFields> parsed;
    auto found = parsed.find(format);
    if (found == parsed.end()) {
        if (parsed.size() >= MaxFormats)
            parsed.clear();
        found = parsed.emplace(format, parseFields(format)).first;
    }
    return found->second;
}

} // namespace

QString QDump(QByteArray const& data, char const* format, int width, int columns)
{
    static DumpFields const none;
    DumpFields const& fields = format ? fieldsOf(format) : none;
    if (fields.empty())
        return hexDump(data, width, columns, false);

    QString text = QStringLiteral("[");
    DumpField current;
    bool haveCurrent = false;
    for (int i = 0; i < data.size(); ++i) {
        auto const found = fields.find(i);
        if (found != fields.end()) {
            current = found->second;
            haveCurrent = true;
        }
        if (!haveCurrent)
            continue;
        if (current.index < ValueBytes)
            current.value |= quint32(uchar(data.at(i))) << (8 * (current.index % ValueBytes));
        ++current.index;
        if (current.index == current.count) {
            text += renderField(current);
            haveCurrent = false;
        }
    }
    text += QLatin1Char(']');
    return text;
}

QString QDumpPayload(PacketID pid, QByteArray const& data, int width, int columns)
{
    return hexDump(data, width, columns, pid == PacketID::KEY);
}

namespace Print
{

QString bits(int count, unsigned int value)
{
    QString text;
    for (int k = count - 1; k >= 0; --k) {
        text += (k == count - 1) ? QLatin1String("0b") : QLatin1String(" 0b");
        unsigned const byte = k < ValueBytes ? (value >> (8 * k)) & 0xFFu : 0u;
        for (int bit = 7; bit >= 0; --bit)
            text += ((byte >> bit) & 1u) ? QLatin1Char('1') : QLatin1Char('0');
    }
    return text;
}

QString repeat(QString const& text, int count)
{
    if (count <= 0)
        return QString();
    QString unit = text;
    unit.replace(QLatin1Char('\t'), QLatin1String("   "));
    return unit.repeated(count);
}

QString remainingTimeFromSec(long long seconds)
{
    // "less than N" names the whole unit above the time left, so that the phrase holds: 90 s
    // is less than 2 minutes (not "less than 1 minutes"), 23.5 hours less than 24 hours.
    if (seconds < 60)
        return QObject::tr("less than 1 minute");
    if (seconds < 3600)
        return QObject::tr("less than %1 minutes").arg(seconds / 60 + 1);
    if (seconds < 86400)
        return QObject::tr("less than %1 hours").arg(seconds / 3600 + 1);
    return QObject::tr("more than a day");
}

} // namespace Print

namespace OX
{

double map(double x, double inMin, double inMax, double outMin, double outMax)
{
    double const span = inMax - inMin;
    if (span == 0.0)
        return outMin;
    return (x - inMin) * (outMax - outMin) / span + outMin;
}

double smoothed(double running, double sample, double weight)
{
    return running > 0.0 ? running * (1.0 - weight) + sample * weight : sample;
}

double rounded(double x, double step)
{
    if (step == 0.0 || std::isnan(step))
        return x;
    double const inv = 1.0 / step;
    if (!std::isfinite(inv) || inv == 0.0)
        return x;
    return std::round(x * inv) / inv;
}

} // namespace OX
