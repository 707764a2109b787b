#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QTcpServer>

// A website's sign-in page on 127.0.0.1, for the end-to-end test: GET / gives a form whose user name
// field has the focus as soon as the page loads, with a password field and a submit button; POST /login
// takes the form and keeps what it received.
class LoginServer : public QObject
{
    Q_OBJECT

public:
    // Listens on a free port of 127.0.0.1; check isListening().
    LoginServer();

    bool isListening() const { return m_server.isListening(); }
    QString pageLink() const;

    // The fields of the last form posted, decoded; empty before any.
    QHash<QString, QString> received;
    int pageLoads = 0;

private:
    void answer(QTcpSocket* socket);

    // Before the server: its connections, which it deletes when it goes, remove themselves from here.
    QHash<QTcpSocket*, QByteArray> m_requests;
    QTcpServer m_server;
};
