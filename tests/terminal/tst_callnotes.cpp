#include "callnotes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace Qt::StringLiterals;

class TestCallNotes : public QObject
{
    Q_OBJECT

private slots:
    void loaderRules_data();
    void loaderRules();
    void lookUpSetsCurrentIndex();
    void editKeepsOrder_data();
    void editKeepsOrder();
    void unstorableCallsAreRefused();
    void saveKeepsBackupAndReloads();
    void saveKeepsEncoding();
    void clearingNoteRemovesCallAndKeepsBackup();
    void failedOpenLeavesOldNotes();
    void failedWritePartWayLeavesOldNotes();

private:
    static QString readAll(const QString &path);
    static void writeFile(const QString &path, const QByteArray &text);
};

QString TestCallNotes::readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return u"<missing>"_s;
    return QString::fromLatin1(file.readAll()); // byte for byte
}

void TestCallNotes::writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

void TestCallNotes::loaderRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("upper-cased and trimmed")
        << u"  dl1abc  Hans, likes   QRP  \n"_s << QStringList{u"DL1ABC|HANS, LIKES   QRP"_s} << QStringList{};
    QTest::newRow("comments and short lines skipped, not order-checked")
        << u"; ZZ9ZZ comment\nG3ABC Old friend\nK1A X\n\n;A\nK1ABC QSL via bureau\n"_s
        << QStringList{u"G3ABC|OLD FRIEND"_s, u"K1ABC|QSL VIA BUREAU"_s} << QStringList{};
    QTest::newRow("same call twice is a sequence error")
        << u"DL1ABC one\nDL1ABC two\nG3ABC three\n"_s
        << QStringList{u"DL1ABC|ONE"_s, u"G3ABC|THREE"_s}
        << QStringList{u"Sequence error in specialNotes.txt at DL1ABC"_s};
    QTest::newRow("descending call is a sequence error")
        << u"G3ABC one\nDL1ABC two\nK1ABC three\n"_s
        << QStringList{u"G3ABC|ONE"_s, u"K1ABC|THREE"_s}
        << QStringList{u"Sequence error in specialNotes.txt at DL1ABC"_s};
    QTest::newRow("note cut to forty characters")
        << u"W1AW 0123456789012345678901234567890123456789XYZ\n"_s
        << QStringList{u"W1AW|0123456789012345678901234567890123456789"_s} << QStringList{};
}

void TestCallNotes::loaderRules()
{
    QFETCH(QString, text);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, messages);

    CallNotes notes;
    QCOMPARE(notes.loadText(text), messages);
    QStringList loaded;
    for (const CallNote &e : notes.entries())
        loaded.append(e.call + u'|' + e.note);
    QCOMPARE(loaded, entries);
}

void TestCallNotes::lookUpSetsCurrentIndex()
{
    CallNotes notes;
    notes.loadText(u"DL1ABC Hans\nG3ABC Peter\nK1ABC Joe\n"_s);
    QCOMPARE(notes.lookUp(u" g3abc "_s), u"PETER"_s);
    QCOMPARE(notes.currentIndex(), 1);
    QCOMPARE(notes.lookUp(u"K1ABC"_s), u"JOE"_s);
    QCOMPARE(notes.currentIndex(), 2);
    QCOMPARE(notes.lookUp(u"G3ABD"_s), QString());
    QVERIFY(notes.currentIndex() < 0);
    QCOMPARE(notes.lookUp(u"G3"_s), QString());
    QVERIFY(notes.currentIndex() < 0);
}

void TestCallNotes::editKeepsOrder_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("expected");

    QTest::newRow("insert first") << u"AA1AA"_s << u"first"_s << u"AA1AA FIRST|DL1ABC HANS|G3ABC PETER|K1ABC JOE"_s;
    QTest::newRow("insert middle") << u"EA3XYZ"_s << u"Jordi"_s << u"DL1ABC HANS|EA3XYZ JORDI|G3ABC PETER|K1ABC JOE"_s;
    QTest::newRow("insert last") << u"ZS6AAA"_s << u"last"_s << u"DL1ABC HANS|G3ABC PETER|K1ABC JOE|ZS6AAA LAST"_s;
    QTest::newRow("replace") << u"g3abc"_s << u"  Peter, Bath "_s << u"DL1ABC HANS|G3ABC PETER, BATH|K1ABC JOE"_s;
    QTest::newRow("delete first") << u"DL1ABC"_s << QString() << u"G3ABC PETER|K1ABC JOE"_s;
    QTest::newRow("delete middle by blanks") << u"G3ABC"_s << u"   "_s << u"DL1ABC HANS|K1ABC JOE"_s;
    QTest::newRow("delete of a missing call changes nothing") << u"W1AW"_s << QString() << u"DL1ABC HANS|G3ABC PETER|K1ABC JOE"_s;
    QTest::newRow("line break in the note stays on one line") << u"K1ABC"_s << u"Joe\nBoston"_s << u"DL1ABC HANS|G3ABC PETER|K1ABC JOE BOSTON"_s;
    QTest::newRow("portable call sorts by its text") << u"DL/G3ABC"_s << u"holiday"_s << u"DL/G3ABC HOLIDAY|DL1ABC HANS|G3ABC PETER|K1ABC JOE"_s;
}

void TestCallNotes::editKeepsOrder()
{
    QFETCH(QString, call);
    QFETCH(QString, note);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"specialnotes.txt"_s);
    writeFile(path, "DL1ABC Hans\nG3ABC Peter\nK1ABC Joe\n");
    CallNotes notes;
    QVERIFY(notes.load(path).isEmpty());
    QVERIFY(notes.setNote(call, note));
    QString error;
    QVERIFY2(notes.save(path, &error), qPrintable(error));

    // What was saved reads back in order, equal to the table in memory.
    CallNotes reloaded;
    QVERIFY(reloaded.load(path).isEmpty());
    QStringList lines;
    for (const CallNote &e : reloaded.entries())
        lines.append(e.call + u' ' + e.note);
    QCOMPARE(lines.join(u'|'), expected);
    QCOMPARE(reloaded.size(), notes.size());
    QCOMPARE(notes.lookUp(call), reloaded.lookUp(call));
}

void TestCallNotes::unstorableCallsAreRefused()
{
    CallNotes notes;
    QVERIFY(!notes.setNote(u"G3"_s, u"too short"_s));
    QVERIFY(!notes.setNote(u"-DL1ABC"_s, u"deleted record"_s));
    QVERIFY(!notes.setNote(u"DL1 ABC"_s, u"blank in call"_s));
    QCOMPARE(notes.size(), 0);
}

void TestCallNotes::saveKeepsBackupAndReloads()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"specialnotes.txt"_s);
    const QString backup = dir.filePath(u"specialnotes.bak"_s);
    CallNotes notes;
    notes.load(path);

    // First save: nothing to back up.
    QVERIFY(notes.setNote(u"G3ABC"_s, u"Peter"_s));
    QVERIFY(notes.save(path));
    QCOMPARE(readAll(path), u"G3ABC PETER\n"_s);
    QVERIFY(!QFile::exists(backup));

    QVERIFY(notes.setNote(u"DL1ABC"_s, u"Hans"_s));
    QVERIFY(notes.save(path));
    QCOMPARE(readAll(path), u"DL1ABC HANS\nG3ABC PETER\n"_s);
    QCOMPARE(readAll(backup), u"G3ABC PETER\n"_s);

    // An older backup is replaced, not appended to.
    QVERIFY(notes.setNote(u"K1ABC"_s, u"Joe"_s));
    QVERIFY(notes.save(path));
    QCOMPARE(readAll(backup), u"DL1ABC HANS\nG3ABC PETER\n"_s);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).join(u','), u"specialnotes.bak,specialnotes.txt"_s);
}

void TestCallNotes::saveKeepsEncoding()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"specialnotes.txt"_s);
    writeFile(path, "DL1ABC JOS\xC9\n"); // Windows-1252, as older Windows programs wrote it
    CallNotes notes;
    notes.load(path);
    QVERIFY(notes.setNote(u"G3ABC"_s, u"Köln"_s) && notes.save(path));
    QCOMPARE(readAll(path), QString::fromLatin1("DL1ABC JOS\xC9\nG3ABC K\xD6LN\n"));
    // A character the code page lacks is not lost: the file turns to UTF-8.
    QVERIFY(notes.setNote(u"G3ABC"_s, u"Łódź"_s) && notes.save(path));
    QCOMPARE(readAll(path), QString::fromLatin1("DL1ABC JOS\xC3\x89\nG3ABC \xC5\x81\xC3\x93" "D\xC5\xB9\n"));
}

void TestCallNotes::clearingNoteRemovesCallAndKeepsBackup()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"specialnotes.txt"_s);
    writeFile(path, "DL1ABC Hans\nG3ABC Peter\n");
    CallNotes notes;
    notes.load(path);
    QVERIFY(notes.setNote(u"DL1ABC"_s, QString()));
    QCOMPARE(notes.lookUp(u"DL1ABC"_s), QString());
    QVERIFY(notes.save(path));
    QCOMPARE(readAll(path), u"G3ABC PETER\n"_s);
    QCOMPARE(readAll(dir.filePath(u"specialnotes.bak"_s)), u"DL1ABC Hans\nG3ABC Peter\n"_s);
}

void TestCallNotes::failedOpenLeavesOldNotes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"specialnotes.txt"_s);
    writeFile(path, "DL1ABC Hans\n");
    // Something in the way of the new file: it cannot be created.
    QVERIFY(QDir(dir.path()).mkdir(u"specialnotes.txt.new"_s));
    CallNotes notes;
    notes.load(path);
    notes.setNote(u"G3ABC"_s, u"Peter"_s);
    QString error;
    QVERIFY(!notes.save(path, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(readAll(path), u"DL1ABC Hans\n"_s);
    QVERIFY(!QFile::exists(dir.filePath(u"specialnotes.bak"_s)));
}

void TestCallNotes::failedWritePartWayLeavesOldNotes()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString path = dir.filePath(u"specialnotes.txt"_s);
    const QString backup = dir.filePath(u"specialnotes.bak"_s);
    writeFile(path, "DL1ABC Hans\nG3ABC Peter\n");
    writeFile(backup, "DL1ABC Hans\n");
    CallNotes notes;
    notes.load(path);
    for (int i = 0; i < 40; ++i)
        notes.setNote(u"K%1ABC"_s.arg(i), u"a note long enough to fill the file quickly"_s);

    // A file-size limit makes the write stop part-way, as a full disk does.
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 512;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool saved = notes.save(path, &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!saved);
    QVERIFY(!error.isEmpty());
    QCOMPARE(readAll(path), u"DL1ABC Hans\nG3ABC Peter\n"_s);
    QCOMPARE(readAll(backup), u"DL1ABC Hans\n"_s);
    QVERIFY(!QFile::exists(path + u".new"_s));
    CallNotes reloaded;
    QVERIFY(reloaded.load(path).isEmpty());
    QCOMPARE(reloaded.lookUp(u"G3ABC"_s), u"PETER"_s);

    // Once the disk has room again the same table saves.
    QVERIFY(notes.save(path, &error));
    QVERIFY(reloaded.load(path).isEmpty());
    QCOMPARE(reloaded.size(), 42);
#else
    QSKIP("needs a file-size limit to stop a write part-way");
#endif
}

QTEST_GUILESS_MAIN(TestCallNotes)
#include "tst_callnotes.moc"
