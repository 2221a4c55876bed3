#include "profileload.h"

#include "ansitext.h"
#include "keyerlink.h"
#include "profilestore.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int PauseBeforeRecords = 1000;
constexpr int LoadPatience = 8000;

QStringList loadOrder()
{
    QStringList keys{u"CALL1"_s, u"CALL2"_s, u"OPER1"_s, u"OPER2"_s,
                     u"NAME1"_s, u"NAME2"_s, u"QTH_1"_s, u"QTH_2"_s};
    for (int set = 1; set <= ProfileStore::MessageSets; ++set) {
        for (int number = 0; number < ProfileStore::MessagesPerSet; ++number)
            keys << ProfileStore::messageKey(set, number);
    }
    return keys;
}

// A record is "<" + key + ">" + value + CR: a line break would end it, and a
// "<" inside a value would start a record of its own.
QString onOneLine(QString value)
{
    value.remove(u'<');
    for (QChar &c : value) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return value;
}

} // namespace

QByteArray ProfileLoad::records(const ProfileStore &store, int profile)
{
    QByteArray bytes;
    for (const QString &key : loadOrder()) {
        const QString value = store.value(profile, key);
        if (!value.isEmpty())
            bytes += '<' + key.toLatin1() + '>' + AnsiText::fromUnicode(onOneLine(value)) + '\r';
    }
    return bytes;
}

ProfileLoad::Outcome ProfileLoad::run(const QByteArray &records)
{
    if (!m_link.SendCommand('L'))
        return stop(Outcome::Failed);
    m_link.Wait(PauseBeforeRecords);
    if (m_link.linkStatus == KeyerLink::Cancelled)
        return stop(Outcome::Cancelled);
    m_link.write(records);
    if (!m_link.WaitForByte(KeyerLink::ETX, LoadPatience))
        return stop(Outcome::Failed);
    m_link.write(QByteArray(1, KeyerCommand::StopTransfer));
    return Outcome::Loaded;
}

ProfileLoad::Outcome ProfileLoad::stop(Outcome outcome)
{
    if (m_link.linkStatus == KeyerLink::Cancelled)
        outcome = Outcome::Cancelled;
    m_link.stopTransfer();
    m_link.setReceiveThreshold(1);
    return outcome;
}
