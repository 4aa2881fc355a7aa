#include "LocalHttpServer.h"
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

LocalHttpServer::LocalHttpServer() : m_server(new QTcpServer(this))
{
    m_server->listen(QHostAddress::LocalHost, 0);
    connect(m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server->nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_pending.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

LocalHttpServer::~LocalHttpServer() = default;

void LocalHttpServer::answer(const QString& pathAndQuery, const QByteArray& body, int status)
{
    m_answers.insert(pathAndQuery, {status, body});
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
    QByteArray& request = m_pending[socket];
    request += socket->readAll();
    if (!request.contains("\r\n\r\n")) return;
    const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
    const QString target = line.size() > 1 ? QString::fromLatin1(line.at(1)) : QString();
    request.clear();
    m_requests << target;
    if (m_silent) return;
    auto found = m_answers.find(target);
    if (found == m_answers.end()) found = m_answers.find(QUrl(target).path());
    const int status = found == m_answers.end() ? 404 : found->first;
    const QByteArray body = found == m_answers.end() ? QByteArray("No results found.") : found->second;
    socket->write("HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Error") +
                  "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}
