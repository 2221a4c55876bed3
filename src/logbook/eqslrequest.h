#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// One upload request of the eQSL service: a GET whose query carries one
// QSO of an ADIF file, the user ID and the password.
class EqslRequest
{
public:
    // The service's upload endpoint; the setting eQSLLoader overrides it.
    static const QString DefaultLoader;

    // Letters and digits pass; every other character becomes "%" and the
    // two upper-case hexadecimal digits of its code, so "&", "=", "<" and
    // blanks can never end a parameter early. A character above 0xFF has
    // no two-digit code: its UTF-8 bytes are sent, each so encoded.
    static QByteArray encode(QStringView text);

    // base + "ADIFData=" + encode(qso) + "&EQSL_USER=" + encode(user)
    // + "&EQSL_PSWD=" + encode(password). The QSO text is read as Latin-1,
    // a character per byte of the file. QUrl writes the four characters
    // that never need encoding ("-", ".", "_", "~") as themselves; a
    // server reads both forms alike.
    static QUrl url(const QString &base, QByteArrayView qso, const QString &user, const QString &password);

    // The text with the request's address and the password in every form
    // it may take replaced, for messages built from what the network or
    // the service said about a request.
    static QString conceal(QString text, const QUrl &url, const QString &password);
};
