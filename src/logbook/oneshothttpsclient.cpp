#include "oneshothttpsclient.h"

#include <QEventLoop>
#include <QScopeGuard>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

enum class Parsed { Incomplete, Complete, Bad };

// The body of a chunked answer, once its last chunk is there.
Parsed unchunk(QByteArrayView data, QByteArray *body)
{
    qsizetype pos = 0;
    for (;;) {
        const qsizetype lineEnd = data.indexOf("\r\n", pos);
        if (lineEnd < 0)
            return Parsed::Incomplete;
        QByteArrayView sizeText = data.sliced(pos, lineEnd - pos);
        if (const qsizetype extension = sizeText.indexOf(';'); extension >= 0)
            sizeText = sizeText.first(extension);
        bool ok = false;
        const qint64 size = sizeText.trimmed().toLongLong(&ok, 16);
        if (!ok || size < 0)
            return Parsed::Bad;
        pos = lineEnd + 2;
        if (size == 0) // the last chunk; trailers end with an empty line
            return data.sliced(pos).startsWith("\r\n") || data.indexOf("\r\n\r\n", pos) >= 0 ? Parsed::Complete
                                                                                             : Parsed::Incomplete;
        if (data.size() - pos < size + 2)
            return Parsed::Incomplete;
        if (!data.sliced(pos + size, 2).startsWith("\r\n"))
            return Parsed::Bad;
        body->append(data.sliced(pos, size));
        pos += size + 2;
    }
}

// An HTTP/1.1 answer read so far; closed: the server has closed the
// connection, so an answer without length ends here.
Parsed parseAnswer(QByteArrayView data, bool closed, int *status, QByteArray *body)
{
    qsizetype headEnd = data.indexOf("\r\n\r\n");
    // Interim answers (100 Continue) come before the real one.
    while (headEnd >= 0 && data.startsWith("HTTP/1.") && data.size() > 9 && data.at(9) == '1'
           && !data.sliced(9).startsWith("101")) {
        data = data.sliced(headEnd + 4);
        headEnd = data.indexOf("\r\n\r\n");
    }
    if (headEnd < 0)
        return closed ? Parsed::Bad : Parsed::Incomplete;
    const QList<QByteArray> lines = data.first(headEnd).toByteArray().split('\n');
    const QList<QByteArray> statusLine = lines.constFirst().trimmed().split(' ');
    bool ok = false;
    *status = statusLine.size() >= 2 ? statusLine.at(1).toInt(&ok) : 0;
    if (!lines.constFirst().startsWith("HTTP/1.") || !ok)
        return Parsed::Bad;
    qint64 length = -1;
    bool chunked = false;
    for (const QByteArray &line : lines.sliced(1)) {
        const qsizetype colon = line.indexOf(':');
        const QByteArray name = line.first(qMax<qsizetype>(colon, 0)).trimmed().toLower();
        const QByteArray value = line.sliced(colon + 1).trimmed();
        if (name == "content-length" && !chunked) {
            length = value.toLongLong(&ok);
            if (!ok || length < 0)
                return Parsed::Bad;
        } else if (name == "transfer-encoding") {
            chunked = value.toLower().contains("chunked");
        }
    }
    const QByteArrayView rest = data.sliced(headEnd + 4);
    body->clear();
    if (*status == 204 || *status == 304)
        return Parsed::Complete;
    if (chunked) {
        const Parsed parsed = unchunk(rest, body);
        return parsed == Parsed::Incomplete && closed ? Parsed::Bad : parsed;
    }
    if (length >= 0) {
        if (rest.size() < length)
            return closed ? Parsed::Bad : Parsed::Incomplete;
        *body = rest.first(length).toByteArray();
        return Parsed::Complete;
    }
    if (!closed)
        return Parsed::Incomplete;
    *body = rest.toByteArray();
    return Parsed::Complete;
}

QByteArray requestBytes(const QUrl &url)
{
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url.port() != -1 && url.port() != 443)
        host += ':' + QByteArray::number(url.port());
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    return "GET " + target + " HTTP/1.1\r\nHost: " + host
        + "\r\nUser-Agent: Dashwright\r\nAccept: */*\r\nConnection: close\r\n\r\n";
}

} // namespace

OneShotHttpsClient::Reply OneShotHttpsClient::get(const QUrl &url)
{
    using Outcome = Reply::Outcome;
    Reply reply;
    if (!url.isValid() || url.scheme() != u"https"_s || url.host().isEmpty()) {
        reply.error = u"the address is not an https:// address"_s;
        return reply;
    }
    const QString peer = url.host() + u':' + QString::number(url.port(443));

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QByteArray received;
    bool written = false;
    bool done = false;
    Parsed parsed = Parsed::Incomplete;
    QString certificateErrors;
    QSslSocket socket;

    const auto finish = [&](const QString &why) {
        if (done)
            return;
        done = true;
        reply.error = why;
        loop.quit();
    };
    // Reads what the limit allows, then sees whether the answer is whole.
    const auto take = [&](bool closed) {
        if (done)
            return;
        received += socket.read(m_limit + 1 - received.size());
        if (received.size() > m_limit)
            return finish(u"the answer is longer than %1 KB; reading was stopped"_s.arg(m_limit / 1024));
        parsed = parseAnswer(received, closed, &reply.status, &reply.body);
        if (parsed == Parsed::Bad)
            finish(closed && !received.isEmpty() ? u"the connection closed in the middle of the answer"_s
                   : closed                      ? u"the connection closed before any answer came"_s
                                                 : u"the answer is not HTTP"_s);
        else if (parsed == Parsed::Complete)
            finish({});
    };

    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!m_extraCas.isEmpty())
        tls.addCaCertificates(m_extraCas);
    socket.setSslConfiguration(tls);
    QObject::connect(&socket, &QSslSocket::encrypted, &loop, [&] {
        written = true;
        socket.write(requestBytes(url));
    });
    QObject::connect(&socket, &QIODevice::readyRead, &loop, [&] { take(false); });
    QObject::connect(&socket, &QAbstractSocket::disconnected, &loop, [&] { take(true); });
    QObject::connect(&socket, &QSslSocket::sslErrors, &loop, [&](const QList<QSslError> &errors) {
        QStringList texts;
        for (const QSslError &error : errors)
            texts << error.errorString();
        certificateErrors = texts.join(u"; "_s);
    });
    QObject::connect(&socket, &QAbstractSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError && written)
            return take(true);
        finish(!certificateErrors.isEmpty() ? u"the certificate of %1 was not accepted: %2"_s.arg(peer, certificateErrors)
            : written                        ? u"the connection to %1 failed: %2"_s.arg(peer, socket.errorString())
                                             : u"no connection to %1: %2"_s.arg(peer, socket.errorString()));
    });
    QObject::connect(&timer, &QTimer::timeout, &loop,
                     [&] { finish(u"no answer within %1 s"_s.arg((m_timeout + 999) / 1000)); });
    m_abort = [&] { finish(u"the operator stopped the transfer"_s); };
    const auto cleanup = qScopeGuard([&] {
        m_abort = {};
        socket.disconnect();
        socket.abort();
    });

    socket.connectToHostEncrypted(url.host(), quint16(url.port(443)));
    timer.start(m_timeout);
    if (!done)
        loop.exec();

    if (parsed == Parsed::Complete && reply.error.isEmpty()) {
        reply.outcome = Outcome::Answered;
        if (reply.status != 200)
            reply.error = u"the server answered with HTTP status %1"_s.arg(reply.status);
        return reply;
    }
    reply.outcome = written ? Outcome::NoAnswer : Outcome::NotSent;
    reply.status = 0;
    reply.body.clear();
    return reply;
}

void OneShotHttpsClient::abort()
{
    if (m_abort)
        m_abort();
}
