#pragma once
// A small HTTP/1.1 server for tests, inside the test process: a QTcpServer on 127.0.0.1 at a
// random port, answering each request from a route table that the test scripts. It runs on
// the thread that creates it, so the test pumps the event loop (testutil::waitUntil) while
// the client under test talks to it.
//
//   testsupport::HttpTestServer server;
//   server.route("/api/v1/software/ox/mac/2.6/info",
//                HttpTestServer::Response::json({{"result", 1}}));          // GET and HEAD
//   server.route("/api/v1/software/ox/mac/2.6/download",
//                HttpTestServer::Response::redirect("/files/OrvixTools.pkg"));
//   server.route("/files/OrvixTools.pkg",
//                HttpTestServer::Response::bytes(data).slow(1024, 20));    // 1 KiB every 20 ms
//   API::setServiceBaseUrl(server.baseUrl());
//
// Every answer closes its connection. Unknown paths get 404 with the service's error
// envelope {"result":0,"err":{"message":"Not found"}}.
#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>

class QTcpServer;
class QTcpSocket;

namespace testsupport {

class HttpTestServer : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;                   // "GET", "HEAD", "POST", ...
        QByteArray path;                     // as sent (percent-encoded), without the query
        QByteArray query;                    // after '?', empty when none
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;

        QByteArray header(const QByteArray& name) const { return headers.value(name.toLower()); }
    };

    struct Response {
        int status = 200;
        QByteArray reason;                   // empty: the usual phrase of the status
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;                     // never sent to HEAD requests
        bool sendContentLength = true;       // false: the body ends where the connection closes
        qint64 claimedLength = -1;           // >= 0: the Content-Length sent instead of the body's size
        int dropAfter = -1;                  // >= 0: close the connection after this many body bytes
        int chunkSize = 0;                   // > 0: send the body in pieces of this size...
        int chunkDelayMs = 0;                // ...this many ms apart
        bool noAnswer = false;               // keep the connection open and never answer

        static Response json(const QJsonObject& object, int status = 200);
        static Response bytes(const QByteArray& body,
                              const QByteArray& contentType = "application/octet-stream");
        static Response redirect(const QByteArray& location, int status = 302);
        static Response withStatus(int status, const QByteArray& body = QByteArray());
        static Response hang();

        Response& header(const QByteArray& name, const QByteArray& value);
        // Pieces of chunkBytes every delayMs.
        Response& slow(int chunkBytes, int delayMs);
        // No Content-Length: the client learns the end only from the closed connection.
        Response& withoutLength();
        // Claims the full length but closes the connection after bytes of the body.
        Response& brokenAfter(int bytes);
    };

    using Handler = std::function<Response(const Request&)>;

    explicit HttpTestServer(QObject* parent = nullptr);
    ~HttpTestServer() override;

    bool isListening() const;
    quint16 port() const;
    // "http://127.0.0.1:<port>"
    QUrl baseUrl() const;
    // baseUrl followed by path ("/files/a.bin")
    QUrl url(const QByteArray& path) const;

    // Answers requests for path (compared as sent, query ignored). An empty method matches
    // every method; a method-specific route wins over it. A HEAD request is answered with
    // the headers of its route and no body. A later route for the same method and path
    // replaces the earlier one.
    void route(const QByteArray& path, const Response& response);
    void route(const QByteArray& method, const QByteArray& path, const Response& response);
    void route(const QByteArray& path, Handler handler);
    void route(const QByteArray& method, const QByteArray& path, Handler handler);
    void clearRoutes();

    // Every request received so far, in arrival order.
    QList<Request> requests() const { return m_requests; }
    int requestCount(const QByteArray& path = QByteArray()) const;
    void clearRequests() { m_requests.clear(); }

    // Stops listening and drops every open connection (the host goes away).
    void close();

signals:
    void requestReceived(const testsupport::HttpTestServer::Request& request);

private:
    void onNewConnection();
    void onReadable(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const Request& request);
    void sendBody(QPointer<QTcpSocket> socket, QByteArray body, int chunkSize, int delayMs,
                  bool closeAtEnd);
    Handler find(const QByteArray& method, const QByteArray& path) const;

    QTcpServer* m_server;
    QHash<QByteArray, Handler> m_routes; // key: method + ' ' + path
    QList<Request> m_requests;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

} // namespace testsupport
