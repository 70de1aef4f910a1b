#pragma once
// A settings file is checked before the settings store reads it. QSettings turns every
// "@Variant(...)" value into a QVariant through Qt's data-stream reader, which trusts the
// counts and type ids it finds: a damaged list count or type byte makes it allocate gigabytes
// or read through wild pointers. Here every such value is read first by a small bounded reader
// that knows only the types our settings write; a value that fails it never reaches Qt.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace SettingsFileCheck
{

// Nesting of lists and maps accepted in one value (the profile list is a list of maps).
constexpr int MaxDepth = 8;
// A settings file larger than this is not read at all.
constexpr qint64 MaxFileSize = 4 * 1024 * 1024;

// True when stream (the bytes after "@Variant(", data-stream version Qt 4.0) starts with one
// value made only of lists, maps, strings, byte arrays, integers, bools, floats and doubles,
// each count and length within the bytes present and nesting at most MaxDepth.
bool isSafeVariant(const QByteArray& stream);

// One line of a settings file whose value must not be handed to Qt.
struct Damage {
    QString key; // "profile/list"; top-level keys without a group
    int lineStart = 0; // the line's bytes in the file
    int lineLength = 0;
};

// The values of an INI file, found the way QSettings finds them, that fail isSafeVariant
// (or that Qt would read through its data-stream reader in some other way). unreadable (when
// given) tells whether QSettings would find lines it cannot parse at all.
QList<Damage> findDamage(const QByteArray& file, bool* unreadable = nullptr);

// The file without the damaged lines; every other byte stays as it is.
QByteArray withoutDamage(const QByteArray& file, const QList<Damage>& damage);

struct Outcome {
    bool damaged = false;
    // The keys whose values were dropped; "*" when the whole file was set aside (it is no
    // regular file, it is larger than MaxFileSize, or QSettings cannot parse it).
    QStringList resetKeys;
    // The file without its damaged values.
    QByteArray sanitized;
    // Whether the damaged file was kept aside and the file rewritten (or set aside whole).
    bool rewritten = false;
    // Whether the damaged file (or a copy) is kept as path + ".damaged".
    bool kept = false;
    // The file is there but cannot be read (no right to, a failing disk): it is no damage, but
    // nothing of it can be in use, and it must not be written over with what is.
    bool cannotBeRead = false;
};

// Checks the settings file at path before it is opened. A readable file is left byte for
// byte as it is (nothing damaged). A damaged one is kept as path + ".damaged" (an older copy
// moving to ".damaged.1", ".damaged.2", ...) and rewritten without its damaged values.
Outcome repair(const QString& path);

// Keeps the file as it is now at path + ".damaged" (an older copy moving aside, owner-only).
// Returns whether the copy was written.
bool keepDamagedCopy(const QString& path);

// How long a save waits for the lock on the settings file (another writer holds it for
// milliseconds).
constexpr int LockWaitMs = 1000;

// QSettings takes path + ".lock" before it writes the file and waits for it without a time-out,
// so a lock that is never given up hangs the save. A lock that is no regular file (a folder, a
// link: no writer makes one) is moved aside first, to path + ".lock.damaged" or the first free
// ".lock.damaged.1", ".lock.damaged.2", ... Returns false when someone still holds the lock
// after waitMs: the file is then not to be written now.
bool lockCanBeTaken(const QString& path, int waitMs = LockWaitMs);

// What tells a file from the one read or written before: device, inode, size and time (QSettings
// itself looks at size and time only). Empty when there is no file.
QByteArray fileStamp(const QString& path);

// Makes the file owner-only: creates it empty (mode 0600, its folder 0700) when it is missing,
// and closes an existing file of this user to others. Returns whether the file is there;
// stamp (when given) becomes its fileStamp, from the same look at the file.
bool restrictToOwner(const QString& path, QByteArray* stamp = nullptr);

} // namespace SettingsFileCheck
