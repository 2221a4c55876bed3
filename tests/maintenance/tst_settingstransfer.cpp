#include "settingsstore.h"
#include "settingstransfer.h"

#include <QDateTime>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Values = QMap<QString, QString>; // "section/key" -> value

Values everything(const QString &iniFile)
{
    QSettings settings(iniFile, QSettings::IniFormat);
    Values values;
    for (const QString &key : settings.allKeys())
        values.insert(key, settings.value(key).toString());
    return values;
}

void fill(SettingsStore &store, const Values &values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        store.setValue(it.key().section(u'/', 0, 0), it.key().section(u'/', 1), it.value());
    store.sync();
}

} // namespace

// Settings export to krv.reg and import of such a file.
class TestSettingsTransfer : public QObject
{
    Q_OBJECT

private slots:
    void exportThenImportRestores_data();
    void exportThenImportRestores();
    void importKeepsWhatItReplaces_data();
    void importKeepsWhatItReplaces();
};

void TestSettingsTransfer::exportThenImportRestores_data()
{
    QTest::addColumn<Values>("settings");

    QTest::newRow("window and port") << Values{{u"Settings/WindowWidth"_s, u"860"_s},
                                               {u"Settings/COMPortDevice"_s, u"/dev/serial/by-id/usb-FTDI-if00"_s},
                                               {u"Settings/DownloadServer"_s, u"https://example.org/a b"_s}};
    QTest::newRow("profiles and smart text, odd characters")
        << Values{{u"Settings/Nordic"_s, u"1"_s},
                  {u"PROFILE 3/CALL1"_s, u"OZ1ÆØÅ"_s},
                  {u"PROFILE 3/MSG2"_s, u"CQ \"TEST\" = ; # , \\ de <ar>"_s},
                  {u"SmartText/F1"_s, u""_s}};
    QTest::newRow("the eQSL password, kept private") << Values{{u"Settings/eQSLUser"_s, u"K1ABC"_s},
                                                 {u"Settings/eQSLPassword"_s, u"p&ss w<rd"_s}};
}

void TestSettingsTransfer::exportThenImportRestores()
{
    QFETCH(Values, settings);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString storeFile = dir.filePath(u"Dashwright.conf"_s);
    SettingsStore store(storeFile);
    fill(store, settings);
    SettingsTransfer transfer(store);

    QString error;
    const QString exported = dir.filePath(u"krv.reg"_s);
    QVERIFY2(transfer.exportTo(exported, &error), qPrintable(error));
    QCOMPARE(everything(exported), settings);
    if (settings.contains(u"Settings/eQSLPassword"_s))
        QCOMPARE(QFile::permissions(exported) & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);

    // Later changes, then the import: the exported settings come back
    // exactly, keys added since are gone, the changed ones are kept aside.
    store.setSetting(u"WindowWidth"_s, u"1"_s);
    store.setValue(u"PROFILE 9"_s, u"CALL2"_s, u"added"_s);
    store.sync();
    const Values changed = everything(storeFile);
    const QString backup = dir.filePath(u"krv-previous.reg"_s);
    QVERIFY2(transfer.importFrom(exported, backup, true, &error), qPrintable(error));
    QCOMPARE(everything(storeFile), settings);
    QCOMPARE(everything(backup), changed);
    // The running program's store sees the imported values.
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        QCOMPARE(store.value(it.key().section(u'/', 0, 0), it.key().section(u'/', 1), u"-"_s), it.value());

    // A file that is no settings export changes nothing.
    QFile other(dir.filePath(u"other.reg"_s));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("[Fonts]\nsize=3\n");
    other.close();
    QVERIFY(!transfer.importFrom(other.fileName(), backup, true, &error));
    QVERIFY(error.contains(u"holds no Dashwright settings"_s));
    QCOMPARE(everything(storeFile), settings);
}

void TestSettingsTransfer::importKeepsWhatItReplaces_data()
{
    QTest::addColumn<Values>("imported");
    QTest::addColumn<bool>("takeGuarded");
    QTest::addColumn<QStringList>("asked"); // the guarded changes shown to the operator
    QTest::addColumn<Values>("after");      // settings the store holds then
    const Values planted{{u"Settings/FirmwareLoader"_s, u"sh -c id"_s}, {u"Settings/CallLookup"_s, u"xterm -e"_s},
                         {u"Settings/WindowWidth"_s, u"900"_s}};
    QTest::newRow("a friend's loader and look-up, declined")
        << planted << false << QStringList{u"FirmwareLoader = sh -c id"_s, u"CallLookup = xterm -e"_s}
        << Values{{u"Settings/FirmwareLoader"_s, u"avrdude -c avr109"_s}, {u"Settings/WindowWidth"_s, u"900"_s}};
    QTest::newRow("the same, taken") << planted << true
                                     << QStringList{u"FirmwareLoader = sh -c id"_s, u"CallLookup = xterm -e"_s}
                                     << planted;
    QTest::newRow("nothing guarded changes: nothing asked")
        << Values{{u"Settings/FirmwareLoader"_s, u"avrdude -c avr109"_s}, {u"Settings/eQSLPassword"_s, u"secret"_s}}
        << false << QStringList{}
        << Values{{u"Settings/FirmwareLoader"_s, u"avrdude -c avr109"_s}, {u"Settings/eQSLPassword"_s, u"secret"_s}};
}

// Import Settings of any file, an earlier copy of the settings included:
// the settings replaced are kept in a file of their own, guarded settings
// change only when the operator says so, and a password stays private.
void TestSettingsTransfer::importKeepsWhatItReplaces()
{
    QFETCH(Values, imported);
    QFETCH(bool, takeGuarded);
    QFETCH(Values, after);
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(u"Dashwright.conf"_s));
    fill(store, {{u"Settings/FirmwareLoader"_s, u"avrdude -c avr109"_s}, {u"Settings/WindowWidth"_s, u"860"_s}});
    const Values before = everything(store.fileName());
    // The file imported is the copy an earlier import made, under the
    // name this import would pick if names were reused.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString earlier = SettingsTransfer::backupName(dir.path(), now);
    {
        QSettings file(earlier, QSettings::IniFormat);
        for (auto it = imported.cbegin(); it != imported.cend(); ++it)
            file.setValue(it.key(), it.value());
    }
    SettingsTransfer transfer(store);
    QTEST(transfer.guardedChanges(earlier), "asked");
    const QString backup = SettingsTransfer::backupName(dir.path(), now);
    QVERIFY(backup != earlier);
    QString error;
    QVERIFY2(transfer.importFrom(earlier, backup, takeGuarded, &error), qPrintable(error));
    QCOMPARE(everything(store.fileName()), after);
    QCOMPARE(everything(backup), before);
    QCOMPARE(everything(earlier), imported);
    if (after.contains(u"Settings/eQSLPassword"_s)) {
        QCOMPARE(QFile::permissions(store.fileName()) & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);
        // At the next start too, should anything have opened it up.
        QFile::setPermissions(store.fileName(), QFile::permissions(store.fileName()) | QFile::ReadOther);
        SettingsStore again(store.fileName());
        QVERIFY(!(QFile::permissions(store.fileName()) & QFile::ReadOther));
    }
}

QTEST_GUILESS_MAIN(TestSettingsTransfer)
#include "tst_settingstransfer.moc"
