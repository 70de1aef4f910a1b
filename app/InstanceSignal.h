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
// user's id. The environment variable ORVIXTOOLS_INSTANCE_NAME replaces it; tests use it to keep
// apart.
QString name();

// Where the server of name listens: name itself when it is an absolute path, otherwise name
// inside this user's private folder (never the shared temporary folder, where another account
// could take the name first). Empty when no private folder can be had.
QString socketPath(const QString& name);

// Makes server listen under socketPath(name), reachable by this user only. A socket file left behind by a
// crashed copy is removed first, so call this only once the guard has been won. Returns whether
// the server listens.
bool listen(QLocalServer& server, const QString& name);

// The second copy's side: connects to the server name, writes the single byte 0x01 and
// disconnects, waiting up to timeoutMs for each step. A server that is not there yet (the
// running copy is still starting) is asked again until serverWaitMs has passed. Returns whether
// the byte was written. Needs no application object.
bool send(const QString& name, int timeoutMs = 500, int serverWaitMs = 0);

} // namespace InstanceSignal
