#pragma once
// One file download from the web service into the private download folder
// "OrvixTools-Update" inside this user's private folder (see PrivateFolder), with progress, speed,
// cancellation and redirect following. The finished callback runs exactly once per started download.
// Tasks of one run share the folder without touching each other's files: the software installer
// and a LINK firmware may be downloaded at the same time, both named "download" by their service.
#include "app/ApiManager.h"

#include <QDir>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>

class QFile;
class QNetworkAccessManager;
class QNetworkReply;

namespace API {

class DownloadTask : public QObject {
    Q_OBJECT
public:
    enum Status {
        Initialized = 0,
        InProgress = 1,
        Canceled = 2,
        Failed = 3,
        Succeeded = 4,
    };
    Q_ENUM(Status)

    // (task, fraction 0..1 — 0.0 when the total is unknown, remaining seconds — -1 when they
    // cannot be estimated yet)
    using ProgressCallback = std::function<void(DownloadTask*, double, qint64)>;
    using FinishedCallback = std::function<void(DownloadTask*, Result)>;

    // The folder's name inside the private folder.
    static constexpr const char FolderName[] = "OrvixTools-Update";
    // Redirects followed at most per download; one more fails it.
    static constexpr int MaxRedirects = 10;
    // The largest file a download takes unless its caller sets less: a body that is announced
    // or grows larger fails, and no byte past the limit is written.
    static constexpr qint64 MaxBytes = qint64(1) << 30;
    // The longest time left that is estimated; a slower download has no estimate (-1).
    static constexpr qint64 MaxEstimateSec = 366 * 24 * 3600;

    // Empties and recreates the download folder (owner-only), unless another task still writes
    // into it or kept its file there; sends nothing. The network access manager becomes the
    // task's parent.
    DownloadTask(const QUrl& url, ProgressCallback progress, FinishedCallback finished,
                 QNetworkAccessManager* manager);
    // A download still running is aborted without a callback and its partial file removed.
    ~DownloadTask() override;

    // Starts the download when the task is Initialized. True when it is InProgress after.
    bool start();

    Status status() const { return m_status; }
    QUrl url() const { return m_url; }
    QDir folder() const { return m_folder; }
    // The file being written; in a successful finished callback the complete file, which
    // the caller moves away (it is removed when the callback returns). Named after the URL
    // (fileNameFor), with "-2", "-3"... added when another task's file has that name.
    QString filePath() const { return m_filePath; }
    // From a successful finished callback: the complete file stays where it is (the caller
    // uses it in place) instead of being removed when the callback returns.
    void keepFile() { m_keepFile = true; }
    // Smoothed download speed in bytes per second.
    double speed() const { return m_speed; }
    int redirectCount() const { return m_redirects; }
    // The largest file taken (MaxBytes unless set less); set it before control returns to the
    // event loop after the download was made.
    void setMaxBytes(qint64 bytes) { m_maxBytes = qBound<qint64>(0, bytes, MaxBytes); }
    qint64 maxBytes() const { return m_maxBytes; }

    // The file name for a download of url: the last path component, fully decoded, made
    // safe to use inside the folder (no separators, never "." or "..", never empty).
    static QString fileNameFor(const QUrl& url);
    // The download folder inside this user's private folder; empty when there is none.
    static QString folderPath();

public slots:
    // While InProgress: aborts the download, which then reports code 2. Otherwise nothing.
    void cancel();

    void onFinished();
    void onReadyRead();
    void onUpdateDataReadProgress(qint64 bytesRead, qint64 totalBytes);

private:
    // The file is being written, or was kept in place: emptying the folder would lose it.
    bool holdsFolder() const { return m_file || (m_keepFile && m_status == Succeeded); }
    // Another task of this run holds the folder.
    bool folderShared() const;
    // name, or the first of name-2, name-3... that no file in the folder has yet.
    QString freeFileName(const QString& name) const;
    bool prepareFolder();
    bool folderUsable(QString* why) const;
    void report(int code, const QString& detail = QString());
    void dropFile(bool remove);
    void releaseReply();
    bool fail(Status status, int code, const QString& detail);
    // Stops taking the body: the download fails with why once the reply has ended.
    void stopWriting(const QString& why);

    QNetworkAccessManager* m_manager;
    QUrl m_url;
    ProgressCallback m_progress;
    FinishedCallback m_finished;
    Status m_status = Initialized;
    QElapsedTimer m_clock;
    double m_speed = 0.0;
    QDir m_folder;
    bool m_hasFolder; // false when no private folder could be had (then nothing is written)
    QString m_filePath;
    std::unique_ptr<QFile> m_file;
    QPointer<QNetworkReply> m_reply;
    int m_redirects = 0;
    qint64 m_written = 0;
    qint64 m_maxBytes = MaxBytes;
    QString m_writeError; // why the body was not taken whole
    bool m_keepFile = false;
};

} // namespace API
