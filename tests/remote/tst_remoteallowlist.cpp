#include "remoteallowlist.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Which peers a server lets in.
class TestRemoteAllowList : public QObject
{
    Q_OBJECT

private slots:
    void allows_data();
    void allows();
};

void TestRemoteAllowList::allows_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("peer");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<QStringList>("invalid");

    QTest::newRow("empty: loopback") << QString() << u"127.0.0.1"_s << true << QStringList();
    QTest::newRow("empty: IPv6 loopback") << QString() << u"::1"_s << true << QStringList();
    QTest::newRow("empty: an IPv4 client of a dual-stack listener")
        << QString() << u"::ffff:192.168.1.20"_s << true << QStringList();
    QTest::newRow("empty: 172.16/12 but not 172.32") << QString() << u"172.32.0.1"_s << false << QStringList();
    QTest::newRow("empty: link-local IPv6") << QString() << u"fe80::1"_s << true << QStringList();
    QTest::newRow("empty: a public address") << QString() << u"203.0.113.9"_s << false << QStringList();
    QTest::newRow("a list replaces the local ranges, loopback too")
        << u"10.0.0.0/8"_s << u"127.0.0.1"_s << false << QStringList();
    QTest::newRow("a public address on the list")
        << u"10.0.0.0/8; 203.0.113.9"_s << u"::ffff:203.0.113.9"_s << true << QStringList();
    QTest::newRow("a network in the list") << u"198.51.100.0/24 2001:db8::/32"_s << u"2001:db8::5"_s << true
                                           << QStringList();
    QTest::newRow("what is no address is reported, the rest kept")
        << u"example.org, 10.0.0.300, 192.168.1.0/33, 192.168.7.7"_s << u"192.168.7.7"_s << true
        << QStringList{u"example.org"_s, u"10.0.0.300"_s, u"192.168.1.0/33"_s};
}

void TestRemoteAllowList::allows()
{
    QFETCH(QString, list);
    QFETCH(QString, peer);
    QStringList invalid;
    const RemoteAllowList allowList = RemoteAllowList::parse(list, &invalid);
    QTEST(allowList.allows(QHostAddress(peer)), "allowed");
    QTEST(invalid, "invalid");
}

QTEST_GUILESS_MAIN(TestRemoteAllowList)
#include "tst_remoteallowlist.moc"
