#include "station.h"

#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

using namespace Qt::StringLiterals;

// The Users tab of the real window against the simulated keyer: profiles
// switched and saved under the calls rule, the profile load as the keyer
// received it, loads that fail, and the smart texts of the function keys.
class TestUsersTab : public QObject
{
    Q_OBJECT

private slots:
    void switchingProfilesKeepsCallsRule_data();
    void switchingProfilesKeepsCallsRule();
    void saveProfileChecksCalls_data();
    void saveProfileChecksCalls();
    void profileLoadReachesKeyer_data();
    void profileLoadReachesKeyer();
    void failedLoadLeavesButtonsEnabled_data();
    void failedLoadLeavesButtonsEnabled();
    void smartTextKeysInsertAtCaret_data();
    void smartTextKeysInsertAtCaret();
    void deleteProfileAsksFirst();

private:
    // A started station on the Users tab; it shows the keyer's profile 0.
    static void startOnUsers(Station &station);
    static void choose(Station &station, const QString &list, int index);
    static QString stored(Station &station, int profile, const QString &key);
};

void TestUsersTab::startOnUsers(Station &station)
{
    QVERIFY(station.simStarted);
    station.settings->setSetting(u"KRVLastScreen"_s, 3);
    const QDate today = QDate::currentDate();
    station.settings->setSetting(u"LastUpdate"_s, today.year() * 100 + today.month());
    station.startWindow(20000, 0.25);
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Ready);
    QCOMPARE(station.child<QTabWidget>(u"tabScreens"_s)->currentIndex(), int(Configuration::UsersPage));
    QCOMPARE(station.child<QComboBox>(u"cboProfile"_s)->currentText(), u"0"_s);
    QApplication::setActiveWindow(station.window.get());
}

// A choice in a list, as the operator makes it.
void TestUsersTab::choose(Station &station, const QString &list, int index)
{
    auto *box = station.child<QComboBox>(list);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QString TestUsersTab::stored(Station &station, int profile, const QString &key)
{
    return station.settings->value(u"PROFILE %1"_s.arg(profile), key, u"(none)"_s);
}

void TestUsersTab::switchingProfilesKeepsCallsRule_data()
{
    QTest::addColumn<QString>("call1");
    QTest::addColumn<QString>("call2");
    QTest::addColumn<QString>("focus"); // empty: the switch is made
    QTest::newRow("only User 1's call") << u"DL1ABC"_s << QString() << u"txtCall2"_s;
    QTest::newRow("only User 2's call") << QString() << u"DL2XYZ"_s << u"txtCall1"_s;
    QTest::newRow("both calls") << u"DL1ABC"_s << u"DL2XYZ"_s << QString();
}

void TestUsersTab::switchingProfilesKeepsCallsRule()
{
    QFETCH(QString, call1);
    QFETCH(QString, call2);
    QFETCH(QString, focus);
    Station station;
    station.settings->setValue(u"PROFILE 5"_s, u"CALL1"_s, u"OZ5X"_s);
    station.settings->setValue(u"PROFILE 5"_s, u"MSG10"_s, u"HELLO"_s);
    startOnUsers(station);
    station.child<QLineEdit>(u"txtCall1"_s)->setText(call1);
    station.child<QLineEdit>(u"txtCall2"_s)->setText(call2);
    station.child<QPlainTextEdit>(u"txtMessage1"_s)->setPlainText(u" cq de \\i "_s);
    choose(station, u"cboProfile"_s, 6);

    if (!focus.isEmpty()) {
        QCOMPARE(station.texts(), QStringList{u"The calls for User1 and User2 must be specified"_s});
        QCOMPARE(station.messages.first().icon, QMessageBox::Critical);
        QCOMPARE(station.child<QComboBox>(u"cboProfile"_s)->currentText(), u"0"_s);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(stored(station, 0, u"CALL1"_s), u"(none)"_s);
        QCOMPARE(station.child<QLineEdit>(u"txtCall1"_s)->text(), call1);
    } else {
        QVERIFY(station.messages.isEmpty());
        QCOMPARE(stored(station, 0, u"CALL1"_s), call1);
        QCOMPARE(stored(station, 0, u"CALL2"_s), call2);
        // The message in the box went with the profile it was read from.
        QCOMPARE(stored(station, 0, u"MSG10"_s), u"CQ DE \\I"_s);
        QCOMPARE(stored(station, 5, u"MSG10"_s), u"HELLO"_s);
        QCOMPARE(station.child<QLineEdit>(u"txtCall1"_s)->text(), u"OZ5X"_s);
        QCOMPARE(station.child<QPlainTextEdit>(u"txtMessage1"_s)->toPlainText(), u"HELLO"_s);
    }
    station.window->close();
}

void TestUsersTab::saveProfileChecksCalls_data()
{
    QTest::addColumn<QString>("typed1");
    QTest::addColumn<QString>("typed2");
    QTest::addColumn<bool>("unwritable");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("call1"); // as stored
    QTest::addColumn<QString>("focus");
    const QString calls = u"The calls for User1 and User2 must be specified"_s;
    QTest::newRow("typed in lower case, a reserved character") << u"dl1<abc/p"_s << u"oz1xy"_s << false
                                                               << u"Profile has been saved in the settings"_s
                                                               << u"DL1ABC/P"_s << QString();
    QTest::newRow("User 1's call missing") << QString() << u"OZ1XY"_s << false << calls << u"(none)"_s
                                           << u"txtCall1"_s;
    QTest::newRow("User 2's call missing") << u"DL1ABC"_s << u" "_s << false << calls << u"(none)"_s
                                           << u"txtCall2"_s;
    QTest::newRow("a hyphen") << u"DL1ABC"_s << u"OZ1-XY"_s << false << u"Invalid call"_s << u"(none)"_s
                              << u"txtCall2"_s;
    QTest::newRow("settings file cannot be written") << u"DL1ABC"_s << u"OZ1XY"_s << true
                                                     << u"The profile could not be saved"_s << u"DL1ABC"_s
                                                     << QString();
}

void TestUsersTab::saveProfileChecksCalls()
{
    QFETCH(QString, typed1);
    QFETCH(QString, typed2);
    QFETCH(bool, unwritable);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Station station;
    if (unwritable) {
        // A file where the settings folder should be.
        QFile blocker(station.dataDir.filePath(u"blocked"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        station.settings = std::make_unique<SettingsStore>(station.dataDir.filePath(u"blocked/settings.ini"_s));
    }
    startOnUsers(station);
    QTest::keyClicks(station.child<QLineEdit>(u"txtCall1"_s), typed1);
    QTest::keyClicks(station.child<QLineEdit>(u"txtCall2"_s), typed2);
    station.child<QPushButton>(u"btnSaveProfile"_s)->click();
    QCOMPARE(station.messages.size(), 1);
    QVERIFY2(station.messages.first().text.startsWith(message), qPrintable(station.messages.first().text));
    QTEST(stored(station, 0, u"CALL1"_s), "call1");
    if (!focus.isEmpty())
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    station.window->close();
}

void TestUsersTab::profileLoadReachesKeyer_data()
{
    QTest::addColumn<QStringList>("profile"); // KEY=VALUE
    QTest::addColumn<QStringList>("records");
    const QStringList station{u"DESCRIPTION=Field day"_s, u"CALL1=DL1ABC"_s, u"CALL2=DL2XYZ"_s,
                              u"OPER1=DL1OP"_s, u"NAME1=Hans"_s, u"QTH_2=Berlin"_s};
    const QStringList stationRecords{u"<CALL1>DL1ABC"_s, u"<CALL2>DL2XYZ"_s, u"<OPER1>DL1OP"_s,
                                     u"<NAME1>Hans"_s, u"<QTH_2>Berlin"_s};
    QTest::newRow("all messages empty") << station << stationRecords;
    QTest::newRow("some messages, line breaks and a tab")
        << station + QStringList{u"MSG39=73 \\#"_s, u"MSG10=CQ DE \\I"_s, u"MSG21=TU\r\n73"_s, u"NAME2=JO\tE"_s,
                                 u"MSG22=A<MSG23>B"_s}
        << QStringList{u"<CALL1>DL1ABC"_s, u"<CALL2>DL2XYZ"_s, u"<OPER1>DL1OP"_s, u"<NAME1>Hans"_s,
                       u"<NAME2>JO E"_s, u"<QTH_2>Berlin"_s, u"<MSG10>CQ DE \\I"_s, u"<MSG21>TU  73"_s,
                       u"<MSG22>AMSG23>B"_s, u"<MSG39>73 \\#"_s};
}

void TestUsersTab::profileLoadReachesKeyer()
{
    QFETCH(QStringList, profile);
    QFETCH(QStringList, records);
    Station station;
    for (const QString &entry : std::as_const(profile))
        station.settings->setValue(u"PROFILE 4"_s, entry.section(u'=', 0, 0), entry.section(u'=', 1));
    startOnUsers(station);
    choose(station, u"cboProfile"_s, 5);
    const int from = int(station.sim.journal().size());
    station.child<QPushButton>(u"btnUseProfile"_s)->click();

    QCOMPARE(station.texts(), QStringList{u"Profile has been saved and sent to the keyer"_s});
    QVERIFY(station.sim.waitForJournal(u"stop"_s, 10000, from));
    QStringList sent;
    QString config;
    for (const QString &line : station.sim.journal().mid(from)) {
        if (line.startsWith(u"profile <"_s))
            sent << line.mid(8);
        else if (line.startsWith(u"config "_s))
            config = line.mid(7);
    }
    QCOMPARE(sent, records);
    // The profile byte of the configuration sent before the load.
    QCOMPARE(config.mid(6, 2), u"04"_s);
    // What goes on one line to the keyer stays as it was in the store.
    for (const QString &entry : std::as_const(profile))
        QCOMPARE(stored(station, 4, entry.section(u'=', 0, 0)), entry.section(u'=', 1));
    station.window->close();
}

void TestUsersTab::failedLoadLeavesButtonsEnabled_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("cancel"); // how the operator ends the wait for byte 3
    QTest::addColumn<QString>("message");
    const QString failed = u"Communication with keyer failed - Error  2013K"_s;
    QTest::newRow("keyer refuses the command") << u"profile refuse"_s << QString() << failed;
    QTest::newRow("keyer never sends byte 3") << u"profile silent"_s << QString() << failed;
    QTest::newRow("operator cancels") << u"profile silent"_s << u"btnCancelLoad"_s << u"Data Transfer cancelled"_s;
    QTest::newRow("operator presses Esc") << u"profile silent"_s << u"Esc"_s << u"Data Transfer cancelled"_s;
}

void TestUsersTab::failedLoadLeavesButtonsEnabled()
{
    QFETCH(QString, control);
    QFETCH(QString, cancel);
    Station station;
    station.settings->setValue(u"PROFILE 0"_s, u"CALL1"_s, u"DL1ABC"_s);
    station.settings->setValue(u"PROFILE 0"_s, u"CALL2"_s, u"DL2XYZ"_s);
    startOnUsers(station);
    station.sim.control(control);
    QTimer operatorHand;
    connect(&operatorHand, &QTimer::timeout, this, [&] {
        if (!station.sim.waitForJournal(u"profile <"_s, 0))
            return;
        operatorHand.stop();
        if (cancel == u"Esc")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else
            station.child<QPushButton>(cancel)->click();
    });
    if (!cancel.isEmpty())
        operatorHand.start(20);
    const int from = int(station.sim.journal().size());
    station.child<QPushButton>(u"btnUseProfile"_s)->click();
    operatorHand.stop();

    QFETCH(QString, message);
    QCOMPARE(station.texts(), QStringList{message});
    QCOMPARE(station.messages.first().icon, cancel.isEmpty() ? QMessageBox::Critical : QMessageBox::Warning);
    for (const char *name : {"btnUseProfile", "btnSaveProfile", "btnDeleteProfile", "btnExport", "cboProfile"})
        QVERIFY2(station.child<QWidget>(QString::fromLatin1(name))->isEnabled(), name);
    QVERIFY(station.child<QTabWidget>(u"tabScreens"_s)->tabBar()->isEnabled());
    // The keyer is told that the transfer is over.
    QVERIFY(station.sim.waitForJournal(u"stop"_s, 10000, from));
    station.window->close();
}

void TestUsersTab::smartTextKeysInsertAtCaret_data()
{
    QTest::addColumn<QString>("before"); // F5's stored text
    QTest::addColumn<QString>("typed");  // into the SmartText dialog
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("sendBuffer");
    QTest::newRow("defined") << QString() << u" \\i \\m de"_s << u"\\I \\M DE"_s << u"CQ K1XYZ JOE DE TEST"_s;
    QTest::newRow("emptied: the key goes") << u"\\I"_s << u"  "_s << u"(none)"_s << u"CQ TEST"_s;
}

void TestUsersTab::smartTextKeysInsertAtCaret()
{
    QFETCH(QString, before);
    QFETCH(QString, typed);
    Station station;
    station.settings->setValue(u"PROFILE 0"_s, u"CALL1"_s, u"K1XYZ"_s);
    station.settings->setValue(u"PROFILE 0"_s, u"NAME1"_s, u"JOE"_s);
    if (!before.isEmpty())
        station.settings->setValue(u"SmartText"_s, u"F5"_s, before);
    startOnUsers(station);

    QString caption;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        caption = dialog->windowTitle();
        dialog->findChild<QLineEdit *>(u"txtText"_s)->setText(typed);
        dialog->findChild<QPushButton *>(u"btnOK"_s)->click();
    });
    const QList<QPushButton *> keys = station.window->findChildren<QPushButton *>(u"btnFKey"_s);
    const auto f5 = std::find_if(keys.begin(), keys.end(), [](QPushButton *b) { return b->text() == u"F5"_s; });
    QVERIFY(f5 != keys.end());
    (*f5)->click();
    QCOMPARE(caption, u"Smart Text for F5"_s);
    QTEST(station.settings->value(u"SmartText"_s, u"F5"_s, u"(none)"_s), "stored");

    station.child<QTabWidget>(u"tabScreens"_s)->setCurrentIndex(Configuration::TerminalPage);
    auto *buffer = station.child<QPlainTextEdit>(u"txtSendBuffer"_s);
    buffer->setPlainText(u"CQ TEST"_s);
    QTextCursor caret = buffer->textCursor();
    caret.setPosition(3);
    buffer->setTextCursor(caret);
    QApplication::setActiveWindow(station.window.get());
    buffer->setFocus();
    QTRY_VERIFY(buffer->hasFocus());
    QTest::keyClick(buffer, Qt::Key_F5);
    QTEST(buffer->toPlainText(), "sendBuffer");
    station.window->close();
}

void TestUsersTab::deleteProfileAsksFirst()
{
    Station station;
    station.settings->setValue(u"PROFILE 0"_s, u"CALL1"_s, u"DL1ABC"_s);
    station.settings->setValue(u"PROFILE 0"_s, u"CALL2"_s, u"DL2XYZ"_s);
    startOnUsers(station);
    station.answer = QMessageBox::No;
    station.child<QPushButton>(u"btnDeleteProfile"_s)->click();
    QCOMPARE(station.texts(), QStringList{u"Do you really want to delete profile 0 (DL1ABC) from the settings?"_s});
    QCOMPARE(stored(station, 0, u"CALL1"_s), u"DL1ABC"_s);
    station.answer = QMessageBox::Yes;
    station.child<QPushButton>(u"btnDeleteProfile"_s)->click();
    QCOMPARE(station.texts().last(), u"Profile has been deleted from the settings"_s);
    QCOMPARE(stored(station, 0, u"CALL1"_s), u"(none)"_s);
    station.window->close();
}

QTEST_MAIN(TestUsersTab)
#include "tst_userstab.moc"
