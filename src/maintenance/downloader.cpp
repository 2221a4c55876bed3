#include "downloader.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>

using namespace Qt::StringLiterals;

Downloader::Downloader() : m_network(new QNetworkAccessManager) {}

Downloader::~Downloader()
{
    delete m_network;
}

Downloader::Result Downloader::fetch(const QUrl &url)
{
    Result result;
    if (url.scheme() != u"https"_s || !url.isValid()) {
        result.error = u"%1 is not an https:// address; updates are fetched only over a checked connection."_s
                           .arg(url.toDisplayString());
        return result;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         m_sameOriginOnly ? QNetworkRequest::SameOriginRedirectPolicy
                                          : QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setTransferTimeout(m_timeout);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!m_extraCas.isEmpty())
        tls.addCaCertificates(m_extraCas);
    request.setSslConfiguration(tls);

    QNetworkReply *reply = m_network->get(request);
    m_reply = reply;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The transfer time-out ends a silent server; no second timer needed.
    if (!reply->isFinished())
        loop.exec();
    m_reply = nullptr;

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && status == 200) {
        result.ok = true;
        result.data = reply->readAll();
    } else {
        result.notFound = status == 404;
        switch (reply->error()) {
        case QNetworkReply::OperationCanceledError:
            result.error = u"%1: no answer in time, or the transfer was stopped"_s.arg(url.toDisplayString());
            break;
        case QNetworkReply::InsecureRedirectError:
            result.error = u"%1: the server sent us on to an address without https; refused"_s.arg(url.toDisplayString());
            break;
        default:
            result.error = u"%1: %2"_s.arg(url.toDisplayString(), reply->errorString());
        }
    }
    reply->deleteLater();
    return result;
}

void Downloader::abort()
{
    if (m_reply)
        m_reply->abort();
}
