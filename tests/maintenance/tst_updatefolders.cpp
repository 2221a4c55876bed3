#include "updatefolders.h"
#include "updaterules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// What the two folders hold: file name -> content.
QMap<QString, QByteArray> contents(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QString &sub : {u"Updates"_s, u"Backup"_s}) {
        const QDir dir(folder + u'/' + sub);
        for (const QString &name : dir.entryList(QDir::Files)) {
            QFile file(dir.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                files.insert(sub + u'/' + name, file.readAll());
        }
    }
    return files;
}

} // namespace

// Back-out of the last two downloads.
class TestUpdateFolders : public QObject
{
    Q_OBJECT

private slots:
    void backOutTwiceReturnsToStart_data();
    void backOutTwiceReturnsToStart();
};

void TestUpdateFolders::backOutTwiceReturnsToStart_data()
{
    QTest::addColumn<bool>("previousImage");
    QTest::addColumn<bool>("previousInstaller");
    QTest::addColumn<bool>("yesToImage");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QString>("report");

    const QString imageQuestion = u"Restore previous version of the keyer firmware?"_s;
    const QString installerQuestion =
        u"Restore previous version of the %1 software?"_s.arg(UpdateRules::platformName());
    const QString imageReport = u"The previous version of the keyer firmware has been restored to "
                                "%D/Updates/morlanda.hex\r\nPlease follow the instructions on this screen to "
                                "load it into the keyer"_s;
    const QString installerReport = u"The previous version of the %1 software will be installed\r\nafter this "
                                    "program ends."_s.arg(UpdateRules::platformName());

    QTest::newRow("both") << true << true << true << QStringList{imageQuestion, installerQuestion}
                          << imageReport + u"\r\n\r\n"_s + installerReport;
    QTest::newRow("only a previous installer asks only about the software")
        << false << true << true << QStringList{installerQuestion} << installerReport;
    QTest::newRow("only a previous image") << true << false << true << QStringList{imageQuestion} << imageReport;
    QTest::newRow("no to the firmware keeps it") << true << true << false
                                                 << QStringList{imageQuestion, installerQuestion} << installerReport;
    QTest::newRow("nothing to restore") << false << false << true << QStringList{}
                                        << u"No previous versions of the software were found"_s;
}

void TestUpdateFolders::backOutTwiceReturnsToStart()
{
    QFETCH(bool, previousImage);
    QFETCH(bool, previousInstaller);
    QFETCH(bool, yesToImage);
    QFETCH(QStringList, questions);
    QFETCH(QString, report);

    QTemporaryDir data;
    QVERIFY(data.isValid());
    UpdateFolders folders(data.path(), UpdateProduct::krv());
    QString error;
    QVERIFY(folders.store(UpdateFolders::Kind::Installer, "#!/bin/sh\nfirst\n", &error));
    QVERIFY(folders.store(UpdateFolders::Kind::Firmware, ":first image", &error));
    if (previousInstaller)
        QVERIFY(folders.store(UpdateFolders::Kind::Installer, "#!/bin/sh\nsecond\n", &error));
    if (previousImage)
        QVERIFY(folders.store(UpdateFolders::Kind::Firmware, ":second image", &error));
    if (!previousInstaller)
        QFile::remove(folders.backupPath(UpdateFolders::Kind::Installer));
    if (!previousImage)
        QFile::remove(folders.backupPath(UpdateFolders::Kind::Firmware));
    const QMap<QString, QByteArray> start = contents(data.path());

    QStringList asked;
    const auto answer = [&](const QString &question) {
        asked << question;
        return question.contains(u"firmware"_s) ? yesToImage : true;
    };
    const UpdateFolders::BackOut first = folders.backOut(answer);
    QCOMPARE(asked, questions);
    QCOMPARE(first.message, QString(report).replace(u"%D"_s, QDir::toNativeSeparators(data.path())));
    QCOMPARE(first.installerRestored, previousInstaller);
    QCOMPARE(first.firmwareRestored, previousImage && yesToImage);

    const QMap<QString, QByteArray> swapped = contents(data.path());
    if (previousInstaller) {
        QCOMPARE(swapped.value(u"Updates/krvupdate.exe"_s), start.value(u"Backup/krvupdate.exe"_s));
        QCOMPARE(swapped.value(u"Backup/krvupdate.exe"_s), start.value(u"Updates/krvupdate.exe"_s));
    }
    if (first.firmwareRestored) {
        QCOMPARE(swapped.value(u"Updates/morlanda.hex"_s), start.value(u"Backup/morlanda.hex"_s));
        QCOMPARE(swapped.value(u"Backup/morlanda.hex"_s), start.value(u"Updates/morlanda.hex"_s));
    }
    QCOMPARE(swapped.keys(), start.keys());

    // The folders always hold the last two downloads: a second back-out
    // swaps back, and no temporary name is left behind.
    folders.backOut(answer);
    QCOMPARE(contents(data.path()), start);
}

QTEST_GUILESS_MAIN(TestUpdateFolders)
#include "tst_updatefolders.moc"
