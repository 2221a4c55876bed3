#include "eqslupload.h"

#include "adifrecordreader.h"
#include "eqslanswer.h"
#include "eqslrequest.h"
#include "keyererror.h"

#include <QBuffer>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// Rejections listed one by one; a long list is cut, its length still told.
constexpr int ListedRejections = 10;
// The service's words are cut to a line or two, so that the message box
// stays lower than the screen whatever the service answers.
constexpr int ShownLength = 200;

QString brief(QString text)
{
    if (text.size() <= ShownLength)
        return text;
    text.truncate(ShownLength - 1);
    if (text.back().isHighSurrogate())
        text.chop(1);
    return text + QChar(0x2026);
}

// "K1ABC 20240105 1405" from the record, for the operator to find it.
QString describe(const QByteArray &qso, int index)
{
    QBuffer buffer;
    buffer.setData(qso);
    buffer.open(QIODevice::ReadOnly);
    AdifRecordReader reader(&buffer);
    AdifFields fields;
    if (reader.next(&fields) != AdifRecordReader::Result::Record || !fields.has(AdifTag::Call))
        return u"Record"_s + numberText(index);
    QStringList parts;
    for (const AdifTag tag : {AdifTag::Call, AdifTag::QsoDate, AdifTag::TimeOn})
        if (fields.has(tag))
            parts << QString::fromLatin1(fields.value(tag).toByteArray());
    return parts.join(u' ');
}

bool endsWithTag(QByteArrayView line, QByteArrayView tag)
{
    return line.size() >= tag.size() && line.last(tag.size()).compare(tag, Qt::CaseInsensitive) == 0;
}

} // namespace

EqslUploadResult EqslUpload::run(const QString &path, const QString &base, const QString &user,
                                 const QString &password)
{
    EqslUploadResult result;
    if (QUrl(base).scheme() != u"https"_s) {
        result.stoppedBy = u"The eQSL address %1 does not begin with https://; the password is sent only over "
                           "a checked connection."_s.arg(QUrl(base).toString(QUrl::RemoveQuery));
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.stoppedBy = u"%1 could not be read: %2"_s.arg(path, file.errorString());
        return result;
    }
    qint64 done = 0;
    int index = 0;
    QByteArray pending;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        done += line.size() + 2;
        if (m_progress)
            m_progress(done);
        if (!line.startsWith('<'))
            continue;
        // Whatever came before the end of a header is no QSO.
        if (const qsizetype header = line.toUpper().lastIndexOf("<EOH>"); header >= 0)
            pending = line.mid(header + 5);
        else
            pending += line;
        if (!endsWithTag(QByteArrayView(line).trimmed(), "<EOR>"))
            continue;
        ++index;
        if (m_cancelled) {
            result.cancelled = true;
            break;
        }
        const QUrl url = EqslRequest::url(base, pending, user, password);
        const EqslReply reply = m_fetch(url);
        if (!reply.ok) {
            result.stoppedAt = index;
            if (reply.mayHaveArrived)
                result.uncertain = describe(pending, index);
            // A request the operator stopped is a cancel, not a failure.
            if (m_cancelled) {
                result.cancelled = true;
                break;
            }
            result.stoppedBy = brief(EqslRequest::conceal(reply.error, url, password));
            break;
        }
        const EqslAnswer answer = EqslAnswer::read(reply.body);
        if (answer.accountRefused) {
            result.stoppedBy = brief(EqslRequest::conceal(answer.reason, url, password))
                + u" (right-click the eQSL button to check the user ID and password)"_s;
            result.stoppedAt = index;
            break;
        }
        if (answer.added)
            ++result.sent;
        else
            result.rejected.append({describe(pending, index), brief(EqslRequest::conceal(answer.reason, url, password))});
        pending.clear();
    }
    if (file.error() != QFileDevice::NoError && result.stoppedBy.isEmpty() && !result.cancelled)
        result.stoppedBy = u"%1 could not be read: %2"_s.arg(path, file.errorString());
    return result;
}

QString EqslUploadResult::message() const
{
    QString text = numberText(sent) + u" records have been sent to eQSL"_s;
    if (!rejected.isEmpty()) {
        text += u"\r\n\r\neQSL did not add"_s + numberText(rejected.size())
            + (rejected.size() == 1 ? u" record:"_s : u" records:"_s);
        for (const EqslRejection &rejection : rejected.first(qMin(rejected.size(), ListedRejections)))
            text += u"\r\n"_s + rejection.qso + u": "_s + rejection.reason;
        if (rejected.size() > ListedRejections)
            text += u"\r\nand"_s + numberText(rejected.size() - ListedRejections) + u" more"_s;
    }
    const QString check = u" eQSL may have added it: check it on eQSL before sending it again"_s;
    if (!stoppedBy.isEmpty() && !uncertain.isEmpty()) {
        text += u"\r\n\r\nThe upload stopped at record"_s + numberText(stoppedAt) + u" ("_s + uncertain
            + u"): its request was sent, but no answer was read ("_s + stoppedBy + u")."_s + check
            + u"; the records after it were not sent."_s;
    } else if (!stoppedBy.isEmpty()) {
        text += stoppedAt > 0 ? u"\r\n\r\nThe upload stopped at record"_s + numberText(stoppedAt)
                    + u"; it and the records after it were not sent: "_s + stoppedBy
                              : u"\r\n\r\n"_s + stoppedBy;
    }
    if (cancelled)
        text += u"\r\n\r\nThe upload was cancelled: the remaining records were not sent."_s;
    if (cancelled && !uncertain.isEmpty())
        text += u" The request of record"_s + numberText(stoppedAt) + u" ("_s + uncertain
            + u") was sent, but its answer was not awaited."_s + check + u'.';
    return text;
}
