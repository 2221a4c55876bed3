#pragma once

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Fetches one file from the download server and waits for it, keeping the
// window alive meanwhile. What comes from there may later run on this
// machine, so only HTTPS is spoken, the server's certificate is checked,
// and a redirect to anything less safe is refused.
class Downloader
{
public:
    struct Result
    {
        bool ok = false;
        bool notFound = false; // the server answered 404
        QByteArray data;
        QString error;         // why it failed, for the operator
    };

    Downloader();
    ~Downloader();
    Downloader(const Downloader &) = delete;
    Downloader &operator=(const Downloader &) = delete;

    // Certificates trusted besides the system's (a private download
    // server with its own certificate authority; the tests' server).
    void addCaCertificates(const QList<QSslCertificate> &certificates) { m_extraCas += certificates; }
    // Longest silence of the server before a fetch is given up.
    void setTimeout(int milliseconds) { m_timeout = milliseconds; }
    // A request that carries a password follows redirects only within the
    // same scheme, host and port, so the password never goes elsewhere.
    void setSameOriginRedirectsOnly(bool on) { m_sameOriginOnly = on; }

    Result fetch(const QUrl &url);
    // Ends the running fetch as failed (the operator closed the window).
    void abort();

private:
    QNetworkAccessManager *m_network;
    QNetworkReply *m_reply = nullptr;
    QList<QSslCertificate> m_extraCas;
    bool m_sameOriginOnly = false;
    int m_timeout = 20000;
};
