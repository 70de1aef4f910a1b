#include "app/DownloadTask.h"

#include "app/PrivateFolder.h"
#include "protocol/Print.h"

#include <QDebug>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace API {

namespace {
// Every task of this run, so that none empties the folder under another one.
QList<DownloadTask*>& liveTasks()
{
    static QList<DownloadTask*> tasks;
    return tasks;
}
} // namespace

constexpr const char DownloadTask::FolderName[];
constexpr int DownloadTask::MaxRedirects;
constexpr qint64 DownloadTask::MaxBytes;
constexpr qint64 DownloadTask::MaxEstimateSec;

QString DownloadTask::folderPath()
{
    // Never the shared temporary folder itself: another account could make the folder first.
    const QString privateFolder = PrivateFolder::path();
    return privateFolder.isEmpty() ? QString()
                                   : QDir(privateFolder).filePath(QString::fromLatin1(FolderName));
}

QString DownloadTask::fileNameFor(const QUrl& url)
{
    QString name = url.fileName(QUrl::FullyDecoded);
    for (QChar& c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char('_');
    }
    // A name starting with ":" would be a resource path of Qt's own.
    if (name.startsWith(QLatin1Char(':')))
        name[0] = QLatin1Char('_');
    // A name made only of dots ("", ".", "..", "...") would name the folder, its parent or
    // a hidden nothing: use a plain name instead.
    bool onlyDots = true;
    for (const QChar c : qAsConst(name)) {
        if (c != QLatin1Char('.')) {
            onlyDots = false;
            break;
        }
    }
    if (onlyDots)
        name = QStringLiteral("download");
    return name;
}

DownloadTask::DownloadTask(
    const QUrl& url, ProgressCallback progress, FinishedCallback finished, QNetworkAccessManager* manager)
    : QObject(manager)
    , m_manager(manager)
    , m_url(url)
    , m_progress(std::move(progress))
    , m_finished(std::move(finished))
    , m_folder(folderPath())
    , m_hasFolder(!m_folder.path().isEmpty() && QDir::isAbsolutePath(m_folder.path()))
{
    qInfo().noquote() << QStringLiteral("Donwload task created at [%1]").arg(m_folder.path());
    prepareFolder();
    liveTasks().append(this);
}

DownloadTask::~DownloadTask()
{
    liveTasks().removeAll(this);
    if (m_reply) {
        disconnect(m_reply, nullptr, this, nullptr);
        m_reply->abort();
        m_reply->deleteLater();
        m_reply = nullptr;
    }
    if (m_file)
        dropFile(true);
}

// A symbolic link or a folder of someone else planted at the folder's name is never followed,
// emptied or written into.
bool DownloadTask::folderUsable(QString* why) const
{
    if (!m_hasFolder) {
        *why = QStringLiteral("no private folder");
        return false;
    }
    if (PrivateFolder::isPrivate(m_folder.path(), why))
        return true;
    if (*why == QLatin1String("missing"))
        why->clear(); // told apart by the caller
    return false;
}

bool DownloadTask::prepareFolder()
{
    if (!m_hasFolder) {
        qWarning("Failed to create temporary directory at [] (no private folder)");
        return false;
    }
    const QByteArray path = QFile::encodeName(m_folder.path());
    QString why;
    struct stat st {};
    if (::lstat(path.constData(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            why = QStringLiteral("it is a symbolic link");
        } else if (st.st_uid != ::geteuid()) {
            why = QStringLiteral("it belongs to another user");
        } else if (S_ISDIR(st.st_mode)) {
            // Symbolic links inside are removed, not followed. Files of a task still at work
            // stay: the folder is emptied by the next task after it.
            if (!folderShared())
                m_folder.removeRecursively();
        } else {
            ::unlink(path.constData());
        }
    }
    if (why.isEmpty() && !PrivateFolder::ensure(m_folder.path(), &why) && why == QLatin1String("missing"))
        why = QStringLiteral("it vanished");
    if (why.isEmpty() && ::chmod(path.constData(), 0700) != 0)
        why = QString::fromLocal8Bit(std::strerror(errno));
    if (!why.isEmpty()) {
        qWarning().noquote() << QStringLiteral("Failed to create temporary directory at [%1] (%2)")
                                    .arg(m_folder.path(), why);
        return false;
    }
    return true;
}

bool DownloadTask::folderShared() const
{
    for (DownloadTask* task : qAsConst(liveTasks()))
        if (task != this && task->holdsFolder())
            return true;
    return false;
}

QString DownloadTask::freeFileName(const QString& name) const
{
    const int dot = name.indexOf(QLatin1Char('.'), 1);
    const QString stem = dot < 0 ? name : name.left(dot);
    const QString suffix = dot < 0 ? QString() : name.mid(dot);
    QString candidate = name;
    struct stat st {};
    for (int n = 2; ::lstat(QFile::encodeName(m_folder.filePath(candidate)).constData(), &st) == 0; ++n)
        candidate = QStringLiteral("%1-%2%3").arg(stem).arg(n).arg(suffix);
    return candidate;
}

bool DownloadTask::start()
{
    if (m_status != Initialized)
        return m_status == InProgress;

    m_filePath.clear();
    QString why;
    if (!folderUsable(&why)) {
        const QString detail = why.isEmpty()
            ? QStringLiteral("Temporary directory %1 not exists!").arg(m_folder.path())
            : QStringLiteral("Temporary directory %1 refused: %2!").arg(m_folder.path(), why);
        return fail(Failed, Result::Failed, detail);
    }
    if (!m_manager)
        return fail(Failed, Result::Failed, QStringLiteral("No network access manager"));
    // Redirects restart here, so every address of a download is held to the same rule.
    if (!isTrustedUrl(m_url))
        return fail(Failed, Result::Failed,
            QStringLiteral("Untrusted download address %1").arg(m_url.toDisplayString()));

    // A file left from an earlier run is written over; one of another task at work is not.
    const QString name = fileNameFor(m_url);
    m_filePath = m_folder.filePath(folderShared() ? freeFileName(name) : name);
    m_file = std::make_unique<QFile>(m_filePath);
    // Unbuffered: a failing write shows at once, not at some later flush.
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        const QString error = m_file->errorString();
        m_file.reset();
        return fail(Failed, Result::Failed, QStringLiteral("%1: %2").arg(m_filePath, error));
    }
    m_written = 0;
    m_writeError.clear();

    QNetworkRequest request(m_url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    // The file as it is: the end of a compressed body cut short cannot be told from a whole
    // one, so none is asked for.
    request.setRawHeader("Accept-Encoding", "identity");
    m_reply = m_manager->get(request);
    m_speed = 0.0;
    m_clock.start();
    connect(m_reply, &QNetworkReply::finished, this, &DownloadTask::onFinished);
    connect(m_reply, &QNetworkReply::readyRead, this, &DownloadTask::onReadyRead);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &DownloadTask::onUpdateDataReadProgress);
    m_status = InProgress;
    return true;
}

void DownloadTask::cancel()
{
    if (m_status != InProgress)
        return;
    m_status = Canceled;
    if (!m_reply)
        return;
    QPointer<DownloadTask> alive(this);
    m_reply->abort(); // emits finished, which reports the cancellation
    if (alive && m_reply)
        onFinished(); // the reply had ended without telling: report all the same
}

void DownloadTask::onReadyRead()
{
    if (!m_reply || !m_file || m_status != InProgress || !m_writeError.isEmpty())
        return;
    const QByteArray data = m_reply->readAll();
    if (data.isEmpty())
        return;
    if (exceedsLimit(m_reply, m_written + data.size(), m_maxBytes)) {
        const QString why = QStringLiteral("Download larger than %1 bytes").arg(m_maxBytes);
        qWarning().noquote() << "Download stopped: " + why;
        stopWriting(why);
        return;
    }
    const qint64 n = m_file->write(data);
    if (n != data.size()) {
        const QString error = m_file->errorString();
        stopWriting(error.isEmpty() || m_file->error() == QFileDevice::NoError
                ? QStringLiteral("Short write to %1").arg(m_filePath)
                : error);
        return;
    }
    m_written += n;
}

void DownloadTask::stopWriting(const QString& why)
{
    m_writeError = why;
    m_reply->abort(); // finished follows at once and fails the download
}

void DownloadTask::onUpdateDataReadProgress(qint64 bytesRead, qint64 totalBytes)
{
    if (m_status != InProgress)
        return;
    // The network layer reports the byte count as the total once a body of unknown size has
    // ended; only a size the server announced counts as a total.
    const bool totalKnown = totalBytes >= 1 && m_reply
        && m_reply->header(QNetworkRequest::ContentLengthHeader).isValid();
    if (!totalKnown)
        totalBytes = -1;
    const double fraction = totalKnown ? double(bytesRead) / double(totalBytes) : 0.0;
    const qint64 elapsedMs = qMax<qint64>(1, m_clock.elapsed());
    const qint64 sample = bytesRead * 1000 / elapsedMs;
    m_speed = OX::smoothed(m_speed, double(sample), 0.1);
    qint64 remaining = -1;
    if (totalBytes >= 1 && m_speed > 0.0) {
        // A rate sunk toward nothing gives a time past any number: no estimate, rather than the
        // wrapped-around 0 seconds of a conversion out of range.
        const double seconds = double(totalBytes - bytesRead) / m_speed;
        if (seconds <= double(MaxEstimateSec))
            remaining = qMax<qint64>(0, qint64(seconds));
    }
    qInfo().noquote() << QStringLiteral("Download speed is %1kb/s, remaining time is %2sec")
                             .arg(m_speed / 1024.0)
                             .arg(remaining);
    if (m_progress)
        m_progress(this, fraction, remaining);
}

void DownloadTask::onFinished()
{
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    if (m_status == InProgress && reply->error() == QNetworkReply::NoError)
        onReadyRead(); // whatever is still buffered
    if (m_file)
        m_file->close();

    if (m_status == Canceled) {
        dropFile(true);
        releaseReply();
        report(Result::Aborted);
        return;
    }
    if (m_status != InProgress) {
        releaseReply();
        return;
    }

    if (!m_writeError.isEmpty()) {
        dropFile(true);
        releaseReply();
        m_status = Failed;
        report(Result::Failed, m_writeError);
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        const QString detail = errorText(reply);
        dropFile(true);
        releaseReply();
        m_status = Failed;
        report(Result::Failed, detail);
        return;
    }

    const QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    if (!target.isEmpty()) {
        const QUrl next = m_url.resolved(target);
        dropFile(true);
        releaseReply();
        if (m_redirects >= MaxRedirects) {
            m_status = Failed;
            report(Result::Failed, QStringLiteral("Too many redirects (more than %1)").arg(MaxRedirects));
            return;
        }
        ++m_redirects;
        m_url = next;
        m_status = Initialized;
        start();
        return;
    }

    const QVariant statusAttr = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int httpStatus = statusAttr.toInt();
    if (statusAttr.isValid() && (httpStatus < 200 || httpStatus > 299)) {
        const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        dropFile(true);
        releaseReply();
        m_status = Failed;
        report(Result::Failed, QStringLiteral("HTTP status %1 %2").arg(httpStatus).arg(reason).trimmed());
        return;
    }

    // A body encoded all the same is not the file itself, and could not be told whole.
    const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
    if (!encoding.isEmpty() && encoding != "identity") {
        const QString detail = QStringLiteral("Download sent encoded (%1), not as the file")
                                   .arg(QString::fromLatin1(encoding));
        dropFile(true);
        releaseReply();
        fail(Failed, Result::Failed, detail);
        return;
    }

    // A body cut short without the network layer noticing is not a complete file.
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() != m_written) {
        const QString detail = QStringLiteral("Incomplete download: %1 of %2 bytes")
                                   .arg(m_written)
                                   .arg(length.toLongLong());
        dropFile(true);
        releaseReply();
        m_status = Failed;
        report(Result::Failed, detail);
        return;
    }

    m_status = Succeeded;
    QPointer<DownloadTask> alive(this);
    report(Result::Ok);
    if (!alive)
        return;
    dropFile(!m_keepFile); // the caller has moved the file, or kept it, if it wanted it
    releaseReply();
}

void DownloadTask::report(int code, const QString& detail)
{
    if (m_finished)
        m_finished(this, Result(code, detail));
}

bool DownloadTask::fail(Status status, int code, const QString& detail)
{
    m_status = status;
    report(code, detail);
    return false;
}

void DownloadTask::dropFile(bool remove)
{
    if (!m_file)
        return;
    m_file->close();
    if (remove)
        m_file->remove();
    m_file.reset();
}

void DownloadTask::releaseReply()
{
    if (!m_reply)
        return;
    disconnect(m_reply, nullptr, this, nullptr);
    m_reply->deleteLater();
    m_reply = nullptr;
}

} // namespace API
