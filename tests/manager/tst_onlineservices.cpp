#include "station.h"

#include "eqslaccount.h"
#include "logbooktab.h"
#include "qsopanel.h"

#include <QDesktopServices>
#include <QInputDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

const QString User = u"TESTUSER"_s;
// Three QSOs; the third spans two lines of the file, as other loggers write.
const QStringList Qsos = {
    u"<CALL:5>K1AAA<QSO_DATE:8>20240105<TIME_ON:6>140500<BAND:3>20M<MODE:2>CW<EOR>"_s,
    u"<CALL:5>K2BBB<QSO_DATE:8>20240105<TIME_ON:6>141000<BAND:3>20M<MODE:2>CW<RST_SENT:3>5&9<EOR>"_s,
    u"<CALL:8>DL1CC/P<QSO_DATE:8>20240106<TIME_ON:6>090000<BAND:3>40M<COMMENT:10>tnx 73 <3!<MODE:2>CW<EOR>"_s,
};

bool writeFile(const QString &path, const QByteArray &bytes, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    return !executable || file.setPermissions(file.permissions() | QFile::ExeOwner);
}

// TQSL's station locations, in the folder TQSLDIR names.
bool writeStations(const QStringList &names)
{
    QByteArray xml = "<StationDataFile>";
    for (const QString &name : names)
        xml += "<StationData name=\"" + name.toUtf8() + "\"><CALL>K1XYZ</CALL><DXCC>291</DXCC></StationData>";
    return writeFile(qEnvironmentVariable("TQSLDIR") + u"/station_data"_s, xml + "</StationDataFile>\n");
}

QStringList fileLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {u"(missing)"_s};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// A stand-in program that records its arguments, one a line, beside itself,
// and prints what TQSL would; "real" runs the real TQSL, off the network.
QByteArray recorder(const QByteArray &exitCode, const QString &output = {})
{
    const QByteArray record = "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n";
    if (output == u"real"_s)
        return record + "exec unshare -rn xvfb-run -a /usr/bin/tqsl \"$@\"\n";
    return record + "for last; do :; done\necho \"Stand-in TQSL signing $last\"\ncat <<'END'\n" + output.toUtf8()
        + "\nEND\nexit " + exitCode + "\n";
}

} // namespace

// The online services of the real window: eQSL against a local stand-in
// of the service, a stand-in TQSL, and the call look-up.
class TestOnlineServices : public QObject
{
    Q_OBJECT

public slots:
    // QDesktopServices hands web addresses here instead of to a browser.
    void openUrl(const QUrl &url) { m_opened << url; }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void eqslCountsOnlyWhatTheServiceAdded_data();
    void eqslCountsOnlyWhatTheServiceAdded();
    void tqslExitCodeIsToldInWords_data();
    void tqslExitCodeIsToldInWords();
    void tqslIsAskedForWhenTheSettingNamesAnotherProgram_data();
    void tqslIsAskedForWhenTheSettingNamesAnotherProgram();
    void lookupOpensTheTargetWithTheCall_data();
    void lookupOpensTheTargetWithTheCall();

private:
    // Selects an ADIF file of the three QSOs under the given name.
    void offerAdifFile(const QString &name);
    void click(const QString &name);

    std::unique_ptr<Station> m_station;
    QTemporaryDir m_tools;
    QList<QUrl> m_opened;
};

void TestOnlineServices::initTestCase()
{
    QVERIFY(m_tools.isValid());
    // TQSL's own files, one station location: no chooser opens.
    qputenv("TQSLDIR", m_tools.filePath(u"tqsldir"_s).toUtf8());
    QVERIFY(writeStations({u"Home QTH"_s}));
    m_station = std::make_unique<Station>();
    QVERIFY(m_station->simStarted);
    SettingsStore &settings = *m_station->settings;
    settings.setSetting(u"KRVLastScreen"_s, 4);
    const QDate today = QDate::currentDate();
    settings.setSetting(u"LastUpdate"_s, today.year() * 100 + today.month());
    m_station->startWindow();
    QCOMPARE(m_station->window->startupResult(), Configuration::StartupResult::Ready);
    QDesktopServices::setUrlHandler(u"https"_s, this, "openUrl");
}

void TestOnlineServices::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(u"https"_s);
    m_station.reset();
}

void TestOnlineServices::offerAdifFile(const QString &name)
{
    QByteArray text = "LOGGER:<PROGRAMID:14>THE DASHWRIGHT<EOH>\r\n\r\n";
    for (const QString &qso : Qsos)
        text += qso.toLatin1().replace("<MODE:2>CW<EOR>", "\r\n<MODE:2>CW<EOR>") + "\r\n";
    QVERIFY(writeFile(m_station->dataDir.filePath(u"ADIF/"_s + name), text));
    m_station->window->findChild<LogbookTab *>()->addAdifFile(name);
}

void TestOnlineServices::click(const QString &name)
{
    auto *button = m_station->child<QPushButton>(name);
    QVERIFY2(button && button->isEnabled(), qPrintable(name));
    button->click();
}

void TestOnlineServices::eqslCountsOnlyWhatTheServiceAdded_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QStringList>("service"); // how the stand-in behaves
    QTest::addColumn<int>("requests"); // QSOs that reached the service
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("message"); // how the final message begins

    const QString tricky = u"a&b c<d=e+f"_s;
    const int info = QMessageBox::Information, warn = QMessageBox::Warning, critical = QMessageBox::Critical;
    QTest::newRow("three QSOs, three requests")
        << u"secret"_s << QStringList{} << 3 << info << u" 3 records have been sent to eQSL"_s;
    QTest::newRow("ampersand, blank and < in the password")
        << tricky << QStringList{} << 3 << info << u" 3 records have been sent to eQSL"_s;
    QTest::newRow("a QSO the service does not add")
        << tricky << QStringList{u"--reject"_s, u"K2BBB"_s} << 3 << warn
        << u" 2 records have been sent to eQSL\r\n\r\neQSL did not add 1 record:\r\n"
           "K2BBB 20240105 141000: Warning: Y=2024 M=01 D=05 K2BBB Bad record: Duplicate"_s;
    // Every later QSO would be refused the same: the run stops at once.
    QTest::newRow("the service refuses the password")
        << tricky << QStringList{u"--password"_s, u"another"_s} << 1 << critical
        << u" 0 records have been sent to eQSL\r\n\r\nThe upload stopped at record 1; it and the records after it "
           "were not sent: Error: No match on eQSL_User/eQSL_Pswd"_s;
    // The request may have reached the service: it is not sent again.
    QTest::newRow("the connection drops at the second request")
        << tricky << QStringList{u"--fail-from"_s, u"2"_s, u"--fail-with"_s, u"drop"_s} << 2 << critical
        << u" 1 records have been sent to eQSL\r\n\r\nThe upload stopped at record 2 (K2BBB 20240105 141000): its "
           "request was sent, but no answer was read (the connection closed before any answer came). eQSL may "
           "have added it"_s;
    QTest::newRow("an answer over 64 KB is not read")
        << tricky << QStringList{u"--pad"_s, u"70000"_s} << 1 << critical
        << u" 0 records have been sent to eQSL\r\n\r\nThe upload stopped at record 1 (K1AAA 20240105 140500): its "
           "request was sent, but no answer was read (the answer is longer than 64 KB"_s;
    QTest::newRow("an answer in chunks") << tricky << QStringList{u"--chunked"_s} << 3 << info
                                         << u" 3 records have been sent to eQSL"_s;
    // The password goes only to a server whose certificate is trusted.
    QTest::newRow("a certificate not trusted")
        << tricky << QStringList{u"untrusted"_s} << 0 << critical
        << u" 0 records have been sent to eQSL\r\n\r\nThe upload stopped at record 1; it and the records after it "
           "were not sent: the certificate of 127.0.0.1:"_s;
    QTest::newRow("a reason of 5000 characters")
        << tricky << QStringList{u"--reject"_s, u"K2BBB"_s, u"--reason-length"_s, u"5000"_s} << 3 << warn
        << u" 2 records have been sent to eQSL\r\n\r\neQSL did not add 1 record:\r\n"
           "K2BBB 20240105 141000: Warning: Y=2024 M=01 D=05 K2BBB Bad record: Duplicate"_s;
    // Qt names the whole address in such an error: the password must not follow.
    QTest::newRow("the service fails at the third request")
        << tricky << QStringList{u"--fail-from"_s, u"3"_s, u"--fail-with"_s, u"500"_s} << 3 << critical
        << u" 2 records have been sent to eQSL\r\n\r\nThe upload stopped at record 3; it and the records after it "
           "were not sent: "_s;
}

void TestOnlineServices::eqslCountsOnlyWhatTheServiceAdded()
{
    QFETCH(QString, password);
    QFETCH(QStringList, service);
    const bool trusted = !service.removeOne(u"untrusted"_s);
    QFETCH(int, requests);
    QFETCH(int, icon);
    QFETCH(QString, message);

    const QString journal = m_tools.filePath(u"journal-%1.txt"_s).arg(QString::fromLatin1(QTest::currentDataTag())).replace(u' ', u'_');
    QProcess server;
    server.start(u"python3"_s, QStringList{QStringLiteral(DW_EQSL_SERVER), u"--certdir"_s, m_tools.filePath(u"cert"_s),
                                           u"--journal"_s, journal, u"--password"_s, password}
                                   + service);
    QVERIFY(server.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine(), 30000);
    const QStringList line = QString::fromUtf8(server.readLine().trimmed()).split(u' ');
    QCOMPARE(line.size(), 2);
    SettingsStore &settings = *m_station->settings;
    settings.setSetting(u"eQSLLoader"_s, line.at(0));
    settings.setSetting(u"eQSLCertificates"_s, trusted ? line.at(1) : QString());
    QString error;
    QVERIFY(EqslAccount(&settings).save(User, password, &error));
    offerAdifFile(u"K1XYZ_240106120000.adi"_s);

    m_station->messages.clear();
    m_station->answer = QMessageBox::Yes;
    click(u"btneQSL"_s);
    m_station->answer = QMessageBox::Ok;
    server.kill();
    server.waitForFinished();

    const QStringList shown = m_station->texts();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0), u"Send records to eQSL?"_s);
    QVERIFY2(shown.at(1).startsWith(message), qPrintable(shown.at(1)));
    QVERIFY2(shown.at(1).size() < 1000, "the message box would be higher than the screen");
    QCOMPARE(int(m_station->messages.at(1).icon), icon);
    for (const QString &form : {password, QString::fromLatin1(QUrl::toPercentEncoding(password)), u"EQSL_PSWD"_s})
        QVERIFY2(!shown.at(1).contains(form), "the final message shows the password");

    // Each QSO reaches the service once, the one whose connection dropped too.
    QStringList qsos;
    for (const QString &line : QFile::exists(journal) ? fileLines(journal) : QStringList{}) {
        const QJsonObject request = QJsonDocument::fromJson(line.toUtf8()).object();
        const QJsonObject params = request.value(u"params"_s).toObject();
        qsos << params.value(u"ADIFData"_s).toString();
        QCOMPARE(params.value(u"EQSL_USER"_s).toString(), User);
        QVERIFY2(params.value(u"EQSL_PSWD"_s).toString() == password, "the service got another password");
        // Nothing in the query is left for the service to read as a delimiter.
        QCOMPARE(request.value(u"query"_s).toString().count(u'&'), 2);
        QVERIFY(!request.value(u"query"_s).toString().contains(u' '));
    }
    QCOMPARE(qsos, Qsos.first(requests));
    QCOMPARE(m_station->child<QProgressBar>(u"ctlLogProgressBar"_s)->value(), 0);
    QVERIFY(m_station->child<QPushButton>(u"btneQSL"_s)->isEnabled());
}

void TestOnlineServices::tqslExitCodeIsToldInWords_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("output");   // what TQSL prints
    QTest::addColumn<QString>("location"); // the setting LotWLocation
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("words");
    const int info = QMessageBox::Information, warn = QMessageBox::Warning;
    const QString none;
    QTest::newRow("0 uploaded") << 0 << none << none << info << u"TQSL has signed the QSOs and uploaded them to LotW"_s;
    QTest::newRow("1 cancelled") << 1 << none << none << warn << u"TQSL was cancelled: nothing was uploaded"_s;
    QTest::newRow("2 rejected") << 2 << none << none << warn << u"LotW rejected the upload"_s;
    QTest::newRow("8 nothing signed") << 8 << none << none << warn << u"TQSL signed and uploaded no QSOs"_s;
    QTest::newRow("9 some duplicates") << 9 << none << none << info
                                       << u"TQSL uploaded the QSOs, but some were duplicates and were left out"_s;
    QTest::newRow("11 network error") << 11 << none << none << warn
                                      << u"TQSL could not reach LotW (network error): nothing was uploaded"_s;
    QTest::newRow("any other code") << 5 << none << none << warn << u"TQSL failed with code 5"_s;
    QTest::newRow("-1: a program file that cannot run") << -1 << none << none << warn << u"TQSL could not be started: "_s;
    // TQSL's last "Final Status" line says what happened; the location is one argument.
    QTest::newRow("8 and TQSL's final status")
        << 8 << u"No valid callsign certificates\nFinal Status: No QSOs written(8)"_s << u"Home QTH"_s << warn
        << u"TQSL signed and uploaded no QSOs\r\nTQSL's final status: No QSOs written(8)"_s;
    QTest::newRow("0 for a location") << 0 << u"Final Status: Success(0)"_s << u"Portable \"2\" $HOME"_s << info
                                      << u"TQSL has signed the QSOs and uploaded them to LotW\r\nTQSL's final status: Success(0)"_s;
    QTest::newRow("another code: the last final status")
        << 4 << u"Final Status: Started(4)\nFinal Status: Signing failed(4)\n"_s << none << warn
        << u"TQSL failed with code 4\r\nTQSL's final status: Signing failed(4)"_s;
    // "?": TQSL knows two locations and none is set; the operator is asked.
    QTest::newRow("several locations: the operator is asked")
        << 0 << u"Final Status: Success(0)"_s << u"?Portable"_s << info
        << u"TQSL has signed the QSOs and uploaded them to LotW\r\nTQSL's final status: Success(0)"_s;
    QTest::newRow("the real TQSL without a certificate") << 8 << u"real"_s << u"Home QTH"_s << warn
        << u"TQSL signed and uploaded no QSOs\r\nTQSL's final status: No QSOs written(8)"_s;
}

void TestOnlineServices::tqslExitCodeIsToldInWords()
{
    QFETCH(int, code);
    QFETCH(QString, output);
    QFETCH(QString, location);
    QFETCH(int, icon);
    QFETCH(QString, words);
    if (output == u"real"_s && (!QFile::exists(u"/usr/bin/tqsl"_s) || QStandardPaths::findExecutable(u"xvfb-run"_s).isEmpty()
                                || QProcess::execute(u"unshare"_s, {u"-rn"_s, u"true"_s}) != 0))
        QSKIP("TQSL, xvfb-run or a network namespace is not available here");
    const QString program = m_tools.filePath(u"tqsl"_s);
    QFile::remove(program);
    QVERIFY(writeFile(program, recorder(QByteArray::number(code), output), code >= 0));
    QFile::remove(program + u".args"_s);
    m_station->settings->setSetting(u"LotW"_s, program);
    const bool asked = location.startsWith(u'?');
    location.remove(u'?');
    QVERIFY(writeStations(asked ? QStringList{u"Home QTH"_s, u"Portable"_s} : QStringList{u"Home QTH"_s}));
    m_station->settings->setSetting(u"LotWLocation"_s, asked ? QString() : location);
    QStringList offered;
    if (asked) {
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            offered = dialog->comboBoxItems();
            dialog->setTextValue(location);
            dialog->accept();
        });
    }
    // A blank in the file's name must not split the argument.
    const QString name = u"K1XYZ 240106120000.adi"_s;
    offerAdifFile(name);

    m_station->messages.clear();
    click(u"btnLotW"_s);
    QTRY_COMPARE_WITH_TIMEOUT(m_station->messages.size(), 1, 10000);
    QCOMPARE(offered, (asked ? QStringList{u"Home QTH"_s, u"Portable"_s} : QStringList{}));
    QCOMPARE(m_station->settings->setting(u"LotWLocation"_s, {}), location);
    QVERIFY2(code >= 0 ? m_station->messages.at(0).text == words : m_station->messages.at(0).text.startsWith(words),
             qPrintable(m_station->messages.at(0).text));
    QCOMPARE(int(m_station->messages.at(0).icon), icon);
    if (code < 0)
        return;
    const QString adif = QFileInfo(m_station->dataDir.filePath(u"ADIF/"_s + name)).absoluteFilePath();
    const QStringList where = location.isEmpty() ? QStringList{} : QStringList{u"-l"_s, location};
    QCOMPARE(fileLines(program + u".args"_s), (QStringList{u"-u"_s, u"-q"_s, u"-d"_s, u"-a"_s, u"all"_s} + where << adif));
    auto *shown = m_station->child<QPlainTextEdit>(u"txtTQSLOutput"_s);
    QVERIFY(shown->isVisible());
    QVERIFY(output == u"real"_s || shown->toPlainText().contains(u"Stand-in TQSL signing "_s + adif));
}

void TestOnlineServices::tqslIsAskedForWhenTheSettingNamesAnotherProgram_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("chosen");   // "tqsl": the stand-in
    QTest::addColumn<QString>("message");  // empty: none
    QTest::addColumn<bool>("ran");
    QTest::newRow("another program, then TQSL chosen") << u"/usr/bin/true"_s << u"tqsl"_s
                                                      << u"TQSL has signed the QSOs and uploaded them to LotW"_s << true;
    QTest::newRow("another program chosen") << QString() << u"/usr/bin/env"_s
                                           << u"You did not select the TQSL program"_s << false;
    QTest::newRow("the choice cancelled") << u"/usr/bin/true"_s << QString() << QString() << false;
}

void TestOnlineServices::tqslIsAskedForWhenTheSettingNamesAnotherProgram()
{
    QFETCH(QString, setting);
    QFETCH(QString, chosen);
    QFETCH(QString, message);
    QFETCH(bool, ran);
    const QString program = m_tools.filePath(u"tqsl"_s);
    QVERIFY(writeFile(program, recorder("0"), true));
    QFile::remove(program + u".args"_s);
    const QString answer = chosen == u"tqsl"_s ? program : chosen;
    m_station->settings->setSetting(u"LotW"_s, setting);
    offerAdifFile(u"K1XYZ_240106120000.adi"_s);
    QStringList titles;
    auto *tab = m_station->window->findChild<LogbookTab *>();
    tab->setFileChooser([&](const QString &title, const QString &, const QString &) {
        titles << title;
        return answer;
    });

    m_station->messages.clear();
    click(u"btnLotW"_s);
    if (ran)
        QTRY_COMPARE_WITH_TIMEOUT(m_station->messages.size(), 1, 10000);
    tab->setFileChooser({});
    QCOMPARE(titles, QStringList{u"Select TQSL program"_s});
    QCOMPARE(m_station->texts(), message.isEmpty() ? QStringList{} : QStringList{message});
    QCOMPARE(QFile::exists(program + u".args"_s), ran);
    QCOMPARE(m_station->settings->setting(u"LotW"_s, {}), ran ? program : setting);
}

void TestOnlineServices::lookupOpensTheTargetWithTheCall_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("url");         // the address opened, if one
    QTest::addColumn<QStringList>("arguments"); // the program's, if one
    QTest::newRow("the default address") << QString() << u"DL1ABC/P"_s << u"https://www.qrz.com/db/DL1ABC/P"_s
                                         << QStringList{};
    QTest::newRow("an address with a query") << u" https://lookup.invalid/find?call= "_s << u"K1ABC"_s
                                             << u"https://lookup.invalid/find?call=K1ABC"_s << QStringList{};
    QTest::newRow("a program with arguments") << u"\"%T/look up\" --call"_s << u"K1ABC"_s << QString()
                                              << QStringList{u"--call"_s, u"K1ABC"_s};
    QTest::newRow("a call with a shell's characters")
        << u"\"%T/look up\""_s << u"K1ABC;touch %T/x"_s << QString() << QStringList{u"K1ABC;touch %T/x"_s};
    QTest::newRow("no call") << QString() << u"  "_s << QString() << QStringList{};
}

void TestOnlineServices::lookupOpensTheTargetWithTheCall()
{
    QFETCH(QString, target);
    QFETCH(QString, call);
    QFETCH(QString, url);
    QFETCH(QStringList, arguments);
    const QString tools = m_tools.path();
    const QString program = m_tools.filePath(u"look up"_s);
    QVERIFY(writeFile(program, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n", true));
    QFile::remove(program + u".args"_s);
    m_station->settings->setSetting(u"CallLookup"_s, QString(target).replace(u"%T"_s, tools));
    m_station->window->findChild<QsoPanel *>()->showCall(QString(call).replace(u"%T"_s, tools), {});
    m_opened.clear();

    click(u"btnLookup"_s);
    if (!arguments.isEmpty())
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(program + u".args"_s), 10000);
    QCOMPARE(m_opened, url.isEmpty() ? QList<QUrl>{} : QList<QUrl>{QUrl(url)});
    if (!arguments.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(fileLines(program + u".args"_s), arguments.replaceInStrings(u"%T"_s, tools), 5000);
    else
        QVERIFY(!QFile::exists(program + u".args"_s));
    QVERIFY(!QFile::exists(m_tools.filePath(u"x"_s)));
    QVERIFY(m_station->texts().isEmpty());
}

QTEST_MAIN(TestOnlineServices)
#include "tst_onlineservices.moc"
