#include "app/ApiManager.h"
#include "app/DownloadTask.h"
#include "async/ThreadHandover.h"

#include <QCoreApplication>
#include <QDebug>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonValue>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

#ifdef OX_TSAN
extern "C" void AnnotateIgnoreReadsBegin(const char* file, int line);
extern "C" void AnnotateIgnoreReadsEnd(const char* file, int line);
#endif

namespace API {

constexpr const char Result::ErrorDomain[];
constexpr qint64 Manager::MaxReplyBytes;
constexpr int Manager::MaxMessageChars;
constexpr int Manager::TotalMs;

namespace {

QUrl& configuredService()
{
    static QUrl url;
    return url;
}

QNetworkRequest makeRequest(const QUrl& url)
{
    QNetworkRequest request(url);
    // Redirects of JSON requests are not followed, whatever the application-wide default.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    return request;
}

// Aborts reply once ms have passed since it was sent and returns the flag that says so; the
// timer goes with the reply.
std::shared_ptr<bool> abortAfter(QNetworkReply* reply, int ms)
{
    auto expired = std::make_shared<bool>(false);
    auto* timer = new QTimer(reply);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, reply, [reply, expired] {
        if (reply->isFinished())
            return;
        *expired = true;
        reply->abort(); // finished follows at once
    });
    timer->start(ms);
    return expired;
}

// The service's message as one plain line of at most Manager::MaxMessageChars: a line break
// in it would forge lines of the log it is written to.
QString oneLine(QString message)
{
    message.truncate(Manager::MaxMessageChars);
    if (!message.isEmpty() && QChar(message.back()).isHighSurrogate())
        message.chop(1); // never half a character
    for (QChar& c : message) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Other_Format
            || category == QChar::Separator_Line || category == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    }
    return message;
}

QString overTimeText(int ms)
{
    return QStringLiteral("No complete reply within %1 s").arg((ms + 999) / 1000);
}

} // namespace

Result::Result()
    : Result(Ok)
{
}

Result::Result(int c, const QString& d)
    : code(c)
    , domain(QString::fromLatin1(ErrorDomain))
{
    finalizeErrorTexts();
    detail = d;
}

const char* Result::textForCode(int c)
{
    switch (c) {
    case Ok: return QT_TRANSLATE_NOOP("QObject", "Ok");
    case Failed: return QT_TRANSLATE_NOOP("QObject", "Failed");
    case Aborted: return QT_TRANSLATE_NOOP("QObject", "Aborted");
    default: return QT_TRANSLATE_NOOP("QObject", "Unknwon error");
    }
}

void Result::finalizeErrorTexts()
{
    text = QCoreApplication::translate("QObject", textForCode(code));
}

QString Result::toStringHelper() const
{
    return QStringLiteral("%1:%2 \"%3\" (%4)").arg(domain).arg(code).arg(text, detail);
}

QUrl serviceBaseUrl()
{
    return configuredService();
}

QUrl serviceUrl(const QString& path)
{
    if (configuredService().isEmpty())
        return QUrl();
    QString base = configuredService().toString();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return QUrl(base + path);
}

bool setServiceBaseUrl(const QUrl& url)
{
    if (!url.isEmpty() && !isTrustedUrl(url))
        return false;
    configuredService() = url;
    return true;
}

// Qt hands the text to the reply's thread through a queued connection, whose lock the thread
// checker cannot see (Qt is not built with it): the text is read once, here, with the checker
// told to skip this thread's accesses to Qt's copy, and what travels on is a copy made here.
QString errorText(const QNetworkReply* reply)
{
    // The callers tell their own aborts apart first: what is left is the network layer's own,
    // for a transfer silent too long. Its text ("Operation canceled") would read to the person
    // as if they had cancelled.
    if (reply->error() == QNetworkReply::OperationCanceledError) {
        int ms = reply->request().transferTimeout();
        if (ms <= 0 && reply->manager())
            ms = reply->manager()->transferTimeout();
        if (ms > 0)
            return QStringLiteral("No data received for %1 s").arg((ms + 999) / 1000);
    }
#ifdef OX_TSAN
    AnnotateIgnoreReadsBegin(__FILE__, __LINE__);
#endif
    QString own;
    {
        const QString handedOver = reply->errorString();
        own = QString(handedOver.constData(), handedOver.size());
    }
#ifdef OX_TSAN
    AnnotateIgnoreReadsEnd(__FILE__, __LINE__);
#endif
    return own;
}

bool exceedsLimit(const QNetworkReply* reply, qint64 received, qint64 maxBytes)
{
    if (received > maxBytes)
        return true;
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    return announced.isValid() && announced.toLongLong() > maxBytes;
}

bool isTrustedUrl(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return true;
    if (scheme != QLatin1String("http"))
        return false;
    const QString host = url.host().toLower();
    if (host == QLatin1String("localhost"))
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

Manager::Manager(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<API::Result>("API::Result");
}

QNetworkAccessManager* Manager::networkAccessManager() const
{
    // Made for the first request: making it loads the network's plugins and asks the system's
    // network service, which the start (and a run without an update service) need not wait for.
    if (!m_nam) {
        m_nam = new QNetworkAccessManager(const_cast<Manager*>(this));
        m_nam->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
        m_nam->setTransferTimeout(m_stallMs);
    }
    return m_nam;
}

void Manager::setStallMs(int ms)
{
    m_stallMs = ms;
    if (m_nam)
        m_nam->setTransferTimeout(ms);
}

void Manager::setTotalMs(int ms)
{
    m_totalMs = ms;
}

Manager::~Manager() = default;

void Manager::isReachable(const QUrl& url, ReachableCallback callback)
{
    if (!isTrustedUrl(url)) {
        qDebug().noquote() << "Not reachable: untrusted address " + url.toDisplayString();
        if (callback)
            callback(false);
        return;
    }
    QNetworkReply* reply = networkAccessManager()->head(makeRequest(url));
    const int totalMs = m_totalMs;
    const auto overTime = abortAfter(reply, totalMs);
    connect(reply, &QNetworkReply::finished, this, [reply, overTime, totalMs, callback = std::move(callback)] {
        const bool reachable = reply->error() == QNetworkReply::NoError && !*overTime;
        if (!reachable)
            qDebug().noquote() << "Not reachable: " + (*overTime ? overTimeText(totalMs) : errorText(reply));
        reply->deleteLater();
        if (callback)
            callback(reachable);
    });
}

void Manager::apiCall(Method method, const QUrl& url, const QJsonObject& body, ApiCallback callback)
{
    if (!isTrustedUrl(url)) {
        if (callback)
            callback(
                Result(Result::Failed, QStringLiteral("Untrusted address %1").arg(url.toDisplayString())),
                QJsonObject());
        return;
    }
    QNetworkRequest request = makeRequest(url);
    const QByteArray json = QJsonDocument(body).toJson(QJsonDocument::Indented);
    auto withBody = [&request] {
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    };

    QNetworkReply* reply = nullptr;
    switch (method) {
    case Method::Head: reply = networkAccessManager()->head(request); break;
    case Method::Get: reply = networkAccessManager()->get(request); break;
    case Method::Post: withBody(); reply = networkAccessManager()->post(request, json); break;
    case Method::Put: withBody(); reply = networkAccessManager()->put(request, json); break;
    case Method::Delete: reply = networkAccessManager()->deleteResource(request); break;
    case Method::Options:
        withBody();
        reply = networkAccessManager()->sendCustomRequest(request, QByteArrayLiteral("OPTIONS"), json);
        break;
    }
    if (!reply) {
        if (callback)
            callback(Result(Result::Failed, QStringLiteral("Unknown request method %1").arg(int(method))),
                     QJsonObject());
        return;
    }

    const int totalMs = m_totalMs;
    const auto overTime = abortAfter(reply, totalMs);
    auto tooLarge = std::make_shared<bool>(false);
    auto limit = [reply, tooLarge] {
        if (*tooLarge || !exceedsLimit(reply, reply->bytesAvailable(), MaxReplyBytes))
            return;
        *tooLarge = true;
        reply->abort(); // finished follows at once
    };
    connect(reply, &QNetworkReply::readyRead, this, limit);
    connect(reply, &QNetworkReply::finished, this,
            [reply, tooLarge, overTime, totalMs, callback = std::move(callback)] {
        Result result;
        QJsonObject object;
        if (*overTime) {
            result = Result(Result::Failed, overTimeText(totalMs));
        } else if (*tooLarge) {
            result = Result(Result::Failed, QStringLiteral("Reply larger than %1 bytes").arg(MaxReplyBytes));
        } else if (reply->error() != QNetworkReply::NoError) {
            // HTTP error statuses arrive here too, whatever body they carry.
            result = Result(Result::Failed, errorText(reply));
        } else if (const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                   status >= 300 && status <= 399) {
            // Redirects are not followed: whatever body came with one is not the service's answer.
            result = Result(Result::Failed, QStringLiteral("HTTP status %1, redirect not followed").arg(status));
        } else {
            object = QJsonDocument::fromJson(reply->readAll()).object();
            const QJsonValue flag = object.value(QStringLiteral("result"));
            if (flag.isDouble() && flag.toDouble() == 1.0) {
                result = Result(Result::Ok);
            } else {
                const QString message = object.value(QStringLiteral("err")).toObject()
                                            .value(QStringLiteral("message")).toString();
                result = Result(Result::Failed, oneLine(message));
            }
        }
        reply->deleteLater();
        if (callback)
            callback(result, object);
    });
}

void Manager::apiGet(const QUrl& url, ApiCallback callback)
{
    apiCall(Method::Get, url, QJsonObject(), std::move(callback));
}

void Manager::apiPost(const QUrl& url, const QJsonObject& body, ApiCallback callback)
{
    apiCall(Method::Post, url, body, std::move(callback));
}

DownloadTask* Manager::download(const QUrl& url, ProgressCallback progress, FinishedCallback finished)
{
    auto* task = new DownloadTask(url, std::move(progress), std::move(finished), networkAccessManager());
    task->start();
    return task;
}

} // namespace API
