#include "configurationtab.h"
#include "settingsstore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Answers the tab's questions without a modal box and keeps what was shown.
class AnsweringTab : public ConfigurationTab
{
public:
    using ConfigurationTab::ConfigurationTab;
    bool answer = true;
    QStringList questions, messages;

protected:
    bool ask(const QString &question) override { questions << question; return answer; }
    void inform(QMessageBox::Icon, const QString &text) override { messages << text; }
};

class TestConfigurationTab : public QObject
{
    Q_OBJECT

    QTemporaryDir *m_dir = nullptr;
    SettingsStore *m_settings = nullptr;
    ConfigRecord m_record;
    AnsweringTab *m_tab = nullptr;

    template <typename T> T *get(const char *name)
    {
        T *w = m_tab->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("control %s missing", name);
        return w;
    }
    QSlider *slider(const char *name) { return get<QSlider>(name); }
    QCheckBox *box(const char *name) { return get<QCheckBox>(name); }
    QLabel *label(const char *name) { return get<QLabel>(name); }
    void show(const ConfigRecord &r) { m_record = r; m_tab->showRecord(); }

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        QVERIFY(QDir::setCurrent(m_dir->path()));
        m_settings = new SettingsStore(m_dir->filePath(u"settings.ini"_s));
        m_record = ConfigRecord{};
        m_record.speedLow = 15;
        m_record.speedHigh = 30;
        m_record.volume = 127;
        m_tab = new AnsweringTab(&m_record, m_settings);
        m_tab->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_tab));
    }
    void cleanup()
    {
        delete m_tab;
        delete m_settings;
        QDir::setCurrent(QDir::tempPath());
        delete m_dir;
    }

    void showingTheRecordNeverChangesIt()
    {
        AnsweringTab fresh(&m_record, m_settings);
        QCOMPARE(m_record.speedLow, 15);
        QCOMPARE(m_record.volume, 127);

        ConfigRecord r;
        r.contrast = 0x1F;
        r.pitch = 20;
        r.volume = 128;
        r.speedLow = 50;
        r.speedHigh = 90;
        r.band = 0xED;
        r.optionWord = 0xFFFF;
        r.trDelay = 1234;
        r.trExtension = 13;
        r.serialNumber = 4711;
        show(r);
        QCOMPARE(m_record, r);
        QCOMPARE(get<QLineEdit>("txtSerialNumber")->text(), u"4711"_s);
        QVERIFY(get<QLineEdit>("txtSerialNumber")->isEnabled());
        // Band index 13 has no entry: the list keeps what it showed.
        QCOMPARE(get<QComboBox>("cboBand")->currentIndex(), 0);
    }

    void contrastAbove15IsSentBackOnlyAfterTheSliderMoves()
    {
        m_record.contrast = 0x1F;
        m_tab->showRecord();
        QCOMPARE(slider("ctlContrast")->value(), 15);
        QCOMPARE(label("lblContrast")->text(), u"15"_s);
        QCOMPARE(m_record.contrast, 0x1F);
        QTest::keyClick(slider("ctlContrast"), Qt::Key_Left);
        QTest::keyClick(slider("ctlContrast"), Qt::Key_Right);
        QCOMPARE(m_record.contrast, 15);
    }

    void keyerMode_data()
    {
        QTest::addColumn<quint16>("options");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("handKey");
        QTest::addColumn<quint16>("recorded"); // box and record agree
        QTest::newRow("mode 7 counts as 0") << quint16(0x0007) << u"Iambic B1"_s << false << quint16(0x0007);
        QTest::newRow("hand checks hand key") << quint16(0x0005) << u"Hand"_s << true << quint16(0x0105);
        QTest::newRow("bug with hand-key bit") << quint16(0x0104) << u"Bug"_s << true << quint16(0x0104);
    }
    void keyerMode()
    {
        QFETCH(quint16, options);
        m_record.optionWord = options;
        m_tab->showRecord();
        auto *mode = get<QComboBox>("cboKeyerMode");
        QTEST(mode->currentText(), "shown");
        QTEST(box("cbxHandkey")->isChecked(), "handKey");
        QTEST(m_record.optionWord, "recorded");

        // The operator's choice goes into bits 0-2 only.
        m_record.optionWord |= 0xFFF8;
        QTest::keyClick(mode, Qt::Key_Down);
        QCOMPARE(m_record.optionWord, 0xFFF8 | mode->currentIndex());
    }

    void volumeShown_data()
    {
        QTest::addColumn<int>("volume");
        QTest::addColumn<int>("shown");
        QTest::newRow("255 is the buzzer") << 255 << 101;
        QTest::newRow("254 is 100") << 254 << 100;
        QTest::newRow("128 rounds down") << 128 << 50;
        QTest::newRow("129 rounds up") << 129 << 51;
        QTest::newRow("0 clamps to 1") << 0 << 1;
    }
    void volumeShown()
    {
        QFETCH(int, volume);
        QFETCH(int, shown);
        m_record.volume = quint8(volume);
        m_tab->showRecord();
        QCOMPARE(slider("ctlVolume")->value(), shown);
        QCOMPARE(label("lblBuzzer")->isVisible(), volume == 255);
        QCOMPARE(label("lblVolume")->isVisible(), volume != 255);
        QCOMPARE(m_record.volume, volume);
    }

    void volumeMoved_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("volume");
        QTest::newRow("75: 190.5 to even") << 75 << 190;
        QTest::newRow("25: 63.5 to even") << 25 << 64;
        QTest::newRow("1") << 1 << 3;
        QTest::newRow("101 buzzer") << 101 << 255;
    }
    void volumeMoved()
    {
        QFETCH(int, position);
        slider("ctlVolume")->setValue(position);
        QTEST(int(m_record.volume), "volume");
        QCOMPARE(label("lblBuzzer")->isVisible(), position == 101);
    }

    void buzzerLabelClickGoesBackTo100()
    {
        m_record.volume = 255;
        m_tab->showRecord();
        QTest::mouseClick(label("lblBuzzer"), Qt::LeftButton);
        QCOMPARE(slider("ctlVolume")->value(), 100);
        QCOMPARE(m_record.volume, 254);
        QVERIFY(!label("lblBuzzer")->isVisible());
    }

    void trValuesShown_data()
    {
        QTest::addColumn<int>("delay");
        QTest::addColumn<int>("extension");
        QTest::addColumn<int>("delayShown");
        QTest::addColumn<QString>("delayText");
        QTest::addColumn<int>("extensionShown");
        QTest::newRow("halves to even, down") << 2000 << 20 << 2 << u"0.2"_s << 2;
        QTest::newRow("halves to even, up") << 1200 << 12 << 2 << u"0.2"_s << 2;
        QTest::newRow("half of zero") << 400 << 4 << 0 << u"0.0"_s << 0;
        QTest::newRow("tenths") << 20000 << 100 << 25 << u"2.5"_s << 12;
    }
    void trValuesShown()
    {
        QFETCH(int, delay);
        QFETCH(int, extension);
        show({.trDelay = qint16(delay), .trExtension = qint16(extension)});
        QTEST(slider("ctlTRDelay")->value(), "delayShown");
        QTEST(label("lblTRDelay")->text(), "delayText");
        QTEST(slider("ctlTRExt")->value(), "extensionShown");
        QCOMPARE(label("lblTRExt")->text(), QString::number(slider("ctlTRExt")->value()));
    }

    void optionBoxes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint16>("mask");
        QTest::addColumn<bool>("inverted");
        QTest::newRow("paddle reverse") << u"cbxPaddleReverse"_s << Option::PaddleReverse << false;
        QTest::newRow("auto char spacing") << u"cbxAutoCS"_s << Option::AutoCharSpacing << false;
        QTest::newRow("auto word spacing") << u"cbxAutoWS"_s << Option::AutoWordSpacing << false;
        QTest::newRow("tone on") << u"cbxToneOn"_s << Option::ToneOn << false;
        QTest::newRow("contest") << u"cbxContestMode"_s << Option::ContestMode << false;
        QTest::newRow("t/r comp") << u"cbxTRComp"_s << Option::TRComp << false;
        QTest::newRow("ssb") << u"cbxSSB"_s << Option::SSB << false;
        QTest::newRow("hand key") << u"cbxHandkey"_s << Option::HandKey << false;
        QTest::newRow("memory inverted") << u"cbxMemory"_s << Option::MemoryOff << true;
        QTest::newRow("log search inverted") << u"cbxLogSearch"_s << Option::LogSearchOff << true;
        QTest::newRow("auto logging inverted") << u"cbxDetect"_s << Option::AutoLoggingOff << true;
    }
    void optionBoxes()
    {
        QFETCH(QString, name);
        QFETCH(quint16, mask);
        QFETCH(bool, inverted);
        auto *cbx = m_tab->findChild<QCheckBox *>(name);
        QVERIFY(cbx);
        for (bool bitSet : {true, false}) {
            show({.optionWord = quint16(bitSet ? mask : 0)});
            QCOMPARE(cbx->isChecked(), bitSet != inverted);
            cbx->click();
            QCOMPARE(m_record.optionWord, bitSet ? 0 : mask);
            cbx->click();
            QCOMPARE(m_record.optionWord, bitSet ? mask : 0);
        }
    }

    void trCompensation()
    {
        show({.optionWord = Option::TRComp, .trDelay = 4000, .trExtension = 24});
        QTest::keyClick(slider("ctlTRExt"), Qt::Key_Left);
        QCOMPARE(m_record.trExtension, 16);
        // Extension to 0 switches compensation off, which zeroes the delay too.
        QTest::keyClick(slider("ctlTRExt"), Qt::Key_Home);
        QVERIFY(!box("cbxTRComp")->isChecked());
        QCOMPARE(m_record.optionWord, 0);
        QCOMPARE(m_record.trDelay, 0);
        QCOMPARE(slider("ctlTRDelay")->value(), 0);
        QVERIFY(!slider("ctlTRDelay")->isEnabled());
        QVERIFY(!slider("ctlTRExt")->isEnabled());

        box("cbxTRComp")->click();
        QCOMPARE(slider("ctlTRExt")->value(), 10);
        QCOMPARE(m_record.trExtension, 80);
        QCOMPARE(m_record.optionWord, Option::TRComp);
        QVERIFY(slider("ctlTRDelay")->isEnabled());

        QTest::keyClick(slider("ctlTRDelay"), Qt::Key_End);
        QCOMPARE(m_record.trDelay, 24000);
        box("cbxTRComp")->click();
        QCOMPARE(m_record.trDelay, 0);
        QCOMPARE(m_record.trExtension, 0);
        QCOMPARE(slider("ctlTRExt")->value(), 0);

        // Values too small to move the sliders off 0 are zeroed as well.
        show({.optionWord = Option::TRComp, .trDelay = 300, .trExtension = 3});
        box("cbxTRComp")->click();
        QCOMPARE(m_record.trDelay, 0);
        QCOMPARE(m_record.trExtension, 0);
    }

    void speedsFollowEachOther()
    {
        slider("ctlSpeedLow")->setValue(40);
        QCOMPARE(m_record.speedHigh, 40);
        QCOMPARE(label("lblSpeedHigh")->text(), u"40"_s);
        slider("ctlSpeedHigh")->setValue(20);
        QCOMPARE(m_record.speedLow, 20);
        slider("ctlSpeedHigh")->setValue(60);
        QCOMPARE(m_record.speedLow, 20);
        QCOMPARE(m_record.speedHigh, 60);
    }

    void alwaysOnClearsBand5To7AndBandKeepsAlways()
    {
        show({.band = 0xE4});
        QVERIFY(!box("cbxAlways")->isChecked());
        box("cbxAlways")->click();
        QCOMPARE(m_record.band, 0x14);
        QTest::keyClick(get<QComboBox>("cboBand"), Qt::Key_Down);
        QCOMPARE(m_record.band, 0x15);
        box("cbxAlways")->click();
        QCOMPARE(m_record.band, 0x05);
    }

    void ssbLocksLogSearchOn()
    {
        QSignalSpy ssb(m_tab, &ConfigurationTab::ssbChanged);
        show({.optionWord = Option::LogSearchOff});
        box("cbxSSB")->click();
        QCOMPARE(m_record.optionWord, Option::SSB);
        QVERIFY(box("cbxLogSearch")->isChecked());
        QVERIFY(!box("cbxLogSearch")->isEnabled());
        box("cbxSSB")->click();
        QVERIFY(box("cbxLogSearch")->isEnabled());
        QCOMPARE(ssb.size(), 2);
    }

    void serialNumberTakesSixDigitsOnly()
    {
        auto *serial = get<QLineEdit>("txtSerialNumber");
        QVERIFY(!serial->isEnabled());
        box("cbxContestMode")->click();
        serial->clear();
        QTest::keyClicks(serial, u"12a-3"_s);
        QCOMPARE(m_record.serialNumber, 123);
        QTest::keyClicks(serial, u"45678"_s);
        QCOMPARE(m_record.serialNumber, 123456);
    }

    void handKeySendsUnlessConfigurationLoad()
    {
        QSignalSpy send(m_tab, &ConfigurationTab::sendConfigRequested);
        box("cbxHandkey")->click();
        QCOMPARE(send.size(), 1);
        m_tab->setConfigurationLoad(true);
        box("cbxHandkey")->click();
        QCOMPARE(send.size(), 1);
        QCOMPARE(m_record.optionWord, 0);
    }

    void saveWrites28Bytes()
    {
        m_record.qsoCount = 0x1234;
        m_record.serialNumber = 987654;
        get<QPushButton>("btnSaveConfig")->click();
        QFile file(m_dir->filePath(u"configuration.krv"_s));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), ConfigBlock::toFileBytes(m_record));
        QCOMPARE(file.size(), 28);
        QVERIFY(m_tab->messages.isEmpty());

        // A folder in the file's place makes the save fail.
        QVERIFY(file.remove() && QDir().mkdir(u"configuration.krv"_s));
        get<QPushButton>("btnSaveConfig")->click();
        QCOMPARE(m_tab->messages.size(), 1);
    }

    void restore_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("fileThere");
        QTest::newRow("yes") << true << true;
        QTest::newRow("no") << false << true;
        QTest::newRow("missing file") << true << false;
    }
    void restore()
    {
        QFETCH(bool, answer);
        QFETCH(bool, fileThere);
        const ConfigRecord saved{11, 7, 3, 111, "41", 9, 200, 12, 44, 0x17, 0x2345, 1600, 40, 5};
        if (fileThere)
            QVERIFY(ConfigBlock::saveFile(u"configuration.krv"_s, saved).isEmpty());
        const ConfigRecord live{.qsoCount = 900, .profileIndex = 8, .serialNumber = 4242,
                                .lastExported = 850, .status = 1};
        m_record = live;

        QSignalSpy restored(m_tab, &ConfigurationTab::restored);
        m_tab->answer = answer;
        get<QPushButton>("btnRestoreConfig")->click();
        QCOMPARE(m_tab->questions, QStringList{u"Restore the last saved configuration?"_s});

        const bool copied = answer && fileThere;
        QCOMPARE(restored.size(), copied ? 1 : 0);
        ConfigRecord expected = saved;
        expected.qsoCount = live.qsoCount;
        expected.profileIndex = live.profileIndex;
        expected.serialNumber = live.serialNumber;
        expected.firmwareVersion = live.firmwareVersion;
        expected.lastExported = live.lastExported;
        expected.status = live.status;
        QCOMPARE(m_record, copied ? expected : live);
    }
};

QTEST_MAIN(TestConfigurationTab)
#include "tst_configurationtab.moc"
