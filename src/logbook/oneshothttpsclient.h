#pragma once

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QString>
#include <QUrl>

#include <functional>

// One HTTPS GET on a connection of its own ("Connection: close"), waited
// for while the window stays alive. QNetworkAccessManager sends a GET
// again, unasked, when its connection closes before the answer, and Qt
// offers no switch against it; a request here is sent at most once, and
// the caller learns whether it may have reached the server.
// The server's certificate is checked, the answer is read only up to a
// limit, and no message names the request's path or query (they may
// hold a password).
class OneShotHttpsClient
{
public:
    struct Reply
    {
        enum class Outcome {
            Answered, // a whole answer came, of any status
            NotSent,  // the request never left: no connection, certificate refused
            NoAnswer, // the request was sent, but no whole answer came back
        };
        Outcome outcome = Outcome::NotSent;
        int status = 0;
        QByteArray body;
        QString error; // why there is no answer, for the operator
    };

    static constexpr qint64 DefaultLimit = 64 * 1024;

    // Certificates trusted besides the system's (a stand-in server's).
    void addCaCertificates(const QList<QSslCertificate> &certificates) { m_extraCas += certificates; }
    // The longest a request may take, connection included.
    void setTimeout(int milliseconds) { m_timeout = milliseconds; }
    // The most bytes read of an answer, head included.
    void setLimit(qint64 bytes) { m_limit = bytes; }

    Reply get(const QUrl &url);
    // Ends the running request (the operator cancelled).
    void abort();

private:
    QList<QSslCertificate> m_extraCas;
    int m_timeout = 30000;
    qint64 m_limit = DefaultLimit;
    std::function<void()> m_abort;
};
