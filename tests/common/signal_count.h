#pragma once
// Counts the emissions of one Qt signal while it lives.
#include <QObject>

namespace testutil {

struct SignalCount {
    template <typename Object, typename Signal>
    SignalCount(Object* object, Signal signal)
    {
        connection = QObject::connect(object, signal, [this]() { ++count; });
    }
    ~SignalCount() { QObject::disconnect(connection); }
    SignalCount(const SignalCount&) = delete;
    SignalCount& operator=(const SignalCount&) = delete;

    int count = 0;
    QMetaObject::Connection connection;
};

} // namespace testutil
