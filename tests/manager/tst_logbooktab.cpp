#include "station.h"

#include "listlineformatter.h"
#include "logbooktab.h"
#include "logexport.h"
#include "logseed.h"
#include "nativelogfile.h"
#include "qsolistwindow.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

// Fast enough that a log of 150 records takes a fraction of a second.
constexpr int LineRate = 921600;
const QString ReplaceQuestion = u"This will erase and replace the log that is in the keyer! Continue?"_s;
const QString AppendQuestion = u"Do you want to append records from the file to the end of the log?"_s;
const QString Capacity = u"Exceeds keyer capacity of 12000 records"_s;

QByteArray nativeBytes(const QByteArrayList &records)
{
    QByteArray bytes;
    for (const QByteArray &record : records)
        bytes += record + "\r\n";
    return bytes;
}

QByteArrayList encoded(const QList<LogRecord> &records)
{
    QByteArrayList lines;
    for (const LogRecord &record : records)
        lines << record.encode();
    return lines;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

// The Logbook tab and the QSO list of the real window against the simulated
// keyer at a high line rate: files compared byte for byte with the keyer's
// log and with what the log formats write for the same records.
class TestLogbookTab : public QObject
{
    Q_OBJECT

private slots:
    void saveLogWritesTheKeyerLog_data();
    void saveLogWritesTheKeyerLog();
    void interruptedSaveLeavesNoWholeLog_data();
    void interruptedSaveLeavesNoWholeLog();
    void restoreAndAppendLoadWithEcho_data();
    void restoreAndAppendLoadWithEcho();
    void capacityIsChecked_data();
    void capacityIsChecked();
    void destructiveStepsKeepTheLog_data();
    void destructiveStepsKeepTheLog();
    void exportsMatchTheLogFormats_data();
    void exportsMatchTheLogFormats();
    void importedAdifIsLoadedAndRemoved();
    void qsoListShowsNewestFirstAndFollows_data();
    void qsoListShowsNewestFirstAndFollows();

private:
    static void start(Station &station, int screen = 4);
    // The keyer's log as the keyer itself lists it.
    static QByteArrayList keyerLog(Station &station);
    static void click(Station &station, const char *name);
    static QStringList files(Station &station, const QString &folder, const QString &pattern);
};

void TestLogbookTab::start(Station &station, int screen)
{
    QVERIFY(station.simStarted);
    station.settings->setSetting(u"KRVLastScreen"_s, screen);
    station.settings->setSetting(u"Baudrate"_s, LineRate);
    const QDate today = QDate::currentDate();
    station.settings->setSetting(u"LastUpdate"_s, today.year() * 100 + today.month());
    station.settings->setValue(u"PROFILE 0"_s, u"CALL1"_s, u"K1XYZ"_s);
    station.settings->setValue(u"PROFILE 0"_s, u"CALL2"_s, u"K2XYZ"_s);
    station.settings->setValue(u"PROFILE 0"_s, u"OPER1"_s, u"ANN"_s);
    station.settings->setValue(u"PROFILE 0"_s, u"OPER2"_s, u"BOB"_s);
    // Half-length waits: still well above what the keyer takes to answer.
    station.startWindow(20000, 0.5);
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Ready);
}

QByteArrayList TestLogbookTab::keyerLog(Station &station)
{
    const int from = int(station.sim.journal().size());
    station.sim.control(u"log"_s);
    if (!station.sim.waitForJournal(u"log end"_s, 10000, from))
        return {u"no answer"_s.toLatin1()};
    QByteArrayList records;
    for (const QString &line : station.sim.journal().mid(from)) {
        if (line.startsWith(u"log "_s) && !line.startsWith(u"log end"_s))
            records << line.section(u' ', 2).toLatin1();
    }
    return records;
}

void TestLogbookTab::click(Station &station, const char *name)
{
    auto *button = station.child<QPushButton>(QString::fromLatin1(name));
    QVERIFY2(button && button->isEnabled(), name);
    button->click();
}

QStringList TestLogbookTab::files(Station &station, const QString &folder, const QString &pattern)
{
    return QDir(station.dataDir.filePath(folder)).entryList({pattern}, QDir::Files);
}

void TestLogbookTab::saveLogWritesTheKeyerLog_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("a single QSO") << 1;
    QTest::newRow("150 QSOs of every kind") << 150;
}

void TestLogbookTab::saveLogWritesTheKeyerLog()
{
    QFETCH(int, count);
    Station station({u"--qso-count"_s, QString::number(count)});
    start(station);
    const QByteArrayList records = keyerLog(station);
    QCOMPARE(records.size(), count);
    click(station, "btnSaveLog");
    QCOMPARE(station.texts(), QStringList{u"All log records have been saved"_s});
    auto *list = station.child<QComboBox>(u"cboLogFiles"_s);
    QCOMPARE(files(station, u"LogFiles"_s, u"*"_s), QStringList{list->itemText(0)});
    QCOMPARE(list->currentIndex(), 0);
    QVERIFY(list->currentText().startsWith(u"K1XYZ_"_s));
    QFile saved(station.dataDir.filePath(u"LogFiles/"_s + list->currentText()));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), nativeBytes(records));
    QVERIFY(station.child<QTabWidget>(u"tabScreens"_s)->tabBar()->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    station.window->close();
}

void TestLogbookTab::interruptedSaveLeavesNoWholeLog_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("cancelAt");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("fewest");
    QTest::addColumn<int>("most");
    QTest::newRow("the operator cancels") << QString() << 40 << u"Data Transfer cancelled"_s << 40 << 149;
    QTest::newRow("the keyer falls silent")
        << u"silent-after 40"_s << -1 << u"Only 40 of 150 log records have been saved"_s << 40 << 40;
    // What was on its way when the device went is lost with it.
    QTest::newRow("the keyer vanishes") << u"vanish-after 40"_s << -1 << u" of 150 log records have been saved"_s << 1 << 40;
}

void TestLogbookTab::interruptedSaveLeavesNoWholeLog()
{
    QFETCH(QString, fault);
    QFETCH(int, cancelAt);
    QFETCH(QString, message);
    QFETCH(int, fewest);
    QFETCH(int, most);
    Station station({u"--qso-count"_s, u"150"_s});
    start(station);
    if (!fault.isEmpty())
        station.sim.control(fault);
    // Once the log is listed, the line before it has been taken too.
    const QByteArray records = nativeBytes(keyerLog(station));
    auto *progress = station.child<QProgressBar>(u"ctlLogProgressBar"_s);
    bool cancelled = false;
    connect(progress, &QProgressBar::valueChanged, this, [&](int value) {
        if (cancelAt > 0 && value >= cancelAt && !std::exchange(cancelled, true))
            station.child<QPushButton>(u"btnCancel"_s)->click();
    });
    click(station, "btnSaveLog");
    QVERIFY2(!station.texts().filter(message).isEmpty(), qPrintable(station.texts().join(u" | "_s)));
    if (cancelAt > 0)
        QVERIFY(station.sim.waitForJournal(u"stop"_s, 15000));
    // Nothing that looks like a whole log, and nothing to restore from.
    QVERIFY(files(station, u"LogFiles"_s, u"*.krv"_s).isEmpty());
    QCOMPARE(station.child<QComboBox>(u"cboLogFiles"_s)->count(), 0);
    const QStringList partial = files(station, u"LogFiles"_s, u"*.krv.partial"_s);
    QCOMPARE(partial.size(), 1);
    QFile kept(station.dataDir.filePath(u"LogFiles/"_s + partial.first()));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    const QByteArray received = kept.readAll();
    QVERIFY2(received.size() % 90 == 0 && received.size() >= fewest * 90 && received.size() <= most * 90,
             qPrintable(QString::number(received.size())));
    QVERIFY(records.startsWith(received));
    QVERIFY(station.child<QTabWidget>(u"tabScreens"_s)->tabBar()->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    station.window->close();
}

void TestLogbookTab::restoreAndAppendLoadWithEcho_data()
{
    QTest::addColumn<int>("keyerCount");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("replaces");
    QTest::addColumn<int>("loaded");
    QTest::addColumn<bool>("stops");
    const auto yes = QMessageBox::Yes;
    QTest::newRow("restore over a log") << 5 << u"btnRestoreLog"_s << yes << QString()
                                        << QStringList{ReplaceQuestion, u"Log has been restored"_s} << true << 30
                                        << false;
    QTest::newRow("append to a log") << 5 << u"btnAppendLog"_s << yes << QString()
                                     << QStringList{AppendQuestion, u" 30 records have been appended to the log"_s}
                                     << false << 30 << false;
    QTest::newRow("append to an empty log replaces unasked")
        << 0 << u"btnAppendLog"_s << yes << QString() << QStringList{u"Log has been restored"_s} << true << 30
        << false;
    QTest::newRow("declined") << 5 << u"btnRestoreLog"_s << QMessageBox::No << QString()
                              << QStringList{ReplaceQuestion} << false << 0 << false;
    QTest::newRow("a wrong echo stops the load")
        << 5 << u"btnRestoreLog"_s << yes << u"corrupt-echo 7"_s
        << QStringList{ReplaceQuestion, u"Data error or user intervention - transfer has been stopped"_s} << true << 7
        << true;
    // An empty log: no copy of it is read first, and the fault strikes the load.
    QTest::newRow("the keyer stops echoing")
        << 0 << u"btnRestoreLog"_s << yes << u"silent-after 10"_s
        << QStringList{u"Communication with keyer failed - Error  2002E"_s} << true << 10 << false;
    // Every record echoed, and then no configuration with the new count.
    QTest::newRow("the keyer never shows its new count")
        << 0 << u"btnRestoreLog"_s << yes << u"silent-after 30"_s
        << QStringList{u"Communication with keyer failed - Error  2019E"_s} << true << 30 << false;
}

void TestLogbookTab::restoreAndAppendLoadWithEcho()
{
    QFETCH(int, keyerCount);
    QFETCH(QString, button);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, fault);
    QFETCH(QStringList, messages);
    QFETCH(bool, replaces);
    QFETCH(int, loaded);
    QFETCH(bool, stops);
    Station station({u"--qso-count"_s, QString::number(keyerCount)});
    const QByteArrayList file = encoded(LogSeed::generate(30, QDateTime(QDate(2023, 5, 1), QTime(12, 0), Qt::UTC)));
    writeFile(station.dataDir.filePath(u"LogFiles/K1XYZ_230501120000.krv"_s), nativeBytes(file));
    start(station);
    if (!fault.isEmpty())
        station.sim.control(fault);
    const QByteArrayList before = keyerLog(station);
    station.answer = answer;
    click(station, button.toLatin1().constData());
    // What the keyer holds now and where its old log is kept follow.
    QStringList told = station.texts();
    for (QString &text : told)
        text = text.section(u"\r\n\r\n"_s, 0, 0);
    QCOMPARE(told, messages);
    if (fault.isEmpty() && loaded > 0)
        QCOMPARE(station.window->record().qsoCount, qint16((replaces ? 0 : keyerCount) + loaded));
    if (stops)
        QVERIFY(station.sim.waitForJournal(u"stop"_s, 15000));
    // The records already loaded stay in the keyer.
    QByteArrayList expected = replaces ? QByteArrayList() : before;
    expected += file.mid(0, loaded);
    QCOMPARE(keyerLog(station), expected);
    QCOMPARE(station.sim.journal().contains(u"command I"_s), loaded > 0);
    station.window->close();
}

void TestLogbookTab::capacityIsChecked_data()
{
    QTest::addColumn<int>("keyerCount");
    QTest::addColumn<int>("fileRecords");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("replacing with 12000 is offered") << 1 << 12000 << u"btnRestoreLog"_s << ReplaceQuestion;
    QTest::newRow("replacing with 12001 is refused") << 1 << 12001 << u"btnRestoreLog"_s << Capacity;
    QTest::newRow("appending up to 12000 is offered") << 11998 << 2 << u"btnAppendLog"_s << AppendQuestion;
    QTest::newRow("appending past 12000 is refused") << 11999 << 2 << u"btnAppendLog"_s << Capacity;
}

void TestLogbookTab::capacityIsChecked()
{
    QFETCH(int, keyerCount);
    QFETCH(int, fileRecords);
    QFETCH(QString, button);
    QFETCH(QString, message);
    Station station({u"--qso-count"_s, QString::number(keyerCount)});
    const QByteArray line = LogSeed::generate(1, QDateTime::currentDateTimeUtc()).first().encode() + "\r\n";
    writeFile(station.dataDir.filePath(u"LogFiles/big.krv"_s), line.repeated(fileRecords));
    start(station);
    station.answer = QMessageBox::No;
    click(station, button.toLatin1().constData());
    QCOMPARE(station.texts(), QStringList{message});
    QCOMPARE(keyerLog(station).size(), keyerCount);
    QVERIFY(!station.sim.journal().contains(u"command I"_s));
    station.window->close();
}

void TestLogbookTab::destructiveStepsKeepTheLog_data()
{
    QTest::addColumn<QString>("step");      // "restore" or "count N"
    QTest::addColumn<QString>("file");      // the file restored: "good", "lf", "short", "garbage"
    QTest::addColumn<QString>("condition"); // a keyer fault, "cancel N", "backup-is-a-file", "disk-full"
    QTest::addColumn<QString>("told");      // part of the last message
    QTest::addColumn<bool>("backedUp");     // false: the keyer was not touched at all

    QTest::newRow("restore: line ends changed to LF") << u"restore"_s << u"lf"_s << QString()
        << u"record 1 does not end with CR LF"_s << false;
    QTest::newRow("restore: a file cut in a record") << u"restore"_s << u"short"_s << QString()
        << u"the file ends 45 bytes into record 30"_s << false;
    QTest::newRow("restore: a stray character") << u"restore"_s << u"garbage"_s << QString()
        << u"record 3 is no keyer log record (character 6"_s << false;
    QTest::newRow("restore: Backup cannot be made") << u"restore"_s << u"good"_s << u"backup-is-a-file"_s
        << u"so it has not been replaced"_s << false;
    QTest::newRow("restore: the disk is full") << u"restore"_s << u"good"_s << u"disk-full"_s
        << u"so it has not been replaced"_s << false;
    QTest::newRow("restore: the keyer falls silent while its log is copied") << u"restore"_s << u"good"_s
        << u"silent-after 10"_s << u"the keyer stopped sending after 10 of 50 records"_s << false;
    QTest::newRow("restore: the keyer goes while its log is copied") << u"restore"_s << u"good"_s
        << u"vanish-after 10"_s << u"so it has not been replaced"_s << false;
    QTest::newRow("restore: cancelled in the load") << u"restore"_s << u"good"_s << u"cancel 65"_s
        << u"The log the keyer held before is kept in"_s << true;
    QTest::newRow("cut to 20: the old log is kept") << u"count 20"_s << QString() << QString()
        << u"The log the keyer held before is kept in"_s << true;
    QTest::newRow("cut to 20: Backup cannot be made") << u"count 20"_s << QString() << u"backup-is-a-file"_s
        << u"so the QSO count has not been changed"_s << false;
}

// A step that gives up what the keyer holds, in a bad moment: afterwards
// the keyer holds its log still, or a copy of it is in Backup.
void TestLogbookTab::destructiveStepsKeepTheLog()
{
    QFETCH(QString, step);
    QFETCH(QString, file);
    QFETCH(QString, condition);
    QFETCH(QString, told);
    QFETCH(bool, backedUp);
    Station station({u"--qso-count"_s, u"50"_s});
    QByteArray bytes = nativeBytes(encoded(LogSeed::generate(30, QDateTime(QDate(2023, 5, 1), QTime(12, 0), Qt::UTC))));
    if (file == u"lf")
        bytes.replace("\r\n", "\n");
    else if (file == u"short")
        bytes.chop(45);
    else if (file == u"garbage")
        bytes[2 * 90 + 5] = 'x';
    writeFile(station.dataDir.filePath(u"LogFiles/K1XYZ_230501120000.krv"_s), bytes);
    if (condition == u"backup-is-a-file")
        writeFile(station.dataDir.filePath(u"Backup"_s), "not a folder");
    start(station);
    const QByteArrayList before = keyerLog(station);
    QCOMPARE(before.size(), 50);
    if (condition.contains(u"-after"_s))
        station.sim.control(condition);
    const int cancelAt = condition.startsWith(u"cancel "_s) ? condition.mid(7).toInt() : -1;
    auto *progress = station.child<QProgressBar>(u"ctlLogProgressBar"_s);
    // The copy of 50 records is the first run of the bar, the load of 30 the second.
    int runs = 0;
    connect(progress, &QProgressBar::valueChanged, this, [&](int value) {
        if (value == 0)
            ++runs;
        if (cancelAt > 0 && runs >= 3 && value * 100 >= cancelAt * progress->maximum())
            station.child<QPushButton>(u"btnCancel"_s)->click();
    });
    station.answer = QMessageBox::Yes;
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    if (condition == u"disk-full") {
        // Writes past 2000 bytes fail as on a full disk; the copy needs 4500.
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit small = unlimited;
        small.rlim_cur = 2000;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    if (step == u"restore") {
        click(station, "btnRestoreLog");
    } else {
        station.child<QLineEdit>(u"txtCutCount"_s)->setText(step.mid(6));
        click(station, "btnSetCount");
    }
    setrlimit(RLIMIT_FSIZE, &unlimited);
    QVERIFY2(!station.texts().isEmpty() && station.texts().last().contains(told),
             qPrintable(station.texts().join(u" | "_s)));
    const QStringList copies = files(station, u"Backup"_s, u"keyerlog_*.krv"_s);
    if (!backedUp) {
        QVERIFY(copies.isEmpty());
        QVERIFY(!station.sim.journal().contains(u"command I"_s));
        // A keyer that went is not asked; one that fell silent speaks again.
        station.sim.control(u"silent off"_s);
        if (!condition.startsWith(u"vanish"_s))
            QCOMPARE(keyerLog(station), before);
        station.window->close();
        return;
    }
    QCOMPARE(copies.size(), 1);
    QVERIFY2(station.texts().last().contains(copies.first()), qPrintable(station.texts().last()));
    QFile copy(station.dataDir.filePath(u"Backup/"_s + copies.first()));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), nativeBytes(before));
    station.window->close();
}

void TestLogbookTab::exportsMatchTheLogFormats_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<bool>("onlyUser");
    QTest::addColumn<quint16>("options");
    const quint16 none = 0;
    QTest::newRow("ADIF of the whole log") << u"btnSaveADIF"_s << 1 << false << false << none;
    QTest::newRow("ADIF from record 25, newest first") << u"btnSaveADIF"_s << 25 << true << false << none;
    QTest::newRow("ADIF of User 2's QSOs") << u"btnSaveADIF"_s << 1 << false << true << Option::User2;
    QTest::newRow("list from record 10") << u"btnSaveList"_s << 10 << false << false << none;
    QTest::newRow("contest list, newest first") << u"btnSaveList"_s << 1 << true << false << Option::ContestMode;
    QTest::newRow("start record past the end") << u"btnSaveADIF"_s << 61 << false << false << none;
}

void TestLogbookTab::exportsMatchTheLogFormats()
{
    QFETCH(QString, button);
    QFETCH(int, start);
    QFETCH(bool, reverse);
    QFETCH(bool, onlyUser);
    QFETCH(quint16, options);
    const bool adif = button == u"btnSaveADIF";
    Station station({u"--qso-count"_s, u"60"_s});
    TestLogbookTab::start(station);
    const QByteArrayList records = keyerLog(station);
    station.child<QLineEdit>(u"txtADIFStart"_s)->setText(QString::number(start));
    station.child<QCheckBox>(u"cbxReverseExport"_s)->setChecked(reverse);
    station.child<QCheckBox>(u"cbxADIFCurrent"_s)->setChecked(onlyUser);
    station.window->record().optionWord |= options;
    click(station, button.toLatin1().constData());
    if (start > records.size()) {
        QCOMPARE(station.texts(), QStringList{u"Start record must be between 1 and 60"_s});
        QVERIFY(files(station, u"ADIF"_s, u"*"_s).isEmpty());
        return;
    }

    // The same records through the log formats code.
    const QString source = station.dataDir.filePath(u"expected.krv"_s);
    writeFile(source, nativeBytes(records.mid(start - 1)));
    NativeLogFile native;
    QVERIFY(native.open(source));
    LogExportOptions expectedOptions;
    expectedOptions.selection = {bool(options & Option::ContestMode), onlyUser, bool(options & Option::User2)};
    expectedOptions.reverse = reverse;
    expectedOptions.station = {u"K1XYZ"_s, u"K2XYZ"_s, u"ANN"_s, u"BOB"_s};
    QBuffer expected;
    expected.open(QIODevice::WriteOnly);
    const LogExportResult written = adif ? LogExport::writeAdif(native, &expected, expectedOptions)
                                         : LogExport::writeList(native, &expected, expectedOptions);
    QVERIFY(written.written > 0);
    QCOMPARE(station.texts(), QStringList{adif ? LogExport::adifSavedMessage(written.written)
                                               : LogExport::listSavedMessage(written.written)});

    auto *list = station.child<QComboBox>(u"cboADIFFiles"_s);
    QCOMPARE(files(station, u"ADIF"_s, u"*"_s), QStringList{list->currentText()});
    QVERIFY(list->currentText().startsWith(onlyUser ? u"K2XYZ_"_s : u"K1XYZ_"_s));
    QFile output(station.dataDir.filePath(u"ADIF/"_s + list->currentText()));
    QVERIFY(output.open(QIODevice::ReadOnly));
    QCOMPARE(output.readAll(), expected.data());
    // The ADIF export moves the keyer's export mark; the start record follows.
    QTRY_COMPARE(station.child<QLineEdit>(u"txtADIFStart"_s)->text(), adif ? u"61"_s : u"1"_s);
    station.window->close();
}

void TestLogbookTab::importedAdifIsLoadedAndRemoved()
{
    Station station({u"--qso-count"_s, u"3"_s});
    const QString adif = station.dataDir.filePath(u"ADIF/other.adi"_s);
    writeFile(adif, "Another logger <EOH>\n"
                    "<CALL:5>DL1AB<MODE:2>CW<QSO_DATE:8>20240105<TIME_ON:4>1423<BAND:3>20M<NAME:4>Hans<EOR>\n"
                    "<CALL:5>DL2CD<MODE:3>FT8<QSO_DATE:8>20240105<TIME_ON:4>1424<BAND:3>20M<EOR>\n"
                    "<CALL:5>G4XYZ<MODE:3>SSB<QSO_DATE:8>20240105<TIME_ON:4>1425<FREQ:5>7.150<EOR>\n");
    start(station);
    const QByteArrayList before = keyerLog(station);
    station.window->findChild<LogbookTab *>()->setFileChooser(
        [&](const QString &, const QString &, const QString &) { return adif; });
    click(station, "btnADIFImport");
    QCOMPARE(station.texts().size(), 1);
    QVERIFY2(station.texts().first().startsWith(u"Records converted:  2\r\nRecords rejected:  1\r\n"_s),
             qPrintable(station.texts().first()));
    auto *list = station.child<QComboBox>(u"cboLogFiles"_s);
    QCOMPARE(list->currentText(), u"~adifimport.krv"_s);
    NativeLogFile converted;
    QVERIFY(converted.open(station.dataDir.filePath(u"LogFiles/~adifimport.krv"_s)));
    const QByteArrayList imported{converted.recordAt(0), converted.recordAt(1)};
    converted.close();

    station.answer = QMessageBox::Yes;
    click(station, "btnAppendLog");
    QCOMPARE(station.texts().last(), u" 2 records have been appended to the log"_s);
    QCOMPARE(keyerLog(station), before + imported);
    QVERIFY(!QFile::exists(station.dataDir.filePath(u"LogFiles/~adifimport.krv"_s)));
    QCOMPARE(list->findText(u"~adifimport.krv"_s), -1);
    station.window->close();
}

void TestLogbookTab::qsoListShowsNewestFirstAndFollows_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("a long log: the last 20") << 25;
    QTest::newRow("a short log: all of it") << 5;
}

void TestLogbookTab::qsoListShowsNewestFirstAndFollows()
{
    QFETCH(int, count);
    Station station({u"--qso-count"_s, QString::number(count)});
    start(station, 1);
    const QByteArrayList records = keyerLog(station);
    const int from = int(station.sim.journal().size());
    click(station, "btnQSOs");
    auto *list = station.window->findChild<QsoListWindow *>(u"QSOList"_s);
    QVERIFY(list->isVisible());
    QVERIFY(station.sim.waitForJournal(u"command X"_s, 5000, from));
    QStringList expected;
    for (const QByteArray &record : records.mid(qMax(0, count - 20))) {
        const QByteArray line = ListLineFormatter::formatLine(*LogRecord::decode(record), {});
        if (!line.isEmpty())
            expected.prepend(QString::fromLatin1(line));
    }
    QCOMPARE(list->lines(), expected);
    QCOMPARE(station.child<QLabel>(u"lblHeader"_s)->text(), QString::fromLatin1(ListLineFormatter::headerLine(false)));

    // A QSO logged now goes on top.
    QApplication::setActiveWindow(station.window.get());
    auto *box = station.child<QPlainTextEdit>(u"txtSendBuffer"_s);
    box->setFocus();
    QTest::keyClicks(box, u"g4new"_s);
    QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(station.child<QLabel>(u"lblCall"_s)->text(), u"G4NEW"_s, 10000);
    click(station, "btnLogQSO");
    QTRY_COMPARE_WITH_TIMEOUT(list->lines().size(), expected.size() + 1, 10000);
    QCOMPARE(list->lines().mid(1), expected);
    QCOMPARE(list->lines().first().mid(QsoListWindow::CallColumnNormal, QsoListWindow::CallWidth).trimmed(),
             u"G4NEW"_s);
    QVERIFY(station.messages.isEmpty());
    station.window->close();
}

QTEST_MAIN(TestLogbookTab)
#include "tst_logbooktab.moc"
