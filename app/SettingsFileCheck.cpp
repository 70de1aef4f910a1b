#include "app/SettingsFileCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QtDebug>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SettingsFileCheck
{

namespace
{

// ---- Qt's data stream, version 4.0, as QSettings writes it -------------------------------

// Type ids as a version 4.0 stream carries them.
enum StreamType : quint32 {
    Invalid = 0,
    Bool = 1,
    Int = 2,
    UInt = 3,
    LongLong = 4,
    ULongLong = 5,
    Double = 6,
    Map = 8,
    List = 9,
    String = 10,
    ByteArray = 12,
    Float = 135, // the version 4.0 id of float
};

constexpr quint32 NullLength = 0xFFFFFFFFu;

class StreamReader
{
public:
    explicit StreamReader(const QByteArray& bytes)
        : m_p(reinterpret_cast<const uchar*>(bytes.constData()))
        , m_left(quint32(bytes.size()))
    {
    }

    bool variant(int depth)
    {
        quint32 type = 0;
        if (!number(type))
            return false;
        switch (type) {
        case Invalid:
            return text(); // an invalid value is followed by an empty string in these streams
        case Bool:
            return skip(1);
        case Int:
        case UInt:
        case Float:
            return skip(4);
        case LongLong:
        case ULongLong:
        case Double:
            return skip(8);
        case String:
            return text();
        case ByteArray:
            return bytes();
        case List:
            return list(depth);
        case Map:
            return map(depth);
        default:
            return false; // a type our settings never write, or a damaged type byte
        }
    }

private:
    bool skip(quint32 n)
    {
        if (n > m_left)
            return false;
        m_p += n;
        m_left -= n;
        return true;
    }

    bool number(quint32& value)
    {
        if (m_left < 4)
            return false;
        value = (quint32(m_p[0]) << 24) | (quint32(m_p[1]) << 16) | (quint32(m_p[2]) << 8) | quint32(m_p[3]);
        return skip(4);
    }

    // A string: a byte length (UTF-16, so even), or the null marker.
    bool text()
    {
        quint32 length = 0;
        if (!number(length))
            return false;
        if (length == NullLength)
            return true;
        return (length % 2) == 0 && skip(length);
    }

    bool bytes()
    {
        quint32 length = 0;
        if (!number(length))
            return false;
        return length == NullLength || skip(length);
    }

    // Every element takes at least a type id (4 bytes); every map entry a key and a value.
    bool list(int depth)
    {
        quint32 count = 0;
        if (depth >= MaxDepth || !number(count) || count > m_left / 4)
            return false;
        for (quint32 i = 0; i < count; ++i) {
            if (!variant(depth + 1))
                return false;
        }
        return true;
    }

    bool map(int depth)
    {
        quint32 count = 0;
        if (depth >= MaxDepth || !number(count) || count > m_left / 8)
            return false;
        for (quint32 i = 0; i < count; ++i) {
            if (!text() || !variant(depth + 1))
                return false;
        }
        return true;
    }

    const uchar* m_p;
    quint32 m_left;
};

// ---- The INI file, split into lines and values the way QSettings does -------------------

enum CharTrait { Space = 0x1, Special = 0x2 };

int traits(char c)
{
    switch (c) {
    case '\t':
    case ' ':
        return Space;
    case '\n':
    case '\r':
        return Space | Special;
    case '"':
    case ';':
    case '=':
    case '\\':
        return Special;
    default:
        return 0;
    }
}

// The next logical line from dataPos: quoted text and escaped line ends continue it, and
// comment lines are skipped. False when no line is left.
bool readLine(const QByteArray& data, int& dataPos, int& lineStart, int& lineLen, int& equalsPos)
{
    const int dataLen = data.size();
    bool inQuotes = false;
    equalsPos = -1;
    lineStart = dataPos;
    while (lineStart < dataLen && (traits(data.at(lineStart)) & Space))
        ++lineStart;

    int i = lineStart;
    bool done = false;
    while (i < dataLen && !done) {
        char ch = data.at(i);
        while (!(traits(ch) & Special)) {
            if (++i == dataLen) {
                done = true;
                break;
            }
            ch = data.at(i);
        }
        if (done)
            break;
        ++i;
        if (ch == '=') {
            if (!inQuotes && equalsPos == -1)
                equalsPos = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == lineStart + 1) {
                ++lineStart;
            } else if (!inQuotes) {
                --i;
                done = true;
            }
        } else if (ch == '\\') {
            if (i < dataLen) {
                const char next = data.at(i++);
                if (i < dataLen) {
                    const char after = data.at(i);
                    if ((next == '\n' && after == '\r') || (next == '\r' && after == '\n'))
                        ++i;
                }
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else { // ';'
            if (i == lineStart + 1) {
                while (i < dataLen && (ch = data.at(i)) != '\n' && ch != '\r')
                    ++i;
                while (i < dataLen && (traits(data.at(i)) & Space))
                    ++i;
                lineStart = i;
            } else if (!inQuotes) {
                --i;
                done = true;
            }
        }
    }
    dataPos = i;
    lineLen = i - lineStart;
    return lineLen > 0;
}

void chopTrailingSpaces(QString& text, int limit)
{
    int n = text.size() - 1;
    while (n >= limit && (text.at(n) == QLatin1Char(' ') || text.at(n) == QLatin1Char('\t')))
        text.truncate(n--);
}

// The value's text after unescaping, or its items when it is a comma-separated list.
QStringList unescapedValues(const QByteArray& data, int from, int to, bool utf8)
{
    static const char escapes[][2]
        = { { 'a', '\a' }, { 'b', '\b' }, { 'f', '\f' }, { 'n', '\n' }, { 'r', '\r' }, { 't', '\t' },
              { 'v', '\v' }, { '"', '"' }, { '?', '?' }, { '\'', '\'' }, { '\\', '\\' } };
    QStringList items;
    QString current;
    bool inQuotes = false;
    bool currentQuoted = false;
    int i = from;
    auto skipSpaces = [&] {
        while (i < to && (data.at(i) == ' ' || data.at(i) == '\t'))
            ++i;
    };
    auto isHex
        = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); };
    auto hexValue = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };

    skipSpaces();
    int chopLimit = current.size();
    bool endsInEscape = false; // a lone backslash at the end: the text is taken unchopped
    while (i < to) {
        const char ch = data.at(i);
        if (ch == '\\') {
            ++i;
            if (i >= to) {
                endsInEscape = true;
                break;
            }
            const char code = data.at(i++);
            bool plain = false;
            for (const auto& e : escapes) {
                if (code == e[0]) {
                    current += QLatin1Char(e[1]);
                    plain = true;
                    break;
                }
            }
            if (plain) {
                chopLimit = current.size();
                continue;
            }
            if (code == 'x' && i < to && isHex(data.at(i))) {
                quint32 value = 0;
                while (i < to && isHex(data.at(i)))
                    value = (value << 4) + quint32(hexValue(data.at(i++)));
                current += QChar(ushort(value & 0xFFFF));
            } else if (code >= '0' && code <= '7') {
                quint32 value = quint32(code - '0');
                while (i < to && data.at(i) >= '0' && data.at(i) <= '7')
                    value = (value << 3) + quint32(data.at(i++) - '0');
                current += QChar(ushort(value & 0xFFFF));
            } else if (code == '\n' || code == '\r') {
                if (i < to) {
                    const char next = data.at(i);
                    if ((next == '\n' || next == '\r') && next != code)
                        ++i;
                }
            }
            chopLimit = current.size();
        } else if (ch == '"') {
            ++i;
            currentQuoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipSpaces();
                chopLimit = current.size();
            }
        } else if (ch == ',' && !inQuotes) {
            if (!currentQuoted)
                chopTrailingSpaces(current, chopLimit);
            items.append(current);
            current.clear();
            currentQuoted = false;
            ++i;
            skipSpaces();
            chopLimit = 0;
        } else {
            int j = i + 1;
            while (j < to && data.at(j) != '\\' && data.at(j) != '"' && data.at(j) != ',')
                ++j;
            current += utf8 ? QString::fromUtf8(data.constData() + i, j - i)
                            : QString::fromLatin1(data.constData() + i, j - i);
            i = j;
        }
    }
    if (!currentQuoted && !endsInEscape)
        chopTrailingSpaces(current, chopLimit);
    items.append(current);
    return items;
}

// Whether Qt may be given this value: only "@Variant(...)" and "@DateTime(...)" go through
// its data-stream reader; our settings never write a date.
bool isSafeValue(const QString& value)
{
    if (!value.startsWith(QLatin1Char('@')) || !value.endsWith(QLatin1Char(')')))
        return true;
    if (value.startsWith(QLatin1String("@Variant(")))
        return isSafeVariant(value.mid(9).toLatin1());
    return !value.startsWith(QLatin1String("@DateTime("));
}

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return file.write(bytes) == bytes.size() && file.commit();
}

// A copy kept at an earlier damage (a file, or a link set aside as such) is never replaced by the
// next one: it moves to the first free damagedPath + ".1", ".2", ... False when something else
// is in the way and stays there.
// Nothing stands at path (not even a dangling link).
bool isFree(const QByteArray& path)
{
    struct stat st {
    };
    return ::lstat(path.constData(), &st) != 0 && errno == ENOENT;
}

// The first of base.1, base.2, ... base.999 that is free; empty when none is.
QByteArray firstFreeNumbered(const QByteArray& base)
{
    for (int n = 1; n <= 999; ++n) {
        const QByteArray aside = base + '.' + QByteArray::number(n);
        if (isFree(aside))
            return aside;
    }
    return QByteArray();
}

bool moveEarlierCopyAside(const QString& damagedPath)
{
    const QByteArray native = QFile::encodeName(damagedPath);
    struct stat st {
    };
    if (::lstat(native.constData(), &st) != 0)
        return errno == ENOENT;
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return false;
    const QByteArray aside = firstFreeNumbered(native);
    return !aside.isEmpty() && ::rename(native.constData(), aside.constData()) == 0;
}

// A file that is no settings file at all (or a link that is not followed) is renamed, a link as
// the link itself, to path + ".damaged"; the store then starts clean.
Outcome setAsideWhole(const QString& path)
{
    Outcome outcome;
    outcome.damaged = true;
    outcome.resetKeys = QStringList { QStringLiteral("*") };
    const QString damagedPath = path + QStringLiteral(".damaged");
    outcome.rewritten = moveEarlierCopyAside(damagedPath)
        && ::rename(QFile::encodeName(path).constData(), QFile::encodeName(damagedPath).constData()) == 0;
    outcome.kept = outcome.rewritten;
    qWarning().noquote() << QStringLiteral("Settings file [%1] is not a readable settings file%2")
                                .arg(path,
                                    outcome.rewritten ? QStringLiteral(", kept at [%1]").arg(damagedPath)
                                                      : QStringLiteral(" (%1)").arg(errnoText()));
    return outcome;
}

// The file is there but cannot be read: it is left as it is.
Outcome readFailed(const QString& path, const QString& why)
{
    Outcome outcome;
    outcome.cannotBeRead = true;
    qWarning().noquote() << QStringLiteral("Settings file [%1] cannot be read (%2)").arg(path, why);
    return outcome;
}

} // namespace

bool isSafeVariant(const QByteArray& stream)
{
    StreamReader reader(stream);
    return reader.variant(0);
}

QList<Damage> findDamage(const QByteArray& data, bool* unreadable)
{
    QList<Damage> damage;
    if (unreadable)
        *unreadable = false;
    int dataPos = 0;
    bool utf8 = false;
    if (data.startsWith("\xEF\xBB\xBF")) {
        utf8 = true;
        dataPos = 3;
    }
    QString section;
    int lineStart = 0;
    int lineLen = 0;
    int equalsPos = -1;
    while (readLine(data, dataPos, lineStart, lineLen, equalsPos)) {
        // QSettings cannot read a section name without its "]" or a line without "=": it
        // reports a format error and drops the line when it next writes the file.
        if (data.at(lineStart) == '[') {
            const int end = data.indexOf(']', lineStart);
            const bool open = end == -1 || end >= lineStart + lineLen;
            if (open && unreadable)
                *unreadable = true;
            section = QString::fromLatin1(data.mid(lineStart + 1, open ? lineLen - 1 : end - lineStart - 1))
                          .trimmed();
            continue;
        }
        if (equalsPos == -1) {
            if (unreadable)
                *unreadable = true;
            continue;
        }
        int keyEnd = equalsPos;
        while (keyEnd > lineStart && (data.at(keyEnd - 1) == ' ' || data.at(keyEnd - 1) == '\t'))
            --keyEnd;
        const QString key = QString::fromLatin1(data.mid(lineStart, keyEnd - lineStart));
        const QStringList values = unescapedValues(data, equalsPos + 1, lineStart + lineLen, utf8);
        for (const QString& value : values) {
            if (!isSafeValue(value)) {
                const bool topLevel = section.isEmpty()
                    || section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0;
                damage.append(
                    Damage { topLevel ? key : section + QLatin1Char('/') + key, lineStart, lineLen });
                break;
            }
        }
    }
    return damage;
}

QByteArray withoutDamage(const QByteArray& file, const QList<Damage>& damage)
{
    QByteArray kept;
    kept.reserve(file.size());
    int from = 0;
    for (const Damage& d : damage) {
        kept += file.mid(from, d.lineStart - from);
        from = d.lineStart + d.lineLength;
    }
    kept += file.mid(from);
    return kept;
}

Outcome repair(const QString& path)
{
    Outcome outcome;
    const QByteArray native = QFile::encodeName(path);
    struct stat st {
    };
    // A symbolic link is followed only to a regular file of this user; any other is set aside
    // itself (never written through), as a file that is no settings file.
    const bool link = ::lstat(native.constData(), &st) == 0 && S_ISLNK(st.st_mode);
    if (link && !(::stat(native.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()))
        return setAsideWhole(path);
    // Opened without blocking: a named pipe in the file's place must not hang the start.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // A socket or a device in the file's place is no settings file. A file that is there
        // but cannot be read is left as it is: nothing of it can be in use.
        if (::lstat(native.constData(), &st) != 0)
            return outcome; // missing
        if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
            return setAsideWhole(path);
        return readFailed(path, errnoText());
    }
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    QByteArray data;
    bool whole = !regular || st.st_size > MaxFileSize;
    QString readError;
    if (!whole) {
        QFile file;
        if (file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
            data = file.read(MaxFileSize + 1);
        // A read that fails part way (a failing disk) gives a part of the file, which must not
        // be taken for all of it.
        if (file.error() != QFileDevice::NoError)
            readError = file.errorString();
        whole = data.size() > MaxFileSize;
    }
    ::close(fd);
    if (!readError.isEmpty())
        return readFailed(path, readError);

    bool unreadable = false;
    const QList<Damage> damage = whole ? QList<Damage>() : findDamage(data, &unreadable);
    if (whole || unreadable)
        return setAsideWhole(path);

    const QString damagedPath = path + QStringLiteral(".damaged");
    if (damage.isEmpty())
        return outcome;
    outcome.damaged = true;
    for (const Damage& d : damage) {
        if (!outcome.resetKeys.contains(d.key))
            outcome.resetKeys.append(d.key);
    }
    outcome.sanitized = withoutDamage(data, damage);
    outcome.kept = moveEarlierCopyAside(damagedPath) && writeFile(damagedPath, data);
    outcome.rewritten = outcome.kept && writeFile(path, outcome.sanitized);
    qWarning().noquote() << QStringLiteral("Settings file [%1] damaged, reset: %2; %3")
                                .arg(path, outcome.resetKeys.join(QStringLiteral(", ")),
                                    outcome.rewritten
                                        ? QStringLiteral("the damaged file is kept at [%1]").arg(damagedPath)
                                        : QStringLiteral("the file could not be rewritten"));
    return outcome;
}

bool keepDamagedCopy(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.read(MaxFileSize + 1);
    // A file that fails to read (a failing disk) gives no copy: an empty or partial one kept in
    // its place would let the file be rewritten while its contents are lost.
    if (file.error() != QFileDevice::NoError)
        return false;
    const QString damagedPath = path + QStringLiteral(".damaged");
    return data.size() <= MaxFileSize && moveEarlierCopyAside(damagedPath) && writeFile(damagedPath, data);
}

bool lockCanBeTaken(const QString& path, int waitMs)
{
    const QString lockPath = path + QStringLiteral(".lock");
    const QByteArray native = QFile::encodeName(lockPath);
    struct stat st {
    };
    if (::lstat(native.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        // Into the first free name: what was set aside before stays, whatever it is.
        const QByteArray damaged = native + ".damaged";
        const QByteArray aside = isFree(damaged) ? damaged : firstFreeNumbered(damaged);
        const bool moved = !aside.isEmpty() && ::rename(native.constData(), aside.constData()) == 0;
        qWarning().noquote() << QStringLiteral("Settings lock [%1] is no lock file%2")
                                    .arg(lockPath,
                                        moved ? QStringLiteral(", moved to [%1]").arg(QFile::decodeName(aside))
                                              : QStringLiteral(" (%1)").arg(errnoText()));
    }
    QLockFile lock(lockPath);
    if (lock.tryLock(waitMs)) {
        lock.unlock();
        return true;
    }
    // A lock that cannot be made at all (no folder, no right to write there) fails QSettings'
    // own try at once as well.
    return lock.error() != QLockFile::LockFailedError;
}

namespace
{

QByteArray stampOf(const struct stat& st)
{
    return QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino)) + ':'
        + QByteArray::number(qint64(st.st_size)) + ':' + QByteArray::number(qint64(st.st_mtim.tv_sec)) + '.'
        + QByteArray::number(qint64(st.st_mtim.tv_nsec));
}

} // namespace

QByteArray fileStamp(const QString& path)
{
    struct stat st {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QByteArray();
    return stampOf(st);
}

bool restrictToOwner(const QString& path, QByteArray* stamp)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {
    };
    // Through a link to the file it names: the check at start follows only a link to a regular
    // file of this user, and that file is the settings file.
    if (::stat(native.constData(), &st) == 0) {
        if (S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) != 0)
            ::chmod(native.constData(), st.st_mode & 0700);
        // A mode change leaves the stamp as it is.
        if (stamp)
            *stamp = stampOf(st);
        return true;
    }
    if (stamp)
        stamp->clear();
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo::exists(folder)) {
        if (!QDir().mkpath(folder))
            return false;
        QFile::setPermissions(
            folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    if (stamp && ::fstat(fd, &st) == 0)
        *stamp = stampOf(st);
    ::close(fd);
    return true;
}

} // namespace SettingsFileCheck
