#include "eqslrequest.h"

using namespace Qt::StringLiterals;

const QString EqslRequest::DefaultLoader = u"https://www.eqsl.cc/qslcard/importADIF.cfm?"_s;

namespace {

void appendEncoded(QByteArray *out, uchar code)
{
    static const char hex[] = "0123456789ABCDEF";
    out->append('%').append(hex[code >> 4]).append(hex[code & 15]);
}

bool passes(char32_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

} // namespace

QByteArray EqslRequest::encode(QStringView text)
{
    QByteArray out;
    out.reserve(text.size() * 3);
    for (const char32_t c : text.toUcs4()) {
        if (passes(c)) {
            out.append(char(c));
        } else if (c <= 0xFF) {
            appendEncoded(&out, uchar(c));
        } else {
            for (const char byte : QString::fromUcs4(&c, 1).toUtf8())
                appendEncoded(&out, uchar(byte));
        }
    }
    return out;
}

QUrl EqslRequest::url(const QString &base, QByteArrayView qso, const QString &user, const QString &password)
{
    // The base is the operator's text; what is appended is encoded already
    // and must not be encoded again.
    const QByteArray encoded = QUrl(base).toEncoded() + "ADIFData=" + encode(QString::fromLatin1(qso))
        + "&EQSL_USER=" + encode(user) + "&EQSL_PSWD=" + encode(password);
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

QString EqslRequest::conceal(QString text, const QUrl &url, const QString &password)
{
    const QString address = url.toString(QUrl::RemoveQuery);
    for (const QString &form : {url.toString(QUrl::FullyEncoded), url.toString(), url.toDisplayString()})
        text.replace(form, address);
    if (password.isEmpty())
        return text;
    const QString hidden(8, u'*');
    const QString query = url.query(QUrl::FullyEncoded);
    const qsizetype field = query.lastIndexOf(u"EQSL_PSWD="_s);
    const QString sent = field >= 0 ? query.mid(field + 10) : QString();
    for (const QString &form : {QString::fromLatin1(encode(password)), sent,
                                QUrl::fromPercentEncoding(sent.toLatin1()), password}) {
        if (!form.isEmpty())
            text.replace(form, hidden);
    }
    return text;
}
