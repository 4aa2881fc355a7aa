#include "LocalHttpServer.h"
#include <QTcpServer>
#include <QTcpSocket>

LocalHttpServer::LocalHttpServer() : m_server(new QTcpServer(this))
{
    m_server->listen(QHostAddress::LocalHost, 0);
    connect(m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server->nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString LocalHttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server->serverPort());
}

void LocalHttpServer::stop()
{
    m_server->close();
    for (QTcpSocket* socket : findChildren<QTcpSocket*>()) socket->abort();
}

void LocalHttpServer::serve(QTcpSocket* socket)
{
    if (!socket->peek(socket->bytesAvailable()).contains("\r\n\r\n")) return;  // the request is not all here yet
    const QByteArray request = socket->readAll();
    const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
    const QString target = line.size() > 1 ? QString::fromLatin1(line.at(1)) : QString();
    m_requests << target;
    if (m_silent) return;
    const bool known = m_answers.contains(target);
    const QByteArray body = known ? m_answers.value(target) : QByteArray("No results found.");
    socket->write(QByteArray(known ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 Not Found") + "\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}
