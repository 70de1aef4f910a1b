#pragma once
// The single-instance signal between two copies of the application: the running copy listens on
// a local server; a second copy connects, sends the byte 0x01 (show or hide the main window) and
// exits.
#include <QString>

class QLocalServer;

namespace InstanceSignal {

// The one byte a second copy sends: toggle the main window.
constexpr char kToggleByte = 0x01;

// The name of the single-instance guard and of the local server: "OrvixTools" followed by the
// user's id, so that each user of a shared machine runs a copy of their own (the temporary
// folder that holds the guard's key file and the server's socket is shared between users here).
// The environment variable ORVIXTOOLS_INSTANCE_NAME replaces it; tests use it to keep apart.
QString name();

// Makes server listen under name, reachable by this user only. A socket file left behind by a
// crashed copy is removed first, so call this only once the guard has been won. Returns whether
// the server listens.
bool listen(QLocalServer& server, const QString& name);

// The second copy's side: connects to the server name, writes the single byte 0x01 and
// disconnects, waiting up to timeoutMs for each step. Returns whether the byte was written.
// Needs no application object.
bool send(const QString& name, int timeoutMs = 500);

} // namespace InstanceSignal
