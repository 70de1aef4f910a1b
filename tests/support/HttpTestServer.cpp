#include "support/HttpTestServer.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace testsupport {

namespace {

QByteArray reasonFor(int status)
{
    switch (status) {
    case 200: return "OK";
    case 201: return "Created";
    case 204: return "No Content";
    case 300: return "Multiple Choices";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 304: return "Not Modified";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

QByteArray routeKey(const QByteArray& method, const QByteArray& path)
{
    return method.toUpper() + ' ' + path;
}

} // namespace

// --- Response builders -------------------------------------------------------------------

HttpTestServer::Response HttpTestServer::Response::json(const QJsonObject& object, int status)
{
    Response r;
    r.status = status;
    r.body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    r.header("Content-Type", "application/json");
    return r;
}

HttpTestServer::Response HttpTestServer::Response::bytes(const QByteArray& body,
                                                         const QByteArray& contentType)
{
    Response r;
    r.body = body;
    r.header("Content-Type", contentType);
    return r;
}

HttpTestServer::Response HttpTestServer::Response::redirect(const QByteArray& location, int status)
{
    Response r;
    r.status = status;
    r.header("Location", location);
    return r;
}

HttpTestServer::Response HttpTestServer::Response::withStatus(int status, const QByteArray& body)
{
    Response r;
    r.status = status;
    r.body = body;
    return r;
}

HttpTestServer::Response HttpTestServer::Response::hang()
{
    Response r;
    r.noAnswer = true;
    return r;
}

HttpTestServer::Response& HttpTestServer::Response::header(const QByteArray& name, const QByteArray& value)
{
    headers.append(qMakePair(name, value));
    return *this;
}

HttpTestServer::Response& HttpTestServer::Response::slow(int chunkBytes, int delayMs)
{
    chunkSize = chunkBytes;
    chunkDelayMs = delayMs;
    return *this;
}

HttpTestServer::Response& HttpTestServer::Response::withoutLength()
{
    sendContentLength = false;
    return *this;
}

HttpTestServer::Response& HttpTestServer::Response::brokenAfter(int bytes)
{
    dropAfter = bytes;
    return *this;
}

// --- Server ------------------------------------------------------------------------------

HttpTestServer::HttpTestServer(QObject* parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    m_server->listen(QHostAddress::LocalHost, 0);
    connect(m_server, &QTcpServer::newConnection, this, &HttpTestServer::onNewConnection);
}

HttpTestServer::~HttpTestServer()
{
    close();
}

bool HttpTestServer::isListening() const
{
    return m_server->isListening();
}

quint16 HttpTestServer::port() const
{
    return m_server->serverPort();
}

QUrl HttpTestServer::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port()));
}

QUrl HttpTestServer::url(const QByteArray& path) const
{
    return QUrl::fromEncoded(baseUrl().toEncoded() + path);
}

void HttpTestServer::route(const QByteArray& path, const Response& response)
{
    route(QByteArray(), path, response);
}

void HttpTestServer::route(const QByteArray& method, const QByteArray& path, const Response& response)
{
    route(method, path, [response](const Request&) { return response; });
}

void HttpTestServer::route(const QByteArray& path, Handler handler)
{
    route(QByteArray(), path, std::move(handler));
}

void HttpTestServer::route(const QByteArray& method, const QByteArray& path, Handler handler)
{
    m_routes.insert(routeKey(method, path), std::move(handler));
}

void HttpTestServer::clearRoutes()
{
    m_routes.clear();
}

int HttpTestServer::requestCount(const QByteArray& path) const
{
    if (path.isEmpty())
        return m_requests.size();
    int n = 0;
    for (const auto& r : m_requests)
        n += r.path == path ? 1 : 0;
    return n;
}

void HttpTestServer::close()
{
    m_server->close();
    const auto sockets = m_buffers.keys();
    m_buffers.clear();
    for (QTcpSocket* s : sockets) {
        s->disconnect(this);
        s->abort();
        s->deleteLater();
    }
}

HttpTestServer::Handler HttpTestServer::find(const QByteArray& method, const QByteArray& path) const
{
    auto it = m_routes.constFind(routeKey(method, path));
    if (it != m_routes.constEnd())
        return *it;
    if (method == "HEAD") {
        it = m_routes.constFind(routeKey("GET", path));
        if (it != m_routes.constEnd())
            return *it;
    }
    it = m_routes.constFind(routeKey(QByteArray(), path));
    if (it != m_routes.constEnd())
        return *it;
    return Handler();
}

void HttpTestServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        m_buffers.insert(socket, QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void HttpTestServer::onReadable(QTcpSocket* socket)
{
    auto it = m_buffers.find(socket);
    if (it == m_buffers.end())
        return;
    QByteArray& buffer = *it;
    buffer += socket->readAll();

    const int headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    Request request;
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.method = first.value(0);
    const QByteArray target = first.value(1);
    const int q = target.indexOf('?');
    request.path = q < 0 ? target : target.left(q);
    request.query = q < 0 ? QByteArray() : target.mid(q + 1);
    if (request.path.startsWith("http://")) // absolute form
        request.path = QUrl::fromEncoded(request.path).path(QUrl::FullyEncoded).toUtf8();
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const int colon = line.indexOf(':');
        if (colon > 0)
            request.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    const int length = request.header("content-length").toInt();
    if (buffer.size() < headerEnd + 4 + length)
        return; // the body is still on its way
    request.body = buffer.mid(headerEnd + 4, length);
    buffer.clear();
    // One request per connection: the answer closes it.
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);

    m_requests.append(request);
    emit requestReceived(request);
    answer(socket, request);
}

void HttpTestServer::answer(QTcpSocket* socket, const Request& request)
{
    const Handler handler = find(request.method, request.path);
    Response response;
    if (handler) {
        response = handler(request);
    } else {
        response = Response::json(
            QJsonObject{{"result", 0}, {"err", QJsonObject{{"message", "Not found"}}}}, 404);
    }
    if (response.noAnswer)
        return;

    const bool head = request.method == "HEAD";
    QByteArray out;
    out += "HTTP/1.1 " + QByteArray::number(response.status) + ' '
        + (response.reason.isEmpty() ? reasonFor(response.status) : response.reason) + "\r\n";
    for (const auto& h : qAsConst(response.headers))
        out += h.first + ": " + h.second + "\r\n";
    if (response.sendContentLength) {
        const qint64 length = response.claimedLength >= 0 ? response.claimedLength : response.body.size();
        out += "Content-Length: " + QByteArray::number(length) + "\r\n";
    }
    out += "Connection: close\r\n\r\n";
    socket->write(out);

    QByteArray body = head ? QByteArray() : response.body;
    if (response.dropAfter >= 0)
        body = body.left(response.dropAfter); // the headers went out with the whole size
    sendBody(QPointer<QTcpSocket>(socket), body, response.chunkSize, response.chunkDelayMs, true);
}

void HttpTestServer::sendBody(QPointer<QTcpSocket> socket, QByteArray body, int chunkSize,
                              int delayMs, bool closeAtEnd)
{
    if (!socket)
        return;
    if (chunkSize <= 0 || body.size() <= chunkSize) {
        socket->write(body);
        if (closeAtEnd)
            socket->disconnectFromHost();
        return;
    }
    socket->write(body.left(chunkSize));
    socket->flush();
    const QByteArray rest = body.mid(chunkSize);
    QTimer::singleShot(delayMs, this, [this, socket, rest, chunkSize, delayMs, closeAtEnd] {
        sendBody(socket, rest, chunkSize, delayMs, closeAtEnd);
    });
}

} // namespace testsupport
