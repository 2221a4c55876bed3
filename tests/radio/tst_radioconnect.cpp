#include "ptyendpoint.h"
#include "radioconnect.h"
#include "radiocontrol.h"
#include "radiohost.h"
#include "serialkeyerport.h"
#include "settingsstore.h"
#include "simulatedradio.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(SimulatedRadio::Model)
Q_DECLARE_METATYPE(CatLink::Model)

namespace {

// The main window as the radio link sees it: what it was told, in order.
class RecordingHost : public RadioHost
{
public:
    void radioConnected(bool connected) override { connectedCalls << connected; }
    void radioBand(int position) override { bands << position; }
    void radioMode(int position) override
    {
        modes << position;
        ssb = position == 1;
    }
    void radioSendConfig() override { ++configs; }
    bool ssbLogging() const override { return ssb; }
    bool offTheAir() const override { return offAir; }
    bool keyerBusy() const override { return false; }
    PortTable radioPortTable() const override { return table; }
    QString keyerDevice() const override { return keyer; }

    PortTable table;
    QString keyer = u"/dev/dashwright-keyer"_s;
    bool ssb = false;
    bool offAir = false;
    QList<bool> connectedCalls;
    QList<int> bands;
    QList<int> modes;
    int configs = 0;
};

// The Radio Connection window against the simulated radio on a
// pseudo-terminal; port 1 is the keyer's, port 2 the radio's.
struct Bench
{
    explicit Bench(SimulatedRadio::Model model)
        : radio(model), settings(dir.filePath(u"settings.ini"_s)), window(&settings, &host, &port)
    {
        opened = endpoint.open();
        // The identification waits 75 ms here; the endpoint must notice the
        // port opening sooner.
        endpoint.setPollInterval(2);
        QObject::connect(&endpoint, &PtyEndpoint::received, &radio, [this](const QByteArray &bytes) { radio.feed(bytes); });
        QObject::connect(&radio, &SimulatedRadio::transmit, &endpoint, &PtyEndpoint::write);
        QObject::connect(&radio, &SimulatedRadio::journal, &radio, [this](const QString &line) { journal << line; });
        host.table = PortTable({host.keyer, endpoint.slavePath()});
        window.cat().setWaitScale(0.25);
        settings.setSetting(u"RadioPort"_s, 1);
    }

    bool connectAs(CatLink::Model type)
    {
        settings.setSetting(u"RadioType"_s, int(type));
        window.open();
        return window.Connect();
    }

    QString result() const { return window.findChild<QLabel *>(u"lblResult"_s)->text(); }

    SimulatedRadio radio;
    PtyEndpoint endpoint;
    RadioControl control{&radio};
    QStringList journal;
    QTemporaryDir dir;
    SettingsStore settings;
    RecordingHost host;
    SerialKeyerPort port;
    RadioConnect window;
    bool opened = false;
};

} // namespace

class TestRadioConnect : public QObject
{
    Q_OBJECT

private slots:
    void identification_data();
    void identification();
    void bandAndModeFollowTheRadio_data();
    void bandAndModeFollowTheRadio();
    void voxFollowsTheKeyer_data();
    void voxFollowsTheKeyer();
    void radioLostMidPollDropsTheLink_data();
    void radioLostMidPollDropsTheLink();
    void listChangeDisconnects_data();
    void listChangeDisconnects();
};

void TestRadioConnect::identification_data()
{
    QTest::addColumn<SimulatedRadio::Model>("model");
    QTest::addColumn<QString>("k3Answer"); // empty: the radio's own
    QTest::addColumn<CatLink::Model>("chosen");
    QTest::addColumn<bool>("keyerOnRadioPort");
    QTest::addColumn<bool>("connects");
    QTest::addColumn<QStringList>("firstCommands");

    using S = SimulatedRadio::Model;
    using C = CatLink::Model;
    QTest::newRow("K3 answering K30; passes") << S::K3 << QString() << C::K3 << false << true
                                              << QStringList{u"K3;"_s, u"OM;"_s, u"AI1;"_s, u"BN;"_s};
    QTest::newRow("K3 answering two characters fails") << S::K3 << u"K3"_s << C::K3 << false << false
                                                       << QStringList{u"K3;"_s};
    QTest::newRow("KX3 is not asked to identify") << S::KX3 << QString() << C::KX3 << false << true
                                                  << QStringList{u"AI1;"_s, u"BN;"_s};
    // A KX3 answers K3; too: its option modules tell it apart.
    QTest::newRow("KX3 chosen as K3 fails") << S::KX3 << QString() << C::K3 << false << false
                                            << QStringList{u"K3;"_s, u"OM;"_s};
    QTest::newRow("the keyer's port is never opened") << S::K3 << QString() << C::K3 << true << false
                                                      << QStringList{};
}

void TestRadioConnect::identification()
{
    QFETCH(SimulatedRadio::Model, model);
    QFETCH(QString, k3Answer);
    QFETCH(CatLink::Model, chosen);
    QFETCH(bool, keyerOnRadioPort);
    QFETCH(bool, connects);
    QFETCH(QStringList, firstCommands);

    Bench bench(model);
    QVERIFY(bench.opened);
    if (!k3Answer.isEmpty())
        bench.radio.setAnswer("K3"_ba, k3Answer.toLatin1());
    bool connected = false;
    if (keyerOnRadioPort) {
        // The keyer's port is not offered, and refused when chosen anyway.
        bench.host.keyer = bench.endpoint.slavePath();
        bench.settings.setSetting(u"RadioType"_s, int(chosen));
        bench.window.open();
        auto *ports = bench.window.findChild<QComboBox *>(u"cboPort"_s);
        QCOMPARE(ports->currentIndex(), 0);
        QVERIFY(!qobject_cast<QStandardItemModel *>(ports->model())->item(1)->isEnabled());
        ports->setCurrentIndex(1);
        connected = bench.window.Connect();
    } else {
        connected = bench.connectAs(chosen);
    }
    QCOMPARE(connected, connects);
    QCOMPARE(bench.window.isConnected(), connects);
    if (firstCommands.isEmpty())
        QCOMPARE(bench.journal, QStringList{});
    else
        QCOMPARE(bench.journal.mid(0, firstCommands.size()), firstCommands);
    if (connects) {
        QCOMPARE(bench.result(), u"Connected"_s);
        QCOMPARE(bench.host.connectedCalls, QList<bool>{true});
        QVERIFY(bench.host.configs >= 1);
        QCOMPARE(bench.settings.setting(u"RadioPortDevice"_s, {}), bench.endpoint.slavePath());
    } else {
        QCOMPARE(bench.result(), u"Connection Failed"_s);
        QVERIFY(!bench.window.findChild<QLabel *>(u"lblResultDetail"_s)->text().isEmpty());
        QVERIFY(!bench.window.cat().isOpen());
        QVERIFY(bench.host.connectedCalls.isEmpty());
        QCOMPARE(bench.settings.setting(u"RadioPortDevice"_s, {}), QString());
    }
}

void TestRadioConnect::bandAndModeFollowTheRadio_data()
{
    QTest::addColumn<bool>("ssb");
    QTest::addColumn<QString>("frontPanel");
    QTest::addColumn<int>("busy");
    QTest::addColumn<QList<int>>("bands"); // positions taken over
    QTest::addColumn<QList<int>>("modes");

    QTest::newRow("band 05 selects 20 m") << false << u"band 5"_s << 0 << QList<int>{7} << QList<int>{};
    QTest::newRow("band 10 selects 6 m") << false << u"band 10"_s << 0 << QList<int>{2} << QList<int>{};
    QTest::newRow("transverter band 16 is ignored") << false << u"band 16"_s << 0 << QList<int>{} << QList<int>{};
    QTest::newRow("CW with SSB set switches to CW") << true << u"mode 3"_s << 0 << QList<int>{} << QList<int>{0};
    QTest::newRow("CW reverse with SSB set switches to CW") << true << u"mode 7"_s << 0 << QList<int>{} << QList<int>{0};
    QTest::newRow("USB with SSB set changes nothing") << true << u"mode 2"_s << 0 << QList<int>{} << QList<int>{};
    QTest::newRow("LSB with SSB clear switches to SSB") << false << u"mode 1"_s << 0 << QList<int>{} << QList<int>{1};
    QTest::newRow("CW reverse with SSB clear changes nothing") << false << u"mode 7"_s << 0 << QList<int>{} << QList<int>{};
    QTest::newRow("a busy radio is asked again") << false << u"band 5"_s << 1 << QList<int>{7} << QList<int>{};
}

void TestRadioConnect::bandAndModeFollowTheRadio()
{
    QFETCH(bool, ssb);
    QFETCH(QString, frontPanel);
    QFETCH(int, busy);
    QFETCH(QList<int>, bands);
    QFETCH(QList<int>, modes);

    Bench bench(SimulatedRadio::Model::KX3);
    QVERIFY(bench.opened);
    // Connected on 160 m in a mode that leaves the QSO mode as it is.
    bench.radio.setBand(0);
    bench.radio.setMode(ssb ? 1 : 3);
    bench.host.ssb = ssb;
    QVERIFY(bench.connectAs(CatLink::Model::KX3));
    QCOMPARE(bench.host.bands, QList<int>{12});
    QVERIFY(bench.host.modes.isEmpty());
    bench.host.bands.clear();

    // The radio's own report of the change runs a poll.
    QSignalSpy polled(&bench.window, &RadioConnect::reported);
    bench.radio.setBusy(busy);
    QVERIFY(bench.control.run(frontPanel));
    QVERIFY(polled.wait(5000));
    QCOMPARE(bench.host.bands, bands);
    QCOMPARE(bench.host.modes, modes);
    QVERIFY(bench.window.isConnected());
}

void TestRadioConnect::voxFollowsTheKeyer_data()
{
    QTest::addColumn<CatLink::Model>("model");
    QTest::addColumn<bool>("radioVox");
    QTest::addColumn<bool>("offAir");
    QTest::addColumn<QString>("toggle"); // sent at connect; empty: none
    QTest::addColumn<bool>("panel");     // VOX switched on the front panel after connecting

    using C = CatLink::Model;
    QTest::newRow("KX3 VOX on while the keyer is off the air") << C::KX3 << true << true << u"SWH29;"_s << false;
    QTest::newRow("K3 VOX off while the keyer is on the air") << C::K3 << false << false << u"SWH09;"_s << false;
    QTest::newRow("K3 VOX on while on the air stays") << C::K3 << true << false << QString() << false;
    QTest::newRow("KX3 VOX off while off the air stays") << C::KX3 << false << true << QString() << false;
    // A K3 does not report a VOX change: it is asked before each toggle.
    QTest::newRow("K3 VOX switched on the panel meanwhile") << C::K3 << false << true << QString() << true;
}

void TestRadioConnect::voxFollowsTheKeyer()
{
    QFETCH(CatLink::Model, model);
    QFETCH(bool, radioVox);
    QFETCH(bool, offAir);
    QFETCH(QString, toggle);
    QFETCH(bool, panel);

    Bench bench(model == CatLink::Model::K3 ? SimulatedRadio::Model::K3 : SimulatedRadio::Model::KX3);
    QVERIFY(bench.opened);
    bench.radio.setVox(radioVox);
    bench.host.offAir = offAir;
    QVERIFY(bench.connectAs(model));
    QTRY_COMPARE(bench.radio.vox(), !offAir);
    const QStringList toggles = bench.journal.filter(u"SWH"_s);
    QCOMPARE(toggles, toggle.isEmpty() ? QStringList{} : QStringList{toggle});

    if (panel)
        QVERIFY(bench.control.run(u"vox"_s));
    // A configuration block from the keyer with the other state.
    bench.window.alignVox(!offAir);
    QTRY_COMPARE(bench.radio.vox(), offAir);
    QCOMPARE(bench.window.voxState(), offAir ? 1 : 0);
}

void TestRadioConnect::radioLostMidPollDropsTheLink_data()
{
    QTest::addColumn<QString>("event");
    QTest::addColumn<bool>("report"); // the radio reports a change first
    QTest::newRow("switched off") << u"off"_s << true;
    QTest::newRow("unplugged") << u"unplug"_s << true;
    QTest::newRow("answering garbage") << u"garbage on"_s << true;
    // Nothing reported: the watchdog's poll finds it gone.
    QTest::newRow("switched off while idle") << u"off"_s << false;
}

void TestRadioConnect::radioLostMidPollDropsTheLink()
{
    QFETCH(QString, event);
    QFETCH(bool, report);
    Bench bench(SimulatedRadio::Model::KX3);
    QVERIFY(bench.opened);
    QObject::connect(&bench.control, &RadioControl::unplugRequested, &bench.endpoint, &PtyEndpoint::close);
    QVERIFY(bench.connectAs(CatLink::Model::KX3));

    // The report goes out, then the radio is gone before the poll's query.
    if (report)
        QVERIFY(bench.control.run(u"band 7"_s));
    QVERIFY(bench.control.run(event));
    QTRY_VERIFY_WITH_TIMEOUT(!bench.window.isConnected(), 5000);
    QCOMPARE(bench.result(), u"Connection Failed"_s);
    QCOMPARE(bench.host.connectedCalls, (QList<bool>{true, false}));
    QVERIFY(!bench.window.cat().isOpen());
    QCOMPARE(bench.window.findChild<QPushButton *>(u"btnConnect"_s)->text(), u"C&onnect"_s);
}

void TestRadioConnect::listChangeDisconnects_data()
{
    QTest::addColumn<QString>("list");
    QTest::newRow("radio") << u"cboRadioType"_s;
    QTest::newRow("port") << u"cboPort"_s;
    QTest::newRow("speed") << u"cboBaudRate"_s;
}

void TestRadioConnect::listChangeDisconnects()
{
    QFETCH(QString, list);
    Bench bench(SimulatedRadio::Model::KX3);
    QVERIFY(bench.opened);
    QVERIFY(bench.connectAs(CatLink::Model::KX3));
    const int configs = bench.host.configs;
    auto *box = bench.window.findChild<QComboBox *>(list);
    QVERIFY(box->isEnabled());
    box->setFocus();
    QTest::keyClick(box, box->currentIndex() == box->count() - 1 ? Qt::Key_Up : Qt::Key_Down);
    QVERIFY(!bench.window.isConnected());
    QVERIFY(!bench.window.cat().isOpen());
    QCOMPARE(bench.host.connectedCalls, (QList<bool>{true, false}));
    QCOMPARE(bench.host.configs, configs + 1);
    QCOMPARE(bench.result(), QString());
}

QTEST_MAIN(TestRadioConnect)
#include "tst_radioconnect.moc"
