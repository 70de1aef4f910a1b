#pragma once
// Points TMPDIR and XDG_RUNTIME_DIR (where the application keeps its guard, its socket and its
// downloads) at folders of the test's own while it lives, and restores both afterwards.
#include <QByteArray>
#include <QDir>
#include <QFile>

namespace testutil
{

class PrivateRuntime
{
public:
    // root must exist; "tmp" and "run" (mode 0700) are made inside it.
    explicit PrivateRuntime(const QString& root)
        : m_tmp(QDir(root).filePath(QStringLiteral("tmp")))
        , m_run(QDir(root).filePath(QStringLiteral("run")))
    {
        QDir().mkpath(m_tmp);
        QDir().mkpath(m_run);
        QFile::setPermissions(
            m_run, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        save("TMPDIR", m_savedTmp, m_hadTmp);
        save("XDG_RUNTIME_DIR", m_savedRun, m_hadRun);
        qputenv("TMPDIR", QFile::encodeName(m_tmp));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_run));
    }
    ~PrivateRuntime()
    {
        restore("TMPDIR", m_savedTmp, m_hadTmp);
        restore("XDG_RUNTIME_DIR", m_savedRun, m_hadRun);
    }
    PrivateRuntime(const PrivateRuntime&) = delete;
    PrivateRuntime& operator=(const PrivateRuntime&) = delete;

    QString tmp() const { return m_tmp; }
    QString run() const { return m_run; }

private:
    static void save(const char* name, QByteArray& value, bool& had)
    {
        had = qEnvironmentVariableIsSet(name);
        value = qgetenv(name);
    }
    static void restore(const char* name, const QByteArray& value, bool had)
    {
        if (had)
            qputenv(name, value);
        else
            qunsetenv(name);
    }

    QString m_tmp;
    QString m_run;
    QByteArray m_savedTmp;
    QByteArray m_savedRun;
    bool m_hadTmp = false;
    bool m_hadRun = false;
};

} // namespace testutil
