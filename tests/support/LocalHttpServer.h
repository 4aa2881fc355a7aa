#pragma once
#include <QHash>
#include <QObject>
#include <QStringList>

class QTcpServer;
class QTcpSocket;

// A tiny HTTP/1.1 server on 127.0.0.1 with canned answers by path, for clients under
// test. It runs on the caller's thread: a client waiting in its own event loop is served.
class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    LocalHttpServer();

    // The answer for a path with its query; anything else gets 404.
    void answer(const QString& pathAndQuery, const QByteArray& body) { m_answers.insert(pathAndQuery, body); }
    void setSilent(bool on) { m_silent = on; }  // accepts, reads, never answers

    QString baseUrl() const;           // "http://127.0.0.1:<port>"
    const QStringList& requests() const { return m_requests; }  // paths with queries
    void stop();                       // refuses new connections, drops open ones

private:
    void serve(QTcpSocket* socket);

    QTcpServer* m_server;
    QHash<QString, QByteArray> m_answers;
    QStringList m_requests;
    bool m_silent = false;
};
