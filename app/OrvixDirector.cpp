#include "app/OrvixDirector.h"

#include "app/InstanceSignal.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QtDebug>

OrvixDirector::OrvixDirector(const QCommandLineParser& parser, QObject* parent)
    : QObject(parent)
    , parser(parser)
    , localServer(new QLocalServer(this))
{
    connect(localServer, &QLocalServer::newConnection, this, &OrvixDirector::onClientConnected);
    InstanceSignal::listen(*localServer, InstanceSignal::name());
}

OrvixDirector::~OrvixDirector()
{
    for (QLocalSocket* client : qAsConst(clients))
        client->abort();
    localServer->close();
}

void OrvixDirector::start()
{
    const QStringList given = parser.optionNames();
    const bool turbo = given.contains(QStringLiteral("turbo")) || given.contains(QStringLiteral("t"));
    qDebug().noquote() << "OrvixTools" << QCoreApplication::applicationVersion()
                       << (turbo ? "started in turbo mode" : "started");
}

void OrvixDirector::onClientConnected()
{
    while (QLocalSocket* client = localServer->nextPendingConnection()) {
        connect(client, &QLocalSocket::readyRead, this, &OrvixDirector::onClientReadyToRead);
        connect(client, &QLocalSocket::disconnected, this, &OrvixDirector::onClientDisconnected);
        clients.append(client);
    }
}

void OrvixDirector::onClientReadyToRead()
{
    for (QLocalSocket* client : qAsConst(clients))
        readRequests(client);
}

void OrvixDirector::readRequests(QLocalSocket* client)
{
    const QByteArray bytes = client->readAll();
    for (char byte : bytes) {
        if (byte == InstanceSignal::kToggleByte)
            qDebug("Show/hide request from another instance");
    }
}

void OrvixDirector::onClientDisconnected()
{
    for (int i = clients.size() - 1; i >= 0; --i) {
        QLocalSocket* client = clients.at(i);
        if (client->state() == QLocalSocket::UnconnectedState) {
            readRequests(client);
            client->disconnect(this);
            client->deleteLater();
            clients.removeAt(i);
        }
    }
}
