#include "adifconverter.h"
#include "logrecord.h"
#include "nativelogfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Real ADIF files of other logging programs, read from the shared corpus
// folder (DASHWRIGHT_ADIF_CORPUS, else the folder found at configure
// time): no file may crash or hang the converter or lose a record without
// counting it as rejected.
class TestAdifCorpus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyRecordIsConvertedOrRejected_data();
    void everyRecordIsConvertedOrRejected();
    void encodingTestsGiveTheSameName_data();
    void encodingTestsGiveTheSameName();
    void fileWithoutHeaderInLowerCase();

private:
    QString m_folder;
};

void TestAdifCorpus::initTestCase()
{
    m_folder = qEnvironmentVariable("DASHWRIGHT_ADIF_CORPUS", QStringLiteral(DW_ADIF_CORPUS));
    if (!QDir(m_folder).exists() || QDir(m_folder).entryList({u"*.adi"_s}).isEmpty())
        QSKIP(qPrintable(u"ADIF corpus not found at %1; set DASHWRIGHT_ADIF_CORPUS"_s.arg(m_folder)));
}

// Case-insensitive count of "<eor>" in the raw bytes.
static qint64 eorMarkers(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray data = file.readAll().toUpper();
    return data.count("<EOR>");
}

void TestAdifCorpus::everyRecordIsConvertedOrRejected_data()
{
    QTest::addColumn<QString>("path");
    if (m_folder.isEmpty())
        return;
    const QDir dir(m_folder);
    for (const QString &name : dir.entryList({u"*.adi"_s}, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
}

void TestAdifCorpus::everyRecordIsConvertedOrRejected()
{
    QFETCH(QString, path);
    QTemporaryDir out;
    const QString native = out.filePath(u"~adifimport.krv"_s);
    QElapsedTimer clock;
    clock.start();
    const AdifImportResult result = AdifConverter().convertFile(path, native);
    const qint64 ms = clock.elapsed();
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    const qint64 markers = eorMarkers(path);
    qInfo("%s: %lld converted, %lld rejected, %lld <EOR> markers, %lld ms", qPrintable(QFileInfo(path).fileName()),
          result.converted, result.rejected, markers, ms);
    // One more than the markers: a last record cut off by the end of the file.
    QVERIFY(result.converted + result.rejected >= markers);
    QVERIFY(result.converted + result.rejected <= markers + 1);

    NativeLogFile log;
    if (result.converted == 0) {
        QVERIFY(!QFile::exists(native));
        return;
    }
    QVERIFY(log.open(native));
    QCOMPARE(QFileInfo(native).size(), result.converted * NativeLogFile::RecordBytes);
    for (qint64 i = 0; i < log.count(); ++i) {
        const auto record = LogRecord::decode(log.recordAt(i));
        QVERIFY(record);
        QVERIFY(!record->text().call.isEmpty());
        QVERIFY(record->bandIndex() < 13);
    }
}

void TestAdifCorpus::encodingTestsGiveTheSameName_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QByteArray>("call");
    QTest::newRow("ISO-8859-1") << u"22_*.adi"_s << QByteArray("K1ISO");
    QTest::newRow("UTF-8, lengths in bytes") << u"23_*.adi"_s << QByteArray("K2UTF");
    QTest::newRow("UTF-8, lengths in characters") << u"24_*.adi"_s << QByteArray("K3UTF");
}

void TestAdifCorpus::encodingTestsGiveTheSameName()
{
    QFETCH(QString, pattern);
    QFETCH(QByteArray, call);
    const QStringList files = QDir(m_folder).entryList({pattern});
    if (files.isEmpty())
        QSKIP("encoding test file not in the corpus");
    QTemporaryDir out;
    const QString native = out.filePath(u"n.krv"_s);
    const AdifImportResult result = AdifConverter().convertFile(QDir(m_folder).filePath(files.first()), native);
    QCOMPARE(result.converted, 1);
    NativeLogFile log;
    QVERIFY(log.open(native));
    const TextBlock text = LogRecord::decode(log.recordAt(0))->text();
    QCOMPARE(text.call, call);
    QCOMPARE(text.first, "JU\xC1N-MU\xD1OZ");      // JUAN MUNOZ with acute A and tilde N
    QCOMPARE(text.second, QByteArray("EL-CA\xD1\xD3N").left(27 - call.size() - 2 - text.first.size()));
}

void TestAdifCorpus::fileWithoutHeaderInLowerCase()
{
    const QStringList files = QDir(m_folder).entryList({u"13_*.adi"_s});
    if (files.isEmpty())
        QSKIP("file 13 not in the corpus");
    QTemporaryDir out;
    const QString native = out.filePath(u"n.krv"_s);
    AdifImportOptions options;
    options.call1 = u"ww4n"_s;
    const AdifImportResult result = AdifConverter(options).convertFile(QDir(m_folder).filePath(files.first()), native);
    QCOMPARE(result.rejected, 0);
    QCOMPARE(result.converted, 49);
    NativeLogFile log;
    QVERIFY(log.open(native));
    const auto first = LogRecord::decode(log.recordAt(0));
    QCOMPARE(first->text().call, "K9DVP");
    QVERIFY(!first->isUser2());
    QVERIFY(!first->isSSB());
    QCOMPARE(first->start, "004614040721");
}

QTEST_APPLESS_MAIN(TestAdifCorpus)
#include "tst_adifcorpus.moc"
