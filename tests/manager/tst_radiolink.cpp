#include "ptyendpoint.h"
#include "radioconnect.h"
#include "simulatedradio.h"
#include "station.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

using namespace Qt::StringLiterals;

// The manager's window with the simulated keyer and the simulated radio:
// the radio connected at start-up drives band and mode and locks them for
// the operator; a radio that is switched off gives them back.
class TestRadioLink : public QObject
{
    Q_OBJECT

private slots:
    void radioDrivesBandAndModeUntilSwitchedOff();
    void hamlibRadioDrivesBandAndModeUntilRigctldStops();

private:
    // The configuration block the keyer was last sent.
    static ConfigRecord keyerRecord(Station &station);
};

ConfigRecord TestRadioLink::keyerRecord(Station &station)
{
    const QStringList journal = station.sim.journal();
    for (qsizetype i = journal.size() - 1; i >= 0; --i) {
        if (journal.at(i).startsWith(u"config "_s))
            return ConfigBlock::ParseSentBlock(journal.at(i).mid(7).toLatin1());
    }
    return {};
}

void TestRadioLink::radioDrivesBandAndModeUntilSwitchedOff()
{
    Station station;
    QVERIFY(station.simStarted);
    SimulatedRadio radio(SimulatedRadio::Model::KX3);
    PtyEndpoint endpoint;
    QVERIFY(endpoint.open());
    endpoint.setPollInterval(5);
    connect(&endpoint, &PtyEndpoint::received, &radio, [&radio](const QByteArray &bytes) { radio.feed(bytes); });
    connect(&radio, &SimulatedRadio::transmit, &endpoint, &PtyEndpoint::write);
    radio.setBand(0);
    radio.setMode(3);

    const QDate today = QDate::currentDate();
    station.settings->setSetting(u"LastUpdate"_s, today.year() * 100 + today.month());
    station.settings->setSetting(u"KRVLastScreen"_s, 1);
    station.settings->setSetting(u"RadioAutoConnect"_s, 1);
    station.settings->setSetting(u"RadioType"_s, 0);
    station.settings->setSetting(u"RadioPort"_s, 1);
    station.startWindow(20000, 0.1, PortTable({station.sim.device(), endpoint.slavePath()}));
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Ready);

    auto *link = station.window->findChild<RadioConnect *>();
    QTRY_VERIFY_WITH_TIMEOUT(link->isConnected(), 10000);
    auto *band2 = station.child<QComboBox>(u"cboBand2"_s);
    auto *mode = station.child<QComboBox>(u"cboMode"_s);
    auto *band = station.child<QComboBox>(u"cboBand"_s);
    auto *ssb = station.child<QCheckBox>(u"cbxSSB"_s);
    QTRY_VERIFY(keyerRecord(station).optionWord & Option::RadioConnected);
    QCOMPARE(band2->currentIndex(), 12);
    for (QWidget *control : std::initializer_list<QWidget *>{band2, mode, band, ssb})
        QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));

    radio.setBand(5);
    QTRY_COMPARE(band2->currentIndex(), 7);
    QTRY_COMPARE(keyerRecord(station).band % 16, 7);
    radio.setMode(1);
    QTRY_COMPARE(mode->currentIndex(), 1);
    QTRY_VERIFY(keyerRecord(station).optionWord & Option::SSB);

    // Switched off between its report and the poll.
    radio.setBand(6);
    radio.setPower(false);
    QTRY_VERIFY_WITH_TIMEOUT(!link->isConnected(), CatLink::PollLimit + 3000);
    QCOMPARE(link->findChild<QLabel *>(u"lblResult"_s)->text(), u"Connection Failed"_s);
    QVERIFY(link->isVisible());
    for (QWidget *control : std::initializer_list<QWidget *>{band2, mode, band, ssb})
        QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
    QVERIFY(!(station.window->record().optionWord & Option::RadioConnected));
    QTRY_VERIFY(!(keyerRecord(station).optionWord & Option::RadioConnected));
    QVERIFY2(station.messages.isEmpty(), qPrintable(station.texts().join(u'\n')));
}

void TestRadioLink::hamlibRadioDrivesBandAndModeUntilRigctldStops()
{
    const QString rigctld = QStandardPaths::findExecutable(u"rigctld"_s);
    const QString rigctl = QStandardPaths::findExecutable(u"rigctl"_s);
    if (rigctld.isEmpty() || rigctl.isEmpty())
        QSKIP("rigctld/rigctl not installed (Debian package libhamlib-utils; scripts/install-deps.sh installs it)");
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    QProcess dummyRig;
    dummyRig.start(rigctld, {u"-m"_s, u"1"_s, u"-T"_s, u"127.0.0.1"_s, u"-t"_s, QString::number(port)});
    QVERIFY(dummyRig.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(([port] {
                                 QTcpSocket socket;
                                 socket.connectToHost(QHostAddress::LocalHost, port);
                                 return socket.waitForConnected(200);
                             }()),
                             5000);
    const auto turn = [&](const char *hertz, const char *mode) {
        return QProcess::execute(rigctl, {u"-m"_s, u"2"_s, u"-r"_s, u"127.0.0.1:%1"_s.arg(port), u"F"_s,
                                          QString::fromLatin1(hertz), u"M"_s, QString::fromLatin1(mode), u"0"_s});
    };
    QCOMPARE(turn("1830000", "USB"), 0);

    Station station;
    QVERIFY(station.simStarted);
    const QDate today = QDate::currentDate();
    station.settings->setSetting(u"LastUpdate"_s, today.year() * 100 + today.month());
    station.settings->setSetting(u"KRVLastScreen"_s, 1);
    station.settings->setSetting(u"RadioAutoConnect"_s, 1);
    station.settings->setSetting(u"RadioType"_s, RadioConnect::Hamlib);
    station.settings->setSetting(u"RigctldHost"_s, u"127.0.0.1"_s);
    station.settings->setSetting(u"RigctldPort"_s, port);
    station.startWindow(20000, 0.1);
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Ready);
    auto *link = station.window->findChild<RadioConnect *>();
    QTRY_VERIFY_WITH_TIMEOUT(link->isConnected(), 10000);
    auto *band2 = station.child<QComboBox>(u"cboBand2"_s);
    auto *mode = station.child<QComboBox>(u"cboMode"_s);
    auto *band = station.child<QComboBox>(u"cboBand"_s);
    auto *ssb = station.child<QCheckBox>(u"cbxSSB"_s);
    QTRY_VERIFY(keyerRecord(station).optionWord & Option::RadioConnected);
    for (QWidget *control : std::initializer_list<QWidget *>{band2, mode, band, ssb})
        QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));

    // Frequency and mode turned at the radio; the band list position and
    // QSO mode (0 CW, 1 SSB) that follow. Out of the bands: band unchanged.
    const struct { const char *hertz, *mode; int band, qsoMode; } turns[] = {
        {"1830000", "USB", 12, 1},   {"14025000", "CW", 7, 0}, {"7150000", "LSB", 9, 1},
        {"3550000", "CWR", 11, 0},   {"144300000", "FM", 0, 1}, {"28074000", "PKTUSB", 3, 1},
        {"10000000", "CW", 3, 0},
    };
    for (const auto &t : turns) {
        QCOMPARE(turn(t.hertz, t.mode), 0);
        QTRY_COMPARE_WITH_TIMEOUT(band2->currentIndex(), t.band, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(mode->currentIndex(), t.qsoMode, 5000);
        QTRY_COMPARE(keyerRecord(station).band % 16, t.band);
        QTRY_COMPARE(bool(keyerRecord(station).optionWord & Option::SSB), t.qsoMode == 1);
    }

    dummyRig.kill();
    dummyRig.waitForFinished();
    QTRY_VERIFY_WITH_TIMEOUT(!link->isConnected(), RigctldLink::AnswerLimit + 3000);
    QCOMPARE(link->findChild<QLabel *>(u"lblResult"_s)->text(), u"Connection Failed"_s);
    QVERIFY(!link->findChild<QLabel *>(u"lblResultDetail"_s)->text().isEmpty());
    QVERIFY(link->isVisible());
    for (QWidget *control : std::initializer_list<QWidget *>{band2, mode, band, ssb})
        QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
    QTRY_VERIFY(!(keyerRecord(station).optionWord & Option::RadioConnected));
    QVERIFY2(station.messages.isEmpty(), qPrintable(station.texts().join(u'\n')));
}

QTEST_MAIN(TestRadioLink)
#include "tst_radiolink.moc"
