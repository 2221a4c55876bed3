#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr QFileDevice::Permissions OwnerOnlyFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
    | QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
constexpr QFileDevice::Permissions OwnerOnlyFile =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
    | QFileDevice::WriteUser;
constexpr QFileDevice::Permissions EveryoneFull =
    QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;

QString run(const QString &program, const QStringList &arguments, int *exitCode)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {};
    *exitCode = process.exitCode();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// Wine shows the Linux root as drive Z:.
QString windowsPath(const QString &path)
{
    return u"Z:"_s + QDir::toNativeSeparators(path).replace(u'/', u'\\');
}

} // namespace

class TestLintoverDll : public QObject
{
    Q_OBJECT

private slots:
    void exportsAreUndecoratedStdcallWithOrdinals();
    void opensFoldersAndDirectFilesUnderWine();
};

void TestLintoverDll::exportsAreUndecoratedStdcallWithOrdinals()
{
    const QString dll = QString::fromUtf8(LINTOVER_DLL32);
    if (dll.isEmpty())
        QSKIP("lintover.dll was not built: no i686-w64-mingw32-g++ when the build was configured");
    QVERIFY2(QFileInfo::exists(dll), qPrintable(dll));
    const QString objdump = QStandardPaths::findExecutable(u"i686-w64-mingw32-objdump"_s);
    if (objdump.isEmpty())
        QSKIP("i686-w64-mingw32-objdump not found (package binutils-mingw-w64-i686)");

    int exitCode = -1;
    const QString headers = run(objdump, {u"-p"_s, dll}, &exitCode);
    QCOMPARE(exitCode, 0);
    QVERIFY2(headers.contains(u"file format pei-i386"_s), qPrintable(headers.left(200)));

    const auto base = QRegularExpression(u"^Ordinal Base\\s+(\\d+)"_s,
                                         QRegularExpression::MultilineOption).match(headers);
    QVERIFY(base.hasMatch());
    const int ordinalBase = base.captured(1).toInt();
    const qsizetype names = headers.indexOf(u"[Ordinal/Name Pointer] Table"_s);
    QVERIFY(names >= 0);
    QMap<QString, int> ordinals;
    const QRegularExpression nameLine(u"^\\s*\\[\\s*(\\d+)\\]\\s+(\\S+)\\s*$"_s);
    const QStringList lines = headers.mid(names).split(u'\n');
    for (qsizetype i = 1; i < lines.size() && !lines.at(i).trimmed().isEmpty(); ++i) {
        const auto m = nameLine.match(lines.at(i));
        QVERIFY2(m.hasMatch(), qPrintable(lines.at(i)));
        ordinals.insert(m.captured(2), m.captured(1).toInt() + ordinalBase);
    }
    const QMap<QString, int> expected{{u"AdvancedEntry"_s, 1}, {u"EntryPoint12"_s, 2}};
    QCOMPARE(ordinals, expected);

    // The security functions are looked up at run time, and the installer
    // finds no runtime DLL of the compiler beside the plug-in.
    const auto imports = QRegularExpression(u"DLL Name: (\\S+)"_s).globalMatch(headers);
    QStringList importedDlls;
    for (auto it = imports; it.hasNext();)
        importedDlls << it.next().captured(1).toUpper();
    QVERIFY(importedDlls.contains(u"KERNEL32.DLL"_s));
    for (const QString &name : importedDlls)
        QVERIFY2(name == u"KERNEL32.DLL"_s || name == u"MSVCRT.DLL"_s, qPrintable(name));

    // Callee cleans: each export returns with "ret $0x4", popping its one argument.
    const auto imageBase = QRegularExpression(u"^ImageBase\\s+([0-9a-fA-F]+)"_s,
                                              QRegularExpression::MultilineOption).match(headers);
    QVERIFY(imageBase.hasMatch());
    const qulonglong image = imageBase.captured(1).toULongLong(nullptr, 16);
    const auto addresses = QRegularExpression(
        u"^\\s*\\[\\s*(\\d+)\\] \\+base\\[\\s*\\d+\\] ([0-9a-fA-F]+) Export RVA"_s,
        QRegularExpression::MultilineOption).globalMatch(headers);
    int checked = 0;
    for (auto it = addresses; it.hasNext(); ++checked) {
        const qulonglong start = image + it.next().captured(2).toULongLong(nullptr, 16);
        const QString code = run(objdump,
                                 {u"-d"_s, u"--start-address=0x%1"_s.arg(start, 0, 16),
                                  u"--stop-address=0x%1"_s.arg(start + 0x400, 0, 16), dll},
                                 &exitCode);
        QCOMPARE(exitCode, 0);
        const auto ret = QRegularExpression(u"\\sret\\S*\\s*(\\S*)"_s).match(code);
        QVERIFY2(ret.hasMatch(), qPrintable(code.left(400)));
        QCOMPARE(ret.captured(1), u"$0x4"_s);
    }
    QCOMPARE(checked, 2);
}

void TestLintoverDll::opensFoldersAndDirectFilesUnderWine()
{
    const QString wineDir = QString::fromUtf8(LINTOVER_WINE_DIR);
    if (wineDir.isEmpty())
        QSKIP("64-bit lintover.dll and host not built: no x86_64-w64-mingw32-g++ when the build "
              "was configured");
    const QString host = wineDir + u"/lintoverhost.exe"_s;
    QVERIFY2(QFileInfo::exists(wineDir + u"/lintover.dll"_s), qPrintable(wineDir));
    QVERIFY2(QFileInfo::exists(host), qPrintable(host));
    const QStringList wineFolders{u"/usr/lib/wine"_s};
    QString wine = QStandardPaths::findExecutable(u"wine64"_s);
    if (wine.isEmpty())
        wine = QStandardPaths::findExecutable(u"wine64"_s, wineFolders);
    if (wine.isEmpty())
        QSKIP("wine64 not found (package wine64)");

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString root = temp.path() + u"/Dash Install"_s;
    struct Item
    {
        QString path;
        bool folder;
        bool opened;
    };
    // Named in the argument: LogFiles and Messages; everything else stays shut.
    const QList<Item> items{
        {root, true, false},
        {root + u"/LogFiles"_s, true, true},
        {root + u"/LogFiles/2024.krv"_s, false, true},
        {root + u"/LogFiles/noext"_s, false, true},
        {root + u"/LogFiles/Old"_s, true, false},
        {root + u"/LogFiles/Old/2023.krv"_s, false, false},
        {root + u"/Messages"_s, true, true},
        {root + u"/Messages/msg11.txt"_s, false, true},
        {root + u"/ADIF"_s, true, false},
        {root + u"/ADIF/log.adi"_s, false, false},
    };
    for (const Item &item : items) {
        if (item.folder) {
            QVERIFY(QDir().mkpath(item.path));
        } else {
            QFile file(item.path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }
    for (const Item &item : items)
        QVERIFY(QFile::setPermissions(item.path, item.folder ? OwnerOnlyFolder : OwnerOnlyFile));

    QStringList arguments{host, windowsPath(root),
                          u"<InstallDir>\\LogFiles|<InstallDir>\\Messages\\||<InstallDir>\\Gone|"_s};
    for (const Item &item : items)
        arguments << windowsPath(item.path);

    const QString prefix = temp.path() + u"/wineprefix"_s;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"WINEPREFIX"_s, prefix);
    environment.insert(u"WINEDEBUG"_s, u"-all"_s);
    // No Mono or Gecko installer dialogs while the new prefix is set up.
    environment.insert(u"WINEDLLOVERRIDES"_s, u"mscoree,mshtml="_s);
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);

    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(wine, arguments);
    const bool finished = process.waitForFinished(240000);
    if (!finished)
        process.kill();
    process.waitForFinished(10000);
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());

    // Let this prefix's wineserver end (it lingers briefly) before the folder goes.
    const QString wineserver = QStandardPaths::findExecutable(
        u"wineserver"_s, QStringList{QFileInfo(wine).absolutePath()} + wineFolders);
    if (!wineserver.isEmpty()) {
        QProcess server;
        server.setProcessEnvironment(environment);
        server.start(wineserver, {u"-w"_s});
        server.waitForFinished(60000);
    }
    // The prefix links drive Z: to "/": take the links away before the clean-up.
    const QDir devices(prefix + u"/dosdevices"_s);
    for (const QString &link : devices.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        QFile::remove(devices.filePath(link));

    QVERIFY2(finished, qPrintable(u"wine64 did not finish in 240 s\n"_s + output + errors));
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
             qPrintable(output + errors));

    const QStringList lines = output.split(u'\n', Qt::SkipEmptyParts);
    QStringList trimmed;
    for (const QString &line : lines)
        trimmed << line.trimmed();
    QVERIFY2(trimmed.contains(u"AdvancedEntry 1"_s), qPrintable(output));
    QVERIFY2(trimmed.contains(u"EntryPoint12 1"_s), qPrintable(output));
    QCOMPARE(trimmed.filter(u"asked "_s), QStringList{u"asked <InstallDir>"_s});

    for (const Item &item : items) {
        const QString windows = windowsPath(item.path);
        // Every object starts shut, so an "open" afterwards is the plug-in's work.
        QVERIFY2(trimmed.contains(u"before restricted "_s + windows), qPrintable(output));
        if (item.opened) {
            QVERIFY2(trimmed.contains(u"after none "_s + windows)
                         || trimmed.contains(u"after world "_s + windows),
                     qPrintable(output));
            // Wine maps a missing access-control list to rwx for everyone.
            QVERIFY2((QFile::permissions(item.path) & EveryoneFull) == EveryoneFull,
                     qPrintable(item.path));
        } else {
            QVERIFY2(trimmed.contains(u"after restricted "_s + windows), qPrintable(output));
            // User, group and other bits: the Unix mode as Wine left it.
            const QFileDevice::Permissions unixBits(0x0777);
            QCOMPARE(QFile::permissions(item.path) & unixBits,
                     (item.folder ? OwnerOnlyFolder : OwnerOnlyFile) & unixBits);
        }
    }
}

QTEST_GUILESS_MAIN(TestLintoverDll)
#include "tst_lintoverdll.moc"
