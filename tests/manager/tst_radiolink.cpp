#include "ptyendpoint.h"
#include "radioconnect.h"
#include "simulatedradio.h"
#include "station.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLabel>

using namespace Qt::StringLiterals;

// The manager's window with the simulated keyer and the simulated radio:
// the radio connected at start-up drives band and mode and locks them for
// the operator; a radio that is switched off gives them back.
class TestRadioLink : public QObject
{
    Q_OBJECT

private slots:
    void radioDrivesBandAndModeUntilSwitchedOff();

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

QTEST_MAIN(TestRadioLink)
#include "tst_radiolink.moc"
