#include "support/PageServer.h"

#include <QTcpSocket>

PageServer::PageServer(const QByteArray& page) : m_page(page)
{
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = nextPendingConnection()) // a child of the server, which deletes it
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
    });
    listen(QHostAddress::LocalHost, 0);
}

QString PageServer::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(serverPort());
}

QString PageServer::value(const QString& name) const
{
    return query.queryItemValue(name, QUrl::FullyDecoded);
}

void PageServer::answer(QTcpSocket* socket)
{
    if (!socket->peek(socket->bytesAvailable()).contains("\r\n\r\n"))
        return; // a GET request is complete with its headers
    const QList<QByteArray> target = socket->readAll().split(' ').value(1).split('?');
    QByteArray page = "<!DOCTYPE html><title>Received</title>"; // also for the icon the browser asks for
    if (target.front() == "/") {
        ++pageLoads;
        page = m_page;
    } else if (target.size() > 1) { // in a form's query '+' stands for a blank
        path = QString::fromLatin1(target.front());
        query.setQuery(QString::fromLatin1(target.value(1)).replace(QLatin1Char('+'), QStringLiteral("%20")));
        queryOfPath[path] = query;
        ++queries;
        page = nextPages.value(target.front(), page);
    }
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\n"
                  "Content-Length: " +
                  QByteArray::number(page.size()) + "\r\n\r\n" + page);
    socket->disconnectFromHost();
}
