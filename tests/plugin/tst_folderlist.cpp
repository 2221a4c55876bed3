#include "folderlist.h"
#include "folderopener.h"

#include <QByteArrayList>
#include <QTest>

#include <map>
#include <memory>
#include <set>

namespace {

// Folders and files by full Windows path; a search lists a folder's direct
// children plus "." and "..", as FindFirstFileA does.
class FakeFileSystem final : public lintover::FolderSearch
{
public:
    void addFolder(const QByteArray &path) { m_entries[path] = lintover::DirectoryAttribute; }
    void addFile(const QByteArray &path) { m_entries[path] = 0x20; }

    bool first(const char *pattern, lintover::FoundEntry &entry) override
    {
        if (m_open)
            ++faults; // the plug-in searches one folder at a time
        patterns << QByteArray(pattern);
        QByteArray folder(pattern);
        if (!folder.endsWith("\\*.*") || !m_entries.count(folder.chopped(4)))
            return false;
        folder.chop(4);
        m_matches = {".", ".."};
        for (const auto &[path, attributes] : m_entries) {
            const qsizetype cut = path.lastIndexOf('\\');
            if (cut > 0 && path.left(cut) == folder)
                m_matches << path.mid(cut + 1);
        }
        m_folder = folder;
        m_next = 0;
        m_open = true;
        return next(entry);
    }
    bool next(lintover::FoundEntry &entry) override
    {
        if (!m_open) {
            ++faults;
            return false;
        }
        if (m_next >= m_matches.size())
            return false;
        const QByteArray name = m_matches.at(m_next++);
        qstrncpy(entry.name, name.constData(), sizeof entry.name);
        const bool dots = name == "." || name == "..";
        entry.attributes = dots ? lintover::DirectoryAttribute : m_entries.at(m_folder + '\\' + name);
        return true;
    }
    void close() override
    {
        if (!m_open)
            ++faults;
        m_open = false;
    }

    bool searchOpen() const { return m_open; }
    QByteArrayList patterns;
    int faults = 0;

private:
    std::map<QByteArray, unsigned long> m_entries;
    QByteArrayList m_matches;
    QByteArray m_folder;
    qsizetype m_next = 0;
    bool m_open = false;
};

// Records every call and checks that they come in a sound order: nothing
// without a loaded library, no descriptor used before it is initialized, every
// load released and every descriptor freed.
class RecordingSecurity final : public lintover::SecurityFunctions
{
public:
    enum Failure { None, Load, Allocate, Initialize, SetDacl, SetFileSecurity };

    bool load() override
    {
        calls << "load";
        if (m_loaded)
            ++faults;
        m_loaded = failure != Load;
        return m_loaded;
    }
    void release() override
    {
        calls << "release";
        if (!m_loaded)
            ++faults;
        m_loaded = false;
    }
    void *allocateDescriptor() override
    {
        calls << "allocate";
        if (failure == Allocate)
            return nullptr;
        auto descriptor = std::make_unique<Descriptor>();
        Descriptor *handed = descriptor.get();
        m_descriptors.insert(std::move(descriptor));
        return handed;
    }
    void freeDescriptor(void *descriptor) override
    {
        calls << "free";
        const auto erased = std::erase_if(
            m_descriptors, [descriptor](const auto &d) { return d.get() == descriptor; });
        if (erased != 1)
            ++faults;
    }
    bool initializeSecurityDescriptor(void *descriptor, unsigned long revision) override
    {
        calls << "initialize revision " + QByteArray::number(qulonglong(revision));
        check(descriptor)->initialized = failure != Initialize;
        return failure != Initialize;
    }
    bool setSecurityDescriptorDacl(void *descriptor, bool daclPresent, void *dacl,
                                   bool daclDefaulted) override
    {
        calls << QByteArray("dacl present ") + (daclPresent ? "1" : "0")
                     + (dacl ? " list" : " null") + " defaulted " + (daclDefaulted ? "1" : "0");
        Descriptor *d = check(descriptor);
        if (!d->initialized)
            ++faults;
        d->daclSet = failure != SetDacl;
        return failure != SetDacl;
    }
    bool setFileSecurity(const char *path, unsigned long securityInformation,
                         void *descriptor) override
    {
        calls << "apply " + QByteArray::number(qulonglong(securityInformation));
        Descriptor *d = check(descriptor);
        if (!d->initialized || !d->daclSet)
            ++faults;
        applied << QByteArray(path);
        return failure != SetFileSecurity;
    }

    int outstanding() const { return int(m_descriptors.size()) + (m_loaded ? 1 : 0); }

    Failure failure = None;
    QByteArrayList calls;
    QByteArrayList applied;
    int faults = 0;

private:
    struct Descriptor
    {
        bool initialized = false;
        bool daclSet = false;
    };
    Descriptor *check(void *descriptor)
    {
        if (!m_loaded)
            ++faults;
        for (const auto &d : m_descriptors)
            if (d.get() == descriptor)
                return d.get();
        ++faults;
        static Descriptor stray;
        return &stray;
    }

    std::set<std::unique_ptr<Descriptor>> m_descriptors;
    bool m_loaded = false;
};

class FakeHost final : public lintover::VariableSource
{
public:
    explicit FakeHost(const QByteArray &installDir, bool known = true)
        : m_installDir(installDir), m_known(known) {}
    const char *value(const char *name) override
    {
        asked << QByteArray(name);
        return m_known && QByteArray(name) == "<InstallDir>" ? m_installDir.constData() : nullptr;
    }
    QByteArrayList asked;

private:
    QByteArray m_installDir;
    bool m_known;
};

void addInstallation(FakeFileSystem &files, const QByteArray &root)
{
    files.addFolder(root);
    files.addFolder(root + "\\LogFiles");
    files.addFile(root + "\\LogFiles\\2024.krv");
    files.addFile(root + "\\LogFiles\\noext");
    files.addFolder(root + "\\LogFiles\\Old");
    files.addFile(root + "\\LogFiles\\Old\\2023.krv");
    files.addFolder(root + "\\Messages");
    files.addFile(root + "\\Messages\\msg11.txt");
    files.addFolder(root + "\\Messages\\Sub");
    files.addFolder(root + "\\ADIF");
    files.addFile(root + "\\ADIF\\log.adi");
    files.addFile(root + "\\krv.exe");
}

} // namespace

class TestFolderList : public QObject
{
    Q_OBJECT

private slots:
    void opensFoldersAndTheirFilesOnly_data();
    void opensFoldersAndTheirFilesOnly();
    void unknownInstallDirKeepsTextUnexpanded();
    void oversizeArgumentOpensNothing_data();
    void oversizeArgumentOpensNothing();
    void descriptorHasNoAccessList();
    void securityFailuresStaySilentAndReleaseAll_data();
    void securityFailuresStaySilentAndReleaseAll();
    void pathsBeyondLimitAreSkipped();
};

void TestFolderList::opensFoldersAndTheirFilesOnly_data()
{
    QTest::addColumn<QByteArray>("installDir");
    QTest::addColumn<QByteArray>("argument");
    QTest::addColumn<QByteArrayList>("opened");
    QTest::addColumn<QByteArrayList>("patterns");

    const QByteArrayList prog{"C:\\Prog\\LogFiles", "C:\\Prog\\LogFiles\\2024.krv",
                              "C:\\Prog\\LogFiles\\noext", "C:\\Prog\\Messages",
                              "C:\\Prog\\Messages\\msg11.txt"};
    const QByteArrayList progPatterns{"C:\\Prog\\LogFiles\\*.*", "C:\\Prog\\Messages\\*.*"};
    QTest::newRow("C:\\Prog") << QByteArray("C:\\Prog")
                              << QByteArray("<InstallDir>\\LogFiles|<InstallDir>\\Messages")
                              << prog << progPatterns;
    QTest::newRow("installation folder shorter than the placeholder")
        << QByteArray("C:\\K") << QByteArray("<InstallDir>\\LogFiles|<InstallDir>\\Messages")
        << QByteArrayList{"C:\\K\\LogFiles", "C:\\K\\LogFiles\\2024.krv", "C:\\K\\LogFiles\\noext",
                          "C:\\K\\Messages", "C:\\K\\Messages\\msg11.txt"}
        << QByteArrayList{"C:\\K\\LogFiles\\*.*", "C:\\K\\Messages\\*.*"};
    QTest::newRow("trailing backslash gets no second one")
        << QByteArray("C:\\Prog") << QByteArray("<InstallDir>\\Messages\\")
        << QByteArrayList{"C:\\Prog\\Messages\\", "C:\\Prog\\Messages\\msg11.txt"}
        << QByteArrayList{"C:\\Prog\\Messages\\*.*"};
    QTest::newRow("empty entries and trailing bar")
        << QByteArray("C:\\Prog") << QByteArray("|<InstallDir>\\LogFiles||<InstallDir>\\Messages|")
        << prog << progPatterns;
    QTest::newRow("missing folder is silent, the next one still done")
        << QByteArray("C:\\Prog") << QByteArray("<InstallDir>\\Gone|<InstallDir>\\Messages")
        << QByteArrayList{"C:\\Prog\\Gone", "C:\\Prog\\Messages", "C:\\Prog\\Messages\\msg11.txt"}
        << QByteArrayList{"C:\\Prog\\Gone\\*.*", "C:\\Prog\\Messages\\*.*"};
    QTest::newRow("plain path without placeholder")
        << QByteArray("C:\\Prog") << QByteArray("C:\\Prog\\ADIF")
        << QByteArrayList{"C:\\Prog\\ADIF", "C:\\Prog\\ADIF\\log.adi"}
        << QByteArrayList{"C:\\Prog\\ADIF\\*.*"};
    QTest::newRow("nothing but bars") << QByteArray("C:\\Prog") << QByteArray("||")
                                      << QByteArrayList{} << QByteArrayList{};
}

void TestFolderList::opensFoldersAndTheirFilesOnly()
{
    QFETCH(QByteArray, installDir);
    QFETCH(QByteArray, argument);
    QFETCH(QByteArrayList, opened);
    QFETCH(QByteArrayList, patterns);

    FakeFileSystem files;
    addInstallation(files, installDir);
    RecordingSecurity security;
    FakeHost host(installDir);
    QCOMPARE(lintover::openUpFolderList(argument.constData(), host, files, security), 1);

    QCOMPARE(security.applied, opened);
    QCOMPARE(files.patterns, patterns);
    QCOMPARE(host.asked, QByteArrayList{"<InstallDir>"});
    QCOMPARE(files.faults, 0);
    QVERIFY(!files.searchOpen());
    QCOMPARE(security.faults, 0);
    QCOMPARE(security.outstanding(), 0);
    // The library is looked up afresh for every path.
    QCOMPARE(security.calls.count("load"), opened.size());
}

void TestFolderList::unknownInstallDirKeepsTextUnexpanded()
{
    FakeFileSystem files;
    addInstallation(files, "C:\\Prog");
    RecordingSecurity security;
    FakeHost host("C:\\Prog", false);
    QCOMPARE(lintover::openUpFolderList("<InstallDir>\\LogFiles|C:\\Prog\\Messages\\Sub", host,
                                        files, security),
             1);
    QCOMPARE(security.applied, (QByteArrayList{"<InstallDir>\\LogFiles", "C:\\Prog\\Messages\\Sub"}));
    QCOMPARE(files.patterns,
             (QByteArrayList{"<InstallDir>\\LogFiles\\*.*", "C:\\Prog\\Messages\\Sub\\*.*"}));
}

void TestFolderList::oversizeArgumentOpensNothing_data()
{
    QTest::addColumn<QByteArray>("argument");
    QTest::addColumn<QByteArray>("installDir");
    // A cut text would end in a folder name that was never meant.
    QTest::newRow("argument of 4096 characters")
        << QByteArray("C:\\Prog\\LogFiles|") + QByteArray(4096 - 17, 'x') << QByteArray("C:\\Prog");
    QTest::newRow("expansion beyond 4095 characters")
        << QByteArray("C:\\Prog\\LogFiles|") + QByteArray(3000, 'x') + "|<InstallDir>"
        << QByteArray(1100, 'y');
}

void TestFolderList::oversizeArgumentOpensNothing()
{
    QFETCH(QByteArray, argument);
    QFETCH(QByteArray, installDir);
    FakeFileSystem files;
    addInstallation(files, "C:\\Prog");
    RecordingSecurity security;
    FakeHost host(installDir);
    QCOMPARE(lintover::openUpFolderList(argument.constData(), host, files, security), 1);
    QCOMPARE(security.calls, QByteArrayList{});
    QCOMPARE(files.patterns, QByteArrayList{});
}

void TestFolderList::descriptorHasNoAccessList()
{
    FakeFileSystem files;
    RecordingSecurity security;
    lintover::FolderOpener(files, security).openUpPath("C:\\Prog\\a.txt");
    QCOMPARE(security.calls, (QByteArrayList{"load", "allocate", "initialize revision 1",
                                             "dacl present 0 null defaulted 1", "apply 4", "free",
                                             "release"}));
    QCOMPARE(security.applied, QByteArrayList{"C:\\Prog\\a.txt"});
    QCOMPARE(security.faults, 0);
}

void TestFolderList::securityFailuresStaySilentAndReleaseAll_data()
{
    QTest::addColumn<int>("failure");
    QTest::addColumn<QByteArrayList>("calls");
    using S = RecordingSecurity;
    QTest::newRow("library or a function missing") << int(S::Load) << QByteArrayList{"load"};
    QTest::newRow("no memory") << int(S::Allocate) << QByteArrayList{"load", "allocate", "release"};
    QTest::newRow("initialize refused")
        << int(S::Initialize)
        << QByteArrayList{"load", "allocate", "initialize revision 1", "free", "release"};
    QTest::newRow("set list refused")
        << int(S::SetDacl)
        << QByteArrayList{"load", "allocate", "initialize revision 1",
                          "dacl present 0 null defaulted 1", "free", "release"};
    QTest::newRow("access refused")
        << int(S::SetFileSecurity)
        << QByteArrayList{"load", "allocate", "initialize revision 1",
                          "dacl present 0 null defaulted 1", "apply 4", "free", "release"};
}

void TestFolderList::securityFailuresStaySilentAndReleaseAll()
{
    QFETCH(int, failure);
    QFETCH(QByteArrayList, calls);
    FakeFileSystem files;
    addInstallation(files, "C:\\Prog");
    RecordingSecurity security;
    security.failure = RecordingSecurity::Failure(failure);
    FakeHost host("C:\\Prog");
    QCOMPARE(lintover::openUpFolderList("<InstallDir>\\Messages", host, files, security), 1);
    // The same steps for the folder and for its one file: a failure on the
    // folder does not stop its files.
    QCOMPARE(security.calls, calls + calls);
    QCOMPARE(files.patterns, QByteArrayList{"C:\\Prog\\Messages\\*.*"});
    QCOMPARE(security.faults, 0);
    QCOMPARE(security.outstanding(), 0);
}

void TestFolderList::pathsBeyondLimitAreSkipped()
{
    char out[lintover::PathLimit];
    const QByteArray folder = "C:\\" + QByteArray(250, 'f');
    QVERIFY(lintover::joinPath(out, folder.constData(), QByteArray(5, 'n').constData()));
    QCOMPARE(QByteArray(out), folder + "\\nnnnn"); // 259 characters, the most that fits
    QVERIFY(!lintover::joinPath(out, folder.constData(), QByteArray(6, 'n').constData()));
    QCOMPARE(QByteArray(out), QByteArray());
    QVERIFY(lintover::joinPath(out, (folder + "\\").constData(), "nnnnn"));

    // The folder fits, its search pattern and one of its files do not.
    FakeFileSystem files;
    const QByteArray deep = "C:\\" + QByteArray(254, 'd');
    files.addFolder(deep);
    files.addFile(deep + "\\a");
    RecordingSecurity security;
    lintover::FolderOpener(files, security).openUpFolder(deep.constData());
    QCOMPARE(security.applied, QByteArrayList{deep});
    QCOMPARE(files.patterns, QByteArrayList{});

    const QByteArray near = "C:\\" + QByteArray(250, 'd');
    files.addFolder(near);
    files.addFile(near + "\\short");
    files.addFile(near + "\\toolong");
    security.applied.clear();
    lintover::FolderOpener(files, security).openUpFolder(near.constData());
    QCOMPARE(security.applied, (QByteArrayList{near, near + "\\short"}));
    QCOMPARE(security.faults, 0);
    QCOMPARE(files.faults, 0);
}

QTEST_APPLESS_MAIN(TestFolderList)
#include "tst_folderlist.moc"
