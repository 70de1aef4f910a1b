// The web service client: the result record, the service's JSON envelope, HTTP errors,
// the request methods and the reachability probe, against the in-process HTTP server.
#include "app/ApiManager.h"
#include "common/qt_wait.h"
#include "support/HttpTestServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

#include <optional>

// Readable QString values in assertion messages.
static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

using testsupport::HttpTestServer;

namespace {

struct Reply {
    API::Result result;
    QJsonObject object;
    int calls = 0;
};

class ApiManagerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.isListening()); }

    Reply call(API::Method method, const QByteArray& path, const QJsonObject& body = {})
    {
        Reply reply;
        manager.apiCall(method, server.url(path), body, [&reply](API::Result r, QJsonObject o) {
            reply.result = r;
            reply.object = o;
            ++reply.calls;
        });
        EXPECT_TRUE(testutil::waitUntil([&] { return reply.calls > 0; }, 5000));
        testutil::spin(5);
        EXPECT_EQ(reply.calls, 1);
        return reply;
    }

    std::optional<bool> probe(const QUrl& url)
    {
        std::optional<bool> answer;
        int calls = 0;
        manager.isReachable(url, [&](bool ok) {
            answer = ok;
            ++calls;
        });
        EXPECT_TRUE(testutil::waitUntil([&] { return calls > 0; }, 5000));
        EXPECT_EQ(calls, 1);
        return answer;
    }

    HttpTestServer server;
    API::Manager manager;
};

} // namespace

TEST(ApiResult, CodesTextsAndStringForm)
{
    API::Result ok;
    EXPECT_EQ(ok.code, 0);
    EXPECT_EQ(ok.text, "Ok");
    EXPECT_EQ(ok.domain, "hu.orvixtool.download.errorDomain");
    EXPECT_EQ(QString(API::Result::ErrorDomain), ok.domain);
    EXPECT_EQ(API::Result(1).text, "Failed");
    EXPECT_EQ(API::Result(2).text, "Aborted");
    EXPECT_EQ(API::Result(3).text, "Unknwon error");
    EXPECT_EQ(API::Result(-1).text, "Unknwon error");
    EXPECT_EQ(API::Result(1, "Host not found").toStringHelper(),
              "hu.orvixtool.download.errorDomain:1 \"Failed\" (Host not found)");
    EXPECT_EQ(API::Result(2).toStringHelper(), "hu.orvixtool.download.errorDomain:2 \"Aborted\" ()");

    API::Result r(1, "x");
    r.code = 0;
    r.finalizeErrorTexts();
    EXPECT_EQ(r.text, "Ok");
    EXPECT_EQ(r.detail, "x");
}

TEST(ApiService, NoBuiltInHostAndOnlyTrustedAddresses)
{
    ASSERT_TRUE(API::setServiceBaseUrl(QUrl()));
    EXPECT_TRUE(API::serviceBaseUrl().isEmpty());
    EXPECT_TRUE(API::serviceUrl("/api/v1/software/ox/mac/2.6/info").isEmpty());

    EXPECT_TRUE(API::setServiceBaseUrl(QUrl("https://updates.example.org/")));
    EXPECT_EQ(API::serviceUrl("/api/v1/firmware/link/1/2.3/info").toString(),
        "https://updates.example.org/api/v1/firmware/link/1/2.3/info");
    // Plain http only to this computer; anything else is refused and changes nothing.
    for (const char* refused : { "http://updates.example.org", "http://10.0.0.1:80", "ftp://127.0.0.1",
             "file:///tmp/x", "https://", "http://127.0.0.1.example.org" })
        EXPECT_FALSE(API::setServiceBaseUrl(QUrl(refused))) << refused;
    EXPECT_EQ(API::serviceBaseUrl(), QUrl("https://updates.example.org/"));
    for (const char* loopback : { "http://127.0.0.1:4711/", "http://[::1]:80", "http://localhost:8080" })
        EXPECT_TRUE(API::setServiceBaseUrl(QUrl(loopback))) << loopback;
    API::setServiceBaseUrl(QUrl());
}

TEST_F(ApiManagerTest, UntrustedAddressesAreNeverAsked)
{
    bool reachable = true;
    manager.isReachable(QUrl("http://192.0.2.1/x"), [&](bool r) { reachable = r; });
    EXPECT_FALSE(reachable);
    API::Result result;
    manager.apiGet(QUrl("http://192.0.2.1/x"), [&](API::Result r, QJsonObject) { result = r; });
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(server.requestCount(), 0);
}

TEST_F(ApiManagerTest, OnlyTheNumberOneIsSuccess)
{
    struct Case {
        const char* body;
        int code;
        const char* detail;
    };
    const Case cases[] = {
        {R"({"result":1,"version":{"major":2}})", 0, ""},
        {R"({"result":1.0})", 0, ""},
        {R"({"result":true})", 1, ""},
        {R"({"result":"1"})", 1, ""},
        {R"({"result":2})", 1, ""},
        {R"({"result":0,"err":{"message":"Unknown platform"}})", 1, "Unknown platform"},
        {R"({"result":"ok","err":{"message":"Nope"}})", 1, "Nope"},
        // The service's words go into the log as one line of their own.
        {R"({"result":0,"err":{"message":"bad\n12:00:00.000 [Info]: fine\r\u0007\u2028!"}})", 1,
            "bad 12:00:00.000 [Info]: fine   !"},
        {R"({"result":0,"err":"flat text"})", 1, ""},
        {R"({"err":{"message":7}})", 1, ""},
        {R"({})", 1, ""},
        {R"([1,2])", 1, ""},
        {"not json at all", 1, ""},
        {"", 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        server.route("/info", HttpTestServer::Response::bytes(c.body, "application/json"));
        const Reply r = call(API::Method::Get, "/info");
        EXPECT_EQ(r.result.code, c.code);
        EXPECT_EQ(r.result.detail, QString(c.detail));
        EXPECT_EQ(r.result.domain, API::Result::ErrorDomain);
        // The whole object comes back whenever the body parsed as one.
        EXPECT_EQ(r.object, QJsonDocument::fromJson(c.body).object());
    }
    const QString longMessage(200000, QLatin1Char('m'));
    server.route("/info",
        HttpTestServer::Response::json({{"result", 0}, {"err", QJsonObject{{"message", longMessage}}}}));
    const Reply r = call(API::Method::Get, "/info");
    EXPECT_LE(r.result.detail.size(), API::Manager::MaxMessageChars);
    EXPECT_TRUE(longMessage.startsWith(r.result.detail.left(100)));
}

TEST_F(ApiManagerTest, HttpErrorStatusFailsWithAnEmptyObject)
{
    for (int status : {404, 500, 403}) {
        SCOPED_TRACE(status);
        server.route("/info", HttpTestServer::Response::json({{"result", 1}}, status));
        const Reply r = call(API::Method::Get, "/info");
        EXPECT_EQ(r.result.code, 1);
        EXPECT_FALSE(r.result.detail.isEmpty());
        EXPECT_TRUE(r.object.isEmpty());
    }
    // Nor is the body of a redirect, which is not followed.
    server.route("/info", HttpTestServer::Response::json({{"result", 1}}, 302).header("Location", "/elsewhere"));
    const Reply redirected = call(API::Method::Get, "/info");
    EXPECT_EQ(redirected.result.code, 1);
    EXPECT_EQ(redirected.result.detail, "HTTP status 302, redirect not followed");
    EXPECT_TRUE(redirected.object.isEmpty());
    // A route that does not exist: the server's error envelope is not read either.
    const Reply missing = call(API::Method::Get, "/nowhere");
    EXPECT_EQ(missing.result.code, 1);
    EXPECT_NE(missing.result.detail, "Not found");
    EXPECT_TRUE(missing.object.isEmpty());
}

// A service that goes silent (the network lost on the way), or that cannot be reached, fails.
TEST_F(ApiManagerTest, SilenceAndConnectionFailureAreFailures)
{
    manager.setStallMs(testutil::scaled(200));
    server.route("/silent", HttpTestServer::Response::hang());
    for (const char* path : { "/silent", "/info" }) {
        const QUrl url = server.url(path);
        if (QByteArray(path) == "/info")
            server.close();
        Reply reply;
        manager.apiGet(url, [&](API::Result r, QJsonObject o) {
            reply.result = r;
            reply.object = o;
            ++reply.calls;
        });
        ASSERT_TRUE(testutil::waitUntil([&] { return reply.calls > 0; }, 5000)) << path;
        EXPECT_EQ(reply.result.code, 1);
        EXPECT_FALSE(reply.result.detail.isEmpty());
        EXPECT_TRUE(reply.object.isEmpty());
    }
}

// A server that sends a byte now and then is never silent for long: the call still ends, as a
// failure, once its total time is up.
TEST_F(ApiManagerTest, ATricklingAnswerFailsWhenItsTimeIsUp)
{
    manager.setStallMs(testutil::scaled(500));
    manager.setTotalMs(testutil::scaled(1500));
    server.route("/info",
        HttpTestServer::Response::bytes(QByteArray(int(API::Manager::MaxReplyBytes), ' '))
            .slow(1, testutil::scaled(100)));
    Reply reply;
    manager.apiGet(server.url("/info"), [&](API::Result r, QJsonObject o) {
        reply.result = r;
        reply.object = o;
        ++reply.calls;
    });
    ASSERT_TRUE(testutil::waitUntil([&] { return reply.calls > 0; }, 6000));
    testutil::spin(5);
    EXPECT_EQ(reply.calls, 1);
    EXPECT_EQ(reply.result.code, 1);
    EXPECT_EQ(reply.result.detail, QString("No complete reply within %1 s").arg((testutil::scaled(1500) + 999) / 1000));
    EXPECT_TRUE(reply.object.isEmpty());

    // The probe is held to the same total time.
    manager.setStallMs(testutil::scaled(60000));
    server.route("/silent", HttpTestServer::Response::hang());
    EXPECT_EQ(probe(server.url("/silent")), false);
}

// A runaway body is cut off at the limit instead of being read into memory to its end.
TEST_F(ApiManagerTest, AnAnswerLargerThanTheLimitFails)
{
    const int max = int(API::Manager::MaxReplyBytes);
    auto answer = [](int n) { return R"({"result":1,"pad":")" + QByteArray(n - 21, 'x') + R"("})"; };
    for (int size : { max, max + 1, 16 * max }) {
        server.route(
            "/info", HttpTestServer::Response::bytes(answer(size)).withoutLength().slow(64 * 1024, 1));
        const Reply r = call(API::Method::Get, "/info");
        EXPECT_EQ(r.result.code, size > max ? 1 : 0) << size;
    }
    server.route("/info", HttpTestServer::Response::bytes(answer(max + 1))); // announced
    EXPECT_EQ(call(API::Method::Get, "/info").result.detail, QString("Reply larger than %1 bytes").arg(max));
}

TEST_F(ApiManagerTest, EachMethodSendsItsVerbAndBody)
{
    const QJsonObject body{{"serial", "OX-0042"}, {"count", 3}};
    struct Case {
        API::Method method;
        QByteArray verb;
        bool hasBody;
    };
    const Case cases[] = {
        {API::Method::Head, "HEAD", false},   {API::Method::Get, "GET", false},
        {API::Method::Post, "POST", true},    {API::Method::Put, "PUT", true},
        {API::Method::Delete, "DELETE", false}, {API::Method::Options, "OPTIONS", true},
    };
    server.route("/api/echo", HttpTestServer::Response::json({{"result", 1}}));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.verb.constData());
        server.clearRequests();
        const Reply r = call(c.method, "/api/echo", body);
        ASSERT_EQ(server.requests().size(), 1);
        const auto req = server.requests().first();
        EXPECT_EQ(req.method, c.verb);
        if (c.hasBody) {
            EXPECT_EQ(req.header("content-type"), "application/json");
            EXPECT_EQ(req.body, QJsonDocument(body).toJson(QJsonDocument::Indented));
        } else {
            EXPECT_TRUE(req.body.isEmpty());
            EXPECT_TRUE(req.header("content-type").isEmpty());
        }
        EXPECT_TRUE(req.header("authorization").isEmpty());
        if (c.method != API::Method::Head) {
            EXPECT_EQ(r.result.code, 0);
        }
    }
}

TEST_F(ApiManagerTest, GetAndPostShortcuts)
{
    server.route("/api/v1/software/ox/mac/2.6/info",
                 HttpTestServer::Response::json({{"result", 1}, {"release", QJsonObject{{"installer", "OrvixTools.pkg"}}}}));
    int calls = 0;
    manager.apiGet(server.url("/api/v1/software/ox/mac/2.6/info"), [&](API::Result r, QJsonObject o) {
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(o["release"].toObject()["installer"].toString(), "OrvixTools.pkg");
        ++calls;
    });
    manager.apiPost(server.url("/api/v1/software/ox/mac/2.6/info"), {{"a", 1}},
                    [&](API::Result r, QJsonObject) {
                        EXPECT_EQ(r.code, 0);
                        ++calls;
                    });
    ASSERT_TRUE(testutil::waitUntil([&] { return calls == 2; }, 5000));
    QList<QByteArray> verbs;
    for (const auto& req : server.requests())
        verbs << req.method;
    std::sort(verbs.begin(), verbs.end());
    EXPECT_EQ(verbs, (QList<QByteArray>{"GET", "POST"}));
}

TEST_F(ApiManagerTest, ReachabilityProbe)
{
    server.route("/api/v1/software/ox/mac/2.6/info", HttpTestServer::Response::json({{"result", 0}}));
    EXPECT_EQ(probe(server.url("/api/v1/software/ox/mac/2.6/info")), true);
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().method, "HEAD");

    // A status the network layer reports as an error makes the host unreachable for the probe.
    EXPECT_EQ(probe(server.url("/nowhere")), false);

    const QUrl gone = server.url("/api/v1/software/ox/mac/2.6/info");
    server.close();
    EXPECT_EQ(probe(gone), false);
}

TEST_F(ApiManagerTest, PendingRequestsDieQuietlyWithTheManager)
{
    server.route("/slow", HttpTestServer::Response::hang());
    int calls = 0;
    {
        API::Manager local;
        local.apiGet(server.url("/slow"), [&](API::Result, QJsonObject) { ++calls; });
        local.isReachable(server.url("/slow"), [&](bool) { ++calls; });
        ASSERT_TRUE(testutil::waitUntil([&] { return server.requestCount("/slow") == 2; }, 5000));
    }
    testutil::spin(50);
    EXPECT_EQ(calls, 0);
}
