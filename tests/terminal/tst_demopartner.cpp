#include "demopartner.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The demo's other station through whole contacts, as the monitor shows
// what the operator keyed (the keyer's prosigns included).
class TestDemoPartner : public QObject
{
    Q_OBJECT

private slots:
    void contact_data();
    void contact();
};

void TestDemoPartner::contact_data()
{
    QTest::addColumn<QStringList>("transmissions");
    QTest::addColumn<QStringList>("answers"); // "" for none

    QTest::newRow("a whole contact, then the next station answers the next CQ")
        << QStringList{u"CQ CQ DE DL1ABC DL1ABC K"_s, u"PA3XYZ DE DL1ABC UR 5NN 5NN K"_s,
                       u"PA3XYZ DE DL1ABC TU 73 <SK>"_s, u"CQ DE DL1ABC K"_s}
        << QStringList{u"DL1ABC DE PA3XYZ PA3XYZ K"_s,
                       u"R R DL1ABC DE PA3XYZ TNX FER RPT UR RST 579 579 NAME HANS HANS QTH AMSTERDAM AMSTERDAM "
                       "HW? DL1ABC DE PA3XYZ K"_s,
                       u"DL1ABC DE PA3XYZ TNX FER QSO 73 GL SK"_s, u"DL1ABC DE G4ABC G4ABC K"_s};
    QTest::newRow("lower case, a call without a report, talk to nobody")
        << QStringList{u"cq de dl1abc k"_s, u"pa3xyz de dl1abc k"_s, u"TEST TEST"_s, u"   "_s}
        << QStringList{u"DL1ABC DE PA3XYZ PA3XYZ K"_s, u"DL1ABC DE PA3XYZ PSE RPT? K"_s, QString(), QString()};
    QTest::newRow("73 before any contact is not a goodbye")
        << QStringList{u"PA3XYZ 73"_s} << QStringList{u"? DE PA3XYZ PSE RPT? K"_s};
}

void TestDemoPartner::contact()
{
    QFETCH(QStringList, transmissions);
    QFETCH(QStringList, answers);
    DemoPartner partner;
    QStringList got;
    for (const QString &text : transmissions) {
        // The monitor hands the keyed text over in pieces.
        for (qsizetype at = 0; at < text.size(); at += 3)
            partner.keyed(text.mid(at, 3));
        got << partner.answer();
    }
    QCOMPARE(got, answers);
}

QTEST_GUILESS_MAIN(TestDemoPartner)
#include "tst_demopartner.moc"
