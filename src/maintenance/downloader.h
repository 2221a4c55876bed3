#pragma once

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QString>
#include <QUrl>

class QIODevice;
class QNetworkAccessManager;
class QNetworkReply;

// Fetches one file from the download server and waits for it, keeping the
// window alive meanwhile. What comes from there may later run on this
// machine, so only HTTPS is spoken, the server's certificate is checked,
// a redirect to anything less safe is refused, and no server can make us
// take more bytes or more time than the kind of file needs.
class Downloader
{
public:
    struct Result
    {
        bool ok = false;
        bool notFound = false; // the server answered 404
        QByteArray data;       // empty when the file went to a sink
        qint64 size = 0;       // bytes received
        QUrl finalUrl;         // where the file really came from, after redirects
        QString error;         // why it failed, for the operator
        bool cancelled = false;
        // Stopped by us, not by the network: too large, too slow, sent on
        // where we do not follow, or the sink refused the bytes.
        bool refused = false;
    };

    // The largest eQSL answer or small file taken into memory.
    static constexpr qint64 SmallFileBytes = 64 * 1024;
    // A download may take this long, plus the time its size needs at the
    // slowest rate we wait for.
    static constexpr int BaseDeadlineMs = 60000;
    static constexpr qint64 SlowestBytesPerSecond = 16 * 1024;

    Downloader();
    ~Downloader();
    Downloader(const Downloader &) = delete;
    Downloader &operator=(const Downloader &) = delete;

    // Certificates trusted besides the system's (a private download
    // server with its own certificate authority; the tests' server).
    void addCaCertificates(const QList<QSslCertificate> &certificates) { m_extraCas += certificates; }
    // Longest silence of the server before a fetch is given up.
    void setTimeout(int milliseconds) { m_timeout = milliseconds; }
    // The fixed part of the overall deadline of a fetch.
    void setBaseDeadline(int milliseconds) { m_baseDeadline = milliseconds; }

    // Into memory, at most maxBytes.
    Result fetch(const QUrl &url, qint64 maxBytes = SmallFileBytes);
    // Written to sink as it arrives, at most maxBytes; what was written
    // stays there on failure, for the caller to discard.
    Result fetchTo(const QUrl &url, QIODevice *sink, qint64 maxBytes);
    // Ends the running fetch as cancelled (the operator's Cancel).
    void abort();

private:
    QNetworkAccessManager *m_network;
    QNetworkReply *m_reply = nullptr;
    QList<QSslCertificate> m_extraCas;
    bool m_cancelled = false;
    int m_timeout = 20000;
    int m_baseDeadline = BaseDeadlineMs;
};
