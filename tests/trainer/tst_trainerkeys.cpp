#include "serialkeyerport.h"
#include "settingsstore.h"
#include "simprocess.h"
#include "trainerwindow.h"
#include "xtestkeys.h"

#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The trainer's keys as the student presses them: real key presses on an X
// display, the real window, the simulated trainer keyer, and the keypad
// commands it receives.
class TestTrainerKeys : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void keys_data();
    void keys();

private:
    XTestKeys m_keys;
};

void TestTrainerKeys::initTestCase()
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        QSKIP("drives an X display: ctest runs this under Xvfb");
    QVERIFY(m_keys.isOpen());
}

void TestTrainerKeys::keys_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("keypad");    // the keypad characters the keyer got
    QTest::addColumn<QString>("field");     // object name of the text field looked at
    QTest::addColumn<QString>("fieldText"); // its text at the end

    QTest::newRow("Ctrl+A in the Words field, then 49: the number of words")
        << QStringList{u"tab 2"_s, u"click WordCount"_s, u"key Control_L+a"_s, u"type 49"_s, u"wait 300"_s}
        << QString() << u"WordCount"_s << u"49"_s;
    QTest::newRow("Ctrl alone, then 4 in the Words field: still text")
        << QStringList{u"tab 2"_s, u"click RepeatCount"_s, u"key Control_L"_s, u"key BackSpace"_s, u"type 4"_s,
                       u"wait 300"_s}
        << QString() << u"RepeatCount"_s << u"4"_s;
    QTest::newRow("Ctrl alone on the Monitor tab: 5 starts message 5")
        << QStringList{u"tab 0"_s, u"click txtMillText"_s, u"key Control_L"_s, u"type 5"_s, u"wait 300"_s}
        << u"5"_s << u"txtMillText"_s << QString();
    QTest::newRow("Ctrl+A in the copy box, then 49: copy text")
        << QStringList{u"tab 0"_s, u"click txtMillText"_s, u"type cq"_s, u"key Control_L+a"_s, u"type 49"_s,
                       u"wait 300"_s}
        << QString() << u"txtMillText"_s << u"49"_s;
}

void TestTrainerKeys::keys()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, field);

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    SettingsStore settings(dir.filePath(u"settings.ini"_s));
    settings.setSetting(u"LastUpdateTrainer"_s, QDate::currentDate().year() * 100 + QDate::currentDate().month());
    SimProcess sim;
    QVERIFY(sim.start({u"--letter"_s, u"T"_s}));
    SerialKeyerPort port;
    TrainerWindow window(&settings, &port);
    window.setPortTable(PortTable({sim.device()}));
    window.setMessageHook([](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons,
                             QMessageBox::StandardButton) {
        qWarning("message: %s", qPrintable(text));
        return QMessageBox::Ok;
    });
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(window.startupResult() == TrainerWindow::StartupResult::Ready, 20000);
    QVERIFY(m_keys.focus(&window));

    const qsizetype from = sim.journal().size();
    auto *bar = window.findChild<QTabWidget *>(u"tabScreens"_s)->tabBar();
    QString failure;
    const bool ran = m_keys.run(
        &window, steps,
        [&](const QString &step, std::function<bool()> *) {
            if (!step.startsWith(u"tab "_s))
                return false;
            m_keys.click(bar, bar->tabRect(step.mid(4).toInt()).center());
            return true;
        },
        30000, &failure);
    QVERIFY2(ran, qPrintable(failure));
    QString keypad;
    for (const QString &line : sim.journal().mid(from)) {
        if (line.startsWith(u"keypad "_s))
            keypad += line.mid(7);
    }
    QTEST(keypad, "keypad");
    QWidget *box = window.findChild<QWidget *>(field);
    QVERIFY(box);
    const QString text = qobject_cast<QLineEdit *>(box) ? qobject_cast<QLineEdit *>(box)->text()
                                                        : qobject_cast<QPlainTextEdit *>(box)->toPlainText();
    QTEST(text, "fieldText");
    window.close();
}

QTEST_MAIN(TestTrainerKeys)
#include "tst_trainerkeys.moc"
