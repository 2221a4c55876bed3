#include "station.h"

#include <QDate>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

using namespace Qt::StringLiterals;

// The Terminal tab of the real window against the simulated keyer: typed
// text reaching the keyer and its log, the QSO panel, the monitor's audit
// file, and a keyer that stops answering.
class TestTerminalTab : public QObject
{
    Q_OBJECT

private slots:
    void messageIsLoggedAutomatically();
    void checkCall_data();
    void checkCall();
    void deleteAsksByState_data();
    void deleteAsksByState();
    void monitorSavedAsAuditRecord();
    void keyerSilentMidMessage();

private:
    // A started station on the Terminal tab, the send buffer focused.
    static void startOnTerminal(Station &station);
    static void type(Station &station, const QString &text, Qt::KeyboardModifiers enter = Qt::NoModifier);
    // The send-character payloads the keyer received, "K" + code for keypad functions.
    static QStringList keyerReceived(Station &station);
};

void TestTerminalTab::startOnTerminal(Station &station)
{
    QVERIFY(station.simStarted);
    station.settings->setSetting(u"KRVLastScreen"_s, 1);
    const QDate today = QDate::currentDate();
    station.settings->setSetting(u"LastUpdate"_s, today.year() * 100 + today.month());
    station.startWindow();
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Ready);
    QCOMPARE(station.child<QTabWidget>(u"tabScreens"_s)->currentIndex(), int(Configuration::TerminalPage));
    QApplication::setActiveWindow(station.window.get());
    station.child<QPlainTextEdit>(u"txtSendBuffer"_s)->setFocus();
    QTRY_VERIFY(station.child<QPlainTextEdit>(u"txtSendBuffer"_s)->hasFocus());
}

void TestTerminalTab::type(Station &station, const QString &text, Qt::KeyboardModifiers enter)
{
    auto *box = station.child<QPlainTextEdit>(u"txtSendBuffer"_s);
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return, enter);
}

QStringList TestTerminalTab::keyerReceived(Station &station)
{
    QStringList received;
    for (const QString &line : station.sim.journal()) {
        if (line.startsWith(u"char "_s))
            received << (line.size() == 6 ? line.mid(5) : QString(QChar(line.mid(5).toInt(nullptr, 16))));
        else if (line.startsWith(u"keypad "_s))
            received << u"K"_s + line.mid(7);
    }
    return received;
}

void TestTerminalTab::messageIsLoggedAutomatically()
{
    Station station;
    station.settings->setValue(u"PROFILE 0"_s, u"CALL1"_s, u"K1XYZ"_s);
    startOnTerminal(station);
    type(station, u"dl1abc de k1xyz k"_s);
    // The call is marked right after it went out; the keyer reports it.
    QTRY_COMPARE_WITH_TIMEOUT(station.child<QLabel>(u"lblCall"_s)->text(), u"DL1ABC"_s, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(keyerReceived(station).join(QString()).endsWith(u"K1XYZ K"_s), 20000);
    const QString sent = keyerReceived(station).join(QString());
    QVERIFY2(sent.contains(u"DL1ABCK0D DE K1XYZ K"_s), qPrintable(sent));
    QTRY_COMPARE_WITH_TIMEOUT(station.child<QPlainTextEdit>(u"txtMonitorText"_s)->toPlainText(),
                              u"DL1ABC DE K1XYZ K"_s, 20000);
    QCOMPARE(station.child<QLabel>(u"lblCountry"_s)->text(), u"Federal Republic of Germany"_s);
    QCOMPARE(station.child<QTabWidget>(u"tabScreens"_s)->currentIndex(), int(Configuration::TerminalPage));

    // Save QSO: the keyer stores it and the panel is reset.
    station.child<QPushButton>(u"btnLogQSO"_s)->click();
    QTRY_VERIFY_WITH_TIMEOUT(station.sim.waitForJournal(u"stored 1 "_s, 0), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(station.child<QLabel>(u"lblCall"_s)->text(), QString(), 10000);
    QTRY_COMPARE(station.window->record().qsoCount, qint16(1));
    QVERIFY(station.messages.isEmpty());
    station.window->close();
}

void TestTerminalTab::checkCall_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("note");
    QTest::newRow("known call with a note") << u"ur dl1abc"_s << u"DL1ABC"_s << u"Federal Republic of Germany"_s
                                            << u"OLD FRIEND"_s;
    QTest::newRow("20 characters: the first 13") << u"g4abcdefghijklmnop"_s << u"G4ABCDEFGHIJK"_s
                                                 << u"England"_s << QString();
}

void TestTerminalTab::checkCall()
{
    QFETCH(QString, typed);
    QFETCH(QString, call);
    Station station;
    QFile notes(station.dataDir.filePath(u"specialnotes.txt"_s));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("DL1ABC Old friend\n");
    notes.close();
    startOnTerminal(station);
    type(station, typed, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(station.child<QLabel>(u"lblCall"_s)->text(), call, 10000);
    QTEST(station.child<QLabel>(u"lblCountry"_s)->text(), "country");
    QTEST(station.child<QLineEdit>(u"txtNote"_s)->text(), "note");
    QTRY_VERIFY_WITH_TIMEOUT(keyerReceived(station).contains(u"K0D"_s), 10000);
    // The call went as keyboard entry, nothing of it keyed.
    QCOMPARE(keyerReceived(station), QStringList(call.begin(), call.end()) << u"K0D"_s);
    QVERIFY(station.child<QPlainTextEdit>(u"txtMonitorText"_s)->toPlainText().isEmpty());
    station.window->close();
}

void TestTerminalTab::deleteAsksByState_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("question");
    QTest::newRow("nothing shown") << u"idle"_s << u"Do you really want to delete the last QSO?"_s;
    QTest::newRow("a call being worked") << u"call"_s << QString();
    QTest::newRow("a stored QSO being edited") << u"edit"_s << u"Do you really want to delete this QSO?"_s;
}

void TestTerminalTab::deleteAsksByState()
{
    QFETCH(QString, state);
    QFETCH(QString, question);
    Station station({u"--qso-count"_s, u"2"_s});
    startOnTerminal(station);
    if (state == u"call")
        type(station, u"g4xyz"_s, Qt::ControlModifier);
    if (state == u"edit")
        station.child<QPushButton>(u"btnEditQSO"_s)->click();
    QTRY_VERIFY_WITH_TIMEOUT(state == u"idle" || !station.child<QLabel>(u"lblCall"_s)->text().isEmpty(), 10000);
    // No first: nothing is deleted.
    station.answer = QMessageBox::No;
    station.child<QPushButton>(u"btnDeleteQSO"_s)->click();
    if (!question.isEmpty()) {
        QCOMPARE(station.messages.size(), 1);
        QCOMPARE(station.messages.first().text, question);
        QCOMPARE(station.messages.first().icon, QMessageBox::Question);
        QTest::qWait(300);
        QVERIFY(!station.sim.journal().contains(u"keypad 1A"_s));
        station.answer = QMessageBox::Yes;
        station.child<QPushButton>(u"btnDeleteQSO"_s)->click();
    }
    QVERIFY(station.sim.waitForJournal(u"keypad 1A"_s, 10000));
    QVERIFY(station.sim.waitForJournal(u"char <"_s, 10000));
    station.window->close();
}

void TestTerminalTab::monitorSavedAsAuditRecord()
{
    Station station;
    startOnTerminal(station);
    station.child<QPlainTextEdit>(u"txtMonitorText"_s)->setPlainText(u"CQ TEST\nDE K1XYZ"_s);
    const QString caption = station.child<QLabel>(u"lblUTC"_s)->text();
    station.child<QPushButton>(u"btnSaveMonitor"_s)->click();
    const QString name = u"krv%1.txt"_s.arg(QDateTime::currentDateTimeUtc().date().year());
    QFile audit(station.dataDir.filePath(u"Audit/"_s + name));
    QVERIFY(audit.open(QIODevice::ReadOnly));
    QCOMPARE(audit.readAll(), (u"\r\n["_s + caption + u"]:\r\nCQ TEST\r\nDE K1XYZ\r\n"_s).toUtf8());
    QCOMPARE(station.messages.last().text, u"Monitor contents saved in "_s + name);
    QVERIFY(station.child<QPlainTextEdit>(u"txtMonitorText"_s)->toPlainText().isEmpty());
    station.window->close();
}

void TestTerminalTab::keyerSilentMidMessage()
{
    Station station;
    startOnTerminal(station);
    station.sim.control(u"knob 40"_s);
    QTRY_COMPARE_WITH_TIMEOUT(station.window->record().currentSpeed, "40"_ba, 10000);
    // The transmission runs inside the key's handling: the keyer falls
    // silent, and the window is looked at, from there.
    auto *tabs = station.child<QTabWidget>(u"tabScreens"_s);
    auto *monitor = station.child<QPlainTextEdit>(u"txtMonitorText"_s);
    bool otherTabsRested = false;
    bool typingGoesOn = false;
    connect(monitor, &QPlainTextEdit::textChanged, this, [&] {
        if (monitor->toPlainText() != u"AB"_s)
            return;
        otherTabsRested = !tabs->isTabEnabled(Configuration::ConfigurationPage);
        typingGoesOn = station.child<QPlainTextEdit>(u"txtSendBuffer"_s)->hasFocus();
        station.sim.control(u"silent on"_s);
    });
    type(station, u"abcdefghij"_s);
    QVERIFY(otherTabsRested);
    QVERIFY(typingGoesOn);
    QCOMPARE(station.texts(), QStringList{u"Communication with keyer failed - Error  2011H"_s});
    QVERIFY(!station.window->sender().busy());
    for (const char *name : {"btnSendMessage", "btnCheckCall", "btnClearSendBuffer", "btnEditQSO", "cboBand2"})
        QVERIFY2(station.child<QWidget>(QString::fromLatin1(name))->isEnabled(), name);
    QVERIFY(tabs->isTabEnabled(Configuration::ConfigurationPage));
    station.window->close();
}

QTEST_MAIN(TestTerminalTab)
#include "tst_terminaltab.moc"
