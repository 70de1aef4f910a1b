#pragma once
// The application's controller. For now it only keeps the single-instance server; the dongle,
// the windows, the tray icon and the rest join it later.
#include <QList>
#include <QObject>

class QCommandLineParser;
class QLocalServer;
class QLocalSocket;

class OrvixDirector : public QObject
{
    Q_OBJECT
public:
    explicit OrvixDirector(const QCommandLineParser& parser, QObject* parent = nullptr);
    ~OrvixDirector() override;

    void start();

private slots:
    void onClientConnected();
    void onClientReadyToRead();
    void onClientDisconnected();

private:
    void readRequests(QLocalSocket* client);

    const QCommandLineParser& parser;
    QLocalServer* localServer;
    QList<QLocalSocket*> clients;
};
