#include "LoginServer.h"

#include <QTcpSocket>
#include <QUrl>

namespace {

const QByteArray LoginPage = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Sign in</title></head>
<body>
<form method="post" action="/login">
<p><label>User name <input id="username" name="username" autofocus autocomplete="off"></label></p>
<p><label>Password <input id="password" name="password" type="password" autocomplete="off"></label></p>
<p><button type="submit">Sign in</button></p>
</form>
<script>document.getElementById("username").focus();</script>
</body></html>
)";

QByteArray response(const QByteArray& status, const QByteArray& body)
{
    return "HTTP/1.1 " + status +
           "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// application/x-www-form-urlencoded: '+' stands for a blank, everything else is percent-encoded.
QHash<QString, QString> formFields(const QByteArray& body)
{
    QHash<QString, QString> fields;
    for (const QByteArray& pair : body.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        if (equals < 0)
            continue;
        auto decoded = [](QByteArray text) { return QUrl::fromPercentEncoding(text.replace('+', ' ')); };
        fields.insert(decoded(pair.left(equals)), decoded(pair.mid(equals + 1)));
    }
    return fields;
}

// The length a request has once its headers and body are in, or -1 while its headers are incomplete.
qsizetype completeLength(const QByteArray& request)
{
    const qsizetype headersEnd = request.indexOf("\r\n\r\n");
    if (headersEnd < 0)
        return -1;
    qsizetype bodyLength = 0;
    for (const QByteArray& line : request.left(headersEnd).split('\n')) {
        if (line.toLower().startsWith("content-length:"))
            bodyLength = line.mid(15).trimmed().toLongLong();
    }
    return headersEnd + 4 + bodyLength;
}

} // namespace

LoginServer::LoginServer()
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QObject::destroyed, this, [this, socket] { m_requests.remove(socket); });
        }
    });
    m_server.listen(QHostAddress::LocalHost, 0);
}

QString LoginServer::pageLink() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort());
}

void LoginServer::answer(QTcpSocket* socket)
{
    QByteArray& request = m_requests[socket];
    request += socket->readAll();
    const qsizetype length = completeLength(request);
    if (length < 0 || request.size() < length)
        return;
    const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');
    const QByteArray method = requestLine.value(0);
    const QByteArray path = requestLine.value(1);
    if (method == "GET" && path == "/") {
        ++pageLoads;
        socket->write(response("200 OK", LoginPage));
    } else if (method == "POST" && path == "/login") {
        received = formFields(request.mid(request.indexOf("\r\n\r\n") + 4));
        socket->write(response("200 OK", "<!DOCTYPE html><title>Signed in</title><p>Welcome.</p>"));
    } else {
        socket->write(response("404 Not Found", "<!DOCTYPE html><title>Not found</title>"));
    }
    request.clear();
    socket->disconnectFromHost();
}
