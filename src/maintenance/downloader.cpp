#include "downloader.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString sizeText(qint64 bytes)
{
    if (bytes >= 1024 * 1024)
        return u"%1 MB"_s.arg(bytes / (1024 * 1024));
    return u"%1 KB"_s.arg(std::max<qint64>(1, bytes / 1024));
}

} // namespace

Downloader::Downloader() : m_network(new QNetworkAccessManager) {}

Downloader::~Downloader()
{
    delete m_network;
}

Downloader::Result Downloader::fetch(const QUrl &url, qint64 maxBytes)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    Result result = fetchTo(url, &buffer, maxBytes);
    if (result.ok)
        result.data = buffer.data();
    return result;
}

Downloader::Result Downloader::fetchTo(const QUrl &url, QIODevice *sink, qint64 maxBytes)
{
    Result result;
    result.finalUrl = url;
    if (url.scheme() != u"https"_s || !url.isValid()) {
        result.error = u"%1 is not an https:// address; updates are fetched only over a checked connection."_s
                           .arg(url.toDisplayString());
        return result;
    }
    QNetworkRequest request(url);
    // Every redirect is looked at here, so the message can say where we
    // were sent and why we did not follow.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setTransferTimeout(m_timeout);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!m_extraCas.isEmpty())
        tls.addCaCertificates(m_extraCas);
    request.setSslConfiguration(tls);

    m_cancelled = false;
    QString stoppedBy; // our own reason to abort, told instead of Qt's
    QNetworkReply *reply = m_network->get(request);
    m_reply = reply;
    // What waits in Qt's buffer counts against the memory we allow too.
    reply->setReadBufferSize(256 * 1024);
    auto stop = [&](const QString &reason) {
        if (stoppedBy.isEmpty())
            stoppedBy = reason;
        reply->abort();
    };
    QObject::connect(reply, &QNetworkReply::redirected, reply, [&](const QUrl &target) {
        if (target.scheme() != u"https"_s)
            stop(u"%1: the server sent us on to %2, an address without https; refused"_s.arg(
                url.toDisplayString(), target.toDisplayString()));
        else {
            result.finalUrl = target;
            emit reply->redirectAllowed();
        }
    });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (status == 200 && announced > maxBytes)
            stop(u"%1: the file is %2, more than the %3 such a file can be; not downloaded"_s.arg(
                result.finalUrl.toDisplayString(), sizeText(announced), sizeText(maxBytes)));
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200) {
            reply->readAll(); // an error page: not ours to keep
            return;
        }
        const QByteArray chunk = reply->readAll();
        if (result.size + chunk.size() > maxBytes) {
            stop(u"%1: the server sent more than the %2 such a file can be; stopped"_s.arg(
                result.finalUrl.toDisplayString(), sizeText(maxBytes)));
            return;
        }
        if (sink->write(chunk) != chunk.size()) {
            stop(u"%1 could not be written: %2"_s.arg(result.finalUrl.toDisplayString(), sink->errorString()));
            return;
        }
        result.size += chunk.size();
    });

    // A server that drips its bytes keeps the silence time-out away, so
    // the whole fetch has a deadline too, longer for a larger file.
    QElapsedTimer clock;
    clock.start();
    QTimer deadline;
    deadline.setInterval(250);
    QObject::connect(&deadline, &QTimer::timeout, reply, [&] {
        const qint64 expected =
            std::max(result.size, reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
        const qint64 allowed = m_baseDeadline + std::min(expected, maxBytes) * 1000 / SlowestBytesPerSecond;
        if (clock.elapsed() > allowed)
            stop(u"%1: the transfer took longer than %2 seconds; stopped"_s.arg(result.finalUrl.toDisplayString())
                     .arg((allowed + 999) / 1000));
    });
    deadline.start();

    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    deadline.stop();
    m_reply = nullptr;
    if (reply->bytesAvailable() > 0 && stoppedBy.isEmpty())
        emit reply->readyRead();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && status == 200 && stoppedBy.isEmpty()) {
        result.ok = true;
    } else {
        result.notFound = status == 404;
        result.cancelled = m_cancelled;
        result.refused = !m_cancelled && !stoppedBy.isEmpty();
        if (m_cancelled)
            result.error = u"%1: cancelled"_s.arg(result.finalUrl.toDisplayString());
        else if (!stoppedBy.isEmpty())
            result.error = stoppedBy;
        else if (reply->error() == QNetworkReply::OperationCanceledError)
            result.error = u"%1: no answer in time"_s.arg(result.finalUrl.toDisplayString());
        else
            result.error = u"%1: %2"_s.arg(result.finalUrl.toDisplayString(), reply->errorString());
    }
    reply->disconnect();
    reply->deleteLater();
    return result;
}

void Downloader::abort()
{
    if (m_reply) {
        m_cancelled = true;
        m_reply->abort();
    }
}
