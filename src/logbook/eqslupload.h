#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <functional>

// What one request brought back: the answer's text, or why there was none.
struct EqslReply
{
    bool ok = false;
    QByteArray body;
    QString error;
    // The request left, but no answer was read: the service may have
    // added the QSO.
    bool mayHaveArrived = false;
};

// A QSO the service did not add, and why.
struct EqslRejection
{
    QString qso; // call, date and time from the record
    QString reason;
};

struct EqslUploadResult
{
    int sent = 0; // QSOs the service added
    QList<EqslRejection> rejected;
    // Set when the run ended early: a request that got no answer, or a
    // file that could not be read. Records from there on were not sent.
    QString stoppedBy;
    int stoppedAt = 0; // the record (1-based) whose request failed
    // The QSO whose request was sent without an answer read, if one: the
    // operator checks it on eQSL before sending it again.
    QString uncertain;
    bool cancelled = false;

    bool complete() const { return rejected.isEmpty() && stoppedBy.isEmpty() && !cancelled; }
    // The operator's summary: the number sent, the rejected QSOs with the
    // service's reasons, and why the run stopped.
    QString message() const;
};

// Uploads the QSOs of an ADIF file to eQSL, one request per QSO.
//
// Lines that begin with "<" are joined; a line ending in <EOR> completes a
// QSO, which is sent. Other lines (the header, blank lines) are skipped,
// and so is anything up to an <EOH>. A QSO counts as sent only when the
// service says it was added. The first request without an answer ends the
// run, and so does an answer that refuses the account, as every later
// request would be refused the same; a request is never sent twice. The
// password never appears in a result: whatever the network or the service
// says about a request is told without it, and cut to a line or two.
class EqslUpload
{
public:
    using Fetch = std::function<EqslReply(const QUrl &)>;

    explicit EqslUpload(Fetch fetch) : m_fetch(std::move(fetch)) {}

    // Bytes of the file dealt with so far (line length + 2 per line).
    void setProgress(std::function<void(qint64)> progress) { m_progress = std::move(progress); }
    // Ends the run before its next request.
    void cancel() { m_cancelled = true; }

    EqslUploadResult run(const QString &path, const QString &base, const QString &user, const QString &password);

private:
    Fetch m_fetch;
    std::function<void(qint64)> m_progress;
    bool m_cancelled = false;
};
