#pragma once
// Client of the maker's web service: a reachability probe, JSON requests with the service's
// envelope ("result" 1 is success, otherwise "err"."message" says why) and file downloads.
// Every outcome arrives once, through a callback on the GUI thread.
#include <QJsonObject>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace API {

class DownloadTask;

// The outcome of one request or download; the same fields and text form as a device result.
class Result {
public:
    static constexpr const char ErrorDomain[] = "hu.orvixtool.download.errorDomain";

    enum Code {
        Ok = 0,
        Failed = 1,
        Aborted = 2,
    };

    // Code 0 with its domain and text.
    Result();
    // The given code with the domain and the text of the code filled in, then the detail.
    explicit Result(int code, const QString& detail = QString());

    // Sets text from code (translated in the context "QObject").
    void finalizeErrorTexts();
    // "<domain>:<code> \"<text>\" (<detail>)"
    QString toStringHelper() const;
    // The untranslated text of a code; "Unknwon error" for a code outside the table.
    static const char* textForCode(int code);

    int code = Ok;
    QString domain;
    QString text;
    QString detail;
    QString extra; // copied with the record, never filled here
};

// The request sent by Manager::apiCall.
enum class Method {
    Head = 0,    // no body
    Get = 1,     // no body
    Post = 2,    // JSON body
    Put = 3,     // JSON body
    Delete = 4,  // no body
    Options = 5, // custom verb "OPTIONS" with the JSON body
};

// The service's base address ("https://host"); callers append their paths. There is no
// built-in host: empty until the command line ("--service-url") or the settings name one, and
// then nothing is asked of any service.
QUrl serviceBaseUrl();
// The base address followed by path (which starts with "/"); empty when no service is set.
QUrl serviceUrl(const QString& path);
// Sets the service's base address. Only a trusted address is taken (isTrustedUrl); an empty
// url clears it. Returns whether url was taken. GUI thread only.
bool setServiceBaseUrl(const QUrl& url);
// Where the application may fetch anything from: https with a host, or http to this computer
// (a loopback address or "localhost"). Redirects are held to the same rule.
bool isTrustedUrl(const QUrl& url);
// Whether a reply passes maxBytes: the length its server announced, or the received bytes.
bool exceedsLimit(const QNetworkReply* reply, qint64 received, qint64 maxBytes);
// A finished reply's error text as a string of the calling thread's own: Qt builds the text on
// its network thread, and only this copy is carried on (to callers, messages and the log).
// A transfer that the silence limit ended is said to be one.
QString errorText(const QNetworkReply* reply);

class Manager : public QObject {
    Q_OBJECT
public:
    using ReachableCallback = std::function<void(bool)>;
    using ApiCallback = std::function<void(Result, QJsonObject)>;
    using ProgressCallback = std::function<void(DownloadTask*, double, qint64)>;
    using FinishedCallback = std::function<void(DownloadTask*, Result)>;

    // Silence after which an exchange fails, as any failed exchange does: a network lost on the
    // way must not leave a check, a call or a download waiting for good.
    static constexpr int StallMs = 30000;
    // The largest answer of an API call: the service's answers are a few lines of JSON, and a
    // larger (or endless) body is cut off and fails instead of being held in memory to its end.
    static constexpr qint64 MaxReplyBytes = 1024 * 1024;
    // The longest service message ("err"."message") carried on as a result's detail; it is cut
    // there, and its line breaks and control characters become spaces (it goes into the log).
    static constexpr int MaxMessageChars = 500;
    // The longest an API call or a probe may take in all: a server that sends a byte now and
    // then is never silent for long, yet its answer must not keep a check waiting for good.
    static constexpr int TotalMs = 60000;

    explicit Manager(QObject* parent = nullptr);
    ~Manager() override;

    // The silence limit for the requests made from now on (tests shorten it).
    void setStallMs(int ms);
    // The total limit for the calls and probes made from now on (tests shorten it).
    void setTotalMs(int ms);

    // Requests to an address that isTrustedUrl refuses are never sent: they fail at once.

    // HEAD url: callback(true) when the reply ends without a network error, else false.
    void isReachable(const QUrl& url, ReachableCallback callback);
    // Sends the request and interprets the service's envelope; callback gets the result and
    // the reply's top-level JSON object (empty after a network error).
    void apiCall(Method method, const QUrl& url, const QJsonObject& body, ApiCallback callback);
    void apiGet(const QUrl& url, ApiCallback callback);
    void apiPost(const QUrl& url, const QJsonObject& body, ApiCallback callback);
    // Creates and starts a download of url into the download folder. The task outlives its
    // end (its folder and file path stay readable) and is deleted with this manager. When
    // it cannot start, finished has already been called when this returns.
    DownloadTask* download(const QUrl& url, ProgressCallback progress, FinishedCallback finished);

    // Made on first use.
    QNetworkAccessManager* networkAccessManager() const;

private:
    mutable QNetworkAccessManager* m_nam = nullptr;
    int m_stallMs = StallMs;
    int m_totalMs = TotalMs;
};

} // namespace API

Q_DECLARE_METATYPE(API::Result)
