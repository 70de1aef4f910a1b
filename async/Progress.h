#pragma once
// Progress of long dongle operations: a fraction with a title and a message, and optionally a
// list of named items, reported to a delegate.
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

namespace Progress {
Q_NAMESPACE

enum Flag : quint32 {
    None = 0,
    Infinite = 1, // busy indicator without a value
    Finite = 2,   // value from 0 to 1
};
Q_DECLARE_FLAGS(Flags, Flag)
Q_FLAG_NS(Flags)

class Context;

// Receiver of progress reports.
class Delegate {
public:
    virtual ~Delegate();
    virtual void progressUpdate(const Context& context) = 0;
};

class Context {
public:
    explicit Context(Delegate* delegate = nullptr);
    virtual ~Context();

    // Empties the items, sets the title, a null message, the flags and value 0; notifies the
    // delegate only when flags holds Infinite.
    void start(const QString& title, Flags flags);

    // Each stores its value and then notifies the delegate.
    virtual void setTitle(const QString& title);
    virtual void setMessage(const QString& message);
    virtual void setFlags(Flags flags);
    virtual void setProgress(double value);

    // Empties the items, the title and the message, sets flags and value to 0, and notifies
    // the delegate (the closing step of a multi-step operation).
    void clear();

    // Calls the delegate's progressUpdate when there is a delegate.
    void notify();

    Delegate* delegate = nullptr;
    QMap<QString, QString> steps; // item key -> display text
    QList<QString> stepKeys;      // item keys in the order added
    QString currentStep;
    QString title;
    QString message;
    Flags flags = None;
    double value = 0.0;
};

} // namespace Progress

Q_DECLARE_OPERATORS_FOR_FLAGS(Progress::Flags)
