#include "fakekeyerport.h"
#include "keyerlink.h"
#include "logtestdata.h"
#include "logtransfer.h"
#include "nativelogfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using Outcome = LogTransferResult::Outcome;
Q_DECLARE_METATYPE(LogTransferResult::Outcome)

namespace {

const QByteArray R0 = makeRecord(0x07, "DL1ABC", "HANS", "BERLIN").encode();
const QByteArray R1 = makeRecord(0x49, "G4XYZ", ":QRP").encode();
const QByteArray R2 = makeRecord(0x25, "OH2AB", "TEST", {}, "0599", "0599", "000012000034").encode();

// A keyer on an in-memory port: the acknowledgement of the command, then
// each piece as an arrival of its own.
struct Keyer
{
    explicit Keyer(char ackByte = KeyerLink::ACK)
    {
        port.devices = {u"keyer"_s};
        link.setPortTable(PortTable({u"keyer"_s}));
        link.openPort(1, 38400);
        // The silence that ends a read comes after 50 ms instead of a second.
        link.setWaitScale(0.05);
        port.responder = [this, ackByte](FakeKeyerPort &p, const QByteArray &written) {
            if (written.size() == 2 && written.at(0) == KeyerLink::ENQ) {
                p.arrive(QByteArray(1, written.at(1)) + ackByte + KeyerLink::STX);
                for (int i = 0; i < pieces.size(); ++i)
                    p.arrive(pieces.at(i), 5 * (i + 1));
            } else if (written.endsWith('\r') && echoes.size() > 0) {
                const QByteArray echo = echoes.takeFirst();
                if (!echo.isNull())
                    p.arrive(echo);
            }
        };
    }

    FakeKeyerPort port;
    KeyerLink link{&port};
    QList<QByteArray> pieces;
    // The answer to each record line of a load; null: none.
    QList<QByteArray> echoes;
};

} // namespace

// The log transfers over an in-memory port: records put together from
// whatever pieces the keyer's bytes arrive in, ETX or silence as the end,
// silence before the count as an incomplete transfer, and the echo of each
// loaded record.
class TestLogTransfer : public QObject
{
    Q_OBJECT

private slots:
    void readLogAssemblesRecords_data();
    void readLogAssemblesRecords();
    void loadStopsAtTheFirstBadEcho_data();
    void loadStopsAtTheFirstBadEcho();
};

void TestLogTransfer::readLogAssemblesRecords_data()
{
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<char>("ack");
    QTest::addColumn<int>("expected");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("error");
    QTest::addColumn<QByteArrayList>("records");
    const char ack = KeyerLink::ACK;
    const QByteArray etx(1, KeyerLink::ETX);
    QTest::newRow("records split anywhere, ETX alone")
        << QByteArrayList{R0 + '\r' + R1.left(30), R1.mid(30, 40), R1.mid(70) + '\r' + R2.left(1), R2.mid(1) + '\r', etx}
        << ack << 3 << Outcome::Complete << 0 << QByteArrayList{R0, R1, R2};
    QTest::newRow("pieces ending exactly with CR")
        << QByteArrayList{R0 + '\r', R1 + '\r', etx} << ack << 2 << Outcome::Complete << 0 << QByteArrayList{R0, R1};
    QTest::newRow("ETX right behind the last CR")
        << QByteArrayList{R0 + '\r' + R1 + '\r' + etx} << ack << 2 << Outcome::Complete << 0 << QByteArrayList{R0, R1};
    QTest::newRow("a short line padded to 88")
        << QByteArrayList{"0747\r", etx} << ack << 1 << Outcome::Complete << 0
        << QByteArrayList{QByteArray("0747").leftJustified(88, ' ')};
    QTest::newRow("silence after the last record") << QByteArrayList{R0 + '\r', R1 + '\r'} << ack << 2
                                                   << Outcome::Complete << 0 << QByteArrayList{R0, R1};
    QTest::newRow("silence before the count") << QByteArrayList{R0 + '\r', R1.left(50)} << ack << 3
                                              << Outcome::Incomplete << 0 << QByteArrayList{R0};
    QTest::newRow("no data after the command")
        << QByteArrayList{} << ack << 2 << Outcome::Failed << LogTransferErrors::NoReadData << QByteArrayList{};
    QTest::newRow("command not acknowledged") << QByteArrayList{R0 + '\r', etx} << char(21) << 1 << Outcome::Failed
                                              << LogTransferErrors::ReadNotAcknowledged << QByteArrayList{};
}

void TestLogTransfer::readLogAssemblesRecords()
{
    QFETCH(QByteArrayList, pieces);
    QFETCH(char, ack);
    QFETCH(int, expected);
    QFETCH(QByteArrayList, records);
    Keyer keyer(ack);
    keyer.pieces = pieces;
    QByteArrayList received;
    LogTransfer transfer(keyer.link);
    const LogTransferResult result = transfer.readLog(expected, [&](QByteArrayView record) {
        received.append(record.toByteArray());
        return true;
    });
    QTEST(result.outcome, "outcome");
    QTEST(result.error, "error");
    QCOMPARE(received, records);
    QCOMPARE(result.records, qint64(records.size()));
    // The event stream gets the port back whatever happened.
    QCOMPARE(keyer.link.receiveThreshold(), 1);
}

void TestLogTransfer::loadStopsAtTheFirstBadEcho_data()
{
    QTest::addColumn<QByteArrayList>("echoes");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("loaded");
    QTest::newRow("every record echoed") << QByteArrayList{R0 + '\r', R1 + '\r', R2 + '\r'} << Outcome::Complete << 0
                                         << 3;
    QTest::newRow("the second echo differs")
        << QByteArrayList{R0 + '\r', R2 + '\r', R2 + '\r'} << Outcome::EchoMismatch << 0 << 1;
    QTest::newRow("no echo for the third")
        << QByteArrayList{R0 + '\r', R1 + '\r', QByteArray()} << Outcome::Failed << LogTransferErrors::NoEcho << 2;
}

void TestLogTransfer::loadStopsAtTheFirstBadEcho()
{
    QFETCH(QByteArrayList, echoes);
    QFETCH(int, loaded);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"log.krv"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R0 + "\r\n" + R1 + "\r\n" + R2 + "\r\n");
    file.close();
    NativeLogFile log;
    QVERIFY(log.open(path));
    Keyer keyer;
    keyer.echoes = echoes;
    LogTransfer transfer(keyer.link);
    const LogTransferResult result = transfer.loadLog(log, log.count());
    QTEST(result.outcome, "outcome");
    QTEST(result.error, "error");
    QCOMPARE(result.records, qint64(loaded));
    // Record by record, each sent only after the echo of the one before.
    const QByteArray sent = keyer.port.written.mid(2);
    QCOMPARE(sent, (R0 + '\r' + R1 + '\r' + R2 + '\r').left(qMin(3, loaded + 1) * 89));
}

QTEST_MAIN(TestLogTransfer)
#include "tst_logtransfer.moc"
