#pragma once

#include <QByteArray>
#include <QMap>
#include <QTcpServer>
#include <QUrlQuery>

// A web server on 127.0.0.1 for a browser under test. GET / gives the page; a GET of any other path is answered
// with the next page given for it (a sign-in's second step), or else an empty page, and its query (a form sent, or a
// page's report) is kept.
class PageServer : public QTcpServer
{
public:
    explicit PageServer(const QByteArray& page);

    QString url() const;
    // The value of a name in the query last received, decoded; empty before any.
    QString value(const QString& name) const;

    QMap<QByteArray, QByteArray> nextPages; // by path
    QString path;                           // of the last query received
    QUrlQuery query;                        // the last query received, empty before any
    QMap<QString, QUrlQuery> queryOfPath;   // the last query received for each path
    int queries = 0;                        // received so far
    int pageLoads = 0;                      // of the page at /

private:
    void answer(QTcpSocket* socket);

    QByteArray m_page;
};
