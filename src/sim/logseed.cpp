#include "logseed.h"

#include "logtimestamp.h"
#include "nativelogfile.h"
#include "payloadcodec.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace {

const char *const Prefixes[] = {"DL", "G",  "F",  "I",  "EA", "OH", "SM", "LA", "OK", "SP", "HB9", "ON", "PA", "OE", "K",
                                "W",  "N",  "VE", "JA", "VK", "ZL", "UA", "YO", "LZ", "S5", "9A",  "EI", "GM", "CT", "OZ"};
const char *const Names[] = {"HANS", "PETER", "ANNA", "JOHN", "MARIA", "LARS", "PIERRE", "YOSHI", "IVAN", "JOSE",
                             "ERIK", "MIKE", "KARL", "ELENA", "TOM", "JAN", "PAOLO", "BILL", "SVEN", "ROSA"};
const char *const Qths[] = {"BERLIN", "LONDON", "PARIS", "ROME", "MADRID", "HELSINKI", "OSLO", "PRAGUE", "WARSAW",
                            "BERN", "GHENT", "DELFT", "VIENNA", "BOSTON", "DENVER", "TORONTO", "OSAKA", "PERTH",
                            "NEW YORK", "CORK"};
// Band numbers, the busy bands more than once.
const int Bands[] = {7, 7, 7, 9, 9, 9, 8, 8, 6, 5, 11, 11, 3, 4, 12, 10, 2, 0};

template<typename T, size_t N>
const T &pick(QRandomGenerator &random, const T (&table)[N])
{
    return table[random.bounded(int(N))];
}

// Call NUL first NUL second, blanks as "_", the last byte left NUL.
QByteArray textBlock(const QByteArray &call, const QByteArray &first, const QByteArray &second)
{
    QByteArray bytes = call + '\0' + first + '\0' + second;
    bytes.replace(' ', '_');
    bytes.truncate(TextBlock::Size - 1);
    return bytes.leftJustified(TextBlock::Size, '\0');
}

QByteArray makeCall(QRandomGenerator &random)
{
    QByteArray call = pick(random, Prefixes);
    call += char('0' + random.bounded(10));
    const int letters = 2 + random.bounded(2);
    for (int i = 0; i < letters; ++i)
        call += char('A' + random.bounded(26));
    return call;
}

} // namespace

namespace LogSeed {

QList<LogRecord> generate(int count, const QDateTime &now)
{
    QRandomGenerator random(20240317u);
    QList<LogRecord> records;
    records.reserve(count);
    for (int i = 0; i < count; ++i) {
        LogRecord record;
        const bool ssb = random.bounded(100) < 15;
        const bool contest = random.bounded(100) < 5;
        int band = pick(random, Bands);
        QByteArray call;
        if (!records.isEmpty() && random.bounded(100) < 8) {
            // Worked before, on the same band: the keyer marks it.
            const LogRecord &earlier = records.at(random.bounded(int(records.size())));
            call = earlier.text().call;
            band = earlier.bandIndex();
            record.flags |= LogFlags::Duplicate;
        } else {
            call = makeCall(random);
        }
        record.flags |= quint8(band);
        if (ssb)
            record.flags |= LogFlags::SSB;
        if (random.bounded(100) < 10)
            record.flags |= LogFlags::User2;
        QByteArray first = pick(random, Names);
        QByteArray second = pick(random, Qths);
        const int extra = random.bounded(100);
        if (extra < 5)
            second = ":QRP";
        else if (extra < 9)
            first = "/" + makeCall(random);
        const QDateTime start = now.addSecs(-qint64(count - i) * 900 - random.bounded(600));
        record.start = LogTimestamp::fromDateTime(start).encode();
        if (contest) {
            record.flags |= LogFlags::Contest;
            first = "TEST";
            second.clear();
            record.endOrSerials = PayloadCodec::Dec(1 + random.bounded(999), 6) + PayloadCodec::Dec(i + 1, 6);
        } else {
            record.endOrSerials = LogTimestamp::fromDateTime(start.addSecs(120 + random.bounded(480))).encode();
        }
        static const char *const cwReports[] = {"0599", "0579", "0559", "0589"};
        static const char *const ssbReports[] = {"0059", "0057", "0055"};
        record.rstReceived = ssb ? pick(random, ssbReports) : pick(random, cwReports);
        record.rstSent = ssb ? pick(random, ssbReports) : pick(random, cwReports);
        record.textBlock = textBlock(call, first, second);
        records.append(record);
    }
    return records;
}

bool readFile(const QString &path, QList<LogRecord> *records, QString *error)
{
    NativeLogFile file;
    if (!file.open(path)) {
        *error = u"cannot read %1: %2"_s.arg(path, file.errorString());
        return false;
    }
    records->clear();
    for (qint64 i = 0; i < file.count(); ++i) {
        const auto record = LogRecord::decode(file.recordAt(i));
        if (!record) {
            *error = u"%1: record %2 is no log record"_s.arg(path).arg(i + 1);
            return false;
        }
        records->append(*record);
    }
    return true;
}

} // namespace LogSeed
