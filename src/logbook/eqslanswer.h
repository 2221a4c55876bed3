#pragma once

#include <QByteArrayView>
#include <QString>

// What the eQSL service said about one uploaded QSO. It answers every
// request with a short page: "Result: 1 out of 1 records added" when the
// QSO was taken, otherwise a result of 0 and a line "Error: ..." or
// "Warning: ... Bad record: ..." that says why.
struct EqslAnswer
{
    bool added = false;
    // Why the QSO was not added, in the service's words.
    QString reason;
    // The service refused the user ID or password ("Error: No match on
    // eQSL_User/eQSL_Pswd"): every further QSO would be refused the same.
    bool accountRefused = false;

    // An answer that names no added record is never taken as success.
    static EqslAnswer read(QByteArrayView body);
};
